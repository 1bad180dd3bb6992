// Skinned list views (with their column header) and tree views of the system's own classes: the skin's colours
// given to the control, the header's columns painted from the skin in their normal, hot and pressed looks, the
// skinned scroll bars scrolling the list by arrows, pages, thumb drags and the wheel; the window working on when it
// is destroyed while wrapped, when the wrapper is freed first and when the skin goes in the middle of a drag; and
// no GDI object left behind over many repaints and skin changes. Screenshots: $TAVREL_SHOTS/win29_lv_*.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "skin/windows/lvListViewWnd.h"
#include "skin/windows/lvSBWnd.h"
#include "wintest.h"

#include <commctrl.h>

using namespace vcl;
using namespace wintest;

namespace {

WNDPROC gHeaderBelow = nullptr;
LRESULT CALLBACK HeaderOnTop(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(gHeaderBelow, wnd, msg, wParam, lParam);
}

class ListViews : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    manager = StartUnderLale(hostForm, skins.Path());
    manager->ScrollsOptions()->SetScrollSize(18);
    manager->SetActive(true);
    host = Host(40, 40, 520, 400);
  }
  void TearDown() override {
    delete w;
    w = nullptr;
    if (host) DestroyWindow(host);
    hostForm->Free();
    Pump();
    SetCursorPos(1270, 1010);
  }
  HWND List(DWORD view = LVS_REPORT, int rows = 120) {
    HWND lv = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | view, 10, 10, 320, 220, host,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    const wchar_t* titles[] = {L"Adı", L"Soyadı", L"Şube"};
    for (int i = 0; i < 3; ++i) {
      LVCOLUMNW c{};
      c.mask = LVCF_TEXT | LVCF_WIDTH;
      c.cx = i == 2 ? 70 : 100;
      c.pszText = const_cast<wchar_t*>(titles[i]);
      SendMessageW(lv, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
    }
    for (int r = 0; r < rows; ++r) {
      std::wstring t = L"Öğrenci " + std::to_wstring(r);
      LVITEMW it{};
      it.mask = LVIF_TEXT;
      it.iItem = r;
      it.pszText = t.data();
      SendMessageW(lv, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it));
    }
    return lv;
  }
  HWND Header(HWND lv) { return reinterpret_cast<HWND>(SendMessageW(lv, LVM_GETHEADER, 0, 0)); }
  TlvListViewWnd* WrapList(HWND lv) {
    TlvSkinParams params;
    params.SkinSection = L"EDIT";
    auto* lw = NewWrapper<TlvListViewWnd>(lv, nullptr, manager, params, true);
    w = lw;
    RedrawWindow(lv, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    return lw;
  }
  // What the header column of item rectangle r looks like in state at (x, y) of the column.
  COLORREF ColumnPixel(const RECT& r, int state, int x, int y) {
    auto bmp = CreateBmp32(r.right - r.left, r.bottom - r.top);
    int section = manager->GetSkinIndex(L"COLHEADER");
    if (!manager->IsValidSkinIndex(section)) section = manager->GetSkinIndex(L"BUTTON");
    PaintSection(bmp.get(), section, -1, state, manager, TPoint(r.left, r.top), clWindow);
    GdiFlush();
    return GetPixel(bmp->Canvas()->Handle(), x, y);
  }
  // A header column's pixel on the screen equals the skin's picture of it in state.
  bool ColumnShows(HWND header, int item, int state) {
    RECT r{};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
    const int x = r.right - 6 - r.left, y = (r.bottom - r.top) / 2;
    const COLORREF want = ColumnPixel(r, state, x, y);
    POINT p{r.left + x, r.top + y};
    ClientToScreen(header, &p);
    return PumpUntil([&] { return Near(ScreenPixel(p.x, p.y), want, 12); }, 10000);
  }
  COLORREF SectionColour(const wchar_t* name, int state = 0) {
    const int i = manager->GetSkinIndex(name);
    return ColorToRGB(manager->gd[static_cast<size_t>(i)].Props[static_cast<size_t>(state)].Color);
  }
  RECT VBar(HWND wnd) {
    RECT r;
    lv_GetVScrollRect(static_cast<TlvScrollWnd*>(w), wnd, r);
    return r;
  }
  std::pair<int, int> Thumb(HWND wnd) {
    auto* s = static_cast<TlvScrollWnd*>(w);
    s->sBarVert->ReadInfo(wnd);
    int size = 0, pos = 0;
    Lv_CalcThumbSize(s->sBarVert.get(), VBar(wnd), size, pos);
    return {pos, size};
  }
  void PressAt(HWND wnd, int x, int y) {
    SetCursorPos(x, y);
    SendMessageW(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x, y));
  }
  void MoveTo(HWND wnd, int x, int y) {
    SetCursorPos(x, y);
    POINT p{x, y};
    ScreenToClient(wnd, &p);
    SendMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  }
  void ReleaseAt(HWND wnd, int x, int y) {
    POINT p{x, y};
    ScreenToClient(wnd, &p);
    SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    SetCursorPos(1270, 1010);
  }
  void Broadcast(HWND h, WORD cmd) {
    SendMessageW(h, SM_LUMICMD, MakeLumiWParam(cmd), reinterpret_cast<LPARAM>(manager));
  }

  ScrollSkins skins;
  TForm* hostForm = nullptr;
  TsSkinManager* manager = nullptr;
  HWND host = nullptr;
  TlvMainWnd* w = nullptr;
};

