#include "report/model/qvxStyles.h"

#include <memory>

#include "platform/rtl/strings.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxXMLSerializer.h"

using rtl::String;
using vcl::TColor;

VCL_REGISTER(TqvxStyleItem) {
  cls.Prop(L"Name", &TqvxStyleItem::Name, &TqvxStyleItem::SetName);
  cls.Prop(L"Color", &TqvxStyleItem::Color, &TqvxStyleItem::SetColor).Stored(false).TypeName(L"TColor");
  cls.Prop(L"Font", &TqvxStyleItem::Font, &TqvxStyleItem::SetFont);
  cls.Prop(L"Frame", &TqvxStyleItem::Frame, &TqvxStyleItem::SetFrame);
  cls.Prop(L"ApplyFont", &TqvxStyleItem::ApplyFont).Default(true);
  cls.Prop(L"ApplyFill", &TqvxStyleItem::ApplyFill).Default(true);
  cls.Prop(L"ApplyFrame", &TqvxStyleItem::ApplyFrame).Default(true);
  cls.Prop(L"FillType", &TqvxStyleItem::FillType, &TqvxStyleItem::SetFillType).Default(ftBrush);
  cls.Prop(L"Fill", &TqvxStyleItem::Fill, &TqvxStyleItem::SetFill);
}

VCL_REGISTER(TqvxStyles) {}

// ---------------------------------------------------------------------------------------------------------------
// TqvxStyleItem

TqvxStyleItem::TqvxStyleItem(vcl::TCollection* collection)
    : TqvxCollectionItem(collection), FFont(new vcl::TFont()), FFrame(new TqvxFrame()), FFill(new TqvxBrushFill()) {
  FFont->SetPixelsPerInch(96);
  FFont->SetName(L"Arial");
  FFont->SetSize(10);
  FFont->SetCharset(1);
}

TqvxStyleItem::~TqvxStyleItem() {
  delete FFont;
  delete FFrame;
  delete FFill;
}

void TqvxStyleItem::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TqvxStyleItem*>(source);
  if (!s) return;
  FName = s->FName;
  SetFill(s->FFill);
  FFont->Assign(s->FFont);
  FFrame->Assign(s->FFrame);
  ApplyFont = s->ApplyFont;
  ApplyFill = s->ApplyFill;
  ApplyFrame = s->ApplyFrame;
  IsInherited = s->IsInherited;
}

String TqvxStyleItem::GetInheritedName() const { return FName.empty() ? InheritedName : FName; }

void TqvxStyleItem::SetName(const String& value) {
  if (auto* sheet = dynamic_cast<TqvxStyles*>(Collection()))
    for (int i = 0; i < sheet->Count(); ++i) {
      TqvxStyleItem* other = sheet->Items(i);
      if (other != this && rtl::AnsiSameText(other->FName, value))
        throw rtl::Exception(qvxResources().Get(L"clDupName"));
    }
  FName = value;
}

void TqvxStyleItem::CreateUniqueName() {
  auto* sheet = dynamic_cast<TqvxStyles*>(Collection());
  for (int n = 1;; ++n) {
    const String candidate = L"Style" + rtl::IntToStr(n);
    if (!sheet || !sheet->Find(candidate)) {
      FName = candidate;
      return;
    }
  }
}

TColor TqvxStyleItem::Color() const {
  if (auto* b = dynamic_cast<TqvxBrushFill*>(FFill)) return b->BackColor;
  if (auto* g = dynamic_cast<TqvxGradientFill*>(FFill)) return g->GetColor();
  return clTransparent;
}

void TqvxStyleItem::SetColor(TColor value) {
  if (auto* b = dynamic_cast<TqvxBrushFill*>(FFill)) b->BackColor = value;
}

void TqvxStyleItem::SetFillType(TqvxFillType value) {
  if (value == FillType()) return;
  TqvxCustomFill* fill = qvxCreateFill(value);
  delete FFill;
  FFill = fill;
}

void TqvxStyleItem::SetFill(TqvxCustomFill* value) {
  if (!value || value == FFill) return;
  SetFillType(qvxGetFillType(value));
  FFill->Assign(value);
}

// ---------------------------------------------------------------------------------------------------------------
// TqvxStyles

TqvxStyles::TqvxStyles(TqvxReport* report) : TqvxCollection(TqvxStyleItem::StaticClass()), FReport(report) {}

TqvxStyleItem* TqvxStyles::Add() { return vcl::TCollection::Add<TqvxStyleItem>(); }

TqvxStyleItem* TqvxStyles::Items(int index) const { return vcl::TCollection::Items<TqvxStyleItem>(index); }

TqvxStyleItem* TqvxStyles::Find(const String& name) const {
  for (int i = 0; i < Count(); ++i)
    if (rtl::AnsiSameText(Items(i)->Name(), name)) return Items(i);
  return nullptr;
}

void TqvxStyles::GetList(rtl::TStrings* list) const {
  list->Clear();
  for (int i = 0; i < Count(); ++i) list->Add(Items(i)->Name());
}

void TqvxStyles::Apply() {
  if (!FReport) return;
  const std::vector<TqvxComponent*> all = FReport->GetAllObjects();
  for (TqvxComponent* c : all)
    if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(c)) {
      if (Find(memo->Style()))
        memo->SetStyle(memo->Style());
      else
        memo->SetStyle(String());
    }
}

void TqvxStyles::SaveToXMLItem(TqvxXMLItem* item) {
  TqvxXMLSerializer serializer(nullptr);
  item->SetName(L"style");
  item->SetProp(L"Name", FName);
  for (int i = 0; i < Count(); ++i) item->Add(L"item")->SetText(serializer.ObjToXML(Items(i)));
}

void TqvxStyles::LoadFromXMLItem(TqvxXMLItem* item, bool oldXMLFormat) {
  Clear();
  TqvxXMLSerializer serializer(nullptr);
  serializer.OldFormat = oldXMLFormat;
  FName = item->Prop(L"Name");
  for (rtl::Integer k = 0; k < item->Count(); ++k) {
    TqvxXMLItem* child = item->Items(k);
    if (!rtl::SameText(child->Name(), L"item")) continue;
    serializer.XMLToObj(child->Text(), Add());
  }
  Apply();
}

void TqvxStyles::SaveToStream(rtl::TStream& stream) {
  TqvxXMLDocument doc;
  doc.SetAutoIndent(true);
  SaveToXMLItem(doc.Root());
  doc.SaveToStream(stream);
}

void TqvxStyles::LoadFromStream(rtl::TStream& stream) {
  Clear();
  TqvxXMLDocument doc;
  doc.LoadFromStream(stream);
  if (rtl::SameText(doc.Root()->Name(), L"style")) LoadFromXMLItem(doc.Root(), doc.OldVersion());
}

void TqvxStyles::SaveToFile(const String& fileName) {
  rtl::TFileStream stream(fileName, rtl::fmCreate);
  SaveToStream(stream);
}

void TqvxStyles::LoadFromFile(const String& fileName) {
  rtl::TFileStream stream(fileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
  LoadFromStream(stream);
}
