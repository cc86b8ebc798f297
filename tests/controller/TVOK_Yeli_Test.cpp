// Frames and orders byte for byte, with a scripted bridge.
#include "controller/TVOK_Yeli.h"
#include "platform/TVirtual_Clock.h"
#include "support/TScripted_UsbXpress.h"

#include <gtest/gtest.h>

#include <algorithm>

using TBytes = std::vector<std::uint8_t>;

namespace {
// The identifier of every field, in the order of the full read and of the full write, written out
// from the controller's protocol rather than taken from the code under test.
struct TField_Id {
  std::int32_t TVOK_Prop::*Field;
  std::uint8_t Id;
};

const TField_Id READ_ORDER[] = {
    {&TVOK_Prop::FirmW, 255},     {&TVOK_Prop::PWM_IN_0, 16},    {&TVOK_Prop::PWM_IN_1, 17},
    {&TVOK_Prop::PWM_IN_2, 18},   {&TVOK_Prop::PWM_IN_3, 19},    {&TVOK_Prop::PWM_IN_F, 20},
    {&TVOK_Prop::PWM_IN_H, 21},   {&TVOK_Prop::PWM_OUT_0, 32},   {&TVOK_Prop::PWM_OUT_1, 33},
    {&TVOK_Prop::PWM_OUT_2, 34},  {&TVOK_Prop::PWM_OUT_3, 35},   {&TVOK_Prop::PWM_OUT_F, 36},
    {&TVOK_Prop::PWM_OUT_H, 37},  {&TVOK_Prop::B_P, 48},         {&TVOK_Prop::B_P_E, 49},
    {&TVOK_Prop::B_P_I, 50},      {&TVOK_Prop::T_O_IN, 64},      {&TVOK_Prop::T_O_OUT, 65},
    {&TVOK_Prop::Time, 83},       {&TVOK_Prop::T_in, 81},        {&TVOK_Prop::V_in, 80},
    {&TVOK_Prop::F_In, 82},       {&TVOK_Prop::L_Time, 85},      {&TVOK_Prop::T_Off, 112},
    {&TVOK_Prop::MAX_IN_RPM, 128}, {&TVOK_Prop::MAX_OUT_RPM, 129}, {&TVOK_Prop::MAX_DIFF, 130},
    {&TVOK_Prop::DISREGARD, 131}, {&TVOK_Prop::H_Lvl, 114},
};

const TField_Id WRITE_ORDER[] = {
    {&TVOK_Prop::PWM_IN_0, 16},   {&TVOK_Prop::PWM_IN_1, 17},    {&TVOK_Prop::PWM_IN_2, 18},
    {&TVOK_Prop::PWM_IN_3, 19},   {&TVOK_Prop::PWM_IN_F, 20},    {&TVOK_Prop::PWM_IN_H, 21},
    {&TVOK_Prop::PWM_OUT_0, 32},  {&TVOK_Prop::PWM_OUT_1, 33},   {&TVOK_Prop::PWM_OUT_2, 34},
    {&TVOK_Prop::PWM_OUT_3, 35},  {&TVOK_Prop::PWM_OUT_F, 36},   {&TVOK_Prop::PWM_OUT_H, 37},
    {&TVOK_Prop::B_P_E, 49},      {&TVOK_Prop::B_P_I, 50},       {&TVOK_Prop::Time, 83},
    {&TVOK_Prop::L_Time, 85},     {&TVOK_Prop::T_Off, 112},      {&TVOK_Prop::MAX_IN_RPM, 128},
    {&TVOK_Prop::MAX_OUT_RPM, 129}, {&TVOK_Prop::MAX_DIFF, 130},  {&TVOK_Prop::DISREGARD, 131},
    {&TVOK_Prop::mode, 144},      {&TVOK_Prop::H_Lvl, 114},
};

struct TParameters : testing::Test {
  TScripted_UsbXpress Usb;
  TVirtual_Clock Clock;
  TVOK_Yeli Controller{Usb, Clock};

  // Each read of the full read answers with its id, so every field shows where it came from.
  void Answer_Full_Read(std::size_t reads = std::size(READ_ORDER)) {
    for (std::size_t i = 0; i < reads; ++i) {
      Usb.Answers.push_back(0);
      Usb.Answers.push_back(READ_ORDER[i].Id);
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

TEST_F(TParameters, Full_Read_Asks_In_Order_Fills_Each_Field_And_Scales_The_Tachometers) {
  Answer_Full_Read();
  ASSERT_TRUE(Controller.GetConfigIO());
  TBytes expected;
  for (const TField_Id& read : READ_ORDER) expected.insert(expected.end(), {0xFF, 0x01, read.Id});
  EXPECT_EQ(Usb.Sent, expected);
  for (const TField_Id& read : READ_ORDER) {
    const bool tachometer = read.Field == &TVOK_Prop::T_O_IN || read.Field == &TVOK_Prop::T_O_OUT;
    EXPECT_EQ(Controller.Prop.*read.Field, tachometer ? read.Id * 60 : read.Id) << "id " << int(read.Id);
  }
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

// Every field holds a value of its own, so a field sent under another field's id shows.
TEST_F(TParameters, Full_Write_Sends_Each_Setting_Under_Its_Id_In_Order) {
  for (const TField_Id& write : WRITE_ORDER) Controller.Prop.*write.Field = 0x100 + write.Id;
  ASSERT_TRUE(Controller.SetConfigIO());
  TBytes expected;
  for (const TField_Id& write : WRITE_ORDER) expected.insert(expected.end(), {0xFF, 0x00, write.Id, 0x01, write.Id});
  EXPECT_EQ(Usb.Sent, expected);
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
