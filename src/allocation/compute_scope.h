// Working state that lives while one operation of a compute object runs and
// that the virtual steps it calls (which take no extra arguments) find
// again through For(). One current scope per thread; scopes nest.
#pragma once

#include "ledrix/compute.h"

namespace ledrix {

template <class Derived, class Compute>
class ComputeScope {
 public:
  explicit ComputeScope(Compute& compute) : owner_(&compute), outer_(current_) {
    current_ = static_cast<Derived*>(this);
  }
  ~ComputeScope() { current_ = outer_; }
  ComputeScope(const ComputeScope&) = delete;
  ComputeScope& operator=(const ComputeScope&) = delete;

  /// The scope of the operation `compute` is running, or null.
  static Derived* For(const CCompute& compute) {
    const ComputeScope* scope = current_;
    return scope != nullptr && scope->owner_ == &compute ? current_ : nullptr;
  }

 protected:
  Compute& Owner() const { return *owner_; }

 private:
  Compute* owner_;
  Derived* outer_;
  static inline thread_local Derived* current_ = nullptr;
};

}  // namespace ledrix
