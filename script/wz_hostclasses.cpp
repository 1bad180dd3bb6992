#include "script/wz_hostclasses.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/rtl/strings.h"
#include "platform/vcl/component.h"
#include "script/wz_hostclasses_syntax.h"
#include "script/wz_iconst.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace {

// The object a member is called on. Objects cross as their reference; a small or misaligned number is none and
// must not be read as one (a cast such as TButton(5) would otherwise reach the handler with a wild reference).
rtl::TObject* InstanceOf(const Variant& value) {
  const Variant& v = value.Deref();
  if (v.IsNull() || v.IsEmpty()) return nullptr;
  if (!v.IsString() && v.IsNumeric()) {
    const auto address = static_cast<std::uintptr_t>(v.AsInt64());
    if (address != 0 && (address < 0x10000 || address % alignof(void*) != 0))
      throw EwzScriptError(L"An object is expected, not the number " + rtl::VarToStr(v));
  }
  return v.AsObject();
}

bool IsBooleanTypeName(const String& name) { return rtl::SameText(name, L"Boolean") || rtl::SameText(name, L"bool"); }

void TypeOfProperty(const vcl::TPropInfo& p, TwzVarType& typ, String& typeName) {
  typeName.clear();
  switch (p.Kind()) {
    case vcl::tkChar:
    case vcl::tkWChar: typ = fvtChar; break;
    case vcl::tkEnumeration:
      typeName = p.TypeName();
      typ = IsBooleanTypeName(typeName) ? fvtBool : fvtEnum;
      break;
    case vcl::tkSet:
      typ = fvtEnum;
      typeName = p.TypeName();
      break;
    case vcl::tkFloat: typ = fvtFloat; break;
    case vcl::tkString:
    case vcl::tkLString:
    case vcl::tkWString:
    case vcl::tkUString: typ = fvtString; break;
    case vcl::tkClass:
      typ = fvtClass;
      typeName = p.PropClass() ? p.PropClass()->ClassName() : p.TypeName();
      break;
    case vcl::tkVariant: typ = fvtVariant; break;
    case vcl::tkInt64: typ = fvtInt64; break;
    default: typ = fvtInt; break;
  }
}

// Whether a handler's result is the object given, without raising for results that hold no object at all.
bool HoldsObject(const Variant& result, const rtl::TObject* obj) {
  if (!result.IsNumeric() || result.IsNull()) return false;
  try {
    return result.AsObject() == obj;
  } catch (const rtl::Exception&) {
    return false;
  }
}

const vcl::TPropInfo* FindPublished(rtl::TObject* instance, const String& name) {
  const vcl::TClassInfo* cls = vcl::ClassOf(instance);
  return cls ? cls->FindProperty(name) : nullptr;
}

}  // namespace

// The lookup by name compares texts property by property; a member mostly meets objects of one class in a row.
const vcl::TPropInfo* TwzPropertyHelper::Published(rtl::TObject* instance) const {
  const vcl::TClassInfo* cls = vcl::ClassOf(instance);
  if (!cls) return nullptr;
  if (cls != FLastClass) {
    FLastProp = cls->FindProperty(FName);
    FLastClass = cls;
  }
  return FLastProp;
}

namespace {}  // namespace

// --- TwzPropertyHelper ---

TwzPropertyHelper::TwzPropertyHelper(const String& aName, TwzVarType aTyp, const String& aTypeName)
    : TwzCustomHelper(aName, aTyp, aTypeName) {}

rtl::TObject* TwzPropertyHelper::Instance() const { return InstanceOf(FParentValue); }

Variant TwzPropertyHelper::ReadPublished(rtl::TObject* instance) const {
  const vcl::TPropInfo* p = Published(instance);
  if (!p || !p->IsReadable()) return Variant::Null();
  switch (p->Kind()) {
    case vcl::tkInteger:
    case vcl::tkEnumeration:
    case vcl::tkSet: {
      const rtl::Int64 v = p->GetOrd(instance);
      if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int>(v));
      return Variant(static_cast<long long>(v));
    }
    case vcl::tkClass: return Variant::FromObject(p->GetObject(instance));
    case vcl::tkChar:
    case vcl::tkWChar: return Variant(static_cast<wchar_t>(p->GetOrd(instance)));
    case vcl::tkFloat: return Variant(p->GetFloat(instance));
    case vcl::tkString:
    case vcl::tkLString:
    case vcl::tkWString:
    case vcl::tkUString: return Variant(p->GetStr(instance));
    case vcl::tkVariant: return p->GetVariant(instance);
    case vcl::tkInt64: return Variant(static_cast<long long>(p->GetOrd(instance)));
    default: return Variant::Null();
  }
}

