#include "platform/vcl/typinfo.h"

#include <cwchar>
#include <map>
#include <mutex>

#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/component.h"

namespace vcl {

namespace {

String TrimBlanks(const String& s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] <= L' ') ++b;
  while (e > b && s[e - 1] <= L' ') --e;
  return s.substr(b, e - b);
}

// Class names match exactly; the map keeps the first class registered under a name.
std::map<String, const TClassInfo*>& Registry() {
  static std::map<String, const TClassInfo*> registry;
  return registry;
}

std::recursive_mutex& RegistryLock() {
  static std::recursive_mutex lock;
  return lock;
}

String KindName(TTypeKind kind) {
  switch (kind) {
    case tkInteger: return L"Integer";
    case tkChar: return L"AnsiChar";
    case tkWChar: return L"Char";
    case tkFloat: return L"Double";
    case tkString:
    case tkLString: return L"AnsiString";
    case tkWString: return L"WideString";
    case tkUString: return L"String";
    case tkVariant: return L"Variant";
    case tkInt64: return L"Int64";
    case tkMethod: return L"TMethod";
    default: return L"";
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Enumerations

TEnumInfo::TEnumInfo(const wchar_t* typeName, const wchar_t* commaSeparatedNames, int minValue)
    : type_name_(typeName), min_(minValue) {
  String all = commaSeparatedNames;
  size_t start = 0;
  while (start <= all.size()) {
    size_t comma = all.find(L',', start);
    if (comma == String::npos) comma = all.size();
    String name = TrimBlanks(all.substr(start, comma - start));
    // "alNone = 0" style initialisers are not part of the name.
    size_t eq = name.find(L'=');
    if (eq != String::npos) name = TrimBlanks(name.substr(0, eq));
    if (!name.empty()) names_.push_back(name);
    start = comma + 1;
  }
}

TEnumInfo::TEnumInfo(const wchar_t* typeName, std::initializer_list<const wchar_t*> names, int minValue)
    : type_name_(typeName), min_(minValue) {
  for (const wchar_t* n : names) names_.emplace_back(n);
}

String TEnumInfo::NameOf(Int64 value) const {
  if (value >= min_ && value <= MaxValue()) return names_[static_cast<size_t>(value - min_)];
  return rtl::IntToStr(value);
}

bool TEnumInfo::TryValueOf(const String& name, Int64& value) const {
  for (size_t i = 0; i < names_.size(); ++i)
    if (rtl::SameText(names_[i], name)) {
      value = min_ + static_cast<Int64>(i);
      return true;
    }
  return false;
}

const TEnumInfo& BooleanInfo() {
  static const TEnumInfo info(L"Boolean", L"False, True");
  return info;
}

String SetToString(const TEnumInfo& elements, std::uint64_t bits, bool brackets) {
  String text;
  for (int v = 0; v < 64; ++v) {
    if (!(bits & (std::uint64_t{1} << v))) continue;
    if (!text.empty()) text += L',';
    text += elements.NameOf(v);
  }
  return brackets ? L"[" + text + L"]" : text;
}

std::uint64_t StringToSet(const TEnumInfo& elements, const String& text) {
  String body = TrimBlanks(text);
  if (!body.empty() && body.front() == L'[') {
    if (body.back() != L']') throw EPropertyConvertError(L"Invalid set value '" + text + L"'");
    body = body.substr(1, body.size() - 2);
  }
  std::uint64_t bits = 0;
  size_t start = 0;
  while (start <= body.size()) {
    size_t comma = body.find(L',', start);
    if (comma == String::npos) comma = body.size();
    String name = TrimBlanks(body.substr(start, comma - start));
    if (!name.empty()) {
      Int64 v = 0;
      if (!elements.TryValueOf(name, v) || v < 0 || v >= 64)
        throw EPropertyConvertError(L"'" + name + L"' is not an element of " + elements.TypeName());
      bits |= std::uint64_t{1} << v;
    } else if (comma < body.size()) {
      throw EPropertyConvertError(L"Invalid set value '" + text + L"'");
    }
    start = comma + 1;
  }
  return bits;
}

// ---------------------------------------------------------------------------------------------------------------
// Properties

const String& TPropInfo::TypeName() const {
  if (type_name_.empty()) {
    if (static_type_name_)
      type_name_ = static_type_name_;
    else if (kind_ == tkEnumeration && enum_)
      type_name_ = enum_->TypeName();
    else if (kind_ == tkSet && enum_)
      type_name_ = L"set of " + enum_->TypeName();
    else if (kind_ == tkClass && PropClass())
      type_name_ = PropClass()->ClassName();
    else
      type_name_ = KindName(kind_);
  }
  return type_name_;
}

const TClassInfo* TPropInfo::PropClass() const { return class_fn_ ? class_fn_() : nullptr; }

bool TPropInfo::IsReference() const {
  if (kind_ != tkClass) return false;
  const TClassInfo* cls = PropClass();
  return cls && cls->InheritsFrom(TComponent::StaticClass());
}

bool TPropInfo::IsReadable() const {
  return get_ord_ || get_float_ || get_str_ || get_var_ || get_obj_ || get_event_;
}

bool TPropInfo::IsWritable() const {
  if (kind_ == tkMethod) return static_cast<bool>(get_event_);
  return set_ord_ || set_float_ || set_str_ || set_var_ || set_obj_;
}

bool TPropInfo::IsStored(TObject* obj) const {
  if (!stored_) return false;
  if (stored_fn_) return stored_fn_(obj);
  return true;
}

bool TPropInfo::IsDefaultValue(TObject* obj) const {
  switch (kind_) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet:
    case tkInt64:
      return has_default_ && GetOrd(obj) == ord_default_;
    case tkFloat:
      return GetFloat(obj) == (has_default_ ? float_default_ : 0.0);
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString:
      return GetStr(obj).empty();
    case tkVariant:
      return GetVariant(obj).IsEmpty();
    case tkClass:
      return IsReference() && GetObject(obj) == nullptr;
    case tkMethod:
      return !GetMethod(obj).HasCode;
    default:
      return true;
  }
}

namespace {
[[noreturn]] void ThrowAccess(const TPropInfo& p, const wchar_t* what) {
  throw EPropertyError(L"Property " + p.Name() + L" " + what);
}
bool IsOrdinal(TTypeKind k) {
  return k == tkInteger || k == tkChar || k == tkWChar || k == tkEnumeration || k == tkSet || k == tkInt64;
}
bool IsStringKind(TTypeKind k) { return k == tkString || k == tkLString || k == tkWString || k == tkUString; }
}  // namespace

Int64 TPropInfo::GetOrd(TObject* obj) const {
  if (!get_ord_) ThrowAccess(*this, IsOrdinal(kind_) ? L"cannot be read" : L"is not ordinal");
  return get_ord_(obj);
}

void TPropInfo::SetOrd(TObject* obj, Int64 value) const {
  if (!set_ord_) ThrowAccess(*this, IsOrdinal(kind_) ? L"is read-only" : L"is not ordinal");
  set_ord_(obj, value);
}

double TPropInfo::GetFloat(TObject* obj) const {
  if (!get_float_) ThrowAccess(*this, kind_ == tkFloat ? L"cannot be read" : L"is not a float");
  return get_float_(obj);
}

void TPropInfo::SetFloat(TObject* obj, double value) const {
  if (!set_float_) ThrowAccess(*this, kind_ == tkFloat ? L"is read-only" : L"is not a float");
  set_float_(obj, value);
}

String TPropInfo::GetStr(TObject* obj) const {
  if (!get_str_) ThrowAccess(*this, IsStringKind(kind_) ? L"cannot be read" : L"is not a string");
  return get_str_(obj);
}

void TPropInfo::SetStr(TObject* obj, const String& value) const {
  if (!set_str_) ThrowAccess(*this, IsStringKind(kind_) ? L"is read-only" : L"is not a string");
  set_str_(obj, value);
}

rtl::Variant TPropInfo::GetVariant(TObject* obj) const {
  if (!get_var_) ThrowAccess(*this, kind_ == tkVariant ? L"cannot be read" : L"is not a variant");
  return get_var_(obj);
}

void TPropInfo::SetVariant(TObject* obj, const rtl::Variant& value) const {
  if (!set_var_) ThrowAccess(*this, kind_ == tkVariant ? L"is read-only" : L"is not a variant");
  set_var_(obj, value);
}

TObject* TPropInfo::GetObject(TObject* obj) const {
  if (!get_obj_) ThrowAccess(*this, kind_ == tkClass ? L"cannot be read" : L"is not an object");
  return get_obj_(obj);
}

void TPropInfo::SetObject(TObject* obj, TObject* value) const {
  if (kind_ != tkClass) ThrowAccess(*this, L"is not an object");
  if (set_obj_) {
    set_obj_(obj, value);
    return;
  }
  if (IsReference()) ThrowAccess(*this, L"is read-only");
  // An owned sub-object without setter takes the value's contents.
  auto* target = dynamic_cast<TPersistent*>(GetObject(obj));
  auto* source = dynamic_cast<TPersistent*>(value);
  if (!target) ThrowAccess(*this, L"has no object to assign to");
  target->Assign(source);
}

TEventBase* TPropInfo::GetEvent(TObject* obj) const {
  if (!get_event_) ThrowAccess(*this, L"is not an event");
  return get_event_(obj);
}

TMethod TPropInfo::GetMethod(TObject* obj) const { return GetEvent(obj)->Method(); }

// ---------------------------------------------------------------------------------------------------------------
// Classes

TClassInfo::TClassInfo(String name, const TClassInfo* parent) : name_(std::move(name)), parent_(parent) {}

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    if (c == other) return true;
  return false;
}

