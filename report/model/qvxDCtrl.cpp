#include "report/model/qvxDCtrl.h"

#include <cmath>

#include "platform/rtl/win.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/typinfo.h"

VCL_REGISTER(TqvxDialogComponent) {}

namespace {
// Positions are stored as whole pixels, rounded halves to even as the float unit rounds.
int RoundEven(Extended v) { return static_cast<int>(std::llrint(static_cast<double>(v))); }
}  // namespace

TqvxDialogComponent::TqvxDialogComponent(vcl::TComponent* owner) : TqvxReportComponent(owner) {
  // Non-visual components never go to prepared pages.
  FqvComponentStyle.Exclude(csPreviewVisible);
  SetWidth(28);
  SetHeight(28);
}

TqvxDialogComponent::~TqvxDialogComponent() {
  if (FComponent) {
    delete FComponent;
    FComponent = nullptr;
  }
}

void TqvxDialogComponent::DefineProperties(vcl::TFiler* filer) {
  TqvxReportComponent::DefineProperties(filer);
  const bool hasReport = Report() != nullptr;
  filer->DefineProperty(
      L"pLeft", [this](vcl::TReader& r) { SetLeft(static_cast<Extended>(r.ReadInteger())); },
      [this](vcl::TWriter& w) { w.WriteInteger(RoundEven(FLeft)); }, hasReport);
  filer->DefineProperty(
      L"pTop", [this](vcl::TReader& r) { SetTop(static_cast<Extended>(r.ReadInteger())); },
      [this](vcl::TWriter& w) { w.WriteInteger(RoundEven(FTop)); }, hasReport);
}

void TqvxDialogComponent::Draw(vcl::TCanvas* canvas, Extended, Extended, Extended, Extended) {
  SetWidth(28);
  SetHeight(28);
  vcl::TRect r;
  r.Left = RoundEven(FLeft);
  r.Top = RoundEven(FTop);
  r.Right = RoundEven(FLeft + 28);
  r.Bottom = RoundEven(FTop + 28);
  canvas->Brush()->SetColor(vcl::clBtnFace);
  canvas->Brush()->SetStyle(vcl::bsSolid);
  canvas->FillRect(r);
  RECT edge{r.Left, r.Top, r.Right, r.Bottom};
  DrawEdge(canvas->Handle(), &edge, EDGE_RAISED, BF_RECT);
  // The class's button image comes from the object registry, which lists the designer's object kinds; a program
  // without the designer has no images to draw, and the icon stays a plain raised square with the name below.
  canvas->Font()->SetName(L"Tahoma");
  canvas->Font()->SetSize(8);
  canvas->Font()->SetColor(vcl::clBlack);
  canvas->Font()->SetStyle(vcl::TFontStyles{});
  canvas->Brush()->SetColor(vcl::clWindow);
  const rtl::String name = Name();
  canvas->TextOut(r.Left - (canvas->TextWidth(name) - 28) / 2, r.Bottom + 4, name);
}
