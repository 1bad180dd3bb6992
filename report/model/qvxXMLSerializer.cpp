#include "report/model/qvxXMLSerializer.h"

#include <cmath>

#include "platform/rtl/checksum.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/component.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxClass.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxUnicodeUtils.h"
#include "report/model/qvxUtils.h"

using rtl::Int64;
using rtl::String;
using rtl::TPersistent;
using vcl::TPropInfo;

namespace {

bool IsStringKind(vcl::TTypeKind kind) {
  return kind == vcl::tkString || kind == vcl::tkLString || kind == vcl::tkWString || kind == vcl::tkUString;
}

bool IsOrdinalKind(vcl::TTypeKind kind) {
  return kind == vcl::tkInteger || kind == vcl::tkChar || kind == vcl::tkWChar || kind == vcl::tkSet ||
         kind == vcl::tkEnumeration || kind == vcl::tkInt64;
}

// The same property of the ancestor object, when the ancestor has one of the same kind.
const TPropInfo* AncestorProp(TPersistent* ancestor, const TPropInfo* prop) {
  if (!ancestor) return nullptr;
  const vcl::TClassInfo* cls = vcl::ClassOf(ancestor);
  const TPropInfo* p = cls ? cls->FindProperty(prop->Name()) : nullptr;
  if (!p || p->Kind() != prop->Kind() || !p->IsReadable()) return nullptr;
  return p;
}

String Attr(const String& name, const String& value) { return L" " + name + L"=\"" + value + L"\""; }

// One trailing CR LF (or a lone line break) is not part of what the user typed.
String DropLastBreak(String s) {
  if (s.size() >= 2 && s[s.size() - 2] == L'\r' && s.back() == L'\n')
    s.resize(s.size() - 2);
  else if (!s.empty() && (s.back() == L'\n' || s.back() == L'\r'))
    s.pop_back();
  return s;
}

String StringsText(rtl::TStrings* list) {
  if (auto* wide = dynamic_cast<TqvxWideStrings*>(list)) return wide->Text();
  return list->Text();
}

// Older files stored UTF-8 bytes one per character.
String FromByteChars(const String& s) {
  std::string bytes;
  bytes.reserve(s.size());
  for (wchar_t c : s) bytes += static_cast<char>(c & 0xFF);
  return rtl::UTF8ToString(bytes);
}

// Restores a flag of a report object on every exit.
class TFlagGuard {
public:
  TFlagGuard(TqvxComponent* c, bool value) : c_(c) {
    if (c_) {
      old_ = c_->IsWriting();
      c_->SetIsWriting(value);
    }
  }
  ~TFlagGuard() {
    if (c_) c_->SetIsWriting(old_);
  }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
  TqvxComponent* c_;
  bool old_ = false;
};

}  // namespace

TqvxWideStrings* qvxMemoOf(rtl::TObject* obj) {
  auto* memo = dynamic_cast<TqvxCustomMemoView*>(obj);
  return memo ? memo->Memo() : nullptr;
}

TqvxXMLSerializer::TqvxXMLSerializer(rtl::TStream* stream)
    : FErrors(std::make_unique<rtl::TStringList>()), FStream(stream) {
  FErrors->SetSorted(true);
  FErrors->SetDuplicates(rtl::dupIgnore);
}

TqvxXMLSerializer::~TqvxXMLSerializer() = default;

