#include "platform/sim/TSim_Manufacturing.h"

#include "platform/sim/TSim_Bus.h"

namespace {
CP210x_STATUS Status_Of(TSim_Result result) {
  return result == SIM_RESULT_OK ? CP210x_SUCCESS : CP210x_DEVICE_IO_FAILED;
}
}  // namespace

TSim_Manufacturing::TSim_Manufacturing(TSim_Bus& bus) : Bus_(bus) {}

CP210x_STATUS TSim_Manufacturing::Get_Num_Devices(std::uint32_t& count) {
  count = Bus_.Listed_Count(SIM_VIEW_MANUFACTURING);
  return CP210x_SUCCESS;
}

CP210x_STATUS TSim_Manufacturing::Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text,
                                                     std::uint32_t option) {
  if (option != SI_RETURN_DESCRIPTION) return CP210x_INVALID_PARAMETER;
  TSim_Board* board = Bus_.Listed_Board(SIM_VIEW_MANUFACTURING, index);
  if (!board) return CP210x_DEVICE_NOT_FOUND;
  Set_Device_String(text, board->Identity().Product);
  return CP210x_SUCCESS;
}

CP210x_STATUS TSim_Manufacturing::Open(std::uint32_t index, CP210x_HANDLE& handle) {
  TSim_Board* board = Bus_.Listed_Board(SIM_VIEW_MANUFACTURING, index);
  const std::optional<TSim_Session> session = board ? board->Open(SIM_VIEW_MANUFACTURING) : std::nullopt;
  if (!session) return CP210x_DEVICE_NOT_FOUND;
  handle = Handles_.Add({board, *session});
  return CP210x_SUCCESS;
}

CP210x_STATUS TSim_Manufacturing::Close(CP210x_HANDLE handle) {
  const std::optional<TSim_Link> link = Handles_.Find(handle);
  if (!link) return CP210x_INVALID_HANDLE;
  Handles_.Remove(handle);
  return Status_Of(link->Board->Close(link->Session));
}

std::optional<TSim_Bridge_Identity> TSim_Manufacturing::Identity_Of(CP210x_HANDLE handle, CP210x_STATUS& status) {
  const std::optional<TSim_Link> link = Handles_.Find(handle);
  std::optional<TSim_Bridge_Identity> identity = link ? link->Board->Identity(link->Session) : std::nullopt;
  status = !link ? CP210x_INVALID_HANDLE : identity ? CP210x_SUCCESS : CP210x_DEVICE_IO_FAILED;
  return identity;
}

CP210x_STATUS TSim_Manufacturing::Get_Device_Vid(CP210x_HANDLE handle, std::uint16_t& vid) {
  CP210x_STATUS status;
  if (const auto identity = Identity_Of(handle, status)) vid = identity->Vid;
  return status;
}

CP210x_STATUS TSim_Manufacturing::Get_Device_Pid(CP210x_HANDLE handle, std::uint16_t& pid) {
  CP210x_STATUS status;
  if (const auto identity = Identity_Of(handle, status)) pid = identity->Pid;
  return status;
}

CP210x_STATUS TSim_Manufacturing::Set_Pid(CP210x_HANDLE handle, std::uint16_t pid) {
  const std::optional<TSim_Link> link = Handles_.Find(handle);
  if (!link) return CP210x_INVALID_HANDLE;
  return Status_Of(link->Board->Store_Pid(link->Session, pid));
}

CP210x_STATUS TSim_Manufacturing::Reset(CP210x_HANDLE handle) {
  const std::optional<TSim_Link> link = Handles_.Find(handle);
  if (!link) return CP210x_INVALID_HANDLE;
  return Status_Of(link->Board->Reset_Bridge(link->Session));
}
