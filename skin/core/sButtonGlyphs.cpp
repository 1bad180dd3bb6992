#include "skin/core/sButtonGlyphs.h"

#include <algorithm>
#include <memory>

#include "platform/rtl/streams.h"
#include "platform/vcl/toolbar.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/lvAlphaImageList.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"
#include "skin/render/sTextDraw.h"

namespace {

bool StdOrder() { return DefaultManager && DefaultManager->Options()->StdGlyphsOrder(); }

// A 32-bit glyph whose alpha bytes are all 0 is an opaque glyph.
void CheckEmptyAlpha(vcl::TBitmap* glyph) {
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  if (glyph->PixelFormat() != vcl::pf32bit || !InitLine(glyph, line0, delta)) return;
  for (int y = 0; y < glyph->Height(); ++y)
    for (int x = 0; x < glyph->Width(); ++x)
      if (PixelAt(line0, delta, x, y)->A != 0) return;
  glyph->SetPixelFormat(vcl::pf24bit);
}

}  // namespace

void lvDrawGlyphEx(const TlvDrawGlyphData& d) {
  const vcl::TColor grayedColor = d.Grayed ? d.BGColor : vcl::clNone;
  int state = d.CurrentState;
  if (StdOrder()) {
    if (state != 0 && (state == 1 || d.NumGlyphs < 3)) state = 0;
    if (state == 0 && !d.Enabled) state = 1;
  }
  if (d.Images && d.ImageIndex >= 0 && d.ImageIndex < GetImageCount(d.Images)) {
    if (dynamic_cast<TsAlphaImageList*>(d.Images)) {
      int blend = std::max(state == 0 ? d.Blend : 0, !d.Enabled && d.DisabledGlyphKind.Contains(dgBlended) ? 50 : 0);
      int frame = state + (d.Down ? 1 : 0);
      if (d.DstBmp)
        DrawAlphaImgList(d.Images, d.DstBmp, d.ImgRect.Left, d.ImgRect.Top, d.ImageIndex, blend, grayedColor, frame,
                         d.NumGlyphs, d.Reflected);
      else if (d.Canvas)
        DrawAlphaImgListDC(d.Images, d.Canvas->Handle(), d.ImgRect.Left, d.ImgRect.Top, d.ImageIndex, blend,
                           grayedColor, frame, d.NumGlyphs, d.Reflected);
      return;
    }
    if (!d.DstBmp || d.Images->ColorDepth() == vcl::cd32Bit) {
      if (d.Canvas) d.Images->Draw(d.Canvas, d.ImgRect.Left, d.ImgRect.Top, d.ImageIndex, true);
      return;
    }
    auto tmp = CreateBmp32(d.Images->Width(), d.Images->Height());
    const vcl::TColor key = d.Images->BkColor() == vcl::clNone ? 0xFF00FF : vcl::ColorToRGB(d.Images->BkColor());
    tmp->Canvas()->Brush()->SetColor(key);
    tmp->Canvas()->FillRect(vcl::Rect(0, 0, tmp->Width(), tmp->Height()));
    d.Images->Draw(tmp->Canvas(), 0, 0, d.ImageIndex, true);
    tmp->Dormant();
    TsColor keyPixel;
    keyPixel.C = static_cast<std::uint32_t>(key) & 0xFFFFFF;
    const vcl::TRect src(0, 0, tmp->Width() - 1, tmp->Height() - 1);
    if (d.Enabled) {
      if (state == 0 && d.Grayed) GrayScaleTrans(tmp.get(), GetAPixel(tmp.get(), 0, 0));
      if (state != 0 || d.Blend < 1)
        CopyTransBitmaps(d.DstBmp, tmp.get(), d.ImgRect.Left, d.ImgRect.Top, keyPixel);
      else
        BlendTransRectangle(d.DstBmp, d.ImgRect.Left, d.ImgRect.Top, tmp.get(), src, d.Blend / 100.0, 0xFF00FF);
    } else {
      if (d.Grayed) GrayScaleTrans(tmp.get(), GetAPixel(tmp.get(), 0, 0));
      if (d.DisabledGlyphKind.Contains(dgBlended))
        BlendTransRectangle(d.DstBmp, d.ImgRect.Left, d.ImgRect.Top, tmp.get(), src, 0.5, 0xFF00FF);
      else
        CopyTransBitmaps(d.DstBmp, tmp.get(), d.ImgRect.Left, d.ImgRect.Top, keyPixel);
    }
    return;
  }
  vcl::TBitmap* glyph = d.Glyph;
  if (!glyph || glyph->Empty()) return;
  if (glyph->PixelFormat() == vcl::pfDevice || !d.Enabled ||
      (glyph->PixelFormat() == vcl::pf32bit && (!DefaultManager || DefaultManager->Options()->CheckEmptyAlpha())))
    CheckEmptyAlpha(glyph);
  if (glyph->PixelFormat() == vcl::pf32bit) {
    const int numGlyphs = std::max(1, d.NumGlyphs);
    const int k = std::min(state, numGlyphs - 1);
    const int fw = d.ImgRect.Width() > 0 ? d.ImgRect.Width() : glyph->Width() / numGlyphs;
    const vcl::TRect src(fw * k, 0, fw * (k + 1), glyph->Height());
    if (d.DstBmp) {
      // A disabled picture asked to be blended is half transparent here too, as on a canvas.
      const int blend =
          std::max(state == 0 ? d.Blend : 0, !d.Enabled && d.DisabledGlyphKind.Contains(dgBlended) ? 50 : 0);
      CopyBmp32(vcl::Rect(d.ImgRect.Left, d.ImgRect.Top, d.ImgRect.Left + fw, d.ImgRect.Top + glyph->Height()), src,
                d.DstBmp, glyph, EmptyCI, false, grayedColor, blend, d.Reflected);
    } else if (d.Canvas) {
      auto tmp = CreateBmp32(fw, glyph->Height());
      BitBlt(tmp->Canvas()->Handle(), 0, 0, fw, glyph->Height(), glyph->Canvas()->Handle(), src.Left, 0, SRCCOPY);
      int l = d.Blend;
      if (!d.Enabled && d.DisabledGlyphKind.Contains(dgBlended)) l = std::max(l, 50);
      std::uint8_t* line0;
      std::ptrdiff_t delta;
      if (state == 0 && l != 0 && InitLine(tmp.get(), line0, delta))
        for (int y = 0; y < tmp->Height(); ++y)
          for (int x = 0; x < tmp->Width(); ++x) {
            TsColor_* p = PixelAt(line0, delta, x, y);
            p->A = static_cast<std::uint8_t>(p->A * l / 100);
          }
      if ((!d.Enabled && d.DisabledGlyphKind.Contains(dgGrayed)) || (state == 0 && d.Grayed)) GrayScale(tmp.get());
      DrawBmp(d.Canvas, tmp.get(),
              vcl::Rect(d.ImgRect.Left, d.ImgRect.Top, d.ImgRect.Left + fw, d.ImgRect.Top + glyph->Height()),
              d.Reflected);
    }
    return;
  }
  if (d.DstBmp) {
    DrawGlyphEx(glyph, d.DstBmp, d.ImgRect, d.NumGlyphs, d.Enabled, d.DisabledGlyphKind, state, d.Blend, d.Down,
                d.Reflected);
  } else if (d.Canvas) {
    const int w = std::max(1, d.ImgRect.Width()), h = std::max(1, d.ImgRect.Height());
    auto tmp = CreateBmp32(w, h);
    BitBlt(tmp->Canvas()->Handle(), 0, 0, w, h, d.Canvas->Handle(), d.ImgRect.Left, d.ImgRect.Top, SRCCOPY);
    DrawGlyphEx(glyph, tmp.get(), vcl::Rect(0, 0, w, h), d.NumGlyphs, d.Enabled, d.DisabledGlyphKind, state, d.Blend,
                d.Down, d.Reflected);
    BitBlt(d.Canvas->Handle(), d.ImgRect.Left, d.ImgRect.Top, w, h, tmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  }
}

void CopyToolBtnGlyph(vcl::TToolBar* toolBar, vcl::TToolButton* button, TCustomDrawState state, vcl::TBitmap* btnBmp) {
  if (!toolBar || !button || !btnBmp) return;
  const int st = state.Contains(cdsSelected) ? 2 : state.Contains(cdsHot) ? 1 : state.Contains(cdsChecked) ? 2 : 0;
  TlvDrawGlyphData d;
  TsSkinManager* sm = nullptr;
  auto skinDataOf = [](vcl::TWinControl* c) {
    return c && c->HandleAllocated() ? reinterpret_cast<TsCommonData*>(
                                           SendMessageW(c->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_GETSKINDATA), 0))
                                     : nullptr;
  };
  if (TsCommonData* sd = skinDataOf(toolBar)) {
    sm = sd->SkinManager();
    d.Grayed = st == 0 && sm && sm->Effects()->DiscoloredGlyphs();
    d.SkinIndex = sd->SkinIndex;
    // At rest on a wholly transparent parent the bar shows the parent's look: its font section.
    if (st == 0 && sm) {
      TsCommonData* pd = skinDataOf(toolBar->Parent());
      if (pd && sm->IsValidSkinIndex(pd->SkinIndex) &&
          sm->gd[static_cast<size_t>(pd->SkinIndex)].Props[0].Transparency == 100)
        d.SkinIndex = GetFontIndex(toolBar, sd->SkinIndex, sm, 0);
    }
  }
  vcl::TCustomImageList* images = toolBar->Images();
  if (!images) return;
  // The caption takes its line below the image.
  int captionHeight = 0;
  if (toolBar->ShowCaptions()) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, toolBar->Font()->Handle());
    SIZE size{};
    GetTextExtentPoint32W(dc, L"A", 1, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    captionHeight = size.cy + 3;
  }
  const int arrow = button->Style() == vcl::tbsDropDown ? 8 : 0;
  const int x = (button->Width() - images->Width()) / 2 - arrow + 1;
  const int y = (button->Height() - images->Height() - captionHeight) / 2;
  d.ImgRect = vcl::TRect(x, y, x + images->Width(), y + images->Height());
  d.Images = images;
  d.ImageIndex = button->ImageIndex();
  d.CurrentState = st;
  d.NumGlyphs = 1;
  d.Enabled = toolBar->Enabled();
  d.Blend = 0;
  d.Down = st == 2;
  d.Reflected = false;
  d.SkinManager = sm;
  if (d.Grayed) {
    d.DisabledGlyphKind = TsDisabledGlyphKind{dgGrayed};
    if (sm && sm->IsValidSkinIndex(d.SkinIndex))
      d.BGColor = static_cast<vcl::TColor>(sm->gd[static_cast<size_t>(d.SkinIndex)].Props[0].Color);
  }
  d.DstBmp = btnBmp;
  d.Canvas = btnBmp->Canvas();
  if (st == 2 && (!sm || sm->ButtonsOptions()->ShiftContentOnClick())) {
    d.ImgRect.Left += 1;
    d.ImgRect.Top += 1;
    d.ImgRect.Right += 1;
    d.ImgRect.Bottom += 1;
  }
  lvDrawGlyphEx(d);
}

