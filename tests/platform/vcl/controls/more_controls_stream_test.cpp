// Speed buttons, masked edits, status bars, tool bars, up-downs, tree views, splitters and scroll boxes written to
// form-resource text and read back: what the screens set survives (the mask before the text it shapes, the panels
// as a collection, the up-down's associate as a reference), and defaults stay out of the text.
#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/formatsettings.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/mask.h"
#include "platform/vcl/rangectrls.h"
#include "platform/vcl/scrollbox.h"
#include "platform/vcl/splitter.h"
#include "platform/vcl/statusbar.h"
#include "platform/vcl/toolbar.h"
#include "platform/vcl/treeview.h"

using namespace vcl;

namespace {

template <class T>
T* Make(TForm* form, TWinControl* parent, const wchar_t* name) {
  auto* c = new T(form);
  c->SetName(name);
  c->SetParent(parent);
  return c;
}

TEST(MoreControlsStream, PropertiesSurviveARoundTrip) {
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetName(L"Form9");
  auto* speed = Make<TSpeedButton>(form.get(), form.get(), L"SpeedButton1");
  speed->SetGroupIndex(2);
  speed->SetAllowAllUp(true);
  speed->SetDown(true);
  speed->SetFlat(true);
  speed->SetCaption(L"Yazdır");
  auto* mask = Make<TMaskEdit>(form.get(), form.get(), L"MaskEdit1");
  mask->SetEditMask(L"!99/99/0000;1;_");
  mask->SetText(L"01" + String(1, rtl::FormatSettings.DateSeparator) + L"02" +
                String(1, rtl::FormatSettings.DateSeparator) + L"2024");
  auto* bar = Make<TStatusBar>(form.get(), form.get(), L"StatusBar1");
  bar->Panels()->Add()->SetText(L"Kullanıcı");
  bar->Panels()->Items(0)->SetWidth(150);
  bar->Panels()->Add()->SetAlignment(taCenter);
  auto* tools = Make<TToolBar>(form.get(), form.get(), L"ToolBar1");
  tools->SetShowCaptions(true);
  auto* tb = Make<TToolButton>(form.get(), tools, L"ToolButton1");
  tb->SetStyle(tbsCheck);
  tb->SetCaption(L"Öğrenci");
  auto* edit = Make<TEdit>(form.get(), form.get(), L"Edit1");
  auto* ud = Make<TUpDown>(form.get(), form.get(), L"UpDown1");
  ud->SetMax(12);
  ud->SetAssociate(edit);
  ud->SetPosition(9);
  auto* tree = Make<TTreeView>(form.get(), form.get(), L"TreeView1");
  tree->SetReadOnly(true);
  auto* split = Make<TSplitter>(form.get(), form.get(), L"Splitter1");
  split->SetMinSize(60);
  auto* box = Make<TScrollBox>(form.get(), form.get(), L"ScrollBox1");
  box->SetBorderStyle(bsNone);

  String text = WriteComponentText(form.get());
  EXPECT_NE(text.find(L"EditMask = '!99/99/0000;1;_'"), String::npos);
  EXPECT_EQ(text.find(L"ShowButtons"), String::npos) << "defaults stay out";

  std::unique_ptr<TForm> copy(new TForm(nullptr));
  ReadComponentText(text, copy.get(), L"ROUNDTRIP");
  auto* speed2 = dynamic_cast<TSpeedButton*>(copy->FindComponent(L"SpeedButton1"));
  auto* mask2 = dynamic_cast<TMaskEdit*>(copy->FindComponent(L"MaskEdit1"));
  auto* bar2 = dynamic_cast<TStatusBar*>(copy->FindComponent(L"StatusBar1"));
  auto* tb2 = dynamic_cast<TToolButton*>(copy->FindComponent(L"ToolButton1"));
  auto* ud2 = dynamic_cast<TUpDown*>(copy->FindComponent(L"UpDown1"));
  auto* tree2 = dynamic_cast<TTreeView*>(copy->FindComponent(L"TreeView1"));
  auto* split2 = dynamic_cast<TSplitter*>(copy->FindComponent(L"Splitter1"));
  auto* box2 = dynamic_cast<TScrollBox*>(copy->FindComponent(L"ScrollBox1"));
  ASSERT_TRUE(speed2 && mask2 && bar2 && tb2 && ud2 && tree2 && split2 && box2);
  EXPECT_EQ(speed2->GroupIndex(), 2);
  EXPECT_TRUE(speed2->AllowAllUp());
  EXPECT_TRUE(speed2->Down());
  EXPECT_TRUE(speed2->Flat());
  EXPECT_EQ(speed2->Caption(), L"Yazdır");
  EXPECT_EQ(mask2->EditMask(), L"!99/99/0000;1;_");
  EXPECT_EQ(mask2->Text(), mask->Text());
  EXPECT_EQ(mask2->EditText(), mask->EditText());
  ASSERT_EQ(bar2->Panels()->Count(), 2);
  EXPECT_EQ(bar2->Panels()->Items(0)->Text(), L"Kullanıcı");
  EXPECT_EQ(bar2->Panels()->Items(0)->Width(), 150);
  EXPECT_EQ(bar2->Panels()->Items(1)->Alignment(), taCenter);
  EXPECT_EQ(tb2->Style(), tbsCheck);
  EXPECT_EQ(tb2->Caption(), L"Öğrenci");
  EXPECT_TRUE(dynamic_cast<TToolBar*>(tb2->Parent())->ShowCaptions());
  EXPECT_EQ(ud2->Associate(), copy->FindComponent(L"Edit1"));
  EXPECT_EQ(ud2->Max(), 12);
  EXPECT_EQ(ud2->Position(), 9);
  EXPECT_TRUE(tree2->ReadOnly());
  EXPECT_EQ(split2->MinSize(), 60);
  EXPECT_EQ(box2->BorderStyle(), bsNone);
}

}  // namespace
