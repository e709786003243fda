// Liability and deposit records.
//
// A CDeposit is one application of one deposit, payment or credit to one
// liability. A CLiability is one tax liability of the period with its
// deposit due date; it derives from CDeposit and heads its own singly linked
// chain of applications (its inherited Next is the first application), which
// it owns and frees.
//
//   Liability 1,000.00 due 02-15-05
//     -> deposit  400.00 on 02-14-05, balance 600.00
//     -> deposit  600.00 on 02-20-05, balance   0.00  (5 days late: 2%)
#pragma once

#include <cstddef>
#include <vector>

#include "ledrix/date.h"
#include "ledrix/export.h"

namespace ledrix {

class Holiday;

/// Penalty tiers of a deposit or an unpaid part: 0 " 0%", 1 " 2%", 2 " 5%",
/// 3 "10%", 4 "15%".
constexpr int RateTierCount = 5;

class LEDRIX_API CDeposit {
 public:
  ledrix::Date Date;      ///< deposit date (a liability: its due date)
  double Amount = 0.0;    ///< piece applied (a liability: its amount)
  double Balance = 0.0;   ///< liability balance after this piece
  double Penalty = 0.0;   ///< failure-to-deposit penalty of the piece
  int EventIndex = 0;     ///< source event
  int DepositNumber = 0;  ///< running number among DEPOSIT events, from 1
  int PaymentNumber = 0;  ///< running number among PAYMENT events, from 1
  int DaysLate = 0;
  int EventType = 0;  ///< Type of the source event
  int RateIndex = 0;  ///< penalty tier 0-4
  CDeposit* Next = nullptr;

  CDeposit() = default;
  /// A plain copy of the fields, Next included (the chain is not copied).
  CDeposit(const CDeposit&) = default;
  CDeposit& operator=(const CDeposit&) = default;

  /// A new default record as this record's Next (replacing any previous
  /// Next, which is not freed); null when it cannot be created.
  CDeposit* ExtendDeposit();
  /// Copies the tier text of RateIndex (" 0%" ... "15%") into `buffer`.
  void GetRate(char* buffer) const;
};

/// The indices of the events cumulated into a liability: 20 entries at the
/// start, -1 marking a free entry. Writing at or past the capacity grows the
/// array to the larger of (index + 1) and twice the capacity.
class LEDRIX_API EventIndexArray {
 public:
  static constexpr int InitialSize = 20;
  EventIndexArray() : entries_(InitialSize, -1) {}

  int GetSize() const { return static_cast<int>(entries_.size()); }
  int operator[](int i) const { return entries_[static_cast<size_t>(i)]; }
  /// Writes `value` at `i`, growing the array as above.
  void SetAtGrow(int i, int value);
  /// Number of entries before the first free one.
  int UsedCount() const;
  /// Every entry back to -1 (the capacity stays).
  void Reset();

 private:
  std::vector<int> entries_;
};

class LEDRIX_API CLiability : public CDeposit {
 public:
  int SemiWeekly = 0;  ///< 0 monthly, 1 semi-weekly
  EventIndexArray EventIndices;
  double UnpaidPenalty = 0.0;
  int UnpaidDays = 0;
  double UnpaidAmount = 0.0;
  int Applied98 = 0;  ///< the safe harbor took the shortfall
  int Catchup = 0;    ///< 1 for a catch-up liability
  int NextDay = 0;    ///< reached $100,000: the next-day rule
  ledrix::Date LiabilityDate;
  ledrix::Date SkippedHolidays[4];

  CLiability() = default;
  /// The defaults, then operator= from `source`.
  CLiability(const CLiability& source);
  /// Copies the event indices, the schedule, unpaid and 98% fields, the
  /// liability date and skipped holidays, and appends copies of the source's
  /// applications to this chain. The inherited fields (Date, Amount,
  /// Balance, Penalty, ...) keep their values.
  CLiability& operator=(const CLiability& source);
  ~CLiability();

  /// Appends a default application; null when it cannot be created.
  CDeposit* AddDeposit();
  /// Writes the index into the first free entry (or at the capacity).
  void AddEvent(int eventIndex);
  /// Records a holiday that pushed the due date (valid dates, no repeats,
  /// at most 4).
  void AddHoliday(ledrix::Date date);
  void ClearHolidays();
  ledrix::Date SkippedHoliday(int i) const;
  void SetCatchup(int catchup) { Catchup = catchup; }

  /// Balance = Amount - every application; 0 when Applied98 is set.
  double ComputeBalance();
  /// Balance = Amount - every application, whatever Applied98 says.
  double RealBalance();
  double TotalPayments() const;
  /// Sum over the applications of the deposit class (1, 9, 12, 13).
  double TotalDeposits() const;
  /// Amount less the credits applied (applications outside the deposit
  /// class).
  double GetNAAmount() const;
  CDeposit* GetFinalDeposit() const;
  void FreeDeposits();
  /// Mode 0: applications by ascending DepositNumber (stable).
  void SortDeposits(int mode);
  /// Last day of the liability's deposit period: a catch-up's Date; for
  /// $100,000 or more its own LiabilityDate; monthly, the month's end;
  /// semi-weekly, the Friday or Tuesday that closes its period.
  ledrix::Date GetPerEndDate() const;
  /// 0 while Balance > 0; otherwise 1 when the last application is on or
  /// before `date`. With no application at all the answer is 0.
  int PaidIn10Days(ledrix::Date date) const;
  /// Sets Date to the deposit due date counted from Date.
  void ComputeDueDate(const Holiday* holiday);
  /// Whether the 98% / $100 safe harbor may take the shortfall now.
  int Qualifies98();

  /// Number of applications in the chain.
  int DepositCount() const;
};

}  // namespace ledrix
