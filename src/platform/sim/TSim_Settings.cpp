#include "platform/sim/TSim_Settings.h"

// Duties in tenths of a percent (in, out): S0 20 %, S1 40 %, S2 60 %, S3 80 %, forced 100 %,
// humidity 90 %; bypass fitted, not inverted; filter alarm after 2000 h; switch off at 5 °C;
// humidity level 60 %; fans limited to 3600 rpm, 300 rpm apart.
TSim_Settings Factory_Settings() {
  return {{16, 200},  {17, 400},   {18, 600},   {19, 800},   {20, 1000}, {21, 900}, {32, 200}, {33, 400},
          {34, 600},  {35, 800},   {36, 1000},  {37, 900},   {49, 1},    {50, 0},   {83, 0},   {85, 12000},
          {112, 5},   {114, 60},   {128, 3600}, {129, 3600}, {130, 300}, {131, 0},  {144, 0}};
}
