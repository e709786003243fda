// Event: one dated money entry of a return period (a liability, a deposit,
// a non-deposit payment, an adjustment or a credit).
//
// The host document and the compute object hold a period's events as an
// array of exactly 1464 records, exchanged as one block; the list ends at
// the first record whose Type is -1 or whose Date is not valid.
//
// Classes of type codes, asked through IsLiabilityType / IsDepositType /
// IsAdjustmentType everywhere:
//   liability   0, 6, 7, 8           always a liability, whatever the sign
//   deposit     1, 9, 12, 13         reduce the balance
//   adjustment  2-5, 10, 11, 14-22   positive: extra liability on its date;
//                                    zero or negative: a credit
//
// Order by date: the earlier date first; on one date the adjustments first,
// then ascending type (for forms 5 and 6: a PAYMENT last, the rest in
// descending type).
#pragma once

#include <cstdint>

#include "ledrix/date.h"
#include "ledrix/export.h"

namespace ledrix {

/// Event type codes.
enum EventType : std::int16_t {
  LIABILITY = 0,
  DEPOSIT = 1,
  ADJ_WIT = 2,
  ADJ_SS = 3,
  ADJ_BW = 4,
  ADJ_SICK = 5,
  LIAB_DUE = 6,
  LIAB_TAX = 7,
  LIAB_BKUP = 8,
  PAYMENT = 9,  ///< a payment that is not a federal tax deposit
  ADJUST = 10,
  ADJ_TGTLI = 11,
  COBRA_PMT = 12,  ///< one COBRA premium-assistance amount
  COBRA_QTR = 13,  ///< the period's COBRA total, made by SetEvents
  ADJ_RSCH = 14,
  ADJ_SICKFAM = 15,
  ADJ_EMPRET = 16,
  DEFER_SS = 17,  ///< deferred social security, made by AddDeferredAmount
  ADJ_SF_PRE = 18,
  ADJ_SF_AFT = 19,
  ADJ_COBRA_CR = 20,
  ADJ_ER_PRE = 21,
  ADJ_ER_AFT = 22,
};

constexpr int EventTypeCount = 23;
constexpr int MaxEvents = 1464;

/// Liability class: 0, 6, 7, 8.
LEDRIX_API bool IsLiabilityType(int type);
/// Deposit class: 1, 9, 12, 13.
LEDRIX_API bool IsDepositType(int type);
/// Adjustment class: 2, 3, 4, 5, 10, 11, 14-22.
LEDRIX_API bool IsAdjustmentType(int type);
/// The upper-case name of a type code ("LIABILITY", ... "ADJ_ER_AFT"), or
/// nullptr outside 0-22.
LEDRIX_API const char* EventTypeName(int type);
/// The type code of an upper-case name, or -1.
LEDRIX_API int EventTypeFromName(const char* name);

#pragma pack(push, 1)
struct LEDRIX_API Event {
  std::int16_t Type;
  ledrix::Date Date;
  double Amount;
  double RunningBalance;  ///< tax balance after this event (SetTaxBalance)
  double Marker;          ///< 1000000000001.0 once totalled; never read
  std::uint16_t HostTag;  ///< the host's; Clear keeps it
  std::uint16_t LiabilityNumber;
  unsigned char HostBytes[76];  ///< the host's; Clear zeroes them

  /// The host's form code for the sort: 5 and 6 select the alternative
  /// same-date order. One value per thread. (constinit: constant-initialized,
  /// so other translation units reach it without a thread-local init wrapper.)
  static constinit thread_local int CurrentForm;

  Event() : Type(-1), HostTag(0) { Clear(); }

  /// Zero every byte but HostTag; Type -1, Date no date.
  void Clear();
  /// On the first record of a list: mode 0 by date, 1 by type, other modes
  /// sort nothing; then SetLiabilityNumbers. An empty list is left alone.
  void Sort(int mode);
  /// On the first record: number the liability-class events 1, 2, 3 ...
  void SetLiabilityNumbers();
  /// Display text of the type (string 102 + code), with " %d" of `number`
  /// appended for codes 0, 1, 6, 7, 8, 9 when it is not 0.
  void GetType(char* buffer, int number) const;
  /// Date::Format of Date, or the empty text when not valid.
  void GetDate(char* buffer, int withWeekday) const;
  /// "%0.2lf" of Amount.
  void GetAmount(char* buffer) const;
  /// A diagnostic line (type name, date, amount), sent to the debug trace.
  void Dump() const;

  /// Whether the record ends a list (Type -1 or Date not valid).
  bool EndsList() const { return Type == -1 || !Date.IsValid(); }

  static int event_date_callback(const void* a, const void* b);
  static int event_type_callback(const void* a, const void* b);
};
#pragma pack(pop)
static_assert(sizeof(Event) == 108, "an event record is 108 bytes");

/// Number of records in use from `events` (at most MaxEvents).
LEDRIX_API int CountEvents(const Event* events);

/// Where Dump and DumpEvents send their lines; by default nowhere. A host
/// or a test may install a sink to see them.
using TraceSink = void (*)(const char* line);
LEDRIX_API TraceSink SetTraceSink(TraceSink sink);
LEDRIX_API void Trace(const char* line);

}  // namespace ledrix
