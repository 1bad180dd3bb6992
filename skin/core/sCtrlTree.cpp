#include "skin/core/sCtrlTree.h"

#include "platform/vcl/forms.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"

namespace {

bool lvGraphPainting = false;

bool Designing(vcl::TComponent* c) { return c && c->ComponentState().Contains(vcl::csDesigning); }
bool Destroying(vcl::TComponent* c) { return c && c->ComponentState().Contains(vcl::csDestroying); }

}  // namespace

vcl::TColor GetControlColor(vcl::TControl* control) {
  if (!control) return 0xFF00FF;
  auto* win = dynamic_cast<vcl::TWinControl*>(control);
  bool skinned = win ? win->HandleAllocated() && SendAMessage(win->Handle(), LVC_CTRLHANDLED) == 1
                     : control->Perform(SM_LUMICMD, MakeLumiWParam(LVC_CTRLHANDLED), 0) == 1;
  if (skinned)
    return vcl::ColorToRGB(static_cast<vcl::TColor>(
        control->Perform(SM_LUMICMD, MakeLumiWParam(LVC_GETCONTROLCOLOR), static_cast<LPARAM>(0xFF00FF))));
  return vcl::ColorToRGB(control->Color());
}

vcl::TColor GetControlColor(HWND handle) {
  if (!handle) return 0xFF00FF;
  return vcl::ColorToRGB(static_cast<vcl::TColor>(
      SendMessageW(handle, SM_LUMICMD, MakeLumiWParam(LVC_GETCONTROLCOLOR), static_cast<LPARAM>(0xFF00FF))));
}

bool ControlIsReady(vcl::TControl* control) {
  if (!control) return false;
  if (auto* win = dynamic_cast<vcl::TWinControl*>(control); win && !win->HandleAllocated()) return false;
  if (control->ControlState().Contains(vcl::csCreating) || control->ControlState().Contains(vcl::csReadingState))
    return false;
  auto state = control->ComponentState();
  if (state.Contains(vcl::csLoading) || state.Contains(vcl::csReading) || state.Contains(vcl::csDestroying))
    return false;
  return control->Parent() != nullptr;
}

void AddToAdapter(vcl::TWinControl* control) {
  if (!control || Designing(control) || control->ComponentState().Contains(vcl::csLoading)) return;
  if (vcl::TCustomForm* form = control->ParentForm())
    form->Perform(SM_LUMICMD, MakeLumiWParam(LVC_CONTROLLOADED), reinterpret_cast<LPARAM>(control));
}

void IterateControls(vcl::TWinControl* control, int flag, const std::function<void(vcl::TControl*, int)>& proc) {
  if (!control) return;
  for (int i = 0; i < control->ControlCount(); ++i) {
    vcl::TControl* child = control->Controls(i);
    proc(child, flag);
    if (auto* win = dynamic_cast<vcl::TWinControl*>(child)) IterateControls(win, flag, proc);
  }
}

void SetParentUpdated(vcl::TWinControl* control) {
  if (!control || Designing(control) || InAnimationProcess) return;
  for (int i = 0; i < control->ControlCount(); ++i) {
    vcl::TControl* child = control->Controls(i);
    if (Destroying(child)) continue;
    if (auto* win = dynamic_cast<vcl::TWinControl*>(child)) {
      if (win->HandleAllocated() && win->Showing())
        SendMessageW(win->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_ENDPARENTUPDATE), 0);
    } else {
      child->Perform(SM_LUMICMD, MakeLumiWParam(LVC_ENDPARENTUPDATE), 0);
    }
  }
}

void SetParentUpdated(HWND handle) {
  for (HWND child = GetTopWindow(handle); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)
      SendMessageW(child, SM_LUMICMD, MakeLumiWParam(LVC_ENDPARENTUPDATE), 0);
}

