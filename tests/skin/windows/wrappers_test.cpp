// What every window wrapper owes the window it holds: the window's procedure comes back when the window goes and
// when the wrapper is freed first (the window keeps working, also under another party's later subclass); a
// platform control gets exactly its WindowProc back; without an active skin a wrapped window looks and behaves as
// the platform's own; the common messages are answered as the skinned controls expect.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "platform/db/dbctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sMessages.h"
#include "skin/windows/lvComboWnd.h"
#include "skin/windows/lvEditWnd.h"
#include "wintest.h"

using namespace vcl;
using namespace wintest;

namespace {

// A window class that records what its own procedure sees.
std::vector<UINT> gSeen;
LRESULT CALLBACK RecordingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  gSeen.push_back(msg);
  return DefWindowProcW(wnd, msg, wParam, lParam);
}
WNDPROC gBelow = nullptr;
LRESULT CALLBACK OnTopProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(gBelow, wnd, msg, wParam, lParam);
}

HWND Recording(HWND parent) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"wrapRecording";
    RegisterClassExW(&wc);
    registered = true;
  }
  return CreateWindowExW(0, L"wrapRecording", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 10, 120, 80, parent, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

size_t Count(UINT msg) {
  size_t n = 0;
  for (UINT m : gSeen) n += m == msg;
  return n;
}

class Wrappers : public ::testing::Test {
 protected:
  void SetUp() override {
    manager = StartUnderLale(hostForm, skins.Path());
    manager->ScrollsOptions()->SetScrollSize(18);
    manager->SetActive(true);
    host = Host(40, 40, 460, 360);
  }
  void TearDown() override {
    if (host) DestroyWindow(host);
    if (form) form->Free();
    hostForm->Free();
    Pump();
  }
  TlvSkinParams Params(const wchar_t* section = L"EDIT") {
    TlvSkinParams p;
    p.SkinSection = section;
    return p;
  }

  ScrollSkins skins;
  TForm* hostForm = nullptr;
  TForm* form = nullptr;
  TsSkinManager* manager = nullptr;
  HWND host = nullptr;
};

}  // namespace

