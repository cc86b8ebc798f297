// The default firmware shipped in the Restore folder: 7-Zip's archiver extracts its image from the
// password-protected archive into a private temporary folder, which lives until the update that
// writes the image is over (or until the program ends).
#pragma once

#include "platform/TLog.h"

#include <QTemporaryDir>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class TDefault_Firmware {
public:
  // Extracts the image from the archive in `restore_folder`, replacing an earlier one; `keep_alive`
  // runs while the archiver works. Nothing, or why there is no image.
  std::optional<std::string> Extract(const std::filesystem::path& restore_folder, const TPump& keep_alive);
  // The extracted image; empty when there is none.
  std::string Default_Image() const;
  // Deletes the folder and the image in it.
  void Release();

private:
  std::unique_ptr<QTemporaryDir> Temp_Dir_;
};
