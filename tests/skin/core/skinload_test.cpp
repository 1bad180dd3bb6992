// Loading the test skins: the same skin from its folder, its packed file and the form's internal skins gives the same
// tables; the values of the option file land where the loaders put them; the search order over folders, packed
// files and internal skins; the lists of available skins.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/application.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager.h"
#include "skintest.h"

using namespace skintest;
using rtl::String;

namespace skintest {

// The form whose resource holds both test skins as internal skins (tests/skin/skins/internal.vfm).
class TSkinInternalHost : public vcl::TForm {
  VCL_CLASS(TSkinInternalHost, vcl::TForm)
 public:
  explicit TSkinInternalHost(vcl::TComponent* owner) : vcl::TForm(owner) {}
  TsSkinManager* sSkinManager1 = nullptr;
};

VCL_REGISTER(TSkinInternalHost) { cls.Field(L"sSkinManager1", &TSkinInternalHost::sSkinManager1); }

}  // namespace skintest

namespace {

class SkinLoad : public ::testing::Test {
 protected:
  void SetUp() override { vcl::Application->Initialize(); }
  // A manager of its own on a component of its own, loading nothing yet.
  TsSkinManager* NewManager(const std::wstring& dir) {
    owner_ = std::make_unique<vcl::TComponent>(nullptr);
    auto* m = vcl::Create<TsSkinManager>(owner_.get());
    m->SetSkinDirectory(dir);
    return m;
  }
  std::unique_ptr<vcl::TComponent> owner_;
  BoxCatcher boxes_;
};

std::vector<std::wstring> LoadedFromFolder(const std::wstring& skin) {
  TempSkinDir dir;
  dir.AddFolder(skin);
  vcl::TComponent owner(nullptr);
  auto* m = vcl::Create<TsSkinManager>(&owner);
  m->SetSkinDirectory(dir.Path());
  m->SetSkinName(skin);
  EXPECT_FALSE(m->SkinIsPacked);
  EXPECT_EQ(m->CommonSkinData->SkinPath, dir.Path() + L"\\" + skin + L"\\");
  return Describe(m);
}

std::vector<std::wstring> LoadedFromPacked(const std::wstring& skin) {
  TempSkinDir dir;
  dir.AddPacked(skin);
  vcl::TComponent owner(nullptr);
  auto* m = vcl::Create<TsSkinManager>(&owner);
  m->SetSkinDirectory(dir.Path());
  m->SetSkinName(skin);
  EXPECT_TRUE(m->SkinIsPacked);
  EXPECT_EQ(m->CommonSkinData->SkinPath, dir.Path() + L"\\");
  return Describe(m);
}

std::vector<std::wstring> LoadedFromInternal(const std::wstring& skin) {
  auto* host = vcl::Create<TSkinInternalHost>(nullptr);
  TsSkinManager* m = host->sSkinManager1;
  EXPECT_NE(m, nullptr);
  if (!m) return {};
  EXPECT_EQ(m->InternalSkins()->Count(), 2);
  // No folder and no packed file of that name: the internal skin is taken.
  TempSkinDir empty;
  m->SetSkinDirectory(empty.Path());
  m->SetSkinName(skin);
  m->SetActive(true);
  EXPECT_TRUE(m->SkinIsPacked);
  EXPECT_EQ(m->CommonSkinData->SkinPath, L"");
  EXPECT_EQ(m->SkinName(), skin);
  std::vector<std::wstring> d = Describe(m);
  host->Free();
  return d;
}

}  // namespace

