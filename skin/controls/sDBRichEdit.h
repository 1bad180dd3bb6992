#pragma once
// The skinned bound rich edit: several lines of a text field, kept as plain text. Without an active skin it is the
// platform's bound rich edit. With an active skin a window wrapper paints its frame and scroll bars; the default
// text takes the section's font colour (averaged with the background while disabled) unless the font is the
// control's own, and recolouring never marks the field changed.
#include <memory>

#include "platform/db/dbctrls.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/core/sCommonData.h"

class TlvScrollWnd;

class TsDBRichEdit : public db::TDBRichEdit {
  VCL_CLASS(TsDBRichEdit, db::TDBRichEdit)
  void WndProc(vcl::TMessage& message) override;
  explicit TsDBRichEdit(vcl::TComponent* owner);
  ~TsDBRichEdit() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsScrollWndData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsScrollWndData* value) { FCommonData->Assign(value); }
  TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
  void SetBoundLabel(TsBoundLabel* value) { FBoundLabel->Assign(value); }
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind value);
  // Percent of the normal size the text is shown at.
  int Zoom() const { return FZoom; }
  void SetZoom(int value);
  // The colour of the default text attributes (what text without a colour of its own is drawn in).
  vcl::TColor DefaultTextColor() const;
  void SetDefaultTextColor(vcl::TColor colour);

  TlvScrollWnd* ListSW = nullptr;
  // True while a skin refresh recolours the text: the field is not marked changed meanwhile.
  bool Refreshing = false;

 protected:
  // Keeps ListSW in step with the skin: a live wrapper while skinned, none otherwise.
  void RefreshWrapper();
  void InitializeWnd() override;
  void Change() override;
  void SkinnedWndProc(vcl::TMessage& m);

  std::unique_ptr<TsScrollWndData> FCommonData;
  TsDisabledKind FDisabledKind{dkBlended};
  std::unique_ptr<TsBoundLabel> FBoundLabel;
  int FZoom = 100;
};
