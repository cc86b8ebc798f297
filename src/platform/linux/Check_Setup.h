// The checks of yeli-cli doctor: is this machine set up for the controller's bridge? One check per
// thing that must be in order, each saying what is wrong and what to do about it.
#pragma once

#include "platform/TSetup_Check.h"
#include "platform/linux/THost_Roots.h"

#include <filesystem>
#include <string>
#include <vector>

struct TSetup_Places {
  THost_Roots Roots;
  // Where udev looks for rules, in its order of precedence.
  std::vector<std::filesystem::path> Rule_Folders = {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/lib/udev/rules.d",
                                                     "/lib/udev/rules.d"};
  std::vector<std::string> User_Groups;  // the names of the groups this process runs with
};

// The first check tells whether the machine shows a USB bus at all. Opening a bridge's tty, which
// the tty check does, restarts the controller into its application.
std::vector<TSetup_Check> Check_Setup(const TSetup_Places& places);

// The names of the groups this process runs with.
std::vector<std::string> Process_Group_Names();

// The name of the rule file this program installs.
inline constexpr const char* UDEV_RULE_NAME = "70-yeli-cp210x.rules";
