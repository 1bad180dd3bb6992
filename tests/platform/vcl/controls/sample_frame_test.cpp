// A sample of the program's look for a person to judge, not a check: an MDI frame with the Turkish main menu, a
// tool bar and a status bar, and a child window with a page control holding the usual controls, in the "Sky" style.
// Disabled so the suite never waits on it; run it with
//   wine vcl_controls_tests.exe --gtest_also_run_disabled_tests --gtest_filter=*SampleFrame*
// and SAMPLE_SECONDS=<n> to keep it on the screen while a screenshot is taken.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/vcl/application.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/comctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/mask.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/rangectrls.h"
#include "platform/vcl/statusbar.h"
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/styles.h"
#include "platform/vcl/toolbar.h"
#include "platform/vcl/treeview.h"

using namespace vcl;

namespace {

TMenuItem* MenuItem(TComponent* owner, TMenuItem* parent, const String& caption) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

template <class T>
T* Place(TComponent* owner, TWinControl* parent, int x, int y, int w, int h) {
  auto* c = new T(owner);
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}

TEST(SampleFrame, DISABLED_ShowsTheFrameForAScreenshot) {
  Application->Initialize();
  Application->SetTitle(L"DERVANLİ ZEZ");
  ASSERT_TRUE(TStyleManager::TrySetStyle(L"Sky", true));

  auto* frame = new TForm(nullptr);
  frame->SetFormStyle(fsMDIForm);
  frame->SetCaption(L"Ana sayfa");
  frame->Font()->SetName(L"Tahoma");
  frame->Font()->SetSize(8);
  frame->SetBounds(20, 20, 960, 680);
  auto* menu = new TMainMenu(frame);
  for (const wchar_t* top : {L"Öğrenci Kayıt", L"Görüşmeler", L"İstatistik", L"Ayarlar", L"Yardım"}) {
    TMenuItem* item = MenuItem(frame, menu->Items(), top);
    if (String(top) == L"Ayarlar") {
      MenuItem(frame, item, L"Sabit Bilgiler");
      MenuItem(frame, item, L"Excel'den Aktar");
    }
  }
  frame->SetMenu(menu);

  auto* tools = new TToolBar(frame);
  tools->SetParent(frame);
  tools->SetShowCaptions(true);
  for (const wchar_t* caption : {L"Öğrenci", L"Veli Görüşme", L"Çıkış"}) {
    auto* b = new TToolButton(frame);
    b->SetCaption(caption);
    b->SetParent(tools);
  }
  auto* status = new TStatusBar(frame);
  status->SetParent(frame);
  status->Panels()->Add()->SetText(L"Kullanıcı: Rehber Öğretmen");
  status->Panels()->Items(0)->SetWidth(220);
  status->Panels()->Add()->SetText(L"Çarşamba, 12.06.2024");
  Application->SetMainForm(frame);
  frame->Show();

  auto* child = new TForm(frame);
  child->SetFormStyle(fsMDIChild);
  child->SetCaption(L"Öğrenci Kayıt");
  child->SetBounds(10, 10, 700, 440);
  auto* pages = Place<TPageControl>(child, child, 8, 8, 676, 340);
  for (const wchar_t* title : {L"Okul Bilgileri", L"Aile Bilgileri", L"Sağlık"}) {
    auto* sheet = new TTabSheet(child);
    sheet->SetCaption(title);
    sheet->SetPageControl(pages);
  }
  pages->SetActivePageIndex(0);
  TTabSheet* first = pages->Pages(0);
  auto* lbl = Place<TLabel>(child, first, 16, 20, 100, 16);
  lbl->SetCaption(L"Adı Soyadı:");
  Place<TEdit>(child, first, 130, 16, 200, 21)->SetText(L"Işıl Güneş Çağlayan");
  Place<TLabel>(child, first, 16, 52, 100, 16)->SetCaption(L"Doğum Tarihi:");
  auto* born = Place<TMaskEdit>(child, first, 130, 48, 90, 21);
  born->SetEditMask(L"!99/99/0000;1;_");
  born->SetText(L"05.09.2009");
  Place<TLabel>(child, first, 16, 84, 100, 16)->SetCaption(L"Sınıfı:");
  auto* cls = Place<TEdit>(child, first, 130, 80, 40, 21);
  auto* ud = Place<TUpDown>(child, first, 0, 0, 17, 21);
  ud->SetMin(9);
  ud->SetMax(12);
  ud->SetAssociate(cls);
  ud->SetPosition(10);
  Place<TCheckBox>(child, first, 16, 116, 220, 17)->SetCaption(L"Burslu öğrenci");
  Place<TCheckBox>(child, first, 16, 140, 220, 17)->SetCaption(L"Özel eğitim gereksinimi");
  auto* tree = Place<TTreeView>(child, first, 360, 16, 290, 200);
  TTreeNode* school = tree->Items()->Add(nullptr, L"Şehit Öğretmen İlköğretim Okulu");
  TTreeNode* cls9 = tree->Items()->AddChild(school, L"9-A Sınıfı");
  tree->Items()->AddChild(cls9, L"Ayşe Yılmaz");
  tree->Items()->AddChild(cls9, L"İbrahim Öztürk");
  school->Expand(true);
  auto* progress = Place<TProgressBar>(child, first, 16, 180, 300, 16);
  progress->SetPosition(65);
  auto* save = Place<TBitBtn>(child, child, 440, 360, 110, 28);
  save->SetCaption(L"Kaydet");
  auto* close = Place<TButton>(child, child, 566, 360, 110, 28);
  close->SetCaption(L"Kapat");
  auto* speed = Place<TSpeedButton>(child, child, 8, 360, 110, 28);
  speed->SetCaption(L"Yazdır");
  child->Show();
  Application->ProcessMessages();
  EXPECT_EQ(frame->MDIChildCount(), 1);
  EXPECT_TRUE(child->HandleAllocated() && IsWindowVisible(child->Handle()));

  const char* seconds = std::getenv("SAMPLE_SECONDS");
  DWORD until = GetTickCount() + static_cast<DWORD>((seconds ? std::atoi(seconds) : 3) * 1000);
  while (GetTickCount() < until) {
    Application->ProcessMessages();
    Sleep(20);
  }
  Application->SetMainForm(nullptr);
  delete frame;
  TStyleManager::SetStyle(TStyleManager::kSystemStyleName);
}

}  // namespace
