#include "skin/controls/sDBRichEdit.h"

#include <richedit.h>

#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sSkinCommands.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/windows/lvSBUtils.h"
#include "skin/render/sPixels.h"

TsDBRichEdit::TsDBRichEdit(vcl::TComponent* owner)
    : db::TDBRichEdit(owner), FCommonData(std::make_unique<TsScrollWndData>(this, true)) {
  FCommonData->COC = COC_TsMemo;
  FBoundLabel = std::make_unique<TsBoundLabel>(this, FCommonData.get());
  control_style_ += vcl::csReplicatable;
}

TsDBRichEdit::~TsDBRichEdit() {
  UninitializeLVScroll(HandleAllocated() ? handle_ : nullptr, true, false, ListSW);
  FBoundLabel.reset();
  FCommonData.reset();
}

void TsDBRichEdit::AfterConstruction() {
  inherited::AfterConstruction();
  // Only the section is picked here; the rest of the skin state's loading follows in Loaded.
  FCommonData->UpdateData();
}

void TsDBRichEdit::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
  if (FBoundLabel->Active()) FBoundLabel->SetActive(true);
  RefreshWrapper();
}

void TsDBRichEdit::RefreshWrapper() {
  // A window is not made just for the wrapper: one that has none yet gets its wrapper when it is shown.
  if (HandleAllocated() || !FCommonData->Skinned()) RefreshEditScrolls(FCommonData.get(), ListSW);
}

void TsDBRichEdit::SetDisabledKind(TsDisabledKind value) {
  if (FDisabledKind == value) return;
  FDisabledKind = value;
  FCommonData->Invalidate();
}

void TsDBRichEdit::SetZoom(int value) {
  if (value <= 0 || value == FZoom) return;
  FZoom = value;
  if (HandleAllocated()) SendMessageW(handle_, EM_SETZOOM, static_cast<WPARAM>(FZoom), 100);
}

void TsDBRichEdit::InitializeWnd() {
  db::TDBRichEdit::InitializeWnd();
  if (FZoom != 100) SendMessageW(handle_, EM_SETZOOM, static_cast<WPARAM>(FZoom), 100);
}

void TsDBRichEdit::Change() {
  if (!Refreshing) inherited::Change();
}

vcl::TColor TsDBRichEdit::DefaultTextColor() const {
  if (!HandleAllocated()) return Font()->Color();
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  cf.dwMask = CFM_COLOR;
  SendMessageW(handle_, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  return static_cast<vcl::TColor>(cf.crTextColor);
}

void TsDBRichEdit::SetDefaultTextColor(vcl::TColor colour) {
  if (!HandleAllocated()) return;
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  cf.dwMask = CFM_COLOR;
  cf.crTextColor = vcl::ColorToGdi(colour);
  SendMessageW(handle_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
}

void TsDBRichEdit::WndProc(vcl::TMessage& m) {
  SkinnedWndProc(m);
  if (FBoundLabel) FBoundLabel->HandleOwnerMsg(m, this);
}

void TsDBRichEdit::SkinnedWndProc(vcl::TMessage& m) {
  TsScrollWndData* sd = FCommonData.get();
  auto sectionColour = [&](bool font) -> vcl::TColor {
    const TsGeneralData* g = sctrl::Section(sd);
    if (!g) return font ? Font()->Color() : Color();
    return font ? g->Props[0].FontColor.Color : g->Props[0].Color;
  };
  if (m.Msg == SM_LUMICMD) {
    const bool own = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
    switch (m.WParamHi()) {
      case LVC_SETNEWSKIN:
        if (!own) break;
        CommonMessage(m, sd);
        return;
      case LVC_REMOVESKIN:
        if (!own || IsDestroying()) break;
        UninitializeLVScroll(HandleAllocated() ? handle_ : nullptr, true, false, ListSW);
        CommonMessage(m, sd);
        if (!sd->CustomFont()) SetDefaultTextColor(Font()->Color());
        if (HandleAllocated()) RecreateWnd();
        return;
      case LVC_REFRESH:
        if (!own || !Visible()) break;
        Refreshing = true;
        CommonMessage(m, sd);
        if (sd->Skinned() && !sd->CustomFont()) SetDefaultTextColor(sectionColour(true));
        if (HandleAllocated()) SendMessageW(handle_, WM_NCPAINT, 0, 0);
        RefreshWrapper();
        Refreshing = false;
        return;
      case LVC_CTRLHANDLED:
        m.Result = 1;
        return;
      case LVC_GETDEFINDEX:
        HandleSkinCommand(this, sd, m, L"EDIT");
        return;
      default: break;
    }
  }
  if (!(sd && ControlIsReady(this) && sd->Skinned())) {
    inherited::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ENABLE:
      return;
    case WM_PRINT:
      Perform(WM_PAINT, m.WParam, m.LParam);
      Perform(WM_NCPAINT, m.WParam, m.LParam);
      return;
    case SM_LUMICMD:
      if (m.WParamHi() == LVC_ENDPARENTUPDATE && sd->Updating()) {
        sd->SetUpdatingFlag(false);
        Perform(WM_NCPAINT, 0, 0);
        return;
      }
      if (CommonMessage(m, sd)) return;
      break;
    default: break;
  }
  CommonWndProc(m, sd);
  inherited::WndProc(m);
  if (m.Msg == vcl::CM_ENABLEDCHANGED) {
    // Recolouring is not an edit of the field.
    const bool was = Refreshing;
    Refreshing = true;
    if (!sd->CustomColor()) SetColor(sectionColour(false));
    if (!sd->CustomFont()) {
      if (Enabled()) {
        Font()->SetColor(sectionColour(true));
        SetDefaultTextColor(sectionColour(true));
      } else {
        Font()->SetColor(AverageColor(sectionColour(true), Color()));
        SetDefaultTextColor(Font()->Color());
      }
    }
    Refreshing = was;
  } else if (m.Msg == vcl::CM_SHOWINGCHANGED) {
    RefreshWrapper();
  }
}

VCL_REGISTER(TsDBRichEdit) {
  cls.Prop(L"SkinData", &TsDBRichEdit::SkinData, &TsDBRichEdit::SetSkinData);
  cls.Prop(L"BoundLabel", &TsDBRichEdit::BoundLabel, &TsDBRichEdit::SetBoundLabel);
  cls.Prop(L"Zoom", &TsDBRichEdit::Zoom, &TsDBRichEdit::SetZoom).Default(100);
}
