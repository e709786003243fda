// The `ledrix` command as a user meets it: the bundled example returns with
// their key figures worked out by hand, the JSON shape, bad input and usage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "fields.h"
#include "rates.h"
#include "report_command.h"
#include "support/command_run.h"

namespace {

namespace fs = std::filesystem;
using ledrix::testing::Outcome;
using nlohmann::json;

class CommandTest : public ledrix::testing::CommandRun {
 protected:
  /// The regular liabilities that hold an amount (merged-away slots are empty).
  static std::vector<json> Liabilities(const json& result, const char* key = "liabilities") {
    std::vector<json> found;
    for (const json& liability : result[key]) {
      if (liability["amount"].get<double>() > 0.009) found.push_back(liability);
    }
    return found;
  }

  /// One field of each liability, as a JSON list.
  static json Column(const std::vector<json>& liabilities, const char* key) {
    json values = json::array();
    for (const json& liability : liabilities) values.push_back(liability[key]);
    return values;
  }

  /// The search kept the best penalty it recorded, to the cent, and no more than `ceiling`.
  static void ExpectCheapest(const json& result, double ceiling) {
    double lowest = result["method_results"][0]["penalty"];
    for (int m = 1; m <= 256; ++m) {
      lowest = std::min(lowest, result["method_results"][m]["penalty"].get<double>());
    }
    EXPECT_NEAR(result["penalty_total"].get<double>(), lowest, 0.005);
    EXPECT_LE(result["penalty_total"].get<double>(), ceiling + 0.001);
  }

