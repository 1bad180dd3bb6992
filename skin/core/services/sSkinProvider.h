#pragma once
// What the skin core uses of the skinned forms and menus (subsystem 8): the per-form skin provider, its extended
// border window, the manager's menu-skinning object and a few window helpers. Only their stored state and the
// operations the core calls live here; how a provider paints a form's frame, animates it and skins its menus is
// built with the skinned forms, which derive from and fill in these classes.
//
// A provider sits in front of its form's window procedure: the form answers LVC_GETPROVIDER with the provider and
// LVC_CTRLHANDLED with 1, so broadcasts reach it once, through the list of skinned forms.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/component.h"
#include "platform/vcl/events.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/menus.h"
#include "skin/core/sCommonData.h"

class TsSkinManager;

VCL_ENUM(TlvAnimEvent, aeShowing, aeHiding, aeSkinChanging)

// FormState bits of a provider.
constexpr unsigned FS_MINIMIZING = 0x100, FS_ANIMCLOSING = 0x200, FS_RESTORING = 0x400, FS_COVERIMAGE = 0x1000,
                   FS_LOCKED = 0x10000;

// The layered window of a form's extended border.
class TlvBorderForm {
 public:
  virtual ~TlvBorderForm();
  vcl::TForm* AForm = nullptr;
  HWND ParentHandle = nullptr;
  WNDPROC OldBorderProc = nullptr;
  bool ExBorderShowing = false;

  virtual void CreateNewForm() {}
  virtual void PaintAll() {}
  // A new region for AForm (owned by the caller); 0 when there is no border window.
  virtual HRGN MakeRgn(int newWidth, int newHeight) { return nullptr; }
  virtual int OffsetY() { return 0; }
  virtual void UpdateExBordersPos(bool redraw = true, std::uint8_t blend = 255) {}
};

class TsSkinProvider : public vcl::TComponent {
  VCL_CLASS(TsSkinProvider, vcl::TComponent)
  // owner: the form to skin.
  explicit TsSkinProvider(vcl::TComponent* owner);
  ~TsSkinProvider() override;

  vcl::TForm* Form = nullptr;
  std::unique_ptr<TsScrollWndData> FCommonData;
  TlvBorderForm* BorderForm = nullptr;
  vcl::TForm* CoverForm = nullptr;
  std::unique_ptr<vcl::TBitmap> CoverBmp;
  std::vector<vcl::TRect> ArOR;
  unsigned FormState = 0;
  bool FInAnimation = false;
  bool SkipAnimation = false;
  bool FAllowAnimation = true;
  bool FAllowExtBorders = true;
  bool FDrawNonClientArea = false;
  bool FSysExHeight = false;
  vcl::TEvent<void(rtl::TObject* sender, TlvAnimEvent event)> OnAfterAnimation;

  TsSkinManager* SkinManager() const { return FCommonData->SkinManager(); }
  // Repaints the whole-window cache bitmap.
  virtual void PaintAll() {}
  virtual int CaptionHeight(bool checkSkin = true);
  virtual int ActualTitleHeight() { return CaptionHeight(true); }
  virtual vcl::TRect ShadowSize() { return vcl::TRect(); }
  virtual int OffsetX() { return 0; }
  virtual int OffsetY() { return 0; }
  virtual void DropSysMenu(int x, int y) {}

 private:
  void ProviderWndProc(vcl::TMessage& m);
  vcl::TWndMethod FOldWndProc;
};

// The provider of the main MDI form; nullptr when none.
extern TsSkinProvider* MDISkinProvider;

// The manager's menu-skinning object.
class TsSkinableMenus {
 public:
  explicit TsSkinableMenus(TsSkinManager* owner) : FOwner(owner) {}
  virtual ~TsSkinableMenus() = default;
  // -1 until computed for the current skin.
  int FSkinBorderWidth = -1;
  // Applies the skin to all menus of the application again.
  virtual void UpdateMenus() {}
  // Sets the owner-draw state of all menu items again.
  virtual void InitItems(bool skinned) {}
  virtual void HookPopupMenu(vcl::TPopupMenu* menu, bool active) {}
  virtual void DrawWndBorder(HWND wnd, vcl::TBitmap* menuBmp) {}
  // The prepared background of a popup menu window; nullptr when none.
  virtual vcl::TBitmap* MenuBitmap(HWND popup) { return nullptr; }

 protected:
  TsSkinManager* FOwner;
};

// Makes the manager's menu-skinning object; the skinned menus set it when they are linked in (nullptr: the idle
// object above).
using TsSkinableMenusFactory = std::unique_ptr<TsSkinableMenus> (*)(TsSkinManager* owner);
extern TsSkinableMenusFactory MakeSkinableMenus;

// Window helpers of the skinned forms.
void FillArOR(TsSkinProvider* provider);
void UpdateRgn(TsSkinProvider* provider, bool repaint = true, bool flag = false);
HRGN GetRgnFromArOR(TsSkinProvider* provider, int x = 0, int y = 0);
// A new picture of the whole form with its frame; the caller owns it.
std::unique_ptr<vcl::TBitmap> GetFormImage(TsSkinProvider* provider, bool freeCache = false);
bool StartMinimizing(TsSkinProvider* provider);
bool StartRestoring(TsSkinProvider* provider);
bool SetThumbIcon(HWND appWnd, TsSkinProvider* provider, int width, int height);
bool SetPreviewBmp(HWND appWnd, TsSkinProvider* provider);
// Desktop composition is on.
bool AeroIsEnabled();
HRESULT DwmSetWindowAttribute(HWND wnd, DWORD attribute, const void* data, DWORD size);
HRESULT DwmInvalidateIconicBitmaps(HWND wnd);
