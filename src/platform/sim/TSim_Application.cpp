#include "platform/sim/TSim_Application.h"

#include <array>
#include <chrono>

using namespace std::chrono_literals;

namespace {
constexpr std::uint8_t FRAME_START = 0xFF;
constexpr std::uint8_t FRAME_READ = 0x01;   // start, read, id; answered with high, low
constexpr std::uint8_t FRAME_WRITE = 0x00;  // start, write, id, high, low; not answered
constexpr std::size_t READ_SIZE = 3;
constexpr std::size_t WRITE_SIZE = 5;

constexpr TDuration TURNAROUND = 50us;  // from a request's last byte to the answer
constexpr TDuration STORE_TIME = 20ms;  // writing the non-volatile memory
// A frame whose bytes come further apart than this was broken off; what came is dropped.
constexpr TDuration FRAME_GAP = 50ms;
}  // namespace

TSim_Application::TSim_Application(TSim_Plant plant, TSim_Chip_Services& chip)
    : Plant_(std::move(plant)), Chip_(chip) {}

void TSim_Application::Receive(std::uint8_t byte, TDuration at) {
  if (!Frame_.empty() && at - Last_Byte_ > FRAME_GAP) Frame_.clear();
  Last_Byte_ = at;
  if (Frame_.size() == 1 && byte != FRAME_READ && byte != FRAME_WRITE) Frame_.clear();
  if (Frame_.empty() && byte != FRAME_START) return;
  Frame_.push_back(byte);

  if (Frame_.size() == READ_SIZE && Frame_[1] == FRAME_READ) {
    Read_Request(Frame_[2], at);
    Frame_.clear();
  } else if (Frame_.size() == WRITE_SIZE) {
    const std::uint8_t id = Frame_[2];
    const auto value = static_cast<std::uint16_t>(Frame_[3] << 8 | Frame_[4]);
    if (id == SIM_PARAM_RESET_FILTER) Plant_.Reset_Filter_Time(at);
    else Plant_.Write(id, value, at);
    Frame_.clear();
  }
}

// The store command answers two bytes once the settings are kept; an unknown id gets no answer.
void TSim_Application::Read_Request(std::uint8_t id, TDuration at) {
  if (id == SIM_PARAM_STORE_SETTINGS) {
    Chip_.Store_Settings(Plant_.Settings());
    Chip_.Answer(std::array<std::uint8_t, 2>{0x00, 0x00}, at + STORE_TIME);
    return;
  }
  if (const std::optional<std::uint16_t> value = Plant_.Read(id, at))
    Chip_.Answer(std::array{static_cast<std::uint8_t>(*value >> 8), static_cast<std::uint8_t>(*value)},
                 at + TURNAROUND);
}