  static void ExpectPiece(const json& piece, const char* date, double amount, int daysLate,
                          int tier, double penalty) {
    EXPECT_EQ(piece["date"], date);
    EXPECT_NEAR(piece["amount"].get<double>(), amount, 0.001);
    EXPECT_EQ(piece["days_late"], daysLate) << date;
    EXPECT_EQ(piece["rate_index"], tier) << date;
    EXPECT_NEAR(piece["penalty"].get<double>(), penalty, 0.001) << date;
  }
};

TEST_F(CommandTest, MonthlyQuarterPaidOnTime) {
  json result = Compute(Example("monthly-on-time.json"));
  // Two liabilities a month share the 15th of the next month and merge; the
  // 15th of May 2005 is a Sunday, so April's tax is due Monday 16 May.
  auto liabilities = Liabilities(result);
  EXPECT_EQ(Column(liabilities, "due_date"), json({"2005-05-16", "2005-06-15", "2005-07-15"}));
  EXPECT_NEAR(liabilities[0]["amount"].get<double>(), 14800.50, 0.001);  // 7,412.38 + 7,388.12
  for (const json& liability : liabilities) {
    ASSERT_EQ(liability["deposits"].size(), 1u);
    EXPECT_EQ(liability["deposits"][0]["days_late"], 0);
  }
  EXPECT_EQ(result["penalty_total"], 0.0);
  EXPECT_EQ(result["allocation_method"], 0);
  EXPECT_NEAR(result["liability_total"].get<double>(), 44778.30, 0.001);
  EXPECT_NEAR(result["tax_balance"].get<double>(), 0.0, 0.001);
}

TEST_F(CommandTest, SemiweeklyLateDepositsUnderTheIrsRuleAndTheSearch) {
  json result = Compute(Example("semiweekly-late-deposits.json"), "--allocation irs");
  auto liabilities = Liabilities(result);
  // Friday paydays are due the next Wednesday. 14 January: the third business
  // day after it is Friday 21 January (17th MLK Day, 20th Inauguration Day).
  EXPECT_EQ(Column(liabilities, "due_date"), json({"2005-01-21", "2005-02-02", "2005-02-16",
                                                   "2005-03-02", "2005-03-16", "2005-03-30"}));
  // 28 January payroll: due 2 February, paid 4 February, 2 days: 2% of
  // 12,615.20 = 252.30.
  ExpectPiece(liabilities[1]["deposits"][0], "2005-02-04", 12615.20, 2, 1, 252.30);
  // New method: the 14 March deposit first pays the 11 March payroll (its
  // period has ended, due 16 March: on time), the rest 311.65 goes to the
  // 25 February payroll, 12 days late: 5% = 15.58; the 16 March deposit pays
  // the other 12,390.75 of it, 14 days late: 5% = 619.54.
  ExpectPiece(liabilities[3]["deposits"][0], "2005-03-14", 311.65, 12, 2, 15.58);
  ExpectPiece(liabilities[3]["deposits"][1], "2005-03-16", 12390.75, 14, 2, 619.54);
  ExpectPiece(liabilities[4]["deposits"][0], "2005-03-14", 12390.75, 0, 0, 0.0);
  // 25 March payroll: due 30 March, paid 22 April, 23 days: 10% = 1,265.51.
  ExpectPiece(liabilities[5]["deposits"][0], "2005-04-22", 12655.10, 23, 3, 1265.51);
  // The old method gives 12,702.40 x 5% = 635.12 for 25 February as well:
  // equal totals keep the new method.
  EXPECT_EQ(result["irs_direction"], 2);
  EXPECT_NEAR(result["penalty_total"].get<double>(), 2152.93, 0.001);
  // Semi-weekly: each payday's liability stands on its own day.
  EXPECT_NEAR(result["daily_liabilities"][0][14].get<double>(), 12480.55, 0.001);
  EXPECT_NEAR(result["period_totals"][3].get<double>(), 75394.00, 0.001);

  json searched = Compute(Example("semiweekly-late-deposits.json"));
  EXPECT_NEAR(searched["method_results"][0]["penalty"].get<double>(), 2152.93, 0.001);
  ExpectCheapest(searched, 2152.93);
}

TEST_F(CommandTest, SafeHarborLeavesNoPenalty) {
  json result = Compute(Example("safe-harbor-98.json"));
  // January: 29,450.00 of 30,000.00 on time; the 550.00 short is within 2%
  // (600.00). March: 80.00 short. Both shortfalls move to catch-up
  // liabilities due with the return, 30 April 2006 a Sunday: 1 May.
  EXPECT_EQ(Column(Liabilities(result), "applied98"), json({true, false, true}));
  auto catchups = Liabilities(result, "catchups");
  EXPECT_EQ(Column(catchups, "amount"), json({550.00, 80.00}));
  EXPECT_EQ(Column(catchups, "due_date"), json({"2006-05-01", "2006-05-01"}));
  for (const json& catchup : catchups) {
    ExpectPiece(catchup["deposits"][0], "2006-04-28", catchup["amount"], 0, 0, 0.0);
  }
  EXPECT_EQ(result["irs_direction"], 1);  // the old method keeps the safe harbor
  EXPECT_EQ(result["penalty_total"], 0.0);

  // The new method undoes the safe harbor when the make-up deposit comes:
  // 550.00 on 28 April for January (due 15 February, 72 days: 10% = 55.00)
  // and 80.00 for March (due 17 April, 11 days: 5% = 4.00).
  json plain = Compute(Example("safe-harbor-98.json"), "--allocation irs-new");
  auto unsheltered = Liabilities(plain);
  ExpectPiece(unsheltered[0]["deposits"][1], "2006-04-28", 550.00, 72, 3, 55.00);
  ExpectPiece(unsheltered[2]["deposits"][1], "2006-04-28", 80.00, 11, 2, 4.00);
  EXPECT_NEAR(plain["penalty_total"].get<double>(), 59.00, 0.001);
}

TEST_F(CommandTest, MonthlyDepositorReachingOneHundredThousand) {
  json result = Compute(Example("monthly-hits-100000.json"), "--allocation irs");
  EXPECT_TRUE(result["had_100000_liability"]);
  auto liabilities = Liabilities(result);
  // July (45,000.00) is due 15 August. 5 + 12 August reach 103,000.00: one
  // next-day liability due Monday 15 August; later paydays are semi-weekly.
  EXPECT_EQ(Column(liabilities, "due_date"),
            json({"2005-08-15", "2005-08-15", "2005-08-31", "2005-09-14", "2005-09-28"}));
  EXPECT_NEAR(liabilities[1]["amount"].get<double>(), 103000.00, 0.001);
  EXPECT_TRUE(liabilities[1]["next_day"]);
  EXPECT_EQ(liabilities[2]["semiweekly"], 1);
  // New method: 15 August pays the 12 August liability; 14 September the
  // 9 September payday; 15 September pays 26 August (15 days: 5% of
  // 30,000.00 = 1,500.00), then 58,000.00 of August (31 days: 5,800.00) and
  // July (31 days: 4,500.00). Total 11,800.00.
  EXPECT_EQ(Column(liabilities, "penalty"), json({4500.00, 5800.00, 1500.00, 0.0, 0.0}));
  EXPECT_EQ(result["irs_direction"], 2);
  EXPECT_NEAR(result["penalty_total"].get<double>(), 11800.00, 0.001);
  // Old method, in due-date order: 25,000.00 on 14 September (30 days) and
  // 78,000.00 on 15 September (31 days) at 10%, 30,000.00 at 5%, and
  // 25,000.00 one day late at 2%: 2,500 + 7,800 + 1,500 + 500 = 12,300.00.
  json old = Compute(Example("monthly-hits-100000.json"), "--allocation irs-old");
  EXPECT_NEAR(old["penalty_total"].get<double>(), 12300.00, 0.001);
}

TEST_F(CommandTest, Form944Year) {
  json result = Compute(Example("form944-year.json"));
  EXPECT_EQ(result["due_date"], "2007-01-31");
  auto liabilities = Liabilities(result);
  ASSERT_EQ(liabilities.size(), 12u);
  // March: 15 April 2006 a Saturday, due Monday 17 April. December: 15
  // January 2007 is MLK Day, due 16 January.
  EXPECT_EQ(liabilities[2]["due_date"], "2006-04-17");
  EXPECT_EQ(liabilities[11]["due_date"], "2007-01-16");
  // February paid 20 March, 5 days after 15 March, but the first quarter's
  // 2,300.00 is under 2,500.00 and paid by 30 April: no lateness counted.
  ExpectPiece(liabilities[1]["deposits"][0], "2006-03-20", 1150.00, 0, 0, 0.0);
  // July paid 29 August, 14 days after 15 August; the third quarter reaches
  // 3,550.00: 5% of 1,200.00 = 60.00.
  ExpectPiece(liabilities[6]["deposits"][0], "2006-08-29", 1200.00, 14, 2, 60.00);
  EXPECT_NEAR(result["penalty_total"].get<double>(), 60.00, 0.001);
  ExpectCheapest(Compute(Example("form944-year.json"), "--allocation best"), 60.00);
}

TEST_F(CommandTest, Form940Year) {
  json result = Compute(Example("form940-year.json"));
  EXPECT_EQ(result["due_date"], "2006-01-31");
  auto liabilities = Liabilities(result);
  // Q1 1,120.00 is over 500: due 30 April 2005, a Saturday, so 2 May. Q2
  // (240.00), Q3 (+40.00) and Q4 (+16.00) stay under 500 once Q1 is paid:
  // carried to 31 January 2006.
  EXPECT_EQ(Column(liabilities, "due_date"),
            json({"2005-05-02", "2006-01-31", "2006-01-31", "2006-01-31"}));
  // 296.00 paid 10 February 2006, 10 days late: 5% of 240.00, 40.00 and 16.00.
  ExpectPiece(liabilities[1]["deposits"][0], "2006-02-10", 240.00, 10, 2, 12.00);
  ExpectPiece(liabilities[2]["deposits"][0], "2006-02-10", 40.00, 10, 2, 2.00);
  ExpectPiece(liabilities[3]["deposits"][0], "2006-02-10", 16.00, 10, 2, 0.80);
  EXPECT_NEAR(result["penalty_total"].get<double>(), 14.80, 0.001);
  EXPECT_EQ(result["allocation_method"], 0);  // the alternatives apply nothing for Form 940
}

/// The keys of a JSON object in the order written, separated by spaces.
std::string Keys(const nlohmann::ordered_json& object) {
  std::string keys;
  for (const auto& item : object.items()) keys += (keys.empty() ? "" : " ") + item.key();
  return keys;
}

TEST_F(CommandTest, JsonShape) {
  Outcome run =
      Ledrix("compute '" + Example("semiweekly-late-deposits.json") + "' --json --allocation irs");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto ordered = nlohmann::ordered_json::parse(run.out);
  EXPECT_EQ(Keys(ordered),
            "form quarter schedule compute_date due_date allocation_method irs_direction "
            "penalty_total tax_balance liability_total deposit_total excess_adjustments "
            "had_100000_liability additional_notice_date method_results daily_liabilities "
            "period_totals events liabilities catchups return_penalties interest warnings "
            "schema_version period company designation");
  EXPECT_EQ(Keys(ordered["liabilities"][0]),
            "slot due_date liability_date amount balance penalty rate_index semiweekly next_day "
            "applied98 catchup event_indices unpaid_amount unpaid_days unpaid_penalty "
            "skipped_holidays deposits");

  json result = json::parse(run.out);
  EXPECT_EQ(result["form"], "941");
  EXPECT_EQ(result["quarter"], 100);
  EXPECT_EQ(result["schedule"], "semiweekly");
  EXPECT_TRUE(result["additional_notice_date"].is_null());
  EXPECT_EQ(result["period"], "2005Q1");
  EXPECT_EQ(result["company"], json::parse(R"({"name": "Harbor Freight Lines Inc",
                                               "ein": "98-7654321"})"));
  EXPECT_EQ(result["schema_version"], 1);
  EXPECT_TRUE(result["designation"].is_null());  // the IRS rule alone: no search
  // A quarter has four catch-up slots, used or not.
  const std::pair<const char*, size_t> sizes[] = {
      {"/method_results", 258},          {"/method_results/0", 2}, {"/daily_liabilities", 3},
      {"/daily_liabilities/2", 32},      {"/period_totals", 14},   {"/events", 12},
      {"/liabilities/0/deposits/0", 10}, {"/catchups", 4}};
  for (const auto& [pointer, size] : sizes) {
    EXPECT_EQ(result[json::json_pointer(pointer)].size(), size) << pointer;
  }
  EXPECT_EQ(result["events"][0], json::parse(R"({"type": "LIABILITY", "date": "2005-01-14",
      "amount": 12480.55, "running_balance": 12480.55, "liability_number": 1})"));
  const json liability = result["liabilities"][0];
  EXPECT_EQ(liability["event_indices"], json({0}));
  EXPECT_EQ(liability["deposits"][0]["event_type"], "DEPOSIT");
  EXPECT_EQ(liability["deposits"][0]["deposit_number"], 1);
}

// The deposit penalty, the additional 5%, failure to file, failure to pay and
// interest of examples/late-return-and-interest.json; the figures are worked
// by hand in tests/interest_test.cpp (EveryPenaltyInTheBalance).
TEST_F(CommandTest, ReturnPenaltiesAndInterest) {
  const std::string path = Example("late-return-and-interest.json");
  Outcome run = Ledrix("compute '" + path + "' --json");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto ordered = nlohmann::ordered_json::parse(run.out);
  const auto& penalties = ordered["return_penalties"];
  EXPECT_EQ(Keys(penalties),
            "return_due_date compute_date amount_subject ftf_months ftf_month_count ftf_max_rate "
            "ftf_minimum ftp_months a2_additions ftp_maximum ftp_minimum ftf_penalty ftp_penalty "
            "additional5_penalty within_ten_days");
  EXPECT_EQ(Keys(penalties["ftf_months"][0]), "penalty reduction net month_end");
  EXPECT_EQ(Keys(penalties["ftp_months"][0]),
            "base penalty paid rate_code month_end has_notice notice_amount notice_date");
  EXPECT_EQ(Keys(ordered["interest"]), "chain total missing_rate_flag");
  EXPECT_EQ(Keys(ordered["interest"]["chain"][0]),
            "kind start_date end_date principal rate interest factor balance");

  const json result = json::parse(run.out);
  const json& p = result["return_penalties"];
  const std::pair<const char*, size_t> sizes[] = {
      {"ftf_months", 5}, {"ftp_months", 51}, {"a2_additions", 10}};
  for (const auto& [key, size] : sizes) EXPECT_EQ(p[key].size(), size) << key;
  EXPECT_EQ(p["return_due_date"], "2010-04-30");
  EXPECT_EQ(p["amount_subject"], 10000.0);
  // (5% - 0.5%) x 10,000.00 for two months, (5% - 0.3%) for the third once
  // 4,000.00 was paid: 450 + 450 + 470.
  EXPECT_EQ(p["ftf_penalty"], 1370.0);
  EXPECT_EQ(p["ftp_penalty"], 190.0);
  EXPECT_EQ(p["additional5_penalty"], 300.0);
  EXPECT_EQ(p["a2_additions"][0], json::parse(R"({"date": "2010-07-15", "amount": 130.0})"));
  EXPECT_EQ(p["ftp_months"][2]["notice_date"], "2010-07-15");
  EXPECT_TRUE(p["ftp_months"][5]["month_end"].is_null());

  const json& interest = result["interest"];
  json kinds = json::array();
  for (const json& link : interest["chain"]) kinds.push_back(link["kind"]);
  EXPECT_EQ(kinds, json({6, 7, 1, 4, 2, 3, 8, 5}));
  EXPECT_NEAR(interest["total"].get<double>(), 158.54, 1e-9);
  EXPECT_EQ(interest["missing_rate_flag"], false);
  EXPECT_NEAR(interest["chain"][2]["factor"].get<double>(), 0.005053546, 5e-10);  // 46 days at 4%

  // The text as a practitioner reads it, line for line.
  Outcome text = Ledrix("compute '" + path + "'");
  EXPECT_EQ(text.out, Data("late-return-and-interest.txt"));
}

TEST_F(CommandTest, TextSummaryForAPerson) {
  Outcome run =
      Ledrix("compute '" + Example("semiweekly-late-deposits.json") + "' --allocation irs");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const char* text :
       {"Harbor Freight Lines Inc   EIN 98-7654321", "Form 941   2005 Q1   semi-weekly depositor",
        "IRS rule, new method", "due 01-21-05 Fri", "Deposit 2", "2 days late", "252.30",
        "Failure-to-deposit penalty", "2,152.93"}) {
    EXPECT_NE(run.out.find(text), std::string::npos) << text << "\n" << run.out;
  }
}