LRESULT Top(HWND lv) { return SendMessageW(lv, LVM_GETTOPINDEX, 0, 0); }

}  // namespace

TEST_F(ListViews, ReportViewTakesTheSkinColoursAndItsHeaderIsPaintedFromTheSkin) {
  struct Case {
    const wchar_t* skin;  // nullptr: no active skin
    const ScrollColours* colours;
  };
  const Case cases[] = {{L"Lale", &kLale}, {L"Deniz", &kDeniz}, {nullptr, nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.skin ? c.skin : L"no skin");
    if (c.skin) {
      manager->SetActive(true);
      if (manager->SkinName() != c.skin) manager->SetSkinName(c.skin);
    } else {
      manager->SetActive(false);
    }
    HWND lv = List();
    HWND header = Header(lv);
    ASSERT_TRUE(header);
    const LRESULT plainBk = SendMessageW(lv, LVM_GETBKCOLOR, 0, 0);
    // The first column sorted ascending: a mark after its text.
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.fmt |= HDF_SORTUP;
    SendMessageW(header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    auto* lw = WrapList(lv);
    if (!c.skin) {
      // The system's own picture: no colours given, no header painting, no skinned bars.
      EXPECT_EQ(SendMessageW(lv, LVM_GETBKCOLOR, 0, 0), plainBk);
      EXPECT_FALSE(lw->sBarVert && lw->sBarVert->fScrollVisible && lw->SkinActive());
      SaveShot(host, "win29_lv_noskin");
    } else {
      EXPECT_EQ(lw->FhWndHeader, header);
      EXPECT_EQ(static_cast<COLORREF>(SendMessageW(lv, LVM_GETBKCOLOR, 0, 0)), SectionColour(L"EDIT"));
      EXPECT_EQ(static_cast<COLORREF>(SendMessageW(lv, LVM_GETTEXTBKCOLOR, 0, 0)), SectionColour(L"EDIT"));
      EXPECT_TRUE(lw->sBarVert->fScrollVisible);
      const RECT vr = VBar(lv);
      EXPECT_EQ(vr.right - vr.left, 18);
      EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 2, vr.top + 2), c.colours->button.ref()); }));
      // Every column and the strip right of the last one, in the normal look.
      for (int i = 0; i < 3; ++i) EXPECT_TRUE(ColumnShows(header, i, 0)) << "column " << i;
      RECT last{}, hr{};
      SendMessageW(header, HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&last));
      GetClientRect(header, &hr);
      if (hr.right - last.right > 12) {
        const RECT strip{last.right, 0, hr.right, hr.bottom};
        const COLORREF want = ColumnPixel(strip, 0, (strip.right - strip.left) / 2, hr.bottom / 2);
        POINT p{(last.right + hr.right) / 2, hr.bottom / 2};
        ClientToScreen(header, &p);
        EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(p.x, p.y), want, 12); }));
      }
      // The mouse over the second column: hot; pressed on the first: pressed, the others normal.
      RECT r1{};
      SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r1));
      POINT p1{(r1.left + r1.right) / 2, (r1.top + r1.bottom) / 2};
      ClientToScreen(header, &p1);
      SendMessageW(header, WM_NCHITTEST, 0, MAKELPARAM(p1.x, p1.y));
      EXPECT_EQ(lw->HoverColIndex, 1);
      EXPECT_TRUE(ColumnShows(header, 1, 1));
      SaveShot(host, std::string("win29_lv_") + (c.skin[0] == L'L' ? "Lale" : "Deniz") + "_hot");
      SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 8));
      EXPECT_EQ(lw->FPressedColumn, 0);
      EXPECT_TRUE(ColumnShows(header, 0, 2) || ColumnShows(header, 0, 1));
      EXPECT_TRUE(ColumnShows(header, 1, 0));
      SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(20, 8));
      ReleaseCapture();
      EXPECT_EQ(lw->FPressedColumn, -1);
      // The mouse goes into the list: no hot column.
      RECT lr;
      GetWindowRect(lv, &lr);
      SendMessageW(lv, WM_NCHITTEST, 0, MAKELPARAM(lr.left + 40, lr.bottom - 40));
      EXPECT_EQ(lw->HoverColIndex, -1);
      EXPECT_TRUE(ColumnShows(header, 1, 0));
      // Printing: the header comes with the list.
      HDC screen = GetDC(nullptr);
      HDC mem = CreateCompatibleDC(screen);
      HBITMAP bmp = CreateCompatibleBitmap(screen, lr.right - lr.left, lr.bottom - lr.top);
      HGDIOBJ old = SelectObject(mem, bmp);
      SendMessageW(lv, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN);
      RECT r0{};
      SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r0));
      const int e = lw->cxLeftEdge;
      EXPECT_TRUE(Near(GetPixel(mem, e + r0.right - 6, e + (r0.bottom - r0.top) / 2),
                       ColumnPixel(r0, 0, r0.right - 6 - r0.left, (r0.bottom - r0.top) / 2), 12));
      SelectObject(mem, old);
      DeleteObject(bmp);
      DeleteDC(mem);
      ReleaseDC(nullptr, screen);
      SaveShot(host, std::string("win29_lv_") + (c.skin[0] == L'L' ? "Lale" : "Deniz"));
    }
    delete w;
    w = nullptr;
    // Freed: the list's own colours and its header's procedure are back.
    EXPECT_EQ(SendMessageW(lv, LVM_GETBKCOLOR, 0, 0), plainBk);
    EXPECT_EQ(GetPropW(header, L"LVSBHDR"), nullptr);
    DestroyWindow(lv);
  }
  manager->SetActive(true);
}

