// The control model over real windows: the replaceable WindowProc chain sees the library's notifications in order,
// parents reflect notifications to their children, fonts and colours follow the parent.
#include <gtest/gtest.h>

#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/forms.h"

using namespace vcl;

namespace {

// Puts itself in front of a control's WindowProc and records the library's messages it sees.
class TRecorder : public rtl::TObject {
public:
  explicit TRecorder(TControl* c) : control_(c) {
    previous_ = c->WindowProc;
    c->WindowProc = MakeWndMethod(this, &TRecorder::Proc);
  }
  ~TRecorder() override { control_->WindowProc = previous_; }
  void Proc(TMessage& m) {
    if ((m.Msg >= CM_BASE && m.Msg <= CM_LAST) || (m.Msg >= CN_BASE && m.Msg < CN_BASE + 0x400))
      seen.push_back(m.Msg);
    if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) lparams.push_back(m.LParam);
    previous_(m);
  }
  std::vector<UINT> Only(std::initializer_list<UINT> which) const {
    std::vector<UINT> r;
    for (UINT m : seen)
      for (UINT w : which)
        if (m == w) r.push_back(m);
    return r;
  }
  std::vector<UINT> seen;
  std::vector<LPARAM> lparams;
  TWndMethod previous_;

private:
  TControl* control_;
};

class TTestPanel : public TCustomControl {
public:
  explicit TTestPanel(TComponent* owner) : TCustomControl(owner) {
    control_style_ += csAcceptsControls;
    SetBounds(0, 0, 100, 60);
  }
  int painted = 0;

protected:
  void Paint() override {
    ++painted;
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
  }
};

class TTestGraphic : public TGraphicControl {
public:
  explicit TTestGraphic(TComponent* owner) : TGraphicControl(owner) { SetBounds(10, 10, 20, 20); }

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(Rect(0, 0, Width(), Height()));
  }
};

class ControlModel : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetBounds(50, 50, 300, 200);
    panel = new TTestPanel(form);
    panel->SetParent(form);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete form;
    Application->ProcessMessages();
  }
  TForm* form = nullptr;
  TTestPanel* panel = nullptr;
};

TEST_F(ControlModel, WindowsAreMadeForShowingControlsAndFindTheirControl) {
  ASSERT_TRUE(form->HandleAllocated());
  ASSERT_TRUE(panel->HandleAllocated());
  EXPECT_EQ(TWinControl::FindControl(panel->Handle()), panel);
  EXPECT_EQ(GetParent(panel->Handle()), form->Handle());
  wchar_t cls[64];
  GetClassNameW(panel->Handle(), cls, 64);
  EXPECT_STREQ(cls, L"TCustomControl");
  EXPECT_TRUE(panel->Showing());
  EXPECT_TRUE(IsWindowVisible(panel->Handle()));
}

