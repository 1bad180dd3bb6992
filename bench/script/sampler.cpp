#include "sampler.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/rtl/win.h"

namespace benchscript {

struct Sampler::Impl {
  HANDLE target = nullptr;
  std::FILE* out = nullptr;
  std::atomic<bool> active{false};
  std::atomic<bool> quit{false};
  std::thread worker;
  std::mutex lock;  // the file: samples and section labels never interleave
  std::uintptr_t base = 0, preferred = 0;

  void Sample() {
    if (SuspendThread(target) == static_cast<DWORD>(-1)) return;
    CONTEXT ctx{};
    ctx.ContextFlags = CONTEXT_FULL;
    std::uintptr_t frames[48];
    int n = 0;
    if (GetThreadContext(target, &ctx)) {
      while (n < 48 && ctx.Rip) {
        frames[n++] = ctx.Rip;
        DWORD64 imageBase = 0;
        PRUNTIME_FUNCTION fn = RtlLookupFunctionEntry(ctx.Rip, &imageBase, nullptr);
        if (!fn) {
          // A leaf function: the return address is on top of the stack.
          ctx.Rip = *reinterpret_cast<DWORD64*>(ctx.Rsp);
          ctx.Rsp += 8;
          if (n > 1) break;
          continue;
        }
        void* handlerData = nullptr;
        DWORD64 establisher = 0;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, ctx.Rip, fn, &ctx, &handlerData, &establisher, nullptr);
      }
    }
    ResumeThread(target);
    std::lock_guard<std::mutex> hold(lock);
    if (!active) return;
    for (int i = 0; i < n; ++i) {
      const std::uintptr_t a = frames[i];
      // Addresses outside the executable (the system's DLLs) are kept as they are.
      std::fprintf(out, i ? " %llx" : "%llx",
                   static_cast<unsigned long long>(a >= base && a - base < 0x10000000 ? a - base + preferred : a));
    }
    std::fputc('\n', out);
  }
};

Sampler::Sampler() {
  const char* path = std::getenv("TAVREL_BENCH_PROFILE");
  if (!path || !*path) return;
  impl_ = new Impl;
  impl_->out = std::fopen(path, "w");
  if (!impl_->out) {
    delete impl_;
    impl_ = nullptr;
    return;
  }
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &impl_->target, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  auto* module = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));
  impl_->base = reinterpret_cast<std::uintptr_t>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(module + dos->e_lfanew);
  impl_->preferred = nt->OptionalHeader.ImageBase;
  Impl* impl = impl_;
  impl_->worker = std::thread([impl] {
    // Sleep cannot wait less than a scheduler tick here; a sample every quarter millisecond wants a busy wait,
    // which costs a core only while profiling.
    LARGE_INTEGER freq, next, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&next);
    while (!impl->quit) {
      next.QuadPart += freq.QuadPart / 4000;
      do {
        SwitchToThread();
        QueryPerformanceCounter(&now);
      } while (now.QuadPart < next.QuadPart && !impl->quit);
      if (impl->active) impl->Sample();
    }
  });
}

Sampler::~Sampler() {
  if (!impl_) return;
  impl_->quit = true;
  impl_->worker.join();
  std::fclose(impl_->out);
  CloseHandle(impl_->target);
  delete impl_;
}

void Sampler::Begin(const std::string& label) {
  if (!impl_) return;
  std::lock_guard<std::mutex> hold(impl_->lock);
  std::fprintf(impl_->out, "# %s\n", label.c_str());
  impl_->active = true;
}

void Sampler::End() {
  if (!impl_) return;
  std::lock_guard<std::mutex> hold(impl_->lock);
  impl_->active = false;
}

}  // namespace benchscript
