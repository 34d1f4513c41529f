#include "browserdata/search/directory_search.h"

#include <algorithm>

#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/handles.h"

namespace morvane {

TDirectorySearchThread::TDirectorySearchThread(const std::string& Root, const std::string& Mask, int Attr,
                                               TSearchFoundEvent OnFound, TSearchProgressEvent OnProgress,
                                               TSearchErrorEvent OnError, TSearchDoneEvent OnDone,
                                               bool CreateSuspended)
    : TThread(true),
      Mask(Mask),
      Attr(Attr),
      OnFound(std::move(OnFound)),
      OnError(std::move(OnError)),
      OnDone(std::move(OnDone)),
      OnProgress(std::move(OnProgress)),
      CurrentFolder(Root),
      Root_(Root) {
  if (!CreateSuspended) Start();
}

TDirectorySearchThread::~TDirectorySearchThread() { TerminateAndWait(); }

void TDirectorySearchThread::Execute() {
  try {
    Walk(Root_);
  } catch (...) {
    std::string text;
    GetLastErrorText(text);
    if (OnError) {
      const std::string path = CurrentFolder;
      Synchronize([&] { OnError(path, text); });
    }
  }
  ReportDone();
}

void TDirectorySearchThread::ReportDone() {
  DoneReported = true;
  if (OnDone) Synchronize([this] { OnDone(); });
}

void TDirectorySearchThread::DoTerminate() {
  // The thread does not run Execute at all when it was told to stop before
  // it began; the owner still gets its one done report.
  if (!DoneReported) ReportDone();
  TThread::DoTerminate();
}

void TDirectorySearchThread::Walk(const std::string& Folder) {
  if (Terminated()) return;
  if (OnProgress) {
    const TDateTime now = Now();
    if (now - LastProgressTime > kProgressInterval) {
      CurrentFolder = Folder;
      LastProgressTime = now;
      Synchronize([this] { OnProgress(CurrentFolder); });
    }
  }

  WIN32_FIND_DATAA fd;
  {
    TFindHandle find(FindFirstFileA((Folder + Mask).c_str(), &fd));
    if (find.Get() != INVALID_HANDLE_VALUE && find.Get() != nullptr) {
      do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
          CurrentFolder = Folder;
          FindData = fd;
          if (OnFound) Synchronize([this] { OnFound(CurrentFolder + FindData.cFileName, &FindData); });
        }
      } while (!Terminated() && FindNextFileA(find.Get(), &fd));
    }
  }
  if (Terminated()) return;

  TFindHandle find(FindFirstFileA((Folder + "*.*").c_str(), &fd));
  if (find.Get() == INVALID_HANDLE_VALUE || find.Get() == nullptr) return;
  do {
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && fd.cFileName[0] != '.') {
      Walk(Folder + fd.cFileName + "\\");
    }
  } while (!Terminated() && FindNextFileA(find.Get(), &fd));
}

TDirectoryThreadPool::TDirectoryThreadPool(const TStrings& Roots, bool CreateSuspended, int Limit,
                                           TSearchFoundEvent OnFound, TSearchProgressEvent OnProgress,
                                           TSearchErrorEvent OnError, TSearchDoneEvent OnDone, int Attr,
                                           const std::string& Mask)
    : TThread(true),
      Mask(Mask),
      Attr(Attr),
      OnFound(std::move(OnFound)),
      OnProgress(std::move(OnProgress)),
      OnError(std::move(OnError)),
      OnDone(std::move(OnDone)),
      Limit(Limit < 1 ? 1 : Limit) {
  for (int i = 0; i < Roots.Count(); ++i) this->Roots.push_back(Roots.Get(i));
  if (!CreateSuspended) Start();
}

TDirectoryThreadPool::~TDirectoryThreadPool() { TerminateAndWait(); }

void TDirectoryThreadPool::WaitAndReap(TChildren& Running) {
  std::vector<HANDLE> handles;
  for (const auto& c : Running) handles.push_back(c->Handle());
  WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, kPollMs);
  for (auto it = Running.begin(); it != Running.end();) {
    if (WaitForSingleObject((*it)->Handle(), 0) == WAIT_OBJECT_0) {
      it = Running.erase(it);  // ended: freeing it does not wait
      --RunningCount_;
    } else {
      ++it;
    }
  }
}

void TDirectoryThreadPool::StopAll(TChildren& Running) {
  for (const auto& c : Running) c->Terminate();
  // Each waits for its thread: a child blocked in a report ends once the
  // user-interface thread has served it.
  Running.clear();
}

void TDirectoryThreadPool::Execute() {
  TChildren running;
  // At most MAXIMUM_WAIT_OBJECTS handles can be waited on at once.
  const size_t limit = std::min<size_t>(static_cast<size_t>(Limit), MAXIMUM_WAIT_OBJECTS);
  try {
    for (const std::string& root : Roots) {
      while (running.size() >= limit) {
        if (Terminated()) {
          StopAll(running);
          RunningCount_ = 0;
        } else {
          WaitAndReap(running);
        }
      }
      if (Terminated()) continue;
      running.push_back(std::make_unique<TDirectorySearchThread>(root, Mask, Attr, OnFound, OnProgress, OnError,
                                                                 TSearchDoneEvent(), true));
      ++RunningCount_;
      running.back()->Start();
    }
    while (!running.empty()) {
      if (Terminated()) {
        StopAll(running);
        RunningCount_ = 0;
      } else {
        WaitAndReap(running);
      }
    }
  } catch (...) {
    // A child that could not be made: stop the others and still report the end.
    StopAll(running);
    RunningCount_ = 0;
  }
  ReportDone();
}

void TDirectoryThreadPool::ReportDone() {
  DoneReported = true;
  if (OnDone) Synchronize([this] { OnDone(); });
}

void TDirectoryThreadPool::DoTerminate() {
  if (!DoneReported) ReportDone();
  TThread::DoTerminate();
}

std::unique_ptr<TDirectorySearchThread> StartDirectorySearch(const std::string& Root, const std::string& Mask, int Attr,
                                                             TSearchDoneEvent OnDone, TSearchErrorEvent OnError,
                                                             TSearchProgressEvent OnProgress, TSearchFoundEvent OnFound) {
  auto t = std::make_unique<TDirectorySearchThread>(Root, Mask, Attr, std::move(OnFound), std::move(OnProgress),
                                                    std::move(OnError), std::move(OnDone), true);
  t->SetFreeOnTerminate(false);
  t->Start();
  return t;
}

std::unique_ptr<TDirectoryThreadPool> StartMultiDirectorySearch(const TStrings& Roots, const std::string& Mask,
                                                                int Attr, TSearchDoneEvent OnDone,
                                                                TSearchErrorEvent OnError,
                                                                TSearchProgressEvent OnProgress,
                                                                TSearchFoundEvent OnFound) {
  auto t = std::make_unique<TDirectoryThreadPool>(Roots, true, 4, std::move(OnFound), std::move(OnProgress),
                                                  std::move(OnError), std::move(OnDone), Attr, Mask);
  t->SetFreeOnTerminate(false);
  t->Start();
  return t;
}

}  // namespace morvane
