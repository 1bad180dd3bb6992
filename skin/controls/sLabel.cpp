#include "skin/controls/sLabel.h"

#include <algorithm>

#include "platform/rtl/win.h"
#include "platform/vcl/application.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sDefaults.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"

std::function<void(const rtl::String& url, int showCommand)> lvShellOpen = [](const rtl::String& url, int show) {
  ShellExecuteW(vcl::Application ? vcl::Application->Handle() : nullptr, L"open", url.c_str(), nullptr, nullptr,
                show);
};

namespace {
// Set while the paint gives the font its section's colour: that font change must not start another paint.
bool FontChanging = false;
}  // namespace

TsCustomLabel::TsCustomLabel(vcl::TComponent* owner) : vcl::TCustomLabel(owner) { transparent_ = true; }

TsCustomLabel::~TsCustomLabel() {
  if (FSkinManager) RemoveFreeNotification(FSkinManager);
}

TsSkinManager* TsCustomLabel::SkinManager() const { return FSkinManager ? FSkinManager : DefaultManager; }

bool TsCustomLabel::SkinActive() const {
  TsSkinManager* m = SkinManager();
  return m && m->Active() && !m->gd.empty() && !m->ComponentState().Contains(vcl::csDestroying);
}

void TsCustomLabel::SetSkinManager(TsSkinManager* value) {
  if (value == FSkinManager) return;
  if (FSkinManager) RemoveFreeNotification(FSkinManager);
  FSkinManager = value;
  if (FSkinManager) FreeNotification(FSkinManager);
  Invalidate();
}

void TsCustomLabel::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  vcl::TCustomLabel::Notification(component, operation);
  if (operation == vcl::opRemove && component == FSkinManager) FSkinManager = nullptr;
}

void TsCustomLabel::SetSkinSection(const rtl::String& value) {
  if (value == FSkinSection) return;
  FSkinSection = value;
  Invalidate();
}

void TsCustomLabel::CMMouseEnter(vcl::TMessage& m) {
  if (OnMouseEnter) OnMouseEnter(this);
  vcl::TCustomLabel::CMMouseEnter(m);
}

void TsCustomLabel::CMMouseLeave(vcl::TMessage& m) {
  vcl::TCustomLabel::CMMouseLeave(m);
  if (OnMouseLeave) OnMouseLeave(this);
}

void TsCustomLabel::CMFontChanged(vcl::TMessage& m) {
  if (FontChanging) return;
  vcl::TCustomLabel::CMFontChanged(m);
}

vcl::TColor TsCustomLabel::DisabledColor(vcl::TColor color) {
  const vcl::TColor back = Parent() ? GetControlColor(Parent()) : vcl::clBtnFace;
  return MixColors(vcl::ColorToRGB(color), vcl::ColorToRGB(back), DefDisabledBlend);
}

void TsCustomLabel::WndProc(vcl::TMessage& message) {
  vcl::TCustomLabel::WndProc(message);
  // A parent that asks its children again would bring the question back here: asked once at a time.
  static bool asking = false;
  if (message.Msg == SM_LUMICMD && message.WParamHi() == LVC_GETFONTINDEX && message.LParam && !asking &&
      SkinActive() && Parent() && FSkinSection.empty()) {
    asking = true;
    message.Result = GetFontIndex(Parent(), reinterpret_cast<TlvPaintInfo*>(message.LParam));
    asking = false;
  }
}

vcl::TColor TsCustomLabel::TextColor() {
  if (!enabled_) return DisabledColor(font_->Color());
  return SkinActive() ? SkinManager()->Palette[pcLabelText] : font_->Color();
}

vcl::TColor TsLabel::TextColor() {
  TsSkinManager* m = SkinManager();
  if (!FUseSkinColor || !SkinActive()) return enabled_ ? font_->Color() : DisabledColor(font_->Color());
  const int own = FSkinSection.empty() ? -1 : m->GetSkinIndex(FSkinSection);
  const int idx = GetFontIndex(this, own, m, 0);
  vcl::TColor c = m->IsValidSkinIndex(idx) ? m->gd[static_cast<size_t>(idx)].Props[0].FontColor.Color
                                            : m->Palette[pcLabelText];
  return enabled_ ? c : DisabledColor(c);
}

