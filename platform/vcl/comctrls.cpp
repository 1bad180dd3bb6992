// Page control and tab sheets.
#include "platform/vcl/comctrls.h"

#include <algorithm>

#include "platform/rtl/win.h"
#include <commctrl.h>

#include "platform/vcl/canvas.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/imagelist.h"

namespace vcl {

// Tab sheet.

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  control_style_ =
      TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csParentBackground};
  // The page control shows the active sheet only.
  visible_ = false;
  color_ = clBtnFace;
  brush_->SetColor(color_);
  align_ = alNone;
}

TTabSheet::~TTabSheet() {
  if (page_control_) page_control_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* v) {
  if (page_control_ == v) return;
  SetParent(v);  // the page control hears of it and takes the sheet in (or lets it go)
}

int TTabSheet::PageIndex() const {
  if (!page_control_) return -1;
  auto& p = page_control_->pages_;
  return static_cast<int>(std::find(p.begin(), p.end(), this) - p.begin());
}

void TTabSheet::SetPageIndex(int v) {
  if (!page_control_) return;
  auto& p = page_control_->pages_;
  auto it = std::find(p.begin(), p.end(), this);
  if (it == p.end()) return;
  p.erase(it);
  v = std::clamp(v, 0, static_cast<int>(p.size()));
  p.insert(p.begin() + v, this);
  page_control_->UpdateTabs();
}

int TTabSheet::TabIndex() const {
  if (!page_control_ || !tab_visible_) return -1;
  int i = 0;
  for (TTabSheet* s : page_control_->pages_) {
    if (s == this) return i;
    if (s->tab_visible_) ++i;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool v) {
  if (tab_visible_ == v) return;
  tab_visible_ = v;
  if (!page_control_) return;
  if (!v && page_control_->active_page_ == this && !IsLoading()) {
    TTabSheet* next = page_control_->FindNextPage(this, true, true);
    page_control_->SetActivePage(next != this ? next : nullptr);
  }
  page_control_->UpdateTabs();
}

void TTabSheet::SetImageIndex(int v) {
  image_index_ = v;
  if (page_control_) page_control_->UpdateTab(this);
}

void TTabSheet::CMTextChanged(TMessage&) {
  if (page_control_) page_control_->UpdateTab(this);
}

void TTabSheet::CMShowingChanged(TMessage& m) {
  TWinControl::CMShowingChanged(m);
  if (showing_) {
    if (OnShow) OnShow(this);
  } else if (OnHide && !IsDestroying()) {
    OnHide(this);
  }
}

// Page control.

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
  control_style_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  tab_stop_ = true;
  color_ = clBtnFace;
  brush_->SetColor(color_);
  canvas_ = new TCanvas();
  SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = nullptr;
  delete canvas_;
  canvas_ = nullptr;
  for (TTabSheet* s : pages_) s->page_control_ = nullptr;
  pages_.clear();
  active_page_ = nullptr;
}

void TPageControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_TABCONTROLW);
  p.Style |= WS_CLIPCHILDREN;
  p.Style |= style_ == tsTabs ? TCS_TABS : style_ == tsButtons ? TCS_BUTTONS : TCS_BUTTONS | TCS_FLATBUTTONS;
  if (hot_track_) p.Style |= TCS_HOTTRACK;
  if (multi_line_) p.Style |= TCS_MULTILINE;
  if (tab_position_ == tpBottom) p.Style |= TCS_BOTTOM;
  if (tab_position_ == tpLeft) p.Style |= TCS_VERTICAL | TCS_MULTILINE;
  if (tab_position_ == tpRight) p.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE;
  if (tab_width_ > 0) p.Style |= TCS_FIXEDWIDTH;
  if (owner_draw_) p.Style |= TCS_OWNERDRAWFIXED;
  p.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
  p.Caption.clear();
}

void TPageControl::InitializeWnd() {
  TWinControl::InitializeWnd();
  UpdateImages();
  UpdateTabSize();
  UpdateTabs();
  Realign();
}

