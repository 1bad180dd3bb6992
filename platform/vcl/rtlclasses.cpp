#include "platform/vcl/rtlclasses.h"

#include "platform/rtl/inifiles.h"
#include "platform/rtl/list.h"
#include "platform/rtl/streams.h"

namespace vcl {

namespace {

const TClassInfo* RootClass() { return StaticClassOf<rtl::TObject>(); }

}  // namespace

const TClassInfo* ListClassInfo() {
  static const TClassInfo* const info = detail::MakeClass(L"TList", RootClass(), [](TClassInfo& ci) {
    ci.SetFactory([](const TCreateArgs&) -> TObject* { return new rtl::TList(); });
  });
  return info;
}

const TClassInfo* ObjectListClassInfo() {
  static const TClassInfo* const info = detail::MakeClass(L"TObjectList", ListClassInfo(), [](TClassInfo& ci) {
    ci.SetFactory([](const TCreateArgs&) -> TObject* { return new rtl::TObjectList(); });
  });
  return info;
}

const TClassInfo* StreamClassInfo() {
  static const TClassInfo* const info = detail::MakeClass(L"TStream", RootClass(), [](TClassInfo&) {});
  return info;
}

const TClassInfo* HandleStreamClassInfo() {
  static const TClassInfo* const info = detail::MakeClass(L"THandleStream", StreamClassInfo(), [](TClassInfo&) {});
  return info;
}

const TClassInfo* FileStreamClassInfo() {
  static const TClassInfo* const info = detail::MakeClass(L"TFileStream", HandleStreamClassInfo(), [](TClassInfo&) {});
  return info;
}

const TClassInfo* CustomMemoryStreamClassInfo() {
  static const TClassInfo* const info =
      detail::MakeClass(L"TCustomMemoryStream", StreamClassInfo(), [](TClassInfo&) {});
  return info;
}

const TClassInfo* MemoryStreamClassInfo() {
  static const TClassInfo* const info = detail::MakeClass(
      L"TMemoryStream", CustomMemoryStreamClassInfo(),
      [](TClassInfo& ci) { ci.SetFactory([](const TCreateArgs&) -> TObject* { return new rtl::TMemoryStream(); }); });
  return info;
}

const TClassInfo* BytesStreamClassInfo() {
  static const TClassInfo* const info = detail::MakeClass(L"TBytesStream", MemoryStreamClassInfo(), [](TClassInfo& ci) {
    ci.SetFactory([](const TCreateArgs&) -> TObject* { return new rtl::TBytesStream(); });
  });
  return info;
}

const TClassInfo* StringStreamClassInfo() {
  static const TClassInfo* const info = detail::MakeClass(
      L"TStringStream", MemoryStreamClassInfo(),
      [](TClassInfo& ci) { ci.SetFactory([](const TCreateArgs&) -> TObject* { return new rtl::TStringStream(); }); });
  return info;
}

const TClassInfo* ResourceStreamClassInfo() {
  static const TClassInfo* const info =
      detail::MakeClass(L"TResourceStream", CustomMemoryStreamClassInfo(), [](TClassInfo&) {});
  return info;
}

const TClassInfo* CustomIniFileClassInfo() {
  static const TClassInfo* const info = detail::MakeClass(L"TCustomIniFile", RootClass(), [](TClassInfo&) {});
  return info;
}

// On this platform the write-through settings file is an in-memory one that re-reads and writes at once.
const TClassInfo* MemIniFileClassInfo() {
  static const TClassInfo* const info = detail::MakeClass(L"TMemIniFile", CustomIniFileClassInfo(), [](TClassInfo&) {});
  return info;
}

const TClassInfo* IniFileClassInfo() {
  static const TClassInfo* const info = detail::MakeClass(L"TIniFile", MemIniFileClassInfo(), [](TClassInfo&) {});
  return info;
}

void RegisterRtlClasses() {
  for (const TClassInfo* (*entry)() :
       {&ListClassInfo, &ObjectListClassInfo, &StreamClassInfo, &HandleStreamClassInfo, &FileStreamClassInfo,
        &CustomMemoryStreamClassInfo, &MemoryStreamClassInfo, &BytesStreamClassInfo, &StringStreamClassInfo,
        &ResourceStreamClassInfo, &CustomIniFileClassInfo, &MemIniFileClassInfo, &IniFileClassInfo})
    entry();
}

}  // namespace vcl
