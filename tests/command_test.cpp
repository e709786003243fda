// The command as a practitioner meets it: what to designate to the IRS and
// what it saves, why a figure is what it is, the return from standard input,
// events from CSV as spreadsheets write them, the starter return of each form.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "csv_events.h"
#include "fields.h"
#include "support/command_run.h"

namespace {

using ledrix::testing::Outcome;
using nlohmann::json;

class PractitionerTest : public ledrix::testing::CommandRun {
 protected:
  /// A Form 941 return of 2005 Q1 with `events` (a JSON list) and `extra` fields.
  static std::string Return(const std::string& events, const std::string& schedule = "monthly",
                            const std::string& extra = "") {
    return R"({"form": "941", "period": "2005Q1", "schedule": ")" + schedule +
           R"(", "compute_date": "2005-06-30", "allocation": "irs", )" + extra + R"("events": )" +
           events + "}";
  }
};

// examples/semiweekly-late-deposits.json, worked by hand. The IRS rule costs
// 2,152.93 (cli_test). Alternative 0100 takes the deposits in date order,
// each to the earliest-due liability it pays on time, a catch-up first when it
// is due no later:
//   1/21 12,480.55: 12,230.94 is 98% of the 1/14 payroll (249.61 short, to the
//        catch-up due 2/16); 249.61 to 1/28.
//   2/4  12,615.20: 249.61 that catch-up; 12,299.00 is 98% of 2/11 (251.00
//        short, to the catch-up due 3/16); 66.59 to 2/25.
//   2/16 12,550.00: 12,381.76 brings 2/25 to 98% (254.05 short, to the
//        catch-up due 4/15); 168.24 of 2/11's shortfall, 82.76 of it left.
//   3/14 12,702.40: 82.76 that catch-up; 12,142.94 is 98% of 3/11; 476.70 to 3/25.
//   3/16 12,390.75: 12,178.40 pays 3/25 in full, 212.35 to 3/11 (35.46 short).
//   4/22 12,655.10: 12,365.59, the rest of 1/28, 79 days late at 10% =
//        1,236.56; 254.05 + 35.46 = 289.51 made up 7 days after 4/15, 5% = 14.48.
// 1,236.56 + 14.48 = 1,251.04: the designation saves 2,152.93 - 1,251.04 = 901.89.
TEST_F(PractitionerTest, DesignationOfTheSemiweeklyExample) {
  const std::string example = Example("semiweekly-late-deposits.json");
  Outcome csv = Ledrix("designation '" + example + "' --csv");
  EXPECT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out, Data("designation/semiweekly-late-deposits.csv"));

  const json designation = Compute(example)["designation"];
  EXPECT_EQ(designation["alternative"], "0100");
  EXPECT_NEAR(designation["irs_penalty"].get<double>(), 2152.93, 0.001);
  EXPECT_NEAR(designation["penalty"].get<double>(), 1251.04, 0.001);
  EXPECT_NEAR(designation["saving"].get<double>(), 901.89, 0.001);
  EXPECT_EQ(designation["deposits"].size(), 6u);

  Outcome text = Ledrix("compute '" + example + "'");
  EXPECT_NE(text.out.find("Alternative 0100 costs 1,251.04 against 2,152.93 by the IRS rule: the\n"
                          "  designation saves 901.89."),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("Deposit 2     02-04-05 Fri     12,615.20  01-14-05 Fri 01-21-05 Fri  "
                          "     249.61\n"
                          "                                          shortfall; make-up date "
                          "02-16-05 Wed\n"),
            std::string::npos);
  // The file asks for the IRS rule alone; the designation searches all the same.
  Outcome annual = Ledrix("designation '" + Example("form944-year.json") + "'");
  EXPECT_NE(annual.out.find("Alternative 040 costs 56.00 against 60.00"), std::string::npos)
      << annual.out;
}

// Where the IRS rule is the cheapest, the command says so and lists nothing.
TEST_F(PractitionerTest, NothingToDesignate) {
  const std::string example = Example("monthly-on-time.json");
  Outcome text = Ledrix("designation '" + example + "'");
  EXPECT_NE(text.out.find("The IRS rule is already the cheapest allocation (penalty 0.00): there "
                          "is nothing to designate."),
            std::string::npos)
      << text.out;
  Outcome csv = Ledrix("designation '" + example + "' --csv");
  EXPECT_EQ(csv.out,
            "deposit_date,deposit,deposit_amount,liability_date,due_date,amount,"
            "make_up_date\n");
  EXPECT_NE(csv.err.find("nothing to designate"), std::string::npos);
  EXPECT_TRUE(Compute(example, "--allocation best")["designation"]["irs_rule_cheapest"]);
}

