// The skin manager as the main window stores it: inactive, read from the form resource, written back the same, and
// the DefaultManager rule over creation and destruction.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/rtl/registry.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/filer.h"
#include "skin/core/sDefaults.h"
#include "skin/core/sSkinManager.h"

using rtl::String;
using namespace vcl;

namespace skintest {

// Stands in for the main window: a root that owns the manager through a field.
class TSkinHostForm : public TComponent {
  VCL_CLASS(TSkinHostForm, TComponent)
 public:
  explicit TSkinHostForm(TComponent* owner) : TComponent(owner) {}
  TsSkinManager* sSkinManager1 = nullptr;
};

VCL_REGISTER(TSkinHostForm) { cls.Field(L"sSkinManager1", &TSkinHostForm::sSkinManager1); }

}  // namespace skintest

using namespace skintest;

namespace {

const wchar_t* const kThirdNames[] = {
    L"ThirdEdits",     L"ThirdButtons",    L"ThirdBitBtns",      L"ThirdCheckBoxes",    L"ThirdComboBoxes",
    L"ThirdGrids",     L"ThirdGroupBoxes", L"ThirdListViews",    L"ThirdPanels",        L"ThirdTreeViews",
    L"ThirdWWEdits",   L"ThirdGridEh",     L"ThirdVirtualTrees", L"ThirdPageControl",   L"ThirdTabControl",
    L"ThirdToolBar",   L"ThirdStatusBar",  L"ThirdSpeedButton",  L"ThirdScrollControl", L"ThirdUpDown",
    L"ThirdScrollBar", L"ThirdStaticText", L"ThirdNativePaint"};

// Exactly what the main window's resource sets on its manager.
String MainWindowResource() {
  String text =
      L"object Form1: TSkinHostForm\r\n"
      L"  object sSkinManager1: TsSkinManager\r\n"
      L"    Active = False\r\n"
      L"    InternalSkins = <>\r\n"
      L"    MenuSupport.IcoLineSkin = 'ICOLINE'\r\n"
      L"    MenuSupport.ExtraLineFont.Color = clWindowText\r\n"
      L"    MenuSupport.ExtraLineFont.Height = -11\r\n"
      L"    MenuSupport.ExtraLineFont.Name = 'Tahoma'\r\n"
      L"    SkinDirectory = 'D:\\Tasar\x0131m\\Skins'\r\n"
      L"    SkinInfo = 'N/A'\r\n"
      L"    SkinName = 'Elegant'\r\n";
  for (const wchar_t* name : kThirdNames)
    text += String(L"    ThirdParty.") + name + (String(name) == L"ThirdButtons" ? L" = 'TButton'\r\n" : L" = ' '\r\n");
  text += L"  end\r\nend\r\n";
  return text;
}

void ExpectMainWindowValues(const TsSkinManager* m) {
  EXPECT_FALSE(m->Active());
  EXPECT_EQ(m->InternalSkins()->Count(), 0);
  EXPECT_EQ(m->MenuSupport()->IcoLineSkin(), L"ICOLINE");
  EXPECT_EQ(m->MenuSupport()->ExtraLineFont()->Name(), L"Tahoma");
  EXPECT_EQ(m->MenuSupport()->ExtraLineFont()->Height(), -11);
  EXPECT_EQ(m->MenuSupport()->ExtraLineFont()->Color(), clWindowText);
  EXPECT_EQ(m->SkinDirectory(), L"D:\\Tasar\x0131m\\Skins");
  EXPECT_EQ(m->SkinInfo(), L"N/A");
  EXPECT_EQ(m->SkinName(), L"Elegant");
  for (int i = 0; i < ThirdPartyList::Count; ++i) {
    const String expected = i == tpButton ? L"TButton" : L" ";
    EXPECT_EQ(m->ThirdParty()->GetString(i), expected) << kThirdNames[i];
    EXPECT_EQ(m->ThirdLists(static_cast<TlvThirdPartyTypes>(i))->Count(), 1) << kThirdNames[i];
    EXPECT_EQ(m->ThirdLists(static_cast<TlvThirdPartyTypes>(i))->Get(0), expected) << kThirdNames[i];
  }
  // Everything else keeps the constructor's values.
  EXPECT_TRUE(m->SkinnedPopups());
  EXPECT_EQ(m->SkinningRules(), (TlvSkinningRules{srStdForms, srStdDialogs, srThirdParty}));
  EXPECT_EQ(m->ScrollsOptions()->ScrollSize(), -1);
  EXPECT_EQ(m->AnimEffects()->Minimizing()->Time(), 120);
}

bool Allowed(const String& name) {
  for (const wchar_t* prefix : {L"Active", L"MenuSupport.IcoLineSkin", L"MenuSupport.ExtraLineFont.", L"SkinDirectory",
                                L"SkinInfo", L"SkinName", L"ThirdParty."}) {
    const String p = prefix;
    if (p.back() == L'.' ? name.rfind(p, 0) == 0 : name == p) return true;
  }
  return false;
}

}  // namespace

