#pragma once
// Window and control animations: skinned forms and subclassed system dialogs fade (or grow) in when shown and fade
// (or shrink) out when hidden, and a control cross-fades from its old look to its new one. Every animation works
// on 32-bit snapshots shown through layered windows, in steps of 10 ms. Show and control animations hold the
// user-interface thread for their length; hide animations run on the 10 ms message timer, so the program goes on
// while the old picture fades.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/controls.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sConst.h"

class TsCustomSkinProvider;
class TlvCustomDialogWnd;

// A window used as a canvas for animations: it paints nothing, so what lay on the screen stays there until a
// picture is put into it.
class TOutputWindow : public vcl::TCustomControl {
  VCL_CLASS(TOutputWindow, vcl::TCustomControl)
  explicit TOutputWindow(vcl::TComponent* owner);

 protected:
  void CreateParams(vcl::TCreateParams& params) override;
  void WndProc(vcl::TMessage& message) override;
};

// A borderless layered window that shows an animation's picture in front of (or in place of) a form; it owns the
// form it may have been made from.
class TlvCoverWindow {
 public:
  TlvCoverWindow();
  // Takes over a prepared cover form.
  explicit TlvCoverWindow(vcl::TWinControl* form);
  ~TlvCoverWindow();
  TlvCoverWindow(const TlvCoverWindow&) = delete;
  TlvCoverWindow& operator=(const TlvCoverWindow&) = delete;
  HWND Handle() const { return FHandle; }

 private:
  HWND FHandle = nullptr;
  std::unique_ptr<vcl::TWinControl> FForm;
};

// The hide animation's timer: it fades (or shrinks) the snapshot on the cover window one step per 10 ms.
class TlvHideTimer : public TlvThreadedTimer {
  VCL_CLASS(TlvHideTimer, TlvThreadedTimer)
  explicit TlvHideTimer(vcl::TComponent* owner);
  ~TlvHideTimer() override;
  void OnTimerProc(rtl::TObject* sender);
  // Calls the hidden window's provider's OnAfterAnimation once.
  void CallEvent();

  TlvCustomDialogWnd* Dlg = nullptr;
  HWND ParentWnd = nullptr;
  std::unique_ptr<TlvCoverWindow> Form;
  vcl::TSize FBmpSize;
  vcl::TPoint FBmpTopLeft;
  BLENDFUNCTION FBlend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  double Trans = 0, p = 0, dx = 0, dy = 0, l = 0, t = 0, r = 0, b = 0;
  int i = 0;
  int StartBlendValue = 255;
  int StepCount = 0;
  TlvAnimType AnimType = atFading;
  bool EventCalled = false;
  std::unique_ptr<vcl::TBitmap> SrcBmp, DstBmp;
};

extern TOutputWindow* ow;
extern std::unique_ptr<vcl::TBitmap> lvAnimBmp, lvAnimBmp2;
extern std::vector<vcl::TRect> lvCtrlRects1;
extern TlvHideTimer* lvHideTimer;
// Frames shown by the last show or control animation (what a caller may check after it).
extern int lvLastAnimFrames;

void AnimShowForm(TsCustomSkinProvider* skinProvider, std::uint16_t wTime = 0, int maxTransparency = 255,
                  TlvAnimType animType = atFading);
void AnimShowDlg(TlvCustomDialogWnd* dialogWnd, std::uint16_t wTime = 0, int maxTransparency = 255,
                 TlvAnimType animType = atAero);
void AnimHideForm(TsCustomSkinProvider* skinProvider);
void AnimHideDlg(TlvCustomDialogWnd* dialogWnd);
// The common hide animation: bmp faded out on the cover window (both taken over).
void HideAnimForm(std::unique_ptr<TlvCoverWindow> form, std::unique_ptr<vcl::TBitmap> bmp, std::uint16_t wTime,
                  int startBlendValue, TlvAnimType animType, HWND parentWnd);
// Takes the "before" snapshot of ctrl and freezes its look on the screen under the output window.
void PrepareForAnimation(vcl::TWinControl* ctrl, TlvAnimTypeCtrl animType);
// Cross-fades from the "before" snapshot to ctrl's new look.
void AnimShowControl(vcl::TWinControl* ctrl, std::uint16_t wTime = 0, int maxTransparency = 255,
                     TlvAnimTypeCtrl animType = atcFade);
void PrintDlgClient(TlvCustomDialogWnd* dialogWnd, vcl::TBitmap* bmp, bool fromScreen);
// Layered with alphaValue (the answer: the style was added now), or hidden from its style and not layered.
bool DoLayered(HWND handle, bool layered, std::uint8_t alphaValue = 255);
// Shows bmp (a window-sized blank one when nil) as the layered window's picture with constant alpha value.
void SetFormBlendValue(HWND handle, vcl::TBitmap* bmp, int value, const POINT* newPos = nullptr);
// src (from srcPos) blended into dstRect of dst by its per-pixel alpha times alpha; dst's alpha stays.
void SumBmpRect32(vcl::TBitmap* dst, vcl::TRect dstRect, vcl::TBitmap* src, int alpha, vcl::TPoint srcPos);
// Every pixel inside the rectangles becomes 0 (fully transparent).
void CleanPixelsByArOR(const std::vector<vcl::TRect>& rects, vcl::TBitmap* bmp);
