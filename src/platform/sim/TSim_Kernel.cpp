#include "platform/sim/TSim_Kernel.h"

#include "platform/sim/TSim_Bus.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace {
constexpr int BUS = 1;

std::string Tty_Name(int minor) { return "ttyUSB" + std::to_string(minor); }

// The board's place on the bus: its root-hub port.
std::string Usb_Path(std::size_t position) { return std::to_string(BUS) + "-" + std::to_string(position + 1); }

int Errno_Of(TSim_Result result) {
  switch (result) {
    case SIM_RESULT_OK: return 0;
    case SIM_RESULT_BAD_PARAMETER: return EINVAL;
    case SIM_RESULT_GONE: break;
  }
  return ENODEV;
}

// One open tty of a virtual board; reads wait on the bus's clock.
class TSim_Tty final : public TTty {
public:
  TSim_Tty(TSim_Kernel& kernel, TSim_Board& board, TSim_Session session, TClock& clock, int minor, bool exclusive)
      : Kernel_(kernel), Board_(board), Session_(session), Clock_(clock), Minor_(minor), Exclusive_(exclusive) {}
  ~TSim_Tty() override {
    Board_.Close(Session_);
    Kernel_.Closed(Minor_, Exclusive_);
  }

  int Set_Baud_Rate(std::uint32_t baud) override { return Errno_Of(Board_.Set_Baud_Rate(Session_, baud)); }
  int Set_Line_Control(std::uint16_t line_control) override {
    return Errno_Of(Board_.Set_Line_Control(Session_, line_control));
  }

  TTransfer Read(std::uint8_t* dest, std::size_t count, int timeout_ms) override {
    TTransfer transfer;
    const TDuration deadline = Clock_.Now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
      const TSim_Take take = Board_.Take(Session_, dest, static_cast<std::uint32_t>(count));
      if (take.Result != SIM_RESULT_OK) return {TRANSFER_GONE, 0, EIO};  // hung up: the bridge left
      transfer.Count = take.Count;
      if (take.Count > 0) return transfer;
      if (Clock_.Now() >= deadline) return {TRANSFER_TIMED_OUT, 0, 0};
      Clock_.Sleep_Until(std::min(take.Rest_Due, deadline));
    }
  }

  // The bytes leave one after another; the call does not wait for them.
  TTransfer Write(const std::uint8_t* src, std::size_t count, int) override {
    if (Board_.Write(Session_, {src, count}) != SIM_RESULT_OK) return {TRANSFER_GONE, 0, EIO};
    return {TRANSFER_DONE, count, 0};
  }

  int Flush(bool transmit, bool receive) override { return Errno_Of(Board_.Flush(Session_, transmit, receive)); }

  int Get_Lines(int& lines) override {
    const std::optional<TSim_Lines> state = Board_.Modem_Status(Session_);
    if (!state) return EIO;
    lines = (state->Dtr ? TTY_DTR : 0) | (state->Rts ? TTY_RTS : 0);
    return 0;
  }

  // Each set of lines is one request to the bridge, as TIOCMBIS and TIOCMBIC are.
  int Set_Lines(int asserted, int released) override {
    const std::optional<TSim_Lines> state = Board_.Modem_Status(Session_);
    if (!state) return EIO;
    TSim_Lines lines = *state;
    for (const auto& [change, to] : {std::pair{asserted, true}, std::pair{released, false}}) {
      if (change == 0) continue;
      if (change & TTY_DTR) lines.Dtr = to;
      if (change & TTY_RTS) lines.Rts = to;
      if (const int error = Errno_Of(Board_.Set_Lines(Session_, lines)); error != 0) return error;
    }
    return 0;
  }

private:
  TSim_Kernel& Kernel_;
  TSim_Board& Board_;
  TSim_Session Session_;
  TClock& Clock_;
  int Minor_;
  bool Exclusive_;
};
}  // namespace

void TSim_Kernel::Update() {
  const std::size_t boards = Bus_.Board_Count();
  Ports_.resize(boards);
  for (std::size_t position = 0; position < boards; ++position) {
    TPort& port = Ports_[position];
    const TSim_Usb_State state = Bus_.Board(position).Usb_State();
    if (!state.Present) {
      port.Minor = -1;
      continue;
    }
    if (state.Enumeration == port.Enumeration) continue;
    port.Enumeration = state.Enumeration;
    port.Address = Next_Address_++;
    port.Minor = -1;
    if (Cp210x_Binds(state.Identity.Vid, state.Identity.Pid)) port.Minor = Free_Minor();
  }
}

