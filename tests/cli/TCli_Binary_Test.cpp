// The real yeli-cli program, run as a script runs it: exit statuses, standard output and standard
// error. Only quick runs: the board under --simulate works in real time.
#include "support/TFake_Sysfs.h"
#include "support/TTest_Folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <sstream>

extern char** environ;

namespace {
struct TFinished {
  int Status = -1;
  std::string Out;
  std::string Err;
};

std::string Contents(const std::filesystem::path& path) {
  std::ostringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

// `environment`: variables set for the program besides this process's.
TFinished Run_Program(const TTest_Folder& folder, std::vector<std::string> arguments,
                      std::vector<std::string> environment = {}) {
  for (char** variable = environ; *variable; ++variable) environment.emplace_back(*variable);
  std::vector<char*> envp;
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  arguments.insert(arguments.begin(), YELI_CLI);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const std::string out = (folder / "out").string();
  const std::string err = (folder / "err").string();
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&files, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  TFinished finished;
  int status = 0;
  if (posix_spawn(&pid, YELI_CLI, &files, nullptr, argv.data(), envp.data()) == 0 && waitpid(pid, &status, 0) == pid &&
      WIFEXITED(status))
    finished.Status = WEXITSTATUS(status);
  posix_spawn_file_actions_destroy(&files);
  finished.Out = Contents(out);
  finished.Err = Contents(err);
  return finished;
}
}  // namespace

TEST(Cli_Binary, Identifies_The_Virtual_Board_As_JSON) {
  TTest_Folder folder;
  const TFinished run = Run_Program(folder, {"--simulate=usbxpress", "identify", "--json"});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("\"family\": \"F1 Medium-density\""), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("\"version\": \"2.3\""), std::string::npos);
  EXPECT_EQ(run.Err, "");
}

TEST(Cli_Binary, Exit_Statuses_Of_Bad_Usage_And_Bad_Files) {
  TTest_Folder folder;
  std::ofstream(folder / "short.cnf") << "too short";
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"--help"}, 0},
      {{"--simulate", "list"}, 0},
      {{"frobnicate"}, 2},
      {{"cnf", "show", (folder / "short.cnf").string()}, 2},
      {{"--simulate", "identify"}, 1},  // the board's bridge is in virtual-COM-port mode
  };
  for (const auto& [arguments, status] : cases) {
    const TFinished run = Run_Program(folder, arguments);
    EXPECT_EQ(run.Status, status) << arguments.back() << ": " << run.Err;
    EXPECT_EQ(run.Err.empty(), status == 0) << run.Err;
    if (status != 0) {
      EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
    }
  }
}

// On hardware the chip names itself the same in both modes; the product id tells the mode. A
// bridge of another maker in the same tree is none of the program's.
TEST(Cli_Binary, Lists_A_Factory_Chip_Of_A_Sysfs_Tree_In_The_Mode_Of_Its_Product_Id) {
  const std::pair<std::uint16_t, const char*> cases[] = {{0xEA60, "vcp"}, {0xEA61, "usbxpress"}};
  for (const auto& [pid, mode] : cases) {
    SCOPED_TRACE(mode);
    TTest_Folder folder;
    TFake_Sysfs tree;
    tree.Add_Usb_Serial({"ttyUSB0", "1-2", "cp210x", 0x10C4, pid, CP2102_PRODUCT, 7});
    tree.Add_Usb_Serial({"ttyUSB1", "1-3", "ch341", 0x1A86, 0x7523, "USB Serial", 8, ""});
    const std::vector<std::string> roots = {"YELI_SYSFS_ROOT=" + tree.Sys().string(),
                                            "YELI_DEV_ROOT=" + tree.Dev().string()};
    const TFinished run = Run_Program(folder, {"list", "--json"}, roots);
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '{'), 2) << run.Out;  // the document and one bridge
    EXPECT_NE(run.Out.find(std::string("\"mode\": \"") + mode + "\""), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("\"product\": \"CP2102 USB to UART Bridge Controller\""), std::string::npos);
    EXPECT_NE(run.Out.find("\"serial_device\": \"" + (tree.Dev() / "ttyUSB0").string() + "\""), std::string::npos);
  }
}

// A production line names its boards by udev's stable links, /dev/serial/by-path/... and the like.
TEST(Cli_Binary, Device_Takes_A_Link_To_The_Serial_Device) {
  TTest_Folder folder;
  TFake_Sysfs tree;
  tree.Add_Usb_Serial({"ttyUSB0", "1-2", "cp210x", 0x10C4, 0xEA61, CP2102_PRODUCT, 7, "0001"});
  tree.Add_Usb_Serial({"ttyUSB1", "1-3", "cp210x", 0x10C4, 0xEA61, CP2102_PRODUCT, 8, "0002"});
  std::ofstream(tree.Dev() / "ttyUSB1");  // the device node the kernel makes
  const std::filesystem::path link = folder / "usb-0:3:1.0-port0";
  std::filesystem::create_symlink(tree.Dev() / "ttyUSB1", link);
  const TFinished run = Run_Program(folder, {"--device", link.string(), "--device", "1-2", "identify"},
                                    {"YELI_SYSFS_ROOT=" + tree.Sys().string(), "YELI_DEV_ROOT=" + tree.Dev().string()});
  EXPECT_EQ(run.Err.find("no such bridge"), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find("identify: 1-3: "), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find("identify: 1-2: "), std::string::npos) << run.Err;
}

TEST(Cli_Binary, Doctor_On_A_Machine_Without_USB_Says_So_First_And_Fails) {
  TTest_Folder folder;
  TFake_Sysfs tree;  // a sysfs without a USB bus
  const TFinished run = Run_Program(folder, {"doctor"}, {"YELI_SYSFS_ROOT=" + tree.Sys().string()});
  EXPECT_EQ(run.Status, 1);
  EXPECT_TRUE(run.Out.starts_with("usb bus " + (tree.Sys() / "bus" / "usb").string() +
                                  ": this machine shows no USB bus or no USB device"))
      << run.Out;
  EXPECT_TRUE(run.Err.starts_with("yeli-cli: doctor: ")) << run.Err;
}
