#pragma once
// The minimise and restore animations of a skinned form and its fade while it is dragged. Minimising, the form
// turns fully transparent and a snapshot of it shrinks and fades toward its taskbar button (or toward the taskbar's
// edge) in a layered cover, 10 ms a step; restoring plays the same steps backwards, and a restore started midway
// turns the running animation round from where it stands. Dragging, the form (or its border window) fades to the
// manager's blend value while the system's move loop runs and becomes opaque again when it ends.
#include <memory>
#include <vector>

#include "platform/vcl/forms.h"
#include "skin/core/sCoverForms.h"

class TsSkinProvider;

class TlvMinTimer : public TlvThreadedTimer {
  VCL_CLASS(TlvMinTimer, TlvThreadedTimer)
  // The plain timer: no snapshot, no animation window.
  explicit TlvMinTimer(vcl::TComponent* owner);
  // The provider's timer: steps on every tick, set up for the provider's form (InitData) with an empty snapshot.
  TlvMinTimer(TsSkinProvider* owner, bool changeEvent);
  ~TlvMinTimer() override;
  // The start alpha: the form's alpha, a quarter of it for an animation of more than one step where the system
  // composes the desktop (or has no composition at all).
  std::uint8_t AlphaFrom();
  void InitData();
  void UpdateDstRect();
  vcl::TRect GetRectTo();
  void TimeHandler() override;

  double CurrentAlpha = 0;
  double BlendStep = 0;
  double CurRight = 0, CurLeft = 0, CurTop = 0, CurBottom = 0;
  int StepCount = 1;
  int XFrom = 0, YFrom = 0, XTo = 0, YTo = 0;
  double DeltaX = 0, DeltaY = 0, DeltaW = 0, DeltaH = 0;
  std::uint8_t AlphaOrigin = 255, AlphaTo = 0;
  vcl::TRect RectFrom, RectTo;
  unsigned TBPosition = 0;
  // The cover the animation is shown in (owned when AlphaFormWasCreated), or the border window.
  vcl::TForm* AnimForm = nullptr;
  TsSkinProvider* sp = nullptr;
  HWND FormHandle = nullptr;
  TlvCustomBorderForm* BorderForm = nullptr;
  std::unique_ptr<vcl::TBitmap> SavedImage, AlphaBmp;
  // False while minimising (shrinking), True while restoring (growing).
  bool Minimized = false;
  bool AlphaFormWasCreated = false;
  // The alphas pushed since the last start from a still state (at most the steps of one animation each way).
  std::vector<int> Shown;

 private:
  void FinishMinimizing();
  void FinishRestoring();
};

// The move fade of a skinned form: it also tells the form's glued forms the alpha.
class TlvFormMoveTimer : public TlvMoveTimer {
  VCL_CLASS(TlvFormMoveTimer, TlvMoveTimer)
  explicit TlvFormMoveTimer(vcl::TComponent* owner) : TlvMoveTimer(owner) {}
  void AlphaSet(int alpha) override;
  vcl::TForm* Form = nullptr;
};

bool FormStartMinimizing(TsSkinProvider* sp);
bool FormStartRestoring(TsSkinProvider* sp);
// Starts the move fade; with doMove runs the system's move loop on the form and finishes the fade when it returns.
void StartBlendOnMoving(TsSkinProvider* sp, bool doMove);
// Ends the move fade (nothing when none runs); cover: a cover already laid over the form, taken over.
void FinishBlendOnMoving(TsSkinProvider* sp, std::unique_ptr<vcl::TForm> cover = nullptr);
// The show and hide animations of a top-level skinned form, around the form's own showing or hiding: Prepare...
// before it (True: the animation will run; the form is then made transparent, or its picture taken and a cover laid
// over it), Run... after it.
// From the moment its window is shown until the animation's end the form does not draw (WM_SETREDRAW off), nor do
// its children, which the form's showing shows after itself: nothing of them reaches the screen before the cover
// does. FreezeShownForm, on the form's position change, holds the drawing once the window is visible; the end of
// the animation gives it back (and paints the form with all its children), ThawShownForm on every other way out.
bool PrepareShowAnimation(TsSkinProvider* sp);
void FreezeShownForm(TsSkinProvider* sp);
void ThawShownForm(TsSkinProvider* sp);
void RunShowAnimation(TsSkinProvider* sp);
bool PrepareHideAnimation(TsSkinProvider* sp);
void RunHideAnimation(TsSkinProvider* sp);
// The forms glued to master (its slaves), in the order they were glued.
std::vector<vcl::TForm*> GluedSlaves(vcl::TForm* master);
// The application's taskbar button on the screen, empty when it cannot be found.
vcl::TRect GetAppRect();
