// While a skin is active, a form shown without a skin provider of its own is given one by the dialog hook, made at
// run time; a form that asks to be left alone (Tag bit $100) keeps the platform's frame.
#include <gtest/gtest.h>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "tests/common/wait.h"
#include "tests/skin/core/skintest.h"

namespace {

TsCustomSkinProvider* ProviderOf(vcl::TForm* form) {
  return reinterpret_cast<TsCustomSkinProvider*>(
      SendMessageW(form->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_GETPROVIDER), 0));
}

bool ShownAndActive(vcl::TForm* form) {
  return form->HandleAllocated() && IsWindowVisible(form->Handle()) && GetActiveWindow() == form->Handle();
}

}  // namespace

TEST(RunTimeProvider, AFormWithoutAProviderGetsOneWhileASkinIsActive) {
  vcl::Application->Initialize();
  auto* host = new vcl::TForm(vcl::Application);
  host->SetBounds(40, 40, 300, 200);
  auto* manager = new TsSkinManager(host);
  manager->SetIsDefault(true);
  manager->SetSkinDirectory(skintest::SkinsSource());
  manager->SetSkinName(L"Lale");
  manager->SetActive(true);
  ASSERT_TRUE(manager->CommonSkinData->Active);

  auto* plain = new vcl::TForm(vcl::Application);
  plain->SetBounds(360, 60, 320, 220);
  plain->Show();
  ASSERT_TRUE(testutil::PumpUntil([&] { return ProviderOf(plain) != nullptr; }, 20000));
  auto* sp = dynamic_cast<TsSkinProvider*>(ProviderOf(plain));
  ASSERT_NE(sp, nullptr);
  EXPECT_FALSE(sp->UseGlobalColor());
  EXPECT_FALSE(sp->MakeSkinMenu());
  EXPECT_EQ(sp->Owner(), plain);  // it dies with the form

  auto* kept = new vcl::TForm(vcl::Application);
  kept->SetTag(0x100);
  kept->SetBounds(360, 320, 320, 220);
  kept->Show();
  kept->SetFocus();
  ASSERT_TRUE(testutil::PumpUntil([&] { return ShownAndActive(kept); }, 20000));
  EXPECT_EQ(ProviderOf(kept), nullptr);

  delete plain;
  delete kept;
  manager->SetActive(false);
  delete host;
}