TEST_F(Wrappers, ABareWindowGetsItsProcedureBackWhenItGoesAndWhenTheWrapperGoesFirst) {
  // The window goes first: its own procedure sees its end, the wrapper lets go and lives on.
  HWND wnd = Recording(host);
  const LONG_PTR own = GetWindowLongPtrW(wnd, GWLP_WNDPROC);
  gSeen.clear();
  // The base wrapper alone: what every wrapper does first.
  auto* w = NewWrapper<TlvMainWnd>(wnd, nullptr, manager, Params(), true);
  EXPECT_NE(GetWindowLongPtrW(wnd, GWLP_WNDPROC), own);
  EXPECT_EQ(GetPropW(wnd, L"LVSBSC"), w);
  EXPECT_EQ(Lv_GetScrollWndFromHwnd(wnd), nullptr);  // not a scroll wrapper
  EXPECT_EQ(SendMessageW(wnd, SM_LUMICMD, MakeLumiWParam(LVC_GETLISTSW), 0), reinterpret_cast<LRESULT>(w));
  EXPECT_EQ(SendMessageW(wnd, SM_LUMICMD, MakeLumiWParam(LVC_CTRLHANDLED), 0), 1);
  // The common first-stage handling.
  gSeen.clear();
  SendMessageW(wnd, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
  EXPECT_EQ(Count(WM_UPDATEUISTATE), 0u);
  SendMessageW(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Iğdır"));
  EXPECT_EQ(Count(WM_SETTEXT), 1u);
  EXPECT_EQ(w->Caption, L"Iğdır");
  gSeen.clear();
  DestroyWindow(wnd);
  EXPECT_EQ(Count(WM_DESTROY), 1u);
  EXPECT_EQ(Count(WM_NCDESTROY), 1u);
  EXPECT_TRUE(w->Destroyed);
  EXPECT_EQ(w->OldProc, nullptr);
  delete w;  // nothing left to give back

  // A scroll wrapper of the same kind of window likewise.
  wnd = Recording(host);
  auto* e = NewWrapper<TlvEditWnd>(wnd, nullptr, manager, Params(), true);
  EXPECT_EQ(Lv_GetScrollWndFromHwnd(wnd), e);
  gSeen.clear();
  DestroyWindow(wnd);
  EXPECT_EQ(Count(WM_NCDESTROY), 1u);
  EXPECT_TRUE(e->Destroyed);
  delete e;

  // The wrapper goes first: the window has exactly its own procedure again and keeps working.
  wnd = Recording(host);
  auto* w2 = NewWrapper<TlvEditWnd>(wnd, nullptr, manager, Params(), true);
  delete w2;
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWLP_WNDPROC), own);
  EXPECT_EQ(GetPropW(wnd, L"LVSBSC"), nullptr);
  EXPECT_EQ(SendMessageW(wnd, SM_LUMICMD, MakeLumiWParam(LVC_GETLISTSW), 0), 0);
  SetWindowTextW(wnd, L"Şişli");
  wchar_t text[16] = {};
  GetWindowTextW(wnd, text, 16);
  EXPECT_STREQ(text, L"Şişli");

  // Another party subclassed the window after the wrapper: its procedure stays on top, and once the wrapper is
  // freed the chain still ends in the window's own procedure.
  auto* w3 = NewWrapper<TlvEditWnd>(wnd, nullptr, manager, Params(), true);
  gBelow = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OnTopProc)));
  TlvMainWnd* base = w3;
  UninitializeLVWnd(wnd, true, false, base);
  EXPECT_EQ(base, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&OnTopProc));
  gSeen.clear();
  SetWindowTextW(wnd, L"Ümraniye");
  GetWindowTextW(wnd, text, 16);
  EXPECT_STREQ(text, L"Ümraniye");
  EXPECT_EQ(Count(WM_SETTEXT), 1u);
  DestroyWindow(wnd);
  EXPECT_EQ(Count(WM_NCDESTROY), 1u);
}

TEST_F(Wrappers, APlatformControlGetsExactlyItsWindowProcBack) {
  form = Create<TForm>(Application);
  form->SetBounds(40, 40, 400, 300);
  auto* memo = Create<TMemo>(form);
  memo->SetParent(form);
  memo->SetBounds(10, 10, 220, 150);
  memo->SetScrollBars(ssVertical);
  memo->SetText(Lines(100));
  form->Show();
  Pump();
  const TWndMethod original = memo->WindowProc;
  auto data = std::make_unique<TsScrollWndData>(memo, true);
  data->COC = COC_TsMemo;
  data->SetSkinSection(L"EDIT");
  ASSERT_TRUE(data->Skinned());
  TlvScrollWnd* sw = nullptr;
  RefreshEditScrolls(data.get(), sw);
  ASSERT_NE(sw, nullptr);
  EXPECT_NE(memo->WindowProc, original);
  EXPECT_EQ(Lv_GetScrollWndFromHwnd(memo->Handle()), sw);
  // The memo is skinned: its skinned bar scrolls it.
  RedrawWindow(memo->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  RECT vr;
  lv_GetVScrollRect(sw, memo->Handle(), vr);
  EXPECT_EQ(vr.right - vr.left, 18);
  SendMessageW(memo->Handle(), WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(vr.left + 5, vr.bottom - 4));
  EXPECT_EQ(VPos(memo->Handle()), 1);
  POINT p{vr.left + 5, vr.bottom - 4};
  ScreenToClient(memo->Handle(), &p);
  SendMessageW(memo->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 2, vr.top + 2), kLale.button.ref()); }));
  // The skin colours are the control's while skinned, its own come back afterwards.
  const TsGeneralData& section = manager->gd[static_cast<size_t>(data->SkinIndex)];
  const TColor skinColour = ColorToRGB(memo->Color());
  EXPECT_TRUE(skinColour == ColorToRGB(section.Props[0].Color) || skinColour == ColorToRGB(section.Props[1].Color))
      << std::hex << skinColour;
  SaveShot(form->Handle(), "wrap27_memo_Lale");

  // Not skinned any more: the wrapper goes and the chain is exactly what it was.
  data->SetSkinSection(L"NO SUCH SECTION");
  ASSERT_FALSE(data->Skinned());
  RefreshEditScrolls(data.get(), sw);
  EXPECT_EQ(sw, nullptr);
  EXPECT_EQ(memo->WindowProc, original);
  EXPECT_EQ(ColorToRGB(memo->Color()), ColorToRGB(clWindow));

  // Skinned again, then the window goes first (recreated): the wrapper lets go; the next refresh makes a new one.
  data->SetSkinSection(L"EDIT");
  RefreshEditScrolls(data.get(), sw);
  ASSERT_NE(sw, nullptr);
  TlvScrollWnd* old = sw;
  memo->Perform(CM_RECREATEWND, 0, 0);
  memo->HandleNeeded();
  Pump();
  if (old->Destroyed) {
    RefreshEditScrolls(data.get(), sw);
    EXPECT_NE(sw, nullptr);
    EXPECT_FALSE(sw->Destroyed);
  }
  UninitializeLVScroll(memo->Handle(), true, false, sw);
  EXPECT_EQ(sw, nullptr);
  EXPECT_EQ(memo->WindowProc, original);
  memo->SetText(L"Kadıköy");
  EXPECT_EQ(memo->Text(), L"Kadıköy");
}