TObject* TClassInfo::CreateInstance(const TCreateArgs& args) const {
  if (!factory_) throw EPropertyError(L"Cannot create an instance of class " + name_);
  TObject* obj = factory_(args);
  try {
    obj->AfterConstruction();
  } catch (...) {
    obj->Free();
    throw;
  }
  return obj;
}

const TPropInfo* TClassInfo::FindProperty(const String& name) const {
  for (const TPropInfo* p : all_props_)
    if (rtl::SameText(p->Name(), name)) return p;
  return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(const String& name) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    for (const auto& m : c->methods_)
      if (rtl::SameText(m->Name(), name)) return m.get();
  return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(const TMethodCode& code) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    for (const auto& m : c->methods_)
      if (m->Code() == code) return m.get();
  return nullptr;
}

const TFieldInfo* TClassInfo::FindField(const String& name) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    for (const auto& f : c->fields_)
      if (rtl::SameText(f->Name(), name)) return f.get();
  return nullptr;
}

TPropInfo& TClassInfo::AddProperty(const String& name) {
  own_props_.push_back(std::make_unique<TPropInfo>());
  own_props_.back()->name_ = name;
  return *own_props_.back();
}

TMethodInfo& TClassInfo::AddMethod(const String& name) {
  methods_.push_back(std::make_unique<TMethodInfo>());
  methods_.back()->name_ = name;
  return *methods_.back();
}

