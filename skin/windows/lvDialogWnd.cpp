// The frame of a skinned system dialog.
#include "skin/windows/lvDialogWnd.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/vcl/bitmap.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinOptions.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"

namespace {

int StateOf(TsSkinManager* m, int skinIndex, int state) {
  if (!m || !m->IsValidSkinIndex(skinIndex)) return 0;
  return std::max(0, std::min<int>(state, m->gd[static_cast<size_t>(skinIndex)].States - 1));
}

// A device context of the window for one scope, its state saved.
class TWindowDC {
 public:
  explicit TWindowDC(HWND wnd) : wnd_(wnd), dc_(GetWindowDC(wnd)), saved_(dc_ ? SaveDC(dc_) : 0) {}
  ~TWindowDC() {
    if (!dc_) return;
    RestoreDC(dc_, saved_);
    ReleaseDC(wnd_, dc_);
  }
  HDC Get() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
  int saved_;
};

constexpr int kSysCommands[6] = {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE};
const wchar_t* const kSysCaptions[6] = {L"&Geri Yükle", L"&Taşı", L"&Boyut", L"&Simge Durumuna Küçült",
                                        L"Ekranı &Kapla", L"&Kapat\tAlt+F4"};

}  // namespace

// ---- System menu --------------------------------------------------------------------------------------------------

bool TlvSystemMenu::VisibleSize() const {
  return FOwner->BorderStyle != acbsDialog && FOwner->BorderStyle != acbsNone &&
         FOwner->BorderStyle != acbsToolWindow;
}
bool TlvSystemMenu::EnabledMove() const { return !IsZoomed(FOwner->CtrlHandle); }
bool TlvSystemMenu::EnabledSize() const {
  return FOwner->BorderStyle != acbsSingle && !IsIconic(FOwner->CtrlHandle);
}

void TlvSystemMenu::UpdateItems() {
  ItemVisible[0] = FOwner->VisibleRestore();
  ItemVisible[1] = true;
  ItemVisible[2] = VisibleSize();
  ItemVisible[3] = FOwner->VisibleMin();
  ItemVisible[4] = FOwner->VisibleMax();
  ItemVisible[5] = FOwner->VisibleClose();
  ItemEnabled[0] = FOwner->EnabledRestore();
  ItemEnabled[1] = EnabledMove();
  ItemEnabled[2] = EnabledSize();
  ItemEnabled[3] = FOwner->EnabledMin();
  ItemEnabled[4] = FOwner->EnabledMax();
  ItemEnabled[5] = true;
}

void TlvSystemMenu::Popup(int x, int y) {
  const HWND h = FOwner->CtrlHandle;
  if (!h) return;
  UpdateItems();
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  for (int i = 0; i < 6; ++i) {
    if (!ItemVisible[i]) continue;
    if (i == 5) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | (ItemEnabled[i] ? 0 : MF_GRAYED), static_cast<UINT_PTR>(kSysCommands[i]),
                kSysCaptions[i]);
  }
  const int cmd = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, x, y, 0, h, nullptr);
  DestroyMenu(menu);
  if (cmd) {
    SendMessageW(h, WM_SYSCOMMAND, static_cast<WPARAM>(cmd), 0);
    if (cmd == SC_RESTORE || cmd == SC_MAXIMIZE) UpdateItems();
  }
}

// ---- Life -----------------------------------------------------------------------------------------------------------

void TlvDialogWnd::InitSkinData() {
  // The core's view owns the skin data (the animations read its cache through it); the wrapper base only uses it.
  cxLeftEdge = -1;
  ScrollsInitialized = false;
  if (!TlvCustomDialogWnd::SkinData) TlvCustomDialogWnd::SkinData = std::make_unique<TsScrollWndData>(nullptr, true);
  TlvScrollWnd::SkinData = TlvCustomDialogWnd::SkinData.get();
  TlvScrollWnd::SkinData->Loading = true;
}

void TlvDialogWnd::AfterCreation() {
  OwnSkinData = false;
  TlvScrollWnd::AfterCreation();
  TlvCustomDialogWnd::CtrlHandle = CtrlHandle;
  TlvCustomDialogWnd::SkinManager = SkinManager;
  TlvCustomDialogWnd::Destroyed = false;
  Initialized = false;
  RgnChanged = true;
  BorderStyle = acbsSingle;
  TempBmp = CreateBmp32(1, 1);
  FFormActive = true;
  OSVERSIONINFOW vi{};
  vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  FWMPaintForbidden = GetVersionExW(&vi) && vi.dwMajorVersion >= 6;
#pragma GCC diagnostic pop
  FCaptionSkinIndex = TitleIndex = -1;
  for (TlvDlgButton* b : {&ButtonMin, &ButtonMax, &ButtonHelp, &ButtonClose}) b->State = -1;
  SystemMenu = std::make_unique<TlvSystemMenu>(this);
  SystemMenu->UpdateItems();
  SkinData->SetUpdatingFlag(true);
  SetClassLongPtrW(CtrlHandle, GCL_STYLE, GetClassLongPtrW(CtrlHandle, GCL_STYLE) & ~static_cast<LONG_PTR>(CS_SAVEBITS));
  UpdateIconsIndexes();
}

TlvDialogWnd::~TlvDialogWnd() {
  // The controls' wrappers go first: they give their windows back while the dialog still holds its own.
  OwnedProvider.reset();
  Provider = nullptr;
  KillAnimations();
  if (!TlvCustomDialogWnd::Destroyed && CtrlHandle && IsWindow(CtrlHandle)) GoIdle();
  if (TitleFont) DeleteObject(TitleFont);
  TitleFont = nullptr;
  if (DlgBrush) DeleteObject(DlgBrush);
  DlgBrush = nullptr;
  TitleIcon = nullptr;
  TitleBG.reset();
  TempBmp.reset();
  TitleGlyph.reset();
  SystemMenu.reset();
  // The base destructor gives the procedure back; the skin data lives until the core's view goes, after it.
}

