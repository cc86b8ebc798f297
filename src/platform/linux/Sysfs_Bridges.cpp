#include "platform/linux/Sysfs_Bridges.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <system_error>
#include <tuple>

namespace fs = std::filesystem;

namespace {
constexpr const char* BRIDGE_DRIVER = "cp210x";
constexpr int PORT_NUMBER_LIMIT = 1000000;  // far above any port number; keeps a crafted name from overflowing

// The first line of a sysfs attribute, or nothing when it cannot be read.
std::optional<std::string> Read_Attribute(const fs::path& file) {
  std::ifstream stream(file);
  std::string line;
  if (!stream || !std::getline(stream, line)) return std::nullopt;
  return line;
}

std::optional<unsigned> Read_Number(const fs::path& file, int base) {
  const auto text = Read_Attribute(file);
  if (!text) return std::nullopt;
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value, base);
  if (error != std::errc() || end == text->data()) return std::nullopt;
  return value;
}

// The USB interface a serial port hangs from: the nearest folder, the port's own included, that
// carries an interface number.
std::optional<fs::path> Usb_Interface(fs::path device, const fs::path& sys_root) {
  std::error_code error;
  for (; !device.empty() && device != sys_root && device != device.root_path(); device = device.parent_path()) {
    if (fs::exists(device / "bInterfaceNumber", error)) return device;
  }
  return std::nullopt;
}

std::string Driver_Name(const fs::path& device) {
  std::error_code error;
  const fs::path driver = fs::canonical(device / "driver", error);
  return error ? std::string() : driver.filename().string();
}

// The port numbers of a bus path, so that 1-2 sorts before 1-10.
std::vector<int> Path_Numbers(const std::string& usb_path) {
  std::vector<int> numbers;
  int value = 0;
  bool digits = false;
  for (const char c : usb_path) {
    if (c >= '0' && c <= '9') {
      value = std::min(value * 10 + (c - '0'), PORT_NUMBER_LIMIT);
      digits = true;
    } else if (digits) {
      numbers.push_back(value);
      value = 0;
      digits = false;
    }
  }
  if (digits) numbers.push_back(value);
  return numbers;
}

std::optional<TBridge> Bridge_Of(const fs::path& tty_entry, const fs::path& sys_root, const fs::path& dev_root) {
  std::error_code error;
  const fs::path device = fs::canonical(tty_entry / "device", error);
  if (error) return std::nullopt;  // a virtual terminal
  const auto interface = Usb_Interface(device, sys_root);
  if (!interface || Driver_Name(*interface) != BRIDGE_DRIVER) return std::nullopt;
  const fs::path usb_device = interface->parent_path();
  const auto vid = Read_Number(usb_device / "idVendor", 16);
  const auto pid = Read_Number(usb_device / "idProduct", 16);
  const auto bus = Read_Number(usb_device / "busnum", 10);
  const auto address = Read_Number(usb_device / "devnum", 10);
  if (!vid || !pid || !bus || !address) return std::nullopt;  // the device is leaving
  TBridge bridge;
  bridge.Key = {tty_entry.filename().string(), usb_device.filename().string(), static_cast<int>(*bus),
                static_cast<int>(*address)};
  bridge.Node = dev_root / bridge.Key.Tty;
  bridge.Vid = static_cast<std::uint16_t>(*vid);
  bridge.Pid = static_cast<std::uint16_t>(*pid);
  bridge.Product = Read_Attribute(usb_device / "product").value_or("");
  bridge.Serial = Read_Attribute(usb_device / "serial").value_or("");
  return bridge;
}
}  // namespace

std::optional<std::vector<TBridge>> Find_Bridges(const fs::path& sys_root, const fs::path& dev_root) {
  std::error_code error;
  const fs::path root = fs::weakly_canonical(sys_root, error);
  std::vector<TBridge> bridges;
  // Stepped with an error code: a folder that cannot be read ends the walk without throwing.
  for (fs::directory_iterator entry(root / "class" / "tty", error), end; entry != end; entry.increment(error)) {
    if (error) break;
    if (auto bridge = Bridge_Of(entry->path(), root, dev_root)) bridges.push_back(std::move(*bridge));
  }
  if (error) return std::nullopt;
  const auto order = [](const TBridge& bridge) {
    return std::make_tuple(Path_Numbers(bridge.Key.Usb_Path), bridge.Key.Tty);
  };
  std::sort(bridges.begin(), bridges.end(), [&](const TBridge& a, const TBridge& b) { return order(a) < order(b); });
  return bridges;
}