TFieldInfo& TClassInfo::AddField(const String& name) {
  fields_.push_back(std::make_unique<TFieldInfo>());
  fields_.back()->name_ = name;
  return *fields_.back();
}

void TClassInfo::Finish() {
  all_props_.clear();
  if (parent_) all_props_ = parent_->all_props_;
  for (const auto& p : own_props_) {
    bool replaced = false;
    for (auto& existing : all_props_)
      if (rtl::SameText(existing->Name(), p->Name())) {
        existing = p.get();
        replaced = true;
        break;
      }
    if (!replaced) all_props_.push_back(p.get());
  }
}

void RegisterClass(const TClassInfo* cls) {
  if (!cls) return;
  std::lock_guard<std::recursive_mutex> guard(RegistryLock());
  auto [it, added] = Registry().emplace(cls->ClassName(), cls);
  // Creating by name must not depend on which of two classes happened to register first.
  if (!added && it->second != cls) throw rtl::EFilerError(L"A class named " + cls->ClassName() + L" already exists");
}

void RegisterClasses(std::initializer_list<const TClassInfo*> classes) {
  for (const TClassInfo* c : classes) RegisterClass(c);
}

const TClassInfo* GetClass(const String& name) {
  std::lock_guard<std::recursive_mutex> guard(RegistryLock());
  auto it = Registry().find(name);
  return it == Registry().end() ? nullptr : it->second;
}

const TClassInfo* FindClass(const String& name) {
  if (const TClassInfo* c = GetClass(name)) return c;
  throw rtl::EClassNotFound(L"Class " + name + L" not found");
}

const TClassInfo* VclStaticClass(const rtl::TObject*) {
  static const TClassInfo* const info = detail::MakeClass(L"TObject", nullptr, [](TClassInfo&) {});
  return info;
}

