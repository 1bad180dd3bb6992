#include "script/wz_igraphicsrtti.h"

#include <cstdint>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/graphic.h"
#include "platform/vcl/graphicsobjects.h"
#include "platform/vcl/metafile.h"
#include "platform/vcl/picture.h"

using rtl::String;
using rtl::Variant;

VCL_REGISTER(TwzGraphicsRTTI) {}

TwzRTTIModuleClass wzGraphicsModule() { return &wzCreateRTTIModule<wz_igraphicsrtti::TFunctions>; }

namespace wz_igraphicsrtti {

namespace {

int Coord(TwzMethodHelper* caller, int index) { return wzIntArg(caller, index); }

}  // namespace

TFunctions::TFunctions(TwzScript* aScript) : TwzRTTIModule(aScript) {
  TwzScript* s = aScript;
  TwzCallMethodNewEvent call = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name,
                                      TwzMethodHelper* caller) { return CallMethod(instance, cls, name, caller); };
  TwzGetValueEvent get = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name) {
    return GetProp(instance, cls, name);
  };
  TwzSetValueEvent set = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name,
                                const Variant& value) { SetProp(instance, cls, name, value); };

  // The colour names in the platform's table order, each with the value the platform's lookup gives it.
  vcl::GetColorValues([s](const String& name) {
    vcl::TColor color = 0;
    if (vcl::IdentToColor(name, color)) s->AddConst(name, L"Integer", Variant(static_cast<int>(color)));
  });
  s->AddEnumSet(L"TFontStyles", L"fsBold, fsItalic, fsUnderline, fsStrikeout");
  s->AddEnum(L"TFontPitch", L"fpDefault, fpVariable, fpFixed");
  s->AddEnum(L"TPenStyle", L"psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame");
  s->AddEnum(L"TPenMode",
             L"pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen, "
             L"pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor");
  s->AddEnum(L"TBrushStyle",
             L"bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, "
             L"bsDiagCross");

  if (TwzClassVariable* c = s->AddClass(vcl::TFont::StaticClass(), L"TPersistent"))
    c->AddConstructor(L"constructor Create", call);
  if (TwzClassVariable* c = s->AddClass(vcl::TPen::StaticClass(), L"TPersistent"))
    c->AddConstructor(L"constructor Create", call);
  if (TwzClassVariable* c = s->AddClass(vcl::TBrush::StaticClass(), L"TPersistent"))
    c->AddConstructor(L"constructor Create", call);
  if (TwzClassVariable* c = s->AddClass(vcl::TCanvas::StaticClass(), L"TPersistent")) {
    c->AddConstructor(L"constructor Create", call);
    c->AddMethod(L"procedure Draw(X, Y: Integer; Graphic: TGraphic)", call);
    c->AddMethod(L"procedure Ellipse(X1, Y1, X2, Y2: Integer)", call);
    c->AddMethod(L"procedure LineTo(X, Y: Integer)", call);
    c->AddMethod(L"procedure MoveTo(X, Y: Integer)", call);
    c->AddMethod(L"procedure Rectangle(X1, Y1, X2, Y2: Integer)", call);
    c->AddMethod(L"procedure RoundRect(X1, Y1, X2, Y2, X3, Y3: Integer)", call);
    c->AddMethod(L"procedure StretchDraw(X1, Y1, X2, Y2: Integer; Graphic: TGraphic)", call);
    c->AddMethod(L"function TextHeight(const Text: string): Integer", call);
    c->AddMethod(L"procedure TextOut(X, Y: Integer; const Text: string)", call);
    c->AddMethod(L"function TextWidth(const Text: string): Integer", call);
    c->AddIndexProperty(L"Pixels", L"Integer, Integer", L"TColor", call, false);
  }
  if (TwzClassVariable* c = s->AddClass(vcl::TGraphic::StaticClass(), L"TPersistent")) {
    c->AddConstructor(L"constructor Create", call);
    c->AddMethod(L"procedure LoadFromFile(const Filename: string)", call);
    c->AddMethod(L"procedure SaveToFile(const Filename: string)", call);
    c->AddProperty(L"Height", L"Integer", get, set);
    c->AddProperty(L"Width", L"Integer", get, set);
  }
  if (TwzClassVariable* c = s->AddClass(vcl::TPicture::StaticClass(), L"TPersistent")) {
    c->AddMethod(L"procedure LoadFromFile(const Filename: string)", call);
    c->AddMethod(L"procedure SaveToFile(const Filename: string)", call);
    c->AddProperty(L"Height", L"Integer", get);
    c->AddProperty(L"Width", L"Integer", get);
  }
  s->AddClass(vcl::TMetafile::StaticClass(), L"TGraphic");
  if (TwzClassVariable* c = s->AddClass(vcl::TMetafileCanvas::StaticClass(), L"TCanvas"))
    c->AddConstructor(L"constructor Create(AMetafile: TMetafile; ReferenceDevice: Integer)", call);
  if (TwzClassVariable* c = s->AddClass(vcl::TBitmap::StaticClass(), L"TGraphic"))
    c->AddProperty(L"Canvas", L"TCanvas", get);
}

