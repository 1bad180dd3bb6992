#pragma once
// The skinned panel: a raised, bevelled container that shows its caption centred. Without an active skin it is
// the platform's panel. With an active skin it paints from the section its outer bevel names through its cache
// bitmap, writes its caption in the section's font colours and tells its children what lies behind them.
// The drag bar is a panel that acts as a caption bar: a press moves the form (or another control) it belongs to.
#include <memory>

#include "platform/vcl/extctrls.h"
#include "skin/core/sCommonData.h"

class TsPanel : public vcl::TPanel {
  VCL_CLASS(TsPanel, vcl::TPanel)
  void WndProc(vcl::TMessage& message) override;
  // The section of the bevel: none "TRANSPARENT", lowered "PANEL_LOW", raised "PANEL", space "GROUPBOX".
  const wchar_t* PanelSection() const;
  explicit TsPanel(vcl::TComponent* owner);
  ~TsPanel() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCommonData* value) { FCommonData->Assign(value); }
  // Paints the cache; false when the parent's background is not ready yet.
  virtual bool PrepareCache();
  // The caption into r on canvas.
  void WriteText(const vcl::TRect& r, vcl::TCanvas* canvas);
  // Bevels and border width around the text rectangle.
  int FrameWidth() const;

  vcl::TNotifyEvent OnPaint;

 protected:
  void Paint() override;
  // Paints without the cache: the border from the skin, the inside filled with the section's colour (or the
  // parent's picture when the section is wholly transparent).
  void PaintDirect(HDC dc);
  std::unique_ptr<TsCommonData> FCommonData;
  vcl::TBevelCut FOldBevel = vcl::bvRaised;
};

class TsDragBar : public TsPanel {
  VCL_CLASS(TsDragBar, TsPanel)
  explicit TsDragBar(vcl::TComponent* owner);
  void Loaded() override;
  void WndProc(vcl::TMessage& message) override;
  vcl::TControl* DraggedControl() const { return FDraggedControl; }
  void SetDraggedControl(vcl::TControl* value);

 protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  vcl::TControl* FDraggedControl = nullptr;
};
