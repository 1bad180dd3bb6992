#pragma once
// The progress window of long runs (printing, exports, a preparation without a preview): a borderless box with a
// message, an optional bar and a Cancel button that sets Terminated. The form that was active meanwhile takes no
// input, and is enabled again when the window hides or goes.
#include "platform/vcl/extctrls.h"
#include "platform/vcl/rangectrls.h"
#include "platform/vcl/stdctrls.h"
#include "report/model/qvxPreviewIntf.h"

class TqvxProgress : public TqvxCustomProgress {
  VCL_CLASS(TqvxProgress, TqvxCustomProgress)
 public:
  explicit TqvxProgress(vcl::TComponent* owner);
  ~TqvxProgress() override;

  void Execute(rtl::Integer maxValue, const rtl::String& msg, bool canceled, bool progress) override;
  void SetMessage(const rtl::String& value) override;
  const rtl::String& Message() const { return FMessage; }
  int Position() const { return FPosition; }
  void SetPosition(int value);
  void Reset() { SetPosition(0); }
  void Tick();
  bool ShowProgress() const { return FProgress; }
  void SetShowProgress(bool value);
  bool IsTerminated() const { return Terminated; }
  void SetTerminated(bool value);

  vcl::TPanel* Panel1 = nullptr;
  vcl::TLabel* LMessage = nullptr;
  vcl::TProgressBar* Bar = nullptr;
  vcl::TButton* CancelB = nullptr;

 protected:
  void DoHide() override;
  void Dispatch(vcl::TMessage& m) override;

 private:
  void CancelBClick(rtl::TObject*);
  void EnableActiveForm();
  vcl::TCustomForm* FActiveForm = nullptr;
  int FPosition = 0;
  rtl::String FMessage;
  bool FProgress = false;
};
