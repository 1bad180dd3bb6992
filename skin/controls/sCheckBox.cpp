#include "skin/controls/sCheckBox.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/vcl/application.h"
#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sSkinCommands.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/lvAlphaImageList.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"

int PaintState = -1;

namespace {

constexpr TsCorners kAllCorners{scLeftTop, scLeftBottom, scRightTop, scRightBottom};

bool Designing(vcl::TComponent* c) { return c->ComponentState().Contains(vcl::csDesigning); }

}  // namespace

TsCheckBox::TsCheckBox(vcl::TComponent* owner)
    : vcl::TCheckBox(owner),
      FGlyphChecked(std::make_unique<vcl::TBitmap>()),
      FGlyphUnChecked(std::make_unique<vcl::TBitmap>()),
      FCommonData(std::make_unique<TsCommonData>(this, false)) {
  FCommonData->COC = COC_TsCheckBox;
}

TsCheckBox::~TsCheckBox() {
  if (FImages) FImages->RemoveFreeNotification(this);
  FCommonData.reset();
  FGlyphChecked.reset();
  FGlyphUnChecked.reset();
}

void TsCheckBox::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsCheckBox::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
  AdjustSize();
}

void TsCheckBox::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  inherited::Notification(component, operation);
  // A freed image list leaves no dangling reference behind.
  if (operation == vcl::opRemove && component == FImages) {
    FImages = nullptr;
    if (FCommonData) FCommonData->Invalidate();
  }
}

void TsCheckBox::SetMargin(int value) {
  if (value == FMargin) return;
  FMargin = value;
  AdjustSize();
  Invalidate();
}

void TsCheckBox::SetTextIndent(int value) {
  if (value == FTextIndent) return;
  FTextIndent = value;
  AdjustSize();
  Invalidate();
}

void TsCheckBox::SetShowFocus(bool value) {
  if (value == FShowFocus) return;
  FShowFocus = value;
  Invalidate();
}

void TsCheckBox::SetImgChecked(int value) {
  if (value == FImgChecked) return;
  FImgChecked = value;
  AdjustSize();
  if (Checked()) FCommonData->Invalidate();
}

void TsCheckBox::SetImgUnchecked(int value) {
  if (value == FImgUnchecked) return;
  FImgUnchecked = value;
  AdjustSize();
  if (!Checked()) FCommonData->Invalidate();
}

void TsCheckBox::SetImages(vcl::TCustomImageList* value) {
  if (value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = value;
  if (FImages) FImages->FreeNotification(this);
  AdjustSize();
  FCommonData->Invalidate();
}

void TsCheckBox::SetGlyphChecked(vcl::TBitmap* value) {
  if (value)
    FGlyphChecked->Assign(value);
  else
    FGlyphChecked = std::make_unique<vcl::TBitmap>();
  AdjustSize();
  FCommonData->Invalidate();
}

void TsCheckBox::SetGlyphUnChecked(vcl::TBitmap* value) {
  if (value)
    FGlyphUnChecked->Assign(value);
  else
    FGlyphUnChecked = std::make_unique<vcl::TBitmap>();
  AdjustSize();
  FCommonData->Invalidate();
}

void TsCheckBox::SetVerticalAlign(TvaAlign value) {
  if (value == FVerticalAlign) return;
  FVerticalAlign = value;
  FCommonData->BGChanged = true;
  Repaint();
}

void TsCheckBox::SetDisabledKind(TsDisabledKind value) {
  if (value == FDisabledKind) return;
  FDisabledKind = value;
  FCommonData->Invalidate();
}

void TsCheckBox::SetAlignment(vcl::TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  FCommonData->Invalidate();
}

void TsCheckBox::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  AdjustSize();
  FCommonData->Invalidate();
}

void TsCheckBox::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  AdjustSize();
}

