// Elapsed-time counters: splitting seconds, the set's bookkeeping, and counters that
// follow their clock on their own threads (a clock the test moves, so nothing waits for
// real seconds).

#include <gtest/gtest.h>

#include <atomic>

#include "install_ui/elapsed_timer_set.h"

namespace {

TEST(SplitElapsedSecondsTest, SplitsIntoDaysHoursMinutesSeconds) {
  const struct {
    double total;
    int days, hours, minutes, seconds;
  } cases[] = {
      {0, 0, 0, 0, 0},
      {59.9, 0, 0, 0, 59},
      {60, 0, 0, 1, 0},
      {3599, 0, 0, 59, 59},
      {86399, 0, 23, 59, 59},
      {86400, 1, 0, 0, 0},
      {86400 + 3600 + 60 + 1, 1, 1, 1, 1},
      {-5, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    ElapsedTime time = SplitElapsedSeconds(c.total);
    EXPECT_EQ(time.days, c.days) << c.total;
    EXPECT_EQ(time.hours, c.hours) << c.total;
    EXPECT_EQ(time.minutes, c.minutes) << c.total;
    EXPECT_EQ(time.seconds, c.seconds) << c.total;
  }
}

class ElapsedTimerSetTest : public ::testing::Test {
 protected:
  std::atomic<int64_t> now{1000};
  ElapsedTimerSet timers{[this] { return now.load(); }};

  ElapsedTime Read(int key) {
    ElapsedTime time;
    EXPECT_TRUE(timers.Get(key, &time.days, &time.hours, &time.minutes, &time.seconds));
    return time;
  }
  // Until the counter's thread has seen the clock's new time.
  bool WaitForSeconds(int key, int seconds) {
    for (int i = 0; i < 400; ++i) {
      if (Read(key).seconds == seconds) return true;
      Sleep(5);
    }
    return false;
  }
};

TEST_F(ElapsedTimerSetTest, CounterFollowsItsClockOnItsOwnThread) {
  ASSERT_TRUE(timers.Add(1));
  ASSERT_TRUE(timers.SetInterval(1, 1));
  ElapsedTime start = Read(1);
  EXPECT_EQ(start.seconds, 0);
  now += 86400 + 3600 + 60 + 1;
  ASSERT_TRUE(WaitForSeconds(1, 1));
  ElapsedTime later = Read(1);
  EXPECT_EQ(later.days, 1);
  EXPECT_EQ(later.hours, 1);
  EXPECT_EQ(later.minutes, 1);
  now += 2;
  EXPECT_TRUE(WaitForSeconds(1, 3));
}

TEST_F(ElapsedTimerSetTest, SetAndResetStartFromTheGivenValues) {
  ASSERT_TRUE(timers.Add(7));
  ASSERT_TRUE(timers.SetInterval(7, 1));
  ASSERT_TRUE(timers.Set(7, 2, 3, 4, 5));
  ElapsedTime set = Read(7);
  EXPECT_EQ(set.days, 2);
  EXPECT_EQ(set.hours, 3);
  EXPECT_EQ(set.minutes, 4);
  EXPECT_EQ(set.seconds, 5);
  now += 10;
  EXPECT_TRUE(WaitForSeconds(7, 15));
  ASSERT_TRUE(timers.Reset(7));
  EXPECT_EQ(Read(7).seconds, 0);
  EXPECT_EQ(Read(7).days, 0);
}

TEST_F(ElapsedTimerSetTest, KeysAreUniqueAndRemovalIsOnce) {
  EXPECT_FALSE(timers.Any());
  ASSERT_TRUE(timers.Add(1));
  ASSERT_TRUE(timers.Set(1, 0, 0, 0, 42));
  EXPECT_FALSE(timers.Add(1)) << "a taken key";
  EXPECT_EQ(Read(1).seconds, 42) << "the existing counter is untouched";
  ASSERT_TRUE(timers.Add(2));
  EXPECT_TRUE(timers.Contains(2));
  EXPECT_TRUE(timers.Any());

  EXPECT_TRUE(timers.Remove(1));
  EXPECT_FALSE(timers.Remove(1));
  EXPECT_FALSE(timers.Remove(99));
  EXPECT_FALSE(timers.Contains(1));
  EXPECT_TRUE(timers.Contains(2));
  int d, h, m, s;
  EXPECT_FALSE(timers.Get(1, &d, &h, &m, &s));
  EXPECT_FALSE(timers.Set(1, 0, 0, 0, 0));
  EXPECT_FALSE(timers.Reset(1));
}

TEST_F(ElapsedTimerSetTest, IntervalIsCappedAndMissingCountersHaveNone) {
  ASSERT_TRUE(timers.Add(1));
  EXPECT_EQ(timers.GetInterval(1), 250);
  EXPECT_TRUE(timers.SetInterval(1, 10000));
  EXPECT_EQ(timers.GetInterval(1), 5000);
  EXPECT_TRUE(timers.SetInterval(1, 40));
  EXPECT_EQ(timers.GetInterval(1), 40);
  EXPECT_EQ(timers.GetInterval(2), -1);
  EXPECT_FALSE(timers.SetInterval(2, 40));
}

TEST_F(ElapsedTimerSetTest, RemovingDoesNotWaitOutTheInterval) {
  ASSERT_TRUE(timers.Add(1));
  ASSERT_TRUE(timers.SetInterval(1, 5000));
  Sleep(20);  // the thread is in its wait now
  const DWORD start = GetTickCount();
  EXPECT_TRUE(timers.Remove(1));
  EXPECT_LT(GetTickCount() - start, 2000u);
}

TEST(ElapsedTimerSetClockTest, DateAndStopwatchAreSane) {
  ElapsedTimerSet timers;
  int month = 0, day = 0, year = 0;
  ElapsedTimerSet::Today(&month, &day, &year);
  EXPECT_GE(month, 1);
  EXPECT_LE(month, 12);
  EXPECT_GE(day, 1);
  EXPECT_LE(day, 31);
  EXPECT_GE(year, 2020);
  int hours = -1, minutes = -1, seconds = -1;
  ElapsedTimerSet::TimeOfDay(&hours, &minutes, &seconds);
  EXPECT_TRUE(hours >= 0 && hours < 24 && minutes >= 0 && minutes < 60 && seconds >= 0 && seconds < 61);
  ASSERT_TRUE(timers.StopwatchStart());
  Sleep(20);
  const float elapsed = timers.StopwatchRead();
  EXPECT_GT(elapsed, 0.0f);
  EXPECT_LT(elapsed, 10.0f);
}

}  // namespace