TEST(SkinManagerResource, MainWindowResourceLoadsIntoAnInactiveManager) {
  ASSERT_EQ(DefaultManager, nullptr);
  TSkinHostForm form(nullptr);
  ReadComponentText(MainWindowResource(), &form, L"TFORM1");
  ASSERT_NE(form.sSkinManager1, nullptr);
  ExpectMainWindowValues(form.sSkinManager1);
  EXPECT_EQ(DefaultManager, form.sSkinManager1);
  EXPECT_TRUE(form.sSkinManager1->IsDefault());
}

TEST(SkinManagerResource, WriterWritesBackOnlyWhatTheResourceSets) {
  // On the heap: Free deletes the object, which a stack object must never meet.
  auto* form = new TSkinHostForm(nullptr);
  ReadComponentText(MainWindowResource(), form, L"TFORM1");
  TFormObject written = WriteComponentObject(form);
  ASSERT_EQ(written.Children.size(), 1u);
  const TFormObject& manager = written.Children[0];
  EXPECT_EQ(manager.ClassName, L"TsSkinManager");
  EXPECT_EQ(manager.Name, L"sSkinManager1");
  int third = 0;
  for (const TFormProp& p : manager.Props) {
    EXPECT_TRUE(Allowed(p.Name)) << p.Name << L" = " << FormatFormValue(p.Value);
    if (p.Name.rfind(L"ThirdParty.", 0) == 0) ++third;
  }
  EXPECT_EQ(third, ThirdPartyList::Count);
  const String text = FormatFormText(written);
  for (const wchar_t* line :
       {L"Active = False", L"MenuSupport.IcoLineSkin = 'ICOLINE'", L"MenuSupport.ExtraLineFont.Name = 'Tahoma'",
        L"MenuSupport.ExtraLineFont.Height = -11", L"SkinName = 'Elegant'", L"SkinInfo = 'N/A'",
        L"ThirdParty.ThirdButtons = 'TButton'", L"ThirdParty.ThirdEdits = ' '"})
    EXPECT_NE(text.find(line), String::npos) << line << L"\n" << text;
  EXPECT_EQ(text.find(L"Version"), String::npos) << text;

  // The written text reads back to the same values and writes the same text again.
  form->Free();
  TSkinHostForm copy(nullptr);
  ReadComponentText(text, &copy, L"COPY");
  ASSERT_NE(copy.sSkinManager1, nullptr);
  ExpectMainWindowValues(copy.sSkinManager1);
  EXPECT_EQ(WriteComponentText(&copy), text);
}

TEST(SkinManagerResource, NewManagerTakesTheDocumentedDefaults) {
  TsSkinManager m(nullptr);
  m.AfterConstruction();
  EXPECT_TRUE(m.Active());
  EXPECT_EQ(m.SkinDirectory(), DefSkinsDir);
  EXPECT_EQ(m.SkinInfo(), L"N/A");
  EXPECT_EQ(m.Version(), L"10.24");
  EXPECT_EQ(m.ThirdParty()->ThirdButtons(), L"TButton");
  EXPECT_EQ(m.ThirdParty()->ThirdGrids(), L" ");
  EXPECT_EQ(m.MenuSupport()->ExtraLineWidth(), 32);
  EXPECT_EQ(m.MenuSupport()->AlphaBlend(), 255);
  EXPECT_EQ(m.AnimEffects()->SkinChanging()->Time(), 100);
  EXPECT_EQ(m.AnimEffects()->SkinChanging()->Mode(), atFading);
  EXPECT_FALSE(m.AnimEffects()->BlendOnMoving()->Active());
  EXPECT_EQ(m.AnimEffects()->BlendOnMoving()->BlendValue(), 170);
  EXPECT_EQ(m.AnimEffects()->BlendOnMoving()->Time(), 1000);
  EXPECT_EQ(m.AnimEffects()->Buttons()->Events(), (TlvBtnEvents{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp}));
  // Mode is published only where it can be chosen.
  EXPECT_EQ(TlvMinimizing::StaticClass()->FindProperty(L"Mode"), nullptr);
  EXPECT_NE(TlvFormShow::StaticClass()->FindProperty(L"Mode"), nullptr);
  m.SetBrightness(150);
  EXPECT_EQ(m.Brightness(), 100);
  m.SetBrightness(-150);
  EXPECT_EQ(m.Brightness(), -100);
}

TEST(SkinManagerResource, CommonSectionsLoseBlanksOutsideComments) {
  TsSkinManager m(nullptr);
  rtl::TStringList lines;
  lines.AddStrings({L"[BUTTON]", L"Font Color = 0", L"; a comment stays", L""});
  m.SetCommonSections(&lines);
  EXPECT_EQ(m.CommonSections()->ToVector(),
            (std::vector<String>{L"[BUTTON]", L"FontColor=0", L"; a comment stays", L""}));
}

