// No printer installed: the virtual printer stands in and printing refuses with the reason. Runs in a process of
// its own (the test script's "report_print_noprinter" entry), which takes the installed printers out of the
// system's list first; the system lists them again for the next program it starts.
#include <gtest/gtest.h>

#include <cstdlib>

#include "printfixture.h"
#include "report/print/qvxPrinters.h"
#include "tests/common/dialogs.h"

namespace {

void RemoveInstalledPrinters() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Print\\Printers", 0, KEY_ALL_ACCESS,
                    &key) != ERROR_SUCCESS)
    return;
  wchar_t name[256];
  while (RegEnumKeyW(key, 0, name, 256) == ERROR_SUCCESS)
    if (RegDeleteTreeW(key, name) != ERROR_SUCCESS) break;
  RegCloseKey(key);
}

TEST(NoPrinter, TheVirtualPrinterStandsInAndPrintingSaysWhy) {
  const char* run = std::getenv("TAVREL_NO_PRINTER_RUN");
  if (!run || std::string(run) != "1") GTEST_SKIP() << "runs in a process of its own";
  RemoveInstalledPrinters();
  qvxFreePrinters();
  TqvxPrinters& printers = qvxPrinters();
  EXPECT_FALSE(printers.HasPhysicalPrinters());
  EXPECT_EQ(printers.Printers()->Count(), 0);
  ASSERT_EQ(printers.Count(), 1);
  TqvxCustomPrinter* virtualPrinter = printers.GetCurrentPrinter();
  ASSERT_NE(virtualPrinter, nullptr);
  EXPECT_EQ(virtualPrinter->ClassName(), L"TqvxVirtualPrinter");
  EXPECT_EQ(virtualPrinter->Name, L"Virtual");
  EXPECT_TRUE(virtualPrinter->Initialized);

  // New pages are laid out on the stand-in's A4.
  printtest::TPrintReport t;
  auto* page = new TqvxReportPage(t.Report());
  page->SetDefaults();
  EXPECT_EQ(page->PaperSize(), 9);
  EXPECT_EQ(page->PaperWidth(), 210);

  t.Run(2);
  testutil::DialogAnswer box(IDOK);
  EXPECT_FALSE(t.Report()->Print());
  EXPECT_EQ(box.seen, 1);
  EXPECT_EQ(box.text, L"No printers installed on your system");
  qvxFreePrinters();
}

}  // namespace
