#pragma once
// The skinned bound edit. Without an active skin it is the platform's bound edit: it shows and edits its field,
// typing starts an edit of the record, and text the program sets while the record is edited reaches the field;
// only the bound label follows it. With an active skin a window wrapper paints its frame and background from the
// section "EDIT"; the edit keeps the wrapper in step with the skin and answers the skin commands.
#include <memory>

#include "platform/db/dbctrls.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/core/sCommonData.h"

class TlvScrollWnd;

class TsDBEdit : public db::TDBEdit {
  VCL_CLASS(TsDBEdit, db::TDBEdit)
  void WndProc(vcl::TMessage& message) override;
  explicit TsDBEdit(vcl::TComponent* owner);
  ~TsDBEdit() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsScrollWndData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsScrollWndData* value) { FCommonData->Assign(value); }
  TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
  void SetBoundLabel(TsBoundLabel* value) { FBoundLabel->Assign(value); }
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind value);
  // The window wrapper that paints the control while a skin is active; nullptr without one.
  TlvScrollWnd* ListSW = nullptr;

 protected:
  // Keeps ListSW in step with the skin: a live wrapper while skinned, none otherwise.
  void RefreshWrapper();
  void SkinnedWndProc(vcl::TMessage& m);
  std::unique_ptr<TsScrollWndData> FCommonData;
  std::unique_ptr<TsBoundLabel> FBoundLabel;
  TsDisabledKind FDisabledKind{dkBlended};
};
