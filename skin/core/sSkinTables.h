#pragma once
// A loaded skin as tables: the sections (gd), the images and masks (ma), the bitmaps of external image files
// (ExtArray), the two outer effects (oe), the palette, the master bitmap and the cached indexes of well-known
// sections and images (ConstData). Painters find what they need by name once and then work with 0-based indexes;
// -1 always means absent. Names compare exactly (case-sensitive).
//
// A skin manager is a set of these tables; a load fills a fresh set and takes it over only when it succeeded, so a
// damaged skin never leaves half-filled tables behind.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/colors.h"
#include "skin/core/sConst.h"
#include "skin/render/sGradient.h"

class TsSkinManager;

// The text colour of a state and the colours of its contour on each side (-1 = no contour).
struct TsFontColor {
  std::int32_t Color = 0;
  std::int32_t Left = -1;
  std::int32_t Top = -1;
  std::int32_t Right = -1;
  std::int32_t Bottom = -1;
};

// The look of a section in one state.
struct TsGenState {
  std::int32_t GlowSize = 0;
  std::int32_t ImagePercent = 0;
  std::int32_t TextureIndex = -1;
  std::int32_t Transparency = 0;
  std::int32_t GradientPercent = 0;
  std::int32_t Color = 0xFFFFFF;
  std::int32_t GlowColor = 0xFFFFFF;
  TsFontColor FontColor;
  TsGradArray GradientArray;
};
// The values a state has when its keys are missing.
inline const TsGenState lvDefProp{};

// The option-file keys of the twelve state values, one row per state (normal, hot, third).
inline constexpr std::array<std::array<const wchar_t*, 12>, 3> lvPropsArray = {{
    {L"COLOR", L"FONTCOLOR", L"TCLEFT", L"TCTOP", L"TCRIGHT", L"TCBOTTOM", L"GCOL", L"GSIZE", L"GRADIENTPERCENT",
     L"GRADIENTDATA", L"IMAGEPERCENT", L"TRANSPARENCY"},
    {L"HOTCOLOR", L"HOTFONTCOLOR", L"HOTTCLEFT", L"HOTTCTOP", L"HOTTCRIGHT", L"HOTTCBOTTOM", L"HGCOL", L"HGSIZE",
     L"HOTGRADIENTPERCENT", L"HOTGRADIENTDATA", L"HOTIMAGEPERCENT", L"HOTTRANSPARENCY"},
    {L"COLOR2", L"FONTCOLOR2", L"TCLEFT2", L"TCTOP2", L"TCRIGHT2", L"TCBOTTOM2", L"GCOL2", L"GSIZE2",
     L"GRADIENTPERCENT2", L"GRADIENTDATA2", L"IMAGEPERCENT2", L"TRANSPARENCY2"},
}};

// One section of the skin.
struct TsGeneralData {
  rtl::String ParentClass;
  rtl::String ClassName;
  std::array<TsGenState, 3> Props;
  bool UseState2 = false;
  bool GiveOwnFont = false;
  bool ReservedBoolean = false;
  std::int32_t States = 3;
  std::int32_t ScrollBorderOffset = 0;
  std::int32_t GlowCount = 0;
  std::int32_t GlowMargin = 0;
  std::int32_t GlowSize = 0;
  std::int32_t HotGlowSize = 0;
  std::int32_t HotGlowColor = 0;
  std::int32_t GlowColor = 0;
  std::int32_t BorderIndex = -1;
  std::int32_t ImgTL = -1;
  std::int32_t ImgTR = -1;
  std::int32_t ImgBL = -1;
  std::int32_t ImgBR = -1;
  std::int32_t OuterMode = 2;
  std::int32_t OuterMask = -1;
  std::int32_t OuterOpacity = 200;
  vcl::TRect OuterOffset;
};

