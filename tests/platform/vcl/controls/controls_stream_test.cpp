// The new controls written to form-resource text and read back: every property the screens set survives, and
// properties at their defaults stay out of the text.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/comctrls.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/richedit.h"
#include "platform/vcl/stdctrls.h"

using namespace vcl;

namespace {

template <class T>
T* Make(TForm* form, TWinControl* parent, const wchar_t* name) {
  auto* c = new T(form);
  c->SetName(name);
  if constexpr (std::is_base_of_v<TControl, T>) c->SetParent(parent);
  return c;
}

TEST(ControlsStream, PropertiesSurviveARoundTrip) {
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetName(L"Form2");
  auto* panel = Make<TPanel>(form.get(), form.get(), L"sPanel1");
  panel->SetAlign(alTop);
  panel->SetCaption(L"Öğrenci Bilgileri Kayıt Sayfası");
  panel->SetBevelInner(bvLowered);
  auto* pages = Make<TPageControl>(form.get(), form.get(), L"sPageControl1");
  pages->SetTop(50);
  auto* sheet1 = Make<TTabSheet>(form.get(), pages, L"TabSheet1");
  sheet1->SetCaption(L"Okul Bilgiler");
  auto* sheet2 = Make<TTabSheet>(form.get(), pages, L"TabSheet2");
  sheet2->SetCaption(L"Genel Bilgi");
  pages->SetActivePage(sheet2);
  auto* image = Make<TImage>(form.get(), sheet1, L"Image1");
  image->SetStretch(true);
  image->SetProportional(true);
  image->SetCenter(true);
  TBitmap pic(12, 7);
  image->Picture()->SetGraphic(&pic);
  auto* combo = Make<TComboBox>(form.get(), sheet2, L"sComboBox1");
  combo->Items()->Add(L"Bireysel");
  combo->Items()->Add(L"Grup");
  combo->SetText(L"Görüşme türü");
  auto* memo = Make<TMemo>(form.get(), sheet2, L"sDBMemo1");
  memo->Lines()->Add(L"satır");
  memo->SetVisible(false);
  memo->SetScrollBars(ssVertical);
  auto* rich = Make<TRichEdit>(form.get(), sheet2, L"sDBRichEdit1");
  rich->SetZoom(100);
  auto* radio = Make<TRadioButton>(form.get(), form.get(), L"RadioButton1");
  radio->SetChecked(true);

  String text = WriteComponentText(form.get());
  EXPECT_EQ(text.find(L"Zoom"), String::npos) << "Zoom 100 is the default";
  EXPECT_EQ(text.find(L"Text = 'satır"), String::npos) << "a memo stores its lines only";
  EXPECT_EQ(text.find(L"ItemIndex"), String::npos) << "ItemIndex -1 is the default";
  EXPECT_EQ(text.find(L"Caption = 'Görüşme"), String::npos) << "a combo box stores its text once";

  std::unique_ptr<TForm> copy(new TForm(nullptr));
  ReadComponentText(text, copy.get(), L"ROUNDTRIP");
  auto* p2 = dynamic_cast<TPanel*>(copy->FindComponent(L"sPanel1"));
  auto* pc2 = dynamic_cast<TPageControl*>(copy->FindComponent(L"sPageControl1"));
  auto* i2 = dynamic_cast<TImage*>(copy->FindComponent(L"Image1"));
  auto* c2 = dynamic_cast<TComboBox*>(copy->FindComponent(L"sComboBox1"));
  auto* m2 = dynamic_cast<TMemo*>(copy->FindComponent(L"sDBMemo1"));
  auto* r2 = dynamic_cast<TRadioButton*>(copy->FindComponent(L"RadioButton1"));
  ASSERT_TRUE(p2 && pc2 && i2 && c2 && m2 && r2);
  EXPECT_EQ(p2->Caption(), L"Öğrenci Bilgileri Kayıt Sayfası");
  EXPECT_EQ(p2->Align(), alTop);
  EXPECT_EQ(p2->BevelInner(), bvLowered);
  EXPECT_EQ(p2->BevelOuter(), bvRaised);
  ASSERT_EQ(pc2->PageCount(), 2);
  EXPECT_EQ(pc2->ActivePage(), copy->FindComponent(L"TabSheet2"));
  EXPECT_EQ(pc2->Pages(0)->Caption(), L"Okul Bilgiler");
  EXPECT_EQ(i2->Parent(), pc2->Pages(0));
  EXPECT_TRUE(i2->Stretch() && i2->Proportional() && i2->Center());
  EXPECT_EQ(i2->Picture()->Width(), 12);
  EXPECT_EQ(i2->Picture()->Height(), 7);
  EXPECT_EQ(c2->Items()->Count(), 2);
  EXPECT_EQ(c2->Text(), L"Görüşme türü");
  EXPECT_EQ(c2->ItemIndex(), -1);
  EXPECT_EQ(m2->Lines()->Count(), 1);
  EXPECT_EQ(m2->Lines()->Get(0), L"satır");
  EXPECT_FALSE(m2->Visible());
  EXPECT_EQ(m2->ScrollBars(), ssVertical);
  EXPECT_TRUE(r2->Checked());
}

// Components without a parent, as a screen's resource gives them; writing the form must keep them.
TEST(ControlsStream, TimerAndOpenDialogSurviveARoundTrip) {
  std::unique_ptr<TForm> form(new TForm(nullptr));
  ReadComponentText(
      L"object Form6: TForm\r\n"
      L"  object OpenDialog1: TOpenDialog\r\n"
      L"    DefaultExt = 'xls'\r\n"
      L"    Filter = 'Resimler|*.jpg;*.png'\r\n"
      L"    Options = [ofHideReadOnly, ofFileMustExist, ofEnableSizing]\r\n"
      L"    Title = 'Dosya Se\x00E7'\r\n"
      L"  end\r\n"
      L"  object Timer1: TTimer\r\n"
      L"    Enabled = False\r\n"
      L"    Interval = 250\r\n"
      L"  end\r\n"
      L"end\r\n",
      form.get(), L"TFORM6");
  auto* dlg = dynamic_cast<TOpenDialog*>(form->FindComponent(L"OpenDialog1"));
  auto* timer = dynamic_cast<TTimer*>(form->FindComponent(L"Timer1"));
  ASSERT_TRUE(dlg && timer);
  EXPECT_EQ(dlg->Filter(), L"Resimler|*.jpg;*.png");
  EXPECT_EQ(dlg->DefaultExt(), L"xls");
  EXPECT_EQ(dlg->Title(), L"Dosya Seç");
  EXPECT_EQ(dlg->Options(), kDefaultOpenOptions + ofFileMustExist);
  EXPECT_EQ(dlg->FilterIndex(), 1);
  EXPECT_EQ(timer->Interval(), 250u);
  EXPECT_FALSE(timer->Enabled());

  String text = WriteComponentText(form.get());
  EXPECT_NE(text.find(L"object OpenDialog1: TOpenDialog"), String::npos) << text;
  EXPECT_NE(text.find(L"object Timer1: TTimer"), String::npos) << text;
  std::unique_ptr<TForm> copy(new TForm(nullptr));
  ReadComponentText(text, copy.get(), L"ROUNDTRIP");
  auto* timer2 = dynamic_cast<TTimer*>(copy->FindComponent(L"Timer1"));
  ASSERT_TRUE(timer2);
  EXPECT_EQ(timer2->Interval(), 250u);
  EXPECT_EQ(WriteComponentText(copy.get()), text);
}

}  // namespace

