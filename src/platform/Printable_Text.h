// Text that came from a file or a device, made safe to echo in a message: a crafted file or USB
// string must not reach the terminal with a NUL or an escape sequence in it.
#pragma once

#include <string>
#include <string_view>

// Printable ASCII stays as it is; every other byte, and the backslash that would make the result
// ambiguous, is written as \xNN.
std::string Printable_Text(std::string_view text);
