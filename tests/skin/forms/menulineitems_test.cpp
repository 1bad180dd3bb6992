// The skinned menu line's items with their pictures, and an MDI main form's line while a child is maximised: the
// child's icon at the start, its buttons at the end, all gone again when the child is restored
// (shots: $TAVREL_SHOTS/menu_line_pictures.png, mdi_line_maximised.png, mdi_line_restored.png).
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/menus.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "tests/common/paths.h"
#include "tests/skin/core/skintest.h"
#include "tests/skin/forms/formtest.h"

using namespace vcl;
using namespace skintest;

namespace {

bool WaitFor(const std::function<bool()>& cond, unsigned boundMs = 10000) { return formtest::WaitFor(cond, boundMs); }

using formtest::Near;
using formtest::Px;
using formtest::Rgb;

const std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;
const TColor kOutside = 0x563412;
// The frame tests' additions to the skin (caption and child buttons), with this test's title colours.
const formtest::SkinCase kLale = {L"Lale", 0x961E6E, 0xC88CB4};

class MenuLineItems : public formtest::FormsUnderAManager {
 protected:
  void SetUp() override {
    Application->Initialize();
    formtest::WriteSkins(dir, {kLale});
    StartManager(dir.Path());
  }
  void TearDown() override {
    images.reset();
    formtest::FormsUnderAManager::TearDown();
  }
  // A top item with one sub-item.
  TMenuItem* AddTop(TForm* f, TMainMenu* menu, const wchar_t* caption) {
    auto* top = new TMenuItem(f);
    top->SetCaption(caption);
    auto* sub = new TMenuItem(f);
    sub->SetCaption(L"A\u00e7");
    top->Add(sub);
    menu->Items()->Add(top);
    return top;
  }
  // A 16 x 16 red image list and a blue bitmap for the items (the bitmap's bottom-left pixel is its transparent
  // colour).
  void GivePictures(TMainMenu* menu, TMenuItem* listed, TMenuItem* own) {
    images = std::make_unique<TImageList>(nullptr);
    images->SetSize(16, 16);
    TBitmap red;
    red.SetPixelFormat(pf24bit);
    red.SetSize(16, 16);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(Rect(0, 0, 16, 16));
    images->Add(&red, nullptr);
    menu->SetImages(images.get());
    if (listed) listed->SetImageIndex(0);
    if (own) {
      own->Bitmap()->SetPixelFormat(pf24bit);
      own->Bitmap()->SetSize(16, 16);
      own->Bitmap()->Canvas()->Brush()->SetColor(clBlue);
      own->Bitmap()->Canvas()->FillRect(Rect(0, 0, 16, 16));
      SetPixel(own->Bitmap()->Canvas()->Handle(), 0, 15, RGB(255, 255, 255));
    }
  }
  // The item's place in the form's window image.
  static RECT ItemInImage(TsSkinProvider* sp, int pos) {
    RECT r{}, wr{};
    GetMenuItemRect(sp->Form->Handle(), GetMenu(sp->Form->Handle()), static_cast<UINT>(pos), &r);
    GetWindowRect(sp->Form->Handle(), &wr);
    const TRect sh = sp->ShadowSize();
    OffsetRect(&r, sh.Left - wr.left, sh.Top - wr.top);
    return r;
  }
  // Pixels of b inside r (shrunk by inset) that differ from colour.
  static int CountOther(TBitmap* b, const RECT& r, std::uint32_t colour, int inset = 1) {
    int n = 0;
    for (int y = r.top + inset; y < r.bottom - inset; ++y)
      for (int x = r.left + inset; x < r.right - inset; ++x)
        if (!Near(Px(b, x, y), colour, 24)) ++n;
    return n;
  }
  static int Count(TBitmap* b, const RECT& r, std::uint32_t colour) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (Near(Px(b, x, y), colour, 24)) ++n;
    return n;
  }
  static bool OwnerDrawn(HWND w, int pos) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoW(GetMenu(w), static_cast<UINT>(pos), TRUE, &info) && (info.fType & MFT_OWNERDRAW);
  }
  // The image rebuilt with the line as the system lays it out now.
  static bool Repainted(TsSkinProvider* sp) {
    sp->RepaintMenu();
    return WaitFor([&] { return !sp->SkinData()->BGChanged; });
  }

  std::unique_ptr<TImageList> images;
  TempSkinDir dir;
};

}  // namespace

