#pragma once
// The system's rich edit control, used for plain text: Lines and Text carry the text with CR LF line breaks
// whatever the control keeps inside; Zoom scales the shown text (100 = normal).
#include "platform/vcl/stdctrls.h"

namespace vcl {

class TCustomRichEdit : public TCustomMemo {
  VCL_CLASS(TCustomRichEdit, TCustomMemo)
public:
  explicit TCustomRichEdit(TComponent* owner);
  int Zoom() const { return zoom_; }
  void SetZoom(int v);
  bool PlainText() const { return true; }
  // The window class of the rich edit the system offers, loading its library on first use; empty when none.
  static const wchar_t* RichEditClass();

protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& m) override;
  String GetText() override;

  int zoom_ = 100;
};

class TRichEdit : public TCustomRichEdit {
  VCL_CLASS(TRichEdit, TCustomRichEdit)
public:
  explicit TRichEdit(TComponent* owner) : TCustomRichEdit(owner) {}
};

}  // namespace vcl
