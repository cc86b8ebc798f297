// A pseudo-terminal standing in for a board's serial port: another program opens its slave side as
// a serial device, and the board is served on its master side. Both sides are raw, so no byte is
// echoed or translated.
#pragma once

#include <string>

class TSim_Pty {
public:
  // Opens the pty; Error() says why when that failed.
  TSim_Pty();
  ~TSim_Pty();
  TSim_Pty(const TSim_Pty&) = delete;
  TSim_Pty& operator=(const TSim_Pty&) = delete;

  const std::string& Error() const { return Error_; }
  const std::string& Name() const { return Name_; }  // /dev/pts/N
  int Master() const { return Master_; }              // non-blocking

private:
  int Master_ = -1;
  int Slave_ = -1;  // held open so the master never hangs up when a client closes its side
  std::string Name_;
  std::string Error_;
};
