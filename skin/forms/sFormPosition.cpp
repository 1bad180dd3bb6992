// The skinned form as a whole window: the system commands, moving and sizing by a drawn frame (rmBorder), snapping
// to the work area and to other forms, and glued forms that follow their master.
#include <algorithm>
#include <vector>

#include "platform/vcl/application.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sWndUtils.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sWindowAnims.h"

namespace {

// The drawn-frame drag: one at a time (the mouse is captured), so shared by all forms.
bool bMode = false;  // True: moving, False: sizing
int nDirection = 0;  // the dragged edge as a hit code (HTLEFT .. HTBOTTOMRIGHT), 0: bottom-right
int nleft = 0, ntop = 0, nright = 0, nbottom = 0, nX = 0, nY = 0, nMinWidth = 0, nMinHeight = 0;
HWND deskwnd = nullptr;
HDC formDC = nullptr;
int nDC = 0;

struct TlvFormsCouple {
  vcl::TForm* Slave;
  vcl::TForm* Master;
  vcl::TPoint Pos;  // the slave's offset from the master's top-left
};
std::vector<TlvFormsCouple> GluedArray;

void DelFromGluedArray(vcl::TForm* slave) {
  std::erase_if(GluedArray, [&](const TlvFormsCouple& c) { return c.Slave == slave; });
}

vcl::TRect WindowRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return vcl::TRect(r.left, r.top, r.right, r.bottom);
}

// The dragged frame, drawn in inverted pixels (drawing it twice takes it away).
void DrawFormBorder(int left, int top, int right, int bottom) {
  if (!formDC) return;
  HGDIOBJ oldBrush = SelectObject(formDC, GetStockObject(NULL_BRUSH));
  HGDIOBJ oldPen = SelectObject(formDC, GetStockObject(BLACK_PEN));
  for (int i = 0; i < 3; ++i) Rectangle(formDC, left + i, top + i, right - i, bottom - i);
  SelectObject(formDC, oldPen);
  SelectObject(formDC, oldBrush);
}

void DrawDragFrame(vcl::TForm* form) {
  if (bMode)
    DrawFormBorder(nleft, ntop, nleft + form->Width(), ntop + form->Height());
  else
    DrawFormBorder(nleft, ntop, nright, nbottom);
}

// The smallest window the form accepts, as it tells the system.
vcl::TSize MinTrackSize(HWND w) {
  MINMAXINFO info{};
  info.ptMinTrackSize.x = GetSystemMetrics(SM_CXMINTRACK);
  info.ptMinTrackSize.y = GetSystemMetrics(SM_CYMINTRACK);
  info.ptMaxTrackSize.x = GetSystemMetrics(SM_CXMAXTRACK);
  info.ptMaxTrackSize.y = GetSystemMetrics(SM_CYMAXTRACK);
  SendMessageW(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return vcl::TSize(std::max<LONG>(0, info.ptMinTrackSize.x), std::max<LONG>(0, info.ptMinTrackSize.y));
}

int HandleEdge(int value, int edge, int buffer) {
  return value >= edge - buffer && value <= edge + buffer ? value - edge : 0;
}

bool Overlap(int a1, int a2, int b1, int b2) { return a1 < b2 && b1 < a2; }

}  // namespace

std::vector<vcl::TForm*> GluedSlaves(vcl::TForm* master) {
  std::vector<vcl::TForm*> slaves;
  for (const TlvFormsCouple& c : GluedArray)
    if (c.Master == master && c.Slave) slaves.push_back(c.Slave);
  return slaves;
}

// ---- The drawn-frame drag ----------------------------------------------------------------------------------------

void TsSkinProvider::StartMove(int x, int y) {
  if (FResizeMode != rmBorder || !Form->Enabled()) return;
  bInProcess = true;
  deskwnd = GetDesktopWindow();
  formDC = GetWindowDC(deskwnd);
  nDC = SaveDC(formDC);
  SetROP2(formDC, R2_NOT);
  const vcl::TRect r = WindowRect(Form->Handle());
  ntop = r.Top;
  nleft = r.Left;
  // The press is where the drag starts from (for sizing too: the first move must not be lost).
  nX = x;
  nY = y;
  if (!bMode) {
    const vcl::TSize min = MinTrackSize(Form->Handle());
    nMinWidth = min.cx;
    nMinHeight = min.cy;
    nbottom = r.Bottom;
    nright = r.Right;
  }
  DrawDragFrame(Form);
}

