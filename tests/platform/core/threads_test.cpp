// Threads and the hand-over of work to the user-interface thread (the test
// program's main thread).
#include "platform/core/threads.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/exceptions.h"

namespace morvane {
namespace {

// Execute runs a function given by the test; the destructor stops the thread
// first since the function belongs to this class.
class TFnThread : public TThread {
 public:
  explicit TFnThread(std::function<void(TFnThread&)> body) : TThread(true), body_(std::move(body)) {}
  ~TFnThread() override { TerminateAndWait(); }
  using TThread::SetReturnValue;
  using TThread::Synchronize;

 protected:
  void Execute() override { body_(*this); }

 private:
  std::function<void(TFnThread&)> body_;
};

// Serves Synchronize until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD ms = 10000) {
  ULONGLONG end = GetTickCount64() + ms;
  while (!done()) {
    if (GetTickCount64() > end) return false;
    CheckSynchronize(10);
  }
  return true;
}

TEST(Threads, SynchronizeFromEightThreadsWhileWaiting) {
  ASSERT_TRUE(IsMainThread());
  constexpr int kThreads = 8, kCalls = 200;
  int counter = 0;  // no lock: only the main thread touches it
  int offMain = 0;
  std::vector<std::unique_ptr<TFnThread>> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.push_back(std::make_unique<TFnThread>([&](TFnThread& t) {
      for (int k = 0; k < kCalls; ++k)
        t.Synchronize([&] {
          if (!IsMainThread()) ++offMain;
          ++counter;
        });
      t.SetReturnValue(kCalls);
    }));
  }
  for (auto& t : threads) t->Start();
  for (auto& t : threads) EXPECT_EQ(t->WaitFor(), static_cast<DWORD>(kCalls));
  EXPECT_EQ(counter, kThreads * kCalls);
  EXPECT_EQ(offMain, 0);
  for (auto& t : threads) {
    EXPECT_TRUE(t->Finished());
    EXPECT_FALSE(t->FatalException());
  }
}

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP) {
    ::SetEvent(reinterpret_cast<HANDLE>(lp));
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// A window must not hang while the main thread waits: posted messages are
// dispatched, and a WM_QUIT that arrives meanwhile is kept for the loop.
TEST(Threads, WaitForDispatchesPostedMessages) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CountingProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MorvaneWaitForTest";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(hwnd);
  HANDLE handled = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  const DWORD mainId = GetCurrentThreadId();
  TFnThread t([&](TFnThread& self) {
    PostMessageA(hwnd, WM_APP, 0, reinterpret_cast<LPARAM>(handled));
    self.SetReturnValue(WaitForSingleObject(handled, 5000) == WAIT_OBJECT_0 ? 1 : 2);
    PostThreadMessageA(mainId, WM_QUIT, 7, 0);
    Sleep(50);
  });
  t.Start();
  EXPECT_EQ(t.WaitFor(), 1u);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  DestroyWindow(hwnd);
  CloseHandle(handled);
}

TEST(Threads, WakeHookCalledWhenQueued) {
  HANDLE woken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetWakeMainThread([woken] { ::SetEvent(woken); });
  bool ran = false;
  TFnThread t([&](TFnThread& self) { self.Synchronize([&] { ran = true; }); });
  t.Start();
  // A plain wait serves nothing: only the hook can tell us work is queued.
  EXPECT_EQ(WaitForSingleObject(woken, 5000), WAIT_OBJECT_0);
  EXPECT_FALSE(ran);
  EXPECT_TRUE(CheckSynchronize(1000));
  EXPECT_TRUE(ran);
  t.WaitFor();
  SetWakeMainThread(nullptr);
  CloseHandle(woken);
  EXPECT_FALSE(CheckSynchronize(0));
}

TEST(Threads, ExceptionsComeBackToTheCaller) {
  struct {
    const char* name;
    std::function<void()> raise;
    std::string expected;  // what the thread caught
  } cases[] = {
      {"EConvertError", [] { throw EConvertError("'x' is not a valid integer value"); },
       "EConvertError: 'x' is not a valid integer value"},
      {"EReadError", [] { throw EReadError("Stream read error"); }, "EReadError: Stream read error"},
      {"Exception", [] { throw Exception("plain"); }, "Exception: plain"},
      {"std::runtime_error", [] { throw std::runtime_error("std"); }, "std::exception: std"},
      {"int", [] { throw 42; }, "other"},
  };
  for (const auto& c : cases) {
    std::string caught;
    TFnThread t([&](TFnThread& self) {
      try {
        self.Synchronize(c.raise);
        caught = "nothing";
      } catch (const EConvertError& e) {
        caught = "EConvertError: " + e.Message();
      } catch (const EReadError& e) {
        caught = "EReadError: " + e.Message();
      } catch (const Exception& e) {
        caught = "Exception: " + e.Message();
      } catch (const std::exception& e) {
        caught = std::string("std::exception: ") + e.what();
      } catch (...) {
        caught = "other";
      }
    });
    t.Start();
    t.WaitFor();
    EXPECT_EQ(caught, c.expected) << c.name;
  }
  // On the main thread the method runs at once and raises directly.
  EXPECT_THROW(TThread::Synchronize(nullptr, [] { throw EConvertError("direct"); }), EConvertError);
}

TEST(Threads, FatalExceptionKeepsItsClass) {
  TFnThread t([](TFnThread&) { throw EReadError("walk failed"); });
  t.Start();
  t.WaitFor();
  ASSERT_TRUE(t.FatalException());
  try {
    std::rethrow_exception(t.FatalException());
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "walk failed");
  } catch (...) {
    ADD_FAILURE() << "wrong class";
  }
}

