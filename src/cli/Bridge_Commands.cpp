// list and mode: the bridges attached, their driver mode and, asked, their firmware version.
#include "cli/Cli_Commands.h"
#include "cli/Cli_Text.h"
#include "cli/Select_Boards.h"
#include "cli/TCli_Device.h"
#include "cli/TCli_Failure.h"
#include "platform/CP210x_Part.h"
#include "platform/Hex_Text.h"
#include "platform/Printable_Text.h"

#include <QJsonArray>

#include <algorithm>
#include <array>
#include <chrono>
#include <iomanip>
#include <map>
#include <memory>

using namespace std::chrono_literals;

namespace {
// A bridge comes back 1.5 s after its reset, so this leaves ample room for a slow bus.
constexpr auto MODE_RETURN_TIMEOUT = 10s;
constexpr auto MODE_RETURN_POLL = 250ms;
constexpr const char* PID_WRITTEN = "Change VID status: succes";

struct TListed_Bridge {
  std::uint32_t Index = 0;
  std::string Mode;
  std::uint16_t Vid = 0;
  std::uint16_t Pid = 0;
  std::string Part;         // empty when it could not be read
  std::string Description;  // the libraries' name, which tells the mode
  std::string Product;      // the chip's own USB product string
  std::string Serial;
  std::string Usb_Path;
  std::string Serial_Device;
  std::optional<std::string> Firmware;  // with --identify, of a bridge in USBXpress mode that answered
};

struct TMode {
  const char* Name;
  std::uint8_t Mode;  // for Change_Driver_Mode
  int Search;         // what Search_Device finds in this mode
  const char* Description;
};

constexpr TMode MODES[] = {{"vcp", MODE_VCP, SEARCH_VCP, VCP_PRODUCT},
                           {"usbxpress", MODE_USBXPRESS, SEARCH_USBXPRESS, USBXPRESS_PRODUCT}};

std::string Mode_Of(const std::string& description) {
  for (const TMode& mode : MODES)
    if (description == mode.Description) return mode.Name;
  return "unknown";
}

std::vector<TListed_Bridge> Listed_Bridges(TBridges& bridges) {
  TManufacturing& manufacturing = bridges.Manufacturing();
  const std::uint32_t count = Bridge_Count(bridges);
  std::vector<TListed_Bridge> listed;
  for (std::uint32_t index = 0; index < count; ++index) {
    TListed_Bridge bridge;
    bridge.Index = index;
    SI_DEVICE_STRING description{};
    if (manufacturing.Get_Product_String(index, description, SI_RETURN_DESCRIPTION) == CP210x_SUCCESS)
      bridge.Description = Device_String_Text(description);
    bridge.Mode = Mode_Of(bridge.Description);
    CP210x_HANDLE handle = 0;
    if (manufacturing.Open(index, handle) == CP210x_SUCCESS) {
      manufacturing.Get_Device_Vid(handle, bridge.Vid);
      manufacturing.Get_Device_Pid(handle, bridge.Pid);
      std::uint8_t part = 0;
      if (manufacturing.Get_Part_Number(handle, part) == CP210x_SUCCESS) bridge.Part = Part_Name(part);
      manufacturing.Close(handle);
    }
    if (const TBridge* facts = bridges.Bridge(index)) {
      bridge.Product = facts->Product;
      bridge.Serial = facts->Serial;
      bridge.Usb_Path = facts->Key.Usb_Path;
    }
    bridge.Serial_Device = bridges.Serial_Device(index);
    listed.push_back(bridge);
  }
  return listed;
}

QString Shown(const std::string& text) { return QString::fromStdString(Printable_Text(text)); }

void Print_Json_List(TCli_Context& context, const std::vector<TListed_Bridge>& listed) {
  QJsonArray bridges;
  for (const TListed_Bridge& bridge : listed) {
    QJsonObject shown{{"index", static_cast<int>(bridge.Index)},
                      {"mode", QString::fromStdString(bridge.Mode)},
                      {"vid", QString::fromStdString(Hex_Text(bridge.Vid, 4, HEX_LOWER))},
                      {"pid", QString::fromStdString(Hex_Text(bridge.Pid, 4, HEX_LOWER))},
                      {"part", bridge.Part.empty() ? QJsonValue() : QJsonValue(Shown(bridge.Part))},
                      {"serial_device", Shown(bridge.Serial_Device)},
                      {"usb_path", Shown(bridge.Usb_Path)},
                      {"serial_number", Shown(bridge.Serial)},
                      {"product", Shown(bridge.Product)},
                      {"description", Shown(bridge.Description)}};
    if (context.Options.Identify)
      shown["firmware"] = bridge.Firmware ? QJsonValue(Shown(*bridge.Firmware)) : QJsonValue();
    bridges.append(shown);
  }
  Print_Json(context.Out, {{"bridges", bridges}});
}

// Columns as wide as their widest entry; the last one is not padded.
void Print_Table(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const auto& row : rows)
    for (std::size_t column = 0; column < row.size(); ++column)
      widths[column] = std::max(widths[column], row[column].size());
  for (const auto& row : rows) {
    for (std::size_t column = 0; column + 1 < row.size(); ++column)
      out << std::left << std::setw(static_cast<int>(widths[column] + 2)) << row[column];
    out << row.back() << '\n';
  }
}

