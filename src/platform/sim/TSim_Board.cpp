#include "platform/sim/TSim_Board.h"

#include <algorithm>
#include <limits>

TSim_Board::TSim_Board(TClock& clock, TSim_Board_Setup setup, std::uint32_t seed)
    : Clock_(clock),
      Parity_Dropped_(setup.Parity_Dropped),
      Bridge_(setup.Bridge, setup.Pid_Programmed),
      Chip_({setup.Flash, setup.Settings, setup.Filter_Rate, setup.Parity_Dropped, seed}, Inputs_, Faults_,
            [this](std::uint8_t byte, const TSim_Line_Format& format, TDuration ready) {
              Transmit(byte, format, ready);
            }),
      Saved_Pid_(Bridge_.Stored_Pid()),
      Saved_Pid_Programmed_(Bridge_.Config.Pid_Programmed()) {
  std::seed_seq seeds{setup.Fault_Seed, seed};
  Faults_.Random.seed(seeds);
  Faults_.Line = setup.Line_Faults;
  if (Faults_.Line.Unplug_Period > TDuration{0})
    Bus_Events_.emplace(Clock_.Now() + Faults_.Line.Unplug_Period, BUS_PERIODIC_UNPLUG);
  Chip_.Start(Bridge_.Lines.Rts, Clock_.Now());
}

// --- Time ---

TDuration TSim_Board::Catch_Up() {
  const TDuration now = Clock_.Now();
  Advance(now);
  return now;
}

// Bus events first, then bytes towards the board, then towards the host, at equal times.
void TSim_Board::Advance(TDuration now) {
  for (;;) {
    const TDuration bus = Next_Bus_Event();
    const TDuration chip = To_Board_.Next_Arrival().value_or(TDuration::max());
    const TDuration host = To_Host_.Next_Arrival().value_or(TDuration::max());
    const TDuration next = std::min({bus, chip, host});
    if (next > now) break;
    if (next == bus) {
      const TBus_Event event = Bus_Events_.begin()->second;
      Bus_Events_.erase(Bus_Events_.begin());
      Run_Bus_Event(event, next);
    } else if (next == chip) {
      Deliver_To_Chip(To_Board_.Take_First());
    } else {
      Deliver_To_Host(To_Host_.Take_First());
    }
  }
  Persist_If_Changed();
}

TDuration TSim_Board::Next_Bus_Event() const {
  return Bus_Events_.empty() ? TDuration::max() : Bus_Events_.begin()->first;
}

TDuration TSim_Board::Next_Event() const {
  return std::min({Next_Bus_Event(),
                   To_Board_.Next_Arrival().value_or(TDuration::max()),
                   To_Host_.Next_Arrival().value_or(TDuration::max())});
}

// The board answers a frame only once it has the whole of it, so a reader need not look at each byte
// towards the chip, only at the last; and the bytes already on their way to the host arrive in
// order, so it need not look at each of those either. A bus event (the cable pulled) is seen when it
// happens. The times the board keeps stay exact: every byte is handled at its own arrival time.
TDuration TSim_Board::Rest_Due(std::size_t wanted) const {
  if (wanted == 0) return Clock_.Now();
  return std::min({Next_Bus_Event(),
                   To_Board_.Arrival_Of(std::numeric_limits<std::size_t>::max()).value_or(TDuration::max()),
                   To_Host_.Arrival_Of(wanted).value_or(TDuration::max())});
}

// A reset's re-enumeration does not happen while the cable is out.
void TSim_Board::Run_Bus_Event(TBus_Event event, TDuration at) {
  switch (event) {
    case BUS_PERIODIC_UNPLUG:
      Bus_Events_.emplace(at + SIM_UNPLUG_TIME, BUS_REPLUG);
      Bus_Events_.emplace(at + Faults_.Line.Unplug_Period, BUS_PERIODIC_UNPLUG);
      [[fallthrough]];
    case BUS_UNPLUG:
      Plugged_ = false;
      if (Bridge_.Present()) Leave_Bus(at);
      break;
    case BUS_REPLUG:
      Plugged_ = true;
      [[fallthrough]];
    case BUS_ENUMERATE:
      if (Plugged_ && !Bridge_.Present()) Bridge_.Enumerate();
  }
}

// --- The serial line ---

void TSim_Board::Record(TSim_Direction direction, std::uint8_t byte) {
  auto& log = Wire_Log_[direction];
  if (log.size() == SIM_WIRE_LOG_BYTES) log.pop_front();
  log.push_back(byte);
}

void TSim_Board::Deliver_To_Chip(const TSim_Wire_Byte& byte) {
  Record(SIM_TO_BOARD, byte.Value);
  Chip_.Receive(byte.Value, byte.Format, byte.Arrival);
}

// A byte in another format than the bridge's arrives as garbage, which it discards.
void TSim_Board::Deliver_To_Host(const TSim_Wire_Byte& byte) {
  Record(SIM_TO_HOST, byte.Value);
  if (Bridge_.Present() && Receiver_Reads(byte.Format, Bridge_.Format(), Parity_Dropped_))
    Bridge_.Received.push_back(byte.Value);
}

void TSim_Board::Transmit(std::uint8_t byte, const TSim_Line_Format& format, TDuration ready) {
  if (Faults_.Silent) return;
  if (const auto arriving = On_The_Wire(SIM_TO_HOST, byte))
    To_Host_.Send(*arriving, format, ready + Faults_.Answer_Delay);
}

