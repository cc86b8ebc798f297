// list and mode: the bridges attached and their driver mode.
#include "cli/TCli_Commands.h"
#include "cli/TCli_Device.h"
#include "cli/TCli_Failure.h"
#include "cli/TCli_Text.h"

#include <QJsonArray>

#include <chrono>
#include <cstdio>
#include <iomanip>

using namespace std::chrono_literals;

namespace {
// A bridge comes back 1.5 s after its reset, so this leaves ample room for a slow bus.
constexpr auto MODE_RETURN_TIMEOUT = 10s;
constexpr auto MODE_RETURN_POLL = 250ms;

struct TListed_Bridge {
  std::uint32_t Index = 0;
  std::string Mode;
  std::uint16_t Vid = 0;
  std::uint16_t Pid = 0;
  std::string Product;
  std::string Serial_Device;
};

struct TMode {
  const char* Name;
  std::uint8_t Mode;  // for Change_Driver_Mode
  int Search;         // what Search_Device finds in this mode
  const char* Product;
};

constexpr TMode MODES[] = {{"vcp", MODE_VCP, SEARCH_VCP, VCP_PRODUCT},
                           {"usbxpress", MODE_USBXPRESS, SEARCH_USBXPRESS, USBXPRESS_PRODUCT}};

std::string Mode_Of_Product(const std::string& product) {
  for (const TMode& mode : MODES)
    if (product == mode.Product) return mode.Name;
  return "unknown";
}

std::string Hex4(std::uint16_t value) {
  char text[5];
  std::snprintf(text, sizeof text, "%04x", value);
  return text;
}

std::vector<TListed_Bridge> Listed_Bridges(TService_Bridges& bridges) {
  TManufacturing& manufacturing = bridges.Manufacturing();
  std::uint32_t count = 0;
  if (manufacturing.Get_Num_Devices(count) != CP210x_SUCCESS) {
    const std::string cause = manufacturing.Last_Error();
    Fail(EXIT_DEVICE, "the bridges cannot be listed" + (cause.empty() ? "" : ": " + cause));
  }
  std::vector<TListed_Bridge> listed;
  for (std::uint32_t index = 0; index < count; ++index) {
    TListed_Bridge bridge;
    bridge.Index = index;
    SI_DEVICE_STRING product{};
    if (manufacturing.Get_Product_String(index, product, SI_RETURN_DESCRIPTION) == CP210x_SUCCESS)
      bridge.Product = Device_String_Text(product);
    bridge.Mode = Mode_Of_Product(bridge.Product);
    CP210x_HANDLE handle = 0;
    if (manufacturing.Open(index, handle) == CP210x_SUCCESS) {
      manufacturing.Get_Device_Vid(handle, bridge.Vid);
      manufacturing.Get_Device_Pid(handle, bridge.Pid);
      manufacturing.Close(handle);
    }
    bridge.Serial_Device = bridges.Serial_Device(index);
    listed.push_back(bridge);
  }
  return listed;
}
}  // namespace

void Run_List(TCli_Context& context) {
  const std::vector<TListed_Bridge> listed = Listed_Bridges(context.Bridges());
  if (context.Options.Json) {
    QJsonArray bridges;
    for (const TListed_Bridge& bridge : listed)
      bridges.append(QJsonObject{{"index", static_cast<int>(bridge.Index)},
                                 {"mode", QString::fromStdString(bridge.Mode)},
                                 {"vid", QString::fromStdString(Hex4(bridge.Vid))},
                                 {"pid", QString::fromStdString(Hex4(bridge.Pid))},
                                 {"product", QString::fromStdString(bridge.Product)},
                                 {"serial_device", QString::fromStdString(bridge.Serial_Device)}});
    Print_Json(context.Out, {{"bridges", bridges}});
    return;
  }
  if (listed.empty()) {
    context.Err << "yeli-cli: list: no CP210x bridge is attached\n";
    return;
  }
  context.Out << std::left << std::setw(7) << "INDEX" << std::setw(11) << "MODE" << std::setw(11) << "VID:PID"
              << std::setw(16) << "SERIAL DEVICE" << "PRODUCT\n";
  for (const TListed_Bridge& bridge : listed)
    context.Out << std::setw(7) << bridge.Index << std::setw(11) << bridge.Mode << std::setw(11)
                << Hex4(bridge.Vid) + ":" + Hex4(bridge.Pid) << std::setw(16) << bridge.Serial_Device
                << bridge.Product << '\n';
}

// The bridge leaves the bus at its reset and comes back in the new mode; the wait ends when it does.
void Run_Mode(TCli_Context& context) {
  const std::string& wanted = context.Arguments[0];
  const TMode* target = nullptr;
  for (const TMode& mode : MODES)
    if (wanted == mode.Name) target = &mode;
  if (!target) Fail(EXIT_BAD_INPUT, "the mode is vcp or usbxpress, not '" + wanted + "'");

  TCli_Device device(context);
  if (device.Find_One_Bridge() == target->Search) {
    context.Out << "the bridge is in " << target->Name << " mode already\n";
    return;
  }
  device.Discovery().Change_Driver_Mode(target->Mode);
  const std::vector<std::string> switch_log = device.Log().Lines();
  const TDuration deadline = context.Clock.Now() + MODE_RETURN_TIMEOUT;
  while (device.Discovery().Search_Device() != target->Search) {
    if (context.Clock.Now() >= deadline)
      Fail(EXIT_DEVICE, "the bridge did not come back in " + std::string(target->Name) + " mode within " +
                            std::to_string(MODE_RETURN_TIMEOUT.count()) + " s (the switch logged: " +
                            Joined(switch_log) + ")");
    context.Clock.Sleep(MODE_RETURN_POLL);
    context.Stop_Point();
  }
  context.Out << "the bridge is in " << target->Name << " mode now\n";
}