TEST(SkinManagerDefault, FirstCreatedIsDefaultUntilFreed) {
  ASSERT_EQ(DefaultManager, nullptr);
  auto* first = new TsSkinManager(nullptr);
  auto* second = new TsSkinManager(nullptr);
  EXPECT_EQ(DefaultManager, first);
  EXPECT_FALSE(second->IsDefault());
  second->SetIsDefault(false);
  EXPECT_EQ(DefaultManager, first);
  second->SetIsDefault(true);
  EXPECT_EQ(DefaultManager, second);
  first->SetIsDefault(false);  // some manager is default: nothing changes
  EXPECT_EQ(DefaultManager, second);
  second->Free();
  EXPECT_EQ(DefaultManager, nullptr);
  // Freeing a manager that is not the default leaves the default alone.
  auto* third = new TsSkinManager(nullptr);
  first->SetIsDefault(true);
  EXPECT_EQ(DefaultManager, first);
  third->Free();
  EXPECT_EQ(DefaultManager, first);
  first->Free();
  EXPECT_EQ(DefaultManager, nullptr);
}

TEST(SkinManagerDefault, ManagerOwnedByTheWindowGoesWithIt) {
  auto* form = new TSkinHostForm(nullptr);
  ReadComponentText(MainWindowResource(), form, L"TFORM1");
  EXPECT_EQ(DefaultManager, form->sSkinManager1);
  form->Free();
  EXPECT_EQ(DefaultManager, nullptr);
}

TEST(SkinManagerScale, AppliedDpiGivesTheFontScale) {
  const struct {
    int dpi;
    int scale;
  } cases[] = {{96, 0}, {119, 0}, {120, 1}, {143, 1}, {144, 2}, {192, 2}};
  const String key = L"Control Panel\\Desktop\\WindowMetrics";
  rtl::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(key, true));
  const bool had = reg.ValueExists(L"AppliedDPI");
  const int saved = had ? reg.ReadInteger(L"AppliedDPI") : 0;
  for (const auto& c : cases) {
    reg.WriteInteger(L"AppliedDPI", c.dpi);
    TsSkinManager m(nullptr);
    EXPECT_EQ(m.SysFontScale(), c.scale) << c.dpi;
  }
  reg.WriteString(L"AppliedDPI", L"not a number");
  {
    TsSkinManager m(nullptr);
    EXPECT_EQ(m.SysFontScale(), 0);
  }
  if (had)
    reg.WriteInteger(L"AppliedDPI", saved);
  else
    reg.DeleteValue(L"AppliedDPI");
}

TEST(SkinManagerResource, InternalSkinsRoundTripWithTheirPackedData) {
  auto* form = new TSkinHostForm(nullptr);
  form->SetName(L"Form1");
  auto* m = Create<TsSkinManager>(form);
  m->SetName(L"sSkinManager1");
  // Loading fills this in when it is empty; set it so the second write matches the first.
  m->MenuSupport()->SetIcoLineSkin(L"ICOLINE");
  int listChanges = 0;
  m->OnSkinListChanged = [&](rtl::TObject*) { ++listChanges; };
  TsStoredSkin* skin = m->InternalSkins()->Add<TsStoredSkin>();
  skin->SetName(L"Kış");
  skin->SetAuthor(L"Okul");
  skin->SetVersion(10.5);
  const rtl::Byte packed[] = {0x1F, 0x8B, 0x00, 0xFF, 0x42};
  skin->PackedData().Write(packed, sizeof packed);
  EXPECT_GT(listChanges, 0);
  EXPECT_EQ(m->InternalSkins()->IndexOf(L"Kış"), 0);
  EXPECT_EQ(m->InternalSkins()->IndexOf(L"kış"), -1);
  const String text = WriteComponentText(form);
  form->Free();

  TSkinHostForm copy(nullptr);
  ReadComponentText(text, &copy, L"COPY");
  ASSERT_NE(copy.sSkinManager1, nullptr);
  ASSERT_EQ(copy.sSkinManager1->InternalSkins()->Count(), 1);
  TsStoredSkin* read = copy.sSkinManager1->InternalSkins()->Items(0);
  EXPECT_EQ(read->Name(), L"Kış");
  EXPECT_EQ(read->Author(), L"Okul");
  EXPECT_EQ(read->Version(), 10.5);
  EXPECT_EQ(read->Shadow1Blur(), -1);
  EXPECT_EQ(read->BorderColor(), 0xFF00FF);
  EXPECT_EQ(read->PackedData().Size(), static_cast<rtl::Int64>(sizeof packed));
  EXPECT_EQ(WriteComponentText(&copy), text);
}