namespace {

// A 16 by 16 image list of solid colours.
HIMAGELIST SolidImages(std::initializer_list<COLORREF> colours) {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24, 4, 4);
  HDC screen = GetDC(nullptr);
  for (COLORREF c : colours) {
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(mem, bmp);
    HBRUSH brush = CreateSolidBrush(c);
    RECT r{0, 0, 16, 16};
    FillRect(mem, &r, brush);
    DeleteObject(brush);
    SelectObject(mem, old);
    DeleteDC(mem);
    ImageList_Add(list, bmp, nullptr);
    DeleteObject(bmp);
  }
  ReleaseDC(nullptr, screen);
  return list;
}

}  // namespace

TEST_F(ListViews, HeaderColumnsShowTheirImagesFromTheHeadersOwnList) {
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 200, 0), blue = RGB(0, 0, 255), yellow = RGB(255, 255, 0);
  HIMAGELIST small = SolidImages({red, green, blue});
  HIMAGELIST own = SolidImages({red, yellow, blue});
  HWND lv = List(LVS_REPORT | LVS_SHAREIMAGELISTS, 20);
  HWND header = Header(lv);
  SendMessageW(lv, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small));
  // Column 0: image 1; column 1: image 0 (the room is kept, nothing drawn); column 2: an index without the image flag.
  const struct {
    int fmt, image;
  } items[] = {{HDF_STRING | HDF_IMAGE, 1}, {HDF_STRING | HDF_IMAGE, 0}, {HDF_STRING, 2}};
  for (int i = 0; i < 3; ++i) {
    HDITEMW it{};
    it.mask = HDI_FORMAT | HDI_IMAGE;
    it.fmt = items[i].fmt;
    it.iImage = items[i].image;
    SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
  }
  auto* lw = WrapList(lv);
  ASSERT_EQ(lw->FhWndHeader, header);
  RECT hr{};
  GetClientRect(header, &hr);
  // The header painted into a bitmap of ours; (x, y) of column i.
  auto pixel = [&](int i, int x, int y) {
    auto bmp = CreateBmp32(hr.right, hr.bottom);
    lw->PaintHeader(bmp->Canvas()->Handle());
    RECT r{};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    GdiFlush();
    return GetPixel(bmp->Canvas()->Handle(), r.left + x, y);
  };
  const int top = (hr.bottom - 16) / 2;
  RECT r0{}, r1{};
  SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r0));
  SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r1));
  std::printf("the list view hands its small images to its header: %s\n",
              SendMessageW(header, HDM_GETIMAGELIST, 0, 0) == reinterpret_cast<LRESULT>(small) ? "yes" : "no");
  // The image sits at the text's left edge (4) less its room; the list view's small images are the columns' images.
  EXPECT_TRUE(Near(pixel(0, 12, top + 8), green, 4));
  EXPECT_TRUE(Near(pixel(1, 12, top + 8), ColumnPixel(r1, 0, 12, top + 8), 12)) << "image 0 is not drawn";
  EXPECT_FALSE(Near(pixel(2, 12, top + 8), blue, 40)) << "no image flag, no image";
  // Pressed: a pixel lower (and right when the skin shifts pressed content).
  EXPECT_FALSE(Near(pixel(0, 12, top + 16), green, 4));
  lw->FPressedColumn = 0;
  EXPECT_TRUE(Near(pixel(0, 13, top + 16), green, 4));
  lw->FPressedColumn = -1;
  // A list disabled: the image in its disabled look.
  EnableWindow(lv, FALSE);
  EXPECT_FALSE(Near(pixel(0, 12, top + 8), green, 40));
  EnableWindow(lv, TRUE);
  // A list of the header's own comes before the list view's.
  SendMessageW(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(own));
  EXPECT_TRUE(Near(pixel(0, 12, top + 8), yellow, 4));
  // On the screen as well.
  RedrawWindow(lv, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  POINT p{r0.left + 12, top + 8};
  ClientToScreen(header, &p);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(p.x, p.y), yellow, 4); }, 10000));
  SaveShot(host, "win29_lv_header_images");
  delete w;
  w = nullptr;
  DestroyWindow(lv);
  ImageList_Destroy(small);
  ImageList_Destroy(own);
}