void TwzPropertyHelper::WritePublished(rtl::TObject* instance, const Variant& value) const {
  const vcl::TPropInfo* p = Published(instance);
  if (!p || !p->IsWritable()) return;
  switch (p->Kind()) {
    case vcl::tkInteger:
    case vcl::tkEnumeration:
    case vcl::tkSet:
      if (FTyp == fvtBool)
        p->SetOrd(instance, VarSameValue(value, Variant(true)) ? 1 : 0);
      else
        p->SetOrd(instance, value.AsInteger());
      break;
    case vcl::tkClass: p->SetObject(instance, value.AsObject()); break;
    case vcl::tkChar:
    case vcl::tkWChar: {
      const String s = value.AsString();
      p->SetOrd(instance, s.empty() ? 0 : static_cast<rtl::Int64>(s[0]));
      break;
    }
    case vcl::tkFloat: p->SetFloat(instance, value.AsDouble()); break;
    case vcl::tkInt64: p->SetOrd(instance, value.AsInt64()); break;
    case vcl::tkString:
    case vcl::tkLString:
    case vcl::tkWString:
    case vcl::tkUString: p->SetStr(instance, value.AsString()); break;
    case vcl::tkVariant: p->SetVariant(instance, value); break;
    default: break;
  }
}

Variant TwzPropertyHelper::GetValue() {
  Variant result = Variant::Null();
  rtl::TObject* instance = Instance();
  if (FIsPublished) {
    if (instance) result = ReadPublished(instance);
  } else if (!instance && FClassRef && (FOnGetValue || FOnGetValueNew)) {
    throw EwzScriptError(L"Cannot read '" + FName + L"' of a nil object");
  } else if (FOnGetValue) {
    result = FOnGetValue(instance, FClassRef, FUppercaseName);
  } else if (FOnGetValueNew) {
    result = FOnGetValueNew(instance, FClassRef, FUppercaseName, this);
  }
  // True whenever the value read differs from 0 by the variant comparison, in which Null differs from everything
  // but Null.
  if (FTyp == fvtBool) return Variant(!VarSameValue(result, Variant(0)));
  return result;
}

void TwzPropertyHelper::SetValue(const Variant& value) {
  if (FIsReadOnly) return;
  rtl::TObject* instance = Instance();
  if (!instance && (FIsPublished || FClassRef)) throw EwzScriptError(L"Cannot set '" + FName + L"' of a nil object");
  if (FIsPublished) {
    WritePublished(instance, value);
  } else if (FOnSetValue) {
    FOnSetValue(instance, FClassRef, FUppercaseName, value);
  } else if (FOnSetValueNew) {
    FOnSetValueNew(instance, FClassRef, FUppercaseName, value, this);
  }
}

// --- TwzMethodHelper ---

TwzMethodHelper::TwzMethodHelper(const String& aName, TwzVarType aTyp, const String& aTypeName,
                                 const std::vector<TwzParamItem*>& params, const String& syntax)
    : TwzCustomHelper(aName, aTyp, aTypeName), FSetValue(Variant::Null()), FSyntax(syntax) {
  for (TwzParamItem* p : params) Add(p);
  FIsReadOnly = true;
  if (Count() > 0) FVarArray = rtl::VarArrayCreate({0, Count() - 1}, rtl::varVariant);
}

TwzMethodHelper::TwzMethodHelper(const String& syntax, TwzScript* script)
    : TwzCustomHelper(String(), fvtVariant, String()), FSetValue(Variant::Null()), FSyntax(syntax) {
  std::unique_ptr<TwzCustomVariable> decl(ParseMethodSyntax(syntax, script));
  SetName(decl->Name());
  FTyp = decl->Typ();
  FTypeName = decl->TypeName();
  FIsMacro = decl->IsMacro();
  while (decl->Count() > 0) {
    auto* p = decl->Params(0);
    decl->Remove(p);
    Add(p);
  }
  FIsReadOnly = true;
  if (Count() > 0) FVarArray = rtl::VarArrayCreate({0, Count() - 1}, rtl::varVariant);
}

rtl::TObject* TwzMethodHelper::Instance() const { return InstanceOf(FParentValue); }

Variant TwzMethodHelper::GetVParam(int index) const {
  if (index == Count()) return FSetValue;
  return Params(index)->GetValue();
}

void TwzMethodHelper::SetVParam(int index, const Variant& value) { Params(index)->SetValue(value); }

