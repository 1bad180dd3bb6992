#include "skin/core/sSkinTables.h"

#include "skin/core/sMaskData.h"

using rtl::String;

TsSkinTables::TsSkinTables() = default;
TsSkinTables::~TsSkinTables() = default;
TsSkinTables::TsSkinTables(TsSkinTables&&) noexcept = default;
TsSkinTables& TsSkinTables::operator=(TsSkinTables&&) noexcept = default;

void TsSkinTables::ClearTables() {
  gd.clear();
  ma.clear();
  ExtArray.clear();
  oe = {};
  Palette = {};
  MasterBitmap.reset();
}

int TsSkinTables::GetSkinIndex(const String& skinSection) const {
  if (skinSection.empty()) return -1;
  for (size_t i = 0; i < gd.size(); ++i)
    if (gd[i].ClassName == skinSection) return static_cast<int>(i);
  return -1;
}

bool TsSkinTables::IsValidSkinIndex(int skinIndex) const {
  return skinIndex >= 0 && static_cast<size_t>(skinIndex) < gd.size();
}

bool TsSkinTables::IsValidImgIndex(int imageIndex) const {
  return imageIndex >= 0 && static_cast<size_t>(imageIndex) < ma.size();
}

// The parent chains are followed at most once around the table: a chain that returns to a section it passed
// (A names B, B names A) ends the search with -1 instead of running for ever.
int TsSkinTables::GetMaskIndex(int skinIndex, const String& skinSection, const String& propName) const {
  String section = skinSection;
  for (size_t step = 0; step <= gd.size(); ++step) {
    if (skinIndex < 0) return -1;
    for (size_t i = 0; i < ma.size(); ++i)
      if (ma[i].SkinIndex == skinIndex && ma[i].PropertyName == propName) return static_cast<int>(i);
    if (!IsValidSkinIndex(skinIndex)) return -1;
    const String& parent = gd[static_cast<size_t>(skinIndex)].ParentClass;
    if (parent.empty() || parent == section) return -1;
    section = parent;
    skinIndex = GetSkinIndex(parent);
  }
  return -1;
}

int TsSkinTables::GetMaskIndex(const String& skinSection, const String& propName) const {
  if (skinSection.empty()) return -1;
  for (size_t i = 0; i < ma.size(); ++i)
    if (ma[i].ClassName == skinSection && ma[i].PropertyName == propName) return static_cast<int>(i);
  return -1;
}

int TsSkinTables::GetMaskIndex(int skinIndex, const String& propName) const {
  for (size_t step = 0; step <= gd.size(); ++step) {
    if (skinIndex < 0) return -1;
    for (size_t i = 0; i < ma.size(); ++i)
      if (ma[i].SkinIndex == skinIndex && ma[i].PropertyName == propName) return static_cast<int>(i);
    if (!IsValidSkinIndex(skinIndex)) return -1;
    const String& parent = gd[static_cast<size_t>(skinIndex)].ParentClass;
    if (parent.empty()) return -1;
    skinIndex = GetSkinIndex(parent);
  }
  return -1;
}

int TsSkinTables::GetTextureIndex(int skinIndex, const String& skinSection, const String& propName) const {
  String section = skinSection;
  for (size_t step = 0; step <= gd.size(); ++step) {
    if (skinIndex < 0 || ma.empty() || section.empty()) return -1;
    for (size_t i = 0; i < ma.size(); ++i)
      if (ma[i].ImgType == itisaTexture && ma[i].PropertyName == propName && ma[i].ClassName == section)
        return static_cast<int>(i);
    if (!IsValidSkinIndex(skinIndex)) return -1;
    const String& parent = gd[static_cast<size_t>(skinIndex)].ParentClass;
    if (parent.empty() || parent == section) return -1;
    section = parent;
    skinIndex = GetSkinIndex(parent);
  }
  return -1;
}

int TsSkinTables::GetTextureIndex(int skinIndex, const String& propName) const {
  for (size_t step = 0; step <= gd.size(); ++step) {
    if (skinIndex < 0) return -1;
    for (size_t i = 0; i < ma.size(); ++i)
      if (ma[i].ImgType == itisaTexture && ma[i].SkinIndex == skinIndex && ma[i].PropertyName == propName)
        return static_cast<int>(i);
    if (!IsValidSkinIndex(skinIndex)) return -1;
    const String& parent = gd[static_cast<size_t>(skinIndex)].ParentClass;
    if (parent.empty()) return -1;
    skinIndex = GetSkinIndex(parent);
  }
  return -1;
}

