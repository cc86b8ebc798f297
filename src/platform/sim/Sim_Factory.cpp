#include "platform/sim/Sim_Factory.h"

#include "platform/sim/TSim_Memory.h"
#include "platform/sim/TSim_Microcontroller.h"

#include <cstdio>
#include <string>

namespace {
constexpr std::uint32_t IMAGE_SIZE = 0x41A8;
constexpr std::uint32_t VECTOR_TABLE_SIZE = 0x130;  // stack pointer and 75 vectors
constexpr std::uint32_t RESET_HANDLER = SIM_FLASH_START + VECTOR_TABLE_SIZE + 1;  // Thumb code
constexpr std::uint32_t DEFAULT_HANDLER = RESET_HANDLER + 4;
constexpr std::uint32_t VERSION_BLOCK = SIM_VERSION_ADDRESS - 2;  // "YL", minor, major, name

void Put_Word(std::vector<std::uint8_t>& image, std::uint32_t offset, std::uint32_t word) {
  for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<std::uint8_t>(word >> (8 * i));
}

// Code-like bytes that differ from version to version.
void Put_Code(std::vector<std::uint8_t>& image, std::uint32_t seed) {
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::uint32_t i = VECTOR_TABLE_SIZE; i < image.size(); ++i) {
    state = state * 1664525u + 1013904223u;
    image[i] = static_cast<std::uint8_t>(state >> 24);
  }
}
}  // namespace

std::vector<std::uint8_t> Application_Image(std::uint8_t major, std::uint8_t minor) {
  std::vector<std::uint8_t> image(IMAGE_SIZE);
  Put_Code(image, std::uint32_t{major} << 8 | minor);
  Put_Word(image, 0, SIM_RAM_START + SIM_RAM_SIZE);
  Put_Word(image, 4, RESET_HANDLER);
  for (std::uint32_t offset = 8; offset < VECTOR_TABLE_SIZE; offset += 4) Put_Word(image, offset, DEFAULT_HANDLER);

  const std::string name = "Yeli controller firmware " + std::to_string(major) + "." + std::to_string(minor);
  std::uint32_t at = VERSION_BLOCK - SIM_FLASH_START;
  for (std::uint8_t byte : {std::uint8_t{'Y'}, std::uint8_t{'L'}, minor, major}) image[at++] = byte;
  for (char c : name) image[at++] = static_cast<std::uint8_t>(c);
  image[at] = 0;
  return image;
}

TSim_Board_Setup Factory_Setup(TSim_Factory_State state, std::uint8_t part, unsigned unit) {
  TSim_Board_Setup setup;
  setup.Bridge = Factory_Identity(part, state == SIM_FACTORY_VCP ? SIM_VCP_PID : SIM_USBXPRESS_PID, unit);
  setup.Pid_Programmed = part == SIM_PART_CP2104 && state != SIM_FACTORY_VCP;
  if (state == SIM_FACTORY_OLD) setup.Flash = Application_Image(2, 0);
  else if (state != SIM_FACTORY_BLANK) setup.Flash = Application_Image(2, 3);
  return setup;
}

TSim_Board_Setup Simulation_Setup(TSim_Factory_State state, std::uint8_t part, unsigned unit) {
  TSim_Board_Setup setup = Factory_Setup(state, part, unit);
  setup.Filter_Rate = SIM_SIMULATE_FILTER_RATE;
  // Every CP2102 leaves the factory as "0001"; a line that keeps records programs a serial number
  // into each, so the boards of one run carry 0001, 0002 and on.
  if (part == SIM_PART_CP2102) {
    char serial[8];
    std::snprintf(serial, sizeof serial, "%04u", unit % 10000);
    setup.Bridge.Serial = serial;
  }
  return setup;
}