void TsSkinProvider::StopMove(int, int) {
  if (FResizeMode != rmBorder) return;
  ReleaseCapture();
  bInProcess = false;
  DrawDragFrame(Form);
  if (formDC) {
    RestoreDC(formDC, nDC);
    ReleaseDC(deskwnd, formDC);
    formDC = nullptr;
  }
  if (bMode)
    MoveWindow(Form->Handle(), nleft, ntop, Form->Width(), Form->Height(), TRUE);
  else if (!bCapture)
    MoveWindow(Form->Handle(), nleft, ntop, nright - nleft, nbottom - ntop, TRUE);
  bCapture = false;
}

void TsSkinProvider::StartMoveForm() {
  if (!FormActive) {
    FormActive = true;
    FCommonData->BGChanged = true;
  }
  if (Form->CanFocus()) Form->SetFocus();
  StartBlendOnMoving(this, true);
}

namespace {

// One mouse move of the drawn-frame drag; (a, b) on the screen.
void DragTo(TsSkinProvider* sp, int a, int b) {
  vcl::TForm* form = sp->Form;
  const vcl::TRect r = WindowRect(form->Handle());
  if (bMode) {
    sp->bCapture = false;
    if (!sp->bInProcess) return;
    DrawDragFrame(form);
    nleft += a - nX;
    ntop += b - nY;
    nX = a;
    nY = b;
    DrawDragFrame(form);
    return;
  }
  sp->bCapture = false;
  if (!sp->bInProcess) return;
  DrawDragFrame(form);
  const int top = b + r.Top - nY, left = a + r.Left - nX;
  const int bottom = b + r.Bottom - nY, right = a + r.Right - nX;
  const bool t = nDirection == HTTOP || nDirection == HTTOPLEFT || nDirection == HTTOPRIGHT;
  const bool l = nDirection == HTLEFT || nDirection == HTTOPLEFT || nDirection == HTBOTTOMLEFT;
  const bool bo = nDirection == HTBOTTOM || nDirection == HTBOTTOMLEFT || nDirection == HTBOTTOMRIGHT ||
                  !(nDirection >= HTLEFT && nDirection <= HTBOTTOMRIGHT);
  const bool ri = nDirection == HTRIGHT || nDirection == HTTOPRIGHT || nDirection == HTBOTTOMRIGHT ||
                  !(nDirection >= HTLEFT && nDirection <= HTBOTTOMRIGHT);
  if (t) ntop = std::min(top, nbottom - nMinHeight);
  if (l) nleft = std::min(left, nright - nMinWidth);
  if (bo) nbottom = std::max(bottom, r.Top + nMinHeight);
  if (ri) nright = std::max(right, r.Left + nMinWidth);
  DrawDragFrame(form);
}

}  // namespace

// ---- Snapping ----------------------------------------------------------------------------------------------------

vcl::TRect TsSkinProvider::LimitRect(int offset, const vcl::TRect& r, bool grow) {
  if (!BorderForm || !SkinManager()) return r;
  const TsSkinData& d = *SkinManager()->CommonSkinData;
  const int s = grow ? 1 : -1;
  return vcl::TRect(r.Left - s * (offset + d.ExShadowOffs), r.Top - s * (DiffTitle(BorderForm) + d.ExShadowOffsT),
                    r.Right + s * (offset + d.ExShadowOffsR), r.Bottom + s * (offset + d.ExShadowOffsB));
}

vcl::TSize TsSkinProvider::CheckEdges(const vcl::TRect& e, const vcl::TRect& r, int x, int y) {
  vcl::TSize d(HandleEdge(x, e.Left, FSnapBuffer), HandleEdge(y, e.Top, FSnapBuffer));
  if (d.cx == 0) d.cx = HandleEdge(x + r.Width(), e.Right, FSnapBuffer);
  if (d.cy == 0) d.cy = HandleEdge(y + r.Height(), e.Bottom, FSnapBuffer);
  return d;
}

