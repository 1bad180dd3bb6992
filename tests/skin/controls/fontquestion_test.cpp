// A label without a section of its own asks its parent which section gives its font. A parent that, asked, asks its
// children again (as a container passing a question on may) brings the question back to the label: it must be
// answered once, not passed round without end.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/application.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;

namespace {

// Asked for a font section, it asks each of its children the same question, then answers with its own section.
class EchoingPanel : public TPanel {
 public:
  explicit EchoingPanel(TComponent* owner) : TPanel(owner) {}
  int Section = -1;
  int Asked = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_LUMICMD && m.WParamHi() == LVC_GETFONTINDEX && m.LParam) {
      ++Asked;
      // A bound on this test's own depth: a question that came round without end fails here, not by overflow.
      if (Asked > 1000) return;
      for (int i = 0; i < ControlCount(); ++i) Controls(i)->Perform(m.Msg, m.WParam, m.LParam);
      reinterpret_cast<TlvPaintInfo*>(m.LParam)->FontIndex = Section;
      m.Result = 1;
      return;
    }
    TPanel::WndProc(m);
  }
};

}  // namespace

TEST(FontQuestion, AParentAskingItsChildrenAgainIsAnsweredOnce) {
  Application->Initialize();
  skintest::TempSkinDir dir;
  dir.AddFolder(L"Lale");
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetBounds(60, 60, 300, 200);
  auto* manager = new TsSkinManager(form.get());
  manager->SetIsDefault(true);
  manager->SetSkinDirectory(dir.Path());
  manager->SetSkinName(L"Lale");
  manager->SetActive(true);
  auto* panel = new EchoingPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(10, 10, 260, 140);
  // Two labels: the question of one reaches the other too, and each passes it up once.
  auto* first = new TsLabel(form.get());
  first->SetParent(panel);
  first->SetBounds(8, 8, 120, 20);
  first->SetCaption(L"Öğrenci numarası");
  auto* second = new TsLabel(form.get());
  second->SetParent(panel);
  second->SetBounds(8, 40, 120, 20);
  second->SetCaption(L"Sınıfı");
  const int button = manager->GetSkinIndex(L"BUTTON");
  ASSERT_GE(button, 0);
  panel->Section = button;
  EXPECT_EQ(first->TextColor(), manager->gd[static_cast<size_t>(button)].Props[0].FontColor.Color);
  // The first label asked the panel; the panel's round of its children came back to the labels, and neither asked
  // again.
  EXPECT_EQ(panel->Asked, 1);
  // The labels paint (each asks once per painting) and the form stays alive.
  form->Show();
  Application->ProcessMessages();
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Application->ProcessMessages();
  EXPECT_LT(panel->Asked, 100);
  EXPECT_EQ(second->TextColor(), manager->gd[static_cast<size_t>(button)].Props[0].FontColor.Color);
}
