#include "support/generated_returns.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "support/returns.h"

namespace ledrix::testing {
namespace {

constexpr int kForm941 = 1;
constexpr int kForm944 = 10;

void Append(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& text, const char* format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  text += line;
}

void AppendPiece(std::string& text, const CDeposit& d) {
  Append(text, " %u %a %a %a %d %d %d %d %d %d", d.Date.Serial, d.Amount, d.Balance, d.Penalty,
         d.EventIndex, d.DepositNumber, d.PaymentNumber, d.DaysLate, d.EventType, d.RateIndex);
}

void AppendLiability(std::string& text, const char* kind, int slot, const CLiability* l) {
  if (l == nullptr) return;
  Append(text, "%s %d:", kind, slot);
  AppendPiece(text, *l);
  Append(text, " | %d %a %d %a %d %d %d %u |", l->SemiWeekly, l->UnpaidPenalty, l->UnpaidDays,
         l->UnpaidAmount, l->Applied98, l->Catchup, l->NextDay, l->LiabilityDate.Serial);
  for (int i = 0; i < l->EventIndices.GetSize(); ++i) Append(text, " %d", l->EventIndices[i]);
  for (const Date holiday : l->SkippedHolidays) Append(text, " h%u", holiday.Serial);
  text += "\n";
  for (const CDeposit* piece = l->Next; piece != nullptr; piece = piece->Next) {
    text += "  piece";
    AppendPiece(text, *piece);
    text += "\n";
  }
}

}  // namespace

GeneratedReturn GenerateReturn(std::mt19937& rng) {
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  auto money = [&](double low, double high) {
    return std::round(std::uniform_real_distribution<double>(low, high)(rng) * 100.0) / 100.0;
  };
  const bool annual = pick(4) == 0;
  const int quarter = annual ? 4 * (25 + pick(6)) : 84 + pick(40);
  GeneratedReturn r{MakeDoc(annual ? kForm944 : kForm941, quarter, pick(3)), Date()};
  C941Doc& doc = *r.doc;
  auto put = [&](int type, Date date, double amount) { AddEvent(doc.Events, type, date, amount); };
  const Date start =
      annual ? Date::StartOfYear(Date::QuarterStart(quarter)) : Date::QuarterStart(quarter);
  const int days = annual ? 365 : 90;
  const int paydays = annual ? 10 + pick(50) : 2 + pick(25);
  const int step = std::max(1, days / paydays);
  for (int p = 0; p < paydays; ++p) {
    const Date payday = start + std::min(days - 1, p * step + pick(step));
    const int size = pick(40);
    const double tax = size == 0   ? money(20.0, 100.0)
                       : size == 1 ? money(60000.0, 130000.0)
                                   : money(300.0, 25000.0);
    put(LIABILITY, payday, tax);
    const double shares[] = {1.0, 1.0, 1.0, 0.99, 0.97, 0.6, 0.0};
    const double share = shares[pick(7)];
    if (share == 0.0) continue;
    const int lateness = pick(3) == 0 ? pick(30) : 1 + pick(6);
    const int type = pick(12) == 0 ? PAYMENT : DEPOSIT;
    const double paid = std::round(tax * share * 100.0) / 100.0;
    if (pick(5) == 0) {  // in two deposits
      const double first = std::round(paid * 0.4 * 100.0) / 100.0;
      put(type, payday + lateness, first);
      put(DEPOSIT, payday + lateness + 1 + pick(10), paid - first);
    } else {
      put(type, payday + lateness, paid);
    }
  }
  for (int extra = pick(3); extra > 0; --extra)
    put(DEPOSIT, start + pick(days + 30), money(5, 3000));
  if (pick(5) == 0) put(ADJ_SS, start + pick(days), -money(10.0, 2000.0));
  if (pick(8) == 0) put(COBRA_PMT, start + pick(days), money(10.0, 500.0));
  if (pick(10) == 0) doc.DeferredAmount = money(100.0, 3000.0);
  r.computeDate = start + days + 20 + pick(300);
  if (pick(5) == 0) {
    doc.Penalties.CC6656.Active = 1;
    doc.Penalties.CC6656.LastDayToPay = start + days + pick(120);
  }
  return r;
}

void GeneratedReturn::Compute(C941Compute& compute, int flags) const {
  if (doc->Form == kForm944) compute.Set944();
  compute.SetComputeDate(computeDate);
  compute.SetDueDate(doc->Form == kForm944 ? doc->Quarter + 3
                                           : doc->Quarter);  // a year: 31 January
  compute.SetPenalties(doc->Penalties);
  compute.BasicCompute(doc.get(), flags, 0);
}

std::string ResultText(const CCompute& c) {
  std::string text;
  Append(text, "method %d penalty %a direction %d excess %d had100000 %d start %u\n",
         c.DepositAllocationMethod, c.PenaltyTotal, c.IRSDirection, c.ExcessAdjustmentsFlag,
         c.Had100000Liability, c.CumulateStartDate.Serial);
  for (int m = 0; m < MethodResultCount; ++m) {
    Append(text, "result %d %a %d\n", m, c.MethodResults[m].Penalty, c.MethodResults[m].Complexity);
  }
  for (int j = 0; j < MaxLiabilitySlots; ++j)
    AppendLiability(text, "liability", j, c.Liabilities[j]);
  for (int k = 0; k < MaxCatchupSlots; ++k) {
    AppendLiability(text, "catchup", k, c.CatchupLiabilities[k]);
  }
  return text;
}

}  // namespace ledrix::testing
