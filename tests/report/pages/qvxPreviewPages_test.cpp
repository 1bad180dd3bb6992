// The prepared-pages store as the engine writes it and the preview reads it: source copies and aliases, pages and
// their differences, rebuilding with the page cache, passes, cutting and pasting, layout queries and edits.
#include "report/pages/qvxPreviewPages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "pagesfixture.h"
#include "platform/rtl/strings.h"
#include "report/model/qvxXMLSerializer.h"
#include "report/pages/qvxPagesOutput.h"
#include "tests/common/tempdir.h"

using pagestest::PageSummary;
using pagestest::PageXml;
using pagestest::Texts;
using pagestest::TTestReport;
using rtl::String;

namespace {

TqvxXMLItem* Pages(TqvxPreviewPages* pages) { return pages->PagesItem(); }

// ---------------------------------------------------------------------------------------------------------------
// Source pages and aliases

TEST(Dictionary, AliasesCountFromOneAndFindTheFreeNumberByHalving) {
  TqvxDictionary d;
  EXPECT_EQ(d.AddUnique(L"m", L"Page0.Memo1", nullptr), L"m1");
  EXPECT_EQ(d.AddUnique(L"m", L"Page0.Memo2", nullptr), L"m2");
  for (int i = 3; i <= 20; ++i) d.AddUnique(L"m", L"Page0.Memo" + rtl::IntToStr(i), nullptr);
  EXPECT_EQ(d.CreateUniqueName(L"m"), L"m21");
  EXPECT_EQ(d.AddUnique(L"b", L"Page0.Band1", nullptr), L"b1");
  // A gap above the run does not stop the count.
  d.Add(L"m5000", L"Page1.Far", nullptr);
  EXPECT_EQ(d.CreateUniqueName(L"m"), L"m5001");
  // Aliases are found ignoring ASCII case, and kept sorted so.
  EXPECT_EQ(d.GetSourceName(L"M2"), L"Page0.Memo2");
  EXPECT_EQ(d.GetSourceName(L"x1"), L"");
  const auto entries = d.Entries();
  ASSERT_GE(entries.size(), 3u);
  EXPECT_EQ(entries[0].Name, L"b1");
  EXPECT_EQ(entries[1].Name, L"m1");
  EXPECT_EQ(entries[2].Name, L"m10");
}

TEST(SourcePages, EveryShownObjectIsCopiedOnceUnderAnAlias) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  pages->AddSourcePage(t.page);
  ASSERT_EQ(pages->SourcePages().size(), 1u);
  TqvxReportPage* copy = pages->SourcePages()[0];
  EXPECT_EQ(copy->OriginalComponent(), t.page);
  EXPECT_EQ(copy->Name(), L"Page1");

  // Bands are "b", others the first letter of their stem; the report's object and its copy share the alias.
  EXPECT_EQ(t.title->AliasName(), L"b1");
  EXPECT_EQ(t.heading->AliasName(), L"m1");
  EXPECT_EQ(t.picture->AliasName(), L"p1");
  EXPECT_EQ(t.master->AliasName(), L"b2");
  EXPECT_EQ(t.row->AliasName(), L"m2");
  EXPECT_EQ(t.line->AliasName(), L"l1");
  EXPECT_EQ(t.footer->AliasName(), L"b3");
  EXPECT_EQ(t.pageNo->AliasName(), L"m3");
  EXPECT_EQ(pages->Dictionary()->GetSourceName(L"m2"), L"Page0.Memo2");