TEST_F(ListViews, OtherViewsKeepTheSystemsHeaderAndAHeaderMadeLaterIsTaken) {
  HWND lv = List(LVS_LIST, 200);
  auto* lw = WrapList(lv);
  EXPECT_EQ(lw->ViewStyle(), 2);
  // List view: horizontal thumb tracking scrolls by whole columns of item 0's width.
  RECT ir{};
  ir.left = LVIR_BOUNDS;
  SendMessageW(lv, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&ir));
  nLastSBPos = 0;
  SendMessageW(lv, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 2), 0);
  EXPECT_GT(SendMessageW(lv, LVM_GETTOPINDEX, 0, 0), 0);
  // Switched to report view: the header the list makes now is taken and painted from the skin.
  SetWindowLongPtrW(lv, GWL_STYLE, (GetWindowLongPtrW(lv, GWL_STYLE) & ~LVS_TYPEMASK) | LVS_REPORT);
  SendMessageW(lv, LVM_SETVIEW, LV_VIEW_DETAILS, 0);
  HWND header = Header(lv);
  ASSERT_TRUE(header);
  EXPECT_EQ(lw->ViewStyle(), 3);
  EXPECT_EQ(lw->FhWndHeader, header);
  RedrawWindow(lv, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_TRUE(ColumnShows(header, 0, 0));
  SaveShot(host, "win29_lv_report_later");
}

