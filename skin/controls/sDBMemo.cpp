#include "skin/controls/sDBMemo.h"

#include "skin/controls/sSkinCommands.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/windows/lvSBUtils.h"

TsDBMemo::TsDBMemo(vcl::TComponent* owner)
    : db::TDBMemo(owner), FCommonData(std::make_unique<TsScrollWndData>(this, true)) {
  FCommonData->COC = COC_TsMemo;
  FBoundLabel = std::make_unique<TsBoundLabel>(this, FCommonData.get());
  control_style_ -= vcl::csOpaque;
  SetParentColor(false);
  // The platform's own reaction to a new record stays; the memo only chains itself in front of it.
  FOldDataChange = link_->OnDataChange;
  link_->OnDataChange.Bind(this, &TsDBMemo::DataChange);
}

TsDBMemo::~TsDBMemo() {
  link_->OnDataChange = FOldDataChange;
  UninitializeLVScroll(HandleAllocated() ? handle_ : nullptr, true, false, ListSW);
  FBoundLabel.reset();
  FCommonData.reset();
}

void TsDBMemo::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsDBMemo::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
  if (FBoundLabel->Active()) FBoundLabel->SetActive(true);
  RefreshWrapper();
}

void TsDBMemo::RefreshWrapper() {
  // A window is not made just for the wrapper: one that has none yet gets its wrapper when it is shown.
  if (HandleAllocated() || !FCommonData->Skinned()) RefreshEditScrolls(FCommonData.get(), ListSW);
}

void TsDBMemo::SetDisabledKind(TsDisabledKind value) {
  if (FDisabledKind == value) return;
  FDisabledKind = value;
  FCommonData->Invalidate();
}

void TsDBMemo::DataChange(rtl::TObject* sender) { FOldDataChange(sender); }

void TsDBMemo::WndProc(vcl::TMessage& m) {
  SkinnedWndProc(m);
  if (FBoundLabel) FBoundLabel->HandleOwnerMsg(m, this);
}

void TsDBMemo::SkinnedWndProc(vcl::TMessage& m) {
  TsScrollWndData* sd = FCommonData.get();
  if (m.Msg == SM_LUMICMD) {
    const bool own = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
    switch (m.WParamHi()) {
      case LVC_SETNEWSKIN:
        if (!own) break;
        CommonMessage(m, sd);
        return;
      case LVC_REMOVESKIN:
        if (!own) break;
        UninitializeLVScroll(HandleAllocated() ? handle_ : nullptr, true, false, ListSW);
        CommonMessage(m, sd);
        if (HandleAllocated()) RecreateWnd();
        return;
      case LVC_REFRESH:
        if (!own) break;
        CommonMessage(m, sd);
        Repaint();
        RefreshWrapper();
        return;
      case LVC_ENDPARENTUPDATE:
        if (sd->Updating()) {
          sd->SetUpdatingFlag(false);
          Perform(WM_NCPAINT, 0, 0);
          return;
        }
        break;
      case LVC_CTRLHANDLED:
        m.Result = 1;
        return;
      case LVC_GETDEFINDEX:
        HandleSkinCommand(this, sd, m, L"EDIT");
        return;
      default: break;
    }
  }
  const bool skinned = ControlIsReady(this) && sd->Skinned();
  if (skinned) {
    CommonWndProc(m, sd);
    if (m.Msg == SM_LUMICMD && CommonMessage(m, sd)) return;
  }
  inherited::WndProc(m);
  // The scroll events follow the platform's handling, skinned or not: a caller cannot tell the two apart.
  switch (m.Msg) {
    case EM_SCROLLCARET: FOnScrollCaret(this); break;
    case WM_VSCROLL: FOnVScroll(this); break;
    case vcl::CM_SHOWINGCHANGED:
      if (skinned) RefreshWrapper();
      break;
    default: break;
  }
}

VCL_REGISTER(TsDBMemo) {
  cls.Prop(L"SkinData", &TsDBMemo::SkinData, &TsDBMemo::SetSkinData);
  cls.Prop(L"BoundLabel", &TsDBMemo::BoundLabel, &TsDBMemo::SetBoundLabel);
}
