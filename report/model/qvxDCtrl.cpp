#include "report/model/qvxDCtrl.h"

#include <cmath>

#include "platform/rtl/win.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/messages.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxDialogPage.h"

VCL_REGISTER(TqvxDialogComponent) {}

namespace {
// Positions are stored as whole pixels, rounded halves to even as the float unit rounds.
int RoundEven(Extended v) { return static_cast<int>(std::llrint(static_cast<double>(v))); }
}  // namespace

TqvxDialogComponent::TqvxDialogComponent(vcl::TComponent* owner) : TqvxReportComponent(owner) {
  // Non-visual components never go to prepared pages.
  FqvComponentStyle.Exclude(csPreviewVisible);
  SetWidth(28);
  SetHeight(28);
}

TqvxDialogComponent::~TqvxDialogComponent() {
  if (FComponent) {
    delete FComponent;
    FComponent = nullptr;
  }
}

void TqvxDialogComponent::DefineProperties(vcl::TFiler* filer) {
  TqvxReportComponent::DefineProperties(filer);
  const bool hasReport = Report() != nullptr;
  filer->DefineProperty(
      L"pLeft", [this](vcl::TReader& r) { SetLeft(static_cast<Extended>(r.ReadInteger())); },
      [this](vcl::TWriter& w) { w.WriteInteger(RoundEven(FLeft)); }, hasReport);
  filer->DefineProperty(
      L"pTop", [this](vcl::TReader& r) { SetTop(static_cast<Extended>(r.ReadInteger())); },
      [this](vcl::TWriter& w) { w.WriteInteger(RoundEven(FTop)); }, hasReport);
}

void TqvxDialogComponent::Draw(vcl::TCanvas* canvas, Extended, Extended, Extended, Extended) {
  SetWidth(28);
  SetHeight(28);
  vcl::TRect r;
  r.Left = RoundEven(FLeft);
  r.Top = RoundEven(FTop);
  r.Right = RoundEven(FLeft + 28);
  r.Bottom = RoundEven(FTop + 28);
  canvas->Brush()->SetColor(vcl::clBtnFace);
  canvas->Brush()->SetStyle(vcl::bsSolid);
  canvas->FillRect(r);
  RECT edge{r.Left, r.Top, r.Right, r.Bottom};
  DrawEdge(canvas->Handle(), &edge, EDGE_RAISED, BF_RECT);
  // The class's button image comes from the object registry, which lists the designer's object kinds; a program
  // without the designer has no images to draw, and the icon stays a plain raised square with the name below.
  canvas->Font()->SetName(L"Tahoma");
  canvas->Font()->SetSize(8);
  canvas->Font()->SetColor(vcl::clBlack);
  canvas->Font()->SetStyle(vcl::TFontStyles{});
  canvas->Brush()->SetColor(vcl::clWindow);
  const rtl::String name = Name();
  canvas->TextOut(r.Left - (canvas->TextWidth(name) - 28) / 2, r.Bottom + 4, name);
}

// ---------------------------------------------------------------------------------------------------------------
// The hidden parent form

namespace {

class TParentForm : public vcl::TForm {
 public:
  explicit TParentForm(vcl::TComponent* owner) : vcl::TForm(owner) {}
  // Handles are made and freed on this window's thread whoever asks.
  void WndProc(vcl::TMessage& m) override {
    if (m.Msg == WM_CREATEHANDLE) {
      reinterpret_cast<vcl::TWinControl*>(m.WParam)->HandleNeeded();
      return;
    }
    if (m.Msg == WM_DESTROYHANDLE) {
      reinterpret_cast<vcl::TWinControl*>(m.WParam)->DestroyHandle();
      return;
    }
    vcl::TForm::WndProc(m);
  }
};

TParentForm* parentForm = nullptr;

}  // namespace

vcl::TForm* qvxParentForm() {
  if (!parentForm) {
    parentForm = new TParentForm(nullptr);
    parentForm->HandleNeeded();
  }
  return parentForm;
}

