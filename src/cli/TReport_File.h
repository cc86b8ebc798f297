// The file of --report: a line appended for each board and command as it ends. Each line goes to
// the file in one write to a descriptor opened for appending, then to the disk, so that it lands
// whole at the file's end even while other boards or other programs append theirs, and a crash or a
// power cut afterwards loses nothing already recorded.
#pragma once

#include <filesystem>
#include <string>

class TReport_File {
public:
  // Opens `path` for appending, creating it when it does not exist; see Error().
  explicit TReport_File(const std::filesystem::path& path);
  ~TReport_File();
  TReport_File(const TReport_File&) = delete;
  TReport_File& operator=(const TReport_File&) = delete;

  // 0 once open; otherwise why it could not be opened (an errno value).
  int Error() const { return Error_; }
  const std::filesystem::path& Path() const { return Path_; }

  // `line` and its line end; 0, or the errno value of the failure. Any thread may call it.
  int Append(const std::string& line) const;

private:
  const std::filesystem::path Path_;
  int Descriptor_ = -1;
  int Error_ = 0;
};
