#include "return_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

namespace ledrix::cli {
namespace {

using nlohmann::json;

/// Follows where the parser is, so that an error reported without a place (a
/// number too large for a double) still names the event and the field.
class ParsePosition {
 public:
  bool Track(json::parse_event_t event, const json& parsed) {
    switch (event) {
      case json::parse_event_t::object_start:
        frames_.push_back({false, 0, {}});
        break;
      case json::parse_event_t::array_start:
        frames_.push_back({true, 0, {}});
        break;
      case json::parse_event_t::key:
        if (!frames_.empty()) frames_.back().key = parsed.get<std::string>();
        break;
      case json::parse_event_t::object_end:
      case json::parse_event_t::array_end:
        if (!frames_.empty()) frames_.pop_back();
        CountElement();
        break;
      case json::parse_event_t::value:
        CountElement();
        break;
    }
    return true;
  }

  /// "event 3: amount", or the path of the field ("penalties.failure_to_pay").
  std::string Describe() const {
    std::string event, field;
    for (size_t i = 0; i < frames_.size(); ++i) {
      const Frame& frame = frames_[i];
      if (frame.array && i == 1 && frames_[0].key == "events") {
        event = "event " + std::to_string(frame.count + 1);
        field.clear();
      } else if (frame.array) {
        field += "[" + std::to_string(frame.count) + "]";
      } else {
        if (!field.empty()) field += ".";
        field += frame.key;
      }
    }
    return event.empty() ? field : event + ": " + field;
  }

 private:
  struct Frame {
    bool array;
    int count;  ///< elements of an array read so far
    std::string key;
  };

  void CountElement() {
    if (!frames_.empty() && frames_.back().array) ++frames_.back().count;
  }

  std::vector<Frame> frames_;
};

json ParseJson(const std::string& text, const std::string& path) {
  ParsePosition position;
  json::parser_callback_t track = [&position](int, json::parse_event_t event, json& parsed) {
    return position.Track(event, parsed);
  };
  try {
    return json::parse(text, track, /*allow_exceptions=*/true, /*ignore_comments=*/true);
  } catch (const json::out_of_range&) {
    // The only range error of the parser: a number beyond a double's range.
    throw InputError(path + ": " + position.Describe() + ": not a finite number");
  } catch (const json::exception& error) {
    std::string message = error.what();
    size_t tag = message.find("] ");
    if (tag != std::string::npos) message.erase(0, tag + 2);
    throw InputError(path + ": not a JSON document: " + message);
  }
}

std::string FieldName(const std::string& prefix, const std::string& key) {
  return prefix.empty() ? key : prefix + "." + key;
}

/// The member `key`, or nullptr when it is absent or null.
const json* Find(const json& object, const char* key) {
  auto it = object.find(key);
  return it == object.end() || it->is_null() ? nullptr : &*it;
}

const json& Required(const json& object, const char* key, const std::string& where,
                     const std::string& prefix) {
  const json* value = Find(object, key);
  if (!value) Fail(where, FieldName(prefix, key), "missing");
  return *value;
}

/// Notes a return may carry on itself and on each event; nothing reads them.
constexpr const char* kNoteKey = "description";

/// Every key of `object` must be one of `known` (or the note key where
/// `notes` allows it): a misspelt key would otherwise leave its field at the
/// default without a word. The message names the key it most resembles.
void CheckKeys(const json& object, std::initializer_list<const char*> known,
               const std::string& where, const std::string& prefix, bool notes = false) {
  std::vector<std::string> names(known.begin(), known.end());
  if (notes) names.emplace_back(kNoteKey);
  for (const auto& item : object.items()) {
    if (std::find(names.begin(), names.end(), item.key()) != names.end()) continue;
    std::string hint = DidYouMean(item.key(), names);
    if (hint.empty()) {
      hint = " (expected ";
      for (size_t i = 0; i < names.size(); ++i) hint += (i ? ", " : "") + names[i];
      hint += ")";
    }
    Fail(where, FieldName(prefix, item.key()), "unknown key" + hint);
  }
}

/// A text, or a whole number taken as its digits (a form or a type code).
std::string TextOrCode(const json& value, const std::string& where, const std::string& field) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_integer()) return value.dump();
  Fail(where, field, std::string("must be a text or a whole number, found a ") + value.type_name());
}

std::string Text(const json& value, const std::string& where, const std::string& field) {
  if (!value.is_string())
    Fail(where, field, std::string("must be a text, found a ") + value.type_name());
  return value.get<std::string>();
}

