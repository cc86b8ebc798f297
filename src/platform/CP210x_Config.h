// The CP210x's configuration through its vendor requests (bRequest 0xFF), sent while the kernel's
// cp210x driver stays bound: usbfs passes vendor requests without an interface claim
// (drivers/usb/core/devio.c, check_ctrlrecip), but opening the USB device node needs write access.
//
// Part number: read wValue 0x370B, one byte (as cp210x.c reads it at attach). Product id on
// CP2101-CP2105: write wValue 0x3702 with the id in wIndex and no data (the maker's manufacturing
// library for Linux, CP210xDevice.cpp SetPid). The CP2102N refuses that write: its configuration is
// one 0x2A6-byte block, read with wValue 0x000E (cp210x.c CP210X_READ_2NCONFIG) and written whole
// with wValue 0x370F (the maker's CP2102NDevice.cpp), its last two bytes a Fletcher-16 checksum of
// the rest, most significant byte first (Silicon Labs knowledge base, "Fletcher checksum for
// CP2102n configuration array"; the maker's cp210xsmt.cpp). The block begins with its size (2
// bytes), version (1), bootloader and update flags (1 each), then the USB device descriptor, whose
// product id lies at bytes 15 and 16, least significant first (AN978, CP2102N configuration).
#pragma once

#include "platform/TBridge_Host.h"

#include <cstdint>
#include <span>

inline constexpr std::uint8_t CP210X_VENDOR_REQUEST = 0xFF;
inline constexpr std::uint8_t CP210X_TO_DEVICE = 0x40;    // vendor request, host to device
inline constexpr std::uint8_t CP210X_FROM_DEVICE = 0xC0;  // vendor request, device to host
inline constexpr std::uint16_t CP210X_WRITE_PRODUCT_ID = 0x3702;
inline constexpr std::uint16_t CP210X_READ_PART_NUMBER = 0x370B;
inline constexpr std::uint16_t CP2102N_READ_CONFIG = 0x000E;
inline constexpr std::uint16_t CP2102N_WRITE_CONFIG = 0x370F;

inline constexpr std::size_t CP2102N_CONFIG_SIZE = 0x2A6;
inline constexpr std::size_t CP2102N_VERSION_AT = 2;
inline constexpr std::uint8_t CP2102N_CONFIG_VERSION = 0x01;  // the layout above (cp210x.c checks it too)
inline constexpr std::size_t CP2102N_PID_AT = 15;
inline constexpr std::size_t CP2102N_CHECKSUM_AT = CP2102N_CONFIG_SIZE - 2;

// The Fletcher-16 of the CP2102N's configuration: both sums start at 0xFF and are reduced by end-
// around carry; the second in the high byte.
std::uint16_t Fletcher16(std::span<const std::uint8_t> bytes);
// Whether a whole block of the known layout carries its own checksum.
bool CP2102N_Config_Sound(std::span<const std::uint8_t> block);
// Puts `pid` into a whole block and its checksum after it.
void CP2102N_Set_Pid(std::span<std::uint8_t> block, std::uint16_t pid);

// An errno value; EPIPE when the chip refused the request.
int Read_Part_Number(TBridge_Host& host, const TBridge& bridge, std::uint8_t& part);

enum TPid_Write_Result { PID_WRITTEN, PID_REFUSED, PID_CONFIG_DAMAGED, PID_NOT_REACHED };
struct TPid_Write {
  TPid_Write_Result Result;
  int Error;  // errno of the request that failed; 0 when written
};
// Writes the product id the way the part takes it: the field on CP2101-CP2105, the whole block with
// a new checksum on the CP2102N. The chip uses it from its next enumeration.
TPid_Write Write_Product_Id(TBridge_Host& host, const TBridge& bridge, std::uint8_t part, std::uint16_t pid);