String TqvxXMLSerializer::PropDataOf(TPersistent* obj) {
  const std::vector<rtl::Byte> bytes = vcl::WriteDefinedProperties(obj, FOwner);
  String hex;
  static const wchar_t digits[] = L"0123456789ABCDEF";
  hex.reserve(bytes.size() * 2);
  for (rtl::Byte b : bytes) {
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  return hex;
}

String TqvxXMLSerializer::ObjToXML(TPersistent* obj, const String& add, TPersistent* ancestor) {
  if (!obj) return String();
  auto* comp = dynamic_cast<TqvxComponent*>(obj);
  TFlagGuard writing(comp, true);
  if (comp && !ancestor && OnGetAncestor) OnGetAncestor(comp->Name(), ancestor);
  TFlagGuard ancestorWriting(dynamic_cast<TqvxComponent*>(ancestor), true);
  if (ancestor && SaveAncestorOnly) {
    // The ancestor's own values, judged like an object without ancestor.
    obj = ancestor;
    ancestor = nullptr;
  }
  const bool all = SerializeDefaultValues;
  const bool compareLists = ancestor && !SaveAncestorOnly;
  String result;
  const vcl::TClassInfo* cls = vcl::ClassOf(obj);
  if (!cls) return result;

  for (const TPropInfo* prop : cls->Properties()) {
    if (!prop->IsReadable() || !prop->IsStored(obj)) continue;
    const String name = add + prop->Name();
    const TPropInfo* ap = AncestorProp(ancestor, prop);
    const vcl::TTypeKind kind = prop->Kind();
    if (IsOrdinalKind(kind)) {
      const Int64 value = prop->GetOrd(obj);
      bool skip = ap ? ap->GetOrd(ancestor) == value : (prop->HasDefault() && prop->OrdDefault() == value);
      if (skip && !all) continue;
      if (kind == vcl::tkEnumeration && prop->EnumType())
        result += Attr(name, prop->EnumType()->NameOf(value));
      else
        result += Attr(name, rtl::IntToStr(value));
    } else if (kind == vcl::tkFloat) {
      const double value = prop->GetFloat(obj);
      if (ap && std::fabs(ap->GetFloat(ancestor) - value) < 1e-6 && !all) continue;
      result += Attr(name, rtl::FloatToStr(value));
    } else if (IsStringKind(kind)) {
      const String value = prop->GetStr(obj);
      bool skip = ap ? ap->GetStr(ancestor) == value : value.empty();
      if (skip && !all) continue;
      result += Attr(name, qvxStrToXML(value));
    } else if (kind == vcl::tkVariant) {
      const rtl::Variant value = prop->GetVariant(obj);
      const String text = rtl::VarToStr(value);
      if (ap && rtl::VarToStr(ap->GetVariant(ancestor)) == text && !all) continue;
      result += Attr(name, qvxStrToXML(text));
    } else if (kind == vcl::tkClass) {
      rtl::TObject* value = prop->GetObject(obj);
      if (prop->IsReference()) {
        auto* c = dynamic_cast<vcl::TComponent*>(value);
        if (!ap) {
          if (c)
            result += Attr(name, qvxStrToXML(qvxGetFullName(FOwner, c)));
          else if (all)
            result += Attr(name, L"nil");
          continue;
        }
        auto* ac = dynamic_cast<vcl::TComponent*>(ap->GetObject(ancestor));
        const bool differ = (c == nullptr) != (ac == nullptr) || (c && !rtl::SameText(c->Name(), ac->Name()));
        if (!differ && !all) continue;
        result += Attr(name, c ? qvxStrToXML(qvxGetFullName(FOwner, c)) : String(L"nil"));
        continue;
      }
      if (!value) continue;
      if (dynamic_cast<TqvxWideStrings*>(value)) continue;
      rtl::TObject* ancValue = ap ? ap->GetObject(ancestor) : nullptr;
      if (auto* list = dynamic_cast<rtl::TStrings*>(value)) {
        const String text = DropLastBreak(StringsText(list));
        auto* ancList = dynamic_cast<rtl::TStrings*>(ancValue);
        if (compareLists && ancList && DropLastBreak(StringsText(ancList)) == text && !all) continue;
        result += Attr(name + L".Text", qvxStrToXML(text));
        continue;
      }
      if (auto* sub = dynamic_cast<TPersistent*>(value))
        result += ObjToXML(sub, name + L".", dynamic_cast<TPersistent*>(ancValue));
    }
  }

  if (TqvxWideStrings* memo = qvxMemoOf(obj)) {
    const String text = DropLastBreak(memo->Text());
    TqvxWideStrings* ancMemo = compareLists ? qvxMemoOf(ancestor) : nullptr;
    if (!(ancMemo && DropLastBreak(ancMemo->Text()) == text) || all) result += Attr(add + L"Text", qvxStrToXML(text));
  }

  auto* objComp = dynamic_cast<TqvxComponent*>(obj);
  if (!(objComp && HandleNestedProperties && objComp->qvComponentStyle().Contains(csHandlesNestedProperties))) {
    const String data = PropDataOf(obj);
    if (!data.empty()) {
      bool write = !ancestor || SaveAncestorOnly;
      if (!write) {
        const std::vector<rtl::Byte> mine = vcl::WriteDefinedProperties(obj, FOwner);
        const std::vector<rtl::Byte> theirs = vcl::WriteDefinedProperties(ancestor, FOwner);
        write = rtl::CRC32(mine.data(), mine.size()) != rtl::CRC32(theirs.data(), theirs.size());
      }
      if (write || all) result += Attr(add + L"PropData", data);
    }
  }
  return result;
}

void TqvxXMLSerializer::SetMemoText(TPersistent* obj, const String& value, bool utf8Bytes) {
  TqvxWideStrings* memo = qvxMemoOf(obj);
  if (!memo) return;
  memo->SetText(qvxXMLToStr(utf8Bytes ? FromByteChars(value) : value));
}

void TqvxXMLSerializer::ApplyProp(TPersistent* obj, const String& fullName, const String& value) {
  rtl::TObject* cur = obj;
  String name = fullName;
  // Walk the dotted path through owned sub-objects.
  for (size_t dot = name.find(L'.'); dot != String::npos; dot = name.find(L'.')) {
    const vcl::TClassInfo* cls = vcl::ClassOf(cur);
    const TPropInfo* p = cls ? cls->FindProperty(name.substr(0, dot)) : nullptr;
    if (!p) break;  // the rest names no property of cur: ignored below
    if (p->Kind() != vcl::tkClass || !p->IsReadable()) return;
    rtl::TObject* sub = p->GetObject(cur);
    if (!sub) return;
    cur = sub;
    name = name.substr(dot + 1);
  }
  auto* comp = dynamic_cast<TqvxComponent*>(cur);
  if (name.size() == 1 && comp) {
    switch (name[0]) {
      case L'l':
        comp->SetLeft(qvxStrToFloat(value));
        return;
      case L't':
        comp->SetTop(qvxStrToFloat(value));
        return;
      case L'w':
        comp->SetWidth(qvxStrToFloat(value));
        return;
      case L'h':
        comp->SetHeight(qvxStrToFloat(value));
        return;
      case L'x':
        if (qvxMemoOf(comp)) {
          SetMemoText(comp, value, false);
          return;
        }
        break;
      case L'u':
        if (qvxMemoOf(comp)) {
          SetMemoText(comp, value, OldFormat);
          return;
        }
        break;
      default:
        break;
    }
  }
  if (rtl::SameText(name, L"PropData")) {
    auto* target = dynamic_cast<TPersistent*>(cur);
    if (!target) return;
    rtl::TBytesStream bytes;
    qvxStringToStream(value, bytes);
    try {
      vcl::ReadDefinedProperties(target, bytes.Bytes(), FOwner);
    } catch (...) {
      // Stored data that cannot be read is dropped; the published properties still load.
    }
    return;
  }
  if (rtl::SameText(name, L"Name") && dynamic_cast<TqvxReport*>(cur)) return;
  if (rtl::SameText(name, L"Text")) {
    if (auto* wide = dynamic_cast<TqvxWideStrings*>(cur)) {
      wide->SetText(qvxXMLToStr(value));
      return;
    }
    if (auto* list = dynamic_cast<rtl::TStrings*>(cur)) {
      list->SetText(qvxXMLToStr(value));
      return;
    }
    if (qvxMemoOf(cur)) {
      SetMemoText(dynamic_cast<TPersistent*>(cur), value, OldFormat);
      return;
    }
  }
  const vcl::TClassInfo* cls = vcl::ClassOf(cur);
  const TPropInfo* prop = cls ? cls->FindProperty(name) : nullptr;
  if (!prop || !prop->IsWritable()) return;
  switch (prop->Kind()) {
    case vcl::tkInteger:
    case vcl::tkChar:
    case vcl::tkWChar:
    case vcl::tkInt64:
      prop->SetOrd(cur, rtl::StrToInt64(rtl::Trim(value)));
      break;
    case vcl::tkSet: {
      const String v = rtl::Trim(value);
      if (!v.empty() && v[0] == L'[' && prop->EnumType())
        prop->SetOrd(cur, static_cast<Int64>(vcl::StringToSet(*prop->EnumType(), v)));
      else
        prop->SetOrd(cur, rtl::StrToInt64(v));
      break;
    }
    case vcl::tkEnumeration: {
      const String v = rtl::Trim(value);
      Int64 n = 0;
      if (!v.empty() && (std::iswdigit(v[0]) || v[0] == L'-'))
        prop->SetOrd(cur, rtl::StrToInt64(v));
      else if (prop->EnumType() && prop->EnumType()->TryValueOf(v, n))
        prop->SetOrd(cur, n);
      else
        // The property keeps its value; the user learns which attribute was wrong.
        FErrors->Add(L"Invalid value " + v + L" of " + fullName);
      break;
    }
    case vcl::tkFloat:
      prop->SetFloat(cur, static_cast<double>(qvxStrToFloat(value)));
      break;
    case vcl::tkString:
    case vcl::tkLString:
    case vcl::tkWString:
    case vcl::tkUString:
      prop->SetStr(cur, qvxXMLToStr(value));
      break;
    case vcl::tkVariant:
      prop->SetVariant(cur, rtl::Variant(qvxXMLToStr(value)));
      break;
    case vcl::tkClass:
      if (prop->IsReference()) AddFixup(cur, prop, value);
      break;
    default:
      break;
  }
}

void TqvxXMLSerializer::XMLToObj(const String& text, TPersistent* obj) {
  if (!obj) return;
  const size_t n = text.size();
  size_t i = 0;
  for (;;) {
    while (i < n && text[i] <= L' ') ++i;
    if (i >= n) break;
    const size_t eq = text.find(L'=', i);
    if (eq == String::npos) break;
    String name = rtl::TrimRight(text.substr(i, eq - i));
    if (name.empty()) break;
    const size_t q1 = text.find(L'"', eq + 1);
    if (q1 == String::npos) break;
    const size_t q2 = text.find(L'"', q1 + 1);
    const String value = text.substr(q1 + 1, q2 == String::npos ? String::npos : q2 - q1 - 1);
    i = q2 == String::npos ? n : q2 + 1;
    try {
      ApplyProp(obj, name, value);
    } catch (const rtl::Exception& e) {
      FErrors->Add(e.Message());
    }
  }
}

void TqvxXMLSerializer::AddFixup(rtl::TObject* obj, const TPropInfo* propInfo, const String& value) {
  FFixups.push_back(TqvxFixupItem{obj, propInfo, value});
}

void TqvxXMLSerializer::ClearFixups() { FFixups.clear(); }

void TqvxXMLSerializer::CopyFixupList(std::vector<TqvxFixupItem>* list) const {
  if (!list) return;
  list->insert(list->end(), FFixups.begin(), FFixups.end());
}

void TqvxXMLSerializer::FixupReferences() {
  // Setting a reference may run code that reads more; work on our own copy.
  std::vector<TqvxFixupItem> fixups;
  fixups.swap(FFixups);
  for (const TqvxFixupItem& f : fixups) {
    try {
      if (rtl::SameText(f.Value, L"nil")) {
        f.PropInfo->SetObject(f.Obj, nullptr);
        continue;
      }
      vcl::TComponent* found = FOwner ? FOwner->FindObject(f.Value) : nullptr;
      if (!found) {
        try {
          found = qvxFindComponent(FOwner, f.Value);
        } catch (const rtl::Exception&) {
          found = nullptr;
        }
      }
      if (found) f.PropInfo->SetObject(f.Obj, found);
    } catch (const rtl::Exception& e) {
      FErrors->Add(e.Message());
    }
  }
}

void TqvxXMLSerializer::WriteItem(TqvxComponent* c, TqvxXMLItem* item, bool saveChildren, bool streaming, bool isRoot) {
  item->SetName(c->IsAncestor() && !streaming ? String(L"inherited") : c->ClassName());
  String text = isRoot ? ObjToXML(c) : L" Name=\"" + c->Name() + L"\"" + ObjToXML(c);
  item->SetText(text);
  if (HandleNestedProperties && c->qvComponentStyle().Contains(csHandlesNestedProperties))
    c->WriteNestedProperties(item);
  if (!saveChildren) return;
  const std::vector<TqvxComponent*> children = c->Objects();
  for (TqvxComponent* child : children) WriteItem(child, item->Add(), saveChildren, streaming, false);
}

void TqvxXMLSerializer::WriteRootComponent(TqvxComponent* root, bool saveChildren, TqvxXMLItem* xmlItem,
                                           bool streaming) {
  if (!FOwner) FOwner = root;
  std::unique_ptr<TqvxXMLDocument> doc;
  if (!xmlItem) {
    doc = std::make_unique<TqvxXMLDocument>();
    doc->SetAutoIndent(true);
    xmlItem = doc->Root();
  }
  WriteItem(root, xmlItem, saveChildren, streaming, true);
  if (doc) {
    if (OnSaveCustomDataEvent) OnSaveCustomDataEvent(doc->Root()->Add(L"QvxCustomData"));
    if (FStream) doc->SaveToStream(*FStream);
  }
}

void TqvxXMLSerializer::ReadItem(TqvxXMLItem* item, TqvxComponent* parent, TqvxComponent* root,
                                 std::vector<TqvxComponent*>& read) {
  const String& elementName = item->Name();
  if (rtl::SameText(elementName, L"QvxCustomData")) {
    if (OnGetCustomDataEvent) OnGetCustomDataEvent(item);
    return;
  }
  const bool inherited = rtl::SameText(elementName, L"inherited");
  const vcl::TClassInfo* cls = nullptr;
  if (!inherited) {
    cls = vcl::GetClass(elementName);
    if (!cls) {
      FErrors->Add(qvxResources().Get(L"xrCantFindClass") + L" " + elementName);
      return;
    }
  }
  TqvxComponent* obj = root;
  if (parent) {
    const String name = item->Prop(L"Name");
    obj = nullptr;
    if (!name.empty() && FOwner) {
      obj = dynamic_cast<TqvxComponent*>(FOwner->FindComponent(name));
      if (!obj) obj = FOwner->FindObject(name);
    }
    if (!obj) {
      if (inherited) return;
      rtl::TObject* made = nullptr;
      try {
        made = cls->CreateInstance(vcl::TCreateArgs{parent, nullptr});
      } catch (const rtl::Exception& e) {
        FErrors->Add(e.Message());
        return;
      }
      obj = dynamic_cast<TqvxComponent*>(made);
      if (!obj) {
        // Only report objects can sit in a report tree.
        if (made) made->Free();
        FErrors->Add(qvxResources().Get(L"xrCantFindClass") + L" " + elementName);
        return;
      }
    }
  }
  obj->SetIsLoading(true);
  read.push_back(obj);
  XMLToObj(item->Text(), obj);
  const bool nested = HandleNestedProperties && obj->qvComponentStyle().Contains(csHandlesNestedProperties);
  for (rtl::Integer k = 0; k < item->Count(); ++k) {
    TqvxXMLItem* child = item->Items(k);
    if (nested && obj->ReadNestedProperty(child)) continue;
    ReadItem(child, obj, root, read);
  }
}

void TqvxXMLSerializer::ReadRootComponent(TqvxComponent* root, TqvxXMLItem* xmlItem) {
  if (!FOwner) FOwner = root;
  std::unique_ptr<TqvxXMLDocument> doc;
  if (!xmlItem) {
    doc = std::make_unique<TqvxXMLDocument>();
    doc->LoadFromStream(*FStream);
    OldFormat = doc->OldVersion();
    xmlItem = doc->Root();
  }
  std::vector<TqvxComponent*> read;
  ReadItem(xmlItem, nullptr, root, read);
  FixupReferences();
  for (TqvxComponent* c : read) {
    c->SetIsLoading(false);
    if (!dynamic_cast<TqvxReport*>(c)) c->Loaded();
  }
}

String TqvxXMLSerializer::WriteComponentStr(TqvxComponent* component) {
  if (!FOwner) FOwner = component;
  return component->ClassName() + ObjToXML(component);
}

void TqvxXMLSerializer::WriteComponent(TqvxComponent* component) {
  const std::string bytes = "<" + rtl::StringToUTF8(WriteComponentStr(component)) + "/>";
  if (FStream) FStream->WriteBytes(bytes);
}

TqvxComponent* TqvxXMLSerializer::ReadComponentStr(TqvxComponent* root, const String& text, bool dontFixup) {
  const String trimmed = rtl::Trim(text);
  if (trimmed.empty()) return nullptr;
  const size_t blank = trimmed.find(L' ');
  const String className = trimmed.substr(0, blank);
  const String attrs = blank == String::npos ? String() : trimmed.substr(blank + 1);
  const vcl::TClassInfo* cls = vcl::FindClass(className);
  FOwner = root;
  rtl::TObject* made = cls->CreateInstance(vcl::TCreateArgs{root, nullptr});
  auto* obj = dynamic_cast<TqvxComponent*>(made);
  if (!obj) {
    if (made) made->Free();
    throw rtl::EClassNotFound(L"Class " + className + L" not found");
  }
  obj->SetIsLoading(true);
  try {
    XMLToObj(attrs, obj);
  } catch (...) {
    if (dontFixup)
      ClearFixups();
    else
      FixupReferences();
    obj->SetIsLoading(false);
    throw;
  }
  if (dontFixup)
    ClearFixups();
  else
    FixupReferences();
  obj->SetIsLoading(false);
  if (!dynamic_cast<TqvxReport*>(obj)) obj->Loaded();
  return obj;
}

TqvxComponent* TqvxXMLSerializer::ReadComponent(TqvxComponent* root) {
  TqvxXMLItem item;
  {
    TqvxXMLReader reader(*FStream);
    reader.ReadRootItem(&item, false);
  }
  return ReadComponentStr(root, item.Name() + L" " + item.Text());
}

void TqvxXMLSerializer::ReadPersistentStr(TqvxComponent* root, TPersistent* obj, const String& text) {
  if (root) FOwner = root;
  XMLToObj(text, obj);
  FixupReferences();
}
