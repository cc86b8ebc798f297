// The names the two bridge libraries give a bridge, by which the program tells its driver modes.
//
// They are the names of the maker's drivers on the platform those libraries come from, not the
// chip's string: the virtual-COM-port driver (silabser.inf) calls 10c4:ea60 "Silicon Labs CP210x
// USB to UART Bridge", and the USBXpress driver calls 10c4:ea61 "USBXpress Device". On Linux the
// kernel's cp210x driver serves both ids (drivers/usb/serial/cp210x.c, id_table: "Silicon Labs
// factory default"), and sysfs shows the chip's own product string in either mode, "CP2102 USB to
// UART Bridge Controller" on a factory chip. So the name follows from the ids.
#pragma once

#include "platform/TBridge.h"

#include <cstdint>
#include <string>

inline constexpr std::uint16_t SILABS_VID = 0x10C4;
inline constexpr std::uint16_t VCP_PID = 0xEA60;
inline constexpr std::uint16_t USBXPRESS_PID = 0xEA61;

inline constexpr const char* VCP_PRODUCT = "Silicon Labs CP210x USB to UART Bridge";
inline constexpr const char* USBXPRESS_PRODUCT = "USBXpress Device";

// The driver's name for 10c4:ea60 and 10c4:ea61; any other device its own product string, so that
// a bridge of another family still counts as neither mode.
std::string Bridge_Description(const TBridge& bridge);