int TsSkinTables::MaskWidthLeft(int maskIndex) {
  TsMaskData& m = ma.at(static_cast<size_t>(maskIndex));
  if (m.WL > 0) return m.WL;
  if (m.BorderWidth > 0) return m.BorderWidth;
  if (m.ImageCount == 0) m.ImageCount = 1;
  return WidthOfImage(m);
}

int TsSkinTables::MaskWidthRight(int maskIndex) {
  TsMaskData& m = ma.at(static_cast<size_t>(maskIndex));
  if (m.WR > 0) return m.WR;
  if (m.BorderWidth > 0) return m.BorderWidth;
  if (m.ImageCount == 0) m.ImageCount = 1;
  return WidthOfImage(m);
}

int TsSkinTables::MaskWidthTop(int maskIndex) {
  const TsMaskData& m = ma.at(static_cast<size_t>(maskIndex));
  if (m.WT > 0) return m.WT;
  if (m.BorderWidth > 0) return m.BorderWidth;
  return HeightOfImage(m);
}

int TsSkinTables::MaskWidthBottom(int maskIndex) {
  const TsMaskData& m = ma.at(static_cast<size_t>(maskIndex));
  if (m.WB > 0) return m.WB;
  if (m.BorderWidth > 0) return m.BorderWidth;
  return HeightOfImage(m);
}

void TsSkinTables::InitMaskIndexes() {
  for (size_t i = 0; i < gd.size(); ++i) {
    const int index = static_cast<int>(i);
    if (index == ConstData.IndexGLobalInfo) continue;
    TsGeneralData& g = gd[i];
    g.BorderIndex = GetMaskIndex(index, L"BORDERSMASK");
    g.OuterMask = GetMaskIndex(index, L"OUTERMASK");
    g.ImgTL = GetMaskIndex(index, L"IMGTOPLEFT");
    g.ImgTR = GetMaskIndex(index, L"IMGTOPRIGHT");
    g.ImgBL = GetMaskIndex(index, L"IMGBTMLEFT");
    g.ImgBR = GetMaskIndex(index, L"IMGBTMRIGHT");
    g.Props[0].TextureIndex = GetTextureIndex(index, g.ClassName, L"PATTERN");
    if (g.States > 1) g.Props[1].TextureIndex = GetTextureIndex(index, g.ClassName, L"HOTPATTERN");
    if (g.States > 2 && g.UseState2)
      g.Props[2].TextureIndex = GetTextureIndex(index, g.ClassName, L"PATTERN2");
    else
      g.Props[2].TextureIndex = g.Props[1].TextureIndex;
    if (g.BorderIndex < 0) {
      g.ScrollBorderOffset = -2;
    } else {
      const TsMaskData& m = ma[static_cast<size_t>(g.BorderIndex)];
      const bool thinEdit =
          (g.ClassName == L"EDIT" || g.ClassName == L"LUMIEDIT") && m.WL == 1 && m.WT == 1 && m.WR == 1 && m.WB == 1;
      g.ScrollBorderOffset = thinEdit ? -1 : 0;
    }
  }
}

int TsSkinTables::GlobalImage(const wchar_t* name) const {
  return GetMaskIndex(ConstData.IndexGLobalInfo, L"GLOBALINFO", name);
}

void TsSkinTables::ReadConstElementData(TlvConstElementData& e, const String& name1, const String& name2,
                                        const String& name3) {
  e = TlvConstElementData();
  if (!name1.empty()) {
    e.SkinSection = name1;
    e.SkinIndex = GetSkinIndex(e.SkinSection);
    if (e.SkinIndex < 0) {
      e.SkinSection = name2;
      e.SkinIndex = GetSkinIndex(e.SkinSection);
      if (e.SkinIndex < 0) {
        e.SkinSection = name3;
        e.SkinIndex = GetSkinIndex(e.SkinSection);
      }
    }
  }
  e.MaskIndex = GetMaskIndex(e.SkinIndex, e.SkinSection, L"BORDERSMASK");
  e.GlyphIndex = GetMaskIndex(e.SkinIndex, e.SkinSection, L"GLYPHMASK");
  e.BGIndex[0] = GetMaskIndex(e.SkinIndex, e.SkinSection, L"PATTERN");
  e.BGIndex[1] = GetMaskIndex(e.SkinIndex, e.SkinSection, L"HOTPATTERN");
}

