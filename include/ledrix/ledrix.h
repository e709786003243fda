// Ledrix: US federal payroll-tax penalties of one return period.
//
// Threads: several threads may compute at once, each with compute objects,
// documents, rate tables and report generators of its own. What they share
// is safe to share: the holiday calendar (Holiday::Shared, loaded once
// under a lock and read-only after), the string table and the built-in
// rates (constant), the clock and the notification sink (the sink is swapped
// under a lock). The current form and the liability sort's event pointer
// are per thread, so set Event::CurrentForm on the thread that computes.
#pragma once

#include "ledrix/amounts.h"
#include "ledrix/compute.h"
#include "ledrix/date.h"
#include "ledrix/events.h"
#include "ledrix/export.h"
#include "ledrix/holiday.h"
#include "ledrix/host.h"
#include "ledrix/interest.h"
#include "ledrix/legal_holidays.h"
#include "ledrix/liability.h"
#include "ledrix/module.h"
#include "ledrix/penalties.h"
#include "ledrix/platform.h"
#include "ledrix/predictor.h"
#include "ledrix/reports.h"
