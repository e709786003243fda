#include "support/returns.h"

#include <gtest/gtest.h>

namespace ledrix::testing {

std::unique_ptr<C941Doc> MakeDoc(int form, int quarter, int computeMethod) {
  auto doc = std::make_unique<C941Doc>();
  doc->Form = form;
  doc->Quarter = quarter;
  doc->ComputeMethod = computeMethod;
  return doc;
}

std::unique_ptr<Event[]> MakeEventList() {
  return std::make_unique<Event[]>(MaxEvents);
}

Date D(const char* text) {
  Date date;
  if (!date.Parse(text)) {
    ADD_FAILURE() << "not a date: " << text;
    return Date();
  }
  return date;
}

int AddEvent(Event* events, int type, const char* date, double amount) {
  for (int i = 0; i < MaxEvents; ++i) {
    if (!events[i].EndsList()) continue;
    Event& event = events[i];
    event.Clear();
    event.Type = static_cast<std::int16_t>(type);
    event.Date = D(date);
    event.Amount = amount;
    return i;
  }
  return -1;
}

int AddEvent(C941Doc& doc, int type, const char* date, double amount) {
  return AddEvent(doc.Events, type, date, amount);
}

}  // namespace ledrix::testing
