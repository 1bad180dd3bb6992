#include "report/model/qvxClass.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string_view>
#include <utility>

#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxXML.h"

using rtl::String;

bool qvxIsKindOf(const rtl::TObject* obj, const wchar_t* className) {
  if (!obj) return false;
  for (const vcl::TClassInfo* c = vcl::ClassOf(obj); c; c = c->ClassParent())
    if (c->ClassName() == className) return true;
  return false;
}

namespace {

bool FloatDiff(Extended a, Extended b) { return std::fabs(static_cast<double>(a - b)) > 0.0001; }


// A difference text grows by appending in place: a temporary string per attribute would cost an allocation each,
// for every object of every record.
void Put(String& out, std::wstring_view name, const String& value) {
  out += L' ';
  out.append(name);
  out += L"=\"";
  out += value;
  out += L'"';
}

String FloatText(Extended v) { return rtl::FloatToStr(static_cast<double>(v)); }

String BoolText(bool v) { return qvxValueToXML(rtl::Variant(v)); }

// Views are the children that publish their alignment.
const vcl::TPropInfo* AlignProp(TqvxComponent* c) {
  const vcl::TClassInfo* cls = vcl::ClassOf(c);
  const vcl::TPropInfo* p = cls ? cls->FindProperty(L"Align") : nullptr;
  if (!p || p->Kind() != vcl::tkEnumeration || p->TypeName() != L"TqvxAlign") return nullptr;
  return p;
}

TqvxAlign AlignOf(TqvxComponent* c) {
  const vcl::TPropInfo* p = AlignProp(c);
  return p ? static_cast<TqvxAlign>(p->GetOrd(c)) : baNone;
}

}  // namespace

VCL_REGISTER(TqvxComponent) {}

VCL_REGISTER(TqvxReportComponent) {
  cls.Prop(L"Description", &TqvxReportComponent::Description, &TqvxReportComponent::SetDescription);
}

// ---------------------------------------------------------------------------------------------------------------
// TqvxComponent

vcl::TComponent* TqvxComponent::OwnerFor(vcl::TComponent* owner) {
  // Report objects belong to their report; the tree itself is the Parent/Objects pair.
  if (auto* c = dynamic_cast<TqvxComponent*>(owner))
    if (TqvxReport* report = c->Report()) return report;
  return owner;
}

TqvxComponent::TqvxComponent(vcl::TComponent* owner) : vcl::TComponent(OwnerFor(owner)) { Init(owner); }

TqvxComponent::TqvxComponent(vcl::TComponent* owner, rtl::Word) : vcl::TComponent(OwnerFor(owner)) {
  FIsDesigning = true;
  Init(owner);
}

void TqvxComponent::Init(vcl::TComponent* owner) {
  FAncestorOnlyStream = false;
  FqvComponentStyle = TqvxComponentStyle{csPreviewVisible};
  FFont = new vcl::TFont();
  FFont->SetPixelsPerInch(96);
  FFont->SetName(L"Arial");
  FFont->SetSize(10);
  FFont->SetColor(0);
  FFont->SetCharset(1);
  FFont->OnChange = [this](rtl::TObject*) { FontChanged(); };
  FVisible = true;
  SetParentFont(true);
  if (auto* c = dynamic_cast<TqvxComponent*>(owner)) SetParent(c);
}

TqvxComponent::~TqvxComponent() {
  SetParent(nullptr);
  Clear();
  if (FFont) {
    FFont->OnChange = nullptr;
    delete FFont;
    FFont = nullptr;
  }
}

const String& TqvxComponent::BaseName() const {
  if (FBaseName.empty()) {
    // The class name is only whole once construction has finished, so the stem is made on first use.
    String s = ClassName();
    size_t at = s.find(L"Tqvx");
    if (at != String::npos) s.erase(at, 4);
    at = s.find(L"View");
    if (at != String::npos) s.erase(at, 4);
    FBaseName = s;
  }
  return FBaseName;
}

void TqvxComponent::Assign(const rtl::TPersistent* source) {
  auto* src = const_cast<TqvxComponent*>(dynamic_cast<const TqvxComponent*>(source));
  if (!src) return;
  rtl::TMemoryStream stream;
  src->SaveToStream(stream, false, true, false);
  stream.SetPosition(0);
  LoadFromStream(stream);
}