// Items with a picture (the menu's image list, or the item's own bitmap) show it 3 px from their left, centred
// upright, with the caption beside it; the system gives them the room. The system's own drawing of an item (hot)
// goes through the same handler; the skin gone, the items are the platform's plain ones again.
TEST_F(MenuLineItems, PicturesStandBesideTheCaptions) {
  TForm* f = NewForm(160, 120, 460, 300);
  auto* menu = new TMainMenu(f);
  TMenuItem* file = AddTop(f, menu, L"&Dosya");
  TMenuItem* edit = AddTop(f, menu, L"D\u00fczen");
  TMenuItem* help = AddTop(f, menu, L"Yard\u0131m");
  GivePictures(menu, file, edit);
  f->SetMenu(menu);
  TsSkinProvider* sp = Skin(f);
  Activate({sp});
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(OwnerDrawn(f->Handle(), i)) << i;
  ASSERT_TRUE(Repainted(sp));
  TBitmap* cache = sp->SkinData()->CacheBmp();
  const std::uint32_t band = Px(cache, ItemInImage(sp, 2).right + 20, ItemInImage(sp, 2).top + 3);
  struct Case {
    int pos;
    std::uint32_t picture;  // 0: none
  } cases[] = {{0, kRed}, {1, kBlue}, {2, 0}};
  int plainWidth = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pos);
    const RECT r = ItemInImage(sp, c.pos);
    ASSERT_LT(r.bottom, cache->Height());
    const int top = r.top + (r.bottom - r.top - 16) / 2;
    const RECT pic{r.left + 3, top, r.left + 19, top + 16};
    if (c.picture) {
      // The whole picture but its transparent corner, at its place.
      EXPECT_GE(Count(cache, pic, c.picture), 16 * 16 - 1);
      EXPECT_TRUE(Near(Px(cache, pic.left + 8, pic.top + 8), c.picture, 8));
      // The caption is written beside it, not over it.
      EXPECT_GT(CountOther(cache, RECT{pic.right + 1, r.top, r.right, r.bottom}, band), 10);
    } else {
      plainWidth = r.right - r.left;
      EXPECT_EQ(Count(cache, r, kRed) + Count(cache, r, kBlue), 0);
      EXPECT_GT(CountOther(cache, r, band), 10);
    }
  }
  // A picture widens its item by its width and 6 px: "Düzen" is a little longer than "Yardım".
  EXPECT_GE(ItemInImage(sp, 1).right - ItemInImage(sp, 1).left, plainWidth + 16);
  formtest::SaveScreen(f->Handle(), "menu_line_pictures");
  EXPECT_TRUE(WaitFor([&] {
    auto shot = formtest::ScreenShot(f->Handle());
    const RECT r = ItemInImage(sp, 0);
    return Near(Px(shot.get(), r.left + 11, (r.top + r.bottom) / 2), kRed, 8);
  }));

  // The system drawing an item into the window (here: a bitmap of the window's size): hot, disabled.
  RECT wr{}, ir{};
  GetWindowRect(f->Handle(), &wr);
  GetMenuItemRect(f->Handle(), GetMenu(f->Handle()), 0, &ir);
  OffsetRect(&ir, -wr.left, -wr.top);
  const int section = manager->GetSkinIndex(L"MENUITEM");
  ASSERT_TRUE(manager->IsValidSkinIndex(section));
  const std::uint32_t hot = Rgb(manager->gd[static_cast<size_t>(section)].Props[1].Color);
  auto drawn = [&](TMenuItem* item, const RECT& at, UINT state) {
    auto b = CreateBmp32(wr.right - wr.left, wr.bottom - wr.top);
    b->Canvas()->Brush()->SetColor(kOutside);
    b->Canvas()->FillRect(Rect(0, 0, b->Width(), b->Height()));
    item->OnAdvancedDrawItem(item, b->Canvas(), TRect(at), state);
    GdiFlush();
    return b;
  };
  {
    auto b = drawn(file, ir, ODS_SELECTED);
    EXPECT_TRUE(Near(Px(b.get(), ir.left + 1, ir.top + 1), hot, 8));
    const int top = ir.top + (ir.bottom - ir.top - 16) / 2;
    EXPECT_TRUE(Near(Px(b.get(), ir.left + 11, top + 8), kRed, 8));
    // Nothing outside the item.
    EXPECT_EQ(Px(b.get(), ir.right + 2, ir.top + 2), Rgb(kOutside));
  }
  {
    RECT hr{};
    GetMenuItemRect(f->Handle(), GetMenu(f->Handle()), 2, &hr);
    OffsetRect(&hr, -wr.left, -wr.top);
    auto normal = drawn(help, hr, 0);
    auto grayed = drawn(help, hr, ODS_GRAYED);
    // The disabled caption is the normal one faded towards the line.
    auto farthest = [&](TBitmap* b) {
      int most = 0;
      for (int y = hr.top; y < hr.bottom; ++y)
        for (int x = hr.left; x < hr.right; ++x) {
          const std::uint32_t p = Px(b, x, y);
          int d = 0;
          for (int s : {0, 8, 16}) d += std::abs(int((p >> s) & 0xFF) - int((band >> s) & 0xFF));
          most = std::max(most, d);
        }
      return most;
    };
    EXPECT_GT(farthest(normal.get()), 0);
    EXPECT_LT(farthest(grayed.get()), farthest(normal.get()) * 6 / 10);
  }

  manager->SetActive(false);
  EXPECT_TRUE(WaitFor([&] { return !sp->SkinData()->Skinned(true); }));
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(OwnerDrawn(f->Handle(), i)) << i;
  EXPECT_FALSE(static_cast<bool>(file->OnAdvancedDrawItem));
  // Skinned again: hooked again.
  manager->SetActive(true);
  EXPECT_TRUE(WaitFor([&] { return OwnerDrawn(f->Handle(), 0) && OwnerDrawn(f->Handle(), 2); }));
}

