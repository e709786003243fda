// Ledrix: US federal payroll-tax penalties of one return period.
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