// One image or mask. Bmp is its own bitmap (external files, synthesised masks), or nullptr when the image is the
// rectangle R of the manager's master bitmap. An image owns its bitmap unless an ExtArray entry does.
struct TsMaskData {
  vcl::TBitmap* Bmp = nullptr;
  std::unique_ptr<vcl::TBitmap> OwnBmp;
  rtl::String ClassName;
  rtl::String PropertyName;
  vcl::TRect R;
  std::int16_t ImageCount = 0;
  std::int16_t MaskType = 0;
  std::int16_t BorderWidth = 0;
  std::int16_t DrawMode = 0;
  TlvImgType ImgType = itisaBorder;
  TsSkinManager* Manager = nullptr;
  std::int16_t WL = 0;
  std::int16_t WT = 0;
  std::int16_t WR = 0;
  std::int16_t WB = 0;
  std::int32_t CornerType = 0;
  std::int32_t SkinIndex = -1;
};

// The bitmap of an external image file, shared by every image that names the file.
struct TlvExtFileData {
  std::unique_ptr<vcl::TBitmap> Bmp;
  rtl::String FileName;  // as written in the option file, upper case
  std::int32_t MaskType = 0;
};

// An outer effect: [0] the lowered effect (keys LO_), [1] the shadow (keys SH_).
struct TlvOutEffData {
  std::int32_t ColorL = 0, ColorT = 0, ColorR = 0, ColorB = 0;
  std::int32_t OffsetL = 0, OffsetT = 0, OffsetR = 0, OffsetB = 0;
  std::int32_t WidthL = -1, WidthT = -1, WidthR = -1, WidthB = -1;
  std::int32_t Mask = -1;
  std::int32_t Source = 2;
  std::int32_t Opacity = 0;
};

// The global description of a skin (its GLOBALINFO values).
struct TsSkinData {
  bool Active = false;
  bool UseAeroBluring = false;
  rtl::String Author;
  rtl::String Description;
  rtl::String SkinPath;
  std::int32_t Shadow1Offset = 0;
  std::int32_t Shadow1Blur = -1;
  std::int32_t Shadow1Transparency = 0;
  std::int32_t Shadow1Color = 0;
  std::int32_t ExBorderWidth = 4;
  std::int32_t ExTitleHeight = 30;
  std::int32_t ExMaxHeight = 0;
  std::int32_t ExContentOffs = 0;
  std::int32_t ExCenterOffs = 0;
  std::int32_t ExDrawMode = 0;
  std::int32_t ExShadowOffs = 0;
  std::int32_t ExShadowOffsR = 0;
  std::int32_t ExShadowOffsT = 0;
  std::int32_t ExShadowOffsB = 0;
  std::int32_t BISpacing = 0, BIVAlign = 0, BIRightMargin = 0, BILeftMargin = 0, BITopMargin = 0;
  std::int32_t BIKeepHUE = 0;
  std::int32_t BICloseGlow = 0, BICloseGlowMargin = 0, BIMaxGlow = 0, BIMaxGlowMargin = 0, BIMinGlow = 0,
               BIMinGlowMargin = 0;
  std::int32_t ComboBoxMargin = 2;
  std::int32_t BrightMin = -50;
  std::int32_t BrightMax = 50;
  std::int32_t TabsCovering = 0;
  std::int32_t RibbonCovering = 0;
  std::int32_t FXColor = 0;
  double Version = 0;
};

// The cached indexes of one well-known element: its section, border mask, glyph and textures.
struct TlvConstElementData {
  std::int32_t SkinIndex = -1;
  std::int32_t MaskIndex = -1;
  std::int32_t GlyphIndex = -1;
  std::array<std::int32_t, 3> BGIndex{-1, -1, -1};
  rtl::String SkinSection;
};