TEST_F(ControlModel, ReplacedWindowProcSeesNotificationsInOrder) {
  TRecorder rec(panel);
  panel->SetVisible(false);
  EXPECT_EQ(rec.Only({CM_VISIBLECHANGED, CM_SHOWINGCHANGED}),
            (std::vector<UINT>{CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
  EXPECT_FALSE(IsWindowVisible(panel->Handle()));
  rec.seen.clear();
  panel->SetVisible(true);
  EXPECT_EQ(rec.Only({CM_VISIBLECHANGED, CM_SHOWINGCHANGED}),
            (std::vector<UINT>{CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
  rec.seen.clear();
  panel->SetEnabled(false);
  panel->SetColor(clYellow);
  panel->Font()->SetSize(12);
  panel->SetText(L"Çalışma");
  EXPECT_EQ(rec.Only({CM_ENABLEDCHANGED, CM_COLORCHANGED, CM_FONTCHANGED, CM_TEXTCHANGED}),
            (std::vector<UINT>{CM_ENABLEDCHANGED, CM_COLORCHANGED, CM_FONTCHANGED, CM_TEXTCHANGED}));
  EXPECT_FALSE(IsWindowEnabled(panel->Handle()));
  wchar_t text[32];
  GetWindowTextW(panel->Handle(), text, 32);
  EXPECT_STREQ(text, L"Çalışma");
}

TEST_F(ControlModel, PuttingBackThePreviousWindowProcRestoresTheChain) {
  TWndMethod original = panel->WindowProc;
  {
    TRecorder rec(panel);
    EXPECT_NE(panel->WindowProc, original);
    panel->Perform(CM_INVALIDATE);
    EXPECT_EQ(rec.seen, (std::vector<UINT>{CM_INVALIDATE}));
  }
  EXPECT_EQ(panel->WindowProc, original);
}

TEST_F(ControlModel, PerformCarriesPointerSizedParameters) {
  struct Echo : rtl::TObject {
    TWndMethod prev;
    LPARAM got = 0;
    void Proc(TMessage& m) {
      if (m.Msg == CM_CHANGED) {
        got = m.LParam;
        m.Result = m.LParam;
        return;
      }
      prev(m);
    }
  } echo;
  echo.prev = panel->WindowProc;
  panel->WindowProc = MakeWndMethod(&echo, &Echo::Proc);
  LPARAM big = static_cast<LPARAM>(0x123456789ABCLL);
  EXPECT_EQ(panel->Perform(CM_CHANGED, 0, big), big);
  EXPECT_EQ(echo.got, big);
  // Through the real window procedure as well.
  EXPECT_EQ(SendMessageW(panel->Handle(), CM_CHANGED, 0, big), big);
  panel->WindowProc = echo.prev;
}

TEST_F(ControlModel, FocusMovesWithExitEnterAndFocusChanged) {
  auto* a = new TTestPanel(form);
  a->SetParent(form);
  a->SetTop(70);
  a->SetTabStop(true);
  panel->SetTabStop(true);
  Application->ProcessMessages();
  panel->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(GetFocus(), panel->Handle());
  TRecorder ra(a), rp(panel);
  int entered = 0, exited = 0;
  a->OnEnter = [&](rtl::TObject*) { ++entered; };
  panel->OnExit = [&](rtl::TObject*) { ++exited; };
  a->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(GetFocus(), a->Handle());
  EXPECT_EQ(form->ActiveControl(), a);
  EXPECT_EQ(rp.Only({CM_EXIT, CM_ENTER, CM_FOCUSCHANGED}), (std::vector<UINT>{CM_EXIT, CM_FOCUSCHANGED}));
  EXPECT_EQ(ra.Only({CM_EXIT, CM_ENTER, CM_FOCUSCHANGED}), (std::vector<UINT>{CM_ENTER, CM_FOCUSCHANGED}));
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(exited, 1);
}

TEST_F(ControlModel, MouseEnterAndLeaveNameTheControl) {
  auto* g = new TTestGraphic(form);
  g->SetParent(panel);
  Application->ProcessMessages();
  TRecorder rp(panel), rg(g);
  // Over the panel's own area, then over the graphic child, then out of the window.
  SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(80, 50));
  SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(15, 15));
  EXPECT_EQ(rg.Only({CM_MOUSEENTER, CM_MOUSELEAVE}), (std::vector<UINT>{CM_MOUSEENTER}));
  ASSERT_EQ(rg.lparams.size(), 1u);
  EXPECT_EQ(rg.lparams[0], reinterpret_cast<LPARAM>(g));
  // The panel heard itself entered, itself left, and the child entered (passed up with the child in LParam).
  EXPECT_EQ(rp.Only({CM_MOUSEENTER, CM_MOUSELEAVE}),
            (std::vector<UINT>{CM_MOUSEENTER, CM_MOUSELEAVE, CM_MOUSEENTER}));
  EXPECT_EQ(rp.lparams, (std::vector<LPARAM>{reinterpret_cast<LPARAM>(panel), reinterpret_cast<LPARAM>(panel),
                                            reinterpret_cast<LPARAM>(g)}));
  EXPECT_EQ(MouseControl(), g);
  delete g;
  EXPECT_EQ(MouseControl(), nullptr);
}

TEST_F(ControlModel, FontAndColorFollowTheParentUntilSetOwn) {
  auto* child = new TTestPanel(form);
  child->SetParent(panel);
  EXPECT_TRUE(child->ParentFont());
  panel->Font()->SetName(L"Tahoma");
  panel->Font()->SetSize(14);
  EXPECT_EQ(child->Font()->Size(), 14);
  EXPECT_TRUE(child->ParentFont());
  child->Font()->SetSize(9);
  EXPECT_FALSE(child->ParentFont());
  panel->Font()->SetSize(16);
  EXPECT_EQ(child->Font()->Size(), 9);

  child->SetParentColor(true);
  panel->SetColor(clAqua);
  EXPECT_EQ(child->Color(), clAqua);
  EXPECT_TRUE(child->ParentColor());
}

TEST_F(ControlModel, GraphicChildrenPaintIntoTheirParent) {
  auto* g = new TTestGraphic(form);
  g->SetParent(panel);
  panel->SetColor(clWhite);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 100, 60);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  panel->PaintTo(dc, 0, 0);
  EXPECT_EQ(GetPixel(dc, 15, 15), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 60, 40), RGB(255, 255, 255));
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

TEST_F(ControlModel, AlignAndAnchorsPlaceChildren) {
  auto* top = new TTestPanel(form);
  top->SetParent(form);
  top->SetHeight(30);
  top->SetAlign(alTop);
  auto* client = new TTestPanel(form);
  client->SetParent(form);
  client->SetAlign(alClient);
  TRect cr = form->ClientRect();
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, cr.Width(), 30));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 30, cr.Width(), cr.Height()));

  panel->SetAlign(alNone);
  panel->SetBounds(10, 40, 50, 20);
  panel->SetAnchors(TAnchors{akLeft, akTop, akRight});
  form->SetWidth(form->Width() + 40);
  Application->ProcessMessages();
  EXPECT_EQ(panel->Width(), 90);
  EXPECT_EQ(client->Width(), form->ClientWidth());
}

