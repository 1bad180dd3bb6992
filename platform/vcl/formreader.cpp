// Reading component trees from their parsed form: creation, properties in stream order, references, Loaded.
#include <algorithm>
#include <mutex>

#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/graphicsobjects.h"

namespace vcl {

namespace {

std::vector<TDefinePropertiesHook>& Hooks() {
  static std::vector<TDefinePropertiesHook> hooks;
  return hooks;
}

TFindGlobalComponent& GlobalFinder() {
  static TFindGlobalComponent finder;
  return finder;
}

std::vector<TComponent*>& GlobalComponents() {
  static std::vector<TComponent*> list;
  return list;
}

}  // namespace

void AddDefinePropertiesHook(TDefinePropertiesHook hook) { Hooks().push_back(std::move(hook)); }

namespace {

// String lists store their lines as "Strings"; an empty list stores nothing.
void DefineStringsProperty(TPersistent* obj, TFiler* filer) {
  auto* strings = dynamic_cast<rtl::TStrings*>(obj);
  if (!strings) return;
  filer->DefineProperty(
      L"Strings",
      [strings](TReader& r) {
        rtl::TStringList lines;
        r.ReadListBegin();
        while (!r.EndOfList()) lines.Add(r.ReadString());
        r.ReadListEnd();
        strings->Assign(&lines);
      },
      [strings](TWriter& w) {
        w.WriteListBegin();
        for (rtl::Integer i = 0; i < strings->Count(); ++i) w.WriteString(strings->Get(i));
        w.WriteListEnd();
      },
      strings->Count() > 0);
}

[[maybe_unused]] const bool strings_hook_added = (AddDefinePropertiesHook(DefineStringsProperty), true);

}  // namespace

// Every stored property an object has beyond its published ones.
void DefineAllProperties(TPersistent* obj, TFiler* filer) {
  obj->DefineProperties(filer);
  for (const auto& hook : Hooks()) hook(obj, filer);
}

void SetFindGlobalComponent(TFindGlobalComponent find) { GlobalFinder() = std::move(find); }

TComponent* FindGlobalComponent(const String& name) {
  for (TComponent* c : GlobalComponents())
    if (rtl::SameText(c->Name(), name)) return c;
  if (GlobalFinder()) return GlobalFinder()(name);
  return nullptr;
}

void AddGlobalComponent(TComponent* component) {
  if (std::find(GlobalComponents().begin(), GlobalComponents().end(), component) == GlobalComponents().end())
    GlobalComponents().push_back(component);
}

void RemoveGlobalComponent(TComponent* component) {
  auto& list = GlobalComponents();
  list.erase(std::remove(list.begin(), list.end(), component), list.end());
}

bool TFiler::IsReader() const { return dynamic_cast<const TReader*>(this) != nullptr; }
bool TFiler::IsWriter() const { return dynamic_cast<const TWriter*>(this) != nullptr; }

// ---------------------------------------------------------------------------------------------------------------

class TFormLoader {
public:
  TFormLoader(TComponent* root, String source) : root_(root), source_(std::move(source)) {}

  [[noreturn]] void Fail(int line, const String& message) const { throw EFormError(source_, line, message); }

  void ReadRoot(const TFormObject& obj) {
    const TClassInfo* named = GetClass(obj.ClassName);
    if (!named) Fail(obj.Line, L"Unknown class " + obj.ClassName + ObjectText(obj));
    if (!ClassOf(root_)->InheritsFrom(named))
      Fail(obj.Line, L"The resource describes a " + obj.ClassName + L" but is read into a " + root_->ClassName());
    Begin(root_);
    if (!obj.Name.empty() && obj.Name != root_->Name()) Guard(obj.Line, [&] { root_->SetName(obj.Name); });
    ApplyProps(root_, obj.Props, ObjectText(obj));
    for (const TFormObject& child : obj.Children) ReadChild(child, root_);
  }

