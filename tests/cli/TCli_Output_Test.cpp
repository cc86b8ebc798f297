// The wire trace and the progress display, byte for byte.
#include "cli/TProgress_Display.h"
#include "cli/TWire_Trace.h"
#include "support/TScripted_UsbXpress.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(Wire_Trace, Groups_Bytes_By_Direction_Sixteen_To_A_Line_And_Passes_Every_Call_On) {
  TScripted_UsbXpress wire;
  wire.Open_Status = SI_DEVICE_NOT_FOUND;
  wire.Answers = {0x79, 0x01};
  std::ostringstream out;
  {
    TWire_Trace trace(wire, out);
    SI_HANDLE handle = 0;
    trace.Open(0, handle);
    trace.Set_Timeouts(500, 500);
    trace.Set_Line_Control(handle, 0x0820);
    trace.Set_Flow_Control(handle, 0, 2, 0, 0, 0, 0);
    std::uint32_t count = 0;
    for (std::uint8_t byte = 0; byte < 18; ++byte) trace.Write(handle, &byte, 1, count);
    std::uint8_t answer[2];
    trace.Read(handle, answer, 2, count);
    trace.Read(handle, answer + 1, 1, count);
    trace.Read(handle, answer, 1, count);
    trace.Write(handle, answer, 1, count);
  }
  EXPECT_EQ(out.str(),
            "wire: open device 0 failed (status 255)\n"
            "wire: 8E1\n"
            "wire: RTS on, DTR off\n"
            "wire: > 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n"
            "wire: > 10 11\n"
            "wire: < 79 01\n"
            "wire: < nothing within 500 ms\n"
            "wire: > 79\n");
  EXPECT_EQ(wire.Sent.size(), 19u);
  EXPECT_EQ(wire.Lines, SI_MODEM_RTS);
}

TEST(Progress_Display, A_Bar_On_A_Terminal_And_A_Line_Per_Percent_Elsewhere) {
  const std::pair<TProgress_Style, const char*> cases[] = {
      {PROGRESS_BAR,
       "\rflash [........................................] 0%"
       "\rflash [####################....................] 50%"
       "\rflash [########################################] 100%\n"},
      {PROGRESS_LINES, "flash: 0%\nflash: 50%\nflash: 100%\n"},
      {PROGRESS_QUIET, ""},
  };
  for (const auto& [style, expected] : cases) {
    std::ostringstream out;
    TProgress_Display progress(out, style, "flash");
    for (unsigned done : {0u, 1u, 100u, 101u, 200u}) progress.Show(done, 200);
    progress.Finish();
    EXPECT_EQ(out.str(), expected);
  }
}
