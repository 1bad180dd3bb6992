#pragma once
// The skinning library's shared vocabulary: control kind codes and their sets, state and background flags, the
// enumerations and records that painters and controls exchange, the skin format's constants and the names of the
// standard sections.
#include <array>
#include <cstdint>
#include <initializer_list>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/win.h"
#include "platform/vcl/graphicstypes.h"
#include "platform/vcl/typinfo.h"

namespace vcl {
class TBitmap;
}
class TsSkinManager;

// What the hook of standard windows skins.
VCL_ENUM(TlvSkinningRule, srStdForms, srStdDialogs, srThirdParty)
VCL_SET(TlvSkinningRules, TlvSkinningRule)

VCL_ENUM(TlvOptimizingPriority, opSpeed, opMemory)
VCL_ENUM(TlvAnimType, atFading, atAero)
VCL_ENUM(TlvBtnEvent, beMouseEnter, beMouseLeave, beMouseDown, beMouseUp)
VCL_SET(TlvBtnEvents, TlvBtnEvent)

// The kinds of standard controls whose class names the manager keeps in its ThirdParty lists.
VCL_ENUM(TlvThirdPartyTypes, tpEdit, tpButton, tpBitBtn, tpCheckBox, tpComboBox, tpGrid, tpGroupBox, tpListView,
         tpPanel, tpTreeView, tpwwEdit, tpGridEh, tpVirtualTree, tpPageControl, tpTabControl, tpToolBar, tpStatusBar,
         tpSpeedButton, tpScrollControl, tpUpDownBtn, tpScrollBar, tpStaticText, tpNativePaint)
constexpr int lvLastSupportedType = tpNativePaint;

// The kind of a skin image.
VCL_ENUM(TlvImgType, itisaBorder, itisaTexture, itisaGlyph, itisaGlow, itisaPngGlyph)
// How the middle of a skin image fills its target.
VCL_ENUM(TlvFillMode, fmTiled, fmStretched, fmTiledHorz, fmTiledVert, fmStretchHorzTop, fmStretchVertLeft, fmTileHorBtm,
         fmTileVertRight, fmStretchHorBtm, fmStretchVertRight, fmDisTiled, fmStretchHorz, fmStretchVert, fmReserved1,
         fmReserved2)
VCL_ENUM(TlvBGType, btUnknown, btFill, btCache, btNotReady)
VCL_ENUM(TlvAnimatEvent, aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef)
VCL_SET(TlvAnimatEvents, TlvAnimatEvent)
VCL_ENUM(TlvOuterEffectStyle, oeNone, oeShadow, oeLowered)
VCL_ENUM(TlvOuterVisibility, ovNone, ovAlways)
VCL_ENUM(TlvGrayedMode, gmAlways, gmInactive)
VCL_ENUM(TlvSide, asLeft, asTop, asRight, asBottom)
VCL_ENUM(TlvTabLayout, tlFirst, tlLast, tlMiddle, tlSingle)
VCL_ENUM(TFadeDirection, fdNone, fdUp, fdDown)
VCL_ENUM(TlvAnimTypeCtrl, atcFade, atcAero, atcBlur)
// Scoped: the report library's text alignment has values of the same names, and the screens hold both libraries.
enum class TvaAlign : int { vaTop, vaMiddle, vaBottom };
VCL_ENUM_NAMES(TvaAlign, vaTop, vaMiddle, vaBottom)
VCL_ENUM(TsShadowingShape, ssRectangle, ssEllipse)
VCL_ENUM(TsWindowShowMode, soHide, soNormal, soShowMinimized, soMaximize, soShowNoActivate, soShow, soMinimize,
         soShowMinNoActive, soShowNA, soRestore, soDefault)
VCL_ENUM(TsDisabledKindItem, dkBlended, dkGrayed)
VCL_SET(TsDisabledKind, TsDisabledKindItem)
VCL_ENUM(TsDisabledGlyphKindItem, dgBlended, dgGrayed)
VCL_SET(TsDisabledGlyphKind, TsDisabledGlyphKindItem)
VCL_ENUM(TsCaptionLayout, sclLeft, sclTopLeft, sclTopCenter, sclTopRight, sclLeftTop, sclBottomLeft, sclBottomCenter,
         sclBottomRight)