  void ReadChild(const TFormObject& obj, TComponent* parent) {
    const TClassInfo* cls = GetClass(obj.ClassName);
    if (!cls) Fail(obj.Line, L"Unknown class " + obj.ClassName + ObjectText(obj));
    if (!cls->InheritsFrom(TComponent::StaticClass()))
      Fail(obj.Line, L"Class " + obj.ClassName + L" is not a component" + ObjectText(obj));
    TComponent* owner = parent->GetChildOwner();
    if (!owner) owner = root_;
    TComponent* comp = obj.Name.empty() ? nullptr : owner->FindComponent(obj.Name);
    if (comp && ClassOf(comp) != cls)
      Fail(obj.Line, L"Object " + obj.Name + L" is a " + comp->ClassName() + L", not a " + obj.ClassName);
    if (!comp) {
      if (!cls->CanCreate()) Fail(obj.Line, L"Class " + obj.ClassName + L" cannot be created" + ObjectText(obj));
      Guard(obj.Line, [&] {
        TCreateArgs args;
        args.Owner = owner;
        comp = dynamic_cast<TComponent*>(cls->CreateInstance(args));
      });
      if (!obj.Name.empty()) {
        // A form field of that name must be able to hold the component.
        if (const TClassInfo* ownerCls = ClassOf(owner))
          if (const TFieldInfo* f = ownerCls->FindField(obj.Name))
            if (!cls->InheritsFrom(f->FieldClass()))
              Fail(obj.Line, L"Field " + obj.Name + L" of " + owner->ClassName() + L" is a " +
                                 f->FieldClass()->ClassName() + L", the resource makes it a " + obj.ClassName);
        Guard(obj.Line, [&] { comp->SetName(obj.Name); });
      }
    }
    Begin(comp);
    Guard(obj.Line, [&] { comp->SetParentComponent(parent->GetChildParent()); });
    ApplyProps(comp, obj.Props, ObjectText(obj));
    for (const TFormObject& child : obj.Children) ReadChild(child, comp);
  }

  void ApplyProps(TPersistent* obj, const std::vector<TFormProp>& props, const String& where) {
    for (const TFormProp& p : props) ApplyProp(obj, p, where);
  }

  void ApplyProp(TPersistent* obj, const TFormProp& p, const String& where) {
    const int line = p.Line ? p.Line : p.Value.Line;
    TObject* target = obj;
    size_t start = 0;
    for (;;) {
      size_t dot = p.Name.find(L'.', start);
      String part = p.Name.substr(start, dot == String::npos ? String::npos : dot - start);
      const TClassInfo* cls = ClassOf(target);
      const TPropInfo* prop = cls ? cls->FindProperty(part) : nullptr;
      if (dot == String::npos) {
        if (prop) {
          SetValue(target, prop, p.Value, p.Name, line);
          return;
        }
        break;
      }
      if (!prop) break;
      if (IsStringsProp(prop) && rtl::SameText(p.Name.substr(dot + 1), L"Strings")) {
        ReadStrings(target, prop, p.Value, p.Name, line);
        return;
      }
      if (prop->Kind() != tkClass || prop->IsReference())
        Fail(line, L"Property " + part + L" of " + where + L" has no sub-properties (in " + p.Name + L")");
      TObject* sub = nullptr;
      Guard(line, [&] { sub = prop->GetObject(target); });
      if (!sub) Fail(line, L"Property " + part + L" of " + where + L" holds no object (in " + p.Name + L")");
      target = sub;
      start = dot + 1;
    }
    // Not published: a stored property the object defines itself, named by the rest of the path.
    String rest = p.Name.substr(start);
    auto* persistent = dynamic_cast<TPersistent*>(target);
    if (persistent && rest.find(L'.') == String::npos) {
      TReader reader(*this, p.Value, rest);
      Guard(line, [&] { DefineAllProperties(persistent, &reader); });
      if (reader.handled) return;
    }
    Fail(line, L"Unknown property " + p.Name + L" of " + where);
  }

