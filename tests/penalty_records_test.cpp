// Return-penalty inputs and the working record of a run: clearing, notice
// date order, the assessed additions and the month overlap. Packed fields are
// compared through copies: a reference to them may be misaligned.
#include <gtest/gtest.h>

#include "ledrix/ledrix.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::D;

TEST(PenaltyInputs, ComputeSortsFourNoticesAndDropsTheJeopardyDate) {
  CPenalties inputs;
  CC6651A2& pay = inputs.CC6651A2;
  pay.Notices[0] = pay.Notices[1] = Date::FromSerial(0);  // entered as 0
  pay.Notices[2] = D("12/01/05");
  pay.Notices[3] = D("10/01/05");
  pay.JeopardyDate = D("11/15/05");
  CRunTimePenalties run;
  EXPECT_EQ(inputs.Compute(&run), 0);
  EXPECT_EQ(pay.Notices[0], D("10/01/05"));
  EXPECT_EQ(pay.Notices[1], D("12/01/05"));
  EXPECT_EQ(pay.Notices[2].Serial, Date::NoDate);
  EXPECT_EQ(pay.Notices[3].Serial, Date::NoDate);
  EXPECT_FALSE(pay.JeopardyDate.IsValid());
  // No computation is active: every result stays at 0.
  EXPECT_EQ(run.FTFPenalty + run.FTPPenalty + run.Additional5Penalty, 0.0);

  // Sort orders the five dates through the fifth notice, no dates last.
  pay.Notices[0] = Date::FromSerial(0);
  pay.Notices[1] = D("03/01/05");
  pay.Notices[2] = Date();
  pay.Notices[3] = D("06/01/05");
  pay.FifthNotice = D("01/15/05");
  pay.Sort();
  EXPECT_EQ(pay.Notices[0], D("01/15/05"));
  EXPECT_EQ(pay.Notices[1], D("03/01/05"));
  EXPECT_EQ(pay.Notices[2], D("06/01/05"));
  EXPECT_FALSE(pay.Notices[3].IsValid());
  EXPECT_FALSE(pay.FifthNotice.IsValid());
}

TEST(PenaltyInputs, ClearKeepsTheTenDayChoice) {
  CPenalties inputs;
  inputs.CC6656.Active = 1;
  inputs.CC6656.AddTenDays = 1;
  inputs.CC6656.NoticeDate = D("03/01/05");
  inputs.CC6651A1.Fraudulent = 1;
  inputs.CC6651A2.LevyNoticeDate = D("04/01/05");
  inputs.Clear();
  EXPECT_EQ(inputs.CC6656.Active, 0);
  EXPECT_EQ(inputs.CC6656.AddTenDays, 1);
  EXPECT_FALSE(inputs.CC6656.NoticeDate.IsValid());
  EXPECT_EQ(inputs.CC6651A1.Fraudulent, 0);
  EXPECT_FALSE(inputs.CC6651A2.LevyNoticeDate.IsValid());
}

TEST(RunTimePenalties, ClearKeepsRowDatesAndHeader) {
  CRunTimePenalties run;
  run.ComputeDate = D("06/30/05");
  run.FTPMonths[0].MonthEnd = D("05/31/05");
  run.FTPMonths[0].Penalty = 5.00;
  run.A2Additions[9] = A2Addition{D("05/15/05"), 12.50};
  run.FTFPenalty = 40.00;
  EXPECT_EQ(run.A2additionDate(9), D("05/15/05"));
  EXPECT_EQ(run.A2additionAmount(9), 12.50);
  for (int i : {-1, 10}) {  // out of range
    EXPECT_FALSE(run.A2additionDate(i).IsValid());
    EXPECT_EQ(run.A2additionAmount(i), 0.0);
  }
  run.Clear();
  EXPECT_EQ(run.ComputeDate, D("06/30/05"));
  EXPECT_EQ(run.FTPMonths[0].MonthEnd, D("05/31/05"));
  EXPECT_EQ(double{run.FTPMonths[0].Penalty}, 0.0);
  EXPECT_EQ(double{run.FTFPenalty}, 0.0);
  EXPECT_FALSE(run.A2additionDate(9).IsValid());
  EXPECT_EQ(run.A2additionAmount(9), 0.0);
}

TEST(RunTimePenalties, OverlapFindsTheFailureToPayMonth) {
  CRunTimePenalties run;
  // Failure-to-pay months ending 1 May, 1 June, 1 July 2005.
  run.FTPMonths[0].MonthEnd = D("05/01/05");
  run.FTPMonths[1].MonthEnd = D("06/01/05");
  run.FTPMonths[2].MonthEnd = D("07/01/05");
  // Month ending 15 June starts 16 May: row 1 ends its last day on 31 May.
  EXPECT_EQ(run.Overlap(D("06/15/05")), 1);
  // Month ending 2 May starts 3 April: row 0's 30 April is inside.
  EXPECT_EQ(run.Overlap(D("05/02/05")), 0);
  // Month ending 31 July starts 1 July: row 2's 30 June is not after it, and no row follows.
  EXPECT_EQ(run.Overlap(D("07/31/05")), -1);
  // Month ending 15 April: row 0's last day lies after it.
  EXPECT_EQ(run.Overlap(D("04/15/05")), -1);
}

}  // namespace
}  // namespace ledrix
