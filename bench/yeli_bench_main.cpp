// yeli-bench: prints each figure as "NAME: VALUE (target < LIMIT)"; exits 1 when one misses.
#include "TFlash_Benchmark.h"
#include "TMany_Boards_Benchmark.h"
#include "TStart_Up_Benchmark.h"
#include "TWork_Tick_Benchmark.h"

#include <cstdio>
#include <exception>

namespace {
bool Report(const char* name, double value, double limit) {
  std::printf("%s: %.4f (target < %g)\n", name, value, limit);
  std::fflush(stdout);
  return value < limit;
}
}  // namespace

int main() {
  try {
    const TUpdate_Figures update = Measure_Update_64_KiB();
    bool met = Report("flash_overhead_64k", update.Overhead, 0.02);
    met = Report("update_115200_over_38400", update.Speed_Up, 0.36) && met;
    met = Report("update_115200_over_wire", update.Over_Wire, 1.15) && met;
    met = Report("cli_flash_115200_over_38400", Measure_Cli_Flash_64_KiB(), 0.4) && met;
    const TMany_Boards_Figures many = Measure_Flash_8_Boards();
    met = Report("flash_8_boards_over_1", many.Eight_Over_One, 1.2) && met;
    met = Report("flash_8_boards_overhead", many.Overhead, 0.02) && met;
    met = Report("work_mode_tick_overhead", Work_Mode_Tick_Overhead(), 0.02) && met;
    const TStart_Up_Figures start_up = Measure_Start_Up();
    met = Report("start_up_ratio", start_up.Start_Up_Ratio, 2.0) && met;
    met = Report("resident_memory_ratio", start_up.Memory_Ratio, 1.5) && met;
    return met ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "yeli-bench: %s\n", error.what());
    return 2;
  }
}
