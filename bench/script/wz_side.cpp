#include "wz_side.h"

#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/win.h"
#include "platform/vcl/typinfo.h"
#include "script/wz_hostclasses.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace benchscript {

// The host object scripts drive: a published property, a method with a handler and a property with a handler.
class TBenchItem : public rtl::TPersistent {
  VCL_CLASS(TBenchItem, rtl::TPersistent)
public:
  int Value = 0;
  long long Total = 0;
};

VCL_REGISTER(TBenchItem) { cls.Prop(L"Value", &TBenchItem::Value); }

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

// The registrations a host makes before compiling: the report's field function, a class with a constructor, and
// one object of it.
void Register(TwzScript& script, HostState& host, TBenchItem& item) {
  script.AddRTTI();
  script.AddMethod(L"function Get(Name: String): Variant",
                   [&host](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                     return Variant(FieldValue(caller->GetVParam(0).AsString(), host.record));
                   });
  TwzClassVariable* cls = script.AddClass(TBenchItem::StaticClass(), L"TPersistent");
  cls->AddConstructor(L"constructor Create", [](rtl::TObject*, const vcl::TClassInfo* c, const String&,
                                                TwzMethodHelper*) { return Variant::FromObject(c->CreateInstance()); });
  cls->AddMethod(L"procedure Free",
                 [](rtl::TObject* instance, const vcl::TClassInfo*, const String&, TwzMethodHelper*) {
                   delete instance;
                   return Variant::Null();
                 });
  cls->AddMethod(L"procedure Add(n: Integer)",
                 [](rtl::TObject* instance, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                   static_cast<TBenchItem*>(instance)->Total += caller->GetVParam(0).AsInteger();
                   return Variant::Null();
                 });
  cls->AddProperty(L"Total", L"Integer", [](rtl::TObject* instance, const vcl::TClassInfo*, const String&) {
    return Variant(static_cast<long long>(static_cast<TBenchItem*>(instance)->Total));
  });
  script.AddObject(L"Item", &item);
}

// Private bytes: the committed private memory of the process, summed over its address space (the system's own
// counter for it reads 0 under Wine).
long long PrivateBytes() {
  long long total = 0;
  const char* p = nullptr;
  MEMORY_BASIC_INFORMATION info;
  while (VirtualQuery(p, &info, sizeof info) == sizeof info) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += static_cast<long long>(info.RegionSize);
    const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (next <= p) break;
    p = next;
  }
  return total;
}

}  // namespace

Timed WzRun(const std::wstring& source, const wchar_t* resultVariable, HostState& host) {
  Timed t;
  TBenchItem item;
  TwzScript script;
  Register(script, host, item);
  script.SetText(source);
  if (!script.Compile()) {
    t.error = script.ErrorMsg() + L" at " + script.ErrorPos();
    return t;
  }
  try {
    const LARGE_INTEGER start = Now();
    script.Execute();
    t.seconds = Seconds(start, Now());
    t.result = script.GetVariable(resultVariable).AsDouble();
  } catch (const rtl::Exception& e) {
    t.error = e.ClassName() + L": " + e.Message();
  }
  host.value = item.Value;
  host.total = item.Total;
  return t;
}

Timed WzEvaluateLoop(const std::wstring& expression, int records, HostState& host) {
  Timed t;
  TBenchItem item;
  TwzScript script;
  Register(script, host, item);
  script.SetText(L"begin end.");
  if (!script.Compile()) {
    t.error = script.ErrorMsg();
    return t;
  }
  try {
    // The first call compiles the expression; the loop measures the cached calls a report makes per record.
    host.record = 0;
    script.Evaluate(expression);
    const LARGE_INTEGER start = Now();
    double sum = 0;
    for (int r = 0; r < records; ++r) {
      host.record = r;
      sum += script.Evaluate(expression).AsDouble();
    }
    t.seconds = Seconds(start, Now());
    t.result = sum;
    if (script.EvaluteRiseError()) t.error = script.Evaluate(expression).AsString();
  } catch (const rtl::Exception& e) {
    t.error = e.ClassName() + L": " + e.Message();
  }
  return t;
}

Timed WzEmptyProgram() {
  Timed t;
  const LARGE_INTEGER start = Now();
  {
    TwzScript script;
    script.AddRTTI();
    script.SetText(L"begin end.");
    if (!script.Compile()) t.error = script.ErrorMsg();
    script.Execute();
  }
  t.seconds = Seconds(start, Now());
  return t;
}

MemoryUse WzMemory(const std::wstring& source, HostState& host) {
  MemoryUse m;
  m.start = PrivateBytes();
  {
    TBenchItem item;
    TwzScript script;
    Register(script, host, item);
    script.SetText(source);
    if (!script.Compile()) {
      m.error = script.ErrorMsg() + L" at " + script.ErrorPos();
      return m;
    }
    m.beforeRun = PrivateBytes();
    try {
      script.Execute();
    } catch (const rtl::Exception& e) {
      m.error = e.ClassName() + L": " + e.Message();
    }
    m.afterRun = PrivateBytes();
  }
  m.afterFree = PrivateBytes();
  return m;
}

}  // namespace benchscript
