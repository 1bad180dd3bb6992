#include "report/model/qvxClass.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "report/model/qvxClassBands.h"
#include "testreport.h"

using rtl::String;

// A printable object that publishes what views publish.
class TqvxTestView : public TqvxReportComponent {
  VCL_CLASS(TqvxTestView, TqvxReportComponent)
 public:
  explicit TqvxTestView(vcl::TComponent* owner) : TqvxReportComponent(owner) {}
  void Draw(vcl::TCanvas*, Extended, Extended, Extended, Extended) override {}
  bool IsFontStored() const { return !ParentFont(); }
  TqvxAlign Align = baNone;
};

VCL_REGISTER(TqvxTestView) {
  cls.Prop(L"Align", &TqvxTestView::Align).Default(baNone);
  cls.Prop(L"Left", &TqvxComponent::Left, &TqvxComponent::SetLeft);
  cls.Prop(L"Top", &TqvxComponent::Top, &TqvxComponent::SetTop);
  cls.Prop(L"Width", &TqvxComponent::Width, &TqvxComponent::SetWidth);
  cls.Prop(L"Height", &TqvxComponent::Height, &TqvxComponent::SetHeight);
  cls.Prop(L"Visible", &TqvxComponent::Visible, &TqvxComponent::SetVisible).Default(true);
  cls.Prop(L"Font", &TqvxComponent::Font, &TqvxComponent::SetFont).Stored(&TqvxTestView::IsFontStored);
  cls.Prop(L"ParentFont", &TqvxComponent::ParentFont, &TqvxComponent::SetParentFont).Default(true);
}

class TqvxTestMemoView : public TqvxTestView {
  VCL_CLASS(TqvxTestMemoView, TqvxTestView)
 public:
  explicit TqvxTestMemoView(vcl::TComponent* owner) : TqvxTestView(owner) {}
};
VCL_REGISTER(TqvxTestMemoView) {}

namespace {

TqvxTestView* View(TqvxComponent* parent, const String& name, Extended l, Extended t, Extended w, Extended h,
                   TqvxAlign align = baNone) {
  auto* v = new TqvxTestView(parent);
  if (!name.empty()) v->SetName(name);
  v->SetBounds(l, t, w, h);
  v->Align = align;
  return v;
}

class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = rtl::FormatSettings.DecimalSeparator;
    rtl::FormatSettings.DecimalSeparator = L'.';
  }
  wchar_t saved = L'.';
  void TearDown() override {
    report->Free();
    rtl::FormatSettings.DecimalSeparator = saved;
  }
  TqvxTestReport* report = new TqvxTestReport(nullptr);
};

TEST_F(TreeTest, ObjectsBelongToTheirReportAndLieInTheirParent) {
  auto* page = View(report, L"Page1", 0, 0, 500, 500);
  auto* band = View(page, L"Band1", 0, 10, 500, 50);
  auto* memo = new TqvxTestMemoView(band);
  EXPECT_EQ(page->Owner(), report);
  EXPECT_EQ(memo->Owner(), report);
  EXPECT_EQ(memo->Parent(), band);
  EXPECT_EQ(band->Objects().size(), 1u);
  EXPECT_EQ(memo->Report(), report);
  EXPECT_EQ(memo->BaseName(), L"TestMemo");
  EXPECT_EQ(page->BaseName(), L"Test");
  EXPECT_EQ(memo->Font()->Name(), L"Arial");
  EXPECT_EQ(memo->Font()->Size(), 10);
  EXPECT_TRUE(memo->ParentFont());
  EXPECT_TRUE(memo->qvComponentStyle().Contains(csPreviewVisible));

  memo->SetBounds(3, 4, 5, 6);
  EXPECT_EQ(memo->AbsLeft(), 3);
  EXPECT_EQ(memo->AbsTop(), 14);

  memo->SetParent(page);
  EXPECT_TRUE(band->Objects().empty());
  EXPECT_EQ(page->Objects().back(), memo);
  memo->Free();
  EXPECT_EQ(page->Objects().size(), 1u);
  EXPECT_EQ(report->ComponentCount(), 2);
}

