#include "skin/controls/sImage.h"

#include <cmath>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/picture.h"
#include "skin/controls/sSkinCommands.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/lvAlphaImageList.h"
#include "skin/render/sBlur.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"

TsCustomImage::TsCustomImage(vcl::TComponent* owner)
    : vcl::TImage(owner),
      FCommonData(std::make_unique<TsCtrlSkinData>(this, true)),
      FImageChangeLink(std::make_unique<vcl::TChangeLink>()) {
  FCommonData->COC = COC_TsImage;
  FImageChangeLink->OnChange = [this](rtl::TObject* sender) { ImageListChange(sender); };
}

TsCustomImage::~TsCustomImage() {
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  FImageChangeLink.reset();
}

void TsCustomImage::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsCustomImage::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

void TsCustomImage::SetBlend(int value) {
  value = std::clamp(value, 0, 100);
  if (value == FBlend) return;
  FBlend = value;
  FCommonData->Invalidate();
}

void TsCustomImage::SetGrayed(bool value) {
  if (value == FGrayed) return;
  FGrayed = value;
  FCommonData->Invalidate();
}

void TsCustomImage::SetReflected(bool value) {
  if (value == FReflected) return;
  FReflected = value;
  FCommonData->Invalidate();
}

void TsCustomImage::SetUseFullSize(bool value) {
  if (value == FUseFullSize) return;
  FUseFullSize = value;
  FCommonData->Invalidate();
}

void TsCustomImage::SetImageIndex(int value) {
  if (value == FImageIndex) return;
  FImageIndex = value;
  FCommonData->Invalidate();
}

void TsCustomImage::SetImages(vcl::TCustomImageList* value) {
  if (value == FImages) return;
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  FImages = value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink.get());
    FImages->FreeNotification(this);
  }
  UpdateImage();
}

void TsCustomImage::ImageListChange(rtl::TObject*) { FCommonData->Invalidate(); }

void TsCustomImage::UpdateImage() {
  if (IsLoading() || ComponentState().Contains(vcl::csDestroying)) return;
  Repaint();
}

void TsCustomImage::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == vcl::opRemove && component == FImages) {
    FImages = nullptr;
    FCommonData->Invalidate();
  }
}

bool TsCustomImage::ListImage() { return FImages && FImageIndex >= 0 && FImageIndex < FImages->Count(); }

bool TsCustomImage::Empty() {
  if (ListImage()) return false;
  vcl::TGraphic* g = Picture()->Graphic();
  return !g || g->Empty();
}

bool TsCustomImage::CanAutoSize(int& newWidth, int& newHeight) {
  int w = 0, h = 0;
  if (ListImage()) {
    w = FImages->Width();
    h = FImages->Height();
  } else {
    w = Picture()->Width();
    h = Picture()->Height();
  }
  const vcl::TAlign a = Align();
  if (a == vcl::alNone || a == vcl::alLeft || a == vcl::alRight) newWidth = w;
  if (a == vcl::alNone || a == vcl::alTop || a == vcl::alBottom) {
    newHeight = h;
    if (FUseFullSize && FReflected) newHeight = h + h / 2;
  }
  return true;
}

vcl::TSize TsCustomImage::GetSrcSize(bool stretched) {
  int cx = 0, cy = 0;
  if (FImageIndex >= 0 && FImages) {
    cx = FImages->Width();
    cy = FImages->Height();
  } else {
    cx = Picture()->Width();
    cy = Picture()->Height();
  }
  if (cx == 0 || cy == 0 || !stretched) return vcl::TSize{cx, cy};
  // The lower third is left for the reflection.
  const int h = FReflected ? height_ * 2 / 3 : height_;
  if (!Proportional()) return vcl::TSize{width_, h};
  const double r = static_cast<double>(cx) / cy;
  if (cy < cx) {
    cx = width_;
    cy = static_cast<int>(std::trunc(width_ / r));
    if (h < cy) {
      cy = h;
      cx = static_cast<int>(std::trunc(r * h));
    }
  } else {
    cy = h;
    cx = static_cast<int>(std::trunc(r * h));
    if (width_ < cx) {
      cx = width_;
      cy = static_cast<int>(std::trunc(width_ / r));
    }
  }
  return vcl::TSize{cx, cy};
}

vcl::TPoint TsCustomImage::ImageOffset(const vcl::TSize& b) {
  if ((Stretch() && !Proportional()) || !Center()) return vcl::TPoint(0, 0);
  return vcl::TPoint((width_ - b.cx) / 2, (height_ - b.cy - (FUseFullSize ? b.cy / 2 : 0)) / 2);
}