TEST_F(SkinLoad, EachTestSkinGivesTheSameTablesFromFolderPackedFileAndInternalSkins) {
  for (const wchar_t* skin : {L"Lale", L"Deniz"}) {
    SCOPED_TRACE(skin);
    std::vector<std::wstring> folder = LoadedFromFolder(skin);
    ASSERT_GT(folder.size(), 40u);
    EXPECT_EQ(FirstDifference(folder, LoadedFromPacked(skin)), L"");
    EXPECT_EQ(FirstDifference(folder, LoadedFromInternal(skin)), L"");
  }
  EXPECT_TRUE(boxes_.boxes.empty());
  // The two skins are told apart by their colours.
  EXPECT_NE(FirstDifference(LoadedFromFolder(L"Lale"), LoadedFromFolder(L"Deniz")), L"");
}

TEST_F(SkinLoad, OptionFileValuesLandInTheTables) {
  TempSkinDir dir;
  dir.AddFolder(L"Lale");
  dir.AddFolder(L"Deniz");
  TsSkinManager* m = NewManager(dir.Path());
  m->SetSkinName(L"Lale");
  ASSERT_TRUE(m->CommonSkinData->Active);
  EXPECT_EQ(m->SkinInfo(), L"10");
  EXPECT_EQ(m->CommonSkinData->Author, L"Tavrel tests");
  EXPECT_EQ(m->CommonSkinData->Shadow1Offset, 3);

  const int button = m->GetSkinIndex(L"BUTTON");
  ASSERT_GE(button, 0);
  EXPECT_EQ(m->GetSkinIndex(L"Button"), -1);  // names are case-sensitive
  EXPECT_EQ(m->GetSkinIndex(L""), -1);
  const TsGeneralData& b = m->gd[static_cast<size_t>(button)];
  EXPECT_EQ(b.Props[0].Color, 0x8060D6);
  EXPECT_EQ(b.Props[1].Color, 0xA68CEC);
  EXPECT_TRUE(b.UseState2);
  EXPECT_EQ(b.Props[2].Color, 0x5C3CAA);
  EXPECT_EQ(b.Props[0].FontColor.Left, -1);
  EXPECT_EQ(b.Props[0].FontColor.Top, -1);
  EXPECT_EQ(b.Props[0].GradientPercent, 100);
  ASSERT_EQ(b.Props[0].GradientArray.size(), 2u);
  EXPECT_EQ(b.Props[0].GradientArray[0].Color1, 0xA68CEC);
  EXPECT_EQ(b.Props[0].GradientArray[1].Color2, 0x5C3CAA);
  EXPECT_EQ(b.Props[0].GradientArray[0].Percent, 50);
  // BUTTON_SMALL names SPEEDBUTTON, which names BUTTON: colours come down the chain, a key SPEEDBUTTON has wins.
  const TsGeneralData& small = m->gd[static_cast<size_t>(m->GetSkinIndex(L"BUTTON_SMALL"))];
  EXPECT_EQ(small.Props[0].Color, 0x8060D6);
  EXPECT_EQ(small.Props[0].GradientPercent, 0);
  EXPECT_EQ(small.BorderIndex, b.BorderIndex);
  EXPECT_EQ(m->GetMaskIndex(m->GetSkinIndex(L"BUTTON_SMALL"), L"BUTTON_SMALL", L"BORDERSMASK"), b.BorderIndex);
  EXPECT_EQ(m->GetMaskIndex(L"BUTTON_SMALL", L"BORDERSMASK"), -1);  // no inheritance by section name
  // A section with STATES=1 gets three equal states.
  const TsGeneralData& panel = m->gd[static_cast<size_t>(m->GetSkinIndex(L"PANEL"))];
  EXPECT_EQ(panel.States, 1);
  EXPECT_EQ(panel.Props[1].Color, panel.Props[0].Color);
  EXPECT_EQ(panel.Props[2].Color, panel.Props[0].Color);
  // A skin without TRANSPARENT gets one.
  const int transparent = m->GetSkinIndex(L"TRANSPARENT");
  ASSERT_GE(transparent, 0);
  EXPECT_EQ(m->gd[static_cast<size_t>(transparent)].Props[0].Transparency, 100);

  // Images: a border mask of three frames with computed margins, rounded corners in this skin.
  ASSERT_TRUE(m->IsValidImgIndex(b.BorderIndex));
  const TsMaskData& border = m->ma[static_cast<size_t>(b.BorderIndex)];
  EXPECT_EQ(border.R, vcl::TRect(0, 0, 60, 20));
  EXPECT_EQ(border.ImageCount, 3);
  EXPECT_EQ(WidthOfImage(border), 20);
  EXPECT_EQ(border.WL, 5);
  EXPECT_EQ(border.CornerType, 1);
  const int edit = m->GetSkinIndex(L"EDIT");
  const TsMaskData& editBorder = m->ma[static_cast<size_t>(m->gd[static_cast<size_t>(edit)].BorderIndex)];
  EXPECT_EQ(editBorder.WL, 60 / 9);  // all margins 0: width / (ImageCount * 3)
  EXPECT_EQ(editBorder.WT, 20 / 3);
  EXPECT_EQ(m->MaskWidthTop(m->gd[static_cast<size_t>(edit)].BorderIndex), 6);
  // An external glyph with alpha, a plain-name texture and a texture naming its file in its value.
  const int close = m->ConstData.MaskCloseBtn;
  ASSERT_TRUE(m->IsValidImgIndex(close));
  EXPECT_EQ(m->ma[static_cast<size_t>(close)].ImgType, itisaGlyph);
  ASSERT_NE(m->ma[static_cast<size_t>(close)].Bmp, nullptr);
  EXPECT_EQ(m->ma[static_cast<size_t>(close)].R, vcl::TRect(0, 0, 48, 16));
  EXPECT_EQ(m->ma[static_cast<size_t>(close)].Bmp->PixelFormat(), vcl::pf32bit);
  const int tab = m->GetSkinIndex(L"TABSHEET");
  const int tabPattern = m->gd[static_cast<size_t>(tab)].Props[0].TextureIndex;
  ASSERT_TRUE(m->IsValidImgIndex(tabPattern));
  EXPECT_EQ(m->ma[static_cast<size_t>(tabPattern)].ImgType, itisaTexture);
  EXPECT_EQ(m->ma[static_cast<size_t>(tabPattern)].Bmp->Width(), 8);
  const int form = m->GetSkinIndex(L"FORM");
  const int formPattern = m->GetTextureIndex(form, L"PATTERN");
  ASSERT_TRUE(m->IsValidImgIndex(formPattern));
  EXPECT_EQ(m->ma[static_cast<size_t>(formPattern)].Bmp->Width(), 16);
  EXPECT_EQ(m->ma[static_cast<size_t>(formPattern)].R, vcl::TRect(0, 0, 16, 16));
  // Textures inherit: PANEL_LOW has no PATTERN of its own.
  EXPECT_EQ(m->GetTextureIndex(m->GetSkinIndex(L"PANEL_LOW"), L"PATTERN"),
            m->GetTextureIndex(m->GetSkinIndex(L"PANEL"), L"PATTERN"));
  // Global images and cached indexes.
  EXPECT_TRUE(m->IsValidImgIndex(m->ConstData.CheckBox[1]));
  EXPECT_EQ(m->ConstData.Sections[ssButton], button);
  EXPECT_EQ(m->ConstData.Sections[ssEdit], edit);
  EXPECT_EQ(m->ConstData.Sections[ssCaption], -1);
  EXPECT_EQ(m->ConstData.UpDownBtns[0].SkinSection, L"BUTTON");  // falls back to BUTTON
  // The palette.
  EXPECT_EQ(m->Palette[pcMainColor], 0xDED6F4);
  EXPECT_EQ(m->Palette[pcEditBG], m->gd[static_cast<size_t>(edit)].Props[0].Color);
  EXPECT_EQ(m->Palette[pcSelectionBG], m->gd[static_cast<size_t>(m->GetSkinIndex(L"SELECTION"))].Props[0].Color);
  EXPECT_EQ(m->Palette[pcSelectionBG_Focused],
            m->gd[static_cast<size_t>(m->GetSkinIndex(L"SELECTION"))].Props[1].Color);
  EXPECT_EQ(m->Palette[pcWebTextHot], 0x643CC8);
  EXPECT_EQ(m->GetGlobalColor(), 0xDED6F4);
  rtl::TStringList sections;
  m->GetSkinSections(&sections);
  EXPECT_EQ(sections.Get(0), L"GLOBALINFO");

  // The other skin has square corners.
  m->SetSkinName(L"Deniz");
  const TsGeneralData& db = m->gd[static_cast<size_t>(m->GetSkinIndex(L"BUTTON"))];
  EXPECT_EQ(m->ma[static_cast<size_t>(db.BorderIndex)].CornerType, 0);
  EXPECT_TRUE(boxes_.boxes.empty());

  // Switched off, every table is empty and every cached index -1.
  m->SetActive(false);
  EXPECT_TRUE(m->gd.empty());
  EXPECT_TRUE(m->ma.empty());
  EXPECT_EQ(m->ConstData.Sections[ssButton], -1);
  EXPECT_EQ(m->ConstData.MaskCloseBtn, -1);
  EXPECT_EQ(m->SkinInfo(), L"N/A");
  sections.Add(L"x");
  m->GetSkinSections(&sections);
  EXPECT_EQ(sections.Count(), 0);
}