  auto* rowCopy = dynamic_cast<TqvxMemoView*>(pages->GetObject(L"m2"));
  ASSERT_NE(rowCopy, nullptr);
  EXPECT_EQ(rowCopy, t.row->OriginalComponent());
  EXPECT_EQ(rowCopy->OriginalComponent(), t.row);
  EXPECT_EQ(rowCopy->Name(), L"Memo2");
  EXPECT_EQ(rowCopy->AliasName(), L"m2");
  // A copy holds no data binding, and its serialized form stands where the stem was.
  EXPECT_EQ(rowCopy->DataField, L"");
  EXPECT_TRUE(rtl::StartsStr(L"TqvxMemoView ", rowCopy->BaseName())) << rowCopy->BaseName();
  // The picture stays in the report's object: the copy has none.
  auto* pictureCopy = dynamic_cast<TqvxPictureView*>(pages->GetObject(L"p1"));
  ASSERT_NE(pictureCopy, nullptr);
  EXPECT_EQ(pictureCopy->Picture()->Graphic(), nullptr);
  EXPECT_NE(t.picture->Picture()->Graphic(), nullptr);
  EXPECT_TRUE(t.picture->IsPictureStored());
  // What prepared pages never show has no copy.
  EXPECT_EQ(t.subreport->OriginalComponent(), nullptr);
  EXPECT_EQ(copy->FindObject(L"Subreport1"), nullptr);
}

TEST(SourcePages, ObjectsMadeWhileRunningJoinTheLastSourcePage) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  pages->AddSourcePage(t.page);
  TqvxMemoView extra(nullptr);
  extra.SetText(L"eklenen");
  pages->AddToSourcePage(&extra);
  TqvxComponent* copy = extra.OriginalComponent();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Parent(), pages->SourcePages()[0]);
  EXPECT_EQ(extra.AliasName(), L"m4");
  EXPECT_EQ(pages->Dictionary()->GetSourceName(L"m4"), L"Page0." + copy->Name());
  EXPECT_FALSE(copy->Name().empty());
}

// ---------------------------------------------------------------------------------------------------------------
// Pages and objects

TEST(Pages, AddPageAppendsOrWritesOverAsTheEngineAsks) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Run(3, 1);
  ASSERT_EQ(pages->GetCount(), 3);
  EXPECT_EQ(pages->CurPage, 2);
  EXPECT_EQ(Pages(pages)->Items(0)->Name(), L"page0");
  // The third page on may move to the temporary file.
  EXPECT_FALSE(Pages(pages)->Items(1)->Unloadable());
  EXPECT_TRUE(Pages(pages)->Items(2)->Unloadable());

  // Set back with apWriteOver, AddPage only moves on to the existing page.
  pages->CurPage = 0;
  pages->AddPageAction = apWriteOver;
  pages->AddPage(t.page);
  EXPECT_EQ(pages->GetCount(), 3);
  EXPECT_EQ(pages->CurPage, 1);
  // With apAdd a page is appended even though later pages exist, and the action returns to apWriteOver.
  pages->AddPageAction = apAdd;
  pages->AddPage(t.page);
  EXPECT_EQ(pages->GetCount(), 4);
  EXPECT_EQ(pages->CurPage, 3);
  EXPECT_EQ(pages->AddPageAction, apWriteOver);
}

TEST(Pages, ObjectsAreStoredAsDifferencesAndRebuiltWhole) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Run(2, 2);
  TqvxXMLItem* first = Pages(pages)->Items(0);
  // Title, two data rows and the footer; each band with its objects below it.
  ASSERT_EQ(first->Count(), 4);
  EXPECT_EQ(first->Items(0)->Name(), L"b1");
  EXPECT_EQ(first->Items(1)->Name(), L"b2");
  EXPECT_EQ(first->Items(1)->Items(0)->Name(), L"m2");
  EXPECT_EQ(first->Items(1)->Items(1)->Name(), L"l1");
  // Only what differs: the second row's band top and its text.
  EXPECT_EQ(first->Items(2)->Prop(L"t"), L"70");
  EXPECT_NE(first->Items(2)->Items(0)->Text().find(L"Satır 0.1"), String::npos) << first->Items(2)->Items(0)->Text();
  // The line did not change: its element carries no position of its own.
  EXPECT_FALSE(first->Items(1)->Items(1)->PropExists(L"l"));

  TqvxReportPage* page = pages->GetPage(0);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Texts(page), (std::vector<String>{L"Öğrenci Görüşme Formu", L"Satır 0.0", L"Satır 0.1", L"Sayfa 1"}));
  const std::vector<String> summary = PageSummary(page);
  ASSERT_EQ(summary.size(), 11u);
  EXPECT_EQ(summary[3], L"TqvxMasterData MasterData1 0,50") << summary[3];
  EXPECT_EQ(summary[6], L"TqvxMasterData MasterData1 0,70") << summary[6];
  // Rebuilt objects carry their template's names, repeated as often as the band printed.
  EXPECT_EQ(pages->GetPage(1)->Objects().size(), 3u);

  // The picture went to the picture cache once and comes back by its index.
  EXPECT_EQ(pages->PictureCache()->Count(), 1);
  auto* picture = dynamic_cast<TqvxPictureView*>(page->FindObject(L"Picture1"));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->ImageIndex(), 1);
  ASSERT_NE(picture->Picture()->Graphic(), nullptr);
  EXPECT_EQ(picture->Picture()->Width(), 4);
}