void TsCustomLabel::DoDrawText(vcl::TRect& r, unsigned flags) {
  rtl::String text = text_;
  if ((flags & DT_CALCRECT) && (text.empty() || text == L"&")) text += L" ";
  HDC dc = Canvas()->Handle();
  SelectObject(dc, font_->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, vcl::ColorToGdi(TextColor()));
  RECT rr = r;
  if (!(flags & DT_CALCRECT)) ApplyEllipsis(dc, text, rr, flags);
  if (!text.empty()) DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rr, flags);
  r = vcl::TRect(rr);
}

void TsCustomLabel::SetEllipsisPosition(TEllipsisPosition value) {
  if (value == FEllipsisPosition) return;
  FEllipsisPosition = value;
  Invalidate();
}

void TsCustomLabel::ApplyEllipsis(HDC dc, rtl::String& text, const RECT& r, unsigned& flags) const {
  if (FEllipsisPosition == epNone || auto_size_) return;
  flags &= ~static_cast<unsigned>(DT_EXPANDTABS);
  flags |= FEllipsisPosition == epPathEllipsis  ? DT_PATH_ELLIPSIS
           : FEllipsisPosition == epEndEllipsis ? DT_END_ELLIPSIS
                                                : DT_WORD_ELLIPSIS;
  if (!word_wrap_ || FEllipsisPosition == epPathEllipsis) return;
  SIZE dots{};
  GetTextExtentPoint32W(dc, L"...", 3, &dots);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  rtl::String rest = text, candidate = text;
  while (!rest.empty()) {
    RECT m = r;
    m.right -= dots.cx;
    DrawTextW(dc, candidate.c_str(), static_cast<int>(candidate.size()), &m, flags | DT_CALCRECT);
    const int measured = m.bottom - m.top;
    if (height_ >= measured || tm.tmHeight >= measured) break;
    // One word less (one character less when no blank is left).
    const size_t cut = rest.find_last_of(L" \t");
    rest.resize(cut == rtl::String::npos ? rest.size() - 1 : cut);
    candidate = rest + L"...";
  }
  text = rest.empty() ? rtl::String() : candidate;
}

void TsCustomLabel::Paint() {
  FSkinIndex = -1;
  vcl::TCanvas* c = Canvas();
  // Transparent is the skinned label's default; with a colour of its own the label still shows that colour.
  if (transparent_ && !parent_color_) {
    c->Brush()->SetStyle(vcl::bsSolid);
    c->Brush()->SetColor(color_);
    c->FillRect(ClientRect());
  }
  const bool active = SkinActive();
  if (!active && !dynamic_cast<TsHTMLLabel*>(this)) {
    if (FEllipsisPosition == epNone || auto_size_) {
      vcl::TCustomLabel::Paint();
      return;
    }
    // The platform's look, shortened.
    if (!transparent_) {
      c->Brush()->SetStyle(vcl::bsSolid);
      c->Brush()->SetColor(color_);
      c->FillRect(ClientRect());
    }
    HDC dc = c->Handle();
    SelectObject(dc, font_->Handle());
    SetBkMode(dc, TRANSPARENT);
    rtl::String t = text_;
    RECT rr = ClientRect();
    unsigned flags = DrawFlags();
    ApplyEllipsis(dc, t, rr, flags);
    if (t.empty()) return;
    if (!enabled_) {
      OffsetRect(&rr, 1, 1);
      SetTextColor(dc, vcl::ColorToGdi(vcl::clBtnHighlight));
      DrawTextW(dc, t.c_str(), static_cast<int>(t.size()), &rr, flags);
      OffsetRect(&rr, -1, -1);
      SetTextColor(dc, vcl::ColorToGdi(vcl::clBtnShadow));
    } else {
      SetTextColor(dc, vcl::ColorToGdi(font_->Color()));
    }
    DrawTextW(dc, t.c_str(), static_cast<int>(t.size()), &rr, flags);
    return;
  }
  TsSkinManager* m = SkinManager();
  if (active && !FSkinSection.empty() && !ComponentState().Contains(vcl::csDestroying) && !FontChanging) {
    FSkinIndex = m->GetSkinIndex(FSkinSection);
    if (FSkinIndex >= 0) {
      const vcl::TColor sc = m->gd[static_cast<size_t>(FSkinIndex)].Props[0].FontColor.Color;
      if (sc != font_->Color()) {
        FontChanging = true;
        font_->SetColor(sc);
        FontChanging = false;
      }
    }
  }
  // The first section of a skin is never painted as a background.
  if (active && FSkinIndex > 0 && Parent()) {
    TlvBGInfo bg;
    GetBGInfo(bg, Parent(), false);
    TCacheInfo ci = BGInfoToCI(bg);
    PaintItem(FSkinIndex, ci, true, 0, vcl::Rect(0, 0, width_, height_), vcl::TPoint(left_, top_), c->Handle(), m);
  }
  if (!transparent_) {
    c->Brush()->SetStyle(vcl::bsSolid);
    c->Brush()->SetColor(color_);
    c->FillRect(ClientRect());
  }
  vcl::TRect r = ClientRect();
  DoDrawText(r, DrawFlags());
  FSkinIndex = -1;
}

