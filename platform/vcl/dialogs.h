#pragma once
// Message boxes and the common file dialogs.
//
// MessageDlg shows the system's message box: the buttons asked for are mapped onto the nearest of the system's
// button sets (Yes/No/Cancel, Yes/No, OK/Cancel, Abort/Retry/Ignore, Retry/Cancel, OK), so a dialog always offers
// at least the buttons that matter for its answer. The answer is the mr* value of the button pressed.
#include "platform/rtl/stringlist.h"
#include "platform/vcl/component.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/set.h"
#include "platform/vcl/typinfo.h"

namespace vcl {

VCL_ENUM(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
VCL_ENUM(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,
         mbClose)
VCL_SET(TMsgDlgButtons, TMsgDlgBtn)

constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo};
constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
constexpr TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

// The caption is the type's ("Warning", "Error", "Information", "Confirmation"); mtCustom takes the application's
// title. helpContext is accepted for compatibility; there is no help file.
int MessageDlg(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
// As MessageDlg with the box's top-left corner at (x, y) on the screen; -1 for either keeps the system's place.
int MessageDlgPos(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext, int x, int y);
// The flags of the system message box MessageDlg shows (exposed for the script bindings and tests).
UINT MessageDlgFlags(TMsgDlgType type, TMsgDlgButtons buttons);
String MessageDlgCaption(TMsgDlgType type);

// Whether the open and save dialogs may use the system's newest dialog windows; a skinning library that skins the
// standard dialogs switches it off so they keep the classic windows it can wrap.
inline bool UseLatestCommonDialogs = true;

// A small modal box with a prompt, an edit and OK/Cancel. InputQuery changes value only on OK.
String InputBox(const String& caption, const String& prompt, const String& defaultValue);
bool InputQuery(const String& caption, const String& prompt, String& value);

// The window that owns dialogs shown now: the modal form, else the active form, else the main form.
HWND DialogOwnerWindow();

VCL_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
         ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware,
         ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog,
         ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden)
VCL_SET(TOpenOptions, TOpenOption)
constexpr TOpenOptions kDefaultOpenOptions{ofHideReadOnly, ofEnableSizing};

// Raised when the system cannot show a dialog (not when the user cancels it).
RTL_EXCEPTION_CLASS(EDialogError, Exception);

class TCommonDialog : public TComponent {
  VCL_CLASS(TCommonDialog, TComponent)
 public:
  explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
  virtual bool Execute() = 0;
  int HelpContext() const { return help_context_; }
  void SetHelpContext(int v) { help_context_ = v; }
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

 protected:
  int help_context_ = 0;
};

// The system's open-file dialog. Filter is "Description|pattern;pattern|Description|pattern"; FilterIndex counts
// from 1. After Execute returns true FileName holds the chosen path (the first one with ofAllowMultiSelect, Files
// all of them); FilterIndex the filter in use when the user chose.
class TOpenDialog : public TCommonDialog {
  VCL_CLASS(TOpenDialog, TCommonDialog)
 public:
  explicit TOpenDialog(TComponent* owner);
  ~TOpenDialog() override;
  bool Execute() override;

  const String& FileName() const { return file_name_; }
  void SetFileName(const String& v) { file_name_ = v; }
  const String& Filter() const { return filter_; }
  void SetFilter(const String& v) { filter_ = v; }
  int FilterIndex() const { return filter_index_; }
  void SetFilterIndex(int v) { filter_index_ = v; }
  const String& InitialDir() const { return initial_dir_; }
  void SetInitialDir(const String& v) { initial_dir_ = v; }
  const String& Title() const { return title_; }
  void SetTitle(const String& v) { title_ = v; }
  const String& DefaultExt() const { return default_ext_; }
  void SetDefaultExt(const String& v) { default_ext_ = v; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions v) { options_ = v; }
  rtl::TStrings* Files() const { return files_; }

  // The OPENFILENAME flags for the options (tests and the save dialog use it).
  DWORD Flags() const;
  // The filter as the system wants it: pairs of zero-terminated strings, ended by an empty one.
  static String SystemFilter(const String& filter);

 protected:
  virtual bool RunSystemDialog(OPENFILENAMEW& ofn);

  String file_name_, filter_, initial_dir_, title_, default_ext_;
  int filter_index_ = 1;
  TOpenOptions options_ = kDefaultOpenOptions;
  rtl::TStringList* files_ = nullptr;
};

class TSaveDialog : public TOpenDialog {
  VCL_CLASS(TSaveDialog, TOpenDialog)
 public:
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

 protected:
  bool RunSystemDialog(OPENFILENAMEW& ofn) override;
};

}  // namespace vcl