void TsSkinProvider::CheckNewPosition(int& x, int& y) {
  if (FormState & FS_POSCHANGING) return;
  DelFromGluedArray(Form);
  const vcl::TRect w = lvWorkRect(Form);
  const vcl::TRect cur = WindowRect(Form->Handle());
  // The overlap tests look at the place the form is going to, not the one it leaves.
  const vcl::TRect r(x, y, x + cur.Width(), y + cur.Height());
  vcl::TSize d(0, 0);
  const int diff = DiffBorder(BorderForm);
  auto fill = [&](const vcl::TSize& s) {
    if (d.cx == 0) d.cx = s.cx;
    if (d.cy == 0) d.cy = s.cy;
  };
  for (vcl::TCustomForm* cf : HookedComponents) {
    auto* f = dynamic_cast<vcl::TForm*>(cf);
    if (!f || f == Form || !f->HandleAllocated() || !IsWindowVisible(f->Handle()) || Linked(f)) continue;
    const vcl::TRect o = LimitRect(diff, WindowRect(f->Handle()), true);
    const vcl::TRect strips[] = {
        vcl::TRect(w.Left, o.Top, o.Left, o.Bottom), vcl::TRect(o.Left, w.Top, o.Right, o.Top),
        vcl::TRect(o.Right, o.Top, w.Right, o.Bottom), vcl::TRect(o.Left, o.Bottom, o.Right, w.Bottom)};
    for (int i = 0; i < 4 && (d.cx == 0 || d.cy == 0); ++i) {
      const vcl::TRect s = LimitRect(diff, strips[i], false);
      const bool horizontal = i == 1 || i == 3;
      if (horizontal ? !Overlap(r.Left, r.Right, s.Left, s.Right) : !Overlap(r.Top, r.Bottom, s.Top, s.Bottom))
        continue;
      fill(CheckEdges(s, r, x, y));
    }
    if (d.cx != 0 && d.cy != 0) break;
  }
  if (d.cx == 0 || d.cy == 0) fill(CheckEdges(LimitRect(diff, w, false), r, x, y));
  x -= d.cx;
  y -= d.cy;
}

// ---- Glued forms -------------------------------------------------------------------------------------------------

rtl::TStringList* TsSkinProvider::GluedForms() {
  if (!FGluedForms) FGluedForms = std::make_unique<rtl::TStringList>();
  return FGluedForms.get();
}

void TsSkinProvider::SetGluedForms(rtl::TStringList* value) {
  GluedForms()->Clear();
  if (value)
    for (int i = 0; i < value->Count(); ++i) FGluedForms->Add(value->Strings(i));
}

bool TsSkinProvider::Linked(vcl::TForm* form) {
  return std::any_of(GluedArray.begin(), GluedArray.end(),
                     [&](const TlvFormsCouple& c) { return c.Master == Form && c.Slave == form; });
}

void TsSkinProvider::UpdateSlaveFormsList() {
  if (!FGluedForms || !Form->HandleAllocated()) return;
  const int diff = DiffBorder(BorderForm);
  for (int n = 0; n < FGluedForms->Count(); ++n) {
    const rtl::String name = FGluedForms->Strings(n);
    for (vcl::TCustomForm* cf : HookedComponents) {
      auto* f = dynamic_cast<vcl::TForm*>(cf);
      if (!f || f == Form || f->Name() != name || !f->HandleAllocated() || !IsWindowVisible(f->Handle())) continue;
      const vcl::TRect m = LimitRect(diff, WindowRect(Form->Handle()), true);
      const vcl::TRect s = LimitRect(diff, WindowRect(f->Handle()), true);
      const bool touch = s.Top == m.Bottom || s.Left == m.Right || m.Top == s.Bottom || m.Left == s.Right;
      if (!touch) continue;
      auto it = std::find_if(GluedArray.begin(), GluedArray.end(),
                             [&](const TlvFormsCouple& c) { return c.Slave == f && c.Master == Form; });
      if (it == GluedArray.end()) it = GluedArray.insert(GluedArray.end(), TlvFormsCouple{f, Form, {}});
      const vcl::TRect sr = WindowRect(f->Handle()), mr = WindowRect(Form->Handle());
      it->Pos = vcl::TPoint(sr.Left - mr.Left, sr.Top - mr.Top);
    }
  }
}

