// Fuzz target: the program's side of the parameter protocol, on a scripted board whose answer bytes
// are the input (after a first byte that says after how many sent bytes the line breaks). The start
// of work mode, a full write, the store command and a poll each either succeed with what the board
// answered or fail cleanly, and every byte sent is a well-formed request.
#include "Fuzz_Support.h"
#include "controller/Controller_Session.h"
#include "controller/Parameter_Protocol.h"
#include "platform/TVirtual_Clock.h"
#include "support/TScripted_UsbXpress.h"

#include <vector>

namespace {
constexpr std::size_t READ_REQUEST = 3, WRITE_REQUEST = 5, ANSWER = 2;  // bytes

// Every request in `sent` is a read of a known id or a write of a setting or of the filter reset.
bool Well_Formed(const std::vector<std::uint8_t>& sent, std::size_t broken_at) {
  const auto known = [](std::uint8_t id, const auto& table) {
    for (const TParameter& parameter : table)
      if (parameter.Id == id) return true;
    return false;
  };
  std::size_t at = 0;
  while (at + READ_REQUEST <= sent.size()) {
    if (sent[at] != FRAME_START) return false;
    const std::uint8_t id = sent[at + 2];
    const bool read = sent[at + 1] == FRAME_READ && (known(id, FULL_READ) || id == PARAM_STORE_SETTINGS);
    const bool write = sent[at + 1] == FRAME_WRITE && (known(id, FULL_WRITE) || id == PARAM_RESET_FILTER_TIME);
    if (!read && !write) return false;
    at += read ? READ_REQUEST : WRITE_REQUEST;
  }
  return at == sent.size() || sent.size() == broken_at;  // only a broken line cuts a request short
}

// The full read succeeded: every field holds its answer, high byte first; the tachometers per minute.
bool Holds_Answers(const TVOK_Prop& prop, const std::uint8_t* answers) {
  for (std::size_t i = 0; i < FULL_READ.size(); ++i) {
    std::int32_t value = answers[ANSWER * i] << 8 | answers[ANSWER * i + 1];
    if (FULL_READ[i].Field == &TVOK_Prop::T_O_IN || FULL_READ[i].Field == &TVOK_Prop::T_O_OUT) value *= TACHO_SCALE;
    if (prop.*FULL_READ[i].Field != value) return false;
  }
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  TVirtual_Clock clock;
  TScripted_UsbXpress usb;
  usb.Products = {"USBXpress Device"};
  // The first byte breaks the line after that many times 8 bytes sent; 0xFF never.
  usb.Writes_Before_Failure = data[0] == 0xFF ? SIZE_MAX : std::size_t{data[0]} * 8;
  usb.Answers.assign(data + 1, data + size);
  TVOK_Yeli controller(usb, clock);

  const std::size_t answers = size - 1;
  const TSequence_Stage started = Start_Work_Mode(controller);
  Require(started == STAGE_DONE || started == STAGE_NO_ANSWER, "the scripted bridge opens");
  Require((started == STAGE_DONE) == (answers >= FULL_READ.size() * ANSWER),
          "the full read succeeds exactly when every answer came");
  Require(controller.CP_State == (started == STAGE_DONE ? CP_ENABLED : CP_CLOSE), "the port state follows the outcome");
  if (started == STAGE_DONE) Require(Holds_Answers(controller.Prop, data + 1), "the record holds the answers");

  controller.ResTime = (size & 1) != 0;
  const std::size_t sent_before = usb.Sent.size();
  const bool written = controller.SetConfigIO();
  Require(!controller.ResTime, "the filter reset is tried once");
  Require(written == (sent_before + FULL_WRITE.size() * WRITE_REQUEST <= usb.Writes_Before_Failure),
          "a full write fails exactly when the line breaks");
  Store_Settings(controller);
  controller.GetConfigIO();
  for (const TParameter& parameter : FULL_READ)
    if (parameter.Field != &TVOK_Prop::T_O_IN && parameter.Field != &TVOK_Prop::T_O_OUT)
      Require(controller.Prop.*parameter.Field >= 0 && controller.Prop.*parameter.Field <= 0xFFFF,
              "a read value is 16 bits");
  Require(Well_Formed(usb.Sent, usb.Writes_Before_Failure), "every request is well formed");
  return 0;
}
