// A sysfs tree and a /dev folder in a temporary folder, laid out as the kernel lays out USB serial
// ports, so the bridge search can be tested without hardware.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

struct TUsb_Serial {
  std::string Tty;                     // ttyUSB0
  std::string Usb_Path;                // 1-2
  std::string Driver = "cp210x";       // of the USB interface
  std::uint16_t Vid = 0x10C4;
  std::uint16_t Pid = 0xEA60;
  std::optional<std::string> Product;  // none: the device has no product string
  int Address = 5;
};

class TFake_Sysfs {
public:
  TFake_Sysfs();
  ~TFake_Sysfs();
  TFake_Sysfs(const TFake_Sysfs&) = delete;
  TFake_Sysfs& operator=(const TFake_Sysfs&) = delete;

  std::filesystem::path Sys() const { return Root_ / "sys"; }
  std::filesystem::path Dev() const { return Root_ / "dev"; }

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

private:
  std::filesystem::path Usb_Device(const TUsb_Serial& port) const;
  void Add_Class_Entry(const std::string& tty, const std::filesystem::path& folder);

  std::filesystem::path Root_;
};