TEST_F(TreeTest, FontsFollowTheirParents) {
  auto* parent = View(report, L"P", 0, 0, 10, 10);
  auto* child = View(parent, L"C", 0, 0, 1, 1);
  auto* grandchild = View(child, L"G", 0, 0, 1, 1);
  auto* own = View(parent, L"O", 0, 0, 1, 1);
  own->Font()->SetSize(8);
  EXPECT_FALSE(own->ParentFont());

  parent->Font()->SetSize(14);
  EXPECT_EQ(child->Font()->Size(), 14);
  EXPECT_EQ(grandchild->Font()->Size(), 14);
  EXPECT_TRUE(child->ParentFont());
  EXPECT_EQ(own->Font()->Size(), 8);

  own->SetParentFont(true);
  EXPECT_EQ(own->Font()->Size(), 14);
  EXPECT_TRUE(own->ParentFont());
  parent->Font()->SetStyle(vcl::TFontStyles{vcl::fsBold});
  EXPECT_TRUE(own->Font()->Style().Contains(vcl::fsBold));
}

TEST_F(TreeTest, AllObjectsDepthFirstAndLookupIgnoringCase) {
  auto* a = View(report, L"A", 0, 0, 1, 1);
  auto* a1 = View(a, L"A1", 0, 0, 1, 1);
  auto* b = View(report, L"B", 0, 0, 1, 1);
  auto* a2 = View(a, L"A2", 0, 0, 1, 1);
  const std::vector<TqvxComponent*> expected{a, a1, a2, b};
  EXPECT_EQ(report->GetAllObjects(), expected);
  EXPECT_EQ(report->FindObject(L"a2"), a2);
  EXPECT_EQ(report->FindObject(L"none"), nullptr);
}

TEST_F(TreeTest, NamingRules) {
  auto* page = View(report, L"Page1", 0, 0, 1, 1);
  View(page, L"TestMemo1", 0, 0, 1, 1);
  View(page, L"testmemo2", 0, 0, 1, 1);
  auto* loose = new TqvxTestMemoView(report);  // owned by the report, in no tree
  loose->SetParent(nullptr);
  loose->SetName(L"TestMemo3");
  auto* memo = new TqvxTestMemoView(page);
  memo->CreateUniqueName();
  EXPECT_EQ(memo->Name(), L"TestMemo4");
  loose->Free();
  memo->SetName(L"TestMemo3");

  try {
    memo->SetName(L"TESTMEMO1");
    ADD_FAILURE() << "renamed onto another object's name";
  } catch (const EDuplicateName& e) {
    EXPECT_EQ(e.Message(), L"prDupl");
  }
  EXPECT_EQ(memo->Name(), L"TestMemo3");

  EXPECT_NO_THROW(memo->SetName(L"TESTMEMO3"));
  EXPECT_EQ(memo->Name(), L"TestMemo3");

  memo->SetAncestorFlag(true);
  try {
    memo->SetName(L"Other");
    ADD_FAILURE() << "renamed an object of the ancestor report";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), L"Could not rename TestMemo3, it was introduced in the ancestor report");
  }
  EXPECT_EQ(memo->Name(), L"TestMemo3");
}

TEST_F(TreeTest, ClearKeepsObjectsOfTheAncestorForm) {
  auto* page = View(report, L"Page1", 0, 0, 1, 1);
  auto* kept = View(page, L"Kept", 0, 0, 1, 1);
  View(kept, L"Inner", 0, 0, 1, 1);
  View(page, L"Gone1", 0, 0, 1, 1);
  View(page, L"Gone2", 0, 0, 1, 1);
  kept->SetAncestor(true);
  page->Clear();
  ASSERT_EQ(page->Objects().size(), 1u);
  EXPECT_EQ(page->Objects()[0], kept);
  EXPECT_TRUE(kept->Objects().empty());
  EXPECT_EQ(report->FindObject(L"Gone1"), nullptr);
}