TEST_F(CommandTest, EventsFromCsv) {
  std::string path = Write("csv-return.json",
                           R"({"form": "941", "period": "2005Q2", "schedule": "monthly",
                               "compute_date": "2005-07-29"})");
  std::string csv = Write("events.csv",
                          "Date,Type,Amount\r\n"
                          "2005-04-15,LIABILITY,7412.38\r\n"
                          "2005-04-29,liability,7388.12\r\n"
                          "\r\n"
                          "2005-05-13,1,14800.50\r\n");
  json result = Compute(path, "--events '" + csv + "'");
  auto liabilities = Liabilities(result);
  ASSERT_EQ(Column(liabilities, "due_date"), json({"2005-05-16"}));
  EXPECT_NEAR(liabilities[0]["deposits"][0]["amount"].get<double>(), 14800.50, 0.001);
  EXPECT_EQ(result["penalty_total"], 0.0);
}

TEST_F(CommandTest, DepositNoticeAndGivenDueDate) {
  json result = Compute(Write("notice.json", R"({
    "form": "941", "period": "2005Q1", "schedule": "monthly", "allocation": "irs",
    "compute_date": "2005-06-30", "due_date": "2005-05-02",
    "penalties": {"deposit_notice": {"last_day_to_pay": "2005-05-20",
                                     "notice_date": "2005-05-10"}},
    "events": [{"type": "LIABILITY", "date": "2005-01-14", "amount": 10000},
               {"type": "DEPOSIT", "date": "2005-06-01", "amount": 10000}]})"));
  EXPECT_EQ(result["due_date"], "2005-05-02");
  // Paid 1 June, after the notice's last day to pay (20 May): 15% of
  // 10,000.00 = 1,500.00. The last day to pay is the notice date + 10 days
  // and 10,000.00 was still due then, so the notice date is the one kept.
  ExpectPiece(result["liabilities"][0]["deposits"][0], "2005-06-01", 10000.00, 106, 4, 1500.00);
  EXPECT_EQ(result["additional_notice_date"], "2005-05-10");
}

