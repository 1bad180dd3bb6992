#pragma once
// An image list for glyphs with a real alpha channel. Each image keeps its source file's bytes (PNG, icon or 32-bit
// bitmap) in the Items collection, stored in the form; the system image list is generated from them, and painters
// ask for a 32-bit bitmap of an image at any size, decoded from those bytes, resampled with the Mitchell filter and
// cached per item.
#include <memory>
#include <vector>

#include "platform/rtl/streams.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/collection.h"
#include "platform/vcl/imagelist.h"

VCL_ENUM(TsImageFormat, ifPNG, ifICO, ifBMP32)

class TsAlphaImageList;

class TsImgListItem : public vcl::TCollectionItem {
  VCL_CLASS(TsImgListItem, vcl::TCollectionItem)
  explicit TsImgListItem(vcl::TCollection* collection);
  ~TsImgListItem() override;
  void Assign(const rtl::TPersistent* source) override;
  void DefineProperties(vcl::TFiler* filer) override;

  TsImageFormat ImageFormat() const { return FImageFormat; }
  void SetImageFormat(TsImageFormat v) { FImageFormat = v; }
  const rtl::String& ImageName() const { return FImageName; }
  void SetImageName(const rtl::String& v) { FImageName = v; }
  vcl::TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(vcl::TPixelFormat v) { FPixelFormat = v; }
  const rtl::String& Text() const { return FText; }
  void SetText(const rtl::String& v) { FText = v; }

  int OrigWidth = 0;
  int OrigHeight = 0;
  std::unique_ptr<vcl::TBitmap> CacheBmp;
  rtl::TMemoryStream ImgData;

 private:
  TsImageFormat FImageFormat = ifPNG;
  rtl::String FImageName;
  vcl::TPixelFormat FPixelFormat = vcl::pf32bit;
  rtl::String FText;
};

class TsImgListItems : public vcl::TCollection {
  VCL_CLASS(TsImgListItems, vcl::TCollection)
  explicit TsImgListItems(TsAlphaImageList* owner = nullptr);
  TsImgListItem* Item(int index) const { return Items<TsImgListItem>(index); }
  TsAlphaImageList* FOwner;
};

class TsAlphaImageList : public vcl::TImageList {
  VCL_CLASS(TsAlphaImageList, vcl::TImageList)
  explicit TsAlphaImageList(vcl::TComponent* owner);
  ~TsAlphaImageList() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsImgListItems* Items() const { return FItems.get(); }
  void SetItems(TsImgListItems* value);
  bool UseCache() const { return FUseCache; }
  void SetUseCache(bool value);

  // Rebuilds the system list from the items.
  void GenerateStdList();
  // Adds an image from a file (PNG, icon or 32-bit bitmap by its first bytes); False when it cannot.
  bool TryLoadFromFile(const rtl::String& fileName);
  void LoadFromFile(const rtl::String& fileName);
  bool TryLoadFromPngStream(rtl::TStream& stream);
  void LoadFromPngStream(rtl::TStream& stream);
  // Image index as a 32-bit bitmap at image's size; False without the image.
  bool GetBitmap32(int index, vcl::TBitmap* image);
  // A new 32-bit bitmap of image index at the size asked (nullptr without it); the caller owns it.
  std::unique_ptr<vcl::TBitmap> CreateBitmap32(int index, int width, int height);
  void LvBeginUpdate() { LvChanging = true; }
  void LvEndUpdate(bool doChange);

  bool LvChanging = false;
  bool StdListIsGenerated = false;
  bool DoubleData = true;

 protected:
  void DoDraw(int index, vcl::TCanvas* canvas, int x, int y, unsigned style, bool enabled) override;
  void Change() override;

 private:
  bool Retained() const;
  std::unique_ptr<vcl::TBitmap> Decode(TsImgListItem* item);
  std::unique_ptr<TsImgListItems> FItems;
  bool FUseCache = true;
};

// The format of a file by its first bytes (an icon only with the extension "ico").
bool GetImageFormat(const rtl::String& fileName, TsImageFormat& format);
// More than min(size, 8) bytes, the first of them equal to magic.
bool HaveMagic(const rtl::String& fileName, const void* magic, int size);
// A 32-bit image whose alpha is all 0 gets 255 everywhere but its bottom-left pixel's colour.
void CorrectPixelFrmt(vcl::TBitmap* bmp);
// One frame of image imageIndex (numGlyphs frames side by side) into the 32-bit destBmp at (left, top); answers the
// frame's size.
vcl::TSize DrawAlphaImgList(vcl::TCustomImageList* imgList, vcl::TBitmap* destBmp, int left, int top, int imageIndex,
                            int blend, vcl::TColor grayedColor, int state, int numGlyphs, bool reflected);
void DrawAlphaImgListDC(vcl::TCustomImageList* imgList, HDC dc, int left, int top, int imageIndex, int blend,
                        vcl::TColor grayedColor, int state, int numGlyphs, bool reflected);
