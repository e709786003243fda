#include <utility>

#include "ledrix/module.h"

namespace ledrix {

namespace {

// The library's string table: event type display texts (102 + type code),
// the allocation-method labels and the deposit predictor's warning.
constexpr std::pair<int, const char*> kStrings[] = {
    {102, "Liability"},
    {103, "Deposit"},
    {104, "Adj W/FIT"},
    {105, "Adj SS/Med"},
    {106, "Adj Backup"},
    {107, "Adj Sick Pay"},
    {108, "Deposit due on"},
    {109, "Liab-Tax"},
    {110, "Liab-Backup"},
    {111, "Non-FTD Pay"},
    {112, "Adjustment"},
    {113, "Adj Tips/GTLI"},
    {114, "COBRA Subsidy"},
    {115, "COBRA Subsidy"},
    {116, "Rsch SS Credit"},
    {117, "Sick/Fam SS Cr"},
    {118, "Emp Ret Credit"},
    {119, "Def'ed SS Pmt"},
    {120, "S/F Cr Pre 4/1"},
    {121, "S/F Cr Aft 3/31"},
    {122, "COBRA Ass Cr"},
    {123, "E/R Cr Pre 7/1"},
    {124, "E/R Cr Aft 6/30"},
    {125, "<error>"},
    {130, "(ALTERNATIVE PAYMENT ALLOCATION 0%.2o)"},
    {131, "(IRS PAYMENT ALLOCATION)"},
    {132,
     "You have exceeded the capacity of the Deposit Predictor.\nThe results will not be "
     "accurate."},
    {137, "(IRS PAYMENT ALLOCATION %d)"},
};

}  // namespace

std::string LoadString(int id) {
  for (const auto& [key, text] : kStrings) {
    if (key == id) return text;
  }
  return std::string();
}

const char* VersionText() {
  return "Ledrix Version 2012.2";
}

}  // namespace ledrix