Variant TwzMethodHelper::Construct() {
  // The class the script named: the class item this step follows (which may descend from the class the constructor
  // was registered on), else the constructor's own class.
  FConstructedClass = FClassRef;
  if (auto* cls = dynamic_cast<TwzClassVariable*>(FParentRef))
    if (cls->ClassRef()) FConstructedClass = cls->ClassRef();
  struct Reset {
    const vcl::TClassInfo*& cls;
    ~Reset() { cls = nullptr; }
  } reset{FConstructedClass};
  // A class the registry builds without arguments reaches the handler as an instance; one that needs the
  // constructor's arguments to exist (a file stream) is left to the handler, which reads ConstructedClass.
  rtl::TObject* made = nullptr;
  rtl::TObject* instance = Instance();
  if (!instance && FConstructedClass && FConstructedClass->CanCreate())
    instance = made = FConstructedClass->CreateInstance();
  Variant result;
  try {
    result = Call(instance, FUppercaseName);
  } catch (...) {
    if (made) made->Free();
    throw;
  }
  // A handler that built an object of its own leaves ours unused.
  if (made && !HoldsObject(result, made)) made->Free();
  return result;
}

Variant TwzMethodHelper::Call(rtl::TObject* instance, const String& methodName) {
  if (FOnCall) {
    for (int i = 0; i < Count(); ++i) FVarArray.PutElement({i}, Params(i)->GetValue());
    Variant result = FOnCall(instance, FClassRef, methodName, FVarArray);
    if (Count() > 0 && FVarArray.IsArray()) {
      for (int i = 0; i < Count(); ++i)
        if (Params(i)->IsVarParam()) Params(i)->SetValue(FVarArray.Element({i}));
    }
    return result;
  }
  if (FOnCallNew) return FOnCallNew(instance, FClassRef, methodName, this);
  return Variant(0);
}

Variant TwzMethodHelper::GetValue() {
  if (FTyp == fvtConstructor) return Construct();
  rtl::TObject* instance = Instance();
  if (!instance && FClassRef) {
    // Freeing nothing is harmless, as it is in the host; anything else on nil would reach the handler with no
    // object to work on.
    if (FUppercaseName == L"FREE") return Variant::Null();
    throw EwzScriptError(L"Cannot call '" + FName + L"' of a nil object");
  }
  if (FIndexMethod) return Call(instance, FUppercaseName + L".GET");
  return Call(instance, FUppercaseName);
}

void TwzMethodHelper::SetValue(const Variant& value) {
  if (!FIndexMethod) return;
  rtl::TObject* instance = Instance();
  if (!instance && FClassRef) throw EwzScriptError(L"Cannot set '" + FName + L"' of a nil object");
  const String methodName = FUppercaseName + L".SET";
  if (FOnCall) {
    Variant args = rtl::VarArrayCreate({0, Count()}, rtl::varVariant);
    for (int i = 0; i < Count(); ++i) args.PutElement({i}, Params(i)->GetValue());
    args.PutElement({Count()}, value);
    FOnCall(instance, FClassRef, methodName, args);
  } else if (FOnCallNew) {
    FSetValue = value;
    struct Reset {
      Variant& v;
      ~Reset() { v = Variant::Null(); }
    } reset{FSetValue};
    FOnCallNew(instance, FClassRef, methodName, this);
  }
}

// --- TwzComponentHelper ---

TwzComponentHelper::TwzComponentHelper(rtl::TObject* component)
    : TwzCustomHelper(String(), fvtClass, component ? component->ClassName() : String()), FComponent(component) {
  if (auto* c = dynamic_cast<vcl::TComponent*>(component)) SetName(c->Name());
}

Variant TwzComponentHelper::GetValue() { return Variant::FromObject(FComponent); }

// --- TwzEventHelper ---

TwzEventHelper::TwzEventHelper(const String& aName, TwzEventClass aEvent)
    : TwzCustomHelper(aName, fvtString, String()), FEvent(aEvent) {}

void TwzEventHelper::SetValue(const Variant& value) {
  rtl::TObject* instance = FParentValue.AsObject();
  if (!instance) throw EwzScriptError(L"Cannot set event '" + FName + L"' of a nil object");
  const vcl::TPropInfo* prop = FindPublished(instance, FName);
  vcl::TEventBase* event = prop && prop->Kind() == vcl::tkMethod ? prop->GetEvent(instance) : nullptr;
  const String handlerName = value.AsString();
  if (handlerName == L"0") {
    if (event) event->Clear();
    return;
  }
  auto* proc = dynamic_cast<TwzProcVariable*>(FProgram ? FProgram->Find(handlerName) : nullptr);
  if (!proc) throw rtl::Exception(SEventError);
  if (!FEvent) throw EwzScriptError(L"Event '" + FName + L"' cannot be bound to a script procedure");
  TwzCustomEvent* adapter = FEvent(instance, proc);
  // Registered before hooking, so the program owns it whatever happens next.
  FProgram->Add(String(), adapter);
  if (event && !adapter->Hook(*event))
    throw EwzScriptError(L"Event '" + FName + L"' does not fit the handler's adapter");
}

