// The default manager's filter of the main window's messages: the skin editor's link, minimising and restoring of
// a skinned main form, its system menu and taskbar previews, and popup-menu borders.
#include <algorithm>
#include <cstring>

#include "platform/vcl/application.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sSkinProvider.h"

namespace {

constexpr UINT kPopupSystemMenu = 0x313;
constexpr UINT kDwmSendIconicThumbnail = 0x323;
constexpr UINT kDwmSendIconicLivePreview = 0x326;

vcl::TCustomForm* MainForm() { return vcl::Application ? vcl::Application->MainForm() : nullptr; }

TsCustomSkinProvider* MainProvider() {
  vcl::TCustomForm* form = MainForm();
  if (!form || !form->HandleAllocated()) return nullptr;
  return reinterpret_cast<TsCustomSkinProvider*>(
      SendMessageW(form->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_GETPROVIDER), 0));
}

bool AppMinimized() { return MainForm() && MainForm()->HandleAllocated() && IsIconic(MainForm()->Handle()); }

// Minimising or restoring the main window with the system's own animation switched off for the call.
void WithoutSystemAnimation(bool minimize) {
  const bool was = lvGetAnimation();
  lvSetAnimation(false);
  if (minimize)
    vcl::Application->Minimize();
  else
    vcl::Application->Restore();
  lvSetAnimation(was);
}

}  // namespace

bool TsSkinManager::MainWindowHook(vcl::TMessage& m) {
  if (DefaultManager != this) return false;
  const bool skinActive = CommonSkinData->Active;
  switch (m.Msg) {
    case WM_COPYDATA: {
      if (m.Result != 0 || lvSkinPreviewUpdating) return false;
      lvSkinPreviewUpdating = true;
      const auto* block = reinterpret_cast<const COPYDATASTRUCT*>(m.LParam);
      // The block is read only within the size it states: a short block fills what it has, the rest stays zero.
      if (m.WParam == 7 && block && block->lpData && block->cbData >= sizeof(std::uint32_t)) {
        std::uint32_t magic = 0;
        std::memcpy(&magic, block->lpData, sizeof magic);
        if (magic == LKE_MSG) {
          PreviewBuffer = TlvSkinData();
          std::memcpy(&PreviewBuffer, block->lpData, std::min<size_t>(block->cbData, sizeof(TlvSkinData)));
          if (vcl::TCustomForm* form = MainForm(); form && form->HandleAllocated())
            PostMessageW(form->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_COPYDATA), 0);
        }
      }
      lvSkinPreviewUpdating = false;
      return true;
    }
    case SM_LUMICMD:
      if (m.WParamHi() != LVC_COPYDATA) return false;
      ReceiveData();
      return true;
    case WM_SYSCOMMAND: {
      if (!skinActive) return false;
      TsCustomSkinProvider* provider = MainProvider();
      switch (m.WParam & 0xFFF0) {
        case SC_MINIMIZE: {
          ShowState = saMinimize;
          vcl::TCustomForm* form = MainForm();
          if (AppMinimized() || !form || !form->Visible() || !provider) return false;
          if (!FAnimEffects->Minimizing()->Active() || !FEffects->AllowAnimation()) {
            if (provider->BorderForm) provider->BorderForm->ExBorderShowing = true;
            return false;
          }
          if (!provider->FDrawNonClientArea) return false;
          provider->SkipAnimation = true;
          const bool started = StartMinimizing(provider);
          if (!AeroIsEnabled()) {
            WithoutSystemAnimation(true);
            return true;
          }
          if (!started && provider->BorderForm && !(provider->FormState & FS_ANIMMINIMIZING))
            provider->BorderForm->ExBorderShowing = true;
          return false;
        }
        case SC_RESTORE: {
          ShowState = saRestore;
          vcl::TCustomForm* form = MainForm();
          if (!form || !provider) return false;
          if (provider->FormState & FS_ANIMCLOSING) {
            provider->FormState &= ~FS_ANIMCLOSING;
            if (provider->BorderForm) provider->BorderForm->ExBorderShowing = false;
            WithoutSystemAnimation(false);
            return true;
          }
          if (FAnimEffects->Minimizing()->Active() && FEffects->AllowAnimation() && form->Visible() &&
              provider->FDrawNonClientArea && !StartRestoring(provider)) {
            ShowWindow(form->Handle(), SW_RESTORE);
            if (!AeroIsEnabled()) {
              WithoutSystemAnimation(false);
              return true;
            }
          }
          return false;
        }
        default:
          ShowState = saIgnore;
          return false;
      }
    }
    case kPopupSystemMenu: {
      TsCustomSkinProvider* provider = skinActive ? MainProvider() : nullptr;
      if (!provider || !vcl::Application->MainFormOnTaskbar()) return false;
      POINT p;
      GetCursorPos(&p);
      provider->DropSysMenu(p.x, p.y);
      return true;
    }
    case WM_THEMECHANGED:
      // A skin in force decides the look; the system's theme change is not passed on.
      return skinActive;
    case kDwmSendIconicThumbnail:
    case kDwmSendIconicLivePreview: {
      TsCustomSkinProvider* provider = lv_ChangeThumbPreviews ? MainProvider() : nullptr;
      if (!provider || !MainForm()) return false;
      bool handled = m.Msg == kDwmSendIconicThumbnail
                         ? SetThumbIcon(MainForm()->Handle(), provider, HIWORD(m.LParam), LOWORD(m.LParam))
                         : SetPreviewBmp(MainForm()->Handle(), provider);
      m.Result = 0;
      return handled;
    }
    case vcl::CM_ACTIVATE:
      if (skinActive && vcl::Screen)
        for (int i = 0; i < vcl::Screen->FormCount(); ++i)
          if (vcl::TCustomForm* f = vcl::Screen->Forms(i); f->HandleAllocated())
            SendMessageW(f->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_INVALIDATE), 0);
      return false;
    case WM_DRAWMENUBORDER:
    case WM_DRAWMENUBORDER2:
      if (!FSkinnedPopups || !FSkinableMenus) return false;
      if (m.Msg == WM_DRAWMENUBORDER2) {
        HWND popup = reinterpret_cast<HWND>(m.LParam);
        wchar_t cls[16] = {};
        if (popup && GetClassNameW(popup, cls, 16) && std::wstring(cls) == L"#32768")
          FSkinableMenus->DrawWndBorder(popup, FSkinableMenus->MenuBitmap(popup));
      }
      return true;
    default:
      return false;
  }
}
