#include "TMany_Boards_Benchmark.h"

#include "TFlash_Benchmark.h"

#include "app/Cli_Back_End.h"
#include "app/Make_Service_Bridges.h"
#include "cli/Run_Yeli_Cli.h"
#include "platform/TVirtual_Clock.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace {
struct TRun {
  double Virtual_Seconds;
  double Real_Seconds;
};

// yeli-cli in this process on `boards` fresh virtual boards and a virtual clock.
TRun Flash_All(const std::filesystem::path& image, unsigned boards) {
  TVirtual_Clock clock;
  std::ostringstream out, err;
  const TCli_Host host{clock, out, err, false,
                       Cli_Back_End_Options(
                           [&clock](const TService_Options& options, std::string& error) {
                             return Make_Service_Bridges(options, clock, {}, error);
                           },
                           {})};
  const auto start = std::chrono::steady_clock::now();
  const int status =
      Run_Yeli_Cli({"--simulate=usbxpress:" + std::to_string(boards), "--all", "flash", image.string()}, host);
  const std::chrono::duration<double> real = std::chrono::steady_clock::now() - start;
  if (status != 0) throw std::runtime_error("yeli-cli flash --all failed on " + std::to_string(boards) + " boards: " + err.str());
  return {std::chrono::duration<double>(clock.Now()).count(), real.count()};
}
}  // namespace

TMany_Boards_Figures Measure_Flash_8_Boards() {
  const std::filesystem::path image = Write_64_KiB_Image("yeli-bench-many.hex");
  const TRun one = Flash_All(image, 1);
  const TRun eight = Flash_All(image, 8);
  std::filesystem::remove(image);
  std::fprintf(stderr,
               "yeli-bench: yeli-cli flash --all of the 64 KiB image takes %.2f s into one virtual board and %.2f s "
               "into 8 at once (virtual time; %.2f s and %.2f s of real time, the virtual boards' included)\n",
               one.Virtual_Seconds, eight.Virtual_Seconds, one.Real_Seconds, eight.Real_Seconds);
  return {eight.Virtual_Seconds / one.Virtual_Seconds, eight.Real_Seconds / (8 * eight.Virtual_Seconds)};
}