TEST_F(TreeTest, RestrictionsApplyOnlyInTheDesigner) {
  auto* v = View(report, L"V", 1, 1, 1, 1);
  v->SetRestrictions(TqvxRestrictions{rfDontMove, rfDontSize});
  v->SetBounds(2, 2, 2, 2);
  EXPECT_EQ(v->Left(), 2);
  v->SetIsDesigning(true);
  v->SetBounds(3, 3, 3, 3);
  EXPECT_EQ(v->Left(), 2);
  EXPECT_EQ(v->Width(), 2);
}

TEST_F(TreeTest, PrintCycleRestoresTheBounds) {
  auto* v = View(report, L"V", 1, 2, 3, 4);
  v->BeforePrint();
  v->SetBounds(10, 20, 30, 40);
  const TqvxRect r = v->GetRealBounds();
  EXPECT_EQ(r.Right, 40);
  v->AfterPrint();
  EXPECT_EQ(v->Left(), 1);
  EXPECT_EQ(v->Top(), 2);
  EXPECT_EQ(v->Width(), 3);
  EXPECT_EQ(v->Height(), 4);
}

TEST_F(TreeTest, AlignChildren) {
  auto* box = View(report, L"Box", 0, 0, 200, 100);
  // Two overlapping left-aligned views in one row, one alone in another row.
  auto* l1 = View(box, L"L1", 30, 0, 20, 10, baLeft);
  auto* l2 = View(box, L"L2", 70, 5, 15, 10, baLeft);
  auto* lone = View(box, L"Lone", 90, 50, 10, 10, baLeft);
  // In a third row a width view between a left and a right view.
  auto* left = View(box, L"Left", 40, 70, 20, 10, baLeft);
  auto* width = View(box, L"Width", 80, 70, 5, 10, baWidth);
  auto* right = View(box, L"Right", 150, 70, 30, 10, baRight);
  auto* center = View(box, L"Center", 0, 30, 50, 5, baCenter);
  auto* bottom = View(box, L"Bottom", 0, 0, 5, 8, baBottom);
  bottom->SetTop(40);
  box->AlignChildren();
  EXPECT_EQ(l1->Left(), 0);
  EXPECT_EQ(l2->Left(), 20);
  EXPECT_EQ(lone->Left(), 0);
  EXPECT_EQ(left->Left(), 0);
  EXPECT_EQ(right->Left(), 170);
  EXPECT_EQ(width->Left(), 20);
  EXPECT_EQ(width->Width(), 150);
  EXPECT_EQ(center->Left(), 75);
  EXPECT_EQ(bottom->Top(), 92);

  auto* client = View(box, L"Client", 5, 5, 5, 5, baClient);
  box->AlignChildren();
  EXPECT_EQ(client->Left(), 0);
  EXPECT_EQ(client->Width(), 200);
  EXPECT_EQ(client->Height(), 100);
}

TEST_F(TreeTest, NegativePositionsSortBeforePositiveOnes) {
  // Keys sort -1, -5, 3: the right-aligned view has no neighbour after it and goes to the right edge.
  auto* box = View(report, L"Box", 0, 0, 100, 100);
  View(box, L"M5", -5, 0, 2, 10);
  View(box, L"M1", -1, 0, 2, 10);
  auto* r = View(box, L"R", 3, 0, 4, 10, baRight);
  box->AlignChildren();
  EXPECT_EQ(r->Left(), 96);
  auto* l = View(box, L"L", 50, 0, 4, 10, baLeft);
  box->AlignChildren();
  // The entry sorted just before L is M5: negative positions sort by their absolute value, -1 before -5.
  EXPECT_EQ(l->Left(), -3);
}

