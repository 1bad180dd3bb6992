// The skinned controls as the screens' form resources declare them: every class loads from form text with the
// properties the screens set (the skin state's among them), the values read back, and what is written again
// leaves the defaults out.
#include <gtest/gtest.h>

#include "platform/db/datasource.h"
#include "platform/vcl/application.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sDBCheckBox.h"
#include "skin/controls/sDBComboBox.h"
#include "skin/controls/sDBDateEdit.h"
#include "skin/controls/sDBEdit.h"
#include "skin/controls/sDBGrid.h"
#include "skin/controls/sDBMemo.h"
#include "skin/controls/sDBRichEdit.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sImage.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPageControl.h"
#include "skin/controls/sPanel.h"

using rtl::String;

class TSkinScreen : public vcl::TForm {
  VCL_CLASS(TSkinScreen, vcl::TForm)
  explicit TSkinScreen(vcl::TComponent* owner) : vcl::TForm(owner) {}
  TsPanel* sPanel1 = nullptr;
  TsPageControl* sPageControl1 = nullptr;
  TsTabSheet* sTabSheet1 = nullptr;
  TsTabSheet* sTabSheet2 = nullptr;
  TsLabel* sLabel1 = nullptr;
  TsEdit* sEdit1 = nullptr;
  TsBitBtn* sBitBtn1 = nullptr;
  TsImage* sImage1 = nullptr;
  TsComboBox* sComboBox1 = nullptr;
  TsDBEdit* sDBEdit1 = nullptr;
  TsDBMemo* sDBMemo1 = nullptr;
  TsDBRichEdit* sDBRichEdit1 = nullptr;
  TsDBComboBox* sDBComboBox1 = nullptr;
  TsDBCheckBox* sDBCheckBox1 = nullptr;
  TsDBDateEdit* sDBDateEdit1 = nullptr;
  TsDBGrid* sDBGrid1 = nullptr;
  int clicks = 0, changes = 0;
  void sBitBtn1Click(rtl::TObject*) { ++clicks; }
  void sEdit1Change(rtl::TObject*) { ++changes; }
  void sDBGrid1CellClick(db::TColumn*) {}
};

VCL_REGISTER(TSkinScreen) {
  cls.Field(L"sPanel1", &TSkinScreen::sPanel1);
  cls.Field(L"sPageControl1", &TSkinScreen::sPageControl1);
  cls.Field(L"sTabSheet1", &TSkinScreen::sTabSheet1);
  cls.Field(L"sTabSheet2", &TSkinScreen::sTabSheet2);
  cls.Field(L"sLabel1", &TSkinScreen::sLabel1);
  cls.Field(L"sEdit1", &TSkinScreen::sEdit1);
  cls.Field(L"sBitBtn1", &TSkinScreen::sBitBtn1);
  cls.Field(L"sImage1", &TSkinScreen::sImage1);
  cls.Field(L"sComboBox1", &TSkinScreen::sComboBox1);
  cls.Field(L"sDBEdit1", &TSkinScreen::sDBEdit1);
  cls.Field(L"sDBMemo1", &TSkinScreen::sDBMemo1);
  cls.Field(L"sDBRichEdit1", &TSkinScreen::sDBRichEdit1);
  cls.Field(L"sDBComboBox1", &TSkinScreen::sDBComboBox1);
  cls.Field(L"sDBCheckBox1", &TSkinScreen::sDBCheckBox1);
  cls.Field(L"sDBDateEdit1", &TSkinScreen::sDBDateEdit1);
  cls.Field(L"sDBGrid1", &TSkinScreen::sDBGrid1);
  cls.Method(L"sBitBtn1Click", &TSkinScreen::sBitBtn1Click);
  cls.Method(L"sEdit1Change", &TSkinScreen::sEdit1Change);
  cls.Method(L"sDBGrid1CellClick", &TSkinScreen::sDBGrid1CellClick);
}

