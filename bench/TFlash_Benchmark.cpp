#include "TFlash_Benchmark.h"

#include "firmware/TFirmware_Update.h"
#include "firmware/TFirmUpdTrear.h"
#include "support/THex_Text.h"
#include "platform/TVirtual_Clock.h"
#include "platform/sim/TSim_Bus.h"
#include "platform/sim/TSim_Factory.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {
constexpr std::uint32_t FLASH_START = 0x08000000;
constexpr std::size_t IMAGE_SIZE = 64 * 1024;
constexpr double BITS_PER_BYTE = 11;  // start, 8 data, even parity, stop
constexpr double BAUD = 38400;

class TNull_Log final : public TLog {
public:
  void Clear() override {}
  void Add(std::string_view) override {}
  void Append(std::string_view) override {}
};

std::filesystem::path Write_Image() {
  std::vector<std::uint8_t> image = Application_Image(2, 9);
  const std::vector<std::uint8_t> filler = Pattern(IMAGE_SIZE - image.size(), 1);
  image.insert(image.end(), filler.begin(), filler.end());
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "yeli-bench-flash.hex";
  std::ofstream(path) << Data_Records(FLASH_START, image, 16) + END;
  return path;
}
}  // namespace

double Flash_Overhead_64_KiB() {
  const std::filesystem::path file = Write_Image();
  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  bus.Attach(Factory_Setup(SIM_FACTORY_USBXPRESS));
  TSTM32 chip(bus.UsbXpress(), clock);
  if (!chip.CP_Connect()) throw std::runtime_error("the virtual board is not listed");
  chip.CP_State = CP_BUSY;
  if (!chip.Init_CP(LINE_8E1) || !chip.Chip_Get_Header()) throw std::runtime_error("the virtual board did not answer");
  chip.Close();
  chip.CP_State = CP_CLOSE;

  TNull_Log log;
  const auto start = std::chrono::steady_clock::now();
  Update_Firmware(chip, clock, {file.string(), BOOT_BAUD_SAFE}, log, nullptr);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::filesystem::remove(file);
  if (!chip.FirmUpdTrear || chip.FirmUpdTrear->Chip_WriteFromFile().Result != FLASH_VERIFIED)
    throw std::runtime_error("the image was not written and verified");
  return elapsed.count() / (IMAGE_SIZE * BITS_PER_BYTE / BAUD);
}
