#include "platform/core/threads.h"

#include "platform/core/files.h"

#include <process.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/exceptions.h"
#include "platform/core/gettext.h"

namespace morvane {
namespace {

// Static initialisation runs on the program's main thread; the first call
// comes from there even when another unit's initialisation asks first.
DWORD MainId() {
  static const DWORD id = GetCurrentThreadId();
  return id;
}
[[maybe_unused]] const DWORD gMainThreadId = MainId();

std::string LastErrorText(DWORD code) {
  std::string s = SysErrorMessage(code);
  while (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

struct TSyncRequest {
  const TThreadMethod* method;
  HANDLE done;
  DWORD threadId;  // the thread waiting for it
  std::exception_ptr error;
};

// Threads whose Synchronize call the main thread is running right now
// (innermost last). Touched by the main thread only.
std::vector<DWORD>& RunningFor() {
  static std::vector<DWORD>* v = new std::vector<DWORD>;
  return *v;
}

// The queue of Synchronize calls. Never freed: threads may still synchronize
// while static objects are destroyed at exit.
struct TSyncQueue {
  TSyncQueue() : event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  TCriticalSection lock;
  HANDLE event;  // set while the queue holds requests
  std::deque<TSyncRequest*> pending;
  std::function<void()> wake;
};

TSyncQueue& Queue() {
  static TSyncQueue* q = new TSyncQueue;
  return *q;
}

}  // namespace

DWORD MainThreadID() { return MainId(); }
bool IsMainThread() { return GetCurrentThreadId() == MainId(); }

void SetWakeMainThread(std::function<void()> Hook) {
  TSyncQueue& q = Queue();
  TCriticalSectionLock l(q.lock);
  q.wake = std::move(Hook);
}

bool CheckSynchronize(DWORD Timeout) {
  if (!IsMainThread())
    throw EThread(LoadResString("CheckSynchronize called from a thread other than the main thread"));
  TSyncQueue& q = Queue();
  if (Timeout != 0) WaitForSingleObject(q.event, Timeout);
  // Only what is queued now: threads that synchronize in a loop must not keep
  // the caller (the message loop) here for ever.
  std::deque<TSyncRequest*> batch;
  {
    TCriticalSectionLock l(q.lock);
    batch.swap(q.pending);
    ResetEvent(q.event);
  }
  for (TSyncRequest* r : batch) {
    RunningFor().push_back(r->threadId);
    try {
      (*r->method)();
    } catch (...) {
      r->error = std::current_exception();
    }
    RunningFor().pop_back();
    SetEvent(r->done);
  }
  return !batch.empty();
}

DWORD WaitForHandleServing(HANDLE Handle, DWORD Timeout) {
  if (!IsMainThread()) return WaitForSingleObject(Handle, Timeout);
  TSyncQueue& q = Queue();
  HANDLE handles[2] = {Handle, q.event};
  const ULONGLONG start = GetTickCount64();
  bool quit = false;
  WPARAM quitCode = 0;
  DWORD result;
  for (;;) {
    CheckSynchronize(0);
    // A bounded batch, so that a window that keeps asking to be painted
    // cannot keep us from seeing the handle.
    MSG msg;
    for (int n = 0; n < 64 && PeekMessageA(&msg, nullptr, 0, 0,
                                           PM_REMOVE | PM_QS_SENDMESSAGE | PM_QS_POSTMESSAGE | PM_QS_PAINT);
         ++n) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quitCode = msg.wParam;
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    DWORD wait = INFINITE;
    if (Timeout != INFINITE) {
      ULONGLONG spent = GetTickCount64() - start;
      wait = spent >= Timeout ? 0 : static_cast<DWORD>(Timeout - spent);
    }
    // MWMO_INPUTAVAILABLE: messages left over from a full batch wake us too.
    DWORD r = MsgWaitForMultipleObjectsEx(2, handles, wait, QS_SENDMESSAGE | QS_POSTMESSAGE | QS_PAINT | QS_TIMER,
                                          MWMO_INPUTAVAILABLE);
    if (r == WAIT_OBJECT_0) {
      result = WAIT_OBJECT_0;
      break;
    }
    if (r == WAIT_TIMEOUT) {
      result = WAIT_TIMEOUT;
      break;
    }
    if (r == WAIT_FAILED || r == WAIT_ABANDONED_0) {
      result = WAIT_FAILED;
      break;
    }
    // The queue or the message queue woke us: serve them and wait again.
  }
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  return result;
}

// ---------------------------------------------------------------------------
// TThread

TThread::TThread(bool CreateSuspended) {
  unsigned id = 0;
  handle_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &TThread::ThreadProc, this, CREATE_SUSPENDED, &id));
  if (!handle_) throw EThread(LoadResString("Thread creation error: ") + LastErrorText(GetLastError()));
  threadId_ = id;
  if (!CreateSuspended) Start();
}

TThread::~TThread() {
  if (!handle_) return;
  TerminateAndWait();
  CloseHandle(handle_);
}

unsigned __stdcall TThread::ThreadProc(void* Param) {
  TThread* t = static_cast<TThread*>(Param);
  if (t->skipExecute_.load()) {
    t->finished_.store(true);
    return 0;
  }
  try {
    if (!t->Terminated()) t->Execute();
  } catch (...) {
    t->fatal_ = std::current_exception();
  }
  try {
    t->DoTerminate();
  } catch (...) {
    if (!t->fatal_) t->fatal_ = std::current_exception();
  }
  const unsigned result = static_cast<unsigned>(t->returnValue_.load());
  // The one read of FreeOnTerminate. Without it the owner may free the object
  // as soon as Finished is set, so nothing here touches it afterwards.
  if (t->freeOnTerminate_.load())
    delete t;
  else
    t->finished_.store(true);
  return result;
}

void TThread::Start() {
  bool expected = false;
  if (!started_.compare_exchange_strong(expected, true))
    throw EThread(LoadResString("Cannot call Start on a running or finished thread"));
  if (ResumeThread(handle_) == static_cast<DWORD>(-1))
    throw EThread(LoadResString("Thread error: ") + LastErrorText(GetLastError()));
}

void TThread::Terminate() { terminated_.store(true); }

DWORD TThread::WaitFor() {
  if (GetCurrentThreadId() == threadId_) throw EThread(LoadResString("A thread cannot wait for itself"));
  if (FreeOnTerminate()) throw EThread(LoadResString("Cannot wait for a thread that frees itself"));
  if (!started_.load()) throw EThread(LoadResString("Cannot wait for a thread that was never started"));
  // That thread waits for the method running now: waiting for it would hang.
  if (IsMainThread())
    for (DWORD id : RunningFor())
      if (id == threadId_) throw EThread(LoadResString("Cannot wait for a thread from its own Synchronize call"));
  if (WaitForHandleServing(handle_, INFINITE) != WAIT_OBJECT_0)
    throw EThread(LoadResString("Thread error: ") + LastErrorText(GetLastError()));
  DWORD code = 0;
  GetExitCodeThread(handle_, &code);
  return code;
}

void TThread::TerminateAndWait() {
  if (!handle_ || GetCurrentThreadId() == threadId_) return;
  Terminate();
  if (!started_.exchange(true)) {
    // Never started: let the system thread leave without running anything.
    skipExecute_.store(true);
    ResumeThread(handle_);
    WaitForSingleObject(handle_, INFINITE);
    return;
  }
  WaitForHandleServing(handle_, INFINITE);
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

void TThread::Synchronize(TThread* AThread, const TThreadMethod& Method) {
  (void)AThread;
  if (!Method) return;
  if (IsMainThread()) {
    Method();
    return;
  }
  TSyncRequest req{&Method, CreateEventA(nullptr, TRUE, FALSE, nullptr), GetCurrentThreadId(), nullptr};
  if (!req.done) throw EThread(LoadResString("Thread error: ") + LastErrorText(GetLastError()));
  TSyncQueue& q = Queue();
  std::function<void()> wake;
  {
    TCriticalSectionLock l(q.lock);
    q.pending.push_back(&req);
    SetEvent(q.event);
    wake = q.wake;
  }
  if (wake) wake();
  WaitForSingleObject(req.done, INFINITE);
  CloseHandle(req.done);
  if (req.error) std::rethrow_exception(req.error);
}

// ---------------------------------------------------------------------------
// TSimpleEvent

TSimpleEvent::TSimpleEvent() : handle_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  if (!handle_) throw EThread(LoadResString("Event creation error: ") + LastErrorText(GetLastError()));
}

TSimpleEvent::~TSimpleEvent() { CloseHandle(handle_); }

void TSimpleEvent::SetEvent() { ::SetEvent(handle_); }
void TSimpleEvent::ResetEvent() { ::ResetEvent(handle_); }

TWaitResult TSimpleEvent::WaitFor(DWORD Timeout) {
  switch (WaitForHandleServing(handle_, Timeout)) {
    case WAIT_OBJECT_0: return TWaitResult::wrSignaled;
    case WAIT_TIMEOUT: return TWaitResult::wrTimeout;
    case WAIT_ABANDONED: return TWaitResult::wrAbandoned;
    default: return TWaitResult::wrError;
  }
}

}  // namespace morvane