const TClassInfo* VclStaticClass(const rtl::TPersistent*) {
  static const TClassInfo* const info = detail::MakeClass(
      L"TPersistent", VclStaticClass(static_cast<const rtl::TObject*>(nullptr)), [](TClassInfo& ci) {
        ci.SetFactory([](const TCreateArgs&) -> TObject* { return new TPersistent(); });
      });
  return info;
}

const TClassInfo* VclStaticClass(const rtl::TStrings*) {
  static const TClassInfo* const info = detail::MakeClass(
      L"TStrings", VclStaticClass(static_cast<const rtl::TPersistent*>(nullptr)), [](TClassInfo&) {});
  return info;
}

const TClassInfo* VclStaticClass(const rtl::TStringList*) {
  static const TClassInfo* const info = detail::MakeClass(
      L"TStringList", VclStaticClass(static_cast<const rtl::TStrings*>(nullptr)), [](TClassInfo& ci) {
        ci.SetFactory([](const TCreateArgs&) -> TObject* { return new rtl::TStringList(); });
      });
  return info;
}

bool IsStringsProp(const TPropInfo* prop) {
  if (!prop || prop->Kind() != tkClass) return false;
  const TClassInfo* cls = prop->PropClass();
  return cls && cls->InheritsFrom(VclStaticClass(static_cast<const rtl::TStrings*>(nullptr)));
}

void AssignStringsProp(TObject* obj, const TPropInfo* prop, const rtl::TStrings& lines) {
  if (!IsStringsProp(prop)) throw EPropertyError(L"Property " + prop->Name() + L" is not a string list");
  const TClassInfo* cls = prop->PropClass();
  const TClassInfo* stringsCls = VclStaticClass(static_cast<const rtl::TStrings*>(nullptr));
  const TClassInfo* listCls = VclStaticClass(static_cast<const rtl::TStringList*>(nullptr));
  // A setter declared for a list class of its own would refuse a plain list: such lists are filled in place.
  if ((cls == stringsCls || cls == listCls) && prop->IsWritable()) {
    rtl::TStringList copy;
    const rtl::TStrings* value = &lines;
    if (cls == listCls && !dynamic_cast<const rtl::TStringList*>(&lines)) {
      copy.Assign(&lines);
      value = &copy;
    }
    prop->SetObject(obj, const_cast<rtl::TStrings*>(value));
    return;
  }
  auto* held = dynamic_cast<rtl::TStrings*>(prop->GetObject(obj));
  if (!held) throw EPropertyError(L"Property " + prop->Name() + L" holds no list to assign to");
  held->Assign(&lines);
}

const TClassInfo* ClassOf(const TObject* obj) {
  if (!obj) return nullptr;
  if (const TClassInfo* c = obj->ClassType()) return c;
  // Classes of the runtime that are not registered themselves: try their own class name, then the root classes.
  if (const TClassInfo* c = GetClass(obj->ClassName())) return c;
  // A list class of its own (a control's window-backed lines) is still a string list.
  if (auto* strings = dynamic_cast<const rtl::TStrings*>(obj)) return VclStaticClass(strings);
  if (dynamic_cast<const TPersistent*>(obj)) return VclStaticClass(static_cast<const TPersistent*>(nullptr));
  return VclStaticClass(static_cast<const TObject*>(nullptr));
}

namespace detail {

void ThrowWrongObject(const TPropInfo& prop, const TObject* obj) {
  throw EPropertyError(L"Property " + prop.Name() + L" does not belong to " +
                       (obj ? obj->ClassName() : String(L"nil")));
}

void ThrowWrongValue(const TPropInfo& prop, const TObject* value) {
  throw EPropertyError(L"A " + value->ClassName() + L" cannot be assigned to property " + prop.Name() + L" (" +
                       prop.TypeName() + L")");
}

const TClassInfo* MakeClass(const wchar_t* name, const TClassInfo* parent, void (*describe)(TClassInfo&)) {
  // Class entries live as long as the program: they are referenced from every object.
  auto* info = new TClassInfo(name, parent);
  describe(*info);
  info->Finish();
  RegisterClass(info);
  return info;
}

}  // namespace detail

[[maybe_unused]] static const bool root_classes_registered =
    (VclStaticClass(static_cast<const rtl::TPersistent*>(nullptr)),
     VclStaticClass(static_cast<const rtl::TStringList*>(nullptr)), true);

}  // namespace vcl
