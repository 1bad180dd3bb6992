#include "script/wz_iformsrtti.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"
#include "platform/vcl/application.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/datamodule.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/scrollbox.h"
#include "platform/vcl/stdctrls.h"
#include "script/wz_events.h"

using rtl::String;
using rtl::Variant;

VCL_REGISTER(TwzFormsRTTI) {}

TwzRTTIModuleClass wzFormsModule() { return &wzCreateRTTIModule<wz_iformsrtti::TFunctions>; }

namespace wz_iformsrtti {

namespace {

void AddCursors(TwzScript* s) {
  // crSize and crSizeAll share -22; nothing has -5.
  for (auto [name, value] :
       {std::pair{L"crDefault", 0}, {L"crNone", -1},       {L"crArrow", -2},    {L"crCross", -3},
        {L"crIBeam", -4},           {L"crSize", -22},      {L"crSizeNESW", -6}, {L"crSizeNS", -7},
        {L"crSizeNWSE", -8},        {L"crSizeWE", -9},     {L"crUpArrow", -10}, {L"crHourGlass", -11},
        {L"crDrag", -12},           {L"crNoDrop", -13},    {L"crHSplit", -14},  {L"crVSplit", -15},
        {L"crMultiDrag", -16},      {L"crSQLWait", -17},   {L"crNo", -18},      {L"crAppStart", -19},
        {L"crHelp", -20},           {L"crHandPoint", -21}, {L"crSizeAll", -22}})
    s->AddConst(name, L"Integer", Variant(value));
}

void AddVirtualKeys(TwzScript* s) {
  for (auto [name, value] : {std::pair{L"VK_RBUTTON", VK_RBUTTON},
                             {L"VK_CANCEL", VK_CANCEL},
                             {L"VK_MBUTTON", VK_MBUTTON},
                             {L"VK_BACK", VK_BACK},
                             {L"VK_TAB", VK_TAB},
                             {L"VK_RETURN", VK_RETURN},
                             {L"VK_SHIFT", VK_SHIFT},
                             {L"VK_CONTROL", VK_CONTROL},
                             {L"VK_MENU", VK_MENU},
                             {L"VK_PAUSE", VK_PAUSE},
                             {L"VK_CAPITAL", VK_CAPITAL},
                             {L"VK_ESCAPE", VK_ESCAPE},
                             {L"VK_SPACE", VK_SPACE},
                             {L"VK_PRIOR", VK_PRIOR},
                             {L"VK_NEXT", VK_NEXT},
                             {L"VK_END", VK_END},
                             {L"VK_HOME", VK_HOME},
                             {L"VK_LEFT", VK_LEFT},
                             {L"VK_UP", VK_UP},
                             {L"VK_RIGHT", VK_RIGHT},
                             {L"VK_DOWN", VK_DOWN},
                             {L"VK_INSERT", VK_INSERT},
                             {L"VK_DELETE", VK_DELETE},
                             {L"VK_HELP", VK_HELP},
                             {L"VK_LWIN", VK_LWIN},
                             {L"VK_RWIN", VK_RWIN},
                             {L"VK_APPS", VK_APPS}})
    s->AddConst(name, L"Integer", Variant(static_cast<int>(value)));
  for (int i = 0; i <= 9; ++i) s->AddConst(L"VK_NUMPAD" + rtl::IntToStr(i), L"Integer", Variant(VK_NUMPAD0 + i));
  for (auto [name, value] : {std::pair{L"VK_MULTIPLY", VK_MULTIPLY},
                             {L"VK_ADD", VK_ADD},
                             {L"VK_SEPARATOR", VK_SEPARATOR},
                             {L"VK_SUBTRACT", VK_SUBTRACT},
                             {L"VK_DECIMAL", VK_DECIMAL},
                             {L"VK_DIVIDE", VK_DIVIDE}})
    s->AddConst(name, L"Integer", Variant(static_cast<int>(value)));
  for (int i = 1; i <= 12; ++i) s->AddConst(L"VK_F" + rtl::IntToStr(i), L"Integer", Variant(VK_F1 + i - 1));
  s->AddConst(L"VK_NUMLOCK", L"Integer", Variant(VK_NUMLOCK));
  s->AddConst(L"VK_SCROLL", L"Integer", Variant(VK_SCROLL));
}

TwzEventClass Notify() { return &wzCreateEventAdapter<TwzNotifyEvent>; }

}  // namespace

TFunctions::TFunctions(TwzScript* aScript) : TwzRTTIModule(aScript) {
  TwzScript* s = aScript;
  TwzCallMethodNewEvent call = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name,
                                      TwzMethodHelper* caller) { return CallMethod(instance, cls, name, caller); };
  TwzGetValueEvent get = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name) {
    return GetProp(instance, cls, name);
  };
  TwzSetValueEvent set = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name,
                                const Variant& value) { SetProp(instance, cls, name, value); };

  for (auto [name, value] : {std::pair{L"mrNone", 0},
                             {L"mrOk", 1},
                             {L"mrCancel", 2},
                             {L"mrAbort", 3},
                             {L"mrRetry", 4},
                             {L"mrIgnore", 5},
                             {L"mrYes", 6},
                             {L"mrNo", 7},
                             {L"mrAll", 12},
                             {L"mrNoToAll", 13},
                             {L"mrYesToAll", 14}})
    s->AddConst(name, L"Integer", Variant(value));
  AddCursors(s);
  for (auto [name, value] : {std::pair{L"bsNone", 0},
                             {L"bsSingle", 1},
                             {L"bsSizeable", 2},
                             {L"bsDialog", 3},
                             {L"bsToolWindow", 4},
                             {L"bsSizeToolWin", 5}})
    s->AddConst(name, L"Integer", Variant(value));
  AddVirtualKeys(s);
  // A second time, as the module always did: a constant whose name exists is not registered again.
  AddCursors(s);
  for (auto [name, value] : {std::pair{L"taLeftJustify", 0}, {L"taRightJustify", 1}, {L"taCenter", 2}})
    s->AddConst(name, L"Integer", Variant(value));

  for (const wchar_t* name : {L"TFormBorderStyle", L"TBorderStyle", L"TAlignment", L"TLeftRight"})
    s->AddType(name, fvtInt);
  s->AddEnumSet(L"TShiftState", L"ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble");
  s->AddEnum(L"TAlign", L"alNone, alTop, alBottom, alLeft, alRight, alClient");
  s->AddEnum(L"TMouseButton", L"mbLeft, mbRight, mbMiddle");
  s->AddEnumSet(L"TAnchors", L"akLeft, akTop, akRight, akBottom");
  s->AddEnum(L"TBevelCut", L"bvNone, bvLowered, bvRaised, bvSpace");
  s->AddEnum(L"TTextLayout", L"tlTop, tlCenter, tlBottom");
  s->AddEnum(L"TEditCharCase", L"ecNormal, ecUpperCase, ecLowerCase");
  s->AddEnum(L"TScrollStyle", L"ssNone, ssHorizontal, ssVertical, ssBoth");
  s->AddEnum(L"TComboBoxStyle", L"csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable");
  s->AddEnum(L"TCheckBoxState", L"cbUnchecked, cbChecked, cbGrayed");
  s->AddEnum(L"TListBoxStyle", L"lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable");
  s->AddEnum(L"TWindowState", L"wsNormal, wsMinimized, wsMaximized");
  s->AddEnum(L"TFormStyle", L"fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop");
  s->AddEnumSet(L"TBorderIcons", L"biSystemMenu, biMinimize, biMaximize, biHelp");
  s->AddEnum(L"TPosition",
             L"poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, "
             L"poDesktopCenter");
  s->AddEnum(L"TCloseAction", L"caNone, caHide, caFree, caMinimize");

  if (TwzClassVariable* c = s->AddClass(vcl::TControl::StaticClass(), L"TComponent")) {
    c->AddProperty(L"Parent", L"TWinControl", get, set);
    c->AddMethod(L"procedure Hide", call);
    c->AddMethod(L"procedure Show", call);
    c->AddMethod(L"procedure SetBounds(ALeft, ATop, AWidth, AHeight: Integer)", call);
    c->AddEvent(L"OnCanResize", &wzCreateEventAdapter<TwzCanResizeEvent>);
    c->AddEvent(L"OnClick", Notify());
    c->AddEvent(L"OnDblClick", Notify());
    c->AddEvent(L"OnResize", Notify());
    c->AddEvent(L"OnMouseDown", &wzCreateEventAdapter<TwzMouseEvent>);
    c->AddEvent(L"OnMouseUp", &wzCreateEventAdapter<TwzMouseEvent>);
    c->AddEvent(L"OnMouseMove", &wzCreateEventAdapter<TwzMouseMoveEvent>);
  }
  if (TwzClassVariable* c = s->AddClass(vcl::TWinControl::StaticClass(), L"TControl")) {
    c->AddMethod(L"procedure SetFocus", call);
    c->AddEvent(L"OnEnter", Notify());
    c->AddEvent(L"OnExit", Notify());
    c->AddEvent(L"OnKeyDown", &wzCreateEventAdapter<TwzKeyEvent>);
    c->AddEvent(L"OnKeyUp", &wzCreateEventAdapter<TwzKeyEvent>);
    c->AddEvent(L"OnKeyPress", &wzCreateEventAdapter<TwzKeyPressEvent>);
  }
  s->AddClass(vcl::TCustomControl::StaticClass(), L"TWinControl");
  s->AddClass(vcl::TGraphicControl::StaticClass(), L"TControl");
  s->AddClass(vcl::TGroupBox::StaticClass(), L"TWinControl");
  s->AddClass(vcl::TLabel::StaticClass(), L"TControl");
  s->AddClass(vcl::TEdit::StaticClass(), L"TWinControl");
  s->AddClass(vcl::TMemo::StaticClass(), L"TWinControl");
  if (TwzClassVariable* c = s->AddClass(vcl::TCustomComboBox::StaticClass(), L"TWinControl")) {
    c->AddProperty(L"DroppedDown", L"Boolean", get, set);
    c->AddProperty(L"ItemIndex", L"Integer", get, set);
    c->AddEvent(L"OnChange", Notify());
    c->AddEvent(L"OnDropDown", Notify());
    c->AddEvent(L"OnCloseUp", Notify());
  }
  s->AddClass(vcl::TComboBox::StaticClass(), L"TCustomComboBox");
  s->AddClass(vcl::TButton::StaticClass(), L"TWinControl");
  s->AddClass(vcl::TCheckBox::StaticClass(), L"TWinControl");
  s->AddClass(vcl::TRadioButton::StaticClass(), L"TWinControl");
  if (TwzClassVariable* c = s->AddClass(vcl::TCustomListBox::StaticClass(), L"TWinControl")) {
    c->AddProperty(L"ItemIndex", L"Integer", get, set);
    c->AddProperty(L"SelCount", L"Integer", get);
    c->AddIndexProperty(L"Selected", L"Integer", L"Boolean", call, false);
  }
  s->AddClass(vcl::TListBox::StaticClass(), L"TCustomListBox");
  s->AddClass(vcl::TControlScrollBar::StaticClass(), L"TPersistent");
  s->AddClass(vcl::TScrollingWinControl::StaticClass(), L"TWinControl");
  s->AddClass(vcl::TScrollBox::StaticClass(), L"TScrollingWinControl");
  if (TwzClassVariable* c = s->AddClass(vcl::TCustomForm::StaticClass(), L"TScrollingWinControl")) {
    c->AddMethod(L"procedure Close", call);
    c->AddMethod(L"procedure Hide", call);
    c->AddMethod(L"procedure Show", call);
    c->AddMethod(L"function ShowModal: Integer", call);
    for (const wchar_t* name :
         {L"OnActivate", L"OnCreate", L"OnDestroy", L"OnDeactivate", L"OnHide", L"OnPaint", L"OnShow"})
      c->AddEvent(name, Notify());
    c->AddEvent(L"OnClose", &wzCreateEventAdapter<TwzCloseEvent>);
    c->AddEvent(L"OnCloseQuery", &wzCreateEventAdapter<TwzCloseQueryEvent>);
    c->AddProperty(L"Canvas", L"TCanvas", get);
    c->AddProperty(L"ModalResult", L"Integer", get, set);
  }
  s->AddClass(vcl::TForm::StaticClass(), L"TCustomForm");
  s->AddClass(vcl::TDataModule::StaticClass(), L"TComponent");
  if (TwzClassVariable* c = s->AddClass(vcl::TApplication::StaticClass(), L"TComponent")) {
    c->AddMethod(L"procedure Minimize", call);
    c->AddMethod(L"procedure ProcessMessages", call);
    c->AddMethod(L"procedure Restore", call);
    c->AddProperty(L"ExeName", L"String", get);
  }
  if (vcl::Application) s->AddObject(L"Application", vcl::Application);
}

