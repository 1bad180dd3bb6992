// The skinned form's handlers of the window messages that are neither painting nor the caption buttons: activation,
// showing and hiding, printing, menus, child controls, MDI notifications, the window commands and position changes
// (sFormPosition.cpp), and the link to an external skin editor.
#include <algorithm>
#include <cstring>

#include "platform/rtl/win.h"
#include "platform/vcl/application.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sCtrlAdapter.h"
#include "skin/forms/sDwmEffects.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sWindowAnims.h"

bool DragMessage(TsSkinProvider* sp, vcl::TMessage& m);

namespace {

constexpr wchar_t kEditorTitle[] = L"Rudavaror Udeded";

}  // namespace

// ---- The skin editor's link --------------------------------------------------------------------------------------

void TrySayHelloToEditor(HWND handle) {
  if (!lvPreviewNeeded || lvPreviewHandle) return;
  vcl::TCustomForm* main = vcl::Application ? vcl::Application->MainForm() : nullptr;
  if (main && (!main->HandleAllocated() || main->Handle() != handle)) return;
  lvPreviewHandle = handle;
  lvPreviewNeeded = false;
  for (int i = 0; i <= 100; ++i) {
    HWND editor = FindWindowW(nullptr, kEditorTitle);
    if (!editor) break;
    if (SendMessageW(editor, LKE_MSG, LKE_HELLO, reinterpret_cast<LPARAM>(handle)) == 1) break;
  }
}

void TsSkinProvider::LV_WMCopyData(vcl::TMessage& m) {
  OldWndProc(m);
  if (m.Result != 0 || lvSkinPreviewUpdating || !Form->HandleAllocated() || Form->Handle() != lvPreviewHandle) return;
  TsSkinManager* man = DefaultManager;
  if (!man) return;
  lvSkinPreviewUpdating = true;
  const auto* block = reinterpret_cast<const COPYDATASTRUCT*>(m.LParam);
  // The block is read only within the size it states: a short block gives what it has and the rest of the buffer
  // stays zero; anything past the record's own size is never looked at.
  if (m.WParam == 7 && block && block->lpData && block->cbData >= sizeof(std::uint32_t)) {
    std::uint32_t magic = 0;
    std::memcpy(&magic, block->lpData, sizeof magic);
    if (magic == LKE_MSG) {
      man->PreviewBuffer = TlvSkinData();
      std::memcpy(&man->PreviewBuffer, block->lpData, std::min<size_t>(block->cbData, sizeof(TlvSkinData)));
      const HWND app = vcl::Application && vcl::Application->Handle() ? vcl::Application->Handle() : Form->Handle();
      PostMessageW(app, SM_LUMICMD, MakeLumiWParam(LVC_COPYDATA), 0);
      m.Result = 1;
    }
  }
  lvSkinPreviewUpdating = false;
}

// ---- Printing ----------------------------------------------------------------------------------------------------

void TsSkinProvider::LV_WMPrint(vcl::TMessage& m) {
  if (ComponentState().Contains(vcl::csLoading) || Form->ControlState().Contains(vcl::csCreating) ||
      Form->ComponentState().Contains(vcl::csDestroying))
    return;
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!dc) return;
  InitDwm(Form->Handle(), true);
  if (Form->FormStyle() == vcl::fsMDIChild && MDISkinProvider) {
    vcl::TCustomForm* active = MDISkinProvider->Form->ActiveMDIChild();
    if (active && active != Form && active->HandleAllocated() && ::IsZoomed(active->Handle())) return;
  }
  TryInitMenu();
  if (m.LParam & PRF_ERASEBKGND) {
    // Only the background is asked for.
    ProcessMessage(WM_ERASEBKGND, m.WParam, 0);
    return;
  }
  FCommonData->SetUpdatingFlag(false);
  if (FCommonData->BGChanged || FormChanged()) PaintAll();
  vcl::TBitmap* cache = FCommonData->CacheBmp();
  const int saved = SaveDC(dc);
  if (FDrawNonClientArea && (m.LParam & PRF_NONCLIENT) && cache && !cache->Empty())
    BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
  if (m.LParam & PRF_CLIENT) {
    POINT org;
    OffsetViewportOrgEx(dc, OffsetX(), OffsetY(), &org);
    IntersectClipRect(dc, 0, 0, Form->ClientWidth(), Form->ClientHeight());
    PaintForm(dc, false);
    if ((m.LParam & PRF_CHILDREN) && Form->FormStyle() != vcl::fsMDIForm) {
      for (HWND child = GetWindow(Form->Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, Form->Handle(), reinterpret_cast<POINT*>(&r), 2);
        const int s = SaveDC(dc);
        OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
        SendMessageW(child, WM_PRINT, m.WParam, PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
        RestoreDC(dc, s);
      }
    }
  }
  RestoreDC(dc, saved);
  if (Form->FormStyle() == vcl::fsMDIForm && Form->ClientHandle())
    SendMessageW(Form->ClientHandle(), WM_PRINT, m.WParam, m.LParam);
}