TsAlphaImageList* lvResImgList() {
  static std::unique_ptr<TsAlphaImageList> list = [] {
    auto l = std::make_unique<TsAlphaImageList>(nullptr);
    l->SetWidth(48);
    l->SetHeight(16);
    l->AfterConstruction();
    l->LvBeginUpdate();
    for (const wchar_t* name : {L"SF", L"SR", L"SD", L"SE", L"SC"}) {
      rtl::TResourceStream stream(nullptr, name, MAKEINTRESOURCEW(10));
      auto* item = static_cast<TsImgListItem*>(l->Items()->Add());
      item->ImgData.LoadFromStream(stream);
      item->SetImageFormat(ifPNG);
      item->SetPixelFormat(vcl::pf32bit);
    }
    l->GenerateStdList();
    l->LvEndUpdate(false);
    return l;
  }();
  return list.get();
}

// A freed image list is forgotten, and the button takes the built-in glyphs again.
class TsGlyphMode::TListWatch : public vcl::TComponent {
 public:
  explicit TListWatch(TsGlyphMode* mode) : vcl::TComponent(nullptr), mode_(mode) {}

 protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override {
    vcl::TComponent::Notification(component, operation);
    if (operation == vcl::opRemove && component == static_cast<vcl::TComponent*>(mode_->FImages)) {
      mode_->FImages = nullptr;
      mode_->Invalidate();
    }
  }

