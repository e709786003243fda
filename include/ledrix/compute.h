// The compute object: the computation of one return period.
//
// A host creates the object of its form, sets the compute date, the return's
// due date (SetDueDate(int)) and the penalty inputs, and calls BasicCompute
// with its document:
//
//   C941Compute c;                    // Form 941; c.Set944() for Form 944
//   c.SetComputeDate(Date(6, 30, 5));
//   c.SetDueDate(doc->Quarter);       // 30 April, 31 July, 31 October, 31 Jan
//   c.BasicCompute(doc, 0, 0);        // flags 0: IRS rule and 256 alternatives
//   c.GetPenalty();                   // the winner's failure-to-deposit penalty
//
// The driver tries allocation method 0 (the IRS rule) and, unless flags
// choose the IRS rule alone, methods 1-256 (alternative m - 1), then 257
// (the winner applied again). The lowest penalty rounded to cents wins; ties
// go to the lower complexity, then to the lower method number.
//
// Form codes: 1 = 941, 2 = 940, 3 = 943, 4 = 945, 6 = user period,
// 10 = 944.
#pragma once

#include <memory>
#include <string>

#include "ledrix/date.h"
#include "ledrix/events.h"
#include "ledrix/export.h"
#include "ledrix/host.h"
#include "ledrix/liability.h"
#include "ledrix/penalties.h"

namespace ledrix {

class Holiday;
struct InterestEvent;

constexpr int MaxLiabilitySlots = 732;
constexpr int MaxCatchupSlots = 15;
constexpr int MethodResultCount = 322;
/// Method numbers: 0 the IRS rule, 1-256 alternative m - 1, 257 the winner.
constexpr int BestMethod = 257;
constexpr int WorstComplexity = 2147483647;

#pragma pack(push, 1)
/// Per-method allocation statistics, for tuning the search.
struct LEDRIX_API RunStats {
  std::int32_t Deps;
  std::int32_t Liabs;
  std::int32_t CUs;
  double DLAvg;
  std::int32_t DLMax;
  std::int32_t DLMin;
  double LDAvg;
  std::int32_t LDMax;
  std::int32_t LDMin;
};
#pragma pack(pop)
static_assert(sizeof(RunStats) == 44, "statistics record is packed");

struct LEDRIX_API MethodResult {
  double Penalty = 0.0;
  int Complexity = WorstComplexity;
};

class LEDRIX_API CCompute {
 public:
  int DepositAllocationMethod = 0;
  RunStats Stats[MethodResultCount];
  int Form = -1;
  double TaxBalance = 0.0;
  double LiabilityTotal = 0.0;
  double DepositTotal = 0.0;
  double PenaltyTotal = 0.0;
  int ComputeMethod = 0;               ///< 0 monthly, 1 semi-weekly, 2 first-time semi-weekly
  Event* Events = nullptr;             ///< owned copy, MaxEvents records
  ledrix::Company* Company = nullptr;  ///< the host's; not owned
  CLiability* Liabilities[MaxLiabilitySlots] = {};
  CLiability* CatchupLiabilities[MaxCatchupSlots] = {};
  Date AdditionalNoticeDate;
  Date ComputeDate;  ///< today unless the host sets it
  int MissingRateFlag = 0;
  int Had100000Liability = 0;
  int LiabilitySlots = 0;
  int CatchupSlots = 0;
  Date ReturnDueDate;  ///< the return's due date (DueDate(), SetDueDate(int))
  Date CumulateStartDate;
  Date StartDate;
  Date EndDate;
  Date GivenDueDate;  ///< stored by SetDueDate(Date); read by the host only
  int ExcessAdjustmentsFlag = 0;
  int EarlyDepositSeen = 0;
  MethodResult MethodResults[MethodResultCount];
  CPenalties PenaltyInputs;  ///< the return-penalty inputs (Penalties())
  int Quarter = 0;
  int IRSDirection = 0;  ///< 0 none, 1 old IRS rule kept, 2 new IRS rule kept
  std::string HeaderVersion;
  double DeferredAmount = 0.0;
  /// Build the liabilities once while their inputs (events, schedule,
  /// quarter, form and slots, return due date, holiday calendar) stay the
  /// same, and start each allocation method from a copy; false rebuilds them
  /// from the events for every method.
  bool UseLiabilityCache = true;
  /// Changes whenever the event list may have been replaced (SetEvents, the
  /// deferral event) and at the start of every Penalty run; the events, what
  /// was derived from the whole event array and the holiday file are looked
  /// at again then. A host that writes Events directly and then runs the
  /// steps of Penalty itself increments it.
  std::uint32_t EventsGeneration = 0;
  /// The liabilities of the last rebuild and what they were built from.
  std::shared_ptr<class LiabilityCache> CachedLiabilities;
  /// Working storage of the search (deposit pieces, running totals of the
  /// chains), kept from method to method and from return to return.
  std::unique_ptr<class SearchBuffers> Buffers;

