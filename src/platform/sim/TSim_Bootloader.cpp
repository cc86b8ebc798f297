#include "platform/sim/TSim_Bootloader.h"

#include "platform/sim/Sim_AN3155.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace {
constexpr std::array<std::uint8_t, 11> COMMANDS = {
    BOOT_GET,          BOOT_GET_VERSION,   BOOT_GET_ID,          BOOT_READ_MEMORY,
    BOOT_GO,           BOOT_WRITE_MEMORY,  BOOT_ERASE,           BOOT_WRITE_PROTECT,
    BOOT_WRITE_UNPROTECT, BOOT_READOUT_PROTECT, BOOT_READOUT_UNPROTECT};

constexpr TSim_Line_Format Format_8E1(std::uint32_t baud) { return {baud, 8, SIM_PARITY_EVEN, 2}; }

std::uint8_t Xor_Of(std::span<const std::uint8_t> bytes) {
  return std::accumulate(bytes.begin(), bytes.end(), std::uint8_t{0},
                         [](std::uint8_t sum, std::uint8_t b) { return static_cast<std::uint8_t>(sum ^ b); });
}

// Flash programs half-word by half-word; RAM takes no time worth counting.
TDuration Write_Time(const TSim_Region& region, std::size_t count) {
  if (region.Kind != SIM_REGION_FLASH) return TDuration{0};
  return BOOT_HALF_WORD_PROGRAM_TIME * static_cast<std::int64_t>((count + 1) / 2);
}
}  // namespace

TSim_Bootloader::TSim_Bootloader(TSim_Memory& memory, TSim_Faults& faults, TSim_Chip_Services& chip)
    : Memory_(memory), Faults_(faults), Chip_(chip) {}

bool TSim_Bootloader::Reads(const TSim_Line_Format& format, bool parity_dropped) const {
  if (!Format_) return format.Data_Bits == 8 && format.Baud <= BOOT_MAX_BAUD;
  return Receiver_Reads(format, *Format_, parity_dropped);
}

void TSim_Bootloader::Receive(std::uint8_t byte, const TSim_Line_Format& format, TDuration at) {
  if (Stage_ == STAGE_SYNC) {
    if (byte != BOOT_SYNC) return;
    Format_ = Format_8E1(format.Baud);
    if (Accept({}, at + BOOT_TURNAROUND)) Stage_ = STAGE_COMMAND;
    else Format_.reset();
    return;
  }
  Frame_.push_back(byte);
  if (Frame_.size() == Frame_Size()) {
    Complete_Frame(at);
    Frame_.clear();
  }
}

// Write Memory and a page list announce their length in their first byte.
std::size_t TSim_Bootloader::Frame_Size() const {
  switch (Stage_) {
    case STAGE_COMMAND: return 2;
    case STAGE_ADDRESS: return 5;
    case STAGE_READ_COUNT: return 2;
    case STAGE_WRITE_DATA: return Frame_.empty() ? 1 : Frame_[0] + 3u;
    case STAGE_ERASE: return Frame_.empty() ? 1 : Frame_[0] == BOOT_GLOBAL_ERASE ? 2 : Frame_[0] + 3u;
    case STAGE_SYNC: break;
  }
  return 1;
}

void TSim_Bootloader::Complete_Frame(TDuration at) {
  const TStage stage = Stage_;
  Stage_ = STAGE_COMMAND;  // where every command ends, accepted or refused
  switch (stage) {
    case STAGE_COMMAND: Command(at); break;
    case STAGE_ADDRESS: Address(at); break;
    case STAGE_READ_COUNT: Read_Count(at); break;
    case STAGE_WRITE_DATA: Write_Data(at); break;
    case STAGE_ERASE: Erase(at); break;
    case STAGE_SYNC: break;
  }
}

void TSim_Bootloader::Command(TDuration at) {
  const std::uint8_t code = Frame_[0];
  const bool known = std::find(COMMANDS.begin(), COMMANDS.end(), code) != COMMANDS.end();
  if (Frame_[1] != Boot_Complement(code) || !known) return Refuse(at);
  const TDuration ready = at + BOOT_TURNAROUND;
  Command_ = code;
  switch (code) {
    case BOOT_GET: {
      // The count of the bytes that follow, less one: the version and the codes.
      std::vector<std::uint8_t> answer = {COMMANDS.size(), BOOT_VERSION};
      answer.insert(answer.end(), COMMANDS.begin(), COMMANDS.end());
      answer.push_back(BOOT_ACK);
      Accept(answer, ready);
      break;
    }
    case BOOT_GET_VERSION: Accept({BOOT_VERSION, 0x00, 0x00, BOOT_ACK}, ready); break;
    case BOOT_GET_ID:
      Accept({0x01, BOOT_PRODUCT_ID >> 8, BOOT_PRODUCT_ID & 0xFF, BOOT_ACK}, ready);
      break;
    case BOOT_READ_MEMORY:
    case BOOT_GO:
    case BOOT_WRITE_MEMORY:
      if (Accept({}, ready)) Stage_ = STAGE_ADDRESS;
      break;
    case BOOT_ERASE:
      if (Accept({}, ready)) Stage_ = STAGE_ERASE;
      break;
    default: Refuse(at);  // protection commands: this part never changes its protection
  }
}