// Each reason the summary gives where a figure departs from what the days
// late would give.
TEST_F(PractitionerTest, ReasonsInTheSummary) {
  const struct {
    std::string file;
    const char* args;
    const char* text;
  } cases[] = {
      // February's deposit 5 days late: the liabilities due in the first
      // quarter, January's and February's 1,150.00 each, stay under 2,500.00.
      {Example("form944-year.json"), "",
       "    Deposit 2      03-20-06 Mon       1,150.00  5 days late     0%         0.00\n"
       "      0%: the liabilities due in 2006 Q1 (2,300.00) stay under Form 944's\n"
       "      2,500.00 de minimis amount and were paid by 04-30-06 Sun\n"},
      // 1,000.00 due 15 February, deposited 10 days late, but all of it paid
      // before the return's due date and under the 2,500.00 no-file limit.
      {Write("no-file.json", Return(R"([{"type": "LIABILITY", "date": "2005-01-14", "amount": 1000},
                                        {"type": "DEPOSIT", "date": "2005-02-25", "amount": 1000}])")),
       "",
       "10 days late    0%         0.00\n"
       "      0%: the return's tax (1,000.00) is under the 2,500.00 no-file limit and\n"},
      {Example("safe-harbor-98.json"), "",
       "      short 550.00, within 2% or $100 and deposited on time: moved to the\n"
       "      catch-up due 05-01-06 Mon (98% / $100 rule)\n"},
      {Example("safe-harbor-98.json"), "",
       "      the shortfall of 01-27-06 Fri: no penalty when made up by 05-01-06 Mon\n"},
      // A semi-weekly liability of 80.00 goes whole to the catch-up of its month.
      {Write("hundred.json", Return(R"([{"type": "LIABILITY", "date": "2005-01-14", "amount": 80},
                        {"type": "LIABILITY", "date": "2005-01-28", "amount": 5000},
                        {"type": "DEPOSIT", "date": "2005-02-15", "amount": 5000},
                        {"type": "DEPOSIT", "date": "2005-04-29", "amount": 80}])",
                                    "semiweekly")),
       "", "      $100 or less: moved whole to the catch-up due 02-16-05 Wed ($100 rule)\n"},
      {Example("late-filed-return.json"), "",
       "    Non-FTD Pay 1  07-05-05 Tue       1,000.00  on time        10%       100.00\n"
       "      10%: paid directly to the IRS or with the return, not deposited\n"},
      {Example("late-filed-return.json"), "",
       "      15%: unpaid after 10-13-05 Thu, the last day to pay in the IRS notice\n"},
      {Write("notice.json",
             Return(R"([{"type": "LIABILITY", "date": "2005-01-14", "amount": 1000},
                        {"type": "DEPOSIT", "date": "2005-06-01", "amount": 1000}])",
                    "monthly",
                    R"("penalties": {"deposit_notice": {"last_day_to_pay": "2005-05-20"}}, )")),
       "", "      15%: paid after 05-20-05 Fri, the last day to pay in the IRS notice\n"},
      {Example("semiweekly-late-deposits.json"), "",
       "(ALTERNATIVE PAYMENT ALLOCATION 0100)\n"
       "  deposits in date order, each to the earliest-due open liability it pays on\n"
       "  time, else 1-5 days late, else 6-15 days late; the earliest open catch-up (a\n"
       "  98% / $100 shortfall) goes first when it is due no later, or the deposit is as\n"
       "  timely for it\n"},
  };
  for (const auto& k : cases) {
    Outcome run = Ledrix("compute '" + k.file + "' " + k.args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(k.text), std::string::npos) << k.text << "\n" << run.out;
    EXPECT_EQ(run.out.find("Ledrix Version"), std::string::npos);  // no banner in a result
  }
}

