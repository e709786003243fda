#include "ledrix/events.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

using namespace ledrix;

namespace {

struct Entry {
  int type;
  ledrix::Date date;
  double amount;
};

// A full 1464-slot list holding `entries`, each tagged with its position in
// HostTag so the tests can follow the records through a sort.
std::vector<Event> List(std::initializer_list<Entry> entries) {
  std::vector<Event> events(MaxEvents);
  std::uint16_t tag = 0;
  for (const Entry& e : entries) {
    events[tag].Type = static_cast<std::int16_t>(e.type);
    events[tag].Date = e.date;
    events[tag].Amount = e.amount;
    events[tag].HostTag = tag;
    ++tag;
  }
  return events;
}

std::vector<int> Tags(const std::vector<Event>& events) {
  std::vector<int> tags;
  for (int i = 0; i < CountEvents(events.data()); ++i) tags.push_back(events[i].HostTag);
  return tags;
}

class FormScope {
 public:
  explicit FormScope(int form) { Event::CurrentForm = form; }
  ~FormScope() { Event::CurrentForm = -1; }
};

const ledrix::Date kJan14(1, 14, 5);
const ledrix::Date kJan15(1, 15, 5);

std::vector<std::string> dumped;
void Collect(const char* line) {
  dumped.push_back(line);
}

}  // namespace

TEST(Events, TypeClassesAndNames) {
  const std::vector<int> liabilities = {0, 6, 7, 8}, deposits = {1, 9, 12, 13};
  for (int type = -1; type <= EventTypeCount; ++type) {
    const bool liability = std::count(liabilities.begin(), liabilities.end(), type) > 0;
    const bool deposit = std::count(deposits.begin(), deposits.end(), type) > 0;
    const bool known = type >= 0 && type < EventTypeCount;
    EXPECT_EQ(IsLiabilityType(type), liability) << type;
    EXPECT_EQ(IsDepositType(type), deposit) << type;
    EXPECT_EQ(IsAdjustmentType(type), known && !liability && !deposit) << type;
    if (known) {
      EXPECT_EQ(EventTypeFromName(EventTypeName(type)), type);
    }
  }
  EXPECT_STREQ(EventTypeName(ADJ_ER_AFT), "ADJ_ER_AFT");
  EXPECT_EQ(EventTypeName(23), nullptr);
  EXPECT_EQ(EventTypeFromName("deposit"), -1);
  EXPECT_EQ(EventTypeFromName(nullptr), -1);
}

// One day's events: tags 1..5 are on 15 January 2005, tag 0 the day before.
TEST(Events, DateOrderOnOneDayDependsOnTheForm) {
  const auto unsorted = List({{LIAB_DUE, kJan15, 10},  // tag 0
                              {DEPOSIT, kJan15, 20},
                              {PAYMENT, kJan15, 30},
                              {ADJ_SS, kJan15, -50},
                              {LIABILITY, kJan15, 100},
                              {LIABILITY, kJan14, 40}});  // tag 5
  struct Case {
    int form;
    std::vector<int> order;
    std::vector<int> numbers;  // by tag: liability numbers after the sort
  } cases[] = {
      // the credit first, then ascending type: LIABILITY, DEPOSIT, LIAB_DUE, PAYMENT
      {1, {5, 3, 4, 1, 0, 2}, {3, 0, 0, 0, 2, 1}},
      // the credit first, then descending type with PAYMENT last
      {5, {5, 3, 0, 1, 4, 2}, {2, 0, 0, 0, 3, 1}},
  };
  for (const Case& c : cases) {
    FormScope form(c.form);
    auto events = unsorted;
    events[0].Sort(0);
    EXPECT_EQ(Tags(events), c.order) << c.form;
    for (int i = 0; i < 6; ++i) {
      const int tag = events[i].HostTag;
      EXPECT_EQ(events[i].LiabilityNumber, c.numbers[tag]) << c.form << " tag " << tag;
    }
  }
}

