#include "cli/TReport_File.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {
constexpr mode_t NEW_FILE_MODE = 0666;  // as fopen creates a file; the umask applies
}  // namespace

TReport_File::TReport_File(const std::filesystem::path& path) : Path_(path) {
  Descriptor_ = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, NEW_FILE_MODE);
  if (Descriptor_ < 0) Error_ = errno;
}

TReport_File::~TReport_File() {
  if (Descriptor_ >= 0) close(Descriptor_);
}

// O_APPEND moves to the end and writes in one step (write(2)), so lines of concurrent writers never
// mix. A descriptor that cannot be flushed to a disk, a terminal or a pipe, has nothing to flush.
int TReport_File::Append(const std::string& line) const {
  const std::string whole = line + '\n';
  const ssize_t written = write(Descriptor_, whole.data(), whole.size());
  if (written < 0) return errno;
  if (static_cast<std::size_t>(written) != whole.size()) return ENOSPC;
  if (fdatasync(Descriptor_) != 0 && errno != EINVAL && errno != EROFS) return errno;
  return 0;
}
