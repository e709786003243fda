#include "compute/search_buffers.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <new>
#include <typeinfo>

#include "compute/liability_slots.h"
#include "ledrix/events.h"

namespace ledrix {

// ---- PiecePool ---------------------------------------------------------------

bool PiecePool::NextBlock() {
  const size_t block = next_ == nullptr ? 0 : block_ + 1;  // none handed out yet: the first
  if (block == blocks_.size()) {
    std::unique_ptr<CDeposit[]> made(new (std::nothrow) CDeposit[kBlockPieces]);
    if (made == nullptr) return false;
    blocks_.push_back(std::move(made));
  }
  block_ = block;
  next_ = blocks_[block].get();
  end_ = next_ + kBlockPieces;
  return true;
}

bool PiecePool::Owns(const CDeposit* piece) const {
  const std::less<const CDeposit*> before;
  return std::any_of(blocks_.begin(), blocks_.end(), [&](const std::unique_ptr<CDeposit[]>& b) {
    return !before(piece, b.get()) && before(piece, b.get() + kBlockPieces);
  });
}

void PiecePool::Reset() {
  block_ = 0;
  next_ = end_ = nullptr;
}

// ---- ChainLedger ---------------------------------------------------------------

void ChainLedger::Read(CLiability* l) {
  liability = l;
  last = l;
  paid = 0.0;
  deposited = 0.0;
  paidAfterDue = false;
  for (CDeposit* piece = l->Next; piece != nullptr; piece = piece->Next) {
    last = piece;
    paidAfterDue = paidAfterDue || piece->Date > l->Date;
    Counted(*piece, IsDepositType(piece->EventType));
  }
}

// ---- the buffers of a compute object ----------------------------------------------

SearchBuffers* BuffersOf(CCompute& compute) {
  if (compute.Buffers == nullptr) compute.Buffers.reset(new (std::nothrow) SearchBuffers());
  return compute.Buffers.get();
}

bool RunsOwnSteps(const CCompute& compute) {
  const std::type_info& type = typeid(compute);
  return type == typeid(C941Compute) || type == typeid(C943Compute) ||
         type == typeid(C945Compute) || type == typeid(C940Compute) ||
         type == typeid(CAnnCompute) || type == typeid(CCompute);
}

namespace {

bool IsPooled(const CCompute& compute, const CDeposit* piece) {
  return compute.Buffers != nullptr && compute.Buffers->Pieces.Owns(piece);
}

}  // namespace

void FreePiece(const CCompute& compute, CDeposit* piece) {
  if (!IsPooled(compute, piece)) delete piece;
}

void FreeChain(const CCompute& compute, CLiability& liability) {
  while (CDeposit* first = liability.Next) {
    liability.Next = first->Next;
    FreePiece(compute, first);
  }
}

void ReleasePooledPieces(CCompute& compute) {
  if (compute.Buffers != nullptr) compute.Buffers->Pieces.Reset();
}

void ForgetRegularEnd(CCompute& compute) {
  if (compute.Buffers != nullptr) compute.Buffers->RegularEnd = -1;
}

void NoteRegularEnd(CCompute& compute, int used) {
  ForgetRegularEnd(compute);
  if (compute.Buffers == nullptr || !compute.Buffers->OwnRun) return;
  compute.Buffers->RegularEnd = used >= 0 ? used : UsedRegularSlots(compute);
}

}  // namespace ledrix