void TlvDialogWnd::GoIdle() {
  if (Idle) return;
  Idle = true;
  KillAnimations();
  InitExBorders(false);
  const HWND h = CtrlHandle;
  if (!h || !IsWindow(h)) return;
  if (dwStyle & WS_SYSMENU) SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) | WS_SYSMENU);
  RgnChanging = true;
  SetWindowRgn(h, nullptr, FALSE);
  RgnChanging = false;
  SetWindowPos(h, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
  if (IsWindowVisible(h))
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TlvDialogWnd::Wake() {
  if (!Idle) return;
  Idle = false;
  SkinData->UpdateIndexes(true);
  SkinData->BGChanged = true;
  RgnChanged = true;
  InitParams();
  if (Provider) Provider->InitHwndControls(CtrlHandle);
  if (IsWindowVisible(CtrlHandle))
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// ---- Geometry -------------------------------------------------------------------------------------------------------

void TlvDialogWnd::Metrics(int& bw, int& bh, int& caption) {
  bw = bh = caption = 0;
  const HWND h = CtrlHandle;
  if (!h) return;
  RECT wr, cr;
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  POINT tl{0, 0}, br{cr.right, cr.bottom};
  ClientToScreen(h, &tl);
  ClientToScreen(h, &br);
  bw = std::max<int>(0, tl.x - wr.left);
  // The bottom edge is as thick as the sides unless a horizontal bar sits there.
  bh = std::max<int>(0, std::min<int>(wr.bottom - br.y, bw));
  if (IsIconic(h)) {
    bh = GetSystemMetrics(SM_CYFIXEDFRAME);
    bw = GetSystemMetrics(SM_CXFIXEDFRAME);
  }
  const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
  if ((style & WS_CAPTION) == WS_CAPTION || IsIconic(h)) {
    caption = std::max<int>(0, tl.y - wr.top - bh);
    if (caption == 0 || IsIconic(h))
      caption = GetSystemMetrics((BorderStyle == acbsToolWindow || BorderStyle == acbsSizeToolWin) ? SM_CYSMCAPTION
                                                                                                  : SM_CYCAPTION);
  }
}

int TlvDialogWnd::SysBorderWidth() {
  int bw, bh, c;
  Metrics(bw, bh, c);
  return bw;
}

int TlvDialogWnd::SysBorderHeight() {
  int bw, bh, c;
  Metrics(bw, bh, c);
  return bh;
}

int TlvDialogWnd::CaptionHeight(bool checkSkin) {
  int bw, bh, c;
  Metrics(bw, bh, c);
  TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
  if (checkSkin && c != 0 && BorderForm && m)
    return IsZoomed(CtrlHandle) ? m->CommonSkinData->ExMaxHeight : m->CommonSkinData->ExTitleHeight;
  return c;
}

TlvCustomBorderForm* (*lvMakeDialogBorderForm)(TlvDialogWnd* owner) = nullptr;
void (*lvFadeDialogButton)(TlvDialogWnd* owner, TsCaptionButton* btn, int newState, int iterations, bool up) = nullptr;
void (*lvStopButtonFade)(TsCaptionButton* btn) = nullptr;

vcl::TRect TlvDialogWnd::ShadowSize() {
  TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
  return BorderForm && m ? m->FormShadowSize : vcl::TRect();
}

int TlvDialogWnd::ExFrameWidth() {
  TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
  return BorderForm && m ? m->CommonSkinData->ExBorderWidth : SysBorderWidth();
}

int TlvDialogWnd::ExFrameTop() { return BorderForm ? 0 : SysBorderHeight(); }

void TlvDialogWnd::InitExBorders(bool value) {
  TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
  const bool wanted = value && m && !m->ComponentState().Contains(vcl::csDesigning) && lvMakeDialogBorderForm &&
                      !Idle && CtrlHandle && IsWindow(CtrlHandle) && BorderStyle != acbsNone &&
                      CaptionHeight(false) != 0;
  if (wanted) {
    if (BorderForm) return;
    BorderForm = lvMakeDialogBorderForm(this);
    BorderForm->SkinData = SkinData;
    SkinData->BGChanged = true;
    RgnChanged = true;
    if (IsWindowVisible(CtrlHandle)) BorderForm->UpdateExBordersPos(true, 255);
    return;
  }
  if (!BorderForm) return;
  TlvCustomBorderForm* b = BorderForm;
  BorderForm = nullptr;
  delete b;
  // The dialog's own frame is the frame again.
  SkinData->BGChanged = true;
  RgnChanged = true;
}

int TlvDialogWnd::OffsetX() { return BorderForm ? ShadowSize().Left + ExFrameWidth() : SysBorderWidth(); }

int TlvDialogWnd::OffsetY() {
  if (!CtrlHandle) return 0;
  if (BorderForm) return ShadowSize().Top + ExFrameTop() + CaptionHeight(true);
  RECT wr;
  GetWindowRect(CtrlHandle, &wr);
  POINT p{0, 0};
  ClientToScreen(CtrlHandle, &p);
  return p.y - wr.top;
}

vcl::TRect TlvDialogWnd::IconRect() {
  TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
  const int margin = m ? m->CommonSkinData->BILeftMargin : 0;
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  const vcl::TRect sh = ShadowSize();
  const int left = ExFrameWidth() + margin + sh.Left;
  const int top = (ExFrameTop() + CaptionHeight(true) - cy) / 2 + sh.Top;
  return vcl::TRect(left, top, left + cx, top + cy);
}

bool TlvDialogWnd::VisibleRestore() const {
  return VisibleClose() && BorderStyle != acbsDialog && BorderStyle != acbsNone && BorderStyle != acbsToolWindow &&
         BorderStyle != acbsSizeToolWin;
}
bool TlvDialogWnd::EnabledClose() const {
  return VisibleClose() && !(GetClassLongPtrW(CtrlHandle, GCL_STYLE) & CS_NOCLOSE);
}
bool TlvDialogWnd::EnabledMax() const {
  return VisibleMax() && !IsZoomed(CtrlHandle) &&
         (BorderStyle == acbsSingle || BorderStyle == acbsSizeable || BorderStyle == acbsSizeToolWin);
}
bool TlvDialogWnd::EnabledMin() const { return VisibleMin() && !IsIconic(CtrlHandle); }
bool TlvDialogWnd::EnabledRestore() const {
  return VisibleMax() && (IsIconic(CtrlHandle) || IsZoomed(CtrlHandle));
}

// ---- Parameters -----------------------------------------------------------------------------------------------------

void TlvDialogWnd::InitParams() {
  const HWND h = CtrlHandle;
  dwStyle = static_cast<DWORD>(GetWindowLongPtrW(h, GWL_STYLE));
  dwExStyle = static_cast<DWORD>(GetWindowLongPtrW(h, GWL_EXSTYLE));
  BorderStyle = acbsSizeable;
  if ((dwStyle & WS_POPUP) && (dwStyle & WS_CAPTION) != WS_CAPTION)
    BorderStyle = acbsNone;
  else if (!(dwStyle & WS_THICKFRAME) && (dwStyle & DS_MODALFRAME))
    BorderStyle = acbsDialog;
  PrepareTitleGlyph();
  UpdateIconsIndexes();
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  if (TitleFont) DeleteObject(TitleFont);
  TitleFont = nullptr;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) TitleFont = CreateFontIndirectW(&ncm.lfCaptionFont);
  // The system draws no title buttons of its own while the skin draws them.
  SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_SYSMENU));
  if (SystemMenu) SystemMenu->UpdateItems();
  if (TsSkinManager* m = SkinData->SkinManager(); m && !Idle) InitExBorders(m->ExtendedBorders());
}

void TlvDialogWnd::PrepareTitleGlyph() {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  TitleIcon = reinterpret_cast<HICON>(SendMessageW(CtrlHandle, WM_GETICON, ICON_SMALL, 0));
  if (!TitleIcon) TitleIcon = reinterpret_cast<HICON>(SendMessageW(CtrlHandle, WM_GETICON, ICON_BIG, 0));
  if (!TitleIcon) {
    TitleGlyph.reset();
    return;
  }
  TitleGlyph = CreateBmp32(cx, cy);
  HDC dc = TitleGlyph->Canvas()->Handle();
  FillDC(dc, vcl::TRect(0, 0, cx, cy), 0xFF00FF);
  if (HICON copy = static_cast<HICON>(CopyImage(TitleIcon, IMAGE_ICON, cx, cy, 0))) {
    DrawIconEx(dc, 0, 0, copy, cx, cy, 0, nullptr, DI_NORMAL);
    DestroyIcon(copy);
  }
}

