#include "support/generated_return_files.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace ledrix::testing {
namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

struct FormChoice {
  const char* name;
  bool annual;
};
constexpr FormChoice kForms[] = {
    {"941", false}, {"944", true}, {"943", true}, {"945", true}, {"940", true}};

std::string Iso(sys_days day) {
  const year_month_day ymd{day};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return text;
}

void AppendEvent(std::string& text, const char* type, sys_days day, double amount) {
  char line[96];
  std::snprintf(line, sizeof line, "%s\n    {\"type\": \"%s\", \"date\": \"%s\", \"amount\": %.2f}",
                text.back() == '[' ? "" : ",", type, Iso(day).c_str(), amount);
  text += line;
}

}  // namespace

std::string GenerateReturnFile(std::mt19937& rng, int number) {
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  auto cents = [&](int low, int high) { return (low * 100 + pick((high - low) * 100)) / 100.0; };
  const FormChoice& form = kForms[number % 5];
  const int year = 2001 + pick(10);
  const int quarter = pick(4);
  const sys_days start = form.annual ? sys_days(std::chrono::year{year} / 1 / 1)
                                     : sys_days(std::chrono::year{year} / (1 + 3 * quarter) / 1);
  const sys_days end =
      form.annual ? sys_days(std::chrono::year{year} / 12 / 31)
                  : sys_days(std::chrono::year{year} / (3 + 3 * quarter) / std::chrono::last);
  // The return is due at the end of the month after its period.
  const sys_days due = sys_days(year_month_day{end + days{31}}.year() /
                                year_month_day{end + days{31}}.month() / std::chrono::last);
  const std::string period = form.annual ? "" : "Q" + std::to_string(quarter + 1);
  const int payInterval = form.annual ? 14 + 14 * pick(2) : 7 * (1 + pick(2));

  char head[512];
  std::snprintf(head, sizeof head,
                "{\n  \"form\": \"%s\",\n  \"period\": \"%d%s\",\n  \"schedule\": \"%s\",\n"
                "  \"company\": {\"name\": \"Generated Employer %d\", \"ein\": \"%02d-%07d\"},\n"
                "  \"compute_date\": \"%s\",\n  \"allocation\": \"%s\",\n",
                form.name, year, period.c_str(), pick(2) ? "semiweekly" : "monthly", number,
                10 + number % 90, number, Iso(due + days{30 + pick(400)}).c_str(),
                pick(4) ? "best" : "irs");
  std::string text = head;
  if (pick(4) == 0) {
    text += "  \"penalties\": {\"failure_to_file\": {\"date_filed\": \"" +
            Iso(due + days{pick(120)}) + "\"}, \"failure_to_pay\": {\"notices\": [\"" +
            Iso(due + days{20 + pick(60)}) + "\"]}},\n";
  }
  text += "  \"events\": [";
  for (sys_days payday = start + days{pick(payInterval)}; payday <= end;
       payday += days{payInterval}) {
    // Now and then a payroll large enough for the next-day rule.
    const double tax = pick(40) == 0 ? cents(100000, 140000) : cents(300, 30000);
    AppendEvent(text, "LIABILITY", payday, tax);
    switch (pick(8)) {
      case 0:  // not deposited
        break;
      case 1:  // deposited short, by up to $500 and at most half the tax
        AppendEvent(text, "DEPOSIT", payday + days{3 + pick(30)},
                    tax - std::min(cents(1, 500), std::round(tax * 50.0) / 100.0));
        break;
      case 2:  // late
        AppendEvent(text, "DEPOSIT", payday + days{10 + pick(40)}, tax);
        break;
      default:  // on time
        AppendEvent(text, "DEPOSIT", payday + days{1 + pick(5)}, tax);
    }
  }
  text += "\n  ]\n}\n";
  return text;
}

}  // namespace ledrix::testing
