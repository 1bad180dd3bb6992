// One task written in each of the four languages and run under Wine: build a form with a button, an edit and a list
// box, fill a string list, write an ini file and read it back, draw on a bitmap's canvas and save it, and bind the
// button to a script procedure. The test then checks the files on the disk, the controls' window states, and what a
// click on the button does.
#include <memory>

#include "fixture.h"
#include "platform/rtl/inifiles.h"
#include "platform/vcl/application.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/picture.h"
#include "platform/vcl/stdctrls.h"
#include "tests/common/wait.h"

using rtl::String;
using rtl::Variant;

namespace {

String WindowText(HWND wnd) {
  wchar_t buf[256] = {};
  GetWindowTextW(wnd, buf, 256);
  return buf;
}

String ListText(HWND list, int index) {
  wchar_t buf[256] = {};
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf));
  return buf;
}

struct Demo {
  const wchar_t* language;
  const wchar_t* source;
};

// The same steps in every language; file names and the form's caption are the language's name.
const Demo kDemos[] = {
    {L"ZuvizaVuruze",
     L"var f: TForm; b: TButton; e: TEdit; l: TListBox; s, r: TStringList; ini: TIniFile; bmp: TBitmap; i: Integer;\r\n"
     L"procedure Clicked(Sender: TObject);\r\n"
     L"begin\r\n"
     L"  e.Text := 'Tıklandı';\r\n"
     L"  l.ItemIndex := l.Items.Count - 1\r\n"
     L"end;\r\n"
     L"begin\r\n"
     L"  f := TForm.Create(Application); f.Caption := 'ZuvizaVuruze'; f.SetBounds(20, 20, 320, 240);\r\n"
     L"  b := TButton.Create(f); b.Name := 'Kaydet'; b.Parent := f; b.Caption := 'Kaydet';\r\n"
     L"  b.SetBounds(8, 8, 90, 25); b.OnClick := 'Clicked';\r\n"
     L"  e := TEdit.Create(f); e.Name := 'Ad'; e.Parent := f; e.SetBounds(8, 40, 200, 21);\r\n"
     L"  l := TListBox.Create(f); l.Name := 'Liste'; l.Parent := f; l.SetBounds(8, 70, 200, 100);\r\n"
     L"  s := TStringList.Create; s.Add('Çağrı'); s.Add('Şükrü'); s.Add('İlknur');\r\n"
     L"  for i := 0 to s.Count - 1 do l.Items.Add(s[i]);\r\n"
     L"  ini := TIniFile.Create(Folder + 'ZuvizaVuruze.ini');\r\n"
     L"  ini.WriteString('Form', 'Baslik', f.Caption); ini.WriteTStrings('Liste', s);\r\n"
     L"  r := TStringList.Create; ini.ReadTStrings('Liste', r);\r\n"
     L"  e.Text := ini.ReadString('Form', 'Baslik', '') + ' ' + IntToStr(r.Count) + ' ' + r[2];\r\n"
     L"  ini.Free;\r\n"
     L"  bmp := TBitmap.Create; bmp.Width := 64; bmp.Height := 48;\r\n"
     L"  bmp.Canvas.Brush.Color := clWhite; bmp.Canvas.Pen.Color := clWhite; bmp.Canvas.Rectangle(0, 0, 64, 48);\r\n"
     L"  bmp.Canvas.Brush.Color := clRed; bmp.Canvas.Pen.Color := clRed; bmp.Canvas.Rectangle(4, 4, 20, 20);\r\n"
     L"  bmp.Canvas.Brush.Color := clBlue; bmp.Canvas.Pen.Color := clBlue; bmp.Canvas.Ellipse(28, 20, 52, 40);\r\n"
     L"  bmp.SaveToFile(Folder + 'ZuvizaVuruze.bmp'); bmp.Free; s.Free; r.Free;\r\n"
     L"  f.Show; Made := f\r\n"
     L"end."},
    {L"R++Aradod",
     L"TForm f; TButton b; TEdit e; TListBox l; TStringList s, r; TIniFile ini; TBitmap bmp; int i;\r\n"
     L"void Clicked(TObject Sender)\r\n"
     L"{\r\n"
     L"  e.Text = \"Tıklandı\";\r\n"
     L"  l.ItemIndex = l.Items.Count - 1;\r\n"
     L"}\r\n"
     L"{\r\n"
     L"  f = TForm.Create(Application); f.Caption = \"R++Aradod\"; f.SetBounds(20, 20, 320, 240);\r\n"
     L"  b = TButton.Create(f); b.Name = \"Kaydet\"; b.Parent = f; b.Caption = \"Kaydet\";\r\n"
     L"  b.SetBounds(8, 8, 90, 25); b.OnClick = \"Clicked\";\r\n"
     L"  e = TEdit.Create(f); e.Name = \"Ad\"; e.Parent = f; e.SetBounds(8, 40, 200, 21);\r\n"
     L"  l = TListBox.Create(f); l.Name = \"Liste\"; l.Parent = f; l.SetBounds(8, 70, 200, 100);\r\n"
     L"  s = TStringList.Create; s.Add(\"Çağrı\"); s.Add(\"Şükrü\"); s.Add(\"İlknur\");\r\n"
     L"  for (i = 0; i < s.Count; i++) l.Items.Add(s[i]);\r\n"
     L"  ini = TIniFile.Create(Folder + \"R++Aradod.ini\");\r\n"
     L"  ini.WriteString(\"Form\", \"Baslik\", f.Caption); ini.WriteTStrings(\"Liste\", s);\r\n"
     L"  r = TStringList.Create; ini.ReadTStrings(\"Liste\", r);\r\n"
     L"  e.Text = ini.ReadString(\"Form\", \"Baslik\", \"\") + \" \" + IntToStr(r.Count) + \" \" + r[2];\r\n"
     L"  ini.Free;\r\n"
     L"  bmp = TBitmap.Create; bmp.Width = 64; bmp.Height = 48;\r\n"
     L"  bmp.Canvas.Brush.Color = clWhite; bmp.Canvas.Pen.Color = clWhite; bmp.Canvas.Rectangle(0, 0, 64, 48);\r\n"
     L"  bmp.Canvas.Brush.Color = clRed; bmp.Canvas.Pen.Color = clRed; bmp.Canvas.Rectangle(4, 4, 20, 20);\r\n"
     L"  bmp.Canvas.Brush.Color = clBlue; bmp.Canvas.Pen.Color = clBlue; bmp.Canvas.Ellipse(28, 20, 52, 40);\r\n"
     L"  bmp.SaveToFile(Folder + \"R++Aradod.bmp\"); bmp.Free; s.Free; r.Free;\r\n"
     L"  f.Show; Made = f;\r\n"
     L"}"},
    {L"DizizOzazoz",
     L"Dim f As TForm, b As TButton, e As TEdit, l As TListBox, s As TStringList, r As TStringList\r\n"
     L"Dim ini As TIniFile, bmp As TBitmap, i As Integer\r\n"
     L"Sub Clicked(Sender)\r\n"
     L"  e.Text = \"Tıklandı\"\r\n"
     L"  l.ItemIndex = l.Items.Count - 1\r\n"
     L"End Sub\r\n"
     L"f = TForm.Create(Application) : f.Caption = \"DizizOzazoz\" : f.SetBounds(20, 20, 320, 240)\r\n"
     L"b = TButton.Create(f) : b.Name = \"Kaydet\" : b.Parent = f : b.Caption = \"Kaydet\"\r\n"
     L"b.SetBounds(8, 8, 90, 25) : b.OnClick = \"Clicked\"\r\n"
     L"e = TEdit.Create(f) : e.Name = \"Ad\" : e.Parent = f : e.SetBounds(8, 40, 200, 21)\r\n"
     L"l = TListBox.Create(f) : l.Name = \"Liste\" : l.Parent = f : l.SetBounds(8, 70, 200, 100)\r\n"
     L"s = TStringList.Create : s.Add(\"Çağrı\") : s.Add(\"Şükrü\") : s.Add(\"İlknur\")\r\n"
     L"For i = 0 To s.Count - 1\r\n"
     L"  l.Items.Add(s[i])\r\n"
     L"Next\r\n"
     L"ini = TIniFile.Create(Folder & \"DizizOzazoz.ini\")\r\n"
     L"ini.WriteString(\"Form\", \"Baslik\", f.Caption) : ini.WriteTStrings(\"Liste\", s)\r\n"
     L"r = TStringList.Create : ini.ReadTStrings(\"Liste\", r)\r\n"
     L"e.Text = ini.ReadString(\"Form\", \"Baslik\", \"\") & \" \" & IntToStr(r.Count) & \" \" & r[2]\r\n"
     L"ini.Free\r\n"
     L"bmp = TBitmap.Create : bmp.Width = 64 : bmp.Height = 48\r\n"
     L"bmp.Canvas.Brush.Color = clWhite : bmp.Canvas.Pen.Color = clWhite : bmp.Canvas.Rectangle(0, 0, 64, 48)\r\n"
     L"bmp.Canvas.Brush.Color = clRed : bmp.Canvas.Pen.Color = clRed : bmp.Canvas.Rectangle(4, 4, 20, 20)\r\n"
     L"bmp.Canvas.Brush.Color = clBlue : bmp.Canvas.Pen.Color = clBlue : bmp.Canvas.Ellipse(28, 20, 52, 40)\r\n"
     L"bmp.SaveToFile(Folder & \"DizizOzazoz.bmp\") : bmp.Free : s.Free : r.Free\r\n"
     L"f.Show : Made = f\r\n"},
    {L"JScript",
     L"var f, b, e, l, s, r, ini, bmp;\r\n"
     L"function Clicked(Sender) {\r\n"
     L"  e.Text = \"Tıklandı\";\r\n"
     L"  l.ItemIndex = l.Items.Count - 1;\r\n"
     L"}\r\n"
     L"f = new TForm(Application); f.Caption = \"JScript\"; f.SetBounds(20, 20, 320, 240);\r\n"
     L"b = new TButton(f); b.Name = \"Kaydet\"; b.Parent = f; b.Caption = \"Kaydet\";\r\n"
     L"b.SetBounds(8, 8, 90, 25); b.OnClick = \"Clicked\";\r\n"
     L"e = new TEdit(f); e.Name = \"Ad\"; e.Parent = f; e.SetBounds(8, 40, 200, 21);\r\n"
     L"l = new TListBox(f); l.Name = \"Liste\"; l.Parent = f; l.SetBounds(8, 70, 200, 100);\r\n"
     L"s = new TStringList; s.Add(\"Çağrı\"); s.Add(\"Şükrü\"); s.Add(\"İlknur\");\r\n"
     L"for (var i = 0; i < s.Count; i++) l.Items.Add(s[i]);\r\n"
     L"ini = new TIniFile(Folder + \"JScript.ini\");\r\n"
     L"ini.WriteString(\"Form\", \"Baslik\", f.Caption); ini.WriteTStrings(\"Liste\", s);\r\n"
     L"r = new TStringList; ini.ReadTStrings(\"Liste\", r);\r\n"
     L"e.Text = ini.ReadString(\"Form\", \"Baslik\", \"\") + \" \" + IntToStr(r.Count) + \" \" + r[2];\r\n"
     L"ini.Free();\r\n"
     L"bmp = new TBitmap; bmp.Width = 64; bmp.Height = 48;\r\n"
     L"bmp.Canvas.Brush.Color = clWhite; bmp.Canvas.Pen.Color = clWhite; bmp.Canvas.Rectangle(0, 0, 64, 48);\r\n"
     L"bmp.Canvas.Brush.Color = clRed; bmp.Canvas.Pen.Color = clRed; bmp.Canvas.Rectangle(4, 4, 20, 20);\r\n"
     L"bmp.Canvas.Brush.Color = clBlue; bmp.Canvas.Pen.Color = clBlue; bmp.Canvas.Ellipse(28, 20, 52, 40);\r\n"
     L"bmp.SaveToFile(Folder + \"JScript.bmp\"); bmp.Free(); s.Free(); r.Free();\r\n"
     L"f.Show(); Made = f;\r\n"},
};

