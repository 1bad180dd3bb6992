// Labels too narrow for their captions, with each ellipsis position, skinned and not: what reaches the screen is
// the caption drawn with the system's ellipsis, and wrapped text ending in an ellipsis keeps whole words.
// A label without a section of its own takes the font section its parent gives for its place.
// Screenshots: Z:\tmp\skin26d_ellipsis_<case>.bmp.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;
using namespace skintest;

namespace {

using ctltest::WaitFor;

// A container that answers, for whatever stands at the place asked about, the section named by Section.
class FontGivingPanel : public TPanel {
 public:
  explicit FontGivingPanel(TComponent* owner) : TPanel(owner) {}
  int Section = -1;
  int Asked = 0;
  TRect AskedAt;
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_LUMICMD && m.WParamHi() == LVC_GETFONTINDEX && m.LParam) {
      auto* info = reinterpret_cast<TlvPaintInfo*>(m.LParam);
      ++Asked;
      AskedAt = info->R;
      info->FontIndex = Section;
      m.Result = 1;
      return;
    }
    TPanel::WndProc(m);
  }
};

// The label's rectangle as it is on the screen.
std::unique_ptr<TBitmap> Shot(TControl* c) {
  RedrawWindow(c->Parent()->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Application->ProcessMessages();
  const TPoint o = c->Parent()->ClientToScreen(TPoint(c->Left(), c->Top()));
  return ctltest::ScreenPixels(o.X, o.Y, c->Width(), c->Height());
}

// text drawn as the label would: white ground, the label's font and text colour, the given flags.
std::unique_ptr<TBitmap> Reference(TsLabel* l, const rtl::String& text, UINT flags) {
  auto b = CreateBmp32(l->Width(), l->Height());
  HDC dc = b->Canvas()->Handle();
  RECT r{0, 0, l->Width(), l->Height()};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SelectObject(dc, l->Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToGdi(l->TextColor()));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  GdiFlush();
  return b;
}

bool Same(TBitmap* a, TBitmap* b) {
  for (int y = 0; y < a->Height(); ++y)
    for (int x = 0; x < a->Width(); ++x)
      if ((static_cast<std::uint32_t*>(a->ScanLine(y))[x] & 0xFFFFFF) !=
          (static_cast<std::uint32_t*>(b->ScanLine(y))[x] & 0xFFFFFF))
        return false;
  return true;
}

class LabelEllipsis : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    dir.AddFolder(L"Lale");
    dir.AddFolder(L"Deniz");
    form = Create<TForm>(Application);
    form->SetBounds(60, 60, 360, 200);
    host = Create<TForm>(Application);
    manager = Create<TsSkinManager>(host);
    manager->SetIsDefault(true);
    manager->SetActive(false);
    manager->SetSkinDirectory(dir.Path());
    label = Create<TsLabel>(form);
    label->SetParent(form);
    label->SetAutoSize(false);
    label->SetTransparent(false);
    label->SetColor(clWhite);
    label->Font()->SetSize(10);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    if (form) form->Free();
    if (host) host->Free();
  }
  void UseSkin(const wchar_t* skin) {
    if (skin) {
      manager->SetSkinName(skin);
      manager->SetActive(true);
      ASSERT_TRUE(WaitFor([&] { return label->SkinActive(); }));
    } else {
      manager->SetActive(false);
      ASSERT_TRUE(WaitFor([&] { return !label->SkinActive(); }));
    }
  }

  TempSkinDir dir;
  TForm* form = nullptr;
  TForm* host = nullptr;
  TsSkinManager* manager = nullptr;
  TsLabel* label = nullptr;
};

}  // namespace

