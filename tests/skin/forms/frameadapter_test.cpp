// A frame on a skinned form: its adapter paints the frame's background from the "GROUPBOX" section, stands in front
// of the frame's window procedure while it lives and gives it back when it goes, leaves the frame's controls
// working and hooks the frame's popup menu into the skinned menus; an adapter on anything but a frame is refused.
// Shot: $TAVREL_SHOTS/frame_skinned.png.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/vcl/application.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/frames.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sFrameAdapter.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "tests/skin/core/skintest.h"
#include "tests/skin/forms/formtest.h"

using namespace vcl;

namespace {

// The section the frames are painted from in the skin "Cimen": one plain colour ($BBGGRR as the file writes it).
constexpr std::uint32_t kGroupBoxBGR = 0x2A8C3C;

class FrameAdapter : public formtest::FormsUnderAManager {
 protected:
  void SetUp() override {
    Application->Initialize();
    // Lale with a plain, opaque group-box section in place of its see-through one.
    dir.AddFolder(L"Lale", L"Cimen");
    auto bytes = skintest::SourceBytes(L"Lale\\Options.dat");
    std::string options(bytes.begin(), bytes.end());
    const std::string old = "[GROUPBOX]\r\nPARENTCLASS=PANEL\r\nTRANSPARENCY=100\r\n";
    const size_t at = options.find(old);
    ASSERT_NE(at, std::string::npos);
    options.replace(at, old.size(), "[GROUPBOX]\r\nCOLOR=$2A8C3C\r\nTRANSPARENCY=0\r\n");
    dir.Write(L"Cimen\\Options.dat", formtest::Extend(options, formtest::kSkins[0]));
    // Lale as it is: its group box lets the form show through, inside the panel's border.
    formtest::WriteSkins(dir, {formtest::kSkins[0]});
    StartManager(dir.Path());
    manager->SetSkinName(L"Cimen");
    if (manager->ThirdLists(tpEdit)->IndexOf(L"TEdit") < 0) manager->ThirdLists(tpEdit)->Add(L"TEdit");
    form = NewForm(160, 120, 420, 300);
    form->SetColor(RGB(200, 200, 40));
  }

  // A frame with a button, an edit and a popup menu of two items, placed on the form when it is whole.
  TFrame* NewFrame(int x, int y) {
    auto* frame = new TFrame(form);
    frame->SetBounds(x, y, 300, 150);
    button = new TButton(frame);
    button->SetParent(frame);
    button->SetBounds(10, 10, 100, 28);
    button->SetCaption(L"Kaydet");
    button->OnClick = [this](rtl::TObject*) { ++clicks; };
    edit = new TEdit(frame);
    edit->SetParent(frame);
    edit->SetBounds(10, 50, 160, 24);
    popup = new TPopupMenu(frame);
    for (const wchar_t* caption : {L"Aç", L"Sil"}) {
      auto* item = new TMenuItem(frame);
      item->SetCaption(caption);
      popup->Items()->Add(item);
    }
    frame->SetPopupMenu(popup);
    frame->SetParent(form);
    return frame;
  }

  static TsFrameAdapter* AdapterOf(TFrame* frame) {
    for (int i = 0; i < frame->ComponentCount(); ++i)
      if (auto* a = dynamic_cast<TsFrameAdapter*>(frame->Components(i))) return a;
    return nullptr;
  }

  // The frame's own painting, as a print of its client area into a bitmap of the test's.
  static std::uint32_t PrintedPixel(TFrame* frame, int x, int y) {
    auto bmp = CreateBmp32(frame->Width(), frame->Height());
    FillDC(bmp->Canvas()->Handle(), Rect(0, 0, frame->Width(), frame->Height()), 0x010203);
    SendMessageW(frame->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()),
                 PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    return formtest::Px(bmp.get(), x, y);
  }

  bool Hooked(TPopupMenu* menu) const {
    for (int i = 0; i < menu->Items()->Count(); ++i)
      if (menu->Items()->Items(i)->DrawHandlersOwner() != static_cast<const void*>(manager->SkinableMenus()))
        return false;
    return true;
  }

  // Press and release over the button's middle, as the mouse would.
  void ClickButton() {
    const LPARAM at = MAKELPARAM(button->Width() / 2, button->Height() / 2);
    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(button->Handle(), WM_LBUTTONUP, 0, at);
  }

  skintest::TempSkinDir dir;
  TForm* form = nullptr;
  TButton* button = nullptr;
  TEdit* edit = nullptr;
  TPopupMenu* popup = nullptr;
  int clicks = 0;
};

// ARGB pixel of a $BBGGRR colour.
constexpr std::uint32_t Pixel(std::uint32_t bgr) { return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF); }

