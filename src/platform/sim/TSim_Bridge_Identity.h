// Who a CP210x says it is when it enumerates, and which driver the system binds to it.
#pragma once

#include <cstdint>
#include <string>

enum TSim_Driver { SIM_DRIVER_NONE, SIM_DRIVER_VCP, SIM_DRIVER_USBXPRESS };

// The two libraries through which the host sees the bus.
enum TSim_View { SIM_VIEW_USBXPRESS, SIM_VIEW_MANUFACTURING };

inline constexpr std::uint16_t SIM_CP210X_VID = 0x10C4;
inline constexpr std::uint16_t SIM_VCP_PID = 0xEA60;
inline constexpr std::uint16_t SIM_USBXPRESS_PID = 0xEA61;
inline constexpr const char* SIM_VCP_PRODUCT = "Silicon Labs CP210x USB to UART Bridge";
inline constexpr const char* SIM_USBXPRESS_PRODUCT = "USBXpress Device";

struct TSim_Bridge_Identity {
  std::uint16_t Vid = SIM_CP210X_VID;
  std::uint16_t Pid = SIM_USBXPRESS_PID;
  std::string Product = SIM_USBXPRESS_PRODUCT;
  TSim_Driver Driver = SIM_DRIVER_USBXPRESS;
};

// The identity of the standard virtual-COM-port (0xEA60) or USBXpress (0xEA61) bridge.
TSim_Bridge_Identity Standard_Identity(std::uint16_t pid);

// The identity after enumerating with `pid` in the configuration memory: a CP210x id of either mode
// brings that mode's product string and driver; any other id keeps the product string and finds
// no driver.
TSim_Bridge_Identity Enumerated_Identity(const TSim_Bridge_Identity& before, std::uint16_t pid);

// The manufacturing library reaches bridges of either driver, the USBXpress library only its own.
bool Listed_By(TSim_View view, TSim_Driver driver);