VCL_ENUM(TPopupWindowAlign, pwaRight, pwaLeft)

// Control kind codes: every skinned control reports one; its skin state chooses the default section from it.
constexpr int COC_TsCustom = 1, COC_TsSpinEdit = 2, COC_TsEdit = 3, COC_TsMemo = 7, COC_TsListBox = 8,
              COC_TsColorBox = 9, COC_TsListView = 10, COC_TsCurrencyEdit = 12, COC_TsComboBox = 13,
              COC_TsTreeView = 14, COC_TsComboBoxEx = 18, COC_TsFrameBar = 19, COC_TsBarTitle = 20, COC_TsCheckBox = 32,
              COC_TsDBCheckBox = 32, COC_TsRadioButton = 33, COC_TsSlider = 34, COC_TsImage = 50, COC_TsPanel = 51,
              COC_TsCoolBar = 53, COC_TsToolBar = 54, COC_TsDragBar = 56, COC_TsTabSheet = 57, COC_TsScrollBox = 58,
              COC_TsMonthCalendar = 59, COC_TsGroupBox = 74, COC_TsSplitter = 75, COC_TsDBEdit = 76, COC_TsDBMemo = 78,
              COC_TsDBComboBox = 81, COC_TsDBLookupComboBox = 82, COC_TsDBListBox = 83, COC_TsDBLookupListBox = 84,
              COC_TsDBGrid = 85, COC_TsSpeedButton = 92, COC_TsButton = 93, COC_TsBitBtn = 94, COC_TsNavButton = 98,
              COC_TsBevel = 110, COC_TsFileDirEdit = 132, COC_TsFilenameEdit = 133, COC_TsDirectoryEdit = 134,
              COC_TsCustomDateEdit = 137, COC_TsComboEdit = 138, COC_TsDateEdit = 140, COC_TsPageControl = 141,
              COC_TsScrollBar = 142, COC_TsTabControl = 143, COC_TsStatusBar = 151, COC_TsHeaderControl = 152,
              COC_TsGauge = 161, COC_TsTrackBar = 165, COC_TsSkinProvider = 224, COC_TsMDIForm = 225,
              COC_TsFrameAdapter = 226, COC_TsAdapter = 230, COC_TsAdapterEdit = 231, COC_Unknown = 250;

// A set of byte values (kind codes), built from single values and ranges.
class TByteSet {
 public:
  struct Range {
    int From, To;
    constexpr Range(int v) : From(v), To(v) {}  // NOLINT: single codes read naturally in the lists below
    constexpr Range(int from, int to) : From(from), To(to) {}
  };
  constexpr TByteSet(std::initializer_list<Range> ranges) {
    for (const Range& r : ranges)
      for (int v = r.From; v <= r.To; ++v) bits_[static_cast<size_t>(v) / 64] |= std::uint64_t{1} << (v % 64);
  }
  constexpr bool Contains(int v) const {
    return v >= 0 && v < 256 && (bits_[static_cast<size_t>(v) / 64] >> (v % 64)) & 1;
  }

 private:
  std::array<std::uint64_t, 4> bits_{};
};

// Never take the mouse-above state.
inline constexpr TByteSet sForbidMouse{19, {51, 74}, 110, {141, 161}};
// Edits that are not hot under the mouse unless lv_AllowHotEdits.
inline constexpr TByteSet sNoHotEdits{{2, 18}, {76, 85}, {132, 140}, 231};
// No hot state and no glow.
inline constexpr TByteSet sCanNotBeHot{51, 54, {56, 59}, 74, 110, 141, 143, 151, 161, 226};
// Treated as edits: focus and hover recolour the control.
inline constexpr TByteSet sEditCtrls{{2, 18}, {76, 84}, {132, 140}, 231};
// Frame recalculated on LVC_REFRESH.
inline constexpr TByteSet ssScrolledEdits{7, 8, 10, 14, 78, 83, 85, 231};

// Control state flags (a skin state's CtrlSkinState, the answer to LVC_GETSKINSTATE).
constexpr unsigned LVCS_FAST = 1, LVCS_BGUNDEF = 2, LVCS_PRINTING = 0x200, LVCS_MNUPDATING = 0x400, LVCS_LOCKED = 0x800,
                   LVCS_FOCUSCHANGING = 0x1000, LVCS_CHANGING = 0x2000, LVCS_BGRECEIVING = 0x4000;

