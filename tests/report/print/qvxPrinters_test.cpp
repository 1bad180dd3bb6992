// The printer layer over the real print system: the installed PDF queue (CUPS with cups-pdf, set up by the test
// script) with its device mode, papers and margins, and the virtual printer that stands in when none is installed.
#include "report/print/qvxPrinters.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "printfixture.h"

using rtl::String;

namespace printtest {

// The PDF queue is there when the test script set it up (TAVREL_CUPS_PDF=1); elsewhere the tests that print skip.
bool HavePdfQueue() {
  const char* v = std::getenv("TAVREL_CUPS_PDF");
  return v && std::string(v) == "1";
}

}  // namespace printtest

namespace {

TEST(PaperTable, DimensionsOfPaperCodes) {
  Extended w = -1, h = -1;
  EXPECT_TRUE(qvxGetPaperDimensions(9, w, h));
  EXPECT_EQ(w, 210);
  EXPECT_EQ(h, 297);
  w = h = -1;
  EXPECT_FALSE(qvxGetPaperDimensions(48, w, h));
  EXPECT_EQ(w, -1);
  EXPECT_TRUE(qvxGetPaperDimensions(4, w, h));
  EXPECT_EQ(w, 431.8L);
  EXPECT_EQ(h, 279.4L);
}

TEST(VirtualPrinter, FixedPropertiesForPageSettings) {
  TqvxVirtualPrinter p(L"Virtual", L"");
  p.Init();
  EXPECT_TRUE(p.Initialized);
  EXPECT_EQ(p.DPI.x, 600);
  EXPECT_EQ(p.DefPaper, 9);
  EXPECT_EQ(p.Papers->Count(), 67) << "Custom and the 66 rows of the paper table";
  EXPECT_EQ(p.PaperCode(1), 1);
  EXPECT_EQ(p.PaperCode(66), 68);

  p.SetViewParams(9, 0, 0, poLandscape);
  EXPECT_EQ(p.PaperWidth, 297);
  EXPECT_EQ(p.PaperHeight, 210);
  EXPECT_EQ(p.Paper, 9);
  EXPECT_EQ(p.LeftMargin, 5);
  EXPECT_EQ(p.BottomMargin, 5);
  p.SetViewParams(999, 123, 45, poPortrait);
  EXPECT_EQ(p.Paper, 256);
  EXPECT_EQ(p.PaperWidth, 123);
  EXPECT_EQ(p.PaperHeight, 45);
  p.SetPrintParams(11, 0, 0, poPortrait, 3, 0, 1);
  EXPECT_EQ(p.PaperWidth, 148);
  EXPECT_EQ(p.Bin, 3);

  EXPECT_EQ(p.BinNameToNumber(L"Çekmece 9"), 7);
  EXPECT_EQ(p.PaperNameToNumber(L"Yok böyle kağıt"), 256);
  EXPECT_EQ(p.BinIndex(7), 0);
  EXPECT_EQ(p.PaperIndex(256), 0);
  EXPECT_EQ(p.PaperIndex(48), -1);
  // Jobs on the stand-in do nothing.
  p.BeginDoc();
  p.BeginPage();
  p.EndPage();
  p.EndDoc();
}

class PdfQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!printtest::HavePdfQueue()) GTEST_SKIP() << "no PDF queue set up";
    index_ = qvxPrinters().IndexOf(L"pdf");
    ASSERT_GE(index_, 0) << "the PDF queue is listed";
    qvxPrinters().SetPrinterIndex(index_);
    printer_ = dynamic_cast<TqvxPrinter*>(qvxPrinters().GetCurrentPrinter());
    ASSERT_NE(printer_, nullptr);
    ASSERT_TRUE(printer_->Initialized);
  }
  rtl::Integer index_ = -1;
  TqvxPrinter* printer_ = nullptr;
};

