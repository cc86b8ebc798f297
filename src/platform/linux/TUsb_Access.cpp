#include "platform/linux/TUsb_Access.h"

#include <libusb.h>

#include <cerrno>
#include <limits>
#include <memory>

namespace {
constexpr unsigned CONTROL_TIMEOUT_MS = 1000;

struct TDevice_List_Deleter {
  void operator()(libusb_device** list) const { libusb_free_device_list(list, 1); }
};
struct THandle_Deleter {
  void operator()(libusb_device_handle* handle) const { libusb_close(handle); }
};

// The errno value that tells the same cause as a libusb error code.
int Errno_Of(int usb_error) {
  switch (usb_error) {
    case LIBUSB_SUCCESS: return 0;
    case LIBUSB_ERROR_ACCESS: return EACCES;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND: return ENODEV;
    case LIBUSB_ERROR_BUSY: return EBUSY;
    case LIBUSB_ERROR_PIPE: return EPIPE;  // the device stalled the request: it refused it
    case LIBUSB_ERROR_TIMEOUT: return ETIMEDOUT;
    case LIBUSB_ERROR_INVALID_PARAM: return EINVAL;
    default: return EIO;
  }
}

bool Is_The_Bridge(libusb_device* device, const TBridge& bridge) {
  libusb_device_descriptor descriptor{};
  return libusb_get_bus_number(device) == bridge.Key.Bus && libusb_get_device_address(device) == bridge.Key.Address &&
         libusb_get_device_descriptor(device, &descriptor) == 0 && descriptor.idVendor == bridge.Vid &&
         descriptor.idProduct == bridge.Pid;
}
}  // namespace

TUsb_Access::~TUsb_Access() {
  if (Context_) libusb_exit(Context_);
}

int TUsb_Access::With_Device(const TBridge& bridge, auto&& request) {
  std::call_once(Started_, [this] {
    Start_Error_ = libusb_init(&Context_);
    if (Start_Error_ != 0) Context_ = nullptr;
  });
  if (!Context_) return Start_Error_;
  libusb_device** devices = nullptr;
  const ssize_t count = libusb_get_device_list(Context_, &devices);
  if (count < 0) return static_cast<int>(count);
  const std::unique_ptr<libusb_device*, TDevice_List_Deleter> list(devices);
  for (ssize_t index = 0; index < count; ++index) {
    if (!Is_The_Bridge(devices[index], bridge)) continue;
    libusb_device_handle* opened = nullptr;
    if (const int error = libusb_open(devices[index], &opened); error != 0) return error;
    const std::unique_ptr<libusb_device_handle, THandle_Deleter> handle(opened);
    return request(handle.get());
  }
  return LIBUSB_ERROR_NO_DEVICE;
}

int TUsb_Access::Control(const TBridge& bridge, const TUsb_Control& request, std::span<std::uint8_t> data,
                         std::size_t& transferred) {
  transferred = 0;
  if (data.size() > std::numeric_limits<std::uint16_t>::max()) return EINVAL;
  return Errno_Of(With_Device(bridge, [&](libusb_device_handle* handle) {
    const int moved =
        libusb_control_transfer(handle, request.Request_Type, request.Request, request.Value, request.Index,
                                data.data(), static_cast<std::uint16_t>(data.size()), CONTROL_TIMEOUT_MS);
    if (moved < 0) return moved;
    transferred = static_cast<std::size_t>(moved);
    return 0;
  }));
}

int TUsb_Access::Reset(const TBridge& bridge) {
  return Errno_Of(With_Device(bridge, [](libusb_device_handle* handle) {
    const int reset = libusb_reset_device(handle);
    return reset == LIBUSB_ERROR_NOT_FOUND ? 0 : reset;
  }));
}
