// The navigation data beside the prepared pages: the outline tree, the anchors and the logical page numbers.
#include "report/pages/qvxOutline.h"

#include <gtest/gtest.h>

#include <vector>

#include "pagesfixture.h"
#include "platform/rtl/strings.h"

using pagestest::TTestReport;
using rtl::Integer;
using rtl::String;

namespace {

struct TEntry {
  String text;
  Integer page, top;
  bool operator==(const TEntry&) const = default;
};

std::vector<TEntry> Level(TqvxCustomOutline* outline) {
  std::vector<TEntry> entries;
  for (Integer i = 0; i < outline->GetCount(); ++i) {
    TEntry e{String(), -1, -1};
    outline->GetItem(i, e.text, e.page, e.top);
    entries.push_back(e);
  }
  return entries;
}

std::vector<String> Numbers(TqvxPreviewPages* pages) {
  std::vector<String> out;
  const TqvxXMLItem* numbers = pages->XMLDoc()->Root()->FindItem(L"logicalpagenumbers");
  for (Integer i = 0; i < numbers->Count(); ++i) out.push_back(numbers->Items(i)->Text());
  return out;
}

TEST(Outline, EntriesNestUnderTheCurrentItemOnTheCurrentPage) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  TqvxCustomOutline* outline = pages->Outline();
  EXPECT_EQ(outline->GetCount(), 0);
  EXPECT_EQ(outline->GetCurPosition(), nullptr);
  t.Start();
  t.WritePage(0, 1);
  outline->AddItem(L"Öğrenciler", 10);
  outline->AddItem(L"Ali \"Veli\" <9-A>", 55);
  outline->LevelUp();
  outline->LevelUp();
  t.WritePage(1, 1);
  outline->AddItem(L"Öğretmenler", 0);
  outline->LevelUp();
  t.Stop();

  outline->LevelRoot();
  EXPECT_EQ(Level(outline), (std::vector<TEntry>{{L"Öğrenciler", 0, 10}, {L"Öğretmenler", 1, 0}}));
  EXPECT_EQ(outline->GetCurPosition()->Prop(L"text"), L"Öğretmenler");
  outline->LevelDown(0);
  EXPECT_EQ(Level(outline), (std::vector<TEntry>{{L"Ali \"Veli\" <9-A>", 0, 55}}));
  // Attributes in their order, the text escaped.
  EXPECT_EQ(outline->CurItem->Items(0)->Text(), L"text=\"Ali &#34;Veli&#34; &#60;9-A&#62;\" page=\"0\" top=\"55\"");
  outline->LevelUp();
  outline->LevelUp();  // at the root already: stays
  EXPECT_EQ(outline->GetCount(), 2);
  EXPECT_THROW(outline->LevelDown(5), rtl::EListError);
}

TEST(Outline, AnEntryWithoutPageOrTopLeavesTheCallersValues) {
  TTestReport t;
  TqvxCustomOutline* outline = t.Pages()->Outline();
  outline->LevelRoot();
  outline->CurItem->Add(L"item")->SetProp(L"text", L"yalın");
  String text;
  Integer page = 7, top = 8;
  outline->GetItem(0, text, page, top);
  EXPECT_EQ(text, L"yalın");
  EXPECT_EQ(page, 7);
  EXPECT_EQ(top, 8);
}

TEST(Outline, ShiftingMovesOnlyTheNextEntryWithItsSubtree) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  TqvxCustomOutline* outline = pages->Outline();
  t.Start();
  t.WritePage(0, 1);
  outline->AddItem(L"A", 100);
  outline->LevelUp();
  TqvxXMLItem* a = outline->GetCurPosition();
  outline->AddItem(L"B", 300);
  outline->AddItem(L"B1", 320);
  outline->LevelUp();
  outline->LevelUp();
  outline->AddItem(L"C", 400);
  outline->LevelUp();
  // B moves to the next page with its content, its top to 20; C stays.
  outline->ShiftItems(a, 20);
  t.Stop();
  outline->LevelRoot();
  EXPECT_EQ(Level(outline), (std::vector<TEntry>{{L"A", 0, 100}, {L"B", 1, 20}, {L"C", 0, 400}}));
  outline->LevelDown(1);
  EXPECT_EQ(Level(outline), (std::vector<TEntry>{{L"B1", 1, 40}}));
  // Nothing after the last entry, and no entry at all: nothing moves.
  outline->LevelRoot();
  outline->ShiftItems(outline->GetCurPosition(), 0);
  outline->ShiftItems(nullptr, 0);
  EXPECT_EQ(Level(outline).back(), (TEntry{L"C", 0, 400}));
}