TEST_F(PdfQueue, TheQueueIsListedWithItsDeviceModeAndPapers) {
  EXPECT_TRUE(qvxPrinters().HasPhysicalPrinters());
  EXPECT_GE(qvxPrinters().Printers()->IndexOf(L"PDF"), 0);
  EXPECT_EQ(qvxPrinters().GetDefaultPrinter(), L"PDF");
  EXPECT_GT(printer_->DPI.x, 0);
  EXPECT_GT(printer_->DPI.y, 0);
  ASSERT_NE(printer_->Mode, nullptr);
  // The device mode is the driver's whole size, private part included.
  EXPECT_GE(GlobalSize(printer_->DeviceMode), sizeof(DEVMODEW));
  EXPECT_EQ(printer_->DefPaper, 9) << "A4 from the system's paper size";
  EXPECT_EQ(printer_->DefPaperWidth, 210);
  EXPECT_EQ(printer_->DefPaperHeight, 297);
  EXPECT_EQ(printer_->DefOrientation, poPortrait);
  EXPECT_GE(printer_->PaperIndex(9), 1);
  EXPECT_GE(printer_->PaperIndex(1), 1) << "Letter";
  EXPECT_EQ(printer_->PaperIndex(256), 0);
  EXPECT_EQ(printer_->Papers->Strings(0), L"Custom");
  EXPECT_EQ(printer_->Bins->Strings(0), L"Default");
  EXPECT_EQ(printer_->BinCode(0), 7);
  // The same printer again is not initialised twice.
  HANDLE handle = printer_->Handle;
  qvxPrinters().SetPrinterIndex(index_);
  EXPECT_EQ(printer_->Handle, handle);
}

TEST_F(PdfQueue, ViewAndPrintParametersGoIntoTheDeviceMode) {
  printer_->SetViewParams(1, 0, 0, poPortrait);
  EXPECT_EQ(printer_->Mode->dmPaperSize, 1);
  EXPECT_EQ(printer_->Mode->dmFields, static_cast<DWORD>(DM_ORIENTATION | DM_PAPERSIZE));
  EXPECT_EQ(printer_->Paper, 1);
  EXPECT_EQ(printer_->PaperWidth, 216) << "Letter, 215.9 mm";
  EXPECT_EQ(printer_->PaperHeight, 279);
  printer_->SetViewParams(9, 0, 0, poLandscape);
  EXPECT_EQ(printer_->PaperWidth, 297);
  EXPECT_EQ(printer_->PaperHeight, 210);
  EXPECT_EQ(printer_->Orientation, poLandscape);
  // A custom size keeps A4's margins and takes the size given.
  printer_->SetViewParams(256, 100, 150, poPortrait);
  EXPECT_EQ(printer_->Paper, 256);
  EXPECT_EQ(printer_->PaperWidth, 100);
  EXPECT_EQ(printer_->PaperHeight, 150);

  // Simplex: duplex 1 without the duplex flag; none: the printer's default.
  printer_->SetPrintParams(9, 210, 297, poPortrait, 7, 3, 2);
  EXPECT_EQ(printer_->Mode->dmDuplex, DMDUP_SIMPLEX);
  EXPECT_EQ(printer_->Mode->dmFields & DM_DUPLEX, 0u);
  EXPECT_EQ(printer_->Mode->dmCopies, 2);
  EXPECT_EQ(printer_->Mode->dmDefaultSource, printer_->DefBin);
  printer_->SetPrintParams(9, 210, 297, poPortrait, 7, 1, 1);
  EXPECT_EQ(printer_->Mode->dmDuplex, DMDUP_VERTICAL);
  EXPECT_NE(printer_->Mode->dmFields & DM_DUPLEX, 0u);
  printer_->SetPrintParams(9, 210, 297, poPortrait, 7, 0, 1);
  EXPECT_EQ(printer_->Mode->dmDuplex, printer_->DefDuplex);
  // A bin chosen in the properties dialog wins over the automatic one.
  printer_->Bin = 15;
  printer_->SetPrintParams(9, 210, 297, poPortrait, 7, 0, 1);
  EXPECT_EQ(printer_->Mode->dmDefaultSource, 15);
  printer_->SetPrintParams(9, 210, 297, poPortrait, 4, 0, 1);
  EXPECT_EQ(printer_->Mode->dmDefaultSource, 4);
  // A custom paper goes as length and width, turned with the orientation.
  printer_->SetPrintParams(256, 100, 150, poLandscape, 7, 0, 1);
  EXPECT_EQ(printer_->Mode->dmPaperLength, 1000);
  EXPECT_EQ(printer_->Mode->dmPaperWidth, 1500);
  EXPECT_EQ(printer_->Mode->dmFields & (DM_PAPERLENGTH | DM_PAPERWIDTH),
            static_cast<DWORD>(DM_PAPERLENGTH | DM_PAPERWIDTH));
  printer_->Bin = -1;
  printer_->SetViewParams(9, 0, 0, poPortrait);
  EXPECT_EQ(printer_->PaperWidth, 210);
}

}  // namespace