/// A return's opening fields.
std::string Head(const std::string& form, const std::string& period, const std::string& schedule) {
  return R"({"form": ")" + form + R"(", "period": ")" + period + R"(", "schedule": ")" + schedule +
         "\"";
}

/// A Form 941 return for 2005 Q1 with `events` (a JSON list) and `extra` fields.
std::string Return(const std::string& events, const std::string& extra = "") {
  return Head("941", "2005Q1", "monthly") + ", " + extra + R"("events": )" + events + "}";
}

// Each bad return (or events file, given with a good return) is named with the
// fault, exit status 2, and nothing is printed. An empty text names a file
// that is not there.
TEST_F(CommandTest, BadInputIsNamedAndNothingIsPrinted) {
  const std::string liability = R"({"type": "LIABILITY", "date": "2005-01-14", "amount": 100})";
  std::string many = "[";
  for (int i = 0; i < 1464; ++i) many += (i ? "," : "") + liability;
  many += "]";
  auto cases = ledrix::testing::DataRows("bad-returns.tsv");
  ASSERT_EQ(cases.size(), 36u);
  cases.push_back({"event 1464: more than the 1463 events a return can hold", Return(many)});
  int number = 0;
  for (const auto& bad : cases) {
    const std::string name = "bad" + std::to_string(++number), &message = bad[0];
    std::string path = bad[1].empty() ? (dir_ / name).string() : Write(name + ".json", bad[1]);
    std::string args = "compute '" + path + "'";
    if (bad.size() > 2) args += " --events '" + (path = Write(name + ".csv", bad[2])) + "'";
    Outcome run = Ledrix(args);
    EXPECT_EQ(run.status, 2) << message;
    EXPECT_EQ(run.out, "") << message;
    EXPECT_NE(run.err.find(path + ": " + message), std::string::npos)
        << "expected: " << message << "\nstderr: " << run.err;
  }
}

// ---- ledrix report ------------------------------------------------------------