TEST_F(SkinLoad, SearchOrderChoosesTheSkinsPlace) {
  struct Case {
    const wchar_t* what;
    bool folder, packed, internalSkins, unpackedFirst;
    const wchar_t* name;
    // Expected: "folder", "packed", "internal", "none"; the name afterwards.
    const wchar_t* place;
    const wchar_t* nameAfter;
  };
  const Case cases[] = {
      {L"folder only", true, false, false, false, L"Lale", L"folder", L"Lale"},
      {L"packed only", false, true, false, false, L"Lale", L"packed", L"Lale"},
      {L"both: the packed file wins", true, true, false, false, L"Lale", L"packed", L"Lale"},
      {L"both, unpacked first: the folder wins", true, true, false, true, L"Lale", L"folder", L"Lale"},
      {L"the .lvx extension is taken off", false, true, false, false, L"Lale.LVX", L"packed", L"Lale"},
      {L"neither: the internal skin of that name", false, false, true, false, L"Deniz", L"internal", L"Deniz"},
      {L"an unknown name: the first internal skin", false, false, true, false, L"Yok", L"internal", L"Lale"},
      {L"folders beat internal skins", true, false, true, false, L"Lale", L"folder", L"Lale"},
      {L"nothing anywhere: no skin", false, false, false, false, L"Yok", L"none", L"Yok"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempSkinDir dir;
    if (c.folder) dir.AddFolder(L"Lale");
    if (c.packed) dir.AddPacked(L"Lale");
    std::unique_ptr<TSkinInternalHost> host;
    TsSkinManager* m;
    if (c.internalSkins) {
      host.reset(vcl::Create<TSkinInternalHost>(nullptr));
      m = host->sSkinManager1;
      m->SetActive(true);
    } else {
      m = NewManager(dir.Path());
    }
    m->SetSkinDirectory(dir.Path());
    UnPackedFirst = c.unpackedFirst;
    m->SetSkinName(c.name);
    UnPackedFirst = false;
    const std::wstring place = c.place;
    EXPECT_EQ(m->SkinName(), c.nameAfter);
    if (place == L"none") {
      EXPECT_FALSE(m->Active());
      EXPECT_FALSE(m->CommonSkinData->Active);
      EXPECT_TRUE(m->gd.empty());
    } else {
      EXPECT_TRUE(m->Active());
      EXPECT_TRUE(m->CommonSkinData->Active);
      EXPECT_EQ(m->SkinIsPacked, place != L"folder");
      const std::wstring path = place == L"folder"   ? dir.Path() + L"\\Lale\\"
                                : place == L"packed" ? dir.Path() + L"\\"
                                                     : L"";
      EXPECT_EQ(m->CommonSkinData->SkinPath, path);
    }
    if (host) host.release()->Free();
  }
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(SkinLoad, SkinDirectoryIsResolvedAgainstTheExecutablesFolder) {
  TsSkinManager* m = NewManager(L"c:\\Skins");
  const String exe = lvGetAppPath();
  String up = exe.substr(0, exe.size() - 1);
  up = up.substr(0, up.find_last_of(L"\\/") + 1);
  struct Case {
    const wchar_t* dir;
    String full;
  } cases[] = {
      {L"Skins", exe + L"Skins"},
      {L".\\Skins", exe + L"Skins"},
      {L"./Skins", exe + L"Skins"},
      {L".", exe},
      {L"..\\Skins", up + L"Skins"},
      {L"D:\\Deri\\Skins", L"D:\\Deri\\Skins"},
      {L"\\\\sunucu\\Skins", L"\\\\sunucu\\Skins"},
  };
  for (const Case& c : cases) {
    m->SetSkinDirectory(c.dir);
    EXPECT_EQ(m->GetFullSkinDirectory(), c.full) << c.dir;
  }
}

TEST_F(SkinLoad, SkinListsNameFoldersWithOptionsAndPackedFiles) {
  TempSkinDir dir;
  dir.AddFolder(L"Lale");
  dir.AddPacked(L"Deniz");
  dir.AddPacked(L"Lale", L"Kis");
  CreateDirectoryW((dir.Path() + L"\\Bos").c_str(), nullptr);  // no Options.dat: not a skin
  dir.Write(L"Kapali.LVX", SourceBytes(L"Lale.lvx"));          // the extension test is case-sensitive
  dir.Write(L"Notlar.txt", std::string("not a skin"));
  TsSkinManager* m = NewManager(dir.Path());
  rtl::TStringList names;
  m->GetSkinNames(&names);
  std::vector<String> got = names.ToVector();
  EXPECT_EQ(got, (std::vector<String>{L"Deniz", L"Kis", L"Lale"}));
  rtl::TStringList packed;
  m->GetSkinNames(&packed, stPacked);
  EXPECT_EQ(packed.ToVector(), (std::vector<String>{L"Deniz", L"Kis"}));
  rtl::TStringList folders;
  EXPECT_EQ(m->GetSkinNames(&folders, stUnpacked), L"Lale");
  EXPECT_EQ(folders.ToVector(), (std::vector<String>{L"Lale"}));
  const String random = m->GetRandomSkin();
  EXPECT_TRUE(random == L"Lale" || random == L"Deniz" || random == L"Kis") << random;

  // Internal skins come first and the first of them is the answer.
  auto* host = vcl::Create<TSkinInternalHost>(nullptr);
  host->sSkinManager1->SetSkinDirectory(dir.Path());
  rtl::TStringList all;
  EXPECT_EQ(host->sSkinManager1->GetSkinNames(&all), L"Lale");
  EXPECT_EQ(all.Count(), 5);
  rtl::TStringList external;
  host->sSkinManager1->GetExternalSkinNames(&external);
  EXPECT_EQ(external.Count(), 3);
  host->Free();
}

TEST_F(SkinLoad, InternalSkinsExtractToPackedFilesThatLoadAgain) {
  TempSkinDir out;
  auto* host = vcl::Create<TSkinInternalHost>(nullptr);
  TsSkinManager* m = host->sSkinManager1;
  m->ExtractInternalSkin(L"Deniz", out.Path() + L"\\cikan");
  EXPECT_EQ(boxes_.boxes.size(), 1u);  // the folder does not exist
  CreateDirectoryW((out.Path() + L"\\cikan").c_str(), nullptr);
  m->ExtractInternalSkin(L"Deniz", out.Path() + L"\\cikan");
  m->ExtractInternalSkin(L"Yok", out.Path());
  ASSERT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_EQ(boxes_.boxes[0].Text, L"Directory does not exists.");
  EXPECT_EQ(boxes_.boxes[1].Text, L"Skin does not exists.");
  const std::wstring file = out.Path() + L"\\cikan\\Deniz extracted.lvx";
  ASSERT_TRUE(rtl::FileExists(file));
  EXPECT_EQ(vcl::ReadWholeFile(file), SourceBytes(L"Deniz.lvx"));
  host->Free();
}

TEST_F(SkinLoad, CommonSectionsAddSectionsToEveryLoadedSkin) {
  TempSkinDir dir;
  dir.AddFolder(L"Lale");
  TsSkinManager* m = NewManager(dir.Path());
  rtl::TStringList common;
  common.SetText(L"[MYBUTTON]\r\nPARENTCLASS = button\r\nCOLOR=$00123456\r\n[EDIT]\r\nCOLOR=$00FFFFFF\r\n");
  m->SetCommonSections(&common);
  EXPECT_EQ(m->CommonSections()->Get(1), L"PARENTCLASS=button");  // blanks removed
  m->SetSkinName(L"Lale");
  const int mine = m->GetSkinIndex(L"MYBUTTON");
  ASSERT_GE(mine, 0);
  const TsGeneralData& g = m->gd[static_cast<size_t>(mine)];
  EXPECT_EQ(g.ParentClass, L"BUTTON");
  EXPECT_EQ(g.Props[0].Color, 0x123456);
  // Other values come from the parent section.
  EXPECT_EQ(g.Props[1].Color, 0xA68CEC);
  EXPECT_EQ(g.States, 3);
  // A section the skin has is left alone.
  EXPECT_EQ(m->gd[static_cast<size_t>(m->GetSkinIndex(L"EDIT"))].Props[0].Color, 0xF7F4FF);
}

TEST_F(SkinLoad, VersionsBeyondTheSupportedOnesWarnOncePerLoad) {
  TempSkinDir dir;
  dir.AddFolder(L"Lale", L"Yeni");
  std::vector<rtl::Byte> text = vcl::ReadWholeFile(dir.Path() + L"\\Yeni\\Options.dat");
  std::string s(text.begin(), text.end());
  s.replace(s.find("VERSION=10.00"), 13, "VERSION=11.5");
  dir.Write(L"Yeni\\Options.dat", s);
  dir.AddFolder(L"Lale", L"Eski");
  text = vcl::ReadWholeFile(dir.Path() + L"\\Eski\\Options.dat");
  s.assign(text.begin(), text.end());
  s.replace(s.find("VERSION=10.00"), 13, "VERSION=7.0");
  dir.Write(L"Eski\\Options.dat", s);

  TsSkinManager* m = NewManager(dir.Path());
  m->SetSkinName(L"Yeni");
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].Type, vcl::mtWarning);
  EXPECT_NE(boxes_.boxes[0].Text.find(L"has not complete support"), std::wstring::npos);
  EXPECT_TRUE(m->SkinningRules().Contains(srStdDialogs));
  EXPECT_EQ(m->SkinInfo(), L"11.5");
  m->SetSkinName(L"Yeni");  // the same name loads again, and warns again
  EXPECT_EQ(boxes_.boxes.size(), 2u);
  // An old skin passes silently outside the designer.
  m->SetSkinName(L"Eski");
  EXPECT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_EQ(m->SkinInfo(), L"7");
}