// A memo that, like the skinned bound edits, frees (and may remake) its wrapper while handling a message that came
// in through that very wrapper.
enum class TFreeWay { Uninitialize, UninitializeAndRecreate, RefreshUnskinned, RefreshRemade };
constexpr UINT kFreeNow = WM_APP + 27;
class TFreeingMemo : public TMemo {
 public:
  using TMemo::TMemo;
  TsScrollWndData* Data = nullptr;
  TlvScrollWnd* SW = nullptr;
  TFreeWay Way = TFreeWay::Uninitialize;
  void WndProc(TMessage& m) override {
    if (m.Msg != kFreeNow) {
      TMemo::WndProc(m);
      return;
    }
    switch (Way) {
      case TFreeWay::Uninitialize:
        UninitializeLVScroll(Handle(), true, false, SW);
        break;
      case TFreeWay::UninitializeAndRecreate:
        UninitializeLVScroll(Handle(), true, false, SW);
        RecreateWnd();
        HandleNeeded();
        break;
      case TFreeWay::RefreshUnskinned:
        Data->SetSkinSection(L"NO SUCH SECTION");
        RefreshEditScrolls(Data, SW);
        break;
      case TFreeWay::RefreshRemade:
        Data->SetSkinSection(L"NO SUCH SECTION");
        RefreshEditScrolls(Data, SW);
        Data->SetSkinSection(L"EDIT");
        RefreshEditScrolls(Data, SW);
        break;
    }
    m.Result = 1;
  }
};

