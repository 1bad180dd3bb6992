// Status bar panels reach the system's status window (texts, alignment tabs, simple panel, owner drawing), and the
// tree view's nodes (added, as children, expanded, selected, deleted) stay the same with and without a window.
#include <gtest/gtest.h>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/statusbar.h"
#include "platform/vcl/styles.h"
#include "platform/vcl/treeview.h"

using namespace vcl;

namespace {

class OnForm : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetBounds(40, 40, 400, 300);
  }
  void TearDown() override {
    delete form;
    Application->ProcessMessages();
  }
  void ShowForm() {
    form->Show();
    Application->ProcessMessages();
  }
  TForm* form = nullptr;
};

using StatusBar = OnForm;

TEST_F(StatusBar, PanelTextsSetBeforeAndAfterTheWindowAreShown) {
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  TStatusPanel* user = bar->Panels()->Add();
  user->SetText(L"Kullanıcı: Öğretmen");
  user->SetWidth(150);
  TStatusPanel* date = bar->Panels()->Add();
  date->SetAlignment(taCenter);
  date->SetText(L"12.05.2024");
  ShowForm();
  ASSERT_TRUE(bar->HandleAllocated());
  EXPECT_EQ(bar->Align(), alBottom);
  EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight()) << "at the bottom of the form";
  EXPECT_EQ(SendMessageW(bar->Handle(), SB_GETPARTS, 0, 0), 2);
  EXPECT_EQ(bar->PanelTextShown(0), L"Kullanıcı: Öğretmen");
  EXPECT_EQ(bar->PanelTextShown(1), L"12.05.2024");
  EXPECT_EQ(bar->PanelRect(0).Right, 150);
  // The last panel takes what is left.
  EXPECT_GT(bar->PanelRect(1).Right, 300);
  date->SetText(L"13.05.2024");
  EXPECT_EQ(bar->PanelTextShown(1), L"13.05.2024");
  bar->Panels()->Delete(0);
  EXPECT_EQ(SendMessageW(bar->Handle(), SB_GETPARTS, 0, 0), 1);
  EXPECT_EQ(bar->PanelTextShown(0), L"13.05.2024");
  // A new window (a changed style) shows the same panels.
  bar->SetSizeGrip(false);
  EXPECT_EQ(bar->PanelTextShown(0), L"13.05.2024");
}