  /// The events whose liabilities are being sorted, per thread.
  static constinit thread_local Event* pEvents;

  CCompute();
  CCompute(const CCompute&) = delete;
  CCompute& operator=(const CCompute&) = delete;
  virtual ~CCompute();

  // ---- virtual operations, in slot order ---------------------------------
  virtual int GetForm();                                                               // 0
  virtual void SetForm(int form);                                                      // 1
  virtual void SetEvents(Event* source);                                               // 2
  virtual Event* GetEvents();                                                          // 3
  virtual Event* GetEvent(int i);                                                      // 4
  virtual void SetCompany(ledrix::Company* company);                                   // 5
  virtual ledrix::Company* GetCompany();                                               // 6
  virtual void SetC941Doc(C941Doc* doc);                                               // 7
  virtual void SetComputeMethod(int method);                                           // 8
  virtual int GetComputeMethod(Date date);                                             // 9
  virtual int GetComputeMethod();                                                      // 10
  virtual Date GetComputeDate();                                                       // 11
  virtual double GetPenalty();                                                         // 12
  virtual int GetIRSDirection();                                                       // 13
  virtual std::string GetHeaderVersion();                                              // 14
  virtual void SetHeaderVersion(const std::string& text);                              // 15
  virtual void TotalEvents(double daily[][32], double totals[]);                       // 16
  virtual void SetTaxBalance();                                                        // 17
  virtual void Penalty(int freeAfter, int flags, int limitToComputeDate, int method);  // 18
  virtual void AddDeferredAmount(Date date);                                           // 19
  virtual void RemoveDeferredAmount();                                                 // 20
  virtual void CumulateLiabilities(Date* start);                                       // 21
  virtual void BestDepositApplication(int method, int unused);                         // 22
  virtual void InitLiabilities(int pushSmall);                                         // 23
  virtual void ApplyDeposits(int flags, int limitToComputeDate);                       // 24
  virtual void SetDueDates();                                                          // 25
  virtual void FinalDueDateFixup(CLiability* liability, const Holiday* holiday);       // 26
  virtual void ComputePenalty();                                                       // 27
  virtual double PenaltyPercentage(int daysLate, Date date, CLiability* liability,
                                   int* tier);                                 // 28
  virtual void FreeLiabilities();                                              // 29
  virtual void FreeDeposits();                                                 // 30
  virtual int Is944DeMinimisForQuarter(int q);                                 // 31
  virtual double PenaltyOn(CLiability* liability, int penaltyFlag);            // 32
  virtual void SortLiabilities(int byDueDate);                                 // 33
  virtual int SetPredictor(CPredictHandler* table, C941Doc* doc);              // 34
  virtual void CombineLiabilities(int from, int to);                           // 35
  virtual void BasicCompute(C941Doc* doc, int flags, int limitToComputeDate);  // 36
  virtual void SetupLiabilities();                                             // 37
  virtual Date DueDate();                                                      // 38
  virtual void SetDueDate(Date date);                                          // 39
  virtual void SetDueDate(int q);                                              // 40
  virtual Date FirstDayOfPeriod();                                             // 41
  virtual int CatchupIndex(CLiability* liability);                             // 42
  virtual void PushToCatchup(CLiability* liability, double amount);            // 43
  virtual void Undo98(CLiability* liability);                                  // 44
  virtual void LinkDeposits(int from, int to);                                 // 45
  virtual void SetStartDate(Date date);                                        // 46
  virtual void SetEndDate(Date date);                                          // 47
  virtual void SetComputeDate(Date date);                                      // 48
  virtual int ExcessAdjustments();                                             // 49
  virtual void Push100PeriodAmounts();                                         // 50
  virtual void SetQuarter(int q);                                              // 51
  virtual int GetQuarter();                                                    // 52
  virtual double GetDepositTotal();                                            // 53
  virtual void SetDepositTotal(double total);                                  // 54
  virtual double GetLiabilityTotal();                                          // 55
  virtual void SetLiabilityTotal(double total);                                // 56
  virtual CPenalties* Penalties();                                             // 57
  virtual void SetPenalties(CPenalties& penalties);                            // 58
  virtual int IsMethodImplemented(int alternative);                            // 59
  virtual CLiability* FindBestLiability1(Event* deposit, int method);          // 60
  virtual CLiability* FindBestLiability2(Event* deposit, int method);          // 61
  virtual CLiability* FindBestLiability3(Event* deposit, int method);          // 62
  virtual CLiability* FindBestLiability4(Event* deposit, int method);          // 63
  virtual CLiability* FindBestLiability5(Event* deposit, int method);          // 64
  virtual CLiability* FindBestLiability6(Event* deposit, int method);          // 65
  virtual CLiability* FindBestLiability7(Event* deposit, int method);          // 66
  virtual CLiability* FindBestLiability8(Event* deposit, int method);          // 67
  virtual CLiability* FindBestLiability9(Event* deposit, int method);          // 68
  virtual CLiability* FindBestLiability10(Event* deposit, int method);         // 69
  virtual void RemoveExtraCUs();                                               // 70
  virtual int ComputeComplexity();                                             // 71
  virtual double BalanceDue(Date date);                                        // 72
  virtual void DumpEvents();                                                   // 73

