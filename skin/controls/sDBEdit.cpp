#include "skin/controls/sDBEdit.h"

#include "skin/controls/sSkinCommands.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/windows/lvSBUtils.h"

TsDBEdit::TsDBEdit(vcl::TComponent* owner)
    : db::TDBEdit(owner), FCommonData(std::make_unique<TsScrollWndData>(this, true)) {
  FCommonData->COC = COC_TsDBEdit;
  FBoundLabel = std::make_unique<TsBoundLabel>(this, FCommonData.get());
}

TsDBEdit::~TsDBEdit() {
  UninitializeLVScroll(HandleAllocated() ? handle_ : nullptr, true, false, ListSW);
  FBoundLabel.reset();
  FCommonData.reset();
}

void TsDBEdit::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsDBEdit::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
  if (FBoundLabel->Active()) FBoundLabel->SetActive(true);
  RefreshWrapper();
}

void TsDBEdit::RefreshWrapper() {
  // A window is not made just for the wrapper: one that has none yet gets its wrapper when it is shown.
  if (HandleAllocated() || !FCommonData->Skinned()) RefreshEditScrolls(FCommonData.get(), ListSW);
}

void TsDBEdit::SetDisabledKind(TsDisabledKind value) {
  if (FDisabledKind == value) return;
  FDisabledKind = value;
  FCommonData->Invalidate();
}

void TsDBEdit::WndProc(vcl::TMessage& m) {
  SkinnedWndProc(m);
  if (FBoundLabel) FBoundLabel->HandleOwnerMsg(m, this);
}

void TsDBEdit::SkinnedWndProc(vcl::TMessage& m) {
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
        // The platform's own painting and window styles come back with a new window.
        if (HandleAllocated()) RecreateWnd();
        return;
      case LVC_REFRESH:
        if (!own) break;
        CommonMessage(m, sd);
        if (!InAnimationProcess && HandleAllocated())
          RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
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
  if (!(ControlIsReady(this) && sd->Skinned())) {
    inherited::WndProc(m);
    return;
  }
  if (CommonWndProc(m, sd)) return;
  if (m.Msg == SM_LUMICMD && CommonMessage(m, sd)) return;
  inherited::WndProc(m);
  switch (m.Msg) {
    case WM_SETFONT:
    case vcl::CM_VISIBLECHANGED:
    case vcl::CM_ENABLEDCHANGED:
    case vcl::CM_TEXTCHANGED:
      sd->Invalidate();
      break;
    case vcl::CM_SHOWINGCHANGED:
      RefreshWrapper();
      break;
    case WM_PRINT: {
      // The client painting of the edit lands two pixels in, inside the frame the wrapper printed.
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      vcl::TBitmap* cache = sd->CacheBmp();
      const int saved = SaveDC(dc);
      control_state_ += vcl::csPaintCopy;
      POINT org;
      GetWindowOrgEx(dc, &org);
      SetWindowOrgEx(dc, org.x - 2, org.y - 2, nullptr);
      if (cache) IntersectClipRect(dc, 0, 0, cache->Width() - 4, cache->Height() - 4);
      SendMessageW(handle_, WM_PAINT, m.WParam, m.LParam);
      control_state_ -= vcl::csPaintCopy;
      RestoreDC(dc, saved);
      break;
    }
    default: break;
  }
}

VCL_REGISTER(TsDBEdit) {
  cls.Prop(L"SkinData", &TsDBEdit::SkinData, &TsDBEdit::SetSkinData);
  cls.Prop(L"BoundLabel", &TsDBEdit::BoundLabel, &TsDBEdit::SetBoundLabel);
}
