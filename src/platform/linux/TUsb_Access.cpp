#include "platform/linux/TUsb_Access.h"

#include <libusb.h>

#include <cerrno>
#include <memory>

namespace {
// CP210x vendor request that writes one configuration item; wValue names the product id.
constexpr std::uint8_t CP210X_CONFIG_REQUEST = 0xFF;
constexpr std::uint16_t CP210X_CONFIG_PRODUCT_ID = 0x3702;
constexpr std::uint8_t TO_DEVICE_VENDOR = static_cast<std::uint8_t>(LIBUSB_ENDPOINT_OUT) |
                                         static_cast<std::uint8_t>(LIBUSB_REQUEST_TYPE_VENDOR) |
                                         static_cast<std::uint8_t>(LIBUSB_RECIPIENT_DEVICE);
constexpr unsigned CONTROL_TIMEOUT_MS = 1000;

struct TDevice_List_Deleter {
  void operator()(libusb_device** list) const { libusb_free_device_list(list, 1); }
};
struct THandle_Deleter {
  void operator()(libusb_device_handle* handle) const { libusb_close(handle); }
};
}  // namespace

TUsb_Access::~TUsb_Access() {
  if (Context_) libusb_exit(Context_);
}

int TUsb_Access::With_Device(int bus, int address, auto&& request) {
  if (!Context_) {
    if (const int error = libusb_init(&Context_); error != 0) {
      Context_ = nullptr;
      return error;
    }
  }
  libusb_device** devices = nullptr;
  const ssize_t count = libusb_get_device_list(Context_, &devices);
  if (count < 0) return static_cast<int>(count);
  const std::unique_ptr<libusb_device*, TDevice_List_Deleter> list(devices);
  for (ssize_t index = 0; index < count; ++index) {
    if (libusb_get_bus_number(devices[index]) != bus || libusb_get_device_address(devices[index]) != address) continue;
    libusb_device_handle* opened = nullptr;
    if (const int error = libusb_open(devices[index], &opened); error != 0) return error;
    const std::unique_ptr<libusb_device_handle, THandle_Deleter> handle(opened);
    return request(handle.get());
  }
  return LIBUSB_ERROR_NO_DEVICE;
}

int TUsb_Access::Write_Product_Id(int bus, int address, std::uint16_t pid) {
  return With_Device(bus, address, [pid](libusb_device_handle* handle) {
    const int sent = libusb_control_transfer(handle, TO_DEVICE_VENDOR, CP210X_CONFIG_REQUEST, CP210X_CONFIG_PRODUCT_ID,
                                             pid, nullptr, 0, CONTROL_TIMEOUT_MS);
    return sent < 0 ? sent : 0;
  });
}

int TUsb_Access::Reset(int bus, int address) {
  return With_Device(bus, address, [](libusb_device_handle* handle) {
    const int reset = libusb_reset_device(handle);
    return reset == LIBUSB_ERROR_NOT_FOUND ? 0 : reset;
  });
}

int Usb_Errno(int usb_error) {
  switch (usb_error) {
    case LIBUSB_ERROR_ACCESS: return EACCES;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND: return ENODEV;
    case LIBUSB_ERROR_BUSY: return EBUSY;
    default: return 0;
  }
}