void TsCheckBox::SetChecked(bool value) {
  if (IsLoading()) {
    vcl::TCheckBox::SetChecked(value);
    return;
  }
  const bool changed = value != Checked();
  if (changed) FCommonData->BGChanged = true;
  vcl::TCheckBox::SetChecked(value);
  if (FCommonData->BGChanged) Repaint();
  if (changed) OnValueChanged(this);
}

void TsCheckBox::AdjustSize() {
  if (!FAutoSize || IsLoading() || IsDestroying()) return;
  int w = width_, h = height_;
  if (CanAutoSize(w, h) && (w != width_ || h != height_)) SetBounds(left_, top_, w, h);
}

bool TsCheckBox::CanAutoSize(int& newWidth, int& newHeight) {
  // Without a skin the control keeps the size the form gives it (the platform's check box has no autosize).
  if (!FCommonData->Skinned(true) || IsLoading() || !FAutoSize) return false;
  const rtl::String caption = Caption();
  vcl::TSize text{0, 0};
  if (!caption.empty()) {
    // Measured on the canvas the caption is drawn on, so that the size fits the painted text exactly.
    FCommonData->InitCacheBmp();
    vcl::TCanvas* c = FCommonData->CacheBmp()->Canvas();
    c->Font()->Assign(Font());
    vcl::TRect m(0, 0, FWordWrap ? 0x3FFF : 0, 0);
    lvDrawText(c->Handle(), caption, m, DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE));
    text = vcl::TSize(m.Width(), m.Height());
  }
  const vcl::TRect box = CheckRect();
  newWidth = box.Width() + 2 * FMargin + (caption.empty() ? 0 : text.cx + FTextIndent + 8);
  newHeight = std::max(box.Height(), (caption.empty() ? 0 : text.cy) + 2 * FMargin) + 2;
  return true;
}

int TsCheckBox::PaintCtrlState() {
  if (FPressed) return 2;
  if (!ControlIsActive(FCommonData.get()) || FReadOnly) return 0;
  return 1;
}

bool TsCheckBox::ImageMode() const { return FImages && FImgChecked >= 0 && FImgUnchecked >= 0; }

int TsCheckBox::FramesOf(int width, int height) {
  if (height <= 0 || width < 2 * height || width % height != 0) return 1;
  return width / height;
}

vcl::TBitmap* TsCheckBox::Glyph() {
  vcl::TBitmap* b = Checked() ? FGlyphChecked.get() : FGlyphUnChecked.get();
  return b && !b->Empty() ? b : nullptr;
}

int TsCheckBox::GlyphMaskIndex(int state) {
  TsSkinManager* sm = FCommonData->SkinManager();
  if (!sm || state < 0 || state > 2) return -1;
  const int i = sm->ConstData.CheckBox[static_cast<size_t>(state)];
  return sm->IsValidImgIndex(i) ? i : -1;
}

int TsCheckBox::GlyphWidth() {
  auto one = [](int w, int h) { return h > 0 && w % h == 0 && w >= h ? w / (w / h) : w; };
  if (ImageMode()) return one(FImages->Width(), FImages->Height());
  if (vcl::TBitmap* g = Glyph()) return one(g->Width(), g->Height());
  return 16;
}

int TsCheckBox::GlyphHeight() {
  if (ImageMode()) return FImages->Height();
  if (vcl::TBitmap* g = Glyph()) return g->Height();
  return 16;
}

int TsCheckBox::SkinGlyphWidth(int maskIndex) {
  TsSkinManager* sm = FCommonData->SkinManager();
  return sm && sm->IsValidImgIndex(maskIndex) ? WidthOfImage(sm->ma[static_cast<size_t>(maskIndex)]) : 16;
}

int TsCheckBox::SkinGlyphHeight(int maskIndex) {
  TsSkinManager* sm = FCommonData->SkinManager();
  return sm && sm->IsValidImgIndex(maskIndex) ? HeightOfImage(sm->ma[static_cast<size_t>(maskIndex)]) : 16;
}

