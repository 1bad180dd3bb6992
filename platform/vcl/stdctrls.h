#pragma once
// Standard controls over the system's window classes: label, edit, memo, button, check box, radio button, combo
// box, list box and group box.
#include <vector>

#include "platform/rtl/stringlist.h"
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

VCL_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)

// Several lines of text. Lines and Text are two views of the one content: Lines splits it at line breaks and
// changing a line rewrites the content with every line ended by a line break.
class TCustomMemo : public TCustomEdit {
  VCL_CLASS(TCustomMemo, TCustomEdit)
public:
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;
  rtl::TStrings* Lines() const { return lines_; }
  void SetLines(rtl::TStrings* v);
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool v);
  TScrollStyle ScrollBars() const { return scroll_bars_; }
  void SetScrollBars(TScrollStyle v);
  bool WantReturns() const { return want_returns_; }
  void SetWantReturns(bool v) { want_returns_ = v; }
  bool WantTabs() const { return want_tabs_; }
  void SetWantTabs(bool v) { want_tabs_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);

protected:
  void CreateParams(TCreateParams& p) override;
  bool MultiLine() const override { return true; }
  void WMGetDlgCode(TMessage& m) override;

  rtl::TStrings* lines_ = nullptr;
  bool word_wrap_ = true;
  TScrollStyle scroll_bars_ = ssNone;
  bool want_returns_ = true;
  bool want_tabs_ = false;
  TAlignment alignment_ = taLeftJustify;
};

class TMemo : public TCustomMemo {
  VCL_CLASS(TMemo, TCustomMemo)
public:
  explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};

// The list of a combo box or list box: the lines live here and every change is repeated in the window, so the list
// is the same with or without a window (and survives the window being made again).
class TControlItems : public rtl::TStrings {
public:
  using Integer = rtl::Integer;
  struct Messages {
    UINT Insert, Delete, Reset, SetData;
  };
  TControlItems(TWinControl* control, const Messages& messages) : control_(control), msg_(messages) {}
  String ClassName() const override { return L"TStrings"; }
  Integer Count() const override { return static_cast<Integer>(items_.size()); }
  String Get(Integer index) const override;
  void Put(Integer index, const String& s) override;
  TObject* GetObject(Integer index) const override;
  void PutObject(Integer index, TObject* object) override;
  void Insert(Integer index, const String& s) override;
  Integer Add(const String& s) override;
  void Delete(Integer index) override;
  void Clear() override;
  bool Sorted() const { return sorted_; }
  void SetSorted(bool v);
  // Puts every line into the window (after it was made).
  void Fill();

private:
  struct Item {
    String text;
    TObject* object = nullptr;
  };
  void Check(Integer index) const;
  HWND Window() const;
  TWinControl* control_;
  Messages msg_;
  std::vector<Item> items_;
  bool sorted_ = false;
};

VCL_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)

// The system's COMBOBOX. OnChange follows the text: typing in the edit part and choosing an item both fire it;
// setting Text or ItemIndex from the program does not. With ItemIndex -1 the initial Text stays shown.
class TCustomComboBox : public TWinControl {
  VCL_CLASS(TCustomComboBox, TWinControl)
public:
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle v);
  rtl::TStrings* Items() const { return items_; }
  void SetItems(rtl::TStrings* v);
  int ItemIndex();
  void SetItemIndex(int v);
  int DropDownCount() const { return drop_down_count_; }
  void SetDropDownCount(int v);
  bool DroppedDown();
  void SetDroppedDown(bool v);
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool v) { items_->SetSorted(v); }
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int v);
  String SelText();
  void SelectAll();
  void Clear();
  void Loaded() override;

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& m) override;
  void SetTextInternal(const String& value) override;
  virtual void Change();
  virtual void Select();

  TControlItems* items_ = nullptr;
  TComboBoxStyle style_ = csDropDown;
  int item_index_ = -1;
  int drop_down_count_ = 8;
  int max_length_ = 0;
};

class TComboBox : public TCustomComboBox {
  VCL_CLASS(TComboBox, TCustomComboBox)
public:
  explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};

// The system's LISTBOX. OnClick follows every change of the selection by the user.
class TCustomListBox : public TWinControl {
  VCL_CLASS(TCustomListBox, TWinControl)
public:
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;
  rtl::TStrings* Items() const { return items_; }
  void SetItems(rtl::TStrings* v);
  int ItemIndex();
  void SetItemIndex(int v);
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool v) { items_->SetSorted(v); }
  bool MultiSelect() const { return multi_select_; }
  void SetMultiSelect(bool v);
  bool Selected(int index);
  void SetSelected(int index, bool v);
  int SelCount();
  void Clear() { items_->Clear(); }
  void Loaded() override;

protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& m) override;

  TControlItems* items_ = nullptr;
  int item_index_ = -1;
  bool multi_select_ = false;
};

class TListBox : public TCustomListBox {
  VCL_CLASS(TListBox, TCustomListBox)
public:
  explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};

// Checking a radio button unchecks the other radio buttons of its parent.
class TRadioButton : public TButtonControl {
  VCL_CLASS(TRadioButton, TButtonControl)
public:
  explicit TRadioButton(TComponent* owner);
  bool Checked() const { return checked_; }
  void SetChecked(bool v);

protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& m) override;

  bool checked_ = false;
};

// A captioned frame that holds other controls.
class TCustomGroupBox : public TCustomControl {
  VCL_CLASS(TCustomGroupBox, TCustomControl)
public:
  explicit TCustomGroupBox(TComponent* owner);
  void AdjustClientRect(TRect& rect) override;

protected:
  void Paint() override;
  void CMTextChanged(TMessage& m) override;
  int CaptionHeight();
};

class TGroupBox : public TCustomGroupBox {
  VCL_CLASS(TGroupBox, TCustomGroupBox)
public:
  explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}
};

}  // namespace vcl