void PaintControls(HDC dc, vcl::TWinControl* owner, bool, vcl::TPoint offset, HWND, bool checkVisible) {
  if (lvGraphPainting || !owner) return;
  lvGraphPainting = true;
  struct Guard {
    ~Guard() { lvGraphPainting = false; }
  } guard;
  if (!(owner->Visible() || Designing(owner) || !checkVisible) || owner->ControlCount() == 0) return;
  RECT clip{};
  if (GetClipBox(dc, &clip) == NULLREGION || clip.right <= clip.left || clip.bottom <= clip.top) {
    owner->Perform(SM_LUMICMD, MakeLumiWParam(LVC_SETHALFVISIBLE), 0);
    return;
  }
  TlvBGInfo bg;
  GetBGInfo(bg, owner, false);
  auto ready = [&](vcl::TControl* c) {
    if (dynamic_cast<vcl::TWinControl*>(c) || Destroying(c)) return false;
    if (!(c->Visible() || Designing(c)) || c->Width() <= 0 || c->Height() <= 0) return false;
    RECT r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    return RectVisible(dc, &r) != 0;
  };
  HDC mem = nullptr;
  HBITMAP memBmp = nullptr;
  HGDIOBJ oldBmp = nullptr;
  for (int i = 0; i < owner->ControlCount(); ++i) {
    vcl::TControl* child = owner->Controls(i);
    if (!ready(child)) continue;
    if (!mem) {
      HDC screen = GetDC(nullptr);
      mem = CreateCompatibleDC(screen);
      memBmp = CreateCompatibleBitmap(screen, std::max(1, owner->Width()), std::max(1, owner->Height()));
      ReleaseDC(nullptr, screen);
      oldBmp = SelectObject(mem, memBmp);
      // The backgrounds of every ready child first.
      for (int j = 0; j < owner->ControlCount(); ++j) {
        vcl::TControl* c = owner->Controls(j);
        if (!ready(c)) continue;
        vcl::TRect r = c->BoundsRect();
        if (c->ControlStyle().Contains(vcl::csOpaque)) {
          FillDC(mem, r, GetControlColor(c));
        } else if (bg.BgType == btCache && bg.Bmp) {
          BitBlt(mem, r.Left, r.Top, r.Width(), r.Height(), bg.Bmp->Canvas()->Handle(), r.Left + bg.Offset.X,
                 r.Top + bg.Offset.Y, SRCCOPY);
        } else {
          FillDC(mem, r, bg.Color);
          if (bg.Bmp) {
            const vcl::TRect& f = bg.FillRect;
            HDC src = bg.Bmp->Canvas()->Handle();
            auto part = [&](const vcl::TRect& p) {
              vcl::TRect q = p;
              if (q.Left < r.Left) q.Left = r.Left;
              if (q.Top < r.Top) q.Top = r.Top;
              if (q.Right > r.Right) q.Right = r.Right;
              if (q.Bottom > r.Bottom) q.Bottom = r.Bottom;
              if (q.Width() > 0 && q.Height() > 0)
                BitBlt(mem, q.Left, q.Top, q.Width(), q.Height(), src, q.Left + bg.Offset.X, q.Top + bg.Offset.Y,
                       SRCCOPY);
            };
            const int w = owner->Width(), h = owner->Height();
            part(vcl::Rect(0, 0, f.Left, h));
            part(vcl::Rect(0, 0, w, f.Top));
            part(vcl::Rect(w - f.Right, 0, w, h));
            part(vcl::Rect(0, h - f.Bottom, w, h));
          }
        }
      }
    }
    int saved = SaveDC(mem);
    POINT old;
    SetWindowOrgEx(mem, -child->Left(), -child->Top(), &old);
    IntersectClipRect(mem, 0, 0, child->Width(), child->Height());
    bool copy = owner->ControlState().Contains(vcl::csPaintCopy);
    if (copy) child->SetControlState(child->ControlState() + vcl::csPaintCopy);
    child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    if (copy) child->SetControlState(child->ControlState() - vcl::csPaintCopy);
    RestoreDC(mem, saved);
  }
  if (!mem) return;
  for (int i = 0; i < owner->ControlCount(); ++i) {
    vcl::TControl* child = owner->Controls(i);
    if (!ready(child)) continue;
    if ((GetPixel(mem, child->Left(), child->Top()) & 0xFFFFFF) == 0xFF00FF) continue;
    BitBlt(dc, child->Left() + offset.X, child->Top() + offset.Y, child->Width(), child->Height(), mem, child->Left(),
           child->Top(), SRCCOPY);
  }
  SelectObject(mem, oldBmp);
  DeleteObject(memBmp);
  DeleteDC(mem);
}

