// The drawing classes in the class registry: what form resources, the report serializer and scripts see of
// fonts, pens, brushes, canvases and pictures.
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/graphicsobjects.h"
#include "platform/vcl/icon.h"
#include "platform/vcl/jpeg.h"
#include "platform/vcl/metafile.h"
#include "platform/vcl/picture.h"
#include "platform/vcl/png.h"

namespace vcl {

VCL_REGISTER(TFont) {
  cls.Prop(L"Charset", &TFont::Charset, &TFont::SetCharset).TypeName(L"TFontCharset");
  cls.Prop(L"Color", &TFont::Color, &TFont::SetColor).TypeName(L"TColor");
  cls.Prop(L"Height", &TFont::Height, &TFont::SetHeight);
  cls.Prop(L"Name", &TFont::Name, &TFont::SetName).TypeName(L"TFontName");
  cls.Prop(L"Orientation", &TFont::Orientation, &TFont::SetOrientation).Default(0);
  cls.Prop(L"Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
  // The size follows from Height; only Height is stored.
  cls.Prop(L"Size", &TFont::Size, &TFont::SetSize).Stored(false);
  cls.Prop(L"Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
  cls.Prop(L"Quality", &TFont::Quality, &TFont::SetQuality).Default(fqDefault);
}

VCL_REGISTER(TPen) {
  cls.Prop(L"Color", &TPen::Color, &TPen::SetColor).Default(clBlack).TypeName(L"TColor");
  cls.Prop(L"Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
  cls.Prop(L"Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
  cls.Prop(L"Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

VCL_REGISTER(TBrush) {
  cls.Prop(L"Color", &TBrush::Color, &TBrush::SetColor).Default(clWhite).TypeName(L"TColor");
  cls.Prop(L"Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
}

VCL_REGISTER(TCanvas) {
  cls.Prop(L"Brush", &TCanvas::Brush, &TCanvas::SetBrush);
  cls.Prop(L"CopyMode", &TCanvas::CopyMode, &TCanvas::SetCopyMode).Default(cmSrcCopy).TypeName(L"TCopyMode");
  cls.Prop(L"Font", &TCanvas::Font, &TCanvas::SetFont);
  cls.Prop(L"Pen", &TCanvas::Pen, &TCanvas::SetPen);
}

VCL_REGISTER(TGraphic) {}
VCL_REGISTER(TPicture) {}
VCL_REGISTER(TBitmap) {}
VCL_REGISTER(TIcon) {}
VCL_REGISTER(TMetafile) {}
VCL_REGISTER(TMetafileCanvas) {}
VCL_REGISTER(TJPEGImage) {}
VCL_REGISTER(TPngImage) {}

}  // namespace vcl