// --- TwzClassVariable ---

TwzClassVariable::TwzClassVariable(const vcl::TClassInfo* aClass, const String& ancestor)
    : TwzClassVariable(aClass ? aClass->ClassName() : String(), aClass, ancestor) {}

TwzClassVariable::TwzClassVariable(const String& aName, const vcl::TClassInfo* aClass, const String& ancestor)
    : TwzCustomVariable(aName, fvtClass, aName), FAncestor(ancestor), FClassRef(aClass) {
  Add(new TwzParamItem(String(), fvtVariant, String(), true, false));
  AddPublishedProperties(aClass);
}

TwzClassVariable::~TwzClassVariable() = default;

Variant TwzClassVariable::GetValue() {
  TwzParamItem* cast = Params(0);
  Variant result = cast->GetValue();
  *cast->PValue() = Variant::Null();
  if (!result.IsNull()) return result;
  return Variant::FromObject(nullptr);
}

TwzVarType TwzClassVariable::TypeCodeOf(const String& typeName) const {
  return FProgram ? StrToVarType(typeName, FProgram) : StrToVarType(typeName, nullptr);
}

TwzPropertyHelper* TwzClassVariable::AddProperty(const String& name, const String& typ, TwzGetValueEvent getEvent,
                                                 TwzSetValueEvent setEvent) {
  auto* p = new TwzPropertyHelper(name, TypeCodeOf(typ), typ);
  p->SetClassRef(FClassRef);
  p->SetIsReadOnly(!setEvent);
  p->SetOnGetValue(std::move(getEvent));
  p->SetOnSetValue(std::move(setEvent));
  FMembers.Add(p);
  return p;
}

TwzPropertyHelper* TwzClassVariable::AddPropertyEx(const String& name, const String& typ, TwzGetValueNewEvent getEvent,
                                                   TwzSetValueNewEvent setEvent) {
  auto* p = new TwzPropertyHelper(name, TypeCodeOf(typ), typ);
  p->SetClassRef(FClassRef);
  p->SetIsReadOnly(!setEvent);
  p->SetOnGetValueNew(std::move(getEvent));
  p->SetOnSetValueNew(std::move(setEvent));
  FMembers.Add(p);
  return p;
}

TwzMethodHelper* TwzClassVariable::NewMethod(const String& syntax) {
  auto* m = new TwzMethodHelper(syntax, FProgram);
  m->SetClassRef(FClassRef);
  m->SetDescription(m->Name());
  FMembers.Add(m);
  return m;
}

TwzMethodHelper* TwzClassVariable::AddMethod(const String& syntax, TwzCallMethodEvent callEvent) {
  TwzMethodHelper* m = NewMethod(syntax);
  m->SetOnCall(std::move(callEvent));
  return m;
}

TwzMethodHelper* TwzClassVariable::AddMethod(const String& syntax, TwzCallMethodNewEvent callEvent) {
  TwzMethodHelper* m = NewMethod(syntax);
  m->SetOnCallNew(std::move(callEvent));
  return m;
}

String TwzClassVariable::ConstructorSyntax(const String& syntax) {
  const size_t blank = syntax.find(L' ');
  const String rest = blank == String::npos ? syntax : syntax.substr(blank + 1);
  return L"function " + rest + L": Constructor";
}

TwzMethodHelper* TwzClassVariable::AddConstructor(const String& syntax, TwzCallMethodEvent callEvent) {
  return AddMethod(ConstructorSyntax(syntax), std::move(callEvent));
}

TwzMethodHelper* TwzClassVariable::AddConstructor(const String& syntax, TwzCallMethodNewEvent callEvent) {
  return AddMethod(ConstructorSyntax(syntax), std::move(callEvent));
}

String TwzClassVariable::IndexPropertySyntax(const String& name, const String& params, const String& typ) {
  // Comma text: commas or blanks separate, double quotes group.
  std::vector<String> types;
  String cur;
  bool quoted = false, any = false;
  for (wchar_t c : params) {
    if (c == L'"') {
      quoted = !quoted;
      any = true;
    } else if (!quoted && (c == L',' || c <= L' ')) {
      if (any || !cur.empty()) types.push_back(cur);
      cur.clear();
      any = false;
    } else {
      cur += c;
    }
  }
  if (any || !cur.empty()) types.push_back(cur);
  String list;
  for (size_t i = 0; i < types.size(); ++i) {
    if (i > 0) list += L"; ";
    list += L"p" + rtl::IntToStr(static_cast<rtl::Int64>(i)) + L": " + types[i];
  }
  return L"function " + name + L"(" + list + L"): " + typ;
}

