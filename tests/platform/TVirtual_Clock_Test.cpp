#include "platform/TVirtual_Clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

TEST(TVirtual_Clock, A_Single_Thread_Moves_Time_At_Once) {
  TVirtual_Clock clock;
  clock.Sleep(400ms);
  clock.Sleep_Until(100ms);  // already past: no wait, no jump back
  EXPECT_EQ(clock.Now(), 400ms);
}

TEST(TVirtual_Clock, Two_Threads_Share_One_Timeline) {
  TVirtual_Clock clock;
  std::vector<TDuration> worker_wakes;
  clock.Thread_Starting();
  std::thread worker([&] {
    for (int i = 0; i < 5; ++i) {
      clock.Sleep(10ms);
      worker_wakes.push_back(clock.Now());
    }
    clock.Thread_Ended();
  });
  clock.Sleep(25ms);
  const TDuration main_woke = clock.Now();
  clock.Sleep(100ms);
  worker.join();

  EXPECT_EQ(main_woke, 25ms);
  EXPECT_EQ(worker_wakes, (std::vector<TDuration>{10ms, 20ms, 30ms, 40ms, 50ms}));
  EXPECT_EQ(clock.Now(), 125ms);
}

TEST(TVirtual_Clock, Time_Stands_Still_While_A_Thread_Works) {
  TVirtual_Clock clock;
  clock.Thread_Starting();
  std::atomic<bool> worked = false;
  std::latch main_sleeps(1);
  std::thread worker([&] {
    main_sleeps.wait();  // the work begins only once the main thread goes to sleep
    worked = true;
    clock.Thread_Ended();
  });
  main_sleeps.count_down();
  clock.Sleep(1ms);
  EXPECT_TRUE(worked);  // the main thread's 1 ms could not pass before the worker was done
  EXPECT_EQ(clock.Now(), 1ms);
  worker.join();
}
