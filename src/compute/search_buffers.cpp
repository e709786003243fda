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

CDeposit* PiecePool::New() {
  if (used_ == kBlockPieces) {
    ++block_;
    used_ = 0;
  }
  if (block_ == blocks_.size()) {
    std::unique_ptr<CDeposit[]> block(new (std::nothrow) CDeposit[kBlockPieces]);
    if (block == nullptr) return nullptr;
    blocks_.push_back(std::move(block));
  }
  CDeposit* piece = &blocks_[block_][used_++];
  *piece = CDeposit();
  return piece;
}

bool PiecePool::Owns(const CDeposit* piece) const {
  const std::less<const CDeposit*> before;
  return std::any_of(blocks_.begin(), blocks_.end(), [&](const std::unique_ptr<CDeposit[]>& b) {
    return !before(piece, b.get()) && before(piece, b.get() + kBlockPieces);
  });
}

void PiecePool::Reset() {
  block_ = 0;
  used_ = 0;
}

// ---- ChainLedger ---------------------------------------------------------------

void ChainLedger::Open(CLiability* l) {
  liability = l;
  last = l;
  paid = 0.0;
  deposited = 0.0;
  paidAfterDue = false;
  for (CDeposit* piece = l->Next; piece != nullptr; piece = piece->Next) {
    last = piece;
    paidAfterDue = paidAfterDue || piece->Date > l->Date;
    Counted(*piece);
  }
}

void ChainLedger::Append(CDeposit* piece) {
  last->Next = piece;
  last = piece;
  paidAfterDue = paidAfterDue || piece->Date > liability->Date;
}

void ChainLedger::Counted(const CDeposit& piece) {
  paid += piece.Amount;
  if (IsDepositType(piece.EventType)) deposited += piece.Amount;
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

CDeposit* NewPiece(CCompute& compute) {
  if (compute.Buffers != nullptr && compute.Buffers->PoolPieces) {
    return compute.Buffers->Pieces.New();
  }
  return new (std::nothrow) CDeposit();
}

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

}  // namespace ledrix
