// The masked edit handles every typed character itself so that the window's text always has the mask's shape;
// the system's edit only shows it and keeps the caret.
#include "platform/vcl/mask.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"

namespace vcl {

const wchar_t* const kMaskEditError = L"Invalid input value.  Use escape key to abandon changes";

namespace {

bool IsRequired(wchar_t m) { return m == L'L' || m == L'A' || m == L'C' || m == L'0'; }
bool IsMaskChar(wchar_t m) {
  switch (m) {
    case L'L':
    case L'l':
    case L'A':
    case L'a':
    case L'C':
    case L'c':
    case L'0':
    case L'9':
    case L'#': return true;
    default: return false;
  }
}

}  // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::SetEditMask(const String& value) {
  if (value == edit_mask_) return;
  String old_value = IsMasked() ? GetText() : TCustomEdit::GetText();
  edit_mask_ = value;
  ParseMask();
  SetMaxLength(static_cast<int>(places_.size()));
  // The value carries over into the new shape as far as it fits.
  String edit = IsMasked() ? FormatFromValue(old_value) : old_value;
  TCustomEdit::SetTextInternal(edit);
}

void TCustomMaskEdit::ParseMask() {
  places_.clear();
  save_literals_ = true;
  leading_blanks_ = false;
  blank_ = L'_';
  const String& m = edit_mask_;
  size_t i = 0;
  int case_mode = 0;
  for (; i < m.size(); ++i) {
    wchar_t c = m[i];
    if (c == L';') break;
    if (c == L'\\' && i + 1 < m.size()) {
      places_.push_back({true, m[++i], 0});
    } else if (c == L'!') {
      leading_blanks_ = true;
    } else if (c == L'<' && i + 1 < m.size() && m[i + 1] == L'>') {
      case_mode = 0;
      ++i;
    } else if (c == L'>') {
      case_mode = 1;
    } else if (c == L'<') {
      case_mode = 2;
    } else if (c == L'/') {
      places_.push_back({true, rtl::FormatSettings.DateSeparator, 0});
    } else if (c == L':') {
      places_.push_back({true, rtl::FormatSettings.TimeSeparator, 0});
    } else if (c == L'_') {
      places_.push_back({true, L' ', 0});
    } else if (IsMaskChar(c)) {
      places_.push_back({false, c, case_mode});
    } else {
      places_.push_back({true, c, 0});
    }
  }
  // The sections after the mask: whether literals are saved, then the blank character.
  if (i < m.size()) {
    size_t next = m.find(L';', i + 1);
    String save = m.substr(i + 1, next == String::npos ? String::npos : next - i - 1);
    if (!save.empty() && save[0] == L'0') save_literals_ = false;
    if (next != String::npos && next + 1 < m.size()) blank_ = m[next + 1];
  }
}

bool TCustomMaskEdit::Accepts(const Place& place, wchar_t& c) const {
  if (place.literal) return c == place.ch;
  bool ok = false;
  switch (place.ch) {
    case L'L':
    case L'l': ok = IsCharAlphaW(c) != 0; break;
    case L'A':
    case L'a': ok = IsCharAlphaNumericW(c) != 0; break;
    case L'C':
    case L'c': ok = c >= L' '; break;
    case L'0':
    case L'9': ok = c >= L'0' && c <= L'9'; break;
    case L'#': ok = (c >= L'0' && c <= L'9') || c == L'+' || c == L'-'; break;
    default: break;
  }
  if (!ok) return false;
  // Case follows the user's locale, so i becomes İ for Turkish users.
  if (place.case_mode == 1) CharUpperBuffW(&c, 1);
  if (place.case_mode == 2) CharLowerBuffW(&c, 1);
  return true;
}

String TCustomMaskEdit::BlankText() const {
  String s;
  for (const Place& p : places_) s += p.literal ? p.ch : blank_;
  return s;
}

