#include "skin/controls/sPanel.h"

#include "platform/vcl/forms.h"
#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sSkinCommands.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sOuterEffects.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sBorders.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"

TsPanel::TsPanel(vcl::TComponent* owner) : vcl::TPanel(owner), FCommonData(std::make_unique<TsCommonData>(this, true)) {
  FCommonData->COC = COC_TsPanel;
}

TsPanel::~TsPanel() = default;

void TsPanel::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsPanel::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
  FOldBevel = BevelOuter();
}

int TsPanel::FrameWidth() const {
  return BevelWidth() * ((BevelInner() != vcl::bvNone ? 1 : 0) + (BevelOuter() != vcl::bvNone ? 1 : 0)) +
         BorderWidth();
}

void TsPanel::WriteText(const vcl::TRect& rect, vcl::TCanvas* canvas) {
  if (!ShowCaption() || text_.empty() || !canvas) return;
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(vcl::bsClear);
  unsigned f = sctrl::GetStringFlags(this, Alignment()) | DT_NOPREFIX;
  vcl::TRect r = rect;
  if (VerticalAlignment() == vcl::taVerticalCenter) {
    vcl::TRect m(0, 0, r.Width(), 0);
    lvDrawText(canvas->Handle(), text_, m, DT_CALCRECT | DT_WORDBREAK | (f & (DT_LEFT | DT_RIGHT | DT_CENTER)));
    const int th = m.Height();
    r.Top += (r.Height() - th) / 2 + BorderWidth();
    r.Bottom = r.Top + th;
    f = (f & ~static_cast<unsigned>(DT_VCENTER)) | DT_WORDBREAK;
  } else {
    f = (f & ~static_cast<unsigned>(DT_VCENTER | DT_WORDBREAK)) | DT_SINGLELINE;
    if (VerticalAlignment() == vcl::taAlignBottom) f |= DT_BOTTOM;
  }
  WriteTextEx(canvas, text_.c_str(), Enabled(), r, f, FCommonData.get(), false);
}

bool TsPanel::PrepareCache() {
  TsCommonData* sd = FCommonData.get();
  sd->InitCacheBmp();
  vcl::TBitmap* cache = sd->CacheBmp();
  if (!PaintSkinControl(sd, Parent(), true, 0, vcl::TRect(0, 0, width_, height_), vcl::TPoint(left_, top_), cache,
                        true)) {
    sd->SetUpdatingFlag(true);
    return false;
  }
  PaintOuterEffects(sd, this, vcl::TPoint(0, 0));
  const int f = FrameWidth();
  WriteText(vcl::TRect(f, f, width_ - f, height_ - f), cache->Canvas());
  sd->BGChanged = false;
  return true;
}

void TsPanel::Paint() {
  TsCommonData* sd = FCommonData.get();
  // The section follows the outer bevel, also when it changed after the panel was made.
  if (BevelOuter() != FOldBevel && !IsLoading()) {
    FOldBevel = BevelOuter();
    sd->UpdateIndexes();
    sd->BGChanged = true;
  }
  if (!sd->Skinned()) {
    inherited::Paint();
    if (Showing()) OnPaint(this);
    return;
  }
  // A plain section (one colour, no picture to keep) is painted straight into the window, without the cache.
  if (!IsCached(sd) || sd->CustomColor()) {
    PaintDirect(Canvas()->Handle());
    return;
  }
  if (sd->BGChanged || sd->HalfVisible) {
    if (Parent()) {
      vcl::TRect pr = Parent()->ClientRect();
      sd->HalfVisible = !(left_ >= 0 && top_ >= 0 && left_ + width_ <= pr.Width() && top_ + height_ <= pr.Height());
    }
    if (!PrepareCache()) return;
  }
  sctrl::CopyCache(sd, Canvas()->Handle(), vcl::TRect(0, 0, width_, height_));
  OnPaint(this);
}

