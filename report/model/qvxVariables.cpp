#include "report/model/qvxVariables.h"

#include <memory>

#include "platform/rtl/strings.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxXMLSerializer.h"

using rtl::String;

VCL_REGISTER(TqvxVariable) {
  cls.Prop(L"Name", &TqvxVariable::Name, &TqvxVariable::SetName);
  // Null has no text form: written as an empty text it would come back as one, so it is left out and a variable
  // read back starts as Null again.
  cls.Prop(L"Value", &TqvxVariable::Value, &TqvxVariable::SetValue).Stored(&TqvxVariable::IsValueStored);
}
VCL_REGISTER(TqvxVariables) {}
VCL_REGISTER(TqvxArray) {}

namespace {
bool IsHeading(const String& name) { return !name.empty() && name[0] == L' '; }
// Variable names are used as identifiers in expressions: "ISIM" finds "isim" under Turkish rules too, while names
// with Turkish letters still match in the user's locale.
bool SameName(const String& a, const String& b) { return rtl::SameText(a, b) || rtl::AnsiSameText(a, b); }
}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// TqvxVariable

TqvxVariable::TqvxVariable(vcl::TCollection* collection) : TqvxCollectionItem(collection) {
  FValue = rtl::Variant::Null();
}

void TqvxVariable::Assign(const rtl::TPersistent* source) {
  auto* src = dynamic_cast<const TqvxVariable*>(source);
  if (!src) return;
  FName = src->FName;
  FValue = src->FValue;
  IsInherited = src->IsInherited;
}

String TqvxVariable::GetInheritedName() const { return FName.empty() ? InheritedName : FName; }

// ---------------------------------------------------------------------------------------------------------------
// TqvxVariables

TqvxVariables::TqvxVariables() : TqvxCollection(TqvxVariable::StaticClass()) {}

TqvxVariable* TqvxVariables::Add() { return vcl::TCollection::Add<TqvxVariable>(); }

TqvxVariable* TqvxVariables::Insert(int index) { return dynamic_cast<TqvxVariable*>(vcl::TCollection::Insert(index)); }

TqvxVariable* TqvxVariables::Items(int index) const { return vcl::TCollection::Items<TqvxVariable>(index); }

int TqvxVariables::IndexOf(const String& name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameName(Items(i)->Name(), name)) return i;
  return -1;
}

rtl::Variant TqvxVariables::GetVariable(const String& name) const {
  const int i = IndexOf(name);
  return i >= 0 ? Items(i)->Value() : rtl::Variant::Null();
}

void TqvxVariables::SetVariable(const String& name, const rtl::Variant& value) {
  const int i = IndexOf(name);
  if (i >= 0) {
    Items(i)->SetValue(value);
    return;
  }
  TqvxVariable* v = Add();
  v->SetName(name);
  v->SetValue(value);
}

int TqvxVariables::FindHeading(const String& category) const {
  const String heading = L" " + category;
  for (int i = 0; i < Count(); ++i)
    if (SameName(Items(i)->Name(), heading)) return i;
  return -1;
}

void TqvxVariables::GetCategoriesList(rtl::TStrings* list, bool clearList) const {
  if (clearList) list->Clear();
  for (int i = 0; i < Count(); ++i) {
    const String& name = Items(i)->Name();
    if (IsHeading(name)) list->Add(name.substr(1, 255));
  }
}

void TqvxVariables::GetVariablesList(const String& category, rtl::TStrings* list) const {
  list->Clear();
  int start = 0;
  if (!category.empty()) {
    const int heading = FindHeading(category);
    if (heading < 0) return;
    start = heading + 1;
  }
  for (int i = start; i < Count(); ++i) {
    const String& name = Items(i)->Name();
    if (name.empty() || IsHeading(name)) break;
    list->Add(name);
  }
}

