// The return penalties worked by hand from the Internal Revenue Code: failure
// to file (IRC 6651(a)(1), reduced under 6651(c)(1) by the failure to pay of
// the same month), fraudulent failure to file (6651(f)), failure to pay
// (6651(a)(2), 1% a month after a levy notice under 6651(d)) and the
// additional 5% deposit penalty after a notice (6656(b)(1)(B)). The run is
// byte-packed: its fields are compared through copies.
//
// Most cases are a Form 941 for 2010 Q1: $10,000.00 of tax that arose on
// 15 March 2010, due with the return on Friday 30 April 2010, unpaid unless
// the case pays it.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ledrix/ledrix.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::D;

constexpr int k2010Q1 = 120;

struct Return {
  std::unique_ptr<C941Compute> compute = std::make_unique<C941Compute>();
  CPenalties inputs;
  CRunTimePenalties run;
  InterestEvent chain;

  /// `tax` arose on 15 March 2010; `paid` (when given) was deposited on
  /// `paidOn`.
  Return(const char* computeDate, double tax = 10000.00, const char* paidOn = nullptr,
         double paid = 0.0) {
    testing::Prepare(*compute, k2010Q1, 0, {{LIABILITY, "03/15/10", tax}}, computeDate);
    if (paidOn) testing::AddEvent(compute->Events, DEPOSIT, D(paidOn), paid);
  }

  /// Runs the return penalties and interest as the penalty summary does.
  CRunTimePenalties& Run() {
    compute->SetPenalties(inputs);
    RunReturnPenalties(*compute, &inputs, nullptr, run, chain);
    return run;
  }
};

std::vector<double> Nets(const CRunTimePenalties& run) {
  std::vector<double> nets;
  for (const FTFRow& row : run.FTFMonths) {
    if (row.MonthEnd.IsValid()) nets.push_back(double{row.Net});
  }
  return nets;
}

TEST(FailureToFile, MonthsRatesAndTheFailureToPayReduction) {
  const struct Case {
    const char* name;
    const char* filed;
    bool fraudulent;
    bool failureToPay;
    std::vector<double> nets;
    int months;
    double penalty;
    const char* extended = nullptr;
    const char* paidOn = nullptr;
  } cases[] = {
      // Three months late, tax unpaid: 5% a month less the 0.5% failure to
      // pay of the same month, 4.5% x 3 x 10,000.00 = 1,350.00.
      {"three months", "07/30/10", false, true, {450, 450, 450}, 3, 1350.00},
      // Filed 1 May: one month or part of one, 5% = 500.00.
      {"one day", "05/01/10", false, false, {500}, 1, 500.00},
      // 31 May is the month's anniversary (30 April is April's last day).
      {"one month", "05/31/10", false, false, {500}, 1, 500.00},
      {"a day over", "06/01/10", false, false, {500, 500}, 2, 1000.00},
      // 30 November: seven months; at most five are charged, 25% = 2,500.00.
      {"seven months", "11/30/10", false, false, {500, 500, 500, 500, 500}, 7, 2500.00},
      // Fraud: 15% a month, at most 75% = 7,500.00.
      {"fraudulent", "11/30/10", true, false, {1500, 1500, 1500, 1500, 1500}, 7, 7500.00},
      // Fraud with failure to pay: (15% - 0.5%) x 3 = 43.5% = 4,350.00.
      {"fraud, 3 months", "07/30/10", true, true, {1450, 1450, 1450}, 3, 4350.00},
      // Extended to 31 July: months from then, 31 August is one.
      {"extended", "08/15/10", false, false, {500}, 1, 500.00, "07/31/10"},
      // Paid on the due date: nothing to charge a late filing on.
      {"paid", "11/30/10", false, false, {}, 0, 0.0, nullptr, "04/30/10"},
  };
  for (const Case& c : cases) {
    Return r("12/31/10", 10000.00, c.paidOn, 10000.00);
    r.inputs.CC6651A1.Active = 1;
    r.inputs.CC6651A1.DateFiled = D(c.filed);
    r.inputs.CC6651A1.Fraudulent = c.fraudulent;
    if (c.extended) r.inputs.CC6651A1.ExtendedDueDate = D(c.extended);
    r.inputs.CC6651A2.Active = c.failureToPay;
    const CRunTimePenalties& run = r.Run();
    EXPECT_EQ(Nets(run), c.nets) << c.name;
    EXPECT_EQ(int{run.FTFMonthCount}, c.months) << c.name;
    EXPECT_NEAR(run.FTFPenalty, c.penalty, 0.001) << c.name;
    EXPECT_EQ(double{run.FTFMaxRate}, c.fraudulent ? 0.75 : 0.25) << c.name;
  }
}

