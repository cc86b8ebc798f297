// The soak: a day of work mode on the virtual clock, 86,400 ticks of the link supervisor, with a fan
// duty edited every minute and the cable pulled for a few seconds every hour. Every edit reaches
// the board on the next tick, work mode returns after every unplug, and from one hour to the next
// neither the program's heap nor its logs grow. In the sanitizer build LeakSanitizer checks at exit
// that nothing leaked.
#include "TFault_Fixture.h"

#include <malloc.h>

#include <algorithm>
#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
#define YELI_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define YELI_ASAN 1
#endif
#endif
#ifdef YELI_ASAN
#include <sanitizer/allocator_interface.h>
#endif

namespace {
constexpr int TICKS = 86'400;
constexpr int HOUR = 3600, MINUTE = 60;
constexpr int UNPLUGS = TICKS / HOUR;  // one at the start of every hour
static_assert(TICKS % HOUR == 0 && UNPLUGS >= 2, "the heap is compared from one whole hour to the next");
constexpr int UNPLUGGED_FOR = 5;   // ticks
constexpr int EDIT_AT = 30;        // seconds into each minute, well after an unplug is over
// Work mode keeps no history: the logs hold a connection's lines at most.
constexpr qsizetype MAX_PROGRAM_LOG_LINES = 16, MAX_CONTROL_LOG_LINES = 8;
// From the first hour on the heap may move by what a few allocator caches and Qt's event queues hold.
constexpr std::size_t HEAP_SLACK = 64 * 1024;
constexpr std::uint8_t DUTY_IN_S0 = 16;

// Bytes the program holds on the heap now, as the allocator in use counts them.
std::size_t Heap_In_Use() {
#ifdef YELI_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

class TSoak : public TFault_Fixture {
protected:
  TSoak() : TFault_Fixture(SIM_FACTORY_USBXPRESS) {}
};
}  // namespace

TEST_F(TSoak, A_Day_Of_Work_Mode_Loses_No_Edit_And_Holds_No_More_Memory) {
  Enter_Work_Mode();
  Tick();
  int edits = 0, edits_on_board = 0, returns = 0;
  std::vector<std::size_t> heap;  // at the end of each hour
  for (int tick = 1; tick <= TICKS; ++tick) {
    const int second = tick % HOUR;
    if (second == 0) Strike(Unplug());
    if (second == UNPLUGGED_FOR) Strike(Replug());
    const bool edit = tick % MINUTE == EDIT_AT;
    std::uint16_t duty = 0;
    if (edit) {
      if (second == EDIT_AT && tick > HOUR && Controller().VOK_State == VOK_OPEN) ++returns;
      duty = Move_Inflow_S0(10 + edits % 80);
      ++edits;
    }
    Tick();
    if (edit && Board_Setting(DUTY_IN_S0) == duty) ++edits_on_board;
    if (second == HOUR - 1) {
      Board.Clear_Wire_Log();  // the virtual board's record of the wire, not the program's
      heap.push_back(Heap_In_Use());
      ASSERT_LE(Program_Log().size(), MAX_PROGRAM_LOG_LINES) << Program_Log().join(" | ").toStdString();
      ASSERT_LE(Control_Log().size(), MAX_CONTROL_LOG_LINES) << Control_Log().join(" | ").toStdString();
    }
  }
  std::fprintf(stderr, "soak: %d ticks, %d edits, %d on the board, %d unplugs, work mode back %d times\n", TICKS,
               edits, edits_on_board, UNPLUGS, returns);
  for (std::size_t hour = 0; hour < heap.size(); ++hour)
    std::fprintf(stderr, "soak: heap after hour %zu: %zu bytes\n", hour + 1, heap[hour]);
  EXPECT_EQ(edits_on_board, edits);
  EXPECT_EQ(returns, UNPLUGS - 1);  // the last unplug comes with the last tick
  EXPECT_LE(*std::max_element(heap.begin() + 1, heap.end()), heap.front() + HEAP_SLACK);
}
