// The files yeli-cli reads and writes, with the failure that names the file and what is wrong.
#pragma once

#include "controller/TVOK_Prop.h"
#include "firmware/THex_Image.h"
#include "platform/TAtomic_File.h"

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

// A configuration file of 132 bytes; later bytes are ignored, with a warning on `warnings`.
TVOK_Prop Read_Cnf(const std::string& path, std::ostream& warnings);
void Write_Cnf(const std::string& path, const TVOK_Prop& prop);

// What is wrong with a firmware image file, naming the file.
std::string Hex_File_Problem(const std::string& path, const THex_Problem& problem);

// A binary file, written as TAtomic_File writes, so a failure leaves neither half a file nor a
// changed old one. Its temporary file is created at once, before any work is done for it.
class TOutput_File {
public:
  explicit TOutput_File(std::filesystem::path path);
  ~TOutput_File();  // removes what was not committed
  TOutput_File(const TOutput_File&) = delete;
  TOutput_File& operator=(const TOutput_File&) = delete;

  void Commit(const std::vector<std::uint8_t>& bytes);

private:
  [[noreturn]] void Fail_With(int error);

  std::filesystem::path Path_;
  TAtomic_File File_;
};