// The worked return (late deposits, a non-FTD payment, a credit, an unpaid
// balance priced at 15% after the notice, all three return penalties and
// interest) reported with the clock pinned to 1 February 2006, 9:30: each
// report as its expected file, line by line, and with --raw -o the same lines
// ended by NUL bytes in the file. The IRS-format parts carry the file's
// title and the margin strings EXHIBIT and A down the left edge.
TEST_F(CommandTest, ReportsOfTheWorkedReturn) {
  const std::string example = Example("late-filed-return.json");
  const std::string target = (dir_ / "worked.rpt").string();
  setenv("LEDRIX_FIXED_NOW", "2006-02-01T09:30", 1);
  for (const std::string kind :
       {"deposit-penalty", "penalty-summary", "interest", "rates", "main-screen", "predictor",
        "irs-header", "liability-detail", "deposit-detail", "irs-input"}) {
    const std::string expected = Data("reports/late-filed-return." + kind + ".txt");
    Outcome run = Ledrix("report " + kind + " '" + example + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected) << kind;
    run = Ledrix("report " + kind + " '" + example + "' --raw -o '" + target + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    std::stringstream raw;
    raw << std::ifstream(target, std::ios::binary).rdbuf();
    std::string lines = raw.str();
    std::replace(lines.begin(), lines.end(), '\0', '\n');
    EXPECT_EQ(lines, expected) << kind;
    EXPECT_EQ(raw.str().find('\n'), std::string::npos) << kind;
  }
  unsetenv("LEDRIX_FIXED_NOW");
}

// The interest report of the worked return has four sections, each on a page
// of its own from FirstPage on; the page table records where each begins.
TEST_F(CommandTest, InterestReportSectionsInThePageTable) {
  ledrix::cli::ReturnFile file = ledrix::cli::LoadReturn(Example("late-filed-return.json"));
  ledrix::cli::ComputedReturn result = ledrix::cli::ComputeReturn(file);
  ledrix::CReportGenerator generator;
  ledrix::cli::SetUpGenerator(generator, result);
  generator.FirstPage = 3;
  const std::string bytes = ledrix::cli::ReportBytes(generator, "interest");
  const char* titles[] = {"Additional 5%, Failure to deposit, Section 6656",
                          "Failure to file tax return when due, Section 6651(a)(1)",
                          "Failure to pay tax shown, Section 6651(a)(2)", nullptr};
  for (int section = 0; section < 4; ++section) {
    const std::string head = titles[section]
                                 ? std::string(1, '\0') + "PENALTY COMPUTATION DETAIL REPORT" +
                                       '\0' + titles[section] + '\0'
                                 : std::string(1, '\0') + "INTEREST DETAIL REPORT" + '\0';
    EXPECT_EQ(bytes.compare(generator.PageStart[3 + section], head.size(), head), 0) << section;
  }
  EXPECT_EQ(generator.PageStart[2], -1);
  EXPECT_EQ(generator.PageStart[7], -1);
}

// A report that cannot be written whole (here: a file-size limit of 512
// bytes) exits with 74 and leaves the file it was to replace as it was, with
// no temporary file beside it.
TEST_F(CommandTest, ReportThatCannotBeWrittenLeavesTheFileAsItWas) {
  const fs::path folder = dir_ / "limited";
  fs::create_directories(folder);
  const std::string target = (folder / "detail.rpt").string();
  std::ofstream(target) << "an earlier report";
  Outcome run = Ledrix("report deposit-penalty '" + Example("late-filed-return.json") +
                           "' --raw -o '" + target + "'",
                       "ulimit -f 1;");
  EXPECT_EQ(run.status, 74) << run.err;
  EXPECT_NE(run.err.find("cannot write the report to " + target), std::string::npos) << run.err;
  std::stringstream kept;
  kept << std::ifstream(target).rdbuf();
  EXPECT_EQ(kept.str(), "an earlier report");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

// What the worked return still owes: 6,000.00 less the 200.00 credit and the
// 3,000.00 deposit by 15 June, 7,000.00 less 1,000.00 and 4,000.00 by 15 July,
// both past due at the compute date. --json gives the predictor's six rows
// with their running balance.
TEST_F(CommandTest, PredictOfTheWorkedReturn) {
  const std::string example = Example("late-filed-return.json");
  Outcome run = Ledrix("predict '" + example + "'");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(Data("predict-late-filed-return.txt")), std::string::npos) << run.out;

  run = Ledrix("predict '" + example + "' --json");
  const json result = json::parse(run.out);
  std::vector<std::string> kinds;
  std::vector<double> balances;
  for (const json& row : result["rows"]) {
    kinds.push_back(row["kind"]);
    balances.push_back(row["balance"]);
  }
  EXPECT_EQ(kinds, (std::vector<std::string>{"liability", "adjustment", "applied", "liability",
                                             "applied", "applied"}));
  EXPECT_EQ(balances, (std::vector<double>{6000, 5800, 2800, 9800, 8800, 4800}));
  EXPECT_EQ(result["due"][1], json({{"due_date", "2005-07-15"}, {"still_to_deposit", 2000.0}}));
}

// 1,000.00 of tax in each month of 2006 Q1, all paid by one deposit of
// 3,000.00 on 28 April. Under the IRS rule it splits over the three
// liabilities: 1 deposit, 3 other events, one piece per liability, three of
// the deposit; 72 and 44 days late at 10% and 11 days at 5%: 250.00, which
// is also the best ("***"). A second run appends under the one header; a
// statistics file in a missing folder is a warning, not a failure.
TEST_F(CommandTest, StatisticsOfADepositSplitOverThreeLiabilities) {
  const std::string path = Write("split.json", Head("941", "2006Q1", "monthly") + R"(,
      "company": {"name": "Split Deposit Co"}, "compute_date": "2006-06-30", "events": [
      {"type": "LIABILITY", "date": "2006-01-10", "amount": 1000},
      {"type": "LIABILITY", "date": "2006-02-10", "amount": 1000},
      {"type": "LIABILITY", "date": "2006-03-10", "amount": 1000},
      {"type": "DEPOSIT", "date": "2006-04-28", "amount": 3000}]})");
  const std::string stats = (dir_ / "runs.tsv").string();
  for (int run = 0; run < 2; ++run) {
    Outcome outcome = Ledrix("compute '" + path + "' --stats '" + stats + "'");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("Failure-to-deposit penalty           250.00"), std::string::npos);
  }
  std::ifstream in(stats);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 1u + 2 * 258);
  EXPECT_EQ(lines[0],
            "Company\tPass\tPen\tBest?\tDeps\tLiabs\tC/U's\tD/L Min\tD/L Max\tD/L Avg\tL/D "
            "Min\tL/D Max\tL/D Avg");
  const std::string irsRule =
      "Split Deposit Co\t000\t250.00\t***\t1\t3\t0\t1\t1\t1.000000\t3\t3\t3.000000";
  EXPECT_EQ(lines[1], irsRule);
  EXPECT_EQ(lines[259], irsRule);
  EXPECT_EQ(lines[258].rfind("Split Deposit Co\t401\t250.00\t***\t", 0), 0u) << lines[258];

  Outcome missing =
      Ledrix("compute '" + path + "' --stats '" + (dir_ / "none/runs.tsv").string() + "'");
  EXPECT_EQ(missing.status, 0);
  EXPECT_NE(missing.err.find("warning: the statistics could not be appended"), std::string::npos)
      << missing.err;
}

