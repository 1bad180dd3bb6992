// A skinned form as a whole window: snapping to the work area's edges, the drawn-frame drag by mouse messages
// (moving by the caption, sizing by a border with the form's minimum kept), glued forms, the skin editor's link
// (its data block read only within its stated size), printing, a hidden form's image, the control adapter and an
// MDI main form with a maximised child (shots: $TAVREL_SHOTS/mdi_maximised.png, mdi_restored.png).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sWndUtils.h"
#include "skin/forms/sCtrlAdapter.h"
#include "skin/forms/sSkinProvider.h"
#include "tests/common/paths.h"
#include "tests/skin/core/skintest.h"
#include "tests/skin/forms/formtest.h"

using namespace vcl;
using namespace skintest;

namespace {

// The window tests wait longer than the frame tests: whole-window moves and MDI changes take their time here.
bool WaitFor(const std::function<bool()>& cond, unsigned boundMs = 10000) { return formtest::WaitFor(cond, boundMs); }

using formtest::WindowRectOf;

using formtest::SaveScreen;

// A form that will not be made smaller than 300 x 200.
class TMinForm : public TForm {
 public:
  using TForm::TForm;
  void WndProc(TMessage& m) override {
    TForm::WndProc(m);
    if (m.Msg == WM_GETMINMAXINFO && m.LParam) {
      auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
      info->ptMinTrackSize = POINT{300, 200};
    }
  }
};

// The frame tests' additions to the skin, with this test's title colours.
const formtest::SkinCase kLale = {L"Lale", 0x961E6E, 0xC88CB4};

class SkinnedWindow : public formtest::FormsUnderAManager {
 protected:
  void SetUp() override {
    Application->Initialize();
    formtest::WriteSkins(dir, {kLale});
    StartManager(dir.Path());
  }
  // A drag by the drawn frame: press at (x, y) of the window on element code, move by (dx, dy), release.
  void Drag(TForm* f, int code, int x, int y, int dx, int dy) {
    const HWND w = f->Handle();
    const RECT r = WindowRectOf(w);
    SendMessageW(w, WM_NCLBUTTONDOWN, code, MAKELPARAM(r.left + x, r.top + y));
    for (int step = 1; step <= 4; ++step) {
      POINT p{r.left + x + dx * step / 4, r.top + y + dy * step / 4};
      ScreenToClient(w, &p);
      SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<short>(p.x), static_cast<short>(p.y)));
    }
    POINT p{r.left + x + dx, r.top + y + dy};
    ScreenToClient(w, &p);
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<short>(p.x), static_cast<short>(p.y)));
  }

  TempSkinDir dir;
};

}  // namespace

TEST_F(SkinnedWindow, APositionNearTheWorkAreaEdgeSnapsToIt) {
  TForm* f = NewForm(200, 150, 360, 260);
  TsSkinProvider* sp = Skin(f);
  sp->SetScreenSnap(true);
  Activate({sp});
  ASSERT_EQ(sp->SnapBuffer(), 10);
  const TRect work = lvWorkRect(f);
  ASSERT_GT(work.Width(), 400);
  struct Case {
    int X, Y;          // asked for
    int WantX, WantY;  // where the form lands
  };
  const int right = work.Right - 360, bottom = work.Bottom - 260;
  const Case cases[] = {
      {work.Left + 10, 150, work.Left, 150},         // 10 pixels off the left edge: snaps
      {work.Left + 11, 150, work.Left + 11, 150},    // 11: does not
      {work.Left - 7, 150, work.Left, 150},          // beyond the edge by less than the buffer
      {200, work.Top + 4, 200, work.Top},            // top
      {right - 9, bottom + 6, right, bottom},        // right and bottom edges
      {right - 30, bottom - 30, right - 30, bottom - 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.X) + "," + std::to_string(c.Y));
    SetWindowPos(f->Handle(), nullptr, c.X, c.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitFor([&] { return WindowRectOf(f->Handle()).left == c.WantX; }))
        << WindowRectOf(f->Handle()).left;
    EXPECT_EQ(WindowRectOf(f->Handle()).top, c.WantY);
  }
  // Without ScreenSnap the form goes exactly where it is put.
  sp->SetScreenSnap(false);
  SetWindowPos(f->Handle(), nullptr, work.Left + 5, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitFor([&] { return WindowRectOf(f->Handle()).left == work.Left + 5; }));
}

