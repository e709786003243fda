// Interest on unpaid tax and penalties: the IRS's quarterly rates and the
// interest chain.
//
// RateTable holds one annual rate per calendar quarter from January-March
// 1993 (table quarter 0) on. The rates through April-June 2024 are built in;
// the rate file "LEDRIX.TBL" in the per-user folder (beside the holiday file)
// supplies the quarters after them. Its first 1,024 bytes are 128 IEEE 754
// doubles, little-endian, table quarters 0 to 127 (October-December 2024);
// the file may go on with the quarters from January-March 2025 (table quarter
// 128) in the same form, one double each, in quarter order. A file of 1,024
// bytes, or none, ends the table with quarter 127, as it always has.
//
//   RateTable rates;
//   rates.RateForQuarter(RateTable::QuarterOfDate(Date(5, 15, 5)));  // 6.0 (2005 Q2)
//
//   rates.SetRate(128, 7.0);  // 2025 Q1
//   rates.Save();             // 1,032 bytes: the table now ends with 2025 Q1
//
// Interest compounds daily. CCompute::ComputeInterest builds a chain of
// InterestEvent links from the return's due date to the compute date, one
// link per stretch of time between two things that change the balance or the
// rate: a payment, a penalty that falls due, a quarter's end.
//
//   InterestEvent first;                  // the caller's, by value
//   compute.ComputeInterest(&run, &first);
//   first.TotalAllInterest();             // the chain frees itself with `first`
//
// $10,000 unpaid from 30 April to 30 June 2010 at 4%: 61 days,
// (1 + 0.04 / 365)^61 - 1 = 0.006706957, interest 67.07.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ledrix/date.h"
#include "ledrix/export.h"
#include "ledrix/penalties.h"

namespace ledrix {

class CCompute;
struct C941Doc;

// ---- the interest-rate table ---------------------------------------------------

class LEDRIX_API RateTable {
 public:
  /// The quarters of the table's present form, 1993 Q1 to 2024 Q4.
  static constexpr int QuarterCount = 128;
  static constexpr const char* FileName = "LEDRIX.TBL";
  /// The size of the rate file's present form: QuarterCount doubles.
  static constexpr int FileBytes = QuarterCount * 8;
  /// The most quarters the rate file keeps after 2024 Q4: 2025 Q1 to 2099 Q4.
  static constexpr int LaterQuarterCapacity = 300;

  /// Percent a year (7.0 is 7%) of table quarters 0 to 127; 0.0 is no rate.
  double Rates[QuarterCount];
  /// The number of built-in rates (126).
  int Count = 0;
  /// The per-user folder, as the holiday calendar's (UserFolderText()).
  std::string Folder;
  /// Percent a year of the quarters after 2024 Q4, from table quarter 128
  /// (2025 Q1) on, as the rate file keeps them after its first 1,024 bytes;
  /// 0.0 is no rate. The table ends with the last of them (LastQuarter).
  std::vector<double> LaterRates;

  /// Folder from "AppData", then the load of Reload.
  RateTable();

  /// Zeroes every rate, reads the rate file, then copies the built-in list
  /// over it from quarter 0. Returns 1.
  int Reload();
  /// Writes the rates to the rate file through a temporary file and a
  /// rename: the 128 quarters, then the later quarters through the last one
  /// that has a rate (none: the 1,024 bytes of the present form). 1 when the
  /// new file is in place, 0 when it could not be written (the old file is
  /// then untouched).
  int Save();

  /// The table's last quarter: 127 (2024 Q4), or the last of LaterRates.
  int LastQuarter() const { return QuarterCount - 1 + static_cast<int>(LaterRates.size()); }
  /// The rate quarter `i` has of its own; 0.0 when none or outside the table.
  double OwnRate(int i) const;
  /// Gives quarter `i` its own rate, extending LaterRates to reach it (the
  /// quarters in between have none). 0 when `i` lies outside 0 to
  /// QuarterCount + LaterQuarterCapacity - 1. A built-in rate set here
  /// returns with the next Reload.
  int SetRate(int i, double percent);

  /// The table quarter that holds `date`, in a table whose last quarter is
  /// `lastQuarter` (pass LastQuarter() to reach the later quarters): 0 up to
  /// 31 March 1993, `lastQuarter` from the first day after it on.
  static int QuarterOfDate(Date date, int lastQuarter = QuarterCount - 1);
  /// The last day of table quarter `i`: 31 March 1993 below 1, no date after
  /// `lastQuarter` (as for QuarterOfDate).
  static Date QuarterEndOfIndex(int i, int lastQuarter = QuarterCount - 1);
  /// The quarter whose rate quarter `i` takes: `i` itself (LastQuarter()
  /// past the end) when it has a rate, else the latest earlier quarter that
  /// has one.
  int RateSourceQuarter(int i) const;
  /// The rate of RateSourceQuarter(i).
  double RateForQuarter(int i) const;
  /// 1 when quarter `i` has no rate (or lies beyond the table).
  int IsMissing(int i) const;
  /// 1 when the quarter holding `date` has no rate, or the date lies beyond
  /// the table.
  int IsMissingForDate(Date date) const;
  /// 0 when a quarter without a rate is followed by one with a rate.
  int HasNoGaps() const;