// "-" reads the return, or the events, from standard input; messages name it.
TEST_F(PractitionerTest, StandardInput) {
  const std::string example = Example("monthly-on-time.json");
  Outcome piped = Ledrix("compute - --json", "cat '" + example + "' |");
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(json::parse(piped.out), Compute(example));

  Outcome bad = Ledrix("compute -", "echo '{\"form\": 941}' |");
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(bad.err, "ledrix: standard input: period: missing\n");

  const std::string head = Write("head.json", Return("[]"));
  Outcome events = Ledrix("compute '" + head + "' --events - --json",
                          "printf 'date,type,amount\\n2005-01-14,LIABILITY,100\\n' |");
  EXPECT_NEAR(json::parse(events.out)["liability_total"].get<double>(), 100.0, 0.001) << events.err;
  EXPECT_EQ(Ledrix("compute - --events -", "true |").status, 2);
}

// A CSV file as a spreadsheet saves it: a byte-order mark, CRLF, quoted
// header names in another order, amounts with a dollar sign and thousands
// separators inside quotes, blanks around fields, a blank line at the end.
TEST_F(PractitionerTest, EventsFromASpreadsheet) {
  const std::string csv = Write("sheet.csv",
                                "\xEF\xBB\xBF\"Amount\",\"Date\",\"Type\"\r\n"
                                "\"$12,480.55\",2005-01-14,LIABILITY\r\n"
                                "\"1,000.00\" , 2005-01-28 ,\"liability\"\r\n"
                                "13480.55,2005-02-15,\"DEPOSIT\"\r\n"
                                "\r\n");
  const json result = Compute(Write("sheet.json", Return("[]")), "--events '" + csv + "'");
  EXPECT_NEAR(result["liability_total"].get<double>(), 13480.55, 0.001);
  EXPECT_NEAR(result["deposit_total"].get<double>(), 13480.55, 0.001);
  EXPECT_EQ(result["penalty_total"], 0.0);

  const struct {
    const char* text;
    double amount;  ///< NaN: not an amount
  } amounts[] = {{"1,000.00", 1000.0},
                 {"$1,234,567.89", 1234567.89},
                 {"-$5", -5.0},
                 {"0.5", 0.5},
                 {".25", 0.25},
                 {"12", 12.0},
                 {"1,00.00", NAN},
                 {"1000,000", NAN},
                 {",100", NAN},
                 {"12.3.4", NAN},
                 {"", NAN},
                 {"$", NAN},
                 {"1e5", NAN},
                 {"USD 5", NAN},
                 {"5-", NAN}};
  for (const auto& k : amounts) {
    double amount = 0.0;
    const bool read = ledrix::cli::ReadMoneyText(k.text, amount);
    EXPECT_EQ(read, !std::isnan(k.amount)) << k.text;
    if (read) {
      EXPECT_DOUBLE_EQ(amount, k.amount) << k.text;
    }
  }
}

// The starter return of each form reads as it stands, with every penalty
// section switched off, and computes.
TEST_F(PractitionerTest, StarterReturnOfEachForm) {
  for (const char* form : {"941", "944", "943", "945", "940"}) {
    Outcome starter = Ledrix(std::string("template ") + form);
    EXPECT_EQ(starter.status, 0) << form;
    for (const char* key : {"\"levy_notice_date\"", "\"user_period\"", "\"deferred_amount\""}) {
      EXPECT_NE(starter.out.find(key), std::string::npos) << form << " " << key;
    }
    Outcome run = Ledrix("compute - --json",
                         "'" + std::string(LEDRIX_CLI_PATH) + "' template " + form + " |");
    ASSERT_EQ(run.status, 0) << form << ": " << run.err;
    const json result = json::parse(run.out);
    EXPECT_EQ(result["form"], form);
    EXPECT_EQ(result["company"]["name"], "Example Company Inc");
  }
}

// A misspelt name is answered with the name it resembles; a name too far
// from any is not.
TEST_F(PractitionerTest, NearestNames) {
  const std::vector<std::string> keys = {"compute_date", "due_date", "deferred_amount", "events"};
  const struct {
    const char* text;
    const char* nearest;
  } cases[] = {{"compte_date", "compute_date"}, {"Due_Date", "due_date"}, {"event", "events"},
               {"deferred", "deferred_amount"}, {"penalties", ""},        {"x", ""}};
  for (const auto& k : cases)
    EXPECT_EQ(ledrix::cli::NearestName(k.text, keys), k.nearest) << k.text;
}

}  // namespace
