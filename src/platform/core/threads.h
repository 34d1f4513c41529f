// Threads, the call that runs a step on the user-interface thread, critical
// sections and events.
//
// The user-interface thread is the program's main thread (the one that ran
// static initialisation). Code on other threads hands work to it with
// TThread::Synchronize; the work waits in a queue until the user-interface
// thread calls CheckSynchronize. The application's message loop, every modal
// loop, and every wait of this layer on the user-interface thread
// (TThread::WaitFor, the destructor's wait, TSimpleEvent::WaitFor) call it, so
// a thread that synchronizes while the user-interface thread waits for it does
// not dead-lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>

#include "platform/core/components.h"
#include "platform/win32.h"

namespace morvane {

using TThreadMethod = std::function<void()>;

// Id of the user-interface thread.
DWORD MainThreadID();
bool IsMainThread();

// Runs the Synchronize calls queued so far (later ones wait for the next
// call), waiting up to Timeout milliseconds for the first one when none is
// queued. Returns whether anything ran. User-interface thread only (EThread
// elsewhere). An exception of a queued method goes back to the thread that
// queued it; here nothing is raised.
bool CheckSynchronize(DWORD Timeout = 0);

// Called, on the synchronizing thread, every time a call is queued, so that
// the user-interface layer can wake its message loop (for example by posting a
// message); it must be safe to call from any thread. Set it at start-up before
// threads run; an empty function removes it.
void SetWakeMainThread(std::function<void()> Hook);

// Waits up to Timeout milliseconds (INFINITE allowed) for Handle. On the
// user-interface thread the wait keeps running queued Synchronize calls, sent
// messages, posted messages, timers and painting (not keyboard and mouse input,
// which stays queued for the message loop); a WM_QUIT seen meanwhile is posted
// again when the wait ends. Returns WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED.
DWORD WaitForHandleServing(HANDLE Handle, DWORD Timeout);

// A thread running the overridden Execute.
//
// Lifetime:
// - The system thread is created (suspended) by the constructor, so Handle and
//   ThreadID are valid at once. With CreateSuspended false the constructor
//   starts it; since C++ builds a derived class after TThread, Execute could
//   then run before the derived constructor has finished, so classes derived
//   from TThread are created suspended and Start()ed once they are ready.
// - After Execute returns (or raises; the exception is kept as
//   FatalException), OnTerminate, when set, runs on the user-interface thread
//   through Synchronize while the thread waits. A thread that never started
//   runs neither Execute nor OnTerminate.
// - FreeOnTerminate is read exactly once, on the thread itself, after
//   OnTerminate has returned (so OnTerminate may still change it); when it is
//   true the thread then deletes its own object. Such an object belongs to the
//   thread from Start() on: nobody else may touch, wait for or delete it, and
//   nothing may depend on changing FreeOnTerminate of a running thread. A
//   thread that something else waits for or frees keeps FreeOnTerminate false
//   and is owned outright.
// - The destructor terminates the thread and waits for it (a never-started
//   thread is ended without running Execute). C++ destroys a derived class's
//   members before ~TThread runs, so a class whose Execute uses members of its
//   own calls TerminateAndWait() first in its own destructor.
class TThread : public TObject {
 public:
  explicit TThread(bool CreateSuspended);
  ~TThread() override;

  // Starts a thread created suspended; EThread when it was started before.
  void Start();
  // The toolkit's name for Start.
  void Resume() { Start(); }

  // Asks Execute to end: sets Terminated, which Execute tests.
  void Terminate();
  bool Terminated() const { return terminated_.load(); }

  bool FreeOnTerminate() const { return freeOnTerminate_.load(); }
  void SetFreeOnTerminate(bool Value) { freeOnTerminate_.store(Value); }

  // Waits until the thread has ended and returns its exit code (ReturnValue).
  // On the user-interface thread the wait keeps serving Synchronize (see
  // WaitForHandleServing). EThread when called on the thread itself, for a
  // thread that frees itself, for one that was never started, and from a
  // method that thread is waiting for in Synchronize (that would hang).
  DWORD WaitFor();
  // Terminate, then wait for the end; ends a never-started thread without
  // running it. Does nothing on the thread itself or after the end.
  void TerminateAndWait();

  // Not started yet.
  bool Suspended() const { return !started_.load(); }
  // Execute and OnTerminate are over (the system thread may be leaving).
  bool Finished() const { return finished_.load(); }
  HANDLE Handle() const { return handle_; }
  DWORD ThreadID() const { return threadId_; }
  int ReturnValue() const { return returnValue_.load(); }
  // What Execute raised, or null.
  std::exception_ptr FatalException() const { return fatal_; }

  // Runs on the user-interface thread after Execute; Sender is this thread.
  // Set before Start.
  TNotifyEvent OnTerminate;

  // Runs Method on the user-interface thread and returns when it is done; on
  // the user-interface thread it runs at once. What Method raises is raised
  // here again, in the calling thread, with its own class. An empty Method is
  // skipped. AThread may be null.
  static void Synchronize(TThread* AThread, const TThreadMethod& Method);

 protected:
  virtual void Execute() = 0;
  // Runs OnTerminate through Synchronize.
  virtual void DoTerminate();
  void Synchronize(const TThreadMethod& Method) { Synchronize(this, Method); }
  void SetReturnValue(int Value) { returnValue_.store(Value); }

 private:
  static unsigned __stdcall ThreadProc(void* Param);

  HANDLE handle_ = nullptr;
  DWORD threadId_ = 0;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> freeOnTerminate_{false};
  std::atomic<bool> started_{false};
  std::atomic<bool> skipExecute_{false};
  std::atomic<bool> finished_{false};
  std::atomic<int> returnValue_{0};
  std::exception_ptr fatal_;
};

// A critical section. lock/unlock make it usable with std::lock_guard and
// std::scoped_lock (TCriticalSectionLock below is the same thing by name).
class TCriticalSection : public TObject {
 public:
  TCriticalSection() { InitializeCriticalSection(&cs_); }
  ~TCriticalSection() override { DeleteCriticalSection(&cs_); }
  void Enter() { EnterCriticalSection(&cs_); }
  void Leave() { LeaveCriticalSection(&cs_); }
  bool TryEnter() { return TryEnterCriticalSection(&cs_) != 0; }
  void Acquire() { Enter(); }
  void Release() { Leave(); }
  void lock() { Enter(); }
  void unlock() { Leave(); }
  bool try_lock() { return TryEnter(); }

 private:
  CRITICAL_SECTION cs_;
};

// Holds a critical section for the life of the object.
class TCriticalSectionLock {
 public:
  explicit TCriticalSectionLock(TCriticalSection& Section) : cs_(Section) { cs_.Enter(); }
  ~TCriticalSectionLock() { cs_.Leave(); }
  TCriticalSectionLock(const TCriticalSectionLock&) = delete;
  TCriticalSectionLock& operator=(const TCriticalSectionLock&) = delete;

 private:
  TCriticalSection& cs_;
};

enum class TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

// A manual-reset event, initially not set.
class TSimpleEvent : public TObject {
 public:
  TSimpleEvent();
  ~TSimpleEvent() override;
  void SetEvent();
  void ResetEvent();
  // On the user-interface thread the wait keeps serving Synchronize.
  TWaitResult WaitFor(DWORD Timeout = INFINITE);
  HANDLE Handle() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace morvane