void TPageControl::InsertPage(TTabSheet* page) {
  if (std::find(pages_.begin(), pages_.end(), page) != pages_.end()) return;
  pages_.push_back(page);
  page->page_control_ = this;
  page->align_ = alNone;
  UpdateTabs();
  Realign();
}

void TPageControl::RemovePage(TTabSheet* page) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  TTabSheet* next = active_page_ == page && !IsDestroying() ? FindNextPage(page, true, true) : nullptr;
  pages_.erase(it);
  page->page_control_ = nullptr;
  if (active_page_ == page) {
    active_page_ = nullptr;
    if (next && next != page) SetActivePage(next);
  }
  if (!IsDestroying()) UpdateTabs();
}

void TPageControl::UpdateTabs() {
  if (!handle_) return;
  updating_tabs_ = true;
  SendMessageW(handle_, TCM_DELETEALLITEMS, 0, 0);
  int i = 0;
  for (TTabSheet* s : pages_) {
    if (!s->tab_visible_) continue;
    String caption = s->Caption();
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = caption.data();
    item.iImage = s->image_index_;
    SendMessageW(handle_, TCM_INSERTITEMW, static_cast<WPARAM>(i++), reinterpret_cast<LPARAM>(&item));
  }
  int sel = active_page_ ? active_page_->TabIndex() : -1;
  SendMessageW(handle_, TCM_SETCURSEL, static_cast<WPARAM>(sel), 0);
  updating_tabs_ = false;
  // The tabs may take more or fewer rows now.
  Realign();
}

void TPageControl::UpdateTab(TTabSheet* page) {
  int i = page->TabIndex();
  if (!handle_ || i < 0) return;
  String caption = page->Caption();
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = caption.data();
  item.iImage = page->image_index_;
  SendMessageW(handle_, TCM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}

void TPageControl::AdjustClientRect(TRect& rect) {
  if (handle_) {
    RECT r = rect;
    SendMessageW(handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    rect = TRect(r);
  } else {
    // Before the window exists: room for one row of tabs and the frame.
    rect = Rect(rect.Left + 4, rect.Top + 24, rect.Right - 4, rect.Bottom - 4);
  }
  if (rect.Right < rect.Left) rect.Right = rect.Left;
  if (rect.Bottom < rect.Top) rect.Bottom = rect.Top;
}

void TPageControl::AlignControls(TControl* control, TRect& rect) {
  for (TTabSheet* s : pages_) s->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  TWinControl::AlignControls(control, rect);
}

void TPageControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TTabSheet* page : pages_)
    if (page->Owner() == root) proc(page);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == root && std::find(pages_.begin(), pages_.end(), c) == pages_.end()) proc(c);
  }
}

void TPageControl::Loaded() {
  TWinControl::Loaded();
  // No sheet named as the active one: the first sheet with a tab is shown.
  if (!active_page_) {
    TTabSheet* first = FindNextPage(nullptr, true, true);
    if (first) SetActivePage(first);
  }
  ShowActivePage();
  UpdateTabs();
}

void TPageControl::ShowActivePage() {
  for (TTabSheet* s : pages_)
    if (s != active_page_ && s->visible_) s->SetVisible(false);
  if (active_page_) {
    active_page_->SetVisible(true);
    active_page_->BringToFront();
  }
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->page_control_ != this) return;
  if (page == active_page_) {
    if (page && !page->visible_ && !IsLoading()) ShowActivePage();
    return;
  }
  TTabSheet* old = active_page_;
  active_page_ = page;
  if (!IsLoading()) {
    HWND focus = GetFocus();
    bool hadFocus = old && old->handle_ && focus && (focus == old->handle_ || IsChild(old->handle_, focus));
    if (page) {
      page->SetVisible(true);
      page->BringToFront();
    }
    if (old) old->SetVisible(false);
    // Keys must not go on reaching a control on the sheet that went away: the page control takes the focus.
    if (hadFocus && CanFocus()) SetFocus();
  }
  if (handle_) SendMessageW(handle_, TCM_SETCURSEL, static_cast<WPARAM>(page ? page->TabIndex() : -1), 0);
}