void SkinPaintTo(vcl::TBitmap* bmp, vcl::TControl* ctrl, int left, int top, TsCustomSkinProvider* skinProvider) {
  if (!bmp || !ctrl) return;
  HDC dc = bmp->Canvas()->Handle();
  if (!ctrl->Visible() && ctrl->Parent() && !skinProvider && !Designing(ctrl)) {
    TlvBGInfo bg;
    GetBGInfo(bg, ctrl->Parent(), false);
    if (bg.BgType == btCache && bg.Bmp)
      BitBlt(dc, left, top, ctrl->Width(), ctrl->Height(), bg.Bmp->Canvas()->Handle(), ctrl->Left() + bg.Offset.X,
             ctrl->Top() + bg.Offset.Y, SRCCOPY);
    else
      FillDC(dc, vcl::Rect(left, top, left + ctrl->Width(), top + ctrl->Height()), bg.Color);
    return;
  }
  int saved = SaveDC(dc);
  IntersectClipRect(dc, 0, 0, ctrl->Width(), ctrl->Height());
  auto* win = dynamic_cast<vcl::TWinControl*>(ctrl);
  if (!win) {
    ctrl->Perform(SM_LUMICMD, MakeLumiWParam(LVC_PRINTING), reinterpret_cast<LPARAM>(dc));
    ctrl->Perform(WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT);
    ctrl->Perform(SM_LUMICMD, MakeLumiWParam(LVC_PRINTING), 0);
    RestoreDC(dc, saved);
    return;
  }
  try {
    if (win->HandleAllocated() && SendAMessage(win->Handle(), LVC_CTRLHANDLED) == 1) {
      win->Perform(SM_LUMICMD, MakeLumiWParam(LVC_PRINTING), reinterpret_cast<LPARAM>(dc));
      win->Perform(WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
      win->Perform(SM_LUMICMD, MakeLumiWParam(LVC_PRINTING), 0);
    } else {
      win->PaintTo(dc, 0, 0);
    }
  } catch (...) {
    // A control that cannot paint itself leaves its place as it was.
  }
  RestoreDC(dc, saved);
  PaintChildCtrls(win, bmp);
}

void PaintChildCtrls(vcl::TWinControl* control, vcl::TBitmap* bmp) {
  if (!control || !bmp) return;
  HDC dc = bmp->Canvas()->Handle();
  for (int i = 0; i < control->ControlCount(); ++i) {
    auto* child = dynamic_cast<vcl::TWinControl*>(control->Controls(i));
    if (!child || !(child->Visible() || Designing(child)) || !child->HandleAllocated()) continue;
    int saved = SaveDC(dc);
    POINT old;
    OffsetWindowOrgEx(dc, -child->Left(), -child->Top(), &old);
    SkinPaintTo(bmp, child, child->Left(), child->Top());
    RestoreDC(dc, saved);
  }
}

HWND GetRootParent(HWND handle) {
  while (HWND parent = GetParent(handle)) handle = parent;
  return handle;
}

vcl::TCustomForm* GetOwnerForm(vcl::TComponent* component) {
  for (vcl::TComponent* c = component; c; c = c->Owner())
    if (auto* form = dynamic_cast<vcl::TCustomForm*>(c)) return form;
  return nullptr;
}