struct TConstantSkinData {
  std::array<TlvConstElementData, 4> Scrolls;
  std::array<TlvConstElementData, 4> ScrollBtns;
  std::array<TlvConstElementData, 4> UpDownBtns;
  std::array<TlvConstElementData, 2> Sliders;
  TlvConstElementData MenuItem;
  TlvConstElementData ComboBtn;
  std::int32_t MaskCloseBtn = -1, MaskCloseAloneBtn = -1, MaskMaxBtn = -1, MaskNormBtn = -1, MaskMinBtn = -1,
               MaskHelpBtn = -1;
  std::int32_t MaskCloseSmall = -1, MaskMaxSmall = -1, MaskNormSmall = -1, MaskMinSmall = -1, MaskHelpSmall = -1;
  std::array<std::int32_t, 2> RadioButton{-1, -1};
  std::array<std::int32_t, 3> CheckBox{-1, -1, -1};
  std::array<std::int32_t, 3> SmallCheckBox{-1, -1, -1};
  std::int32_t ExBorder = -1;
  std::int32_t IndexGLobalInfo = -1;
  std::int32_t GripRightBottom = -1, GripHorizontal = -1, GripVertical = -1;
  std::array<int, 32> Sections{};
  // Index = layout * 4 + side (TlvTabLayout, TlvSide).
  std::array<TlvConstElementData, 16> Tabs;
  TConstantSkinData() { Sections.fill(-1); }
};

using TlvPalette = std::array<vcl::TColor, lvPaletteSize>;

class TsSkinTables {
 public:
  TsSkinTables();
  virtual ~TsSkinTables();
  TsSkinTables(TsSkinTables&&) noexcept;
  TsSkinTables& operator=(TsSkinTables&&) noexcept;

  std::vector<TsGeneralData> gd;
  std::vector<TsMaskData> ma;
  std::vector<TlvExtFileData> ExtArray;
  std::array<TlvOutEffData, 2> oe;
  TlvPalette Palette{};
  // The skin's master image: every image without a bitmap of its own is a rectangle of it.
  std::unique_ptr<vcl::TBitmap> MasterBitmap;
  TConstantSkinData ConstData;

  // Lookups. Indexes are 0-based, -1 = absent; names compare exactly.
  int GetSkinIndex(const rtl::String& skinSection) const;
  // First image of section skinIndex named propName; else the same search in the parent section (when the
  // parent's name differs from skinSection).
  int GetMaskIndex(int skinIndex, const rtl::String& skinSection, const rtl::String& propName) const;
  // First image of the section named skinSection with that property name; no inheritance.
  int GetMaskIndex(const rtl::String& skinSection, const rtl::String& propName) const;
  // First image of section skinIndex named propName; else along the chain of parent classes.
  int GetMaskIndex(int skinIndex, const rtl::String& propName) const;
  int GetTextureIndex(int skinIndex, const rtl::String& skinSection, const rtl::String& propName) const;
  int GetTextureIndex(int skinIndex, const rtl::String& propName) const;
  bool IsValidSkinIndex(int skinIndex) const;
  bool IsValidImgIndex(int imageIndex) const;
  // Border widths of a mask (the index must be valid).
  int MaskWidthLeft(int maskIndex);
  int MaskWidthTop(int maskIndex);
  int MaskWidthRight(int maskIndex);
  int MaskWidthBottom(int maskIndex);
  // Palette colours.
  vcl::TColor GetGlobalColor() const { return Palette[pcMainColor]; }
  vcl::TColor GetGlobalFontColor() const { return Palette[pcLabelText]; }
  vcl::TColor GetActiveEditColor() const { return Palette[pcEditBG]; }
  vcl::TColor GetActiveEditFontColor() const { return Palette[pcEditText]; }
  vcl::TColor GetHighLightColor(bool focused) const {
    return focused ? Palette[pcSelectionBG_Focused] : Palette[pcSelectionBG];
  }
  vcl::TColor GetHighLightFontColor(bool focused) const {
    return focused ? Palette[pcSelectionText_Focused] : Palette[pcSelectionText];
  }

  // The cached indexes, recomputed after each load and when skinning is switched off.
  void InitConstantIndexes();
  void InitMaskIndexes();
  // Empties every table.
  void ClearTables();

 private:
  void ReadConstElementData(TlvConstElementData& e, const rtl::String& name1, const rtl::String& name2 = {},
                            const rtl::String& name3 = {});
  int GlobalImage(const wchar_t* name) const;
};