Variant TFunctions::CallMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& methodName,
                               TwzMethodHelper* caller) {
  if (classType == vcl::TControl::StaticClass()) {
    auto* self = wzSelf<vcl::TControl>(instance, caller);
    if (methodName == L"HIDE") self->Hide();
    if (methodName == L"SHOW") self->Show();
    if (methodName == L"SETBOUNDS")
      self->SetBounds(wzIntArg(caller, 0), wzIntArg(caller, 1), wzIntArg(caller, 2), wzIntArg(caller, 3));
  } else if (classType == vcl::TWinControl::StaticClass()) {
    if (methodName == L"SETFOCUS") wzSelf<vcl::TWinControl>(instance, caller)->SetFocus();
  } else if (classType == vcl::TCustomListBox::StaticClass()) {
    auto* self = wzSelf<vcl::TCustomListBox>(instance, caller);
    if (methodName == L"SELECTED.GET") return Variant(self->Selected(wzIntArg(caller, 0)));
    if (methodName == L"SELECTED.SET") self->SetSelected(wzIntArg(caller, 0), wzBoolArg(caller, 1));
  } else if (classType == vcl::TCustomForm::StaticClass()) {
    auto* self = wzSelf<vcl::TCustomForm>(instance, caller);
    if (methodName == L"CLOSE") self->Close();
    if (methodName == L"HIDE") self->Hide();
    if (methodName == L"SHOW") self->Show();
    if (methodName == L"SHOWMODAL") return Variant(self->ShowModal());
  } else if (classType == vcl::TApplication::StaticClass()) {
    auto* self = wzSelf<vcl::TApplication>(instance, caller);
    if (methodName == L"MINIMIZE") self->Minimize();
    if (methodName == L"PROCESSMESSAGES") self->ProcessMessages();
    if (methodName == L"RESTORE") self->Restore();
  }
  return Variant(0);
}