TEST(Pages, TheFirstOfTwoPassesStoresOnlyPositionsAndSizes) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  t.Engine().FinalPass = false;
  t.WritePage(0, 1);
  t.Stop();
  const TqvxXMLItem* row = Pages(pages)->Items(0)->Items(1)->Items(0);
  EXPECT_EQ(row->Text().find(L"Satır"), String::npos) << row->Text();
}

TEST(Pages, ObjectsWithoutACopyAndHiddenObjects) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  t.WritePage(0, 1);
  TqvxMemoView loose(nullptr);
  loose.SetName(L"Loose");
  loose.SetText(L"kopyasız");
  pages->AddObject(&loose);
  TqvxMemoView hidden(nullptr);
  hidden.SetVisible(false);
  pages->AddObject(&hidden);
  t.Stop();
  const TqvxXMLItem* first = Pages(pages)->Items(0);
  ASSERT_EQ(first->Count(), 4);
  EXPECT_EQ(first->Items(3)->Name(), L"TqvxMemoView");
  EXPECT_EQ(Texts(pages->GetPage(0)).back(), L"kopyasız");
}

TEST(Pages, APageThatIsNoSourcePageIsKeptWhole) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  TqvxReportPage other(nullptr);
  other.SetPaperSize(qvxCustomPaper);
  other.SetPaperWidth(100);
  other.SetPaperHeight(50);
  pages->AddPage(&other);
  TqvxMemoView memo(nullptr);
  memo.SetText(L"tek");
  pages->AddObject(&memo);
  t.Stop();
  EXPECT_EQ(Pages(pages)->Items(0)->Name(), L"TqvxReportPage");
  TqvxReportPage* page = pages->GetPage(0);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->PaperWidth(), 100);
  EXPECT_EQ(Texts(page), std::vector<String>{L"tek"});
  const TqvxPoint size = pages->GetPageSize(0);
  EXPECT_EQ(size.X, 378);
  EXPECT_EQ(size.Y, 189);
}

TEST(Pages, PageSizeComesFromTheSourceCopyAndNothingOutsideThePages) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Run(2, 1);
  const TqvxPoint size = pages->GetPageSize(1);
  EXPECT_EQ(size.X, std::round(static_cast<double>(t.page->Width())));
  EXPECT_EQ(size.Y, std::round(static_cast<double>(t.page->Height())));
  EXPECT_EQ(pages->GetPageSize(2).X, 0);
  EXPECT_EQ(pages->GetPageSize(-1).Y, 0);
  EXPECT_EQ(pages->GetPage(2), nullptr);
}

TEST(Pages, TheEngineResizesAPageWhileItRuns) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  pages->UpdatePageDimensions(t.page, 500, 600);
  t.WritePage(0, 1);
  t.Stop();
  EXPECT_EQ(pages->SourcePages()[0]->PaperSize(), qvxCustomPaper);
  EXPECT_EQ(pages->GetPageSize(0).X, 500);
  EXPECT_EQ(pages->GetPage(0)->Height(), 600);
}

// ---------------------------------------------------------------------------------------------------------------
// The page cache

