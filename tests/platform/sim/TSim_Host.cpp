#include "TSim_Host.h"

#include <gtest/gtest.h>

// The chip takes a moment to start after power-up; bytes that come sooner are lost.
TSim_Host::TSim_Host(TSim_Board_Setup setup) : Board(Bus.Attach(std::move(setup))), Usb(Bus.UsbXpress()) {
  Clock.Sleep(std::chrono::milliseconds(10));
}

// The first open restarts the chip: the kernel asserts DTR as the tty opens, and the mapping then
// releases it. Bytes that come before the chip has started are lost.
void TSim_Host::Open(std::uint16_t line_control) {
  std::int32_t count = 0;
  ASSERT_EQ(Usb.Get_Num_Devices(count), SI_SUCCESS);
  ASSERT_EQ(Usb.Open(0, Handle), SI_SUCCESS);
  Clock.Sleep(std::chrono::milliseconds(10));
  Usb.Set_Timeouts(500, 500);
  Usb.Set_Baud_Rate(Handle, 38400);
  ASSERT_EQ(Usb.Set_Line_Control(Handle, line_control), SI_SUCCESS);
}

void TSim_Host::Send(const TBytes& bytes) {
  std::uint32_t written = 0;
  ASSERT_EQ(Usb.Write(Handle, bytes.data(), static_cast<std::uint32_t>(bytes.size()), written), SI_SUCCESS);
}

TBytes TSim_Host::Receive(std::size_t max) {
  TBytes received;
  std::uint8_t byte = 0;
  std::uint32_t read = 0;
  while (received.size() < max && Usb.Read(Handle, &byte, 1, read) == SI_SUCCESS) received.push_back(byte);
  return received;
}

void TSim_Host::Set_Lines(bool dtr, bool rts) { Usb.Set_Flow_Control(Handle, 0, rts, dtr, 0, 0, 0); }

void TSim_Host::Enter_Bootloader() {
  Open(HOST_8E1);
  Set_Lines(true, true);
  Set_Lines(false, true);
  Clock.Sleep(std::chrono::milliseconds(10));
  Send({0x7F});
  ASSERT_EQ(Receive(1), TBytes{0x79});
}

void TSim_Host::Enter_Application() {
  Open(HOST_8N1);
  Set_Lines(true, false);
  Set_Lines(false, false);
  Clock.Sleep(std::chrono::milliseconds(10));
}
