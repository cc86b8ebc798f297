#include "platform/Failure_Line.h"
#include "platform/linux/Termios_Format.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
struct TLine_Case {
  std::uint16_t Word;
  std::optional<tcflag_t> Flags;
};

// "Word_0820": the case's name in ctest, and what gtest prints of its parameter.
std::string Word_Name(const TLine_Case& c) {
  char name[16];
  std::snprintf(name, sizeof name, "Word_%04X", c.Word);
  return name;
}
void PrintTo(const TLine_Case& c, std::ostream* out) { *out << Word_Name(c); }

class TLine_Control : public testing::TestWithParam<TLine_Case> {};

struct TCause_Case {
  int Error;
  const char* Advice;  // null: nothing to tell the user
};

// "EACCES", or "No_Error" for 0.
std::string Error_Name(const TCause_Case& c) {
  const char* name = c.Error == 0 ? nullptr : strerrorname_np(c.Error);
  return name ? name : "No_Error";
}
void PrintTo(const TCause_Case& c, std::ostream* out) { *out << Error_Name(c); }

class TFailure_Cause : public testing::TestWithParam<TCause_Case> {};
}  // namespace

TEST_P(TLine_Control, Decodes_Data_Bits_Parity_And_Stop_Bits) {
  EXPECT_EQ(Line_Control_Flags(GetParam().Word), GetParam().Flags);
}

INSTANTIATE_TEST_SUITE_P(
    Words, TLine_Control,
    testing::Values(TLine_Case{0x0800, CS8},                               // the parameter protocol
                    TLine_Case{0x0820, CS8 | PARENB},                      // the bootloader
                    TLine_Case{0x0810, CS8 | PARENB | PARODD},             // odd
                    TLine_Case{0x0830, CS8 | PARENB | CMSPAR | PARODD},    // mark
                    TLine_Case{0x0840, CS8 | PARENB | CMSPAR},             // space
                    TLine_Case{0x0802, CS8 | CSTOPB},                      // two stop bits
                    TLine_Case{0x0722, CS7 | PARENB | CSTOPB}, TLine_Case{0x0500, CS5},
                    TLine_Case{0x0801, std::nullopt},                      // one and a half stop bits
                    TLine_Case{0x0803, std::nullopt}, TLine_Case{0x0850, std::nullopt},
                    TLine_Case{0x0900, std::nullopt}, TLine_Case{0x0400, std::nullopt},
                    TLine_Case{0x0000, std::nullopt}),
    [](const auto& info) { return Word_Name(info.param); });

TEST(TBaud_Speed, Knows_The_Standard_Rates_Only) {
  EXPECT_EQ(Baud_Speed(38400), B38400);
  EXPECT_EQ(Baud_Speed(115200), B115200);
  EXPECT_EQ(Baud_Speed(0), std::nullopt);
  EXPECT_EQ(Baud_Speed(38401), std::nullopt);
}

TEST_P(TFailure_Cause, Names_The_Device_The_Cause_And_The_Readme) {
  const std::string line = Failure_Line("/dev/ttyUSB0 (USB 1-2)", GetParam().Error);
  if (!GetParam().Advice) {
    EXPECT_EQ(line, "");
    return;
  }
  EXPECT_EQ(line, std::string("/dev/ttyUSB0 (USB 1-2): ") + GetParam().Advice + " (README, section \"Real hardware\")");
}

INSTANTIATE_TEST_SUITE_P(
    Errors, TFailure_Cause,
    testing::Values(TCause_Case{EACCES, "permission denied; install the udev rule and plug the controller in again"},
                    TCause_Case{EPERM, "permission denied; install the udev rule and plug the controller in again"},
                    TCause_Case{ENODEV, "the device went away; plug the controller in again"},
                    TCause_Case{EIO, "the device went away; plug the controller in again"},
                    TCause_Case{ENOENT, "the device went away; plug the controller in again"},
                    TCause_Case{EBUSY, "in use by another program; close that program"},
                    TCause_Case{ENOTTY, nullptr}, TCause_Case{EINVAL, nullptr}, TCause_Case{0, nullptr}),
    [](const auto& info) { return Error_Name(info.param); });