TEST_F(TreeTest, DifferenceTexts) {
  auto* page = View(report, L"Page1", 0, 0, 500, 500);
  auto* tmpl = View(page, L"Memo1", 10, 20, 100, 18);
  auto* printed = View(nullptr, String(), 10, 40, 100, 18);
  printed->SetParentFont(false);
  printed->Font()->Assign(tmpl->Font());
  printed->Font()->SetStyle(vcl::TFontStyles{vcl::fsBold});
  EXPECT_EQ(printed->InternalDiff(tmpl), L" t=\"40\" Font.Style=\"1\" ParentFont=\"0\"");
  EXPECT_EQ(printed->Diff(tmpl), printed->InternalDiff(tmpl));

  // Differences of 0.0001 or less are no differences.
  auto* same = View(nullptr, String(), 10.00009L, 20.00005L, 100, 18);
  EXPECT_EQ(same->InternalDiff(tmpl), L"");

  auto* tmplBand = new TqvxBand(page);
  auto* band = new TqvxBand(nullptr);
  EXPECT_EQ(band->InternalDiff(tmplBand), L" t=\"0\"");

  same->Font()->SetName(L"Tahoma");
  same->Font()->SetColor(-16777201);
  same->SetTag(7);
  same->SetVisible(false);
  EXPECT_EQ(same->InternalDiff(tmpl),
            L" Visible=\"0\" Font.Name=\"Tahoma\" Font.Color=\"-16777201\" ParentFont=\"0\" Tag=\"7\"");

  const String all = tmpl->AllDiff(nullptr);
  EXPECT_EQ(all.rfind(L"Left=\"10\"", 0), 0u) << all;
  EXPECT_EQ(tmpl->AllDiff(tmpl), all + L" ");
  EXPECT_EQ(printed->AllDiff(tmpl).find(L"  t=\"40\""), printed->AllDiff(nullptr).size());

  auto* nullBand = new TqvxNullBand(nullptr);
  nullBand->SetBounds(1.5L, 2, 3, 4);
  const String nb = nullBand->AllDiff(nullptr);
  EXPECT_TRUE(rtl::EndsStr(L"Top=\"2\" Width=\"3\" l=\"1.5\" t=\"2\"", nb)) << nb;

  printed->Free();
  same->Free();
  band->Free();
  nullBand->Free();
}

TEST_F(TreeTest, AssignCopiesValuesAndAssignAllTheSubTree) {
  auto* a = View(report, L"A", 1, 2, 3, 4, baRight);
  View(a, L"A1", 5, 6, 7, 8);
  auto* b = View(report, L"B", 0, 0, 0, 0);
  b->Assign(a);
  EXPECT_EQ(b->Name(), L"B");
  EXPECT_EQ(b->Height(), 4);
  EXPECT_EQ(b->Align, baRight);
  EXPECT_TRUE(b->Objects().empty());

  auto* c = new TqvxTestView(nullptr);
  c->AssignAll(a);
  ASSERT_EQ(c->Objects().size(), 1u);
  EXPECT_EQ(c->Objects()[0]->Name(), L"A1");
  EXPECT_EQ(c->Objects()[0]->Width(), 7);
  c->Free();
}

TEST_F(TreeTest, LoadErrorsReachTheReport) {
  auto* page = View(report, L"Page1", 0, 0, 1, 1);
  const String xml =
      L"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>"
      L"<TqvxTestView Left=\"4\"><TMissing Name=\"M\"/><TqvxTestView Name=\"Kid\" Width=\"9\"/></TqvxTestView>";
  rtl::TStringStream stream(xml);
  page->LoadFromStream(stream);
  EXPECT_EQ(page->Left(), 4);
  ASSERT_EQ(page->Objects().size(), 1u);
  EXPECT_EQ(page->Objects()[0]->Name(), L"Kid");
  EXPECT_EQ(page->Objects()[0]->Owner(), report);
  EXPECT_EQ(report->Errors()->Text(), L"Cannot find class TMissing\r\n");
  EXPECT_EQ(report->XMLSerializer(), nullptr);

  // Loaded while the report is itself being read, the report's own serializer is handed back afterwards.
  TqvxXMLSerializer outer(nullptr);
  report->SetXMLSerializer(&outer);
  rtl::TStringStream again(xml);
  page->LoadFromStream(again);
  EXPECT_EQ(report->XMLSerializer(), &outer);
  report->SetXMLSerializer(nullptr);
}

}  // namespace
