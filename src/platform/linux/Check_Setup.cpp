#include "platform/linux/Check_Setup.h"

#include "platform/CP210x_Config.h"
#include "platform/CP210x_Part.h"
#include "platform/Hex_Text.h"
#include "platform/Printable_Text.h"
#include "platform/linux/Process_Holders.h"
#include "platform/linux/TLinux_Host.h"
#include "platform/linux/TSerial_Port.h"
#include "platform/linux/Usb_Devices.h"

#include <grp.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <regex>

namespace fs = std::filesystem;

namespace {
constexpr const char* INSTALL_RULE =
    "sudo cmake --install build --component udev (or copy packaging/70-yeli-cp210x.rules to /etc/udev/rules.d/), "
    "then sudo udevadm control --reload-rules and plug the controller in again";
// What the packaged rule names, for when it is not installed.
const std::vector<std::string> RULE_GROUPS = {"dialout", "plugdev"};

// "10c4:ea60", as lsusb writes them.
std::string Ids_Text(std::uint16_t vid, std::uint16_t pid) {
  return Hex_Text(vid, 4, HEX_LOWER) + ":" + Hex_Text(pid, 4, HEX_LOWER);
}

std::string Joined(const std::vector<std::string>& words, const char* separator) {
  std::string joined;
  for (const std::string& word : words) joined += (joined.empty() ? "" : separator) + word;
  return joined;
}

std::string Named(const std::vector<TProcess>& holders) {
  std::vector<std::string> names;
  for (const TProcess& holder : holders)
    names.push_back(Printable_Text(holder.Name) + " (pid " + std::to_string(holder.Pid) + ")");
  return Joined(names, ", ");
}

// What to do about the programs known to grab these bridges, else about any other.
std::string Advice_For(const std::vector<TProcess>& holders) {
  const auto holds = [&](const char* name) {
    return std::any_of(holders.begin(), holders.end(), [&](const TProcess& holder) { return holder.Name == name; });
  };
  if (holds("ModemManager"))
    return "ModemManager probes new serial ports, which restarts the controller; the udev rule tells it to leave the "
           "bridge alone (install it: " +
           std::string(INSTALL_RULE) + "), or stop it: sudo systemctl stop ModemManager";
  if (holds("brltty"))
    return "brltty before version 6.5 claims these bridges for braille displays: sudo apt-get remove brltty, then "
           "plug the controller in again";
  return "close that program";
}

std::optional<fs::path> Installed_Rule(const TSetup_Places& places) {
  for (const fs::path& folder : places.Rule_Folders) {
    std::error_code error;
    if (fs::exists(folder / UDEV_RULE_NAME, error)) return folder / UDEV_RULE_NAME;
  }
  return std::nullopt;
}

std::vector<std::string> Groups_Named_By(const fs::path& rule) {
  std::ifstream file(rule);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::regex group(R"(GROUP="([^"]+)\")");
  std::vector<std::string> groups;
  for (auto match = std::sregex_iterator(text.begin(), text.end(), group); match != std::sregex_iterator(); ++match)
    if (std::find(groups.begin(), groups.end(), (*match)[1].str()) == groups.end()) groups.push_back((*match)[1]);
  return groups;
}

TSetup_Check Check_Rule(const std::optional<fs::path>& rule) {
  if (rule) return {"udev rule " + rule->string(), ""};
  return {"udev rule", std::string(UDEV_RULE_NAME) + " is not installed: " + INSTALL_RULE};
}

TSetup_Check Check_Groups(const std::optional<fs::path>& rule, const std::vector<std::string>& user_groups) {
  const std::vector<std::string> wanted = rule ? Groups_Named_By(*rule) : RULE_GROUPS;
  std::vector<std::string> missing;
  for (const std::string& group : wanted)
    if (std::find(user_groups.begin(), user_groups.end(), group) == user_groups.end()) missing.push_back(group);
  const std::string subject = "groups " + Joined(wanted, ", ");
  if (missing.empty()) return {subject, ""};
  return {subject, "this user is not in " + Joined(missing, ", ") + ": sudo usermod -aG " + Joined(missing, ",") +
                       " \"$USER\", then log out and in again (at the machine's own screen the rule's uaccess tag "
                       "gives access without them)"};
}

std::string Part_Of(TLinux_Host& host, const TUsb_Device& device) {
  TBridge bridge;
  bridge.Key = {device.Tty, device.Usb_Path, device.Bus, device.Address};
  bridge.Vid = device.Vid;
  bridge.Pid = device.Pid;
  std::uint8_t part = 0;
  const int error = Read_Part_Number(host, bridge, part);
  if (error == 0) return Part_Name(part);
  return error == EACCES || error == EPERM ? "part unknown (no access to its USB device)" : "part unknown";
}

TSetup_Check Check_Bridge(TLinux_Host& host, const TSetup_Places& places, const TUsb_Device& device) {
  const std::string subject = "bridge at USB " + device.Usb_Path + " (" + Ids_Text(device.Vid, device.Pid) + ", " +
                              Part_Of(host, device) + ", \"" + Printable_Text(device.Product) + "\", driver " +
                              (device.Driver.empty() ? "none" : Printable_Text(device.Driver)) + ", " +
                              (device.Tty.empty() ? "no tty" : Printable_Text(device.Tty)) + ")";
  if (device.Driver == "cp210x" && !device.Tty.empty()) return {subject, ""};
  const std::vector<TProcess> holders =
      Process_Holders(places.Roots.Proc, Usb_Device_Node(places.Roots.Dev, device.Bus, device.Address));
  if (!holders.empty())
    return {subject, "its USB device is held by " + Named(holders) + ", so no tty appears: " + Advice_For(holders)};
  if (device.Driver.empty())
    return {subject,
            "no driver serves it: sudo modprobe cp210x, and install the udev rule, which binds cp210x to "
            "10c4:ea61 on kernels that do not know that id (install it: " +
                std::string(INSTALL_RULE) + ")"};
  return {subject,
          "the " + Printable_Text(device.Driver) + " driver serves it rather than cp210x, so it has no ttyUSB"};
}

TSetup_Check Check_Tty(const TSetup_Places& places, const TUsb_Device& device) {
  const fs::path node = places.Roots.Dev / device.Tty;
  const std::string subject = "tty " + node.string() + " (USB " + device.Usb_Path + ")";
  if (const std::vector<TProcess> holders = Process_Holders(places.Roots.Proc, node); !holders.empty())
    return {subject, "in use by " + Named(holders) + ": " + Advice_For(holders)};
  int error = 0;
  auto port = TSerial_Port::Open(node, error);
  if (port) {
    // The open asserted DTR and RTS; boot source first, then reset, so the controller runs its application.
    port->Set_Lines(0, TTY_RTS);
    port->Set_Lines(0, TTY_DTR);
    return {subject, ""};
  }
  switch (error) {
    case EACCES:
    case EPERM:
      return {subject, "permission denied: install the udev rule, or join the group dialout (see the groups check)"};
    case EBUSY:
      return {subject,
              "in use by a program this user may not look into: close it, or ask who holds it with 'sudo fuser " +
                  node.string() + "'"};
    case ENOENT:
      return {subject, "there is no such device node: is /dev of this machine mounted where YELI_DEV_ROOT says?"};
    default: return {subject, std::string("cannot be opened: ") + std::strerror(error)};
  }
}

TSetup_Check Check_Usb_Node(const TSetup_Places& places, const TUsb_Device& device) {
  const fs::path node = Usb_Device_Node(places.Roots.Dev, device.Bus, device.Address);
  const std::string subject = "usb device " + node.string() + " (USB " + device.Usb_Path + ")";
  std::error_code error;
  if (!fs::exists(node, error))
    return {subject, "there is no such device node, so the driver mode cannot be switched: is /dev/bus/usb there?"};
  if (access(node.c_str(), W_OK) == 0) return {subject, ""};
  return {subject,
          "not writable by this user, so the driver mode cannot be switched: install the udev rule, or join "
          "the group plugdev (see the groups check)"};
}
}  // namespace

std::vector<TSetup_Check> Check_Setup(const TSetup_Places& places) {
  std::vector<TSetup_Check> checks;
  const auto devices = Usb_Devices(places.Roots.Sys);
  const fs::path usb = places.Roots.Sys / "bus" / "usb";
  if (devices) {
    checks.push_back({"usb bus " + usb.string(), ""});
  } else {
    checks.push_back(
        {"usb bus " + usb.string(),
         "this machine shows no USB bus or no USB device: on a virtual machine or in a container, pass "
         "the USB controller or the bridge through to it; YELI_SYSFS_ROOT says where sysfs is looked for"});
  }
  const std::optional<fs::path> rule = Installed_Rule(places);
  checks.push_back(Check_Rule(rule));
  checks.push_back(Check_Groups(rule, places.User_Groups));
  if (!devices) return checks;
  if (devices->empty())
    checks.push_back({"bridges", "none found: plug the controller in; 'lsusb -d 10c4:' should list its bridge"});
  TLinux_Host host(places.Roots);
  for (const TUsb_Device& device : *devices) {
    const TSetup_Check bridge = Check_Bridge(host, places, device);
    checks.push_back(bridge);
    if (!bridge.Problem.empty()) continue;
    checks.push_back(Check_Tty(places, device));
    checks.push_back(Check_Usb_Node(places, device));
  }
  return checks;
}

std::vector<std::string> Process_Group_Names() {
  std::vector<gid_t> ids(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)) + 1);
  const int count = getgroups(static_cast<int>(ids.size() - 1), ids.data());
  ids.resize(static_cast<std::size_t>(std::max(count, 0)));
  ids.push_back(getegid());
  std::vector<std::string> names;
  for (const gid_t id : ids) {
    group entry{};
    group* found = nullptr;
    std::vector<char> buffer(4096);
    if (getgrgid_r(id, &entry, buffer.data(), buffer.size(), &found) == 0 && found) names.push_back(found->gr_name);
  }
  return names;
}
