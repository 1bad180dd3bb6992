// Panel texts carry their alignment the way the system's status window wants it (tabs before the text) and
// owner-drawn panels are painted through OnDrawPanel when the window asks.
#include "platform/vcl/statusbar.h"

#include <commctrl.h>

#include "platform/vcl/forms.h"
#include "platform/vcl/styles.h"

namespace vcl {

void TStatusPanel::SetText(const String& value) {
  if (text_ == value) return;
  text_ = value;
  Changed(false);
}
void TStatusPanel::SetWidth(int value) {
  if (width_ == value) return;
  width_ = value;
  Changed(true);
}
void TStatusPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Changed(false);
}
void TStatusPanel::SetStyle(TStatusPanelStyle value) {
  style_ = value;
  Changed(false);
}
void TStatusPanel::SetBevel(TStatusPanelBevel value) {
  bevel_ = value;
  Changed(false);
}
void TStatusPanel::Assign(const TPersistent* source) {
  if (auto* p = dynamic_cast<const TStatusPanel*>(source)) {
    text_ = p->text_;
    width_ = p->width_;
    alignment_ = p->alignment_;
    style_ = p->style_;
    bevel_ = p->bevel_;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(source);
}

TStatusPanels::TStatusPanels(TStatusBar* owner) : TCollection(TStatusPanel::StaticClass(), owner), bar_(owner) {}

void TStatusPanels::Update(TCollectionItem*) { bar_->UpdatePanels(); }

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) {
  panels_ = new TStatusPanels(this);
  canvas_ = new TCanvas();
  control_style_ = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  color_ = clBtnFace;
  parent_color_ = false;
  brush_->SetColor(color_);
  SetBounds(0, 0, 200, 19);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() {
  delete panels_;
  panels_ = nullptr;
  delete canvas_;
}

void TStatusBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, STATUSCLASSNAMEW);
  // Our alignment places the bar; the window must not move itself to the parent's bottom.
  p.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (size_grip_) p.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::InitializeWnd() {
  TWinControl::InitializeWnd();
  UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool value) {
  if (simple_panel_ == value) return;
  simple_panel_ = value;
  UpdatePanels();
}

void TStatusBar::SetSimpleText(const String& value) {
  simple_text_ = value;
  if (handle_) SendMessageW(handle_, SB_SETTEXTW, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(value.c_str()));
}

void TStatusBar::SetSizeGrip(bool value) {
  if (size_grip_ == value) return;
  size_grip_ = value;
  if (handle_) RecreateWnd();
}

void TStatusBar::UpdatePanels() {
  if (!handle_ || !panels_) return;
  TColor back = StyleServices().Enabled() && color_ == clBtnFace ? StyleServices().GetStyleColor(scStatusBar) : color_;
  SendMessageW(handle_, SB_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToGdi(back)));
  SendMessageW(handle_, SB_SIMPLE, simple_panel_ ? TRUE : FALSE, 0);
  if (simple_panel_) {
    SendMessageW(handle_, SB_SETTEXTW, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(simple_text_.c_str()));
    return;
  }
  int count = panels_->Count();
  std::vector<int> edges(static_cast<size_t>(std::max(count, 1)));
  int x = 0;
  for (int i = 0; i < count; ++i) {
    x += panels_->Items(i)->Width();
    // The last panel takes the rest of the bar.
    edges[static_cast<size_t>(i)] = i == count - 1 ? -1 : x;
  }
  if (count == 0) edges[0] = -1;
  SendMessageW(handle_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < count; ++i) {
    TStatusPanel* p = panels_->Items(i);
    WPARAM flags = static_cast<WPARAM>(i);
    if (p->Style() == psOwnerDraw) flags |= SBT_OWNERDRAW;
    if (p->Bevel() == pbNone) flags |= SBT_NOBORDERS;
    if (p->Bevel() == pbRaised) flags |= SBT_POPOUT;
    if (p->Style() == psOwnerDraw) {
      SendMessageW(handle_, SB_SETTEXTW, flags, reinterpret_cast<LPARAM>(p));
      continue;
    }
    String text = p->Text();
    if (p->Alignment() == taCenter) text = L"\t" + text;
    if (p->Alignment() == taRightJustify) text = L"\t\t" + text;
    SendMessageW(handle_, SB_SETTEXTW, flags, reinterpret_cast<LPARAM>(text.c_str()));
  }
  if (count == 0) SendMessageW(handle_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L""));
}

String TStatusBar::PanelTextShown(int index) {
  if (!handle_) return String();
  LRESULT info = SendMessageW(handle_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(index), 0);
  String text(static_cast<size_t>(LOWORD(info)) + 1, L'\0');
  SendMessageW(handle_, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(LOWORD(info)));
  size_t tabs = text.find_first_not_of(L'\t');
  return tabs == String::npos ? String() : text.substr(tabs);
}

