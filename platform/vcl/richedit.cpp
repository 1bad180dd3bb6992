// Rich edit as plain text.
#include "platform/vcl/richedit.h"

#include <algorithm>

#include <richedit.h>

namespace vcl {

const wchar_t* TCustomRichEdit::RichEditClass() {
  static const wchar_t* cls = []() -> const wchar_t* {
    if (LoadLibraryW(L"msftedit.dll")) return L"RICHEDIT50W";
    if (LoadLibraryW(L"riched20.dll")) return L"RichEdit20W";
    return L"";
  }();
  return cls;
}

TCustomRichEdit::TCustomRichEdit(TComponent* owner) : TCustomMemo(owner) {}

void TCustomRichEdit::CreateParams(TCreateParams& p) {
  TCustomMemo::CreateParams(p);
  const wchar_t* cls = RichEditClass();
  if (!*cls) throw rtl::EOSError(L"The rich edit control is not available");
  CreateSubClass(p, cls);
  // Plain-text mode can only be chosen while the control is empty: the text comes after it.
  p.Caption.clear();
}

void TCustomRichEdit::InitializeWnd() {
  String text = text_;
  if (!recreate_text_.empty()) {
    text = recreate_text_;
    recreate_text_.clear();
  }
  SendMessageW(handle_, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE, 0);
  SendMessageW(handle_, EM_SETEVENTMASK, 0, ENM_CHANGE);
  TCustomMemo::InitializeWnd();
  creating_text_ = true;
  SetWindowTextW(handle_, text.c_str());
  creating_text_ = false;
  SendMessageW(handle_, EM_SETREADONLY, read_only_ ? 1 : 0, 0);
  // A rich edit without a limit would stop at 32K characters; no limit means none here as for an edit.
  SendMessageW(handle_, EM_EXLIMITTEXT, 0, max_length_ > 0 ? max_length_ : 0x7FFFFFFE);
  if (zoom_ != 100) SendMessageW(handle_, EM_SETZOOM, static_cast<WPARAM>(zoom_), 100);
}

void TCustomRichEdit::SetZoom(int v) {
  if (v < 2) v = 2;  // the control's lower limit (1/64 is the floor; below 2 % the ratio is refused)
  if (v > 6400) v = 6400;
  zoom_ = v;
  if (handle_) SendMessageW(handle_, EM_SETZOOM, v == 100 ? 0 : static_cast<WPARAM>(v), v == 100 ? 0 : 100);
}

String TCustomRichEdit::GetText() {
  if (!handle_) return text_;
  GETTEXTLENGTHEX len{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
  LRESULT n = SendMessageW(handle_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0);
  if (n <= 0) return String();
  String t(static_cast<size_t>(n) + 1, L'\0');
  GETTEXTEX get{};
  get.cb = static_cast<DWORD>(t.size() * sizeof(wchar_t));
  get.flags = GT_USECRLF;
  get.codepage = 1200;
  LRESULT got = SendMessageW(handle_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(t.data()));
  t.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
  return t;
}

void TCustomRichEdit::Dispatch(TMessage& m) {
  // The rich edit asks its parent for no colours: its background is set directly.
  if (m.Msg == CM_COLORCHANGED) {
    TCustomMemo::Dispatch(m);
    if (handle_) SendMessageW(handle_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToGdi(color_)));
    return;
  }
  TCustomMemo::Dispatch(m);
}

VCL_REGISTER(TCustomRichEdit) { cls.Prop(L"Zoom", &TCustomRichEdit::Zoom, &TCustomRichEdit::SetZoom).Default(100); }
VCL_REGISTER(TRichEdit) {}

}  // namespace vcl
