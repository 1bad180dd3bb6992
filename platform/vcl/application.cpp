// The application object and the message loop.
#include "platform/vcl/application.h"

#include <commctrl.h>

#include "platform/rtl/textconv.h"
#include "platform/vcl/formresource.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/resources.h"

namespace vcl {

TApplication* Application = nullptr;

namespace {
constexpr UINT kInvokeMessage = WM_TAVREL_INVOKE;
}  // namespace

bool LoadFormResource(TCustomForm* form) { return InitInheritedComponent(form); }

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  String exe = path;
  size_t slash = exe.find_last_of(L"\\/");
  size_t dot = exe.find_last_of(L'.');
  title_ = exe.substr(slash == String::npos ? 0 : slash + 1,
                      dot != String::npos && dot > slash ? dot - slash - 1 : String::npos);
}

TApplication::~TApplication() {
  if (handle_) {
    DestroyWindow(handle_);
    handle_ = nullptr;
  }
  if (Application == this) Application = nullptr;
}

LRESULT CALLBACK TApplication::AppWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kInvokeMessage) {
    auto* fn = reinterpret_cast<std::function<void()>*>(lParam);
    try {
      (*fn)();
    } catch (...) {
      delete fn;
      if (Application) Application->HandleException(Application);
      return 0;
    }
    delete fn;
    return 0;
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                            ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&icc);
  if (handle_) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &TApplication::AppWndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TApplication";
  RegisterClassExW(&wc);
  handle_ = CreateWindowExW(0, L"TApplication", title_.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
}

void TApplication::SetTitle(const String& value) {
  title_ = value;
  if (handle_) SetWindowTextW(handle_, value.c_str());
}

