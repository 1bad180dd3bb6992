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

namespace vcl {
class TControl;
class TForm;
}  // namespace vcl

// A visual control of a dialog page, wrapping a platform control that a concrete descendant creates. While it
// belongs to no dialog page the control lives in the hidden parent form.
class TqvxDialogControl : public TqvxReportComponent {
  VCL_CLASS(TqvxDialogControl, TqvxReportComponent)
 public:
  explicit TqvxDialogControl(vcl::TComponent* owner);
  ~TqvxDialogControl() override;

  void SetName(const rtl::String& value) override;
  void SetParent(TqvxComponent* value) override;
  void SetLeft(Extended value) override;
  void SetTop(Extended value) override;
  void SetWidth(Extended value) override;
  void SetHeight(Extended value) override;
  void SetParentFont(bool value) override;
  void SetVisible(bool value) override;
  void FontChanged() override;
  // The control's own picture at (AbsLeft, AbsTop).
  void Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) override;

  vcl::TControl* Control() const { return FControl; }
  rtl::String Caption() const;
  void SetCaption(const rtl::String& value);
  vcl::TColor Color() const;
  void SetColor(vcl::TColor value);
  bool Enabled() const;
  void SetEnabled(bool value);
  rtl::String Hint() const;
  void SetHint(const rtl::String& value);
  bool ShowHint() const;
  void SetShowHint(bool value);
  bool TabStop() const;
  void SetTabStop(bool value);
  bool IsFontStored() const { return !FParentFont; }

  rtl::String OnClick, OnDblClick, OnEnter, OnExit, OnKeyDown, OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp;
  // Called by the dialog page when its window is activated (a method of the host, not a script name).
  vcl::TNotifyEvent OnActivate;

 protected:
  // Takes ownership; a descendant calls it from its constructor.
  void SetControl(vcl::TControl* control);
  vcl::TControl* FControl = nullptr;
};

// The hidden window that holds dialog controls while they belong to no dialog page.
inline constexpr unsigned WM_CREATEHANDLE = 0x0400 + 1;
inline constexpr unsigned WM_DESTROYHANDLE = 0x0400 + 2;
// The process-wide hidden parent form, made on first use.
vcl::TForm* qvxParentForm();
// Takes every control out of the hidden parent form (the library is shutting down).
void EmptyParentForm();
