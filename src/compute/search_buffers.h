// Working storage a compute object keeps for the search over the allocation
// methods, reused from method to method and from return to return: the pool
// the alternatives take their deposit pieces from, the running totals of the
// liabilities' chains, and what the steps of a Penalty run of one of the
// library's own form classes know of each other (where the regular slots
// end, the catch-up slot of each due date, which methods repeat an earlier
// one).
//
// Pieces come from the pool only while the alternatives of a search run on
// an object of one of the library's own form classes: then every step that
// touches a chain is the library's own and frees a pooled piece by leaving
// it to the pool. A host's subclass may override any step, so its pieces
// always come from the heap. The last step of a search (the winner applied
// again) takes heap pieces too: what the host reads and frees afterwards is
// an ordinary chain.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "compute/liability_slots.h"
#include "ledrix/compute.h"

namespace ledrix {

/// Deposit pieces in blocks, handed out in order and taken back all at once.
class PiecePool {
 public:
  /// A default piece; null when no block could be had.
  CDeposit* New() {
    if (next_ == end_ && !NextBlock()) return nullptr;
    *next_ = CDeposit();
    return next_++;
  }
  bool Owns(const CDeposit* piece) const;
  /// Every piece back (the blocks stay for the next method).
  void Reset();

 private:
  static constexpr int kBlockPieces = 256;
  /// Moves on to the next block, made when there is none yet.
  bool NextBlock();

  std::vector<std::unique_ptr<CDeposit[]>> blocks_;
  size_t block_ = 0;          ///< the block pieces are handed out from, once one is
  CDeposit* next_ = nullptr;  ///< the next piece of that block
  CDeposit* end_ = nullptr;
};

/// A liability's chain as the alternative application extends it: its last
/// piece and the sums TotalPayments and TotalDeposits would give, kept up as
/// pieces are appended (in chain order, so every sum is the same to the bit).
struct ChainLedger {
  CLiability* liability = nullptr;
  CDeposit* last = nullptr;   ///< the last piece, or the liability itself
  double paid = 0.0;          ///< every piece
  double deposited = 0.0;     ///< the pieces of the deposit class
  bool paidAfterDue = false;  ///< a piece dated after the due date

  /// Reads the chain of `l` as it stands.
  void Read(CLiability* l);
  /// Links `piece` at the end of the chain; its date counts at once, its
  /// amount when Counted is called.
  void Append(CDeposit* piece) {
    last->Next = piece;
    last = piece;
    paidAfterDue = paidAfterDue || piece->Date > liability->Date;
  }
  /// Adds the amount of the last piece, of the deposit class or not.
  void Counted(const CDeposit& piece, bool depositClass) {
    paid += piece.Amount;
    if (depositClass) deposited += piece.Amount;
  }
};

/// Answers kept by due date (the catch-up slot of each due date asked), in
/// a small table where a due date takes the entry of its low bits.
class AnswerByDueDate {
 public:
  template <class Work>
  int Of(Date due, Work work) {
    Entry& entry = entries_[due.Serial % kEntries];
    if (!entry.known || entry.due != due.Serial) entry = {due.Serial, true, work()};
    return entry.answer;
  }
  void Clear() {
    for (Entry& entry : entries_) entry.known = false;
  }

 private:
  struct Entry {
    std::uint16_t due;
    bool known;
    int answer;
  };
  static constexpr int kEntries = 64;
  Entry entries_[kEntries] = {};
};

class SearchBuffers {
 public:
  PiecePool Pieces;
  /// True while pieces come from the pool (see the head of this file).
  bool PoolPieces = false;
  /// True during a Penalty run of an object whose steps are the library's
  /// own.
  bool OwnRun = false;
  /// During such a run: one past the last regular slot that holds a
  /// liability, as the last rebuild or restore left it (no step of a method
  /// moves a liability past it); -1 when not known.
  int RegularEnd = -1;
  /// During such a run: CatchupIndex of each due date asked.
  AnswerByDueDate CatchupSlotByDueDate;
  /// During a search of such a run: the method whose allocation method m is
  /// known to repeat (its result is taken then), or -1.
  int SameResultAs[MethodResultCount];
  /// The alternative method whose allocation is being run, by the search of
  /// such a run; -1 otherwise.
  int SharingMethod = -1;
  /// Set by the search of such a run when an alternative took a known result
  /// and so left its liabilities as its rebuild restored them: the next
  /// alternative's restore has nothing to undo.
  bool LeftAsRestored = false;
  /// One ledger per regular slot, then one per catch-up slot.
  ChainLedger Ledgers[MaxLiabilitySlots + MaxCatchupSlots];
};

/// The buffers of `compute`, made on first use; null if they cannot be made.
SearchBuffers* BuffersOf(CCompute& compute);

/// Whether every step the search calls on `compute` is the library's own:
/// the object is of one of the library's form classes, not a host's subclass.
bool RunsOwnSteps(const CCompute& compute);

/// A default piece for a chain of one of `compute`'s liabilities.
inline CDeposit* NewPiece(CCompute& compute) {
  SearchBuffers* buffers = compute.Buffers.get();
  if (buffers != nullptr && buffers->PoolPieces) return buffers->Pieces.New();
  return new (std::nothrow) CDeposit();
}
/// Frees a piece unlinked from one of `compute`'s chains.
void FreePiece(const CCompute& compute, CDeposit* piece);
/// Frees every piece of the liability's chain, as CLiability::FreeDeposits.
void FreeChain(const CCompute& compute, CLiability& liability);
/// Hands every pooled piece back; called once no chain of `compute` holds
/// one any more.
void ReleasePooledPieces(CCompute& compute);

/// One past the last regular slot in use that holds a liability.
inline int UsedRegularSlots(const CCompute& compute) {
  const SearchBuffers* buffers = compute.Buffers.get();
  if (buffers != nullptr && buffers->RegularEnd >= 0) return buffers->RegularEnd;
  return detail::OccupiedEnd(compute.Liabilities, detail::RegularSlotCount(compute));
}

/// Before the regular slots are filled or moved: UsedRegularSlots counts
/// them until NoteRegularEnd.
void ForgetRegularEnd(CCompute& compute);
/// After a rebuild or a restore that left `used` as UsedRegularSlots (or -1:
/// count them): keeps it for the other steps of an own run.
void NoteRegularEnd(CCompute& compute, int used = -1);

}  // namespace ledrix
