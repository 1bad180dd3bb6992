#pragma once
// What the binding modules share: the handler forms they register, the conversions of arguments and results, and the
// checks that turn a member called on nil or on an object of another class into a script error rather than a crash.
#include <functional>

#include "platform/rtl/variant.h"
#include "platform/vcl/typinfo.h"
#include "script/wz_classes.h"
#include "script/wz_hostclasses.h"

// The object a handler was called on, as the class the member belongs to; raises EwzScriptError naming the member
// for nil or an object of another class.
template <class T>
T* wzSelf(rtl::TObject* instance, const rtl::String& member) {
  if (!instance) throw EwzScriptError(L"Cannot call '" + member + L"' of a nil object");
  T* self = dynamic_cast<T*>(instance);
  if (!self) throw EwzScriptError(L"'" + member + L"' does not apply to an object of class " + instance->ClassName());
  return self;
}

// The same, naming the member as the script declares it.
template <class T>
T* wzSelf(rtl::TObject* instance, TwzMethodHelper* caller) {
  return wzSelf<T>(instance, caller->Name());
}

// An object argument: nil for 0, Null and Empty; raises EwzScriptError for a value that cannot be an object
// reference (a text, a small or misaligned number).
rtl::TObject* wzObjectArg(const rtl::Variant& value);
// An object argument of class T (or nil when allowNil); raises EwzScriptError naming the member otherwise.
template <class T>
T* wzArg(TwzMethodHelper* caller, int index, const rtl::String& member, bool allowNil = false) {
  rtl::TObject* obj = wzObjectArg(caller->GetVParam(index));
  if (!obj) {
    if (allowNil) return nullptr;
    throw EwzScriptError(L"'" + member + L"' needs an object, not nil");
  }
  T* t = dynamic_cast<T*>(obj);
  if (!t) throw EwzScriptError(L"'" + member + L"' cannot take an object of class " + obj->ClassName());
  return t;
}

inline rtl::String wzTextArg(TwzMethodHelper* caller, int index) { return caller->GetVParam(index).AsString(); }
inline rtl::Integer wzIntArg(TwzMethodHelper* caller, int index) { return caller->GetVParam(index).AsInteger(); }
inline rtl::Int64 wzInt64Arg(TwzMethodHelper* caller, int index) { return caller->GetVParam(index).AsInt64(); }
inline bool wzBoolArg(TwzMethodHelper* caller, int index) { return caller->GetVParam(index).AsBoolean(); }
inline double wzFloatArg(TwzMethodHelper* caller, int index) { return caller->GetVParam(index).AsDouble(); }
// Objects leave as their reference; nil as 0.
inline rtl::Variant wzObjectResult(const rtl::TObject* obj) { return rtl::Variant::FromObject(obj); }

// The three handlers of a binding module, as the module's member functions.
using TwzModuleMethod = std::function<rtl::Variant(rtl::TObject* instance, const vcl::TClassInfo* classType,
                                                   const rtl::String& name, TwzMethodHelper* caller)>;
using TwzModuleGet =
    std::function<rtl::Variant(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& name)>;
using TwzModuleSet = std::function<void(rtl::TObject* instance, const vcl::TClassInfo* classType,
                                        const rtl::String& name, const rtl::Variant& value)>;

// A constructor's instance: the one the class item made, or a new object of the class the script named when the
// registry can build it; raises EwzScriptError for a class that cannot be created (abstract, or needing arguments
// this constructor does not take).
rtl::TObject* wzNewInstance(rtl::TObject* instance, TwzMethodHelper* caller);
