// Message boxes, input boxes and the file dialogs.
#include "platform/vcl/dialogs.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/stdctrls.h"

namespace vcl {

HWND DialogOwnerWindow() {
  HWND owner = nullptr;
  if (Application && Application->ModalForm() && Application->ModalForm()->HandleAllocated())
    owner = Application->ModalForm()->Handle();
  else if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated())
    owner = Screen->ActiveForm()->Handle();
  else if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
    owner = Application->MainForm()->Handle();
  // An MDI child cannot own a top-level window: its frame does.
  if (owner && (GetWindowLongW(owner, GWL_STYLE) & WS_CHILD)) owner = GetAncestor(owner, GA_ROOT);
  return owner;
}

// Message dialogs.

UINT MessageDlgFlags(TMsgDlgType type, TMsgDlgButtons b) {
  UINT flags = 0;
  bool yesNo = b.Contains(mbYes) || b.Contains(mbNo) || b.Contains(mbYesToAll) || b.Contains(mbNoToAll);
  if (yesNo)
    flags = (b.Contains(mbCancel) || b.Contains(mbYesToAll) || b.Contains(mbNoToAll)) ? MB_YESNOCANCEL : MB_YESNO;
  else if (b.Contains(mbAbort) || b.Contains(mbIgnore))
    flags = MB_ABORTRETRYIGNORE;
  else if (b.Contains(mbRetry))
    flags = MB_RETRYCANCEL;
  else if (b.Contains(mbCancel) || b.Contains(mbClose))
    flags = MB_OKCANCEL;
  else
    flags = MB_OK;
  if (b.Contains(mbHelp)) flags |= MB_HELP;
  switch (type) {
    case mtWarning: flags |= MB_ICONWARNING; break;
    case mtError: flags |= MB_ICONERROR; break;
    case mtInformation: flags |= MB_ICONINFORMATION; break;
    case mtConfirmation: flags |= MB_ICONQUESTION; break;
    case mtCustom: break;
  }
  return flags;
}

String MessageDlgCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return L"Warning";
    case mtError: return L"Error";
    case mtInformation: return L"Information";
    case mtConfirmation: return L"Confirmation";
    case mtCustom: break;
  }
  return Application ? Application->Title() : String();
}

namespace {

// Where the next message box of this thread goes (MessageDlgPos): a hook moves it once it has placed itself, when
// its WM_INITDIALOG has been handled.
thread_local POINT t_box_pos{-1, -1};
thread_local HHOOK t_box_hook = nullptr;

LRESULT CALLBACK PlaceBoxHook(int code, WPARAM wParam, LPARAM lParam) {
  auto* ret = reinterpret_cast<CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && ret && ret->message == WM_INITDIALOG) {
    RECT r;
    GetWindowRect(ret->hwnd, &r);
    int x = t_box_pos.x >= 0 ? t_box_pos.x : r.left;
    int y = t_box_pos.y >= 0 ? t_box_pos.y : r.top;
    SetWindowPos(ret->hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HHOOK hook = t_box_hook;
    t_box_hook = nullptr;
    LRESULT result = CallNextHookEx(hook, code, wParam, lParam);
    UnhookWindowsHookEx(hook);
    return result;
  }
  return CallNextHookEx(t_box_hook, code, wParam, lParam);
}

// A box asked for with Close rather than Cancel shows Cancel in its place: its answer is Close.
int AnswerOf(int id, TMsgDlgButtons b) {
  switch (id) {
    case IDOK: return mrOk;
    case IDCANCEL: return b.Contains(mbCancel) || !b.Contains(mbClose) ? mrCancel : mrClose;
    case IDABORT: return mrAbort;
    case IDRETRY: return mrRetry;
    case IDIGNORE: return mrIgnore;
    case IDYES: return mrYes;
    case IDNO: return mrNo;
    default: return mrCancel;
  }
}

}  // namespace

int MessageDlgPos(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons, int, int x, int y) {
  if (x >= 0 || y >= 0) {
    t_box_pos = POINT{x, y};
    t_box_hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &PlaceBoxHook, nullptr, GetCurrentThreadId());
  }
  int id = MessageBoxW(DialogOwnerWindow(), msg.c_str(), MessageDlgCaption(type).c_str(),
                       MessageDlgFlags(type, buttons) | MB_TASKMODAL);
  if (t_box_hook) {  // the box never activated
    UnhookWindowsHookEx(t_box_hook);
    t_box_hook = nullptr;
  }
  return AnswerOf(id, buttons);
}

int MessageDlg(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
  return MessageDlgPos(msg, type, buttons, helpContext, -1, -1);
}

// Input boxes.

bool InputQuery(const String& caption, const String& prompt, String& value) {
  std::unique_ptr<TForm> owner(new TForm(nullptr));
  TForm& form = *owner;
  form.SetBorderStyle(bsDialog);
  form.SetText(caption);
  form.SetPosition(poScreenCenter);
  form.SetClientWidth(300);
  form.SetClientHeight(104);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetBounds(8, 8, 284, 17);
  label->SetCaption(prompt);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetBounds(8, 30, 284, 21);
  edit->SetText(value);
  auto* ok = new TButton(&form);
  ok->SetParent(&form);
  ok->SetBounds(136, 66, 75, 25);
  ok->SetCaption(L"OK");
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  auto* cancel = new TButton(&form);
  cancel->SetParent(&form);
  cancel->SetBounds(217, 66, 75, 25);
  cancel->SetCaption(L"Cancel");
  cancel->SetModalResult(mrCancel);
  cancel->SetCancel(true);
  form.SetActiveControl(edit);
  if (form.ShowModal() != mrOk) return false;
  value = edit->Text();
  return true;
}

