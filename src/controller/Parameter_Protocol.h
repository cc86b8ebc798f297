// The controller application's parameter protocol (38400 baud, 8N1): frames and parameter ids.
#pragma once

#include "controller/TVOK_Prop.h"

#include <array>
#include <cstdint>

inline constexpr std::uint8_t FRAME_START = 0xFF;  // first byte of every request
inline constexpr std::uint8_t FRAME_READ = 0x01;   // read request: start, read, id; answer: high, low
inline constexpr std::uint8_t FRAME_WRITE = 0x00;  // write request: start, write, id, high, low; no answer

inline constexpr std::uint8_t PARAM_RESET_FILTER_TIME = 84;  // written: the filter running time becomes 0
inline constexpr std::uint8_t PARAM_STORE_SETTINGS = 96;     // read: store the settings permanently
inline constexpr std::uint8_t PARAM_FIRMWARE_VERSION = 255;  // read: major in the high byte

struct TParameter {
  std::uint8_t Id;
  std::int32_t TVOK_Prop::*Field;
};

// Every read of the full read, in the order they are made.
inline constexpr std::array<TParameter, 29> FULL_READ = {{
    {255, &TVOK_Prop::FirmW},      {16, &TVOK_Prop::PWM_IN_0},   {17, &TVOK_Prop::PWM_IN_1},
    {18, &TVOK_Prop::PWM_IN_2},    {19, &TVOK_Prop::PWM_IN_3},   {20, &TVOK_Prop::PWM_IN_F},
    {21, &TVOK_Prop::PWM_IN_H},    {32, &TVOK_Prop::PWM_OUT_0},  {33, &TVOK_Prop::PWM_OUT_1},
    {34, &TVOK_Prop::PWM_OUT_2},   {35, &TVOK_Prop::PWM_OUT_3},  {36, &TVOK_Prop::PWM_OUT_F},
    {37, &TVOK_Prop::PWM_OUT_H},   {48, &TVOK_Prop::B_P},        {49, &TVOK_Prop::B_P_E},
    {50, &TVOK_Prop::B_P_I},       {64, &TVOK_Prop::T_O_IN},     {65, &TVOK_Prop::T_O_OUT},
    {83, &TVOK_Prop::Time},        {81, &TVOK_Prop::T_in},       {80, &TVOK_Prop::V_in},
    {82, &TVOK_Prop::F_In},        {85, &TVOK_Prop::L_Time},     {112, &TVOK_Prop::T_Off},
    {128, &TVOK_Prop::MAX_IN_RPM}, {129, &TVOK_Prop::MAX_OUT_RPM}, {130, &TVOK_Prop::MAX_DIFF},
    {131, &TVOK_Prop::DISREGARD},  {114, &TVOK_Prop::H_Lvl},
}};

// Every write of the full write, in the order they are made.
inline constexpr std::array<TParameter, 23> FULL_WRITE = {{
    {16, &TVOK_Prop::PWM_IN_0},    {17, &TVOK_Prop::PWM_IN_1},     {18, &TVOK_Prop::PWM_IN_2},
    {19, &TVOK_Prop::PWM_IN_3},    {20, &TVOK_Prop::PWM_IN_F},     {21, &TVOK_Prop::PWM_IN_H},
    {32, &TVOK_Prop::PWM_OUT_0},   {33, &TVOK_Prop::PWM_OUT_1},    {34, &TVOK_Prop::PWM_OUT_2},
    {35, &TVOK_Prop::PWM_OUT_3},   {36, &TVOK_Prop::PWM_OUT_F},    {37, &TVOK_Prop::PWM_OUT_H},
    {49, &TVOK_Prop::B_P_E},       {50, &TVOK_Prop::B_P_I},        {83, &TVOK_Prop::Time},
    {85, &TVOK_Prop::L_Time},      {112, &TVOK_Prop::T_Off},       {128, &TVOK_Prop::MAX_IN_RPM},
    {129, &TVOK_Prop::MAX_OUT_RPM}, {130, &TVOK_Prop::MAX_DIFF},   {131, &TVOK_Prop::DISREGARD},
    {144, &TVOK_Prop::mode},       {114, &TVOK_Prop::H_Lvl},
}};

// The controller counts tachometer pulses per second; the record holds them per minute.
inline constexpr std::int32_t TACHO_SCALE = 60;
