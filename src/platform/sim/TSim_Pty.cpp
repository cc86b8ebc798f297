#include "platform/sim/TSim_Pty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

TSim_Pty::TSim_Pty() {
  Master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (Master_ < 0 || grantpt(Master_) != 0 || unlockpt(Master_) != 0) {
    Error_ = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
    return;
  }
  Name_ = ptsname(Master_);
  Slave_ = open(Name_.c_str(), O_RDWR | O_NOCTTY);
  termios settings{};
  if (Slave_ < 0 || tcgetattr(Slave_, &settings) != 0) {
    Error_ = "cannot open " + Name_ + ": " + std::strerror(errno);
    return;
  }
  cfmakeraw(&settings);
  if (tcsetattr(Slave_, TCSANOW, &settings) != 0) Error_ = "cannot make " + Name_ + " raw: " + std::strerror(errno);
}

TSim_Pty::~TSim_Pty() {
  if (Slave_ >= 0) close(Slave_);
  if (Master_ >= 0) close(Master_);
}
