#include "TFake_Sysfs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {
void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text << '\n'; }

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
}  // namespace

TFake_Sysfs::TFake_Sysfs() {
  std::string folder = testing::TempDir() + "yeli-sysfs-XXXXXX";
  if (!mkdtemp(folder.data())) throw std::runtime_error("cannot make a temporary folder");
  Root_ = folder;
  fs::create_directories(Sys() / "class" / "tty");
  fs::create_directories(Dev());
}

TFake_Sysfs::~TFake_Sysfs() {
  std::error_code error;
  fs::remove_all(Root_, error);
}

fs::path TFake_Sysfs::Usb_Device(const TUsb_Serial& port) const {
  const std::string bus = port.Usb_Path.substr(0, port.Usb_Path.find('-'));
  return Sys() / "devices" / "pci0000:00" / "0000:00:14.0" / ("usb" + bus) / port.Usb_Path;
}

void TFake_Sysfs::Add_Usb_Serial(const TUsb_Serial& port) {
  const fs::path device = Usb_Device(port);
  const fs::path interface = device / (port.Usb_Path + ":1.0");
  const fs::path serial_port = interface / port.Tty;
  fs::create_directories(serial_port / "tty" / port.Tty);
  Write(device / "idVendor", Hex4(port.Vid));
  Write(device / "idProduct", Hex4(port.Pid));
  Write(device / "busnum", port.Usb_Path.substr(0, port.Usb_Path.find('-')));
  Write(device / "devnum", std::to_string(port.Address));
  if (port.Product) Write(device / "product", *port.Product);
  Write(interface / "bInterfaceNumber", "00");
  Link(interface / "driver", Sys() / "bus" / "usb" / "drivers" / port.Driver);
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
  fs::remove(Sys() / "class" / "tty" / port.Tty);
  fs::remove_all(Usb_Device(port));
}

void TFake_Sysfs::Link_Node(const std::string& tty, const fs::path& target) {
  Remove_Node(tty);
  fs::create_symlink(target, Dev() / tty);
}

void TFake_Sysfs::Remove_Node(const std::string& tty) {
  std::error_code error;
  fs::remove(Dev() / tty, error);
}

void TFake_Sysfs::Add_Class_Entry(const std::string& tty, const fs::path& folder) {
  Link(Sys() / "class" / "tty" / tty, folder);
}