TEST_F(SkinnedWindow, DraggingTheCaptionMovesTheFormAndSnapsAtTheScreenEdge) {
  TForm* f = NewForm(240, 160, 360, 260);
  TsSkinProvider* sp = Skin(f);
  sp->SetResizeMode(rmBorder);
  sp->SetScreenSnap(true);
  Activate({sp});
  const int capY = sp->BorderHeight(true) + sp->CaptionHeight(true) / 2;
  ASSERT_EQ(SendMessageW(f->Handle(), WM_NCHITTEST, 0,
                         MAKELPARAM(WindowRectOf(f->Handle()).left + 120, WindowRectOf(f->Handle()).top + capY)),
            HTCAPTION);
  // A plain drag: the form follows the mouse exactly.
  Drag(f, HTCAPTION, 120, capY, 40, 25);
  ASSERT_TRUE(WaitFor([&] { return WindowRectOf(f->Handle()).left == 280 && WindowRectOf(f->Handle()).top == 185; }))
      << WindowRectOf(f->Handle()).left << "," << WindowRectOf(f->Handle()).top;
  EXPECT_FALSE(sp->bInProcess);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(f->Width(), 360);
  // Dropped 6 pixels from the work area's left edge: it snaps there.
  const TRect work = lvWorkRect(f);
  Drag(f, HTCAPTION, 120, capY, work.Left + 6 - 280, 0);
  ASSERT_TRUE(WaitFor([&] { return WindowRectOf(f->Handle()).left == work.Left; }))
      << WindowRectOf(f->Handle()).left;
  EXPECT_EQ(WindowRectOf(f->Handle()).top, 185);
}

TEST_F(SkinnedWindow, ResizingByTheBorderKeepsTheMinimumSize) {
  TMinForm* f = NewForm<TMinForm>(200, 120, 420, 320);
  TsSkinProvider* sp = Skin(f);
  sp->SetResizeMode(rmBorder);
  Activate({sp});
  struct Case {
    int Code, X, Y, Dx, Dy;
    int WantLeft, WantTop, WantWidth, WantHeight;
  };
  const Case cases[] = {
      {HTRIGHT, 418, 160, 50, 0, 200, 120, 470, 320},      // wider
      {HTRIGHT, 468, 160, -400, 0, 200, 120, 300, 320},    // not below the minimum width
      {HTBOTTOM, 150, 318, 0, -300, 200, 120, 300, 200},   // nor the minimum height
      {HTBOTTOMRIGHT, 298, 198, 60, 40, 200, 120, 360, 240},
      {HTLEFT, 1, 100, -30, 0, 170, 120, 390, 240},        // the left edge moves, the right one stays
      {HTTOP, 150, 1, 0, 100, 170, 160, 390, 200},         // the top edge stops at the minimum height
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Code) + " " + std::to_string(c.Dx) + "," + std::to_string(c.Dy));
    Drag(f, c.Code, c.X, c.Y, c.Dx, c.Dy);
    const bool reached = WaitFor([&] {
      const RECT r = WindowRectOf(f->Handle());
      return r.left == c.WantLeft && r.top == c.WantTop && r.right - r.left == c.WantWidth &&
             r.bottom - r.top == c.WantHeight;
    });
    const RECT r = WindowRectOf(f->Handle());
    ASSERT_TRUE(reached) << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
  }
}

