#include "ledrix/events.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "ledrix/amounts.h"
#include "ledrix/module.h"

namespace ledrix {

namespace {

enum class EventClass { Liability, Deposit, Adjustment };

struct TypeInfo {
  const char* name;
  EventClass cls;
};

// Every type code's name and class, indexed by code.
constexpr TypeInfo kTypes[EventTypeCount] = {
    {"LIABILITY", EventClass::Liability},     {"DEPOSIT", EventClass::Deposit},
    {"ADJ_WIT", EventClass::Adjustment},      {"ADJ_SS", EventClass::Adjustment},
    {"ADJ_BW", EventClass::Adjustment},       {"ADJ_SICK", EventClass::Adjustment},
    {"LIAB_DUE", EventClass::Liability},      {"LIAB_TAX", EventClass::Liability},
    {"LIAB_BKUP", EventClass::Liability},     {"PAYMENT", EventClass::Deposit},
    {"ADJUST", EventClass::Adjustment},       {"ADJ_TGTLI", EventClass::Adjustment},
    {"COBRA_PMT", EventClass::Deposit},       {"COBRA_QTR", EventClass::Deposit},
    {"ADJ_RSCH", EventClass::Adjustment},     {"ADJ_SICKFAM", EventClass::Adjustment},
    {"ADJ_EMPRET", EventClass::Adjustment},   {"DEFER_SS", EventClass::Adjustment},
    {"ADJ_SF_PRE", EventClass::Adjustment},   {"ADJ_SF_AFT", EventClass::Adjustment},
    {"ADJ_COBRA_CR", EventClass::Adjustment}, {"ADJ_ER_PRE", EventClass::Adjustment},
    {"ADJ_ER_AFT", EventClass::Adjustment},
};

// The trace names every diagnostic line knows: codes 0 to COBRA_QTR.
constexpr int kLastTracedType = COBRA_QTR;

std::atomic<TraceSink> traceSink{nullptr};

bool HasClass(int type, EventClass cls) {
  return type >= 0 && type < EventTypeCount && kTypes[type].cls == cls;
}

// Forms 5 and 6 order one day's events with non-deposit payments last and
// the rest by descending type.
bool UsesAlternativeOrder() {
  return Event::CurrentForm == 5 || Event::CurrentForm == 6;
}

// Liabilities, deposits and non-deposit payments carry their running number
// in the display text.
bool IsNumberedType(int type) {
  return IsLiabilityType(type) || type == DEPOSIT || type == PAYMENT;
}

int Compare(int a, int b) {
  return a < b ? -1 : (a > b ? 1 : 0);
}

int CompareTypesOnOneDate(int a, int b) {
  if (!UsesAlternativeOrder()) return Compare(a, b);
  if (a == PAYMENT || b == PAYMENT) return Compare(a == PAYMENT, b == PAYMENT);
  return Compare(b, a);
}

const Event& AsEvent(const void* p) {
  return *static_cast<const Event*>(p);
}

template <typename Callback>
void SortEvents(Event* events, int count, Callback callback) {
  // Stable, so records that compare equal keep the order they were entered in.
  std::stable_sort(events, events + count,
                   [callback](const Event& a, const Event& b) { return callback(&a, &b) < 0; });
}

}  // namespace

constinit thread_local int Event::CurrentForm = -1;

bool IsLiabilityType(int type) {
  return HasClass(type, EventClass::Liability);
}

bool IsDepositType(int type) {
  return HasClass(type, EventClass::Deposit);
}

bool IsAdjustmentType(int type) {
  return HasClass(type, EventClass::Adjustment);
}

const char* EventTypeName(int type) {
  return type >= 0 && type < EventTypeCount ? kTypes[type].name : nullptr;
}

int EventTypeFromName(const char* name) {
  if (!name) return -1;
  for (int type = 0; type < EventTypeCount; ++type) {
    if (std::strcmp(kTypes[type].name, name) == 0) return type;
  }
  return -1;
}

int CountEvents(const Event* events) {
  int count = 0;
  while (count < MaxEvents && !events[count].EndsList()) ++count;
  return count;
}

TraceSink SetTraceSink(TraceSink sink) {
  return traceSink.exchange(sink);
}

void Trace(const char* line) {
  if (TraceSink sink = traceSink.load()) sink(line);
}

void Event::Clear() {
  const std::uint16_t hostTag = HostTag;
  std::memset(static_cast<void*>(this), 0, sizeof *this);
  HostTag = hostTag;
  Type = -1;
  Date = ledrix::Date();
}

int Event::event_date_callback(const void* a, const void* b) {
  const Event& x = AsEvent(a);
  const Event& y = AsEvent(b);
  if (x.Date != y.Date) return x.Date < y.Date ? -1 : 1;
  // On one date the adjustments (credits among them) come first.
  const bool xAdjusts = IsAdjustmentType(x.Type);
  const bool yAdjusts = IsAdjustmentType(y.Type);
  if (xAdjusts != yAdjusts) return xAdjusts ? -1 : 1;
  return CompareTypesOnOneDate(x.Type, y.Type);
}

int Event::event_type_callback(const void* a, const void* b) {
  const Event& x = AsEvent(a);
  const Event& y = AsEvent(b);
  if (x.Type != y.Type)
    return UsesAlternativeOrder() ? Compare(y.Type, x.Type) : Compare(x.Type, y.Type);
  return Compare(x.Date.Serial, y.Date.Serial);
}

void Event::Sort(int mode) {
  if (EndsList()) return;
  const int count = CountEvents(this);
  if (mode == 0) {
    const bool sorted = std::is_sorted(this, this + count, [](const Event& a, const Event& b) {
      return event_date_callback(&a, &b) < 0;
    });
    if (!sorted) SortEvents(this, count, event_date_callback);
  } else if (mode == 1) {
    SortEvents(this, count, event_type_callback);
  }
  SetLiabilityNumbers();
}

void Event::SetLiabilityNumbers() {
  const int count = CountEvents(this);
  std::uint16_t number = 0;
  for (int i = 0; i < count; ++i) {
    if (IsLiabilityType(this[i].Type)) this[i].LiabilityNumber = ++number;
  }
}

void Event::GetType(char* buffer, int number) const {
  if (Type < 0) {
    buffer[0] = '\0';
    return;
  }
  // A code past the table shows as "<error>".
  const int id = IDS_EVENT_TYPE_FIRST + (Type < EventTypeCount ? Type : EventTypeCount);
  const std::string text = LoadString(id);
  constexpr std::size_t kTypeTextBytes = 32;  // the longest text and " -2147483648"
  if (number != 0 && IsNumberedType(Type)) {
    std::snprintf(buffer, kTypeTextBytes, "%s %d", text.c_str(), number);
  } else {
    std::snprintf(buffer, kTypeTextBytes, "%s", text.c_str());
  }
}

void Event::GetDate(char* buffer, int withWeekday) const {
  if (!Date.IsValid()) {
    buffer[0] = '\0';
    return;
  }
  Date.Format(buffer, withWeekday);
}

void Event::GetAmount(char* buffer) const {
  constexpr std::size_t kAmountTextBytes = 64;  // ample for any amount a return holds
  std::snprintf(buffer, kAmountTextBytes, "%0.2lf", Amount);
}

void Event::Dump() const {
  char name[16];
  if (Type >= 0 && Type <= kLastTracedType) {
    std::snprintf(name, sizeof name, "%-9s", EventTypeName(Type));
  } else {
    std::snprintf(name, sizeof name, "BAD %d", Type);
  }
  char date[13];
  Date.Format(date);
  char amount[32];
  FormatAmount(amount, Amount);
  char line[96];
  std::snprintf(line, sizeof line, "%s %s %s", name, date, amount);
  Trace(line);
}

}  // namespace ledrix
