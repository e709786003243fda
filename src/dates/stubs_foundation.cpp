// TEMPORARY stubs owned by the foundation work (dates, holidays, amounts, events, platform, module).
#include "ledrix/ledrix.h"
namespace ledrix {
void Date::Set(int, int, int) { Serial = NoDate; }
int Date::Month() const { return -1; }
int Date::Day() const { return -1; }
signed char Date::Year() const { return -1; }
void Date::GetMDY(int& m, int& d, int& y) const { m = d = y = -1; }
Date Date::operator+(int) const { return *this; }
int Date::DaysApart(Date) const { return 0; }
Date Date::AddMonths(int) const { return *this; }
void Date::SetEndOfMonth() {}
Date Date::StartOfYear(Date d) { return d; }
void Date::SkipToBusinessDay(const Holiday*) {}
void Date::NextBusinessDay(const Holiday*) {}
void Date::SetFifteenthOfNextMonth(const Holiday*) {}
void Date::NextWednesday() {}
void Date::NextFriday() {}
Date Date::NextWednesdayOrFriday(const Holiday*) { return *this; }
void Date::SetSemiweeklyPeriodStart(Date d) { *this = d; }
int Date::QuarterIndex() const { return -1; }
Date Date::QuarterStart(int) { return {}; }
Date Date::QuarterEnd(int) { return {}; }
void Date::SetQuarterReturnDue(int) {}
bool Date::IsInQuarter(int) const { return false; }
int Date::Parse(const char*) { return 0; }
int Date::Format(char* b, int) const { b[0] = 0; return 0; }
void Date::FormatWithWeekday(char* b) const { b[0] = 0; }
void Date::SetToday() {}
const char* Date::WeekdayName(int) { return ""; }
int MonthLength(int, int) { return 30; }
Holiday::Holiday() {}
void Holiday::Clear() {}
void Holiday::LoadBuiltIn() {}
void Holiday::Load() {}
int Holiday::Save() { return 0; }
int Holiday::IsHoliday(Date) const { return 0; }
void Holiday::Reindex() {}
std::string Holiday::FilePath() const { return {}; }
std::shared_ptr<const Holiday> Holiday::Shared() { return std::make_shared<Holiday>(); }
void Holiday::BlankEntries() {}
bool RoundTo(double&, std::uint16_t) { return false; }
void FormatAmount(char* b, double) { b[0] = 0; }
void FormatAmountRight(char* b, double, int) { b[0] = 0; }
void AmountToString(std::string& o, double) { o.clear(); }
void InsertThousandsSeparators(char*) {}
void RightJustify(char*, int) {}
int TrimRight(char*) { return -1; }
NotificationSink SetNotificationSink(NotificationSink s) { return s; }
void Notify(const std::string&) {}
std::string UserFolderText() { return {}; }
std::string NativePath(const std::string& t) { return t; }
Date LocalToday() { return {}; }
std::string LocalTimeText() { return {}; }
std::string LoadString(int) { return {}; }
const char* VersionText() { return ""; }
bool IsLiabilityType(int) { return false; }
bool IsDepositType(int) { return false; }
bool IsAdjustmentType(int) { return false; }
const char* EventTypeName(int) { return nullptr; }
int EventTypeFromName(const char*) { return -1; }
thread_local int Event::CurrentForm = -1;
void Event::Clear() {}
void Event::Sort(int) {}
void Event::SetLiabilityNumbers() {}
void Event::GetType(char* b, int) const { b[0] = 0; }
void Event::GetDate(char* b, int) const { b[0] = 0; }
void Event::GetAmount(char* b) const { b[0] = 0; }
void Event::Dump() const {}
int Event::event_date_callback(const void*, const void*) { return 0; }
int Event::event_type_callback(const void*, const void*) { return 0; }
int CountEvents(const Event*) { return 0; }
TraceSink SetTraceSink(TraceSink s) { return s; }
void Trace(const char*) {}
}  // namespace ledrix
