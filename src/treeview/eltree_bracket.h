// A scope that holds the tree's update bracket open, and closes it also when
// an exception leaves the scope.
#pragma once

#include <exception>

#include "treeview/eltree.h"

namespace morvane {

class TTreeBracket {
 public:
  explicit TTreeBracket(TCustomElTree* Tree) : tree_(Tree) { tree_->BeginUpdate(); }
  ~TTreeBracket() noexcept(false) {
    if (std::uncaught_exceptions() > exceptions_) {
      // Already unwinding: the first exception is the one to report.
      try {
        tree_->EndUpdate();
      } catch (...) {
      }
    } else {
      tree_->EndUpdate();
    }
  }
  TTreeBracket(const TTreeBracket&) = delete;
  TTreeBracket& operator=(const TTreeBracket&) = delete;

 private:
  TCustomElTree* tree_;
  int exceptions_ = std::uncaught_exceptions();
};

}  // namespace morvane