// A lost byte still took its place in the counted faults: they count bytes put on the wire.
std::optional<std::uint8_t> TSim_Board::On_The_Wire(TSim_Direction direction, std::uint8_t byte) {
  if (Faults_.Corrupt_Byte[direction].Tick()) byte ^= Faults_.Corrupt_Mask[direction];
  if (Faults_.Strikes(Faults_.Line.Noise))
    byte ^= static_cast<std::uint8_t>(std::uniform_int_distribution<int>(1, 0xFF)(Faults_.Random));
  if (Faults_.Strikes(Faults_.Line.Drop)) return std::nullopt;
  return byte;
}

// DTR asserted holds the chip in reset, and what it had not yet sent is never sent; releasing DTR
// starts it, into the bootloader when RTS is asserted at that moment.
void TSim_Board::Drive_Lines(TSim_Lines lines, TDuration at) {
  const TSim_Lines before = Bridge_.Lines;
  Bridge_.Lines = lines;
  if (lines.Dtr && !before.Dtr) {
    Chip_.Hold_In_Reset();
    To_Host_.Drop_Unsent(at);
  } else if (!lines.Dtr && before.Dtr) {
    Chip_.Start(lines.Rts, at);
  }
}

// An unpowered bridge releases its lines; what was on the wire is lost.
void TSim_Board::Leave_Bus(TDuration at) {
  Drive_Lines({}, at);
  To_Board_.Clear();
  To_Host_.Clear();
  Bridge_.Leave_Bus();
}

// --- Persistence ---

void TSim_Board::On_Persistent_Change(TSim_Persist persist) {
  std::lock_guard lock(Mutex_);
  Persist_ = std::move(persist);
}

TSim_Persistent_State TSim_Board::State() const {
  return {Bridge_.Stored_Pid(), Chip_.Memory().Flash(), Chip_.Stored_Settings(), Bridge_.Config.Pid_Programmed()};
}

void TSim_Board::Persist_If_Changed() {
  const std::uint64_t flash = Chip_.Memory().Flash_Changes(), stores = Chip_.Settings_Stores();
  const std::uint16_t pid = Bridge_.Stored_Pid();
  const bool programmed = Bridge_.Config.Pid_Programmed();
  if (flash == Saved_Flash_Changes_ && stores == Saved_Settings_Stores_ && pid == Saved_Pid_ &&
      programmed == Saved_Pid_Programmed_)
    return;
  Saved_Flash_Changes_ = flash;
  Saved_Settings_Stores_ = stores;
  Saved_Pid_ = pid;
  Saved_Pid_Programmed_ = programmed;
  if (Persist_) Persist_(State());
}

TSim_Persistent_State TSim_Board::Persistent_State() {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  return State();
}

// --- Inspection ---

TSim_Bridge_Identity TSim_Board::Identity() {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  return Bridge_.Identity();
}

std::uint16_t TSim_Board::Stored_Pid() {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  return Bridge_.Stored_Pid();
}

bool TSim_Board::Listed(TSim_View view) {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  return Bridge_.Listed_By(view);
}

TSim_Lines TSim_Board::Lines() {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  return Bridge_.Lines;
}

TSim_Run TSim_Board::Running() {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  return Chip_.Running();
}

std::vector<std::uint8_t> TSim_Board::Flash(std::uint32_t address, std::uint32_t count) {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  if (!TSim_Region{SIM_REGION_FLASH, SIM_FLASH_START, SIM_FLASH_SIZE}.Holds(address, count)) return {};
  const auto first = Chip_.Memory().Flash().begin() + (address - SIM_FLASH_START);
  return {first, first + count};
}

std::optional<std::uint16_t> TSim_Board::Live_Parameter(std::uint8_t id) {
  std::lock_guard lock(Mutex_);
  return Chip_.Live_Parameter(id, Catch_Up());
}

TSim_Settings TSim_Board::Stored_Settings() {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  return Chip_.Stored_Settings();
}

std::vector<std::uint8_t> TSim_Board::Wire_Log(TSim_Direction direction) {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  return {Wire_Log_[direction].begin(), Wire_Log_[direction].end()};
}

void TSim_Board::Clear_Wire_Log() {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  for (auto& log : Wire_Log_) log.clear();
}

// --- Inputs and faults ---

TSim_Inputs TSim_Board::Inputs() {
  std::lock_guard lock(Mutex_);
  return Inputs_;
}

// The filter time is counted up to now under the old inputs.
void TSim_Board::Set_Inputs(const TSim_Inputs& inputs) {
  std::lock_guard lock(Mutex_);
  Chip_.Run_Until(Catch_Up());
  Inputs_ = inputs;
}

void TSim_Board::Unplug_At(TDuration when) {
  std::lock_guard lock(Mutex_);
  Bus_Events_.emplace(when, BUS_UNPLUG);
  Catch_Up();
}

void TSim_Board::Replug_At(TDuration when) {
  std::lock_guard lock(Mutex_);
  Bus_Events_.emplace(when, BUS_REPLUG);
  Catch_Up();
}

void TSim_Board::Set_Silent(bool silent) {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  Faults_.Silent = silent;
}

void TSim_Board::Delay_Answers(TDuration delay) {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  Faults_.Answer_Delay = delay;
}

void TSim_Board::Nack_Frame(unsigned n) {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  Faults_.Nack_Frame.Arm(n);
}

void TSim_Board::Corrupt_Byte(TSim_Direction direction, unsigned n, std::uint8_t mask) {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  Faults_.Corrupt_Byte[direction].Arm(n);
  Faults_.Corrupt_Mask[direction] = mask;
}