TEST_F(Wrappers, AWrapperFreedByItsControlInsideOneOfItsMessagesGoesWhenThatMessageIsDone) {
  form = Create<TForm>(Application);
  form->SetBounds(40, 40, 400, 300);
  form->Show();
  for (TFreeWay way : {TFreeWay::Uninitialize, TFreeWay::UninitializeAndRecreate, TFreeWay::RefreshUnskinned,
                       TFreeWay::RefreshRemade}) {
    SCOPED_TRACE(static_cast<int>(way));
    auto* memo = Create<TFreeingMemo>(form);
    memo->SetParent(form);
    memo->SetBounds(10, 10, 220, 150);
    memo->SetScrollBars(ssVertical);
    memo->SetText(Lines(60));
    Pump();
    const TWndMethod original = memo->WindowProc;
    auto data = std::make_unique<TsScrollWndData>(memo, true);
    data->COC = COC_TsMemo;
    data->SetSkinSection(L"EDIT");
    memo->Data = data.get();
    memo->Way = way;
    RefreshEditScrolls(data.get(), memo->SW);
    ASSERT_NE(memo->SW, nullptr);
    // Through the wrapper (the control's WindowProc) and through the window, both ways a message comes in.
    EXPECT_EQ(memo->Perform(kFreeNow, 0, 0), 1);
    if (way == TFreeWay::RefreshRemade) {
      // The new wrapper holds the control; the old one's late going leaves it in place.
      ASSERT_NE(memo->SW, nullptr);
      EXPECT_FALSE(memo->SW->Destroyed);
      EXPECT_NE(memo->WindowProc, original);
      EXPECT_EQ(Lv_GetScrollWndFromHwnd(memo->Handle()), memo->SW);
      EXPECT_EQ(SendMessageW(memo->Handle(), kFreeNow, 0, 0), 1);
      ASSERT_NE(memo->SW, nullptr);
      EXPECT_EQ(Lv_GetScrollWndFromHwnd(memo->Handle()), memo->SW);
      data->SetSkinSection(L"NO SUCH SECTION");
      RefreshEditScrolls(data.get(), memo->SW);
    }
    EXPECT_EQ(memo->SW, nullptr);
    EXPECT_EQ(memo->WindowProc, original);
    EXPECT_EQ(Lv_GetScrollWndFromHwnd(memo->Handle()), nullptr);
    // The control goes on working as the platform's own.
    memo->SetText(L"Kadıköy");
    EXPECT_EQ(memo->Text(), L"Kadıköy");
    SendMessageW(memo->Handle(), WM_NCPAINT, 1, 0);
    memo->Data = nullptr;
    data.reset();
    memo->Free();
    Pump();
  }
}

TEST_F(Wrappers, WithoutAnActiveSkinAWrappedWindowIsThePlatformsOwn) {
  manager->SetActive(false);
  auto edit = [&](int x) {
    HWND e = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL, x, 10,
                             200, 150, host, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowTextW(e, Lines(100).c_str());
    return e;
  };
  HWND plain = edit(10), wrapped = edit(230);
  auto* w = NewWrapper<TlvEditWnd>(wrapped, nullptr, manager, Params(), true);
  RedrawWindow(host, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
  RECT a, b;
  GetClientRect(plain, &a);
  GetClientRect(wrapped, &b);
  EXPECT_EQ(a.right, b.right);
  EXPECT_EQ(a.bottom, b.bottom);
  // The same picture, frame and system scroll bar included.
  RECT pr, wr;
  GetWindowRect(plain, &pr);
  GetWindowRect(wrapped, &wr);
  int differing = 0;
  for (int y = 0; y < pr.bottom - pr.top; y += 3)
    for (int x = 0; x < pr.right - pr.left; x += 3)
      differing += ScreenPixel(pr.left + x, pr.top + y) != ScreenPixel(wr.left + x, wr.top + y);
  EXPECT_EQ(differing, 0);
  SaveShot(host, "wrap27_noskin");
  // It behaves the same: the system's scroll messages scroll it, the system answers its hit test.
  SendMessageW(wrapped, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(VPos(wrapped), 1);
  const POINT onBar{wr.right - 5, wr.top + 40};
  EXPECT_EQ(SendMessageW(wrapped, WM_NCHITTEST, 0, MAKELPARAM(onBar.x, onBar.y)),
            SendMessageW(plain, WM_NCHITTEST, 0, MAKELPARAM(onBar.x - (wr.left - pr.left), onBar.y)));
  EXPECT_EQ(SendMessageW(wrapped, SM_LUMICMD, MakeLumiWParam(LVC_GETLISTSW), 0), 0);
  // Attached all along: the skin coming back makes it paint again.
  manager->SetActive(true);
  SendMessageW(wrapped, SM_LUMICMD, MakeLumiWParam(LVC_SETNEWSKIN), reinterpret_cast<LPARAM>(manager));
  RECT vr;
  lv_GetVScrollRect(w, wrapped, vr);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 2, vr.top + 2), kLale.button.ref()); }));
  delete w;
}