namespace {

const wchar_t* const kScreenText =
    L"object Screen1: TSkinScreen\n"
    L"  Left = 0\n  Top = 0\n  ClientHeight = 518\n  ClientWidth = 798\n  Caption = 'Öğrenci Kayıt'\n"
    L"  object sPanel1: TsPanel\n"
    L"    Left = 0\n    Top = 0\n    Width = 798\n    Height = 41\n    Align = alTop\n"
    L"    Caption = 'Öğrenci Bilgileri Kayıt Sayfası'\n    TabOrder = 0\n"
    L"    SkinData.SkinSection = 'PANEL'\n"
    L"  end\n"
    L"  object sPageControl1: TsPageControl\n"
    L"    Left = 8\n    Top = 48\n    Width = 772\n    Height = 248\n    ActivePage = sTabSheet1\n    TabOrder = 1\n"
    L"    object sTabSheet1: TsTabSheet\n"
    L"      Caption = 'Okul Bilgiler'\n"
    L"      SkinData.CustomColor = False\n      SkinData.CustomFont = False\n"
    L"      object sLabel1: TsLabel\n"
    L"        Left = 16\n        Top = 12\n        Width = 40\n        Height = 13\n        Caption = 'Okul No'\n"
    L"        ParentFont = False\n        Font.Style = [fsBold]\n"
    L"      end\n"
    L"      object sDBEdit1: TsDBEdit\n"
    L"        Left = 80\n        Top = 8\n        Width = 49\n        Height = 21\n"
    L"        Color = clWhite\n        DataField = 'okulno'\n        DataSource = DataSource1\n        TabOrder = 0\n"
    L"        SkinData.SkinSection = 'EDIT'\n"
    L"      end\n"
    L"      object sDBComboBox1: TsDBComboBox\n"
    L"        Left = 80\n        Top = 40\n        Width = 60\n        Height = 21\n        DataField = 'sinif'\n"
    L"        DataSource = DataSource1\n        Items.Strings = (\n          '1'\n          '2'\n          '12')\n"
    L"        TabOrder = 1\n"
    L"      end\n"
    L"      object sDBRichEdit1: TsDBRichEdit\n"
    L"        Left = 80\n        Top = 70\n        Width = 200\n        Height = 60\n        DataField = 'adres'\n"
    L"        DataSource = DataSource1\n        Font.Charset = 162\n        ParentFont = False\n"
    L"        TabOrder = 2\n        Zoom = 100\n"
    L"      end\n"
    L"      object sDBMemo1: TsDBMemo\n"
    L"        Left = 300\n        Top = 70\n        Width = 100\n        Height = 40\n        DataField = 'resim'\n"
    L"        DataSource = DataSource1\n        TabOrder = 3\n        Visible = False\n        WordWrap = False\n"
    L"      end\n"
    L"    end\n"
    L"    object sTabSheet2: TsTabSheet\n"
    L"      Caption = 'Genel Bilgi'\n"
    L"      SkinData.CustomColor = False\n      SkinData.CustomFont = False\n"
    L"      object sDBCheckBox1: TsDBCheckBox\n"
    L"        Left = 16\n        Top = 16\n        Width = 150\n        Height = 17\n        Caption = 'Şehit Çocuğu'\n"
    L"        TabOrder = 0\n        SkinData.SkinSection = 'CHECKBOX'\n        ImgChecked = 0\n"
    L"        ImgUnchecked = 0\n        DataField = 'sehitcocuk'\n        DataSource = DataSource1\n"
    L"        ValueChecked = 'Evet'\n        ValueUnchecked = 'Hayır'\n"
    L"      end\n"
    L"      object sDBDateEdit1: TsDBDateEdit\n"
    L"        Left = 16\n        Top = 48\n        Width = 86\n        Height = 21\n        AutoSize = False\n"
    L"        Color = clWhite\n        EditMask = '!99/99/9999;1; '\n        MaxLength = 10\n        TabOrder = 1\n"
    L"        Text = '  .  .    '\n        CheckOnExit = True\n        DataField = 'tarih'\n"
    L"        DataSource = DataSource1\n"
    L"      end\n"
    L"    end\n"
    L"  end\n"
    L"  object sEdit1: TsEdit\n"
    L"    Left = 320\n    Top = 300\n    Width = 121\n    Height = 21\n    Color = clWhite\n"
    L"    Font.Color = clBlack\n    ParentFont = False\n    TabOrder = 2\n    TextHint = 'Okul No'\n"
    L"    OnChange = sEdit1Change\n    SkinData.SkinSection = 'EDIT'\n"
    L"  end\n"
    L"  object sBitBtn1: TsBitBtn\n"
    L"    Left = 8\n    Top = 300\n    Width = 75\n    Height = 25\n    Caption = 'Yeni'\n    TabOrder = 3\n"
    L"    OnClick = sBitBtn1Click\n    SkinData.SkinSection = 'BUTTON'\n"
    L"  end\n"
    L"  object sImage1: TsImage\n"
    L"    Left = 256\n    Top = 48\n    Width = 450\n    Height = 450\n    Center = True\n"
    L"    Proportional = True\n    Stretch = True\n    SkinData.SkinSection = 'CHECKBOX'\n"
    L"  end\n"
    L"  object sComboBox1: TsComboBox\n"
    L"    Left = 8\n    Top = 340\n    Width = 145\n    Height = 21\n    Alignment = taLeftJustify\n"
    L"    VerticalAlignment = taAlignTop\n    Color = clWhite\n    ItemIndex = -1\n    TabOrder = 4\n"
    L"    Text = 'Seçiniz'\n    Items.Strings = (\n      'Bireysel'\n      'Grup')\n"
    L"    SkinData.SkinSection = 'COMBOBOX'\n"
    L"  end\n"
    L"  object sDBGrid1: TsDBGrid\n"
    L"    Left = 0\n    Top = 374\n    Width = 798\n    Height = 144\n    Align = alBottom\n    Color = clWhite\n"
    L"    DataSource = DataSource1\n    DrawingStyle = gdsGradient\n    GradientEndColor = 13750737\n"
    L"    GradientStartColor = 15263976\n    TabOrder = 5\n    TitleFont.Name = 'Tahoma'\n"
    L"    OnCellClick = sDBGrid1CellClick\n"
    L"    Columns = <\n"
    L"      item\n        FieldName = 'okulno'\n        Title.Caption = 'okulno'\n"
    L"        Width = 55\n        Visible = True\n      end\n"
    L"      item\n        FieldName = 'adisoyadi'\n        DropDownRows = 5\n        Width = 55\n      end>\n"
    L"  end\n"
    L"  object DataSource1: TDataSource\n"
    L"  end\n"
    L"end\n";

class SkinFormResource : public ::testing::Test {
protected:
  void SetUp() override {
    vcl::Application->Initialize();
    screen = new TSkinScreen(nullptr);
    vcl::ReadComponentText(kScreenText, screen, L"TSKINSCREEN");
  }
  void TearDown() override { delete screen; }
  TSkinScreen* screen = nullptr;
};

TEST_F(SkinFormResource, EveryControlLoadsIntoItsField) {
  ASSERT_NE(screen->sPanel1, nullptr);
  ASSERT_NE(screen->sPageControl1, nullptr);
  ASSERT_NE(screen->sTabSheet1, nullptr);
  ASSERT_NE(screen->sTabSheet2, nullptr);
  ASSERT_NE(screen->sLabel1, nullptr);
  ASSERT_NE(screen->sEdit1, nullptr);
  ASSERT_NE(screen->sBitBtn1, nullptr);
  ASSERT_NE(screen->sImage1, nullptr);
  ASSERT_NE(screen->sComboBox1, nullptr);
  ASSERT_NE(screen->sDBEdit1, nullptr);
  ASSERT_NE(screen->sDBMemo1, nullptr);
  ASSERT_NE(screen->sDBRichEdit1, nullptr);
  ASSERT_NE(screen->sDBComboBox1, nullptr);
  ASSERT_NE(screen->sDBCheckBox1, nullptr);
  ASSERT_NE(screen->sDBDateEdit1, nullptr);
  ASSERT_NE(screen->sDBGrid1, nullptr);
  // Each is its platform counterpart, so the screens' code handles it as one.
  EXPECT_NE(dynamic_cast<vcl::TBitBtn*>(screen->sBitBtn1), nullptr);
  EXPECT_NE(dynamic_cast<vcl::TEdit*>(screen->sEdit1), nullptr);
  EXPECT_NE(dynamic_cast<vcl::TCustomLabel*>(screen->sLabel1), nullptr);
  EXPECT_NE(dynamic_cast<vcl::TPanel*>(screen->sPanel1), nullptr);
  EXPECT_NE(dynamic_cast<vcl::TImage*>(screen->sImage1), nullptr);
  EXPECT_NE(dynamic_cast<db::TDBEdit*>(screen->sDBEdit1), nullptr);
  EXPECT_NE(dynamic_cast<db::TDBGrid*>(screen->sDBGrid1), nullptr);
  EXPECT_NE(dynamic_cast<vcl::TCheckBox*>(screen->sDBCheckBox1), nullptr);
}

TEST_F(SkinFormResource, ValuesReadBack) {
  EXPECT_EQ(screen->sPanel1->Caption(), L"Öğrenci Bilgileri Kayıt Sayfası");
  EXPECT_EQ(screen->sPanel1->Align(), vcl::alTop);
  EXPECT_EQ(screen->sPanel1->SkinData()->SkinSection(), L"PANEL");

  EXPECT_EQ(screen->sPageControl1->ActivePage(), screen->sTabSheet1);
  EXPECT_EQ(screen->sPageControl1->PageCount(), 2);
  EXPECT_EQ(screen->sTabSheet2->Caption(), L"Genel Bilgi");
  EXPECT_FALSE(screen->sTabSheet1->SkinData()->CustomColor());
  EXPECT_FALSE(screen->sTabSheet1->SkinData()->CustomFont());

  EXPECT_EQ(screen->sLabel1->Caption(), L"Okul No");
  EXPECT_TRUE(screen->sLabel1->Font()->Style().Contains(vcl::fsBold));
  EXPECT_TRUE(screen->sLabel1->Transparent());

  EXPECT_EQ(screen->sEdit1->TextHint(), L"Okul No");
  EXPECT_EQ(screen->sEdit1->Color(), vcl::clWhite);
  EXPECT_EQ(screen->sEdit1->PasswordChar(), 0);
  EXPECT_EQ(screen->sEdit1->SkinData()->SkinSection(), L"EDIT");

  EXPECT_EQ(screen->sBitBtn1->Caption(), L"Yeni");
  EXPECT_EQ(screen->sBitBtn1->TabOrder(), 3);
  EXPECT_EQ(screen->sBitBtn1->SkinData()->SkinSection(), L"BUTTON");
  screen->sBitBtn1->Click();
  EXPECT_EQ(screen->clicks, 1);

  EXPECT_TRUE(screen->sImage1->Center());
  EXPECT_TRUE(screen->sImage1->Proportional());
  EXPECT_TRUE(screen->sImage1->Stretch());
  EXPECT_EQ(screen->sImage1->SkinData()->SkinSection(), L"CHECKBOX");

  EXPECT_EQ(screen->sComboBox1->Text(), L"Seçiniz");
  EXPECT_EQ(screen->sComboBox1->ItemIndex(), -1);
  EXPECT_EQ(screen->sComboBox1->Items()->Count(), 2);
  EXPECT_EQ(screen->sComboBox1->VerticalAlignment(), vcl::taAlignTop);
  EXPECT_EQ(screen->sComboBox1->DropDownCount(), 16);

  auto* source = dynamic_cast<db::TDataSource*>(screen->FindComponent(L"DataSource1"));
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(screen->sDBEdit1->DataField(), L"okulno");
  EXPECT_EQ(screen->sDBEdit1->DataSource(), source);
  EXPECT_EQ(screen->sDBComboBox1->Items()->Count(), 3);
  EXPECT_EQ(screen->sDBComboBox1->DataSource(), source);
  EXPECT_EQ(screen->sDBRichEdit1->Zoom(), 100);
  EXPECT_EQ(screen->sDBRichEdit1->DataField(), L"adres");
  EXPECT_FALSE(screen->sDBMemo1->Visible());
  EXPECT_FALSE(screen->sDBMemo1->WordWrap());
  EXPECT_EQ(screen->sDBCheckBox1->ValueChecked(), L"Evet");
  EXPECT_EQ(screen->sDBCheckBox1->ValueUnchecked(), L"Hayır");
  EXPECT_EQ(screen->sDBCheckBox1->DataSource(), source);
  EXPECT_EQ(screen->sDBCheckBox1->SkinData()->SkinSection(), L"CHECKBOX");
  EXPECT_EQ(screen->sDBDateEdit1->DataField(), L"tarih");
  EXPECT_TRUE(screen->sDBDateEdit1->CheckOnExit());
  EXPECT_EQ(screen->sDBDateEdit1->Date(), NullDate);

  EXPECT_EQ(screen->sDBGrid1->DrawingStyle(), db::gdsGradient);
  EXPECT_EQ(screen->sDBGrid1->GradientStartColor(), 0xE8E8E8);
  EXPECT_EQ(screen->sDBGrid1->GradientEndColor(), 0xD1D1D1);
  ASSERT_EQ(screen->sDBGrid1->Columns()->Count(), 2);
  EXPECT_EQ((*screen->sDBGrid1->Columns())[0]->Title()->Caption(), L"okulno");
  EXPECT_EQ((*screen->sDBGrid1->Columns())[1]->DropDownRows(), 5);
  EXPECT_EQ(screen->sDBGrid1->DataSource(), source);
}

TEST_F(SkinFormResource, WrittenAgainTheDefaultsStayOut) {
  String text = vcl::WriteComponentText(screen);
  EXPECT_NE(text.find(L"SkinData.SkinSection = 'CHECKBOX'"), String::npos) << text;
  EXPECT_NE(text.find(L"CheckOnExit = True"), String::npos) << text;
  EXPECT_EQ(text.find(L"SkinData.CustomColor"), String::npos) << text;
  EXPECT_EQ(text.find(L"SkinData.HUEOffset"), String::npos) << text;
  EXPECT_EQ(text.find(L"ScrollWidth"), String::npos) << text;
  EXPECT_EQ(text.find(L"SkinData.SkinManager"), String::npos) << text;
  EXPECT_EQ(text.find(L"UseSkinColor"), String::npos) << text;
}

TEST(SkinFormResourceBinary, GlyphAndPictureRoundTrip) {
  vcl::Application->Initialize();
  TSkinScreen screen(nullptr);
  screen.SetName(L"Screen1");
  auto* button = new TsBitBtn(&screen);
  button->SetName(L"sBitBtn1");
  button->SetParent(&screen);
  button->Glyph()->SetPixelFormat(vcl::pf24bit);
  button->Glyph()->SetSize(16, 16);
  button->Glyph()->Canvas()->SetPixels(3, 3, vcl::clNavy);
  auto* image = new TsImage(&screen);
  image->SetName(L"sImage1");
  image->SetParent(&screen);
  vcl::TBitmap pic(20, 10, vcl::pf32bit);
  pic.Canvas()->SetPixels(1, 1, vcl::clRed);
  image->Picture()->SetGraphic(&pic);
  String text = vcl::WriteComponentText(&screen);
  EXPECT_NE(text.find(L"Glyph.Data = {"), String::npos) << text;

  TSkinScreen copy(nullptr);
  vcl::ReadComponentText(text, &copy, L"COPY");
  ASSERT_NE(copy.sBitBtn1, nullptr);
  ASSERT_NE(copy.sImage1, nullptr);
  EXPECT_EQ(copy.sBitBtn1->Glyph()->Width(), 16);
  EXPECT_EQ(copy.sBitBtn1->Glyph()->Canvas()->Pixels(3, 3), vcl::clNavy);
  EXPECT_EQ(copy.sImage1->Picture()->Width(), 20);
}

}  // namespace
