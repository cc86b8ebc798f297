// Ctrl+C and SIGTERM: a device command stops at its next block or step, restarts the controller into
// its application (RTS released, a reset pulse, then close), leaves no partial file and exits 130.
// In-process on the virtual clock, where the stop comes at a chosen moment, and with the real
// program and real signals, where the board under --simulate works in real time.
#include "TCli_Fixture.h"
#include "support/TChild_Process.h"
#include "support/TTest_Application.h"

#include <chrono>
#include <cstring>
#include <fstream>
#include <random>
#include <thread>

using namespace std::chrono_literals;
using TBytes = std::vector<std::uint8_t>;

namespace {
constexpr std::uint32_t FLASH_START = 0x08000000;

// The wire trace's last lines: the controller restarted into its application.
const std::string RESTARTED = "wire: RTS off, DTR off\nwire: RTS off, DTR on\nwire: RTS off, DTR off\nwire: close\n";

// Sets `stop` when the virtual clock reaches `when`, as a signal would arrive then.
class TStop_At {
public:
  TStop_At(TVirtual_Clock& clock, TDuration when, TStop_Flag& stop) : Clock_(clock), When_(when) {
    clock.Thread_Starting();
    Thread_ = std::thread([&clock, when, &stop] {
      clock.Sleep_Until(when);
      stop = true;
      clock.Thread_Ended();
    });
  }
  // A command that ended first lets the clock run on to the stop.
  ~TStop_At() {
    Clock_.Sleep_Until(When_);
    Thread_.join();
  }

private:
  TVirtual_Clock& Clock_;
  TDuration When_;
  std::thread Thread_;
};

struct TCli_Signal : TCli_Fixture {
  std::string Write_Image(const TBytes& image) {
    const std::string path = Path("image.hex");
    std::ofstream(path) << Data_Records(FLASH_START, image, 16) + END;
    return path;
  }
};
}  // namespace

TEST_F(TCli_Signal, Each_Device_Command_Stops_With_The_Controller_Running_And_Exits_130) {
  struct TCase {
    const char* Name;
    std::vector<std::string> Arguments;
    TDuration Stop_At;  // from the start
    std::string Wire_End;
  };
  // Work mode has restarted the controller into its application already: only the port is closed.
  const TCase cases[] = {
      {"read-flash between two blocks", {"read-flash", "out.bin"}, 5s, RESTARTED},
      {"identify between its steps", {"identify"}, 40ms, RESTARTED},
      {"read in work mode", {"read"}, 500ms, "wire: close\n"},
      {"save before the file is written", {"save", "out.cnf"}, 500ms, "wire: close\n"},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    TCli_Runner cli;
    TSim_Board& board = cli.Attach();
    std::vector<std::string> arguments = {"--verbose"};
    for (const std::string& argument : test.Arguments)
      arguments.push_back(argument.ends_with(".bin") || argument.ends_with(".cnf") ? cli.Path(argument) : argument);
    int status = 0;
    {
      const TStop_At stop(cli.Clock, cli.Clock.Now() + test.Stop_At, cli.Stop);
      status = cli.Run_Cli(arguments);
    }
    EXPECT_EQ(status, 130) << cli.Errors().substr(cli.Errors().size() - std::min<std::size_t>(300, cli.Errors().size()));
    EXPECT_TRUE(cli.Errors().ends_with(test.Wire_End + "yeli-cli: " + test.Arguments[0] + ": stopped by a signal\n"))
        << cli.Errors().substr(cli.Errors().size() - std::min<std::size_t>(300, cli.Errors().size()));
    EXPECT_EQ(board.Running(), SIM_RUN_APPLICATION);
    EXPECT_EQ(cli.Output(), "");
    for (const char* file : {"out.bin", "out.bin.part", "out.cnf"})
      EXPECT_FALSE(std::filesystem::exists(cli.Path(file))) << file;
  }
}