Date DateValue(const json& value, const std::string& where, const std::string& field) {
  if (!value.is_string()) {
    Fail(where, field, std::string("must be a date YYYY-MM-DD, found a ") + value.type_name());
  }
  const std::string text = value.get<std::string>();
  Date date;
  DateCheck check = ReadIsoDate(text, date);
  if (check != DateCheck::Ok) Fail(where, field, DateProblem(check, text));
  return date;
}

Date OptionalDate(const json& object, const char* key, const std::string& where,
                  const std::string& prefix) {
  const json* value = Find(object, key);
  return value ? DateValue(*value, where, FieldName(prefix, key)) : Date();
}

bool OptionalFlag(const json& object, const char* key, bool absent, const std::string& where,
                  const std::string& prefix) {
  const json* value = Find(object, key);
  if (!value) return absent;
  if (!value->is_boolean()) {
    Fail(where, FieldName(prefix, key),
         std::string("must be true or false, found a ") + value->type_name());
  }
  return value->get<bool>();
}

double AmountValue(const json& value, const std::string& where, const std::string& field) {
  if (!value.is_number()) {
    Fail(where, field, std::string("must be a number, found a ") + value.type_name());
  }
  double amount = value.get<double>();
  CheckAmount(amount, where, field);
  return amount;
}

int ReadPeriod(const std::string& text, const FormInfo& form, const std::string& where) {
  int year = 0;
  int index = 0;
  bool read = false;
  if (form.annual) {
    read = text.size() == 4 && ReadDigits(text, year);
    index = (year - 1980) * 4;
  } else {
    read = ReadQuarterText(text, index);
    year = 1980 + index / 4;
  }
  if (!read) {
    Fail(where, "period",
         Quoted(text) + " is not a " + (form.annual ? "year" : "quarter") + " of Form " +
             form.name +
             (form.annual ? " (expected YYYY, as \"2005\")" : " (expected YYYYQn, as \"2005Q1\")"));
  }
  // The whole period must be dated: 1 January 1980 is day 0 of the calendar,
  // so the first supported period is 1980 Q2; the last ends before 4 June 2159.
  if (index < 0 || !Date::QuarterStart(index).IsValid() ||
      !Date::QuarterEnd(form.annual ? index + 3 : index).IsValid()) {
    Fail(where, "period", OutsideSupportedDates(text));
  }
  return index;
}

void CopyText(const json& object, const char* key, char* out, size_t size,
              const std::string& where) {
  const json* value = Find(object, key);
  if (!value) return;
  std::string text = Text(*value, where, FieldName("company", key));
  if (text.size() >= size) {
    Fail(where, FieldName("company", key),
         "longer than " + std::to_string(size - 1) + " characters");
  }
  std::memcpy(out, text.c_str(), text.size() + 1);
}

void ReadCompany(const json& company, const std::string& where, Company& out) {
  if (!company.is_object()) Fail(where, "company", "must be an object with name and ein");
  CheckKeys(company, {"name", "ein"}, where, "company");
  CopyText(company, "name", out.Name, sizeof out.Name, where);
  CopyText(company, "ein", out.EIN, sizeof out.EIN, where);
}

/// A penalty section: present means active unless "active" says otherwise.
const json* Section(const json& penalties, const char* key, const std::string& where) {
  const json* section = Find(penalties, key);
  if (section && !section->is_object()) {
    Fail(where, FieldName("penalties", key), "must be an object");
  }
  return section;
}

void ReadNotices(const json& notices, const std::string& where, const std::string& field,
                 CC6651A2& out) {
  constexpr size_t kNoticeCount = 5;  // four notices and the fifth slot
  if (!notices.is_array() || notices.size() > kNoticeCount) {
    Fail(where, field, "must be a list of at most 5 notice dates");
  }
  for (size_t i = 0; i < notices.size(); ++i) {
    const std::string item = field + "[" + std::to_string(i) + "]";
    Date date = notices[i].is_null() ? Date() : DateValue(notices[i], where, item);
    (i < 4 ? out.Notices[i] : out.FifthNotice) = date;
  }
}