int TPageControl::ActivePageIndex() const { return active_page_ ? active_page_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int v) {
  SetActivePage(v >= 0 && v < PageCount() ? pages_[static_cast<size_t>(v)] : nullptr);
}

int TPageControl::TabIndex() {
  if (handle_) return static_cast<int>(SendMessageW(handle_, TCM_GETCURSEL, 0, 0));
  return active_page_ ? active_page_->TabIndex() : -1;
}

void TPageControl::SetTabIndex(int v) {
  for (TTabSheet* s : pages_)
    if (s->TabIndex() == v && v >= 0) {
      SetActivePage(s);
      return;
    }
  SetActivePage(nullptr);
}

void TPageControl::SetTabPosition(TTabPosition v) {
  if (tab_position_ == v) return;
  tab_position_ = v;
  RecreateWnd();
}

void TPageControl::SetStyle(TTabStyle v) {
  if (style_ == v) return;
  style_ = v;
  // The system reads the tab style only when the window is made.
  if (handle_) RecreateWnd();
}

void TPageControl::SetHotTrack(bool v) {
  if (hot_track_ == v) return;
  hot_track_ = v;
  if (handle_) RecreateWnd();
}

void TPageControl::SetMultiLine(bool v) {
  if (multi_line_ == v) return;
  multi_line_ = v;
  RecreateWnd();
}

void TPageControl::SetImages(TCustomImageList* v) {
  if (images_ == v) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = v;
  if (images_) images_->FreeNotification(this);
  UpdateImages();
}

void TPageControl::UpdateImages() {
  if (!handle_) return;
  SendMessageW(handle_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  // The tabs are measured again with (or without) room for the pictures.
  if (!updating_tabs_) UpdateTabs();
}

void TPageControl::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == images_) {
    images_ = nullptr;
    UpdateImages();
  }
}

void TPageControl::SetTabWidth(int v) {
  v = std::max(v, 0);
  if (tab_width_ == v) return;
  const bool fixed = (tab_width_ > 0) != (v > 0);
  tab_width_ = v;
  // Only a fixed-width strip takes the width; the style is read when the window is made.
  if (fixed && handle_)
    RecreateWnd();
  else
    UpdateTabSize();
}

void TPageControl::SetTabHeight(int v) {
  v = std::max(v, 0);
  if (tab_height_ == v) return;
  tab_height_ = v;
  UpdateTabSize();
}

void TPageControl::UpdateTabSize() {
  if (!handle_) return;
  // Zero keeps the system's measure of that side.
  SendMessageW(handle_, TCM_SETITEMSIZE, 0, MAKELPARAM(tab_width_, tab_height_));
  if (!updating_tabs_) UpdateTabs();
}

void TPageControl::SetOwnerDraw(bool v) {
  if (owner_draw_ == v) return;
  owner_draw_ = v;
  if (handle_) RecreateWnd();
}