TEST_F(SkinnedWindow, AGluedFormFollowsItsMasterUntilMovedAlone) {
  TForm* master = NewForm(150, 100, 300, 200, L"Ana");
  TForm* slave = NewForm(150, 300, 300, 150, L"Yardimci");
  TsSkinProvider* ms = Skin(master);
  TsSkinProvider* ss = Skin(slave);
  ms->GluedForms()->Add(L"Yardimci");
  ms->SetScreenSnap(true);
  ss->SetScreenSnap(true);
  Activate({ms, ss});
  // The couple is made when the master is taken (activation or a press on its frame).
  SendMessageW(master->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  ASSERT_TRUE(ms->Linked(slave));
  SetWindowPos(master->Handle(), nullptr, 230, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(WaitFor([&] { return WindowRectOf(slave->Handle()).left == 230 && WindowRectOf(slave->Handle()).top == 340; }))
      << WindowRectOf(slave->Handle()).left << "," << WindowRectOf(slave->Handle()).top;
  EXPECT_EQ(slave->Width(), 300);
  // The slave moved by itself leaves the couple; the master then moves alone.
  SetWindowPos(slave->Handle(), nullptr, 600, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(WaitFor([&] { return WindowRectOf(slave->Handle()).left == 600; }));
  EXPECT_FALSE(ms->Linked(slave));
  SetWindowPos(master->Handle(), nullptr, 180, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(WaitFor([&] { return WindowRectOf(master->Handle()).left == 180; }));
  EXPECT_EQ(WindowRectOf(slave->Handle()).left, 600);
}

namespace {

// A block of exactly size bytes that ends at an inaccessible page: reading one byte past it faults.
class GuardedBlock {
 public:
  explicit GuardedBlock(size_t size) : size_(size) {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    page_ = si.dwPageSize;
    const size_t pages = (size + page_ - 1) / page_ + 1;
    base_ = static_cast<std::uint8_t*>(VirtualAlloc(nullptr, pages * page_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(base_ + (pages - 1) * page_, page_, PAGE_NOACCESS, &old);
    data_ = base_ + (pages - 1) * page_ - size;
  }
  ~GuardedBlock() { VirtualFree(base_, 0, MEM_RELEASE); }
  std::uint8_t* Data() { return data_; }
  size_t Size() const { return size_; }

 private:
  size_t size_, page_ = 4096;
  std::uint8_t* base_ = nullptr;
  std::uint8_t* data_ = nullptr;
};

// Takes the posted LVC_COPYDATA out of the queue before anything loads it; True when one was there.
bool TakeCopyDataNotice() {
  MSG msg;
  bool found = false;
  while (PeekMessageW(&msg, nullptr, SM_LUMICMD, SM_LUMICMD, PM_REMOVE))
    if (HIWORD(msg.wParam) == LVC_COPYDATA) found = true;
  return found;
}

}  // namespace

TEST_F(SkinnedWindow, TheEditorBlockIsReadOnlyWithinItsStatedSize) {
  TForm* f = NewForm(200, 150, 360, 260);
  TsSkinProvider* sp = Skin(f);
  Activate({sp});
  lvPreviewHandle = f->Handle();
  const std::uint32_t magic = LKE_MSG;
  struct Case {
    const char* What;
    size_t Size;        // bytes the block states (and has)
    WPARAM Sender;
    bool GoodMagic;
    bool Taken;
  };
  const Case cases[] = {
      {"header only", 4, 7, true, true},
      {"short: part of the name", 4 + 10, 7, true, true},
      {"exact", sizeof(TlvSkinData), 7, true, true},
      {"oversized", sizeof(TlvSkinData) + 5000, 7, true, true},
      {"too short for the header", 3, 7, true, false},
      {"garbage", 600, 7, false, false},
      {"another sender", 600, 3, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    GuardedBlock block(c.Size);
    for (size_t i = 0; i < c.Size; ++i) block.Data()[i] = static_cast<std::uint8_t>('A' + i % 26);
    if (c.GoodMagic && c.Size >= 4) std::memcpy(block.Data(), &magic, 4);
    std::memset(&manager->PreviewBuffer, 0x5A, sizeof(TlvSkinData));
    COPYDATASTRUCT cds{};
    cds.dwData = 0;
    cds.cbData = static_cast<DWORD>(c.Size);
    cds.lpData = block.Data();
    SendMessageW(f->Handle(), WM_COPYDATA, c.Sender, reinterpret_cast<LPARAM>(&cds));
    EXPECT_EQ(TakeCopyDataNotice(), c.Taken);
    const auto* buf = reinterpret_cast<const std::uint8_t*>(&manager->PreviewBuffer);
    if (!c.Taken) {
      EXPECT_EQ(buf[0], 0x5A);
      continue;
    }
    EXPECT_EQ(manager->PreviewBuffer.Magic, LKE_MSG);
    const size_t copied = std::min(c.Size, sizeof(TlvSkinData));
    EXPECT_EQ(std::memcmp(buf, block.Data(), copied), 0);
    // What the block did not have stays zero.
    for (size_t i = copied; i < sizeof(TlvSkinData); ++i) ASSERT_EQ(buf[i], 0) << i;
  }
  // A null block and one without data.
  COPYDATASTRUCT empty{};
  empty.cbData = 100;
  SendMessageW(f->Handle(), WM_COPYDATA, 7, reinterpret_cast<LPARAM>(&empty));
  SendMessageW(f->Handle(), WM_COPYDATA, 7, 0);
  EXPECT_FALSE(TakeCopyDataNotice());
  // Only the preview window takes blocks.
  lvPreviewHandle = nullptr;
  GuardedBlock block(64);
  std::memcpy(block.Data(), &magic, 4);
  COPYDATASTRUCT cds{0, 64, block.Data()};
  SendMessageW(f->Handle(), WM_COPYDATA, 7, reinterpret_cast<LPARAM>(&cds));
  EXPECT_FALSE(TakeCopyDataNotice());
  manager->PreviewBuffer = TlvSkinData();
}

namespace {
std::vector<std::pair<WPARAM, LPARAM>> editorCalls;
LRESULT CALLBACK EditorProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == LKE_MSG) {
    editorCalls.emplace_back(wp, lp);
    return 1;
  }
  return DefWindowProcW(w, msg, wp, lp);
}
}  // namespace

TEST_F(SkinnedWindow, TheEditorLinkGreetsOnlyWhenAskedAndAnswersTheEditor) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = EditorProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TavrelEditorStandIn";
  RegisterClassW(&wc);
  HWND editor = CreateWindowW(wc.lpszClassName, L"Rudavaror Udeded", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                              wc.hInstance, nullptr);
  ASSERT_TRUE(editor);
  editorCalls.clear();
  lvPreviewHandle = nullptr;
  lvPreviewNeeded = false;
  TForm* f = NewForm(200, 150, 360, 260);
  TsSkinProvider* sp = Skin(f);
  Activate({sp});
  TrySayHelloToEditor(host->Handle());
  EXPECT_TRUE(editorCalls.empty());  // inert without "/lvpreview"
  lvPreviewNeeded = true;
  TrySayHelloToEditor(f->Handle());  // not the main form
  EXPECT_TRUE(editorCalls.empty());
  TrySayHelloToEditor(host->Handle());
  ASSERT_EQ(editorCalls.size(), 1u);
  EXPECT_EQ(editorCalls[0].first, static_cast<WPARAM>(LKE_HELLO));
  EXPECT_EQ(editorCalls[0].second, reinterpret_cast<LPARAM>(host->Handle()));
  EXPECT_EQ(lvPreviewHandle, host->Handle());
  EXPECT_FALSE(lvPreviewNeeded);
  // The editor asks a skinned form whether it lives, then closes it.
  EXPECT_EQ(SendMessageW(f->Handle(), LKE_MSG, LKE_ALIVE, 0), 1);
  SendMessageW(f->Handle(), LKE_MSG, LKE_CLOSE, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(f->Handle()); }));
  lvPreviewHandle = nullptr;
  DestroyWindow(editor);
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

TEST_F(SkinnedWindow, PrintingAndHidingUseTheWindowImage) {
  TForm* f = NewForm(200, 150, 360, 260);
  TsSkinProvider* sp = Skin(f);
  Activate({sp});
  TBitmap* cache = sp->SkinData()->CacheBmp();
  const int w = f->Width(), h = f->Height();
  auto shot = CreateBmp32(w, h);
  HDC dc = shot->Canvas()->Handle();
  auto fill = [&] {
    RECT r{0, 0, w, h};
    HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
    FillRect(dc, &r, b);
    DeleteObject(b);
    GdiFlush();
  };
  auto px = [](TBitmap* b, int x, int y) { return static_cast<std::uint32_t*>(b->ScanLine(y))[x] & 0xFFFFFF; };
  const int titleX = w / 2, titleY = sp->BorderHeight(true) + sp->CaptionHeight(true) / 2;
  // The background only: the client area's size is erased at the DC's origin, nothing of the frame is drawn.
  fill();
  SendMessageW(f->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_ERASEBKGND);
  GdiFlush();
  EXPECT_NE(px(shot.get(), 5, 5), 0x010203u);
  EXPECT_EQ(px(shot.get(), w - 2, h - 2), 0x010203u);
  EXPECT_GT(w - 2, f->ClientWidth());
  // The whole window: the frame is the window image's.
  fill();
  SendMessageW(f->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN);
  GdiFlush();
  EXPECT_EQ(px(shot.get(), titleX, titleY), px(cache, titleX, titleY));
  EXPECT_NE(px(shot.get(), w / 2, h / 2), 0x010203u);
  // A hidden form keeps no image; shown again it builds one.
  f->Hide();
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(f->Handle()); }));
  EXPECT_EQ(sp->SkinData()->CacheBmp()->Width(), 0);
  EXPECT_EQ(sp->SkinData()->CacheBmp()->Height(), 0);
  f->Show();
  EXPECT_TRUE(WaitFor([&] { return sp->SkinData()->CacheBmp()->Width() == f->Width() && !sp->SkinData()->BGChanged; }));
}

