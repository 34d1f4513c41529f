// Background search of folder trees for files matching a mask. Every report
// (a file found, the folder now searched, an error, the end) is run on the
// user-interface thread through TThread::Synchronize, so handlers need no lock
// and may touch windows; a handler must not wait for its own search thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/classes.h"
#include "platform/core/datetime.h"
#include "platform/core/threads.h"
#include "platform/win32.h"

namespace morvane {

// FileName is the folder plus the found name; FindData is the thread's copy of
// the directory entry, valid while the handler runs.
using TSearchFoundEvent = std::function<void(const std::string& FileName, const WIN32_FIND_DATAA* FindData)>;
// Folder: the folder now entered, ending in "\".
using TSearchProgressEvent = std::function<void(const std::string& Folder)>;
// Path: the folder of the latest report; ErrorText: the system's text for the
// last error.
using TSearchErrorEvent = std::function<void(const std::string& Path, const std::string& ErrorText)>;
using TSearchDoneEvent = std::function<void()>;

// Walks one root folder: the files of a folder matching Mask are reported
// before anything in its sub-folders; folders whose names begin with "." are
// not entered. Terminate ends the walk at the next test; the done report
// still follows.
class TDirectorySearchThread : public TThread {
 public:
  TDirectorySearchThread(const std::string& Root, const std::string& Mask, int Attr, TSearchFoundEvent OnFound,
                         TSearchProgressEvent OnProgress, TSearchErrorEvent OnError, TSearchDoneEvent OnDone,
                         bool CreateSuspended);
  ~TDirectorySearchThread() override;

  const std::string& Root() const { return Root_; }

  // Progress reports are at least this far apart (1.0368 s, as a day count).
  static constexpr double kProgressInterval = 0.000012;

 protected:
  void Execute() override;
  // Reports the end also for a thread stopped before its walk began.
  void DoTerminate() override;

 private:
  void Walk(const std::string& Folder);
  void ReportDone();

  bool DoneReported = false;

  std::string Mask;
  int Attr;  // kept for the caller; the walk does not filter by it
  WIN32_FIND_DATAA FindData{};
  TSearchFoundEvent OnFound;
  TSearchErrorEvent OnError;
  TSearchDoneEvent OnDone;
  TSearchProgressEvent OnProgress;
  TDateTime LastProgressTime = 0;
  std::string CurrentFolder;
  const std::string Root_;
};

// Runs one TDirectorySearchThread per root, at most Limit at a time, in the
// order of the roots, and reports the end once, after the last one. The pool
// owns its children outright: it waits on their handles, frees each finished
// one itself and then starts the next root. Terminate stops every running
// child and skips the roots not yet started; the done report still follows.
class TDirectoryThreadPool : public TThread {
 public:
  TDirectoryThreadPool(const TStrings& Roots, bool CreateSuspended, int Limit, TSearchFoundEvent OnFound,
                       TSearchProgressEvent OnProgress, TSearchErrorEvent OnError, TSearchDoneEvent OnDone, int Attr,
                       const std::string& Mask);
  ~TDirectoryThreadPool() override;

  // Children started and not yet freed. Pool thread only; for tests.
  int RunningCount() const { return RunningCount_.load(); }

  // How long the pool sleeps between looks at its children and its own
  // Terminated flag.
  static constexpr DWORD kPollMs = 500;

 protected:
  void Execute() override;
  void DoTerminate() override;

 private:
  void ReportDone();
  bool DoneReported = false;
  using TChildren = std::vector<std::unique_ptr<TDirectorySearchThread>>;
  void WaitAndReap(TChildren& Running);
  static void StopAll(TChildren& Running);

  std::atomic<int> RunningCount_{0};
  std::vector<std::string> Roots;
  std::string Mask;
  int Attr;
  TSearchFoundEvent OnFound;
  TSearchProgressEvent OnProgress;
  TSearchErrorEvent OnError;
  TSearchDoneEvent OnDone;
  int Limit;
};

// Starts a search of Root (ending in "\") and hands the running thread to
// the caller, who may Terminate it at any time and frees it.
std::unique_ptr<TDirectorySearchThread> StartDirectorySearch(const std::string& Root, const std::string& Mask, int Attr,
                                                             TSearchDoneEvent OnDone, TSearchErrorEvent OnError,
                                                             TSearchProgressEvent OnProgress, TSearchFoundEvent OnFound);
// Starts a pool over a copy of Roots (each ending in "\"), four at a time.
std::unique_ptr<TDirectoryThreadPool> StartMultiDirectorySearch(const TStrings& Roots, const std::string& Mask,
                                                                int Attr, TSearchDoneEvent OnDone,
                                                                TSearchErrorEvent OnError,
                                                                TSearchProgressEvent OnProgress,
                                                                TSearchFoundEvent OnFound);

}  // namespace morvane
