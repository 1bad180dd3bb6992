#include "platform/rtl/sync.h"

namespace rtl {

TCriticalSection::TCriticalSection() { InitializeCriticalSection(&section_); }
TCriticalSection::~TCriticalSection() { DeleteCriticalSection(&section_); }
void TCriticalSection::Acquire() { EnterCriticalSection(&section_); }
void TCriticalSection::Release() { LeaveCriticalSection(&section_); }
bool TCriticalSection::TryEnter() { return TryEnterCriticalSection(&section_) != 0; }

}  // namespace rtl
