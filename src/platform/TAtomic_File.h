// The one way the program writes a file: a new temporary file beside the target, written, flushed
// to disk and renamed over the target, so that a reader, a crash or a failure sees the old file
// whole or the new one whole, never a mix.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

class TAtomic_File {
public:
  // Creates the temporary file at once, under a name no other writer uses, refusing to follow a
  // link planted in its place. A target that is a symbolic link is written through the link: the
  // file it points to is replaced, and the link stays.
  explicit TAtomic_File(const std::filesystem::path& target);
  ~TAtomic_File();  // removes the temporary file unless it was committed
  TAtomic_File(const TAtomic_File&) = delete;
  TAtomic_File& operator=(const TAtomic_File&) = delete;

  // 0 while all went well; otherwise the errno of the first failure.
  int Error() const { return Error_; }
  // Appends to the temporary file.
  bool Write(std::span<const std::uint8_t> bytes);
  // Flushes the temporary file to disk, gives it the old file's permission bits, renames it over the
  // target and flushes the folder. On failure the temporary file is removed and the old file stays.
  bool Commit();

  // The whole file in one go: 0, or the errno of the failure.
  static int Replace(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

private:
  bool Fail(int error);
  void Remove_Temporary();

  std::filesystem::path Target_;  // with symbolic links followed
  std::filesystem::path Temporary_;
  int Descriptor_ = -1;
  int Error_ = 0;
};