void TlvDialogWnd::UpdateIconsIndexes() {
  TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
  if (!m || !m->IsValidSkinIndex(m->ConstData.IndexGLobalInfo)) return;
  const int gi = m->ConstData.IndexGLobalInfo;
  ButtonMin.HitCode = HTMINBUTTON;
  ButtonMax.HitCode = HTMAXBUTTON;
  ButtonClose.HitCode = HTCLOSE;
  ButtonHelp.HitCode = HTHELP;
  TitleIndex = -1;
  auto mask = [&](const wchar_t* name) { return m->GetMaskIndex(gi, name); };
  auto big = [&] {
    const int alone = mask(L"BICLOSEALONE");
    ButtonClose.ImageIndex = (!VisibleMax() && !VisibleMin() && m->IsValidImgIndex(alone)) ? alone : mask(L"BICONCLOSE");
    ButtonMin.ImageIndex = mask(L"BICONMIN");
    ButtonMax.ImageIndex = mask(L"BICONMAX");
    ButtonHelp.ImageIndex = mask(L"BICONHELP");
    ButtonClose.HaveAlignment = ButtonMin.HaveAlignment = ButtonMax.HaveAlignment = ButtonHelp.HaveAlignment = true;
  };
  if (BorderStyle == acbsSingle || BorderStyle == acbsSizeable) {
    big();
  } else {
    ButtonClose.ImageIndex = mask(L"SICONCLOSE");
    ButtonMin.ImageIndex = mask(L"SICONMIN");
    ButtonMax.ImageIndex = mask(L"SICONMAX");
    ButtonHelp.ImageIndex = mask(L"SICONHELP");
    if (!m->IsValidImgIndex(ButtonHelp.ImageIndex)) ButtonHelp.ImageIndex = mask(L"BICONHELP");
    ButtonClose.HaveAlignment = ButtonMin.HaveAlignment = ButtonMax.HaveAlignment = ButtonHelp.HaveAlignment = false;
    if (!m->IsValidImgIndex(ButtonClose.ImageIndex)) big();
    TitleSection = L"DIALOGTITLE";
    TitleIndex = m->GetSkinIndex(TitleSection);
  }
  if (TitleIndex < 0) {
    TitleSection = L"DIALOGTITLE";
    TitleIndex = m->GetSkinIndex(TitleSection);
  }
  if (TitleIndex < 0) {
    TitleSection = L"FORMTITLE";
    TitleIndex = m->GetSkinIndex(TitleSection);
  }
  FCaptionSkinIndex = m->GetSkinIndex(L"CAPTION");
}

int TlvDialogWnd::SysButtonWidth(const TlvDlgButton& btn) {
  TsSkinManager* m = SkinData->SkinManager();
  if (!m || !m->IsValidImgIndex(btn.ImageIndex)) return 21;
  const TsMaskData& md = m->ma[static_cast<size_t>(btn.ImageIndex)];
  if (md.Bmp && md.ImageCount > 0) return md.Bmp->Width() / md.ImageCount;
  return WidthOfImage(md);
}

int TlvDialogWnd::ButtonHeight(int index) {
  TsSkinManager* m = SkinData->SkinManager();
  if (!m || !m->IsValidImgIndex(index)) return 21;
  return HeightOfImage(m->ma[static_cast<size_t>(index)]);
}

int TlvDialogWnd::TitleBtnsWidth() {
  if (!VisibleClose()) return 0;
  int w = SysButtonWidth(ButtonClose);
  if (VisibleMax()) w += SysButtonWidth(ButtonMax);
  if (VisibleMin()) w += SysButtonWidth(ButtonMin);
  if (VisibleHelp()) w += SysButtonWidth(ButtonHelp);
  return w;
}

// ---- The image ------------------------------------------------------------------------------------------------------

void TlvDialogWnd::PaintAll() {
  if (FormState & 0x80) return;
  const HWND h = CtrlHandle;
  if (!h || !SkinData) return;
  TsSkinManager* m = SkinData->SkinManager();
  InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (!SkinData->CacheBmp()) SkinData->InitCacheBmp();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  // With a border window the image holds the skinned frame, wider than the system's, and the shadow around it.
  const vcl::TRect sh = ShadowSize();
  const int diffBorder = BorderForm ? ExFrameWidth() - SysBorderWidth() : 0;
  const int diffTitle = BorderForm ? CaptionHeight(true) - CaptionHeight(false) - SysBorderWidth() : 0;
  const int w = std::max(1, WndSize.cx + 2 * diffBorder + sh.Left + sh.Right);
  const int hgt = std::max(1, WndSize.cy + diffTitle + diffBorder + sh.Top + sh.Bottom);
  if (cache->Width() != w || cache->Height() != hgt || cache->PixelFormat() != vcl::pf32bit) {
    cache->SetPixelFormat(vcl::pf32bit);
    cache->SetSize(w, hgt);
    SkinData->BGChanged = true;
  }
  const int titleBottom = ExFrameTop() + CaptionHeight(true) + sh.Top;
  const vcl::TRect frame(sh.Left, sh.Top, w - sh.Right, hgt - sh.Bottom);
  if (!SkinData->BGChanged) return;
  RgnChanged = true;
  if (m && m->IsValidSkinIndex(SkinData->SkinIndex)) {
    PaintItem(SkinData, EmptyCI, false, StateOf(m, SkinData->SkinIndex, State()), frame,
              vcl::TPoint(WndRect.Left, WndRect.Top), cache, false);
    PaintTitle(titleBottom);
    if (m->IsValidImgIndex(SkinData->BorderIndex) && (!TitleBG || TitleBG->Width() != w)) MakeTitleBG();
    if (CaptionHeight(true) != 0) {
      MakeTitleBG();
      PaintBorderIcons();
    }
    if (BorderForm) {
      // The border window shows the image by its alpha: the frame is opaque but for its keyed corners.
      FillAlphaRect(cache, frame, 255, 0xFF00FF);
      BorderForm->PaintShadow(cache, FFormActive, TitleIndex, SkinData->BorderIndex, ExFrameWidth());
    }
  }
  SkinData->BGChanged = false;
}

