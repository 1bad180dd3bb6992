// The application's OnRestore and the skin's restore animation: a form brought back through the animation raises
// it when the animation has ended (the form opaque again, the cover gone), once; the main form, which the platform
// already raises it for when it leaves minimised, does not get it a second time from the animation's end.
#include <gtest/gtest.h>

#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/core/lvntUtils.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sWindowAnims.h"
#include "tests/skin/forms/formtest.h"

using namespace vcl;
using namespace formtest;

namespace {

// What the form was like each time OnRestore came.
struct TRaise {
  bool Restoring;   // its restore animation still running
  bool Layered;     // still layered (transparent)
  bool CoverThere;  // the animation's cover still there
};

class RestoreEvent : public SkinnedFormFixture {
 protected:
  void TearDown() override {
    Application->OnRestore = nullptr;
    lvWinVer = savedVer;
    SkinnedFormFixture::TearDown();
  }
  // The system before desktop composition, where the minimise animation runs here.
  void Prepare(TForm* f) {
    savedVer = lvWinVer;
    lvWinVer = 5;
    provider = Create<TsSkinProvider>(f);
    f->Show();
    SetForegroundWindow(f->Handle());
    Application->ProcessMessages();
    manager->SetSkinName(kSkins[0].Name);
    manager->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return provider->SkinData()->Skinned(true) && provider->SkinData()->CacheBmp(); }));
    manager->Effects()->SetAllowAnimation(true);
    manager->AnimEffects()->Minimizing()->SetActive(true);
    manager->AnimEffects()->Minimizing()->SetTime(200);
    Application->OnRestore = [this, f](rtl::TObject*) {
      auto* t = dynamic_cast<TlvMinTimer*>(provider->FormTimer.get());
      raises.push_back({(provider->FormState & FS_ANIMRESTORING) != 0,
                        (GetWindowLongPtrW(f->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0, t && t->AnimForm});
    };
  }
  // Minimised through the animation, to its end.
  void Minimise(TForm* f) {
    SendMessageW(f->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(dynamic_cast<TlvMinTimer*>(provider->FormTimer.get()));
    ASSERT_TRUE(WaitFor([&] { return !(provider->FormState & FS_ANIMMINIMIZING); }));
    ASSERT_TRUE(IsIconic(f->Handle()));
  }
  // Restored; true when the restore was animated. Waits for the animation's end.
  bool Restore(TForm* f) {
    SendMessageW(f->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    const bool animated = (provider->FormState & FS_ANIMRESTORING) != 0;
    EXPECT_TRUE(WaitFor([&] { return !(provider->FormState & FS_ANIMRESTORING); }));
    Application->ProcessMessages();
    EXPECT_FALSE(IsIconic(f->Handle()));
    return animated;
  }
  int savedVer = lvWinVer;
  std::vector<TRaise> raises;
};

}  // namespace

TEST_F(RestoreEvent, AFormsRestoreAnimationRaisesItAtItsEnd) {
  ASSERT_NE(Application->MainForm(), form);
  Prepare(form);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    raises.clear();
    Minimise(form);
    EXPECT_TRUE(raises.empty());
    EXPECT_TRUE(Restore(form));
    ASSERT_EQ(raises.size(), 1u);
    EXPECT_FALSE(raises[0].Restoring);
    EXPECT_FALSE(raises[0].Layered);
    EXPECT_FALSE(raises[0].CoverThere);
  }
}

TEST_F(RestoreEvent, TheMainFormsAnimatedRestoreRaisesItOnce) {
  ASSERT_EQ(Application->MainForm(), host);
  host->SetBounds(160, 120, 400, 260);
  Prepare(host);
  Minimise(host);
  EXPECT_TRUE(raises.empty());
  EXPECT_TRUE(Restore(host));
  EXPECT_EQ(raises.size(), 1u);
  // Once more without the animation: the platform's own raise, once.
  manager->AnimEffects()->Minimizing()->SetActive(false);
  raises.clear();
  ShowWindow(host->Handle(), SW_MINIMIZE);
  Application->ProcessMessages();
  EXPECT_FALSE(Restore(host));
  EXPECT_EQ(raises.size(), 1u);
}