String InputBox(const String& caption, const String& prompt, const String& defaultValue) {
  String value = defaultValue;
  InputQuery(caption, prompt, value);
  return value;
}

// File dialogs.

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner), files_(new rtl::TStringList()) {}
TOpenDialog::~TOpenDialog() { delete files_; }

String TOpenDialog::SystemFilter(const String& filter) {
  if (filter.empty()) return String();
  String out = filter;
  for (wchar_t& c : out)
    if (c == L'|') c = L'\0';
  // A filter ending with a description and no pattern gets an empty pattern so the pairs stay whole.
  size_t bars = 0;
  for (wchar_t c : filter)
    if (c == L'|') ++bars;
  if (bars % 2 == 0) out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

DWORD TOpenDialog::Flags() const {
  static const std::pair<TOpenOption, DWORD> map[] = {
      {ofReadOnly, OFN_READONLY},
      {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
      {ofHideReadOnly, OFN_HIDEREADONLY},
      {ofNoChangeDir, OFN_NOCHANGEDIR},
      {ofShowHelp, OFN_SHOWHELP},
      {ofNoValidate, OFN_NOVALIDATE},
      {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
      {ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
      {ofPathMustExist, OFN_PATHMUSTEXIST},
      {ofFileMustExist, OFN_FILEMUSTEXIST},
      {ofCreatePrompt, OFN_CREATEPROMPT},
      {ofShareAware, OFN_SHAREAWARE},
      {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
      {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
      {ofNoNetworkButton, OFN_NONETWORKBUTTON},
      {ofNoLongNames, OFN_NOLONGNAMES},
      {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
      {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
      {ofEnableSizing, OFN_ENABLESIZING},
      {ofDontAddToRecent, OFN_DONTADDTORECENT},
      {ofForceShowHidden, OFN_FORCESHOWHIDDEN},
  };
  DWORD flags = 0;
  for (auto& [opt, bit] : map)
    if (options_.Contains(opt)) flags |= bit;
  if (!options_.Contains(ofOldStyleDialog)) flags |= OFN_EXPLORER;
  return flags;
}

bool TOpenDialog::RunSystemDialog(OPENFILENAMEW& ofn) { return GetOpenFileNameW(&ofn) != 0; }
bool TSaveDialog::RunSystemDialog(OPENFILENAMEW& ofn) { return GetSaveFileNameW(&ofn) != 0; }

bool TOpenDialog::Execute() {
  // Room for many names when several may be chosen.
  std::vector<wchar_t> buffer(options_.Contains(ofAllowMultiSelect) ? 0x10000 : MAX_PATH * 4, L'\0');
  size_t n = std::min(file_name_.size(), buffer.size() - 1);
  std::copy_n(file_name_.data(), n, buffer.data());
  String filter = SystemFilter(filter_);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = DialogOwnerWindow();
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(filter_index_);
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = initial_dir_.empty() ? nullptr : initial_dir_.c_str();
  ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
  ofn.lpstrDefExt = default_ext_.empty() ? nullptr : default_ext_.c_str();
  ofn.Flags = Flags();
  if (OnShow) OnShow(this);
  bool ok = RunSystemDialog(ofn);
  if (OnClose) OnClose(this);
  if (!ok) {
    DWORD err = CommDlgExtendedError();
    if (err != 0) throw EDialogError(L"The file dialog could not be shown (error " + std::to_wstring(err) + L")");
    return false;
  }
  files_->Clear();
  filter_index_ = static_cast<int>(ofn.nFilterIndex);
  if (ofn.Flags & OFN_READONLY)
    options_ += ofReadOnly;
  else
    options_ -= ofReadOnly;
  // Several names: the folder, then each name, each ended by a zero, the whole by another zero.
  const wchar_t* p = buffer.data();
  String first = p;
  p += first.size() + 1;
  if (options_.Contains(ofAllowMultiSelect) && *p) {
    String folder = first;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    while (*p) {
      String name = p;
      files_->Add(folder + name);
      p += name.size() + 1;
    }
  } else {
    files_->Add(first);
  }
  file_name_ = files_->Get(0);
  return true;
}

VCL_REGISTER(TCommonDialog) {
  cls.Prop(L"HelpContext", &TCommonDialog::HelpContext, &TCommonDialog::SetHelpContext).Default(0);
  cls.Prop(L"OnShow", &TCommonDialog::OnShow);
  cls.Prop(L"OnClose", &TCommonDialog::OnClose);
}
VCL_REGISTER(TOpenDialog) {
  cls.Prop(L"DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
  cls.Prop(L"FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
  cls.Prop(L"Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
  cls.Prop(L"FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
  cls.Prop(L"InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
  cls.Prop(L"Options", &TOpenDialog::Options, &TOpenDialog::SetOptions).Default(kDefaultOpenOptions);
  cls.Prop(L"Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
}
VCL_REGISTER(TSaveDialog) {}

}  // namespace vcl