// Read Memory reaches every region; Go and Write Memory flash and RAM, Write Memory word-aligned.
void TSim_Bootloader::Address(TDuration at) {
  if (Xor_Of(std::span(Frame_).first(4)) != Frame_[4]) return Refuse(at);
  Address_ = std::uint32_t{Frame_[0]} << 24 | std::uint32_t{Frame_[1]} << 16 | std::uint32_t{Frame_[2]} << 8 |
             Frame_[3];
  const std::optional<TSim_Region> region = TSim_Memory::Region_At(Address_);
  const bool code_space = region && (region->Kind == SIM_REGION_FLASH || region->Kind == SIM_REGION_RAM);
  const TDuration ready = at + BOOT_TURNAROUND;
  switch (Command_) {
    case BOOT_READ_MEMORY:
      if (!region) return Refuse(at);
      if (Accept({}, ready)) Stage_ = STAGE_READ_COUNT;
      break;
    case BOOT_GO:
      if (!code_space) return Refuse(at);
      if (Accept({}, ready)) Chip_.Jump(Address_);
      break;
    default:
      if (!code_space || Address_ % 4 != 0) return Refuse(at);
      if (Accept({}, ready)) Stage_ = STAGE_WRITE_DATA;
  }
}

void TSim_Bootloader::Read_Count(TDuration at) {
  const std::uint32_t count = Frame_[0] + 1u;
  if (Frame_[1] != Boot_Complement(Frame_[0]) || !TSim_Memory::Region_At(Address_)->Holds(Address_, count))
    return Refuse(at);
  Accept(Memory_.Read(Address_, count), at + BOOT_TURNAROUND);
}

void TSim_Bootloader::Write_Data(TDuration at) {
  const std::span<const std::uint8_t> data = std::span(Frame_).subspan(1, Frame_[0] + 1u);
  const TSim_Region region = *TSim_Memory::Region_At(Address_);
  if (Xor_Of(std::span(Frame_).first(Frame_.size() - 1)) != Frame_.back() || !region.Holds(Address_, data.size()))
    return Refuse(at);
  if (Faults_.Nack_Frame.Tick()) return Refuse(at);
  Memory_.Program(Address_, data);
  Chip_.Answer(std::array{BOOT_ACK}, at + BOOT_TURNAROUND + Write_Time(region, data.size()));
}

void TSim_Bootloader::Erase(TDuration at) {
  if (Frame_[0] == BOOT_GLOBAL_ERASE) {
    if (Frame_[1] != 0x00 || Faults_.Nack_Frame.Tick()) return Refuse(at);
    Memory_.Erase_All();
    Chip_.Answer(std::array{BOOT_ACK}, at + BOOT_TURNAROUND + BOOT_GLOBAL_ERASE_TIME);
    return;
  }
  const std::span<const std::uint8_t> pages = std::span(Frame_).subspan(1, Frame_[0] + 1u);
  const bool valid = std::all_of(pages.begin(), pages.end(), [](std::uint8_t page) { return page < SIM_PAGES; });
  if (Xor_Of(std::span(Frame_).first(Frame_.size() - 1)) != Frame_.back() || !valid || Faults_.Nack_Frame.Tick())
    return Refuse(at);
  for (std::uint8_t page : pages) Memory_.Erase_Page(page);
  Chip_.Answer(std::array{BOOT_ACK}, at + BOOT_TURNAROUND + BOOT_PAGE_ERASE_TIME * pages.size());
}

bool TSim_Bootloader::Accept(const std::vector<std::uint8_t>& data, TDuration ready) {
  if (Faults_.Nack_Frame.Tick()) {
    Chip_.Answer(std::array{BOOT_NACK}, ready);
    return false;
  }
  std::vector<std::uint8_t> answer = {BOOT_ACK};
  answer.insert(answer.end(), data.begin(), data.end());
  Chip_.Answer(answer, ready);
  return true;
}

void TSim_Bootloader::Refuse(TDuration at) { Chip_.Answer(std::array{BOOT_NACK}, at + BOOT_TURNAROUND); }