TEST_F(CommandTest, UsageErrors) {
  for (const char* args :
       {"", "compute", "frobnicate", "holidays 2160", "holidays", "holidays add Picnic",
        "holidays add Picnic 2025-02-30", "rates set 2025Q1",
        "compute x.json --allocation cheapest", "due 2005-02-30"}) {
    Outcome run = Ledrix(args);
    EXPECT_EQ(run.status, 64) << args;
    // One line naming the fault, then where to read more; not the whole help.
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
    EXPECT_NE(run.err.find("\nRun 'ledrix help"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "") << args;
  }
  const struct {
    const char* args;
    int status;
    const char* text;  ///< on standard output for status 0, else on standard error
  } cases[] = {
      {"", 64, "ledrix: a command is required\nRun 'ledrix help' for the commands.\n"},
      {"comput x.json", 64, "ledrix: unknown command \"comput\"; did you mean \"compute\"?\n"},
      {"compute", 64,
       "ledrix compute: RETURN is required\nRun 'ledrix help compute' for its usage.\n"},
      {"help nothing", 64, "ledrix help: unknown command \"nothing\""},
      {"--version", 0, "Ledrix Version 2012.2\n"},
      {"help", 0, "Usage: ledrix [OPTIONS] SUBCOMMAND"},
      {"help designation", 0, "Usage: ledrix designation [OPTIONS] RETURN"},
      {"--help", 0, "Usage: ledrix [OPTIONS] SUBCOMMAND"}};
  for (const auto& k : cases) {
    Outcome run = Ledrix(k.args);
    EXPECT_EQ(run.status, k.status) << k.args;
    EXPECT_NE((k.status ? run.err : run.out).find(k.text), std::string::npos) << k.args << "\n"
                                                                              << run.out << run.err;
  }
}

TEST_F(CommandTest, HolidaysAndDueDates) {
  const struct {
    const char* args;
    std::string out;
  } cases[] = {// New Year's Day 2005 was observed on Friday 31 December 2004.
               {"holidays 2005", Data("holidays-2005.txt")},
               {"holidays 1992",
                "The holiday calendar does not hold the legal holidays of 1992: `ledrix "
                "holidays add NAME DATE...` adds them.\n"},
               // Friday 14 January 2005: Monday 17th is MLK Day, Thursday 20th
               // Inauguration Day, so the third business day after it is Friday 21st.
               {"due 2005-01-14",
                "01-14-05 Fri\n"
                "  next business day ($100,000 next-day rule)  01-18-05 Tue\n"
                "  15th of the next month (monthly depositor)  02-15-05 Tue\n"
                "  semi-weekly depositor                       01-21-05 Fri\n"
                "  next Wednesday or Friday                    01-14-05 Fri\n"},
               // Years the built-in table does not reach.
               {"holidays 2030",
                "The holiday calendar does not hold the legal holidays of 2030: `ledrix "
                "holidays add-federal 2030` adds them.\n"}};
  for (const auto& k : cases) {
    Outcome run = Ledrix(k.args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, k.out);
  }
}

/// The warning of a run into 2025 before the calendar holds 2025's holidays.
const char* const kNo2025Holidays =
    "The holiday calendar does not hold the legal holidays of 2025, so due dates and days late "
    "there took no holiday into account. `ledrix holidays add-federal 2025` adds them.";

// Interest past the table's last rate says which quarters lacked one, in the
// interest section and as a warning naming the command that adds them; the
// tax unpaid into 2025 warns that the calendar lacks 2025's holidays. A
// return without a compute date runs to today, which LEDRIX_FIXED_NOW pins.
TEST_F(CommandTest, MissingRatesAndThePinnedClock) {
  const std::string path = Write("late-2024.json", Head("941", "2024Q2", "monthly") + R"(,
      "allocation": "irs", "events": [{"type": "LIABILITY", "date": "2024-06-14", "amount": 5000}]})");
  setenv("LEDRIX_FIXED_NOW", "2025-03-31T09:30", 1);
  Outcome run = Ledrix("compute '" + path + "'");
  const json result = Compute(path);
  unsetenv("LEDRIX_FIXED_NOW");
  ASSERT_EQ(run.status, 0) << run.err;
  const json warnings = {
      kNo2025Holidays,
      "The rate table has no rate for 2024 Q3 to 2025 Q1; the latest earlier rate, 8.00% (2024 "
      "Q2), was used. `ledrix rates add-known` adds the published rates through 2026 Q1."};
  EXPECT_EQ(run.err, "ledrix: warning: " + warnings[0].get<std::string>() +
                         "\nledrix: warning: " + warnings[1].get<std::string>() + "\n");
  EXPECT_EQ(result["warnings"], warnings);
  EXPECT_NE(run.out.find("penalty computed to 03-31-25 Mon"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("The rate table has no rate for 2024 Q3 to 2025 Q1; the latest earlier "
                         "rate, 8.00% (2024 Q2), was used."),
            std::string::npos)
      << run.out;
  EXPECT_EQ(result["compute_date"], "2025-03-31");
  EXPECT_EQ(result["interest"]["missing_rate_flag"], true);

  // Overpaid: no grand total, and the deposits in excess are named.
  const std::string overpaid = Write("overpaid.json", Return(R"([
      {"type": "LIABILITY", "date": "2005-01-14", "amount": 1000},
      {"type": "DEPOSIT", "date": "2005-02-15", "amount": 1250}])",
                                                             R"("compute_date": "2005-06-30", )"));
  Outcome over = Ledrix("compute '" + overpaid + "'");
  for (const char* line : {"Unpaid tax.........................:           0.00",
                           "Grand total........................:            N/A",
                           "Your deposits exceed your liabilities by .........: 250.00"}) {
    EXPECT_NE(over.out.find(line), std::string::npos) << line << "\n" << over.out;
  }
}