namespace {

vcl::TRect PlaceBox(int w, int h, int width, int height, int margin, TvaAlign va, vcl::TAlignment align) {
  int top = 0;
  if (va == TvaAlign::vaMiddle) top = (height - h) / 2;
  if (va == TvaAlign::vaBottom) top = height - h;
  const int left = align == vcl::taRightJustify ? margin : width - w - margin;
  return vcl::TRect(left, top, left + w, top + h);
}

}  // namespace

vcl::TRect TsCheckBox::CheckRect() {
  if (ImageMode() || !FGlyphChecked->Empty())
    return PlaceBox(GlyphWidth(), GlyphHeight(), width_, height_, FMargin, FVerticalAlign, FAlignment);
  const int checkedMask = GlyphMaskIndex(1);
  if (checkedMask >= 0) return SkinCheckRect(checkedMask);
  return vcl::TRect(0, 0, 16, 16);
}

vcl::TRect TsCheckBox::SkinCheckRect(int maskIndex) {
  return PlaceBox(SkinGlyphWidth(maskIndex), SkinGlyphHeight(maskIndex), width_, height_, FMargin, FVerticalAlign,
                  FAlignment);
}

bool TsCheckBox::PrepareCache() {
  TsCommonData* sd = FCommonData.get();
  sd->InitCacheBmp();
  vcl::TBitmap* cache = sd->CacheBmp();
  cache->Canvas()->Font()->Assign(Font());
  TCacheInfo ci;
  if (!sctrl::ParentCI(this, ci)) {
    sd->SetUpdatingFlag(true);
    return false;
  }
  const vcl::TRect all(0, 0, width_, height_);
  PaintItem(sd, ci, true, PaintCtrlState(), all, vcl::TPoint(left_, top_), cache, false);
  DrawCheckText();
  DrawCheckArea();
  if (!Enabled()) BmpDisabledKind(cache, FDisabledKind, Parent(), ci, vcl::TPoint(left_, top_));
  sd->BGChanged = false;
  return true;
}

void TsCheckBox::DrawCheckText() {
  const rtl::String caption = Caption();
  if (caption.empty()) return;
  TsCommonData* sd = FCommonData.get();
  vcl::TCanvas* c = sd->CacheBmp()->Canvas();
  const vcl::TRect box = CheckRect();
  const int available = width_ - box.Width() - FTextIndent - 2 * FMargin - 2;
  vcl::TRect measure(0, 0, std::max(available, 0), 0);
  const unsigned lineFlag = FWordWrap ? DT_WORDBREAK : DT_SINGLELINE;
  lvDrawText(c->Handle(), caption, measure, DT_CALCRECT | lineFlag);
  const int tw = measure.Width(), th = measure.Height();
  vcl::TRect r;
  r.Top = std::max((height_ - th) / 2, FMargin);
  r.Bottom = r.Top + th;
  unsigned place = 0;
  if (FAlignment == vcl::taRightJustify) {
    r.Left = width_ - available - FMargin + 2;
    r.Right = r.Left + tw;
  } else {
    r.Left = FMargin;
    r.Right = available + FMargin;
  }
  sctrl::Offset(r, FWordWrap ? -1 : 0, -1);
  const int state = PaintCtrlState();
  // The measured width can fall a pixel short of a narrow last letter: the text may run on to the free edge.
  vcl::TRect textRect = r;
  if (FAlignment == vcl::taRightJustify) textRect.Right = std::max(r.Right, width_ - FMargin);
  lvWriteTextEx(c, caption.c_str(), true, textRect, place | lineFlag, sd, state > 0, nullptr);
  c->Pen()->SetStyle(vcl::psClear);
  c->Brush()->SetStyle(vcl::bsSolid);
  if (HandleAllocated() && GetFocus() == handle_ && FShowFocus) {
    if (!FWordWrap) r.Bottom -= 1;
    r.Top += 1;
    sctrl::Inflate(r, 2, 1);
    const TsGeneralData* g = sctrl::Section(sd);
    const vcl::TColor colour =
        g ? g->Props[static_cast<size_t>(std::min(2, std::max(0, g->States - 1)))].FontColor.Color : Font()->Color();
    FocusRect(c, r, colour, vcl::clNone);
  }
}

