// System colours redirected to the skin: while a skin is in force with ChangeSysColors on, the process's calls of
// GetSysColor, GetSysColorBrush and CreatePen answer the skin's palette for the colours the tables map and the
// system's for the rest; switching the option off or removing the skin puts the functions back byte for byte.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/vcl/application.h"
#include "skin/core/sSysColors.h"
#include "skin/render/sGraphUtils.h"
#include "skintest.h"

using namespace skintest;

namespace {

std::array<std::uint8_t, 16> EntryBytes(const char* module, const char* name) {
  std::array<std::uint8_t, 16> bytes{};
  std::memcpy(bytes.data(), SysFunctionEntry(module, name), bytes.size());
  return bytes;
}

struct Entries {
  std::array<std::uint8_t, 16> color = EntryBytes("user32.dll", "GetSysColor");
  std::array<std::uint8_t, 16> brush = EntryBytes("user32.dll", "GetSysColorBrush");
  std::array<std::uint8_t, 16> pen = EntryBytes("gdi32.dll", "CreatePen");
  bool operator==(const Entries&) const = default;
};

COLORREF PenColour(HPEN pen) {
  LOGPEN lp{};
  GetObjectW(pen, sizeof lp, &lp);
  DeleteObject(pen);
  return lp.lopnColor;
}

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH lb{};
  GetObjectW(brush, sizeof lb, &lb);
  return lb.lbColor;
}

}  // namespace

TEST(SysColors, RedirectedToTheSkinWhileItIsInForceAndPutBackExactly) {
  vcl::Application->Initialize();
  ASSERT_EQ(DefaultManager, nullptr);
  const Entries original;
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);

  TempSkinDir dir;
  dir.AddFolder(L"Lale");
  vcl::TComponent owner(nullptr);
  auto* m = vcl::Create<TsSkinManager>(&owner);
  m->Options()->SetChangeSysColors(true);
  m->SetSkinDirectory(dir.Path());
  m->SetSkinName(L"Lale");
  ASSERT_TRUE(m->CommonSkinData->Active);
  ASSERT_TRUE(SysColorsHooked());
  EXPECT_NE(Entries(), original);

  const auto& p = m->Palette;
  const COLORREF shadow = static_cast<COLORREF>(MixColors(p[pcMainColor], 0, 0.8));
  struct Case {
    int index;
    COLORREF expected;
  } cases[] = {
      {COLOR_WINDOW, static_cast<COLORREF>(p[pcEditBG])},
      {COLOR_WINDOWFRAME, static_cast<COLORREF>(p[pcBorder])},
      {COLOR_WINDOWTEXT, static_cast<COLORREF>(p[pcEditText])},
      {COLOR_HIGHLIGHT, static_cast<COLORREF>(p[pcSelectionBG_Focused])},
      {COLOR_HIGHLIGHTTEXT, static_cast<COLORREF>(p[pcSelectionText_Focused])},
      {COLOR_BTNSHADOW, shadow},
      {COLOR_3DDKSHADOW, shadow},
      {COLOR_3DLIGHT, static_cast<COLORREF>(MixColors(p[pcMainColor], 0xFFFFFF, 0.8))},
      {COLOR_BTNFACE, face},  // not mapped: the system's own
  };
  for (const Case& c : cases) EXPECT_EQ(GetSysColor(c.index), c.expected) << "index " << c.index;
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0xF7F4FFu);

  HBRUSH brush = GetSysColorBrush(COLOR_WINDOW);
  EXPECT_EQ(BrushColour(brush), static_cast<COLORREF>(p[pcEditBG]));
  EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), brush);  // one brush per colour, never piling up
  EXPECT_EQ(BrushColour(GetSysColorBrush(COLOR_BTNFACE)), face);

  EXPECT_EQ(PenColour(CreatePen(PS_SOLID, 1, 15)), static_cast<COLORREF>(p[pcMainColor]));
  EXPECT_EQ(PenColour(CreatePen(PS_SOLID, 1, 16)), shadow);
  EXPECT_EQ(PenColour(CreatePen(PS_SOLID, 1, 0xC0C0C0)),
            static_cast<COLORREF>(MixColors(p[pcEditText], p[pcEditBG], 0.15)));
  EXPECT_EQ(PenColour(CreatePen(PS_SOLID, 1, RGB(1, 2, 3))), RGB(1, 2, 3));

  // Switched off while the skin stays: the functions are as they were.
  m->Options()->SetChangeSysColors(false);
  EXPECT_FALSE(SysColorsHooked());
  EXPECT_EQ(Entries(), original);
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), window);
  m->Options()->SetChangeSysColors(true);
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0xF7F4FFu);

  // Another skin: the redirect answers from it at once.
  dir.AddFolder(L"Deniz");
  m->SetSkinName(L"Deniz");
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0xFFFCF4u);
  EXPECT_EQ(BrushColour(GetSysColorBrush(COLOR_WINDOW)), 0xFFFCF4u);

  // The skin removed: put back byte for byte.
  m->SetActive(false);
  EXPECT_FALSE(SysColorsHooked());
  EXPECT_EQ(Entries(), original);
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), window);
  m->SetActive(true);
  EXPECT_TRUE(SysColorsHooked());
  owner.DestroyComponents();
  EXPECT_FALSE(SysColorsHooked());
  EXPECT_EQ(Entries(), original);
}

TEST(SysColors, LeftAloneWhenTheOptionIsOff) {
  vcl::Application->Initialize();
  const Entries original;
  TempSkinDir dir;
  dir.AddFolder(L"Lale");
  vcl::TComponent owner(nullptr);
  auto* m = vcl::Create<TsSkinManager>(&owner);
  m->SetSkinDirectory(dir.Path());
  m->SetSkinName(L"Lale");
  ASSERT_TRUE(m->CommonSkinData->Active);
  EXPECT_FALSE(SysColorsHooked());
  EXPECT_EQ(Entries(), original);
}
