#pragma once
// Fonts, pens and brushes: persistent descriptions of GDI objects. Each keeps its own GDI handle, made on first
// use and remade after a change. A change first drops the handle, then tells OnChange (a canvas deselects the
// object there, a control re-sends its font), and only then deletes the old handle, so a handle is never
// deleted while a device context that was told about the change still holds it.
#include <functional>

#include "platform/rtl/object.h"
#include "platform/rtl/win.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/typinfo.h"

namespace vcl {

class TBitmap;

VCL_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
// Stored as bit (1 << style): the value scripts see ([fsBold, fsItalic] is 3).
VCL_SET(TFontStyles, TFontStyle)
VCL_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
VCL_ENUM(TFontQuality, fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural)
using TFontCharset = rtl::Byte;

VCL_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate)
VCL_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
         pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)
VCL_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross)

// "DEFAULT_CHARSET" <-> 1 and the other Windows character-set names, for Font.Charset in form resources.
bool CharsetToIdent(int charset, rtl::String& ident);
bool IdentToCharset(const rtl::String& ident, int& charset);

// The raster operation (R2_...) of a pen mode.
int PenModeToRop2(TPenMode mode);

class TGraphicsObject : public rtl::TPersistent {
public:
  using TChangeEvent = std::function<void(rtl::TObject* sender)>;
  rtl::String ClassName() const override { return L"TGraphicsObject"; }
  TChangeEvent OnChange;
  // True while a handle exists (Handle() makes one when there is none).
  bool HandleAllocated() const { return handle_ != nullptr; }

  ~TGraphicsObject() override;

protected:
  // Drops the handle, tells OnChange, then deletes the old handle.
  void Changed();
  HGDIOBJ RawHandle() const { return handle_; }
  void SetRawHandle(HGDIOBJ h, bool owned);
  virtual HGDIOBJ CreateGdiHandle() const = 0;
  HGDIOBJ EnsureHandle();

private:
  HGDIOBJ handle_ = nullptr;
  bool owned_ = true;
};

class TFont : public TGraphicsObject {
  VCL_CLASS(TFont, TGraphicsObject)
  TFont();
  void Assign(const rtl::TPersistent* source) override;

  HFONT Handle() { return static_cast<HFONT>(EnsureHandle()); }
  // Takes the attributes of a font made elsewhere; the font keeps (and later deletes) the handle.
  void SetHandle(HFONT font);

  const rtl::String& Name() const { return name_; }
  void SetName(const rtl::String& name);
  // Points at PixelsPerInch; negative Height means character height, positive cell height, in pixels.
  int Size() const;
  void SetSize(int points);
  int Height() const { return height_; }
  void SetHeight(int pixels);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);
  // Escapement and orientation, tenths of a degree counter-clockwise.
  int Orientation() const { return orientation_; }
  void SetOrientation(int tenths);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  TFontQuality Quality() const { return quality_; }
  void SetQuality(TFontQuality quality);
  int PixelsPerInch() const { return pixels_per_inch_; }
  void SetPixelsPerInch(int ppi) { pixels_per_inch_ = ppi > 0 ? ppi : pixels_per_inch_; }

  // The screen's vertical dots per inch (96 when it cannot be read).
  static int ScreenPixelsPerInch();

protected:
  HGDIOBJ CreateGdiHandle() const override;

private:
  rtl::String name_ = L"MS Sans Serif";
  int height_;
  TFontStyles style_;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  int orientation_ = 0;
  TFontPitch pitch_ = fpDefault;
  TFontQuality quality_ = fqDefault;
  int pixels_per_inch_;
};

class TPen : public TGraphicsObject {
  VCL_CLASS(TPen, TGraphicsObject)
  void Assign(const rtl::TPersistent* source) override;

  HPEN Handle() { return static_cast<HPEN>(EnsureHandle()); }
  void SetHandle(HPEN pen);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);

protected:
  HGDIOBJ CreateGdiHandle() const override;

private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

class TBrush : public TGraphicsObject {
  VCL_CLASS(TBrush, TGraphicsObject)
  TBrush() = default;
  ~TBrush() override;
  void Assign(const rtl::TPersistent* source) override;

  HBRUSH Handle() { return static_cast<HBRUSH>(EnsureHandle()); }
  void SetHandle(HBRUSH brush);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  // A pattern bitmap; the brush keeps its own copy, so the caller may free the one passed in.
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(const TBitmap* bitmap);

protected:
  HGDIOBJ CreateGdiHandle() const override;

private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
};

}  // namespace vcl