  // ---- plain operations ----------------------------------------------------
  double GetPenaltyAmount(int method) const { return MethodResults[method].Penalty; }
  int GetDepositAllocationMethod() const { return DepositAllocationMethod; }
  /// The no-file (deposit-with-return) amount by form and period.
  double GetNoFileLimit();
  /// Moves the used regular slots to the front, keeping their order.
  void PackLiabilities();
  CLiability* GetFirstLiability();
  /// The open liability the IRS rule pays next on or after `date`.
  CLiability* NextLiabilityDue(Date date);
  CLiability* NextLiabilityDue();
  /// Run statistics, for tuning the search: each record gathers into what
  /// it holds (counts added, extremes widened), so ClearStats comes first
  /// when the figures of one run are wanted. The constructor clears them.
  /// Counts and maxima 0, minima the largest int, averages 0.
  void ClearStats();
  /// Fills Stats[method] from the allocation the object holds now: the
  /// deposit-class and other events, the liabilities under the 98% rule and
  /// how many pieces each liability and each deposit was split into.
  void GatherStats(int method);
  /// Appends one tab-separated line per method 0-257 to the file at `path`,
  /// creating it with a header line when missing. The file is rewritten whole
  /// through a temporary file and a rename, under a lock on its folder that
  /// queues other appenders, so what is there stays whole whatever the disk
  /// does; when it cannot be written it is left as it was and LastFileError()
  /// says why.
  void ReportStats(const char* path);

  /// The interest chain from `first` on (see ledrix/interest.h), after
  /// CPenalties::Compute filled `run`: interest from the return's due date to
  /// ComputeDate on the unpaid tax and on each penalty from the day it falls
  /// due. Links after `first` are freed first. Sets MissingRateFlag.
  void ComputeInterest(CRunTimePenalties* run, InterestEvent* first);

