// The grid wrappers.
#include "skin/windows/lvGridWnd.h"

#include <algorithm>

#include "platform/vcl/colors.h"
#include "platform/vcl/typinfo.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sWndUtils.h"
#include "skin/render/sGraphUtils.h"

namespace {

// Properties by path ("TitleFont.Color"): a missing one, or a nil object on the way, is skipped.
bool Has(rtl::TObject* obj, const wchar_t* path) {
  try {
    return obj && vcl::FindPropPath(obj, path).Prop != nullptr;
  } catch (...) {
    return false;
  }
}
vcl::TColor GetColour(rtl::TObject* obj, const wchar_t* path) {
  return vcl::ColorToRGB(static_cast<vcl::TColor>(vcl::GetOrdProp(obj, path)));
}
int GetOrd(rtl::TObject* obj, const wchar_t* path) { return static_cast<int>(vcl::GetOrdProp(obj, path)); }
void Put(rtl::TObject* obj, const wchar_t* path, rtl::Int64 value) {
  if (Has(obj, path)) vcl::SetOrdProp(obj, path, value);
}
// The four gradient colours: clNone is kept as clBtnFace.
vcl::TColor Gradient(rtl::TObject* obj, const wchar_t* path) {
  const auto raw = static_cast<vcl::TColor>(vcl::GetOrdProp(obj, path));
  return raw == vcl::clNone ? vcl::clBtnFace : vcl::ColorToRGB(raw);
}

bool Destroying(vcl::TControl* c) { return c && c->ComponentState().Contains(vcl::csDestroying); }

bool OwnManager(TsCommonData* sd, const vcl::TMessage& m) {
  return sd && reinterpret_cast<LPARAM>(sd->SkinManager()) == m.LParam;
}

vcl::TColor SectionColour(TsSkinManager* m, const wchar_t* section) {
  const int i = m ? m->GetSkinIndex(section) : -1;
  return m && m->IsValidSkinIndex(i) ? m->gd[static_cast<size_t>(i)].Props[0].Color : vcl::clBtnFace;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Grid.

TlvGridWnd::~TlvGridWnd() {
  if (SkinData && !Destroyed) WriteBackGrid();
}

void TlvGridWnd::SaveStdParams() {
  TlvEditWnd::SaveStdParams();
  rtl::TObject* c = SkinData ? SkinData->OwnerControl() : nullptr;
  if (!c) return;
  const bool look = Has(c, L"ControlLook");
  if (Has(c, L"FixedColor")) FixedColor = GetColour(c, L"FixedColor");
  if (Has(c, L"TitleFont.Color")) TitleFontColor = GetColour(c, L"TitleFont.Color");
  if (look && Has(c, L"FixedFont.Color")) TitleFontColor = GetColour(c, L"FixedFont.Color");
  if (look && Has(c, L"GridFixedLineColor")) GridFixedLineColor = GetColour(c, L"GridFixedLineColor");
  if (look && Has(c, L"GridLineColor")) GridLineColor = GetColour(c, L"GridLineColor");
  if (Has(c, L"ControlLook.FixedGradientFrom")) FixedGradientFrom = Gradient(c, L"ControlLook.FixedGradientFrom");
  if (Has(c, L"ControlLook.FixedGradientTo")) FixedGradientTo = Gradient(c, L"ControlLook.FixedGradientTo");
  if (Has(c, L"ControlLook.FixedGradientMirrorFrom"))
    FixedGradientMirrorFrom = Gradient(c, L"ControlLook.FixedGradientMirrorFrom");
  if (Has(c, L"ControlLook.FixedGradientMirrorTo"))
    FixedGradientMirrorTo = Gradient(c, L"ControlLook.FixedGradientMirrorTo");
  if (look && Has(c, L"SelectionColor")) SelectionColor = GetColour(c, L"SelectionColor");
  if (look && Has(c, L"SelectionTextColor")) SelectionTextColor = GetColour(c, L"SelectionTextColor");
  if (Has(c, L"GridStyle.Title.StartColor")) FixedGradientFrom = GetColour(c, L"GridStyle.Title.StartColor");
  if (Has(c, L"GridStyle.Title.EndColor")) FixedGradientTo = GetColour(c, L"GridStyle.Title.EndColor");
  if (Has(c, L"LineColors.FixedColor")) GridFixedLineColor = GetColour(c, L"LineColors.FixedColor");
  if (Has(c, L"LineColors.DataColor")) GridLineColor = GetColour(c, L"LineColors.DataColor");
  if (Has(c, L"FooterColor")) FooterColor = GetColour(c, L"FooterColor");
  if (Has(c, L"FooterCellColor")) FooterCellColor = GetColour(c, L"FooterCellColor");
  if (Has(c, L"TitleColor")) TitleColor = GetColour(c, L"TitleColor");
  if (Has(c, L"IndicatorIconColor")) IndColor = GetColour(c, L"IndicatorIconColor");
  gridSaved_ = true;
}

void TlvGridWnd::WriteBackGrid() {
  vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
  if (!c || !gridSaved_ || Destroying(c)) return;
  const bool look = Has(c, L"ControlLook");
  Put(c, L"FixedColor", FixedColor);
  Put(c, L"TitleFont.Color", TitleFontColor);
  if (look) {
    Put(c, L"FixedFont.Color", TitleFontColor);
    Put(c, L"GridFixedLineColor", GridFixedLineColor);
    Put(c, L"GridLineColor", GridLineColor);
    Put(c, L"SelectionColor", SelectionColor);
    Put(c, L"SelectionTextColor", SelectionTextColor);
  }
  Put(c, L"ControlLook.FixedGradientFrom", FixedGradientFrom);
  Put(c, L"ControlLook.FixedGradientTo", FixedGradientTo);
  Put(c, L"ControlLook.FixedGradientMirrorFrom", FixedGradientMirrorFrom);
  Put(c, L"ControlLook.FixedGradientMirrorTo", FixedGradientMirrorTo);
  Put(c, L"GridStyle.Title.StartColor", FixedGradientFrom);
  Put(c, L"GridStyle.Title.EndColor", FixedGradientTo);
  Put(c, L"LineColors.FixedColor", GridFixedLineColor);
  Put(c, L"LineColors.DataColor", GridLineColor);
  Put(c, L"LineColors.ShadowColor", GridLineColor);
  Put(c, L"FooterColor", FooterColor);
  Put(c, L"FooterCellColor", FooterCellColor);
  Put(c, L"TitleColor", TitleColor);
  Put(c, L"IndicatorIconColor", IndColor);
}

void TlvGridWnd::RestoreStdParams() {
  TlvEditWnd::RestoreStdParams();
  WriteBackGrid();
}

void TlvGridWnd::SetSkinParams() {
  TlvEditWnd::SetSkinParams();
  vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
  TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
  if (!c || !m || !SkinData->Skinned()) return;
  TsSkinManager* d = DefaultManager ? DefaultManager : m;
  const vcl::TColor main = m->Palette[pcMainColor], editBG = m->Palette[pcEditBG];
  const vcl::TColor lines7 = MixColors(d->Palette[pcEditBG], d->Palette[pcEditText], 0.7);
  const vcl::TColor lines8 = MixColors(d->Palette[pcEditBG], d->Palette[pcEditText], 0.8);
  const bool look = Has(c, L"ControlLook");
  Put(c, L"FixedColor", main);
  Put(c, L"TitleFont.Color", m->Palette[pcLabelText]);
  if (look) {
    Put(c, L"FixedFont.Color", m->Palette[pcLabelText]);
    Put(c, L"GridFixedLineColor", m->Palette[pcBorder]);
    Put(c, L"GridLineColor", lines7);
    Put(c, L"SelectionColor", m->GetHighLightColor(true));
    Put(c, L"SelectionTextColor", m->Palette[pcSelectionText_Focused]);
  }
  Put(c, L"ControlLook.FixedGradientFrom", MixColors(main, editBG, 0.5));
  Put(c, L"ControlLook.FixedGradientTo", main);
  Put(c, L"ControlLook.FixedGradientMirrorFrom", MixColors(main, vcl::clBlack, 0.95));
  Put(c, L"ControlLook.FixedGradientMirrorTo", MixColors(main, vcl::clWhite, 0.9));
  Put(c, L"GridStyle.Title.StartColor", MixColors(main, editBG, 0.5));
  Put(c, L"GridStyle.Title.EndColor", main);
  Put(c, L"LineColors.FixedColor", m->Palette[pcBorder]);
  Put(c, L"LineColors.DataColor", lines8);
  Put(c, L"LineColors.ShadowColor", lines8);
  const vcl::TColor info = SectionColour(m, L"GLOBALINFO");
  Put(c, L"FooterColor", info);
  Put(c, L"FooterCellColor", info);
  Put(c, L"TitleColor", info);
  if (m->IsValidSkinIndex(SkinData->SkinIndex))
    Put(c, L"IndicatorIconColor", m->gd[static_cast<size_t>(SkinData->SkinIndex)].Props[0].FontColor.Color);
}

void TlvGridWnd::lvWndProc(vcl::TMessage& message) {
  if (!SkinData || Destroyed || !SkinActive()) {
    TlvEditWnd::lvWndProc(message);
    return;
  }
  const HWND h = CtrlHandle;
  vcl::TControl* c = SkinData->OwnerControl();
  switch (message.Msg) {
    case WM_ERASEBKGND:
      // The grid paints every cell itself.
      message.Result = 1;
      return;
    case WM_VSCROLL:
      if (Has(c, L"DataSource")) {
        const int code = LOWORD(message.WParam);
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        GetScrollInfo(h, SB_VERT, &si);
        if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
          si.fMask = SIF_ALL;
          si.nPos = si.nTrackPos;
          SetScrollInfo(h, SB_VERT, &si, FALSE);
        } else if (code == SB_ENDSCROLL && c->ClassName() != L"TwwDBGrid") {
          SendScrollMessage(h, WM_VSCROLL, SB_THUMBPOSITION, si.nTrackPos);
        }
      }
      break;
    case WM_PRINT: {
      TlvEditWnd::lvWndProc(message);
      auto dc = reinterpret_cast<HDC>(message.WParam);
      vcl::TBitmap* cache = SkinData->CacheBmp();
      if (!dc || !cache) return;
      const int e = std::max(0, cxLeftEdge);
      const int saved = SaveDC(dc);
      POINT org;
      GetViewportOrgEx(dc, &org);
      SetViewportOrgEx(dc, org.x + e, org.y + e, nullptr);
      const int vbar = sBarVert && sBarVert->fScrollVisible ? GetScrollMetric(sBarVert.get(), SM_SCROLLWIDTH) : 0;
      const int hbar = sBarHorz && sBarHorz->fScrollVisible ? GetScrollMetric(sBarHorz.get(), SM_SCROLLWIDTH) : 0;
      IntersectClipRect(dc, 0, 0, cache->Width() - 2 * e - vbar, cache->Height() - 2 * e - hbar);
      SendMessageW(h, WM_PAINT, message.WParam, 0);
      RestoreDC(dc, saved);
      return;
    }
    default:
      break;
  }
  TlvEditWnd::lvWndProc(message);
  if (Destroyed || !SkinData) return;
  switch (message.Msg) {
    case WM_PAINT:
      UpdateScrolls(this, true);
      break;
    case WM_WINDOWPOSCHANGED:
      if (IsWindowVisible(h)) ProcessMessage(WM_NCPAINT, 0, 0);
      break;
    case SM_LUMICMD:
      // The platform's own bars come back: the grid sets its bars to none and back.
      if (message.WParamHi() == LVC_REMOVESKIN && OwnManager(SkinData, message) && Has(c, L"ScrollBars")) {
        const int bars = GetOrd(c, L"ScrollBars");
        Put(c, L"ScrollBars", 0);
        Put(c, L"ScrollBars", bars);
      }
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Extended grid.

TlvGridEhWnd::~TlvGridEhWnd() {
  if (SkinData && !Destroyed) WriteBackEh();
}

void TlvGridEhWnd::SaveStdParams() {
  TlvGridWnd::SaveStdParams();
  rtl::TObject* c = SkinData ? SkinData->OwnerControl() : nullptr;
  if (!c) return;
  if (lvThemesEnabled() && Has(c, L"OptionsEh"))
    Fixed3D = vcl::GetSetProp(c, L"OptionsEh", false).find(L"dghFixed3D") != rtl::String::npos;
  if (Has(c, L"EvenRowColor")) {
    const auto raw = static_cast<vcl::TColor>(vcl::GetOrdProp(c, L"EvenRowColor"));
    EvenRowColor = raw == vcl::clNone ? vcl::clWindow : vcl::ColorToRGB(raw);
  }
  if (Has(c, L"OddRowColor")) {
    const auto raw = static_cast<vcl::TColor>(vcl::GetOrdProp(c, L"OddRowColor"));
    OddRowColor = raw == vcl::clNone ? vcl::clWindow : vcl::ColorToRGB(raw);
  }
  if (Has(c, L"GridLineParams.BrightColor")) BrightColor = GetColour(c, L"GridLineParams.BrightColor");
  if (Has(c, L"GridLineParams.DataHorzColor")) DataHorzColor = GetColour(c, L"GridLineParams.DataHorzColor");
  if (Has(c, L"GridLineParams.DataVertColor")) DataVertColor = GetColour(c, L"GridLineParams.DataVertColor");
  if (Has(c, L"GridLineParams.DarkColor")) DarkColor = GetColour(c, L"GridLineParams.DarkColor");
  if (Has(c, L"IndicatorParams.Color")) IndColor = GetColour(c, L"IndicatorParams.Color");
  if (Has(c, L"IndicatorParams.HorzLines")) IndHorzLines = GetOrd(c, L"IndicatorParams.HorzLines");
  if (Has(c, L"IndicatorParams.VertLines")) IndVertLines = GetOrd(c, L"IndicatorParams.VertLines");
  if (Has(c, L"IndicatorParams.FillStyle")) InfFillStyle = GetOrd(c, L"IndicatorParams.FillStyle");
  if (Has(c, L"TitleParams.Color")) TitleColor = GetColour(c, L"TitleParams.Color");
  if (Has(c, L"TitleParams.SecondColor")) FixedGradientTo = GetColour(c, L"TitleParams.SecondColor");
  if (Has(c, L"TitleParams.FillStyle")) TitleFillStyle = GetOrd(c, L"TitleParams.FillStyle");
  if (Has(c, L"TitleParams.VertLineColor")) GridFixedLineColor = GetColour(c, L"TitleParams.VertLineColor");
  if (Has(c, L"DataGrouping.ParentColor") && GetOrd(c, L"DataGrouping.ParentColor") == 1 &&
      Has(c, L"DataGrouping.Color"))
    DataGroupColor = GetColour(c, L"DataGrouping.Color");
  if (Has(c, L"RowCategories.Color")) CategoriesColor = GetColour(c, L"RowCategories.Color");
  if (Has(c, L"RowCategories.Font.Color")) CategoriesFontColor = GetColour(c, L"RowCategories.Font.Color");
  if (Has(c, L"RowDetailPanel.Color")) RowDetailColor = GetColour(c, L"RowDetailPanel.Color");
  ehSaved_ = true;
}

void TlvGridEhWnd::WriteBackEh() {
  vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
  // The extended grid's own properties go back even while it is being destroyed.
  if (!c || !ehSaved_) return;
  if (Fixed3D && lvThemesEnabled() && Has(c, L"OptionsEh")) SetSetPropValue(c, L"OptionsEh", L"dghFixed3D", true);
  Put(c, L"EvenRowColor", EvenRowColor);
  Put(c, L"OddRowColor", OddRowColor);
  Put(c, L"GridLineParams.BrightColor", BrightColor);
  Put(c, L"GridLineParams.DataHorzColor", DataHorzColor);
  Put(c, L"GridLineParams.DataVertColor", DataVertColor);
  Put(c, L"GridLineParams.DarkColor", DarkColor);
  Put(c, L"IndicatorParams.Color", IndColor);
  Put(c, L"IndicatorParams.HorzLines", IndHorzLines);
  Put(c, L"IndicatorParams.VertLines", IndVertLines);
  Put(c, L"IndicatorParams.FillStyle", InfFillStyle);
  Put(c, L"TitleParams.Color", TitleColor);
  Put(c, L"TitleParams.SecondColor", FixedGradientTo);
  Put(c, L"TitleParams.FillStyle", TitleFillStyle);
  Put(c, L"TitleParams.VertLineColor", GridFixedLineColor);
  if (Has(c, L"DataGrouping.ParentColor") && GetOrd(c, L"DataGrouping.ParentColor") == 1)
    Put(c, L"DataGrouping.Color", DataGroupColor);
  Put(c, L"RowCategories.Color", CategoriesColor);
  Put(c, L"RowCategories.Font.Color", CategoriesFontColor);
  Put(c, L"RowDetailPanel.Color", RowDetailColor);
}

void TlvGridEhWnd::RestoreStdParams() {
  TlvGridWnd::RestoreStdParams();
  WriteBackEh();
}

void TlvGridEhWnd::SetSkinParams() {
  TlvGridWnd::SetSkinParams();
  vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
  TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
  if (!c || !m || !SkinData->Skinned()) return;
  const vcl::TColor main = m->Palette[pcMainColor], editBG = m->Palette[pcEditBG], editText = m->Palette[pcEditText];
  const vcl::TColor light = MixColors(vcl::clWhite, main, 0.1);
  if (lvThemesEnabled() && Has(c, L"OptionsEh")) SetSetPropValue(c, L"OptionsEh", L"dghFixed3D", false);
  // Rows striped on purpose stay striped; equal rows stay equal.
  if (EvenRowColor != OddRowColor) {
    Put(c, L"EvenRowColor", m->Palette[pcEditBG_EvenRow]);
    Put(c, L"OddRowColor", m->Palette[pcEditBG_OddRow]);
  }
  Put(c, L"GridLineParams.BrightColor", MixColors(vcl::clWhite, editBG, 0.2));
  Put(c, L"GridLineParams.DataHorzColor", MixColors(editText, editBG, 0.2));
  Put(c, L"GridLineParams.DataVertColor", MixColors(editText, editBG, 0.2));
  Put(c, L"GridLineParams.DarkColor", MixColors(vcl::clBlack, main, 0.3));
  Put(c, L"IndicatorParams.Color", main);
  Put(c, L"IndicatorParams.HorzLines", 0);
  Put(c, L"IndicatorParams.VertLines", 0);
  Put(c, L"IndicatorParams.FillStyle", 2);
  Put(c, L"TitleParams.Color", main);
  Put(c, L"TitleParams.SecondColor", light);
  Put(c, L"TitleParams.FillStyle", 3);
  Put(c, L"TitleParams.VertLineColor", m->Palette[pcBorder]);
  if (Has(c, L"DataGrouping.ParentColor") && GetOrd(c, L"DataGrouping.ParentColor") == 1)
    Put(c, L"DataGrouping.Color", light);
  Put(c, L"RowCategories.Color", light);
  Put(c, L"RowCategories.Font.Color", m->Palette[pcLabelText]);
  Put(c, L"RowDetailPanel.Color", main);
}

void TlvGridEhWnd::lvWndProc(vcl::TMessage& message) {
  TlvGridWnd::lvWndProc(message);
  if (Destroyed || !SkinData || !SkinActive()) return;
  if (message.Msg == WM_PARENTNOTIFY && LOWORD(message.WParam) == WM_CREATE && DefaultManager &&
      DefaultManager->SkinningRules().Contains(srThirdParty))
    if (auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl())) AddToAdapter(win);
}
