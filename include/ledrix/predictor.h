// The deposit predictor: what is still open after an allocation, as a table
// of at most 35 rows that CCompute::SetPredictor fills and the wizard report
// prints under "DEPOSIT PREDICTOR".
//
// Each open liability gives one row per event it was built from (kind 0),
// then one row per deposit (kind 1) or adjustment (kind 4) already set
// against it; each open catch-up liability gives a row of its amount
// (kind 2) and, when part of it is paid, a kind-1 row of that part. Every
// row carries the running balance: liability amounts added, what was
// applied subtracted, from 0.00. SetPredictor returns the index of the last
// row written (-1: nothing is open); when the 35th row is written it shows
// the capacity warning through Notify and stops there, returning 34.
//
//   kind  date      amount    due date  balance
//   0     05-13-05  6,000.00  06-15-05  6,000.00   liability of 13 May
//   4     -           200.00  06-15-05  5,800.00   a credit applied to it
//   1     06-20-05  3,000.00  -         2,800.00   a deposit applied to it
//   2     -            60.00  05-01-06  2,860.00   an open catch-up
#pragma once

#include <cstdint>

#include "ledrix/date.h"
#include "ledrix/events.h"
#include "ledrix/export.h"

namespace ledrix {

/// Rows of the predictor table; what does not fit is left out after the
/// capacity warning.
constexpr int PredictorRowCount = 35;

/// What a predictor row shows.
enum PredictorKind : std::int32_t {
  PredictNone = -1,       ///< a row not written (the wizard report's initial value)
  PredictLiability = 0,   ///< an event of an open liability
  PredictApplied = 1,     ///< a deposit applied, or the paid part of a catch-up
  PredictCatchup = 2,     ///< an open 98% (or $100) catch-up liability
  PredictLaterNote = 3,   ///< the wizard report's note on deposits after today
  PredictAdjustment = 4,  ///< an adjustment applied to an open liability
};

#pragma pack(push, 1)
struct LEDRIX_API PredictorRow {
  std::int32_t Kind;
  /// Kind 0: the event's date; kind 1: the deposit's date; kind 4: the
  /// liability's due date. Not written for kind 2 and a catch-up's paid part.
  ledrix::Date Date;
  /// The event's, deposit's or adjustment's amount; kind 2: the catch-up
  /// liability's amount; a catch-up's paid part: amount less balance.
  double Amount;
  ledrix::Date DueDate;  ///< kinds 0 and 2: the liability's due date
  double Balance;        ///< running balance after this row
};
#pragma pack(pop)
static_assert(sizeof(PredictorRow) == 24, "a predictor row is 24 packed bytes");

/// The host's deposit-predictor object. The library writes the table at its
/// start; a host that wants more derives from it.
class LEDRIX_API CPredictHandler {
 public:
  PredictorRow Rows[PredictorRowCount];
};
static_assert(sizeof(CPredictHandler) == 840, "the predictor table is 840 bytes");

/// Whether the event list holds a deposit, or a credit, dated after `date`:
/// the predictor's balance does not include those. Looks at every one of
/// the MaxEvents records, used or not.
LEDRIX_API bool HasDepositsAfter(const Event* events, ledrix::Date date);

}  // namespace ledrix
