// The application's OnRestore: raised once each time the main form comes back from minimised, whichever way it is
// brought back; not for a main form that was not minimised, nor by the platform for other forms; a second raise for
// the same return (DoRestore, as a restore animation's end calls it) is not made, while another form's DoRestore
// raises it each time.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"

using namespace vcl;

namespace {

class AppRestore : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Application->SetMainForm(nullptr);
    Application->CreateForm(main);
    main->SetBounds(100, 100, 320, 200);
    main->Show();
    Application->ProcessMessages();
    Application->OnRestore = [this](rtl::TObject* sender) {
      ++raised;
      EXPECT_EQ(sender, Application);
    };
  }
  void TearDown() override {
    Application->OnRestore = nullptr;
    if (main) main->Free();
    Application->SetMainForm(nullptr);
  }
  void Minimise(TCustomForm* f) {
    ShowWindow(f->Handle(), SW_MINIMIZE);
    Application->ProcessMessages();
    ASSERT_TRUE(IsIconic(f->Handle()));
  }
  TForm* main = nullptr;
  int raised = 0;
};

}  // namespace

TEST_F(AppRestore, IsRaisedOnceEachTimeTheMainFormComesBack) {
  struct Way {
    const char* Name;
    std::function<void(TForm*)> Restore;
  };
  const Way ways[] = {
      {"system command", [](TForm* f) { SendMessageW(f->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0); }},
      {"application", [](TForm*) { Application->Restore(); }},
      {"shown maximised", [](TForm* f) { ShowWindow(f->Handle(), SW_SHOWMAXIMIZED); }},
      {"window state", [](TForm* f) { f->SetWindowState(wsNormal); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.Name);
    raised = 0;
    Minimise(main);
    EXPECT_EQ(raised, 0);
    way.Restore(main);
    Application->ProcessMessages();
    EXPECT_FALSE(IsIconic(main->Handle()));
    EXPECT_EQ(raised, 1);
    // The same return told again (a restore animation ending after it): not raised twice.
    Application->DoRestore(main);
    EXPECT_EQ(raised, 1);
    ShowWindow(main->Handle(), SW_RESTORE);
    Application->ProcessMessages();
  }
  // Sizes that are no return from minimised raise nothing.
  raised = 0;
  ShowWindow(main->Handle(), SW_MAXIMIZE);
  ShowWindow(main->Handle(), SW_RESTORE);
  Application->ProcessMessages();
  EXPECT_EQ(raised, 0);
}

TEST_F(AppRestore, AnotherFormRaisesItOnlyThroughDoRestore) {
  auto* other = Create<TForm>(Application);
  other->SetBounds(200, 200, 300, 160);
  other->Show();
  Application->ProcessMessages();
  Minimise(other);
  SendMessageW(other->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Application->ProcessMessages();
  EXPECT_FALSE(IsIconic(other->Handle()));
  EXPECT_EQ(raised, 0);
  Application->DoRestore(other);
  Application->DoRestore(other);
  EXPECT_EQ(raised, 2);
  other->Free();
}

TEST_F(AppRestore, AFailingHandlerGoesToTheErrorHandling) {
  int reported = 0;
  Application->OnException = [&](rtl::TObject*, const rtl::Exception&) { ++reported; };
  Application->OnRestore = [](rtl::TObject*) { throw rtl::Exception(L"Geri yükleme başarısız"); };
  Minimise(main);
  SendMessageW(main->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Application->ProcessMessages();
  EXPECT_FALSE(IsIconic(main->Handle()));
  EXPECT_EQ(reported, 1);
  Application->OnException = nullptr;
}