  void SetValue(TObject* target, const TPropInfo* prop, const TFormValue& v, const String& name, int line) {
    using K = TFormValueKind;
    auto bad = [&](const String& why) {
      Fail(line, L"Invalid value " + FormatFormValue(v) + L" for property " + name + L" (" + prop->TypeName() +
                     L")" + (why.empty() ? String() : L": " + why));
    };
    if (prop->Kind() != tkMethod && prop->Kind() != tkClass && !prop->IsWritable())
      Fail(line, L"Property " + name + L" is read-only");
    switch (prop->Kind()) {
      case tkInteger:
      case tkInt64: {
        // Colours are written by name as often as by number ("clWindowText").
        TColor color = 0;
        if (v.Kind == K::Ident && prop->TypeName() == L"TColor" && IdentToColor(v.Str, color)) {
          Guard(line, [&] { prop->SetOrd(target, color); });
          return;
        }
        // Character sets likewise ("DEFAULT_CHARSET", "TURKISH_CHARSET").
        if (v.Kind == K::Ident && prop->TypeName() == L"TFontCharset") {
          int charset = 0;
          if (!IdentToCharset(v.Str, charset)) bad(L"not a character set name");
          Guard(line, [&] { prop->SetOrd(target, charset); });
          return;
        }
        if (v.Kind != K::Integer) bad(L"");
        if (prop->Kind() == tkInteger && (v.Int < INT32_MIN || v.Int > UINT32_MAX)) bad(L"out of range");
        Guard(line, [&] { prop->SetOrd(target, v.Int); });
        return;
      }
      case tkChar:
      case tkWChar:
        if (v.Kind == K::String && v.Str.size() == 1)
          Guard(line, [&] { prop->SetOrd(target, v.Str[0]); });
        else if (v.Kind == K::Integer && v.Int >= 0 && v.Int <= 0xFFFF)
          Guard(line, [&] { prop->SetOrd(target, v.Int); });
        else
          bad(L"");
        return;
      case tkEnumeration: {
        Int64 value = 0;
        if (v.Kind == K::Ident) {
          if (!prop->EnumType()->TryValueOf(v.Str, value)) bad(L"not a value of " + prop->EnumType()->TypeName());
        } else if (v.Kind == K::Integer && v.Int >= prop->EnumType()->MinValue() &&
                   v.Int <= prop->EnumType()->MaxValue()) {
          value = v.Int;
        } else {
          bad(L"");
        }
        Guard(line, [&] { prop->SetOrd(target, value); });
        return;
      }
      case tkSet: {
        if (v.Kind != K::Set) bad(L"");
        std::uint64_t bits = 0;
        for (const String& e : v.Elements) {
          Int64 value = 0;
          if (!prop->EnumType()->TryValueOf(e, value) || value < 0 || value >= 64)
            bad(e + L" is not an element of " + prop->EnumType()->TypeName());
          bits |= std::uint64_t{1} << value;
        }
        Guard(line, [&] { prop->SetOrd(target, static_cast<Int64>(bits)); });
        return;
      }
      case tkFloat:
        if (v.Kind == K::Float)
          Guard(line, [&] { prop->SetFloat(target, v.Float); });
        else if (v.Kind == K::Integer)
          Guard(line, [&] { prop->SetFloat(target, static_cast<double>(v.Int)); });
        else
          bad(L"");
        return;
      case tkString:
      case tkLString:
      case tkWString:
      case tkUString:
        if (v.Kind != K::String) bad(L"");
        Guard(line, [&] { prop->SetStr(target, v.Str); });
        return;
      case tkVariant: {
        rtl::Variant value;
        if (v.Kind == K::Integer)
          value = rtl::Variant(static_cast<long long>(v.Int));
        else if (v.Kind == K::Float)
          value = rtl::Variant(v.Float);
        else if (v.Kind == K::String)
          value = rtl::Variant(v.Str);
        else if (v.Kind == K::Ident && rtl::SameText(v.Str, L"True"))
          value = rtl::Variant(true);
        else if (v.Kind == K::Ident && rtl::SameText(v.Str, L"False"))
          value = rtl::Variant(false);
        else if (v.Kind == K::Ident && rtl::SameText(v.Str, L"Null"))
          value = rtl::Variant::Null();
        else
          bad(L"");
        Guard(line, [&] { prop->SetVariant(target, value); });
        return;
      }
      case tkClass:
        if (prop->IsReference()) {
          if (v.Kind != K::Ident) bad(L"a component name expected");
          if (!prop->IsWritable()) Fail(line, L"Property " + name + L" is read-only");
          if (rtl::SameText(v.Str, L"nil"))
            Guard(line, [&] { prop->SetObject(target, nullptr); });
          else
            fixups_.push_back({target, prop, v.Str, name, line});
          return;
        }
        if (v.Kind == K::Collection) {
          TObject* sub = nullptr;
          Guard(line, [&] { sub = prop->GetObject(target); });
          auto* collection = dynamic_cast<TCollection*>(sub);
          if (!collection) bad(L"the property is not a collection");
          ReadCollection(collection, v, name);
          return;
        }
        bad(L"set its properties instead (" + name + L".Name = ...)");
        return;
      case tkMethod: {
        if (v.Kind != K::Ident) bad(L"a method name expected");
        TEventBase* event = prop->GetEvent(target);
        if (rtl::SameText(v.Str, L"nil")) {
          event->Clear();
          return;
        }
        const TClassInfo* rootCls = ClassOf(root_);
        const TMethodInfo* m = rootCls ? rootCls->FindMethod(v.Str) : nullptr;
        if (!m) Fail(line, L"Method " + v.Str + L" for " + name + L" not found in " + root_->ClassName());
        if (!m->BindTo(*event, root_))
          Fail(line, L"Method " + v.Str + L" does not fit event " + name + L" (its parameters differ)");
        return;
      }
      default:
        Fail(line, L"Property " + name + L" cannot be read from a resource");
    }
  }

