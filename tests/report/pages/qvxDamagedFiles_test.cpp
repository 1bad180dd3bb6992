// Damaged and hostile prepared-report files, made in a loop from one small sound file: every truncation, a flipped
// bit at every byte, and absurd numbers, names and nesting put where the file keeps them. Each must either load,
// and then every page rebuilds, draws and saves again into a file that loads, or be refused with
// TqvxInvalidXMLException, leaving the store as it was. Nothing may crash or hang.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "pagesfixture.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxClassViews.h"
#include "report/pages/qvxPreviewPages.h"

using pagestest::TTestReport;
using rtl::Integer;
using rtl::String;

namespace {

std::string SoundFile() {
  TTestReport t;
  TqvxPreviewPages* pages = t.Pages();
  t.Start();
  for (int p = 0; p < 3; ++p) {
    t.WritePage(p, 2);
    pages->Outline()->AddItem(L"Bölüm " + rtl::IntToStr(p), 5);
    pages->Outline()->AddItem(L"Alt", 9);
    pages->Outline()->LevelUp();
    pages->Outline()->LevelUp();
    pages->AddAnchor(L"a" + rtl::IntToStr(p));
  }
  pages->ResetLogicalPageNumber();
  t.Stop();
  return pagestest::Saved(pages);
}

void WalkOutline(TqvxCustomOutline* outline, int depth) {
  for (Integer i = 0; i < outline->GetCount(); ++i) {
    String text;
    Integer page = 0, top = 0;
    outline->GetItem(i, text, page, top);
    if (depth < 50) {
      outline->LevelDown(i);
      WalkOutline(outline, depth + 1);
      outline->LevelUp();
    }
  }
}

struct TTally {
  int loaded = 0, refused = 0;
  std::map<std::string, int> faults;
  // Errors the report objects raise while drawing what a file gave them (not the store's to answer).
  std::map<std::string, int> drawing;
};

// Everything the preview and printing would do with a loaded file.
void UseEverything(TqvxPreviewPages* pages, TqvxPreviewPages* other, vcl::TBitmap& sheet, TTally& tally) {
  for (Integer i = 0; i < pages->GetCount(); ++i) {
    pages->GetPageSize(i);
    TqvxReportPage* page = pages->GetPage(i);
    ASSERT_NE(page, nullptr);
    for (TqvxComponent* c : page->GetAllObjects()) {
      auto* view = dynamic_cast<TqvxView*>(c);
      if (!view) continue;
      try {
        view->Draw(sheet.Canvas(), 0.5, 0.5, 0, 0);
      } catch (const rtl::Exception& e) {
        tally.drawing[rtl::StringToUTF8(c->ClassName()) + ": " + e.what()]++;
      }
    }
    pages->CurPage = i;
    pages->GetLogicalPageNo();
    pages->GetLogicalTotalPages();
  }
  pages->Outline()->LevelRoot();
  WalkOutline(pages->Outline(), 0);
  pages->GetAnchorPage(L"a1");
  // What was taken in can be written out and taken in again.
  pagestest::Load(other, pagestest::Saved(pages));
  ASSERT_EQ(other->GetCount(), pages->GetCount());
}

// Loads input into a store that holds the sound file; a refusal must leave that file's pages.
void Try(const std::string& name, const std::string& input, TTestReport& t, TTestReport& other, vcl::TBitmap& sheet,
         TTally& tally, bool mustRefuse) {
  try {
    pagestest::Load(t.Pages(), input);
  } catch (const TqvxInvalidXMLException&) {
    ++tally.refused;
    if (t.Pages()->GetCount() != 3) tally.faults[name + ": the store changed"]++;
    return;
  } catch (const std::exception& e) {
    tally.faults[name + ": " + e.what()]++;
    return;
  }
  if (mustRefuse) tally.faults[name + ": loaded"]++;
  ++tally.loaded;
  try {
    UseEverything(t.Pages(), other.Pages(), sheet, tally);
  } catch (const std::exception& e) {
    tally.faults[name + " (in use): " + e.what()]++;
  }
}

void Replace(std::string& s, const std::string& from, const std::string& to) {
  const size_t at = s.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  s.replace(at, from.size(), to);
}

class DamagedFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    sound = SoundFile();
    pagestest::Load(t.Pages(), sound);
    ASSERT_EQ(t.Pages()->GetCount(), 3);
  }
  void Reset() {
    if (t.Pages()->GetCount() != 3) pagestest::Load(t.Pages(), sound);
  }
  void Expect(const TTally& tally, int inputs) {
    for (const auto& [fault, count] : tally.faults) ADD_FAILURE() << count << " x " << fault;
    std::printf("%d inputs: %d loaded, %d refused\n", inputs, tally.loaded, tally.refused);
    for (const auto& [error, count] : tally.drawing) std::printf("  drawing raised %d x %s\n", count, error.c_str());
  }

  std::string sound;
  TTestReport t, other;
  vcl::TBitmap sheet{400, 600, vcl::pf32bit};
};

TEST_F(DamagedFiles, EveryTruncationIsRefused) {
  TTally tally;
  for (size_t n = 0; n < sound.size(); ++n) {
    Try("cut at " + std::to_string(n), sound.substr(0, n), t, other, sheet, tally, true);
    Reset();
  }
  Expect(tally, static_cast<int>(sound.size()));
  EXPECT_EQ(tally.refused, static_cast<int>(sound.size()));
}

