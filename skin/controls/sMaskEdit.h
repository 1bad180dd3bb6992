#pragma once
// The skinned mask edit. Without an active skin it is the platform's mask edit. With an active skin it paints
// itself from the section "EDIT" through its cache bitmap while it does not have the focus (border, background and
// text); while it has the focus the platform's edit paints its text and only the border comes from the cache.
// Validation on exit lets OnValidateError reword the message.
#include <functional>
#include <memory>

#include "platform/vcl/events.h"
#include "platform/vcl/mask.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/core/sCommonData.h"

using TValidateErrorEvent = vcl::TEvent<void(rtl::TObject* Sender, rtl::String& Error)>;

class TsMaskEdit : public vcl::TMaskEdit {
  VCL_CLASS(TsMaskEdit, vcl::TMaskEdit)
  void WndProc(vcl::TMessage& message) override;
  explicit TsMaskEdit(vcl::TComponent* owner);
  ~TsMaskEdit() override;
  void AfterConstruction() override;
  void Loaded() override;
  void ValidateEdit() override;

  TsCtrlSkinData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCtrlSkinData* value) { FCommonData->Assign(value); }
  TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
  void SetBoundLabel(TsBoundLabel* value) { FBoundLabel->Assign(value); }
  // Kept for the forms, which store it; the edit keeps the height it is given either way.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value) { FAutoSize = value; }
  bool CheckOnExit() const { return FCheckOnExit; }
  void SetCheckOnExit(bool value) { FCheckOnExit = value; }
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind value);

  // 0 without a border, else 3 (a sunken border) or 2 (a flat one).
  int BorderWidth();
  // Paints the cache; false when the parent's background is not ready yet.
  bool PrepareCache();
  // The whole control from the cache into dc (nullptr: the window's DC).
  virtual void OurPaintHandler(HDC dc);
  // Only a 2-pixel frame from the cache.
  virtual void PaintBorder(HDC dc);
  // The text (or the text hint) into the cache.
  virtual void PaintText();
  // Leaves every child control out of dc (a window DC).
  void ExcludeChildControls(HDC dc);
  // Descendants with a button narrow the edit area here.
  virtual void SetEditRect() {}

  TValidateErrorEvent OnValidateError;

 protected:
  void SkinnedWndProc(vcl::TMessage& m);
  std::unique_ptr<TsCtrlSkinData> FCommonData;
  std::unique_ptr<TsBoundLabel> FBoundLabel;
  bool FAutoSize = true;
  bool FCheckOnExit = true;
  TsDisabledKind FDisabledKind{dkBlended};
};
