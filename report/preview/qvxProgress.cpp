#include "report/preview/qvxProgress.h"

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "report/model/qvxRes.h"

using namespace vcl;

TqvxProgress::TqvxProgress(TComponent* owner) : TqvxCustomProgress(owner) {
  SetBorderStyle(bsNone);
  TCustomForm::SetPosition(poScreenCenter);
  Font()->SetName(L"Tahoma");
  Font()->SetHeight(-11);
  SetClientSize(271, 101);
  Panel1 = new TPanel(this);
  Panel1->SetParent(this);
  Panel1->SetAlign(alClient);
  Panel1->SetBevelWidth(2);
  Panel1->SetShowCaption(false);
  LMessage = new TLabel(this);
  LMessage->SetParent(Panel1);
  LMessage->SetAutoSize(false);
  LMessage->SetAlignment(taCenter);
  LMessage->SetBounds(16, 11, 237, 20);
  Bar = new TProgressBar(this);
  Bar->SetParent(Panel1);
  Bar->SetBounds(16, 37, 237, 17);
  Bar->SetStep(1);
  CancelB = new TButton(this);
  CancelB->SetParent(Panel1);
  CancelB->SetBounds(100, 64, 75, 25);
  CancelB->SetCancel(true);
  CancelB->SetModalResult(mrCancel);
  CancelB->SetCaption(qvxGet(2));
  CancelB->OnClick.Bind(this, &TqvxProgress::CancelBClick);
  FActiveForm = Screen ? Screen->ActiveForm() : nullptr;
  if (FActiveForm && FActiveForm != this) FActiveForm->SetEnabled(false);
  Bar->SetMin(0);
  Bar->SetMax(100);
  SetPosition(0);
}

TqvxProgress::~TqvxProgress() { EnableActiveForm(); }

void TqvxProgress::EnableActiveForm() {
  if (!FActiveForm) return;
  // The form may have gone meanwhile.
  for (int i = 0; Screen && i < Screen->FormCount(); ++i)
    if (Screen->Forms(i) == FActiveForm) {
      FActiveForm->SetEnabled(true);
      break;
    }
  FActiveForm = nullptr;
}

void TqvxProgress::Execute(rtl::Integer maxValue, const rtl::String& msg, bool canceled, bool progress) {
  Terminated = false;
  CancelB->SetVisible(canceled);
  SetShowProgress(progress);
  Bar->SetMin(0);
  Reset();
  Bar->SetMax(maxValue);
  SetMessage(msg);
  Show();
  if (FActiveForm && FActiveForm->HandleAllocated() && HandleAllocated()) {
    // Wholly on the monitor of the form the user works in.
    HMONITOR monitor = MonitorFromWindow(FActiveForm->Handle(), MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) {
      const RECT& w = info.rcWork;
      int x = Left(), y = Top();
      x = std::max<int>(w.left, std::min<int>(x, w.right - Width()));
      y = std::max<int>(w.top, std::min<int>(y, w.bottom - Height()));
      SetBounds(x, y, Width(), Height());
    }
  }
  Application->ProcessMessages();
}

void TqvxProgress::SetMessage(const rtl::String& value) {
  FMessage = value;
  LMessage->SetCaption(value);
  LMessage->Repaint();
}

void TqvxProgress::SetPosition(int value) {
  FPosition = value;
  Bar->SetPosition(value);
  if (HandleAllocated() && Visible()) BringToFront();
  Application->ProcessMessages();
}

void TqvxProgress::Tick() {
  if (Bar->Min() <= FPosition && FPosition < Bar->Max()) SetPosition(FPosition + 1);
}

void TqvxProgress::SetShowProgress(bool value) {
  Bar->SetVisible(value);
  FProgress = value;
  LMessage->SetTop(value ? 15 : 35);
}

void TqvxProgress::SetTerminated(bool value) {
  Terminated = value;
  if (value) Hide();
}

void TqvxProgress::CancelBClick(rtl::TObject*) { SetTerminated(true); }

void TqvxProgress::DoHide() {
  EnableActiveForm();
  TqvxCustomProgress::DoHide();
}

void TqvxProgress::Dispatch(TMessage& m) {
  TqvxCustomProgress::Dispatch(m);
  // The borderless window is dragged by any point of its body.
  if (m.Msg == WM_NCHITTEST && m.Result == HTCLIENT) m.Result = HTCAPTION;
}

VCL_REGISTER(TqvxProgress) {}