class BindingsDemo : public BindingsFixture, public ::testing::WithParamInterface<Demo> {
 protected:
  BindingsDemo() {
    vcl::Application->Initialize();
    script.SetAddedBy(this);
    script.AddVariable(L"Made", L"Variant", Variant(0));
    script.SetAddedBy(nullptr);
  }
};

TEST_P(BindingsDemo, FormListIniAndBitmapFromAScript) {
  const Demo& demo = GetParam();
  const String language = demo.language;
  ASSERT_EQ(RunCatching(demo.source, demo.language), L"");
  std::unique_ptr<vcl::TForm> form(dynamic_cast<vcl::TForm*>(script.GetVariable(L"Made").AsObject()));
  ASSERT_NE(form, nullptr);

  // The ini file as another program would read it.
  rtl::TIniFile ini(folder + language + L".ini");
  EXPECT_EQ(ini.ReadString(L"Form", L"Baslik", L""), language);
  EXPECT_EQ(ini.ReadInteger(L"Liste", L"Count", 0), 3);
  EXPECT_EQ(ini.ReadString(L"Liste", L"Items0", L""), L"Çağrı");
  EXPECT_EQ(ini.ReadString(L"Liste", L"Items2", L""), L"İlknur");

  // The saved picture holds what was drawn.
  vcl::TPicture picture;
  picture.LoadFromFile(folder + language + L".bmp");
  vcl::TBitmap* bmp = picture.Bitmap();
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->Width(), 64);
  EXPECT_EQ(bmp->Height(), 48);
  EXPECT_EQ(bmp->Canvas()->Pixels(10, 10), vcl::clRed);
  EXPECT_EQ(bmp->Canvas()->Pixels(40, 30), vcl::clBlue);
  EXPECT_EQ(bmp->Canvas()->Pixels(60, 44), vcl::clWhite);

  // The controls, through their windows.
  auto* button = dynamic_cast<vcl::TButton*>(form->FindComponent(L"Kaydet"));
  auto* edit = dynamic_cast<vcl::TEdit*>(form->FindComponent(L"Ad"));
  auto* list = dynamic_cast<vcl::TListBox*>(form->FindComponent(L"Liste"));
  ASSERT_TRUE(button && edit && list);
  ASSERT_TRUE(testutil::PumpUntil([&] { return IsWindowVisible(form->Handle()) != 0; }));
  EXPECT_EQ(WindowText(form->Handle()), language);
  EXPECT_EQ(WindowText(button->Handle()), L"Kaydet");
  EXPECT_EQ(WindowText(edit->Handle()), language + L" 3 İlknur");
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(ListText(list->Handle(), 1), L"Şükrü");
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCURSEL, 0, 0), -1);

  // A click on the button runs the script's procedure.
  PostMessageW(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(testutil::PumpUntil([&] { return WindowText(edit->Handle()) == L"Tıklandı"; }));
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCURSEL, 0, 0), 2);
}

INSTANTIATE_TEST_SUITE_P(EveryLanguage, BindingsDemo, ::testing::ValuesIn(kDemos),
                         [](const ::testing::TestParamInfo<Demo>& info) {
                           std::string name;
                           for (wchar_t c : String(info.param.language))
                             if (iswalnum(c)) name += static_cast<char>(c);
                           return name;
                         });

}  // namespace
