#pragma once
// Report objects that are not printed: non-visual components (datasets, database connections) shown in the
// designer as a 28 x 28 icon. Their position travels as the extra stored properties "pLeft" and "pTop".
#include "report/model/qvxClass.h"

class TqvxDialogComponent : public TqvxReportComponent {
  VCL_CLASS(TqvxDialogComponent, TqvxReportComponent)
public:
  explicit TqvxDialogComponent(vcl::TComponent* owner);
  ~TqvxDialogComponent() override;

  void DefineProperties(vcl::TFiler* filer) override;
  // The designer icon at (Left, Top) in canvas pixels: scale and offset do not apply to it.
  void Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) override;

  // The wrapped non-visual component, owned.
  vcl::TComponent* Component() const { return FComponent; }
  void SetComponent(vcl::TComponent* value) { FComponent = value; }
  rtl::Integer ImageIndex = 0;

protected:
  vcl::TComponent* FComponent = nullptr;
};
