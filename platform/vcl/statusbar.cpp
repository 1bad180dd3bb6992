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

void TStatusBar::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      int index = static_cast<int>(dis->itemID);
      if (panels_ && index >= 0 && index < panels_->Count()) {
        canvas_->Lock();
        canvas_->SetHandle(dis->hDC);
        canvas_->SetFont(font_);
        canvas_->Brush()->SetColor(color_);
        try {
          DrawPanel(panels_->Items(index), TRect(dis->rcItem));
        } catch (...) {
          canvas_->SetHandle(nullptr);
          canvas_->Unlock();
          throw;
        }
        canvas_->SetHandle(nullptr);
        canvas_->Unlock();
      }
      m.Result = 1;
      return;
    }
    case WM_SIZE:
      TWinControl::Dispatch(m);
      UpdatePanels();
      return;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      TWinControl::Dispatch(m);
      UpdatePanels();
      return;
    default:
      TWinControl::Dispatch(m);
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
