// Skin changes reach every open form and every skinned control on it, through skinned containers, plain panels and
// page controls alike; a form with a skin provider is reached once, through the list of skinned forms; removing the
// skin returns every control to its unskinned state.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "platform/vcl/application.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sDBComboBox.h"
#include "skin/controls/sDBDateEdit.h"
#include "skin/controls/sDBEdit.h"
#include "skin/controls/sDBGrid.h"
#include "skin/controls/sDBMemo.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sImage.h"
#include "skin/controls/sMaskEdit.h"
#include "skin/controls/sPageControl.h"
#include "skin/controls/sPanel.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/services/sSkinProvider.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;
using namespace skintest;

namespace skintest {

// A form that counts the skin commands its own window receives.
class TCountingForm : public TForm {
  VCL_CLASS(TCountingForm, TForm)
 public:
  explicit TCountingForm(TComponent* owner) : TForm(owner) {}
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_LUMICMD) ++received[m.WParamHi()];
    inherited::WndProc(m);
  }
  std::map<WORD, int> received;
};

VCL_REGISTER(TCountingForm) {}

}  // namespace skintest

namespace {

struct Skinned {
  TControl* control;
  TsCommonData* data;
  const wchar_t* section;
  bool editColours;
};

class SkinBroadcast : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    dir_.AddFolder(L"Lale");
    dir_.AddFolder(L"Deniz");
    host_ = Create<TCountingForm>(Application);
    manager_ = Create<TsSkinManager>(host_);
    manager_->SetIsDefault(true);
    manager_->SetActive(false);
    manager_->SetSkinDirectory(dir_.Path());
    manager_->SetSkinName(L"Lale");
  }
  void TearDown() override {
    for (TCountingForm* f : forms_) f->Free();
    host_->Free();
  }

  TCountingForm* NewForm(int left, int top) {
    auto* f = Create<TCountingForm>(Application);
    f->SetBounds(left, top, 330, 250);
    forms_.push_back(f);
    return f;
  }
  template <class T>
  T* Put(TWinControl* parent, int left, int top, int width, int height) {
    auto* c = Create<T>(parent->ParentForm() ? static_cast<TComponent*>(parent->ParentForm()) : parent);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
  }
  // A form of the screens' kinds of controls: some straight on the form, some in a skinned panel, some in a plain
  // panel, one on a page of a page control.
  std::vector<Skinned> Populate(TCountingForm* f) {
    std::vector<Skinned> s;
    auto* edit = Put<TsEdit>(f, 8, 8, 120, 22);
    s.push_back({edit, edit->SkinData(), L"EDIT", true});
    auto* combo = Put<TsComboBox>(f, 8, 36, 120, 22);
    s.push_back({combo, combo->SkinData(), L"COMBOBOX", true});
    auto* check = Put<TsCheckBox>(f, 8, 64, 120, 20);
    s.push_back({check, check->SkinData(), L"CHECKBOX", false});
    auto* button = Put<TsBitBtn>(f, 8, 90, 90, 26);
    s.push_back({button, button->SkinData(), L"BUTTON", false});
    auto* image = Put<TsImage>(f, 100, 90, 26, 26);
    s.push_back({image, image->SkinData(), L"CHECKBOX", false});
    auto* panel = Put<TsPanel>(f, 140, 8, 170, 70);
    s.push_back({panel, panel->SkinData(), L"PANEL", false});
    auto* inPanel = Put<TsMaskEdit>(panel, 8, 8, 150, 22);
    s.push_back({inPanel, inPanel->SkinData(), L"EDIT", true});
    // Made as a form resource makes it: its properties first, then Loaded.
    auto* lowered = new TsPanel(f);
    lowered->SetBevelOuter(bvLowered);
    lowered->SetParent(panel);
    lowered->SetBounds(8, 36, 150, 26);
    lowered->Loaded();
    s.push_back({lowered, lowered->SkinData(), L"PANEL_LOW", false});
    auto* plain = Put<TPanel>(f, 140, 84, 170, 40);
    auto* inPlain = Put<TsDBEdit>(plain, 8, 8, 150, 22);
    s.push_back({inPlain, inPlain->SkinData(), L"EDIT", true});
    auto* pages = Put<TsPageControl>(f, 8, 124, 300, 110);
    s.push_back({pages, pages->SkinData(), L"PAGECONTROL", false});
    auto* sheet = new TsTabSheet(f);
    sheet->SetPageControl(pages);
    sheet->SetCaption(L"Sayfa");
    pages->SetActivePage(sheet);
    auto* memo = Put<TsDBMemo>(sheet, 4, 4, 140, 60);
    s.push_back({memo, memo->SkinData(), L"EDIT", true});
    auto* date = Put<TsDBDateEdit>(sheet, 150, 4, 120, 22);
    s.push_back({date, date->SkinData(), L"EDIT", true});
    auto* dbCombo = Put<TsDBComboBox>(sheet, 150, 32, 120, 22);
    s.push_back({dbCombo, dbCombo->SkinData(), L"COMBOBOX", true});
    return s;
  }
  void Show(TCountingForm* f) {
    f->Show();
    Application->ProcessMessages();
  }

  void ExpectSkinned(const std::vector<Skinned>& controls, TsSkinManager* m) {
    for (const Skinned& c : controls) {
      SCOPED_TRACE(c.control->ClassName());
      ASSERT_TRUE(c.data->Skinned(true));
      EXPECT_EQ(c.data->SkinIndex, m->GetSkinIndex(c.section));
      if (!c.editColours) continue;
      const TsGenState& normal = m->gd[static_cast<size_t>(c.data->SkinIndex)].Props[0];
      EXPECT_EQ(c.control->Color(), normal.Color);
      EXPECT_EQ(c.control->Font()->Color(), normal.FontColor.Color);
    }
  }
  void ExpectUnskinned(const std::vector<Skinned>& controls) {
    for (const Skinned& c : controls) {
      SCOPED_TRACE(c.control->ClassName());
      EXPECT_FALSE(c.data->Skinned());
      EXPECT_EQ(c.data->SkinIndex, -1);
      EXPECT_EQ(c.data->BorderIndex, -1);
      if (!c.editColours) continue;
      EXPECT_EQ(c.control->Color(), clWindow);
      EXPECT_EQ(c.control->Font()->Color(), clWindowText);
    }
  }

  TempSkinDir dir_;
  BoxCatcher boxes_;
  TCountingForm* host_ = nullptr;
  TsSkinManager* manager_ = nullptr;
  std::vector<TCountingForm*> forms_;
};

