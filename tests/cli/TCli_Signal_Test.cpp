// Ctrl+C and SIGTERM: a device command stops at its next block or step, restarts the controller into
// its application (RTS released, a reset pulse, then close), leaves no partial file and exits 130.
// In-process on the virtual clock, where the stop comes at a chosen moment, and with the real
// program and real signals, where the board under --simulate works in real time.
#include "TCli_Fixture.h"
#include "support/TTest_Application.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;
using TBytes = std::vector<std::uint8_t>;

extern char** environ;

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
std::string Contents(const std::filesystem::path& path) {
  std::ostringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

// The real yeli-cli in `folder`, its standard error in "err".
class TProgram {
public:
  TProgram(const TTest_Folder& folder, std::vector<std::string> arguments) : Err_(folder / "err") {
    arguments.insert(arguments.begin(), YELI_CLI);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addchdir_np(&files, folder.Path().c_str());
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, Err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&Pid_, YELI_CLI, &files, nullptr, argv.data(), environ) != 0) Pid_ = -1;
    posix_spawn_file_actions_destroy(&files);
  }
  ~TProgram() {
    if (Pid_ <= 0) return;
    kill(Pid_, SIGKILL);
    Wait();
  }

  // Real time: the board works in real time under --simulate.
  bool Wait_For(const std::string& what, std::size_t times, std::chrono::seconds limit = 30s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (Count(Contents(Err_), what) < times) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(20ms);
    }
    return true;
  }
  void Signal(int signal) { kill(Pid_, signal); }
  // The exit status, or 128 + the signal that ended it.
  int Wait() {
    int status = 0;
    waitpid(Pid_, &status, 0);
    Pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  std::string Errors() const { return Contents(Err_); }

private:
  std::filesystem::path Err_;
  pid_t Pid_ = -1;
};
}  // namespace

TEST(Cli_Signal_Program, Sigint_Or_Sigterm_During_Read_Flash_Restarts_The_Controller_And_Leaves_No_File) {
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(strsignal(signal));
    TTest_Folder folder;
    TProgram program(folder, {"--simulate=usbxpress", "--verbose", "read-flash", "out.bin"});
    ASSERT_TRUE(program.Wait_For("wire: > 11 EE", 3)) << program.Errors();  // the version, then two blocks
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
  std::mt19937 random(std::random_device{}());
  // The session's connect and erase are over by about 0.2 s; the 78 blocks of the body are written
  // by about 2.8 s and read back by about 4.9 s, before the vectors and the version.
  const auto moment = std::chrono::milliseconds(std::uniform_int_distribution<int>(600, 4500)(random));
  SCOPED_TRACE("killed " + std::to_string(moment.count()) + " ms after the start");
  {
    TProgram program(folder, flash);
    std::this_thread::sleep_for(moment);
    program.Signal(SIGKILL);
    EXPECT_EQ(program.Wait(), 128 + SIGKILL) << program.Errors();
  }
  TProgram identify(folder, {"--simulate=usbxpress", "--sim-state", "board.state", "identify"});
  EXPECT_EQ(identify.Wait(), 0) << identify.Errors();
  EXPECT_NE(identify.Errors().find("holds no firmware version"), std::string::npos) << identify.Errors();
  TProgram again(folder, flash);
  EXPECT_EQ(again.Wait(), 0) << again.Errors();
  TProgram read(folder, {"--simulate=usbxpress", "--sim-state", "board.state", "read-flash", "back.bin", "--length",
                         std::to_string(20 * 1024)});
  EXPECT_EQ(read.Wait(), 0) << read.Errors();
  std::ifstream back(folder / "back.bin", std::ios::binary);
  EXPECT_EQ(TBytes(std::istreambuf_iterator<char>(back), {}), Application_Of_Size(2, 7, 20 * 1024));
}