// -------------------------------------------------------------------------------------------------------------
// Lookups over tables made by hand

namespace {

TsGeneralData Section(const wchar_t* name, const wchar_t* parent) {
  TsGeneralData g;
  g.ClassName = name;
  g.ParentClass = parent;
  return g;
}

TsMaskData Mask(int section, const wchar_t* className, const wchar_t* prop, TlvImgType type = itisaBorder) {
  TsMaskData m;
  m.SkinIndex = section;
  m.ClassName = className;
  m.PropertyName = prop;
  m.ImgType = type;
  return m;
}

}  // namespace

TEST(SkinTables, ParentChainsThatLoopEndTheSearch) {
  TsSkinTables t;
  t.gd.push_back(Section(L"A", L"B"));
  t.gd.push_back(Section(L"B", L"C"));
  t.gd.push_back(Section(L"C", L"A"));
  t.gd.push_back(Section(L"SELF", L"SELF"));
  t.gd.push_back(Section(L"D", L"A"));
  t.ma.push_back(Mask(4, L"D", L"GLYPHMASK"));
  // None of A, B, C has the image: each search goes round once and gives up.
  EXPECT_EQ(t.GetMaskIndex(0, L"BORDERSMASK"), -1);
  EXPECT_EQ(t.GetMaskIndex(1, L"B", L"BORDERSMASK"), -1);
  EXPECT_EQ(t.GetTextureIndex(2, L"PATTERN"), -1);
  EXPECT_EQ(t.GetTextureIndex(2, L"C", L"PATTERN"), -1);
  EXPECT_EQ(t.GetMaskIndex(3, L"SELF", L"BORDERSMASK"), -1);
  EXPECT_EQ(t.GetMaskIndex(3, L"BORDERSMASK"), -1);
  // Found directly, and through a parent.
  EXPECT_EQ(t.GetMaskIndex(4, L"GLYPHMASK"), 0);
  t.ma.push_back(Mask(2, L"C", L"PATTERN", itisaTexture));
  EXPECT_EQ(t.GetTextureIndex(0, L"PATTERN"), 1);
  EXPECT_EQ(t.GetTextureIndex(0, L"A", L"PATTERN"), 1);
  EXPECT_EQ(t.GetMaskIndex(-1, L"PATTERN"), -1);
  EXPECT_FALSE(t.IsValidSkinIndex(5));
  EXPECT_TRUE(t.IsValidImgIndex(1));
  EXPECT_FALSE(t.IsValidImgIndex(2));
}