TRect TStatusBar::PanelRect(int index) {
  RECT r{0, 0, 0, 0};
  if (handle_) SendMessageW(handle_, SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return TRect(r);
}

void TStatusBar::DrawPanel(TStatusPanel* panel, const TRect& rect) {
  if (OnDrawPanel) {
    OnDrawPanel(this, panel, rect);
  } else {
    canvas_->FillRect(rect);
  }
}

void TStatusBar::CallDrawPanel(HDC dc, int index, const TRect& rect) {
  if (!panels_ || index < 0 || index >= panels_->Count()) return;
  canvas_->Lock();
  canvas_->SetHandle(dc);
  canvas_->SetFont(font_);
  canvas_->Brush()->SetColor(color_);
  try {
    DrawPanel(panels_->Items(index), rect);
  } catch (...) {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
    throw;
  }
  canvas_->SetHandle(nullptr);
  canvas_->Unlock();
}

namespace {

void FillSolid(HDC dc, const RECT& r, TColor color) {
  HBRUSH b = CreateSolidBrush(ColorToGdi(color));
  FillRect(dc, &r, b);
  DeleteObject(b);
}

}  // namespace

void TStatusBar::PaintStyled(HDC dc) {
  const TCustomStyleServices& style = StyleServices();
  RECT client;
  ::GetClientRect(handle_, &client);
  TColor back = color_ == clBtnFace ? style.GetStyleColor(scStatusBar) : color_;
  FillSolid(dc, client, back);
  FillSolid(dc, RECT{client.left, client.top, client.right, client.top + 1}, style.GetStyleColor(scBorder));
  HGDIOBJ old_font = SelectObject(dc, font_->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToGdi(font_->Color() == clWindowText || font_->Color() == clBtnText
                                  ? style.GetStyleFontColor(sfPanelTextNormal)
                                  : font_->Color()));
  auto text_in = [&](const String& text, RECT r, TAlignment alignment) {
    InflateRect(&r, -3, 0);
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    if (alignment == taCenter) flags |= DT_CENTER;
    if (alignment == taRightJustify) flags |= DT_RIGHT;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  };
  int grip = size_grip_ ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  if (simple_panel_) {
    text_in(simple_text_, RECT{client.left + 2, client.top + 2, client.right - grip, client.bottom}, taLeftJustify);
  } else {
    for (int i = 0; i < panels_->Count(); ++i) {
      TStatusPanel* p = panels_->Items(i);
      RECT r = PanelRect(i);
      if (i == panels_->Count() - 1) r.right = client.right - grip;
      if (p->Bevel() != pbNone) {
        TColor light = p->Bevel() == pbLowered ? clBtnShadow : clBtnHighlight;
        TColor dark = p->Bevel() == pbLowered ? clBtnHighlight : clBtnShadow;
        FillSolid(dc, RECT{r.left, r.top, r.right, r.top + 1}, light);
        FillSolid(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, light);
        FillSolid(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, dark);
        FillSolid(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, dark);
      }
      RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
      if (p->Style() == psOwnerDraw) {
        SelectObject(dc, old_font);
        CallDrawPanel(dc, i, TRect(inner));
        SelectObject(dc, font_->Handle());
        continue;
      }
      text_in(p->Text(), inner, p->Alignment());
    }
  }
  SelectObject(dc, old_font);
  if (grip) {
    // The grip: three rows of small dots in the corner.
    int size = 2, x0 = client.right - 3, y0 = client.bottom - 3;
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col <= row; ++col) {
        int x = x0 - col * 4 - size, y = y0 - (row - col) * 4 - size;
        FillSolid(dc, RECT{x + 1, y + 1, x + size + 1, y + size + 1}, clBtnHighlight);
        FillSolid(dc, RECT{x, y, x + size, y + size}, clBtnShadow);
      }
  }
}

void TStatusBar::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      CallDrawPanel(dis->hDC, static_cast<int>(dis->itemID), TRect(dis->rcItem));
      m.Result = 1;
      return;
    }
    case WM_PAINT:
    case WM_PRINTCLIENT:
      if (StyleServices().Enabled() && handle_) {
        if (m.Msg == WM_PRINTCLIENT || m.WParam) {
          PaintStyled(reinterpret_cast<HDC>(m.WParam));
        } else {
          PAINTSTRUCT ps;
          HDC dc = BeginPaint(handle_, &ps);
          PaintStyled(dc);
          EndPaint(handle_, &ps);
        }
        m.Result = 0;
        return;
      }
      TWinControl::Dispatch(m);
      return;
    case WM_SIZE:
      TWinControl::Dispatch(m);
      UpdatePanels();
      return;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      TWinControl::Dispatch(m);
      UpdatePanels();
      return;
    default: TWinControl::Dispatch(m);
  }
}

VCL_REGISTER(TStatusPanel) {
  cls.Prop(L"Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify);
  cls.Prop(L"Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel).Default(pbLowered);
  cls.Prop(L"Style", &TStatusPanel::Style, &TStatusPanel::SetStyle).Default(psText);
  cls.Prop(L"Text", &TStatusPanel::Text, &TStatusPanel::SetText);
  cls.Prop(L"Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
}
VCL_REGISTER(TStatusPanels) {}
VCL_REGISTER(TStatusBar) {
  cls.Prop(L"Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
  cls.Prop(L"SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
  cls.Prop(L"SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
  cls.Prop(L"SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(true);
  cls.Prop(L"OnDrawPanel", &TStatusBar::OnDrawPanel);
}

}  // namespace vcl
