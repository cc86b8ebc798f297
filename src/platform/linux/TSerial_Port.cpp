#include "platform/linux/TSerial_Port.h"

#include "platform/Failure_Line.h"
#include "platform/linux/Termios_Format.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {
int Update_Settings(int descriptor, auto&& change) {
  termios settings{};
  if (tcgetattr(descriptor, &settings) != 0) return errno;
  change(settings);
  return tcsetattr(descriptor, TCSANOW, &settings) == 0 ? 0 : errno;
}

int Remaining_Ms(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}
}  // namespace

std::unique_ptr<TSerial_Port> TSerial_Port::Open(const std::filesystem::path& node, int& error) {
  const int descriptor = open(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) {
    error = errno;
    return nullptr;
  }
  std::unique_ptr<TSerial_Port> port(new TSerial_Port(descriptor));
  ioctl(descriptor, TIOCEXCL);  // only a courtesy to other programs; the line works without it
  error = Update_Settings(descriptor, [](termios& settings) {
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~(HUPCL | CRTSCTS | LINE_CONTROL_MASK);
    settings.c_cflag |= CS8;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    cfsetspeed(&settings, B38400);
  });
  if (error != 0) return nullptr;
  return port;
}

TSerial_Port::~TSerial_Port() { close(Descriptor_); }

int TSerial_Port::Set_Baud_Rate(std::uint32_t baud) {
  const auto speed = Baud_Speed(baud);
  if (!speed) return EINVAL;
  return Update_Settings(Descriptor_, [speed](termios& settings) { cfsetspeed(&settings, *speed); });
}

int TSerial_Port::Set_Line_Control(std::uint16_t line_control) {
  const auto flags = Line_Control_Flags(line_control);
  if (!flags) return EINVAL;
  return Update_Settings(Descriptor_, [flags](termios& settings) {
    settings.c_cflag = (settings.c_cflag & ~LINE_CONTROL_MASK) | *flags;
  });
}

std::optional<TTransfer_Outcome> TSerial_Port::Wait(short events, int timeout_ms, int& error) {
  pollfd request{Descriptor_, events, 0};
  int ready = 0;
  do ready = poll(&request, 1, timeout_ms);
  while (ready < 0 && errno == EINTR);
  if (ready < 0) {
    error = errno;
    return TRANSFER_FAILED;
  }
  if (ready == 0) return TRANSFER_TIMED_OUT;
  if ((request.revents & events) != 0) return std::nullopt;
  error = EIO;  // hung up: the bridge left the bus
  return TRANSFER_GONE;
}

TTransfer TSerial_Port::Read(std::uint8_t* dest, std::size_t count, int timeout_ms) {
  TTransfer transfer;
  if (const auto outcome = Wait(POLLIN, timeout_ms, transfer.Error)) {
    transfer.Outcome = *outcome;
    return transfer;
  }
  const ssize_t got = read(Descriptor_, dest, count);
  if (got > 0) {
    transfer.Count = static_cast<std::size_t>(got);
  } else if (got == 0 || Device_Gone(errno)) {  // end of file: the tty was hung up
    transfer = {TRANSFER_GONE, 0, got == 0 ? EIO : errno};
  } else if (errno == EAGAIN) {
    transfer.Outcome = TRANSFER_TIMED_OUT;
  } else {
    transfer = {TRANSFER_FAILED, 0, errno};
  }
  return transfer;
}

TTransfer TSerial_Port::Write(const std::uint8_t* src, std::size_t count, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  TTransfer transfer;
  while (transfer.Count < count) {
    if (const auto outcome = Wait(POLLOUT, Remaining_Ms(deadline), transfer.Error)) {
      transfer.Outcome = *outcome;
      return transfer;
    }
    const ssize_t put = write(Descriptor_, src + transfer.Count, count - transfer.Count);
    if (put >= 0) {
      transfer.Count += static_cast<std::size_t>(put);
    } else if (errno != EAGAIN && errno != EINTR) {
      transfer.Outcome = Device_Gone(errno) ? TRANSFER_GONE : TRANSFER_FAILED;
      transfer.Error = errno;
      return transfer;
    }
  }
  return transfer;
}

int TSerial_Port::Flush(bool transmit, bool receive) {
  if (!transmit && !receive) return 0;
  const int which = transmit && receive ? TCIOFLUSH : transmit ? TCOFLUSH : TCIFLUSH;
  return tcflush(Descriptor_, which) == 0 ? 0 : errno;
}

int TSerial_Port::Get_Lines(int& lines) {
  int modem = 0;
  if (ioctl(Descriptor_, TIOCMGET, &modem) != 0) return errno;
  lines = ((modem & TIOCM_DTR) ? TTY_DTR : 0) | ((modem & TIOCM_RTS) ? TTY_RTS : 0);
  return 0;
}

int TSerial_Port::Set_Lines(int asserted, int released) {
  const auto modem = [](int lines) {
    return ((lines & TTY_DTR) ? TIOCM_DTR : 0) | ((lines & TTY_RTS) ? TIOCM_RTS : 0);
  };
  if (int bits = modem(asserted); bits != 0 && ioctl(Descriptor_, TIOCMBIS, &bits) != 0) return errno;
  if (int bits = modem(released); bits != 0 && ioctl(Descriptor_, TIOCMBIC, &bits) != 0) return errno;
  return 0;
}