// The one bridge, before it is switched: its part decides whether the switch can be undone.
void Require_Consent_For_Permanent(TCli_Context& context, TManufacturing& manufacturing) {
  CP210x_HANDLE handle = 0;
  std::uint8_t part = 0;
  if (manufacturing.Open(0, handle) != CP210x_SUCCESS) return;
  const bool read = manufacturing.Get_Part_Number(handle, part) == CP210x_SUCCESS;
  manufacturing.Close(handle);
  if (read && Is_One_Time_Programmable(part) && !context.Options.Permanent)
    Fail(EXIT_BAD_INPUT, "the bridge is a " + Part_Name(part) +
                             ", whose product id can be written only once, so this switch cannot be undone: add "
                             "--permanent to make it");
}

// The switched bridge comes back as a new device, often under another ttyUSB number: it is the one
// on the same USB port with the same serial number.
std::optional<std::string> Returned_In_Mode(TBridges& bridges, const TBridge& switched, const TMode& target) {
  std::uint32_t count = 0;
  if (bridges.Manufacturing().Get_Num_Devices(count) != CP210x_SUCCESS) return std::nullopt;
  for (std::uint32_t index = 0; index < count; ++index) {
    const TBridge* bridge = bridges.Bridge(index);
    if (bridge && Same_Bridge(switched, *bridge) && Bridge_Description(*bridge) == target.Description)
      return bridges.Serial_Device(index);
  }
  return std::nullopt;
}

// The firmware version of each bridge in USBXpress mode by USB path, read through its bootloader
// before the listing opens any bridge; why one could not be read goes to standard error.
std::map<std::string, std::string> Firmware_Versions(TCli_Context& context) {
  std::map<std::string, std::string> versions;
  for (const TSelected_Board& board : Attached_Boards(context.Bridges())) {
    const std::unique_ptr<TBridges> view = context.Bridges().One_Bridge(board.Usb_Path);
    TCli_Context own = context;
    own.Bridges = [&view]() -> TBridges& { return *view; };
    try {
      TCli_Device device(own);
      if (device.Find_One_Bridge() != SEARCH_USBXPRESS) continue;
      const TIdentification identification = device.Identify();
      versions[board.Usb_Path] = Record_Version(identification.Major, identification.Minor);
    } catch (const TCli_Failure& failure) {
      if (failure.Status == EXIT_STOPPED) throw;
      context.Err << "yeli-cli: list: " << Printable_Text(board.Usb_Path) << ": " << failure.Message << '\n';
    }
  }
  return versions;
}
}  // namespace