TEST_F(StatusBar, TheSimplePanelReplacesThePanelsWhileOn) {
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  bar->Panels()->Add()->SetText(L"bir");
  ShowForm();
  bar->SetSimpleText(L"Kayıt kaydedildi");
  bar->SetSimplePanel(true);
  EXPECT_TRUE(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(bar->PanelTextShown(0), L"Kayıt kaydedildi") << "in simple mode the window answers with the simple text";
  bar->SetSimplePanel(false);
  EXPECT_FALSE(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(bar->PanelTextShown(0), L"bir");
}

TEST_F(StatusBar, OwnerDrawnPanelsArePaintedByTheEvent) {
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  bar->Panels()->Add()->SetWidth(100);
  TStatusPanel* drawn = bar->Panels()->Add();
  drawn->SetStyle(psOwnerDraw);
  std::vector<TStatusPanel*> painted;
  bar->OnDrawPanel = [&](TStatusBar* sb, TStatusPanel* p, const TRect& r) {
    painted.push_back(p);
    sb->Canvas()->Brush()->SetColor(clRed);
    sb->Canvas()->FillRect(r);
  };
  ShowForm();
  UpdateWindow(bar->Handle());
  ASSERT_FALSE(painted.empty());
  EXPECT_EQ(painted.front(), drawn);
  HDC dc = GetDC(bar->Handle());
  TRect r = bar->PanelRect(1);
  EXPECT_EQ(GetPixel(dc, r.Left + 10, (r.Top + r.Bottom) / 2), RGB(255, 0, 0));
  ReleaseDC(bar->Handle(), dc);
}

TEST_F(StatusBar, UnderAStyleTheBarPaintsInItsColoursAndStillDrawsOwnerPanels) {
  TStyleManager::SetStyle(L"Sky");
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  bar->Panels()->Add()->SetText(L"Hazır");
  bar->Panels()->Items(0)->SetWidth(100);
  bar->Panels()->Add()->SetStyle(psOwnerDraw);
  bar->OnDrawPanel = [](TStatusBar* sb, TStatusPanel*, const TRect& r) {
    sb->Canvas()->Brush()->SetColor(clLime);
    sb->Canvas()->FillRect(r);
  };
  ShowForm();
  RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(bar->Handle());
  COLORREF back = GetPixel(dc, 90, bar->Height() / 2);
  TRect second = bar->PanelRect(1);
  COLORREF drawn = GetPixel(dc, second.Left + 10, (second.Top + second.Bottom) / 2);
  ReleaseDC(bar->Handle(), dc);
  COLORREF sky = static_cast<COLORREF>(StyleServices().GetStyleColor(scStatusBar));
  TStyleManager::SetStyle(L"Windows");
  EXPECT_EQ(back, sky);
  EXPECT_EQ(drawn, RGB(0, 255, 0));
}

using TreeView = OnForm;

// Reads the window's own items back: text of every item in display order, with its depth.
std::vector<String> WindowItems(TTreeView* tv) {
  std::vector<String> out;
  HWND h = tv->Handle();
  auto next = [h](HTREEITEM item, WPARAM code) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(h, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
  };
  std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM item, int depth) {
    for (; item; item = next(item, TVGN_NEXT)) {
      wchar_t buf[128] = {};
      TVITEMW it{};
      it.mask = TVIF_TEXT;
      it.hItem = item;
      it.pszText = buf;
      it.cchTextMax = 128;
      SendMessageW(h, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
      out.push_back(String(static_cast<size_t>(depth), L'-') + buf);
      walk(next(item, TVGN_CHILD), depth + 1);
    }
  };
  walk(next(nullptr, TVGN_ROOT), 0);
  return out;
}

TEST_F(TreeView, NodesAddedWithAndWithoutAWindowAreTheSame) {
  auto* tv = new TTreeView(form);
  tv->SetParent(form);
  tv->SetBounds(0, 0, 200, 200);
  TTreeNodes* items = tv->Items();
  TTreeNode* okul = items->Add(nullptr, L"Okul");
  TTreeNode* sinif = items->AddChild(okul, L"9-A");
  items->AddChild(sinif, L"Ayşe Yılmaz");
  items->AddChildFirst(sinif, L"Çağrı Işık");
  TTreeNode* veli = items->Add(okul, L"Veliler");
  ShowForm();
  EXPECT_EQ(WindowItems(tv), (std::vector<String>{L"Okul", L"-9-A", L"--Çağrı Işık", L"--Ayşe Yılmaz", L"Veliler"}));
  items->AddChild(veli, L"İsmail Öztürk");
  items->AddFirst(okul, L"Ayarlar");
  EXPECT_EQ(WindowItems(tv), (std::vector<String>{L"Ayarlar", L"Okul", L"-9-A", L"--Çağrı Işık", L"--Ayşe Yılmaz",
                                                  L"Veliler", L"-İsmail Öztürk"}));
  EXPECT_EQ(items->Count(), 7);
  EXPECT_EQ(items->Item(3)->Text(), L"Çağrı Işık");
  EXPECT_EQ(items->Item(3)->Level(), 2);
  EXPECT_EQ(sinif->Count(), 2);
  EXPECT_EQ(sinif->Item(1)->Index(), 1);
  EXPECT_EQ(sinif->Parent(), okul);
  EXPECT_THROW(items->Item(7), rtl::EListError);
  // A new window brings every node back.
  tv->SetShowLines(false);
  EXPECT_EQ(WindowItems(tv).size(), 7u);
}

TEST_F(TreeView, SelectingByProgramAndByWindowReportsTheChangeOnce) {
  auto* tv = new TTreeView(form);
  tv->SetParent(form);
  TTreeNode* a = tv->Items()->Add(nullptr, L"A");
  TTreeNode* a1 = tv->Items()->AddChild(a, L"A1");
  TTreeNode* b = tv->Items()->Add(nullptr, L"B");
  std::vector<TTreeNode*> changes;
  ShowForm();
  tv->OnChange = [&](rtl::TObject*, TTreeNode* n) { changes.push_back(n); };
  a1->SetSelected(true);
  EXPECT_EQ(tv->Selected(), a1);
  EXPECT_TRUE(a->Expanded()) << "selecting a node opens its parents";
  EXPECT_EQ(changes, std::vector<TTreeNode*>{a1});
  // The user moves the selection (the window selects, the view follows through its notification).
  SendMessageW(tv->Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b->ItemId()));
  EXPECT_EQ(tv->Selected(), b);
  EXPECT_EQ(changes, (std::vector<TTreeNode*>{a1, b}));
  // OnChanging may refuse.
  tv->OnChanging = [&](rtl::TObject*, TTreeNode*, bool& allow) { allow = false; };
  a->SetSelected(true);
  EXPECT_EQ(tv->Selected(), b);
  tv->OnChanging = nullptr;
  // Deleting the selected node leaves no dangling selection.
  b->Delete();
  EXPECT_NE(tv->Selected(), b);
  EXPECT_EQ(tv->Items()->Count(), 2);
}

TEST_F(TreeView, ExpandingFollowsTheWindowBothWays) {
  auto* tv = new TTreeView(form);
  tv->SetParent(form);
  TTreeNode* a = tv->Items()->Add(nullptr, L"A");
  TTreeNode* a1 = tv->Items()->AddChild(a, L"A1");
  tv->Items()->AddChild(a1, L"A1x");
  a->Expand(false);
  std::vector<String> events;
  tv->OnExpanded = [&](rtl::TObject*, TTreeNode* n) { events.push_back(L"+" + n->Text()); };
  tv->OnCollapsed = [&](rtl::TObject*, TTreeNode* n) { events.push_back(L"-" + n->Text()); };
  ShowForm();
  auto state = [&](TTreeNode* n) {
    return (SendMessageW(tv->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(n->ItemId()), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
  };
  EXPECT_TRUE(state(a)) << "expanded before the window existed";
  EXPECT_FALSE(state(a1));
  tv->FullExpand();
  EXPECT_TRUE(state(a1));
  EXPECT_EQ(events, std::vector<String>{L"+A1"});
  a->Collapse(true);
  EXPECT_FALSE(state(a));
  EXPECT_FALSE(a1->Expanded());
}

TEST_F(TreeView, ClearingFreesEveryNode) {
  auto* tv = new TTreeView(form);
  tv->SetParent(form);
  for (int i = 0; i < 3; ++i) tv->Items()->AddChild(tv->Items()->Add(nullptr, L"x"), L"y");
  ShowForm();
  tv->Items()->GetFirstNode()->SetSelected(true);
  tv->Items()->Clear();
  EXPECT_EQ(tv->Items()->Count(), 0);
  EXPECT_EQ(tv->Selected(), nullptr);
  EXPECT_EQ(SendMessageW(tv->Handle(), TVM_GETCOUNT, 0, 0), 0);
}

}  // namespace
