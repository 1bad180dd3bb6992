#pragma once
// The skinned single-line edit. Without an active skin it is the platform's edit: OnChange after every change of
// the text, typed or set by the program, the grey text hint while empty, greyed and refusing input when disabled;
// only the bound label follows it. With an active skin it paints itself from the section "EDIT" through its cache
// bitmap while it does not have the focus (frame, background, text or hint); while it has the focus the platform's
// edit draws its client area (caret, selection) and only the frame comes from the cache.
#include <memory>

#include "platform/vcl/stdctrls.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/core/sCommonData.h"

class TsEdit : public vcl::TEdit {
  VCL_CLASS(TsEdit, vcl::TEdit)
  void WndProc(vcl::TMessage& message) override;
  explicit TsEdit(vcl::TComponent* owner);
  ~TsEdit() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCtrlSkinData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCtrlSkinData* value) { FCommonData->Assign(value); }
  TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
  void SetBoundLabel(TsBoundLabel* value) { FBoundLabel->Assign(value); }
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind value);

  // Frame width from the window's border: 2 sunken, 1 flat, 0 none.
  int FrameWidth() const;
  // Builds the cache; false when the parent's background is not ready yet (the paint is then postponed).
  virtual bool PrepareCache();
  // The text, the password circles or the text hint into the cache.
  virtual void PaintText();
  // Leaves the child controls out of dc (a window DC).
  virtual void ExcludeChildControls(HDC dc);
  // Frame and client from the cache into dc (nullptr: the window's own DC).
  void OurPaintHandler(HDC dc);
  // Only the frame from the cache; the client area stays the platform edit's.
  void PaintBorder();

 protected:
  void SkinnedWndProc(vcl::TMessage& m);
  std::unique_ptr<TsCtrlSkinData> FCommonData;
  TsDisabledKind FDisabledKind{dkBlended};
  std::unique_ptr<TsBoundLabel> FBoundLabel;
};
