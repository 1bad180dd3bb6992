#include "report/model/qvxDialogPage.h"

#include <cmath>

#include "platform/rtl/win.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/messages.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxDCtrl.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"

using rtl::String;

namespace {
int RoundEven(Extended v) { return static_cast<int>(std::llrint(static_cast<double>(v))); }
}  // namespace

VCL_REGISTER(TqvxDialogPage) {
  cls.Prop(L"BorderStyle", &TqvxDialogPage::BorderStyle, &TqvxDialogPage::SetBorderStyle).Default(vcl::bsSizeable);
  cls.Prop(L"Caption", &TqvxDialogPage::Caption, &TqvxDialogPage::SetCaption);
  cls.Prop(L"Color", &TqvxDialogPage::Color, &TqvxDialogPage::SetColor).Default(vcl::clBtnFace);
  cls.Prop(L"Left", &TqvxComponent::Left, &TqvxDialogPage::SetLeft);
  cls.Prop(L"Top", &TqvxComponent::Top, &TqvxDialogPage::SetTop);
  cls.Prop(L"Width", &TqvxComponent::Width, &TqvxDialogPage::SetWidth);
  cls.Prop(L"Height", &TqvxComponent::Height, &TqvxDialogPage::SetHeight);
  cls.Prop(L"ClientWidth", &TqvxDialogPage::ClientWidth, &TqvxDialogPage::SetClientWidth);
  cls.Prop(L"ClientHeight", &TqvxDialogPage::ClientHeight, &TqvxDialogPage::SetClientHeight);
  cls.Prop(L"Position", &TqvxDialogPage::Position, &TqvxDialogPage::SetPosition).Default(vcl::poScreenCenter);
  cls.Prop(L"WindowState", &TqvxDialogPage::WindowState, &TqvxDialogPage::SetWindowState).Default(vcl::wsNormal);
  cls.Prop(L"OnActivate", &TqvxDialogPage::OnActivate);
  cls.Prop(L"OnClick", &TqvxDialogPage::OnClick);
  cls.Prop(L"OnDeactivate", &TqvxDialogPage::OnDeactivate);
  cls.Prop(L"OnHide", &TqvxDialogPage::OnHide);
  cls.Prop(L"OnKeyDown", &TqvxDialogPage::OnKeyDown);
  cls.Prop(L"OnKeyPress", &TqvxDialogPage::OnKeyPress);
  cls.Prop(L"OnKeyUp", &TqvxDialogPage::OnKeyUp);
  cls.Prop(L"OnResize", &TqvxDialogPage::OnResize);
  cls.Prop(L"OnShow", &TqvxDialogPage::OnShow);
  cls.Prop(L"OnCloseQuery", &TqvxDialogPage::OnCloseQuery);
}

TqvxDialogPage::TqvxDialogPage(vcl::TComponent* owner) : TqvxPage(owner) {
  FIsDialogPage = true;
  TqvxReport* report = Report();
  const rtl::Int64 savedTag = Tag();
  const bool threadSafe = report && report->EngineOptions()->EnableThreadSafe;
  SetTag(threadSafe ? TqvxDialogForm::ThreadSafeTag : 0);
  FForm = new TqvxDialogForm(this);
  SetTag(savedTag);
  FForm->SetKeyPreview(true);
  FForm->SetShowHint(true);
  Font()->SetName(L"Tahoma");
  Font()->SetSize(8);
  FBorderStyle = vcl::bsSizeable;
  FPosition = vcl::poScreenCenter;
  FWindowState = vcl::wsNormal;
  SetColor(vcl::clBtnFace);
  FClientWidth = 0;
  FClientHeight = 0;
}

TqvxDialogPage::~TqvxDialogPage() {
  // The controls go before the window that holds them.
  Clear();
  TqvxDialogForm* form = FForm;
  FForm = nullptr;
  delete form;
}

String TqvxDialogPage::GetDescription() const { return qvxResources().Get(L"obDlgPage"); }

void TqvxDialogPage::SetLeft(Extended value) {
  TqvxPage::SetLeft(value);
  if (FForm) FForm->SetLeft(RoundEven(value));
}

void TqvxDialogPage::SetTop(Extended value) {
  TqvxPage::SetTop(value);
  if (FForm) FForm->SetTop(RoundEven(value));
}

void TqvxDialogPage::SetWidth(Extended value) {
  TqvxPage::SetWidth(value);
  // While loading, a stored client size decides the window size, whichever of the two is read first.
  if (FForm && !(IsLoading() && FClientWidth != 0)) FForm->SetWidth(RoundEven(value));
}

void TqvxDialogPage::SetHeight(Extended value) {
  TqvxPage::SetHeight(value);
  if (FForm && !(IsLoading() && FClientHeight != 0)) FForm->SetHeight(RoundEven(value));
}

Extended TqvxDialogPage::ClientWidth() const { return FForm ? FForm->ClientWidth() : FClientWidth; }
Extended TqvxDialogPage::ClientHeight() const { return FForm ? FForm->ClientHeight() : FClientHeight; }

void TqvxDialogPage::SetClientWidth(Extended value) {
  FForm->SetClientWidth(RoundEven(value));
  FClientWidth = value;
  TqvxPage::SetWidth(FForm->Width());
}

void TqvxDialogPage::SetClientHeight(Extended value) {
  FForm->SetClientHeight(RoundEven(value));
  FClientHeight = value;
  TqvxPage::SetHeight(FForm->Height());
}

void TqvxDialogPage::SetCaption(const String& value) {
  FCaption = value;
  if (FForm) FForm->SetText(value);
}

