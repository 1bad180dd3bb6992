#pragma once
// The bit button: a push button that draws its glyph beside its caption, greyed and inert when disabled.
#include "platform/vcl/bitmap.h"
#include "platform/vcl/stdctrls.h"

namespace vcl {

class TBitBtn : public TButton {
  VCL_CLASS(TBitBtn, TButton)
public:
  explicit TBitBtn(TComponent* owner);
  ~TBitBtn() override;
  TBitmap* Glyph() const { return glyph_; }
  void SetGlyph(TBitmap* value);
  int Margin() const { return margin_; }
  void SetMargin(int v);
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);

protected:
  void CreateParams(TCreateParams& p) override;
  void Dispatch(TMessage& m) override;
  void DrawItem(const DRAWITEMSTRUCT& dis);

private:
  TBitmap* glyph_ = nullptr;
  int margin_ = -1;
  int spacing_ = 4;
};

}  // namespace vcl