  static int SortByDueDateCallback(const void* a, const void* b);
  static int SortByPEDateCallback(const void* a, const void* b);
  /// Compares two unsigned 32-bit keys: -1, 0, 1.
  static int EventCallback(const void* a, const void* b);
};

/// Forms 941 and 944 (after Set944), and the base of 943 and 945.
class LEDRIX_API C941Compute : public CCompute {
 public:
  C941Compute();

  int GetComputeMethod(Date date) override;
  int GetComputeMethod() override;
  void TotalEvents(double daily[][32], double totals[]) override;
  void CumulateLiabilities(Date* start) override;
  void BestDepositApplication(int method, int unused) override;
  void ApplyDeposits(int flags, int limitToComputeDate) override;
  void SetDueDates() override;
  void FinalDueDateFixup(CLiability* liability, const Holiday* holiday) override;
  void ComputePenalty() override;
  void SetDueDate(Date date) override { CCompute::SetDueDate(date); }
  void SetDueDate(int q) override;
  Date FirstDayOfPeriod() override;
  int IsMethodImplemented(int alternative) override;
  CLiability* FindBestLiability1(Event* deposit, int method) override;
  CLiability* FindBestLiability2(Event* deposit, int method) override;
  CLiability* FindBestLiability3(Event* deposit, int method) override;
  CLiability* FindBestLiability4(Event* deposit, int method) override;
  CLiability* FindBestLiability5(Event* deposit, int method) override;
  CLiability* FindBestLiability6(Event* deposit, int method) override;
  CLiability* FindBestLiability7(Event* deposit, int method) override;
  CLiability* FindBestLiability8(Event* deposit, int method) override;
  CLiability* FindBestLiability9(Event* deposit, int method) override;
  CLiability* FindBestLiability10(Event* deposit, int method) override;
  /// 0, 98 or 100: whether applying `amount` more brings the liability
  /// within the safe harbor, and which limit allows more.
  virtual int CanDo98(CLiability* liability, Event* event, double amount);  // 74

  void ApplyDepositsUsingNewMethod(int unused);
  void ApplyDepositsUsingOldMethod(int limitToComputeDate);
  /// Turns the object into Form 944: form 10, 732 slots, 15 catch-ups.
  void Set944();
};

/// Form 943 (annual, agricultural employees).
class LEDRIX_API C943Compute : public C941Compute {
 public:
  C943Compute();
  void TotalEvents(double daily[][32], double totals[]) override;
  void CumulateLiabilities(Date* start) override;
  void SetDueDate(Date date) override { CCompute::SetDueDate(date); }
  void SetDueDate(int q) override;
  Date FirstDayOfPeriod() override;
};

/// Form 945 (annual, nonpayroll withholding).
class LEDRIX_API C945Compute : public C943Compute {
 public:
  C945Compute();
};

/// Form 940 (annual FUTA): quarterly carry of small amounts, its own IRS
/// application and penalty, no catch-up liabilities.
class LEDRIX_API C940Compute : public CCompute {
 public:
  C940Compute();

  void CumulateLiabilities(Date* start) override;
  void ApplyDeposits(int flags, int limitToComputeDate) override;
  void SetDueDates() override;
  void ComputePenalty() override;
  void SetDueDate(Date date) override { CCompute::SetDueDate(date); }
  void SetDueDate(int q) override;
  void PushToCatchup(CLiability* liability, double amount) override;
  void Push100PeriodAmounts() override;
  virtual int CanDo98(CLiability* liability, Event* event, double amount);
  virtual void ApplyDepositsUsingNewMethod(int unused);
  virtual void ApplyDepositsUsingOldMethod(int limitToComputeDate);
  /// The FUTA carry-over limit: 100.001 through 2004, 500.001 from 2005.
  virtual double NoFileLimit();
};

/// A return of any annual period from StartDate: each liability is due on
/// the date it arose, priced with lateness always counted.
class LEDRIX_API CAnnCompute : public CCompute {
 public:
  CAnnCompute();
  void CumulateLiabilities(Date* start) override;
  void SetDueDates() override;
  void ComputePenalty() override;
  void Push100PeriodAmounts() override;
};

}  // namespace ledrix