TEST_F(ControlModel, CommandsAreReflectedToTheChild) {
  struct Sink : rtl::TObject {
    TWndMethod prev;
    UINT got = 0;
    void Proc(TMessage& m) {
      if (m.Msg == CN_COMMAND) got = HIWORD(m.WParam);
      prev(m);
    }
  } sink;
  sink.prev = panel->WindowProc;
  panel->WindowProc = MakeWndMethod(&sink, &Sink::Proc);
  SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(1, 77), reinterpret_cast<LPARAM>(panel->Handle()));
  EXPECT_EQ(sink.got, 77u);
  panel->WindowProc = sink.prev;
}

TEST(ControlMessages, NumbersStayClearOfTheSkinningLibrary) {
  for (UINT m : {CM_ACTIVATE, CM_MOUSEENTER, CM_MOUSELEAVE, CM_LAST, CN_COMMAND, CN_NOTIFY, CN_KEYDOWN, CN_CHAR,
                 CN_CTLCOLORSTATIC, CN_DROPDOWNCLOSED}) {
    EXPECT_NE(m, 0xA100u);
    EXPECT_NE(m, 0xA400u);
    EXPECT_NE(m, 0xBCB3u);
    EXPECT_NE(m, 0xBCB4u);
  }
  EXPECT_EQ(CM_ACTIVATE, 0xB000u);
  EXPECT_EQ(CN_COMMAND, 0xBC00u + WM_COMMAND);
  static_assert(sizeof(TMessage::LParam) == sizeof(void*) && sizeof(TMessage::Result) == sizeof(void*));
}

}  // namespace