TEST(PageCache, AHitSwapsWithTheFirstEntryAndTheOldestGoes) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Run(5, 1);
  t.Report()->PreviewOptions()->PagesInCache = 3;
  TqvxReportPage* zero = pages->GetPage(0);
  pages->GetPage(1);
  pages->GetPage(2);
  EXPECT_EQ(pages->CachedPages(), (std::vector<rtl::Integer>{2, 1, 0}));
  EXPECT_EQ(pages->GetPage(0), zero);
  EXPECT_EQ(pages->CachedPages(), (std::vector<rtl::Integer>{0, 1, 2}));
  pages->GetPage(3);
  EXPECT_EQ(pages->CachedPages(), (std::vector<rtl::Integer>{3, 0, 1}));

  // With no room at all one page still stays.
  t.Report()->PreviewOptions()->PagesInCache = 0;
  pages->ClearPageCache();
  pages->GetPage(4);
  pages->GetPage(3);
  EXPECT_EQ(pages->CachedPages(), (std::vector<rtl::Integer>{3}));
}

TEST(PageCache, WhileTheEngineRunsPagesAreAlwaysBuiltAnew) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  t.WritePage(0, 1);
  TqvxReportPage* a = pages->GetPage(0);
  const String before = PageXml(a);
  TqvxReportPage* b = pages->GetPage(0);
  EXPECT_NE(a, b);
  EXPECT_EQ(PageXml(b), before);
  t.Stop();
  EXPECT_TRUE(pages->CachedPages().empty());
}

// ---------------------------------------------------------------------------------------------------------------
// Passes, cutting and pasting, layout queries

TEST(Passes, ASecondPassStartsWhereTheFirstBegan) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Run(2, 2);
  // A second report appended: its pass begins on the last page, after its four objects.
  t.Engine().Running = true;
  pages->BeginPass();
  EXPECT_EQ(pages->FirstPageIndex, 1);
  EXPECT_EQ(pages->FirstObjectIndex, 3);
  pages->AddObject(t.master);
  pages->AddPage(t.page);
  pages->AddPage(t.page);
  EXPECT_EQ(pages->GetCount(), 4);
  pages->ClearFirstPassPages();
  EXPECT_EQ(pages->GetCount(), 2);
  EXPECT_EQ(Pages(pages)->Items(1)->Count(), 3);
  EXPECT_EQ(pages->CurPage, 1);
  EXPECT_EQ(pages->XMLSize, 0);
}

TEST(Passes, AFirstPassOnAnEmptyStoreKeepsOnlyAnchorsAndPageNumbers) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  t.WritePage(0, 1);
  pages->AddAnchor(L"ilk");
  pages->Outline()->AddItem(L"Başlık", 10);
  t.WritePage(1, 1);
  pages->ClearFirstPassPages();
  EXPECT_EQ(pages->GetCount(), 0);
  EXPECT_EQ(pages->CurPage, -1);
  EXPECT_EQ(pages->Outline()->GetCount(), 0);
  EXPECT_EQ(pages->GetAnchorPage(L"ilk"), 1);
  const TqvxXMLItem* numbers = pages->XMLDoc()->Root()->FindItem(L"logicalpagenumbers");
  EXPECT_EQ(numbers->Count(), 2);
  // The outline may be written again after its entries went.
  pages->Outline()->AddItem(L"Yeniden", 0);
  pages->Outline()->LevelUp();
  EXPECT_EQ(pages->Outline()->Count(), 1);
}