// An MDI main form whose active child is maximised: the line starts with the child's icon (on the system's entry
// for the child's window menu), keeps the form's own items and ends with the child's minimise, restore and close
// buttons; the restore button pressed by mouse messages restores the child, and the line is the form's own again.
TEST_F(MenuLineItems, AMaximisedMDIChildShowsItsIconAndButtonsOnTheLine) {
  auto* frame = new TForm(nullptr);
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(60, 40, 640, 460);
  frame->SetCaption(L"Ana pencere");
  Application->SetMainForm(frame);
  auto* menu = new TMainMenu(frame);
  TMenuItem* window = AddTop(frame, menu, L"Pencere");
  AddTop(frame, menu, L"Yard\u0131m");
  GivePictures(menu, window, nullptr);
  frame->SetMenu(menu);
  auto* msp = Create<TsSkinProvider>(frame);
  manager->SetActive(true);
  frame->Show();
  ASSERT_TRUE(WaitFor([&] { return frame->ClientHandle() != nullptr && msp->MDIForm != nullptr; }));
  auto* child = new TForm(frame);
  child->SetFormStyle(fsMDIChild);
  child->SetCaption(L"\u00d6\u011frenci");
  child->SetBounds(20, 20, 300, 200);
  auto* csp = Create<TsSkinProvider>(child);
  child->Show();
  ASSERT_TRUE(WaitFor(
      [&] { return child->HandleAllocated() && IsWindowVisible(child->Handle()) && csp->SkinData()->Skinned(true); }));
  const HMENU bar = GetMenu(frame->Handle());
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  SendMessageW(child->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return IsZoomed(child->Handle()) != FALSE; }));
  ASSERT_TRUE(WaitFor([&] { return msp->MDIButtonsNeeded() && !msp->MDIMax.Rect.IsEmpty(); }));
  // The system added its entries for the child: its window menu first, its buttons last.
  ASSERT_TRUE(WaitFor([&] { return GetMenuItemCount(bar) > 2; }));
  ASSERT_TRUE(Repainted(msp));
  TBitmap* cache = msp->SkinData()->CacheBmp();
  const RECT icon = ItemInImage(msp, 0);
  const RECT first = ItemInImage(msp, 1);
  const std::uint32_t band = Px(cache, msp->MDIMin.Rect.Left - 12, (first.top + first.bottom) / 2);
  // The child's icon where the system keeps the child's window menu.
  const int size = msp->MenuHeight() - 2;
  const int iconTop = first.top + 1;
  EXPECT_GT(CountOther(cache, RECT{icon.left, iconTop, icon.left + size + 2, iconTop + size}, band, 0), 20);
  // The form's own first item after it, with its picture.
  const int top = first.top + (first.bottom - first.top - 16) / 2;
  EXPECT_GE(first.left, icon.left + size);
  EXPECT_TRUE(Near(Px(cache, first.left + 11, top + 8), kRed, 8));
  // The buttons, each drawn at its place at the line's end.
  for (TsCaptionButton* b : {&msp->MDIMin, &msp->MDIMax, &msp->MDIClose}) {
    EXPECT_GT(b->Rect.Left, ItemInImage(msp, 2).right);
    EXPECT_GT(CountOther(cache, RECT{b->Rect.Left, b->Rect.Top, b->Rect.Right, b->Rect.Bottom}, band, 0), 4);
  }
  formtest::SaveScreen(frame->Handle(), "mdi_line_maximised");

  // The restore button, pressed and released by mouse messages.
  const RECT wr = formtest::WindowRectOf(frame->Handle());
  const TRect restore = msp->MDIMax.Rect;
  const LPARAM at =
      MAKELPARAM(wr.left + (restore.Left + restore.Right) / 2, wr.top + (restore.Top + restore.Bottom) / 2);
  ASSERT_EQ(SendMessageW(frame->Handle(), WM_NCHITTEST, 0, at), HTCHILDMAX);
  SendMessageW(frame->Handle(), WM_NCMOUSEMOVE, HTCHILDMAX, at);
  SendMessageW(frame->Handle(), WM_NCLBUTTONDOWN, HTCHILDMAX, at);
  SendMessageW(frame->Handle(), WM_NCLBUTTONUP, HTCHILDMAX, at);
  ASSERT_TRUE(WaitFor([&] { return !IsZoomed(child->Handle()); }));
  EXPECT_EQ(child->Width(), 300);
  // The line is the form's own again: its items from the start, no icon, no buttons.
  ASSERT_TRUE(WaitFor([&] { return GetMenuItemCount(bar) == 2 && !msp->MDIButtonsNeeded(); }));
  ASSERT_TRUE(Repainted(msp));
  cache = msp->SkinData()->CacheBmp();
  EXPECT_TRUE(msp->MDIMax.Rect.IsEmpty());
  const RECT own = ItemInImage(msp, 0);
  EXPECT_EQ(own.left, icon.left);
  EXPECT_TRUE(Near(Px(cache, own.left + 11, own.top + (own.bottom - own.top - 16) / 2 + 8), kRed, 8));
  EXPECT_EQ(CountOther(cache, RECT{restore.Left, restore.Top, restore.Right, restore.Bottom}, band, 0), 0);
  formtest::SaveScreen(frame->Handle(), "mdi_line_restored");
  manager->SetActive(false);
  images.reset();
  Application->SetMainForm(nullptr);
  delete frame;
}

