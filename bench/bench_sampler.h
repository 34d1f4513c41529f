// A sampling profiler for the benchmarks, off unless MORVANE_PROFILE names
// a file. While a timed run works, a second thread stops the timing thread
// about once a millisecond and writes its call stack (return addresses) to
// that file; each bench::Time call is one segment, in the order the figures
// print. scripts/bench-profile.py turns the file into a report by function.
// The stack is unwound with the modules' own unwind tables, looked up here
// rather than through the loader, which the stopped thread may hold locked.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32.h"

#include <psapi.h>

namespace morvane::bench {

class TSampler {
 public:
  static TSampler* Get() {
    static TSampler* s = [] { return std::getenv("MORVANE_PROFILE") ? new TSampler(std::getenv("MORVANE_PROFILE")) : nullptr; }();
    return s;
  }
  void Resume() {
    // Modules loaded since (the window system's driver comes with the first
    // window, others on demand) are learnt while nothing is sampled; without
    // them a stack that passes through one cannot be followed.
    while (busy_) Sleep(0);
    LoadModules();
    active_ = true;
  }
  void Pause() { active_ = false; }
  void NextSegment() {
    Pause();
    while (busy_) Sleep(0);
    std::fprintf(out_, "segment %d\n", ++segment_);
    std::fflush(out_);
  }

 private:
  struct TModule {
    uintptr_t base, end;
    const RUNTIME_FUNCTION* table;
    size_t count;
    std::string name;
  };

  explicit TSampler(const char* Path) : out_(std::fopen(Path, "w")) {
    if (!out_) std::abort();
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &target_, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    teb_ = reinterpret_cast<uintptr_t>(NtCurrentTeb());
    LoadModules();
    CreateThread(nullptr, 0, [](void* p) -> DWORD { static_cast<TSampler*>(p)->Run(); return 0; }, this, 0, nullptr);
  }

  void LoadModules() {
    HMODULE mods[512];
    DWORD need = 0;
    EnumProcessModules(GetCurrentProcess(), mods, sizeof mods, &need);
    if (need / sizeof(HMODULE) == modules_.size()) return;
    modules_.clear();
    for (DWORD i = 0; i < need / sizeof(HMODULE) && i < 512; ++i) {
      MODULEINFO mi{};
      GetModuleInformation(GetCurrentProcess(), mods[i], &mi, sizeof mi);
      char name[MAX_PATH] = {};
      GetModuleFileNameA(mods[i], name, MAX_PATH);
      auto base = reinterpret_cast<uintptr_t>(mi.lpBaseOfDll);
      auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
      auto* nt = reinterpret_cast<IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
      const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXCEPTION];
      modules_.push_back({base, base + mi.SizeOfImage,
                          reinterpret_cast<const RUNTIME_FUNCTION*>(base + dir.VirtualAddress),
                          dir.Size / sizeof(RUNTIME_FUNCTION), name});
      // The report maps addresses back: module, load base, preferred base.
      std::fprintf(out_, "module %llx %llx %llx %s\n", static_cast<unsigned long long>(base),
                   static_cast<unsigned long long>(base + mi.SizeOfImage),
                   static_cast<unsigned long long>(nt->OptionalHeader.ImageBase), name);
    }
    std::sort(modules_.begin(), modules_.end(), [](const TModule& a, const TModule& b) { return a.base < b.base; });
  }

