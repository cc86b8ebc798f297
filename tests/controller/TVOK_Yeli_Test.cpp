// Frames and orders byte for byte, with a scripted bridge.
#include "controller/TVOK_Yeli.h"
#include "controller/Parameter_Protocol.h"
#include "platform/TVirtual_Clock.h"
#include "support/TScripted_UsbXpress.h"

#include <gtest/gtest.h>

#include <algorithm>

using TBytes = std::vector<std::uint8_t>;

namespace {
struct TParameters : testing::Test {
  TScripted_UsbXpress Usb;
  TVirtual_Clock Clock;
  TVOK_Yeli Controller{Usb, Clock};

  // Each read of the full read answers with its id, so every field shows where it came from.
  void Answer_Full_Read(std::size_t reads = FULL_READ.size()) {
    for (std::size_t i = 0; i < reads; ++i) {
      Usb.Answers.push_back(0);
      Usb.Answers.push_back(FULL_READ[i].Id);
    }
  }
  TBytes Frames(std::initializer_list<TBytes> frames) {
    TBytes bytes;
    for (const TBytes& frame : frames) bytes.insert(bytes.end(), frame.begin(), frame.end());
    return bytes;
  }
};
}  // namespace

TEST_F(TParameters, Starts_Closed_With_Nothing_Pending) {
  EXPECT_EQ(Controller.VOK_State, VOK_CLOSE);
  EXPECT_EQ(Controller.VOK_Action, VOK_NONE);
  EXPECT_FALSE(Controller.ResTime);
  EXPECT_EQ(Controller.Prop, TVOK_Prop{});
  EXPECT_EQ(Controller.CP_State, CP_CLOSE);
  EXPECT_EQ(Controller.STM_State, ST_CLOSE);
}

TEST_F(TParameters, Write_Requests_Carry_The_Low_16_Bits_High_Byte_First) {
  const std::pair<std::int32_t, TBytes> cases[] = {
      {500, {0xFF, 0x00, 0x10, 0x01, 0xF4}}, {0x12345, {0xFF, 0x00, 0x10, 0x23, 0x45}}, {-1, {0xFF, 0x00, 0x10, 0xFF, 0xFF}}};
  for (const auto& [value, frame] : cases) {
    Usb.Sent.clear();
    Controller.Prop.PWM_IN_0 = value;
    EXPECT_TRUE(Controller.SetParam(16));
    EXPECT_EQ(Usb.Sent, frame) << value;
  }
}

TEST_F(TParameters, A_Read_Request_Gets_Its_Value_High_Byte_First) {
  Usb.Answers = {0x02, 0x03};
  std::int32_t version = 0;
  EXPECT_TRUE(Controller.GetParam(255, version));
  EXPECT_EQ(version, 515);
  EXPECT_EQ(Usb.Sent, (TBytes{0xFF, 0x01, 0xFF}));
}

TEST_F(TParameters, A_Read_Empties_The_Receive_Buffer_Before_It_Asks) {
  Usb.Answers = {0x02, 0x03};
  std::int32_t version = 0;
  ASSERT_TRUE(Controller.GetParam(255, version));
  ASSERT_GE(Usb.Calls.size(), 6u);
  EXPECT_EQ(Usb.Calls[Usb.Calls.size() - 6], "flush 0 1");  // then three writes and two reads
}

// Half an answer, or none, is no value: the target keeps what it held.
TEST_F(TParameters, A_Half_Answer_Fails_And_Stores_Nothing) {
  for (const std::deque<std::uint8_t>& answers : {std::deque<std::uint8_t>{0x02}, std::deque<std::uint8_t>{}}) {
    Usb.Answers = answers;
    std::int32_t value = 77;
    EXPECT_FALSE(Controller.GetParam(16, value));
    EXPECT_EQ(value, 77);
  }
}

TEST_F(TParameters, Full_Read_Asks_In_Order_And_Scales_The_Tachometers) {
  Answer_Full_Read();
  ASSERT_TRUE(Controller.GetConfigIO());
  TBytes expected;
  for (const TParameter& parameter : FULL_READ) expected.insert(expected.end(), {0xFF, 0x01, parameter.Id});
  EXPECT_EQ(Usb.Sent, expected);
  EXPECT_EQ(Controller.Prop.FirmW, 255);
  EXPECT_EQ(Controller.Prop.H_Lvl, 114);
  EXPECT_EQ(Controller.Prop.T_O_IN, 64 * 60);
  EXPECT_EQ(Controller.Prop.T_O_OUT, 65 * 60);
  EXPECT_EQ(Controller.Prop.mode, 0);  // never read
}

TEST_F(TParameters, A_Failed_Full_Read_Leaves_The_Record_As_It_Was) {
  Controller.Prop.H_Lvl = 55;
  Controller.Prop.PWM_IN_0 = 300;
  const TVOK_Prop before = Controller.Prop;
  Answer_Full_Read(20);  // up to T_in; V_in gets no answer
  EXPECT_FALSE(Controller.GetConfigIO());
  EXPECT_EQ(Controller.Prop, before);
  EXPECT_EQ(Usb.Sent.size(), 21u * 3);
}

TEST_F(TParameters, Full_Write_Sends_The_Settings_In_Order) {
  Controller.Prop.mode = 3;
  ASSERT_TRUE(Controller.SetConfigIO());
  TBytes expected;
  for (const TParameter& parameter : FULL_WRITE) {
    const auto value = static_cast<std::uint16_t>(Controller.Prop.*parameter.Field);
    expected.insert(expected.end(), {0xFF, 0x00, parameter.Id, std::uint8_t(value >> 8), std::uint8_t(value)});
  }
  EXPECT_EQ(Usb.Sent, expected);
  EXPECT_EQ(TBytes(Usb.Sent.end() - 10, Usb.Sent.end() - 5), (TBytes{0xFF, 0x00, 144, 0x00, 0x03}));
}

TEST_F(TParameters, A_Pending_Filter_Reset_Is_Sent_Once_Even_After_A_Failed_Write) {
  Controller.ResTime = true;
  Usb.Writes_Before_Failure = 12;  // the third frame fails at its last byte
  EXPECT_FALSE(Controller.SetConfigIO());
  EXPECT_FALSE(Controller.ResTime);
  EXPECT_EQ(Usb.Sent.size(), 12u);
  EXPECT_EQ(std::count(Usb.Calls.begin(), Usb.Calls.end(), "write 1"), 3 * 5 + 5);  // the reset was tried

  Usb.Writes_Before_Failure = SIZE_MAX;
  Usb.Sent.clear();
  Controller.ResTime = true;
  EXPECT_TRUE(Controller.SetConfigIO());
  EXPECT_EQ(TBytes(Usb.Sent.end() - 5, Usb.Sent.end()), (TBytes{0xFF, 0x00, 84, 0x00, 0x00}));
  EXPECT_EQ(Usb.Sent.size(), 24u * 5);

  Usb.Sent.clear();
  EXPECT_TRUE(Controller.SetConfigIO());
  EXPECT_EQ(Usb.Sent.size(), 23u * 5);  // no reset without a request
}