void TlvDialogWnd::MakeTitleBG() {
  vcl::TBitmap* cache = SkinData->CacheBmp();
  const int hgt = std::max(1, std::min(cache->Height(), ShadowSize().Top + ExFrameTop() + CaptionHeight(true)));
  if (!TitleBG || TitleBG->Width() != cache->Width() || TitleBG->Height() != hgt)
    TitleBG = CreateBmp32(cache->Width(), hgt);
  BitBlt(TitleBG->Canvas()->Handle(), 0, 0, cache->Width(), hgt, cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TlvDialogWnd::PaintTitle(int titleBottom) {
  TsSkinManager* m = SkinData->SkinManager();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  const int caption = CaptionHeight(true);
  if (caption == 0) return;
  if (m->IsValidSkinIndex(TitleIndex))
    PaintItem(TitleIndex, MakeCacheInfo(cache), true, StateOf(m, TitleIndex, State()),
              vcl::TRect(ShadowSize().Left, ShadowSize().Top, cache->Width() - ShadowSize().Right,
                         IsIconic(CtrlHandle) ? cache->Height() - ShadowSize().Bottom : titleBottom),
              vcl::TPoint(0, 0), cache, m);
  // The window's icon.
  const vcl::TRect ir = IconRect();
  if (TitleIcon) {
    HICON copy = static_cast<HICON>(CopyImage(TitleIcon, IMAGE_ICON, ir.Width(), ir.Height(), 0));
    HICON icon = copy ? copy : LoadIconW(nullptr, IDI_APPLICATION);
    DrawIconEx(cache->Canvas()->Handle(), ir.Left, ir.Top, icon, ir.Width(), ir.Height(), 0, nullptr, DI_NORMAL);
    if (copy) DestroyIcon(copy);
  }
  // The caption text.
  const rtl::String text = GetWndText(CtrlHandle);
  if (text.empty()) return;
  vcl::TRect t;
  const vcl::TRect sh = ShadowSize();
  t.Left = ExFrameWidth() + (TitleIcon ? ir.Width() : 0) + m->CommonSkinData->BILeftMargin + 4 + sh.Left;
  t.Top = 2 + sh.Top;
  t.Right = cache->Width() - TitleBtnsWidth() - 6 - sh.Right;
  t.Bottom = titleBottom;
  if (t.Right <= t.Left || t.Bottom <= t.Top) return;
  unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
  if (dwExStyle & (WS_EX_RTLREADING | WS_EX_LAYOUTRTL)) flags |= DT_RTLREADING | DT_RIGHT;
  vcl::TCanvas* canvas = cache->Canvas();
  HDC dc = canvas->Handle();
  HFONT font = TitleFont ? TitleFont : lvGetTitleFont();
  HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  int section = TitleIndex;
  if (m->IsValidSkinIndex(FCaptionSkinIndex)) {
    vcl::TRect d = t;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), reinterpret_cast<RECT*>(&d), flags | DT_CALCRECT);
    d.Left -= 4;
    d.Right += 4;
    d.Top -= 2;
    d.Bottom += 2;
    PaintItem(FCaptionSkinIndex, MakeCacheInfo(cache), true, StateOf(m, FCaptionSkinIndex, State()), d,
              vcl::TPoint(0, 0), cache, m);
    section = FCaptionSkinIndex;
  }
  if (m->IsValidSkinIndex(section)) {
    const TsGeneralData& g = m->gd[static_cast<size_t>(section)];
    SetTextColor(dc, vcl::ColorToRGB(g.Props[StateOf(m, section, State())].FontColor.Color));
    RECT r{t.Left, t.Top, t.Right, t.Bottom};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  }
  if (oldFont) SelectObject(dc, oldFont);
}

void TlvDialogWnd::PaintBorderIcons() {
  if (!(dwStyle & WS_SYSMENU)) return;
  TsSkinManager* m = SkinData->SkinManager();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  const bool bigIcons = BorderStyle == acbsSingle || BorderStyle == acbsSizeable ||
                        (m->IsValidImgIndex(ButtonClose.ImageIndex) &&
                         ButtonClose.ImageIndex == m->GetMaskIndex(m->ConstData.IndexGLobalInfo, L"BICONCLOSE"));
  const int spacing = bigIcons ? m->CommonSkinData->BISpacing : 0;
  int x = cache->Width() - m->CommonSkinData->BIRightMargin - ShadowSize().Right - std::max(4, ExFrameWidth());
  auto place = [&](TlvDlgButton& b, bool enabled) {
    if (b.State < 0) b.State = 0;
    b.Rect.Right = x;
    PaintButton(b, enabled);
    x = b.Rect.Left - spacing;
  };
  place(ButtonClose, EnabledClose());
  if (VisibleMax()) place(ButtonMax, IsZoomed(CtrlHandle) ? EnabledRestore() : EnabledMax());
  else ButtonMax.State = -1;
  if (VisibleMin()) place(ButtonMin, IsIconic(CtrlHandle) ? EnabledRestore() : EnabledMin());
  else ButtonMin.State = -1;
  if (VisibleHelp()) place(ButtonHelp, true);
  else ButtonHelp.State = -1;
}

void TlvDialogWnd::PaintButton(TlvDlgButton& btn, bool enabled) {
  TsSkinManager* m = SkinData->SkinManager();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  btn.Rect.Left = btn.Rect.Right - SysButtonWidth(btn);
  const int bh = ButtonHeight(btn.ImageIndex);
  const vcl::TRect sh = ShadowSize();
  if (btn.HaveAlignment && m->CommonSkinData->BIVAlign == 1)
    btn.Rect.Top = sh.Top + (BorderForm ? m->CommonSkinData->BITopMargin : 0);
  else
    btn.Rect.Top = (ExFrameTop() + CaptionHeight(true) - bh) / 2 + sh.Top;
  btn.Rect.Bottom = btn.Rect.Top + bh;
  if (TitleBG)
    BitBlt(cache->Canvas()->Handle(), btn.Rect.Left, btn.Rect.Top, btn.Rect.Width(), btn.Rect.Height(),
           TitleBG->Canvas()->Handle(), btn.Rect.Left, btn.Rect.Top, SRCCOPY);
  int index = btn.ImageIndex;
  if (&btn == &ButtonMax && IsZoomed(CtrlHandle)) index = m->GetMaskIndex(m->ConstData.IndexGLobalInfo, L"BICONNORM");
  if (&btn == &ButtonMin && IsIconic(CtrlHandle)) index = m->GetMaskIndex(m->ConstData.IndexGLobalInfo, L"BICONNORM");
  if (!m->IsValidImgIndex(index)) index = btn.ImageIndex;
  if (m->IsValidImgIndex(index))
    DrawSkinGlyph(cache, vcl::TPoint(btn.Rect.Left, btn.Rect.Top), std::max(0, btn.State),
                  (FFormActive && enabled) ? 1 : 2, m->ma[static_cast<size_t>(index)], MakeCacheInfo(cache));
}

void TlvDialogWnd::KillAnimations() {
  for (TlvDlgButton* b : {&ButtonMin, &ButtonMax, &ButtonHelp, &ButtonClose})
    if (b->Timer && lvStopButtonFade) lvStopButtonFade(b);
}

