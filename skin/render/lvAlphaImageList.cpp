#include "skin/render/lvAlphaImageList.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/win.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/icon.h"
#include "skin/core/sDefaults.h"
#include "skin/render/lvPNG.h"
#include "skin/render/sBlur.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"

VCL_REGISTER(TsImgListItem) {
  cls.Prop(L"ImageFormat", &TsImgListItem::ImageFormat, &TsImgListItem::SetImageFormat);
  cls.Prop(L"ImageName", &TsImgListItem::ImageName, &TsImgListItem::SetImageName);
  cls.Prop(L"Text", &TsImgListItem::Text, &TsImgListItem::SetText);
}
VCL_REGISTER(TsImgListItems) {}
VCL_REGISTER(TsAlphaImageList) {
  cls.Prop(L"Items", &TsAlphaImageList::Items, &TsAlphaImageList::SetItems);
  cls.Prop(L"UseCache", &TsAlphaImageList::UseCache, &TsAlphaImageList::SetUseCache).Default(true);
}

namespace {

const rtl::Byte kPngMagic[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
const rtl::Byte kIcoMagic[2] = {0x00, 0x00};
const rtl::Byte kBmpMagic[2] = {0x42, 0x4D};

rtl::String LowerExtension(const rtl::String& fileName) {
  size_t dot = fileName.find_last_of(L'.');
  rtl::String ext = dot == rtl::String::npos ? rtl::String() : fileName.substr(dot + 1);
  for (wchar_t& c : ext)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
  return ext;
}

std::unique_ptr<vcl::TBitmap> FromIcon(HICON icon, int width, int height) {
  auto bmp = CreateBmp32(width, height);
  FillRect32(bmp.get(), vcl::Rect(0, 0, width, height), 0, 0);
  DrawIconEx(bmp->Canvas()->Handle(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  return bmp;
}

}  // namespace

bool HaveMagic(const rtl::String& fileName, const void* magic, int size) {
  HANDLE file = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const int n = std::min(size, 8);
  rtl::Byte head[9] = {};
  DWORD got = 0;
  bool ok = ReadFile(file, head, static_cast<DWORD>(n + 1), &got, nullptr) && got > static_cast<DWORD>(n) &&
            std::memcmp(head, magic, static_cast<size_t>(n)) == 0;
  CloseHandle(file);
  return ok;
}

bool GetImageFormat(const rtl::String& fileName, TsImageFormat& format) {
  if (HaveMagic(fileName, kPngMagic, 8)) {
    format = ifPNG;
    return true;
  }
  if (HaveMagic(fileName, kIcoMagic, 2)) {
    if (LowerExtension(fileName) != L"ico") return false;
    format = ifICO;
    return true;
  }
  if (HaveMagic(fileName, kBmpMagic, 2)) {
    format = ifBMP32;
    return true;
  }
  return false;
}

void CorrectPixelFrmt(vcl::TBitmap* bmp) {
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  if (!bmp || bmp->PixelFormat() != vcl::pf32bit || !InitLine(bmp, line0, delta)) return;
  for (int y = 0; y < bmp->Height(); ++y)
    for (int x = 0; x < bmp->Width(); ++x)
      if (PixelAt(line0, delta, x, y)->A != 0) return;
  const std::uint32_t key = PixelAt(line0, delta, 0, bmp->Height() - 1)->C;
  for (int y = 0; y < bmp->Height(); ++y)
    for (int x = 0; x < bmp->Width(); ++x) {
      TsColor_* p = PixelAt(line0, delta, x, y);
      if (p->C != key) p->A = 255;
    }
}

// ---- items ----

TsImgListItem::TsImgListItem(vcl::TCollection* collection) : vcl::TCollectionItem(collection) {}
TsImgListItem::~TsImgListItem() = default;

void TsImgListItem::Assign(const rtl::TPersistent* source) {
  auto* src = dynamic_cast<const TsImgListItem*>(source);
  if (!src) {
    vcl::TCollectionItem::Assign(source);
    return;
  }
  FImageFormat = src->FImageFormat;
  FImageName = src->FImageName;
  FPixelFormat = src->FPixelFormat;
  FText = src->FText;
  OrigWidth = src->OrigWidth;
  OrigHeight = src->OrigHeight;
  ImgData.Clear();
  auto& data = const_cast<rtl::TMemoryStream&>(src->ImgData);
  if (data.Size() > 0) ImgData.WriteBuffer(data.Memory(), static_cast<rtl::Integer>(data.Size()));
}

void TsImgListItem::DefineProperties(vcl::TFiler* filer) {
  vcl::TCollectionItem::DefineProperties(filer);
  filer->DefineBinaryProperty(
      L"ImgData",
      [this](rtl::TStream& s) {
        ImgData.Clear();
        ImgData.LoadFromStream(s);
      },
      [this](rtl::TStream& s) { ImgData.SaveToStream(s); }, ImgData.Size() > 0);
}

TsImgListItems::TsImgListItems(TsAlphaImageList* owner)
    : vcl::TCollection(TsImgListItem::StaticClass(), owner), FOwner(owner) {}

// ---- the list ----

TsAlphaImageList::TsAlphaImageList(vcl::TComponent* owner)
    : vcl::TImageList(owner), FItems(std::make_unique<TsImgListItems>(this)) {
  SetColorDepth(vcl::cd32Bit);
}

TsAlphaImageList::~TsAlphaImageList() = default;

void TsAlphaImageList::AfterConstruction() {
  vcl::TImageList::AfterConstruction();
  if (!ComponentState().Contains(vcl::csLoading)) GenerateStdList();
}

void TsAlphaImageList::Loaded() {
  vcl::TImageList::Loaded();
  GenerateStdList();
  StdListIsGenerated = true;
  Change();
}

void TsAlphaImageList::SetItems(TsImgListItems* value) {
  if (value) FItems->Assign(value);
}

void TsAlphaImageList::SetUseCache(bool value) {
  FUseCache = value;
  for (int i = 0; i < FItems->Count(); ++i) FItems->Item(i)->CacheBmp.reset();
}

bool TsAlphaImageList::Retained() const { return DoubleData || ComponentState().Contains(vcl::csDesigning); }

std::unique_ptr<vcl::TBitmap> TsAlphaImageList::Decode(TsImgListItem* item) {
  if (item->ImgData.Size() == 0) return nullptr;
  auto bmp = std::make_unique<vcl::TBitmap>();
  const auto* data = static_cast<const rtl::Byte*>(item->ImgData.Memory());
  const size_t size = static_cast<size_t>(item->ImgData.Size());
  if (item->ImageFormat() == ifPNG) {
    TPNGGraphic png;
    png.LoadFromMemory(data, size);
    bmp->Assign(&png);
  } else if (item->ImageFormat() == ifBMP32) {
    bmp->LoadFromMemory(data, size);
  } else {
    vcl::TIcon icon;
    icon.LoadFromMemory(data, size);
    bmp = FromIcon(icon.Handle(), icon.Width(), icon.Height());
  }
  if (bmp->PixelFormat() != vcl::pf32bit) {
    bmp->SetPixelFormat(vcl::pf32bit);
    CorrectPixelFrmt(bmp.get());
  }
  item->OrigWidth = bmp->Width();
  item->OrigHeight = bmp->Height();
  return bmp;
}

void TsAlphaImageList::GenerateStdList() {
  HIMAGELIST list = Handle();
  if (!list) return;
  LvChanging = true;
  ImageList_RemoveAll(list);
  for (int i = 0; i < FItems->Count(); ++i) {
    std::unique_ptr<vcl::TBitmap> bmp;
    try {
      bmp = Decode(FItems->Item(i));
    } catch (const rtl::Exception&) {
      bmp.reset();  // a damaged item keeps its place with an empty image
    }
    if (!bmp) bmp = CreateBmp32(Width(), Height());
    auto sized = CreateBmp32(Width(), Height());
    if (bmp->Width() == Width() && bmp->Height() == Height())
      CopyBmp(sized.get(), bmp.get());
    else
      Stretch(bmp.get(), sized.get(), Width(), Height(), ftMitchell);
    HICON icon = MakeCompIcon(sized.get(), vcl::ColorToRGB(BkColor()));
    ImageList_ReplaceIcon(list, -1, icon);
    DestroyIcon(icon);
  }
  if (FItems->Count() > 0) {
    StdListIsGenerated = true;
    if (!Retained()) FItems->Clear();
  }
  LvChanging = false;
}

bool TsAlphaImageList::TryLoadFromFile(const rtl::String& fileName) {
  TsImageFormat format;
  if (!Handle() || !GetImageFormat(fileName, format)) return false;
  std::vector<rtl::Byte> bytes = vcl::ReadWholeFile(fileName);
  auto* item = static_cast<TsImgListItem*>(FItems->Add());
  item->ImgData.WriteBuffer(bytes.data(), static_cast<rtl::Integer>(bytes.size()));
  item->SetImageFormat(format);
  item->SetImageName(fileName.size() > 4 ? fileName.substr(0, fileName.size() - 4) : fileName);
  std::unique_ptr<vcl::TBitmap> bmp;
  try {
    bmp = Decode(item);
  } catch (const rtl::Exception&) {
    return false;  // the item stays with its data, as the list had it
  }
  if (!bmp) return false;
  auto sized = CreateBmp32(Width(), Height());
  Stretch(bmp.get(), sized.get(), Width(), Height(), ftMitchell);
  if (bmp->Width() == Width() && bmp->Height() == Height()) CopyBmp(sized.get(), bmp.get());
  HICON icon = MakeIcon32(sized.get());
  ImageList_ReplaceIcon(Handle(), -1, icon);
  DestroyIcon(icon);
  Change();
  return true;
}

void TsAlphaImageList::LoadFromFile(const rtl::String& fileName) {
  if (!TryLoadFromFile(fileName))
    vcl::MessageDlg(L"Cannot load " + fileName + L"\r\nInvalid or unexpected image format.", vcl::mtError,
                    vcl::TMsgDlgButtons{vcl::mbOK}, 0);
}

bool TsAlphaImageList::TryLoadFromPngStream(rtl::TStream& stream) {
  if (!Handle()) return false;
  auto* item = static_cast<TsImgListItem*>(FItems->Add());
  item->ImgData.LoadFromStream(stream);
  item->SetImageFormat(ifPNG);
  std::unique_ptr<vcl::TBitmap> bmp;
  try {
    bmp = Decode(item);
  } catch (const rtl::Exception&) {
    return false;
  }
  if (!bmp) return false;
  auto sized = CreateBmp32(Width(), Height());
  if (bmp->Width() == Width() && bmp->Height() == Height())
    CopyBmp(sized.get(), bmp.get());
  else
    Stretch(bmp.get(), sized.get(), Width(), Height(), ftMitchell);
  HICON icon = MakeIcon32(sized.get());
  ImageList_ReplaceIcon(Handle(), -1, icon);
  DestroyIcon(icon);
  Change();
  return true;
}

void TsAlphaImageList::LoadFromPngStream(rtl::TStream& stream) {
  if (!TryLoadFromPngStream(stream))
    vcl::MessageDlg(L"Cannot load from stream\r\nInvalid or unexpected image format.", vcl::mtError,
                    vcl::TMsgDlgButtons{vcl::mbOK}, 0);
}

std::unique_ptr<vcl::TBitmap> TsAlphaImageList::CreateBitmap32(int index, int width, int height) {
  if (!Handle() || index < 0 || index >= Count()) return nullptr;
  if (Retained() && index < FItems->Count() && FItems->Item(index)->ImgData.Size() > 0 &&
      FItems->Item(index)->ImageFormat() != ifICO) {
    TsImgListItem* item = FItems->Item(index);
    if (item->CacheBmp && item->CacheBmp->Width() == width && item->CacheBmp->Height() == height) {
      auto copy = CreateBmp32(width, height);
      CopyBmp(copy.get(), item->CacheBmp.get());
      return copy;
    }
    item->CacheBmp.reset();
    std::unique_ptr<vcl::TBitmap> bmp;
    try {
      bmp = Decode(item);
    } catch (const rtl::Exception&) {
      return nullptr;
    }
    if (!bmp) return nullptr;
    std::unique_ptr<vcl::TBitmap> result;
    if (bmp->Width() == width && bmp->Height() == height) {
      result = std::move(bmp);
    } else {
      result = CreateBmp32(width, height);
      Stretch(bmp.get(), result.get(), width, height, ftMitchell);
    }
    if (FUseCache) {
      item->CacheBmp = CreateBmp32(width, height);
      CopyBmp(item->CacheBmp.get(), result.get());
    }
    return result;
  }
  HICON icon = ImageList_GetIcon(Handle(), index, 0);
  if (!icon) return nullptr;
  auto bmp = FromIcon(icon, width, height);
  DestroyIcon(icon);
  return bmp;
}

bool TsAlphaImageList::GetBitmap32(int index, vcl::TBitmap* image) {
  if (!Handle() || !image || index < 0 || index >= Count()) return false;
  auto bmp =
      CreateBitmap32(index, image->Width() ? image->Width() : Width(), image->Height() ? image->Height() : Height());
  if (!bmp) return false;
  CopyBmp(image, bmp.get());
  image->SetPixelFormat(vcl::pf32bit);
  return true;
}

void TsAlphaImageList::DoDraw(int index, vcl::TCanvas* canvas, int x, int y, unsigned style, bool enabled) {
  if (!Handle() || index < 0 || !canvas) return;
  if (index >= FItems->Count() || FItems->Item(index)->ImageFormat() == ifICO) {
    vcl::TImageList::DoDraw(index, canvas, x, y, style, enabled);
    return;
  }
  auto bmp = CreateBitmap32(index, Width(), Height());
  if (!bmp) return;
  auto scratch = CreateBmp32(Width(), Height());
  BitBlt(scratch->Canvas()->Handle(), 0, 0, Width(), Height(), canvas->Handle(), x, y, SRCCOPY);
  CopyBmp32(vcl::Rect(0, 0, Width(), Height()), vcl::Rect(0, 0, Width(), Height()), scratch.get(), bmp.get(), EmptyCI,
            false, vcl::clNone, 0, false);
  BitBlt(canvas->Handle(), x, y, Width(), Height(), scratch->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsAlphaImageList::Change() {
  if (LvChanging || !HandleAllocated() || ComponentState().Contains(vcl::csLoading)) return;
  vcl::TImageList::Change();
}

void TsAlphaImageList::LvEndUpdate(bool doChange) {
  LvChanging = false;
  if (doChange) Change();
}

vcl::TSize DrawAlphaImgList(vcl::TCustomImageList* imgList, vcl::TBitmap* destBmp, int left, int top, int imageIndex,
                            int blend, vcl::TColor grayedColor, int state, int numGlyphs, bool reflected) {
  if (!imgList || !destBmp || destBmp->Width() == 0 || imageIndex < 0 || !imgList->Handle()) return vcl::TSize(0, 0);
  const int n = std::max(1, numGlyphs);
  const int w = imgList->Width() / n, h = imgList->Height();
  const int f = state < n ? state : n - 1;
  const vcl::TRect dst(left, top, left + w, top + h), src(w * f, 0, w * (f + 1), h);
  if (auto* alpha = dynamic_cast<TsAlphaImageList*>(imgList)) {
    auto bmp = alpha->CreateBitmap32(imageIndex, imgList->Width(), imgList->Height());
    if (bmp) CopyBmp32(dst, src, destBmp, bmp.get(), EmptyCI, false, grayedColor, blend, reflected);
  } else {
    auto scratch = CreateBmp32(imgList->Width(), imgList->Height());
    BitBlt(scratch->Canvas()->Handle(), 0, 0, w, h, destBmp->Canvas()->Handle(), left, top, SRCCOPY);
    imgList->Draw(scratch->Canvas(), -w * f, 0, imageIndex);
    BitBlt(destBmp->Canvas()->Handle(), left, top, w, h, scratch->Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  return vcl::TSize(w, h);
}

void DrawAlphaImgListDC(vcl::TCustomImageList* imgList, HDC dc, int left, int top, int imageIndex, int blend,
                        vcl::TColor grayedColor, int state, int numGlyphs, bool reflected) {
  if (!imgList) return;
  const int w = imgList->Width(), h = imgList->Height() + (reflected ? imgList->Height() / 2 : 0);
  auto scratch = CreateBmp32(w, h);
  BitBlt(scratch->Canvas()->Handle(), 0, 0, w, h, dc, left, top, SRCCOPY);
  DrawAlphaImgList(imgList, scratch.get(), 0, 0, imageIndex, blend, grayedColor, state, numGlyphs, reflected);
  BitBlt(dc, left, top, w, h, scratch->Canvas()->Handle(), 0, 0, SRCCOPY);
}