void TqvxDialogPage::SetColor(vcl::TColor value) {
  FColor = value;
  if (FForm) FForm->SetColor(value);
}

vcl::TModalResult TqvxDialogPage::ModalResult() const { return FForm->ModalResult(); }
void TqvxDialogPage::SetModalResult(vcl::TModalResult value) { FForm->SetModalResult(value); }

void TqvxDialogPage::FontChanged() {
  TqvxPage::FontChanged();
  if (FForm) FForm->SetFont(Font());
}

void TqvxDialogPage::Initialize() { DoInitialize(); }

void TqvxDialogPage::DoInitialize() {
  if (FForm->Visible()) FForm->Hide();
  FForm->SetPosition(FPosition);
  FForm->SetWindowState(FWindowState);
  FForm->OnActivate.Bind(this, &TqvxDialogPage::DoOnActivate);
  FForm->OnClick.Bind(this, &TqvxDialogPage::DoOnClick);
  FForm->OnCloseQuery.Bind(this, &TqvxDialogPage::DoOnCloseQuery);
  FForm->OnDeactivate.Bind(this, &TqvxDialogPage::DoOnDeactivate);
  FForm->OnHide.Bind(this, &TqvxDialogPage::DoOnHide);
  FForm->OnKeyDown.Bind(this, &TqvxDialogPage::DoOnKeyDown);
  FForm->OnKeyPress.Bind(this, &TqvxDialogPage::DoOnKeyPress);
  FForm->OnKeyUp.Bind(this, &TqvxDialogPage::DoOnKeyUp);
  FForm->OnShow.Bind(this, &TqvxDialogPage::DoOnShow);
  FForm->OnResize.Bind(this, &TqvxDialogPage::DoOnResize);
  FForm->OnMouseMove.Bind(this, &TqvxDialogPage::DoOnMouseMove);
}

vcl::TModalResult TqvxDialogPage::ShowModal() {
  Initialize();
  FForm->SetBorderStyle(FBorderStyle);
  FForm->SetFormStyle(vcl::fsNormal);
  FForm->OnModify.Bind(this, &TqvxDialogPage::DoModify);
  try {
    const vcl::TModalResult result = FForm->ShowModal();
    FForm->SetFormStyle(vcl::fsStayOnTop);
    return result;
  } catch (...) {
    FForm->SetFormStyle(vcl::fsStayOnTop);
    throw;
  }
}

void TqvxDialogPage::Notify(const String& eventName) {
  if (TqvxReport* report = Report()) report->DoNotifyEvent(this, eventName);
}

void TqvxDialogPage::DoModify(rtl::TObject*) {
  FLeft = FForm->Left();
  FTop = FForm->Top();
  FWidth = FForm->Width();
  FHeight = FForm->Height();
}

void TqvxDialogPage::DoOnActivate(rtl::TObject* sender) {
  DoModify(sender);
  Notify(OnActivate);
  for (TqvxComponent* c : GetAllObjects())
    if (auto* control = dynamic_cast<TqvxDialogControl*>(c))
      if (control->OnActivate) control->OnActivate(this);
}

void TqvxDialogPage::DoOnClick(rtl::TObject*) { Notify(OnClick); }
void TqvxDialogPage::DoOnDeactivate(rtl::TObject*) { Notify(OnDeactivate); }
void TqvxDialogPage::DoOnHide(rtl::TObject*) { Notify(OnHide); }
void TqvxDialogPage::DoOnResize(rtl::TObject*) { Notify(OnResize); }

void TqvxDialogPage::DoOnShow(rtl::TObject*) {
  FForm->Perform(vcl::CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(FForm->ActiveControl()));
  Notify(OnShow);
}

void TqvxDialogPage::DoOnMouseMove(rtl::TObject*, vcl::TShiftState, int, int) {
  if (TqvxReport* report = Report()) report->SetProgressMessage(L"", true);
}

void TqvxDialogPage::DoOnCloseQuery(rtl::TObject* sender, bool& canClose) {
  TqvxReport* report = Report();
  if (!report) return;
  rtl::Variant params = rtl::VarArrayOf({rtl::Variant::FromObject(sender), rtl::Variant(canClose)});
  report->DoParamEvent(OnCloseQuery, params);
  canClose = params[1].AsBoolean();
}

void TqvxDialogPage::KeyEvent(rtl::TObject* sender, rtl::Word& key, vcl::TShiftState shift, const String& eventName) {
  TqvxReport* report = Report();
  if (!report) return;
  rtl::Variant params = rtl::VarArrayOf({rtl::Variant::FromObject(sender), rtl::Variant(static_cast<rtl::Integer>(key)),
                                         rtl::Variant(static_cast<rtl::Integer>(shift.Bits() & 0xFF))});
  report->DoParamEvent(eventName, params);
  key = static_cast<rtl::Word>(params[1].AsInteger());
}

void TqvxDialogPage::DoOnKeyDown(rtl::TObject* sender, rtl::Word& key, vcl::TShiftState shift) {
  KeyEvent(sender, key, shift, OnKeyDown);
}

void TqvxDialogPage::DoOnKeyUp(rtl::TObject* sender, rtl::Word& key, vcl::TShiftState shift) {
  KeyEvent(sender, key, shift, OnKeyUp);
}

void TqvxDialogPage::DoOnKeyPress(rtl::TObject* sender, wchar_t& key) {
  TqvxReport* report = Report();
  if (!report) return;
  rtl::Variant params = rtl::VarArrayOf({rtl::Variant::FromObject(sender), rtl::Variant(String(1, key))});
  report->DoParamEvent(OnKeyPress, params);
  const String text = rtl::VarToStr(params[1]);
  key = text.empty() ? L'\0' : text[0];
}
