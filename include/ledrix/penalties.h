// Return-penalty inputs and the working record of one return-penalty run.
//
// CPenalties carries what the user enters about notices and late filing and
// payment: CC6656 (the additional 5% deposit penalty after a notice),
// CC6651A1 (failure to file) and CC6651A2 (failure to pay). The records are
// byte-packed in this field order because hosts build and read them
// directly.
#pragma once

#include <cstdint>

#include "ledrix/date.h"
#include "ledrix/export.h"

namespace ledrix {

class CCompute;
struct C941Doc;

#pragma pack(push, 1)

/// Inputs of the additional 5% deposit penalty.
struct LEDRIX_API CC6656 {
  std::int16_t Active;        ///< non-zero: compute the additional 5%
  ledrix::Date LastDayToPay;  ///< last day to pay named in the notice
  ledrix::Date NoticeDate;
  std::int16_t AddTenDays;  ///< 1: the last day to pay is LastDayToPay + 10
  ledrix::Date InterestStart;

  CC6656();
  /// As the constructor, but AddTenDays keeps its value.
  void Clear();
};
static_assert(sizeof(CC6656) == 10, "CC6656 is packed");

/// Inputs of the failure-to-file penalty.
struct LEDRIX_API CC6651A1 {
  std::int16_t Active;
  ledrix::Date ExtendedDueDate;
  ledrix::Date DateFiled;
  ledrix::Date SpareDate;
  std::int16_t Fraudulent;

  CC6651A1();
  void Clear();
};
static_assert(sizeof(CC6651A1) == 10, "CC6651A1 is packed");

/// Inputs of the failure-to-pay penalty.
struct LEDRIX_API CC6651A2 {
  std::int16_t Active;
  ledrix::Date ExtendedPaymentDate;
  ledrix::Date Notices[4];  ///< 1st to 4th late-payment notices
  ledrix::Date FifthNotice;
  ledrix::Date LevyNoticeDate;  ///< notice of intent to levy (IRC 6331(d))
  ledrix::Date JeopardyDate;    ///< notice and demand for immediate payment

  CC6651A2();
  void Clear();
  /// Orders Notices[0..3] and FifthNotice ascending, no dates last.
  void Sort();
};
static_assert(sizeof(CC6651A2) == 18, "CC6651A2 is packed");

class CRunTimePenalties;

struct LEDRIX_API CPenalties {
  ledrix::CC6656 CC6656;
  ledrix::CC6651A1 CC6651A1;
  ledrix::CC6651A2 CC6651A2;

  CPenalties() = default;
  void Clear();
  ledrix::CC6656* Get6656() { return &CC6656; }
  /// Clears the jeopardy date, sorts the notice dates, then computes into
  /// `run` (whose header the caller has filled: Compute, ReturnDueDate,
  /// ComputeDate, AmountSubject) the additional 5%, failure to pay and failure
  /// to file, in that order. Always 0.
  int Compute(CRunTimePenalties* run);
  /// The first two steps of Compute alone.
  void SortNoticeDates();
  /// For the standard sort of 16-bit dates: -1, 0, 1.
  static int CompareDates(const void* a, const void* b);

 private:
  /// The additional 5% deposit penalty after a notice (IRC 6656). Always 0.
  int comp6656(CRunTimePenalties* run);
  /// Failure to pay (IRC 6651(a)(2)): 0; 1 when AmountSubject was negative.
  int comp6651a2(CRunTimePenalties* run);
  /// Failure to file (IRC 6651(a)(1)), reduced by the failure to pay of the
  /// same months: 0; 1 when AmountSubject was negative; 2 without a filing
  /// date.
  int comp6651a1(CRunTimePenalties* run);
};
static_assert(sizeof(CPenalties) == 38, "CPenalties is packed");

/// One month of the failure-to-file penalty.
struct LEDRIX_API FTFRow {
  double Penalty;
  double Reduction;  ///< the failure-to-pay penalty of the same month
  double Net;
  ledrix::Date MonthEnd;
};
static_assert(sizeof(FTFRow) == 26, "FTF row is packed");

/// One month of the failure-to-pay penalty.
struct LEDRIX_API FTPRow {
  double Base;  ///< unpaid tax at the start of the month
  double Penalty;
  double Paid;            ///< how much the unpaid tax fell during the month
  std::int32_t RateCode;  ///< 1 = 0.5% a month, 2 = 1.0% a month
  ledrix::Date MonthEnd;
  std::int32_t HasNotice;
  double NoticeAmount;
  ledrix::Date NoticeDate;
};
static_assert(sizeof(FTPRow) == 44, "FTP row is packed");

struct LEDRIX_API A2Addition {
  ledrix::Date Date;
  double Amount;
};
static_assert(sizeof(A2Addition) == 10, "addition is packed");

class LEDRIX_API CRunTimePenalties {
 public:
  static constexpr int FTFRowCount = 5;
  static constexpr int FTPRowCount = 51;
  static constexpr int AdditionCount = 10;

  C941Doc* Document;
  CCompute* Compute;
  ledrix::Date ReturnDueDate;
  ledrix::Date ComputeDate;
  double AmountSubject;  ///< tax unpaid on the due date
  FTFRow FTFMonths[FTFRowCount];
  std::int32_t FTFMonthCount;
  double FTFMaxRate;
  double FTFMinimum;
  FTPRow FTPMonths[FTPRowCount];
  A2Addition A2Additions[AdditionCount];
  double FTPMaximum;
  double FTPMinimum;
  double FTFPenalty;
  double FTPPenalty;
  double Additional5Penalty;
  std::int32_t WithinTenDays;

  CRunTimePenalties();
  /// Zero amounts, codes, flags and results; additions to no date and 0.0.
  /// Row dates and the header are kept.
  void Clear();
  ledrix::Date A2additionDate(int i) const;
  double A2additionAmount(int i) const;
  /// Index of the failure-to-pay row that overlaps the failure-to-file
  /// month ending `monthEnd`, or -1.
  int Overlap(ledrix::Date monthEnd) const;
};
static_assert(sizeof(CRunTimePenalties) == 2 * sizeof(void*) + 2 + 2 + 8 + 5 * 26 + 4 + 8 + 8 +
                                               51 * 44 + 10 * 10 + 8 * 5 + 4,
              "CRunTimePenalties is packed");

#pragma pack(pop)

}  // namespace ledrix