void TsPanel::PaintDirect(HDC dc) {
  TsCommonData* sd = FCommonData.get();
  TsSkinManager* sm = sd->SkinManager();
  sd->SetUpdatingFlag(false);
  const vcl::TRect all(0, 0, width_, height_);
  const int b = SkinBorderMaxWidth(sd);
  const int saved = SaveDC(dc);
  TlvBGInfo bg;
  vcl::TColor colour = vcl::ColorToRGB(Color());
  bool fromParentBmp = false;
  int t = 0;
  if (!sd->CustomColor()) {
    bg.BgType = btUnknown;
    if (Parent()) GetBGInfo(bg, Parent(), false);
    if (bg.BgType == btNotReady) {
      sd->SetUpdatingFlag(true);
      RestoreDC(dc, saved);
      return;
    }
    const TsGenState& st = sm->gd[static_cast<size_t>(sd->SkinIndex)].Props[0];
    t = st.Transparency;
    fromParentBmp = t == 100 && bg.BgType == btCache && bg.Bmp;
    const vcl::TColor under = bg.BgType == btUnknown ? vcl::ColorToRGB(Parent() ? Parent()->Color() : vcl::clBtnFace)
                                                     : bg.Color;
    colour = t == 0 ? st.Color : t == 100 ? under : MixColors(under, st.Color, t / 100.0);
  }
  const int mask = sd->BorderIndex;
  const bool paintsCentre = sm->IsValidImgIndex(mask) && (sm->ma[static_cast<size_t>(mask)].DrawMode & 4);
  vcl::TRect inside = all;
  if (b > 0) {
    sd->InitCacheBmp();
    if (t != 100 || !paintsCentre || fromParentBmp) {
      inside = PaintBorderFast(dc, all, b, sd, 0);
      FillDC(dc, inside, colour);
    } else {
      PaintBorderFast(dc, all, 0, sd, 0);
      BitBlt(dc, 0, 0, width_, height_, sd->CacheBmp()->Canvas()->Handle(), 0, 0, SRCCOPY);
      inside = vcl::TRect();
    }
  } else {
    FillDC(dc, all, colour);
  }
  if (fromParentBmp && !inside.IsEmpty() && !sd->UpdatingFlag()) {
    // Nothing of the section shows inside the border: the parent's own picture lies there.
    BitBlt(dc, inside.Left, inside.Top, inside.Width(), inside.Height(), bg.Bmp->Canvas()->Handle(),
           bg.Offset.X + left_ + inside.Left, bg.Offset.Y + top_ + inside.Top, SRCCOPY);
  }
  const int f = FrameWidth();
  vcl::TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(vcl::bsClear);
  WriteText(vcl::TRect(f, f, width_ - f, height_ - f), canvas);
  OnPaint(this);
  sd->BGChanged = false;
  RestoreDC(dc, saved);
}