  /// The full path of the rate file as the platform sees it.
  std::string FilePath() const;
};

/// 16 (the directory attribute) when `path` (backslashes or slashes) names an
/// existing folder, else 0.
LEDRIX_API int FolderExists(const std::string& path);

// ---- the interest chain ---------------------------------------------------------

/// What ends a segment of the interest chain (InterestEvent::Kind).
enum InterestKind : std::int32_t {
  INTEREST_FRESH = 0,            ///< a link not yet filled
  INTEREST_PAYMENT = 1,          ///< a payment after the due date
  INTEREST_DEPOSIT_PENALTY = 2,  ///< the deposit penalty's notice date
  INTEREST_FAILURE_TO_PAY = 3,   ///< a failure-to-pay amount assessed at a notice
  INTEREST_QUARTER_END = 4,      ///< the last day of a rate quarter
  INTEREST_SETTLEMENT = 5,       ///< the compute date
  INTEREST_LIABILITY = 6,        ///< the first link: the due date
  INTEREST_FAILURE_TO_FILE = 7,  ///< the failure-to-file date
  INTEREST_ADDITIONAL_5 = 8,     ///< interest on the additional 5% begins
};

#pragma pack(push, 1)
/// One segment of the interest chain. The first link belongs to its caller;
/// every further link is made by SetNext and owned by the link before it.
/// The chain must not loop back on itself.
struct LEDRIX_API InterestEvent {
  std::int32_t Kind = INTEREST_FRESH;  ///< what ends the segment
  Date StartDate;
  Date EndDate;
  double Principal = 0.0;  ///< balance on which the segment's interest accrues
  double Rate = 0.0;       ///< annual rate as a fraction
  double Interest = 0.0;   ///< in cents, never negative
  double Factor = 0.0;     ///< (1 + daily rate)^days - 1
  /// What the end adds to or takes from the balance; on the first link the
  /// balance at the due date.
  double Balance = 0.0;
  InterestEvent* Next = nullptr;

  InterestEvent() = default;
  InterestEvent(const InterestEvent&) = delete;
  InterestEvent& operator=(const InterestEvent&) = delete;
  /// Frees the links after this one, one after another (a chain of any
  /// length, without recursion).
  ~InterestEvent();

  /// Factor and Interest of the segment: the daily rate is Rate / 366 when
  /// the year of EndDate is divisible by 4, else Rate / 365. Returns Interest.
  double Compute();
  /// With a link: it becomes Next and is returned. With null: a fresh link is
  /// made, becomes Next and is returned (null when none can be made).
  InterestEvent* SetNext(InterestEvent* next);
  /// Interest of this link and every one after it.
  double TotalAllInterest() const;
  /// Frees every link after this one; Next becomes null.
  void FreeChain();
};
#pragma pack(pop)
static_assert(sizeof(InterestEvent) == 4 + 2 + 2 + 5 * 8 + sizeof(void*),
              "InterestEvent is packed");

// ---- a run of the return penalties and interest -----------------------------------

/// Sets up `run` and the chain from `first` as the penalty summary and the
/// interest report do, and runs them. The header comes from `compute`:
/// ReturnDueDate = DueDate(), ComputeDate, AmountSubject =
/// BalanceDue(DueDate()). CPenalties::Compute runs on `inputs` when one of its
/// three Active flags is set (null inputs: never); then ComputeInterest, on a
/// chain whose first link is made fresh. The compute object's MissingRateFlag
/// is copied into `document` when one is given.
LEDRIX_API void RunReturnPenalties(CCompute& compute, CPenalties* inputs, C941Doc* document,
                                   CRunTimePenalties& run, InterestEvent& first);

/// What the employer owes in all, added up as the penalty and interest
/// summary adds it: a penalty whose computation is not active counts 0.
struct LEDRIX_API PenaltySummary {
  bool Active6656 = false;
  bool ActiveFTF = false;
  bool ActiveFTP = false;
  /// The failure-to-deposit penalty, less the additional 5% when its notice
  /// is active (the deposit penalty's 15% tier holds it).
  double DepositPenalty = 0.0;
  double Additional5Penalty = 0.0;
  double FTFPenalty = 0.0;
  double FTPPenalty = 0.0;
  /// The failure-to-deposit penalty (with the additional 5%) + failure to
  /// file + failure to pay.
  double PenaltyTotal = 0.0;
  double InterestTotal = 0.0;
  /// Tax unpaid on the compute date; negative when the deposits exceed it.
  double Balance = 0.0;
  /// The larger of 0 and Balance.
  double UnpaidTax = 0.0;
  /// Balance + PenaltyTotal + InterestTotal. Deposits beyond the tax are not
  /// set against penalties or interest: when Overpaid, there is no grand
  /// total ("N/A").
  double GrandTotal = 0.0;
  bool Overpaid = false;
};

/// The summary of a run made by RunReturnPenalties.
LEDRIX_API PenaltySummary SummarizePenalties(CCompute& compute, const CPenalties* inputs,
                                             const CRunTimePenalties& run,
                                             const InterestEvent& first);

}  // namespace ledrix