// ---- bringing the calendar and the rates up to date -------------------------------------

/// Points "AppData" at a folder of the test's own while it lives, so the
/// holiday and rate files it writes are seen by no other test.
class UserFolder {
 public:
  explicit UserFolder(const fs::path& folder) : folder_(folder), saved_(std::getenv("AppData")) {
    fs::create_directories(folder_);
    setenv("AppData", folder_.c_str(), 1);
  }
  ~UserFolder() {
    setenv("AppData", saved_.c_str(), 1);
    fs::remove_all(folder_);
  }
  fs::path File(const char* name) const { return folder_ / "Ordane Software" / "Ledrix" / name; }

 private:
  fs::path folder_;
  std::string saved_;
};

std::string ReadAll(const fs::path& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// A 2025 Q1 Form 941: January's $10,000.00 is due on 15 February, a
// Saturday; Monday the 17th is Presidents' Day, so the deposit of Tuesday
// 18 February is on time. Without 2025's holidays the 17th is the due date:
// one day late, 2% = 200.00. 2024 Q4's $10,000.00, unpaid from the return's
// due date (31 January 2025) to 31 December 2025, earns interest at 8%
// (2024 Q2's rate standing in), 759.43, until the published rates are added;
// then at 7% a quarter at a time, 661.44 (both worked by hand in
// interest_test.cpp, InterestAcross2025).
TEST_F(CommandTest, CalendarAndRatesBroughtUpToDate) {
  UserFolder folder(dir_ / "up-to-date");
  const std::string q1 = Write("2025q1.json", Head("941", "2025Q1", "monthly") + R"(,
      "allocation": "irs", "compute_date": "2025-03-31", "events": [
      {"type": "LIABILITY", "date": "2025-01-15", "amount": 10000},
      {"type": "DEPOSIT", "date": "2025-02-18", "amount": 10000}]})");
  const std::string q4 = Write("2024q4.json", Head("941", "2024Q4", "monthly") + R"(,
      "allocation": "irs", "compute_date": "2025-12-31",
      "events": [{"type": "LIABILITY", "date": "2024-12-15", "amount": 10000}]})");
  const std::string holidayWarning = kNo2025Holidays;

  // Friday 14 February 2025: the next business day is Monday the 17th until
  // Presidents' Day is known.
  Outcome due = Ledrix("due 2025-02-14");
  EXPECT_NE(due.out.find("next-day rule)  02-17-25 Mon"), std::string::npos) << due.out;
  EXPECT_EQ(due.err, "ledrix: warning: " + holidayWarning + "\n");
  json before = Compute(q1);
  ExpectPiece(Liabilities(before)[0]["deposits"][0], "2025-02-18", 10000.00, 1, 1, 200.00);
  EXPECT_EQ(before["warnings"], json({holidayWarning}));
  before = Compute(q4);
  EXPECT_NEAR(before["interest"]["total"].get<double>(), 759.43, 1e-9);
  EXPECT_EQ(before["warnings"],
            json({holidayWarning,
                  "The rate table has no rate for 2025 Q1 to 2025 Q4; the latest earlier rate, "
                  "8.00% (2024 Q2), was used. `ledrix rates add-known` adds the published rates "
                  "through 2026 Q1."}));

  // Three years to an entry; a later run joins the years already held and
  // writes the days the built-in table lacks only once.
  const std::string written = "Written to the holiday file " +
                              folder.File("LEDRIX93.HOL").string() +
                              ":\n  DC legal holidays 2025-2027              37 days\n";
  Outcome holidays = Ledrix("holidays add-federal 2025-2027");
  EXPECT_EQ(holidays.out, written + "  Days the built-in table lacks             3 days\n");
  holidays = Ledrix("holidays add-federal 2027-2028");
  EXPECT_EQ(holidays.out, written + "  DC legal holidays 2028                   11 days\n");
  Outcome rates = Ledrix("rates add-known");
  ASSERT_EQ(rates.status, 0) << rates.err;
  EXPECT_NE(rates.out.find("2025 Q1     7.00%  Rev. Rul. 2024-25\n"), std::string::npos);

  due = Ledrix("due 2025-02-14");
  EXPECT_NE(due.out.find("next-day rule)  02-18-25 Tue"), std::string::npos) << due.out;
  EXPECT_EQ(due.err, "");
  json after = Compute(q1);
  ExpectPiece(Liabilities(after)[0]["deposits"][0], "2025-02-18", 10000.00, 0, 0, 0.00);
  EXPECT_EQ(after["warnings"], json::array());
  after = Compute(q4);
  EXPECT_NEAR(after["interest"]["total"].get<double>(), 661.44, 1e-9);
  EXPECT_EQ(after["interest"]["chain"].size(), 5u);
  EXPECT_EQ(after["warnings"], json::array());
  EXPECT_EQ(Ledrix("compute '" + q4 + "'").err, "");

  const std::string listed = Ledrix("holidays 2025").out + Ledrix("rates").out;
  for (const char* line :
       {"01-09-25 Thu  National Day of Mourning        holiday file: Days the built-in table lacks",
        "01-20-25 Mon  MLK Birthday, Inauguration Day  holiday file: DC legal holidays 2025-2027",
        "2024 Q2     8.00%  built in", "2025 Q1     7.00%  rate file, Rev. Rul. 2024-25",
        "The last quarter with a known rate is 2026 Q1."}) {
    EXPECT_NE(listed.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << listed;
  }
}