  const RUNTIME_FUNCTION* Lookup(uintptr_t Pc, uintptr_t& Base) const {
    for (const auto& m : modules_) {
      if (Pc < m.base || Pc >= m.end) continue;
      Base = m.base;
      const uint32_t rva = static_cast<uint32_t>(Pc - m.base);
      size_t lo = 0, hi = m.count;
      while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (m.table[mid].EndAddress <= rva) lo = mid + 1;
        else if (m.table[mid].BeginAddress > rva) hi = mid;
        else return &m.table[mid];
      }
      return nullptr;
    }
    Base = 0;
    return nullptr;
  }

  bool InModule(uintptr_t Pc) const {
    for (const auto& m : modules_)
      if (Pc >= m.base && Pc < m.end) return true;
    return false;
  }

  // Wine 8 on x86-64 keeps the frame of the running system call at offset
  // 0x328 of the thread's TEB; its registers start with rax, rbx, rcx, rdx,
  // rsi, rdi, r8 to r15, then rip at 0x70, rsp at 0x88 and rbp at 0x98.
  // Read through ReadProcessMemory, so that a wrong guess fails softly.
  void FromSyscallFrame(CONTEXT& Ctx) const {
    auto read = [](uintptr_t At, uint64_t& V) {
      SIZE_T got = 0;
      return ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<void*>(At), &V, 8, &got) && got == 8;
    };
    uint64_t frame = 0, rip = 0, rsp = 0, rbp = 0, rbx = 0, rsi = 0, rdi = 0, r12 = 0, r13 = 0, r14 = 0, r15 = 0;
    if (!teb_ || !read(teb_ + 0x328, frame) || !frame || !read(frame + 0x70, rip) || !InModule(rip) ||
        !read(frame + 0x88, rsp) || !read(frame + 0x98, rbp) || !read(frame + 0x08, rbx) ||
        !read(frame + 0x20, rsi) || !read(frame + 0x28, rdi) || !read(frame + 0x50, r12) ||
        !read(frame + 0x58, r13) || !read(frame + 0x60, r14) || !read(frame + 0x68, r15)) {
      Ctx.Rip = 0;
      return;
    }
    Ctx.Rip = rip, Ctx.Rsp = rsp, Ctx.Rbp = rbp, Ctx.Rbx = rbx, Ctx.Rsi = rsi, Ctx.Rdi = rdi;
    Ctx.R12 = r12, Ctx.R13 = r13, Ctx.R14 = r14, Ctx.R15 = r15;
  }

  void Run() {
    // Nothing may allocate while the timing thread is stopped: it may hold
    // the heap's lock.
    uintptr_t stack[96];
    for (;;) {
      Sleep(1);
      if (!active_) continue;
      busy_ = true;
      if (active_ && SuspendThread(target_) != static_cast<DWORD>(-1)) {
        CONTEXT ctx{};
        ctx.ContextFlags = CONTEXT_FULL;
        int depth = 0;
        if (GetThreadContext(target_, &ctx)) {
          if (!InModule(ctx.Rip)) {
            // Stopped in Wine's own (host) code: carry on from the frame its
            // system call saved, which holds the caller's registers.
            stack[depth++] = ctx.Rip;
            FromSyscallFrame(ctx);
          }
          while (depth < 96 && ctx.Rip) {
            stack[depth++] = ctx.Rip;
            uintptr_t base = 0;
            const RUNTIME_FUNCTION* fn = Lookup(ctx.Rip, base);
            if (!base) break;  // code outside every module: no way on
            if (!fn) {  // a leaf: the return address is on top
              ctx.Rip = *reinterpret_cast<DWORD64*>(ctx.Rsp);
              ctx.Rsp += 8;
            } else {
              void* handler = nullptr;
              DWORD64 frame = 0;
              RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, ctx.Rip, const_cast<RUNTIME_FUNCTION*>(fn), &ctx, &handler,
                               &frame, nullptr);
            }
          }
        }
        ResumeThread(target_);
        std::fputc('s', out_);
        for (int k = 0; k < depth; ++k) std::fprintf(out_, " %llx", static_cast<unsigned long long>(stack[k]));
        std::fputc('\n', out_);
      }
      busy_ = false;
    }
  }

  FILE* out_;
  HANDLE target_ = nullptr;
  uintptr_t teb_ = 0;  // the timing thread's
  std::vector<TModule> modules_;
  std::atomic<bool> active_{false}, busy_{false};
  int segment_ = 0;
};

}  // namespace morvane::bench