 private:
  TsGlyphMode* mode_;
};

TsGlyphMode::TsGlyphMode(vcl::TWinControl* owner) : FOwner(owner), FWatch(std::make_unique<TListWatch>(this)) {}

TsGlyphMode::~TsGlyphMode() {
  if (FImages) FWatch->RemoveFreeNotification(FImages);
}

vcl::TCustomImageList* TsGlyphMode::SizeList() const {
  if (FImages && FImageIndex >= 0 && FImageIndex < GetImageCount(FImages)) return FImages;
  return lvResImgList();
}

int TsGlyphMode::ImageCount() const {
  vcl::TCustomImageList* list = SizeList();
  if (!list || list->Height() <= 0) return 1;
  return list->Width() % list->Height() == 0 ? std::max(1, list->Width() / list->Height()) : 1;
}

int TsGlyphMode::Width() const {
  vcl::TCustomImageList* list = SizeList();
  return list ? list->Width() / ImageCount() : 0;
}

int TsGlyphMode::Height() const {
  vcl::TCustomImageList* list = SizeList();
  return list ? list->Height() : 0;
}

void TsGlyphMode::Invalidate() {
  if (Btn && FOwner) Btn->GlyphChanged(Width() + 2, ImageCount());
}

void TsGlyphMode::SetImages(vcl::TCustomImageList* value) {
  if (FImages == value) return;
  if (FImages) FWatch->RemoveFreeNotification(FImages);
  FImages = value;
  if (FImages) FWatch->FreeNotification(FImages);
  Invalidate();
}

