#pragma once
// Skins compiled into the program: a collection of packed skins the manager can load by name.
#include <memory>

#include "platform/rtl/streams.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/collection.h"
#include "platform/vcl/colors.h"

class TsSkinManager;

class TsStoredSkin : public vcl::TCollectionItem {
  VCL_CLASS(TsStoredSkin, vcl::TCollectionItem)
  explicit TsStoredSkin(vcl::TCollection* collection);
  ~TsStoredSkin() override;
  void Assign(const rtl::TPersistent* source) override;
  // The packed skin itself, streamed as the item's "Data".
  void DefineProperties(vcl::TFiler* filer) override;

  const rtl::String& Name() const { return FName; }
  void SetName(const rtl::String& v);
  vcl::TBitmap* MasterBitmap() const { return FMasterBitmap.get(); }
  void SetMasterBitmap(vcl::TBitmap* v);
  vcl::TColor Shadow1Color() const { return FShadow1Color; }
  void SetShadow1Color(vcl::TColor v) { FShadow1Color = v; }
  int Shadow1Offset() const { return FShadow1Offset; }
  void SetShadow1Offset(int v) { FShadow1Offset = v; }
  int Shadow1Blur() const { return FShadow1Blur; }
  void SetShadow1Blur(int v) { FShadow1Blur = v; }
  int Shadow1Transparency() const { return FShadow1Transparency; }
  void SetShadow1Transparency(int v) { FShadow1Transparency = v; }
  vcl::TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(vcl::TColor v) { FBorderColor = v; }
  double Version() const { return FVersion; }
  void SetVersion(double v) { FVersion = v; }
  const rtl::String& Author() const { return FAuthor; }
  void SetAuthor(const rtl::String& v) { FAuthor = v; }
  const rtl::String& Description() const { return FDescription; }
  void SetDescription(const rtl::String& v) { FDescription = v; }

  rtl::TMemoryStream& PackedData() { return *FPackedData; }
  rtl::String DisplayName() const override;

 private:
  rtl::String FName;
  std::unique_ptr<vcl::TBitmap> FMasterBitmap;
  vcl::TColor FShadow1Color = 0;
  int FShadow1Offset = 0;
  int FShadow1Blur = -1;
  int FShadow1Transparency = 0;
  vcl::TColor FBorderColor = 0xFF00FF;
  double FVersion = 0;
  rtl::String FAuthor;
  rtl::String FDescription;
  std::unique_ptr<rtl::TMemoryStream> FPackedData;
};

class TsStoredSkins : public vcl::TCollection {
  VCL_CLASS(TsStoredSkins, vcl::TCollection)
  explicit TsStoredSkins(TsSkinManager* owner);
  // Assigning a whole collection to the manager's InternalSkins has no effect: items are added and streamed through
  // the collection itself.
  void Assign(const rtl::TPersistent* source) override;
  // The first item whose Name is skinName exactly; -1 for none.
  int IndexOf(const rtl::String& skinName) const;
  TsStoredSkin* Items(int index) const { return TCollection::Items<TsStoredSkin>(index); }

 protected:
  void Update(vcl::TCollectionItem* item) override;

 private:
  TsSkinManager* FManager;
};
