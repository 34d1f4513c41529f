// Incremental search of the tree's view: the characters typed so far focus
// the first item whose main text starts with them; a pause of
// IncrementalSearchTimeout milliseconds without a key ends the search. The
// pause is timed by a service (by default a background thread) that the
// tree gets from a factory, so that it can be replaced where no real time
// may pass.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace morvane {

class TCustomElTree;

// Ends the search after a pause: every period it checks whether a key
// arrived in it; when none did, it ends and reports OnEnded on the
// user-interface thread.
class IElSearchTimeout {
 public:
  virtual ~IElSearchTimeout() = default;
  // Takes effect at the next period.
  virtual void SetTimeout(unsigned Milliseconds) = 0;
  virtual void SetKeyArrived(bool Value) = 0;
  virtual bool KeyArrived() const = 0;
  virtual void Start() = 0;
  // Asks it to end; OnEnded is not reported after this.
  virtual void Stop() = 0;
  // Ended by itself (or stopped); the object may be freed.
  virtual bool Finished() const = 0;
  std::function<void()> OnEnded;
};
using TElSearchTimeoutFactory = std::function<std::unique_ptr<IElSearchTimeout>()>;

// The background thread's service (TSearchTextTimeoutThread).
std::unique_ptr<IElSearchTimeout> NewSearchTimeoutThread();

class TElTreeSearch {
 public:
  explicit TElTreeSearch(TCustomElTree* Tree);
  ~TElTreeSearch();
  TElTreeSearch(const TElTreeSearch&) = delete;
  TElTreeSearch& operator=(const TElTreeSearch&) = delete;

  void SetTimeoutFactory(TElSearchTimeoutFactory Factory);

  // 8-bit text in the system code page.
  const std::string& SearchText() const { return searchText_; }
  // Takes one typed character; always false (the key goes on).
  bool SearchKey(char Ch);
  void KickSearchTimer();
  void StopSearchTimer();
  // The service ended: the search is over.
  void SearchTimeoutEnded();
  IElSearchTimeout* SearchThread() const { return thread_.get(); }

 private:
  void FreeFinished();

  TCustomElTree* tree_;
  std::string searchText_;
  TElSearchTimeoutFactory factory_;
  std::unique_ptr<IElSearchTimeout> thread_;
  // Ended or stopped services, freed once they are done (a service is never
  // freed from inside its own report).
  std::vector<std::unique_ptr<IElSearchTimeout>> retired_;
};

}  // namespace morvane