void TsCheckBox::PaintGlyph(vcl::TBitmap* bmp, int frame) {
  vcl::TBitmap* cache = FCommonData->CacheBmp();
  if (!cache || cache->Width() == 0 || !bmp || bmp->Empty()) return;
  if (bmp->PixelFormat() != vcl::pf32bit) {
    bmp->SetPixelFormat(vcl::pf32bit);
    FillAlphaRect(bmp, vcl::TRect(0, 0, bmp->Width(), bmp->Height()), 0xFF);
  }
  const int gw = GlyphWidth(), gh = GlyphHeight();
  const vcl::TRect src(frame * gw, 0, (frame + 1) * gw, gh);
  const vcl::TRect dst = CheckRect();
  CopyByMask(dst, src, cache, bmp, EmptyCI, true);
}

void TsCheckBox::DrawSkinGlyph(int maskIndex) {
  vcl::TBitmap* cache = FCommonData->CacheBmp();
  TsSkinManager* sm = FCommonData->SkinManager();
  if (!cache || cache->Width() == 0 || !sm || !sm->IsValidImgIndex(maskIndex)) return;
  const vcl::TRect r = SkinCheckRect(maskIndex);
  ::DrawSkinGlyph(cache, vcl::TPoint(r.Left, r.Top), PaintCtrlState(), 1, sm->ma[static_cast<size_t>(maskIndex)],
                  MakeCacheInfo(cache));
}

void TsCheckBox::DrawCheckArea() {
  const bool active = ControlIsActive(FCommonData.get()) && !FReadOnly;
  auto frameFor = [&](int n) { return FPressed ? std::min(2, n - 1) : active ? std::min(1, n - 1) : 0; };
  if (ImageMode()) {
    const int index = Checked() ? FImgChecked : FImgUnchecked;
    if (index < 0) return;
    const int n = FramesOf(FImages->Width(), FImages->Height());
    if (n > 1) {
      vcl::TBitmap bmp;
      bool ok = false;
      if (auto* alpha = dynamic_cast<TsAlphaImageList*>(FImages))
        ok = alpha->GetBitmap32(index, &bmp);
      else
        ok = FImages->GetBitmap(index, &bmp);
      if (ok) PaintGlyph(&bmp, frameFor(n));
    } else {
      const vcl::TRect r = CheckRect();
      FImages->Draw(FCommonData->CacheBmp()->Canvas(), r.Left, r.Top, index, true);
    }
    return;
  }
  if (vcl::TBitmap* g = Glyph()) {
    PaintGlyph(g, frameFor(FramesOf(g->Width(), g->Height())));
    return;
  }
  const int state = PaintState != -1 ? CheckBoxStates[static_cast<size_t>(std::clamp(PaintState, 0, 2))]
                                     : static_cast<int>(State());
  DrawSkinGlyph(GlyphMaskIndex(state));
}

void TsCheckBox::PaintControl(HDC dc) {
  TsCommonData* sd = FCommonData.get();
  if (GetUpdating(sd) || TimerIsActive(sd)) return;
  if (!PrepareCache()) return;
  UpdateCorners(sd, 0, kAllCorners);
  sctrl::CopyCache(sd, dc, vcl::TRect(0, 0, width_, height_));
}