TEST_F(Wrappers, AComboBoxItemIsReadWholeWhateverItsLength) {
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 10, 10, 220,
                               200, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  std::wstring longItem;
  for (int i = 0; longItem.size() < 10000; ++i) longItem += L"ığüşöçİ" + std::to_wstring(i % 10);
  longItem.resize(10000);
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longItem.c_str()));
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Kısa"));
  auto* cw = NewWrapper<TlvComboBoxWnd>(combo, nullptr, manager, Params(L"COMBOBOX"), true);
  EXPECT_EQ(cw->ItemText(0), longItem);
  EXPECT_EQ(cw->ItemText(1), L"Kısa");
  EXPECT_EQ(cw->ItemText(2), L"");
  EXPECT_EQ(cw->ItemText(-1), L"");
  // Printing the combo box with the long item selected draws its text from the whole item.
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  RECT wr;
  GetWindowRect(combo, &wr);
  auto bmp = CreateBmp32(wr.right - wr.left, wr.bottom - wr.top);
  SendMessageW(combo, WM_PRINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()), PRF_CLIENT | PRF_NONCLIENT);
  // The button from the skin: the combo box section's glyph (the arrow in the skin's text colour) on the right.
  RedrawWindow(combo, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  const vcl::TRect br = cw->ButtonRect();
  EXPECT_EQ(br.Width(), GetComboBtnSize(manager) + 2);
  EXPECT_EQ(br.Right, (wr.right - wr.left) - manager->CommonSkinData->ComboBoxMargin);
  EXPECT_TRUE(PumpUntil([&] {
    return Near(ScreenPixel(wr.left + br.Left + br.Width() / 2, wr.top + (wr.bottom - wr.top) / 2 - 1), RGB(74, 20, 40),
                40);
  })) << std::hex
      << ScreenPixel(wr.left + br.Left + br.Width() / 2, wr.top + (wr.bottom - wr.top) / 2 - 1);
  SaveShot(combo, "wrap27_combo_Lale");
  delete cw;
}

TEST_F(Wrappers, GdiObjectsStayFlatOverRepaintsAndSkinChanges) {
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL, 10, 10,
                              200, 150, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowTextW(edit, Lines(100).c_str());
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 230, 10, 200,
                               200, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  for (int i = 0; i < 40; ++i) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Şube"));
  auto* ew = NewWrapper<TlvEditWnd>(edit, nullptr, manager, Params(), true);
  auto* cw = NewWrapper<TlvComboBoxWnd>(combo, nullptr, manager, Params(L"COMBOBOX"), true);
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  GetComboBoxInfo(combo, &info);
  auto cycle = [&](int i) {
    RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    RedrawWindow(combo, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    SendMessageW(edit, WM_VSCROLL, i % 2 ? SB_LINEUP : SB_LINEDOWN, 0);
    UpdateScrolls(ew, true);
    if (i % 20 == 0) {
      SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
      Pump();
      SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    }
    if (i % 50 == 0) {
      manager->SetSkinName(i % 100 ? L"Deniz" : L"Lale");
      for (HWND h : {edit, combo, info.hwndList})
        SendMessageW(h, SM_LUMICMD, MakeLumiWParam(LVC_SETNEWSKIN), reinterpret_cast<LPARAM>(manager));
    }
    Pump();
  };
  for (int i = 0; i < 60; ++i) cycle(i);  // caches and fonts made once
  const long before = GdiObjectCount();
  ASSERT_GT(before, 0) << "no way to count the process's GDI objects here";
  for (int i = 0; i < 300; ++i) cycle(i);
  const long after = GdiObjectCount();
  EXPECT_LE(after, before + 4) << before << " -> " << after;
  std::printf("GDI objects over 300 repaints and skin changes: %ld -> %ld\n", before, after);

  // The list's brush belongs to the wrapper: one at a time, freed with it.
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(PumpUntil([&] { return cw->ListSW != nullptr && cw->ListBrush() != nullptr; }));
  HBRUSH brush = cw->ListBrush();
  EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  Pump();
  delete cw;
  EXPECT_EQ(GetObjectType(brush), 0u);
  delete ew;
}

TEST_F(Wrappers, TheWheelOverAClosedDataAwareComboBoxChangesNothing) {
  form = Create<TForm>(Application);
  form->SetBounds(40, 40, 400, 300);
  auto* combo = Create<db::TDBComboBox>(form);
  combo->SetParent(form);
  combo->SetBounds(10, 10, 200, 24);
  combo->SetStyle(csDropDownList);
  for (const wchar_t* s : {L"9-A", L"9-B", L"10-A", L"10-B"}) combo->Items()->Add(s);
  form->Show();
  combo->SetItemIndex(1);
  Pump();
  auto data = std::make_unique<TsScrollWndData>(combo, true);
  data->COC = COC_TsDBComboBox;
  data->SetSkinSection(L"COMBOBOX");
  auto* cw = NewWrapper<TlvComboBoxWnd>(combo->Handle(), data.get(), manager, TlvSkinParams{.Control = combo}, true);
  RECT r;
  GetWindowRect(combo->Handle(), &r);
  for (int turn : {-WHEEL_DELTA, -WHEEL_DELTA, WHEEL_DELTA * 3})
    SendMessageW(combo->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(turn)),
                 MAKELPARAM(r.left + 5, r.top + 5));
  Pump();
  EXPECT_EQ(combo->ItemIndex(), 1);
  delete cw;
}