// ---- Menus -------------------------------------------------------------------------------------------------------

void TsSkinProvider::LV_WMInitMenuPopup(vcl::TMessage& m) {
  TsSkinManager* man = SkinManager();
  if (!man || !man->SkinnedPopups()) {
    OldWndProc(m);
    return;
  }
  // The window menu cannot size a form whose frame the skin draws.
  if (HIWORD(m.LParam) != 0)
    EnableMenuItem(reinterpret_cast<HMENU>(m.WParam), SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
  else
    lvCanHookMenu = false;  // set again only if the skinned menus measure this popup's items
  if (ListMDIChildren(reinterpret_cast<HMENU>(m.WParam))) {
    m.Result = 0;
    return;
  }
  OldWndProc(m);
}

// ---- The adapter -------------------------------------------------------------------------------------------------

void TsSkinProvider::SendToAdapter(vcl::TMessage& m) {
  if (Adapter) Adapter->WndProc(m);
}

// ---- Dispatch ----------------------------------------------------------------------------------------------------

bool TsSkinProvider::DispatchFormMessage(vcl::TMessage& m) {
  if (DragMessage(this, m)) return true;
  switch (m.Msg) {
    case WM_NCLBUTTONDOWN:
      // Couples are made from where the forms lie when the user takes one.
      UpdateSlaveFormsList();
      return false;
    case WM_NCHITTEST:
      if (const int code = MDIButtonAt(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)))) {
        m.Result = code;
        return true;
      }
      return false;
    case WM_NCLBUTTONUP: {
      const int code = static_cast<int>(m.WParam);
      if (code < HTCHILDCLOSE || code > HTCHILDMIN || !MDIForm) return false;
      const bool clicked =
          biClicked && MDIButtonAt(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))) == code;
      SetHotHT(0, true);
      biClicked = false;
      if (clicked) {
        if (code == HTCHILDCLOSE)
          MDIForm->CloseClick();
        else if (code == HTCHILDMAX)
          MDIForm->RestoreClick();
        else
          MDIForm->MinClick();
      }
      m.Result = 0;
      return true;
    }
    case WM_SYSCOMMAND:
      LV_WMSysCommand(m);
      return true;
    case WM_WINDOWPOSCHANGING:
      LV_WMWindowPosChanging(m);
      return true;
    case WM_GETMINMAXINFO:
      LV_WMGetMinMaxInfo(m);
      return true;
    case WM_DESTROY:
      // The border window is owned by the form's window and goes before it.
      if (BorderForm) InitExBorders(false);
      return false;
    case WM_MOVE:
      KillAnimations();
      OldWndProc(m);
      if (!BorderForm) MoveGluedForms(false);
      return true;
    case WM_SIZE:
      KillAnimations();
      FLinesCount = -1;
      FinishBlendOnMoving(this);
      OldWndProc(m);
      if (Form->HandleAllocated()) LastClientRect = vcl::TRect(0, 0, Form->ClientWidth(), Form->ClientHeight());
      return true;
    case WM_SIZING:
      OldWndProc(m);
      if (BorderForm) BorderForm->UpdateExBordersPos(false, 255);
      return true;
    case WM_SETTINGCHANGE:
      FCommonData->BGChanged = true;
      // The taskbar moved: a minimised form's way back starts from where its button is now.
      if (m.WParam == SPI_SETWORKAREA)
        if (auto* t = dynamic_cast<TlvMinTimer*>(FormTimer.get())) {
          t->UpdateDstRect();
          t->CurLeft = t->RectTo.Left, t->CurTop = t->RectTo.Top;
          t->CurRight = t->RectTo.Right, t->CurBottom = t->RectTo.Bottom;
        }
      OldWndProc(m);
      return true;
    case WM_SYSCOLORCHANGE:
      OldWndProc(m);
      UpdateMenu();
      return true;
    case WM_ACTIVATE:
      OldWndProc(m);
      if (Form->Showing()) {
        if (!Form->ControlState().Contains(vcl::csCreating)) {
          FLinesCount = -1;
          if (LOWORD(m.WParam) == WA_ACTIVE && SystemMenu) SystemMenu->UpdateItems(false);
        }
      }
      UpdateSlaveFormsList();
      return true;
    case vcl::CM_VISIBLECHANGED:
      if (m.WParam && RTInit) {
        RTInit = false;
        LoadInit();
        InitExBorders(SkinManager() && SkinManager()->ExtendedBorders());
      }
      {
        const bool animated = m.WParam ? PrepareShowAnimation(this) : PrepareHideAnimation(this);
        try {
          OldWndProc(m);
        } catch (...) {
          // A showing that failed leaves the form neither held nor transparent.
          if (animated && m.WParam) {
            ThawShownForm(this);
            FInAnimation = false;
            const HWND fw = Form->Handle();
            SetWindowLongPtrW(fw, GWL_EXSTYLE, GetWindowLongPtrW(fw, GWL_EXSTYLE) & ~WS_EX_LAYERED);
          }
          throw;
        }
        if (animated) {
          if (m.WParam)
            RunShowAnimation(this);
          else
            RunHideAnimation(this);
        }
      }
      if (m.WParam) {
        TryInitMenu();
        if (Adapter || (SkinManager() && SkinManager()->SkinningRules().Contains(srThirdParty))) {
          if (!Adapter) Adapter.reset(new TlvCtrlAdapter(this));
          Adapter->AddAllItems(nullptr);
        }
        if (Form->FormStyle() == vcl::fsMDIForm) {
          if (!MDIForm) MDIForm.reset(new TsMDIForm(this));
          MDIForm->ConnectToClient();
        }
        if (lvPreviewNeeded && Form->HandleAllocated()) TrySayHelloToEditor(Form->Handle());
      } else {
        // A hidden form keeps no image; the next showing builds it again.
        if (!Form->ComponentState().Contains(vcl::csDestroying))
          if (vcl::TBitmap* cache = FCommonData->CacheBmp()) cache->SetSize(0, 0);
        FCommonData->BGChanged = true;
        KillAnimations();
      }
      return true;
    case WM_SHOWWINDOW:
      if (m.WParam == 1 && SkinManager()) InitExBorders(SkinManager()->ExtendedBorders());
      OldWndProc(m);
      if (m.WParam == 1 && Form->FormStyle() == vcl::fsMDIChild && IsZoomed())
        if (auto* main = dynamic_cast<TsSkinProvider*>(MDISkinProvider)) main->RepaintMenu();
      return true;
    case WM_PRINT:
      LV_WMPrint(m);
      return true;
    case 0x323:  // the taskbar asks for the thumbnail at most HIWORD x LOWORD of LParam
      if (!lv_ChangeThumbPreviews || !HIWORD(m.LParam) || !LOWORD(m.LParam)) return false;
      m.Result = SetThumbIcon(Form->Handle(), this, HIWORD(m.LParam), LOWORD(m.LParam));
      return true;
    case 0x326:  // the taskbar asks for the live preview
      if (!lv_ChangeThumbPreviews) return false;
      m.Result = SetPreviewBmp(Form->Handle(), this) ? 1 : 0;
      return true;
    case WM_COPYDATA:
      LV_WMCopyData(m);
      return true;
    case LKE_MSG:
      switch (m.WParam) {
        case LKE_CLOSE:
          Form->Close();
          break;
        case LKE_HELLO:
          OldWndProc(m);
          break;
        case LKE_ALIVE:
          m.Result = 1;
          break;
        default:
          break;
      }
      return true;
    case WM_INITMENUPOPUP:
      LV_WMInitMenuPopup(m);
      return true;
    case WM_ENTERMENULOOP:
      if (Form->FormStyle() == vcl::fsMDIForm && MDIButtonsNeeded()) InMenu = true;
      OldWndProc(m);
      return true;
    case WM_EXITMENULOOP:
      InMenu = false;
      OldWndProc(m);
      SetHotMenuItem(-1);
      return true;
    case WM_MENUSELECT:
      OldWndProc(m);
      LV_WMMenuSelect(m);
      return true;
    case WM_CONTEXTMENU:
      if (Form->PopupMenu() && SkinManager() && SkinManager()->SkinableMenus())
        SkinManager()->SkinableMenus()->HookPopupMenu(Form->PopupMenu(), SkinManager()->SkinnedPopups());
      OldWndProc(m);
      return true;
    case vcl::CM_MENUCHANGED:
      if (!Form->ControlState().Contains(vcl::csCreating) && IsWindowVisible(Form->Handle()) &&
          !(FCommonData->CtrlSkinState & LVCS_LOCKED)) {
        FLinesCount = -1;
        MenuChanged = true;
        FCommonData->BGChanged = true;
      }
      OldWndProc(m);
      return true;
    case vcl::CM_ENABLEDCHANGED:
      OldWndProc(m);
      if (FDrawNonClientArea) {
        FCommonData->BGChanged = true;
        if (IsWindowVisible(Form->Handle())) ProcessMessage(WM_NCPAINT, 1, 0);
      }
      return true;
    case WM_STYLECHANGED:
      OldWndProc(m);
      if (SystemMenu && m.WParam == static_cast<WPARAM>(GWL_STYLE)) {
        SystemMenu->UpdateItems(false);
        FCommonData->BGChanged = true;
      }
      return true;
    case WM_CHILDACTIVATE:
      OldWndProc(m);
      UpdateMenu();
      if (MDISkinProvider && Form->FormStyle() == vcl::fsMDIChild) {
        if (IsZoomed()) {
          if (auto* main = dynamic_cast<TsSkinProvider*>(MDISkinProvider)) main->RepaintMenu();
        } else {
          CheckSysMenu(true);
        }
      }
      return true;
    case WM_MDIDESTROY:
    case WM_MDIACTIVATE:
      OldWndProc(m);
      if (Form->FormStyle() == vcl::fsMDIChild)
        if (auto* main = dynamic_cast<TsSkinProvider*>(MDISkinProvider)) {
          main->MenusInitialized = false;
          main->MenuChanged = true;
          main->SkinData()->BGChanged = true;
          main->FLinesCount = -1;
          main->ProcessMessage(WM_NCPAINT, 1, 0);
        }
      ChildProvider = this;
      return true;
    case WM_PARENTNOTIFY:
      if (!ComponentState().Contains(vcl::csLoading) &&
          (LOWORD(m.WParam) == WM_CREATE || LOWORD(m.WParam) == WM_DESTROY) && SkinManager() &&
          SkinManager()->SkinningRules().Contains(srThirdParty)) {
        OldWndProc(m);
        if (LOWORD(m.WParam) == WM_CREATE) {
          // The new child is found among the controls it belongs to; adapting them all is always right.
          if (!Adapter) Adapter.reset(new TlvCtrlAdapter(this));
          Adapter->AddAllItems(nullptr);
        }
        return true;
      }
      return false;
    case WM_NOTIFY:
      OldWndProc(m);
      if (m.LParam && reinterpret_cast<const NMHDR*>(m.LParam)->code == static_cast<UINT>(-551) /* TCN_SELCHANGE */ &&
          Adapter)
        Adapter->AddAllItems(nullptr);
      return true;
    case vcl::CM_CONTROLLISTCHANGE:
      OldWndProc(m);
      if (auto* c = reinterpret_cast<vcl::TControl*>(m.WParam)) {
        if (auto* w = dynamic_cast<vcl::TWinControl*>(c)) {
          if (Adapter) Adapter->AddNewItem(w);
          vcl::TMessage s;
          s.Msg = SM_LUMICMD;
          s.WParam = MakeLumiWParam(LVC_GETSKINSTATE);
          s.LParam = 1;
          LumiBroadCast(w, s);
        }
        c->Perform(SM_LUMICMD, MakeLumiWParam(LVC_GETSKINSTATE), 1);
      }
      return true;
    case vcl::CM_RECREATEWND:
      OldWndProc(m);
      if (lvPreviewHandle && Form->HandleAllocated()) {
        lvPreviewHandle = nullptr;
        lvPreviewNeeded = true;
        TrySayHelloToEditor(Form->Handle());
      }
      return true;
    case vcl::CM_FLOAT:
      OldWndProc(m);
      Form->Perform(SM_LUMICMD, MakeLumiWParam(LVC_REFRESH), reinterpret_cast<LPARAM>(SkinManager()));
      return true;
    case WM_QUERYENDSESSION:
      OldWndProc(m);
      return true;
    default:
      return false;
  }
}
