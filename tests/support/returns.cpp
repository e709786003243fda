#include "support/returns.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace ledrix::testing {

std::string DataText(const std::string& name) {
  std::stringstream text;
  text << std::ifstream(std::string(LEDRIX_SOURCE_DIR) + "/tests/data/" + name, std::ios::binary)
              .rdbuf();
  return text.str();
}

std::vector<std::vector<std::string>> DataRows(const std::string& name) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream table(DataText(name));
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    for (const auto& [code, end] : {std::pair{"\\r", "\r"}, std::pair{"\\n", "\n"}}) {
      for (size_t at; (at = line.find(code)) != std::string::npos;) line.replace(at, 2, end);
    }
    std::vector<std::string>& cells = rows.emplace_back();
    for (size_t from = 0, tab = 0; tab != std::string::npos; from = tab + 1) {
      tab = line.find('\t', from);
      cells.push_back(line.substr(from, tab - from));
    }
  }
  return rows;
}

Date D(const char* text) {
  Date date;
  if (text != nullptr && !date.Parse(text)) ADD_FAILURE() << "not a date: " << text;
  return text != nullptr && date.IsValid() ? date : Date();
}

std::unique_ptr<Event[]> MakeEvents(Entries entries) {
  auto events = std::make_unique<Event[]>(MaxEvents);
  for (const Entry& e : entries) AddEvent(events.get(), e.type, D(e.date), e.amount);
  return events;
}

int AddEvent(Event* events, int type, Date date, double amount) {
  for (int i = 0; i < MaxEvents; ++i) {
    if (!events[i].EndsList()) continue;
    events[i].Clear();
    events[i].Type = static_cast<std::int16_t>(type);
    events[i].Date = date;
    events[i].Amount = amount;
    return i;
  }
  return -1;
}

std::unique_ptr<C941Doc> MakeDoc(int form, int quarter, int schedule, Entries entries) {
  auto doc = std::make_unique<C941Doc>();
  doc->Form = form;
  doc->Quarter = quarter;
  doc->ComputeMethod = schedule;
  for (const Entry& e : entries) AddEvent(doc->Events, e.type, D(e.date), e.amount);
  return doc;
}

void Prepare(CCompute& c, int quarter, int schedule, Entries entries, const char* computeDate) {
  c.SetQuarter(quarter);
  c.SetComputeMethod(schedule);
  c.SetEvents(MakeEvents(entries).get());
  c.SetDueDate(quarter);
  c.SetComputeDate(D(computeDate));
}

namespace {
CLiability* FirstRegular(CCompute& c, ledrix::Date CLiability::*field, Date date) {
  for (int j = 0; j < c.LiabilitySlots; ++j) {
    CLiability* l = c.Liabilities[j];
    if (l != nullptr && l->Amount > 0.009 && l->*field == date) return l;
  }
  return nullptr;
}
}  // namespace

CLiability* LiabilityDue(CCompute& c, const char* due) {
  return FirstRegular(c, &CLiability::Date, D(due));
}

CLiability* LiabilityArisen(CCompute& c, const char* date) {
  return FirstRegular(c, &CLiability::LiabilityDate, D(date));
}

std::vector<CDeposit*> Pieces(const CLiability* liability) {
  std::vector<CDeposit*> pieces;
  for (CDeposit* d = liability->Next; d != nullptr; d = d->Next) pieces.push_back(d);
  return pieces;
}

std::string ChainText(const CLiability* liability) {
  std::string text;
  for (const CDeposit* d = liability->Next; d != nullptr; d = d->Next) {
    char date[16], rate[8], line[96];
    d->Date.Format(date);
    d->GetRate(rate);
    int n = std::snprintf(line, sizeof line, "%s%s %.2f/%.2f", text.empty() ? "" : ", ", date,
                          d->Amount, d->Balance);
    if (d->DaysLate != 0 || d->RateIndex != 0 || d->Penalty != 0.0) {
      std::snprintf(line + n, sizeof line - n, " late %d %s %.2f", d->DaysLate,
                    rate + (rate[0] == ' '), d->Penalty);
    }
    text += line;
  }
  return text;
}

CLiability* NewLiability(const char* due, double amount, int catchup) {
  auto* l = new CLiability();
  l->Date = l->LiabilityDate = D(due);
  l->Amount = l->Balance = amount;
  l->Catchup = catchup;
  return l;
}

CDeposit* AddPiece(CLiability& liability, const char* date, double amount, int type, int number) {
  CDeposit* d = liability.AddDeposit();
  d->Date = D(date);
  d->Amount = amount;
  d->EventType = type;
  d->DepositNumber = number;
  return d;
}

}  // namespace ledrix::testing
