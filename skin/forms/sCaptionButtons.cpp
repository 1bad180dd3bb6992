// What lies under the mouse on a skinned form's frame, the state of each caption button and its repainting, and
// the non-client mouse messages that turn clicks on the buttons into system commands.
#include <algorithm>

#include "platform/vcl/application.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSBAnimation.h"
#include "skin/forms/sTitleBar.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"

namespace {

// The command that toggles between normal and maximised, by "is maximised".
constexpr WPARAM StateFlags[2] = {SC_MAXIMIZE, SC_RESTORE};

vcl::TPoint MessagePoint(const vcl::TMessage& m) {
  return vcl::TPoint(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
}

bool Contains(const vcl::TRect& r, vcl::TPoint p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

}  // namespace

TsCaptionButton* TsSkinProvider::ButtonOf(int hitCode) {
  switch (hitCode) {
    case HTMINBUTTON:
      return &ButtonMin;
    case HTMAXBUTTON:
      return &ButtonMax;
    case HTCLOSE:
      return &ButtonClose;
    case HTHELP:
      return &ButtonHelp;
    case HTCHILDCLOSE:
      return &MDIClose;
    case HTCHILDMAX:
      return &MDIMax;
    case HTCHILDMIN:
      return &MDIMin;
    default:
      if (hitCode >= HTUDBTN && hitCode < HTUDBTN + FTitleButtons->Count()) {
        TsTitleButton* b = FTitleButtons->Items(hitCode - HTUDBTN);
        return b->Visible() ? &b->Data : nullptr;
      }
      return nullptr;
  }
}

bool TsSkinProvider::ButtonEnabled(int hitCode) {
  if (!SystemMenu) return true;
  switch (hitCode) {
    case HTMINBUTTON:
      return SystemMenu->EnabledMin();
    case HTMAXBUTTON:
      return SystemMenu->EnabledMax();
    case HTCLOSE:
      return SystemMenu->VisibleClose() && SystemMenu->EnabledClose();
    default:
      if (hitCode >= HTUDBTN && hitCode < HTUDBTN + FTitleButtons->Count())
        return FTitleButtons->Items(hitCode - HTUDBTN)->Enabled();
      return true;
  }
}

int TsSkinProvider::HTProcess(vcl::TMessage& m) {
  const vcl::TPoint screen = MessagePoint(m);
  const vcl::TPoint p = CursorToPoint(screen.X, screen.Y);
  const HWND w = Form->Handle();
  const bool iconic = IsIconic();
  const bool help = Form->BorderIcons().Contains(vcl::biHelp);
  // 1-based position of the element under the point, counted from the right.
  auto btnIndex = [&]() -> int {
    if (BorderForm) return 0;
    if (!SystemMenu) PrepareForm();
    if (!SystemMenu) return 0;
    int i = 0;
    if (HaveSysMenu()) {
      ++i;
      if (Contains(ButtonClose.Rect, p)) return i;
      if (SystemMenu->VisibleMax()) {
        ++i;
        if (Contains(ButtonMax.Rect, p)) return i;
      }
      if (SystemMenu->VisibleMin() || iconic) {
        ++i;
        if (Contains(ButtonMin.Rect, p)) return i;
      }
      if (help) {
        ++i;
        if (Contains(ButtonHelp.Rect, p)) return i;
      }
    }
    for (int k = 0; k < FTitleButtons->Count(); ++k) {
      TsTitleButton* b = FTitleButtons->Items(k);
      if (!b->Visible()) continue;
      ++i;
      if (Contains(b->Data.Rect, p)) return i;
    }
    // Title-bar items follow, counted by their index (spacers and info labels are not targets).
    if (const int k = TitleItemAt(p); k >= 0) return i + 1 + k;
    return 0;
  };
  const int a = btnIndex();
  if (a > 0) {
    int n = 0;
    if (SystemMenu && HaveSysMenu())
      n = 1 + (SystemMenu->VisibleMax() ? 1 : 0) + (SystemMenu->VisibleMin() || iconic ? 1 : 0) + (help ? 1 : 0);
    int visibleUser = 0;
    for (int k = 0; k < FTitleButtons->Count(); ++k) visibleUser += FTitleButtons->Items(k)->Visible() ? 1 : 0;
    int r = HTCLIENT;
    if (a > n + visibleUser) {
      r = TitleItemCode(a - n - visibleUser - 1);
    } else if (a > n) {
      int i = a - n - 1;
      // The i-th visible user button.
      for (int k = 0, seen = -1; k < FTitleButtons->Count(); ++k)
        if (FTitleButtons->Items(k)->Visible() && ++seen == i) {
          r = FTitleButtons->Items(k)->Enabled() ? HTUDBTN + k : HTCLIENT;
          break;
        }
    } else if (a == 1) {
      r = SystemMenu ? (SystemMenu->EnabledClose() ? HTCLOSE : HTCAPTION) : HTCLIENT;
    } else if (a == 2) {
      if (SystemMenu->VisibleMax())
        r = SystemMenu->EnabledMax() || (SystemMenu->EnabledRestore() && !iconic) ? HTMAXBUTTON : HTCAPTION;
      else if (SystemMenu->VisibleMin() || iconic)
        r = SystemMenu->EnabledMin() ? HTMINBUTTON : HTCAPTION;
      else
        r = help ? HTHELP : HTCLIENT;
    } else if (a == 3) {
      if (SystemMenu->VisibleMin() || iconic)
        r = iconic ? HTMINBUTTON : (SystemMenu->EnabledMin() ? HTMINBUTTON : HTCAPTION);
      else
        r = help ? HTHELP : HTCLIENT;
    } else if (a == 4) {
      r = help && SystemMenu->VisibleMax() ? HTHELP : HTCLIENT;
    }
    if (r != HTCLIENT) return r;
  }
  const int width = GetWindowWidth(w), height = GetWindowHeight(w);
  if (!IsZoomed() && IsSizeBox(w) && !BorderForm) {
    const int b = SysBorderWidth(w, BorderForm, true);
    const int t = SysBorderHeight(w, BorderForm, false);
    int r = HTCLIENT;
    if (p.Y > height - b)
      r = HTBOTTOM;
    else if (p.Y < t)
      r = HTTOP;
    if (p.X < b)
      r = r == HTTOP ? HTTOPLEFT : r == HTBOTTOM ? HTBOTTOMLEFT : HTLEFT;
    else if (p.X > width - b)
      r = r == HTTOP ? HTTOPRIGHT : r == HTBOTTOM ? HTBOTTOMRIGHT : HTRIGHT;
    if (r != HTCLIENT) return r;
  }
  const int sysCapt = SysCaptHeight(Form);
  const int sbh = SysBorderHeight(w, BorderForm, true);
  if (p.Y >= 0 && p.Y <= sysCapt + sbh) {
    const int sbh0 = SysBorderHeight(w, BorderForm, false);
    if (MenuHeight() > 0 && p.Y >= sbh0 + sysCapt && p.Y <= sbh0 + CaptionHeight(false) + MenuHeight()) return HTMENU;
    return Contains(FIconRect, p) ? HTSYSMENU : HTCAPTION;
  }
  if (p.Y <= sysCapt + sbh + GetLinesCount() * MenuHeight()) return HTMENU;
  TsSkinManager* man = SkinManager();
  if (IsGripVisible(this) && man && man->IsValidImgIndex(man->ConstData.GripRightBottom)) {
    const vcl::TPoint g = RBGripPoint(man->ConstData.GripRightBottom);
    if (p.X > g.X && p.Y > g.Y) return HTBOTTOMRIGHT;
  }
  return HTCLIENT;
}

void TsSkinProvider::LV_WMNCHitTest(vcl::TMessage& m) {
  if (RTInit) {
    RTInit = false;
    LoadInit();
  }
  if (CaptionHeight(true) == 0 || !FDrawNonClientArea) {
    OldWndProc(m);
    return;
  }
  m.Result = HTProcess(m);
  switch (m.Result) {
    case HTNOWHERE:
    case HTCLIENT:
    case HTCAPTION:
    case HTMENU:
    case HTLEFT:
    case HTRIGHT:
    case HTTOP:
    case HTTOPLEFT:
    case HTTOPRIGHT:
    case HTBOTTOM:
    case HTBOTTOMLEFT:
    case HTBOTTOMRIGHT: {
      TsSkinManager* man = SkinManager();
      if (IsGripVisible(this) && man && man->IsValidImgIndex(man->ConstData.GripRightBottom)) {
        const vcl::TPoint screen = MessagePoint(m);
        const vcl::TPoint p = CursorToPoint(screen.X, screen.Y);
        const vcl::TPoint g = RBGripPoint(man->ConstData.GripRightBottom);
        if (p.X > g.X && p.Y > g.Y) {
          m.Result = HTBOTTOMRIGHT;
          break;
        }
      }
      // The platform's own hit test for the client, caption, menu bar and edges.
      OldWndProc(m);
      break;
    }
    default:
      break;
  }
  if (OnExtHitTest) OnExtHitTest(m);
}

void TsSkinProvider::SetHotHT(int hitCode, bool repaint) {
  if (hitCode == CurrentHT || !FDrawNonClientArea) return;
  const int previous = CurrentHT;
  if (previous > 0) {
    if (TsCaptionButton* b = ButtonOf(previous)) b->State = 0;
    TitleItemHot(previous, false);
    if (repaint) RepaintButton(previous);
  }
  CurrentHT = hitCode;
  if (biClicked || hitCode <= 0) return;
  if (TsCaptionButton* b = ButtonOf(hitCode)) b->State = 1;
  TitleItemHot(hitCode, true);
  if (repaint) RepaintButton(hitCode);
}

void TsSkinProvider::SetPressedHT(int hitCode) {
  if (hitCode != CurrentHT && CurrentHT != 0) {
    const int previous = CurrentHT;
    if (TsCaptionButton* b = ButtonOf(previous)) b->State = 0;
    TitleItemHot(previous, false);
    RepaintButton(previous);
  }
  CurrentHT = hitCode;
  if (TitleItemOf(hitCode) && !TitleItemPressed(hitCode)) return;
  TsCaptionButton* b = ButtonOf(hitCode);
  switch (hitCode) {
    case HTMAXBUTTON:
      if (!(SystemMenu && (SystemMenu->EnabledMax() || (IsZoomed() && SystemMenu->EnabledRestore())))) {
        CurrentHT = 0;
        return;
      }
      break;
    case HTCLOSE:
      if (!(SystemMenu && SystemMenu->EnabledClose())) {
        CurrentHT = 0;
        return;
      }
      break;
    case HTCHILDMAX:
      if (!(SystemMenu && SystemMenu->EnabledMax())) b = nullptr;
      break;
    default:
      break;
  }
  if (b) b->State = 2;
  biClicked = true;
  RepaintButton(CurrentHT);
}

void TsSkinProvider::RepaintButton(int hitCode) {
  if (TlvTitleBarItem* item = TitleItemOf(hitCode)) {
    RepaintTitleItem(item);
    return;
  }
  TsCaptionButton* btn = ButtonOf(hitCode);
  if (!btn || (hitCode >= HTCHILDCLOSE && hitCode <= HTCHILDMIN && !MDIButtonsNeeded())) return;
  if (TsSkinManager* man = SkinManager(); man && !(hitCode >= HTCHILDCLOSE && hitCode <= HTCHILDMIN) &&
                                          (man->Effects()->AllowGlowing() || BorderForm) && FormState == 0 &&
                                          !Form->Parent() && Form->FormStyle() != vcl::fsMDIChild) {
    // The new look fades in over the frame; the frame itself keeps the normal look meanwhile.
    if (btn->State != -1) {
      const int iterations = std::max(1, man->Effects()->AllowAnimation() ? 10 : 0);
      StartSBAnimation(btn, btn->State, btn->State == 2 ? 1 : iterations, btn->State == 1 || btn->State == 2, this);
    }
    return;
  }
  if (btn->State == -1 || btn->Rect.Left < FIconRect.Right) return;
  vcl::TBitmap* image = FCommonData->CacheBmp();
  TsSkinManager* m = SkinManager();
  if (!image || image->Empty() || !m || !Form->HandleAllocated()) return;
  const int cw = CaptionWidth();
  if (TempBmp && !TempBmp->Empty())
    BitBlt(image->Canvas()->Handle(), btn->Rect.Left, btn->Rect.Top, SysButtonWidth(*btn), ButtonHeight(),
           TempBmp->Canvas()->Handle(), TempBmp->Width() - (cw - btn->Rect.Left) - 1, btn->Rect.Top, SRCCOPY);
  int index = btn->ImageIndex;
  bool enabled = ButtonEnabled(hitCode);
  if (hitCode == HTMAXBUTTON && IsZoomed() && m->IsValidImgIndex(m->ConstData.MaskNormBtn) && BigButtons)
    index = m->ConstData.MaskNormBtn;
  // A maximised MDI child's middle button restores it: it shows the restore picture in every state.
  if (hitCode == HTCHILDMAX) {
    const int norm =
        m->IsValidImgIndex(m->ConstData.MaskNormSmall) ? m->ConstData.MaskNormSmall : m->ConstData.MaskNormBtn;
    if (m->IsValidImgIndex(norm)) index = norm;
  }
  if (IsIconic()) {
    if (hitCode == HTMINBUTTON && m->IsValidImgIndex(m->ConstData.MaskNormBtn)) index = m->ConstData.MaskNormBtn;
    if (hitCode == HTMAXBUTTON) {
      index = m->ConstData.MaskMaxBtn;
      enabled = SystemMenu && SystemMenu->EnabledMax();
    }
  }
  if (m->IsValidImgIndex(index)) {
    const bool lighter = (!enabled || btn->State == 0) && (!enabled || !FormActive);
    DrawSkinGlyph(image, btn->Rect.TopLeft(), btn->State, lighter ? 2 : 1, m->ma[index], MakeCacheInfo(image));
  }
  HDC dc = GetWindowDC(Form->Handle());
  BitBlt(dc, btn->Rect.Left, btn->Rect.Top, btn->Rect.Width(), btn->Rect.Height(), image->Canvas()->Handle(),
         btn->Rect.Left, btn->Rect.Top, SRCCOPY);
  ReleaseDC(Form->Handle(), dc);
}

// ---- Mouse over the frame ----------------------------------------------------------------------------------------

void TsSkinProvider::LV_WMNCMouseMove(vcl::TMessage& m) {
  if (!Form->Enabled()) return;
  if (TsSkinManager* man = SkinManager()) man->SetActiveControl(Form->Handle());
  const int code = HTProcess(m);
  m.WParam = static_cast<WPARAM>(code);
  if ((code >= HTMINBUTTON && code <= HTMAXBUTTON) || code == HTCLOSE || code == HTHELP ||
      (code >= HTCHILDCLOSE && code <= HTCHILDMIN) || (code >= HTUDBTN && code <= HTUDBTN + 100) ||
      (code >= HTITEM && code <= HTITEM + 100)) {
    SetHotHT(code, true);
    return;
  }
  SetHotHT(0, true);
  OldWndProc(m);
}

void TsSkinProvider::LV_WMMouseMove(vcl::TMessage& m) {
  OldWndProc(m);
  SetHotHT(0, true);
  if (DefaultManager && !ComponentState().Contains(vcl::csDesigning)) DefaultManager->SetActiveControl(nullptr);
}

void TsSkinProvider::LV_WMMouseLeave(vcl::TMessage& m) {
  SetHotHT(-1, true);
  biClicked = false;
  OldWndProc(m);
}

void TsSkinProvider::LV_WMNCLButtonDown(vcl::TMessage& m) {
  if (!FDrawNonClientArea) {
    if (m.WParam == HTSYSMENU) {
      SetHotHT(0, true);
      biClicked = false;
      DropSysMenu(Form->Left() + SysBorderWidth(Form->Handle(), BorderForm, true),
                  Form->Top() + BorderHeight(true) + TitleIconHeight(this));
      return;
    }
    OldWndProc(m);
    return;
  }
  const int code = static_cast<int>(m.WParam);
  switch (code) {
    case HTSYSMENU:
      m.Result = 0;
      OldWndProc(m);
      if (m.Result != 0) return;
      SetHotHT(0, true);
      biClicked = false;
      DropSysMenu(Form->Left() + SysBorderWidth(Form->Handle(), BorderForm, true),
                  Form->Top() + BorderHeight(true) + TitleIconHeight(this) +
                      SysBorderHeight(Form->Handle(), BorderForm, false));
      return;
    case HTMENU:
      OldWndProc(m);
      return;
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP:
    case HTCHILDCLOSE:
    case HTCHILDMAX:
    case HTCHILDMIN:
      if (ChildProvider && code == HTCHILDMIN && !(ChildProvider->SystemMenu && ChildProvider->SystemMenu->EnabledMin()))
        return;
      if (ChildProvider && code == HTCHILDMAX &&
          !(ChildProvider->SystemMenu && ChildProvider->SystemMenu->EnabledRestore()))
        return;
      SetPressedHT(code);
      return;
    default:
      break;
  }
  if (code >= HTUDBTN && code < HTUDBTN + FTitleButtons->Count()) {
    SetPressedHT(code);
    const vcl::TPoint p = MessagePoint(m);
    FTitleButtons->Items(code - HTUDBTN)->MouseDown(code - HTUDBTN, vcl::mbLeft, vcl::TShiftState(), p.X, p.Y);
    return;
  }
  if (TitleItemOf(code)) {
    const vcl::TPoint p = MessagePoint(m);
    TitleItemMouseDown(code, p.X, p.Y);
    return;
  }
  if (IsIconic()) {
    Form->Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    return;
  }
  SetHotHT(0, true);
  // A caption drag fades the form while it moves, when the manager asks for it.
  if (code == HTCAPTION && Form->FormStyle() != vcl::fsMDIChild && FAllowBlendOnMoving && SkinManager()) {
    const TlvBlendOnMoving* blend = SkinManager()->AnimEffects()->BlendOnMoving();
    if (blend->Active() && blend->BlendValue() != 255) {
      StartMoveForm();
      return;
    }
  }
  OldWndProc(m);
}

void TsSkinProvider::LV_WMLButtonUp(vcl::TMessage& m) {
  if (!FDrawNonClientArea || !Form->Enabled()) {
    OldWndProc(m);
    return;
  }
  // A client-area release carries client coordinates and no hit code: only the pressed element matters.
  const int code = m.Msg == WM_NCLBUTTONUP ? static_cast<int>(m.WParam) : CurrentHT;
  const vcl::TPoint screen = m.Msg == WM_NCLBUTTONUP ? MessagePoint(m) : [&] {
    POINT c;
    GetCursorPos(&c);
    return vcl::TPoint(c.x, c.y);
  }();
  const vcl::TPoint p = CursorToPoint(screen.X, screen.Y);
  switch (code) {
    case HTMINBUTTON:
      if (biClicked && Contains(ButtonMin.Rect, p)) {
        SetHotHT(0, true);
        biClicked = false;
        if (vcl::Application && Form == vcl::Application->MainForm()) {
          SkipAnimation = true;
          Form->Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0);
          SkipAnimation = false;
        } else {
          Form->Perform(WM_SYSCOMMAND, IsIconic() ? SC_RESTORE : SC_MINIMIZE, 0);
        }
        FCommonData->BGChanged = true;
      } else {
        if (!biClicked) SetHotHT(0, true);
        OldWndProc(m);
      }
      break;
    case HTMAXBUTTON:
      if (!(SystemMenu && (SystemMenu->EnabledMax() || (IsZoomed() && SystemMenu->EnabledRestore())))) break;
      if (biClicked) {
        SetHotHT(0, true);
        RgnChanged = true;
        if (Form->FormStyle() == vcl::fsMDIChild) ChildProvider = nullptr;
        biClicked = false;
        Form->Perform(WM_SYSCOMMAND, StateFlags[IsZoomed() ? 1 : 0], 0);
        if (SystemMenu) SystemMenu->UpdateItems(false);
      } else {
        SetHotHT(0, true);
        OldWndProc(m);
      }
      break;
    case HTCLOSE:
      if (SystemMenu && SystemMenu->EnabledClose() && biClicked) {
        ButtonClose.State = 0;
        biClicked = false;
        Form->Perform(WM_SYSCOMMAND, SC_CLOSE, 0);
        if (!Form->ComponentState().Contains(vcl::csDestroying)) {
          KillAnimations();
          if (Form->HandleAllocated() && IsWindowVisible(Form->Handle())) {
            FCommonData->BGChanged = true;
            SetHotHT(0, true);
          }
        }
      }
      break;
    case HTHELP:
      if (biClicked) {
        Form->Perform(WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
        SetHotHT(0, true);
        if (SystemMenu) SystemMenu->UpdateItems(false);
        biClicked = false;
        ProcessMessage(WM_NCPAINT, 0, 0);
      } else {
        SetHotHT(0, true);
      }
      break;
    default:
      if (code >= HTUDBTN && code < HTUDBTN + FTitleButtons->Count()) {
        if (biClicked)
          FTitleButtons->Items(code - HTUDBTN)->MouseUp(code - HTUDBTN, vcl::mbLeft, vcl::TShiftState(), screen.X,
                                                        screen.Y);
        biClicked = false;
        SetHotHT(0, true);
        break;
      }
      if (code >= HTITEM && code <= HTITEM + 255) {
        TitleItemMouseUp(code, screen.X, screen.Y);
        break;
      }
      biClicked = false;
      OldWndProc(m);
      return;
  }
  biClicked = false;
}

void TsSkinProvider::LV_WMNCLButtonDblClick(vcl::TMessage& m) {
  switch (m.WParam) {
    case HTCAPTION:
      if ((SystemMenu && HaveSysMenu() && (SystemMenu->EnabledMax() || SystemMenu->EnabledRestore())) ||
          (!HaveBorder(this) && IsIconic())) {
        Form->Perform(WM_SYSCOMMAND, StateFlags[(IsZoomed() || IsIconic()) ? 1 : 0], 0);
        if (SystemMenu) SystemMenu->UpdateItems(false);
      } else if (IsIconic()) {
        Form->Perform(WM_SYSCOMMAND, SC_RESTORE, 0);
        if (SystemMenu) SystemMenu->UpdateItems(false);
      }
      m.WParam = 0;
      return;
    case HTSYSMENU:
      Form->Close();
      return;
    default:
      OldWndProc(m);
  }
}

void TsSkinProvider::LV_WMNCRButtonDown(vcl::TMessage& m) {
  if (m.WParam != HTCAPTION && m.WParam != HTSYSMENU) OldWndProc(m);
}

void TsSkinProvider::LV_WMNCRButtonUp(vcl::TMessage& m) {
  if (!HaveBorder(this)) {
    OldWndProc(m);
    return;
  }
  const int code = HTProcess(m);
  if (code == HTCAPTION || code == HTSYSMENU) {
    SetHotHT(0, true);
    biClicked = false;
    const vcl::TPoint p = MessagePoint(m);
    DropSysMenu(p.X, p.Y);
  }
}

// ---- Activation, caption text, size ------------------------------------------------------------------------------

void TsSkinProvider::CallDefaultHidden(vcl::TMessage& m) {
  const HWND w = Form->Handle();
  const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
  const bool visible = (style & WS_VISIBLE) != 0;
  if (visible) SetWindowLongPtrW(w, GWL_STYLE, style & ~WS_VISIBLE);
  FHidingForDefault = true;
  OldWndProc(m);
  FHidingForDefault = false;
  if (visible) SetWindowLongPtrW(w, GWL_STYLE, GetWindowLongPtrW(w, GWL_STYLE) | WS_VISIBLE);
}

void TsSkinProvider::LV_WMNCActivate(vcl::TMessage& m) {
  if (!FDrawNonClientArea) {
    OldWndProc(m);
    return;
  }
  FormState |= FS_ACTIVATE;
  FormActive = m.WParam != 0;
  CallDefaultHidden(m);
  m.Result = 1;
  FormState &= ~FS_ACTIVATE;
  // What lies behind the header band's controls changes with activation.
  if (HeaderUsed())
    IterateControls(Form, FFormHeader->AdditionalHeight(),
                    [this](vcl::TControl* c, int data) { RepaintHeadCtrl(c, data); });
  FCommonData->BGChanged = true;
  if (IsWindowVisible(Form->Handle()) && !IsIconic()) {
    LV_WMNCPaintHandler();
    // The frame's active or inactive look is on the border window.
    if (BorderForm) BorderForm->UpdateExBordersPos(true, 255);
  }
}

// The border window follows the form: hidden with it (and while it is iconic), placed again after any other change.
void TsSkinProvider::FollowBorder(const WINDOWPOS& wp) {
  vcl::TForm* border = BorderForm->AForm;
  const HWND w = Form->Handle();
  if ((wp.flags & SWP_HIDEWINDOW) || (IsWindowVisible(w) && IsIconic())) {
    if (border && border->HandleAllocated() && IsWindowVisible(border->Handle()))
      SetWindowPos(border->Handle(), nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return;
  }
  if (FInAnimation || !IsWindowVisible(w) || (wp.flags & SWP_NOREDRAW) || (FormState & (FS_BLENDMOVING | FS_DISABLED)))
    return;
  const bool still = (wp.flags & SWP_NOMOVE) && (wp.flags & SWP_NOSIZE) && !(wp.flags & SWP_SHOWWINDOW);
  // A frame change in place (the form's own region being set) moves nothing.
  if (still && (wp.flags & SWP_FRAMECHANGED)) return;
  if (still && border && border->HandleAllocated() && IsWindowVisible(border->Handle())) {
    // Only the Z order changed: the border window stays right behind the form.
    SetWindowPos(border->Handle(), w, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    return;
  }
  const bool sized = !(wp.flags & SWP_NOSIZE);
  // While the size changes the border window keeps its place in the Z order and the form's region waits; both are
  // set once the window is in place.
  const bool sizing = sized && FResizeMode == rmStandard && !(FormState & FS_SIZING);
  if (sizing) FormState |= FS_SIZING;
  BorderForm->UpdateExBordersPos(sized || (wp.flags & SWP_SHOWWINDOW), 255);
  if (!sizing) return;
  FormState &= ~FS_SIZING;
  border = BorderForm->AForm;
  if (!border || !border->HandleAllocated() || !IsWindowVisible(border->Handle())) return;
  SetWindowPos(border->Handle(), w, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
  SetWindowRgn(border->Handle(), BorderForm->MakeRgn(0, 0), FALSE);
  ::UpdateRgn(this, true, false);
}

void TsSkinProvider::LV_WMSetText(vcl::TMessage& m) {
  if (!FDrawNonClientArea) {
    OldWndProc(m);
    return;
  }
  CallDefaultHidden(m);
  FCommonData->BGChanged = true;
  UpdateSkinCaption(this);
}

void TsSkinProvider::LV_WMSetIcon(vcl::TMessage& m) {
  if (!FDrawNonClientArea) {
    OldWndProc(m);
    return;
  }
  CallDefaultHidden(m);
  FCommonData->BGChanged = true;
  UpdateSkinCaption(this);
}

void TsSkinProvider::LV_WMWindowPosChanged(vcl::TMessage& m) {
  auto* wp = reinterpret_cast<WINDOWPOS*>(m.LParam);
  // Setting the region moves nothing: those notifications are not size changes.
  const bool sized = !RgnChanging && wp && !(wp->flags & SWP_NOSIZE);
  if (sized) {
    FCommonData->BGChanged = true;
    RgnChanged = true;
    FLinesCount = -1;
  }
  if (BorderForm && Form->HandleAllocated())
    FSysExHeight = IsZoomed() && ActualTitleHeight(false) > SysCaptHeight(Form) + 4;
  OldWndProc(m);
  if (BorderForm && wp && Form->HandleAllocated()) FollowBorder(*wp);
  if (sized && Form->HandleAllocated()) {
    LastClientRect = vcl::TRect(0, 0, Form->ClientWidth(), Form->ClientHeight());
    if (IsWindowVisible(Form->Handle())) {
      // The system repaints only what the size change uncovered: the whole frame follows the new size.
      LV_WMNCPaintHandler();
      RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    }
  }
}
