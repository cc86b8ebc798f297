// doctor on fake sysfs, /dev and /proc trees: a line per check, "ok" or what is wrong and what to
// do, and exit status 0 only when every check passes.
#include "TCli_Fixture.h"
#include "platform/linux/Check_Setup.h"
#include "support/TFake_Sysfs.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace {
const TUsb_Serial BRIDGE{"ttyUSB0", "1-2", "cp210x", 0x10C4, 0xEA61, CP2102_PRODUCT, 7};

// The bridge's tty: a pseudo-terminal, which opens as a tty does.
class TPty {
public:
  TPty() : Master_(posix_openpt(O_RDWR | O_NOCTTY)) {
    if (Master_ < 0 || grantpt(Master_) != 0 || unlockpt(Master_) != 0) throw std::runtime_error("no pty");
  }
  ~TPty() { close(Master_); }
  std::string Slave() const { return ptsname(Master_); }

private:
  int Master_;
};

struct TDoctor_Machine : TCli_Runner {
  TDoctor_Machine() {
    std::filesystem::create_directories(Rules);
    Check_Setup = [this] { return ::Check_Setup(Places); };
  }

  // A machine set up as the README says, with the controller plugged in.
  void Set_Up_Well() {
    Tree.Add_Usb_Serial(BRIDGE);
    Tree.Link_Node(BRIDGE.Tty, Terminal.Slave());
    std::ofstream(Rules / UDEV_RULE_NAME)
        << "SUBSYSTEM==\"usb\", GROUP=\"plugdev\"\nSUBSYSTEM==\"tty\", GROUP=\"dialout\"\n";
  }

  std::vector<std::string> Lines() const {
    std::istringstream out(Output());
    std::vector<std::string> lines;
    for (std::string line; std::getline(out, line);) lines.push_back(line);
    return lines;
  }

  std::string Line_About(const std::string& subject) const {
    for (const std::string& line : Lines())
      if (line.starts_with(subject)) return line;
    return "(no line about " + subject + ")";
  }

  TFake_Sysfs Tree;
  TPty Terminal;
  std::filesystem::path Rules = Tree.Folder() / "rules.d";
  TSetup_Places Places{{Tree.Sys(), Tree.Dev(), Tree.Proc()}, {Rules}, {"dialout", "plugdev", "users"}};
};

class TCli_Doctor : public testing::Test, public TDoctor_Machine {};
}  // namespace

TEST_F(TCli_Doctor, Passes_Every_Check_On_A_Machine_Set_Up_As_The_Readme_Says) {
  Set_Up_Well();
  EXPECT_EQ(Run_Cli({"doctor"}), 0) << Output();
  const std::string tty = (Tree.Dev() / "ttyUSB0").string();
  const std::string usb = (Tree.Dev() / "bus" / "usb" / "001" / "007").string();
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "usb bus " + (Tree.Sys() / "bus" / "usb").string() + ": ok",
                         "udev rule " + (Rules / UDEV_RULE_NAME).string() + ": ok",
                         "groups plugdev, dialout: ok",
                         "bridge at USB 1-2 (10c4:ea61, part unknown, \"CP2102 USB to UART Bridge Controller\", driver "
                         "cp210x, ttyUSB0): ok",
                         "tty " + tty + " (USB 1-2): ok",
                         "usb device " + usb + " (USB 1-2): ok",
                     }));
  EXPECT_EQ(Errors(), "");
}

TEST_F(TCli_Doctor, Names_What_Is_Wrong_And_What_To_Do) {
  const struct {
    const char* Name;
    std::function<void(TDoctor_Machine&)> Break;
    std::string Subject;
    std::string Says;
  } cases[] = {
      {"no rule", [](TDoctor_Machine& d) { std::filesystem::remove(d.Rules / UDEV_RULE_NAME); }, "udev rule",
       "udev rule: 70-yeli-cp210x.rules is not installed: sudo cmake --install build --component udev"},
      {"no group", [](TDoctor_Machine& d) { d.Places.User_Groups = {"dialout"}; }, "groups",
       "groups plugdev, dialout: this user is not in plugdev: sudo usermod -aG plugdev \"$USER\", then log out and in"},
      {"ModemManager holds the tty",
       [](TDoctor_Machine& d) { d.Tree.Add_Process(812, "ModemManager", {d.Tree.Dev() / "ttyUSB0"}); }, "tty",
       "in use by ModemManager (pid 812): ModemManager probes new serial ports, which restarts the controller"},
      {"the tty's node is missing", [](TDoctor_Machine& d) { d.Tree.Remove_Node("ttyUSB0"); }, "tty",
       "there is no such device node"},
      {"no usbfs node", [](TDoctor_Machine& d) { std::filesystem::remove(d.Tree.Usb_Node(BRIDGE)); }, "usb device",
       "there is no such device node, so the driver mode cannot be switched"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TDoctor_Machine doctor;
    doctor.Set_Up_Well();
    c.Break(doctor);
    EXPECT_EQ(doctor.Run_Cli({"doctor"}), 1);
    EXPECT_NE(doctor.Line_About(c.Subject).find(c.Says), std::string::npos) << doctor.Output();
    EXPECT_EQ(doctor.Errors(), "yeli-cli: doctor: 1 of 6 checks found a problem\n");
  }
}

// brltty takes the bridge through usbfs, so no driver makes a tty; a CH340 is none of ours.
TEST_F(TCli_Doctor, A_Bridge_Without_Its_Tty_Names_Who_Holds_It) {
  TUsb_Serial claimed = BRIDGE;
  claimed.Tty = "";
  claimed.Driver = "usbfs";
  claimed.Pid = 0xEA60;
  Tree.Add_Usb_Serial(claimed);
  Tree.Add_Usb_Serial({"ttyUSB1", "1-3", "ch341", 0x1A86, 0x7523, "USB Serial", 8, ""});
  Tree.Add_Process(640, "brltty", {Tree.Usb_Node(claimed)});
  std::ofstream(Rules / UDEV_RULE_NAME) << "GROUP=\"plugdev\"\n";
  EXPECT_EQ(Run_Cli({"doctor"}), 1);
  EXPECT_EQ(Lines().size(), 4u) << Output();  // usb, rule, groups, the one bridge
  EXPECT_EQ(Line_About("bridge"),
            "bridge at USB 1-2 (10c4:ea60, part unknown, \"CP2102 USB to UART Bridge Controller\", driver usbfs, no "
            "tty): its USB device is held by brltty (pid 640), so no tty appears: brltty before version 6.5 claims "
            "these bridges for braille displays: sudo apt-get remove brltty, then plug the controller in again");
}

TEST_F(TCli_Doctor, Without_A_Bridge_Says_What_To_Plug_In) {
  Set_Up_Well();
  Tree.Remove(BRIDGE);
  Tree.Add_Usb_Serial({"ttyUSB1", "1-3", "ch341", 0x1A86, 0x7523, "USB Serial", 8, ""});
  EXPECT_EQ(Run_Cli({"doctor"}), 1);
  EXPECT_EQ(Line_About("bridges"),
            "bridges: none found: plug the controller in; 'lsusb -d 10c4:' should list its bridge");
}

TEST_F(TCli_Doctor, Checks_This_Machine_Only) {
  EXPECT_EQ(Run_Cli({"--simulate", "doctor"}), 2);
  EXPECT_EQ(Errors(), "yeli-cli: doctor: checks this machine's set-up for real bridges, so it takes no --simulate\n");
}