void TsSkinProvider::MoveGluedForms(bool fromBorderForm) {
  if ((FormState & FS_POSCHANGING) || !FGluedForms || !Form->HandleAllocated()) return;
  vcl::TPoint base = FormLeftTop();
  if (fromBorderForm && BorderForm) {
    // The border window reports its own place: the form lies inside it by the frame and shadow.
    const vcl::TRect sh = ShadowSize();
    base.X += sh.Left + DiffBorder(BorderForm);
    base.Y += sh.Top + DiffTitle(BorderForm);
  }
  for (int n = 0; n < FGluedForms->Count(); ++n) {
    const rtl::String name = FGluedForms->Strings(n);
    // A copy: a slave that moves may change the array.
    const std::vector<TlvFormsCouple> couples = GluedArray;
    for (const TlvFormsCouple& c : couples) {
      if (c.Master != Form || c.Slave->Name() != name || !c.Slave->HandleAllocated()) continue;
      const HWND s = c.Slave->Handle();
      SendMessageW(s, SM_LUMICMD, MakeLumiWParam(LVC_SETPOSCHANGING), 1);
      SetWindowPos(s, nullptr, base.X + c.Pos.X, base.Y + c.Pos.Y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
      SendMessageW(s, SM_LUMICMD, MakeLumiWParam(LVC_SETPOSCHANGING), 0);
    }
  }
}

TsSkinProvider::TlvGlueLink::~TlvGlueLink() {
  vcl::TForm* f = Owner->Form;
  std::erase_if(GluedArray, [&](const TlvFormsCouple& c) { return c.Slave == f || c.Master == f; });
}

// ---- Window commands ---------------------------------------------------------------------------------------------

namespace {

// The frame of the MDI main form follows a change of its maximised child (its menu line shows the child's buttons).
void UpdateMainForm(bool full) {
  auto* main = dynamic_cast<TsSkinProvider*>(MDISkinProvider);
  if (!main || !main->Form->HandleAllocated()) return;
  main->SkinData()->BGChanged = true;
  main->MenuChanged = true;
  main->FLinesCount = -1;
  if (main->Form->ClientHandle())
    RedrawWindow(main->Form->ClientHandle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME | (full ? RDW_UPDATENOW : 0));
  main->ProcessMessage(WM_NCPAINT, 1, 0);
}

}  // namespace

bool TsSkinProvider::MinimizeAnimated(vcl::TMessage& m) {
  TsSkinManager* manager = SkinManager();
  const bool mainForm = vcl::Application && Form == vcl::Application->MainForm();
  // The system's own window animation would run beside the skin's: it is off while the form's procedure acts.
  auto withoutSystemAnimation = [&](auto&& action) {
    const bool was = lvGetAnimation();
    lvSetAnimation(false);
    action();
    lvSetAnimation(was);
  };
  switch (LOWORD(m.WParam)) {
    case SC_MINIMIZE:
      if (mainForm || !manager || !manager->AnimEffects()->Minimizing()->Active()) return false;
      withoutSystemAnimation([&] {
        StartMinimizing(this);
        OldWndProc(m);
      });
      return true;
    case SC_MAXIMIZE:
      if (Form->Parent() || !dynamic_cast<TlvMinTimer*>(FormTimer.get()) || !IsIconic()) return false;
      FormState |= FS_ZOOMING;
      withoutSystemAnimation([&] {
        StartRestoring(this);
        OldWndProc(m);
      });
      FormState &= ~FS_ZOOMING;
      return true;
    case SC_RESTORE:
      // Without a minimise timer nothing was animated: the ordinary restore follows.
      if (!IsIconic() || !dynamic_cast<TlvMinTimer*>(FormTimer.get()) ||
          (mainForm && !(vcl::Application && vcl::Application->MainFormOnTaskbar())))
        return false;
      withoutSystemAnimation([&] {
        StartRestoring(this);
        RgnChanged = true;
        OldWndProc(m);
      });
      return true;
    default:
      return false;
  }
}

void TsSkinProvider::LV_WMSysCommand(vcl::TMessage& m) {
  const bool mdiChild = Form->FormStyle() == vcl::fsMDIChild;
  const UINT cmd = static_cast<UINT>(m.WParam & 0xFFF0);
  if (!mdiChild && LOWORD(m.WParam) == 0xF012) Form->Repaint();
  if (!mdiChild && MinimizeAnimated(m)) return;
  // The drawn-frame mode moves and sizes with its own frame; the system's loop is not entered.
  if (FResizeMode == rmBorder && Form->Enabled() && !bInProcess && (cmd == SC_MOVE || cmd == SC_SIZE)) {
    POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
    if (m.LParam == 0) GetCursorPos(&p);
    SetCapture(Form->Handle());
    bCapture = true;
    bMode = cmd == SC_MOVE;
    // The edge comes with the command (SC_SIZE + WMSZ_LEFT .. WMSZ_BOTTOMRIGHT, hit codes 10 .. 17 in order).
    const int wmsz = static_cast<int>(m.WParam & 0xF);
    nDirection = !bMode && wmsz >= WMSZ_LEFT && wmsz <= WMSZ_BOTTOMRIGHT ? HTLEFT + wmsz - WMSZ_LEFT : 0;
    if (bMode) StartMoveForm();
    StartMove(p.x, p.y);
    m.Result = 0;
    return;
  }
  if (mdiChild) {
    auto* main = dynamic_cast<TsSkinProvider*>(MDISkinProvider);
    const bool zoomed = IsZoomed();
    switch (cmd) {
      case SC_MINIMIZE:
        OldWndProc(m);
        if (SystemMenu) SystemMenu->UpdateItems(true);
        FCommonData->BGChanged = true;
        UpdateMainForm(true);
        return;
      case SC_MAXIMIZE: {
        ChildProvider = this;
        const HWND w = Form->Handle();
        const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
        SetWindowLongPtrW(w, GWL_STYLE, style & ~WS_VISIBLE);
        OldWndProc(m);
        SetWindowLongPtrW(w, GWL_STYLE, GetWindowLongPtrW(w, GWL_STYLE) | (style & WS_VISIBLE));
        FCommonData->BGChanged = true;
        RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
        UpdateMainForm(true);
        if (SystemMenu) SystemMenu->UpdateItems(true);
        return;
      }
      case SC_CLOSE:
        if (main) main->InMenu = true;
        OldWndProc(m);
        if (main) main->InMenu = false;
        if (!Form->ComponentState().Contains(vcl::csDestroying)) SetHotHT(0, false);
        if (zoomed) UpdateMainForm(true);
        return;
      case SC_KEYMENU:
        // The keyboard menu belongs to the main form's menu line.
        return;
      case SC_RESTORE: {
        OldWndProc(m);
        FCommonData->BGChanged = true;
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
        if (main && main->Form)
          for (int i = 0; i < main->Form->MDIChildCount(); ++i) {
            vcl::TCustomForm* c = main->Form->MDIChildren(i);
            if (c == Form || !c->HandleAllocated()) continue;
            RedrawWindow(c->Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INTERNALPAINT);
          }
        UpdateMainForm(true);
        if (SystemMenu) SystemMenu->UpdateItems(true);
        return;
      }
      default:
        OldWndProc(m);
        return;
    }
  }
  if (Form->FormStyle() == vcl::fsMDIForm) {
    OldWndProc(m);
    if (m.WParam == SC_MINIMIZE || m.WParam == SC_MAXIMIZE || m.WParam == SC_RESTORE) {
      FCommonData->BGChanged = true;
      FLinesCount = -1;
      ProcessMessage(WM_NCPAINT, 1, 0);
    }
    return;
  }
  if (m.WParam == SC_MAXIMIZE) FormState |= FS_ZOOMING;
  OldWndProc(m);
  if (m.WParam == SC_MAXIMIZE) FormState &= ~FS_ZOOMING;
  if (cmd == SC_KEYMENU && m.LParam == 32 && HaveSysMenu() && HaveBorder(this) && !Form->ComponentState().Contains(vcl::csDestroying))
    DropSysMenu(Form->Left() + SysBorderWidth(Form->Handle(), BorderForm, true),
                Form->Top() + BorderHeight(true) + TitleIconHeight(this) + (IsIconic() ? 16 : 0));
  if (m.WParam == SC_MAXIMIZE || m.WParam == SC_RESTORE) {
    if (SystemMenu && SystemMenu->VisibleMax()) CurrentHT = HTMAXBUTTON;
    SetHotHT(0, true);
  }
  if (m.WParam == SC_RESTORE && Form->HandleAllocated()) {
    FCommonData->BGChanged = true;
    if (HaveBorder(this))
      RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    else
      SetWindowRgn(Form->Handle(), nullptr, TRUE);
  }
}

void TsSkinProvider::LV_WMWindowPosChanging(vcl::TMessage& m) {
  auto* wp = reinterpret_cast<WINDOWPOS*>(m.LParam);
  if (RgnChanging || ComponentState().Contains(vcl::csLoading)) {
    FormState &= ~FS_ANIMCLOSING;
    OldWndProc(m);
    return;
  }
  if (wp && Form->HandleAllocated()) ShrinkBorderHole(*wp);
  if (wp && Form->HandleAllocated() && !IsZoomed() && !(wp->flags & SWP_NOMOVE) && (wp->x != 0 || wp->y != 0)) {
    if (FScreenSnap && Form->Showing()) CheckNewPosition(wp->x, wp->y);
    if (FormState & FS_MAXBOUNDS) {
      // The end of a maximise by one dimension: the saved height and top come back.
      if (FormState & FS_MAXHEIGHT) {
        if (Form->Top() == wp->y) {
          wp->cy -= NormalBounds.Top - Form->Top();
          wp->y = NormalBounds.Top;
        } else {
          wp->cy = NormalBounds.Top + NormalBounds.Bottom;
        }
      }
      FormState &= ~FS_MAXBOUNDS;
      m.Result = 0;
      return;
    }
  }
  OldWndProc(m);
}

void TsSkinProvider::ShrinkBorderHole(const WINDOWPOS& wp) {
  if (!BorderForm || wp.cx == 0 || wp.cy == 0 || !(wp.flags & SWP_NOACTIVATE) ||
      (wp.flags & (SWP_NOMOVE | SWP_NOSIZE)) || (FormState & FS_ANIMMINIMIZING))
    return;
  // A form whose window was made before the provider came has not had a size change yet: its client area is the
  // last one (an empty one would give the hole no size at all).
  if (LastClientRect.IsEmpty()) LastClientRect = vcl::TRect(0, 0, Form->ClientWidth(), Form->ClientHeight());
  // The client area the form is going to have: its frame keeps its size.
  const int clientWidth = wp.cx - (Form->Width() - Form->ClientWidth());
  const int clientHeight = wp.cy - (Form->Height() - Form->ClientHeight());
  if (clientWidth >= LastClientRect.Right && clientHeight >= LastClientRect.Bottom) return;
  if (IsIconic()) {
    BorderForm->UpdateExBordersPos(false, 255);
    return;
  }
  vcl::TForm* border = BorderForm->AForm;
  if (!border || !border->HandleAllocated()) return;
  // Until the border window follows, its hole would show what lies behind the form where the form no longer is.
  FormState |= FS_SIZING;
  SetWindowRgn(border->Handle(), BorderForm->MakeRgn(wp.cx, wp.cy), FALSE);
  SetWindowPos(Form->Handle(), border->Handle(), 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
  FormState &= ~FS_SIZING;
}

void TsSkinProvider::LV_WMGetMinMaxInfo(vcl::TMessage& m) {
  auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
  if (info && FDrawNonClientArea && HaveBorder(this) && Form->FormStyle() != vcl::fsMDIChild && !Form->Parent()) {
    const vcl::TRect w = lvWorkRect(Form);
    const int a = SysBorderWidth(Form->Handle(), nullptr, false);
    int c = 0;
    if (BorderForm && (GetWindowLongPtrW(Form->Handle(), GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
      FSysExHeight = (FormState & FS_ZOOMING) && ActualTitleHeight(true) > SysCaptHeight(Form) + 4;
      c = std::max(0, ActualTitleHeight(true) - SysCaptHeight(Form));
    }
    if (w.Width() > 0 && w.Height() > 0) {
      info->ptMaxPosition = POINT{-a, c - a};
      info->ptMaxSize = POINT{w.Width() + 2 * a, w.Height() + 2 * a - c};
    }
  }
  OldWndProc(m);
}

// The drawn-frame drag's mouse messages; True when the drag took the message.
bool DragMessage(TsSkinProvider* sp, vcl::TMessage& m) {
  if (sp->ResizeMode() != rmBorder || !sp->Form->Enabled()) return false;
  switch (m.Msg) {
    case WM_NCLBUTTONDOWN: {
      const int code = static_cast<int>(m.WParam);
      if (code == HTCAPTION) {
        sp->Form->Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, m.LParam);
        return true;
      }
      if (code >= HTLEFT && code <= HTBOTTOMRIGHT) {
        sp->Form->Perform(WM_SYSCOMMAND, SC_SIZE + (code - HTLEFT + WMSZ_LEFT), m.LParam);
        return true;
      }
      return false;
    }
    case WM_MOUSEMOVE: {
      if (!sp->bInProcess) return false;
      POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      ClientToScreen(sp->Form->Handle(), &p);
      DragTo(sp, p.x, p.y);
      m.Result = 0;
      return true;
    }
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_CANCELMODE:
      if (!sp->bInProcess) return false;
      sp->StopMove(0, 0);
      m.Result = 0;
      return true;
    default:
      return false;
  }
}