void TsCustomImage::DrawImage() {
  vcl::TBitmap* cache = FCommonData->CacheBmp();
  if (!cache) return;
  const vcl::TSize s = GetSrcSize(false), d = GetSrcSize(Stretch());
  if (s.cx <= 0 || s.cy <= 0) return;
  std::unique_ptr<vcl::TBitmap> b = CreateBmp32(s);
  auto stretchTo = [&](std::unique_ptr<vcl::TBitmap>& bmp) {
    if (!Stretch() || d.cx <= 0 || d.cy <= 0) return;
    auto out = CreateBmp32(d);
    ::Stretch(bmp.get(), out.get(), d.cx, d.cy, ftMitchell);
    bmp = std::move(out);
  };
  vcl::TGraphic* g = Picture()->Graphic();
  if (FImageIndex >= 0 && FImages) {
    if (auto* alpha = dynamic_cast<TsAlphaImageList*>(FImages))
      alpha->GetBitmap32(FImageIndex, b.get());
    else
      FImages->GetBitmap(FImageIndex, b.get());
    stretchTo(b);
  } else if (auto* bmp = dynamic_cast<vcl::TBitmap*>(g)) {
    if (bmp->Empty()) return;
    b->Assign(bmp);
    if (b->PixelFormat() != vcl::pf32bit) {
      b->SetPixelFormat(vcl::pf32bit);
      FillAlphaRect(b.get(), vcl::TRect(0, 0, b->Width(), b->Height()), 255);
    }
    stretchTo(b);
  } else if (g && !g->Empty()) {
    // Drawn over what the cache holds, so that the graphic's own transparency shows the background.
    b->SetSize(std::max(1, d.cx), std::max(1, d.cy));
    BitBlt(b->Canvas()->Handle(), 0, 0, b->Width(), b->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    vcl::TRect r(0, 0, d.cx, d.cy);
    if (Stretch()) {
      r.Right = std::min(r.Right, width_);
      r.Bottom = std::min(r.Bottom, height_);
    }
    b->Canvas()->StretchDraw(r, g);
    FillAlphaRect(b.get(), r, 255);
  } else {
    return;
  }
  const vcl::TPoint p = ImageOffset(vcl::TSize{b->Width(), b->Height()});
  TCacheInfo none;
  CopyBmp32(vcl::TRect(p.X, p.Y, p.X + b->Width(), p.Y + b->Height()), vcl::TRect(0, 0, b->Width(), b->Height()),
            cache, b.get(), none, false, FGrayed ? static_cast<vcl::TColor>(0xFFFFFF) : vcl::clNone, FBlend,
            FReflected);
}

bool TsCustomImage::PrepareCache(HDC dc) {
  TlvBGInfo bg;
  GetBGInfo(bg, Parent(), false);
  if (bg.BgType == btNotReady) {
    FCommonData->SetUpdatingFlag(true);
    return false;
  }
  TCacheInfo ci = BGInfoToCI(bg);
  FCommonData->InitCacheBmp();
  vcl::TBitmap* cache = FCommonData->CacheBmp();
  if (ci.Ready && !ci.Bmp) return true;
  if (Transparent() && dc)
    BitBlt(cache->Canvas()->Handle(), 0, 0, width_, height_, dc, 0, 0, SRCCOPY);
  if (FCommonData->Skinned())
    PaintItem(FCommonData.get(), ci, true, 0, vcl::TRect(0, 0, width_, height_), vcl::TPoint(left_, top_), cache,
              false);
  DrawImage();
  FCommonData->BGChanged = false;
  return true;
}

void TsCustomImage::Paint() {
  // Without a skin the platform's picture painting, as the screens have always shown it.
  if (!FCommonData->Skinned() || (Empty() && FCommonData->SkinIndex < 0)) {
    inherited::Paint();
    return;
  }
  HDC dc = Canvas()->Handle();
  const int saved = SaveDC(dc);
  if (FCommonData->BGChanged || ImageChanged) {
    FCommonData->UpdateIndexes(true);
    PrepareCache(dc);
  }
  if (vcl::TBitmap* cache = FCommonData->CacheBmp())
    BitBlt(dc, 0, 0, width_, height_, cache->Canvas()->Handle(), 0, 0, SRCCOPY);
  RestoreDC(dc, saved);
}

void TsCustomImage::WndProc(vcl::TMessage& message) {
  if (HandleSkinCommand(this, FCommonData.get(), message, nullptr)) return;
  switch (message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      if (Visible()) FCommonData->BGChanged = true;
      break;
    case WM_ERASEBKGND:
      return;
    case vcl::CM_VISIBLECHANGED:
      FCommonData->BGChanged = true;
      FCommonData->FMouseAbove = false;
      break;
    default:
      break;
  }
  inherited::WndProc(message);
}

VCL_REGISTER(TsCustomImage) {}

VCL_REGISTER(TsImage) {
  cls.Prop(L"SkinData", &TsImage::SkinData, &TsImage::SetSkinData);
  cls.Prop(L"Blend", &TsImage::Blend, &TsImage::SetBlend).Default(0);
  cls.Prop(L"ImageIndex", &TsImage::ImageIndex, &TsImage::SetImageIndex).Default(-1);
  cls.Prop(L"Grayed", &TsImage::Grayed, &TsImage::SetGrayed).Default(false);
  cls.Prop(L"Reflected", &TsImage::Reflected, &TsImage::SetReflected).Default(false);
  cls.Prop(L"UseFullSize", &TsImage::UseFullSize, &TsImage::SetUseFullSize).Default(false);
}
