#include "reports/templates.h"

#include "ledrix/reports.h"
#include "reports/template_layout.h"

namespace ledrix::reports {

namespace {

// ---- header block ----------------------------------------------------------
// The lines of a quarter's or a year's return below the name block.
constexpr TemplateLine kReturnLines[] = {
    Layout({{0, "Return...........: "}, {19, FIELD "CRTN"}}, 39),
    Layout({{0, "Period ending....: "}, {19, FIELD "QTR"}}, 29),
    Layout({{0, "Type of depositor: "}, {19, FIELD "DEPT"}}, 51),
    Layout({{0, "Status as of.....: "}, {19, FIELD "DTE1"}}, 29),
    Text(""),
};

constexpr TemplateLine kNameLinesA[] = {
    Layout({{50, FIELD "VER"}}, 80),
    Layout({{0, "Company..........: "}, {19, FIELD "NAME"}, {72, FIELD "DATE"}}, 80),
    Layout({{0, "EIN..............: "}, {19, FIELD "IDNM"}, {72, FIELD "TIME"}}, 80),
};

constexpr TemplateLine kNameLinesB[] = {
    Layout({{46, FIELD "VER"}}, 76),
    Layout({{0, "Company..........: "}, {19, FIELD "NAME"}, {68, FIELD "DATE"}}, 76),
    Layout({{0, "EIN..............: "}, {19, FIELD "IDNM"}, {68, FIELD "TIME"}}, 76),
};

// The lines of a user-defined tax period below the name block (no closing
// empty line).
constexpr TemplateLine kUserPeriodLines[] = {
    Layout({{0, "Form.............: "}, {19, FIELD "CRTN"}}, 39),
    Layout({{0, "Tax Period.......: "},
            {19, FIELD "1QTR"},
            {28, "to "},
            {31, FIELD "2QTR"},
            {39, ", Return due "},
            {52, FIELD "3QTR"}}),
    Layout({{0, "Depositor type...: "}, {19, FIELD "DEPT"}}, 51),
    Layout({{0, "Status as of.....: "}, {19, FIELD "DTE1"}}, 29),
};

constexpr TemplateLine kNameLinesC[] = {
    Layout({{42, FIELD "VER"}}, 72),
    Layout({{0, "Company..........: "}, {19, FIELD "NAME"}, {64, FIELD "DATE"}}, 72),
    Layout({{0, "EIN..............: "}, {19, FIELD "IDNM"}, {64, FIELD "TIME"}}, 72),
};

constexpr TemplateLine kNameLinesD[] = {
    Layout({{47, FIELD "VER"}}, 77),
    Layout({{0, "Company..........: "}, {19, FIELD "NAME"}, {69, FIELD "DATE"}}, 77),
    Layout({{0, "EIN..............: "}, {19, FIELD "IDNM"}, {69, FIELD "TIME"}}, 77),
};

constexpr TemplateLine kOverpaymentLines[] = {
    Layout({{0, "Your deposits exceed your liabilities by .........: "}, {52, FIELD "NEGB"}}),
    Text(""),
    Text("This report shows an unpaid tax balance of 0.00 and a notation that the"),
    Text("Grand Total figure is \"N/A.\"  Ledrix will apply deposits against"),
    Text("outstanding liabilities, but will not apply excess deposits against"),
    Text("penalties or interest.  Ledrix does not determine whether the"),
    Text("overpayment was previously refunded or credited, nor does it make any"),
    Text("allocation of any allowable overpayment."),
};

// ---- penalty reports -------------------------------------------------------
constexpr TemplateLine kPenaltyPageHeadLines[] = {
    Text(""),
    Text("PENALTY COMPUTATION DETAIL REPORT  %METHOD%"),
    Text("Failure to deposit, Section 6656"),
    Text("%HEADER%"),
    Layout({{57, "Days"}, {73, "Deposit"}}),
    Text("Event              Date            Amount  Penalty base  late Rate       penalty"),
    Text("-------------- ------------ ------------- -------------- ---- ---- -------------"),
};

constexpr TemplateLine kPenaltyFooterLines[] = {
    Layout({Run(67, '-', 13)}),
    Layout({{0, "Total deposit penalty"}, Run(67, '#', 13)}),
    Layout({Run(67, '=', 13)}),
};

constexpr TemplateLine kAdditional5Lines[] = {
    Text(""),
    Text("PENALTY COMPUTATION DETAIL REPORT"),
    Text("Additional 5%, Failure to deposit, Section 6656"),
    Text("%HEADER%"),
    Text(""),
    Layout({{0, "Original due date for return.............................:"}, {65, FIELD "DTE0"}}),
    Layout(
        {{0, "Date of notice triggering 5% additional penalty..........:"}, {65, FIELD "66562"}}),
    Layout(
        {{0, "Last day to pay in order to avoid additional 5% penalty..:"}, {65, FIELD "6656C"}}),
    Layout(
        {{0, "Last day to pay before interest begins on 10% penalty....:"}, {65, FIELD "66564"}}),
    Layout(
        {{0, "Amount due on notice date................................:"}, {59, FIELD "6656D"}}),
    Layout(
        {{0, "Amount of additional 5% penalty..........................:"}, {59, FIELD "6656A"}}),
    Layout(
        {{0, "Date interest on the additional 5% penalty begins........:"}, {65, FIELD "66563"}}),
    Text(""),
    Text(FIELD "FORM"),
};

constexpr TemplateLine kFailureToFileLines[] = {
    Text(""),
    Text("PENALTY COMPUTATION DETAIL REPORT"),
    Text("Failure to file tax return when due, Section 6651(a)(1)"),
    Text("%HEADER%"),
    Text(""),
    Layout({{0, "Amount subject to failure to file penalty.........."}, {53, FIELD "BASE"}}),
    Text(""),
    Text(""),
    Layout({{0, "Fraudulent..............................."}, {42, FIELD "6651F"}}),
    Layout({{0, "Date return was filed...................."}, {42, FIELD "DTE2"}}),
    Layout({{0, "Extended due date, if any................"}, {42, FIELD "6651E"}}),
    Layout({{0, "Months elapsed, including fractions......"}, {47, FIELD "M"}}),
    Layout({{0, "Months used to compute penalty (maximum 5)........."}, {64, FIELD "m"}}),
    Text(""),
    Layout({{0, "Penalty rate......................................."}, {63, FIELD "R"}}),
    Text(""),
    Layout({{0, "Penalty before possible reductions................."}, {53, FIELD "PBRD"}}),
    Layout({{2, "Amount subject to penalty * months * penalty rate"}}),
    Text(""),
    Text("Portion of penalty for failure to pay tax"),
    Layout({{0, "shown, sec. 6651(a)(2), related to above..........."}, {53, FIELD "REDU"}}),
    Layout({Run(53, '-', 13)}),
    Text(""),
    Layout({{0, "PENALTY -- FAILURE TO FILE TAX RETURN WHEN DUE....."}, {53, FIELD "REAL"}}),
    Layout({Run(53, '=', 13)}),
    Text(""),
    Text(FIELD "WIND"),
    Text(FIELD "FORM"),
};

constexpr TemplateLine kFailureToPayLines[] = {
    Text(""),
    Text("PENALTY COMPUTATION DETAIL REPORT"),
    Text("Failure to pay tax shown, Section 6651(a)(2)"),
    Text("%HEADER%"),
    Text(""),
    Layout(
        {{0, "Amount subject to failure to pay tax shown penalty........."}, {60, FIELD "6651A"}}),
    Text(""),
    Text("Item                      Date     Penalty base Mos  Rate         Penalty"),
    Layout({Run(0, '-', 73)}),
    Layout({{0, "Unpaid amount"}, {24, FIELD "6651D"}, {33, FIELD "6651A"}}),
    Text(FIELD "ESUM"),
    Text(""),
    Layout({Run(60, '-', 13)}),
    Layout(
        {{0, "Penalty before considering maximum........................."}, {60, FIELD "PBRD"}}),
    Text(""),
    Layout({{0, "Maximum penalty, 25% of"},
            {24, FIELD "BASE"},
            {38, "....................."},
            {60, FIELD "PMAX"}}),
    Text(""),
    Layout(
        {{0, "PENALTY -- FAILURE TO PAY TAX SHOWN........................"}, {60, FIELD "REAL"}}),
    Layout({Run(60, '=', 13)}),
    Text(""),
    Text(FIELD "WIND"),
    Text(FIELD "FORM"),
};

constexpr TemplateLine kFailureToPayWindowLines[] = {
    Text("CONTENTS OF PENALTY INPUT WINDOW"),
    Text(""),
    Text("Failure to pay taxes shown"),
    Text("Section 6651(a)(2)"),
    Text("Return due %"),
    Text(""),
    Text("Extended payment date if any: %"),
    Text("1st late payment notice.....: %"),
    Text("2nd late payment notice.....: %"),
    Text("3rd late payment notice.....: %"),
    Text("4th late payment notice.....: %"),
    Text("6331(d) Notice..............: %"),
};

constexpr TemplateLine kPenaltySummaryLines[] = {
    Text(""),
    Text("PENALTY AND INTEREST SUMMARY"),
    Text("%HEADER%"),
    Text(""),
    Layout({{0, "Deposit penalty--IRC 6656..........:"}, {37, FIELD "6656B"}}),
    Layout({{0, "Add'l 5% deposit penalty--IRC 6656.:"}, {37, FIELD "6656A"}}),
    Layout({{0, "Failure to file--IRC 6651(a)(1)....:"}, {37, FIELD "6651TA1"}}),
    Layout({{0, "Failure to pay--IRC 6651(a)(2).....:"}, {37, FIELD "6651TA2"}}),
    Text(""),
    Layout({{0, "Penalty total......................:"}, {37, FIELD "TOTP"}}),
    Layout({{0, "Interest total.....................:"}, {37, FIELD "TOTI"}}),
    Layout({{0, "Unpaid tax.........................:"}, {37, FIELD "TOTT"}}),
    Layout({Run(38, '-', 13)}),
    Layout({{0, "Grand total........................:"}, {37, FIELD "TOTG"}}),
    Layout({Run(38, '=', 13)}),
    Text(""),
    Text(FIELD "TEST"),
};

// ---- interest reports ------------------------------------------------------
constexpr TemplateLine kInterestDetailLines[] = {
    Text(""),
    Text("INTEREST DETAIL REPORT"),
    Text("%HEADER%"),
    Text(""),
    Text("Event         Date    Days     Rate        Factor         Amount      Interest"),
    Text("----------  --------  ----    -----  ------------  -------------  ------------"),
};

constexpr TemplateLine kInterestClosingLines[] = {
    Layout({Run(66, '-', 12)}),
    Text("Total Interest"),
    Layout({Run(66, '=', 12)}),
};

constexpr TemplateLine kRateTableLines[] = {
    Text(""),
    Text("IRS INTEREST RATE TABLE"),
    Text("%HEADER%"),
    Text(""),
    Text("     Year   Qtr 1   Qtr 2   Qtr 3   Qtr 4"),
    Layout({{5, "#Y"}, {11, "#"}, {19, "#"}, {27, "#"}, {35, "#"}}, 44),
    Text(""),
    Text(""),
};

constexpr TemplateLine kHolidayHeadLines[] = {
    Text(""), Text(""), Text("LEGAL HOLIDAYS"), Text(""), Text("   Legal Holidays"),
};

// ---- main-screen and deposit predictor reports ----------------------------
constexpr TemplateLine kMainScreenHeadLines[] = {
    Text(""),
    Text("MAIN SCREEN DATA REPORT"),
    Text("%HEADER%"),
    Layout({{73, "Tax"}}),
    Text("Event                    Date          Liability         Deposit        Balance"),
    Text("------------------  ------------   -------------   -------------  -------------"),
};

constexpr TemplateLine kMainScreenRuleLines[] = {
    Layout({Run(35, '-', 13), Run(51, '-', 13), Run(66, '-', 13)}),
    Layout({Run(35, '=', 13), Run(51, '=', 13), Run(66, '=', 13)}),
};

constexpr TemplateLine kPredictorOpeningLines[] = {
    Text(""),
    Text("DEPOSIT PREDICTOR"),
    Text("%HEADER%"),
    Text(""),
    Text("Use the Deposit Predictor only if consistent with the following rules:"),
    Text(""),
};

constexpr TemplateLine kDepositRuleLines[] = {
    Layout({{2, "1. Semi-weekly rule..: Liabilities for Wed, Thur, Fri due next Wed."}}),
    Layout({{25, "Sat, Sun, Mon, and Tue liabilities due next Fri."}}),
    Layout({{2, "2. Monthly rule......: Liabilities due the 15th of the next month."}}),
    Layout({{2, "3. $100,000 rule.....: Due the next day, and monthly becomes semi-weekly."}}),
    Text(""),
    Text("The Deposit Predictor will not display more than 35 transactions."),
};

constexpr TemplateLine kFutaRuleLines[] = {
    Text("Deposit the FUTA tax by the last day of the first month after the quarter."),
    Layout({{16, "Jan, Feb, and Mar amounts are due Apr 30"}}),
    Layout({{16, "Apr, May, and Jun amounts are due Jul 31"}}),
    Layout({{16, "Jul, Aug, and Sep amounts are due Oct 31"}}),
    Layout({{16, "Oct, Nov, and Dec amounts are due Jan 31"}}),
    Text(""),
};

constexpr TemplateLine kPredictorColumnLines[] = {
    Text(""),
    Layout({{1, "Liability date                 Amount     Due date       Tax balance"}}),
};

// ---- IRS input format ------------------------------------------------------
constexpr TemplateLine kIRSHeaderLines[] = {
    Text(""),
    // The issuing service is this system.
    Text("**IRS FORMAT CREATED BY LEDRIX--PENALTY ABATEMENT UNDER RRA 98 SECTION 3304(a)**"),
    Layout({{0, "NAME: "}, {6, FIELD "NAME"}, {46, "TAX ID#: "}, {55, FIELD "IDNM"}}),
    Text(""),
};

constexpr TemplateLine kIRSLiabilityHeadLines[] = {
    Layout({{0, "TOTAL TAX: "},
            {11, FIELD "TOTL"},
            {36, "TOTAL CREDIT USED: "},
            {55, FIELD "TOTCRU"}}),
    Text("A FIRST MONTH OF QUARTER   B SECOND MONTH OF QUARTER  C THIRD MONTH OF QUARTER "),
};

constexpr TemplateLine kIRSDepositHeadLines[] = {
    Layout({{0, "TOTAL AMOUNT OF CREDIT TRANSACTIONS:   "}, {39, FIELD "TOTD"}}),
    Text("TC/E DATE   TRANS-AMOUNT    TC/E DATE   TRANS-AMOUNT    TC/E DATE   TRANS-AMOUNT"),
};

constexpr auto kHeaderAPointers = LinePointers(kNameLinesA, kReturnLines);
constexpr auto kHeaderBPointers = LinePointers(kNameLinesB, kReturnLines);
constexpr auto kHeaderCPointers = LinePointers(kNameLinesC, kUserPeriodLines);
constexpr auto kHeaderDPointers = LinePointers(kNameLinesD, kUserPeriodLines);
constexpr auto kOverpaymentPointers = LinePointers(kOverpaymentLines);
constexpr auto kPenaltyPageHeadPointers = LinePointers(kPenaltyPageHeadLines);
constexpr auto kPenaltyFooterPointers = LinePointers(kPenaltyFooterLines);
constexpr auto kAdditional5Pointers = LinePointers(kAdditional5Lines);
constexpr auto kFailureToFilePointers = LinePointers(kFailureToFileLines);
constexpr auto kFailureToPayPointers = LinePointers(kFailureToPayLines);
constexpr auto kFailureToPayWindowPointers = LinePointers(kFailureToPayWindowLines);
constexpr auto kPenaltySummaryPointers = LinePointers(kPenaltySummaryLines);
constexpr auto kInterestDetailPointers = LinePointers(kInterestDetailLines);
constexpr auto kInterestClosingPointers = LinePointers(kInterestClosingLines);
constexpr auto kRateTablePointers = LinePointers(kRateTableLines);
constexpr auto kHolidayHeadPointers = LinePointers(kHolidayHeadLines);
constexpr auto kMainScreenHeadPointers = LinePointers(kMainScreenHeadLines);
constexpr auto kMainScreenRulesPointers = LinePointers(kMainScreenRuleLines);
constexpr auto kPredictorDepositRulesPointers =
    LinePointers(kPredictorOpeningLines, kDepositRuleLines, kPredictorColumnLines);
constexpr auto kPredictorFutaRulePointers =
    LinePointers(kPredictorOpeningLines, kFutaRuleLines, kPredictorColumnLines);
constexpr auto kIRSLiabilityHeadPointers = LinePointers(kIRSLiabilityHeadLines);
constexpr auto kIRSDepositHeadPointers = LinePointers(kIRSDepositHeadLines);

}  // namespace

const Template kHeaderA = kHeaderAPointers.data();
const Template kHeaderB = kHeaderBPointers.data();
const Template kHeaderC = kHeaderCPointers.data();
const Template kHeaderD = kHeaderDPointers.data();
const Template kOverpaymentNote = kOverpaymentPointers.data();
const Template kPenaltyPageHead = kPenaltyPageHeadPointers.data();
const Template kPenaltyFooter = kPenaltyFooterPointers.data();
const Template kAdditional5Detail = kAdditional5Pointers.data();
const Template kFailureToFileDetail = kFailureToFilePointers.data();
const Template kFailureToPayDetail = kFailureToPayPointers.data();
const Template kFailureToPayWindow = kFailureToPayWindowPointers.data();
const Template kPenaltySummary = kPenaltySummaryPointers.data();
const Template kInterestDetail = kInterestDetailPointers.data();
const Template kInterestClosing = kInterestClosingPointers.data();
const Template kRateTable = kRateTablePointers.data();
const Template kHolidayHead = kHolidayHeadPointers.data();
const Template kMainScreenHead = kMainScreenHeadPointers.data();
const Template kMainScreenRules = kMainScreenRulesPointers.data();
const Template kPredictorDepositRules = kPredictorDepositRulesPointers.data();
const Template kPredictorFutaRule = kPredictorFutaRulePointers.data();
const Template kIRSLiabilityHead = kIRSLiabilityHeadPointers.data();
const Template kIRSDepositHead = kIRSDepositHeadPointers.data();

}  // namespace ledrix::reports

namespace ledrix {

const char* const ppIRSOnlyHdr[] = {
    reports::kIRSHeaderLines[0].text, reports::kIRSHeaderLines[1].text,
    reports::kIRSHeaderLines[2].text, reports::kIRSHeaderLines[3].text, nullptr};

}  // namespace ledrix