void TPageControl::DrawTab(int tabIndex, const TRect& rect, bool active) {
  if (OnDrawTab) {
    OnDrawTab(this, tabIndex, rect, active);
    return;
  }
  // Without a handler: the caption on the control's colour.
  canvas_->Brush()->SetColor(color_);
  canvas_->FillRect(rect);
  TTabSheet* page = nullptr;
  for (TTabSheet* s : pages_)
    if (s->TabIndex() == tabIndex) page = s;
  if (page) {
    RECT r = rect;
    String caption = page->Caption();
    SetBkMode(canvas_->Handle(), TRANSPARENT);
    DrawTextW(canvas_->Handle(), caption.c_str(), static_cast<int>(caption.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) {
  int n = PageCount();
  if (n == 0) return nullptr;
  auto it = std::find(pages_.begin(), pages_.end(), current);
  int start = it == pages_.end() ? (goForward ? n - 1 : 0) : static_cast<int>(it - pages_.begin());
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = goForward ? (i + 1) % n : (i - 1 + n) % n;
    TTabSheet* s = pages_[static_cast<size_t>(i)];
    if (!checkTabVisible || s->tab_visible_) return s;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
  TTabSheet* next = FindNextPage(active_page_, goForward, checkTabVisible);
  if (next && next != active_page_ && CanChange()) {
    SetActivePage(next);
    Change();
  }
}

bool TPageControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TPageControl::Change() {
  if (OnChange) OnChange(this);
}

void TPageControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (!dis) return;
      canvas_->Lock();
      canvas_->SetHandle(dis->hDC);
      canvas_->SetFont(font_);
      canvas_->Brush()->SetColor(color_);
      const int saved = SaveDC(dis->hDC);
      DrawTab(static_cast<int>(dis->itemID), TRect(dis->rcItem), (dis->itemState & ODS_SELECTED) != 0);
      RestoreDC(dis->hDC, saved);
      canvas_->SetHandle(nullptr);
      canvas_->Unlock();
      m.Result = 1;
      return;
    }
    case CM_CONTROLLISTCHANGE:
      if (auto* sheet = dynamic_cast<TTabSheet*>(reinterpret_cast<TControl*>(m.WParam))) {
        if (m.LParam)
          InsertPage(sheet);
        else
          RemovePage(sheet);
      }
      TWinControl::Dispatch(m);
      return;
    case CN_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      if (updating_tabs_) return;
      if (hdr->code == static_cast<UINT>(TCN_SELCHANGING)) {
        m.Result = CanChange() ? FALSE : TRUE;
        return;
      }
      if (hdr->code == static_cast<UINT>(TCN_SELCHANGE)) {
        int sel = static_cast<int>(SendMessageW(handle_, TCM_GETCURSEL, 0, 0));
        for (TTabSheet* s : pages_)
          if (s->TabIndex() == sel) {
            SetActivePage(s);
            break;
          }
        Change();
        return;
      }
      return;
    }
    default: TWinControl::Dispatch(m);
  }
}

VCL_REGISTER(TTabSheet) {
  cls.Prop(L"PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).Stored(false);
  cls.Prop(L"TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(true);
  cls.Prop(L"ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex).Default(-1);
  cls.Prop(L"OnShow", &TTabSheet::OnShow);
  cls.Prop(L"OnHide", &TTabSheet::OnHide);
}
VCL_REGISTER(TPageControl) {
  cls.Prop(L"ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
  cls.Prop(L"MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine).Default(false);
  cls.Prop(L"TabPosition", &TPageControl::TabPosition, &TPageControl::SetTabPosition).Default(tpTop);
  cls.Prop(L"TabIndex", &TPageControl::TabIndex, &TPageControl::SetTabIndex).Stored(false);
  cls.Prop(L"Images", &TPageControl::Images, &TPageControl::SetImages);
  cls.Prop(L"TabWidth", &TPageControl::TabWidth, &TPageControl::SetTabWidth).Default(0);
  cls.Prop(L"TabHeight", &TPageControl::TabHeight, &TPageControl::SetTabHeight).Default(0);
  cls.Prop(L"OwnerDraw", &TPageControl::OwnerDraw, &TPageControl::SetOwnerDraw).Default(false);
  cls.Prop(L"Style", &TPageControl::Style, &TPageControl::SetStyle).Default(tsTabs);
  cls.Prop(L"HotTrack", &TPageControl::HotTrack, &TPageControl::SetHotTrack).Default(false);
  cls.Prop(L"OnChange", &TPageControl::OnChange);
  cls.Prop(L"OnChanging", &TPageControl::OnChanging);
  cls.Prop(L"OnDrawTab", &TPageControl::OnDrawTab);
}

}  // namespace vcl
