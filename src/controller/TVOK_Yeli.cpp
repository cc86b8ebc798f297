#include "controller/TVOK_Yeli.h"

#include "controller/Parameter_Protocol.h"

#include <algorithm>
#include <chrono>

namespace {
constexpr int BITS_PER_BYTE_8N1 = 10;  // start, 8 data, stop
constexpr int WRITE_FRAME_BYTES = 5;
// The controller's time to answer a frame that a fault on the line turned into a read request.
constexpr auto ANSWER_TIME = std::chrono::milliseconds(10);
}  // namespace

TVOK_Yeli::TVOK_Yeli(TUsbXpress& usb, TClock& clock) : TSTM32(usb, clock) {}

// The protocol has no framing: a byte left in the receive buffer (an answer that came after its
// time-out, a stray byte while the controller starts) would be taken for this answer's first byte
// and shift every later answer by one. Emptying the receive buffer puts nothing on the wire.
bool TVOK_Yeli::GetParam(std::uint8_t Param, std::int32_t& value) {
  Flush_IO_Buffers(0, 1);
  Send_Chip_Byte(FRAME_START);
  Send_Chip_Byte(FRAME_READ);
  Send_Chip_Byte(Param);
  std::uint8_t high = 0;
  std::uint8_t low = 0;
  if (Read_Chip_Byte(&high) != SI_SUCCESS || Read_Chip_Byte(&low) != SI_SUCCESS) return false;
  value = high * 256 + low;
  return true;
}

// Only the low 16 bits of a value reach the controller.
bool TVOK_Yeli::Send_Write(std::uint8_t id, std::int32_t value) {
  Send_Chip_Byte(FRAME_START);
  Send_Chip_Byte(FRAME_WRITE);
  Send_Chip_Byte(id);
  Send_Chip_Byte(static_cast<std::uint8_t>(value >> 8));
  return Send_Chip_Byte(static_cast<std::uint8_t>(value)) == SI_SUCCESS;
}

// An id that names no setting is written with the value 0.
bool TVOK_Yeli::SetParam(std::uint8_t param1) {
  const auto setting = std::find_if(FULL_WRITE.begin(), FULL_WRITE.end(),
                                    [param1](const TParameter& parameter) { return parameter.Id == param1; });
  return Send_Write(param1, setting == FULL_WRITE.end() ? 0 : Prop.*setting->Field);
}

// Read into a copy that replaces Prop only when every read succeeded, so that Prop is always one
// whole reading (with the fields that are never read), never a mix of two.
bool TVOK_Yeli::GetConfigIO() {
  TVOK_Prop reading = Prop;
  for (const TParameter& parameter : FULL_READ)
    if (!GetParam(parameter.Id, reading.*parameter.Field)) return false;
  reading.T_O_IN *= TACHO_SCALE;
  reading.T_O_OUT *= TACHO_SCALE;
  Prop = reading;
  return true;
}

// A pending filter-time reset is sent once, after the settings, whether or not they got through.
// A write returns once the bridge has the bytes, not once they are on the wire: the call waits for
// them to go, so that anything they set off (a frame that the line turned into a read request) has
// arrived when the next read empties the receive buffer.
bool TVOK_Yeli::SetConfigIO() {
  std::size_t frames = 0;
  const bool written = std::all_of(FULL_WRITE.begin(), FULL_WRITE.end(), [this, &frames](const TParameter& parameter) {
    ++frames;
    return SetParam(parameter.Id);
  });
  if (ResTime) {
    Send_Write(PARAM_RESET_FILTER_TIME, 0);
    ResTime = false;
    ++frames;
  }
  const auto bits = std::chrono::microseconds(1000000) * BITS_PER_BYTE_8N1 * WRITE_FRAME_BYTES * frames / BautRate;
  Clock_.Sleep(std::chrono::duration_cast<TDuration>(bits) + ANSWER_TIME);
  return written;
}