TEST(Events, SortedListKeepsItsOrderAndIsRenumbered) {
  auto events = List({{ADJ_SS, kJan14, -5},
                      {LIABILITY, kJan14, 50},
                      {LIABILITY, kJan14, 60},  // equal to the one before
                      {DEPOSIT, kJan15, 110}});
  for (Event& e : events) e.LiabilityNumber = 99;
  events[0].Sort(0);
  EXPECT_EQ(Tags(events), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(events[1].LiabilityNumber, 1);
  EXPECT_EQ(events[2].LiabilityNumber, 2);
  EXPECT_EQ(events[3].LiabilityNumber, 99);  // not a liability: untouched

  // Mode 2 sorts nothing but still numbers the liabilities.
  auto listed = List({{LIABILITY, kJan15, 1},
                      {DEPOSIT, kJan15, 1},
                      {LIAB_TAX, kJan14, 1},
                      {ADJ_WIT, kJan14, 1},
                      {LIAB_BKUP, kJan14, 1}});
  for (Event& e : listed) e.LiabilityNumber = 77;
  listed[0].Sort(2);
  EXPECT_EQ(Tags(listed), (std::vector<int>{0, 1, 2, 3, 4}));
  const int expected[] = {1, 77, 2, 77, 3};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(listed[i].LiabilityNumber, expected[i]);

  // An empty list is left alone.
  std::vector<Event> empty(MaxEvents);
  empty[1].LiabilityNumber = 5;
  empty[0].Sort(0);
  EXPECT_EQ(empty[1].LiabilityNumber, 5);
}

TEST(Events, TypeOrder) {
  const auto unsorted = List(
      {{PAYMENT, kJan14, 1}, {LIABILITY, kJan15, 1}, {LIABILITY, kJan14, 1}, {DEPOSIT, kJan14, 1}});
  for (auto [form, order] :
       {std::pair{1, std::vector<int>{2, 1, 3, 0}}, std::pair{6, std::vector<int>{0, 3, 2, 1}}}) {
    FormScope scope(form);
    auto events = unsorted;
    events[0].Sort(1);
    EXPECT_EQ(Tags(events), order) << form;
  }
}

TEST(Events, ListEnds) {
  auto events = List({{LIABILITY, kJan14, 1}, {DEPOSIT, kJan14, 1}, {DEPOSIT, kJan15, 1}});
  EXPECT_EQ(CountEvents(events.data()), 3);
  events[2].Date = ledrix::Date::FromSerial(0);  // serial 0 ends the list as well
  EXPECT_EQ(CountEvents(events.data()), 2);
  std::vector<Event> full(MaxEvents + 1);
  for (int i = 0; i < MaxEvents + 1; ++i) {
    full[i].Type = DEPOSIT;
    full[i].Date = kJan14;
  }
  EXPECT_EQ(CountEvents(full.data()), MaxEvents);
}

TEST(Events, TextForms) {
  struct Case {
    int type;
    int number;
    const char* text;
  } cases[] = {
      {DEPOSIT, 3, "Deposit 3"},
      {ADJ_SS, 3, "Adj SS/Med"},
      {COBRA_QTR, 0, "COBRA Subsidy"},
      {COBRA_PMT, 4, "COBRA Subsidy"},
      {LIAB_DUE, 12, "Deposit due on 12"},
      {PAYMENT, 2, "Non-FTD Pay 2"},
      {LIABILITY, 0, "Liability"},
      {ADJ_ER_AFT, 1, "E/R Cr Aft 6/30"},
      {23, 0, "<error>"},
      {-1, 3, ""},
  };
  for (const Case& c : cases) {
    Event e;
    e.Type = static_cast<std::int16_t>(c.type);
    char buffer[40];
    e.GetType(buffer, c.number);
    EXPECT_STREQ(buffer, c.text);
  }

  Event e;
  e.Type = DEPOSIT;
  e.Date = kJan15;
  e.Amount = 1234.5;
  char buffer[40];
  e.GetDate(buffer, 1);
  EXPECT_STREQ(buffer, "01-15-05 Sat");
  e.GetAmount(buffer);
  EXPECT_STREQ(buffer, "1234.50");

  EXPECT_EQ(SetTraceSink(Collect), nullptr);  // by default the trace goes nowhere
  e.Dump();
  e.Type = DEFER_SS;
  e.Amount = -20;
  e.Dump();
  SetTraceSink(nullptr);
  EXPECT_EQ(dumped,
            (std::vector<std::string>{"DEPOSIT   01-15-05 1,234.50", "BAD 17 01-15-05 -20.00"}));
  e.Date = ledrix::Date();
  e.GetDate(buffer, 0);
  EXPECT_STREQ(buffer, "");
}

TEST(Events, ClearKeepsOnlyTheHostTag) {
  Event e;
  std::memset(static_cast<void*>(&e), 0xAB, sizeof e);
  e.Clear();
  EXPECT_EQ(e.HostTag, 0xABAB);
  EXPECT_EQ(e.Type, -1);
  EXPECT_EQ(e.Date, ledrix::Date());
  const double amount = e.Amount;  // packed: copied out before comparing
  EXPECT_EQ(amount, 0.0);
  EXPECT_EQ(e.LiabilityNumber, 0);
  for (unsigned char b : e.HostBytes) EXPECT_EQ(b, 0);
  EXPECT_TRUE(e.EndsList());
}