void TsLabel::SetUseSkinColor(bool value) {
  if (value == FUseSkinColor) return;
  FUseSkinColor = value;
  Invalidate();
}

// The markup label.

TsHTMLLabel::TsHTMLLabel(vcl::TComponent* owner) : TsLabel(owner) {}

void TsHTMLLabel::SetUseHTML(bool value) {
  if (value == FUseHTML) return;
  FUseHTML = value;
  if (value) {
    FitToMarkup();
  } else {
    // Plain text has no links; an auto-sized label takes the plain text's size again.
    Links.clear();
    HotLink = PressedLink = -1;
    if (auto_size_ && !IsLoading()) AdjustBounds();
  }
  Invalidate();
}

rtl::String TsHTMLLabel::PlainCaption() const {
  rtl::String s = text_;
  for (;;) {
    const size_t lt = s.find(L'<');
    if (lt == rtl::String::npos || lt + 1 >= s.size()) break;
    const size_t gt = s.find(L'>', lt + 1);
    if (gt == rtl::String::npos) break;
    s.erase(lt, gt - lt + 1);
  }
  return s;
}

void TsHTMLLabel::DoClick(int linkIndex) {
  if (linkIndex < 0 || linkIndex >= static_cast<int>(Links.size())) return;
  const rtl::String& url = Links[static_cast<size_t>(linkIndex)].URL;
  if (!url.empty() && lvShellOpen) lvShellOpen(url, static_cast<int>(FShowMode));
}

int TsHTMLLabel::LinkAt(vcl::TPoint p) const {
  for (size_t i = 0; i < Links.size(); ++i)
    if (Links[i].Bounds.Contains(p)) return static_cast<int>(i);
  return -1;
}