// Background type flags.
constexpr unsigned BGT_NONE = 0, BGT_GRADIENTHORZ = 1, BGT_GRADIENTVERT = 2, BGT_STRETCH = 4, BGT_TEXTURELEFT = 16,
                   BGT_TEXTURETOP = 32, BGT_TEXTURERIGHT = 64, BGT_TEXTUREBOTTOM = 128, BGT_TOPLEFT = 256,
                   BGT_TOPRIGHT = 512, BGT_BOTTOMLEFT = 1024, BGT_BOTTOMRIGHT = 2048;
// Border drawing modes of nine-slice images.
constexpr int BDM_STRETCH = 1, BDM_ACTIVEONLY = 2, BDM_FILL = 4;

// What lies behind a control, handed to every painter.
struct TCacheInfo {
  vcl::TBitmap* Bmp = nullptr;
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t FillColor = 0;
  vcl::TRect FillRect;
  bool Ready = false;
};
inline const TCacheInfo EmptyCI{nullptr, -99, -99, 0xFF00FF, vcl::TRect(), false};

// The answer to LVC_GETBG.
struct TlvBGInfo {
  vcl::TBitmap* Bmp = nullptr;
  std::int32_t Color = 0;
  vcl::TPoint Offset;
  vcl::TRect R;
  vcl::TRect FillRect;
  std::uint8_t BgType = btUnknown;
  bool PleaseDraw = false;
  HDC DrawDC = nullptr;
};

// The LParam of LVC_GETFONTINDEX.
struct TlvPaintInfo {
  std::int32_t State = 0;
  std::int32_t FontIndex = 0;
  vcl::TRect R;
  TsSkinManager* SkinManager = nullptr;
};

// 32-bit colours seen as one value or as bytes. TsColor_ has the byte order of a 32-bit DIB pixel (B, G, R, A);
// TsColor_RGB that of a colour value ($00BBGGRR).
union TsColor {
  std::uint32_t C;
  std::int32_t I;
  struct {
    std::uint8_t R, G, B, A;
  };
};
union TsColor_ {
  std::uint32_t C;
  std::int32_t I;
  struct {
    std::uint8_t B, G, R, A;
  };
};
union TsColor_RGB {
  std::uint32_t Col;
  std::int32_t Intg;
  struct {
    std::uint8_t Red, Green, Blue, Alpha;
  };
};
union TsColor_RGB_ {
  std::uint32_t Col;
  std::int32_t Intg;
  struct {
    std::uint8_t Blue, Green, Red, Alpha;
  };
};
static_assert(sizeof(TsColor) == 4 && sizeof(TsColor_) == 4 && sizeof(TsColor_RGB) == 4 && sizeof(TsColor_RGB_) == 4);

// One piece of a gradient.
#pragma pack(push, 1)
struct TsGradPie {
  std::int32_t Color1 = 0;
  std::int32_t Color2 = 0;
  std::uint8_t Percent = 0;
  std::int32_t Mode1 = 0;
  std::int32_t Mode2 = 0;
};
#pragma pack(pop)

// The skin file format.
constexpr double CompatibleSkinVersion = 7.45;  // read without a warning from here ...
constexpr double MaxCompSkinVersion = 10.99;    // ... to here
constexpr double lvTranspVer = 7.45;
constexpr wchar_t TexChar = L'~';    // texture
constexpr wchar_t CharGlyph = L'@';  // glyph
constexpr wchar_t CharMask = L'^';   // border mask
constexpr wchar_t CharExt = L'!';    // external file
constexpr wchar_t ZeroChar = L'0', CharOne = L'1', CharQuest = L'?', CharDiez = L'#', CharMinus = L'-', CharPlus = L'+',
                  s_Slash = L'\\', s_Space = L' ', s_Comma = L',', s_Dot = L'.';