TEST_F(ListViews, SkinnedBarsScrollTheListByArrowsPagesThumbAndWheel) {
  HWND lv = List();
  WrapList(lv);
  const RECT vr = VBar(lv);
  ASSERT_EQ(Top(lv), 0);
  // Arrow held: one line at once, more on the repeat timer, none after the release.
  PressAt(lv, vr.left + 9, vr.bottom - 5);
  EXPECT_EQ(Top(lv), 1);
  EXPECT_TRUE(PumpUntil([&] { return Top(lv) >= 4; }));
  ReleaseAt(lv, vr.left + 9, vr.bottom - 5);
  const LRESULT afterArrow = Top(lv);
  PumpFor(200);
  EXPECT_EQ(Top(lv), afterArrow);
  EXPECT_EQ(VPos(lv), afterArrow);
  // A page.
  const SCROLLINFO si = Info(lv);
  auto [tp, ts] = Thumb(lv);
  const int pageY = (tp + ts + vr.bottom - 18) / 2;
  PressAt(lv, vr.left + 9, pageY);
  ReleaseAt(lv, vr.left + 9, pageY);
  EXPECT_EQ(Top(lv), afterArrow + static_cast<int>(si.nPage));
  // Thumb drag: the list follows the thumb line by line.
  std::tie(tp, ts) = Thumb(lv);
  const int from = static_cast<int>(Top(lv));
  PressAt(lv, vr.left + 9, tp + ts / 2);
  MoveTo(lv, vr.left + 9, tp + ts / 2 + 50);
  const int tracked = nLastSBPos;
  EXPECT_GT(tracked, from);
  EXPECT_TRUE(PumpUntil([&] { return Top(lv) == tracked; }));
  ReleaseAt(lv, vr.left + 9, tp + ts / 2 + 50);
  EXPECT_EQ(Top(lv), tracked);
  EXPECT_EQ(VPos(lv), tracked);
  std::tie(tp, ts) = Thumb(lv);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 9, tp + ts / 2), kLale.slider.ref()); }));
  SaveShot(host, "win29_lv_Lale_dragged");
  // The wheel: the list moves and the skinned bar follows.
  RECT wr;
  GetWindowRect(lv, &wr);
  SendMessageW(lv, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA * 2)), MAKELPARAM(wr.left + 30, wr.top + 60));
  EXPECT_LT(Top(lv), tracked);
  EXPECT_EQ(static_cast<TlvScrollWnd*>(w)->sBarVert->ScrollInfo.nPos, VPos(lv));
}

