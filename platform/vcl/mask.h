#pragma once
// The masked edit: an edit whose text follows an edit mask such as "!99/99/0000;1;_".
//
// A mask has up to three sections separated by ';':
//  1. the mask: L/l letter, A/a letter or digit, C/c any character, 0/9 digit, # digit or sign (capitals are
//     required, small letters and 9/# optional); '/' and ':' are the locale's date and time separators; '_' is a
//     space; \x is x itself; '>' upper-cases and '<' lower-cases what follows, "<>" stops that; '!' keeps optional
//     blanks at the front of Text; anything else is a literal shown as it is;
//  2. "1" (the default) when Text keeps the literals, "0" when Text is only what was typed;
//  3. the character shown in empty places (default '_').
//
// EditText is what the window shows: literals in place and the blank character where nothing was typed. Text is the
// value: blanks as spaces, with or without the literals. Typing overwrites one place at a time and refuses what the
// place does not take; leaving the edit after a change checks that every required place is filled.
#include <vector>

#include "platform/vcl/stdctrls.h"

namespace vcl {

class TCustomMaskEdit : public TCustomEdit {
  VCL_CLASS(TCustomMaskEdit, TCustomEdit)
 public:
  explicit TCustomMaskEdit(TComponent* owner);
  const String& EditMask() const { return edit_mask_; }
  void SetEditMask(const String& value);
  bool IsMasked() const { return !places_.empty(); }
  String EditText();
  void SetEditText(const String& value);
  // Raises EDBEditError (and puts the caret on the first empty required place) when the text was changed and a
  // required place is empty or holds what the place does not take.
  virtual void ValidateEdit();
  // The first place that fails the mask, or -1.
  int FirstInvalidPlace();
  // Puts back the text the edit had when it received the focus (Esc).
  void Reset();

 protected:
  String GetText() override;
  void SetTextInternal(const String& value) override;
  void Dispatch(TMessage& m) override;
  void KeyPress(wchar_t& key) override;
  void KeyDown(rtl::Word& key, TShiftState shift) override;
  void CMEnter(TMessage& m) override;
  void CMExit(TMessage& m) override;

 private:
  struct Place {
    bool literal = false;
    wchar_t ch = 0;     // the literal, or the mask character
    int case_mode = 0;  // 0 as typed, 1 upper, 2 lower
  };
  void ParseMask();
  bool Accepts(const Place& place, wchar_t& c) const;
  String BlankText() const;
  String FormatFromValue(const String& value) const;
  void Apply(const String& edit, int caret);
  int NextInputPlace(int pos) const;
  int PreviousInputPlace(int pos) const;
  void BlankRange(String& edit, int from, int to) const;
  void TypeText(const String& text);

  String edit_mask_;
  std::vector<Place> places_;
  bool save_literals_ = true;
  bool leading_blanks_ = false;
  wchar_t blank_ = L'_';
  String entry_text_;
};

class TMaskEdit : public TCustomMaskEdit {
  VCL_CLASS(TMaskEdit, TCustomMaskEdit)
 public:
  explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
};

// The error text of a failed validation, as the platform words it.
extern const wchar_t* const kMaskEditError;

}  // namespace vcl
