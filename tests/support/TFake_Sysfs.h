// A sysfs tree, a /dev folder and a /proc folder in a temporary folder, laid out as the kernel lays
// them out for USB serial bridges, so the bridge search and the set-up checks can be tested without
// hardware.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct TUsb_Serial {
  std::string Tty;                // ttyUSB0; empty: no tty (no driver, or one that makes none)
  std::string Usb_Path;           // 1-2
  std::string Driver = "cp210x";  // of the USB interface; empty: none bound
  std::uint16_t Vid = 0x10C4;
  std::uint16_t Pid = 0xEA60;
  std::optional<std::string> Product;  // none: the device has no product string
  int Address = 5;
  std::string Serial = "0001";
};

// The chip's own string of a factory CP2102, in either driver mode.
inline constexpr const char* CP2102_PRODUCT = "CP2102 USB to UART Bridge Controller";

class TFake_Sysfs {
public:
  TFake_Sysfs();
  ~TFake_Sysfs();
  TFake_Sysfs(const TFake_Sysfs&) = delete;
  TFake_Sysfs& operator=(const TFake_Sysfs&) = delete;

  std::filesystem::path Sys() const { return Root_ / "sys"; }
  std::filesystem::path Dev() const { return Root_ / "dev"; }
  std::filesystem::path Proc() const { return Root_ / "proc"; }
  std::filesystem::path Folder() const { return Root_; }

  // The USB device with its interface, its tty when it has one, and its usbfs node under /dev.
  void Add_Usb_Serial(const TUsb_Serial& port);
  // A serial port on the main board, not on USB.
  void Add_Board_Serial(const std::string& tty);
  // A terminal with no device behind it.
  void Add_Virtual_Terminal(const std::string& tty);
  // The bridge leaves: its tty and its USB device disappear.
  void Remove(const TUsb_Serial& port);
  // The device node that the tty's name stands for.
  void Link_Node(const std::string& tty, const std::filesystem::path& target);
  void Remove_Node(const std::string& tty);
  // The usbfs node of a device added.
  std::filesystem::path Usb_Node(const TUsb_Serial& port) const;
  // A process named `name` holding each of `open` open.
  void Add_Process(int pid, const std::string& name, const std::vector<std::filesystem::path>& open);

private:
  std::filesystem::path Usb_Device(const TUsb_Serial& port) const;
  void Add_Class_Entry(const std::string& tty, const std::filesystem::path& folder);

  std::filesystem::path Root_;
};