TEST(CutAndPaste, KeptBandsMoveToTheNewPageShiftedTogether) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  t.WritePage(0, 3);  // title, rows at 50, 70, 90, footer
  const rtl::Integer kept = 2;
  pages->CutObjects(kept);  // the rows at 70 and 90 and the footer go
  EXPECT_EQ(Pages(pages)->Items(0)->Count(), 2);
  pages->AddPage(t.page);
  pages->PasteObjects(0, 30);
  EXPECT_EQ(pages->XMLDoc()->Root()->Find(L"cutted"), -1);
  const TqvxXMLItem* second = Pages(pages)->Items(1);
  ASSERT_EQ(second->Count(), 3);
  EXPECT_EQ(second->Items(0)->Prop(L"t"), L"30");
  EXPECT_EQ(second->Items(1)->Prop(L"t"), L"50");
  EXPECT_EQ(second->Items(2)->Prop(L"t"), L"960");
  EXPECT_EQ(second->Items(0)->Prop(L"l"), L"0");
  t.Stop();
  EXPECT_EQ(Texts(pages->GetPage(1)), (std::vector<String>{L"Satır 0.1", L"Satır 0.2", L"Sayfa 1"}));
  // Pasting with nothing cut changes nothing.
  pages->PasteObjects(5, 5);
  EXPECT_EQ(pages->XMLDoc()->Root()->Find(L"cutted"), -1);
}

TEST(Layout, LastYAndBandExistsLookAtTheCurrentPage) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  t.WritePage(0, 2);  // rows at 50 and 70, 20 high; the footer does not count
  EXPECT_EQ(pages->GetLastY(0), 90);
  EXPECT_EQ(pages->GetCurPosition(), 4);
  // Columns: only bands that start at the column's left count (the title always does).
  EXPECT_EQ(pages->GetLastY(300), 40);
  EXPECT_TRUE(pages->BandExists(t.master));
  EXPECT_TRUE(pages->BandExists(t.footer));
  TqvxPageFooter otherFooter(nullptr);
  EXPECT_TRUE(pages->BandExists(&otherFooter));
  TqvxColumnFooter columnFooter(nullptr);
  EXPECT_FALSE(pages->BandExists(&columnFooter));
  pages->AddPage(t.page);
  EXPECT_FALSE(pages->BandExists(t.master));
  EXPECT_EQ(pages->GetLastY(0), 0);
  pages->LastY = 123;
  EXPECT_EQ(pages->GetLastY(0), 123);
  t.Stop();
}

// ---------------------------------------------------------------------------------------------------------------
// Editing the prepared pages

TEST(Editing, EmptyPagesDeletionAndReplacedPages) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Run(2, 3);
  pages->AddEmptyPage(1);
  ASSERT_EQ(pages->GetCount(), 3);
  EXPECT_EQ(Pages(pages)->Items(1)->Name(), L"page0");
  EXPECT_TRUE(Texts(pages->GetPage(1)).empty());
  EXPECT_EQ(Texts(pages->GetPage(2)).back(), L"Sayfa 2");
  pages->DeletePage(1);
  EXPECT_EQ(pages->GetCount(), 2);

  // A page changed in the preview is stored whole; its three bands of one name stay three bands.
  TqvxReportPage* page = pages->GetPage(1);
  ASSERT_EQ(page->Objects().size(), 4u);
  dynamic_cast<TqvxMemoView*>(page->Objects()[1]->Objects()[0])->SetText(L"düzeltildi");
  const String changed = PageXml(page);
  pages->ModifyPage(1, page);
  EXPECT_EQ(Pages(pages)->Items(1)->Name(), L"TqvxReportPage");
  EXPECT_FALSE(Pages(pages)->Items(1)->Unloadable());
  TqvxReportPage* again = pages->GetPage(1);
  EXPECT_EQ(Texts(again), (std::vector<String>{L"Satır 1.0", L"düzeltildi", L"Satır 1.2", L"Sayfa 2"}));
  EXPECT_EQ(PageXml(again), changed);

  // The last page is never deleted; an empty store gets no empty page.
  pages->DeletePage(0);
  pages->DeletePage(0);
  EXPECT_EQ(pages->GetCount(), 1);
  pages->Clear();
  pages->AddEmptyPage(0);
  EXPECT_EQ(pages->GetCount(), 0);
}