void TqvxVariables::DeleteCategory(const String& name) {
  const int heading = FindHeading(name);
  if (heading < 0) return;
  BeginUpdate();
  delete Items(heading);
  while (heading < Count()) {
    const String& n = Items(heading)->Name();
    if (n.empty() || IsHeading(n)) break;
    delete Items(heading);
  }
  EndUpdate();
}

void TqvxVariables::DeleteVariable(const String& name) {
  const int i = IndexOf(name);
  if (i >= 0) delete Items(i);
}

void TqvxVariables::AddVariable(const String& category, const String& name, const rtl::Variant& value) {
  const int heading = FindHeading(category);
  if (heading < 0) return;
  int at = heading + 1;
  while (at < Count()) {
    const String& n = Items(at)->Name();
    if (n.empty() || IsHeading(n)) break;
    ++at;
  }
  const int existing = IndexOf(name);
  if (existing >= 0) {
    Items(existing)->SetValue(value);
    return;
  }
  TqvxVariable* v = at >= Count() ? Add() : Insert(at);
  v->SetName(name);
  v->SetValue(value);
}

void TqvxVariables::LoadFromFile(const String& fileName) {
  rtl::TFileStream stream(fileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
  LoadFromStream(stream);
}

void TqvxVariables::LoadFromStream(rtl::TStream& stream) {
  Clear();
  TqvxXMLDocument doc;
  doc.LoadFromStream(&stream, false);
  if (rtl::CompareText(doc.Root()->Name(), L"variables") == 0) LoadFromXMLItem(doc.Root(), doc.OldVersion());
}

void TqvxVariables::LoadFromXMLItem(TqvxXMLItem* item, bool oldXMLFormat) {
  Clear();
  TqvxXMLSerializer serializer(nullptr);
  serializer.OldFormat = oldXMLFormat;
  for (int i = 0; i < item->Count(); ++i) {
    TqvxXMLItem* child = item->Items(i);
    if (rtl::CompareText(child->Name(), L"item") != 0) continue;
    serializer.XMLToObj(child->Text(), Add());
  }
}

void TqvxVariables::SaveToFile(const String& fileName) {
  rtl::TFileStream stream(fileName, rtl::fmCreate);
  SaveToStream(stream);
}

void TqvxVariables::SaveToStream(rtl::TStream& stream) {
  TqvxXMLDocument doc;
  doc.SetAutoIndent(true);
  doc.Root()->SetName(L"variables");
  SaveToXMLItem(doc.Root());
  doc.SaveToStream(stream);
}

void TqvxVariables::SaveToXMLItem(TqvxXMLItem* item) {
  TqvxXMLSerializer serializer(nullptr);
  for (int i = 0; i < Count(); ++i) {
    TqvxXMLItem* child = item->Add(L"item");
    child->SetText(serializer.ObjToXML(Items(i)));
  }
}

// ---------------------------------------------------------------------------------------------------------------
// TqvxArray

TqvxArray::TqvxArray() : vcl::TCollection(TqvxVariable::StaticClass()) {}

TqvxVariable* TqvxArray::Items(int index) const { return vcl::TCollection::Items<TqvxVariable>(index); }

int TqvxArray::IndexOf(const rtl::Variant& key) const {
  const String name = rtl::VarToStr(key);
  for (int i = 0; i < Count(); ++i)
    if (SameName(Items(i)->Name(), name)) return i;
  return -1;
}

rtl::Variant TqvxArray::GetVariable(const rtl::Variant& key) const {
  const int i = IndexOf(key);
  return i >= 0 ? Items(i)->Value() : rtl::Variant::Null();
}

void TqvxArray::SetVariable(const rtl::Variant& key, const rtl::Variant& value) {
  const int i = IndexOf(key);
  if (i >= 0) {
    Items(i)->SetValue(value);
    return;
  }
  auto* v = vcl::TCollection::Add<TqvxVariable>();
  v->SetName(rtl::VarToStr(key));
  v->SetValue(value);
}

TqvxVariables& qvxGlobalVariables() {
  static TqvxVariables* list = new TqvxVariables;
  return *list;
}