void TsCheckBox::PaintHandler(vcl::TMessage& m) {
  TsCommonData* sd = FCommonData.get();
  PAINTSTRUCT ps{};
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  const bool begin = !(dc && (sd->CtrlSkinState & LVCS_PRINTING));
  if (begin) dc = BeginPaint(handle_, &ps);
  const int saved = SaveDC(dc);
  if (!InUpdating(sd, false)) PaintControl(dc);
  RestoreDC(dc, saved);
  if (begin) EndPaint(handle_, &ps);
  m.Result = 0;
}

void TsCheckBox::Toggle() {
  if (FReadOnly) return;
  vcl::TCheckBox::Toggle();
}

void TsCheckBox::WndProc(vcl::TMessage& m) {
  TsCommonData* sd = FCommonData.get();
  // 1. Skin commands.
  if (m.Msg == SM_LUMICMD) {
    const bool own = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
    switch (m.WParamHi()) {
      case LVC_SETNEWSKIN:
        if (!own) break;
        CommonMessage(m, sd);
        return;
      case LVC_REMOVESKIN:
        if (!own) break;
        CommonMessage(m, sd);
        StopTimer(sd);
        if (HandleAllocated()) {
          SendMessageW(handle_, BM_SETCHECK, static_cast<WPARAM>(State()), 0);
          InvalidateRect(handle_, nullptr, TRUE);
        }
        Repaint();
        return;
      case LVC_REFRESH:
        if (!own) break;
        CommonMessage(m, sd);
        AdjustSize();
        sd->BGChanged = true;
        Repaint();
        return;
      case LVC_CTRLHANDLED:
        m.Result = 1;
        return;
      case LVC_GETDEFINDEX:
        HandleSkinCommand(this, sd, m, L"CHECKBOX");
        return;
      case LVC_PREPARECACHE:
        m.Result = PrepareCache() ? 0 : 1;
        return;
      case LVC_GETAPPLICATION:
        m.Result = reinterpret_cast<LRESULT>(vcl::Application);
        return;
      default: break;
    }
  }
  // 2. Size follows the caption and font.
  // (Unskinned the control keeps its size, so nothing here touches its window.)
  if ((m.Msg == vcl::CM_FONTCHANGED || m.Msg == vcl::CM_TEXTCHANGED) && FAutoSize && sd->Skinned(true)) {
    if (!Designing(this) && Parent()) HandleNeeded();
    inherited::WndProc(m);
    AdjustSize();
    sd->BGChanged = true;
    Repaint();
    return;
  }
  const bool skinned = sd->Skinned(true);
  // 3. Hover and focus.
  if (skinned && !Designing(this)) {
    TsSkinManager* sm = sd->SkinManager();
    switch (m.Msg) {
      case vcl::CM_MOUSEENTER:
        if (Enabled() && !sd->FMouseAbove) {
          sd->FMouseAbove = true;
          DoChangePaint(sd, 1, UpdateWindow_CB, EventEnabled(aeMouseEnter, FAnimatEvents, sm), false, true);
        }
        inherited::WndProc(m);
        return;
      case vcl::CM_MOUSELEAVE:
        if (Enabled() && sd->FMouseAbove) {
          sd->FMouseAbove = false;
          FPressed = false;
          DoChangePaint(sd, 0, UpdateWindow_CB, EventEnabled(aeMouseLeave, FAnimatEvents, sm), false, false);
        }
        inherited::WndProc(m);
        return;
      case WM_SETFOCUS:
      case vcl::CM_ENTER:
        if (!Enabled()) return;
        inherited::WndProc(m);
        sd->BGChanged = true;
        if (TimerIsActive(sd) && sd->AnimTimer->OnTimer)
          sd->AnimTimer->OnTimer(sd->AnimTimer);
        else
          Repaint();
        return;
      case WM_KILLFOCUS:
      case vcl::CM_EXIT:
        if (!Enabled()) break;
        StopTimer(sd);
        if (HandleAllocated()) SendMessageW(handle_, WM_SETREDRAW, 0, 0);
        inherited::WndProc(m);
        if (HandleAllocated()) SendMessageW(handle_, WM_SETREDRAW, 1, 0);
        sd->FFocused = false;
        sd->FMouseAbove = false;
        FPressed = false;
        sd->Invalidate();
        return;
      default: break;
    }
  }
  // 4. The shared handling.
  if (!ControlIsReady(this)) {
    inherited::WndProc(m);
    return;
  }
  if (m.Msg != SM_LUMICMD && CommonWndProc(m, sd)) return;
  if (m.Msg == SM_LUMICMD && m.WParamHi() != LVC_ENDPARENTUPDATE && CommonMessage(m, sd)) return;
  if (skinned) {
    // 5. The skinned control draws and drives itself.
    TsSkinManager* sm = sd->SkinManager();
    auto takeFocus = [&] {
      if (HandleAllocated() && GetFocus() != handle_ && CanFocus()) {
        control_state_ += vcl::csClicked;
        SetFocus();
        control_state_ -= vcl::csClicked;
      }
    };
    switch (m.Msg) {
      case WM_ENABLE:
      case WM_NCPAINT:
        return;
      case WM_PAINT:
        PaintHandler(m);
        return;
      case WM_ERASEBKGND:
        if (m.WParam && sd->CacheBmp() && !sd->BGChanged && !TimerIsActive(sd))
          sctrl::CopyCache(sd, reinterpret_cast<HDC>(m.WParam), vcl::TRect(0, 0, width_, height_));
        m.Result = 1;
        return;
      case BM_SETCHECK:
        StopTimer(sd);
        if (m.WParam <= 2) state_ = static_cast<vcl::TCheckBoxState>(CheckBoxStates[m.WParam]);
        sd->BGChanged = true;
        Repaint();
        return;
      case BM_SETSTATE:
      case WM_UPDATEUISTATE:
        return;
      case WM_KEYDOWN:
        if (m.WParam != VK_SPACE || !Enabled()) break;
        if (FReadOnly) return;
        FPressed = true;
        takeFocus();
        sd->BGChanged = true;
        Repaint();
        {
          rtl::Word key = static_cast<rtl::Word>(m.WParam);
          OnKeyDown(this, key, vcl::KeyDataToShiftState(m.LParam));
        }
        return;
      case WM_KEYUP:
        if (m.WParam != VK_SPACE || !Enabled()) break;
        if (FReadOnly) return;
        if (FPressed) {
          FPressed = false;
          Toggle();
          sd->BGChanged = true;
          Repaint();
        }
        {
          rtl::Word key = static_cast<rtl::Word>(m.WParam);
          OnKeyUp(this, key, vcl::KeyDataToShiftState(m.LParam));
        }
        if (TimerIsActive(sd) && sd->CacheBmp()->Width() != width_) {
          StopTimer(sd);
          Repaint();
        }
        return;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (!Enabled()) break;
        if (FReadOnly) return;
        FPressed = true;
        DoChangePaint(sd, 2, UpdateWindow_CB, EventEnabled(aeMouseDown, FAnimatEvents, sm), true, true);
        takeFocus();
        if (m.Msg == WM_LBUTTONDBLCLK)
          OnDblClick(this);
        else
          OnMouseDown(this, vcl::mbLeft, vcl::KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam),
                      GET_Y_LPARAM(m.LParam));
        return;
      case WM_LBUTTONUP:
        if (!Enabled()) break;
        if (FReadOnly) return;
        if (FPressed) {
          FPressed = false;
          Toggle();
          sd->BGChanged = true;
          Repaint();
        }
        OnMouseUp(this, vcl::mbLeft, vcl::KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam),
                  GET_Y_LPARAM(m.LParam));
        if (TimerIsActive(sd) && sd->CacheBmp()->Width() != width_) {
          StopTimer(sd);
          Repaint();
        }
        return;
      case WM_PRINT:
        sd->SetUpdatingFlag(false);
        sd->CtrlSkinState |= LVCS_PRINTING;
        PaintHandler(m);
        sd->CtrlSkinState &= static_cast<unsigned short>(~LVCS_PRINTING);
        return;
      case SM_LUMICMD:
        if (m.WParamHi() == LVC_ENDPARENTUPDATE) {
          if ((sd->UpdatingFlag() || sd->HalfVisible) && !InUpdating(sd, true)) Repaint();
          inherited::WndProc(m);
          return;
        }
        break;
      case vcl::CM_ENABLEDCHANGED:
        inherited::WndProc(m);
        sd->BGChanged = true;
        Repaint();
        return;
      case WM_SETTEXT:
        // The system button would draw its caption at once: the text is stored without it and painted here.
        DefWindowProcW(handle_, m.Msg, m.WParam, m.LParam);
        m.Result = TRUE;
        Perform(vcl::CM_TEXTCHANGED, 0, 0);
        sd->BGChanged = true;
        Repaint();
        return;
      case vcl::CM_CHANGED:
        if (TimerIsActive(sd))
          DoChangePaint(sd, PaintCtrlState(), UpdateWindow_CB, EventEnabled(aeMouseUp, FAnimatEvents, sm), false,
                        true);
        else
          sd->Invalidate();
        inherited::WndProc(m);
        return;
      default: break;
    }
    inherited::WndProc(m);
    return;
  }
  // 6. Unskinned: the platform draws and drives the box; only a read-only press is kept from changing it.
  switch (m.Msg) {
    case BM_SETCHECK:
    case BM_SETSTATE:
      if (FPressed && FReadOnly && m.Msg == BM_SETCHECK) return;
      break;
    case WM_LBUTTONDBLCLK:
      if (FReadOnly) return;
      break;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN: FPressed = true; break;
    case WM_KEYUP:
    case WM_LBUTTONUP: FPressed = false; break;
    default: break;
  }
  inherited::WndProc(m);
}

