#include "support/TFake_Sysfs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {
void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << text << '\n';
}

std::string Hex4(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", value);
  return text;
}

// sysfs links are relative, as here.
void Link(const fs::path& link, const fs::path& target) {
  fs::create_directories(target);
  fs::create_directories(link.parent_path());
  fs::create_directory_symlink(fs::relative(target, link.parent_path()), link);
}

int Bus_Of(const std::string& usb_path) { return std::stoi(usb_path.substr(0, usb_path.find('-'))); }
}  // namespace

TFake_Sysfs::TFake_Sysfs() {
  std::string folder = testing::TempDir() + "yeli-sysfs-XXXXXX";
  if (!mkdtemp(folder.data())) throw std::runtime_error("cannot make a temporary folder");
  Root_ = folder;
  fs::create_directories(Sys() / "class" / "tty");
  fs::create_directories(Dev());
  fs::create_directories(Proc());
}

TFake_Sysfs::~TFake_Sysfs() {
  std::error_code error;
  fs::remove_all(Root_, error);
}

fs::path TFake_Sysfs::Usb_Device(const TUsb_Serial& port) const {
  return Sys() / "devices" / "pci0000:00" / "0000:00:14.0" / ("usb" + std::to_string(Bus_Of(port.Usb_Path))) /
         port.Usb_Path;
}

fs::path TFake_Sysfs::Usb_Node(const TUsb_Serial& port) const {
  char name[16];
  std::snprintf(name, sizeof name, "%03d/%03d", Bus_Of(port.Usb_Path), port.Address);
  return Dev() / "bus" / "usb" / name;
}

void TFake_Sysfs::Add_Usb_Serial(const TUsb_Serial& port) {
  const fs::path device = Usb_Device(port);
  const fs::path interface = device / (port.Usb_Path + ":1.0");
  Write(device / "idVendor", Hex4(port.Vid));
  Write(device / "idProduct", Hex4(port.Pid));
  Write(device / "busnum", std::to_string(Bus_Of(port.Usb_Path)));
  Write(device / "devnum", std::to_string(port.Address));
  if (port.Product) Write(device / "product", *port.Product);
  if (!port.Serial.empty()) Write(device / "serial", port.Serial);
  Write(interface / "bInterfaceNumber", "00");
  Link(Sys() / "bus" / "usb" / "devices" / port.Usb_Path, device);
  Link(Sys() / "bus" / "usb" / "devices" / (port.Usb_Path + ":1.0"), interface);
  Write(Usb_Node(port), "");
  if (!port.Driver.empty()) Link(interface / "driver", Sys() / "bus" / "usb" / "drivers" / port.Driver);
  if (port.Tty.empty()) return;
  const fs::path serial_port = interface / port.Tty;
  fs::create_directories(serial_port / "tty" / port.Tty);
  Link(serial_port / "driver", Sys() / "bus" / "usb-serial" / "drivers" / port.Driver);
  Link(serial_port / "tty" / port.Tty / "device", serial_port);
  Add_Class_Entry(port.Tty, serial_port / "tty" / port.Tty);
}

void TFake_Sysfs::Add_Board_Serial(const std::string& tty) {
  const fs::path device = Sys() / "devices" / "pnp0" / "00:01";
  Link(device / "driver", Sys() / "bus" / "pnp" / "drivers" / "serial");
  const fs::path folder = device / "tty" / tty;
  Link(folder / "device", device);
  Add_Class_Entry(tty, folder);
}

void TFake_Sysfs::Add_Virtual_Terminal(const std::string& tty) {
  const fs::path folder = Sys() / "devices" / "virtual" / "tty" / tty;
  fs::create_directories(folder);
  Add_Class_Entry(tty, folder);
}

void TFake_Sysfs::Remove(const TUsb_Serial& port) {
  std::error_code error;
  if (!port.Tty.empty()) fs::remove(Sys() / "class" / "tty" / port.Tty, error);
  fs::remove(Sys() / "bus" / "usb" / "devices" / port.Usb_Path, error);
  fs::remove(Sys() / "bus" / "usb" / "devices" / (port.Usb_Path + ":1.0"), error);
  fs::remove(Usb_Node(port), error);
  fs::remove_all(Usb_Device(port), error);
}

void TFake_Sysfs::Link_Node(const std::string& tty, const fs::path& target) {
  Remove_Node(tty);
  fs::create_symlink(target, Dev() / tty);
}

void TFake_Sysfs::Remove_Node(const std::string& tty) {
  std::error_code error;
  fs::remove(Dev() / tty, error);
}

void TFake_Sysfs::Add_Process(int pid, const std::string& name, const std::vector<fs::path>& open) {
  const fs::path process = Proc() / std::to_string(pid);
  Write(process / "comm", name);
  fs::create_directories(process / "fd");
  int descriptor = 3;
  for (const fs::path& node : open) fs::create_symlink(node, process / "fd" / std::to_string(descriptor++));
}

void TFake_Sysfs::Add_Class_Entry(const std::string& tty, const fs::path& folder) {
  Link(Sys() / "class" / "tty" / tty, folder);
}
