// Who a CP210x says it is when it enumerates, which part it is, and whether the kernel's cp210x
// driver serves it. The board keeps its own copies of these facts: it is a model of the hardware,
// independent of the program's code.
#pragma once

#include <cstdint>
#include <string>

inline constexpr std::uint16_t SIM_CP210X_VID = 0x10C4;
inline constexpr std::uint16_t SIM_VCP_PID = 0xEA60;
inline constexpr std::uint16_t SIM_USBXPRESS_PID = 0xEA61;

// Part numbers as the chip reports them (vendor request 0xFF/0x370B); a CP2102N in its QFN28 package.
inline constexpr std::uint8_t SIM_PART_CP2102 = 0x02;
inline constexpr std::uint8_t SIM_PART_CP2104 = 0x04;
inline constexpr std::uint8_t SIM_PART_CP2102N = 0x20;

// How the program names the bridge's two modes, by which a test asks whether it is listed.
enum TSim_View {
  SIM_VIEW_USBXPRESS,     // bound to cp210x with the USBXpress product id, 10c4:ea61
  SIM_VIEW_MANUFACTURING  // bound to cp210x, whatever its id
};

struct TSim_Bridge_Identity {
  std::uint16_t Vid = SIM_CP210X_VID;
  std::uint16_t Pid = SIM_VCP_PID;
  std::string Product = "CP2102 USB to UART Bridge Controller";  // the chip's USB product string
  std::string Serial = "0001";
  std::uint8_t Part = SIM_PART_CP2102;
};

// A chip as it leaves the factory, then given `pid`: its product string names the part in either
// mode. A CP2102's serial number is "0001"; a CP2104's and a CP2102N's are unique, here made from
// `unit` so that the boards of one test tell apart.
TSim_Bridge_Identity Factory_Identity(std::uint8_t part, std::uint16_t pid, unsigned unit = 1);

// The identity after enumerating with `pid` in the configuration memory: everything else stays.
TSim_Bridge_Identity Enumerated_Identity(const TSim_Bridge_Identity& before, std::uint16_t pid);

// Whether the kernel's cp210x driver binds the device: the Silicon Labs ids of its id table
// (drivers/usb/serial/cp210x.c), 10c4:ea60 and 10c4:ea61 among them.
bool Cp210x_Binds(std::uint16_t vid, std::uint16_t pid);

bool Listed_By(TSim_View view, const TSim_Bridge_Identity& identity);