TEST_F(FrameAdapter, PaintsTheFrameFromTheGroupBoxSectionWhileTheSkinIsOnAndGivesTheFrameBackWhenItGoes) {
  TFrame* frame = NewFrame(20, 20);
  const TWndMethod own = frame->WindowProc;
  TsSkinProvider* sp = Skin(form);
  ASSERT_NO_FATAL_FAILURE(Activate({sp}));
  ASSERT_TRUE(formtest::WaitFor([&] { return AdapterOf(frame) != nullptr; }, 10000));
  TsFrameAdapter* adapter = AdapterOf(frame);
  EXPECT_NE(frame->WindowProc, own);
  EXPECT_EQ(adapter->OldWndProc, own);
  EXPECT_EQ(adapter->SkinData()->SkinSection(), L"GROUPBOX");
  EXPECT_EQ(SendMessageW(frame->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_CTRLHANDLED), 0), 1);

  // Below the edit nothing of the frame's children lies: the section's colour, not the form's.
  EXPECT_TRUE(formtest::WaitFor([&] { return PrintedPixel(frame, 250, 120) == Pixel(kGroupBoxBGR); }))
      << std::hex << PrintedPixel(frame, 250, 120);
  // On the screen too.
  EXPECT_TRUE(formtest::WaitFor([&] {
    auto shot = formtest::ScreenShot(form->Handle());
    const POINT p = [&] {
      POINT q{frame->Left() + 250, frame->Top() + 120};
      ClientToScreen(form->Handle(), &q);
      const RECT r = formtest::WindowRectOf(form->Handle());
      return POINT{q.x - r.left, q.y - r.top};
    }();
    return formtest::Px(shot.get(), p.x, p.y) == Pixel(kGroupBoxBGR);
  }));
  formtest::SaveScreen(form->Handle(), "frame_skinned");

  // The frame's controls work through the hook: a click reaches the button, typing reaches the edit.
  ClickButton();
  EXPECT_TRUE(formtest::WaitFor([&] { return clicks == 1; }));
  SendMessageW(edit->Handle(), WM_CHAR, L'ş', 1);
  EXPECT_EQ(edit->Text(), L"ş");
  EXPECT_TRUE(Hooked(popup));

  // Skin off: every message reaches the frame's own procedure again, the frame shows the form's colour and its
  // popup is the platform's.
  manager->SetActive(false);
  EXPECT_TRUE(formtest::WaitFor([&] { return PrintedPixel(frame, 250, 120) == formtest::Rgb(form->Color()); }))
      << std::hex << PrintedPixel(frame, 250, 120);
  EXPECT_FALSE(Hooked(popup));
  ClickButton();
  EXPECT_TRUE(formtest::WaitFor([&] { return clicks == 2; }));

  // The adapter going gives the frame exactly the procedure it had, and the window forgets the skin state.
  adapter->Free();
  EXPECT_EQ(frame->WindowProc, own);
  EXPECT_EQ(GetPropW(frame->Handle(), L"LVSDATA"), nullptr);
  EXPECT_EQ(SendMessageW(frame->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_CTRLHANDLED), 0), 0);
  ClickButton();
  EXPECT_TRUE(formtest::WaitFor([&] { return clicks == 3; }));
}

TEST_F(FrameAdapter, AFrameMadeUnderALiveSkinIsAdaptedAndItsPopupHooked) {
  TsSkinProvider* sp = Skin(form);
  ASSERT_NO_FATAL_FAILURE(Activate({sp}));
  // Made after the skin came: only the frame's own adapter hooks its popup.
  TFrame* frame = NewFrame(40, 60);
  ASSERT_TRUE(formtest::WaitFor([&] { return AdapterOf(frame) != nullptr; }));
  EXPECT_TRUE(Hooked(popup));
  EXPECT_TRUE(formtest::WaitFor([&] { return PrintedPixel(frame, 250, 120) == Pixel(kGroupBoxBGR); }))
      << std::hex << PrintedPixel(frame, 250, 120);
  // The frame's button was adapted too (its wrapper marks the window).
  EXPECT_NE(GetPropW(button->Handle(), L"LVSBSC"), nullptr);
  ClickButton();
  EXPECT_TRUE(formtest::WaitFor([&] { return clicks == 1; }));
  // Freeing the frame takes the adapter with it, the frame's procedure given back first.
  frame->Free();
  EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(FrameAdapter, ASeeThroughSectionShowsWhatTheFormGivesItsChildrenInsideTheFramesBorder) {
  manager->SetSkinName(L"Lale");
  TFrame* frame = NewFrame(30, 30);
  TsSkinProvider* sp = Skin(form);
  ASSERT_NO_FATAL_FAILURE(Activate({sp}));
  ASSERT_TRUE(formtest::WaitFor([&] { return AdapterOf(frame) != nullptr; }, 10000));
  // What the form answers its children for their background at the frame's place.
  auto formPixel = [&](int x, int y) {
    TlvBGInfo bg;
    GetBGInfo(bg, form, false);
    if (bg.BgType == btCache && bg.Bmp)
      return formtest::Px(bg.Bmp, bg.Offset.X + frame->Left() + x, bg.Offset.Y + frame->Top() + y);
    return formtest::Rgb(bg.Color);
  };
  EXPECT_TRUE(formtest::WaitFor([&] { return PrintedPixel(frame, 250, 120) == formPixel(250, 120); }))
      << std::hex << PrintedPixel(frame, 250, 120) << " " << formPixel(250, 120);
  // The panel's border is drawn around it.
  EXPECT_NE(PrintedPixel(frame, 0, 75), formPixel(0, 75));
  formtest::SaveScreen(form->Handle(), "frame_seethrough");
}

TEST_F(FrameAdapter, OnAnythingButAFrameTheAdapterIsRefused) {
  auto* panel = new TPanel(form);
  for (TComponent* owner : std::initializer_list<TComponent*>{form, panel, nullptr}) {
    const int before = owner ? owner->ComponentCount() : 0;
    try {
      Create<TsFrameAdapter>(owner);
      ADD_FAILURE() << "an adapter was made";
    } catch (const rtl::Exception& e) {
      EXPECT_EQ(e.Message(), L"TsFrameAdapter adapter must be placed on the handled frame");
    }
    if (owner) {
      EXPECT_EQ(owner->ComponentCount(), before);
    }
  }
}

}  // namespace
