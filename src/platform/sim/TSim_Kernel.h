// What the Linux kernel of a host shows of the virtual boards on its USB bus: the cp210x ttys of
// sysfs, the ttys themselves, and the USB devices' control requests and port reset. The program's
// mapping to the two bridge libraries runs over it exactly as over the real system.
//
// As the kernel does, it gives each enumeration of a bridge a new USB address, and its tty the
// lowest ttyUSB number that is free (drivers/usb/serial/usb-serial.c, allocate_minors takes the
// lowest free minor); a number stays taken while a tty of the bridge's earlier enumeration is still
// open, since an open tty holds its serial device until it is closed. The USB path stays.
#pragma once

#include "platform/TBridge_Host.h"
#include "platform/TClock.h"

#include <map>
#include <mutex>
#include <set>
#include <vector>

class TSim_Board;
class TSim_Bus;

class TSim_Kernel final : public TBridge_Host {
public:
  explicit TSim_Kernel(TSim_Bus& bus) : Bus_(bus) {}

  std::optional<std::vector<TBridge>> Find_Bridges() override;
  // Exclusive, as the program's real tty opens are (TIOCEXCL): another open fails with EBUSY while
  // it stays open.
  std::unique_ptr<TTty> Open_Tty(const TBridge& bridge, int& error) override;
  int Control(const TBridge& bridge, const TUsb_Control& request, std::span<std::uint8_t> data,
              std::size_t& transferred) override;
  int Reset_Port(const TBridge& bridge) override;
  std::string Usb_Device_Name(const TBridge& bridge) const override;

  // An open by another program that does not ask for the tty alone (a terminal, a modem probe):
  // it asserts DTR and RTS as every open does. EBUSY while the program holds the tty exclusively.
  std::unique_ptr<TTty> Open_Shared(const TBridge& bridge, int& error);

  // Called by the ttys this kernel opened as they close.
  void Closed(int minor, bool exclusive);

private:
  struct TPort {
    std::uint64_t Enumeration = 0;  // the bridge's enumeration these facts are of
    int Address = 0;
    int Minor = -1;  // -1: no tty
  };
  // With the mutex held: brings the ports up to the boards' enumerations.
  void Update();
  int Free_Minor() const;
  // The board behind a bridge of the listing, while that enumeration lasts; null otherwise.
  TSim_Board* Board_Of(const TBridge& bridge, std::size_t& position);
  // The same, taking the mutex: for requests to the USB device, which the board serves by itself.
  TSim_Board* Board_Now(const TBridge& bridge);
  std::unique_ptr<TTty> Open(const TBridge& bridge, bool exclusive, int& error);

  TSim_Bus& Bus_;
  mutable std::mutex Mutex_;
  std::vector<TPort> Ports_;        // by the board's position on the bus
  std::map<int, int> Open_Minors_;  // minor: ttys open on it
  std::set<int> Exclusive_;         // minors held by an exclusive open
  int Next_Address_ = 2;            // 1 is the root hub
};