void TlvDialogWnd::RepaintButton(int ht) {
  TlvDlgButton* b = ButtonOf(ht);
  if (!b || b->State < 0) return;
  TsSkinManager* m = SkinData->SkinManager();
  if (lvFadeDialogButton && m && m->Effects()->AllowGlowing()) {
    // The new look (with the skin's glow for a hot button) fades in over the frame in a window of its own; the frame
    // keeps the look it has.
    const int iterations = m->Effects()->AllowAnimation() ? 10 : 1;
    lvFadeDialogButton(this, b, b->State, b->State == 2 ? 1 : iterations, b->State == 1 || b->State == 2);
    return;
  }
  if (!SkinData->CacheBmp()) return;
  if (b->Rect.Left <= IconRect().Right) return;
  bool enabled = true;
  if (b == &ButtonClose) enabled = EnabledClose();
  if (b == &ButtonMax) enabled = IsZoomed(CtrlHandle) ? EnabledRestore() : EnabledMax();
  if (b == &ButtonMin) enabled = IsIconic(CtrlHandle) ? EnabledRestore() : EnabledMin();
  const int right = b->Rect.Right;
  b->Rect.Right = right;
  PaintButton(*b, enabled);
  if (BorderForm) {
    // The frame is on the border window: it gets the whole image again.
    FillAlphaRect(SkinData->CacheBmp(), b->Rect, 255, 0xFF00FF);
    BorderForm->UpdateExBordersPos(true, 255);
    return;
  }
  TWindowDC dc(CtrlHandle);
  if (dc.Get())
    BitBlt(dc.Get(), b->Rect.Left, b->Rect.Top, b->Rect.Width(), b->Rect.Height(),
           SkinData->CacheBmp()->Canvas()->Handle(), b->Rect.Left, b->Rect.Top, SRCCOPY);
}

TlvDlgButton* TlvDialogWnd::ButtonOf(int ht) {
  switch (ht) {
    case HTMINBUTTON:
      return &ButtonMin;
    case HTMAXBUTTON:
      return &ButtonMax;
    case HTCLOSE:
      return &ButtonClose;
    case HTHELP:
      return &ButtonHelp;
    default:
      return nullptr;
  }
}

// ---- Painting on the screen --------------------------------------------------------------------------------------

void TlvDialogWnd::PaintCaption(HDC dc) {
  // With a border window the frame is there.
  if (BorderForm) return;
  if (SkinData->BGChanged) {
    PaintAll();
    SkinData->BGChanged = false;
    SkinData->SetUpdatingFlag(false);
  }
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (!cache || cache->Empty()) return;
  HDC src = cache->Canvas()->Handle();
  RECT wr;
  GetWindowRect(CtrlHandle, &wr);
  const int width = wr.right - wr.left, height = wr.bottom - wr.top;
  const int bw = SysBorderWidth(), bh = SysBorderHeight();
  const int y = bh + CaptionHeight(true) + (IsIconic(CtrlHandle) ? 1 : 0);
  BitBlt(dc, 0, 0, width, HeaderHeight(), src, 0, 0, SRCCOPY);
  BitBlt(dc, 0, y, bw, height - y, src, 0, y, SRCCOPY);
  BitBlt(dc, bw, height - bh, width - bw, bh, src, bw, height - bh, SRCCOPY);
  BitBlt(dc, width - bw, y, bw, height - y, src, cache->Width() - bw, y, SRCCOPY);
}

void TlvDialogWnd::Lv_WMNCPaint() {
  if (!RgnChanging && RgnChanged && (BorderStyle != acbsNone || (dwStyle & WS_THICKFRAME))) {
    FillArOR(this);
    RgnChanged = false;
    UpdateRgn(this, true);
  }
  TWindowDC dc(CtrlHandle);
  if (dc.Get()) PaintCaption(dc.Get());
  SkinData->SetUpdatingFlag(false);
  RgnChanging = false;
}

void TlvDialogWnd::Lv_WMPaint(HDC given) {
  HDC dc = given ? given : GetDC(CtrlHandle);
  if (!dc) return;
  const int saved = SaveDC(dc);
  SkinData->SetUpdatingFlag(false);
  // A transparent child (a toolbar, the places bar) asks for its background with its own DC: its area is then
  // exactly what must be painted.
  if (!given || WindowFromDC(dc) == CtrlHandle) ExcludeControls(dc, CtrlHandle, 0, 0);
  if (SkinData->BGChanged) PaintAll();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (cache && !cache->Empty())
    BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, cache->Canvas()->Handle(), BorderForm ? OffsetX() : SysBorderWidth(),
           BorderForm ? OffsetY() : HeaderHeight(), SRCCOPY);
  RestoreDC(dc, saved);
  if (!given) ReleaseDC(CtrlHandle, dc);
  SetParentUpdated(CtrlHandle);
}

void TlvDialogWnd::CallPrevHidden(vcl::TMessage& message) {
  // Without WS_VISIBLE the system changes its state but paints no caption over the skinned one.
  const HWND h = CtrlHandle;
  const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
  if (style & WS_VISIBLE) SetWindowLongPtrW(h, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
  CallPrevWndProc(message);
  if ((style & WS_VISIBLE) && IsWindow(h))
    SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) | WS_VISIBLE);
}

// ---- The border window ---------------------------------------------------------------------------------------------