TEST_F(LabelEllipsis, ASingleLineIsShortenedWhereItsPositionSays) {
  struct Case {
    const wchar_t* Skin;
    TEllipsisPosition Position;
    UINT Flag;
    const wchar_t* Text;
    const wchar_t* Name;
  };
  const Case cases[] = {
      {L"Lale", epEndEllipsis, DT_END_ELLIPSIS, L"Öğrenci numarası ve adı soyadı", L"end_Lale"},
      {L"Deniz", epPathEllipsis, DT_PATH_ELLIPSIS, L"C:\\Okul\\Belgeler\\Öğrenciler\\kayıt.txt", L"path_Deniz"},
      {L"Deniz", epWordEllipsis, DT_WORD_ELLIPSIS, L"Veli görüşmesi İĞÜŞÖÇ tutanakları", L"word_Deniz"},
      {nullptr, epEndEllipsis, DT_END_ELLIPSIS, L"Öğrenci numarası ve adı soyadı", L"end_none"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Position << (c.Skin ? " skinned" : " none"));
    UseSkin(c.Skin);
    label->SetBounds(10, 10, 110, 24);
    label->SetCaption(c.Text);
    label->SetEllipsisPosition(c.Position);
    auto expected = Reference(label, c.Text, DT_SINGLELINE | c.Flag);
    auto cut = Reference(label, c.Text, DT_SINGLELINE | DT_EXPANDTABS);
    ASSERT_FALSE(Same(expected.get(), cut.get()));  // the caption does not fit
    std::unique_ptr<TBitmap> shot;
    EXPECT_TRUE(WaitFor([&] {
      shot = Shot(label);
      return Same(shot.get(), expected.get());
    }));
    ctltest::SaveOpaque(shot.get(), "ellipsis_" + ctltest::Narrow(c.Name));
    // epNone: the caption is clipped as the platform's label clips it.
    label->SetEllipsisPosition(epNone);
    EXPECT_TRUE(WaitFor([&] {
      shot = Shot(label);
      return Same(shot.get(), cut.get());
    }));
  }
}

TEST_F(LabelEllipsis, WrappedTextEndingInAnEllipsisKeepsWholeWords) {
  const std::vector<rtl::String> words = {L"Bir", L"iki", L"üç", L"dört", L"beş", L"altı", L"yedi", L"sekiz"};
  rtl::String text;
  for (const auto& w : words) text += (text.empty() ? L"" : L" ") + w;
  for (const wchar_t* skin : {L"Lale", static_cast<const wchar_t*>(nullptr)}) {
    SCOPED_TRACE(skin ? "skinned" : "none");
    UseSkin(skin);
    label->SetWordWrap(true);
    label->SetBounds(10, 10, 120, 20);  // one row high
    label->SetCaption(text);
    label->SetEllipsisPosition(epWordEllipsis);
    // Some of the first words and "...", on one row.
    int matched = -1;
    EXPECT_TRUE(WaitFor([&] {
      auto shot = Shot(label);
      rtl::String prefix;
      for (size_t k = 1; k < words.size(); ++k) {
        prefix += (k == 1 ? L"" : L" ") + words[k - 1];
        auto ref = Reference(label, prefix + L"...", DT_WORDBREAK | DT_WORD_ELLIPSIS);
        if (Same(shot.get(), ref.get())) {
          matched = static_cast<int>(k);
          return true;
        }
      }
      return false;
    }));
    EXPECT_GE(matched, 1);
    EXPECT_LT(matched, static_cast<int>(words.size()));
    ctltest::SaveOpaque(Shot(label).get(), "ellipsis_wrap_" + ctltest::Narrow(skin ? skin : L"none"));
    label->SetWordWrap(false);
  }
}

TEST_F(LabelEllipsis, ALabelWithoutASectionTakesTheFontItsParentGives) {
  UseSkin(L"Lale");
  auto* panel = new FontGivingPanel(form);
  panel->SetParent(form);
  panel->SetBounds(20, 30, 200, 100);
  label->SetParent(panel);
  label->SetBounds(7, 9, 120, 20);
  const int button = manager->GetSkinIndex(L"BUTTON");
  ASSERT_GE(button, 0);
  panel->Section = button;
  const TColor buttonFont = manager->gd[static_cast<size_t>(button)].Props[0].FontColor.Color;
  ASSERT_NE(buttonFont, manager->Palette[pcLabelText]);
  // The parent is asked, with the label's place moved by the parent's position.
  EXPECT_EQ(label->TextColor(), buttonFont);
  EXPECT_GE(panel->Asked, 1);
  EXPECT_EQ(panel->AskedAt, TRect(27, 39, 147, 59));
  // A parent that names no section: the palette's label colour.
  panel->Section = -1;
  EXPECT_EQ(label->TextColor(), manager->Palette[pcLabelText]);
  // A label with a section of its own does not ask.
  panel->Section = button;
  const int asked = panel->Asked;
  label->SetSkinSection(L"EDIT");
  EXPECT_EQ(label->TextColor(),
            manager->gd[static_cast<size_t>(manager->GetSkinIndex(L"EDIT"))].Props[0].FontColor.Color);
  EXPECT_EQ(panel->Asked, asked);
  // Without a skin nobody is asked and the font's colour stays.
  label->SetSkinSection(L"");
  UseSkin(nullptr);
  EXPECT_EQ(label->TextColor(), label->Font()->Color());
  EXPECT_EQ(panel->Asked, asked);
}