void TsGlyphMode::SetImageIndex(int value) {
  if (FImageIndex == value) return;
  FImageIndex = value;
  Invalidate();
}

void TsGlyphMode::SetImageIndexHot(int value) {
  if (FImageIndexHot == value) return;
  FImageIndexHot = value;
  Invalidate();
}

void TsGlyphMode::SetImageIndexPressed(int value) {
  if (FImageIndexPressed == value) return;
  FImageIndexPressed = value;
  Invalidate();
}

int TsGlyphMode::Blend() const { return Btn && Btn->Ready() ? Btn->Blend() : 0; }

void TsGlyphMode::SetBlend(int value) {
  if (Btn && Btn->Ready()) Btn->SetBlend(value);
}

bool TsGlyphMode::Grayed() const { return Btn && Btn->Ready() && Btn->Grayed(); }

void TsGlyphMode::SetGrayed(bool value) {
  if (Btn && Btn->Ready()) Btn->SetGrayed(value);
}

rtl::String TsGlyphMode::Hint() const {
  if (Btn) return Btn->Hint();
  return FOwner ? FOwner->Hint() : rtl::String();
}

void TsGlyphMode::SetHint(const rtl::String& value) {
  if (Btn) Btn->SetHint(value);
}

void TsGlyphMode::Assign(const rtl::TPersistent* source) {
  auto* src = dynamic_cast<const TsGlyphMode*>(source);
  if (!src) {
    rtl::TPersistent::Assign(source);
    return;
  }
  SetImages(src->FImages);
  FImageIndex = src->FImageIndex;
  FImageIndexHot = src->FImageIndexHot;
  FImageIndexPressed = src->FImageIndexPressed;
  Invalidate();
}

VCL_REGISTER(TsGlyphMode) {
  cls.Prop(L"Blend", &TsGlyphMode::Blend, &TsGlyphMode::SetBlend).Default(0);
  cls.Prop(L"Grayed", &TsGlyphMode::Grayed, &TsGlyphMode::SetGrayed).Default(false);
  cls.Prop(L"Hint", &TsGlyphMode::Hint, &TsGlyphMode::SetHint);
  cls.Prop(L"Images", &TsGlyphMode::Images, &TsGlyphMode::SetImages);
  cls.Prop(L"ImageIndex", &TsGlyphMode::ImageIndex, &TsGlyphMode::SetImageIndex).Default(-1);
  cls.Prop(L"ImageIndexHot", &TsGlyphMode::ImageIndexHot, &TsGlyphMode::SetImageIndexHot).Default(-1);
  cls.Prop(L"ImageIndexPressed", &TsGlyphMode::ImageIndexPressed, &TsGlyphMode::SetImageIndexPressed).Default(-1);
}