TEST_F(SkinnedWindow, TheAdapterWrapsListedPlatformControlsOnly) {
  manager->SetActive(true);
  TForm* f = NewForm(200, 150, 420, 300);
  if (manager->ThirdLists(tpEdit)->IndexOf(L"TEdit") < 0) manager->ThirdLists(tpEdit)->Add(L"TEdit");
  auto addEdit = [&](int y, rtl::Int64 tag) {
    auto* e = new TEdit(f);
    e->SetParent(f);
    e->SetBounds(10, y, 200, 24);
    e->SetTag(tag);
    return e;
  };
  TEdit* plain = addEdit(10, 0);
  TEdit* vetoedByTag = addEdit(40, 0x100);
  TEdit* vetoedByEvent = addEdit(70, 0);
  auto* sp = Create<TsSkinProvider>(f);
  std::vector<TControl*> asked, askedEx;
  sp->OnSkinItem = [&](TControl* c, bool& can, rtl::String&) {
    asked.push_back(c);
    if (c == vetoedByEvent) can = false;
  };
  sp->OnSkinItemEx = [&](TControl* c, bool&, TlvSkinParams&) { askedEx.push_back(c); };
  f->Show();
  ASSERT_TRUE(WaitFor([&] { return sp->Adapter && sp->Adapter->Count() > 0; }));
  EXPECT_GE(sp->Adapter->IndexOf(plain), 0);
  EXPECT_NE(GetPropW(plain->Handle(), L"LVSBSC"), nullptr);
  EXPECT_LT(sp->Adapter->IndexOf(vetoedByTag), 0);
  EXPECT_EQ(GetPropW(vetoedByTag->Handle(), L"LVSBSC"), nullptr);
  EXPECT_LT(sp->Adapter->IndexOf(vetoedByEvent), 0);
  EXPECT_EQ(GetPropW(vetoedByEvent->Handle(), L"LVSBSC"), nullptr);
  // The veto of OnSkinItem keeps OnSkinItemEx from being asked; the Tag keeps both from being asked.
  EXPECT_NE(std::find(asked.begin(), asked.end(), vetoedByEvent), asked.end());
  EXPECT_EQ(std::find(askedEx.begin(), askedEx.end(), vetoedByEvent), askedEx.end());
  EXPECT_EQ(std::find(asked.begin(), asked.end(), vetoedByTag), asked.end());
  // A control added later is adapted when the form hears of it.
  TEdit* later = addEdit(100, 0);
  later->HandleNeeded();
  f->Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(static_cast<TControl*>(later)), 1);
  EXPECT_GE(sp->Adapter->IndexOf(later), 0);
  // With a list of its own the provider names only what it lists: a new adapter finds no edit.
  sp->Adapter.reset();
  sp->Adapter.reset(new TlvCtrlAdapter(sp));
  sp->Adapter->ThirdList(tpButton)->Add(L"TButton");
  auto* fresh = addEdit(130, 0);
  fresh->HandleNeeded();
  sp->Adapter->AddAllItems(nullptr);
  EXPECT_LT(sp->Adapter->IndexOf(fresh), 0);
  EXPECT_EQ(GetPropW(fresh->Handle(), L"LVSBSC"), nullptr);
}