TEST(SkinTables, FrameSizesAndBorderWidths) {
  TsSkinTables t;
  TsMaskData m;
  m.R = vcl::TRect(0, 0, 30, 41);
  m.ImageCount = 3;
  m.MaskType = 1;
  EXPECT_EQ(WidthOfImage(m), 10);
  EXPECT_EQ(HeightOfImage(m), 20);
  m.MaskType = 2;
  EXPECT_EQ(HeightOfImage(m), 13);
  m.MaskType = -1;
  EXPECT_EQ(HeightOfImage(m), 0);
  m.MaskType = 0;
  m.ImageCount = 0;
  EXPECT_EQ(WidthOfImage(m), 0);
  t.ma.push_back(std::move(m));
  // No margins and no border width: the whole frame; an ImageCount of 0 is made 1 first.
  EXPECT_EQ(t.MaskWidthLeft(0), 30);
  EXPECT_EQ(t.ma[0].ImageCount, 1);
  EXPECT_EQ(t.MaskWidthTop(0), 41);
  t.ma[0].BorderWidth = 4;
  EXPECT_EQ(t.MaskWidthRight(0), 4);
  t.ma[0].WB = 7;
  EXPECT_EQ(t.MaskWidthBottom(0), 7);
  std::array<int, 32> arr{};
  arr.fill(-1);
  arr[5] = 9;
  EXPECT_TRUE(SectionInArray(arr, 9, 0, 31));
  EXPECT_FALSE(SectionInArray(arr, 9, 6, 31));
  EXPECT_FALSE(SectionInArray(arr, 9, 5, 4));
}
