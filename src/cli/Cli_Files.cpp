#include "cli/Cli_Files.h"

#include "cli/TCli_Failure.h"
#include "controller/Config_File.h"

#include <cstring>

TVOK_Prop Read_Cnf(const std::string& path, std::ostream& warnings) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (!error && size < VOK_PROP_SIZE)
    Fail(EXIT_BAD_INPUT, path + " holds " + std::to_string(size) + " bytes; a configuration file holds " +
                             std::to_string(VOK_PROP_SIZE));
  if (!error && size > VOK_PROP_SIZE)
    warnings << "yeli-cli: warning: " << path << " holds " << size << " bytes; only the first " << VOK_PROP_SIZE
             << " are read\n";
  TVOK_Prop prop;
  try {
    Read_Config_File(path, prop);
  } catch (const TFile_Error& failure) {
    Fail(EXIT_BAD_INPUT, "cannot read " + path + ": " + failure.what());
  }
  return prop;
}

void Write_Cnf(const std::string& path, const TVOK_Prop& prop) {
  try {
    Write_Config_File(path, prop);
  } catch (const TFile_Error& failure) {
    Fail(EXIT_BAD_INPUT, "cannot write " + path + ": " + failure.what());
  }
}

std::string Hex_File_Problem(const std::string& path, const THex_Problem& problem) {
  const std::string text = problem.Text();
  return text.find(path) == std::string::npos ? path + ": " + text : text;
}

TOutput_File::TOutput_File(std::filesystem::path path) : Path_(std::move(path)), File_(Path_) {
  if (File_.Error()) Fail_With(File_.Error());
}

TOutput_File::~TOutput_File() = default;

void TOutput_File::Fail_With(int error) {
  Fail(EXIT_BAD_INPUT, "cannot write " + Path_.string() + ": " + std::strerror(error));
}

void TOutput_File::Commit(const std::vector<std::uint8_t>& bytes) {
  if (!File_.Write(bytes) || !File_.Commit()) Fail_With(File_.Error());
}
