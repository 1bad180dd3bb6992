// Published properties by name: dotted paths, values as text, events by method name.
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/component.h"
#include "platform/vcl/graphicsobjects.h"
#include "platform/vcl/formvalue.h"
#include "platform/vcl/typinfo.h"

namespace vcl {

namespace {

std::vector<String> SplitPath(const String& path) {
  std::vector<String> parts;
  size_t start = 0;
  for (;;) {
    size_t dot = path.find(L'.', start);
    parts.push_back(path.substr(start, dot == String::npos ? String::npos : dot - start));
    if (dot == String::npos) return parts;
    start = dot + 1;
  }
}

String ReferenceName(TComponent* c) {
  if (!c) return L"nil";
  return c->Name();
}

}  // namespace

TPropTarget FindPropPath(TObject* obj, const String& path) {
  TPropTarget r;
  if (!obj) return r;
  std::vector<String> parts = SplitPath(path);
  TObject* target = obj;
  for (size_t i = 0; i < parts.size(); ++i) {
    const TClassInfo* cls = ClassOf(target);
    const TPropInfo* p = cls ? cls->FindProperty(parts[i]) : nullptr;
    if (!p) return {};
    if (i + 1 == parts.size()) return {target, p};
    if (p->Kind() != tkClass || !p->IsReadable()) return {};
    target = p->GetObject(target);
    if (!target) return {};
  }
  return r;
}

TPropTarget GetPropPath(TObject* obj, const String& path) {
  TPropTarget t = FindPropPath(obj, path);
  if (!t.Prop)
    throw EPropertyError(L"Property " + path + L" does not exist in " + (obj ? obj->ClassName() : String(L"nil")));
  return t;
}

const TPropInfo* GetPropInfo(const TObject* obj, const String& name) {
  const TClassInfo* cls = ClassOf(obj);
  return cls ? cls->FindProperty(name) : nullptr;
}

bool IsPublishedProp(TObject* obj, const String& path) { return FindPropPath(obj, path).Prop != nullptr; }

Int64 GetOrdProp(TObject* obj, const String& path) {
  auto t = GetPropPath(obj, path);
  return t.Prop->GetOrd(t.Object);
}

void SetOrdProp(TObject* obj, const String& path, Int64 value) {
  auto t = GetPropPath(obj, path);
  t.Prop->SetOrd(t.Object, value);
}

String GetStrProp(TObject* obj, const String& path) {
  auto t = GetPropPath(obj, path);
  return t.Prop->GetStr(t.Object);
}

void SetStrProp(TObject* obj, const String& path, const String& value) {
  auto t = GetPropPath(obj, path);
  t.Prop->SetStr(t.Object, value);
}

double GetFloatProp(TObject* obj, const String& path) {
  auto t = GetPropPath(obj, path);
  return t.Prop->GetFloat(t.Object);
}

void SetFloatProp(TObject* obj, const String& path, double value) {
  auto t = GetPropPath(obj, path);
  t.Prop->SetFloat(t.Object, value);
}

String GetEnumProp(TObject* obj, const String& path) {
  auto t = GetPropPath(obj, path);
  if (t.Prop->Kind() != tkEnumeration) throw EPropertyError(L"Property " + path + L" is not an enumeration");
  return t.Prop->EnumType()->NameOf(t.Prop->GetOrd(t.Object));
}

void SetEnumProp(TObject* obj, const String& path, const String& name) {
  auto t = GetPropPath(obj, path);
  if (t.Prop->Kind() != tkEnumeration) throw EPropertyError(L"Property " + path + L" is not an enumeration");
  Int64 v = 0;
  if (!t.Prop->EnumType()->TryValueOf(name, v))
    throw EPropertyConvertError(L"'" + name + L"' is not a value of " + t.Prop->EnumType()->TypeName());
  t.Prop->SetOrd(t.Object, v);
}

String GetSetProp(TObject* obj, const String& path, bool brackets) {
  auto t = GetPropPath(obj, path);
  if (t.Prop->Kind() != tkSet) throw EPropertyError(L"Property " + path + L" is not a set");
  return SetToString(*t.Prop->EnumType(), static_cast<std::uint64_t>(t.Prop->GetOrd(t.Object)), brackets);
}

void SetSetProp(TObject* obj, const String& path, const String& text) {
  auto t = GetPropPath(obj, path);
  if (t.Prop->Kind() != tkSet) throw EPropertyError(L"Property " + path + L" is not a set");
  t.Prop->SetOrd(t.Object, static_cast<Int64>(StringToSet(*t.Prop->EnumType(), text)));
}

TObject* GetObjectProp(TObject* obj, const String& path) {
  auto t = GetPropPath(obj, path);
  return t.Prop->GetObject(t.Object);
}

void SetObjectProp(TObject* obj, const String& path, TObject* value) {
  auto t = GetPropPath(obj, path);
  t.Prop->SetObject(t.Object, value);
}

rtl::Variant GetVariantProp(TObject* obj, const String& path) {
  auto t = GetPropPath(obj, path);
  return t.Prop->GetVariant(t.Object);
}

void SetVariantProp(TObject* obj, const String& path, const rtl::Variant& value) {
  auto t = GetPropPath(obj, path);
  t.Prop->SetVariant(t.Object, value);
}

String MethodNameOf(const TMethod& method) {
  if (!method.Data || !method.HasCode) return L"";
  const TClassInfo* cls = ClassOf(method.Data);
  const TMethodInfo* m = cls ? cls->FindMethod(method.Code) : nullptr;
  return m ? m->Name() : String();
}

String GetMethodName(TObject* obj, const String& path) {
  auto t = GetPropPath(obj, path);
  return MethodNameOf(t.Prop->GetMethod(t.Object));
}

void SetMethodProp(TObject* obj, const String& path, TObject* target, const String& methodName) {
  auto t = GetPropPath(obj, path);
  TEventBase* event = t.Prop->GetEvent(t.Object);
  if (methodName.empty() || rtl::SameText(methodName, L"nil")) {
    event->Clear();
    return;
  }
  const TClassInfo* cls = ClassOf(target);
  const TMethodInfo* m = cls ? cls->FindMethod(methodName) : nullptr;
  if (!m)
    throw EPropertyError(L"Method " + methodName + L" not found in " +
                         (target ? target->ClassName() : String(L"nil")));
  if (!m->BindTo(*event, target))
    throw EPropertyError(L"Method " + methodName + L" does not fit event " + path);
}

String GetPropText(TObject* obj, const String& path) {
  auto t = GetPropPath(obj, path);
  const TPropInfo* p = t.Prop;
  switch (p->Kind()) {
    case tkEnumeration: return p->EnumType()->NameOf(p->GetOrd(t.Object));
    case tkSet: return SetToString(*p->EnumType(), static_cast<std::uint64_t>(p->GetOrd(t.Object)));
    case tkChar:
    case tkWChar: return String(1, static_cast<wchar_t>(p->GetOrd(t.Object)));
    case tkInteger:
    case tkInt64: return rtl::IntToStr(p->GetOrd(t.Object));
    case tkFloat: return FloatToFormText(p->GetFloat(t.Object));
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString: return p->GetStr(t.Object);
    case tkVariant: return rtl::VarToStr(p->GetVariant(t.Object));
    case tkClass:
      if (p->IsReference()) return ReferenceName(dynamic_cast<TComponent*>(p->GetObject(t.Object)));
      if (IsStringsProp(p)) {
        auto* lines = dynamic_cast<rtl::TStrings*>(p->GetObject(t.Object));
        return lines ? lines->Text() : String();
      }
      return p->GetObject(t.Object) ? p->GetObject(t.Object)->ClassName() : String(L"nil");
    case tkMethod: return MethodNameOf(p->GetMethod(t.Object));
    default: return L"";
  }
}

void SetPropText(TObject* obj, const String& path, const String& text) {
  auto t = GetPropPath(obj, path);
  const TPropInfo* p = t.Prop;
  switch (p->Kind()) {
    case tkEnumeration: {
      Int64 v = 0;
      if (!p->EnumType()->TryValueOf(rtl::Trim(text), v) && !rtl::TryStrToInt64(rtl::Trim(text), v))
        throw EPropertyConvertError(L"'" + text + L"' is not a value of " + p->EnumType()->TypeName());
      p->SetOrd(t.Object, v);
      return;
    }
    case tkSet: p->SetOrd(t.Object, static_cast<Int64>(StringToSet(*p->EnumType(), text))); return;
    case tkChar:
    case tkWChar:
      if (text.size() != 1) throw EPropertyConvertError(L"'" + text + L"' is not a single character");
      p->SetOrd(t.Object, text[0]);
      return;
    case tkInteger:
    case tkInt64: {
      Int64 v = 0;
      // Colours and character sets are set by name as well as by number, as form text writes them.
      TColor color = 0;
      int charset = 0;
      if (p->TypeName() == L"TColor" && IdentToColor(rtl::Trim(text), color))
        v = color;
      else if (p->TypeName() == L"TFontCharset" && IdentToCharset(rtl::Trim(text), charset))
        v = charset;
      else if (!rtl::TryStrToInt64(rtl::Trim(text), v))
        throw EPropertyConvertError(L"'" + text + L"' is not a valid integer value");
      p->SetOrd(t.Object, v);
      return;
    }
    case tkFloat: {
      double v = 0;
      if (!FormTextToFloat(rtl::Trim(text), v))
        throw EPropertyConvertError(L"'" + text + L"' is not a valid floating point value");
      p->SetFloat(t.Object, v);
      return;
    }
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString: p->SetStr(t.Object, text); return;
    case tkVariant: p->SetVariant(t.Object, rtl::Variant(text)); return;
    case tkClass: {
      if (IsStringsProp(p)) {
        rtl::TStringList lines;
        lines.SetText(text);
        AssignStringsProp(t.Object, p, lines);
        return;
      }
      if (!p->IsReference()) throw EPropertyError(L"Property " + path + L" cannot be set from text");
      if (text.empty() || rtl::SameText(text, L"nil")) {
        p->SetObject(t.Object, nullptr);
        return;
      }
      auto* self = dynamic_cast<TComponent*>(obj);
      TComponent* owner = self ? (self->Owner() ? self->Owner() : self) : nullptr;
      TComponent* found = owner ? owner->FindComponent(text) : nullptr;
      if (!found) throw EPropertyError(L"Component " + text + L" not found");
      p->SetObject(t.Object, found);
      return;
    }
    case tkMethod: {
      auto* self = dynamic_cast<TComponent*>(obj);
      TObject* target = self && self->Owner() ? static_cast<TObject*>(self->Owner()) : obj;
      SetMethodProp(obj, path, target, text);
      return;
    }
    default: throw EPropertyError(L"Property " + path + L" cannot be set from text");
  }
}

}  // namespace vcl