TEST(Editing, AnotherReportsPagesAppendWhole) {
  TTestReport a, b;
  a.Run(1, 1);
  b.Start();
  b.WritePage(0, 2);
  b.Pages()->AddAnchor(L"ikinci");
  b.Pages()->Outline()->AddItem(L"Bölüm", 7);
  b.Pages()->Outline()->AddItem(L"Alt", 9);
  b.Pages()->Outline()->LevelUp();
  b.Pages()->Outline()->LevelUp();
  b.WritePage(1, 1);
  b.Stop();
  const String bPage1 = PageXml(b.Pages()->GetPage(1));

  TqvxPreviewPages* pages = a.Pages();
  pages->AddFrom(b.Report());
  ASSERT_EQ(pages->GetCount(), 3);
  EXPECT_EQ(Pages(pages)->Items(2)->Name(), L"TqvxReportPage");
  EXPECT_EQ(PageXml(pages->GetPage(2)), bPage1);
  EXPECT_EQ(pages->GetAnchorPage(L"ikinci"), 2);
  TqvxCustomOutline* outline = pages->Outline();
  outline->LevelRoot();
  ASSERT_EQ(outline->GetCount(), 1);
  String text;
  rtl::Integer page = -1, top = -1;
  outline->GetItem(0, text, page, top);
  EXPECT_EQ(text, L"Bölüm");
  EXPECT_EQ(page, 1);
  EXPECT_EQ(top, 7);
  outline->LevelDown(0);
  outline->GetItem(0, text, page, top);
  EXPECT_EQ(text, L"Alt");
  EXPECT_EQ(top, 9);
  // The appended report's last page tells where the next content goes.
  EXPECT_EQ(pages->LastY, 70);
  EXPECT_EQ(b.Pages()->CurPage, -1);
}

// ---------------------------------------------------------------------------------------------------------------
// Pages in the temporary file past the memory limit

// A report whose pages all go to the temporary file in folder as soon as the next page starts.
void SpillEveryPage(TTestReport& t, const std::wstring& folder) {
  t.Report()->EngineOptions()->UseFileCache = true;
  t.Report()->EngineOptions()->MaxMemSize = 0;
  t.Report()->EngineOptions()->TempDir = folder;
}

rtl::Int64 FileSize(const std::wstring& name) {
  rtl::TFileStream f(name, rtl::fmOpenRead | rtl::fmShareDenyNone);
  return f.Size();
}

TEST(Unloading, APageWrittenOutAndReadBackIsThePageItWas) {
  testutil::TempFolder folder(L"unload");
  TTestReport plain, spilled;
  SpillEveryPage(spilled, folder.Path());
  plain.Run(8, 3);
  spilled.Run(8, 3);
  TqvxPreviewPages* pages = spilled.Pages();
  ASSERT_EQ(pages->GetCount(), 8);
  // Everything but the first two pages and the last two went to the file (each check spares the page being
  // written, and the last page never saw a check after it).
  for (rtl::Integer i = 0; i < 8; ++i) EXPECT_EQ(Pages(pages)->Items(i)->Loaded(), i < 2 || i >= 6) << i;
  ASSERT_EQ(pagestest::FilesIn(folder.Path(), L"qv").size(), 1u);
  for (rtl::Integer i = 0; i < 8; ++i) EXPECT_EQ(PageXml(pages->GetPage(i)), PageXml(plain.Pages()->GetPage(i))) << i;

  // Browsing unchanged pages again moves nothing more to the file.
  spilled.Report()->PreviewOptions()->PagesInCache = 2;
  const std::wstring file = folder.File(pagestest::FilesIn(folder.Path(), L"qv")[0]);
  for (rtl::Integer i = 0; i < 8; ++i) pages->GetPage(i);
  const rtl::Int64 size = FileSize(file);
  for (int round = 0; round < 3; ++round)
    for (rtl::Integer i = 7; i >= 0; --i) EXPECT_EQ(Texts(pages->GetPage(i)).back(), L"Sayfa " + rtl::IntToStr(i + 1));
  EXPECT_EQ(FileSize(file), size);
  // Cleared for a new run, the store lets go of its file.
  pages->Clear();
  EXPECT_TRUE(pagestest::FilesIn(folder.Path(), L"qv").empty());
}