void ReadPenalties(const json& penalties, const std::string& where, CPenalties& out) {
  if (!penalties.is_object()) Fail(where, "penalties", "must be an object");
  CheckKeys(penalties, {"deposit_notice", "failure_to_file", "failure_to_pay"}, where, "penalties");
  if (const json* p = Section(penalties, "deposit_notice", where)) {
    const std::string prefix = "penalties.deposit_notice";
    CheckKeys(*p, {"active", "notice_date", "last_day_to_pay", "add_ten_days", "interest_start"},
              where, prefix);
    out.CC6656.Active = OptionalFlag(*p, "active", true, where, prefix);
    out.CC6656.LastDayToPay = OptionalDate(*p, "last_day_to_pay", where, prefix);
    out.CC6656.NoticeDate = OptionalDate(*p, "notice_date", where, prefix);
    out.CC6656.AddTenDays = OptionalFlag(*p, "add_ten_days", false, where, prefix);
    out.CC6656.InterestStart = OptionalDate(*p, "interest_start", where, prefix);
  }
  if (const json* p = Section(penalties, "failure_to_file", where)) {
    const std::string prefix = "penalties.failure_to_file";
    CheckKeys(*p, {"active", "date_filed", "extended_due_date", "fraudulent"}, where, prefix);
    out.CC6651A1.Active = OptionalFlag(*p, "active", true, where, prefix);
    out.CC6651A1.ExtendedDueDate = OptionalDate(*p, "extended_due_date", where, prefix);
    out.CC6651A1.DateFiled = OptionalDate(*p, "date_filed", where, prefix);
    out.CC6651A1.Fraudulent = OptionalFlag(*p, "fraudulent", false, where, prefix);
  }
  if (const json* p = Section(penalties, "failure_to_pay", where)) {
    const std::string prefix = "penalties.failure_to_pay";
    CheckKeys(*p,
              {"active", "extended_payment_date", "notices", "levy_notice_date", "jeopardy_date"},
              where, prefix);
    out.CC6651A2.Active = OptionalFlag(*p, "active", true, where, prefix);
    out.CC6651A2.ExtendedPaymentDate = OptionalDate(*p, "extended_payment_date", where, prefix);
    if (const json* notices = Find(*p, "notices")) {
      ReadNotices(*notices, where, prefix + ".notices", out.CC6651A2);
    }
    out.CC6651A2.LevyNoticeDate = OptionalDate(*p, "levy_notice_date", where, prefix);
    out.CC6651A2.JeopardyDate = OptionalDate(*p, "jeopardy_date", where, prefix);
  }
}

