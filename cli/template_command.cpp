#include "template_command.h"

namespace ledrix::cli {
namespace {

/// The starter file; {FORM}, {PERIOD}, {PERIOD_TEXT}, {DUE} and {COMPUTE} are
/// put in for the form.
constexpr const char* kStarter =
    R"(// A starter return for Form {FORM}: replace the values, delete what does not
// apply, and run  ledrix compute THIS-FILE.json
// Every field is described in docs/return-file.md. Comments like these are
// allowed; a key the return does not know is an error.
{
  "description": "Notes of your own; nothing reads them.",
  "form": "{FORM}",
  "period": "{PERIOD}",                 // {PERIOD_TEXT}
  "schedule": "monthly",              // monthly, semiweekly or first-time-semiweekly
  "company": {"name": "Example Company Inc", "ein": "12-3456789"},
  "compute_date": "{COMPUTE}",        // penalties and interest run to this day; absent: today
  "due_date": null,                   // the return's due date; null: the form's own, {DUE}
  "allocation": "best",               // best (the IRS rule and 256 alternatives), irs, irs-old, irs-new
  "deferred_amount": 0,               // deferred employer social security tax of the period
  "limit_to_compute_date": false,     // true: the IRS old method leaves deposits after the compute date aside
  "penalties": {
    "deposit_notice": {               // the additional 5% after an IRS deposit notice
      "active": false, "notice_date": null, "last_day_to_pay": null,
      "add_ten_days": false, "interest_start": null
    },
    "failure_to_file": {              // IRC 6651(a)(1)
      "active": false, "date_filed": null, "extended_due_date": null, "fraudulent": false
    },
    "failure_to_pay": {               // IRC 6651(a)(2)
      "active": false, "extended_payment_date": null,
      "notices": [],                  // up to five late-payment notice dates
      "levy_notice_date": null, "jeopardy_date": null
    }
  },
  "report": {                         // how `ledrix report` lays out its pages
    "status_date": null, "lines_per_page": 60, "first_page": 0, "no_page_heads": false,
    "header_version": null, "user_period": {"start": null, "end": null, "due": null},
    "title": null, "margin": []
  },
  "events": [                         // in any order; type by name or code
    {"type": "LIABILITY", "date": "2024-01-12", "amount": 5000.00},
    {"type": "ADJUST",    "date": "2024-01-12", "amount": -100.00, "description": "a credit"},
    {"type": "DEPOSIT",   "date": "2024-02-15", "amount": 4900.00}
  ]
}
)";

void Put(std::string& text, const std::string& slot, const std::string& value) {
  for (size_t at = text.find(slot); at != std::string::npos; at = text.find(slot, at)) {
    text.replace(at, slot.size(), value);
    at += value.size();
  }
}

}  // namespace

std::string StarterReturn(const FormInfo& form) {
  std::string text = kStarter;
  Put(text, "{FORM}", form.name);
  if (form.annual) {
    Put(text, "{PERIOD_TEXT}", "the year, YYYY");
    Put(text, "{PERIOD}", "2024");
    Put(text, "{DUE}", "2025-01-31");
    Put(text, "{COMPUTE}", "2025-03-31");
  } else {
    Put(text, "{PERIOD_TEXT}", "the quarter, YYYYQn");
    Put(text, "{PERIOD}", "2024Q1");
    Put(text, "{DUE}", "2024-04-30");
    Put(text, "{COMPUTE}", "2024-06-28");
  }
  return text;
}

}  // namespace ledrix::cli