void TqvxComponent::AssignAll(TqvxComponent* source, bool streaming) {
  if (!source) return;
  rtl::TMemoryStream stream;
  source->SaveToStream(stream, true, true, streaming);
  stream.SetPosition(0);
  LoadFromStream(stream);
}

void TqvxComponent::SetName(const String& value) {
  if (rtl::SameText(value, Name())) return;
  if (!value.empty()) {
    if (TqvxComponent* report = Report()) {
      TqvxComponent* other = report->FindObject(value);
      if (other && other != this) throw EDuplicateName(qvxResources().Get(L"prDupl"));
      if (IsAncestor()) throw rtl::Exception(rtl::Format(qvxResources().Get(L"clCantRen"), {Name()}));
    }
  }
  vcl::TComponent::SetName(value);
}

void TqvxComponent::ValidateRename(vcl::TComponent* component, const String& curName, const String& newName) {
  if (Report()) vcl::TComponent::ValidateRename(component, curName, newName);
}

std::uint64_t TqvxComponent::NextObjectsStamp() {
  static std::atomic<std::uint64_t> last{0};
  return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

void TqvxComponent::SetParent(TqvxComponent* value) {
  if (value != FParent) {
    if (FParent) {
      auto& list = FParent->FObjects;
      list.erase(std::remove(list.begin(), list.end(), this), list.end());
      FParent->ObjectsChanged();
    }
    if (value) {
      value->FObjects.push_back(this);
      value->ObjectsChanged();
    }
  }
  FParent = value;
  if (value) SetParentFont(FParentFont);
}

void TqvxComponent::SetLeft(Extended value) {
  if (!(FIsDesigning && FRestrictions.Contains(rfDontMove))) FLeft = value;
}

void TqvxComponent::SetTop(Extended value) {
  if (!(FIsDesigning && FRestrictions.Contains(rfDontMove))) FTop = value;
}

void TqvxComponent::SetWidth(Extended value) {
  if (!(FIsDesigning && FRestrictions.Contains(rfDontSize))) FWidth = value;
}

void TqvxComponent::SetHeight(Extended value) {
  if (!(FIsDesigning && FRestrictions.Contains(rfDontSize))) FHeight = value;
}

void TqvxComponent::SetBounds(Extended left, Extended top, Extended width, Extended height) {
  SetLeft(left);
  SetTop(top);
  SetWidth(width);
  SetHeight(height);
}

void TqvxComponent::SetFont(vcl::TFont* value) {
  if (value && value != FFont) FFont->Assign(value);
  FParentFont = false;
}

void TqvxComponent::SetParentFont(bool value) {
  if (value && FParent) SetFont(FParent->FFont);
  FParentFont = value;
}

void TqvxComponent::SetVisible(bool value) { FVisible = value; }

void TqvxComponent::FontChanged() {
  FParentFont = false;
  const std::vector<TqvxComponent*> children = FObjects;
  for (TqvxComponent* child : children)
    if (child->FParentFont) child->SetParentFont(true);
}

std::vector<TqvxComponent*>& TqvxComponent::GetContainerObjects() {
  // The caller may change the list through the reference.
  ObjectsChanged();
  return FObjects;
}

String TqvxComponent::GetDescription() const { return ClassName(); }

TqvxPage* TqvxComponent::Page() const {
  for (const TqvxComponent* c = this; c; c = c->FParent)
    if (c->FAsPage) return c->FAsPage;
  return nullptr;
}

TqvxReport* TqvxComponent::Report() const {
  for (const TqvxComponent* c = this; c; c = c->FParent)
    if (c->FAsReport) return c->FAsReport;
  return nullptr;
}

Extended TqvxComponent::AbsLeft() const {
  Extended result = FLeft;
  // Controls on a dialog page are placed relative to the page's window, not the page.
  for (const TqvxComponent* p = FParent; p && !p->FIsDialogPage; p = p->FParent) result += p->FLeft;
  return result;
}

Extended TqvxComponent::AbsTop() const {
  Extended result = FTop;
  for (const TqvxComponent* p = FParent; p && !p->FIsDialogPage; p = p->FParent) result += p->FTop;
  return result;
}

bool TqvxComponent::IsAncestor() const { return ComponentState().Contains(vcl::csAncestor) || FAncestor; }

bool TqvxComponent::IsLoading() const { return FIsLoading || ComponentState().Contains(vcl::csLoading); }

void TqvxComponent::CollectAll(std::vector<TqvxComponent*>& list) {
  for (TqvxComponent* c : FObjects) {
    list.push_back(c);
    c->CollectAll(list);
  }
}

const std::vector<TqvxComponent*>& TqvxComponent::GetAllObjects() {
  FAllObjects.clear();
  CollectAll(FAllObjects);
  return FAllObjects;
}

TqvxComponent* TqvxComponent::FindObject(const String& name) {
  // Searched without the work list, so that a caller walking GetAllObjects may look names up meanwhile.
  for (TqvxComponent* c : FObjects) {
    if (rtl::SameText(c->Name(), name)) return c;
    if (TqvxComponent* found = c->FindObject(name)) return found;
  }
  return nullptr;
}

TqvxDataSet* TqvxComponent::FindDataSet(TqvxDataSet* dataSet, const String& dsName) {
  return qvxFindReportDataSet(this, dataSet, dsName);
}

void TqvxComponent::CreateUniqueName() {
  rtl::TStringList names;
  names.SetSorted(true);
  names.SetDuplicates(rtl::dupIgnore);
  names.SetCaseSensitive(false);
  TqvxComponent* scope = Report();
  if (!scope) scope = FParent;
  if (scope) {
    const std::vector<TqvxComponent*> all = scope->GetAllObjects();
    for (TqvxComponent* c : all) names.Add(c->Name());
    // Objects the report owns but that lie in no tree yet still hold their names.
    for (int k = 0; k < scope->ComponentCount(); ++k) names.Add(scope->Components(k)->Name());
  }
  const String base = BaseName();
  for (int n = 1;; ++n) {
    const String candidate = base + rtl::IntToStr(n);
    rtl::Integer index = 0;
    if (!names.Find(candidate, index)) {
      SetName(candidate);
      return;
    }
  }
}

void TqvxComponent::Clear() {
  size_t i = 0;
  while (i < FObjects.size()) {
    TqvxComponent* c = FObjects[i];
    if (c->ComponentState().Contains(vcl::csAncestor)) {
      c->Clear();
      ++i;
    } else {
      c->Free();  // leaves FObjects on its way out
      if (i < FObjects.size() && FObjects[i] == c) {
        FObjects.erase(FObjects.begin() + static_cast<long>(i));
        ObjectsChanged();
      }
    }
  }
}

void TqvxComponent::FreeChildren() {
  while (!FObjects.empty()) {
    TqvxComponent* c = FObjects.back();
    c->Free();  // leaves FObjects on its way out
    if (!FObjects.empty() && FObjects.back() == c) {
      FObjects.pop_back();
      ObjectsChanged();
    }
  }
}

void TqvxComponent::GetChildren(const vcl::TGetChildProc& proc, vcl::TComponent*) {
  for (TqvxComponent* c : FObjects) proc(c);
}

void TqvxComponent::LoadFromStream(rtl::TStream& stream) {
  if (!FAncestorOnlyStream) Clear();
  TqvxXMLSerializer serializer(&stream);
  serializer.HandleNestedProperties = true;
  TqvxReport* report = Report();
  // A load inside a load (Assign while a template is read) hands the report back its outer serializer.
  struct TDone {
    TqvxReport* report;
    TqvxXMLSerializer& serializer;
    TqvxXMLSerializer* outer;
    ~TDone() {
      if (!report) return;
      rtl::TStringList& lines = serializer.Errors();
      for (rtl::Integer k = 0; k < lines.Count(); ++k) report->Errors()->Add(lines.Get(k));
      report->SetXMLSerializer(outer);
    }
  } done{report, serializer, report ? report->XMLSerializer() : nullptr};
  if (report) {
    report->SetXMLSerializer(&serializer);
    if (report->OnGetCustomData.Assigned())
      serializer.OnGetCustomDataEvent = [report](TqvxXMLItem* item) { report->OnGetCustomData(item); };
  }
  serializer.SetOwner(report);
  serializer.ReadRootComponent(this);
}

void TqvxComponent::SaveToStream(rtl::TStream& stream, bool saveChildren, bool saveDefaultValues, bool streaming) {
  TqvxXMLSerializer serializer(&stream);
  serializer.HandleNestedProperties = true;
  serializer.SaveAncestorOnly = FAncestorOnlyStream;
  TqvxReport* report = Report();
  serializer.SetOwner(report);
  serializer.SerializeDefaultValues = saveDefaultValues;
  if (report && (report == this || FAncestorOnlyStream)) {
    serializer.OnGetAncestor = [report](const String& name, rtl::TPersistent*& ancestor) {
      report->DoGetAncestor(name, ancestor);
    };
    if (!FAncestorOnlyStream && report->OnSaveCustomData.Assigned())
      serializer.OnSaveCustomDataEvent = [report](TqvxXMLItem* item) { report->OnSaveCustomData(item); };
  }
  // The report's own serializer while it is written, so that its lists find it (qvxWriteCollection).
  TqvxXMLSerializer* outer = report ? report->XMLSerializer() : nullptr;
  if (report) report->SetXMLSerializer(&serializer);
  try {
    serializer.WriteRootComponent(this, saveChildren, nullptr, streaming);
  } catch (...) {
    if (report) report->SetXMLSerializer(outer);
    throw;
  }
  if (report) report->SetXMLSerializer(outer);
}

// ---------------------------------------------------------------------------------------------------------------
// Alignment

void TqvxComponent::AlignChildren() {
  struct TEntry {
    String key;
    TqvxComponent* view;
  };
  std::vector<TEntry> list;
  for (TqvxComponent* c : FObjects) {
    if (!AlignProp(c)) continue;
    const Extended left = c->Left();
    const String key = left >= 0 ? L"1" + rtl::Format(L"%9.2f", {static_cast<double>(left)})
                                 : L"0" + rtl::Format(L"%9.2f", {static_cast<double>(-left)});
    list.push_back(TEntry{key, c});
  }
  std::stable_sort(list.begin(), list.end(), [](const TEntry& a, const TEntry& b) { return a.key < b.key; });
  const int count = static_cast<int>(list.size());

  auto alignView = [&](TqvxComponent* v, int n, int d) {
    const TqvxAlign align = AlignOf(v);
    TqvxComponent* neighbour = nullptr;
    for (int k = n; k >= 0 && k < count; k -= d) {
      TqvxComponent* c = list[static_cast<size_t>(k)].view;
      if (c == v) continue;
      const bool overlap =
          c->AbsTop() < v->AbsTop() + v->Height() - 0.0001L && v->AbsTop() < c->AbsTop() + c->Height() - 0.0001L;
      if (!overlap) continue;
      if (align == baWidth) {
        if (d > 0 && v->Left() < c->Left()) continue;
        if (d < 0 && c->Left() + c->Width() < v->Left() + v->Width()) continue;
      }
      neighbour = c;
      break;
    }
    if (d > 0 && (align == baLeft || align == baWidth))
      v->SetLeft(neighbour ? neighbour->Left() + neighbour->Width() : 0);
    if (align == baRight) v->SetLeft(neighbour ? neighbour->Left() - v->Width() : FWidth - v->Width());
    if (d < 0 && align == baWidth) v->SetWidth(neighbour ? neighbour->Left() - v->Left() : FWidth - v->Left());
  };

  for (int i = 0; i < count; ++i) {
    const TqvxAlign a = AlignOf(list[static_cast<size_t>(i)].view);
    if (a == baLeft || a == baWidth) alignView(list[static_cast<size_t>(i)].view, i, 1);
  }
  for (int i = count - 1; i >= 0; --i) {
    const TqvxAlign a = AlignOf(list[static_cast<size_t>(i)].view);
    if (a == baRight || a == baWidth) alignView(list[static_cast<size_t>(i)].view, i, -1);
  }
  for (TqvxComponent* v : FObjects) {
    if (!AlignProp(v)) continue;
    switch (AlignOf(v)) {
      case baCenter:
        v->SetLeft((FWidth - v->Width()) / 2);
        break;
      case baBottom:
        v->SetTop(FHeight - v->Height());
        break;
      case baClient:
        v->SetLeft(0);
        v->SetTop(0);
        v->SetWidth(FWidth);
        v->SetHeight(FHeight);
        break;
      default:
        break;
    }
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Difference texts

String TqvxComponent::DiffFont(vcl::TFont* f1, vcl::TFont* f2, const String& add) {
  String result;
  auto item = [&](const String& name, const String& value) { result += add + name + L"=\"" + value + L"\""; };
  if (f1->Name() != f2->Name()) item(L"Font.Name", qvxStrToXML(f1->Name()));
  if (f1->Size() != f2->Size()) item(L"Font.Size", rtl::IntToStr(f1->Size()));
  if (f1->Color() != f2->Color()) item(L"Font.Color", rtl::IntToStr(f1->Color()));
  if (f1->Style() != f2->Style()) item(L"Font.Style", rtl::IntToStr(static_cast<rtl::Int64>(f1->Style().Bits())));
  if (f1->Charset() != f2->Charset()) item(L"Font.Charset", rtl::IntToStr(f1->Charset()));
  return result;
}

String TqvxComponent::InternalDiff(TqvxComponent* c) {
  // The whole difference text of an object (its class's attributes follow) grows in this one buffer. No room is
  // set aside: the store keeps the buffer as it is, and most texts are short. Room handed over is used first.
  String result;
  result.swap(FDiffRoom);
  result.clear();
  if (FloatDiff(FLeft, c->FLeft)) Put(result, L"l", FloatText(FLeft));
  if (FIsBand || FloatDiff(FTop, c->FTop)) Put(result, L"t", FloatText(FTop));
  const bool autoWidth = FAutoWidth && *FAutoWidth;
  if (!autoWidth && FloatDiff(FWidth, c->FWidth)) Put(result, L"w", FloatText(FWidth));
  if (FloatDiff(FHeight, c->FHeight)) Put(result, L"h", FloatText(FHeight));
  if (FVisible != c->FVisible) Put(result, L"Visible", BoolText(FVisible));
  if (!FParentFont) result += DiffFont(FFont, c->FFont, L" ");
  if (FParentFont != c->FParentFont) Put(result, L"ParentFont", BoolText(FParentFont));
  if (Tag() != c->Tag()) Put(result, L"Tag", rtl::IntToStr(Tag()));
  return result;
}

String TqvxComponent::Diff(TqvxComponent* component) { return InternalDiff(component); }

String TqvxComponent::AllDiff(TqvxComponent* component) {
  rtl::TStringStream stream;
  {
    TqvxXMLSerializer serializer(&stream);
    serializer.SetOwner(Report());
    serializer.WriteComponent(this);
  }
  const String written = stream.DataString();
  String result;
  const size_t blank = written.find(L' ');
  if (blank != String::npos && written.size() >= blank + 3)
    result = written.substr(blank + 1, written.size() - blank - 3);
  if (component) result += L" " + InternalDiff(component);
  if (dynamic_cast<TqvxNullBand*>(this)) {
    Put(result, L"l", FloatText(FLeft));
    Put(result, L"t", FloatText(FTop));
  }
  return result;
}

// ---------------------------------------------------------------------------------------------------------------
// TqvxReportComponent

TqvxReportComponent::TqvxReportComponent(vcl::TComponent* owner)
    : TqvxComponent(owner), FShiftChildren(new std::vector<TqvxComponent*>()) {}

TqvxReportComponent::TqvxReportComponent(vcl::TComponent* owner, rtl::Word flags)
    : TqvxComponent(owner, flags), FShiftChildren(new std::vector<TqvxComponent*>()) {}

TqvxReportComponent::~TqvxReportComponent() { delete FShiftChildren; }

void TqvxReportComponent::BeforePrint() { FOriginalRect = TqvxRect{FLeft, FTop, FWidth, FHeight}; }

void TqvxReportComponent::AfterPrint() {
  SetBounds(FOriginalRect.Left, FOriginalRect.Top, FOriginalRect.Right, FOriginalRect.Bottom);
}

TqvxRect TqvxReportComponent::GetRealBounds() {
  const Extended l = AbsLeft(), t = AbsTop();
  return TqvxRect{l, t, l + FWidth, t + FHeight};
}