// The border window follows the dialog: hidden with it (and while it is iconic), placed again after other changes.
void TlvDialogWnd::FollowBorder(const WINDOWPOS& wp) {
  const HWND h = CtrlHandle;
  vcl::TForm* border = BorderForm->AForm;
  const bool shown = border && border->HandleAllocated() && IsWindowVisible(border->Handle());
  if ((wp.flags & SWP_HIDEWINDOW) || IsIconic(h) || !IsWindowVisible(h)) {
    if (shown)
      SetWindowPos(border->Handle(), nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return;
  }
  if (SkinData->UpdatingFlag() || (FormState & 0x80)) return;
  const bool still = (wp.flags & SWP_NOMOVE) && (wp.flags & SWP_NOSIZE) && !(wp.flags & SWP_SHOWWINDOW);
  if (still && (wp.flags & SWP_FRAMECHANGED)) return;
  if (still && shown) {
    // Only the Z order changed: the border window stays the dialog's neighbour.
    SetWindowPos(border->Handle(), h, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    return;
  }
  BorderForm->UpdateExBordersPos(!(wp.flags & SWP_NOSIZE) || (wp.flags & SWP_SHOWWINDOW), 255);
}

// ---- Title buttons and the hit test -----------------------------------------------------------------------------------

void TlvDialogWnd::SetHotHT(int ht, bool repaint) {
  if (ht == CurrentHT) return;
  if (TlvDlgButton* old = ButtonOf(CurrentHT); old && old->State > 0) {
    old->State = 0;
    if (repaint) RepaintButton(CurrentHT);
  }
  CurrentHT = ht;
  if (TlvDlgButton* b = ButtonOf(ht); b && b->State >= 0) b->State = 1;
  lvdials::biClicked = false;
  if (repaint) RepaintButton(ht);
}

void TlvDialogWnd::SetPressedHT(int ht) {
  if (TlvDlgButton* old = ButtonOf(CurrentHT); old && CurrentHT != ht && old->State > 0) {
    old->State = 0;
    RepaintButton(CurrentHT);
  }
  CurrentHT = ht;
  if (TlvDlgButton* b = ButtonOf(ht); b && b->State >= 0) {
    if (b != &ButtonMax || EnabledMax() || (IsZoomed(CtrlHandle) && EnabledRestore())) b->State = 2;
  }
  lvdials::biClicked = true;
  RepaintButton(ht);
}

int TlvDialogWnd::HTProcess(int sx, int sy, LRESULT current) {
  // With a border window only the client area is the dialog's own: the frame's codes come from the border window.
  if (BorderForm) return static_cast<int>(current);
  RECT wr;
  GetWindowRect(CtrlHandle, &wr);
  const int x = sx - wr.left, y = sy - wr.top;
  const int closeH = ButtonHeight(ButtonClose.ImageIndex);
  const int y0 = (SysBorderHeight() + CaptionHeight(true) - closeH) / 2;
  if (CaptionHeight(true) > 0 && y >= y0 && y <= y0 + closeH) {
    const int bw = SysBorderWidth();
    if (x >= bw && x <= bw + GetSystemMetrics(SM_CXSMICON)) {
      SetHotHT(HTSYSMENU);
      return HTSYSMENU;
    }
    std::vector<TlvDlgButton*> visible;
    if (VisibleClose()) {
      visible.push_back(&ButtonClose);
      if (VisibleMax()) visible.push_back(&ButtonMax);
      if (VisibleMin() || IsIconic(CtrlHandle)) visible.push_back(&ButtonMin);
      if (VisibleHelp()) visible.push_back(&ButtonHelp);
    }
    int g = 0;
    for (size_t i = 0; i < visible.size(); ++i)
      if (x >= visible[i]->Rect.Left && x < visible[i]->Rect.Right) g = static_cast<int>(i) + 1;
    if (g < 1) return HTCAPTION;
    int answer = HTCAPTION;
    TlvDlgButton* b = visible[static_cast<size_t>(g - 1)];
    if (b == &ButtonClose)
      answer = EnabledClose() ? HTCLOSE : HTNOWHERE;
    else if (b == &ButtonMax)
      answer = (EnabledMax() || EnabledRestore()) ? HTMAXBUTTON : HTCAPTION;
    else if (b == &ButtonMin)
      answer = (IsIconic(CtrlHandle) || EnabledMin()) ? HTMINBUTTON : HTCAPTION;
    else if (b == &ButtonHelp)
      answer = HTHELP;
    SetHotHT(answer, true);
    return answer;
  }
  if (IsZoomed(CtrlHandle) && (x < 2 || y < 2 || x > wr.right - wr.left - 4 || y > wr.bottom - wr.top - 4)) {
    SetHotHT(0, true);
    return HTERROR;
  }
  return static_cast<int>(current);
}

void TlvDialogWnd::DropSysMenu(int x, int y) {
  if (SystemMenu) SystemMenu->Popup(x, y);
}

void TlvDialogWnd::LvWMLButtonUp(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  switch (static_cast<int>(message.WParam)) {
    case HTMINBUTTON:
      if (lvdials::biClicked) {
        SetHotHT(0);
        SendMessageW(h, WM_SYSCOMMAND, IsIconic(h) ? SC_RESTORE : SC_MINIMIZE, 0);
      } else {
        SetHotHT(0);
      }
      break;
    case HTMAXBUTTON:
      if (lvdials::biClicked && (!IsIconic(h) || EnabledMax())) {
        SetHotHT(0);
        SendMessageW(h, WM_SYSCOMMAND, IsZoomed(h) ? SC_RESTORE : SC_MAXIMIZE, 0);
        if (SystemMenu) SystemMenu->UpdateItems();
      } else {
        SetHotHT(0);
      }
      break;
    case HTCLOSE:
      if (lvdials::biClicked) {
        ButtonClose.State = 0;
        SetHotHT(0);
        SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (IsWindow(h) && IsWindowVisible(h)) {
          KillAnimations();
          SetHotHT(0);
        }
      } else {
        SetHotHT(0);
      }
      break;
    case HTHELP:
      if (lvdials::biClicked) {
        SendMessageW(h, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
        SetHotHT(0);
        if (SystemMenu) SystemMenu->UpdateItems();
        SendMessageW(h, WM_NCPAINT, 0, 0);
      } else {
        SetHotHT(0);
      }
      break;
    default:
      CallPrevWndProc(message);
      return;
  }
  lvdials::biClicked = false;
  message.WParam = 0;
}

// ---- The window procedure ---------------------------------------------------------------------------------------------

void TlvDialogWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (message.Msg == WM_DESTROY || message.Msg == WM_NCDESTROY) {
    KillAnimations();
    // The border window is owned by the dialog's window and goes before it.
    if (BorderForm) InitExBorders(false);
    TlvScrollWnd::lvWndProc(message);
    TlvCustomDialogWnd::Destroyed = true;
    TlvCustomDialogWnd::CtrlHandle = nullptr;
    return;
  }
  if (Destroyed) {
    TlvScrollWnd::lvWndProc(message);
    return;
  }
  if (message.Msg == SM_LUMICMD) {
    const WORD cmd = message.WParamHi();
    const bool own = SkinData && reinterpret_cast<LPARAM>(SkinData->SkinManager()) == message.LParam;
    if (cmd == LVC_REMOVESKIN) {
      BroadCastHwnd(h, message);
      GoIdle();
      CallPrevWndProc(message);
      return;
    }
    if (cmd == LVC_SETNEWSKIN && own) {
      SkinData->UpdateIndexes(true);
      if (Idle && SkinActive()) Wake();
      UpdateIconsIndexes();
      SkinData->BGChanged = true;
      RgnChanged = true;
      if (!Idle) InitExBorders(SkinData->SkinManager()->ExtendedBorders());
      BroadCastHwnd(h, message);
      return;
    }
  }
  if (Idle || !SkinActive()) {
    CallPrevWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_SIZE:
      SkinData->BGChanged = true;
      RgnChanged = true;
      SkinData->SetUpdatingFlag(true);
      CallPrevWndProc(message);
      SkinData->SetUpdatingFlag(false);
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      {
        RECT cr;
        GetClientRect(h, &cr);
        LastClientRect = vcl::TRect(cr.left, cr.top, cr.right, cr.bottom);
      }
      return;
    case WM_SETFOCUS:
      CallPrevWndProc(message);
      if (HWND a = GetActiveWindow())
        RedrawWindow(a, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      return;
    case WM_ENABLE:
      if (!IsWindowVisible(h)) break;
      CallPrevWndProc(message);
      SkinData->BGChanged = true;
      SendMessageW(h, WM_NCPAINT, 0, 0);
      return;
    case WM_SETTEXT:
      if (!IsWindowVisible(h)) break;
      CallPrevHidden(message);
      SkinData->BGChanged = true;
      if (BorderForm)
        BorderForm->UpdateExBordersPos(false, 255);
      else
        SendMessageW(h, WM_NCPAINT, 0, 0);
      return;
    case WM_SETICON:
      CallPrevHidden(message);
      PrepareTitleGlyph();
      SkinData->BGChanged = true;
      if (IsWindowVisible(h)) SendMessageW(h, WM_NCPAINT, 0, 0);
      return;
    case WM_PAINT:
      if (FWMPaintForbidden) {
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        EndPaint(h, &ps);
        message.Result = 0;
        return;
      }
      CallPrevWndProc(message);
      return;
    case WM_ERASEBKGND:
      InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      if (!Initialized && Provider) {
        Initialized = true;
        Provider->InitHwndControls(h);
      }
      Caption = GetWndText(h);
      Lv_WMPaint(reinterpret_cast<HDC>(message.WParam));
      message.Result = 1;
      return;
    case WM_DRAWITEM:
      if (auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam); dis && dis->CtlType == ODT_STATIC)
        SetBkMode(dis->hDC, TRANSPARENT);
      break;
    case WM_NCHITTEST: {
      const int x = GET_X_LPARAM(message.LParam), y = GET_Y_LPARAM(message.LParam);
      const LRESULT prev = CallPrevWndProc(message);
      const int r = HTProcess(x, y, prev);
      message.Result = r;
      if (r == HTNOWHERE || r == HTCAPTION) {
        message.Result = prev;
        SetHotHT(0, true);
      }
      return;
    }
    case WM_NCPAINT:
      if (!IsWindowVisible(h)) break;
      if (!Initialized && Provider) {
        Initialized = true;
        Provider->InitHwndControls(h);
      }
      InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      if (LastClientRect.IsEmpty()) {
        RECT cr;
        GetClientRect(h, &cr);
        LastClientRect = vcl::TRect(cr.left, cr.top, cr.right, cr.bottom);
      }
      Caption = GetWndText(h);
      if (BorderForm && (!BorderForm->AForm || !IsWindowVisible(BorderForm->AForm->Handle())) && !InAnimationProcess)
        BorderForm->UpdateExBordersPos(false, 255);
      Lv_WMNCPaint();
      message.Result = 0;
      return;
    case WM_NCACTIVATE:
      if (!IsWindowVisible(h)) break;
      CallPrevHidden(message);
      FFormActive = message.WParam != 0;
      SkinData->BGChanged = true;
      InvalidateRect(h, nullptr, FALSE);
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
      if (BorderForm && BorderForm->AForm && IsWindowVisible(BorderForm->AForm->Handle()))
        BorderForm->UpdateExBordersPos(true, 255);
      message.Result = 1;
      return;
    case WM_GETDLGCODE:
      message.Result = 0;
      return;
    case WM_NCLBUTTONDOWN: {
      int code = static_cast<int>(message.WParam);
      if (!BorderForm && (code < HTSIZEFIRST || code > HTSIZELAST))
        code = HTProcess(GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam), message.WParam);
      switch (code) {
        case HTSYSMENU: {
          RECT wr;
          GetWindowRect(h, &wr);
          SetHotHT(0);
          DropSysMenu(SysBorderWidth() + wr.left, BorderHeight() + wr.top + GetSystemMetrics(SM_CYSMICON));
          return;
        }
        case HTMINBUTTON:
        case HTMAXBUTTON:
        case HTCLOSE:
        case HTHELP:
          SetPressedHT(code);
          return;
        default:
          SetHotHT(0);
          if (IsZoomed(h) && code == HTCAPTION) {
            if (GetActiveWindow() != h) SetFocus(h);
            return;
          }
          if (StartMoveBlend(code)) return;
          CallPrevWndProc(message);
          return;
      }
    }
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
      if (message.Msg == WM_LBUTTONUP && !lvdials::biClicked) break;
      if (message.Msg == WM_LBUTTONUP) {
        POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        ClientToScreen(h, &p);
        message.WParam = static_cast<WPARAM>(HTProcess(p.x, p.y, HTCLIENT));
        if (static_cast<int>(message.WParam) != CurrentHT) {
          // Released away from the pressed button: nothing happens.
          SetHotHT(0);
          lvdials::biClicked = false;
          CallPrevWndProc(message);
          return;
        }
      }
      LvWMLButtonUp(message);
      return;
    case WM_NCLBUTTONDBLCLK:
      if (message.WParam == HTCAPTION && (EnabledMax() || EnabledRestore())) {
        SendMessageW(h, WM_SYSCOMMAND, (IsZoomed(h) || IsIconic(h)) ? SC_RESTORE : SC_MAXIMIZE, 0);
        if (SystemMenu) SystemMenu->UpdateItems();
        message.WParam = 0;
      } else if (message.WParam == HTSYSMENU) {
        SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return;
    case WM_NCRBUTTONDOWN:
      if (message.WParam == HTCAPTION || message.WParam == HTSYSMENU) return;
      break;
    case WM_NCRBUTTONUP:
      if (message.WParam == HTCAPTION || message.WParam == HTSYSMENU) {
        SetHotHT(0);
        DropSysMenu(GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
        return;
      }
      break;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
      SetHotHT(0);
      break;
    case WM_CTLCOLORDLG: {
      TsSkinManager* m = SkinData->SkinManager();
      const vcl::TColor c = vcl::ColorToRGB(m ? m->GetGlobalColor() : vcl::clBtnFace);
      // One brush per colour, kept until the colour changes or the wrapper goes.
      if (!DlgBrush || DlgBrushColor != c) {
        if (DlgBrush) DeleteObject(DlgBrush);
        DlgBrush = CreateSolidBrush(static_cast<COLORREF>(c));
        DlgBrushColor = c;
      }
      message.Result = reinterpret_cast<LRESULT>(DlgBrush);
      return;
    }
    case WM_USER + 1:
      TlvScrollWnd::lvWndProc(message);
      if (Provider) Provider->InitHwndControls(h);
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      return;
    case 0x052C:
    case 0x052E:
      CallPrevWndProc(message);
      if (Provider) Provider->InitHwndControls(h);
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      return;
    case WM_SYSCOMMAND:
      TlvScrollWnd::lvWndProc(message);
      if ((message.WParam & 0xFFF0) == SC_MAXIMIZE || (message.WParam & 0xFFF0) == SC_RESTORE) {
        if (VisibleMax()) CurrentHT = HTMAXBUTTON;
        SetHotHT(0);
      }
      return;
    case WM_SHOWWINDOW:
      TlvScrollWnd::lvWndProc(message);
      if (message.WParam) AnimateShowing();
      return;
    case WM_COMMAND:
      PrepareHideCover(message);
      TlvScrollWnd::lvWndProc(message);
      DropUnusedCover();
      return;
    case WM_WINDOWPOSCHANGED: {
      const auto* wp = reinterpret_cast<const WINDOWPOS*>(message.LParam);
      if (wp && (wp->flags & SWP_HIDEWINDOW) && lvLayered()) {
        RgnChanged = true;
        TlvScrollWnd::lvWndProc(message);
        AnimateHiding();
        return;
      }
      const bool sized = !RgnChanging && wp && !(wp->flags & SWP_NOSIZE);
      if (sized) {
        SkinData->BGChanged = true;
        RgnChanged = true;
      }
      TlvScrollWnd::lvWndProc(message);
      if (BorderForm && wp && IsWindow(h)) FollowBorder(*wp);
      return;
    }
    case SM_LUMICMD:
      switch (message.WParamHi()) {
        case LVC_REFRESH:
          SkinData->UpdateIndexes(true);
          UpdateIconsIndexes();
          SkinData->BGChanged = true;
          RgnChanged = true;
          if (TsSkinManager* m = SkinData->SkinManager()) InitExBorders(m->ExtendedBorders());
          if (BorderForm && IsWindowVisible(h)) BorderForm->UpdateExBordersPos(true, 255);
          if (IsWindowVisible(h))
            RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
          return;
        case LVC_UPDATING:
          SkinData->SetUpdatingFlag(LOWORD(message.WParam) == 1);
          if (SkinData->UpdatingFlag()) SkinData->BGChanged = true;
          break;
        case LVC_PREPARING:
          message.Result = SkinData->UpdatingFlag() ? 1 : 0;
          return;
        case LVC_CHILDCHANGED: {
          TsSkinManager* m = SkinData->SkinManager();
          message.Result = 0;
          if (m && m->IsValidSkinIndex(SkinData->SkinIndex)) {
            const auto& p = m->gd[static_cast<size_t>(SkinData->SkinIndex)].Props[0];
            message.Result = (p.ImagePercent + p.GradientPercent) > 0 ? 1 : 0;
          }
          return;
        }
        case LVC_GETCONTROLCOLOR:
          message.Result = static_cast<LRESULT>(GetBGColor(SkinData, 0));
          return;
        case LVC_UPDATECHILDREN:
          if (Provider) Provider->InitHwndControls(h);
          break;
        case LVC_GETBG:
          if (auto* bg = reinterpret_cast<TlvBGInfo*>(message.LParam)) {
            if (bg->PleaseDraw) {
              bg->Offset.X += OffsetX();
              bg->Offset.Y += OffsetY();
            }
            InitBGInfo(SkinData, bg, 0);
            if (bg->BgType == btCache && !bg->PleaseDraw) {
              if (!bg->Bmp || SkinData->BGChanged) {
                PaintAll();
                bg->Bmp = SkinData->CacheBmp();
              }
              bg->Offset = vcl::TPoint(OffsetX(), OffsetY());
            }
          }
          return;
        case LVC_PARENTCLOFFSET:
          message.Result = MAKELONG(OffsetX(), OffsetY());
          return;
        case LVC_GETBORDERWIDTH: {
          RECT wr, cr;
          GetWindowRect(h, &wr);
          GetClientRect(h, &cr);
          message.Result = ((wr.right - wr.left) - cr.right) / 2;
          return;
        }
        default:
          break;
      }
      break;
    default:
      break;
  }
  TlvScrollWnd::lvWndProc(message);
}

// ---- Unit routines --------------------------------------------------------------------------------------------------

void FillArOR(TlvDialogWnd* dlg) {
  dlg->ArOR.clear();
  // With a border window the dialog's region is its client area.
  if (dlg->BorderForm) return;
  TsSkinManager* m = dlg->SkinData ? dlg->SkinData->SkinManager() : nullptr;
  if (!m || !m->IsValidImgIndex(dlg->SkinData->BorderIndex)) return;
  // The border mask's corners: the key colour of the painted frame marks what lies outside the window.
  vcl::TBitmap* cache = dlg->SkinData->CacheBmp();
  if (!cache || cache->Empty() || cache->PixelFormat() != vcl::pf32bit) return;
  const TsMaskData& md = m->ma[static_cast<size_t>(dlg->SkinData->BorderIndex)];
  const int w = cache->Width(), h = cache->Height();
  const int rows = std::min<int>(h / 2, std::max<int>(md.WT, md.WB));
  const int cols = std::min<int>(w / 2, std::max<int>(md.WL, md.WR));
  auto scan = [&](int y) {
    const auto* line = static_cast<const std::uint32_t*>(cache->ScanLine(y));
    for (int side = 0; side < 2; ++side) {
      int x = side == 0 ? 0 : w - cols;
      const int end = side == 0 ? cols : w;
      while (x < end) {
        if ((line[x] & 0xFFFFFF) == 0xFF00FF) {
          const int start = x;
          while (x < end && (line[x] & 0xFFFFFF) == 0xFF00FF) ++x;
          dlg->ArOR.emplace_back(start, y, x, y + 1);
        } else {
          ++x;
        }
      }
    }
  };
  for (int y = 0; y < rows; ++y) {
    scan(y);
    scan(h - 1 - y);
  }
}

HRGN GetRgnFromArOR(TlvDialogWnd* dlg, int x, int y) {
  HRGN rgn = CreateRectRgn(x, y, x + dlg->WndSize.cx, y + dlg->WndSize.cy);
  for (const vcl::TRect& r : dlg->ArOR) {
    HRGN sub = CreateRectRgn(r.Left + x, r.Top + y, r.Right + x, r.Bottom + y);
    CombineRgn(rgn, rgn, sub, RGN_DIFF);
    DeleteObject(sub);
  }
  return rgn;
}

void UpdateRgn(TlvDialogWnd* dlg, bool repaint) {
  if (!dlg || !dlg->CtrlHandle) return;
  if (!IsIconic(dlg->CtrlHandle) && dlg->BorderStyle == acbsNone) return;
  if (SendMessageW(dlg->CtrlHandle, CM_BEWAIT, static_cast<WPARAM>(BE_ID), 0) == BE_ID) return;
  RgnChanging = true;
  if (dlg->BorderForm) {
    // The border window shows the frame: the dialog keeps its client area.
    RECT wr, cr;
    GetWindowRect(dlg->CtrlHandle, &wr);
    GetClientRect(dlg->CtrlHandle, &cr);
    POINT o{0, 0};
    ClientToScreen(dlg->CtrlHandle, &o);
    const int x = o.x - wr.left, y = o.y - wr.top;
    SetWindowRgn(dlg->CtrlHandle, CreateRectRgn(x, y, x + cr.right, y + cr.bottom), repaint);
  } else if (dlg->ArOR.empty()) {
    SetWindowRgn(dlg->CtrlHandle, nullptr, repaint);
  } else {
    // The system owns the region from here on (it frees it).
    SetWindowRgn(dlg->CtrlHandle, GetRgnFromArOR(dlg, 0, 0), repaint);
  }
  // Left set, the flag would make every later size change look like a region change.
  RgnChanging = false;
}

rtl::String GetWndText(HWND handle) {
  if (!handle) return rtl::String();
  const int n = GetWindowTextLengthW(handle);
  if (n <= 0) return rtl::String();
  std::wstring t(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(handle, t.data(), n + 1);
  t.resize(static_cast<size_t>(std::max(0, std::min(got, n))));
  return rtl::String(t.c_str());
}

namespace {

struct TExcludeData {
  HDC DC;
  HWND Wnd;
  int OffsetX, OffsetY;
};

BOOL CALLBACK EnumCtrls(HWND child, LPARAM lParam) {
  auto* d = reinterpret_cast<TExcludeData*>(lParam);
  if (GetParent(child) != d->Wnd || !IsWindowVisible(child)) return TRUE;
  const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
  wchar_t cls[32] = {};
  GetClassNameW(child, cls, 32);
  if (lstrcmpiW(cls, L"static") == 0 && (style & 0x10000)) return TRUE;
  if ((style & 7) == 7) return TRUE;
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, d->Wnd, reinterpret_cast<POINT*>(&r), 2);
  ExcludeClipRect(d->DC, r.left + d->OffsetX, r.top + d->OffsetY, r.right + d->OffsetX, r.bottom + d->OffsetY);
  return TRUE;
}

}  // namespace

void ExcludeControls(HDC dc, HWND wnd, int offsetX, int offsetY) {
  if (GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) return;
  TExcludeData d{dc, wnd, offsetX, offsetY};
  EnumChildWindows(wnd, &EnumCtrls, reinterpret_cast<LPARAM>(&d));
}