int TSim_Kernel::Free_Minor() const {
  for (int minor = 0;; ++minor) {
    const bool listed =
        std::any_of(Ports_.begin(), Ports_.end(), [&](const TPort& port) { return port.Minor == minor; });
    if (!listed && !Open_Minors_.contains(minor)) return minor;
  }
}

std::optional<std::vector<TBridge>> TSim_Kernel::Find_Bridges() {
  std::lock_guard lock(Mutex_);
  Update();
  std::vector<TBridge> bridges;
  for (std::size_t position = 0; position < Ports_.size(); ++position) {
    const TPort& port = Ports_[position];
    if (port.Minor < 0) continue;
    const TSim_Bridge_Identity identity = Bus_.Board(position).Usb_State().Identity;
    TBridge bridge;
    bridge.Key = {Tty_Name(port.Minor), Usb_Path(position), BUS, port.Address};
    bridge.Node = "virtual:" + bridge.Key.Tty;
    bridge.Vid = identity.Vid;
    bridge.Pid = identity.Pid;
    bridge.Product = identity.Product;
    bridge.Serial = identity.Serial;
    bridges.push_back(std::move(bridge));
  }
  return bridges;
}

TSim_Board* TSim_Kernel::Board_Of(const TBridge& bridge, std::size_t& position) {
  Update();
  for (position = 0; position < Ports_.size(); ++position) {
    const TPort& port = Ports_[position];
    if (Usb_Path(position) == bridge.Key.Usb_Path && port.Address == bridge.Key.Address && port.Minor >= 0)
      return &Bus_.Board(position);
  }
  return nullptr;
}

std::unique_ptr<TTty> TSim_Kernel::Open(const TBridge& bridge, bool exclusive, int& error) {
  std::lock_guard lock(Mutex_);
  std::size_t position = 0;
  TSim_Board* board = Board_Of(bridge, position);
  const int minor = board ? Ports_[position].Minor : -1;
  if (!board || Tty_Name(minor) != bridge.Key.Tty) {
    error = ENOENT;
    return nullptr;
  }
  if (Exclusive_.contains(minor)) {
    error = EBUSY;
    return nullptr;
  }
  const std::optional<TSim_Session> session = board->Open(SIM_VIEW_MANUFACTURING);
  if (!session) {
    error = ENODEV;
    return nullptr;
  }
  ++Open_Minors_[minor];
  if (exclusive) Exclusive_.insert(minor);
  return std::make_unique<TSim_Tty>(*this, *board, *session, Bus_.Clock(), minor, exclusive);
}

std::unique_ptr<TTty> TSim_Kernel::Open_Tty(const TBridge& bridge, int& error) { return Open(bridge, true, error); }

std::unique_ptr<TTty> TSim_Kernel::Open_Shared(const TBridge& bridge, int& error) { return Open(bridge, false, error); }

void TSim_Kernel::Closed(int minor, bool exclusive) {
  std::lock_guard lock(Mutex_);
  if (exclusive) Exclusive_.erase(minor);
  if (--Open_Minors_[minor] == 0) Open_Minors_.erase(minor);
}

TSim_Board* TSim_Kernel::Board_Now(const TBridge& bridge) {
  std::lock_guard lock(Mutex_);
  std::size_t position = 0;
  return Board_Of(bridge, position);
}

int TSim_Kernel::Control(const TBridge& bridge, const TUsb_Control& request, std::span<std::uint8_t> data,
                         std::size_t& transferred) {
  transferred = 0;
  TSim_Board* board = Board_Now(bridge);
  if (!board) return ENODEV;
  return board->Control(request.Request_Type, request.Request, request.Value, request.Index, data, transferred);
}

int TSim_Kernel::Reset_Port(const TBridge& bridge) {
  TSim_Board* board = Board_Now(bridge);
  return board ? board->Reset_Port() : ENODEV;
}

std::string TSim_Kernel::Usb_Device_Name(const TBridge& bridge) const {
  return "virtual USB device " + bridge.Key.Usb_Path;
}