// More than 60 days late, the Code sets a minimum penalty (the smaller of a
// dollar amount and the tax). The computation charges no such minimum:
// FTFMinimum is 0 even when the caller filled it in.
TEST(FailureToFile, NoMinimumForAReturnOverSixtyDaysLate) {
  Return r("12/31/10", 100.00);
  r.inputs.CC6651A1.Active = 1;
  r.inputs.CC6651A1.DateFiled = D("07/30/10");  // 91 days late
  r.run.Compute = r.compute.get();
  r.run.ReturnDueDate = r.compute->DueDate();
  r.run.ComputeDate = r.compute->ComputeDate;
  r.run.AmountSubject = 100.00;
  r.run.FTFMinimum = 100.00;
  r.inputs.Compute(&r.run);
  EXPECT_EQ(double{r.run.FTFMinimum}, 0.0);
  EXPECT_NEAR(r.run.FTFPenalty, 15.00, 0.001);  // 5% x 3 months x 100.00

  // Without a filing date nothing is charged.
  r.inputs.CC6651A1.DateFiled = Date();
  EXPECT_EQ(double{r.Run().FTFPenalty}, 0.0);
}

TEST(FailureToPay, MonthsNoticesAndTheLevyRate) {
  const struct Case {
    const char* name;
    const char* computeDate;
    const char* levy;
    std::vector<double> penalties;
    std::vector<int> codes;
    double penalty;
    const char* paidOn = nullptr;
    double paid = 0.0;
  } cases[] = {
      // 4,000.00 paid 15 June, in the second month: it is charged in full
      // (0.5% of 10,000.00); from the third month 0.5% of 6,000.00 = 30.00.
      // The levy notice of 1 September runs ten days on 11 September: the
      // months after the one ending 30 September are at 1% = 60.00.
      // 50 + 50 + 30 + 30 + 30 + 60 + 60 + 60 = 370.00.
      {"notices and levy",
       "12/31/10",
       "09/01/10",
       {50, 50, 30, 30, 30, 60, 60, 60},
       {1, 1, 1, 1, 1, 2, 2, 2},
       370.00,
       "06/15/10",
       4000.00},
      // Levy notice of 20 April: in force on 30 April, before the first late
      // day (1 May): every month at 1%.
      {"levy before", "07/31/10", "04/20/10", {100, 100, 100}, {2, 2, 2}, 300.00},
      // Computed to the due date: not late yet.
      {"not yet late", "04/30/10", nullptr, {}, {}, 0.0},
      // Paid in full on 15 June: the second month is the last charged.
      {"paid", "12/31/10", nullptr, {50, 50}, {1, 1}, 100.00, "06/15/10", 10000.00},
  };
  for (const Case& c : cases) {
    Return r(c.computeDate, 10000.00, c.paidOn, c.paid);
    r.inputs.CC6651A2.Active = 1;
    r.inputs.CC6651A2.Notices[0] = D("11/15/10");  // sorted behind the first
    r.inputs.CC6651A2.Notices[1] = D("07/15/10");
    if (c.levy) r.inputs.CC6651A2.LevyNoticeDate = D(c.levy);
    const CRunTimePenalties& run = r.Run();
    std::vector<double> penalties;
    std::vector<int> codes;
    for (const FTPRow& row : run.FTPMonths) {
      if (!row.MonthEnd.IsValid()) break;
      penalties.push_back(double{row.Penalty});
      codes.push_back(int{row.RateCode});
    }
    EXPECT_EQ(penalties, c.penalties) << c.name;
    EXPECT_EQ(codes, c.codes) << c.name;
    EXPECT_NEAR(run.FTPPenalty, c.penalty, 0.001) << c.name;
    EXPECT_NEAR(run.FTPMaximum, 2500.00, 0.001) << c.name;  // 25% of 10,000.00
  }

  // The notices of the first case: 15 July falls in the third month (to
  // 31 July) and takes what accrued to it, 50 + 50 + 30 = 130.00; 15 November
  // the next four months, 30 + 30 + 60 + 60 = 180.00.
  Return r("12/31/10", 10000.00, "06/15/10", 4000.00);
  r.inputs.CC6651A2.Active = 1;
  r.inputs.CC6651A2.Notices[0] = D("11/15/10");
  r.inputs.CC6651A2.Notices[1] = D("07/15/10");
  r.inputs.CC6651A2.LevyNoticeDate = D("09/01/10");
  const CRunTimePenalties& run = r.Run();
  EXPECT_EQ(run.A2additionDate(0), D("07/15/10"));
  EXPECT_NEAR(run.A2additionAmount(0), 130.00, 0.001);
  EXPECT_EQ(run.A2additionDate(1), D("11/15/10"));
  EXPECT_NEAR(run.A2additionAmount(1), 180.00, 0.001);
  EXPECT_FALSE(run.A2additionDate(2).IsValid());
  EXPECT_EQ(int{run.FTPMonths[2].HasNotice}, 1);
  EXPECT_EQ(run.FTPMonths[1].MonthEnd, D("06/30/10"));
  EXPECT_NEAR(run.FTPMonths[1].Paid, 4000.00, 0.001);
}