TEST(Threads, OnTerminateRunsOnMainThreadAfterExecute) {
  std::vector<std::string> log;
  DWORD onTerminateThread = 0;
  TFnThread t([&](TFnThread&) { log.push_back("execute"); });
  t.OnTerminate = [&](TObject* sender) {
    onTerminateThread = GetCurrentThreadId();
    log.push_back(sender == &t ? "terminate" : "wrong sender");
  };
  t.Start();
  t.WaitFor();
  EXPECT_EQ(onTerminateThread, MainThreadID());
  EXPECT_EQ(log, (std::vector<std::string>{"execute", "terminate"}));
}

// Frees itself after OnTerminate; OnTerminate may still decide.
class TSelfFreeing : public TThread {
 public:
  TSelfFreeing(std::vector<std::string>& log, TSimpleEvent& gone) : TThread(true), log_(log), gone_(gone) {}
  ~TSelfFreeing() override {
    log_.push_back(IsMainThread() ? "freed on main" : "freed on thread");
    gone_.SetEvent();
  }

 protected:
  void Execute() override {}
  std::vector<std::string>& log_;
  TSimpleEvent& gone_;
};

TEST(Threads, FreeOnTerminate) {
  std::vector<std::string> log;
  TSimpleEvent gone;
  auto* t = new TSelfFreeing(log, gone);
  t->SetFreeOnTerminate(true);
  t->OnTerminate = [&](TObject*) { log.push_back("terminate"); };
  EXPECT_THROW(t->WaitFor(), EThread);  // one that frees itself cannot be waited for
  t->Start();
  EXPECT_EQ(gone.WaitFor(10000), TWaitResult::wrSignaled);  // serves OnTerminate meanwhile
  EXPECT_EQ(log, (std::vector<std::string>{"terminate", "freed on thread"}));

  // OnTerminate turning it off: the thread stays for its owner.
  log.clear();
  gone.ResetEvent();
  auto* kept = new TSelfFreeing(log, gone);
  kept->SetFreeOnTerminate(true);
  kept->OnTerminate = [&](TObject* s) { static_cast<TThread*>(s)->SetFreeOnTerminate(false); };
  kept->Start();
  ASSERT_TRUE(PumpUntil([&] { return kept->Finished(); }));
  EXPECT_TRUE(log.empty());
  kept->WaitFor();
  delete kept;
  EXPECT_EQ(log, (std::vector<std::string>{"freed on main"}));
}

TEST(Threads, DestructorTerminatesAndWaits) {
  // Running, and synchronizing while the destructor waits.
  int served = 0;
  bool sawTerminated = false;
  HANDLE running = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  auto t = std::make_unique<TFnThread>([&](TFnThread& self) {
    ::SetEvent(running);
    while (!self.Terminated()) self.Synchronize([&] { ++served; });
    sawTerminated = true;
  });
  bool terminateRan = false;
  t->OnTerminate = [&](TObject*) { terminateRan = true; };
  t->Start();
  ASSERT_EQ(WaitForSingleObject(running, 5000), WAIT_OBJECT_0);
  t.reset();
  EXPECT_TRUE(sawTerminated);
  EXPECT_TRUE(terminateRan);
  CloseHandle(running);

  // Never started: nothing runs, nothing hangs.
  bool executed = false;
  terminateRan = false;
  auto idle = std::make_unique<TFnThread>([&](TFnThread&) { executed = true; });
  idle->OnTerminate = [&](TObject*) { terminateRan = true; };
  EXPECT_TRUE(idle->Suspended());
  EXPECT_THROW(idle->WaitFor(), EThread);
  idle.reset();
  EXPECT_FALSE(executed);
  EXPECT_FALSE(terminateRan);
}

// A report handler that waits for its own thread would hang the window.
TEST(Threads, HandlerCannotWaitForItsOwnThread) {
  TFnThread* self = nullptr;
  bool refused = false;
  TFnThread t([&](TFnThread& th) {
    th.Synchronize([&] {
      try {
        self->WaitFor();
      } catch (const EThread&) {
        refused = true;
      }
    });
  });
  self = &t;
  t.Start();
  t.WaitFor();
  EXPECT_TRUE(refused);
}

TEST(Threads, StartTwiceAndMainOnlyCalls) {
  TFnThread t([](TFnThread&) {});
  t.Start();
  EXPECT_THROW(t.Start(), EThread);
  t.WaitFor();
  bool raised = false;
  TFnThread off([&](TFnThread&) {
    try {
      CheckSynchronize(0);
    } catch (const EThread&) {
      raised = true;
    }
  });
  off.Start();
  off.WaitFor();
  EXPECT_TRUE(raised);
}

TEST(Threads, CriticalSectionExcludes) {
  TCriticalSection cs;
  long long total = 0;
  std::vector<std::unique_ptr<TFnThread>> threads;
  for (int i = 0; i < 4; ++i)
    threads.push_back(std::make_unique<TFnThread>([&](TFnThread&) {
      for (int k = 0; k < 20000; ++k) {
        TCriticalSectionLock l(cs);
        total = total + 1;
      }
    }));
  for (auto& t : threads) t->Start();
  for (auto& t : threads) t->WaitFor();
  EXPECT_EQ(total, 80000);
}

}  // namespace
}  // namespace morvane