// A value with the literals (as Text gives it when they are saved) or without them, laid into the places.
String TCustomMaskEdit::FormatFromValue(const String& value) const {
  String edit = BlankText();
  size_t v = 0;
  for (size_t i = 0; i < places_.size() && v < value.size(); ++i) {
    const Place& p = places_[i];
    if (p.literal) {
      if (save_literals_ || value[v] == p.ch) ++v;
      continue;
    }
    wchar_t c = value[v++];
    if (c != L' ' && c != blank_ && Accepts(p, c)) edit[i] = c;
  }
  return edit;
}

String TCustomMaskEdit::EditText() { return TCustomEdit::GetText(); }

void TCustomMaskEdit::SetEditText(const String& value) {
  if (!IsMasked()) {
    TCustomEdit::SetTextInternal(value);
    return;
  }
  String edit = BlankText();
  for (size_t i = 0; i < places_.size() && i < value.size(); ++i) {
    wchar_t c = value[i];
    if (!places_[i].literal && c != blank_ && Accepts(places_[i], c)) edit[i] = c;
  }
  TCustomEdit::SetTextInternal(edit);
}

String TCustomMaskEdit::GetText() {
  if (!IsMasked()) return TCustomEdit::GetText();
  String edit = TCustomEdit::GetText();
  String out;
  for (size_t i = 0; i < places_.size(); ++i) {
    wchar_t c = i < edit.size() ? edit[i] : blank_;
    if (places_[i].literal) {
      if (save_literals_) out += places_[i].ch;
    } else if (c == blank_) {
      if (save_literals_) out += L' ';
    } else {
      out += c;
    }
  }
  return out;
}

void TCustomMaskEdit::SetTextInternal(const String& value) {
  TCustomEdit::SetTextInternal(IsMasked() ? FormatFromValue(value) : value);
}

int TCustomMaskEdit::FirstInvalidPlace() {
  String edit = EditText();
  for (size_t i = 0; i < places_.size(); ++i) {
    const Place& p = places_[i];
    if (p.literal) continue;
    wchar_t c = i < edit.size() ? edit[i] : blank_;
    if (c == blank_ || c == L' ') {
      if (IsRequired(p.ch)) return static_cast<int>(i);
      continue;
    }
    if (!Accepts(p, c)) return static_cast<int>(i);
  }
  return -1;
}

void TCustomMaskEdit::ValidateEdit() {
  if (!IsMasked() || !Modified()) return;
  int bad = FirstInvalidPlace();
  if (bad < 0) return;
  if (handle_ && CanFocus() && !Focused()) SetFocus();
  SetSelStart(bad);
  SetSelLength(1);
  throw rtl::EDBEditError(kMaskEditError);
}

void TCustomMaskEdit::Reset() {
  if (!IsMasked()) return;
  TCustomEdit::SetTextInternal(entry_text_);
  SetModified(false);
}

void TCustomMaskEdit::Apply(const String& edit, int caret) {
  // The first change of the user remembers what Esc goes back to (the program may have set the text meanwhile).
  if (!Modified()) entry_text_ = EditText();
  TCustomEdit::SetTextInternal(edit);
  SetModified(true);
  SetSelStart(caret);
  SetSelLength(0);
}

int TCustomMaskEdit::NextInputPlace(int pos) const {
  for (int i = std::max(pos, 0); i < static_cast<int>(places_.size()); ++i)
    if (!places_[i].literal) return i;
  return -1;
}

int TCustomMaskEdit::PreviousInputPlace(int pos) const {
  for (int i = std::min(pos, static_cast<int>(places_.size())) - 1; i >= 0; --i)
    if (!places_[i].literal) return i;
  return -1;
}

void TCustomMaskEdit::BlankRange(String& edit, int from, int to) const {
  for (int i = from; i < to && i < static_cast<int>(places_.size()); ++i)
    if (!places_[i].literal) edit[i] = blank_;
}

