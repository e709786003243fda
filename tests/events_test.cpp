#include "ledrix/events.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace ledrix {
namespace {

struct Entry {
  int type;
  Date date;
  double amount;
};

const Date kJan14(1, 14, 5);
const Date kJan15(1, 15, 5);

// A full 1464-record list holding `entries`, each tagged with its position in
// HostTag so the tests can follow the records through a sort; every
// liability number starts at 77.
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
  for (Event& e : events) e.LiabilityNumber = 77;
  return events;
}

TEST(Events, TypeClassesAndNames) {
  // Types 0-22: L liability, D deposit, A adjustment; -1 and 23 are none.
  const std::string classes = "LDAAAALLLDAADDAAAAAAAAA";
  for (int type = -1; type <= EventTypeCount; ++type) {
    const char k = type >= 0 && type < EventTypeCount ? classes[type] : '-';
    EXPECT_EQ(IsLiabilityType(type), k == 'L') << type;
    EXPECT_EQ(IsDepositType(type), k == 'D') << type;
    EXPECT_EQ(IsAdjustmentType(type), k == 'A') << type;
    EXPECT_EQ(EventTypeFromName(EventTypeName(type)), k == '-' ? -1 : type);
  }
  EXPECT_STREQ(EventTypeName(ADJ_ER_AFT), "ADJ_ER_AFT");
  EXPECT_EQ(EventTypeFromName("deposit"), -1);
}

// Mode 0 sorts by date, mode 1 by type, mode 2 not at all; every mode numbers
// the liabilities from 1 in list order and leaves the other events' numbers.
TEST(Events, SortOrderByModeAndForm) {
  const auto oneDay = List({{LIAB_DUE, kJan15, 10},  // tags 0-4 on 15 January 2005
                            {DEPOSIT, kJan15, 20},
                            {PAYMENT, kJan15, 30},
                            {ADJ_SS, kJan15, -50},
                            {LIABILITY, kJan15, 100},
                            {LIABILITY, kJan14, 40}});  // tag 5, the day before
  const auto byType = List(
      {{PAYMENT, kJan14, 1}, {LIABILITY, kJan15, 1}, {LIABILITY, kJan14, 1}, {DEPOSIT, kJan14, 1}});
  const auto sorted =
      List({{ADJ_SS, kJan14, -5}, {LIABILITY, kJan14, 50}, {LIABILITY, kJan14, 60}});
  const auto mixed = List({{LIABILITY, kJan15, 1},
                           {DEPOSIT, kJan15, 1},
                           {LIAB_TAX, kJan14, 1},
                           {ADJ_WIT, kJan14, 1},
                           {LIAB_BKUP, kJan14, 1}});
  const struct {
    int form, mode;
    const std::vector<Event>& list;
    std::vector<int> order;    // tags after the sort
    std::vector<int> numbers;  // liability numbers after the sort, in list order
  } cases[] = {// the credit first, then ascending type: LIABILITY, DEPOSIT, LIAB_DUE, PAYMENT
               {1, 0, oneDay, {5, 3, 4, 1, 0, 2}, {1, 77, 2, 77, 3, 77}},
               // the credit first, then descending type with PAYMENT last
               {5, 0, oneDay, {5, 3, 0, 1, 4, 2}, {1, 77, 2, 77, 3, 77}},
               {1, 1, byType, {2, 1, 3, 0}, {1, 2, 77, 77}},
               {6, 1, byType, {0, 3, 2, 1}, {77, 77, 1, 2}},
               {1, 0, sorted, {0, 1, 2}, {77, 1, 2}},  // equal records keep their order
               {1, 2, mixed, {0, 1, 2, 3, 4}, {1, 77, 2, 77, 3}}};
  for (const auto& c : cases) {
    Event::CurrentForm = c.form;
    auto events = c.list;
    events[0].Sort(c.mode);
    Event::CurrentForm = -1;
    std::vector<int> tags, numbers;
    for (int i = 0; i < CountEvents(events.data()); ++i) {
      tags.push_back(events[i].HostTag);
      numbers.push_back(events[i].LiabilityNumber);
    }
    EXPECT_EQ(tags, c.order) << "form " << c.form << " mode " << c.mode;
    EXPECT_EQ(numbers, c.numbers) << "form " << c.form << " mode " << c.mode;
  }
  std::vector<Event> empty(MaxEvents);  // an empty list is left alone
  empty[1].LiabilityNumber = 5;
  empty[0].Sort(0);
  EXPECT_EQ(empty[1].LiabilityNumber, 5);
}

TEST(Events, ListEnds) {
  auto events = List({{LIABILITY, kJan14, 1}, {DEPOSIT, kJan14, 1}, {DEPOSIT, kJan15, 1}});
  EXPECT_EQ(CountEvents(events.data()), 3);
  events[2].Date = Date::FromSerial(0);  // serial 0 ends the list as well
  EXPECT_EQ(CountEvents(events.data()), 2);
  std::vector<Event> full(MaxEvents + 1);
  for (Event& e : full) {
    e.Type = DEPOSIT;
    e.Date = kJan14;
  }
  EXPECT_EQ(CountEvents(full.data()), MaxEvents);
}

TEST(Events, TextForms) {
  const struct {
    int type, number;
    const char* text;
  } cases[] = {{DEPOSIT, 3, "Deposit 3"},
               {ADJ_SS, 3, "Adj SS/Med"},
               {COBRA_QTR, 0, "COBRA Subsidy"},
               {COBRA_PMT, 4, "COBRA Subsidy"},
               {LIAB_DUE, 12, "Deposit due on 12"},
               {PAYMENT, 2, "Non-FTD Pay 2"},
               {LIABILITY, 0, "Liability"},
               {ADJ_ER_AFT, 1, "E/R Cr Aft 6/30"},
               {23, 0, "<error>"},
               {-1, 3, ""}};
  char buffer[40];
  for (const auto& c : cases) {
    Event e;
    e.Type = static_cast<std::int16_t>(c.type);
    e.GetType(buffer, c.number);
    EXPECT_STREQ(buffer, c.text);
  }
}

TEST(Events, ClearKeepsOnlyTheHostTag) {
  Event e;
  std::memset(static_cast<void*>(&e), 0xAB, sizeof e);
  e.Clear();
  EXPECT_EQ(e.HostTag, 0xABAB);
  EXPECT_EQ(e.Type, -1);
  EXPECT_EQ(e.Date, Date());
  const double amount = e.Amount;  // packed: copied out before comparing
  EXPECT_EQ(amount, 0.0);
  EXPECT_EQ(e.LiabilityNumber, 0);
  for (unsigned char b : e.HostBytes) EXPECT_EQ(b, 0);
  EXPECT_TRUE(e.EndsList());
}

}  // namespace
}  // namespace ledrix