Variant TFunctions::CallMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& methodName,
                               TwzMethodHelper* caller) {
  if (methodName == L"CREATE") {
    if (classType == vcl::TMetafileCanvas::StaticClass()) {
      auto* metafile = wzArg<vcl::TMetafile>(caller, 0, L"Create");
      // A device-context handle travels as a number; the screen's is 0.
      const auto device = static_cast<std::uintptr_t>(wzInt64Arg(caller, 1));
      return wzObjectResult(new vcl::TMetafileCanvas(metafile, reinterpret_cast<HDC>(device)));
    }
    return wzObjectResult(wzNewInstance(instance, caller));
  }
  if (classType == vcl::TCanvas::StaticClass()) return CanvasMethod(instance, methodName, caller);
  if (classType == vcl::TGraphic::StaticClass()) {
    auto* self = wzSelf<vcl::TGraphic>(instance, caller);
    if (methodName == L"LOADFROMFILE") self->LoadFromFile(wzTextArg(caller, 0));
    if (methodName == L"SAVETOFILE") self->SaveToFile(wzTextArg(caller, 0));
  } else if (classType == vcl::TPicture::StaticClass()) {
    auto* self = wzSelf<vcl::TPicture>(instance, caller);
    if (methodName == L"LOADFROMFILE") self->LoadFromFile(wzTextArg(caller, 0));
    if (methodName == L"SAVETOFILE") self->SaveToFile(wzTextArg(caller, 0));
  }
  return Variant(0);
}

Variant TFunctions::CanvasMethod(rtl::TObject* instance, const String& name, TwzMethodHelper* caller) {
  auto* self = wzSelf<vcl::TCanvas>(instance, caller);
  if (name == L"DRAW") self->Draw(Coord(caller, 0), Coord(caller, 1), wzArg<vcl::TGraphic>(caller, 2, L"Draw", true));
  if (name == L"ELLIPSE") self->Ellipse(Coord(caller, 0), Coord(caller, 1), Coord(caller, 2), Coord(caller, 3));
  if (name == L"LINETO") self->LineTo(Coord(caller, 0), Coord(caller, 1));
  if (name == L"MOVETO") self->MoveTo(Coord(caller, 0), Coord(caller, 1));
  if (name == L"RECTANGLE") self->Rectangle(Coord(caller, 0), Coord(caller, 1), Coord(caller, 2), Coord(caller, 3));
  if (name == L"ROUNDRECT")
    self->RoundRect(Coord(caller, 0), Coord(caller, 1), Coord(caller, 2), Coord(caller, 3), Coord(caller, 4),
                    Coord(caller, 5));
  if (name == L"STRETCHDRAW")
    self->StretchDraw(vcl::TRect(Coord(caller, 0), Coord(caller, 1), Coord(caller, 2), Coord(caller, 3)),
                      wzArg<vcl::TGraphic>(caller, 4, L"StretchDraw", true));
  if (name == L"TEXTHEIGHT") return Variant(self->TextHeight(wzTextArg(caller, 0)));
  if (name == L"TEXTOUT") self->TextOut(Coord(caller, 0), Coord(caller, 1), wzTextArg(caller, 2));
  if (name == L"TEXTWIDTH") return Variant(self->TextWidth(wzTextArg(caller, 0)));
  if (name == L"PIXELS.GET") return Variant(static_cast<int>(self->Pixels(Coord(caller, 0), Coord(caller, 1))));
  if (name == L"PIXELS.SET")
    self->SetPixels(Coord(caller, 0), Coord(caller, 1), static_cast<vcl::TColor>(wzIntArg(caller, 2)));
  return Variant(0);
}

Variant TFunctions::GetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& propName) {
  if (classType == vcl::TGraphic::StaticClass()) {
    auto* self = wzSelf<vcl::TGraphic>(instance, propName);
    if (propName == L"HEIGHT") return Variant(self->Height());
    if (propName == L"WIDTH") return Variant(self->Width());
  } else if (classType == vcl::TPicture::StaticClass()) {
    auto* self = wzSelf<vcl::TPicture>(instance, propName);
    if (propName == L"HEIGHT") return Variant(self->Height());
    if (propName == L"WIDTH") return Variant(self->Width());
  } else if (classType == vcl::TBitmap::StaticClass()) {
    if (propName == L"CANVAS") return wzObjectResult(wzSelf<vcl::TBitmap>(instance, propName)->Canvas());
  }
  return Variant(0);
}

void TFunctions::SetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& propName,
                         const Variant& value) {
  if (classType == vcl::TGraphic::StaticClass()) {
    auto* self = wzSelf<vcl::TGraphic>(instance, propName);
    if (propName == L"HEIGHT") self->SetHeight(value.AsInteger());
    if (propName == L"WIDTH") self->SetWidth(value.AsInteger());
  }
}

}  // namespace wz_igraphicsrtti
