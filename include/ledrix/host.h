// The host's records that the library reads and writes: the document of
// one return period and the employer's company record. Only these fields
// bind the library; a host is free to hold more elsewhere.
#pragma once

#include "ledrix/date.h"
#include "ledrix/events.h"
#include "ledrix/export.h"
#include "ledrix/penalties.h"

namespace ledrix {

struct Company {
  char Name[128] = {};  ///< employer name (reports print its first 49 characters)
  char EIN[32] = {};
  double WithholdingAdjustments = 0.0;        ///< sum of ADJ_WIT
  double SocialSecurityAdjustments = 0.0;     ///< sum of ADJ_SS and ADJ_SICK
  double BackupWithholdingAdjustments = 0.0;  ///< sum of ADJ_BW before 1994
};

/// The return period being worked on. About 160 KB: allocate it on the heap.
struct C941Doc {
  int Quarter = 0;        ///< quarter index of the period
  int Form = 1;           ///< 1 941, 2 940, 3 943, 4 945, 6 user period, 10 944
  int ComputeMethod = 0;  ///< 0 monthly, 1 semi-weekly, 2 first-time semi-weekly
  ledrix::Company Company;
  double DeferredAmount = 0.0;
  Event Events[MaxEvents];
  double DailyLiabilities[3][32] = {};
  double PeriodTotals[14] = {};
  CPenalties Penalties;
  int MissingRateFlag = 0;
  int ExcessAdjustments = 0;
  Date UserPeriodStart;
  Date UserPeriodEnd;
  Date UserPeriodDueDate;
};

/// The host's deposit-predictor object, whose start is the 35-row table that
/// CCompute::SetPredictor fills (ledrix/predictor.h).
class CPredictHandler;

}  // namespace ledrix