TEST_F(ListViews, TheWindowWorksOnWhenDestroyedWrappedFreedFirstOrTheSkinGoesMidDrag) {
  // The skin goes in the middle of a thumb drag.
  HWND lv = List();
  WrapList(lv);
  const RECT vr = VBar(lv);
  auto [tp, ts] = Thumb(lv);
  PressAt(lv, vr.left + 9, tp + ts / 2);
  ASSERT_EQ(uCurrentScrollPortion, HTSCROLL_THUMB);
  manager->SetActive(false);
  Broadcast(lv, LVC_REMOVESKIN);
  MoveTo(lv, vr.left + 9, tp + ts / 2 + 40);
  ReleaseAt(lv, vr.left + 9, tp + ts / 2 + 40);
  EXPECT_NE(GetCapture(), lv);
  PumpFor(150);
  SendMessageW(lv, WM_VSCROLL, SB_LINEDOWN, 0);
  const LRESULT top = Top(lv);
  SendMessageW(lv, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Top(lv), top + 1);
  UpdateWindow(lv);
  Pump();
  SaveShot(host, "win29_lv_skin_gone_mid_drag");
  manager->SetActive(true);
  Broadcast(lv, LVC_SETNEWSKIN);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 2, vr.top + 2), kLale.button.ref()); }));

  // Freed first, under another party's subclass of the header: both keep working.
  HWND header = Header(lv);
  gHeaderBelow = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HeaderOnTop)));
  delete w;
  w = nullptr;
  EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
  RedrawWindow(lv, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  SendMessageW(lv, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_GT(Top(lv), 0);
  DestroyWindow(lv);

  // Destroyed while wrapped: the wrapper outlives it (header too) and frees without touching it.
  lv = List();
  auto* lw = WrapList(lv);
  DestroyWindow(lv);
  EXPECT_TRUE(lw->Destroyed);
  EXPECT_EQ(lw->FhWndHeader, nullptr);
  delete w;
  w = nullptr;
}

TEST_F(ListViews, ATreeViewTakesTheSkinColoursScrollsAndGivesThemBack) {
  HWND tv = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, 10, 10, 260, 220,
                            host, nullptr, GetModuleHandleW(nullptr), nullptr);
  for (int i = 0; i < 80; ++i) {
    std::wstring t = L"Sınıf " + std::to_wstring(i) + L" ğüşİı";
    TVINSERTSTRUCTW ins{};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = t.data();
    SendMessageW(tv, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins));
  }
  TlvSkinParams params;
  params.SkinSection = L"EDIT";
  auto* tw = NewWrapper<TlvTreeViewWnd>(tv, nullptr, manager, params, true);
  w = tw;
  RedrawWindow(tv, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tv, TVM_GETBKCOLOR, 0, 0)), SectionColour(L"EDIT"));
  const int fontState = 0;
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tv, TVM_GETTEXTCOLOR, 0, 0)),
            ColorToRGB(manager->gd[static_cast<size_t>(manager->GetSkinIndex(L"EDIT"))].Props[fontState].FontColor.Color));
  // The empty right part of the client area shows the skin's background.
  RECT cr;
  GetClientRect(tv, &cr);
  POINT p{cr.right - 8, cr.bottom / 2};
  ClientToScreen(tv, &p);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(p.x, p.y), SectionColour(L"EDIT")); }));
  const RECT vr = VBar(tv);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 2, vr.top + 2), kLale.button.ref()); }));
  SaveShot(host, "win29_tv_Lale");
  // Arrow held scrolls on the timers; the wheel scrolls back.
  PressAt(tv, vr.left + 9, vr.bottom - 5);
  EXPECT_EQ(VPos(tv), 1);
  EXPECT_TRUE(PumpUntil([&] { return VPos(tv) >= 4; }));
  ReleaseAt(tv, vr.left + 9, vr.bottom - 5);
  RECT wr;
  GetWindowRect(tv, &wr);
  // Enough notches for wherever the held arrow got to (it runs on longer on a busy machine).
  const int notches = std::min(VPos(tv) / 3 + 2, 200);
  SendMessageW(tv, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA * notches)),
               MAKELPARAM(wr.left + 30, wr.top + 60));
  EXPECT_EQ(VPos(tv), 0);
  EXPECT_EQ(tw->sBarVert->ScrollInfo.nPos, 0);
  // Another skin, then none: the tree's colours follow, and the system's come back.
  manager->SetSkinName(L"Deniz");
  Broadcast(tv, LVC_SETNEWSKIN);
  RedrawWindow(tv, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tv, TVM_GETBKCOLOR, 0, 0)), SectionColour(L"EDIT"));
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(p.x, p.y), SectionColour(L"EDIT")); }))
      << std::hex << ScreenPixel(p.x, p.y) << " " << SectionColour(L"EDIT");
  SaveShot(host, "win29_tv_Deniz");
  manager->SetActive(false);
  Broadcast(tv, LVC_REMOVESKIN);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tv, TVM_GETBKCOLOR, 0, 0)), static_cast<COLORREF>(-1));
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tv, TVM_GETTEXTCOLOR, 0, 0)), static_cast<COLORREF>(-1));
  RedrawWindow(tv, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(p.x, p.y), GetSysColor(COLOR_WINDOW)); }));
  SaveShot(host, "win29_tv_noskin");
  manager->SetActive(true);
}