TEST_F(DamagedFiles, AFlippedBitLoadsOrIsRefused) {
  TTally tally;
  std::mt19937 random(20261210);
  const int inputs = 1200;
  for (int i = 0; i < inputs; ++i) {
    std::string input = sound;
    const size_t at = random() % sound.size();
    const int bit = static_cast<int>(random() % 8);
    input[at] = static_cast<char>(input[at] ^ (1 << bit));
    Try("bit " + std::to_string(bit) + " at " + std::to_string(at), input, t, other, sheet, tally, false);
    Reset();
  }
  Expect(tally, inputs);
}

TEST_F(DamagedFiles, AbsurdNumbersNamesAndNesting) {
  struct TCase {
    std::string name, from, to;
    bool refused;
  };
  const std::vector<TCase> cases = {
      {"source page far away", "<page0>", "<page99999>", true},
      {"source page past 32 bits", "<page0>", "<page4294967296>", true},
      {"source page negative", "<page0>", "<page-1>", true},
      {"dictionary past the source pages", "name=\"Page0.Memo1\"", "name=\"Page70000.Memo1\"", true},
      {"dictionary past 32 bits", "name=\"Page0.Memo1\"", "name=\"Page99999999999.Memo1\"", true},
      {"dictionary without a dot", "name=\"Page0.Memo1\"", "name=\"Page0Memo1\"", true},
      {"dictionary cut", "<m1 name=\"Page0.Memo1\"/>", "<m1 name=\"/>", true},
      {"dictionary twice", "<m1 name=\"Page0.Memo1\"/>", "<m1 name=\"Page0.Memo1\"/><M1 name=\"Page0.Memo2\"/>", true},
      {"object of no class", "<b1 ", "<TqvxNoSuchView ", true},
      {"object of another kind", "<b1 ", "<TqvxReport ", true},
      {"object that needs a window", "<b1 ", "<TqvxDialogPage ", true},
      {"outline page past 32 bits", "page=\"0\" top=\"5\"", "page=\"99999999999\" top=\"5\"", true},
      {"outline page far away", "page=\"0\" top=\"5\"", "page=\"2000000000\" top=\"-2000000000\"", false},
      {"logical number no number", "<page n=\"1\"", "<page n=\"x\"", true},
      {"logical total past 32 bits", " t=\"3\"", " t=\"77777777777\"", true},
      {"picture index far away", "ImageIndex=\"1\"", "ImageIndex=\"2147483647\"", false},
      {"picture index negative", "ImageIndex=\"1\"", "ImageIndex=\"-9\"", false},
      {"picture index past 32 bits", "ImageIndex=\"1\"", "ImageIndex=\"99999999999\"", false},
      {"picture of odd length", "<item stream=\"424D", "<item stream=\"424", false},
      {"picture as a huge bitmap", "<item stream=\"424D",
       "<item stream=\"424DFFFFFFFF0000000036000000280000007F7F7F7F7F7F7F7F", false},
      {"band at an absurd place", " t=\"0\"", " t=\"1E308\" l=\"-1E308\" w=\"NaN\" h=\"INF\"", false},
      {"escape that is no number", "Bölüm 0", "B&#x99999999999;", true},
      {"report settings out of range", "PreviewOptions.OutlineWidth=\"120\"",
       "PreviewOptions.OutlineWidth=\"99999999999\"", true},
      {"unknown part", "<anchors>", "<cutted><b1/></cutted><anchors>", false},
  };
  TTally tally;
  for (const TCase& c : cases) {
    std::string input = sound;
    Replace(input, c.from, c.to);
    Try(c.name, input, t, other, sheet, tally, c.refused);
    Reset();
  }
  // Nesting far past any report's depth, and a tag that never ends.
  const std::string head = sound.substr(0, sound.find("<previewpages>") + 14) + "<page0>";
  std::string deep = head;
  for (int i = 0; i < 100000; ++i) deep += "<b1>";
  Try("deep nesting", deep + "</preparedreport>", t, other, sheet, tally, true);
  Reset();
  std::string deepOutline = sound;
  std::string items;
  for (int i = 0; i < 3000; ++i) items += "<item text=\"x\">";
  Replace(deepOutline, "<outline>", "<outline>" + items);
  Try("deep outline", deepOutline, t, other, sheet, tally, true);
  Reset();
  Try("endless tag", head + std::string(1000000, 'x'), t, other, sheet, tally, true);
  Reset();
  Expect(tally, static_cast<int>(cases.size()) + 3);
}

TEST_F(DamagedFiles, APartlyLoadedPageIsCheckedWhenItIsRead) {
  // The third page stays in the file until it is asked for; its damage shows then, every time, and no other page
  // is touched by it.
  std::string input = sound;
  const size_t third = input.find("<page0 ld=\"0\">");
  ASSERT_NE(third, std::string::npos);
  input.replace(input.find("<b2 ", third), 4, "<TForm ");
  input.replace(input.find("</b2>", third), 5, "</TForm>");
  pagestest::Load(t.Pages(), input, true);
  ASSERT_EQ(t.Pages()->GetCount(), 3);
  EXPECT_THROW(t.Pages()->GetPage(2), TqvxInvalidXMLException);
  EXPECT_THROW(t.Pages()->GetPage(2), TqvxInvalidXMLException);
  EXPECT_FALSE(t.Pages()->PagesItem()->Items(2)->Loaded());
  EXPECT_EQ(pagestest::Texts(t.Pages()->GetPage(1)).back(), L"Sayfa 2");
  EXPECT_THROW(pagestest::Saved(t.Pages()), TqvxInvalidXMLException);
}

}  // namespace