void TCustomMaskEdit::KeyPress(wchar_t& key) {
  TCustomEdit::KeyPress(key);
  if (!IsMasked() || key == 0 || read_only_) return;
  int start = SelStart();
  int len = SelLength();
  String edit = EditText();
  if (edit.size() != places_.size()) edit = FormatFromValue(GetText());
  if (key == VK_BACK) {
    if (len > 0) {
      BlankRange(edit, start, start + len);
      Apply(edit, start);
    } else {
      int p = PreviousInputPlace(start);
      if (p >= 0) {
        edit[p] = blank_;
        Apply(edit, p);
      }
    }
    key = 0;
    return;
  }
  if (key == VK_ESCAPE) {
    if (Modified()) {
      Reset();
      SelectAll();
      key = 0;
    }
    return;
  }
  if (key == 0x16) {  // Ctrl+V: typed through the mask like the keyboard
    key = 0;
    Perform(WM_PASTE);
    return;
  }
  if (key == 0x18) {  // Ctrl+X
    key = 0;
    Perform(WM_CUT);
    return;
  }
  if (key < L' ') return;  // Enter, Ctrl+C... are not text
  if (len > 0) BlankRange(edit, start, start + len);
  // Typing a literal where the caret stands on that literal just steps over it.
  if (start < static_cast<int>(places_.size()) && places_[start].literal && places_[start].ch == key) {
    Apply(edit, start + 1);
    key = 0;
    return;
  }
  int p = NextInputPlace(start);
  wchar_t c = key;
  key = 0;
  if (p < 0 || !Accepts(places_[p], c)) {
    if (len > 0) Apply(edit, start);
    MessageBeep(0);
    return;
  }
  edit[p] = c;
  int caret = p + 1;
  while (caret < static_cast<int>(places_.size()) && places_[caret].literal) ++caret;
  Apply(edit, caret);
}

void TCustomMaskEdit::KeyDown(rtl::Word& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  if (!IsMasked() || key != VK_DELETE || read_only_) return;
  int start = SelStart();
  int len = SelLength();
  String edit = EditText();
  if (edit.size() != places_.size()) return;
  BlankRange(edit, start, len > 0 ? start + len : start + 1);
  Apply(edit, start);
  key = 0;
}

void TCustomMaskEdit::TypeText(const String& text) {
  for (wchar_t c : text) {
    if (c == L'\r' || c == L'\n') break;
    wchar_t k = c;
    KeyPress(k);
  }
}

void TCustomMaskEdit::Dispatch(TMessage& m) {
  if (m.Msg == WM_PASTE && IsMasked()) {
    if (read_only_ || !OpenClipboard(handle_)) return;
    String text;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
      if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
        text = p;
        GlobalUnlock(h);
      }
    }
    CloseClipboard();
    TypeText(text);
    return;
  }
  if ((m.Msg == WM_CUT || m.Msg == WM_CLEAR) && IsMasked()) {
    // Cut and Delete from the edit's menu empty the places instead of closing the gap, which would shift the
    // literals out of place.
    if (read_only_) return;
    if (m.Msg == WM_CUT) {
      TMessage copy{WM_COPY, 0, 0, 0};
      TCustomEdit::Dispatch(copy);
    }
    int start = SelStart();
    int len = SelLength();
    String edit = EditText();
    if (edit.size() != places_.size() || len == 0) return;
    BlankRange(edit, start, start + len);
    Apply(edit, start);
    return;
  }
  TCustomEdit::Dispatch(m);
}

void TCustomMaskEdit::CMEnter(TMessage& m) {
  // Coming back after a failed check keeps the text Esc returns to.
  if (!Modified()) entry_text_ = EditText();
  TCustomEdit::CMEnter(m);
}

void TCustomMaskEdit::CMExit(TMessage& m) {
  ValidateEdit();
  TCustomEdit::CMExit(m);
}

VCL_REGISTER(TCustomMaskEdit) { cls.Prop(L"EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask); }
VCL_REGISTER(TMaskEdit) {}

}  // namespace vcl
