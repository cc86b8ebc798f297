// Fuzz target: the configuration file reader. A file shorter than one record is refused and leaves
// the record as it was; any longer file gives the record of its first 132 bytes, which writes back
// as exactly those bytes.
#include "Fuzz_Support.h"
#include "controller/Config_File.h"

#include <algorithm>

namespace {
TVOK_Prop Sentinel() {
  TVOK_Prop prop;
  std::int32_t value = 0x5EED0000;
  for (const TProp_Field& field : VOK_PROP_FIELDS) prop.*field.Member = value++;
  return prop;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = Fuzz_File("fuzz.cnf", data, size);
  TVOK_Prop prop = Sentinel();
  try {
    Read_Config_File(file, prop);
  } catch (const TFile_Error&) {
    Require(size < VOK_PROP_SIZE, "a whole record is read");
    Require(prop == Sentinel(), "a refused file leaves the record as it was");
    return 0;
  }
  Require(size >= VOK_PROP_SIZE, "a short file is refused");
  const auto bytes = Encode_Config(prop);
  Require(std::equal(bytes.begin(), bytes.end(), data), "the record holds the file's first 132 bytes");

  const std::filesystem::path copy = file.parent_path() / "copy.cnf";
  Write_Config_File(copy, prop);
  Require(std::filesystem::file_size(copy) == VOK_PROP_SIZE, "a written file holds one record");
  TVOK_Prop again;
  Read_Config_File(copy, again);
  Require(again == prop, "a written file reads back to the same record");
  return 0;
}
