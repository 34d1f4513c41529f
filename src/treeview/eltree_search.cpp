#include "treeview/eltree_search.h"

#include "platform/core/sysutils.h"
#include "platform/core/threads.h"
#include "treeview/eltree.h"

namespace morvane {

namespace {

// Sleeps one period at a time; ends after a period in which no key arrived.
// Stopping wakes it at once, so that nobody waits a whole period for it.
class TSearchTextTimeoutThread : public TThread {
 public:
  TSearchTextTimeoutThread() : TThread(true) {}
  ~TSearchTextTimeoutThread() override { TerminateAndWait(); }

  void SetKeyArrived(bool Value) {
    TCriticalSectionLock l(Lock);
    keyArrived_ = Value;
  }
  bool GetKeyArrived() {
    TCriticalSectionLock l(Lock);
    return keyArrived_;
  }
  std::atomic<unsigned> Timeout{500};
  void Wake() { wake_.SetEvent(); }

  TCriticalSection Lock;

 protected:
  void Execute() override {
    while (!Terminated()) {
      wake_.WaitFor(Timeout.load());
      if (Terminated()) break;
      TCriticalSectionLock l(Lock);
      if (!keyArrived_) break;
      keyArrived_ = false;
    }
  }

 private:
  bool keyArrived_ = false;
  TSimpleEvent wake_;
};

class TThreadSearchTimeout : public IElSearchTimeout {
 public:
  TThreadSearchTimeout() {
    // OnTerminate runs on the user-interface thread.
    thread_.OnTerminate = [this](TObject*) {
      finished_ = true;
      if (!stopped_ && OnEnded) OnEnded();
    };
  }
  ~TThreadSearchTimeout() override {
    stopped_ = true;
    thread_.Terminate();
    thread_.Wake();
  }
  void SetTimeout(unsigned Ms) override { thread_.Timeout = Ms; }
  void SetKeyArrived(bool Value) override { thread_.SetKeyArrived(Value); }
  bool KeyArrived() const override {
    return const_cast<TSearchTextTimeoutThread&>(thread_).GetKeyArrived();
  }
  void Start() override { thread_.Start(); }
  void Stop() override {
    stopped_ = true;
    thread_.Terminate();
    thread_.Wake();
  }
  bool Finished() const override { return finished_ || thread_.Finished(); }

 private:
  // Before the thread: its last report may still run while it is waited for.
  bool stopped_ = false;   // user-interface thread only
  bool finished_ = false;  // user-interface thread only
  TSearchTextTimeoutThread thread_;
};

}  // namespace

std::unique_ptr<IElSearchTimeout> NewSearchTimeoutThread() {
  return std::make_unique<TThreadSearchTimeout>();
}

TElTreeSearch::TElTreeSearch(TCustomElTree* Tree) : tree_(Tree) {}

TElTreeSearch::~TElTreeSearch() {
  StopSearchTimer();
  retired_.clear();
}

void TElTreeSearch::SetTimeoutFactory(TElSearchTimeoutFactory Factory) {
  factory_ = std::move(Factory);
}

bool TElTreeSearch::SearchKey(char Ch) {
  const unsigned char c = static_cast<unsigned char>(Ch);
  if (c == 27) {
    searchText_.clear();
    tree_->DeselectAll();
    tree_->DoAfterSelectionChange();
    return false;
  }
  if (c == 8) {
    if (!searchText_.empty()) searchText_.pop_back();
  } else if (c <= 32) {
    return false;
  } else {
    searchText_.push_back(Ch);
  }
  if (searchText_.empty()) return false;
  const size_t n = searchText_.size();
  const TElList& all = tree_->AllItems();
  for (int i = 0; i < all.Count(); ++i) {
    auto* item = static_cast<TElTreeItem*>(all.Get(i));
    const TElFString text = item->Text();
    if (!AnsiSameText(WideToAnsi(std::wstring_view(text).substr(0, n)), searchText_)) continue;
    tree_->MakeVisible(item);
    item->SetState(stsFocused, true);
    item->SetSelected(false);
    tree_->DoAfterSelectionChange();
    break;
  }
  KickSearchTimer();
  return false;
}

void TElTreeSearch::FreeFinished() {
  std::erase_if(retired_, [](const auto& t) { return t->Finished(); });
}

void TElTreeSearch::KickSearchTimer() {
  FreeFinished();
  const unsigned timeout =
      tree_->IncrementalSearchTimeout > 0 ? static_cast<unsigned>(tree_->IncrementalSearchTimeout) : 0;
  if (thread_) {
    thread_->SetKeyArrived(true);
    thread_->SetTimeout(timeout);
    return;
  }
  thread_ = factory_ ? factory_() : NewSearchTimeoutThread();
  thread_->OnEnded = [this] { SearchTimeoutEnded(); };
  thread_->SetTimeout(timeout);
  thread_->Start();
}

void TElTreeSearch::StopSearchTimer() {
  if (!thread_) return;
  thread_->OnEnded = nullptr;
  thread_->Stop();
  retired_.push_back(std::move(thread_));
}

void TElTreeSearch::SearchTimeoutEnded() {
  // Called from the service's own report: it is freed later, not here.
  if (thread_) retired_.push_back(std::move(thread_));
  searchText_.clear();
}

TElTreeSearch& TCustomElTree::Search() {
  if (!search_) search_ = std::make_unique<TElTreeSearch>(this);
  return *search_;
}

}  // namespace morvane