TEST_F(Wrappers, RefreshScrollsKeepsAScrollWrapperExactlyWhileTheControlIsSkinned) {
  form = Create<TForm>(Application);
  form->SetBounds(40, 40, 400, 300);
  auto* memo = Create<TMemo>(form);
  memo->SetParent(form);
  memo->SetBounds(10, 10, 220, 150);
  memo->SetScrollBars(ssVertical);
  form->Show();
  Pump();
  const TWndMethod original = memo->WindowProc;
  auto data = std::make_unique<TsScrollWndData>(memo, true);
  data->SetSkinSection(L"EDIT");
  TlvScrollWnd* sw = nullptr;
  // Not while the control is loading.
  memo->BeginLoading();
  RefreshScrolls(data.get(), sw);
  EXPECT_EQ(sw, nullptr);
  memo->ClearLoading();
  RefreshScrolls(data.get(), sw);
  ASSERT_NE(sw, nullptr);
  EXPECT_EQ(Lv_GetScrollWndFromHwnd(memo->Handle()), sw);
  TlvScrollWnd* same = sw;
  RefreshScrolls(data.get(), sw);
  EXPECT_EQ(sw, same);
  // The skin goes: so does the wrapper, and the memo has its own procedure again.
  manager->SetActive(false);
  ASSERT_FALSE(data->Skinned());
  RefreshScrolls(data.get(), sw);
  EXPECT_EQ(sw, nullptr);
  EXPECT_EQ(memo->WindowProc, original);
}

TEST_F(Wrappers, TheClassTableMakesTheWrapperOfEachBuiltKind) {
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL, 10, 10,
                              200, 150, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 230, 10, 200, 200, host,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(WndTypes[0] && WndTypes[4] && WndTypes[17]);
  TlvMainWnd* e = WndTypes[0](edit, nullptr, manager, Params(), true);
  TlvMainWnd* c = WndTypes[4](combo, nullptr, manager, Params(L"COMBOBOX"), true);
  EXPECT_TRUE(dynamic_cast<TlvEditWnd*>(e));
  EXPECT_TRUE(dynamic_cast<TlvComboBoxWnd*>(c));
  EXPECT_EQ(GetPropW(edit, L"LVSBSC"), e);
  EXPECT_EQ(GetPropW(combo, L"LVSBSC"), c);
  delete c;
  delete e;
  EXPECT_EQ(GetPropW(edit, L"LVSBSC"), nullptr);
}

