#include "ui/Data_Folders.h"

std::vector<std::filesystem::path> Data_Folders(const std::filesystem::path& program_folder, const char* name) {
  const std::filesystem::path installed = program_folder.parent_path() / "share" / "yeli-service" / name;
  return {program_folder / name, installed};
}

std::filesystem::path Data_Folder(const std::filesystem::path& program_folder, const char* name) {
  const std::vector<std::filesystem::path> folders = Data_Folders(program_folder, name);
  for (const std::filesystem::path& folder : folders) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) return folder;
  }
  return folders.back();
}