void TsPanel::WndProc(vcl::TMessage& m) {
  TsCommonData* sd = FCommonData.get();
  if (m.Msg == SM_LUMICMD) {
    switch (m.WParamHi()) {
      case LVC_PREPARECACHE:
        if (!sd->UpdatingFlag()) m.Result = PrepareCache() ? 0 : 1;
        return;
      case LVC_ENDPARENTUPDATE:
        if (sd->UpdatingFlag() && !GetUpdating(sd)) {
          sd->SetUpdatingFlag(false);
          sd->BGChanged = true;
          if (HandleAllocated()) Invalidate();
        }
        SetParentUpdated(this);
        return;
      case LVC_REFRESH:
        if (reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager() && HandleAllocated() && Visible() &&
            !IsLoading()) {
          HandleSkinCommand(this, sd, m, PanelSection(), true);
          sd->BGChanged = true;
          RedrawWindow(handle_, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
          return;
        }
        break;
      case LVC_REMOVESKIN:
        HandleSkinCommand(this, sd, m, PanelSection(), true);
        if (HandleAllocated()) Invalidate();
        return;
      default: break;
    }
    HandleSkinCommand(this, sd, m, PanelSection(), true);
    return;
  }
  if (sd->Skinned() && ControlIsReady(this)) {
    switch (m.Msg) {
      case WM_SIZE:
        sd->BGChanged = true;
        break;
      case WM_ERASEBKGND:
        m.Result = 1;
        return;
      case vcl::CM_VISIBLECHANGED:
        sd->BGChanged = true;
        sd->SetUpdatingFlag(false);
        break;
      case vcl::CM_TEXTCHANGED:
        if (Parent()) sd->Invalidate();
        break;
      case vcl::CM_INVALIDATE:
        if (BevelOuter() != FOldBevel) {
          FOldBevel = BevelOuter();
          sd->UpdateIndexes();
        }
        sd->BGChanged = true;
        break;
      default: break;
    }
    if (CommonWndProc(m, sd)) return;
    inherited::WndProc(m);
    if (m.Msg == vcl::CM_ENABLEDCHANGED) sd->Invalidate();
    if (m.Msg == WM_SETFONT && !text_.empty()) {
      sd->BGChanged = true;
      Invalidate();
    }
    return;
  }
  if (m.Msg == vcl::CM_INVALIDATE && BevelOuter() != FOldBevel) {
    FOldBevel = BevelOuter();
    sd->UpdateIndexes();
  }
  inherited::WndProc(m);
}

const wchar_t* TsPanel::PanelSection() const {
  switch (BevelOuter()) {
    case vcl::bvNone:
      return L"TRANSPARENT";
    case vcl::bvLowered:
      return L"PANEL_LOW";
    case vcl::bvSpace:
      return L"GROUPBOX";
    default:
      return L"PANEL";
  }
}

// Drag bar.

TsDragBar::TsDragBar(vcl::TComponent* owner) : TsPanel(owner) {
  FCommonData->COC = COC_TsDragBar;
  SetCaption(L" ");
  SetAlign(vcl::alTop);
  SetHeight(20);
  SetColor(vcl::clActiveCaption);
  SetCursor(vcl::crHandPoint);
  control_style_ -= vcl::csParentBackground;
}

void TsDragBar::Loaded() {
  inherited::Loaded();
  if (!FDraggedControl && Parent()) SetDraggedControl(Parent()->ParentForm());
  if (!ParentFont()) {
    Font()->SetStyle(Font()->Style() + vcl::fsBold);
    if (!FCommonData->Skinned()) Font()->SetColor(vcl::clCaptionText);
  }
}

void TsDragBar::SetDraggedControl(vcl::TControl* value) {
  if (FDraggedControl == value) return;
  if (FDraggedControl) FDraggedControl->RemoveFreeNotification(this);
  FDraggedControl = value;
  if (FDraggedControl) FDraggedControl->FreeNotification(this);
}

void TsDragBar::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == vcl::opRemove && component == FDraggedControl) FDraggedControl = nullptr;
}

void TsDragBar::DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  inherited::DoMouseDown(button, shift, x, y);
  auto* dragged = dynamic_cast<vcl::TWinControl*>(FDraggedControl);
  if (button != vcl::mbLeft || !dragged || !dragged->HandleAllocated()) return;
  ReleaseCapture();
  // The system's move loop takes the mouse until the button is released; the release never reaches the bar.
  SendMessageW(dragged->Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
  Click();
  OnMouseUp(this, button, shift, x, y);
}

void TsDragBar::WndProc(vcl::TMessage& m) {
  const bool removing = m.Msg == SM_LUMICMD && m.WParamHi() == LVC_REMOVESKIN &&
                        reinterpret_cast<TsSkinManager*>(m.LParam) == FCommonData->SkinManager();
  inherited::WndProc(m);
  if (removing) {
    SetColor(vcl::clActiveCaption);
    control_style_ -= vcl::csParentBackground;
  }
}

VCL_REGISTER(TsPanel) { cls.Prop(L"SkinData", &TsPanel::SkinData, &TsPanel::SetSkinData); }

VCL_REGISTER(TsDragBar) {
  cls.Prop(L"DraggedControl", &TsDragBar::DraggedControl, &TsDragBar::SetDraggedControl);
}