  // "Items.Strings = ( ... )": the lines go to the property as a whole, so its setter sees the new list at once.
  void ReadStrings(TObject* target, const TPropInfo* prop, const TFormValue& v, const String& name, int line) {
    if (v.Kind != TFormValueKind::List)
      Fail(line, L"Invalid value " + FormatFormValue(v) + L" for property " + name + L": a list of strings expected");
    rtl::TStringList lines;
    for (const TFormValue& item : v.List) {
      if (item.Kind != TFormValueKind::String)
        Fail(item.Line ? item.Line : line,
             L"Invalid value " + FormatFormValue(item) + L" in the list " + name + L": a string expected");
      lines.Add(item.Str);
    }
    Guard(line, [&] { AssignStringsProp(target, prop, lines); });
  }

  void ReadCollection(TCollection* collection, const TFormValue& v, const String& name) {
    collection->BeginUpdate();
    try {
      collection->Clear();
      for (size_t i = 0; i < v.Items.size(); ++i) {
        TCollectionItem* item = nullptr;
        Guard(v.Line, [&] { item = collection->Add(); });
        ApplyProps(item, v.Items[i], name + L"[" + rtl::IntToStr(static_cast<Int64>(i)) + L"]");
      }
    } catch (...) {
      collection->EndUpdate();
      throw;
    }
    collection->EndUpdate();
  }

  TComponent* Resolve(const String& name) const {
    if (rtl::SameText(root_->Name(), name)) return root_;
    if (TComponent* c = root_->FindComponent(name)) return c;
    size_t dot = name.find(L'.');
    if (dot != String::npos) {
      String formName = name.substr(0, dot);
      // Owner.Name: a component owned by one of the root's own (a report's objects) or by another form.
      TComponent* form = rtl::SameText(formName, root_->Name()) ? root_ : root_->FindComponent(formName);
      if (!form) form = FindGlobalComponent(formName);
      // Form.Frame.Name: walk down through owned components.
      size_t start = dot + 1;
      while (form) {
        size_t next = name.find(L'.', start);
        String part = name.substr(start, next == String::npos ? String::npos : next - start);
        form = form->FindComponent(part);
        if (next == String::npos) return form;
        start = next + 1;
      }
      return nullptr;
    }
    return FindGlobalComponent(name);
  }