// With TAVREL_HOLD_SECONDS set the forms stay on the screen that long, for a screenshot taken from outside.
void PauseForScreenshot() {
  const char* hold = std::getenv("TAVREL_HOLD_SECONDS");
  if (!hold) return;
  const DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(hold)) * 1000;
  while (GetTickCount() < end) {
    Application->ProcessMessages();
    Sleep(20);
  }
}

}  // namespace

TEST_F(SkinBroadcast, SkinChangesReachEveryFormAndRemovingTheSkinUndoesThem) {
  std::vector<Skinned> all;
  std::vector<TCountingForm*> shown;
  for (int i = 0; i < 3; ++i) {
    TCountingForm* f = NewForm(20 + 340 * i, 40);
    std::vector<Skinned> s = Populate(f);
    all.insert(all.end(), s.begin(), s.end());
    Show(f);
    shown.push_back(f);
  }
  ExpectUnskinned(all);

  manager_->SetActive(true);
  ASSERT_TRUE(manager_->CommonSkinData->Active);
  ExpectSkinned(all, manager_);
  for (TCountingForm* f : shown) {
    EXPECT_EQ(f->received[LVC_SETNEWSKIN], 1);
    EXPECT_EQ(f->received[LVC_REFRESH], 1);
  }
  PauseForScreenshot();

  manager_->SetSkinName(L"Deniz");
  ExpectSkinned(all, manager_);
  EXPECT_EQ(all[0].control->Color(), 0xFFFCF4);  // Deniz's edits
  for (TCountingForm* f : shown) EXPECT_EQ(f->received[LVC_SETNEWSKIN], 2);
  PauseForScreenshot();

  // A form opened while a skin is in force takes it as its controls are made.
  TCountingForm* late = NewForm(20, 320);
  std::vector<Skinned> lateControls = Populate(late);
  Show(late);
  manager_->RepaintForms();
  ExpectSkinned(lateControls, manager_);

  manager_->SetActive(false);
  ExpectUnskinned(all);
  ExpectUnskinned(lateControls);
  for (TCountingForm* f : shown) EXPECT_EQ(f->received[LVC_REMOVESKIN], 1);
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(SkinBroadcast, AFormWithASkinProviderIsReachedOnceThroughTheSkinnedForms) {
  TCountingForm* plain = NewForm(20, 40);
  TCountingForm* provided = NewForm(360, 40);
  auto* provider = new TsCustomSkinProvider(provided);
  std::vector<Skinned> controls = Populate(provided);
  Show(plain);
  Show(provided);
  ASSERT_EQ(HookedComponents.size(), 1u);
  EXPECT_EQ(HookedComponents[0], provided);
  EXPECT_EQ(SendMessageW(provided->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_GETPROVIDER), 0),
            reinterpret_cast<LRESULT>(provider));

  manager_->SetActive(true);
  EXPECT_EQ(plain->received[LVC_SETNEWSKIN], 1);
  EXPECT_EQ(provided->received[LVC_SETNEWSKIN], 1);
  ExpectSkinned(controls, manager_);
  manager_->UpdateSkinSection(L"edit");
  EXPECT_EQ(plain->received[LVC_UPDATESECTION], 1);
  EXPECT_EQ(provided->received[LVC_UPDATESECTION], 1);

  delete provider;
  EXPECT_TRUE(HookedComponents.empty());
  manager_->SetActive(false);
  ExpectUnskinned(controls);
}

