#include "platform/linux/Usb_Devices.h"

#include "platform/Bridge_Description.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {
// The Silicon Labs ids that the kernel's cp210x driver serves (drivers/usb/serial/cp210x.c, id_table).
constexpr std::array<std::uint16_t, 7> CP210X_PIDS = {0xEA60, 0xEA61, 0xEA63, 0xEA70, 0xEA71, 0xEA7A, 0xEA7B};

std::string Attribute(const fs::path& file) {
  std::ifstream stream(file);
  std::string line;
  std::getline(stream, line);
  return line;
}

unsigned Number(const fs::path& file, int base) {
  const std::string text = Attribute(file);
  unsigned value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value, base);
  return value;
}

std::string Driver_Of(const fs::path& interface) {
  std::error_code error;
  const fs::path driver = fs::canonical(interface / "driver", error);
  return error ? std::string() : driver.filename().string();
}

std::string Tty_Of(const fs::path& interface) {
  std::error_code error;
  for (fs::directory_iterator entry(interface, error), end; entry != end; entry.increment(error)) {
    if (error) break;
    const std::string name = entry->path().filename().string();
    if (name.starts_with("ttyUSB")) return name;
  }
  return {};
}

// A device's folder, not one of its interfaces ("1-2:1.0") or a root hub ("usb1").
bool Is_Device(const std::string& name) { return name.find(':') == std::string::npos && !name.starts_with("usb"); }
}  // namespace

std::optional<std::vector<TUsb_Device>> Usb_Devices(const fs::path& sys_root) {
  std::error_code error;
  fs::directory_iterator entry(sys_root / "bus" / "usb" / "devices", error), end;
  if (error || entry == end) return std::nullopt;
  std::vector<TUsb_Device> devices;
  for (; entry != end; entry.increment(error)) {
    if (error) break;
    const std::string name = entry->path().filename().string();
    if (!Is_Device(name)) continue;
    const fs::path folder = entry->path();
    TUsb_Device device;
    device.Usb_Path = name;
    device.Vid = static_cast<std::uint16_t>(Number(folder / "idVendor", 16));
    device.Pid = static_cast<std::uint16_t>(Number(folder / "idProduct", 16));
    const fs::path interface = folder / (name + ":1.0");
    device.Driver = Driver_Of(interface);
    const bool silabs =
        device.Vid == SILABS_VID && std::find(CP210X_PIDS.begin(), CP210X_PIDS.end(), device.Pid) != CP210X_PIDS.end();
    if (!silabs && device.Driver != "cp210x") continue;
    device.Bus = static_cast<int>(Number(folder / "busnum", 10));
    device.Address = static_cast<int>(Number(folder / "devnum", 10));
    device.Product = Attribute(folder / "product");
    device.Serial = Attribute(folder / "serial");
    device.Tty = Tty_Of(interface);
    devices.push_back(std::move(device));
  }
  std::sort(devices.begin(), devices.end(),
            [](const TUsb_Device& a, const TUsb_Device& b) { return a.Usb_Path < b.Usb_Path; });
  return devices;
}
