// Where the program's data folders (Help, Restore) lie: beside the executable, as in the build
// folder, and then in the share folder of an installation (<prefix>/share/yeli-service beside
// <prefix>/bin), so an installed program finds them wherever its prefix is.
#pragma once

#include <filesystem>
#include <vector>

// The places to look for the folder `name`, in order.
std::vector<std::filesystem::path> Data_Folders(const std::filesystem::path& program_folder, const char* name);

// The first of them that exists; else the installed place, which messages then name.
std::filesystem::path Data_Folder(const std::filesystem::path& program_folder, const char* name);