// A change that does not fit, or that would write over a file the library
// cannot read, is refused with status 2 and writes nothing.
TEST_F(CommandTest, RefusalsWriteNothing) {
  UserFolder folder(dir_ / "refusals");
  for (const char* args :
       {"holidays add 'Company Picnic' 2025-06-06",
        "holidays add 'Plant Shutdown' 2025-07-07 2025-07-08", "holidays add Inventory 2025-12-30",
        "holidays add 'Founders Day' 3/3/25", "rates set 2025Q1 7"}) {
    Outcome run = Ledrix(args);
    ASSERT_EQ(run.status, 0) << args << "\n" << run.err;
  }
  const std::string held = R"(; the others hold "Company Picnic", "Plant Shutdown", )"
                           R"("Inventory", "Founders Day": `ledrix holidays remove NAME` frees )"
                           R"(one. Nothing was written.)";
  const struct {
    const char* args;
    std::string message;
  } refusals[] = {
      {"holidays add 'Staff Day' 2025-09-09",
       "\"Staff Day\" needs 1 of the holiday file's 4 user-defined entries, and 0 are free" + held},
      {"holidays add-federal 2025-2026",
       "The DC legal holidays of 2025 to 2026 and the days the built-in table lacks need 2 of "
       "the holiday file's 4 user-defined entries, and 0 are free" +
           held},
      {"holidays add-federal 2024", "add-federal writes the years 2025 to 2099"},
      {"holidays remove 'Staff Day'", "the holiday file has no entry named \"Staff Day\""},
      {"rates set 2024Q2 7", "2024 Q2 has the built-in rate 8.00%, which the rate file cannot"},
      {"rates set 2025Q2 7%", "\"7%\" is not a rate in percent a year"},
  };
  const std::string holidays = ReadAll(folder.File("LEDRIX93.HOL"));
  const std::string rates = ReadAll(folder.File("LEDRIX.TBL"));
  for (const auto& refusal : refusals) {
    Outcome run = Ledrix(refusal.args);
    EXPECT_EQ(run.status, 2) << refusal.args;
    EXPECT_EQ(run.out, "") << refusal.args;
    EXPECT_NE(run.err.find(refusal.message), std::string::npos) << run.err;
    EXPECT_EQ(ReadAll(folder.File("LEDRIX93.HOL")), holidays) << refusal.args;
    EXPECT_EQ(ReadAll(folder.File("LEDRIX.TBL")), rates) << refusal.args;
  }

  // A day joins the entry of its name even when every entry is taken, and
  // removing an entry frees it.
  EXPECT_EQ(Ledrix("holidays add 'Company Picnic' 2026-06-05").status, 0);
  EXPECT_EQ(Ledrix("holidays remove Inventory").status, 0);
  EXPECT_EQ(Ledrix("holidays 2026").out,
            "06-05-26 Fri  Company Picnic                  holiday file: Company Picnic\n"
            "The holiday calendar does not hold the legal holidays of 2026: `ledrix holidays "
            "add-federal 2026` adds them.\n");

  // A holiday file of no form the library reads stays as it is.
  std::ofstream(folder.File("LEDRIX93.HOL"), std::ios::binary) << std::string(100, 'x');
  Outcome unreadable = Ledrix("holidays add Picnic 2025-06-06");
  EXPECT_EQ(unreadable.status, 2);
  EXPECT_NE(unreadable.err.find("cannot be read"), std::string::npos) << unreadable.err;
  EXPECT_EQ(ReadAll(folder.File("LEDRIX93.HOL")), std::string(100, 'x'));
}

// The rates the project keeps go on from the built-in list (through 2024 Q2)
// a quarter at a time, each with its source; a fault in the data names its
// line.
TEST(KnownRates, FollowTheBuiltInListQuarterByQuarter) {
  using namespace ledrix::cli;
  const std::vector<KnownRate> known = KnownRates();
  ASSERT_FALSE(known.empty());
  EXPECT_EQ(QuarterText(known.front().quarter), "2024 Q3");
  for (size_t i = 0; i < known.size(); ++i) {
    if (i > 0) {
      EXPECT_EQ(known[i].quarter, known[i - 1].quarter + 1) << i;
    }
    EXPECT_GT(known[i].percent, 0.0) << i;
    EXPECT_FALSE(known[i].source.empty()) << i;
  }
  const std::pair<const char*, const char*> faults[] = {
      {"2025Q1,7,x\n", "line 1: header"},
      {"# rates\nquarter,rate,source\n2025Q1,7\n", "line 3: line: expected quarter,rate,source"},
      {"quarter,rate,source\n2025Q5,7,x\n", "line 2: quarter"},
      {"quarter,rate,source\n2025Q2,7,x\n2025Q1,7,y\n", "line 3: quarter: out of order"},
      {"quarter,rate,source\n2025Q1,-7,x\n", "line 2: rate"},
  };
  for (const auto& [text, message] : faults) {
    try {
      ParseKnownRates(text);
      ADD_FAILURE() << text;
    } catch (const InputError& error) {
      EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
    }
  }
}

}  // namespace
