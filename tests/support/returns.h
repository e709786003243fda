// Builders for test returns: a host document on the heap and event lists
// filled one event at a time.
//
//   auto doc = ledrix::testing::MakeDoc(1, 100);  // Form 941, 2005 Q1
//   AddEvent(*doc, ledrix::LIABILITY, "01/14/05", 3000.00);
//   AddEvent(*doc, ledrix::DEPOSIT, "01/19/05", 3000.00);
#pragma once

#include <memory>

#include "ledrix/compute.h"
#include "ledrix/date.h"
#include "ledrix/events.h"
#include "ledrix/host.h"

namespace ledrix::testing {

/// A fresh document (empty event list) of `form` for quarter index
/// `quarter` with the depositor schedule `computeMethod`.
std::unique_ptr<C941Doc> MakeDoc(int form, int quarter, int computeMethod = 0);

/// An empty list of MaxEvents records, as the compute object's SetEvents
/// expects.
std::unique_ptr<Event[]> MakeEventList();

/// The date of "MM/DD/YY" text (any form Date::Parse reads); a text that
/// does not parse fails the calling test and gives no date.
Date D(const char* text);

/// Writes an event into the first free record of `events` (the list stays
/// ended by the record after it). Returns its index, or -1 when full.
int AddEvent(Event* events, int type, const char* date, double amount);
int AddEvent(C941Doc& doc, int type, const char* date, double amount);

}  // namespace ledrix::testing