int WholeNumber(const json& object, const char* key, int absent, int low, int high,
                const std::string& where, const std::string& prefix) {
  const json* value = Find(object, key);
  if (!value) return absent;
  if (!value->is_number_integer() || value->get<long long>() < low ||
      value->get<long long>() > high) {
    Fail(where, FieldName(prefix, key),
         "must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
  }
  return value->get<int>();
}

void ReadMargin(const json& margin, const std::string& where, ReportSettings& out) {
  const std::string field = "report.margin";
  if (!margin.is_array() || margin.size() > ReportSettings::MaxMarginStrings) {
    Fail(
        where, field,
        "must be a list of at most " + std::to_string(ReportSettings::MaxMarginStrings) + " texts");
  }
  for (size_t i = 0; i < margin.size(); ++i) {
    out.margin.push_back(Text(margin[i], where, field + "[" + std::to_string(i) + "]"));
  }
}

/// How the generator of `ledrix report` is set up. A page must hold more
/// than the 15 lines of the deposit-penalty page head; the page-start table
/// has 100 entries.
void ReadReport(const json& report, const std::string& where, ReportSettings& out, C941Doc& doc) {
  const std::string prefix = "report";
  if (!report.is_object()) Fail(where, prefix, "must be an object");
  CheckKeys(report,
            {"status_date", "lines_per_page", "first_page", "no_page_heads", "header_version",
             "user_period", "title", "margin"},
            where, prefix);
  out.statusDate = OptionalDate(report, "status_date", where, prefix);
  out.linesPerPage = WholeNumber(report, "lines_per_page", 60, 16, 10000, where, prefix);
  out.firstPage = WholeNumber(report, "first_page", 0, 0, PageStartCount - 1, where, prefix);
  out.noPageHeads = OptionalFlag(report, "no_page_heads", false, where, prefix);
  if (const json* version = Find(report, "header_version")) {
    out.headerVersion = Text(*version, where, "report.header_version");
  }
  if (const json* period = Find(report, "user_period")) {
    const std::string periodPrefix = "report.user_period";
    if (!period->is_object())
      Fail(where, periodPrefix, "must be an object with start, end and due");
    CheckKeys(*period, {"start", "end", "due"}, where, periodPrefix);
    doc.UserPeriodStart = OptionalDate(*period, "start", where, periodPrefix);
    doc.UserPeriodEnd = OptionalDate(*period, "end", where, periodPrefix);
    doc.UserPeriodDueDate = OptionalDate(*period, "due", where, periodPrefix);
  }
  if (const json* title = Find(report, "title")) {
    out.hasTitle = true;
    out.title = Text(*title, where, "report.title");
  }
  if (const json* margin = Find(report, "margin")) ReadMargin(*margin, where, out);
}

/// The penalty runs from the period to the compute date, and a return cannot
/// fall due before its period is over.
void CheckPeriodDates(const ReturnSettings& settings, const std::string& where) {
  const Date start = PeriodStart(settings), end = PeriodEnd(settings);
  if (settings.computeDate < start) {
    Fail(
        where, "compute_date",
        (settings.computeDateGiven ? IsoDate(settings.computeDate)
                                   : "missing, and today, " + IsoDate(settings.computeDate) + ",") +
            " is before the period " + PeriodText(settings) + " begins (" + IsoDate(start) + ")");
  }
  if (settings.dueDate.IsValid() && settings.dueDate < end) {
    Fail(where, "due_date",
         IsoDate(settings.dueDate) + " is before the period " + PeriodText(settings) + " ends (" +
             IsoDate(end) + ")");
  }
}

void ReadEvents(const json& events, ReturnFile& file) {
  if (!events.is_array()) Fail(file.path, "events", "must be a list of events");
  int position = 0;
  for (const json& event : events) {
    const std::string where = file.path + ": event " + std::to_string(++position);
    if (!event.is_object()) {
      throw InputError(where + ": must be an object with type, date and amount");
    }
    CheckKeys(event, {"type", "date", "amount"}, where, "", true);
    const std::string typeText = TextOrCode(Required(event, "type", where, ""), where, "type");
    int type = ReadEventType(typeText);
    if (type < 0) Fail(where, "type", UnknownEventType(typeText));
    Date date = DateValue(Required(event, "date", where, ""), where, "date");
    double amount = AmountValue(Required(event, "amount", where, ""), where, "amount");
    CheckEventAmount(type, amount, where);
    AddReturnEvent(file, where, type, date, amount);
  }
}

void ReadSettings(const json& root, ReturnFile& file) {
  const std::string& where = file.path;
  ReturnSettings& settings = file.settings;
  CheckKeys(root,
            {"form", "period", "schedule", "company", "compute_date", "due_date", "allocation",
             "deferred_amount", "limit_to_compute_date", "penalties", "report", "events"},
            where, "", true);

  const std::string formText = TextOrCode(Required(root, "form", where, ""), where, "form");
  settings.form = FindForm(formText);
  if (!settings.form) {
    Fail(where, "form",
         "unknown form " + Quoted(formText) + " (expected 941, 944, 943, 945 or 940)");
  }
  settings.quarter =
      ReadPeriod(Text(Required(root, "period", where, ""), where, "period"), *settings.form, where);

  const std::string scheduleText = Text(Required(root, "schedule", where, ""), where, "schedule");
  int schedule = FindSchedule(scheduleText);
  if (schedule < 0) {
    Fail(where, "schedule",
         "unknown schedule " + Quoted(scheduleText) +
             " (expected monthly, semiweekly or first-time-semiweekly)");
  }

  settings.computeDate = OptionalDate(root, "compute_date", where, "");
  settings.computeDateGiven = settings.computeDate.IsValid();
  if (!settings.computeDateGiven) {
    settings.computeDate = LocalToday();
    if (!settings.computeDate.IsValid()) {
      Fail(where, "compute_date", "missing, and today is outside the supported dates");
    }
  }
  settings.dueDate = OptionalDate(root, "due_date", where, "");
  CheckPeriodDates(settings, where);

  if (const json* allocation = Find(root, "allocation")) {
    const std::string text = Text(*allocation, where, "allocation");
    settings.allocationFlags = FindAllocation(text);
    if (settings.allocationFlags < 0) {
      Fail(where, "allocation",
           "unknown allocation " + Quoted(text) + " (expected best, irs, irs-old or irs-new)");
    }
  }
  settings.limitToComputeDate = OptionalFlag(root, "limit_to_compute_date", false, where, "");

  C941Doc& doc = *file.doc;
  doc.Quarter = settings.quarter;
  doc.Form = settings.form->code;
  doc.ComputeMethod = schedule;
  if (const json* deferred = Find(root, "deferred_amount")) {
    doc.DeferredAmount = AmountValue(*deferred, where, "deferred_amount");
    if (doc.DeferredAmount < 0.0) Fail(where, "deferred_amount", "must not be negative");
  }
  if (const json* company = Find(root, "company")) ReadCompany(*company, where, doc.Company);
  if (const json* penalties = Find(root, "penalties")) {
    ReadPenalties(*penalties, where, doc.Penalties);
  }
  if (const json* report = Find(root, "report")) ReadReport(*report, where, file.report, doc);
}

}  // namespace