void Run_List(TCli_Context& context) {
  const std::map<std::string, std::string> versions =
      context.Options.Identify ? Firmware_Versions(context) : std::map<std::string, std::string>();
  std::vector<TListed_Bridge> listed = Listed_Bridges(context.Bridges());
  for (TListed_Bridge& bridge : listed)
    if (const auto version = versions.find(bridge.Usb_Path); version != versions.end()) bridge.Firmware = version->second;
  if (context.Options.Json) return Print_Json_List(context, listed);
  if (listed.empty()) {
    context.Err << "yeli-cli: list: no CP210x bridge is attached\n";
    return;
  }
  std::vector<std::vector<std::string>> rows = {
      {"INDEX", "MODE", "VID:PID", "PART", "SERIAL DEVICE", "USB", "SERIAL", "PRODUCT", "DESCRIPTION"}};
  if (context.Options.Identify) rows.front().insert(rows.front().begin() + 2, "FIRMWARE");
  for (const TListed_Bridge& bridge : listed) {
    rows.push_back({std::to_string(bridge.Index), bridge.Mode, Hex_Text(bridge.Vid, 4, HEX_LOWER) + ":" + Hex_Text(bridge.Pid, 4, HEX_LOWER),
                    bridge.Part.empty() ? "?" : bridge.Part, Printable_Text(bridge.Serial_Device),
                    Printable_Text(bridge.Usb_Path), Printable_Text(bridge.Serial), Printable_Text(bridge.Product),
                    Printable_Text(bridge.Description)});
    if (context.Options.Identify) rows.back().insert(rows.back().begin() + 2, bridge.Firmware.value_or("?"));
  }
  Print_Table(context.Out, rows);
}

// The bridge leaves the bus at its reset and comes back in the new mode; the wait ends when it does.
TBoard_Work Prepare_Mode(const TCli_Context& context) {
  const std::string& wanted = context.Arguments[0];
  const TMode* target = nullptr;
  for (const TMode& mode : MODES)
    if (wanted == mode.Name) target = &mode;
  if (!target) Fail(EXIT_BAD_INPUT, "the mode is vcp or usbxpress, not '" + wanted + "'");

  return [target](TCli_Context& context) {
    TCli_Device device(context);
    if (device.Find_One_Bridge() == target->Search) {
      context.Out << "the bridge is in " << target->Name << " mode already\n";
      return;
    }
    TBridges& bridges = context.Bridges();
    const TBridge switched = *bridges.Bridge(0);
    Require_Consent_For_Permanent(context, bridges.Manufacturing());
    context.Phase("switch");
    device.Discovery().Change_Driver_Mode(target->Mode);
    const std::vector<std::string> switch_log = device.Log().Lines();
    if (std::find(switch_log.begin(), switch_log.end(), PID_WRITTEN) == switch_log.end())
      Fail(EXIT_DEVICE, "the bridge did not take the new product id (the switch logged: " + Joined(switch_log) + ")");
    context.Phase("re-enumerate");
    const TDuration deadline = context.Clock.Now() + MODE_RETURN_TIMEOUT;
    std::optional<std::string> serial_device;
    while (!(serial_device = Returned_In_Mode(bridges, switched, *target))) {
      if (context.Clock.Now() >= deadline)
        Fail(EXIT_DEVICE, "the bridge did not come back in " + std::string(target->Name) + " mode within " +
                              std::to_string(MODE_RETURN_TIMEOUT.count()) +
                              " s (the switch logged: " + Joined(switch_log) + ")");
      context.Clock.Sleep(MODE_RETURN_POLL);
      context.Stop_Point();
    }
    context.Out << "the bridge is in " << target->Name << " mode now, at " << Printable_Text(*serial_device) << '\n';
  };
}