// The version's block is written last: a flash stopped half-way identifies as not programmed, and
// the next flash writes the whole image.
TEST_F(TCli_Signal, A_Stopped_Flash_Never_Identifies_As_The_New_Firmware) {
  TSim_Board& board = Attach();
  const TBytes image = Application_Of_Size(2, 7, 64 * 1024);
  const std::string file = Write_Image(image);
  {
    const TStop_At stop(Clock, Clock.Now() + 6s, Stop);
    EXPECT_EQ(Run_Cli({"flash", file}), 130);
  }
  EXPECT_TRUE(Errors().ends_with("yeli-cli: flash: stopped by a signal; the flash holds no whole image now: run "
                                 "flash again\n"))
      << Errors().substr(Errors().size() - 200);
  EXPECT_EQ(board.Lines().Rts, false);
  EXPECT_EQ(board.Lines().Dtr, false);

  Stop = false;
  ASSERT_EQ(Run_Cli({"identify", "--json"}), 0);
  EXPECT_NE(Output().find("\"programmed\": false"), std::string::npos) << Output();
  EXPECT_EQ(Output().find("2.7"), std::string::npos);

  ASSERT_EQ(Run_Cli({"flash", file}), 0) << Errors();
  EXPECT_EQ(board.Flash(FLASH_START, static_cast<std::uint32_t>(image.size())), image);
  EXPECT_EQ(board.Live_Parameter(255), 0x0207);
}

namespace {
// The real yeli-cli in `folder`, which gives no chance of a virtual clock: its board works in real time.
TChild_Setup Program(const TTest_Folder& folder, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), YELI_CLI);
  TChild_Setup setup;
  setup.Arguments = std::move(arguments);
  setup.Folder = folder.Path();
  return setup;
}

constexpr auto LIMIT = 30s;
}  // namespace

TEST(Cli_Signal_Program, Sigint_Or_Sigterm_During_Read_Flash_Restarts_The_Controller_And_Leaves_No_File) {
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(strsignal(signal));
    TTest_Folder folder;
    TChild_Process program(Program(folder, {"--simulate=usbxpress", "--verbose", "read-flash", "out.bin"}));
    ASSERT_TRUE(program.Wait_For("wire: > 11 EE", 3, LIMIT)) << program.Errors();  // the version, then two blocks
    program.Signal(signal);
    EXPECT_EQ(program.Wait(), 130);
    const std::string errors = program.Errors();
    EXPECT_TRUE(errors.ends_with(RESTARTED + "yeli-cli: read-flash: stopped by a signal\n"))
        << errors.substr(errors.size() - std::min<std::size_t>(300, errors.size()));
    EXPECT_FALSE(std::filesystem::exists(folder / "out.bin"));
    EXPECT_FALSE(std::filesystem::exists(folder / "out.bin.part"));
  }
}

// SIGKILL at a random moment gives the program no chance to clean up: the board's kept flash still
// never identifies as version 2.7 until a flash has written all of it.
TEST(Cli_Signal_Program, A_Flash_Killed_At_Any_Moment_Never_Identifies_As_The_New_Version) {
  TTest_Folder folder;
  {
    std::ofstream(folder / "img.hex") << Data_Records(FLASH_START, Application_Of_Size(2, 7, 20 * 1024), 16) + END;
  }
  const std::vector<std::string> flash = {"--simulate=usbxpress", "--sim-state", "board.state", "flash", "img.hex"};
  // The moment is a block, written or read back, of the 78 of the body, which come before the
  // vectors and the version: as the wire trace shows its Write Memory or Read Memory command.
  std::mt19937 random(std::random_device{}());
  const std::size_t block = std::uniform_int_distribution<std::size_t>(1, 2 * 78)(random);
  const bool writing = block <= 78;
  const std::string command = writing ? "wire: > 31 CE" : "wire: > 11 EE";
  const std::size_t count = writing ? block : block - 78;
  SCOPED_TRACE("killed at the " + std::to_string(count) + "th " + command);
  {
    std::vector<std::string> traced = flash;
    traced.insert(traced.begin(), "--verbose");
    TChild_Process program(Program(folder, traced));
    ASSERT_TRUE(program.Wait_For(command, count, LIMIT)) << program.Errors();
    program.Signal(SIGKILL);
    EXPECT_EQ(program.Wait(), 128 + SIGKILL) << program.Errors();
  }
  TChild_Process identify(Program(folder, {"--simulate=usbxpress", "--sim-state", "board.state", "identify"}));
  EXPECT_EQ(identify.Wait(), 0) << identify.Errors();
  EXPECT_NE(identify.Errors().find("holds no firmware version"), std::string::npos) << identify.Errors();
  TChild_Process again(Program(folder, flash));
  EXPECT_EQ(again.Wait(), 0) << again.Errors();
  TChild_Process read(Program(folder, {"--simulate=usbxpress", "--sim-state", "board.state", "read-flash", "back.bin",
                                       "--length", std::to_string(20 * 1024)}));
  EXPECT_EQ(read.Wait(), 0) << read.Errors();
  std::ifstream back(folder / "back.bin", std::ios::binary);
  EXPECT_EQ(TBytes(std::istreambuf_iterator<char>(back), {}), Application_Of_Size(2, 7, 20 * 1024));
}
