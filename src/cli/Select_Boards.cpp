#include "cli/Select_Boards.h"

#include "cli/TCli_Failure.h"
#include "platform/Printable_Text.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

std::uint32_t Bridge_Count(TBridges& bridges) {
  std::uint32_t count = 0;
  if (bridges.Manufacturing().Get_Num_Devices(count) != CP210x_SUCCESS) {
    const std::string cause = bridges.Manufacturing().Last_Error();
    Fail(EXIT_DEVICE, "the bridges cannot be listed" + (cause.empty() ? "" : ": " + cause));
  }
  return count;
}

std::vector<TSelected_Board> Attached_Boards(TBridges& bridges) {
  const std::uint32_t count = Bridge_Count(bridges);
  std::vector<TSelected_Board> attached;
  for (std::uint32_t index = 0; index < count; ++index) {
    const TBridge* bridge = bridges.Bridge(index);
    if (!bridge) continue;
    attached.push_back({bridge->Key.Usb_Path, bridge->Serial, bridges.Serial_Device(index)});
  }
  return attached;
}

namespace {
// A serial device may be given by one of its links, such as udev's /dev/serial/by-id/... and
// /dev/serial/by-path/..., which stay the same across re-plugging.
std::string Device_Behind(const std::string& device) {
  if (!device.starts_with('/')) return device;
  std::error_code error;
  const std::filesystem::path target = std::filesystem::canonical(device, error);
  return error ? device : target.string();
}

// `behind`: Device_Behind(device), looked up once for all the boards.
bool Names(const TSelected_Board& board, std::size_t index, const std::string& device, const std::string& behind) {
  return device == board.Serial_Device || device == board.Usb_Path || device == std::to_string(index) ||
         behind == Device_Behind(board.Serial_Device);
}
}  // namespace

std::vector<TSelected_Board> Select_Boards(const TCli_Options& options, TBridges& bridges) {
  const std::vector<TSelected_Board> attached = Attached_Boards(bridges);
  if (options.All) {
    if (attached.empty()) Fail(EXIT_DEVICE, "--all: no bridge is attached ('yeli-cli list' shows the bridges)");
    return attached;
  }
  if (options.Devices.empty()) return attached.size() == 1 ? attached : std::vector<TSelected_Board>();

  std::vector<TSelected_Board> chosen;
  for (const std::string& device : options.Devices) {
    const std::string behind = Device_Behind(device);
    std::size_t index = 0;
    while (index < attached.size() && !Names(attached[index], index, device, behind)) ++index;
    if (index == attached.size())
      Fail(EXIT_DEVICE, "--device " + Printable_Text(device) +
                            ": no such bridge is attached ('yeli-cli list' shows the bridges, their USB paths and "
                            "indexes)");
    const std::string& path = attached[index].Usb_Path;
    if (std::any_of(chosen.begin(), chosen.end(), [&](const TSelected_Board& board) { return board.Usb_Path == path; }))
      Fail(EXIT_BAD_INPUT, "--device " + Printable_Text(device) + ": the bridge at USB " + Printable_Text(path) +
                               " is chosen twice");
    chosen.push_back(attached[index]);
  }
  return chosen;
}