void TsSkinTables::InitConstantIndexes() {
  TConstantSkinData& c = ConstData;
  c.IndexGLobalInfo = GetSkinIndex(L"GLOBALINFO");

  c.CheckBox = {GlobalImage(L"BOXUNCHECKED"), GlobalImage(L"BOXCHECKED"), GlobalImage(L"BOXGRAYED")};
  c.SmallCheckBox = {GlobalImage(L"SMALLUNCHECKED"), GlobalImage(L"SMALLCHECKED"), GlobalImage(L"SMALLGRAYED")};
  c.RadioButton = {GlobalImage(L"RADIOUNCHECKED"), GlobalImage(L"RADIOCHECKED")};
  c.ExBorder = GlobalImage(L"EXBORDER");
  c.GripRightBottom = GlobalImage(L"GRIPIMAGE");
  c.GripHorizontal = GlobalImage(L"GRIPHORZ");
  c.GripVertical = GlobalImage(L"GRIPVERT");

  ReadConstElementData(c.MenuItem, L"MENUITEM");
  ReadConstElementData(c.ComboBtn, L"COMBOBTN");
  c.ComboBtn.GlyphIndex = GetMaskIndex(L"COMBOBOX", L"GLYPHMASK");

  static const wchar_t* const tabs[16] = {L"TABLEFTFIRST",  L"TABTOPFIRST",  L"TABRIGHTFIRST",  L"TABBOTTOMFIRST",
                                          L"TABLEFTLAST",   L"TABTOPLAST",   L"TABRIGHTLAST",   L"TABBOTTOMLAST",
                                          L"TABLEFTMIDDLE", L"TABTOPMIDDLE", L"TABRIGHTMIDDLE", L"TABBOTTOMMIDDLE",
                                          L"TABLEFT",       L"TABTOP",       L"TABRIGHT",       L"TABBOTTOM"};
  for (size_t i = 0; i < 16; ++i) ReadConstElementData(c.Tabs[i], tabs[i]);
  ReadConstElementData(c.Sliders[0], L"SCROLLSLIDERH");
  ReadConstElementData(c.Sliders[1], L"SCROLLSLIDERV");
  static const wchar_t* const scrollBtns[4] = {L"SCROLLBTNLEFT", L"SCROLLBTNTOP", L"SCROLLBTNRIGHT",
                                               L"SCROLLBTNBOTTOM"};
  static const wchar_t* const scrolls[4] = {L"SCROLLBAR1H", L"SCROLLBAR1V", L"SCROLLBAR2H", L"SCROLLBAR2V"};
  static const wchar_t* const upDowns[4] = {L"UPDOWNBTN_LEFT", L"UPDOWNBTN_TOP", L"UPDOWNBTNRIGHT",
                                            L"UPDOWNBTN_BOTTOM"};
  for (size_t i = 0; i < 4; ++i) {
    ReadConstElementData(c.ScrollBtns[i], scrollBtns[i]);
    ReadConstElementData(c.Scrolls[i], scrolls[i]);
    ReadConstElementData(c.UpDownBtns[i], upDowns[i], L"UPDOWNBTN", L"BUTTON");
  }

  c.MaskCloseBtn = GlobalImage(L"BICONCLOSE");
  c.MaskCloseAloneBtn = GlobalImage(L"BICLOSEALONE");
  c.MaskMaxBtn = GlobalImage(L"BICONMAX");
  c.MaskNormBtn = GlobalImage(L"BICONNORM");
  c.MaskMinBtn = GlobalImage(L"BICONMIN");
  c.MaskHelpBtn = GlobalImage(L"BICONHELP");
  c.MaskCloseSmall = GlobalImage(L"SICONCLOSE");
  c.MaskMaxSmall = GlobalImage(L"SICONMAX");
  c.MaskNormSmall = GlobalImage(L"SICONNORM");
  c.MaskMinSmall = GlobalImage(L"SICONMIN");
  c.MaskHelpSmall = GlobalImage(L"SICONHELP");

  for (size_t i = 0; i < 32; ++i) c.Sections[i] = GetSkinIndex(lvSectNames[i]);

  InitMaskIndexes();
}

bool SectionInArray(const std::array<int, 32>& arr, int index, int first, int last) {
  if (last < first) return false;
  for (int i = std::max(first, 0); i <= last && i < 32; ++i)
    if (arr[static_cast<size_t>(i)] == index) return true;
  return false;
}
