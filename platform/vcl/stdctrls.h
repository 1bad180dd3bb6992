#pragma once
// Standard controls over the system's window classes: label, edit, button, check box.
#include "platform/vcl/controls.h"

namespace vcl {

// A line of text painted by its parent.
class TCustomLabel : public TGraphicControl {
  VCL_CLASS(TCustomLabel, TGraphicControl)
public:
  explicit TCustomLabel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool v);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v);
  void Loaded() override;

protected:
  void Paint() override;
  void CMTextChanged(TMessage& m) override;
  void CMFontChanged(TMessage& m) override;
  void AdjustBounds();
  UINT DrawFlags() const;

  TAlignment alignment_ = taLeftJustify;
  bool auto_size_ = true;
  bool transparent_ = false;
  bool word_wrap_ = false;
  TTextLayout layout_ = tlTop;
};

class TLabel : public TCustomLabel {
  VCL_CLASS(TLabel, TCustomLabel)
public:
  explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

// The system's EDIT window. OnChange follows every change of the text, typed or set by the program.
class TCustomEdit : public TWinControl {
  VCL_CLASS(TCustomEdit, TWinControl)
public:
  explicit TCustomEdit(TComponent* owner);
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int v);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool v);
  wchar_t PasswordChar() const { return password_char_; }
  void SetPasswordChar(wchar_t v);
  const String& TextHint() const { return text_hint_; }
  void SetTextHint(const String& v);
  int SelStart();
  void SetSelStart(int v);
  int SelLength();
  void SetSelLength(int v);
  void SelectAll();
  void Clear() { SetText(L""); }
  bool Modified();
  void SetModified(bool v);
  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& m) override;
  virtual void Change();
  virtual bool MultiLine() const { return false; }
  void PaintTextHint(TMessage& m);

  int max_length_ = 0;
  bool read_only_ = false;
  wchar_t password_char_ = 0;
  String text_hint_;
  bool creating_text_ = false;
};

class TEdit : public TCustomEdit {
  VCL_CLASS(TEdit, TCustomEdit)
public:
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

class TButtonControl : public TWinControl {
  VCL_CLASS(TButtonControl, TWinControl)
public:
  explicit TButtonControl(TComponent* owner);

protected:
  void Dispatch(TMessage& m) override;
  void CNCtlColor(TMessage& m);
};

class TButton : public TButtonControl {
  VCL_CLASS(TButton, TButtonControl)
public:
  explicit TButton(TComponent* owner);
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  int ModalResult() const { return modal_result_; }
  void SetModalResult(int v) { modal_result_ = v; }
  void Click() override;

protected:
  void CreateParams(TCreateParams& p) override;
  void Dispatch(TMessage& m) override;

  bool default_ = false;
  bool cancel_ = false;
  int modal_result_ = 0;
};

VCL_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)

class TCheckBox : public TButtonControl {
  VCL_CLASS(TCheckBox, TButtonControl)
public:
  explicit TCheckBox(TComponent* owner);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState v);
  bool AllowGrayed() const { return allow_grayed_; }
  void SetAllowGrayed(bool v) { allow_grayed_ = v; }

protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& m) override;
  virtual void Toggle();

  TCheckBoxState state_ = cbUnchecked;
  bool allow_grayed_ = false;
};

}  // namespace vcl