TEST_F(ListViews, GdiObjectsStayFlatOverRepaintsAndSkinChanges) {
  HWND lv = List();
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  item.fmt = HDF_STRING | HDF_SORTDOWN;
  SendMessageW(Header(lv), HDM_SETITEMW, 1, reinterpret_cast<LPARAM>(&item));
  // A column with an image, drawn enabled and, every seventh cycle, disabled.
  HIMAGELIST images = SolidImages({RGB(255, 0, 0), RGB(0, 200, 0)});
  SendMessageW(lv, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
  item.mask = HDI_FORMAT | HDI_IMAGE;
  item.fmt = HDF_STRING | HDF_IMAGE;
  item.iImage = 1;
  SendMessageW(Header(lv), HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  auto* lw = WrapList(lv);
  HWND tv = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE, 340, 10, 150, 150, host, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  TlvSkinParams params;
  params.SkinSection = L"EDIT";
  auto* tw = NewWrapper<TlvTreeViewWnd>(tv, nullptr, manager, params, true);
  HWND bar = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_VERT, 340, 180, 20, 180, host, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  SetScrollRange(bar, SB_CTL, 0, 100, TRUE);
  auto* bw = NewWrapper<TlvSBWnd>(bar, nullptr, manager, TlvSkinParams(), true);
  HWND header = Header(lv);
  auto cycle = [&](int i) {
    RedrawWindow(lv, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RedrawWindow(tv, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    SendMessageW(lv, WM_VSCROLL, i % 2 ? SB_LINEUP : SB_LINEDOWN, 0);
    SetScrollPos(bar, SB_CTL, i % 100, TRUE);
    RECT r{};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(i % 3), reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, 5};
    ClientToScreen(header, &p);
    SendMessageW(header, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    EnableWindow(lv, i % 7 != 0);
    UpdateWindow(header);
    if (i % 25 == 0) {
      manager->SetSkinName(i % 50 ? L"Deniz" : L"Lale");
      for (HWND h : {lv, tv, bar}) Broadcast(h, LVC_SETNEWSKIN);
    }
    if (i % 60 == 0) {
      manager->SetActive(false);
      for (HWND h : {lv, tv, bar}) Broadcast(h, LVC_REMOVESKIN);
      manager->SetActive(true);
      for (HWND h : {lv, tv, bar}) Broadcast(h, LVC_SETNEWSKIN);
    }
    Pump();
  };
  for (int i = 0; i < 60; ++i) cycle(i);
  const long before = GdiObjectCount();
  ASSERT_GT(before, 0) << "no way to count the process's GDI objects here";
  for (int i = 0; i < 300; ++i) cycle(i);
  const long after = GdiObjectCount();
  EXPECT_LE(after, before + 4) << before << " -> " << after;
  std::printf("GDI objects over 300 list, tree and bar repaints and skin changes: %ld -> %ld\n", before, after);
  delete bw;
  delete tw;
  (void)lw;
  EnableWindow(lv, TRUE);
}