namespace {

// Pages come back in page order, whichever sheet was made last or brought to the front.
TEST(ControlsStream, PagesKeepTheirOrder) {
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetName(L"Form2");
  auto* pages = new TPageControl(form.get());
  pages->SetName(L"PageControl1");
  pages->SetParent(form.get());
  pages->SetBounds(0, 0, 300, 200);
  const wchar_t* captions[] = {L"Okul Bilgiler", L"Genel Bilgi", L"Aile Bilgileri"};
  for (int i = 0; i < 3; ++i) {
    auto* sheet = new TTabSheet(form.get());
    sheet->SetName(String(L"TabSheet") + std::to_wstring(i + 1));
    sheet->SetCaption(captions[i]);
    sheet->SetPageControl(pages);
  }
  pages->Pages(2)->SetPageIndex(0);  // "Aile Bilgileri" first
  pages->SetActivePage(pages->Pages(1));
  String text = WriteComponentText(form.get());

  std::unique_ptr<TForm> copy(new TForm(nullptr));
  ReadComponentText(text, copy.get(), L"PAGES");
  auto* copied = dynamic_cast<TPageControl*>(copy->FindComponent(L"PageControl1"));
  ASSERT_TRUE(copied);
  ASSERT_EQ(copied->PageCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(copied->Pages(i)->Caption(), pages->Pages(i)->Caption()) << i;
}

}  // namespace