Variant TFunctions::GetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& propName) {
  if (classType == vcl::TControl::StaticClass()) {
    if (propName == L"PARENT") return wzObjectResult(wzSelf<vcl::TControl>(instance, propName)->Parent());
  } else if (classType == vcl::TCustomComboBox::StaticClass()) {
    auto* self = wzSelf<vcl::TCustomComboBox>(instance, propName);
    if (propName == L"DROPPEDDOWN") return Variant(self->DroppedDown());
    if (propName == L"ITEMINDEX") return Variant(self->ItemIndex());
  } else if (classType == vcl::TCustomListBox::StaticClass()) {
    auto* self = wzSelf<vcl::TCustomListBox>(instance, propName);
    if (propName == L"ITEMINDEX") return Variant(self->ItemIndex());
    if (propName == L"SELCOUNT") return Variant(self->SelCount());
  } else if (classType == vcl::TCustomForm::StaticClass()) {
    auto* self = wzSelf<vcl::TCustomForm>(instance, propName);
    if (propName == L"CANVAS") return wzObjectResult(self->Canvas());
    if (propName == L"MODALRESULT") return Variant(self->ModalResult());
  } else if (classType == vcl::TApplication::StaticClass()) {
    if (propName == L"EXENAME") return Variant(wzSelf<vcl::TApplication>(instance, propName)->ExeName());
  }
  return Variant(0);
}

