#include "skin/core/sStoredSkins.h"

#include "platform/vcl/filer.h"
#include "skin/core/sSkinManager.h"

TsStoredSkin::TsStoredSkin(vcl::TCollection* collection)
    : vcl::TCollectionItem(collection),
      FMasterBitmap(std::make_unique<vcl::TBitmap>()),
      FPackedData(std::make_unique<rtl::TMemoryStream>()) {}

TsStoredSkin::~TsStoredSkin() = default;

void TsStoredSkin::SetName(const rtl::String& v) {
  if (v == FName) return;
  FName = v;
  Changed(false);
}

void TsStoredSkin::SetMasterBitmap(vcl::TBitmap* v) {
  if (v != FMasterBitmap.get()) FMasterBitmap->Assign(v);
}

rtl::String TsStoredSkin::DisplayName() const { return FName.empty() ? inherited::DisplayName() : FName; }

void TsStoredSkin::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TsStoredSkin*>(source);
  if (!s) return inherited::Assign(source);
  FPackedData->Clear();
  s->FPackedData->SetPosition(0);
  FPackedData->CopyFrom(*s->FPackedData, s->FPackedData->Size());
  FMasterBitmap->Assign(s->FMasterBitmap.get());
  FName = s->FName;
  FAuthor = s->FAuthor;
  FVersion = s->FVersion;
  FBorderColor = s->FBorderColor;
  FDescription = s->FDescription;
  FShadow1Color = s->FShadow1Color;
  FShadow1Offset = s->FShadow1Offset;
  FShadow1Blur = s->FShadow1Blur;
  FShadow1Transparency = s->FShadow1Transparency;
  Changed(false);
}

void TsStoredSkin::DefineProperties(vcl::TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineBinaryProperty(
      L"Data",
      [this](rtl::TStream& s) {
        FPackedData->Clear();
        FPackedData->LoadFromStream(s);
      },
      [this](rtl::TStream& s) { FPackedData->SaveToStream(s); }, FPackedData->Size() > 0);
}

VCL_REGISTER(TsStoredSkin) {
  cls.Prop(L"Name", &TsStoredSkin::Name, &TsStoredSkin::SetName);
  cls.Prop(L"MasterBitmap", &TsStoredSkin::MasterBitmap, &TsStoredSkin::SetMasterBitmap);
  cls.Prop(L"Shadow1Color", &TsStoredSkin::Shadow1Color, &TsStoredSkin::SetShadow1Color).TypeName(L"TColor");
  cls.Prop(L"Shadow1Offset", &TsStoredSkin::Shadow1Offset, &TsStoredSkin::SetShadow1Offset);
  cls.Prop(L"Shadow1Blur", &TsStoredSkin::Shadow1Blur, &TsStoredSkin::SetShadow1Blur).Default(-1);
  cls.Prop(L"Shadow1Transparency", &TsStoredSkin::Shadow1Transparency, &TsStoredSkin::SetShadow1Transparency);
  cls.Prop(L"BorderColor", &TsStoredSkin::BorderColor, &TsStoredSkin::SetBorderColor)
      .TypeName(L"TColor")
      .Default(0xFF00FF);
  cls.Prop(L"Version", &TsStoredSkin::Version, &TsStoredSkin::SetVersion).Default(0.0);
  cls.Prop(L"Author", &TsStoredSkin::Author, &TsStoredSkin::SetAuthor);
  cls.Prop(L"Description", &TsStoredSkin::Description, &TsStoredSkin::SetDescription);
}

TsStoredSkins::TsStoredSkins(TsSkinManager* owner)
    : vcl::TCollection(TsStoredSkin::StaticClass(), owner), FManager(owner) {}

void TsStoredSkins::Assign(const rtl::TPersistent*) {}

int TsStoredSkins::IndexOf(const rtl::String& skinName) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Name() == skinName) return i;
  return -1;
}

void TsStoredSkins::Update(vcl::TCollectionItem*) {
  if (FManager) FManager->SkinListChanged();
}

VCL_REGISTER(TsStoredSkins) {}
