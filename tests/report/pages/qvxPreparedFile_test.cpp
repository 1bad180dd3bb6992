// The prepared-report file: its text (header, one line, the order of its parts), round trips of pages, outline,
// anchors, logical page numbers and pictures, partial loading, the old 8-bit format, files on disk, and a file
// that does not hold leaving the store as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pagesfixture.h"
#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "report/pages/qvxPreviewPages.h"
#include "tests/common/tempdir.h"

using pagestest::Load;
using pagestest::PageXml;
using pagestest::Saved;
using pagestest::Texts;
using pagestest::TTestReport;
using rtl::Integer;
using rtl::String;

namespace {

const std::string kHeader = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";

// A prepared report with everything a file carries: 4 pages, an outline of two levels, anchors, numbering
// restarted after page 2, a picture and the report's own settings.
void Prepare(TTestReport& t, int pageCount = 4) {
  t.Report()->ReportOptions()->Name = L"Görüşme \"Formu\"";
  t.Report()->PreviewOptions()->OutlineVisible = true;
  t.Report()->PreviewOptions()->OutlineWidth = 180;
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  for (int p = 0; p < pageCount; ++p) {
    t.WritePage(p, 2);
    pages->Outline()->AddItem(L"Sayfa " + rtl::IntToStr(p + 1), 10 * p);
    if (p == 0) {
      pages->Outline()->AddItem(L"Öğrenci", 55);
      pages->Outline()->LevelUp();
    }
    pages->Outline()->LevelUp();
    t.Engine().CurY = 50 + p;
    pages->AddAnchor(L"çapa" + rtl::IntToStr(p));
    if (p == 1) pages->ResetLogicalPageNumber();
  }
  pages->ResetLogicalPageNumber();
  t.Stop();
}

std::vector<String> Children(TqvxXMLItem* item) {
  std::vector<String> out;
  for (Integer i = 0; i < item->Count(); ++i) out.push_back(item->Items(i)->Name() + L" " + item->Items(i)->Text());
  return out;
}

std::vector<String> OutlineTree(TqvxCustomOutline* outline) {
  std::vector<String> out;
  for (Integer i = 0; i < outline->GetCount(); ++i) {
    String text;
    Integer page = 0, top = 0;
    outline->GetItem(i, text, page, top);
    out.push_back(text + L"@" + rtl::IntToStr(page) + L":" + rtl::IntToStr(top));
    outline->LevelDown(i);
    for (const String& sub : OutlineTree(outline)) out.push_back(L"  " + sub);
    outline->LevelUp();
  }
  return out;
}

size_t At(const std::string& text, const std::string& what) { return text.find(what); }

TEST(PreparedFile, TheTextIsOneLineWithItsPartsInOrder) {
  TTestReport t;
  Prepare(t);
  const std::string file = Saved(t.Pages());
  ASSERT_EQ(file.substr(0, kHeader.size()), kHeader);
  EXPECT_EQ(file.substr(kHeader.size(), 16), "<preparedreport>");
  EXPECT_EQ(file.find('\n'), std::string::npos);
  EXPECT_EQ(file.find('\r'), std::string::npos);
  EXPECT_EQ(file.substr(file.size() - 17), "</preparedreport>");
  // The parts as first used, then the four the save adds.
  const std::vector<std::string> parts = {"<previewpages>", "<logicalpagenumbers>", "<outline>",    "<anchors>",
                                          "<report>",       "<sourcepages>",        "<dictionary>", "<picturecache>"};
  for (size_t i = 0; i < parts.size(); ++i) {
    ASSERT_NE(At(file, parts[i]), std::string::npos) << parts[i];
    if (i > 0) {
      EXPECT_LT(At(file, parts[i - 1]), At(file, parts[i])) << parts[i];
    }
  }
  // Pages: the first two in memory for good, the third on marked for the temporary file.
  EXPECT_NE(At(file, "<previewpages><page0><b1 "), std::string::npos);
  EXPECT_EQ(At(file, "<page0 ld=\"0\">"), At(file, "</page0><page0 ld=\"0\">") + 8);
  EXPECT_EQ(file.find("ld=\"0\""), file.find("<page0 ld=\"0\">") + 7);
  // The report's four settings in their order, UTF-8 and escaped.
  EXPECT_NE(
      At(file, rtl::StringToUTF8(L"<report><TqvxReport DotMatrixReport=\"0\" PreviewOptions.OutlineVisible=\"1\" "
                                 L"PreviewOptions.OutlineWidth=\"180\" ReportOptions.Name=\"Görüşme &#34;Formu&#34;"
                                 L"\"/></report>")),
      std::string::npos);
  // The dictionary in alias order, names as they are; pictures as upper-case hexadecimal.
  EXPECT_NE(At(file,
               "<dictionary><b1 name=\"Page0.ReportTitle1\"/><b2 name=\"Page0.MasterData1\"/>"
               "<b3 name=\"Page0.PageFooter1\"/><l1 name=\"Page0.Line1\"/><m1 name=\"Page0.Memo1\"/>"),
            std::string::npos);
  EXPECT_NE(At(file, "<picturecache><item stream=\"424D"), std::string::npos);
  EXPECT_NE(At(file, rtl::StringToUTF8(L"<anchors><item text=\"çapa0\" page=\"0\" top=\"50\"/>")), std::string::npos);
  EXPECT_NE(At(file, "<logicalpagenumbers><page n=\"1\" t=\"2\"/><page n=\"2\" t=\"2\"/><page n=\"1\" t=\"2\"/>"),
            std::string::npos);
  EXPECT_EQ(file.find("cutted"), std::string::npos);
  // What the save added for the file is not kept in memory twice.
  EXPECT_EQ(t.Pages()->XMLDoc()->Root()->FindItem(L"sourcepages")->Count(), 0);
  EXPECT_EQ(t.Pages()->XMLDoc()->Root()->FindItem(L"picturecache")->Count(), 0);
}

TEST(PreparedFile, ARoundTripKeepsPagesNavigationPicturesAndSettings) {
  TTestReport a;
  Prepare(a);
  const std::string file = Saved(a.Pages());
  TTestReport b;
  TqvxPreviewPages* pages = b.Pages();
  Load(pages, file);

  ASSERT_EQ(pages->GetCount(), 4);
  for (Integer i = 0; i < 4; ++i) {
    const TqvxXMLItem* element = pages->PagesItem()->Items(i);
    EXPECT_FALSE(element->Unloadable()) << i;
    EXPECT_EQ(element->Text().find(L"ld="), String::npos) << i;
    EXPECT_EQ(PageXml(pages->GetPage(i)), PageXml(a.Pages()->GetPage(i))) << i;
  }
  EXPECT_EQ(Texts(pages->GetPage(3)).back(), L"Sayfa 4");
  a.Pages()->Outline()->LevelRoot();
  EXPECT_EQ(OutlineTree(pages->Outline()), OutlineTree(a.Pages()->Outline()));
  EXPECT_EQ(OutlineTree(pages->Outline())[1], L"  Öğrenci@0:55");
  TqvxXMLItem* root = pages->XMLDoc()->Root();
  TqvxXMLItem* rootA = a.Pages()->XMLDoc()->Root();
  EXPECT_EQ(Children(root->FindItem(L"anchors")), Children(rootA->FindItem(L"anchors")));
  EXPECT_EQ(Children(root->FindItem(L"logicalpagenumbers")), Children(rootA->FindItem(L"logicalpagenumbers")));
  EXPECT_EQ(pages->GetAnchorPage(L"ÇAPA2"), 3);
  pages->CurPage = 3;
  EXPECT_EQ(pages->GetLogicalPageNo(), 2);
  EXPECT_EQ(pages->GetLogicalTotalPages(), 2);
  ASSERT_EQ(pages->PictureCache()->Count(), 1);
  EXPECT_EQ(pages->PictureCache()->PictureBytes(1), a.Pages()->PictureCache()->PictureBytes(1));
  EXPECT_EQ(b.Report()->ReportOptions()->Name, L"Görüşme \"Formu\"");
  EXPECT_TRUE(b.Report()->PreviewOptions()->OutlineVisible);
  EXPECT_EQ(b.Report()->PreviewOptions()->OutlineWidth, 180);
  // The source pages live as objects; their element is written again on the next save.
  EXPECT_EQ(root->FindItem(L"sourcepages")->Count(), 0);
  EXPECT_EQ(pages->SourcePages().size(), 1u);
  const std::string again = Saved(pages);
  TTestReport c;
  Load(c.Pages(), again);
  for (Integer i = 0; i < 4; ++i) EXPECT_EQ(PageXml(c.Pages()->GetPage(i)), PageXml(a.Pages()->GetPage(i))) << i;
}

TEST(PreparedFile, PartialLoadingReadsOnlyThePagesAskedFor) {
  TTestReport a;
  Prepare(a, 7);
  const std::string file = Saved(a.Pages());
  TTestReport b;
  TqvxPreviewPages* pages = b.Pages();
  Load(pages, file, true);
  ASSERT_EQ(pages->GetCount(), 7);
  EXPECT_TRUE(pages->AllowPartialLoading);
  auto loaded = [&] {
    std::vector<bool> out;
    for (Integer i = 0; i < 7; ++i) out.push_back(pages->PagesItem()->Items(i)->Loaded());
    return out;
  };
  EXPECT_EQ(loaded(), (std::vector<bool>{true, true, false, false, false, false, false}));
  EXPECT_EQ(PageXml(pages->GetPage(4)), PageXml(a.Pages()->GetPage(4)));
  EXPECT_EQ(loaded(), (std::vector<bool>{true, true, false, false, true, false, false}));
  // A file saved from a partly loaded store holds every page.
  TTestReport c;
  Load(c.Pages(), Saved(pages));
  for (Integer i = 0; i < 7; ++i) EXPECT_EQ(PageXml(c.Pages()->GetPage(i)), PageXml(a.Pages()->GetPage(i))) << i;
  EXPECT_EQ(loaded(), (std::vector<bool>{true, true, false, false, true, false, false}));
}

TEST(PreparedFile, AnOldFileReadsItsTextAs8BitCharacters) {
  const std::string body =
      "<preparedreport><previewpages><TqvxReportPage/></previewpages>"
      "<outline><item text=\"\xD6\xFC\" page=\"0\" top=\"3\"/></outline></preparedreport>";
  TTestReport t;
  Load(t.Pages(), "<?xml version=\"1.0\"?>" + body);
  EXPECT_TRUE(t.Pages()->XMLDoc()->OldVersion());
  EXPECT_EQ(OutlineTree(t.Pages()->Outline()), std::vector<String>{L"Öü@0:3"});
  Load(t.Pages(), kHeader + body);
  EXPECT_FALSE(t.Pages()->XMLDoc()->OldVersion());
  EXPECT_NE(OutlineTree(t.Pages()->Outline())[0], L"Öü@0:3");
}

TEST(PreparedFile, FilesOnDisk) {
  testutil::TempFolder folder(L"qp3");
  TTestReport a;
  Prepare(a, 3);
  const String name = folder.File(L"görüşme.qp3");
  a.Pages()->SaveToFile(name);
  TTestReport b;
  EXPECT_TRUE(b.Pages()->LoadFromFile(name));
  EXPECT_EQ(b.Pages()->GetCount(), 3);
  // A missing file leaves the pages, or raises when asked to.
  EXPECT_FALSE(b.Pages()->LoadFromFile(folder.File(L"yok.qp3")));
  EXPECT_EQ(b.Pages()->GetCount(), 3);
  EXPECT_THROW(b.Pages()->LoadFromFile(folder.File(L"yok.qp3"), true), rtl::EFOpenError);
  // Saving again replaces the file, and leaves nothing beside it.
  b.Pages()->DeletePage(0);
  b.Pages()->SaveToFile(name);
  TTestReport c;
  c.Pages()->LoadFromFile(name, true);
  EXPECT_EQ(c.Pages()->GetCount(), 2);
  EXPECT_EQ(pagestest::FilesIn(folder.Path(), L"").size(), 1u);
  // A file that cannot be made raises and leaves nothing behind.
  EXPECT_THROW(a.Pages()->SaveToFile(folder.File(L"yok\\x.qp3")), rtl::EFCreateError);
}

TEST(PreparedFile, AFileThatDoesNotHoldLeavesTheStoreAsItWas) {
  TTestReport a;
  Prepare(a, 3);
  const std::string file = Saved(a.Pages());
  TTestReport b;
  Load(b.Pages(), file);
  const String before = PageXml(b.Pages()->GetPage(2));
  const std::vector<std::string> bad = {
      "",
      "no xml at all",
      kHeader + "<TqvxReport Name=\"x\"/>",  // a template, not a prepared report
      file.substr(0, file.size() - 1),       // cut short
      kHeader + "<preparedreport><previewpages><page7/></previewpages></preparedreport>",  // no such source page
      kHeader +
          "<preparedreport><previewpages><TqvxReportPage><TForm/></TqvxReportPage></previewpages>"
          "</preparedreport>",  // no report object
      kHeader + "<preparedreport><outline><item page=\"1x\"/></outline></preparedreport>",
      kHeader + "<preparedreport><dictionary><m1 name=\"Page3.Memo1\"/></dictionary></preparedreport>",
  };
  for (const std::string& input : bad) {
    EXPECT_THROW(Load(b.Pages(), input), TqvxInvalidXMLException) << input.substr(0, 120);
    ASSERT_EQ(b.Pages()->GetCount(), 3);
    EXPECT_EQ(PageXml(b.Pages()->GetPage(2)), before);
  }
}

TEST(PreparedFile, OnlyTheFourStoredSettingsOfTheReportAreTaken) {
  TTestReport t;
  t.Report()->IniFile = L"ayarlar.ini";
  Load(t.Pages(), kHeader +
                      "<preparedreport><previewpages/><report><TqvxReport DotMatrixReport=\"1\" "
                      "IniFile=\"\\Software\\Baska\" ParentReport=\"C:\\kotu.qv3\" ScriptLanguage=\"JScript\" "
                      "ReportOptions.Name=\"r\"/></report><cutted><b1/></cutted></preparedreport>");
  EXPECT_TRUE(t.Report()->DotMatrixReport);
  EXPECT_EQ(t.Report()->ReportOptions()->Name, L"r");
  EXPECT_EQ(t.Report()->IniFile, L"ayarlar.ini");
  EXPECT_EQ(t.Report()->ParentReport(), L"");
  EXPECT_EQ(t.Report()->ScriptLanguage(), L"ZuvizaVuruze");
  EXPECT_EQ(t.Pages()->XMLDoc()->Root()->Find(L"cutted"), -1);
  EXPECT_EQ(t.Pages()->GetCount(), 0);
}

}  // namespace