TEST(FailureToPay, CappedAtAQuarterOfTheTax) {
  // Every month at 1% from the levy notice: 50 months would be 5,000.00,
  // capped at 25% of 10,000.00.
  Return r("06/30/14");
  r.inputs.CC6651A2.Active = 1;
  r.inputs.CC6651A2.LevyNoticeDate = D("04/20/10");
  const CRunTimePenalties& run = r.Run();
  EXPECT_EQ(run.FTPMonths[49].MonthEnd, D("06/30/14"));
  EXPECT_NEAR(run.FTPPenalty, 2500.00, 0.001);
}

// Notice of 1 March 2005 with 21 March as the last day to pay, on $1,000.00
// of tax (2005 Q1, arose 14 January). Once the last day has passed and the
// notice has run ten days, 5% of what was unpaid on the last day: 50.00.
TEST(AdditionalFivePercent, AfterTheLastDayToPay) {
  const struct Case {
    const char* computeDate;
    bool active;
    const char* notice;
    double penalty;
    int withinTenDays;
    const char* paidOn = nullptr;
  } cases[] = {
      {"04/01/05", true, "03/01/05", 50.00, 0},
      {"03/21/05", true, "03/01/05", 0.0, 1},  // the last day itself
      {"03/15/05", true, "03/01/05", 0.0, 1},  // within the ten days before it
      {"03/05/05", true, "03/01/05", 0.0, 0},  // before those ten days
      {"04/01/05", true, "03/27/05", 0.0, 0},  // the notice only five days old
      {"04/01/05", false, "03/01/05", 0.0, 0},
      {"03/15/05", false, "03/01/05", 0.0, 1},             // the reminder does not need the flag
      {"04/01/05", true, "03/01/05", 0.0, 0, "03/18/05"},  // paid before the last day
  };
  for (const Case& c : cases) {
    C941Compute compute;
    testing::Prepare(compute, 100, 0, {{LIABILITY, "01/14/05", 1000.00}}, c.computeDate);
    if (c.paidOn) testing::AddEvent(compute.Events, DEPOSIT, D(c.paidOn), 1000.00);
    CPenalties inputs;
    inputs.CC6656.Active = c.active;
    inputs.CC6656.NoticeDate = D(c.notice);
    inputs.CC6656.LastDayToPay = D("03/21/05");
    inputs.CC6651A1.Active = 1;  // a flag set, so the run computes
    CRunTimePenalties run;
    InterestEvent chain;
    RunReturnPenalties(compute, &inputs, nullptr, run, chain);
    EXPECT_NEAR(run.Additional5Penalty, c.penalty, 0.001) << c.computeDate << " " << c.notice;
    EXPECT_EQ(int{run.WithinTenDays}, c.withinTenDays) << c.computeDate << " " << c.notice;
  }
}

}  // namespace
}  // namespace ledrix