TwzMethodHelper* TwzClassVariable::AddIndexProperty(const String& name, const String& params, const String& typ,
                                                    TwzCallMethodEvent callEvent, bool aReadOnly) {
  TwzMethodHelper* m = AddMethod(IndexPropertySyntax(name, params, typ), std::move(callEvent));
  m->SetIsReadOnly(aReadOnly);
  m->SetIndexMethod(true);
  return m;
}

TwzMethodHelper* TwzClassVariable::AddIndexProperty(const String& name, const String& params, const String& typ,
                                                    TwzCallMethodNewEvent callEvent, bool aReadOnly) {
  TwzMethodHelper* m = AddMethod(IndexPropertySyntax(name, params, typ), std::move(callEvent));
  m->SetIsReadOnly(aReadOnly);
  m->SetIndexMethod(true);
  return m;
}

TwzMethodHelper* TwzClassVariable::AddDefaultProperty(const String& name, const String& params, const String& typ,
                                                      TwzCallMethodEvent callEvent, bool aReadOnly) {
  FDefProperty = AddIndexProperty(name, params, typ, std::move(callEvent), aReadOnly);
  return static_cast<TwzMethodHelper*>(FDefProperty);
}

TwzMethodHelper* TwzClassVariable::AddDefaultProperty(const String& name, const String& params, const String& typ,
                                                      TwzCallMethodNewEvent callEvent, bool aReadOnly) {
  FDefProperty = AddIndexProperty(name, params, typ, std::move(callEvent), aReadOnly);
  return static_cast<TwzMethodHelper*>(FDefProperty);
}

TwzEventHelper* TwzClassVariable::AddEvent(const String& name, TwzEventClass aEvent) {
  auto* e = new TwzEventHelper(name, aEvent);
  e->SetClassRef(FClassRef);
  FMembers.Add(e);
  return e;
}

TwzComponentHelper* TwzClassVariable::AddComponent(rtl::TObject* component) {
  auto* c = new TwzComponentHelper(component);
  FMembers.Add(c);
  return c;
}

void TwzClassVariable::AddMember(TwzCustomVariable* member) {
  if (auto* m = dynamic_cast<TwzMethodHelper*>(member)) m->SetClassRef(FClassRef);
  FMembers.Add(member);
}

void TwzClassVariable::AddPublishedProperties(const vcl::TClassInfo* aClass) {
  if (!aClass) return;
  std::vector<const vcl::TPropInfo*> props;
  for (const vcl::TPropInfo* p : aClass->Properties())
    if (p->Kind() != vcl::tkMethod) props.push_back(p);
  std::stable_sort(props.begin(), props.end(), [](const vcl::TPropInfo* a, const vcl::TPropInfo* b) {
    return wzCompareNames(a->Name(), b->Name()) < 0;
  });
  for (const vcl::TPropInfo* p : props) {
    TwzVarType typ;
    String typeName;
    TypeOfProperty(*p, typ, typeName);
    auto* helper = new TwzPropertyHelper(p->Name(), typ, typeName);
    helper->SetIsPublished(true);
    helper->SetClassRef(FClassRef);
    helper->SetIsReadOnly(!p->IsWritable());
    FMembers.Add(helper);
  }
}

TwzCustomVariable* TwzClassVariable::Find(const String& name) const {
  const TwzClassVariable* cls = this;
  // The guard stops an ancestor chain that loops back on itself.
  for (int depth = 0; cls && depth < 1000; ++depth) {
    for (int i = 0; i < cls->MembersCount(); ++i) {
      TwzCustomVariable* m = cls->Members(i);
      if (wzSameName(m->Name(), name)) return m;
    }
    if (cls->FAncestor.empty() || !cls->FProgram) return nullptr;
    cls = cls->FProgram->FindClass(cls->FAncestor);
  }
  return nullptr;
}

bool TwzClassVariable::IsInstance(const rtl::TObject* obj) const {
  if (!obj) return false;
  const vcl::TClassInfo* actual = vcl::ClassOf(obj);
  if (FClassRef && actual) return actual->InheritsFrom(FClassRef);
  // A class the registry does not know: compare by the runtime class name.
  return wzSameName(obj->ClassName(), FName);
}
