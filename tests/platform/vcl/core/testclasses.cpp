#include "testclasses.h"

namespace coretest {

void TTestButton::Loaded() {
  TComponent::Loaded();
  if (auto* form = dynamic_cast<TTestComponent*>(Owner())) form->loadedOrder.push_back(Name());
}

TTestColumns::TTestColumns(TTestGrid* g) : TCollection(TTestColumn::StaticClass(), g), grid(g) {}

void TTestColumns::Added(TCollectionItem* item) { grid->addedSeen.push_back(item->ClassName()); }

void TTestColumns::Update(TCollectionItem*) { ++grid->updates; }

void TTestGrid::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  filer->DefineBinaryProperty(
      L"Data",
      [this](rtl::TStream& s) {
        data.resize(static_cast<size_t>(s.Size()));
        s.SetPosition(0);
        if (!data.empty()) s.ReadBuffer(data.data(), static_cast<rtl::Integer>(data.size()));
      },
      [this](rtl::TStream& s) { s.WriteBuffer(data.data(), static_cast<rtl::Integer>(data.size())); }, !data.empty());
  filer->DefineProperty(
      L"Variables",
      [this](TReader& r) {
        variables.clear();
        r.ReadListBegin();
        while (!r.EndOfList()) {
          String name = r.ReadString();
          variables.emplace_back(name, r.ReadString());
        }
        r.ReadListEnd();
      },
      [this](TWriter& w) {
        w.WriteListBegin();
        for (auto& [n, v] : variables) {
          w.WriteString(n);
          w.WriteString(v);
        }
        w.WriteListEnd();
      },
      !variables.empty());
  filer->DefineProperty(
      L"pLeft", [this](TReader& r) { pLeft = r.ReadFloat(); }, [this](TWriter& w) { w.WriteFloat(pLeft); },
      pLeft != 0);
}

VCL_REGISTER(TTestComponent) {}

VCL_REGISTER(TTestFont) {
  cls.Prop(L"Name", &TTestFont::Name, &TTestFont::SetName);
  cls.Prop(L"Size", &TTestFont::Size, &TTestFont::SetSize).Default(8);
  cls.Prop(L"Styles", &TTestFont::Styles, &TTestFont::SetStyles).Default(TTestStyles{});
}

VCL_REGISTER(TTestButton) {
  cls.Prop(L"Caption", &TTestButton::Caption, &TTestButton::SetCaption);
  cls.Prop(L"Enabled", &TTestButton::Enabled, &TTestButton::SetEnabled).Default(true);
  cls.Prop(L"Align", &TTestButton::Align, &TTestButton::SetAlign).Default(altNone);
  cls.Prop(L"Style", &TTestButton::Style, &TTestButton::SetStyle).Default(TTestStyles{});
  cls.Prop(L"Width", &TTestButton::Width, &TTestButton::SetWidth).Default(75);
  cls.Prop(L"Ratio", &TTestButton::ratio).Stored(&TTestButton::IsRatioStored);
  cls.Prop(L"Big", &TTestButton::big).Default(0);
  cls.Prop(L"Value", &TTestButton::value);
  cls.Prop(L"Font", &TTestButton::Font, &TTestButton::SetFont);
  cls.Prop(L"Link", &TTestButton::Link, &TTestButton::SetLink);
  cls.Prop(L"Letter", &TTestButton::letter).Default(L'A');
  cls.Prop(L"OnClick", &TTestButton::OnClick);
}

VCL_REGISTER(TTestForm) {
  cls.Field(L"Button1", &TTestForm::Button1);
  cls.Field(L"Button2", &TTestForm::Button2);
  cls.Method(L"Button1Click", &TTestForm::Button1Click);
  cls.Method(L"OtherClick", &TTestForm::OtherClick);
  cls.Method(L"KeyHandler", &TTestForm::KeyHandler);
}

VCL_REGISTER(TTestColumn) {
  cls.Prop(L"FieldName", &TTestColumn::FieldName, &TTestColumn::SetFieldName);
  cls.Prop(L"Width", &TTestColumn::Width, &TTestColumn::SetWidth).Default(64);
  cls.Prop(L"Title", &TTestColumn::Title);
}

VCL_REGISTER(TTestGrid) { cls.Prop(L"Columns", &TTestGrid::Columns, &TTestGrid::SetColumns); }

}  // namespace coretest
