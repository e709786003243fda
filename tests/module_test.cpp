#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <string>
#include <thread>
#include <vector>

#include "ledrix/ledrix.h"

using namespace ledrix;

TEST(Module, StringTable) {
  struct Case {
    int id;
    const char* text;
  } cases[] = {
      {102, "Liability"},
      {108, "Deposit due on"},
      {114, "COBRA Subsidy"},
      {115, "COBRA Subsidy"},
      {119, "Def'ed SS Pmt"},
      {124, "E/R Cr Aft 6/30"},
      {125, "<error>"},
      {130, "(ALTERNATIVE PAYMENT ALLOCATION 0%.2o)"},
      {131, "(IRS PAYMENT ALLOCATION)"},
      {132,
       "You have exceeded the capacity of the Deposit Predictor.\n"
       "The results will not be accurate."},
      {137, "(IRS PAYMENT ALLOCATION %d)"},
      {101, ""},
      {133, ""},
      {136, ""},
      {138, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(LoadString(c.id), c.text) << c.id;
  for (int type = 0; type < EventTypeCount; ++type) {
    EXPECT_FALSE(LoadString(IDS_EVENT_TYPE_FIRST + type).empty()) << type;
  }
  EXPECT_STREQ(VersionText(), "Ledrix Version 2012.2");
}

TEST(Module, NotificationSink) {
  ::testing::internal::CaptureStderr();
  Notify("disk full");  // the default sink writes the line on standard error
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "disk full\n");

  std::atomic<int> shown{0};
  SetNotificationSink([&](const std::string& text) {
    if (text == "warning") ++shown;
  });
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < 100; ++i) Notify("warning");
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(shown.load(), 400);

  const NotificationSink previous = SetNotificationSink(nullptr);
  EXPECT_TRUE(static_cast<bool>(previous));
  ::testing::internal::CaptureStderr();
  Notify("restored");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "restored\n");
}

TEST(Module, LocalClock) {
  const std::string time = LocalTimeText();
  ASSERT_EQ(time.size(), 8u);
  EXPECT_EQ(time[2], ':');
  EXPECT_EQ(time[5], ':');
  EXPECT_TRUE(LocalToday().IsValid());
}