void EmptyParentForm() {
  if (!parentForm) return;
  while (parentForm->ControlCount() > 0) parentForm->Controls(0)->SetParent(nullptr);
}

// ---------------------------------------------------------------------------------------------------------------
// TqvxDialogControl

VCL_REGISTER(TqvxDialogControl) {
  cls.Prop(L"Left", &TqvxComponent::Left, &TqvxDialogControl::SetLeft);
  cls.Prop(L"Top", &TqvxComponent::Top, &TqvxDialogControl::SetTop);
  cls.Prop(L"Width", &TqvxComponent::Width, &TqvxDialogControl::SetWidth);
  cls.Prop(L"Height", &TqvxComponent::Height, &TqvxDialogControl::SetHeight);
  cls.Prop(L"Font", &TqvxComponent::Font, &TqvxComponent::SetFont).Stored(&TqvxDialogControl::IsFontStored);
  cls.Prop(L"GroupIndex", &TqvxComponent::GroupIndex, &TqvxComponent::SetGroupIndex).Default(0);
  cls.Prop(L"ParentFont", &TqvxComponent::ParentFont, &TqvxDialogControl::SetParentFont).Default(true);
  cls.Prop(L"Enabled", &TqvxDialogControl::Enabled, &TqvxDialogControl::SetEnabled).Default(true);
  cls.Prop(L"Hint", &TqvxDialogControl::Hint, &TqvxDialogControl::SetHint);
  cls.Prop(L"ShowHint", &TqvxDialogControl::ShowHint, &TqvxDialogControl::SetShowHint);
  cls.Prop(L"Visible", &TqvxComponent::Visible, &TqvxDialogControl::SetVisible).Default(true);
  cls.Prop(L"OnClick", &TqvxDialogControl::OnClick);
  cls.Prop(L"OnDblClick", &TqvxDialogControl::OnDblClick);
  cls.Prop(L"OnEnter", &TqvxDialogControl::OnEnter);
  cls.Prop(L"OnExit", &TqvxDialogControl::OnExit);
  cls.Prop(L"OnKeyDown", &TqvxDialogControl::OnKeyDown);
  cls.Prop(L"OnKeyPress", &TqvxDialogControl::OnKeyPress);
  cls.Prop(L"OnKeyUp", &TqvxDialogControl::OnKeyUp);
  cls.Prop(L"OnMouseDown", &TqvxDialogControl::OnMouseDown);
  cls.Prop(L"OnMouseMove", &TqvxDialogControl::OnMouseMove);
  cls.Prop(L"OnMouseUp", &TqvxDialogControl::OnMouseUp);
}

TqvxDialogControl::TqvxDialogControl(vcl::TComponent* owner) : TqvxReportComponent(owner) {}

TqvxDialogControl::~TqvxDialogControl() {
  // Nested dialog controls live inside this control's window: they go first, then the window itself.
  Clear();
  vcl::TControl* control = FControl;
  FControl = nullptr;
  delete control;
}

void TqvxDialogControl::SetControl(vcl::TControl* control) {
  FControl = control;
  if (!FBaseName.empty() || !control) return;
  // "TqvxEditControl" is named "Edit1", "Edit2"...
  rtl::String s = ClassName();
  size_t at = s.find(L"Tqvx");
  if (at != rtl::String::npos) s.erase(at, 4);
  at = s.find(L"Control");
  if (at != rtl::String::npos) s.erase(at, 7);
  FBaseName = s;
}

void TqvxDialogControl::SetName(const rtl::String& value) {
  const bool follow =
      FControl && FControl->ControlStyle().Contains(vcl::csSetCaption) && FControl->Text() == Name() && !IsLoading();
  TqvxReportComponent::SetName(value);
  if (follow) FControl->SetText(value);
}

