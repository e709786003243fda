// The deposit predictor: the open liabilities of the allocation the object
// holds, with what was already set against them, laid into the 35-row table.
#include "ledrix/predictor.h"

#include "compute/liability_slots.h"
#include "ledrix/compute.h"
#include "ledrix/module.h"
#include "ledrix/platform.h"

namespace ledrix {

namespace {

/// Writes rows into the table with the running balance; once the last row
/// is written it warns that the table is full.
class PredictorTable {
 public:
  explicit PredictorTable(PredictorRow* rows) : rows_(rows) {}

  bool Full() const { return next_ == PredictorRowCount; }
  int LastRow() const { return next_ - 1; }

  /// A row whose amount adds to the balance (a liability) or, with
  /// `applied`, is taken off it. Fields given as no date are not written.
  void Add(PredictorKind kind, Date date, double amount, Date dueDate, bool applied) {
    if (Full()) return;
    PredictorRow& row = rows_[next_++];
    row.Kind = kind;
    if (date.IsValid()) row.Date = date;
    row.Amount = amount;
    if (dueDate.IsValid()) row.DueDate = dueDate;
    balance_ += applied ? -amount : amount;
    row.Balance = balance_;
    if (Full()) Notify(LoadString(IDS_PREDICTOR_CAPACITY));
  }

 private:
  PredictorRow* rows_;
  int next_ = 0;
  double balance_ = 0.0;
};

/// An open liability: not paid in full, not covered by the 98% rule, built
/// from events.
bool IsOpen(const CLiability* liability) {
  return liability && liability->Balance >= 0.009 && !liability->Applied98 &&
         detail::HasEvents(*liability);
}

/// The events of an open liability, then what was set against it.
void AddOpenLiability(PredictorTable& table, const CLiability& liability, const Event* events) {
  const EventIndexArray& indices = liability.EventIndices;
  for (int i = 0; i < indices.GetSize() && indices[i] != -1 && !table.Full(); ++i) {
    if (indices[i] >= MaxEvents) continue;
    const Event& event = events[indices[i]];
    table.Add(PredictLiability, event.Date, event.Amount, liability.Date, false);
  }
  if (liability.Balance == liability.Amount) return;
  for (const CDeposit* piece = liability.Next; piece && !table.Full(); piece = piece->Next) {
    if (piece->Amount < 0.009) continue;
    if (IsDepositType(piece->EventType)) {
      table.Add(PredictApplied, piece->Date, piece->Amount, Date(), true);
    } else {
      // Every credit shows as an adjustment applied at the liability's due
      // date, those of the later types (15-22) as the older ones.
      table.Add(PredictAdjustment, liability.Date, piece->Amount, Date(), true);
    }
  }
}

/// An open catch-up liability, and the part of it already paid.
void AddOpenCatchup(PredictorTable& table, const CLiability& catchup) {
  table.Add(PredictCatchup, Date(), catchup.Amount, catchup.Date, false);
  if (catchup.Balance != catchup.Amount) {
    table.Add(PredictApplied, Date(), catchup.Amount - catchup.Balance, Date(), true);
  }
}

}  // namespace

int CCompute::SetPredictor(CPredictHandler* handler, C941Doc*) {
  if (handler == nullptr) return -1;
  PredictorTable table(handler->Rows);
  const int regular = detail::RegularSlotCount(*this);
  for (int j = 0; Events && j < regular && !table.Full(); ++j) {
    if (IsOpen(Liabilities[j])) AddOpenLiability(table, *Liabilities[j], Events);
  }
  const int catchups = detail::CatchupSlotCount(*this);
  for (int k = 0; k < catchups && !table.Full(); ++k) {
    const CLiability* catchup = CatchupLiabilities[k];
    if (catchup && catchup->Balance > 0.009) AddOpenCatchup(table, *catchup);
  }
  return table.LastRow();
}

bool HasDepositsAfter(const Event* events, Date date) {
  if (events == nullptr) return false;
  for (int i = 0; i < MaxEvents; ++i) {
    const Event& event = events[i];
    if (!event.Date.IsValid() || event.Date <= date || event.Type == -1) continue;
    if (IsDepositType(event.Type) || (IsAdjustmentType(event.Type) && event.Amount < 0.0)) {
      return true;
    }
  }
  return false;
}

}  // namespace ledrix