constexpr int lv_MaxPropsIndex = 2;  // three states per section
inline constexpr std::array<std::uint8_t, 8> PNGMagic = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::int32_t sFuchsia = 0xFF00FF;  // the key colour
constexpr int iMaxFileSize = 30000;
constexpr int lvMaxBlur = 5;
constexpr int ExceptTag = 256;  // the Tag bit that keeps a form or control out of automatic skinning
constexpr int lvMultipNormal = 2, lvMaxIterations = 10, lvTimerInterval = 10, lvAnimationTime = 100;

// Stored numbers to enumeration values.
inline constexpr std::array<TlvImgType, 5> lvImgTypes = {itisaBorder, itisaTexture, itisaGlyph, itisaGlow,
                                                         itisaPngGlyph};
inline constexpr std::array<TlvFillMode, 15> lvFillModes = {
    fmTiled,           fmStretched,   fmTiledHorz,     fmTiledVert,     fmStretchHorzTop,
    fmStretchVertLeft, fmTileHorBtm,  fmTileVertRight, fmStretchHorBtm, fmStretchVertRight,
    fmDisTiled,        fmStretchHorz, fmStretchVert,   fmReserved1,     fmReserved2};
inline constexpr std::array<TlvBtnEvent, 5> lvBtnEvents = {beMouseEnter, beMouseLeave, beMouseDown, beMouseUp,
                                                           beMouseUp};
// Check box states unchecked, checked, grayed.
inline constexpr std::array<int, 3> CheckBoxStates = {0, 1, 2};

// The 32 standard sections.
VCL_ENUM(TlvSection, ssMenuItem, ssCheckBox, ssSpeedButton, ssSpeedButton_Small, ssToolButton, ssTransparent,
         ssGroupBox, ssDivider, ssWebBtn, ssButton, ssToolBar, ssEdit, ssGauge, ssSelection, ssStatusBar, ssPanel,
         ssPanelLow, ssTrackBar, ssColHeader, ssProgressV, ssDragBar, ssGripH, ssGripV, ssProgressH, ssTabSheet,
         ssMenuButton, ssUpDown, ssComboBox, ssCaption, ssMenuLine, ssMainMenu, ssSplitter)
inline constexpr std::array<const wchar_t*, 32> lvSectNames = {
    L"MENUITEM",  L"CHECKBOX",  L"SPEEDBUTTON", L"SPEEDBUTTON_SMALL", L"TOOLBUTTON", L"TRANSPARENT", L"GROUPBOX",
    L"DIVIDER",   L"WEBBUTTON", L"BUTTON",      L"TOOLBAR",           L"EDIT",       L"GAUGE",       L"SELECTION",
    L"STATUSBAR", L"PANEL",     L"PANEL_LOW",   L"TRACKBAR",          L"COLHEADER",  L"PROGRESSV",   L"DRAGBAR",
    L"GRIPH",     L"GRIPV",     L"PROGRESSH",   L"TABSHEET",          L"MENUBTN",    L"UPDOWNBTN",   L"COMBOBOX",
    L"CAPTION",   L"MENULINE",  L"MAINMENU",    L"SPLITTER"};
// True when one of the entries first..last of a 32-entry index array equals index; false when last < first.
bool SectionInArray(const std::array<int, 32>& arr, int index, int first, int last);

// The skin's palette.
VCL_ENUM(TlvPaletteColors, pcMainColor, pcLabelText, pcWebText, pcWebTextHot, pcEditText, pcEditBG, pcSelectionBG,
         pcSelectionText, pcSelectionBG_Focused, pcSelectionText_Focused, pcEditBG_Inverted, pcEditText_Inverted,
         pcEditBG_OddRow, pcEditBG_EvenRow, pcEditText_Ok, pcEditText_Warning, pcEditText_Alert, pcEditText_Caution,
         pcEditText_Bypassed, pcEditBG_Ok, pcEditBG_Warning, pcEditBG_Alert, pcEditBG_Caution, pcEditBG_Bypassed,
         pcEditText_Highlight1, pcEditText_Highlight2, pcEditText_Highlight3, pcBorder)
constexpr int lvPaletteSize = pcBorder + 1;
// The palette entries that follow hue and saturation changes.
inline constexpr TByteSet ChangeableColors{{0, 2}, {4, 13}, 27};

// A skin that cannot be loaded: a damaged packed file or option text, a missing image. The message says what and
// where.
class ESkinError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
  rtl::String ClassName() const override { return L"ESkinError"; }
};
