// Text objects: bracketed expressions through the report's calculator, display formats under Turkish separators,
// highlights, repeated values, measuring, splitting, flowing, drawing, storage and the print cycle.
#include "report/model/qvxClassMemo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <sstream>

#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/filer.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxVariables.h"
#include "report/model/qvxXML.h"
#include "testreport.h"

using rtl::String;
using rtl::Variant;
using vcl::TColor;

namespace {

constexpr TColor White = 0xFFFFFF;
constexpr TColor Red = 0x0000FF;
constexpr TColor Green = 0x00FF00;
constexpr TColor Yellow = 0x00FFFF;

String DropBreak(const String& s) {
  return s.size() >= 2 && s.substr(s.size() - 2) == L"\r\n" ? s.substr(0, s.size() - 2) : s;
}

class MemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = rtl::FormatSettings;
    rtl::FormatSettings.DecimalSeparator = L',';
    rtl::FormatSettings.ThousandSeparator = L'.';
    rtl::FormatSettings.DateSeparator = L'.';
    rtl::FormatSettings.ShortDateFormat = L"dd.MM.yyyy";
    rtl::FormatSettings.TimeSeparator = L':';
  }
  void TearDown() override {
    report->Free();
    rtl::FormatSettings = saved;
  }
  // A text object of the report with a font whose text height is exactly 12 report units.
  TqvxMemoView* Memo(const String& text, Extended width = 200, Extended height = 40) {
    auto* m = new TqvxMemoView(report);
    m->SetBounds(10, 10, width, height);
    m->Font()->SetName(L"Tahoma");
    m->Font()->SetSize(9);
    m->SetText(text);
    return m;
  }
  // One print cycle's data step; the caller ends it with AfterPrint.
  String Print(TqvxCustomMemoView* m) {
    m->BeforePrint();
    m->GetData();
    return DropBreak(m->Text());
  }

  rtl::TFormatSettings saved;
  TqvxTestReport* report = new TqvxTestReport(nullptr);
};

// --- Expressions -------------------------------------------------------------------------------------------------

TEST_F(MemoTest, ExpressionsTakeTheirFormatsInOrderAndTheLastServesTheRest) {
  report->Values = {{L"Sum", Variant(3.5)}, {L"Count", Variant(4)}};
  TqvxMemoView* m = Memo(L"Total: [Sum] of [Count]");
  TqvxFormat* f1 = m->Formats()->Add<TqvxFormat>();
  f1->Kind = fkNumeric;
  f1->FormatStr = L"%2.2f";
  TqvxFormat* f2 = m->Formats()->Add<TqvxFormat>();
  f2->Kind = fkNumeric;
  f2->FormatStr = L"%d";
  EXPECT_EQ(Print(m), L"Total: 3,50 of 4");
  m->AfterPrint();
  m->Formats()->Clear();
  m->DisplayFormat()->Kind = fkNumeric;
  m->DisplayFormat()->FormatStr = L"%2.2f";
  EXPECT_EQ(Print(m), L"Total: 3,50 of 4,00");
  m->AfterPrint();
  EXPECT_EQ(DropBreak(m->Text()), L"Total: [Sum] of [Count]");
}

const String kNotes = L"Görüşme notu: öğrenci İzmir'den\r\nıslak ŞEMSİYE";

struct ExpansionCase {
  const char* name;
  const wchar_t* delimiters;
  const wchar_t* text;
  const wchar_t* expected;
};

class ExpansionCases : public MemoTest, public ::testing::WithParamInterface<ExpansionCase> {};

