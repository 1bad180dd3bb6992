#pragma once
// Locks for the few places that share data between threads.
#include "platform/rtl/object.h"
#include "platform/rtl/win.h"

namespace rtl {

class TCriticalSection : public TObject {
public:
  TCriticalSection();
  ~TCriticalSection() override;
  String ClassName() const override { return L"TCriticalSection"; }

  void Acquire();
  void Release();
  bool TryEnter();
  void Enter() { Acquire(); }
  void Leave() { Release(); }

private:
  CRITICAL_SECTION section_;
};

// Holds a critical section for the lifetime of a scope.
class TCriticalSectionLock {
public:
  explicit TCriticalSectionLock(TCriticalSection& cs) : cs_(cs) { cs_.Acquire(); }
  ~TCriticalSectionLock() { cs_.Release(); }
  TCriticalSectionLock(const TCriticalSectionLock&) = delete;
  TCriticalSectionLock& operator=(const TCriticalSectionLock&) = delete;

private:
  TCriticalSection& cs_;
};

}  // namespace rtl