void TFunctions::SetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& propName,
                         const Variant& value) {
  if (classType == vcl::TControl::StaticClass()) {
    if (propName == L"PARENT") {
      rtl::TObject* obj = wzObjectArg(value);
      auto* parent = dynamic_cast<vcl::TWinControl*>(obj);
      if (obj && !parent) throw EwzScriptError(L"A " + obj->ClassName() + L" cannot be the parent of a control");
      wzSelf<vcl::TControl>(instance, propName)->SetParent(parent);
    }
  } else if (classType == vcl::TCustomComboBox::StaticClass()) {
    auto* self = wzSelf<vcl::TCustomComboBox>(instance, propName);
    if (propName == L"DROPPEDDOWN") self->SetDroppedDown(value.AsBoolean());
    if (propName == L"ITEMINDEX") self->SetItemIndex(value.AsInteger());
  } else if (classType == vcl::TCustomListBox::StaticClass()) {
    if (propName == L"ITEMINDEX") wzSelf<vcl::TCustomListBox>(instance, propName)->SetItemIndex(value.AsInteger());
  } else if (classType == vcl::TCustomForm::StaticClass()) {
    if (propName == L"MODALRESULT") wzSelf<vcl::TCustomForm>(instance, propName)->SetModalResult(value.AsInteger());
  }
}

}  // namespace wz_iformsrtti