TEST_F(Wrappers, AComboLikeEditSkinsTheListBoxItGetsAsAChild) {
  form = Create<TForm>(Application);
  form->SetBounds(40, 40, 400, 300);
  auto* edit = Create<TPanel>(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 240, 180);
  form->Show();
  Pump();
  auto data = std::make_unique<TsScrollWndData>(edit, true);
  data->SetSkinSection(L"EDIT");
  auto* w = NewWrapper<TlvWWComboBoxWnd>(edit->Handle(), data.get(), manager, TlvSkinParams{.Control = edit}, true);
  EXPECT_TRUE(w->FShowButton);
  EXPECT_EQ(w->ButtonRect().Width(), GetSystemMetrics(SM_CXVSCROLL));
  auto* list = Create<TListBox>(edit);
  list->SetParent(edit);
  list->SetBounds(4, 30, 200, 120);
  for (int i = 0; i < 40; ++i) list->Items()->Add(L"Öğretmen " + rtl::IntToStr(i));
  list->HandleNeeded();
  Pump();
  EXPECT_EQ(w->ListBox, list);
  ASSERT_NE(w->ListBoxSW, nullptr);
  EXPECT_EQ(Lv_GetScrollWndFromHwnd(list->Handle()), w->ListBoxSW);
  EXPECT_TRUE(dynamic_cast<TlvEditWnd*>(w->ListBoxSW));
  // A platform combo box that is simple shows no button.
  auto* simple = Create<TComboBox>(form);
  simple->SetParent(form);
  simple->SetStyle(csSimple);
  EXPECT_FALSE(TlvWWComboBoxWnd::GetShowButton(simple));
  delete w;
  EXPECT_EQ(Lv_GetScrollWndFromHwnd(list->Handle()), nullptr);
}

TEST_F(Wrappers, TheBorderCornersLetTheParentShowThrough) {
  HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 20, 20, 60, 30, host, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  auto* w = NewWrapper<TlvMainWnd>(wnd, nullptr, manager, Params(L"BUTTON"), true);
  InitCtrlData(wnd, w->ParentWnd, w->WndRect, w->ParentRect, w->WndSize, w->WndPos);
  EXPECT_EQ(w->ParentWnd, host);
  EXPECT_EQ(w->WndPos, vcl::TPoint(20, 20));
  EXPECT_EQ(w->WndSize, vcl::TSize(60, 30));
  TsCommonData* sd = w->SkinData;
  ASSERT_TRUE(manager->IsValidImgIndex(sd->BorderIndex));  // Lale's button border has key-coloured corners
  vcl::TBitmap* cache = sd->CacheBmp();
  auto fill = [&](int cw, int ch) {
    cache->SetPixelFormat(pf32bit);
    cache->SetSize(cw, ch);
    for (int y = 0; y < ch; ++y)
      for (int x = 0; x < cw; ++x) static_cast<std::uint32_t*>(cache->ScanLine(y))[x] = 0xFF123456u;
  };
  auto at = [&](int x, int y) { return static_cast<std::uint32_t*>(cache->ScanLine(y))[x]; };
  // What the parent answers for its background (a plain window: a fill colour).
  const TCacheInfo parentBG = GetParentCacheHwnd(wnd);
  ASSERT_FALSE(parentBG.Ready);
  const std::uint32_t behind = vcl::ColorToRGB(parentBG.FillColor);
  const std::uint32_t behindPixel = ((behind & 0xFF) << 16) | (behind & 0xFF00) | ((behind >> 16) & 0xFF);
  for (int state : {0, 2, 7}) {  // 7: above the image count, the last state's corners
    fill(60, 30);
    UpdateWndCorners(sd, state, w);
    EXPECT_EQ(at(0, 0) & 0xFFFFFF, behindPixel) << state;
    EXPECT_EQ(at(59, 29) & 0xFFFFFF, behindPixel) << state;
    EXPECT_EQ(at(30, 15), 0xFF123456u) << state;  // the middle is the control's own
  }
  // A window one pixel high is left alone.
  w->WndSize = vcl::TSize{60, 1};
  fill(60, 1);
  UpdateWndCorners(sd, 0, w);
  EXPECT_EQ(at(0, 0), 0xFF123456u);
  delete w;
}