TEST_F(SkinBroadcast, SuspendedUpdatesLoadWithoutTellingTheForms) {
  TCountingForm* f = NewForm(20, 40);
  std::vector<Skinned> controls = Populate(f);
  Show(f);
  manager_->SetActive(true);
  int afterChange = 0;
  manager_->OnAfterChange = [&](rtl::TObject*) { ++afterChange; };
  manager_->BeginUpdate();
  manager_->SetSkinName(L"Deniz");
  EXPECT_EQ(f->received[LVC_SETNEWSKIN], 1);
  EXPECT_EQ(afterChange, 0);
  EXPECT_EQ(manager_->SkinName(), L"Deniz");
  manager_->EndUpdate();
  EXPECT_EQ(f->received[LVC_SETNEWSKIN], 2);
  EXPECT_EQ(afterChange, 1);
  ExpectSkinned(controls, manager_);
  EXPECT_EQ(controls[0].control->Color(), 0xFFFCF4);
}

TEST_F(SkinBroadcast, ASecondManagerBecomesTheDefaultOnlyWhenToldTo) {
  TCountingForm* f = NewForm(20, 40);
  std::vector<Skinned> controls = Populate(f);
  Show(f);
  manager_->SetActive(true);
  auto* second = Create<TsSkinManager>(f);
  EXPECT_EQ(DefaultManager, manager_);
  second->SetSkinDirectory(dir_.Path());
  second->SetSkinName(L"Deniz");
  // Controls follow the default manager: the second one's skin does not reach them.
  EXPECT_EQ(controls[0].control->Color(), 0xF7F4FF);
  second->SetIsDefault(true);
  EXPECT_EQ(DefaultManager, second);
  EXPECT_EQ(controls[0].control->Color(), 0xFFFCF4);
  second->Free();
  EXPECT_EQ(DefaultManager, nullptr);
  manager_->SetIsDefault(true);
  manager_->SetActive(false);
  ExpectUnskinned(controls);
}
