#include "platform/TAtomic_File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <random>
#include <string>
#include <utility>

namespace {
constexpr int LINKS_FOLLOWED = 40;         // as the kernel's own limit before ELOOP
constexpr int NAME_TRIES = 100;            // fresh names tried while another writer holds one
constexpr std::size_t NAME_KEPT = 200;     // of the target's name, so the temporary fits NAME_MAX
constexpr mode_t NEW_FILE_MODE = 0666;     // as fopen creates a file; the umask applies
constexpr mode_t PRIVATE_MODE = 0600;      // until the old file's bits are given

// The file a path names once its chain of symbolic links is followed; the folders on the way stay
// as they are written.
std::filesystem::path Follow_Links(std::filesystem::path path, int& error) {
  for (int links = 0; links < LINKS_FOLLOWED; ++links) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::string text(PATH_MAX, '\0');
    const ssize_t length = readlink(path.c_str(), text.data(), text.size());
    if (length < 0) {
      error = errno;
      return path;
    }
    text.resize(static_cast<std::size_t>(length));
    const std::filesystem::path link = text;
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  error = ELOOP;
  return path;
}

std::string Random_Suffix() {
  static constexpr char DIGITS[] = "0123456789abcdef";
  std::random_device source;
  std::string suffix;
  for (int i = 0; i < 3; ++i)
    for (unsigned value = source(), digit = 0; digit < 4; ++digit, value >>= 4) suffix += DIGITS[value & 0xF];
  return suffix;
}

std::filesystem::path Folder_Of(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// Renames are made durable by the folder's own flush. Some file systems cannot flush a folder.
int Sync_Folder(const std::filesystem::path& folder) {
  const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return errno;
  const int error = fsync(descriptor) == 0 || errno == EINVAL ? 0 : errno;
  close(descriptor);
  return error;
}
}  // namespace

TAtomic_File::TAtomic_File(const std::filesystem::path& target) : Target_(Follow_Links(target, Error_)) {
  if (Error_) return;
  struct stat old {};
  const bool replaces = stat(Target_.c_str(), &old) == 0;
  const std::string name = Target_.filename().string().substr(0, NAME_KEPT);
  for (int tries = 0; tries < NAME_TRIES; ++tries) {
    Temporary_ = Folder_Of(Target_) / ("." + name + "." + Random_Suffix() + ".tmp");
    Descriptor_ = open(Temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                       replaces ? PRIVATE_MODE : NEW_FILE_MODE);
    if (Descriptor_ >= 0) break;
    if (errno != EEXIST) {
      Fail(errno);
      return;
    }
  }
  if (Descriptor_ < 0) {
    Fail(EEXIST);
    return;
  }
  if (replaces && fchmod(Descriptor_, old.st_mode & 07777) != 0) Fail(errno);
}

TAtomic_File::~TAtomic_File() { Remove_Temporary(); }

bool TAtomic_File::Fail(int error) {
  if (!Error_) Error_ = error;
  Remove_Temporary();
  return false;
}

void TAtomic_File::Remove_Temporary() {
  if (Descriptor_ < 0) return;
  close(Descriptor_);
  Descriptor_ = -1;
  unlink(Temporary_.c_str());
}

bool TAtomic_File::Write(std::span<const std::uint8_t> bytes) {
  if (Descriptor_ < 0) return false;
  while (!bytes.empty()) {
    const ssize_t written = write(Descriptor_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return Fail(errno);
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

bool TAtomic_File::Commit() {
  if (Descriptor_ < 0) return false;
  if (fsync(Descriptor_) != 0) return Fail(errno);
  const int descriptor = std::exchange(Descriptor_, -1);
  if (close(descriptor) != 0 || rename(Temporary_.c_str(), Target_.c_str()) != 0) {
    const int error = errno;
    unlink(Temporary_.c_str());
    return Fail(error);
  }
  if (const int error = Sync_Folder(Folder_Of(Target_))) Error_ = error;
  return Error_ == 0;
}

int TAtomic_File::Replace(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
  TAtomic_File file(target);
  if (file.Write(bytes)) file.Commit();
  return file.Error();
}
