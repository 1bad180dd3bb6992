#include "script/wz_idialogsrtti.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/commondialogs.h"
#include "platform/vcl/dialogs.h"

using rtl::String;
using rtl::Variant;

VCL_REGISTER(TwzDialogsRTTI) {}

TwzRTTIModuleClass wzDialogsModule() { return &wzCreateRTTIModule<wz_idialogsrtti::TFunctions>; }

namespace wz_idialogsrtti {

TFunctions::TFunctions(TwzScript* aScript) : TwzRTTIModule(aScript) {
  TwzScript* s = aScript;
  TwzCallMethodNewEvent call = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name,
                                      TwzMethodHelper* caller) { return CallMethod(instance, cls, name, caller); };

  // Each list follows the platform type's member order; the open options and the buttons stop before the last
  // members of the platform's types.
  s->AddEnumSet(L"TOpenOptions",
                L"ofReadOnly, ofOverwritePrompt, ofHideReadOnly,ofNoChangeDir, ofShowHelp, ofNoValidate, "
                L"ofAllowMultiSelect,ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,"
                L"ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton,ofNoLongNames, "
                L"ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify,ofEnableSizing");
  s->AddEnum(L"TFileEditStyle", L"fsEdit, fsComboBox");
  s->AddEnumSet(L"TColorDialogOptions", L"cdFullOpen, cdPreventFullOpen, cdShowHelp,cdSolidColor, cdAnyColor");
  s->AddEnumSet(L"TFontDialogOptions",
                L"fdAnsiOnly, fdTrueTypeOnly, fdEffects,fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel, "
                L"fdNoOEMFonts,fdNoSimulations, fdNoSizeSel, fdNoStyleSel,  fdNoVectorFonts,fdShowHelp, fdWysiwyg, "
                L"fdLimitSize, fdScalableOnly, fdApplyButton");
  s->AddEnum(L"TFontDialogDevice", L"fdScreen, fdPrinter, fdBoth");
  s->AddEnum(L"TPrintRange", L"prAllPages, prSelection, prPageNums");
  s->AddEnumSet(L"TPrintDialogOptions",
                L"poPrintToFile, poPageNums, poSelection,poWarning, poHelp, poDisablePrintToFile");
  s->AddEnum(L"TMsgDlgType", L"mtWarning, mtError, mtInformation, mtConfirmation, mtCustom");
  s->AddEnumSet(L"TMsgDlgButtons",
                L"mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp");

  if (TwzClassVariable* c = s->AddClass(vcl::TCommonDialog::StaticClass(), L"TComponent"))
    c->AddMethod(L"function Execute: Boolean", call);
  for (const vcl::TClassInfo* cls :
       {vcl::TOpenDialog::StaticClass(), vcl::TSaveDialog::StaticClass(), vcl::TColorDialog::StaticClass(),
        vcl::TFontDialog::StaticClass(), vcl::TPrintDialog::StaticClass(), vcl::TPrinterSetupDialog::StaticClass()})
    s->AddClass(cls, L"TCommonDialog");

  s->AddMethod(
      L"function MessageDlg(Msg: string; DlgType: TMsgDlgType; Buttons: TMsgDlgButtons; HelpCtx: Longint): "
      L"Integer",
      call, L"ctOther");
  s->AddMethod(L"function InputBox(ACaption, APrompt, ADefault: string): string", call, L"ctOther");
  s->AddMethod(L"function InputQuery(ACaption, APrompt: string; var Value: string): Boolean", call, L"ctOther");
}

Variant TFunctions::CallMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& methodName,
                               TwzMethodHelper* caller) {
  if (classType == vcl::TCommonDialog::StaticClass()) {
    if (methodName == L"EXECUTE") return Variant(wzSelf<vcl::TCommonDialog>(instance, caller)->Execute());
    return Variant(0);
  }
  if (classType) return Variant(0);
  // The global functions arrive without a class and are told apart by name.
  if (methodName == L"MESSAGEDLG") {
    const int type = wzIntArg(caller, 1) & 0xFF;
    if (type > vcl::mtCustom) throw rtl::ERangeError(L"Invalid message dialog type " + rtl::IntToStr(type));
    const auto buttons = vcl::TMsgDlgButtons::FromBits(static_cast<std::uint64_t>(wzIntArg(caller, 2) & 0xFFFF));
    return Variant(vcl::MessageDlgPos(wzTextArg(caller, 0), static_cast<vcl::TMsgDlgType>(type), buttons,
                                      wzIntArg(caller, 3), -1, -1));
  }
  if (methodName == L"INPUTBOX")
    return Variant(vcl::InputBox(wzTextArg(caller, 0), wzTextArg(caller, 1), wzTextArg(caller, 2)));
  if (methodName == L"INPUTQUERY") {
    String value = wzTextArg(caller, 2);
    const bool confirmed = vcl::InputQuery(wzTextArg(caller, 0), wzTextArg(caller, 1), value);
    caller->SetVParam(2, Variant(value));
    return Variant(confirmed);
  }
  return Variant(0);
}

}  // namespace wz_idialogsrtti
