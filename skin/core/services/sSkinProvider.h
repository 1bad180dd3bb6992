#pragma once
// What the skin core uses of the skinned forms and menus (subsystem 8): the base of the per-form skin provider, its
// extended border window, the manager's menu-skinning object and a few window helpers. Only their stored state and
// the operations the core calls live here; the skinned forms (skin/forms: TsSkinProvider, which paints a form's
// frame, does its hit testing and owns its window menu) derive from and fill in these classes.
//
// A provider sits in front of its form's window procedure: the form answers LVC_GETPROVIDER with the provider and
// LVC_CTRLHANDLED with 1, so broadcasts reach it once, through the list of skinned forms. This base, made on its
// own, is such a provider and nothing more: it leaves the form's look to the platform.
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
constexpr unsigned FS_SIZING = 0x1;              // the border window's region is replaced while sizing
constexpr unsigned FS_BLENDMOVING = 0x80;        // blend-on-moving runs
constexpr unsigned FS_ANIMMINIMIZING = 0x100;    // the minimise animation runs
constexpr unsigned FS_ANIMCLOSING = 0x200;       // the hide animation runs or the form's image is taken for it
constexpr unsigned FS_ANIMRESTORING = 0x400;     // the restore animation runs
constexpr unsigned FS_THUMBDRAWING = 0x800;      // a taskbar thumbnail is drawn
constexpr unsigned FS_CHANGING = 0x1000;         // the form is being changed (its cover image is shown)
constexpr unsigned FS_MAXHEIGHT = 0x2000;        // maximised by height only
constexpr unsigned FS_MAXWIDTH = 0x4000;         // maximised by width only
constexpr unsigned FS_MAXBOUNDS = 0x6000;
constexpr unsigned FS_ACTIVATE = 0x8000;         // inside the frame activation
constexpr unsigned FS_LOCKED = 0x10000;          // painting locked
constexpr unsigned FS_SCROLLUPDATING = 0x20000;  // the scroll bars are being updated
constexpr unsigned FS_POSCHANGING = 0x40000;     // placed by a glued master
constexpr unsigned FS_ZOOMING = 0x80000;         // a maximise or restore from the taskbar is in progress
constexpr unsigned FS_DISABLED = 0x100000;       // disabled, drawn with its disabled blend
constexpr unsigned FS_FULLPAINTING = FS_BLENDMOVING | FS_ANIMMINIMIZING | FS_CHANGING;

// What the core asks of the layered window that carries a form's or a dialog's extended border (frame and shadow);
// the skinned forms (skin/forms, TlvBorderForm) fill it in.
class TlvCustomBorderForm {
 public:
  virtual ~TlvCustomBorderForm();
  vcl::TForm* AForm = nullptr;
  HWND ParentHandle = nullptr;
  bool ExBorderShowing = false;
  // The owner's skin data (not owned): its cache bitmap is the image the window shows.
  TsCommonData* SkinData = nullptr;

  virtual void CreateNewForm() {}
  virtual void PaintAll() {}
  // A new region for AForm (owned by the caller); 0 when there is no border window.
  virtual HRGN MakeRgn(int newWidth, int newHeight) { return nullptr; }
  virtual int OffsetY() { return 0; }
  virtual void UpdateExBordersPos(bool redraw = true, std::uint8_t blend = 255) {}
  // Paints the shadow around the owner's window image (active or inactive) and fills the frame's keyed corners
  // from it; titleSkinIndex and borderIndex give the corner masks, frameWidth the skinned frame's width.
  virtual void PaintShadow(vcl::TBitmap* image, bool active, int titleSkinIndex, int borderIndex, int frameWidth) {}
  // The owner's window (0 when it has none) and its caption height, with the skin's title or the system's.
  virtual HWND OwnerHandle() { return nullptr; }
  virtual int CaptionHeight(bool checkSkin) { return 0; }
};

class TsCustomSkinProvider : public vcl::TComponent {
  VCL_CLASS(TsCustomSkinProvider, vcl::TComponent)
  // owner: the form to skin.
  explicit TsCustomSkinProvider(vcl::TComponent* owner) : TsCustomSkinProvider(owner, true) {}
  ~TsCustomSkinProvider() override;

