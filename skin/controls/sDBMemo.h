#pragma once
// The skinned bound memo. Without an active skin it is the platform's bound memo; hidden, it still hands text the
// program sets to its field when the record is posted. With an active skin a window wrapper paints its frame,
// background and scroll bars from the section "EDIT". OnVScroll follows vertical scrolling (never horizontal),
// OnScrollCaret follows EM_SCROLLCARET.
#include <memory>

#include "platform/db/dbctrls.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/core/sCommonData.h"

class TlvScrollWnd;

class TsDBMemo : public db::TDBMemo {
  VCL_CLASS(TsDBMemo, db::TDBMemo)
  void WndProc(vcl::TMessage& message) override;
  explicit TsDBMemo(vcl::TComponent* owner);
  ~TsDBMemo() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsScrollWndData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsScrollWndData* value) { FCommonData->Assign(value); }
  TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
  void SetBoundLabel(TsBoundLabel* value) { FBoundLabel->Assign(value); }
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind value);

  vcl::TNotifyEvent FOnVScroll;
  vcl::TNotifyEvent FOnScrollCaret;
  TlvScrollWnd* ListSW = nullptr;

 protected:
  // Keeps ListSW in step with the skin: a live wrapper while skinned, none otherwise.
  void RefreshWrapper();
  void DataChange(rtl::TObject* sender);
  void SkinnedWndProc(vcl::TMessage& m);
  std::unique_ptr<TsBoundLabel> FBoundLabel;
  std::unique_ptr<TsScrollWndData> FCommonData;
  TsDisabledKind FDisabledKind{dkBlended};
  vcl::TNotifyEvent FOldDataChange;
};
