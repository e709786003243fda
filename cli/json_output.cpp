#include "json_output.h"

#include <vector>

#include "designation.h"

namespace ledrix::cli {
namespace {

using nlohmann::ordered_json;

ordered_json DateJson(Date date) {
  return date.IsValid() ? ordered_json(IsoDate(date)) : ordered_json(nullptr);
}

ordered_json TypeJson(int type) {
  const char* name = EventTypeName(type);
  return name ? ordered_json(name) : ordered_json(type);
}

ordered_json DepositJson(const CDeposit& deposit) {
  return {
      {"date", DateJson(deposit.Date)},
      {"amount", deposit.Amount},
      {"balance", deposit.Balance},
      {"penalty", deposit.Penalty},
      {"event_index", deposit.EventIndex},
      {"deposit_number", deposit.DepositNumber},
      {"payment_number", deposit.PaymentNumber},
      {"days_late", deposit.DaysLate},
      {"event_type", TypeJson(deposit.EventType)},
      {"rate_index", deposit.RateIndex},
  };
}

ordered_json LiabilityJson(const CLiability& liability, int slot) {
  ordered_json events = ordered_json::array();
  for (int i = 0; i < liability.EventIndices.UsedCount(); ++i) {
    events.push_back(liability.EventIndices[i]);
  }
  ordered_json holidays = ordered_json::array();
  for (int i = 0; i < 4; ++i) {
    Date holiday = liability.SkippedHoliday(i);
    if (holiday.IsValid()) holidays.push_back(IsoDate(holiday));
  }
  ordered_json deposits = ordered_json::array();
  for (const CDeposit* deposit = liability.Next; deposit; deposit = deposit->Next) {
    deposits.push_back(DepositJson(*deposit));
  }
  return {
      {"slot", slot},
      {"due_date", DateJson(liability.Date)},
      {"liability_date", DateJson(liability.LiabilityDate)},
      {"amount", liability.Amount},
      {"balance", liability.Balance},
      {"penalty", liability.Penalty},
      {"rate_index", liability.RateIndex},
      {"semiweekly", liability.SemiWeekly},
      {"next_day", liability.NextDay != 0},
      {"applied98", liability.Applied98 != 0},
      {"catchup", liability.Catchup != 0},
      {"event_indices", events},
      {"unpaid_amount", liability.UnpaidAmount},
      {"unpaid_days", liability.UnpaidDays},
      {"unpaid_penalty", liability.UnpaidPenalty},
      {"skipped_holidays", holidays},
      {"deposits", deposits},
  };
}

ordered_json SlotsJson(CLiability* const* slots, int count) {
  ordered_json out = ordered_json::array();
  for (int slot = 0; slot < count; ++slot) {
    if (slots[slot]) out.push_back(LiabilityJson(*slots[slot], slot));
  }
  return out;
}

void AddPeriod(ordered_json& out, const ComputedReturn& result) {
  const CCompute& compute = *result.compute;
  const C941Doc& doc = *result.file->doc;
  out["form"] = result.file->settings.form->name;
  out["quarter"] = compute.Quarter;
  out["schedule"] = ScheduleName(doc.ComputeMethod);
  out["compute_date"] = DateJson(compute.ComputeDate);
  out["due_date"] = DateJson(compute.ReturnDueDate);
  out["allocation_method"] = compute.DepositAllocationMethod;
  out["irs_direction"] = compute.IRSDirection;
}

void AddTotals(ordered_json& out, const ComputedReturn& result) {
  const CCompute& compute = *result.compute;
  out["penalty_total"] = compute.PenaltyTotal;
  out["tax_balance"] = compute.TaxBalance;
  out["liability_total"] = compute.LiabilityTotal;
  out["deposit_total"] = compute.DepositTotal;
  out["excess_adjustments"] = result.file->doc->ExcessAdjustments != 0;
  out["had_100000_liability"] = compute.Had100000Liability != 0;
  out["additional_notice_date"] = DateJson(compute.AdditionalNoticeDate);
}

void AddMethodResults(ordered_json& out, const ComputedReturn& result) {
  ordered_json methods = ordered_json::array();
  for (int method = 0; method <= BestMethod; ++method) {
    const MethodResult& entry = result.compute->MethodResults[method];
    methods.push_back({{"penalty", entry.Penalty}, {"complexity", entry.Complexity}});
  }
  out["method_results"] = methods;
}

void AddDocumentTables(ordered_json& out, const ComputedReturn& result) {
  const C941Doc& doc = *result.file->doc;
  ordered_json daily = ordered_json::array();
  for (const auto& month : doc.DailyLiabilities) {
    daily.push_back(std::vector<double>(std::begin(month), std::end(month)));
  }
  out["daily_liabilities"] = daily;
  out["period_totals"] =
      std::vector<double>(std::begin(doc.PeriodTotals), std::end(doc.PeriodTotals));
}

void AddEvents(ordered_json& out, const ComputedReturn& result) {
  ordered_json events = ordered_json::array();
  const Event* list = result.compute->Events;
  for (int i = 0; list && i < MaxEvents && !list[i].EndsList(); ++i) {
    const Event& event = list[i];
    // Events are byte-packed: read each field by value, never by reference.
    const double amount = event.Amount;
    const double runningBalance = event.RunningBalance;
    const int liabilityNumber = event.LiabilityNumber;
    events.push_back({
        {"type", TypeJson(event.Type)},
        {"date", DateJson(event.Date)},
        {"amount", amount},
        {"running_balance", runningBalance},
        {"liability_number", liabilityNumber},
    });
  }
  out["events"] = events;
}

void AddLiabilities(ordered_json& out, const ComputedReturn& result) {
  const CCompute& compute = *result.compute;
  out["liabilities"] = SlotsJson(compute.Liabilities, MaxLiabilitySlots);
  out["catchups"] = SlotsJson(compute.CatchupLiabilities, MaxCatchupSlots);
}

// The run is byte-packed: its fields are read by value, never by reference.
ordered_json FTFMonthsJson(const CRunTimePenalties& run) {
  ordered_json rows = ordered_json::array();
  for (const FTFRow& row : run.FTFMonths) {
    const double penalty = row.Penalty, reduction = row.Reduction, net = row.Net;
    rows.push_back({{"penalty", penalty},
                    {"reduction", reduction},
                    {"net", net},
                    {"month_end", DateJson(row.MonthEnd)}});
  }
  return rows;
}

ordered_json FTPMonthsJson(const CRunTimePenalties& run) {
  ordered_json rows = ordered_json::array();
  for (const FTPRow& row : run.FTPMonths) {
    const double base = row.Base, penalty = row.Penalty, paid = row.Paid;
    const double noticeAmount = row.NoticeAmount;
    const int rateCode = row.RateCode, hasNotice = row.HasNotice;
    rows.push_back({{"base", base},
                    {"penalty", penalty},
                    {"paid", paid},
                    {"rate_code", rateCode},
                    {"month_end", DateJson(row.MonthEnd)},
                    {"has_notice", hasNotice != 0},
                    {"notice_amount", noticeAmount},
                    {"notice_date", DateJson(row.NoticeDate)}});
  }
  return rows;
}

void AddReturnPenalties(ordered_json& out, const ComputedReturn& result) {
  const CRunTimePenalties& run = *result.penalties;
  ordered_json additions = ordered_json::array();
  for (int i = 0; i < CRunTimePenalties::AdditionCount; ++i) {
    additions.push_back(
        {{"date", DateJson(run.A2additionDate(i))}, {"amount", run.A2additionAmount(i)}});
  }
  const double amountSubject = run.AmountSubject, ftfMaxRate = run.FTFMaxRate;
  const double ftfMinimum = run.FTFMinimum, ftpMaximum = run.FTPMaximum;
  const double ftpMinimum = run.FTPMinimum, ftf = run.FTFPenalty, ftp = run.FTPPenalty;
  const double additional = run.Additional5Penalty;
  const int monthCount = run.FTFMonthCount, withinTenDays = run.WithinTenDays;
  out["return_penalties"] = {
      {"return_due_date", DateJson(run.ReturnDueDate)},
      {"compute_date", DateJson(run.ComputeDate)},
      {"amount_subject", amountSubject},
      {"ftf_months", FTFMonthsJson(run)},
      {"ftf_month_count", monthCount},
      {"ftf_max_rate", ftfMaxRate},
      {"ftf_minimum", ftfMinimum},
      {"ftp_months", FTPMonthsJson(run)},
      {"a2_additions", additions},
      {"ftp_maximum", ftpMaximum},
      {"ftp_minimum", ftpMinimum},
      {"ftf_penalty", ftf},
      {"ftp_penalty", ftp},
      {"additional5_penalty", additional},
      {"within_ten_days", withinTenDays != 0},
  };
}

void AddInterest(ordered_json& out, const ComputedReturn& result) {
  ordered_json chain = ordered_json::array();
  for (const InterestEvent* link = result.interest.get(); link; link = link->Next) {
    const double principal = link->Principal, rate = link->Rate, interest = link->Interest;
    const double factor = link->Factor, balance = link->Balance;
    const int kind = link->Kind;
    chain.push_back({{"kind", kind},
                     {"start_date", DateJson(link->StartDate)},
                     {"end_date", DateJson(link->EndDate)},
                     {"principal", principal},
                     {"rate", rate},
                     {"interest", interest},
                     {"factor", factor},
                     {"balance", balance}});
  }
  out["interest"] = {{"chain", chain},
                     {"total", result.interest->TotalAllInterest()},
                     {"missing_rate_flag", result.compute->MissingRateFlag != 0}};
}

/// The version of the shape of this document: it moves on when a key changes
/// meaning or goes away; keys may be added without it.
constexpr int kSchemaVersion = 1;

/// What the return is: its period as the return file writes it, its company,
/// the version of the shape, and with the search the designation schedule.
void AddReturnIdentity(ordered_json& out, const ComputedReturn& result) {
  const ReturnSettings& settings = result.file->settings;
  const Company& company = result.file->doc->Company;
  out["schema_version"] = kSchemaVersion;
  out["period"] = PeriodCode(settings);
  out["company"] = {{"name", company.Name}, {"ein", company.EIN}};
  out["designation"] =
      HasDesignation(result) ? DesignationJson(MakeDesignation(result)) : ordered_json(nullptr);
}

}  // namespace

ordered_json ResultJson(const ComputedReturn& result) {
  ordered_json out = ordered_json::object();
  AddPeriod(out, result);
  AddTotals(out, result);
  AddMethodResults(out, result);
  AddDocumentTables(out, result);
  AddEvents(out, result);
  AddLiabilities(out, result);
  AddReturnPenalties(out, result);
  AddInterest(out, result);
  out["warnings"] = result.warnings;
  AddReturnIdentity(out, result);
  return out;
}

}  // namespace ledrix::cli