// Under a skin without the small minimise, maximise and restore pictures (the plain test skin has only close
// pictures), those child buttons take no place on the line: no rectangle and no hit code; the close button keeps
// its place at the end and is the only one answering.
TEST_F(MenuLineItems, ChildButtonsWithoutTheirPicturesTakeNoPlace) {
  manager->SetSkinDirectory(SkinsSource());
  auto* frame = new TForm(nullptr);
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(60, 40, 640, 460);
  Application->SetMainForm(frame);
  auto* menu = new TMainMenu(frame);
  AddTop(frame, menu, L"Pencere");
  frame->SetMenu(menu);
  auto* msp = Create<TsSkinProvider>(frame);
  manager->SetActive(true);
  frame->Show();
  ASSERT_TRUE(WaitFor([&] { return frame->ClientHandle() != nullptr && msp->MDIForm != nullptr; }));
  auto* child = new TForm(frame);
  child->SetFormStyle(fsMDIChild);
  child->SetBounds(20, 20, 300, 200);
  Create<TsSkinProvider>(child);
  child->Show();
  ASSERT_TRUE(WaitFor([&] { return child->HandleAllocated() && IsWindowVisible(child->Handle()); }));
  SendMessageW(child->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return IsZoomed(child->Handle()) && msp->MDIButtonsNeeded(); }));
  ASSERT_TRUE(Repainted(msp));
  const auto& c = manager->ConstData;
  ASSERT_FALSE(manager->IsValidImgIndex(msp->MDIMin.ImageIndex));
  ASSERT_FALSE(manager->IsValidImgIndex(c.MaskNormSmall) || manager->IsValidImgIndex(c.MaskNormBtn) ||
               manager->IsValidImgIndex(msp->MDIMax.ImageIndex));
  ASSERT_TRUE(manager->IsValidImgIndex(msp->MDIClose.ImageIndex));
  EXPECT_TRUE(msp->MDIMin.Rect.IsEmpty());
  EXPECT_TRUE(msp->MDIMax.Rect.IsEmpty());
  ASSERT_FALSE(msp->MDIClose.Rect.IsEmpty());
  const RECT wr = formtest::WindowRectOf(frame->Handle());
  const TRect close = msp->MDIClose.Rect;
  // Left of the close button, where the others stood before, is plain line answering no child code.
  for (int dx : {2, close.Width() + 3, 2 * close.Width() + 3}) {
    SCOPED_TRACE(dx);
    const LPARAM at = MAKELPARAM(wr.left + close.Left - dx, wr.top + (close.Top + close.Bottom) / 2);
    const LRESULT code = SendMessageW(frame->Handle(), WM_NCHITTEST, 0, at);
    EXPECT_NE(code, HTCHILDMIN);
    EXPECT_NE(code, HTCHILDMAX);
  }
  const LPARAM onClose = MAKELPARAM(wr.left + (close.Left + close.Right) / 2, wr.top + (close.Top + close.Bottom) / 2);
  EXPECT_EQ(SendMessageW(frame->Handle(), WM_NCHITTEST, 0, onClose), HTCHILDCLOSE);
  manager->SetActive(false);
  Application->SetMainForm(nullptr);
  delete frame;
}
