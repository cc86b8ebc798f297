// The progress of several boards: on a terminal their lines redrawn in place, otherwise a line for
// a board only when its phase or its tenth changes.
#include "cli/TBoards_Display.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {
struct TBoards : testing::Test {
  TBoard_Status First, Second;
  std::ostringstream Out;
  std::vector<TBoards_Display::TBoard> Boards() { return {{"1-1", &First}, {"1-2", &Second}}; }
};

TEST_F(TBoards, Lines_Tell_Each_Change_Of_Phase_Or_Tenth_Once) {
  TBoards_Display display(Out, PROGRESS_LINES, Boards());
  display.Draw();
  First.Set_Percent("flash", 11);
  display.Draw();
  First.Set_Percent("flash", 19);  // the same tenth
  Second.Set_Phase("identify");
  display.Draw();
  display.Draw();
  EXPECT_EQ(Out.str(), "1-1: start\n1-2: start\n1-1: flash 10%\n1-2: identify\n");
}

TEST_F(TBoards, A_Terminal_Gets_One_Line_Per_Board_Redrawn_In_Place) {
  TBoards_Display display(Out, PROGRESS_BAR, Boards());
  display.Draw();
  Second.Set_Percent("flash", 47);
  display.Draw();
  display.Draw();  // nothing changed
  EXPECT_EQ(Out.str(),
            "\r1-1: start\x1b[K\n\r1-2: start\x1b[K\n"
            "\x1b[2A\r1-1: start\x1b[K\n\r1-2: flash 47%\x1b[K\n");
}

TEST_F(TBoards, Quiet_Shows_Nothing) {
  TBoards_Display display(Out, PROGRESS_QUIET, Boards());
  First.Set_Percent("flash", 50);
  display.Draw();
  EXPECT_EQ(Out.str(), "");
}
}  // namespace
