#pragma once
// Automation objects of our own, reached by late binding like any other: members answered by name from a table,
// failures handed back as the object's exception (with its message) so callers see them as they would an
// automation server's. A class registered under a program identifier is made by CreateOleObject before the system
// is asked, so the platform can stand in for servers that are not on the machine.
#include <functional>
#include <vector>

#include "platform/rtl/variant.h"
#include "platform/rtl/win.h"
// The dispatch interface, after the system headers that win.h brings in.
#include <oaidl.h>

namespace ole {

using rtl::String;
using rtl::Variant;

class TAutoObject : public IDispatch {
 public:
  TAutoObject() = default;
  virtual ~TAutoObject() = default;
  TAutoObject(const TAutoObject&) = delete;
  TAutoObject& operator=(const TAutoObject&) = delete;

  // IUnknown and IDispatch.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT* argErr) override;

 protected:
  // The names this object answers, compared without regard to ASCII case; member n has the identifier n + 1.
  virtual const std::vector<String>& Members() const = 0;
  // Calls member (an index into Members) with args in the caller's order; flags as the dispatch convention gives
  // them. A failure raises an rtl::Exception, whose message the caller receives.
  virtual Variant Call(int member, unsigned short flags, const std::vector<Variant>& args) = 0;

 private:
  long refs_ = 1;
};

// The object as a dispatch variant; the variant takes over the reference the object was made with.
Variant AutoObjectVariant(TAutoObject* object);

// Registers a maker of objects for progId (compared without regard to ASCII case).
void RegisterAutoClass(const String& progId, std::function<Variant()> factory);
// The registered maker's object; false when progId has none.
bool CreateRegisteredObject(const String& progId, Variant& object);

}  // namespace ole