void TsHTMLLabel::DoDrawText(vcl::TRect& r, unsigned flags) {
  if (!FUseHTML || text_.empty()) {
    TsLabel::DoDrawText(r, flags);
    return;
  }
  auto bmp = CreateBmp32(std::max(width_, 1), std::max(height_, 1));
  bmp->Canvas()->Font()->Assign(font_);
  bmp->Canvas()->Font()->SetColor(TextColor());
  bmp->Canvas()->Brush()->SetStyle(vcl::bsClear);
  TsHtml html;
  html.SkinManager = SkinManager();
  if (flags & DT_CALCRECT) {
    html.Init(bmp.get(), text_, -1, -1, vcl::Rect(0, 0, 0, 0));
    r = html.HTMLText(Links, true);
    return;
  }
  html.Init(bmp.get(), text_, PressedLink, HotLink, r);
  if (alignment_ != vcl::taLeftJustify) {
    const vcl::TRect m = html.HTMLText(Links, true);
    const int b = m.Width();
    const int left = alignment_ == vcl::taRightJustify ? r.Right - b : (r.Width() - b) / 2;
    html.Area = vcl::TRect(left, r.Top, left + b, r.Bottom);
    html.CurX = left;
    html.CurY = r.Top;
  }
  HDC dc = Canvas()->Handle();
  BitBlt(bmp->Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(), dc, 0, 0, SRCCOPY);
  html.HTMLText(Links, false);
  GdiFlush();
  BitBlt(dc, 0, 0, bmp->Width(), bmp->Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsHTMLLabel::FitToMarkup() {
  if (!auto_size_ || !FUseHTML || IsLoading() || text_.empty()) return;
  auto bmp = CreateBmp32(1, 1);
  bmp->Canvas()->Font()->Assign(font_);
  TsHtml html;
  html.Init(bmp.get(), text_, -1, -1, vcl::Rect(0, 0, 0, 0));
  TlvLinks links;
  const vcl::TRect r = html.HTMLText(links, true);
  SetBounds(left_, top_, std::max(r.Right, 1), std::max(r.Bottom, 1));
}

void TsHTMLLabel::CMTextChanged(vcl::TMessage& m) {
  TsLabel::CMTextChanged(m);
  FitToMarkup();
}

void TsHTMLLabel::CMFontChanged(vcl::TMessage& m) {
  if (FontChanging) return;
  TsLabel::CMFontChanged(m);
  FitToMarkup();
}

void TsHTMLLabel::WndProc(vcl::TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEMOVE: {
      const int i = LinkAt(vcl::TPoint(static_cast<short>(LOWORD(message.LParam)),
                                       static_cast<short>(HIWORD(message.LParam))));
      if (i < 0 && HotLink >= 0) {
        HotLink = -1;
        SetCursor(vcl::crDefault);
        Invalidate();
      } else if (i >= 0 && i != HotLink) {
        HotLink = i;
        SetCursor(vcl::crHandPoint);
        Invalidate();
      }
      break;
    }
    case WM_LBUTTONDOWN:
      if (HotLink >= 0) {
        PressedLink = HotLink;
        Invalidate();
      }
      break;
    case WM_LBUTTONUP:
      if (PressedLink >= 0) {
        const int pressed = PressedLink;
        // A release over some link opens the link the press was on.
        if (HotLink >= 0) DoClick(pressed);
        PressedLink = -1;
        Invalidate();
      }
      break;
    case WM_MOUSELEAVE:
    case vcl::CM_MOUSELEAVE:
      if (HotLink >= 0 || PressedLink >= 0) {
        HotLink = PressedLink = -1;
        SetCursor(vcl::crDefault);
        Invalidate();
      }
      break;
    default:
      break;
  }
  TsLabel::WndProc(message);
}

VCL_REGISTER(TsCustomLabel) {
  cls.Prop(L"Transparent", &TsCustomLabel::Transparent, &TsCustomLabel::SetTransparent).Default(true);
  cls.Prop(L"SkinManager", &TsCustomLabel::SkinManager, &TsCustomLabel::SetSkinManager)
      .Stored(&TsCustomLabel::IsSkinManagerStored);
  cls.Prop(L"SkinSection", &TsCustomLabel::SkinSection, &TsCustomLabel::SetSkinSection);
  cls.Prop(L"EllipsisPosition", &TsCustomLabel::EllipsisPosition, &TsCustomLabel::SetEllipsisPosition)
      .Default(epNone);
  cls.Prop(L"OnMouseEnter", &TsCustomLabel::OnMouseEnter);
  cls.Prop(L"OnMouseLeave", &TsCustomLabel::OnMouseLeave);
}

VCL_REGISTER(TsLabel) { cls.Prop(L"UseSkinColor", &TsLabel::UseSkinColor, &TsLabel::SetUseSkinColor).Default(true); }

VCL_REGISTER(TsHTMLLabel) {
  cls.Prop(L"UseHTML", &TsHTMLLabel::UseHTML, &TsHTMLLabel::SetUseHTML).Default(true);
  cls.Prop(L"ShowMode", &TsHTMLLabel::ShowMode, &TsHTMLLabel::SetShowMode).Default(soDefault);
  cls.Prop(L"PlainCaption", &TsHTMLLabel::PlainCaption).Stored(false);
}
