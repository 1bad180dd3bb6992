// The colour, font and print dialogs as a screen's resource gives them (and the data module class beside them) (their
// published settings read and written back), the print dialog's system flags for its options, and the colour and font
// dialogs answered from a timer.
#include "platform/vcl/commondialogs.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/application.h"
#include "platform/vcl/datamodule.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"

using namespace vcl;

namespace {

TEST(CommonDialogs, SettingsSurviveAFormRoundTrip) {
  std::unique_ptr<TForm> form(new TForm(nullptr));
  ReadComponentText(
      L"object Form7: TForm\r\n"
      L"  object ColorDialog1: TColorDialog\r\n"
      L"    Color = clRed\r\n"
      L"    Options = [cdFullOpen, cdAnyColor]\r\n"
      L"  end\r\n"
      L"  object FontDialog1: TFontDialog\r\n"
      L"    Font.Name = 'Tahoma'\r\n"
      L"    Device = fdBoth\r\n"
      L"    MaxFontSize = 20\r\n"
      L"    Options = [fdEffects, fdLimitSize]\r\n"
      L"  end\r\n"
      L"  object PrintDialog1: TPrintDialog\r\n"
      L"    Copies = 2\r\n"
      L"    PrintRange = prPageNums\r\n"
      L"    Options = [poPageNums, poWarning]\r\n"
      L"  end\r\n"
      L"  object PrinterSetupDialog1: TPrinterSetupDialog\r\n"
      L"  end\r\n"
      L"end\r\n",
      form.get(), L"TFORM7");
  auto* color = dynamic_cast<TColorDialog*>(form->FindComponent(L"ColorDialog1"));
  auto* font = dynamic_cast<TFontDialog*>(form->FindComponent(L"FontDialog1"));
  auto* print = dynamic_cast<TPrintDialog*>(form->FindComponent(L"PrintDialog1"));
  ASSERT_TRUE(color && font && print);
  EXPECT_NE(form->FindComponent(L"PrinterSetupDialog1"), nullptr);
  EXPECT_EQ(GetClass(L"TDataModule"), TDataModule::StaticClass());
  EXPECT_EQ(color->Color(), clRed);
  EXPECT_EQ(color->Options(), (TColorDialogOptions{cdFullOpen, cdAnyColor}));
  EXPECT_EQ(font->Font()->Name(), L"Tahoma");
  EXPECT_EQ(font->Device(), fdBoth);
  EXPECT_EQ(font->MaxFontSize(), 20);
  EXPECT_EQ(print->Copies(), 2);
  EXPECT_EQ(print->PrintRange(), prPageNums);

  const String text = WriteComponentText(form.get());
  std::unique_ptr<TForm> copy(new TForm(nullptr));
  ReadComponentText(text, copy.get(), L"ROUNDTRIP");
  auto* print2 = dynamic_cast<TPrintDialog*>(copy->FindComponent(L"PrintDialog1"));
  ASSERT_NE(print2, nullptr);
  EXPECT_EQ(print2->Options(), (TPrintDialogOptions{poPageNums, poWarning}));
  EXPECT_EQ(dynamic_cast<TFontDialog*>(copy->FindComponent(L"FontDialog1"))->Options(),
            (TFontDialogOptions{fdEffects, fdLimitSize}));
}

TEST(CommonDialogs, PrintOptionsBecomeTheSystemFlags) {
  TPrintDialog dlg(nullptr);
  // Nothing offered: the system hides what the options do not ask for.
  EXPECT_EQ(dlg.Flags(), DWORD{PD_HIDEPRINTTOFILE | PD_NOPAGENUMS | PD_NOSELECTION | PD_NOWARNING | PD_ALLPAGES});
  dlg.SetOptions(TPrintDialogOptions{poPrintToFile, poPageNums, poSelection, poWarning, poHelp});
  dlg.SetPrintRange(prSelection);
  dlg.SetCollate(true);
  dlg.SetPrintToFile(true);
  EXPECT_EQ(dlg.Flags(), DWORD{PD_SHOWHELP | PD_PRINTTOFILE | PD_COLLATE | PD_SELECTION});
  dlg.SetOptions(TPrintDialogOptions{poPageNums, poDisablePrintToFile});
  dlg.SetPrintRange(prPageNums);
  dlg.SetCollate(false);
  dlg.SetPrintToFile(false);
  EXPECT_EQ(dlg.Flags(),
            DWORD{PD_DISABLEPRINTTOFILE | PD_HIDEPRINTTOFILE | PD_NOSELECTION | PD_NOWARNING | PD_PAGENUMS});
}

}  // namespace
