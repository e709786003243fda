// Field substitution: the key table of DoReplacement. Each key's rule gives
// its value text; a few keys end the line there, and a few write a whole
// sub-report before the line they stand in.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "ledrix/amounts.h"
#include "ledrix/compute.h"
#include "ledrix/holiday.h"
#include "ledrix/host.h"
#include "ledrix/interest.h"
#include "ledrix/module.h"
#include "ledrix/platform.h"
#include "ledrix/reports.h"
#include "reports/report_text.h"
#include "reports/templates.h"

namespace ledrix {

namespace {

using reports::DateText;
using reports::Money;

constexpr int kFTPRowsUsed = 50;
constexpr const char* kInactive = "      Inactive";

/// What happens to the line once a key's value is known.
enum class LineEnd {
  Continue,     ///< the value is copied in and the next key is looked for
  AfterValue,   ///< the value and its terminator end the line at the marker
  KeepBlanked,  ///< the key stays blanked and the line ends as it stands
};

/// A sub-report written from inside a field, before its line.
enum class SubReport { None, FailureToPayWindow, FailureToPaySummary, OverpaymentNote };

struct FieldValue {
  std::string text;
  LineEnd end = LineEnd::Continue;
  SubReport report = SubReport::None;
};

struct FieldContext {
  CReportGenerator& report;
  CRunTimePenalties* pen;
  int which;
  InterestEvent* chain;
  CCompute* compute;
};

using FieldRule = FieldValue (*)(const FieldContext&);

struct Key {
  const char* name;
  FieldRule rule;
};

FieldValue Value(std::string text) {
  return FieldValue{std::move(text)};
}

FieldValue EndingValue(std::string text) {
  return FieldValue{std::move(text), LineEnd::AfterValue};
}

FieldValue Missing() {
  return FieldValue{};
}

// ---- what the keys read ------------------------------------------------------

const CPenalties* Inputs(const FieldContext& c) {
  return c.report.Penalties;
}

bool Fraudulent(const FieldContext& c) {
  return Inputs(c) && Inputs(c)->CC6651A1.Fraudulent;
}

bool Additional5Active(const FieldContext& c) {
  return Inputs(c) && Inputs(c)->CC6656.Active;
}

bool FailureToFileActive(const FieldContext& c) {
  return Inputs(c) && Inputs(c)->CC6651A1.Active;
}

bool FailureToPayActive(const FieldContext& c) {
  return Inputs(c) && Inputs(c)->CC6651A2.Active;
}

/// The tax unpaid on `date` by the generator's own compute object.
double Balance(const FieldContext& c, Date date) {
  return c.report.Compute->BalanceDue(date);
}

Date MovedToBusinessDay(Date date) {
  date.SkipToBusinessDay(Holiday::Shared().get());
  return date;
}

/// The first day of failure to pay: the extended payment date when it is a
/// valid date not before the return's due date, else the due date, moved to
/// a business day; a due date that does not move starts a day later.
Date FailureToPayStart(const FieldContext& c) {
  const Date due = c.pen->ReturnDueDate;
  const Date extended = Inputs(c)->CC6651A2.ExtendedPaymentDate;
  Date start = MovedToBusinessDay(extended.IsValid() && extended >= due ? extended : due);
  if (start == due) start = start + 1;
  return start;
}

/// The return penalties the totals add: failure to file and failure to pay,
/// each when its section is active.
double ActiveReturnPenalties(const FieldContext& c) {
  if (!c.pen) return 0.0;
  return (FailureToFileActive(c) ? c.pen->FTFPenalty : 0.0) +
         (FailureToPayActive(c) ? c.pen->FTPPenalty : 0.0);
}

double ChainInterest(const FieldContext& c) {
  return c.chain ? c.chain->TotalAllInterest() : 0.0;
}

std::string Count2(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%2d", n);
  return text;
}

const char* FormName(int form) {
  switch (form) {
    case 2:
      return "Federal 940 ";
    case 3:
      return "Federal 943 ";
    case 4:
      return "Federal 945 ";
    case 6:
      return "User defined";
    case 10:
      return "Federal 944 ";
    default:
      return "Federal 941 ";
  }
}

// ---- the rules, in key-table order -------------------------------------------

FieldValue Today(const FieldContext&) {
  Date today;
  today.SetToday();
  return Value(DateText(today));
}

FieldValue TimeOfDay(const FieldContext&) {
  int hour = 0, minute = 0;
  if (!LocalHourMinute(hour, minute)) return Missing();
  char text[16];
  std::snprintf(text, sizeof text, "%2.2d:%2.2d %s", hour % 12 == 0 ? 12 : hour % 12, minute,
                hour < 12 ? "AM" : "PM");
  return Value(text);
}

FieldValue AmountSubjectAtDue(const FieldContext& c) {
  if (!c.report.Compute) return Missing();
  return Value(Money(Balance(c, MovedToBusinessDay(c.report.DueDate)), 13));
}

FieldValue DateFiled(const FieldContext& c) {
  return Inputs(c) ? Value(DateText(Inputs(c)->CC6651A1.DateFiled)) : Missing();
}

FieldValue ReturnDue(const FieldContext& c) {
  return c.pen ? Value(DateText(c.pen->ReturnDueDate)) : Missing();
}

FieldValue PenaltyBeforeReductions(const FieldContext& c) {
  if (!c.pen) return Missing();
  double sum = 0.0;
  if (c.which == SectionFailureToFile) {
    for (const FTFRow& row : c.pen->FTFMonths) sum += row.Penalty;
  } else if (c.which == SectionFailureToPay) {
    for (int r = 0; r < kFTPRowsUsed && c.pen->FTPMonths[r].Penalty > 0.0; ++r) {
      sum += c.pen->FTPMonths[r].Penalty;
    }
  } else {
    return Missing();
  }
  return Value(Money(sum, 13));
}

FieldValue Reduction(const FieldContext& c) {
  if (!c.pen || c.which != SectionFailureToFile) return Missing();
  double sum = 0.0;
  for (const FTFRow& row : c.pen->FTFMonths) sum += row.Reduction;
  return Value(Money(sum, 13));
}

FieldValue SectionPenalty(const FieldContext& c) {
  if (!c.pen) return Missing();
  switch (c.which) {
    case SectionAdditional5:
      return Value(Money(c.pen->Additional5Penalty, 13));
    case SectionFailureToFile:
      return Value(Money(c.pen->FTFPenalty, 13));
    case SectionFailureToPay:
      return Value(Money(c.pen->FTPPenalty, 13));
    default:
      return Missing();
  }
}

FieldValue InputWindow(const FieldContext& c) {
  FieldValue value = EndingValue("");
  if (c.which == SectionFailureToPay && c.pen) value.report = SubReport::FailureToPayWindow;
  return value;
}

FieldValue MonthSummary(const FieldContext& c) {
  FieldValue value = EndingValue("");
  if (c.pen) value.report = SubReport::FailureToPaySummary;
  return value;
}

FieldValue MaximumPenalty(const FieldContext& c) {
  if (!c.pen) return Missing();
  if (c.which == SectionFailureToFile) {
    return Value(Money((Fraudulent(c) ? 0.75 : 0.25) * c.pen->AmountSubject, 13));
  }
  if (c.which == SectionFailureToPay) return Value(Money(0.25 * c.pen->AmountSubject, 13));
  return Missing();
}

FieldValue EmployerId(const FieldContext& c) {
  const ledrix::Company* company = c.report.Company;
  return company ? Value(std::string(company->EIN, strnlen(company->EIN, sizeof company->EIN)))
                 : Missing();
}

FieldValue EmployerName(const FieldContext& c) {
  constexpr std::size_t kNameShown = 49;
  const ledrix::Company* company = c.report.Company;
  if (!company) return Missing();
  return Value(std::string(company->Name, strnlen(company->Name, kNameShown)));
}

FieldValue MonthsElapsed(const FieldContext& c) {
  if (!c.pen || c.which != SectionFailureToFile) return Missing();
  return Value(Count2(c.pen->FTFMonthCount));
}

FieldValue MonthsCharged(const FieldContext& c) {
  if (!c.pen || c.which != SectionFailureToFile) return Missing();
  int months = 0;
  while (months < CRunTimePenalties::FTFRowCount && c.pen->FTFMonths[months].Penalty > 0.0) {
    ++months;
  }
  return Value(Count2(months));
}

FieldValue FailureToFileRate(const FieldContext& c) {
  return Value(Fraudulent(c) ? "15%" : " 5%");
}

FieldValue Additional5Amount(const FieldContext& c) {
  if (!Additional5Active(c)) return EndingValue(kInactive);
  return EndingValue(c.pen ? Money(c.pen->Additional5Penalty, 14) : "");
}

FieldValue AmountDueOnNotice(const FieldContext& c) {
  if (!c.report.Compute) return EndingValue("");
  return EndingValue(Money(Balance(c, c.report.DueDate), 14));
}

FieldValue NoticeKind(const FieldContext& c) {
  const CPenalties* x = Inputs(c);
  const bool jeopardy = x && x->CC6656.LastDayToPay == x->CC6651A2.JeopardyDate;
  return EndingValue(jeopardy ? "Jeopardy" : " Regular");
}

FieldValue NoticeDate(const FieldContext& c) {
  return EndingValue(Inputs(c) ? DateText(Inputs(c)->CC6656.NoticeDate) : "");
}

FieldValue InterestStart(const FieldContext& c) {
  return EndingValue(Inputs(c) ? DateText(Inputs(c)->CC6656.InterestStart) : "");
}

FieldValue LastDayToPay(const FieldContext& c) {
  return EndingValue(Inputs(c) ? DateText(Inputs(c)->CC6656.LastDayToPay) : "");
}

FieldValue StatusDate(const FieldContext& c) {
  return Value(DateText(c.report.StatusDate));
}

FieldValue PeriodEnd(const FieldContext& c) {
  return Value(DateText(Date::QuarterEnd(c.report.Quarter)));
}

FieldValue FailureToPayFrom(const FieldContext& c) {
  if (!Inputs(c) || !c.pen) return Missing();
  return Value(DateText(FailureToPayStart(c)));
}

FieldValue ExtendedDueDate(const FieldContext& c) {
  if (!Inputs(c)) return Missing();
  const Date extended = Inputs(c)->CC6651A1.ExtendedDueDate;
  if (extended.IsValid()) return Value(DateText(extended));
  return c.pen ? Value(DateText(c.pen->ReturnDueDate)) : Missing();
}

FieldValue UnpaidWhenFailureToPayStarts(const FieldContext& c) {
  if (!Inputs(c) || !c.pen || !c.report.Compute) return Missing();
  return Value(Money(Balance(c, FailureToPayStart(c)), 14));
}

/// The penalty-input keys the reports leave blank: the call ends with the
/// key blanked.
FieldValue LeftBlank(const FieldContext&) {
  return FieldValue{"", LineEnd::KeepBlanked};
}

FieldValue DepositorType(const FieldContext& c) {
  const int form = c.report.Form;
  if (form != 1 && form != 3 && form != 4 && form != 10) return Value("N/A");
  if (!c.report.Compute) return Missing();
  switch (c.report.Compute->ComputeMethod) {
    case 0:
      return Value("Monthly");
    case 2:
      return Value("First Time Semi-weekly");
    default:
      return Value("Semi-weekly");
  }
}

FieldValue DepositPenalty(const FieldContext& c) {
  if (!c.compute) return Missing();
  const double additional = Additional5Active(c) && c.pen ? c.pen->Additional5Penalty : 0.0;
  return Value(Money(c.compute->GetPenalty() - additional, 14));
}

FieldValue FailureToFileTotal(const FieldContext& c) {
  if (!FailureToFileActive(c)) return Value(kInactive);
  return c.pen ? Value(Money(c.pen->FTFPenalty, 14)) : Missing();
}

FieldValue FailureToPayTotal(const FieldContext& c) {
  if (!FailureToPayActive(c)) return Value(kInactive);
  return c.pen ? Value(Money(c.pen->FTPPenalty, 14)) : Missing();
}

FieldValue PenaltyTotal(const FieldContext& c) {
  if (!c.compute) return Missing();
  return Value(Money(c.compute->GetPenalty() + ActiveReturnPenalties(c), 14));
}

FieldValue InterestTotal(const FieldContext& c) {
  return c.chain ? Value(Money(ChainInterest(c), 14)) : Missing();
}

/// The unpaid tax at the compute date of `compute`, by the generator's own
/// compute object; false when either is missing.
bool UnpaidAtComputeDate(const FieldContext& c, double& balance) {
  if (!c.compute || !c.report.Compute) return false;
  balance = Balance(c, c.compute->ComputeDate);
  return true;
}

FieldValue GrandTotal(const FieldContext& c) {
  double balance = 0.0;
  if (!UnpaidAtComputeDate(c, balance)) return Missing();
  if (balance < -0.009) {
    char text[32] = "N/A";
    RightJustify(text, 14);
    return Value(text);
  }
  return Value(
      Money(balance + c.compute->GetPenalty() + ActiveReturnPenalties(c) + ChainInterest(c), 14));
}

FieldValue UnpaidTax(const FieldContext& c) {
  double balance = 0.0;
  if (!UnpaidAtComputeDate(c, balance)) return Missing();
  return Value(Money(std::max(0.0, balance), 14));
}

FieldValue FraudulentText(const FieldContext& c) {
  return Value(Fraudulent(c) ? "Yes" : "No");
}

FieldValue OverpaymentTest(const FieldContext& c) {
  FieldValue value{"", LineEnd::KeepBlanked};
  double balance = 0.0;
  if (UnpaidAtComputeDate(c, balance) && balance < -0.009) {
    value.report = SubReport::OverpaymentNote;
  }
  return value;
}

FieldValue Overpayment(const FieldContext& c) {
  double balance = 0.0;
  if (!UnpaidAtComputeDate(c, balance)) return Missing();
  return Value(Money(-balance, 14));
}

FieldValue ReturnForm(const FieldContext& c) {
  return Value(FormName(c.report.Form));
}

FieldValue LastDayToAvoidAdditional5(const FieldContext& c) {
  const CPenalties* x = Inputs(c);
  if (!x) return EndingValue("");
  const Date last =
      x->CC6656.AddTenDays == 1 ? x->CC6656.LastDayToPay + 10 : x->CC6656.LastDayToPay;
  return EndingValue(DateText(last));
}

FieldValue UserPeriodStart(const FieldContext& c) {
  return c.report.Document ? Value(DateText(c.report.Document->UserPeriodStart)) : Missing();
}

FieldValue UserPeriodEnd(const FieldContext& c) {
  return c.report.Document ? Value(DateText(c.report.Document->UserPeriodEnd)) : Missing();
}

FieldValue UserPeriodDue(const FieldContext& c) {
  return c.report.Document ? Value(DateText(c.report.Document->UserPeriodDueDate)) : Missing();
}

FieldValue LiabilityTotal(const FieldContext& c) {
  return c.compute ? Value(Money(c.compute->GetLiabilityTotal(), 14)) : Missing();
}

FieldValue DepositTotal(const FieldContext& c) {
  return c.compute ? Value(Money(c.compute->GetDepositTotal(), 14)) : Missing();
}

FieldValue CreditUsed(const FieldContext& c) {
  if (!c.compute) return Missing();
  return Value(Money(std::min(c.compute->GetDepositTotal(), c.compute->GetLiabilityTotal()), 14));
}

FieldValue Version(const FieldContext& c) {
  std::string version = c.compute ? c.compute->GetHeaderVersion() : std::string();
  if (version.empty()) version = VersionText();
  // Right-justified in 30 characters, of which it keeps the first 30.
  char text[40];
  std::snprintf(text, sizeof text, "%30.30s", version.c_str());
  return Value(text);
}

// The order is the order of replacement: a key replaced earlier may be
// overwritten by a longer value of a later key in the same line.
constexpr Key kKeys[] = {
    {"DATE", Today},
    {"TIME", TimeOfDay},
    {"BASE", AmountSubjectAtDue},
    {"DTE2", DateFiled},
    {"DTE0", ReturnDue},
    {"PBRD", PenaltyBeforeReductions},
    {"REDU", Reduction},
    {"REAL", SectionPenalty},
    {"WIND", InputWindow},
    {"ESUM", MonthSummary},
    {"PMAX", MaximumPenalty},
    {"IDNM", EmployerId},
    {"NAME", EmployerName},
    {"M", MonthsElapsed},
    {"m", MonthsCharged},
    {"R", FailureToFileRate},
    {"6656A", Additional5Amount},
    {"6656D", AmountDueOnNotice},
    {"66561", NoticeKind},
    {"66562", NoticeDate},
    {"66563", InterestStart},
    {"66564", LastDayToPay},
    {"DTE1", StatusDate},
    {"QTR", PeriodEnd},
    {"6651D", FailureToPayFrom},
    {"6651E", ExtendedDueDate},
    {"6651A", UnpaidWhenFailureToPayStarts},
    {"FORM", LeftBlank},
    {"PDRF", LeftBlank},
    {"PEFD", LeftBlank},
    {"PFRA", LeftBlank},
    {"P1ST", LeftBlank},
    {"P2ND", LeftBlank},
    {"P3RD", LeftBlank},
    {"P4TH", LeftBlank},
    {"PNOT", LeftBlank},
    {"PJEP", LeftBlank},
    {"P15P", LeftBlank},
    {"PEPD", LeftBlank},
    {"PA1", LeftBlank},
    {"PA2", LeftBlank},
    {"P56", LeftBlank},
    {"DEPT", DepositorType},
    {"6656B", DepositPenalty},
    {"6651TA1", FailureToFileTotal},
    {"6651TA2", FailureToPayTotal},
    {"TOTP", PenaltyTotal},
    {"TOTI", InterestTotal},
    {"TOTG", GrandTotal},
    {"TOTT", UnpaidTax},
    {"6651F", FraudulentText},
    {"TEST", OverpaymentTest},
    {"NEGB", Overpayment},
    {"CRTN", ReturnForm},
    {"6656C", LastDayToAvoidAdditional5},
    {"1QTR", UserPeriodStart},
    {"2QTR", UserPeriodEnd},
    {"3QTR", UserPeriodDue},
    {"TOTL", LiabilityTotal},
    {"TOTD", DepositTotal},
    {"TOTCRU", CreditUsed},
    {"VER", Version},
};

}  // namespace

void CReportGenerator::DoReplacement(char* line, CRunTimePenalties* pen, int which, int fd,
                                     InterestEvent* chain, CCompute* compute) {
  const FieldContext context{*this, pen, which, chain, compute};
  for (const Key& key : kKeys) {
    const std::string field = std::string(1, FieldMarker) + key.name;
    char* at = std::strstr(line, field.c_str());
    if (!at) continue;
    std::memset(at, ' ', field.size());
    const FieldValue value = key.rule(context);
    switch (value.report) {
      case SubReport::FailureToPayWindow:
        Generate6651a2Window(fd, pen->ReturnDueDate);
        break;
      case SubReport::FailureToPaySummary:
        Generate6651a2Summary(fd, pen);
        break;
      case SubReport::OverpaymentNote:
        WriteTemplate(fd, reports::kOverpaymentNote, pen, which, chain, compute);
        break;
      case SubReport::None:
        break;
    }
    const int column = static_cast<int>(at - line);
    switch (value.end) {
      case LineEnd::Continue:
        reports::Overwrite(line, column, value.text);
        break;
      case LineEnd::AfterValue:
        *at = '\0';
        reports::Overwrite(line, column, value.text);
        return;
      case LineEnd::KeepBlanked:
        return;
    }
  }
  TrimRight(line);
}

}  // namespace ledrix
