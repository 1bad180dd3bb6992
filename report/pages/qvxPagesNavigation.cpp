// The navigation data the store keeps beside its pages: the outline, the anchors and the logical page numbers.
#include "platform/rtl/strings.h"
#include "platform/rtl/sysmath.h"
#include "report/model/qvxEngineIntf.h"
#include "report/pages/qvxOutline.h"
#include "report/pages/qvxPreviewPages.h"

using rtl::Integer;
using rtl::String;

namespace {

// An integer attribute, or fallback when it is absent, empty or no integer.
Integer IntProp(const TqvxXMLItem* item, const String& name, Integer fallback) {
  Integer value = 0;
  return rtl::TryStrToInt(item->Prop(name), value) ? value : fallback;
}

void ShiftEntry(TqvxXMLItem* item, Integer dTop) {
  item->SetProp(L"page", rtl::IntToStr(IntProp(item, L"page", 0) + 1));
  item->SetProp(L"top", rtl::IntToStr(IntProp(item, L"top", 0) + dTop));
  for (Integer i = 0; i < item->Count(); ++i) ShiftEntry(item->Items(i), dTop);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Outline

TqvxPreviewPages* TqvxOutline::Store() const { return static_cast<TqvxPreviewPages*>(PreviewPages()); }

TqvxXMLItem* TqvxOutline::Root() { return Store()->XMLDoc()->Root()->FindItem(L"outline"); }

TqvxXMLItem* TqvxOutline::FindRoot() {
  TqvxXMLItem* root = Store()->XMLDoc()->Root();
  const Integer at = root->Find(L"outline");
  return at < 0 ? nullptr : root->Items(at);
}

TqvxXMLItem* TqvxOutline::Level() { return CurItem ? CurItem : FindRoot(); }

Integer TqvxOutline::GetCount() {
  TqvxXMLItem* level = Level();
  return level ? level->Count() : 0;
}

void TqvxOutline::AddItem(const String& text, Integer top) {
  TqvxXMLItem* level = CurItem ? CurItem : Root();
  TqvxXMLItem* item = level->Add(L"item");
  item->SetProp(L"text", text);
  item->SetProp(L"page", rtl::IntToStr(Store()->CurPage));
  item->SetProp(L"top", rtl::IntToStr(top));
  CurItem = item;
}

void TqvxOutline::LevelDown(Integer index) {
  TqvxXMLItem* level = CurItem ? CurItem : Root();
  CurItem = level->Items(index);
}

void TqvxOutline::LevelRoot() { CurItem = Root(); }

void TqvxOutline::LevelUp() {
  if (!CurItem || CurItem == FindRoot()) return;
  CurItem = CurItem->Parent();
}

void TqvxOutline::GetItem(Integer index, String& text, Integer& page, Integer& top) {
  TqvxXMLItem* level = Level();
  if (!level) throw rtl::EListError(L"List index out of bounds (" + rtl::IntToStr(index) + L")");
  const TqvxXMLItem* item = level->Items(index);
  text = item->Prop(L"text");
  page = IntProp(item, L"page", page);
  top = IntProp(item, L"top", top);
}

void TqvxOutline::ShiftItems(TqvxXMLItem* from, Integer newTop) {
  if (!from || !from->Parent()) return;
  TqvxXMLItem* parent = from->Parent();
  const Integer next = parent->IndexOf(from) + 1;
  if (next <= 0 || next >= parent->Count()) return;
  TqvxXMLItem* item = parent->Items(next);
  ShiftEntry(item, newTop - IntProp(item, L"top", 0));
}

TqvxXMLItem* TqvxOutline::GetCurPosition() {
  TqvxXMLItem* level = Level();
  return level && level->Count() > 0 ? level->Items(level->Count() - 1) : nullptr;
}

// ---------------------------------------------------------------------------------------------------------------
// Anchors

void TqvxPreviewPages::AddAnchor(const String& text) {
  TqvxXMLItem* item = XMLDoc()->Root()->FindItem(L"anchors")->Add(L"item");
  item->SetProp(L"text", text);
  item->SetProp(L"page", rtl::IntToStr(CurPage));
  const double y = Engine() ? static_cast<double>(Engine()->CurY) : 0.0;
  item->SetProp(L"top", rtl::IntToStr(rtl::Round(y)));
}

TqvxXMLItem* TqvxPreviewPages::FindAnchor(const String& text) {
  TqvxXMLItem* root = XMLDoc()->Root();
  const Integer at = root->Find(L"anchors");
  if (at < 0) return nullptr;
  TqvxXMLItem* anchors = root->Items(at);
  for (Integer i = anchors->Count() - 1; i >= 0; --i)
    if (rtl::AnsiSameText(anchors->Items(i)->Prop(L"text"), text)) return anchors->Items(i);
  return nullptr;
}

Integer TqvxPreviewPages::GetAnchorPage(const String& text) {
  const TqvxXMLItem* anchor = FindAnchor(text);
  return anchor ? IntProp(anchor, L"page", 0) + 1 : 1;
}

Integer TqvxPreviewPages::GetAnchorCurPosition() { return XMLDoc()->Root()->FindItem(L"anchors")->Count() - 1; }

void TqvxPreviewPages::ShiftAnchors(Integer from, Integer newTop) {
  TqvxXMLItem* anchors = XMLDoc()->Root()->FindItem(L"anchors");
  if (from + 1 < 0 || from + 1 >= anchors->Count()) return;
  const Integer t0 = IntProp(anchors->Items(from + 1), L"top", 0);
  for (Integer i = from + 1; i < anchors->Count(); ++i) {
    TqvxXMLItem* anchor = anchors->Items(i);
    anchor->SetProp(L"page", rtl::IntToStr(IntProp(anchor, L"page", 0) + 1));
    anchor->SetProp(L"top", rtl::IntToStr(newTop + IntProp(anchor, L"top", 0) - t0));
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Logical page numbers

namespace {

// The final pass of a two-pass run keeps the numbers the first pass wrote.
bool KeepsNumbers(TqvxCustomEngine* engine) { return engine && engine->FinalPass && engine->DoublePass(); }

}  // namespace

void TqvxPreviewPages::IncLogicalPageNumber() {
  if (KeepsNumbers(Engine())) return;
  ++LogicalPageN;
  XMLDoc()->Root()->FindItem(L"logicalpagenumbers")->Add(L"page")->SetProp(L"n", rtl::IntToStr(LogicalPageN));
}

void TqvxPreviewPages::ResetLogicalPageNumber() {
  if (KeepsNumbers(Engine())) return;
  TqvxXMLItem* numbers = XMLDoc()->Root()->FindItem(L"logicalpagenumbers");
  for (Integer i = CurPage; i > FirstPageIndex && i >= 0; --i) {
    if (i >= numbers->Count()) continue;
    TqvxXMLItem* page = numbers->Items(i);
    page->SetProp(L"t", rtl::IntToStr(LogicalPageN));
    if (page->Prop(L"n") == L"1") break;
  }
  LogicalPageN = 0;
}

Integer TqvxPreviewPages::GetLogicalPageNo() {
  TqvxXMLItem* root = XMLDoc()->Root();
  const Integer at = root->Find(L"logicalpagenumbers");
  if (at >= 0 && CurPage >= 0 && CurPage < root->Items(at)->Count()) {
    Integer n = 0;
    if (rtl::TryStrToInt(root->Items(at)->Items(CurPage)->Prop(L"n"), n)) return n;
  }
  return CurPage - FirstPage + 1;
}

Integer TqvxPreviewPages::GetLogicalTotalPages() {
  TqvxXMLItem* root = XMLDoc()->Root();
  const Integer at = root->Find(L"logicalpagenumbers");
  if (at >= 0 && CurPage >= 0 && CurPage < root->Items(at)->Count())
    return IntProp(root->Items(at)->Items(CurPage), L"t", 0);
  return (Engine() ? Engine()->TotalPages : 0) - FirstPage;
}
