#pragma once
// Waiting for a condition with a bound, never for a fixed time: a test polls what it checks until it holds, so a
// slow machine only makes it slower, never wrong.
#include <chrono>
#include <functional>
#include <thread>

#include "platform/rtl/win.h"

namespace testutil {

// The bound for a window or box to appear or go: generous, as it is only reached when something is wrong.
inline constexpr int kWaitMs = 30000;

// Polls (from a thread other than the windows' own) until cond holds; false after timeoutMs.
inline bool WaitUntil(const std::function<bool()>& cond, int timeoutMs = kWaitMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    if (cond()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return cond();
}

// The same on the windows' own thread: its messages are handled while it waits.
inline bool PumpUntil(const std::function<bool()>& cond, int timeoutMs = kWaitMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (cond()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

}  // namespace testutil
