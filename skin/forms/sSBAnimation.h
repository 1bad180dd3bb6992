#pragma once
// The hover fade of a caption button: rather than painting a button's new look into the frame at once, a small
// borderless layered window is laid exactly over the button and its image fades in or out in 10 ms steps. The
// window never takes the focus nor the mouse (clicks go through to the frame below it).
#include <memory>
#include <vector>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "skin/forms/sSysMenu.h"

class TlvCustomBorderForm;
class TsCommonData;
class TsSkinProvider;

class TlvSBAnimation : public vcl::TTimer {
  VCL_CLASS(TlvSBAnimation, vcl::TTimer)
 public:
  explicit TlvSBAnimation(vcl::TComponent* owner);
  ~TlvSBAnimation() override;

  int CurrentLevel = 0;
  // 0 normal, 1 hot, 2 pressed; -1 after a finished fade-out.
  int CurrentState = 0;
  // Steps of a whole fade; -1 once a fade-in has completed.
  int MaxIterations = 0;
  TlvCustomBorderForm* BorderForm = nullptr;
  TsCommonData* SkinData = nullptr;
  HWND FormHandle = nullptr;
  TsCaptionButton* PBtnData = nullptr;
  bool Up = false;
  std::unique_ptr<vcl::TForm> AForm;
  std::unique_ptr<vcl::TBitmap> ABmp;
  // The provider the button belongs to (nil for a dialog frame's button).
  TsSkinProvider* Provider = nullptr;
  // The constant alpha of the last frame pushed; -1 before the first.
  int LastBlend = -1;
  // The alphas shown since the fade last started from its own state (a retarget keeps them) (bounded: a fade is at most a few dozen frames).
  std::vector<int> Shown;

  void ChangeState(int newState, bool toUp);
  void StartAnimation(int newState, bool toUp);
  void OnAnimTimer();
  void UpdateForm(int blend);
  void MakeForm();
  void MakeImg();
  vcl::TRect GetFormBounds();
  int Offset();
  int Step() const;
  void CheckMouseLeave();
};

// Starts, retargets or reverses the fade of btn towards newState over iterations steps (the provider passes 10 for
// hover and leave, 1 for a press). With neither a provider nor a dialog frame nothing happens.
void StartSBAnimation(TsCaptionButton* btn, int newState, int iterations, bool up, TsSkinProvider* skinProvider,
                      void* dialogWnd = nullptr);
