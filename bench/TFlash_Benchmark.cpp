#include "TFlash_Benchmark.h"

#include "firmware/Firmware_Update.h"
#include "platform/TVirtual_Clock.h"
#include "platform/sim/Sim_AN3155.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/TSim_Bus.h"
#include "support/THex_Text.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

extern char** environ;

namespace {
constexpr std::uint32_t FLASH_START = 0x08000000;
constexpr std::size_t IMAGE_SIZE = 64 * 1024;
constexpr double BITS_PER_BYTE = 11;  // start, 8 data, even parity, stop
constexpr double BAUD = 38400;

class TNull_Log final : public TLog {
public:
  void Clear() override {}
  void Add(std::string_view) override {}
  void Append(std::string_view) override {}
};

struct TRun {
  double Real_Seconds;     // the program's own time
  double Virtual_Seconds;  // the update's, from its connect to "Chip disconnect"
};

// One whole update on a fresh board, identified at 38400 baud as the window leaves it.
TRun Update_At(const std::filesystem::path& file, std::uint32_t baud) {
  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  bus.Attach(Factory_Setup(SIM_FACTORY_USBXPRESS));
  TSTM32 chip(bus.UsbXpress(), clock);
  if (!chip.CP_Connect()) throw std::runtime_error("the virtual board is not listed");
  chip.CP_State = CP_BUSY;
  if (!chip.Init_CP(LINE_8E1) || !chip.Chip_Get_Header()) throw std::runtime_error("the virtual board did not answer");
  chip.Close();
  chip.CP_State = CP_CLOSE;

  TNull_Log log;
  const TDuration virtual_start = clock.Now();
  const auto start = std::chrono::steady_clock::now();
  const TUpdate_Result result = Update_Firmware(chip, clock, {file.string(), baud}, log, nullptr);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (result.Outcome != UPDATE_WRITTEN || result.Baud != baud)
    throw std::runtime_error("the image was not written and verified at " + std::to_string(baud) + " baud");
  return {elapsed.count(), std::chrono::duration<double>(clock.Now() - virtual_start).count()};
}

// Every byte of the write and verify frames and of the bootloader's answers to them, 8E1.
double Wire_Seconds(std::uint32_t baud) {
  constexpr double BLOCKS = IMAGE_SIZE / 256.0;
  constexpr double WRITE = 2 + 5 + 1 + 256 + 1 + 3;  // command, address, count, data, checksum; 3 ACKs
  constexpr double VERIFY = 2 + 5 + 2 + 3 + 256;     // command, address, count; 3 ACKs and the data
  return BLOCKS * (WRITE + VERIFY) * BITS_PER_BYTE / baud;
}

// One `yeli-cli --simulate=usbxpress [options] flash FILE` from beside this benchmark, on a fresh
// virtual board; its wall time.
double Cli_Flash_Seconds(const std::filesystem::path& file, const std::vector<std::string>& options) {
  std::string cli = (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "yeli-cli").string();
  std::vector<std::string> arguments = {cli, "--simulate=usbxpress"};
  arguments.insert(arguments.end(), options.begin(), options.end());
  arguments.insert(arguments.end(), {"flash", file.string()});
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, cli.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error(cli + " flash did not write and verify the image");
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The chip's own flash work, the same at every rate: the global erase and the programming of every
// half-word.
double Flash_Work_Seconds() {
  const auto programming = BOOT_HALF_WORD_PROGRAM_TIME * (IMAGE_SIZE / 2) + BOOT_GLOBAL_ERASE_TIME;
  return std::chrono::duration<double>(programming).count();
}
}  // namespace

std::filesystem::path Write_64_KiB_Image(const std::string& name) {
  std::vector<std::uint8_t> image = Application_Image(2, 9);
  const std::vector<std::uint8_t> filler = Pattern(IMAGE_SIZE - image.size(), 1);
  image.insert(image.end(), filler.begin(), filler.end());
  const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
  std::ofstream(path) << Data_Records(FLASH_START, image, 16) + END;
  return path;
}

TUpdate_Figures Measure_Update_64_KiB() {
  const std::filesystem::path file = Write_64_KiB_Image("yeli-bench-flash.hex");
  const TRun slow = Update_At(file, 38400);
  const TRun fast = Update_At(file, 115200);
  std::filesystem::remove(file);
  const double flash_work = Flash_Work_Seconds();
  std::fprintf(stderr,
               "yeli-bench: a 64 KiB update takes %.2f s at 38400 baud and %.2f s at 115200 baud on the virtual "
               "board (wire time %.2f s and %.2f s; at both rates the chip's erase and programming take %.2f s, so "
               "that even a host that adds nothing takes %.4f of the time at 115200 that it takes at 38400)\n",
               slow.Virtual_Seconds, fast.Virtual_Seconds, Wire_Seconds(38400), Wire_Seconds(115200), flash_work,
               (Wire_Seconds(115200) + flash_work) / (Wire_Seconds(38400) + flash_work));
  return {slow.Real_Seconds / (IMAGE_SIZE * BITS_PER_BYTE / BAUD), fast.Virtual_Seconds / slow.Virtual_Seconds,
          fast.Virtual_Seconds / Wire_Seconds(115200)};
}

double Measure_Cli_Flash_64_KiB() {
  const std::filesystem::path file = Write_64_KiB_Image("yeli-bench-flash.hex");
  const double fast = Cli_Flash_Seconds(file, {});
  const double slow = Cli_Flash_Seconds(file, {"--baud", "38400"});
  std::filesystem::remove(file);
  std::fprintf(stderr, "yeli-bench: yeli-cli flash of the 64 KiB image takes %.2f s and with --baud 38400 %.2f s\n",
               fast, slow);
  return fast / slow;
}
