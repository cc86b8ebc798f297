#include "ui/Error_Box.h"
#include "ui/Qt_Adapters.h"

#include <gtest/gtest.h>

TEST(Error_Box, Ends_With_A_Full_Stop_Only_After_Characters_Above_It) {
  const std::pair<const char*, const char*> cases[] = {
      {"'abc' is not a valid integer value", "'abc' is not a valid integer value."},
      {"I/O error (5)", "I/O error (5)"},
      {"Done.", "Done."},
      {"Failed!", "Failed!"},
      {"", ""}};
  for (auto [message, shown] : cases) EXPECT_EQ(Error_Box_Text(message), shown) << message;
}

TEST(File_Dialogs, Filters_Become_Qt_Name_Filters) {
  EXPECT_EQ(Name_Filters("Firmwire files |*.hex;  *.dfc;  |All files|*.*"),
            (QStringList{"Firmwire files  (*.hex *.dfc)", "All files (*.*)"}));
  EXPECT_EQ(Name_Filters("*.cnf|*.cnf"), QStringList{"*.cnf (*.cnf)"});
}
