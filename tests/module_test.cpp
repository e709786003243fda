#include <gtest/gtest.h>

#include <string>

#include "ledrix/ledrix.h"

namespace ledrix {
namespace {

TEST(Module, StringTable) {
  const struct {
    int id;
    const char* text;
  } cases[] = {{119, "Def'ed SS Pmt"},  // the event type names: see also Events.TextForms
               {101, ""},
               {133, ""},
               {136, ""},
               {138, ""},
               {131, "(IRS PAYMENT ALLOCATION)"},
               {137, "(IRS PAYMENT ALLOCATION %d)"},
               {130, "(ALTERNATIVE PAYMENT ALLOCATION 0%.2o)"},
               {132,
                "You have exceeded the capacity of the Deposit Predictor.\n"
                "The results will not be accurate."}};
  for (const auto& c : cases) EXPECT_EQ(LoadString(c.id), c.text) << c.id;
  for (int type = 0; type < EventTypeCount; ++type) {
    EXPECT_FALSE(LoadString(IDS_EVENT_TYPE_FIRST + type).empty()) << type;
  }
  EXPECT_STREQ(VersionText(), "Ledrix Version 2012.2");
}

TEST(Module, NotificationSinkAndClock) {
  ::testing::internal::CaptureStderr();
  Notify("disk full");  // the default sink writes the line on standard error
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "disk full\n");
  int shown = 0;
  SetNotificationSink([&](const std::string& text) { shown += text == "warning"; });
  Notify("warning");
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(static_cast<bool>(SetNotificationSink(nullptr)));  // the previous one back
  ::testing::internal::CaptureStderr();
  Notify("restored");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "restored\n");

  const std::string time = LocalTimeText();
  ASSERT_EQ(time.size(), 8u);
  EXPECT_EQ(time[2], ':');
  EXPECT_EQ(time[5], ':');
  EXPECT_TRUE(LocalToday().IsValid());
}

// LEDRIX_FIXED_NOW pins today and the time of day; a malformed value is
// ignored with one warning for the whole process.
TEST(Module, PinnedClock) {
  setenv("LEDRIX_FIXED_NOW", "2010-06-30T13:07", 1);
  EXPECT_EQ(LocalToday(), Date(6, 30, 10));
  EXPECT_EQ(LocalTimeText(), "13:07:00");
  Date noYear;
  EXPECT_TRUE(noYear.Parse("1-15"));
  EXPECT_EQ(noYear, Date(1, 15, 10));
  EXPECT_EQ(C941Compute().ComputeDate, Date(6, 30, 10));  // the default compute date

  const Date clock = [] {
    unsetenv("LEDRIX_FIXED_NOW");
    return LocalToday();
  }();
  ::testing::internal::CaptureStderr();
  for (const char* bad : {"2010-02-30T10:00", "2010-06-30 13:07", "2010-06-30T24:00", "today"}) {
    setenv("LEDRIX_FIXED_NOW", bad, 1);
    EXPECT_EQ(LocalToday(), clock) << bad;
  }
  const std::string warnings = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(warnings,
            "ledrix: LEDRIX_FIXED_NOW=\"2010-02-30T10:00\" is not a time of the form "
            "YYYY-MM-DDTHH:MM; the system clock is used\n");
  unsetenv("LEDRIX_FIXED_NOW");
}

}  // namespace
}  // namespace ledrix