  void ResolveFixups() {
    for (const Fixup& f : fixups_) {
      TComponent* c = Resolve(f.value);
      if (!c) Fail(f.line, L"Component " + f.value + L" named by " + f.name + L" not found");
      Guard(f.line, [&] { f.prop->SetObject(f.target, c); });
    }
    fixups_.clear();
  }

  // References, then Loaded on everything read, in creation order.
  void Finish() {
    ResolveFixups();
    for (TComponent* c : loaded_) c->EndReading();
    for (TComponent* c : loaded_) c->Loaded();
    for (TComponent* c : loaded_) c->ClearLoading();
    loaded_.clear();
  }

  // After a failure: nothing stays flagged as loading.
  void Abandon() {
    for (TComponent* c : loaded_) c->ClearLoading();
    loaded_.clear();
    fixups_.clear();
  }

  TComponent* Root() const { return root_; }

  template <class F>
  void Guard(int line, F&& f) {
    try {
      f();
    } catch (const EFormError&) {
      throw;
    } catch (const rtl::Exception& e) {
      Fail(line, e.Message());
    }
  }

private:
  struct Fixup {
    TObject* target;
    const TPropInfo* prop;
    String value;
    String name;
    int line;
  };

  static String ObjectText(const TFormObject& obj) {
    return obj.Name.empty() ? L" (unnamed " + obj.ClassName + L")" : L" (" + obj.Name + L": " + obj.ClassName + L")";
  }

  void Begin(TComponent* c) {
    c->BeginLoading();
    loaded_.push_back(c);
  }

