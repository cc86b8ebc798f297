// What is wrong with a program's command line, in one line for the user.
#pragma once

#include <string>

struct TOption_Error {
  std::string Message;
};
