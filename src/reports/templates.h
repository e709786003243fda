// The template store: every report template's lines, compiled into the
// library. A template is an array of line strings ended by a null entry; the
// line "%HEADER%" stands for the header block, and FIELD "KEY" marks a field
// that DoReplacement fills.
#pragma once

namespace ledrix::reports {

using Template = const char* const*;

/// The line that stands for the header block.
inline constexpr const char* kHeaderLine = "%HEADER%";
/// Where the allocation method's text goes in the deposit-penalty title.
inline constexpr const char* kMethodMark = "%METHOD%";

// ---- header block ----------------------------------------------------------
extern const Template kHeaderA;  ///< forms other than 6, no indent
extern const Template kHeaderB;  ///< forms other than 6, indented
extern const Template kHeaderC;  ///< user-defined period, indented
extern const Template kHeaderD;  ///< user-defined period, no indent
/// The overpayment note the TEST field writes.
extern const Template kOverpaymentNote;

// ---- penalty reports -------------------------------------------------------
extern const Template kPenaltyPageHead;
extern const Template kPenaltyFooter;
extern const Template kAdditional5Detail;
extern const Template kFailureToFileDetail;
extern const Template kFailureToPayDetail;
extern const Template kFailureToPayWindow;
extern const Template kPenaltySummary;

// ---- interest reports ------------------------------------------------------
extern const Template kInterestDetail;
/// Below the interest lines: a rule, "Total Interest" (the total goes at
/// column 64) and a double rule.
extern const Template kInterestClosing;
extern const Template kRateTable;
/// Marks the year row of the rate table: the year goes over "#Y", a rate
/// over each further "#".
inline constexpr const char* kYearMark = "#Y";
extern const Template kHolidayHead;
inline constexpr const char* kHolidaysContinued = "LEGAL HOLIDAYS (CONT)";
inline constexpr const char* kUserHolidaysHead = "   USER-DEFINED HOLIDAYS";
/// The line that opens each further page of the holiday list.
inline constexpr const char* kPageOpening = " ";

// ---- main-screen and deposit predictor reports ----------------------------
/// Repeated at the head of every page.
extern const Template kMainScreenHead;
/// The rules under the three amount columns: [0] above the totals row,
/// [1] below it.
extern const Template kMainScreenRules;
/// The deposit rules of Forms 941, 943, 944 and 945, and the FUTA rule of
/// Form 940; each repeated at the head of every page.
extern const Template kPredictorDepositRules;
extern const Template kPredictorFutaRule;

// ---- IRS input format ------------------------------------------------------
extern const Template kIRSLiabilityHead;
extern const Template kIRSDepositHead;
/// A transaction line before any cell is put in: three 26-character cells.
inline constexpr const char* kBlankFormRow =
    "NNN MMDDYYYY $$$$$$$$$$$$$ NNN MMDDYYYY $$$$$$$$$$$$$ NNN MMDDYYYY $$$$$$$$$$$$$";

}  // namespace ledrix::reports