  TComponent* root_;
  String source_;
  std::vector<Fixup> fixups_;
  std::vector<TComponent*> loaded_;
};

// ---------------------------------------------------------------------------------------------------------------
// TReader

TReader::TReader(TFormLoader& loader, const TFormValue& value, const String& propName)
    : loader_(loader), prop_name_(propName), top_(value) {
  root_ = loader.Root();
  single_.push_back(top_);
  stack_.push_back({&single_, 0, value.Line});
}

void TReader::DefineProperty(const String& name, TReaderProc read, TWriterProc, bool) {
  if (handled || !read || !rtl::SameText(name, prop_name_)) return;
  handled = true;
  read(*this);
}

void TReader::DefineBinaryProperty(const String& name, TStreamProc read, TStreamProc, bool) {
  if (handled || !read || !rtl::SameText(name, prop_name_)) return;
  handled = true;
  rtl::TBytesStream stream(ReadBinary());
  read(stream);
}

int TReader::Line() const {
  const Level& l = stack_.back();
  if (l.index < l.values->size()) return (*l.values)[l.index].Line;
  return l.line;
}

void TReader::Fail(const String& what) const {
  loader_.Fail(Line(), what + L" in the value of " + prop_name_);
}

const TFormValue& TReader::Current() const {
  const Level& l = stack_.back();
  if (l.index >= l.values->size()) Fail(L"Value expected");
  return (*l.values)[l.index];
}

TFormValue TReader::ReadValue() {
  TFormValue v = Current();
  ++stack_.back().index;
  return v;
}

Int64 TReader::ReadInteger() {
  if (Current().Kind != TFormValueKind::Integer) Fail(L"Integer expected");
  return ReadValue().Int;
}

double TReader::ReadFloat() {
  const TFormValue& v = Current();
  if (v.Kind == TFormValueKind::Integer) return static_cast<double>(ReadValue().Int);
  if (v.Kind != TFormValueKind::Float) Fail(L"Number expected");
  return ReadValue().Float;
}

String TReader::ReadString() {
  if (Current().Kind != TFormValueKind::String) Fail(L"String expected");
  return ReadValue().Str;
}

bool TReader::ReadBoolean() {
  const TFormValue& v = Current();
  if (v.Kind == TFormValueKind::Ident && rtl::SameText(v.Str, L"True")) return ReadValue(), true;
  if (v.Kind == TFormValueKind::Ident && rtl::SameText(v.Str, L"False")) return ReadValue(), false;
  Fail(L"True or False expected");
}

String TReader::ReadIdent() {
  if (Current().Kind != TFormValueKind::Ident) Fail(L"Identifier expected");
  return ReadValue().Str;
}

wchar_t TReader::ReadChar() {
  const TFormValue& v = Current();
  if (v.Kind == TFormValueKind::String && v.Str.size() == 1) return ReadValue().Str[0];
  if (v.Kind == TFormValueKind::Integer && v.Int >= 0 && v.Int <= 0xFFFF)
    return static_cast<wchar_t>(ReadValue().Int);
  Fail(L"Character expected");
}

std::vector<Byte> TReader::ReadBinary() {
  if (Current().Kind != TFormValueKind::Binary) Fail(L"Binary data expected");
  return ReadValue().Bytes;
}

void TReader::ReadListBegin() {
  const TFormValue& v = Current();
  if (v.Kind != TFormValueKind::List) Fail(L"List expected");
  ++stack_.back().index;
  stack_.push_back({&v.List, 0, v.Line});
}

bool TReader::EndOfList() const {
  const Level& l = stack_.back();
  return l.index >= l.values->size();
}

void TReader::ReadListEnd() {
  if (stack_.size() <= 1) Fail(L"No list to end");
  if (!EndOfList()) Fail(L"End of list expected");
  stack_.pop_back();
}

void TReader::ReadCollection(TCollection* collection) {
  const TFormValue& v = Current();
  if (v.Kind != TFormValueKind::Collection) Fail(L"Collection expected");
  TFormValue copy = ReadValue();
  loader_.ReadCollection(collection, copy, prop_name_);
}

// ---------------------------------------------------------------------------------------------------------------

void ReadComponentObject(const TFormObject& obj, TComponent* root, const String& source) {
  TFormLoader loader(root, source);
  try {
    loader.ReadRoot(obj);
    loader.Finish();
  } catch (...) {
    loader.Abandon();
    throw;
  }
}

void ReadComponentText(const String& text, TComponent* root, const String& source) {
  ReadComponentObject(ParseFormText(text, source), root, source);
}

TComponent* CreateComponentFromText(const String& text, TComponent* owner, const String& source) {
  TFormObject obj = ParseFormText(text, source);
  const TClassInfo* cls = GetClass(obj.ClassName);
  if (!cls) throw EFormError(source, obj.Line, L"Unknown class " + obj.ClassName);
  if (!cls->InheritsFrom(TComponent::StaticClass()) || !cls->CanCreate())
    throw EFormError(source, obj.Line, L"Class " + obj.ClassName + L" cannot be created as a component");
  TCreateArgs args;
  args.Owner = owner;
  auto* root = dynamic_cast<TComponent*>(cls->CreateInstance(args));
  try {
    ReadComponentObject(obj, root, source);
  } catch (...) {
    root->Free();
    throw;
  }
  return root;
}

void ReadProperties(TPersistent* obj, const std::vector<TFormProp>& props, TComponent* root, const String& source) {
  TFormLoader loader(root, source);
  try {
    loader.ApplyProps(obj, props, obj->ClassName());
    loader.ResolveFixups();
  } catch (...) {
    loader.Abandon();
    throw;
  }
}

void ReadDefinedProperties(TPersistent* obj, const std::vector<Byte>& data, TComponent* root) {
  if (data.empty()) return;
  ReadProperties(obj, DecodeFormProps(data), root, L"PropData");
}

}  // namespace vcl
