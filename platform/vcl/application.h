#pragma once
// The application object: the message loop, the main form, exception reporting, hints, and the show-message box.
#include <functional>

#include "platform/vcl/forms.h"

namespace vcl {

using TExceptionEvent = TEvent<void(rtl::TObject* Sender, const rtl::Exception& E)>;
using TMessageEvent = TEvent<void(MSG& Msg, bool& Handled)>;
// A hook gets every message of the main window first; true means handled.
using TWindowHook = std::function<bool(TMessage& m)>;

class TApplication : public TComponent {
  VCL_CLASS(TApplication, TComponent)
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  void Initialize();
  bool MainFormOnTaskbar() const { return main_form_on_taskbar_; }
  void SetMainFormOnTaskbar(bool value) { main_form_on_taskbar_ = value; }
  const String& Title() const { return title_; }
  void SetTitle(const String& value);
  String ExeName() const;
  HWND Handle() const { return handle_; }

  // Creates a form of the class into ref (ref is set before the form's creation handler runs, so handlers that
  // look at the global see it). The first form created becomes the main form.
  template <class T>
  void CreateForm(T*& ref) {
    ref = nullptr;
    CreateFormOf(T::StaticClass(), reinterpret_cast<void**>(&ref),
                 [](TCustomForm* f) -> void* { return dynamic_cast<T*>(f); });
  }
  void CreateFormOf(const TClassInfo* cls, void** ref, void* (*cast)(TCustomForm*));
  TCustomForm* MainForm() const { return main_form_; }
  void SetMainForm(TCustomForm* form) { main_form_ = form; }

  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  void ProcessMessages();
  void HandleMessage();
  // Shows what was raised in the error box captioned with the title (EAbort silently); OnException replaces that.
  void HandleException(rtl::TObject* sender);
  void ShowException(const rtl::Exception& e);
  void Minimize();
  void Restore();
  void BringToFront();
  int MessageBox(const String& text, const String& caption, UINT flags);

  // Adds a hook; the answer identifies it for UnhookMainWindow(id).
  int HookMainWindow(const TWindowHook& hook);
  // Removes every hook, or the one HookMainWindow answered id for.
  void UnhookMainWindow();
  void UnhookMainWindow(int id);

  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool v) { show_hint_ = v; }
  TColor HintColor() const { return hint_color_; }
  void SetHintColor(TColor v) { hint_color_ = v; }
  int HintPause() const { return hint_pause_; }
  void SetHintPause(int v) { hint_pause_ = v; }
  int HintHidePause() const { return hint_hide_pause_; }
  void SetHintHidePause(int v) { hint_hide_pause_ = v; }
  String Hint() const { return hint_; }

  TExceptionEvent OnException;
  TMessageEvent OnMessage;
  TNotifyEvent OnIdle;
  TNotifyEvent OnHint;
  // Raised when the main form has come back from minimised, once for each return. Whoever shows a form's return
  // in its own way (an animation) raises it when that is over, through DoRestore.
  TNotifyEvent OnRestore;
  // Raises OnRestore for form's return from minimised: for the main form once per return (nothing when it has not
  // been minimised since the event was last raised for it), for any other form each time.
  void DoRestore(TCustomForm* form);
  // The main form has been minimised: its next return raises OnRestore.
  void MainFormMinimized() { restore_due_ = true; }

  // Used by the controls.
  TControl* CaptureControl() const { return capture_control_; }
  void SetCaptureControl(TControl* control) { capture_control_ = control; }
  void UpdateMouseControl(TControl* control);
  void ControlDestroyed(TControl* control);
  bool InKeyTranslation() const { return in_key_translation_ > 0; }
  // The form that is shown modally right now (innermost), or null.
  TCustomForm* ModalForm() const { return modal_forms_.empty() ? nullptr : modal_forms_.back(); }
  void PushModal(TCustomForm* form) { modal_forms_.push_back(form); }
  void PopModal(TCustomForm* form);
  // Runs fn after the messages now waiting (posted to the application's window).
  void Post(std::function<void()> fn);
  void MainFormClosed();
  // A form created through CreateForm has been constructed: its reference is set now, before its creation handler.
  void FormCreating(TCustomForm* form);
  bool RunHooks(TMessage& m);

 private:
  bool ProcessMessage(MSG& msg);
  bool IsKeyMsg(MSG& msg);
  bool IsMDIMsg(MSG& msg);
  void Idle();
  static LRESULT CALLBACK AppWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND handle_ = nullptr;
  String title_;
  bool main_form_on_taskbar_ = false;
  TCustomForm* main_form_ = nullptr;
  bool terminated_ = false;
  bool restore_due_ = false;
  bool running_ = false;
  TControl* capture_control_ = nullptr;
  int in_key_translation_ = 0;
  std::vector<TCustomForm*> modal_forms_;
  std::vector<std::pair<int, TWindowHook>> hooks_;
  int next_hook_id_ = 0;
  bool show_hint_ = true;
  TColor hint_color_ = clInfoBk;
  int hint_pause_ = 500;
  int hint_hide_pause_ = 2500;
  String hint_;
  int handling_exception_ = 0;
  void** pending_ref_ = nullptr;
  void* (*pending_cast_)(TCustomForm*) = nullptr;
};

extern TApplication* Application;

// The plain message box captioned with the application's title, with an OK button.
void ShowMessage(const String& text);

}  // namespace vcl