TEST(Unloading, WritingIntoAPageAlreadyWrittenOutKeepsWhatItHeld) {
  testutil::TempFolder folder(L"unload");
  TTestReport t;
  SpillEveryPage(t, folder.Path());
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  for (int p = 0; p < 6; ++p) t.WritePage(p, 2);
  ASSERT_FALSE(Pages(pages)->Items(3)->Loaded());
  // The engine goes back to page 3 and writes on into it, as it does for content kept for an earlier page.
  pages->CurPage = 2;
  pages->AddPageAction = apWriteOver;
  pages->AddPage(t.page);
  ASSERT_EQ(pages->CurPage, 3);
  t.master->SetTop(500);
  t.row->SetText(L"sonradan");
  pages->AddObject(t.master);
  pages->AddPageAction = apAdd;
  t.WritePage(6, 1);
  t.Stop();
  const std::vector<String> expected{L"Satır 3.0", L"Satır 3.1", L"Sayfa 4", L"sonradan"};
  EXPECT_EQ(Texts(pages->GetPage(3)), expected);
  // Pushed out of the cache, the changed page goes to the file as it now is.
  t.Report()->PreviewOptions()->PagesInCache = 1;
  pages->GetPage(0);
  ASSERT_FALSE(Pages(pages)->Items(3)->Loaded());
  EXPECT_EQ(Texts(pages->GetPage(3)), expected);
  // And so does the file made of them.
  TTestReport other;
  pagestest::Load(other.Pages(), pagestest::Saved(pages));
  EXPECT_EQ(Texts(other.Pages()->GetPage(3)).back(), L"sonradan");
}

TEST(Unloading, TheTemporaryFileGoesWithTheReportAlsoAfterAnError) {
  testutil::TempFolder folder(L"unload");
  try {
    TTestReport t;
    SpillEveryPage(t, folder.Path());
    t.Report()->PreviewOptions()->PictureCacheInFile = true;
    t.Start();
    for (int p = 0; p < 5; ++p) t.WritePage(p, 1);
    ASSERT_EQ(pagestest::FilesIn(folder.Path(), L"qv").size(), 2u);  // the pages' file and the pictures'
    throw rtl::Exception(L"the run failed");
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), L"the run failed");
  }
  EXPECT_TRUE(pagestest::FilesIn(folder.Path(), L"qv").empty());
}

// ---------------------------------------------------------------------------------------------------------------
// Links

class TOutput : public TqvxPagesOutputLink {
 public:
  void DrawPage(TqvxPreviewPages& pages, rtl::Integer index, vcl::TCanvas*, Extended, Extended, Extended,
                Extended) override {
    drawn = &pages;
    page = index;
  }
  rtl::TObject* ObjectOver(TqvxPreviewPages&, rtl::Integer, rtl::Integer, rtl::Integer, vcl::TMouseButton,
                           vcl::TShiftState, Extended, Extended, Extended, vcl::TCursor&, TqvxMouseIntEvents) override {
    return nullptr;
  }
  bool Print(TqvxPreviewPages&) override { return true; }
  bool Export(TqvxPreviewPages&, TqvxCustomExportFilter*) override { return false; }
  TqvxPreviewPages* drawn = nullptr;
  rtl::Integer page = -1;
};

TEST(Links, EveryReportGetsTheStoreAndDrawingWaitsForThePrinterLayer) {
  TTestReport t;
  ASSERT_NE(t.Pages(), nullptr);
  EXPECT_EQ(t.Pages()->Report(), t.Report());
  EXPECT_EQ(t.Pages()->CurPage, -1);
  EXPECT_THROW(t.Pages()->Print(), EqvxNotLinked);
  EXPECT_THROW(t.Report()->Print(), EqvxNotLinked);
  TOutput output;
  qvxSetPagesOutputLink(&output);
  EXPECT_TRUE(t.Report()->Print());
  t.Pages()->DrawPage(3, nullptr, 1, 1, 0, 0);
  EXPECT_EQ(output.drawn, t.Pages());
  EXPECT_EQ(output.page, 3);
  qvxSetPagesOutputLink(nullptr);
}

}  // namespace