void TqvxDialogControl::SetParent(TqvxComponent* value) {
  TqvxReportComponent::SetParent(value);
  if (!FControl) return;
  if (auto* parentControl = dynamic_cast<TqvxDialogControl*>(value)) {
    if (auto* w = dynamic_cast<vcl::TWinControl*>(parentControl->Control())) {
      FControl->SetParent(w);
      return;
    }
  } else if (auto* page = dynamic_cast<TqvxDialogPage*>(value)) {
    FControl->SetParent(page->DialogForm());
    return;
  }
  FControl->SetParent(qvxParentForm());
}

void TqvxDialogControl::SetLeft(Extended value) {
  TqvxReportComponent::SetLeft(value);
  if (FControl) FControl->SetLeft(RoundEven(FLeft));
}

void TqvxDialogControl::SetTop(Extended value) {
  TqvxReportComponent::SetTop(value);
  if (FControl) FControl->SetTop(RoundEven(FTop));
}

void TqvxDialogControl::SetWidth(Extended value) {
  TqvxReportComponent::SetWidth(value);
  if (FControl) FControl->SetWidth(RoundEven(FWidth));
}

void TqvxDialogControl::SetHeight(Extended value) {
  TqvxReportComponent::SetHeight(value);
  if (FControl) FControl->SetHeight(RoundEven(FHeight));
}

void TqvxDialogControl::SetVisible(bool value) {
  TqvxReportComponent::SetVisible(value);
  if (FControl) FControl->SetVisible(FVisible);
}

void TqvxDialogControl::SetParentFont(bool value) {
  TqvxReportComponent::SetParentFont(value);
  if (FControl) FControl->SetParentFont(value);
}

void TqvxDialogControl::FontChanged() {
  TqvxReportComponent::FontChanged();
  if (FControl) FControl->SetFont(Font());
}

rtl::String TqvxDialogControl::Caption() const { return FControl ? FControl->Text() : rtl::String(); }
void TqvxDialogControl::SetCaption(const rtl::String& value) {
  if (FControl) FControl->SetText(value);
}
vcl::TColor TqvxDialogControl::Color() const { return FControl ? FControl->Color() : vcl::clBtnFace; }
void TqvxDialogControl::SetColor(vcl::TColor value) {
  if (FControl) FControl->SetColor(value);
}
bool TqvxDialogControl::Enabled() const { return FControl ? FControl->Enabled() : true; }
void TqvxDialogControl::SetEnabled(bool value) {
  if (FControl) FControl->SetEnabled(value);
}
rtl::String TqvxDialogControl::Hint() const { return FControl ? FControl->Hint() : rtl::String(); }
void TqvxDialogControl::SetHint(const rtl::String& value) {
  if (FControl) FControl->SetHint(value);
}
bool TqvxDialogControl::ShowHint() const { return FControl && FControl->ShowHint(); }
void TqvxDialogControl::SetShowHint(bool value) {
  if (FControl) FControl->SetShowHint(value);
}
bool TqvxDialogControl::TabStop() const {
  auto* w = dynamic_cast<vcl::TWinControl*>(FControl);
  return w ? w->TabStop() : true;
}
void TqvxDialogControl::SetTabStop(bool value) {
  if (auto* w = dynamic_cast<vcl::TWinControl*>(FControl)) w->SetTabStop(value);
}

void TqvxDialogControl::Draw(vcl::TCanvas* canvas, Extended, Extended, Extended, Extended) {
  if (!FControl) return;
  vcl::TBitmap bmp;
  const int w = RoundEven(FWidth), h = RoundEven(FHeight);
  bmp.SetSize(w, h);
  vcl::TCanvas* bc = bmp.Canvas();
  bc->Brush()->SetColor(vcl::clBtnFace);
  bc->FillRect(vcl::TRect(0, 0, w + 1, h + 1));
  canvas->Lock();
  HDC dc = bc->Handle();
  if (auto* win = dynamic_cast<vcl::TWinControl*>(FControl)) {
    win->PaintTo(dc, 0, 0);
  } else {
    FControl->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
    FControl->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
  canvas->Unlock();
  canvas->Draw(RoundEven(AbsLeft()), RoundEven(AbsTop()), &bmp);
}
