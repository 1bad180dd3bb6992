#pragma once
// Smooth changes of a skinned control's look: a step timer on the user-interface thread (a message timer, despite
// the class's name), the cross-fade of a control's cache bitmap from its old picture to its new one in about ten
// steps of 10 ms when its state changes, and the glow windows around controls.
#include <memory>
#include <vector>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/component.h"
#include "platform/vcl/events.h"
#include "platform/vcl/extctrls.h"
#include "skin/core/sConst.h"

class TsCommonData;
class TsSkinManager;

constexpr int TT_GLOWING = 1;

using TlvAnimProc = bool (*)(rtl::TObject* data, int iteration);

class TlvThreadedTimer : public vcl::TComponent {
  VCL_CLASS(TlvThreadedTimer, vcl::TComponent)
  explicit TlvThreadedTimer(vcl::TComponent* owner);
  // owner: the object the timer belongs to; with changeEvent the event is TimeEvent, which calls TimeHandler.
  TlvThreadedTimer(rtl::TObject* owner, bool changeEvent);
  ~TlvThreadedTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned value);
  void SetOnTimer(vcl::TNotifyEvent value);
  void Reset();
  // Prepares a fade or glow towards state (see the state rules of the fades).
  void InitData(rtl::TObject* data, int iteration, TlvAnimProc animProc, int state, bool half);
  // Runs the step routine once.
  virtual void TimeHandler();
  // The part r of src into dst at (0, 0); dst is made as a 32-bit bitmap of r's size when nil.
  static void CopyFrom(std::unique_ptr<vcl::TBitmap>& dst, vcl::TBitmap* src, const vcl::TRect& r);

  bool InHandler = false;
  bool Executing = false;
  rtl::TObject* FOwner = nullptr;
  double Glow = 0;
  double GlowStep = 0;
  double Value = 0;
  double ValueStep = 0;
  int State = -1;
  int Iteration = 0;
  int IntState = -1;
  int OldState = -1;
  int Iterations = 10;
  int ThreadType = 0;
  std::unique_ptr<vcl::TBitmap> BmpTo, BmpOut, BmpFrom;
  vcl::TRect AnimRect;
  rtl::TObject* AnimData = nullptr;
  bool Destroyed = false;
  vcl::TControl* AnimControl = nullptr;
  TlvAnimProc AnimProc = nullptr;
  vcl::TNotifyEvent OnTimer;

 private:
  void UpdateTimer();
  void OnTimer2(rtl::TObject* sender);
  void Timer();
  bool FEnabled = false;
  unsigned FInterval = 1000;
  vcl::TTimer* FTimerThread = nullptr;
};

// With a timer: the steps still to go (20 - Iteration towards state 0, else 10 - Iteration, at least 0); without,
// the timer is made (Glow 255 when flag is 0) and the answer is 0.
int GetNewTimer(TlvThreadedTimer*& timer, rtl::TObject* owner, int flag);
void StopTimer(TsCommonData* skinData);
void FinishTimer(TlvThreadedTimer* timer);
bool TimerIsActive(TsCommonData* skinData);
// Repaints a control for a new state (0 normal, 1 hot, 2 pressed; 100 and above: no glow), cross-faded when the
// skin allows animation.
void DoChangePaint(TsCommonData* skinData, int state, TlvAnimProc animProc, bool animate, bool half, bool glow);
void AnimChange(TsCommonData* skinData, int state, TlvAnimProc animProc, bool half);
bool EventEnabled(TlvAnimatEvent event, TlvAnimatEvents events, TsSkinManager* skinManager = nullptr);
// Step routines.
bool UpdateWindow_CB(rtl::TObject* data, int iteration);
bool UpdateGraphic_CB(rtl::TObject* data, int iteration);
bool UpdateGlowing_CB(rtl::TObject* data, int iteration);

// Glows: layered windows around controls, kept in a list whose index is the control's GlowID.
int ShowGlow(const vcl::TRect& realRect, const rtl::String& skinSection, const rtl::String& name, int margin, int alpha,
             HWND wndHandle, TsCommonData* skinData);
void HideGlow(int& glowID, bool animated);
void SetGlowAlpha(int glowID, int alpha);
void ClearGlows(bool freeWindows);
// The number of glows alive (for tests).
int GlowCount();