  vcl::TForm* Form = nullptr;
  std::unique_ptr<TsScrollWndData> FCommonData;
  TlvCustomBorderForm* BorderForm = nullptr;
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
  // Repaints the whole-window cache bitmap; False while the parent's background is not ready.
  virtual bool PaintAll() { return true; }
  virtual int CaptionHeight(bool checkSkin = true);
  virtual int ActualTitleHeight() { return CaptionHeight(true); }
  virtual vcl::TRect ShadowSize() { return vcl::TRect(); }
  virtual int OffsetX() { return 0; }
  virtual int OffsetY() { return 0; }
  virtual void DropSysMenu(int x, int y) {}
  // The window shape (see FillArOR, GetRgnFromArOR and UpdateRgn below).
  virtual void FillShape() { ArOR.clear(); }
  virtual HRGN ShapeRegion(int x, int y);
  virtual void UpdateShape(bool repaint, bool setRgnRedraw) {}

 protected:
  // hookForm False: the descendant puts its own procedure in front of the form's (HookForm) when it is ready.
  TsCustomSkinProvider(vcl::TComponent* owner, bool hookForm);
  // proc goes in front of the form's window procedure and the form joins the list of skinned forms.
  void HookForm(vcl::TWndMethod proc);
  // Gives the form its window procedure back and takes it out of the list; nothing when not hooked.
  void UnhookForm();
  // The form's window procedure before the provider took it.
  vcl::TWndMethod OldWndProc;

 private:
  void ProviderWndProc(vcl::TMessage& m);
  vcl::TWndMethod FHookProc;
};

// The provider of the main MDI form; nullptr when none.
extern TsCustomSkinProvider* MDISkinProvider;

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

// Set while the skinned menus measure the items of a popup that is about to open, cleared when a popup of other
// items opens and when a popup window goes: the popup-menu window wrapper skins a window only while it is set, so
// that popups whose items the system draws (a control's own context menu, a plain menu) keep the system's look.
extern bool lvCanHookMenu;

// Makes the manager's menu-skinning object; the skinned menus set it when they are linked in (nullptr: the idle
// object above).
using TsSkinableMenusFactory = std::unique_ptr<TsSkinableMenus> (*)(TsSkinManager* owner);
extern TsSkinableMenusFactory MakeSkinableMenus;

// Window helpers of the skinned forms.
// The transparent runs of the form's shape (ArOR), rebuilt from the skin's border masks.
void FillArOR(TsCustomSkinProvider* provider);
// Gives the form its region again (setRgnRedraw: SetWindowRgn redraws, else a separate redraw when repaint).
void UpdateRgn(TsCustomSkinProvider* provider, bool repaint = true, bool setRgnRedraw = false);
// The form's shape at (x, y) as a new region; the caller owns it.
HRGN GetRgnFromArOR(TsCustomSkinProvider* provider, int x = 0, int y = 0);
// A new 32-bit picture of the cache bitmap's size with the whole form painted into it (frame and every control),
// opaque when the form has no border window; nullptr without a cache. freeCache empties the cache afterwards.
std::unique_ptr<vcl::TBitmap> GetFormImage(TsCustomSkinProvider* provider, bool freeCache = false);
// The minimise animation of a form that draws its own frame; True when it runs.
bool StartMinimizing(TsCustomSkinProvider* provider);
// The restore animation; True when there is nothing to animate or it was started.
bool StartRestoring(TsCustomSkinProvider* provider);
// The taskbar thumbnail and live preview of the form; True when the request was answered.
bool SetThumbIcon(HWND appWnd, TsCustomSkinProvider* provider, int width, int height);
bool SetPreviewBmp(HWND appWnd, TsCustomSkinProvider* provider);
// The skinned forms answer the four calls above when they are linked in (each nullptr: a form without its own frame
// has nothing to animate or to show: False, True, False, False).
struct TlvFormEffectHooks {
  bool (*StartMinimizing)(TsCustomSkinProvider* provider) = nullptr;
  bool (*StartRestoring)(TsCustomSkinProvider* provider) = nullptr;
  bool (*SetThumbIcon)(HWND appWnd, TsCustomSkinProvider* provider, int width, int height) = nullptr;
  bool (*SetPreviewBmp)(HWND appWnd, TsCustomSkinProvider* provider) = nullptr;
};
extern TlvFormEffectHooks FormEffectHooks;
// Desktop composition is on.
bool AeroIsEnabled();
HRESULT DwmSetWindowAttribute(HWND wnd, DWORD attribute, const void* data, DWORD size);
HRESULT DwmInvalidateIconicBitmaps(HWND wnd);