VCL_REGISTER(TsCheckBox) {
  cls.Prop(L"Alignment", &TsCheckBox::Alignment, &TsCheckBox::SetAlignment).Default(vcl::taRightJustify);
  cls.Prop(L"AutoSize", &TsCheckBox::AutoSize, &TsCheckBox::SetAutoSize).Default(true);
  cls.Prop(L"Margin", &TsCheckBox::Margin, &TsCheckBox::SetMargin).Default(2);
  cls.Prop(L"SkinData", &TsCheckBox::SkinData, &TsCheckBox::SetSkinData);
  cls.Prop(L"GlyphChecked", &TsCheckBox::GlyphChecked, &TsCheckBox::SetGlyphChecked);
  cls.Prop(L"GlyphUnChecked", &TsCheckBox::GlyphUnChecked, &TsCheckBox::SetGlyphUnChecked);
  cls.Prop(L"ImgChecked", &TsCheckBox::ImgChecked, &TsCheckBox::SetImgChecked);
  cls.Prop(L"ImgUnchecked", &TsCheckBox::ImgUnchecked, &TsCheckBox::SetImgUnchecked);
  cls.Prop(L"Images", &TsCheckBox::Images, &TsCheckBox::SetImages);
  cls.Prop(L"ReadOnly", &TsCheckBox::ReadOnly, &TsCheckBox::SetReadOnly).Default(false);
  cls.Prop(L"ShowFocus", &TsCheckBox::ShowFocus, &TsCheckBox::SetShowFocus).Default(true);
  cls.Prop(L"TextIndent", &TsCheckBox::TextIndent, &TsCheckBox::SetTextIndent).Default(0);
  cls.Prop(L"WordWrap", &TsCheckBox::WordWrap, &TsCheckBox::SetWordWrap).Default(false);
  cls.Prop(L"VerticalAlign", &TsCheckBox::VerticalAlign, &TsCheckBox::SetVerticalAlign).Default(TvaAlign::vaMiddle);
}