TEST_F(SkinnedWindow, AnMDIChildMaximisedAndRestoredUnderASkinnedMainForm) {
  auto* frame = formtest::NewMDIFrame(60, 40, 640, 460, L"Ana pencere");
  formtest::SetWindowMenuLine(frame);
  auto* msp = Create<TsSkinProvider>(frame);
  manager->SetActive(true);
  frame->Show();
  ASSERT_TRUE(WaitFor([&] { return frame->ClientHandle() != nullptr && msp->MDIForm != nullptr; }));
  auto* child = formtest::NewMDIChild(frame, L"Öğrenci", 20, 20, 300, 200);
  auto* csp = Create<TsSkinProvider>(child);
  child->Show();
  ASSERT_TRUE(WaitFor([&] { return child->HandleAllocated() && IsWindowVisible(child->Handle()) &&
                                   csp->SkinData()->Skinned(true); }));
  SendMessageW(child->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return IsZoomed(child->Handle()) != FALSE; }));
  EXPECT_EQ(ChildProvider, csp);
  EXPECT_EQ(frame->ActiveMDIChild(), child);
  // The main form's menu line shows the child's buttons; its restore button acts on the active child.
  ASSERT_TRUE(WaitFor([&] { return msp->MDIButtonsNeeded() && !msp->MDIMax.Rect.IsEmpty(); }));
  SaveScreen(frame->Handle(), "mdi_maximised");
  const RECT wr = WindowRectOf(frame->Handle());
  auto at = [&](const TsCaptionButton& b) {
    return MAKELPARAM(wr.left + (b.Rect.Left + b.Rect.Right) / 2, wr.top + (b.Rect.Top + b.Rect.Bottom) / 2);
  };
  EXPECT_EQ(SendMessageW(frame->Handle(), WM_NCHITTEST, 0, at(msp->MDIClose)), HTCHILDCLOSE);
  EXPECT_EQ(SendMessageW(frame->Handle(), WM_NCHITTEST, 0, at(msp->MDIMin)), HTCHILDMIN);
  ASSERT_EQ(SendMessageW(frame->Handle(), WM_NCHITTEST, 0, at(msp->MDIMax)), HTCHILDMAX);
  SendMessageW(frame->Handle(), WM_NCMOUSEMOVE, HTCHILDMAX, at(msp->MDIMax));
  SendMessageW(frame->Handle(), WM_NCLBUTTONDOWN, HTCHILDMAX, at(msp->MDIMax));
  SendMessageW(frame->Handle(), WM_NCLBUTTONUP, HTCHILDMAX, at(msp->MDIMax));
  ASSERT_TRUE(WaitFor([&] { return !IsZoomed(child->Handle()); }));
  EXPECT_EQ(child->Width(), 300);
  SaveScreen(frame->Handle(), "mdi_restored");
  msp->MDIForm->MinClick();
  EXPECT_TRUE(WaitFor([&] { return IsIconic(child->Handle()) != FALSE; }));
  manager->SetActive(false);
  Application->SetMainForm(nullptr);
  delete frame;
}