ReturnFile ParseReturn(const std::string& text, const std::string& path) {
  json root = ParseJson(text, path);
  if (!root.is_object()) throw InputError(path + ": the return must be a JSON object");
  ReturnFile file;
  file.path = path;
  file.doc = std::make_unique<C941Doc>();
  // Keys the return does not use ("description", "_comment", ...) are notes.
  ReadSettings(root, file);
  if (const json* events = Find(root, "events")) ReadEvents(*events, file);
  return file;
}

ReturnFile LoadReturn(const std::string& path) {
  return ParseReturn(ReadTextFile(path), InputName(path));
}

std::string InputName(const std::string& path) {
  return path == kStandardInput ? "standard input" : path;
}

void CheckAmount(double amount, const std::string& where, const std::string& field) {
  if (!std::isfinite(amount)) Fail(where, field, "not a finite number");
  if (std::fabs(amount) > MaxAmount) {
    Fail(where, field, "beyond the largest amount, " + Money(MaxAmount));
  }
}

void CheckEventAmount(int type, double amount, const std::string& where) {
  CheckAmount(amount, where, "amount");
  // Only an adjustment carries a sign (a negative one is a credit); a
  // liability, deposit or payment is an amount of money that changed hands.
  if (amount < 0.0 && !IsAdjustmentType(type)) {
    Fail(where, "amount",
         Money(amount) + " is negative, but a " + EventTypeName(type) +
             " has no sign (a credit is an adjustment with a negative amount, as ADJUST)");
  }
}

void AddReturnEvent(ReturnFile& file, const std::string& where, int type, Date date,
                    double amount) {
  // The list keeps one record free to end it.
  if (file.eventCount >= MaxEvents - 1) {
    throw InputError(where + ": more than the " + std::to_string(MaxEvents - 1) +
                     " events a return can hold");
  }
  // Liabilities and adjustments make the period's liabilities day by day, so
  // they must fall inside it; deposits and payments may come at any time.
  const ReturnSettings& settings = file.settings;
  if (!IsDepositType(type) && (date < PeriodStart(settings) || date > PeriodEnd(settings))) {
    Fail(where, "date",
         IsoDate(date) + " is outside the period " + PeriodText(settings) + " (" +
             IsoDate(PeriodStart(settings)) + " to " + IsoDate(PeriodEnd(settings)) + ")");
  }
  Event& event = file.doc->Events[file.eventCount++];
  event.Clear();
  event.Type = static_cast<std::int16_t>(type);
  event.Date = date;
  event.Amount = amount;
}

std::string ReadTextFile(const std::string& path) {
  if (path == kStandardInput) {
    std::ostringstream text;
    text << std::cin.rdbuf();
    if (std::cin.bad()) throw InputError("standard input: cannot be read");
    return text.str();
  }
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    throw InputError(
        path + ": cannot read the file: " +
        (std::filesystem::exists(path, error) ? "not a regular file" : "no such file"));
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in) throw InputError(path + ": cannot read the file: " + std::strerror(errno));
  return text.str();
}

Date PeriodStart(const ReturnSettings& settings) {
  return Date::QuarterStart(settings.quarter);
}

Date PeriodEnd(const ReturnSettings& settings) {
  return Date::QuarterEnd(settings.form->annual ? settings.quarter + 3 : settings.quarter);
}

std::string PeriodText(const ReturnSettings& settings) {
  return settings.form->annual ? PeriodCode(settings) : QuarterText(settings.quarter);
}

std::string PeriodCode(const ReturnSettings& settings) {
  const std::string year = std::to_string(1980 + settings.quarter / 4);
  return settings.form->annual ? year : year + "Q" + std::to_string(settings.quarter % 4 + 1);
}

}  // namespace ledrix::cli