String TApplication::ExeName() const {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

void TApplication::CreateFormOf(const TClassInfo* cls, void** ref, void* (*cast)(TCustomForm*)) {
  if (!handle_) Initialize();
  pending_ref_ = ref;
  pending_cast_ = cast;
  TObject* obj = nullptr;
  try {
    TCreateArgs args;
    args.Owner = this;
    obj = cls->CreateInstance(args);
  } catch (...) {
    if (pending_ref_ == ref) *ref = nullptr;
    pending_ref_ = nullptr;
    throw;
  }
  pending_ref_ = nullptr;
  auto* form = dynamic_cast<TCustomForm*>(obj);
  if (!form) {
    *ref = nullptr;
    if (obj) obj->Free();
    throw rtl::EInvalidOperation(L"Class " + cls->ClassName() + L" is not a form");
  }
  *ref = cast(form);
}

void TApplication::FormCreating(TCustomForm* form) {
  if (pending_ref_) {
    *pending_ref_ = pending_cast_(form);
    pending_ref_ = nullptr;
  }
  if (!main_form_ && form->FormStyle() != fsMDIChild && form->Owner() == this) main_form_ = form;
}

void TApplication::Run() {
  if (!handle_) Initialize();
  running_ = true;
  if (main_form_ && !terminated_) {
    try {
      main_form_->SetVisible(true);
    } catch (...) {
      HandleException(this);
    }
  }
  while (!terminated_) HandleMessage();
  running_ = false;
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::MainFormClosed() { Terminate(); }

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle();
}

void TApplication::Idle() {
  try {
    if (OnIdle) OnIdle(this);
  } catch (...) {
    HandleException(this);
  }
  if (!terminated_) WaitMessage();
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  try {
    bool handled = false;
    if (OnMessage) OnMessage(msg, handled);
    if (!handled && !IsKeyMsg(msg) && !IsMDIMsg(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  } catch (...) {
    HandleException(this);
  }
  return true;
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND wnd = msg.hwnd;
  TWinControl* c = nullptr;
  while (wnd && !(c = TWinControl::FindControl(wnd))) wnd = GetParent(wnd);
  if (!c) return false;
  UINT cn = CN_BASE + msg.message;
  if (msg.message == WM_SYSKEYUP) cn = CN_KEYUP;
  if (cn != CN_KEYDOWN && cn != CN_KEYUP && cn != CN_CHAR && cn != CN_SYSKEYDOWN && cn != CN_SYSCHAR) return false;
  ++in_key_translation_;
  LRESULT r = 0;
  try {
    r = c->Perform(cn, msg.wParam, msg.lParam);
  } catch (...) {
    --in_key_translation_;
    throw;
  }
  --in_key_translation_;
  if (r != 0) return true;
  // The message goes on to the window; its window procedure must not run the events a second time.
  ++in_key_translation_;
  try {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  } catch (...) {
    --in_key_translation_;
    throw;
  }
  --in_key_translation_;
  return true;
}

bool TApplication::IsMDIMsg(MSG& msg) {
  if (!main_form_ || main_form_->FormStyle() != fsMDIForm || !main_form_->ClientHandle()) return false;
  if (!main_form_->ActiveMDIChild()) return false;
  return TranslateMDISysAccel(main_form_->ClientHandle(), &msg) != 0;
}

void TApplication::HandleException(rtl::TObject* sender) {
  std::exception_ptr ep = std::current_exception();
  if (!ep) return;
  try {
    std::rethrow_exception(ep);
  } catch (const rtl::EAbort&) {
    // Cancelled on purpose: nothing to show.
  } catch (const rtl::Exception& e) {
    if (OnException)
      OnException(sender, e);
    else
      ShowException(e);
  } catch (const std::exception& e) {
    rtl::Exception wrapped(rtl::UTF8ToString(e.what()));
    if (OnException)
      OnException(sender, wrapped);
    else
      ShowException(wrapped);
  } catch (...) {
    rtl::Exception wrapped(L"Unknown error");
    if (OnException)
      OnException(sender, wrapped);
    else
      ShowException(wrapped);
  }
}

void TApplication::ShowException(const rtl::Exception& e) {
  ++handling_exception_;
  String text = e.Message();
  MessageBox(text, title_, MB_OK | MB_ICONSTOP);
  --handling_exception_;
}

int TApplication::MessageBox(const String& text, const String& caption, UINT flags) {
  HWND owner = nullptr;
  if (TCustomForm* modal = ModalForm(); modal && modal->HandleAllocated())
    owner = modal->Handle();
  else if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated())
    owner = Screen->ActiveForm()->Handle();
  else if (main_form_ && main_form_->HandleAllocated())
    owner = main_form_->Handle();
  if (owner && (GetWindowLongW(owner, GWL_STYLE) & WS_CHILD)) owner = GetAncestor(owner, GA_ROOT);
  return MessageBoxW(owner, text.c_str(), caption.c_str(), flags | MB_TASKMODAL);
}

void TApplication::Minimize() {
  if (main_form_ && main_form_->HandleAllocated()) ShowWindow(main_form_->Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
  if (main_form_ && main_form_->HandleAllocated() && IsIconic(main_form_->Handle()))
    ShowWindow(main_form_->Handle(), SW_RESTORE);
}

void TApplication::DoRestore(TCustomForm* form) {
  if (form && form == main_form_) {
    if (!restore_due_) return;
    restore_due_ = false;
  }
  if (!OnRestore) return;
  try {
    OnRestore(this);
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::BringToFront() {
  if (main_form_) main_form_->BringToFront();
}

int TApplication::HookMainWindow(const TWindowHook& hook) {
  hooks_.emplace_back(++next_hook_id_, hook);
  return next_hook_id_;
}
void TApplication::UnhookMainWindow() { hooks_.clear(); }
void TApplication::UnhookMainWindow(int id) {
  std::erase_if(hooks_, [id](const auto& h) { return h.first == id; });
}

bool TApplication::RunHooks(TMessage& m) {
  // A copy: a hook may remove itself (or another) while it runs.
  auto hooks = hooks_;
  for (auto& h : hooks)
    if (h.second(m)) return true;
  return false;
}

void TApplication::UpdateMouseControl(TControl* control) {
  TControl* old = MouseControl();
  if (old == control) return;
  SetMouseControl(control);
  if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
  if (control && MouseControl() == control) control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(control));
}

void TApplication::ControlDestroyed(TControl* control) {
  if (capture_control_ == control) capture_control_ = nullptr;
}

void TApplication::PopModal(TCustomForm* form) {
  for (auto it = modal_forms_.begin(); it != modal_forms_.end(); ++it) {
    if (*it == form) {
      modal_forms_.erase(it);
      return;
    }
  }
}

void TApplication::Post(std::function<void()> fn) {
  if (!handle_) Initialize();
  auto* p = new std::function<void()>(std::move(fn));
  if (!PostMessageW(handle_, kInvokeMessage, 0, reinterpret_cast<LPARAM>(p))) delete p;
}

void ShowMessage(const String& text) {
  String title = Application ? Application->Title() : String();
  if (Application)
    Application->MessageBox(text, title, MB_OK);
  else
    MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_TASKMODAL);
}

VCL_REGISTER(TApplication) {}

// The objects every program has.
namespace {
struct AppObjects {
  AppObjects() {
    Application = new TApplication(nullptr);
    Screen = new TScreen(nullptr);
  }
};
AppObjects g_app_objects;
}  // namespace

}  // namespace vcl
