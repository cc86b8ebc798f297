#include "platform/Printable_Text.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct TCase {
  std::string Name;
  std::string Raw;
  std::string Shown;
};

// ctest names each case by what gtest prints of its parameter: the case's name, not its bytes.
void PrintTo(const TCase& c, std::ostream* out) { *out << c.Name; }

class TPrintable_Text : public testing::TestWithParam<TCase> {};

TEST_P(TPrintable_Text, Shows_Every_Byte_That_Is_Not_Printable_As_Its_Code) {
  EXPECT_EQ(Printable_Text(GetParam().Raw), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, TPrintable_Text,
    testing::Values(TCase{"Plain", "CP2102 USB to UART Bridge Controller", "CP2102 USB to UART Bridge Controller"},
                    TCase{"Nul", std::string("a\0b", 3), "a\\x00b"},
                    TCase{"Escape_Sequence", "\x1b[2J", "\\x1B[2J"},
                    TCase{"Line_Break_And_Delete", "x\r\n\x7f", "x\\x0D\\x0A\\x7F"},
                    TCase{"High_Bytes", "\xc3\xa9", "\\xC3\\xA9"},
                    TCase{"Backslash", "a\\x41", "a\\x5Cx41"}),
    [](const testing::TestParamInfo<TCase>& info) { return info.param.Name; });
}  // namespace