TEST_P(ExpansionCases, ExpandAsExpected) {
  report->Values = {{L"1+1", Variant(2)},
                    {L"Copy('a]b', 1, 2)", Variant(L"a]")},
                    {L"Name", Variant(L"Şükrü Işık")},
                    {L"Inner", Variant(L"[Name]")},
                    {L"Zero", Variant(0)}};
  TqvxMemoView* m = Memo(GetParam().text);
  m->ExpressionDelimiters = GetParam().delimiters;
  m->GetData();
  EXPECT_EQ(m->Text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Memo, ExpansionCases,
    ::testing::Values(ExpansionCase{"NoOpening", L"[,]", L"a ] b\r\n\r\nc", L"a ] b\r\n\r\nc\r\n"},
                      ExpansionCase{"OwnDelimiters", L"<%,%>", L"a <%1+1%> b", L"a 2 b\r\n"},
                      ExpansionCase{"OwnDelimitersLeaveBrackets", L"<%,%>", L"[1+1] <%1+1%>", L"[1+1] 2\r\n"},
                      ExpansionCase{"BracketInQuotes", L"[,]", L"[Copy('a]b', 1, 2)]", L"a]\r\n"},
                      ExpansionCase{"TurkishValue", L"[,]", L"Ad: [Name].", L"Ad: Şükrü Işık.\r\n"},
                      ExpansionCase{"ValuesAreNotScannedAgain", L"[,]", L"[Inner]", L"[Name]\r\n"},
                      ExpansionCase{"UnknownIsEmpty", L"[,]", L"<[Nothing]>", L"<>\r\n"},
                      ExpansionCase{"ZeroShows", L"[,]", L"[Zero]", L"0\r\n"},
                      ExpansionCase{"TotalPagesWaitsForDrawing", L"[,]", L"[totalpages#]", L"[TotalPages#]\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// A text object prints at every record: what it makes of its template is kept between records, and must follow the
// values, the template, the delimiters and the formats as they change.
TEST_F(MemoTest, RecordAfterRecordFollowsValuesTemplateDelimitersAndFormats) {
  TqvxMemoView* m = Memo(L"No [No]: [Name] #[No] <%No%>");
  struct Step {
    std::function<void()> change;
    int no;
    const wchar_t* name;
    const wchar_t* expected;
  };
  const Step steps[] = {
      {[] {}, 1, L"Şükrü", L"No 1: Şükrü #1 <%No%>"},
      {[] {}, 2, L"[No]", L"No 2: [No] #2 <%No%>"},
      {[] {}, 3, L"", L"No 3:  #3 <%No%>"},
      {[&] { m->SetText(L"[Name]\r\n[No]"); }, 4, L"İpek", L"İpek\r\n4"},
      {[&] { m->ExpressionDelimiters = L"<%,%>"; m->SetText(L"No [No]: <%Name%>"); }, 5, L"Ömer", L"No [No]: Ömer"},
      {[&] {
         m->ExpressionDelimiters = L"[,]";
         m->SetText(L"[No] [No] [No]");
         TqvxFormat* f = m->Formats()->Add<TqvxFormat>();
         f->Kind = fkNumeric;
         f->FormatStr = L"%2.2f";
       },
       6, L"", L"6 6,00 6,00"},
      {[&] { m->Formats()->Clear(); }, 7, L"", L"7 7 7"},
      // The format written after the expression names its own decimal separator.
      {[&] { m->SetText(L"[No #n%2.1f] [No]"); }, 8, L"", L"8.0 8"},
  };
  for (const Step& step : steps) {
    step.change();
    report->Values = {{L"No", Variant(step.no)}, {L"Name", Variant(String(step.name))}};
    EXPECT_EQ(Print(m), step.expected) << step.no;
    m->AfterPrint();
  }
}

// An expression may print the same object again (a script asking for its text): the inner print has its own
// template and text, and the outer one goes on with what it had.
TEST_F(MemoTest, AnExpressionPrintingTheSameObjectLeavesTheOuterPrintWhole) {
  TqvxMemoView* m = Memo(L"<[A]|[B]>");
  report->Values = {{L"A", Variant(L"a")}, {L"B", Variant(L"b")}};
  String inner;
  bool once = false;
  report->OnCalc = [&](const String& expr) {
    if (expr != L"A" || once) return;
    once = true;
    m->GetData();
    inner = DropBreak(m->Text());
    m->SetText(L"<[A]|[B]>");
  };
  EXPECT_EQ(Print(m), L"<a|b>");
  EXPECT_EQ(inner, L"<a|b>");
  m->AfterPrint();
  EXPECT_EQ(Print(m), L"<a|b>");
}

TEST_F(MemoTest, ExpressionsOffLeaveTheText) {
  TqvxMemoView* m = Memo(L"[1+1]");
  m->AllowExpressions = false;
  m->GetData();
  EXPECT_EQ(DropBreak(m->Text()), L"[1+1]");
  EXPECT_TRUE(report->Asked.empty());
}

// --- Display formats ---------------------------------------------------------------------------------------------

struct FormatCase {
  const char* name;
  TqvxFormatKind kind;
  const wchar_t* formatStr;
  const wchar_t* decimal;
  const wchar_t* thousand;
  Variant value;
  const wchar_t* expected;
};

class FormatCases : public MemoTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(FormatCases, FormatAsExpected) {
  TqvxMemoView* m = Memo(L"");
  TqvxFormat* f = m->DisplayFormat();
  f->Kind = GetParam().kind;
  f->FormatStr = GetParam().formatStr;
  f->DecimalSeparator = GetParam().decimal;
  f->ThousandSeparator = GetParam().thousand;
  EXPECT_EQ(m->FormatData(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Memo, FormatCases,
    ::testing::Values(
        FormatCase{"Text", fkText, L"", L"", L"", Variant(L"İğne"), L"İğne"},
        FormatCase{"Null", fkNumeric, L"%2.2f", L"", L"", Variant::Null(), L""},
        FormatCase{"PrintfFloat", fkNumeric, L"%2.2f", L"", L"", Variant(3.5), L"3,50"},
        FormatCase{"PrintfInteger", fkNumeric, L"%d adet", L"", L"", Variant(12), L"12 adet"},
        FormatCase{"Picture", fkNumeric, L"#,##0.00", L"", L"", Variant(1234.5), L"1.234,50"},
        // The decimal place is found before thousands separators change, so swapping the two works.
        FormatCase{"SwappedSeparators", fkNumeric, L"#,##0.00", L".", L",", Variant(1234567.25), L"1,234,567.25"},
        FormatCase{"OwnDecimalOnly", fkNumeric, L"%2.2f", L"-", L"", Variant(3.5), L"3-50"},
        FormatCase{"Date", fkDateTime, L"dd.mm.yyyy", L"", L"", Variant::FromDate(rtl::EncodeDate(2024, 3, 5)),
                   L"05.03.2024"},
        FormatCase{"Time", fkDateTime, L"hh:nn", L"", L"",
                   Variant::FromDate(rtl::EncodeDate(2024, 3, 5) + rtl::EncodeTime(14, 30, 0, 0)), L"14:30"},
        FormatCase{"BooleanTrue", fkBoolean, L"No,Yes", L"", L"", Variant(true), L"Yes"},
        FormatCase{"BooleanFalse", fkBoolean, L"No,Yes", L"", L"", Variant(false), L"No"},
        FormatCase{"BooleanNull", fkBoolean, L"No,Yes", L"", L"", Variant::Null(), L""},
        FormatCase{"BadValueFallsBackToText", fkNumeric, L"%d", L"", L"", Variant(L"abc"), L"abc"},
        FormatCase{"BadFormatFallsBackToText", fkNumeric, L"%s%s%s", L"", L"", Variant(7), L"7"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MemoTest, SystemDotSeparatorGetsTheFormatsComma) {
  rtl::FormatSettings.DecimalSeparator = L'.';
  rtl::FormatSettings.ThousandSeparator = L',';
  report->Values = {{L"Sum", Variant(3.5)}};
  TqvxMemoView* m = Memo(L"[Sum]");
  m->DisplayFormat()->Kind = fkNumeric;
  m->DisplayFormat()->FormatStr = L"%2.2f";
  m->DisplayFormat()->DecimalSeparator = L",";
  EXPECT_EQ(Print(m), L"3,50");
}

TEST_F(MemoTest, FormatDescriptionAfterTheExpression) {
  rtl::FormatSettings.DecimalSeparator = L'.';
  report->Values = {{L"Sum", Variant(3.5)},
                    {L"Date", Variant::FromDate(rtl::EncodeDate(2024, 3, 5))},
                    {L"Ok", Variant(true)},
                    {L"Fn(' #x')", Variant(L"f")}};
  TqvxMemoView* m = Memo(L"[Sum #n%2,2f] [Date #Ddd.mm.yyyy] [Ok #bHayır,Evet] [Sum #] [Fn(' #x')]");
  EXPECT_EQ(Print(m), L"3,50 05.03.2024 Evet 3.5 f");
  // The calculator sees only the expression; a " #" inside a call's arguments is part of it.
  EXPECT_EQ(report->Asked, (std::vector<String>{L"Sum", L"Date", L"Ok", L"Sum", L"Fn(' #x')"}));
}

TEST_F(MemoTest, HideZerosHidesTheNumberNotTheText) {
  report->Values = {{L"N", Variant(0)}, {L"T", Variant(L"0")}, {L"F", Variant(0.0)}, {L"One", Variant(1)}};
  TqvxMemoView* m = Memo(L"<[N]|[T]|[F]|[One]>");
  m->HideZeros = true;
  EXPECT_EQ(Print(m), L"<|0||1>");
}

// A dataset of one record: "Puan" a number, "Notlar" a text blob.
class TStubDataSet : public TqvxDataSet {
  VCL_CLASS(TStubDataSet, TqvxDataSet)
 public:
  explicit TStubDataSet(vcl::TComponent* owner) : TqvxDataSet(owner) {}
  Variant GetValue(const String& name) override { return name == L"Puan" ? Points : Variant::Null(); }
  String GetDisplayText(const String& name) override {
    return name == L"Puan" ? L"puan " + rtl::VarToStr(Points) : L"";
  }
  bool IsBlobField(const String& name) override { return name == L"Notlar"; }
  void AssignBlobTo(const String& name, rtl::TObject* obj) override {
    if (auto* lines = dynamic_cast<TqvxWideStrings*>(obj); lines && name == L"Notlar") lines->SetText(Notes);
  }
  Variant Points = Variant(0);
  String Notes;
};
VCL_REGISTER(TStubDataSet) {}

TEST_F(MemoTest, FieldTextFollowsTheDisplayFormatAndHidesZeros) {
  auto* ds = new TStubDataSet(nullptr);
  ds->SetUserName(L"Sonuc");
  TqvxMemoView* m = Memo(L"");
  m->SetDataSet(ds);
  m->DataField = L"Puan";
  m->HideZeros = true;
  EXPECT_EQ(Print(m), L"");
  m->AfterPrint();
  ds->Points = Variant(12.5);
  EXPECT_EQ(Print(m), L"puan 12,5");
  EXPECT_EQ(m->Value(), Variant(12.5));
  m->AfterPrint();
  // A field's text is data, not design: the print cycle leaves it.
  EXPECT_EQ(DropBreak(m->Text()), L"puan 12,5");
  m->DisplayFormat()->Kind = fkNumeric;
  m->DisplayFormat()->FormatStr = L"%2.2f";
  EXPECT_EQ(Print(m), L"12,50");
  m->AfterPrint();

  ds->Notes = kNotes;
  m->DataField = L"Notlar";
  EXPECT_EQ(Print(m), kNotes);
  m->AfterPrint();

  // The designer shows which field the object prints.
  m->SetIsDesigning(true);
  vcl::TBitmap bmp(300, 60);
  m->Draw(bmp.Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(DropBreak(m->Text()), L"[Sonuc.\"Notlar\"]");
  m->Free();
  ds->Free();
}

// --- Highlights, repeated values and the print cycle --------------------------------------------------------------

TEST_F(MemoTest, FirstTrueHighlightAppliesAndAfterPrintRestoresTheTemplate) {
  report->Values = {
      {L"Name", Variant(L"Ayşe")}, {L"C1", Variant(false)}, {L"C2", Variant(true)}, {L"C3", Variant(true)}};
  TqvxMemoView* m = Memo(L"Ad: [Name]");
  m->Highlights()->Add<TqvxHighlight>()->Condition = L"C1";
  TqvxHighlight* h2 = m->Highlights()->Add<TqvxHighlight>();
  h2->Condition = L"C2";
  h2->Font()->SetColor(Red);
  h2->SetColor(Green);
  h2->ApplyFrame = true;
  h2->Frame()->Typ = TqvxFrameTypes{ftLeft, ftTop};
  h2->Visible = false;
  TqvxHighlight* h3 = m->Highlights()->Add<TqvxHighlight>();
  h3->Condition = L"C3";
  h3->Font()->SetColor(Yellow);
  m->Highlights()->Add<TqvxHighlight>();  // no condition: never asked

  EXPECT_EQ(Print(m), L"Ad: Ayşe");
  EXPECT_EQ(report->Asked, (std::vector<String>{L"Name", L"C1", L"C2"}));
  EXPECT_TRUE(m->HighlightActivated());
  EXPECT_EQ(m->Font()->Color(), Red);
  EXPECT_EQ(m->Color(), Green);
  EXPECT_TRUE(m->Frame()->Typ.Contains(ftTop));
  EXPECT_FALSE(m->Visible());

  m->AfterPrint();
  EXPECT_FALSE(m->HighlightActivated());
  EXPECT_EQ(DropBreak(m->Text()), L"Ad: [Name]");
  EXPECT_EQ(m->Font()->Color(), 0);
  EXPECT_EQ(m->Font()->Name(), L"Tahoma");
  EXPECT_EQ(m->Color(), clTransparent);
  EXPECT_TRUE(m->Frame()->Typ.Empty());
  EXPECT_TRUE(m->Visible());

  // The next print evaluates afresh from the design text.
  report->Values[L"Name"] = Variant(L"Işıl");
  report->Values[L"C2"] = Variant(false);
  EXPECT_EQ(Print(m), L"Ad: Işıl");
  EXPECT_EQ(m->Font()->Color(), Yellow);
  m->AfterPrint();
  EXPECT_EQ(m->Font()->Color(), 0);
}

TEST_F(MemoTest, HighlightOfAParentFontKeepsFollowingTheParent) {
  auto* box = new TqvxMemoView(report);
  TqvxMemoView* m = new TqvxMemoView(box);
  ASSERT_TRUE(m->ParentFont());
  report->Values = {{L"C", Variant(true)}};
  m->Highlight()->Condition = L"C";
  Print(m);
  EXPECT_FALSE(m->ParentFont());
  m->AfterPrint();
  EXPECT_TRUE(m->ParentFont());
  box->Font()->SetSize(14);
  EXPECT_EQ(m->Font()->Size(), 14);
}

TEST_F(MemoTest, SuppressRepeatedEmptiesAValueEqualToThePrevious) {
  TqvxMemoView* m = Memo(L"[V]");
  m->SuppressRepeated = true;
  std::vector<String> printed;
  for (int v : {1, 1, 2, 2}) {
    report->Values[L"V"] = Variant(v);
    printed.push_back(Print(m));
    m->AfterPrint();
  }
  EXPECT_EQ(printed, (std::vector<String>{L"1", L"", L"2", L""}));
  m->ResetSuppress();
  printed.clear();
  printed.push_back(Print(m));
  EXPECT_EQ(printed, std::vector<String>{L"2"});
}

TEST_F(MemoTest, MacrosAreCompletedWhenDrawn) {
  report->Values = {{L"Page#", Variant(2)}};
  TqvxMemoView* m = Memo(L"Sayfa [Page#] / [TotalPages#] [CopyName#]");
  EXPECT_EQ(Print(m), L"Sayfa 2 / [TotalPages#] [CopyName#]");
  EXPECT_EQ(m->GetComponentText(), m->Text());
  qvxGlobalVariables().SetVariable(L"CopyName", Variant(L"Kopya "));
  m->TotalPages = 7;
  m->CopyNo = 3;
  vcl::TBitmap bmp(300, 60);
  m->Draw(bmp.Canvas(), 1, 1, 0, 0);
  qvxGlobalVariables().DeleteVariable(L"CopyName");
  EXPECT_EQ(DropBreak(m->Text()), L"Sayfa 2 / 7 Kopya 3");
  m->SetText(L"[COPYNAME#]|[TOTALPAGES]");
  m->Draw(bmp.Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(DropBreak(m->Text()), L"|[TOTALPAGES]");
  EXPECT_EQ(DropBreak(m->GetComponentText()), L"|7");
}

// --- Measuring and splitting --------------------------------------------------------------------------------------

TEST_F(MemoTest, HeightAndWidthIncludeGapsAndFrameLines) {
  TqvxMemoView* m = Memo(L"bir\r\niki\r\nüç");
  EXPECT_EQ(m->CalcHeight(), 3 * 14 + 2);  // lines of 12 plus spacing 2, gaps of 1
  m->Frame()->Typ = TqvxFrameTypes{ftTop, ftBottom};
  m->Frame()->SetWidth(2);
  EXPECT_EQ(m->CalcHeight(), 46);  // 45.5 goes to the even neighbour
  m->Frame()->DropShadow = true;
  EXPECT_EQ(m->CalcHeight(), 50);

  TqvxMemoView* w = Memo(L"");
  EXPECT_EQ(w->CalcWidth(), 4);
  w->SetText(L"MMMM");
  const Extended four = w->CalcWidth();
  w->SetText(L"MMMMMMMM\r\nM");
  EXPECT_NEAR(static_cast<double>(w->CalcWidth() - 4), 2 * static_cast<double>(four - 4), 1.0);
  EXPECT_GT(four, 20);
}

TEST_F(MemoTest, AutoWidthKeepsTheRightEdgeForRightAlignment) {
  TqvxMemoView* m = Memo(L"İİİ", 300, 20);
  m->AutoWidth = true;
  m->HAlign = haRight;
  const Extended right = m->Left() + m->Width();
  vcl::TBitmap bmp(400, 40);
  m->Draw(bmp.Canvas(), 1, 1, 0, 0);
  EXPECT_LT(m->Width(), 100);
  EXPECT_NEAR(static_cast<double>(m->Left() + m->Width()), static_cast<double>(right), 1e-9);
  EXPECT_NEAR(static_cast<double>(m->Width()), static_cast<double>(m->CalcWidth()), 0.5);
}

TEST_F(MemoTest, SplitOverPagesLosesNoLine) {
  String text;
  for (int i = 1; i <= 10; ++i) text += L"Satır " + rtl::IntToStr(i) + L"\r\n";
  TqvxMemoView* m = Memo(text, 200, 50);  // a box of 49 + 1 holds three lines of 14
  auto* tmpl = new TqvxMemoView(nullptr);
  m->InitPart();
  std::vector<String> parts;
  std::vector<Extended> free;
  for (int guard = 0; guard < 10; ++guard) {
    free.push_back(m->DrawPart());
    parts.push_back(DropBreak(m->Text()));
    const String attrs = m->Diff(tmpl);
    EXPECT_EQ(attrs.find(L"ParaBreak"), String::npos) << attrs;
    if (m->PartMemo().empty()) break;
  }
  tmpl->Free();
  ASSERT_EQ(parts.size(), 4u);
  EXPECT_EQ(parts[0], L"Satır 1\r\nSatır 2\r\nSatır 3");
  EXPECT_EQ(parts[3], L"Satır 10");
  EXPECT_EQ(parts[0] + L"\r\n" + parts[1] + L"\r\n" + parts[2] + L"\r\n" + parts[3] + L"\r\n", text);
  EXPECT_EQ(free[0], 8);
  EXPECT_EQ(free[3], 50 - 14);
}

TEST_F(MemoTest, ParagraphCutContinuesWithoutIndent) {
  const String text = L"bir iki üç dört beş altı yedi sekiz dokuz on";
  TqvxMemoView* m = Memo(text, 60, 30);  // two lines per part
  m->ParagraphGap = 20;
  auto* tmpl = new TqvxMemoView(nullptr);
  m->InitPart();
  String joined;
  std::vector<String> diffs;
  for (int guard = 0; guard < 20; ++guard) {
    m->DrawPart();
    const String part = DropBreak(m->Text());
    ASSERT_FALSE(part.empty());
    joined += (joined.empty() ? L"" : L" ") + part;
    diffs.push_back(m->Diff(tmpl));
    if (m->PartMemo().empty()) break;
  }
  tmpl->Free();
  ASSERT_GE(diffs.size(), 2u);
  EXPECT_NE(diffs[0].find(L"LastParaBreak=\"1\""), String::npos) << diffs[0];
  EXPECT_EQ(diffs[0].find(L"FirstParaBreak"), String::npos) << diffs[0];
  EXPECT_NE(diffs[1].find(L"FirstParaBreak=\"1\""), String::npos) << diffs[1];
  EXPECT_EQ(diffs.back().find(L"LastParaBreak"), String::npos) << diffs.back();
  EXPECT_EQ(joined, text);
}

TEST_F(MemoTest, TooLowBoxGivesItsHeight) {
  TqvxMemoView* m = Memo(L"bir\r\niki", 100, 5);
  m->InitPart();
  EXPECT_EQ(m->DrawPart(), 5);
  EXPECT_EQ(m->PartMemo(), L"bir\r\niki\r\n");
  EXPECT_EQ(m->Text(), L"");
}

TEST_F(MemoTest, FlowToTakesWhatDoesNotFit) {
  TqvxMemoView* m = Memo(L"1\r\n2\r\n3\r\n4\r\n5", 100, 30);
  TqvxMemoView* next = Memo(L"[x]", 100, 100);
  m->SetFlowTo(next);
  m->GetData();
  EXPECT_EQ(DropBreak(m->Text()), L"1\r\n2");
  EXPECT_EQ(DropBreak(next->Text()), L"3\r\n4\r\n5");
  EXPECT_FALSE(next->AllowExpressions);
  next->Free();
  EXPECT_EQ(m->FlowTo(), nullptr);
  m->GetData();  // no dangling reference
}

TEST_F(MemoTest, WrapTextWrapsOrDropsTags) {
  TqvxMemoView* m = Memo(L"bir\r\n<b>iki</b>");
  m->AllowHTMLTags = true;
  EXPECT_EQ(m->WrapText(false), L"bir\r\niki\r\n");
  EXPECT_EQ(m->WrapText(true), L"bir\r\niki");
}

// --- Drawing -----------------------------------------------------------------------------------------------------

int DarkIn(vcl::TBitmap& bmp, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const TColor c = bmp.Canvas()->Pixels(x, y) & 0xFFFFFF;
      if ((c & 0xFF) < 0x80 && ((c >> 8) & 0xFF) < 0x80 && ((c >> 16) & 0xFF) < 0x80) ++n;
    }
  return n;
}

std::unique_ptr<vcl::TBitmap> Sheet(int w, int h) {
  auto bmp = std::make_unique<vcl::TBitmap>(w, h, vcl::pf32bit);
  bmp->Canvas()->Brush()->SetColor(White);
  bmp->Canvas()->FillRect(vcl::TRect(0, 0, w, h));
  return bmp;
}

TEST_F(MemoTest, DrawsFillFrameAndAlignedText) {
  TqvxMemoView* m = Memo(L"ŞŞŞŞ", 180, 40);
  m->SetColor(Yellow);
  m->Frame()->Typ = TqvxFrameTypes{ftLeft, ftTop, ftRight, ftBottom};
  m->Frame()->SetColor(Red);
  auto bmp = Sheet(200, 60);
  m->Draw(bmp->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(bmp->Canvas()->Pixels(10, 30) & 0xFFFFFF, Red);
  EXPECT_EQ(bmp->Canvas()->Pixels(150, 40) & 0xFFFFFF, Yellow);
  EXPECT_EQ(bmp->Canvas()->Pixels(5, 5) & 0xFFFFFF, White);
  EXPECT_GT(DarkIn(*bmp, 11, 11, 90, 30), 20);
  EXPECT_EQ(DarkIn(*bmp, 100, 11, 189, 49), 0);

  m->HAlign = haRight;
  m->VAlign = vaBottom;
  bmp = Sheet(200, 60);
  m->Draw(bmp->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(DarkIn(*bmp, 11, 11, 100, 49), 0);
  EXPECT_GT(DarkIn(*bmp, 100, 30, 189, 49), 20);
  EXPECT_EQ(DarkIn(*bmp, 100, 11, 189, 25), 0);

  // At twice the scale the text lands twice as far in.
  m->HAlign = haLeft;
  m->VAlign = vaTop;
  bmp = Sheet(420, 120);
  m->Draw(bmp->Canvas(), 2, 2, 0, 0);
  EXPECT_EQ(bmp->Canvas()->Pixels(300, 80) & 0xFFFFFF, Yellow);
  EXPECT_EQ(DarkIn(*bmp, 0, 0, 21, 120), 0);
  EXPECT_GT(DarkIn(*bmp, 22, 22, 180, 60), 40);
}

TEST_F(MemoTest, UnderlinesRuleEveryLine) {
  TqvxMemoView* m = Memo(L"", 180, 60);
  m->Underlines = true;
  auto bmp = Sheet(200, 80);
  m->Draw(bmp->Canvas(), 1, 1, 0, 0);
  // Lines of 14 from the top + 14 + (GapY - LineSpacing + 1) = 24, then 38, 52, 66.
  for (int y : {24, 38, 52, 66}) EXPECT_EQ(bmp->Canvas()->Pixels(100, y) & 0xFFFFFF, 0) << y;
  EXPECT_EQ(bmp->Canvas()->Pixels(100, 31) & 0xFFFFFF, White);
  EXPECT_EQ(bmp->Canvas()->Pixels(100, 70) & 0xFFFFFF, White);
}

TEST_F(MemoTest, TextRectangleFollowsGapsAndFrameLines) {
  TqvxMemoView* m = Memo(L"x", 100, 40);
  m->Frame()->SetWidth(3);
  m->Frame()->Typ = TqvxFrameTypes{ftLeft, ftBottom};
  m->BeginDraw(nullptr, 2, 1, 5, 0);
  // X = 25, Y = 10, X1 = 225, Y1 = 50; left line R((6 - 1) / 2) = 2, bottom line R(1.5) = 2.
  EXPECT_EQ(m->TextRect().Left, 25 + 4 + 2);
  EXPECT_EQ(m->TextRect().Top, 10 + 1);
  EXPECT_EQ(m->TextRect().Right, 225 - 4 + 1);
  EXPECT_EQ(m->TextRect().Bottom, 50 - 1 + 1 - 2);
}

// --- Storage -----------------------------------------------------------------------------------------------------

const String kTurkish = L"Öğrenci: Şükrü Işık\r\nİkinci satır ığüşöç";

TEST_F(MemoTest, TurkishTextAndCollectionsSurviveTheTemplate) {
  TqvxMemoView* m = Memo(kTurkish);
  m->SetName(L"Memo1");
  m->GapX = 5;
  m->HAlign = haCenter;
  m->SetRotation(450);
  TqvxFormat* f1 = m->Formats()->Add<TqvxFormat>();
  f1->Kind = fkNumeric;
  f1->FormatStr = L"%2.2f";
  f1->DecimalSeparator = L",";
  m->Formats()->Add<TqvxFormat>()->Kind = fkDateTime;
  m->Highlights()->Add<TqvxHighlight>()->Condition = L"Value > 1";
  m->Highlights()->Add<TqvxHighlight>()->Condition = L"Value < 0";
  rtl::TMemoryStream stream;
  report->SaveToStream(stream);

  auto* back = new TqvxTestReport(nullptr);
  stream.SetPosition(0);
  back->LoadFromStream(stream);
  // A template always comes back with its data page in front.
  ASSERT_EQ(back->Objects().size(), 2u);
  EXPECT_NE(dynamic_cast<TqvxDataPage*>(back->Objects()[0]), nullptr);
  auto* r = dynamic_cast<TqvxMemoView*>(back->Objects()[1]);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(DropBreak(r->Text()), kTurkish);
  EXPECT_EQ(r->GapX, 5);
  EXPECT_EQ(r->HAlign, haCenter);
  EXPECT_EQ(r->Rotation(), 90);
  ASSERT_EQ(r->Formats()->Count(), 2);
  EXPECT_EQ(r->Formats()->Items(0)->FormatStr, L"%2.2f");
  EXPECT_EQ(r->Formats()->Items(0)->DecimalSeparator, L",");
  EXPECT_EQ(r->Formats()->Items(1)->Kind, fkDateTime);
  ASSERT_EQ(r->Highlights()->Count(), 2);
  EXPECT_EQ(r->Highlights()->Items(1)->Condition, L"Value < 0");
  back->Free();
}

TEST_F(MemoTest, OneFormatAndOneHighlightGoAsProperties) {
  TqvxMemoView* m = Memo(L"x");
  m->DisplayFormat()->Kind = fkBoolean;
  m->DisplayFormat()->FormatStr = L"Hayır,Evet";
  m->Highlight()->Condition = L"Value = 1";
  m->Highlight()->Font()->SetColor(Red);
  rtl::TMemoryStream stream;
  report->SaveToStream(stream);
  auto* back = new TqvxTestReport(nullptr);
  stream.SetPosition(0);
  back->LoadFromStream(stream);
  auto* r = dynamic_cast<TqvxMemoView*>(back->Objects().at(1));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->Formats()->Count(), 1);
  EXPECT_EQ(r->DisplayFormat()->FormatStr, L"Hayır,Evet");
  EXPECT_EQ(r->DisplayFormat()->Kind, fkBoolean);
  EXPECT_EQ(r->Highlights()->Count(), 1);
  EXPECT_EQ(r->Highlight()->Condition, L"Value = 1");
  EXPECT_EQ(r->Highlight()->Font()->Color(), Red);
  back->Free();
}

TEST_F(MemoTest, FormResourcesStoreTheLinesAsUTF8W) {
  TqvxMemoView* m = Memo(kTurkish);
  const std::vector<vcl::TFormProp> props = vcl::WriteProperties(m, nullptr);
  auto utf8w =
      std::find_if(props.begin(), props.end(), [](const vcl::TFormProp& p) { return p.Name == L"Memo.UTF8W"; });
  ASSERT_NE(utf8w, props.end());
  auto* other = new TqvxMemoView(report);
  vcl::ReadProperties(other, props, nullptr, L"test");
  EXPECT_EQ(DropBreak(other->Text()), kTurkish);
  EXPECT_EQ(other->Font()->Name(), L"Tahoma");
}

TEST_F(MemoTest, PreparedPageAttributes) {
  TqvxMemoView* m = Memo(L"bir & iki\r\nüç");
  auto* tmpl = new TqvxMemoView(nullptr);
  tmpl->SetBounds(10, 10, 200, 40);
  tmpl->Font()->Assign(m->Font());
  EXPECT_EQ(m->Diff(tmpl), L" u=\"" + qvxStrToXML(L"bir & iki\r\nüç") + L"\"");
  m->SetText(L"");
  m->GapY = 3;
  m->VAlign = vaCenter;
  m->DisplayFormat()->FormatStr = L"%d";
  EXPECT_EQ(m->Diff(tmpl), L" GapY=\"3\" u=\"\" VAlign=\"2\" DisplayFormat.FormatStr=\"%d\"");
  EXPECT_EQ(tmpl->Formats()->Count(), 0);
  tmpl->Free();
}

TEST_F(MemoTest, SettersAndDescriptions) {
  TqvxMemoView* m = Memo(L"");
  m->SetRotation(-90);
  EXPECT_EQ(m->Rotation(), -90);
  m->SetRotation(720);
  EXPECT_EQ(m->Rotation(), 0);
  EXPECT_FALSE(m->qvComponentStyle().Contains(csDefaultDiff));
  EXPECT_TRUE(m->qvComponentStyle().Contains(csHandlesNestedProperties));
  EXPECT_TRUE(m->Value().IsNull());
  EXPECT_EQ(m->GetDescription(), qvxResources().Get(L"obText"));
  auto* sys = new TqvxSysMemoView(report);
  EXPECT_EQ(sys->GetDescription(), qvxResources().Get(L"obSysText"));
  EXPECT_EQ(vcl::ClassOf(sys)->FindProperty(L"DataField"), nullptr);
  EXPECT_NE(vcl::ClassOf(m)->FindProperty(L"DataField"), nullptr);
  m->SetFlowTo(m);
  EXPECT_EQ(m->FlowTo(), nullptr);
}

}  // namespace
