#include "platform/sim/TSim_Microcontroller.h"

#include "platform/sim/Sim_AN3155.h"

#include <chrono>

using namespace std::chrono_literals;

namespace {
// From reset released to the first byte the application can take; the bootloader's is BOOT_START_TIME.
constexpr TDuration APPLICATION_START_TIME = 2ms;
}  // namespace

TSim_Microcontroller::TSim_Microcontroller(const TSetup& setup, const TSim_Inputs& inputs, TSim_Faults& faults,
                                           TTransmit transmit)
    : Memory_(setup.Flash),
      Stored_(setup.Settings),
      Filter_Rate_(setup.Filter_Rate),
      Parity_Dropped_(setup.Parity_Dropped),
      Seed_(setup.Seed),
      Inputs_(inputs),
      Faults_(faults),
      Transmit_(std::move(transmit)) {}

void TSim_Microcontroller::Hold_In_Reset() {
  Run_ = SIM_RUN_RESET;
  Bootloader_.reset();
  Application_.reset();
}

void TSim_Microcontroller::Start(bool boot_pin, TDuration at) {
  Hold_In_Reset();
  Ready_At_ = at + (boot_pin ? TDuration(BOOT_START_TIME) : APPLICATION_START_TIME);
  if (boot_pin) {
    Bootloader_ = std::make_unique<TSim_Bootloader>(Memory_, Faults_, Services());
    Run_ = SIM_RUN_BOOTLOADER;
  } else if (Memory_.Holds_Application()) {
    Run_Application(at);
  } else {
    Run_ = SIM_RUN_NOTHING;
  }
}

// Settings come from non-volatile memory at every start, and the version from flash.
void TSim_Microcontroller::Run_Application(TDuration at) {
  const std::vector<std::uint8_t> version = Memory_.Read(SIM_VERSION_ADDRESS, 2);
  const auto major_minor = static_cast<std::uint16_t>(version[1] << 8 | version[0]);
  Application_ = std::make_unique<TSim_Application>(
      TSim_Plant(Stored_, Inputs_, major_minor, Filter_Rate_, Seed_, at), Services());
  Run_ = SIM_RUN_APPLICATION;
}

void TSim_Microcontroller::Receive(std::uint8_t byte, const TSim_Line_Format& format, TDuration at) {
  if (at < Ready_At_) return;
  if (Bootloader_ && Bootloader_->Reads(format, Parity_Dropped_)) Bootloader_->Receive(byte, format, at);
  if (Application_ && Receiver_Reads(format, SIM_8N1_38400, Parity_Dropped_)) Application_->Receive(byte, at);
  if (!Jump_To_) return;
  // A jump to the vector table at the start of flash runs the application; anywhere else the chip
  // runs code this model does not have.
  const std::uint32_t target = *Jump_To_;
  Jump_To_.reset();
  Hold_In_Reset();
  if (target == SIM_FLASH_START && Memory_.Holds_Application()) Run_Application(at);
  else Run_ = SIM_RUN_NOTHING;
}

void TSim_Microcontroller::Run_Until(TDuration at) {
  if (Application_) Application_->Plant().Run_Until(at);
}

std::optional<std::uint16_t> TSim_Microcontroller::Live_Parameter(std::uint8_t id, TDuration at) {
  if (!Application_) return std::nullopt;
  return Application_->Plant().Read(id, at);
}

// A late answer leaves whole, after its time.
void TSim_Microcontroller::Answer(std::span<const std::uint8_t> bytes, TDuration ready) {
  const TSim_Line_Format format = Bootloader_ ? *Bootloader_->Format() : SIM_8N1_38400;
  if (Faults_.Strikes(Faults_.Line.Late)) ready += SIM_LATE_ANSWER;
  for (std::uint8_t byte : bytes) Transmit_(byte, format, ready);
}

void TSim_Microcontroller::Jump(std::uint32_t address) { Jump_To_ = address; }

void TSim_Microcontroller::Store_Settings(const TSim_Settings& settings) {
  Stored_ = settings;
  ++Stores_;
}
