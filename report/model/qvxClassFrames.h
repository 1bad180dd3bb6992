#pragma once
// The value objects that views, bands and highlights carry: background fills (brush, gradient, glass), the frame of
// four independently styled lines with a drop shadow, and the hyperlink description. They paint in device pixels
// (coordinates come already scaled) and write the difference items the prepared pages keep for printed copies.
#include "platform/rtl/object.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/graphicsobjects.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxClass.h"

namespace vcl {
class TCanvas;
}

VCL_ENUM(TqvxFillType, ftBrush, ftGradient, ftGlass)
VCL_ENUM(TqvxGradientStyle, gsHorizontal, gsVertical, gsElliptic, gsRectangle, gsVertCenter, gsHorizCenter)
VCL_ENUM(TqvxGlassFillOrientation, foVertical, foHorizontal, foVerticalMirror, foHorizontalMirror)
VCL_ENUM(TqvxFrameStyle, fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble, fsAltDot, fsSquare)
VCL_ENUM(TqvxFrameType, ftLeft, ftRight, ftTop, ftBottom)
VCL_SET(TqvxFrameTypes, TqvxFrameType)
VCL_ENUM(TqvxHyperlinkKind, hkURL, hkAnchor, hkPageNumber, hkDetailReport, hkDetailPage, hkCustom)

class TqvxCustomFill : public rtl::TPersistent {
  VCL_CLASS(TqvxCustomFill, rtl::TPersistent)
public:
  virtual void Draw(vcl::TCanvas* canvas, int x, int y, int x1, int y1, Extended scaleX, Extended scaleY) = 0;
  // The items in which this fill differs from fill, each named add + "." + member.
  virtual rtl::String Diff(TqvxCustomFill* fill, const rtl::String& add) = 0;
};

class TqvxBrushFill : public TqvxCustomFill {
  VCL_CLASS(TqvxBrushFill, TqvxCustomFill)
public:
  TqvxBrushFill() = default;
  void Assign(const rtl::TPersistent* source) override;
  void Draw(vcl::TCanvas* canvas, int x, int y, int x1, int y1, Extended scaleX, Extended scaleY) override;
  rtl::String Diff(TqvxCustomFill* fill, const rtl::String& add) override;

  vcl::TColor BackColor = clTransparent;
  vcl::TColor ForeColor = 0;
  vcl::TBrushStyle Style = vcl::bsSolid;
};

class TqvxGradientFill : public TqvxCustomFill {
  VCL_CLASS(TqvxGradientFill, TqvxCustomFill)
public:
  TqvxGradientFill() = default;
  void Assign(const rtl::TPersistent* source) override;
  void Draw(vcl::TCanvas* canvas, int x, int y, int x1, int y1, Extended scaleX, Extended scaleY) override;
  rtl::String Diff(TqvxCustomFill* fill, const rtl::String& add) override;
  // The colour in the middle of the gradient.
  vcl::TColor GetColor() const;

  vcl::TColor StartColor = 0xFFFFFF;
  vcl::TColor EndColor = 0;
  TqvxGradientStyle GradientStyle = gsHorizontal;
};

// Grey both after construction and as the value the template writer leaves out, so every colour survives a save.
inline constexpr vcl::TColor qvxGlassDefaultColor = 8421504;

class TqvxGlassFill : public TqvxCustomFill {
  VCL_CLASS(TqvxGlassFill, TqvxCustomFill)
public:
  TqvxGlassFill() = default;
  void Assign(const rtl::TPersistent* source) override;
  void Draw(vcl::TCanvas* canvas, int x, int y, int x1, int y1, Extended scaleX, Extended scaleY) override;
  rtl::String Diff(TqvxCustomFill* fill, const rtl::String& add) override;

  vcl::TColor Color = qvxGlassDefaultColor;
  double Blend = 0.5;
  bool Hatch = false;
  TqvxGlassFillOrientation Orientation = foHorizontal;
};

TqvxCustomFill* qvxCreateFill(TqvxFillType fillType);
TqvxFillType qvxGetFillType(const TqvxCustomFill* fill);

class TqvxFrame;

class TqvxFrameLine : public rtl::TPersistent {
  VCL_CLASS(TqvxFrameLine, rtl::TPersistent)
public:
  explicit TqvxFrameLine(TqvxFrame* frame) : Frame(frame) {}
  void Assign(const rtl::TPersistent* source) override;
  rtl::String Diff(TqvxFrameLine* line, const rtl::String& lineName, bool colorChanged, bool styleChanged,
                   bool widthChanged);
  // A line is stored only where it departs from its frame.
  bool IsColorStored() const;
  bool IsStyleStored() const;
  bool IsWidthStored() const;

  TqvxFrame* Frame;
  vcl::TColor Color = 0;
  TqvxFrameStyle Style = fsSolid;
  double Width = 1;
};

class TqvxFrame : public rtl::TPersistent {
  VCL_CLASS(TqvxFrame, rtl::TPersistent)
public:
  TqvxFrame();
  ~TqvxFrame() override;
  void Assign(const rtl::TPersistent* source) override;
  void Draw(vcl::TCanvas* canvas, int fx, int fy, int fx1, int fy1, Extended scaleX, Extended scaleY);
  rtl::String Diff(TqvxFrame* frame);

  vcl::TColor Color() const { return FColor; }
  void SetColor(vcl::TColor value);
  TqvxFrameStyle Style() const { return FStyle; }
  void SetStyle(TqvxFrameStyle value);
  double Width() const { return FWidth; }
  void SetWidth(double value);
  TqvxFrameLine* LeftLine() const { return FLeftLine; }
  void SetLeftLine(TqvxFrameLine* value) { FLeftLine->Assign(value); }
  TqvxFrameLine* TopLine() const { return FTopLine; }
  void SetTopLine(TqvxFrameLine* value) { FTopLine->Assign(value); }
  TqvxFrameLine* RightLine() const { return FRightLine; }
  void SetRightLine(TqvxFrameLine* value) { FRightLine->Assign(value); }
  TqvxFrameLine* BottomLine() const { return FBottomLine; }
  void SetBottomLine(TqvxFrameLine* value) { FBottomLine->Assign(value); }
  bool IsShadowWidthStored() const { return ShadowWidth != 4; }
  bool IsTypStored() const { return !Typ.Empty(); }
  bool IsWidthStored() const { return FWidth != 1; }

  bool DropShadow = false;
  double ShadowWidth = 4;
  vcl::TColor ShadowColor = 0;
  TqvxFrameTypes Typ;

private:
  TqvxFrameLine* FLeftLine;
  TqvxFrameLine* FTopLine;
  TqvxFrameLine* FRightLine;
  TqvxFrameLine* FBottomLine;
  vcl::TColor FColor = 0;
  TqvxFrameStyle FStyle = fsSolid;
  double FWidth = 1;
};

class TqvxHyperlink : public rtl::TPersistent {
  VCL_CLASS(TqvxHyperlink, rtl::TPersistent)
public:
  TqvxHyperlink() = default;
  void Assign(const rtl::TPersistent* source) override;
  rtl::String Diff(TqvxHyperlink* link, const rtl::String& add);
  bool IsValuesSeparatorStored() const { return ValuesSeparator != L";"; }

  TqvxHyperlinkKind Kind = hkURL;
  rtl::String DetailReport, DetailPage, Expression, ReportVariable, Value;
  rtl::String ValuesSeparator = L";";
  rtl::String TabCaption;
};