TEST(Anchors, TheLaterOfTwoWinsAndAMissingOneIsPageOne) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  t.WritePage(0, 1);
  t.Engine().CurY = 77.6;
  pages->AddAnchor(L"Bölüm");
  t.WritePage(1, 1);
  t.WritePage(2, 1);
  pages->AddAnchor(L"BÖLÜM");
  t.Stop();
  EXPECT_EQ(pages->GetAnchorCurPosition(), 1);
  EXPECT_EQ(pages->GetAnchorPage(L"bölüm"), 3);
  EXPECT_EQ(pages->GetAnchorPage(L"yok"), 1);
  EXPECT_EQ(pages->FindAnchor(L"yok"), nullptr);
  const TqvxXMLItem* first = pages->XMLDoc()->Root()->FindItem(L"anchors")->Items(0);
  EXPECT_EQ(first->Text(), L"text=\"Bölüm\" page=\"0\" top=\"78\"");
}

TEST(Anchors, ShiftingMovesTheAnchorsAfterFromToTheNextPage) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  t.WritePage(0, 1);
  for (int y : {100, 500, 540}) {
    t.Engine().CurY = y;
    pages->AddAnchor(L"a" + rtl::IntToStr(y));
  }
  pages->ShiftAnchors(0, 30);
  pages->ShiftAnchors(5, 0);  // past the last: nothing
  t.Stop();
  const TqvxXMLItem* anchors = pages->XMLDoc()->Root()->FindItem(L"anchors");
  EXPECT_EQ(anchors->Items(0)->Text(), L"text=\"a100\" page=\"0\" top=\"100\"");
  EXPECT_EQ(anchors->Items(1)->Text(), L"text=\"a500\" page=\"1\" top=\"30\"");
  EXPECT_EQ(anchors->Items(2)->Text(), L"text=\"a540\" page=\"1\" top=\"70\"");
}

TEST(LogicalPages, NumberingRestartsAndEachGroupLearnsItsTotal) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  for (int p = 0; p < 3; ++p) t.WritePage(p, 1);
  pages->ResetLogicalPageNumber();
  for (int p = 3; p < 5; ++p) t.WritePage(p, 1);
  EXPECT_EQ(Numbers(pages),
            (std::vector<String>{L"n=\"1\" t=\"3\"", L"n=\"2\" t=\"3\"", L"n=\"3\" t=\"3\"", L"n=\"1\"", L"n=\"2\""}));
  // The running group's total is not known yet.
  EXPECT_EQ(pages->GetLogicalPageNo(), 2);
  EXPECT_EQ(pages->GetLogicalTotalPages(), 0);
  pages->ResetLogicalPageNumber();
  t.Stop();
  EXPECT_EQ(Numbers(pages).back(), L"n=\"2\" t=\"2\"");
  pages->CurPage = 1;
  EXPECT_EQ(pages->GetLogicalPageNo(), 2);
  EXPECT_EQ(pages->GetLogicalTotalPages(), 3);
  // Outside the numbered pages: counted from the report's first page, the total from the engine.
  pages->CurPage = 9;
  pages->FirstPage = 2;
  t.Engine().TotalPages = 12;
  EXPECT_EQ(pages->GetLogicalPageNo(), 8);
  EXPECT_EQ(pages->GetLogicalTotalPages(), 10);
}

TEST(LogicalPages, TheFinalPassOfATwoPassRunKeepsTheFirstPassNumbers) {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Report()->EngineOptions()->DoublePass = true;
  t.Start();
  t.Engine().FinalPass = false;
  t.WritePage(0, 1);
  t.WritePage(1, 1);
  pages->CurPage = pages->GetCount() - 1;
  pages->ClearFirstPassPages();
  t.Engine().FinalPass = true;
  t.WritePage(0, 1);
  t.WritePage(1, 1);
  pages->ResetLogicalPageNumber();
  t.Stop();
  EXPECT_EQ(Numbers(pages), (std::vector<String>{L"n=\"1\" t=\"2\"", L"n=\"2\" t=\"2\""}));
}

}  // namespace