TEST_F(SkinnedWindow, TheMenuLineShowsItsItemsOverTheSkinnedBand) {
  TForm* f = NewForm(160, 120, 460, 300);
  formtest::SetFileMenuLine(f);
  TsSkinProvider* sp = Skin(f);
  Activate({sp});
  ASSERT_TRUE(sp->MenuPresent());
  ASSERT_GT(sp->MenuHeight(), 0);
  TBitmap* cache = sp->SkinData()->CacheBmp();
  const RECT wr = WindowRectOf(f->Handle());
  // Each item's place in the image holds more than the band's one colour: its text is written there.
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    RECT r{};
    ASSERT_TRUE(GetMenuItemRect(f->Handle(), GetMenu(f->Handle()), static_cast<UINT>(i), &r));
    OffsetRect(&r, -wr.left, -wr.top);
    ASSERT_LT(r.bottom, cache->Height());
    const std::uint32_t band = static_cast<std::uint32_t*>(cache->ScanLine(r.top + 1))[r.left + 1] & 0xFFFFFF;
    int ink = 0;
    for (int y = r.top + 2; y < r.bottom - 2; ++y)
      for (int x = r.left + 2; x < r.right - 2; ++x)
        if ((static_cast<std::uint32_t*>(cache->ScanLine(y))[x] & 0xFFFFFF) != band) ++ink;
    EXPECT_GT(ink, 10);
  }
  SaveScreen(f->Handle(), "menu_line");
}
