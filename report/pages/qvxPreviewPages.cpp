#include "report/pages/qvxPreviewPages.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>

#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysmath.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxDMPClass.h"
#include "report/model/qvxEngineIntf.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxUtils.h"
#include "report/model/qvxXMLSerializer.h"
#include "report/pages/qvxPagesOutput.h"

using rtl::Int64;
using rtl::Integer;
using rtl::String;

namespace {

// Marks a page element whose copy in the document's temporary stream (at its Offset) is still what it holds, so
// that evicting it again only needs to empty it.
int storedMarkTarget;
void* const kStored = &storedMarkTarget;

struct TFreeComponent {
  void operator()(TqvxComponent* c) const {
    if (c) c->Free();
  }
};
template <class T>
using TOwned = std::unique_ptr<T, TFreeComponent>;

// A number of an element's attribute, or fallback when the attribute is absent or no number.
Extended NumberProp(const TqvxXMLItem* item, const String& name, Extended fallback) {
  const String text = item->Prop(name);
  if (text.empty()) return fallback;
  try {
    return qvxStrToFloat(text);
  } catch (const rtl::Exception&) {
    return fallback;
  }
}

String FloatText(Extended value) { return rtl::FloatToStr(static_cast<double>(value)); }

String LowerFirst(const String& s) {
  if (s.empty()) return L"x";
  wchar_t c = s[0];
  if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return String(1, c);
}

}  // namespace

namespace {

// ASCII case ignored, without making a string of the constant (asked at every object written).
bool SameName(const String& name, std::wstring_view constant) {
  if (name.size() != constant.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    wchar_t a = name[i], b = constant[i];
    if (a >= L'a' && a <= L'z') a = static_cast<wchar_t>(a - L'a' + L'A');
    if (b >= L'a' && b <= L'z') b = static_cast<wchar_t>(b - L'a' + L'A');
    if (a != b) return false;
  }
  return true;
}

}  // namespace

bool qvxIsWholePageName(const String& name) {
  return SameName(name, L"TqvxReportPage") || SameName(name, L"TqvxDMPPage");
}

Integer qvxSourcePageIndex(const String& name) {
  if (name.size() < 5 || name.size() > 9 || !rtl::SameText(name.substr(0, 4), L"page")) return -1;
  Integer value = 0;
  for (size_t i = 4; i < name.size(); ++i) {
    if (name[i] < L'0' || name[i] > L'9') return -1;
    value = value * 10 + (name[i] - L'0');
  }
  return value;
}

// ---------------------------------------------------------------------------------------------------------------
// Construction and clearing

TqvxPreviewPages::TqvxPreviewPages(TqvxReport* report)
    : TqvxCustomPreviewPages(report),
      FDictionary(std::make_unique<TqvxDictionary>()),
      FXMLDoc(std::make_unique<TqvxXMLDocument>()),
      FPictureCache(std::make_unique<TqvxPictureCache>()) {
  SetOutline(new TqvxOutline(this));
  FXMLDoc->Root()->SetName(L"preparedreport");
  CurPage = -1;
}

TqvxPreviewPages::~TqvxPreviewPages() {
  ClearPageCache();
  ClearSourcePages();
  if (TqvxOutline* outline = OutlineObject()) outline->Reset();
}

TqvxOutline* TqvxPreviewPages::OutlineObject() const { return dynamic_cast<TqvxOutline*>(Outline()); }

void TqvxPreviewPages::ClearForRun() {
  DropSpareTexts();
  std::unique_ptr<TqvxXMLItem> spares;
  // With the file cache the store keeps its memory low on purpose: nothing is kept then.
  if (!UseFileCache())
    if (const Integer at = FXMLDoc->Root()->Find(L"previewpages"); at >= 0) {
      spares = std::make_unique<TqvxXMLItem>();
      spares->AddItem(FXMLDoc->Root()->Items(at));
    }
  Clear();
  if (!spares) return;
  FSpares = std::move(spares);
  FSpareWalk.emplace_back(FSpares->Items(0), -1);
}

String TqvxPreviewPages::TakeSpareText() {
  // Only texts on the heap are worth taking; a short text lives inside its string.
  const size_t inside = String().capacity();
  while (!FSpareWalk.empty()) {
    auto& [item, next] = FSpareWalk.back();
    if (next < 0) {
      next = 0;
      if (item->Text().capacity() > inside) return item->TakeText();
    }
    if (next < item->Count()) {
      TqvxXMLItem* child = item->Items(next++);
      FSpareWalk.emplace_back(child, -1);
      continue;
    }
    // Every child was passed and had its own children freed: they go now, the element itself with its parent.
    item->Clear();
    FSpareWalk.pop_back();
  }
  DropSpareTexts();
  return String();
}

void TqvxPreviewPages::DropSpareTexts() {
  FSpareWalk.clear();
  FSpares.reset();
}

void TqvxPreviewPages::Clear() {
  DropSpareTexts();
  ClearPageCache();
  ClearSourcePages();
  ForgetOutlinePosition();
  FPagesItem = nullptr;
  FXMLDoc->Clear();
  FDictionary->Clear();
  FPictureCache->Clear();
  CurPage = -1;
  XMLSize = 0;
  LastY = 0;
  LastObjectOver = nullptr;
}

void TqvxPreviewPages::ClearPageCache() {
  for (auto& entry : FPageCache) entry.second->Free();
  FPageCache.clear();
  LastObjectOver = nullptr;
}

void TqvxPreviewPages::ClearSourcePages() {
  for (TqvxReportPage* page : FSourcePages) page->Free();
  FSourcePages.clear();
}

void TqvxPreviewPages::ForgetOutlinePosition() {
  if (TqvxOutline* outline = OutlineObject()) outline->Reset();
}

std::vector<Integer> TqvxPreviewPages::CachedPages() const {
  std::vector<Integer> indexes;
  for (const auto& entry : FPageCache) indexes.push_back(entry.first);
  return indexes;
}

TqvxXMLItem* TqvxPreviewPages::PagesItem() {
  if (!FPagesItem) FPagesItem = FXMLDoc->Root()->FindItem(L"previewpages");
  return FPagesItem;
}

bool TqvxPreviewPages::UseFileCache() const { return Report() && Report()->EngineOptions()->UseFileCache; }

Integer TqvxPreviewPages::PagesInCache() const { return Report() ? Report()->PreviewOptions()->PagesInCache : 50; }

// ---------------------------------------------------------------------------------------------------------------
// Page elements in and out of the temporary file

void TqvxPreviewPages::LoadElement(TqvxXMLItem* element) {
  if (element->Loaded() || !element->Unloadable()) return;
  try {
    FXMLDoc->LoadItem(element);
    // An element from a partially loaded file is read here for the first time: it is checked like the rest of
    // the file was.
    qvxCheckPageObjects(*FDictionary, element);
  } catch (...) {
    // Half-read children would be read a second time behind themselves.
    element->Clear();
    throw;
  }
  element->Data = kStored;
}

TqvxXMLItem* TqvxPreviewPages::LoadedPage(Integer index) {
  TqvxXMLItem* element = PagesItem()->Items(index);
  LoadElement(element);
  return element;
}

TqvxXMLItem* TqvxPreviewPages::WritablePage(Integer index) {
  TqvxXMLItem* element = LoadedPage(index);
  element->Data = nullptr;
  return element;
}

TqvxXMLItem* TqvxPreviewPages::CurXMLPage() { return WritablePage(CurPage); }

void TqvxPreviewPages::SetStoredMark(TqvxXMLItem* element) { element->Data = kStored; }

void TqvxPreviewPages::UnloadElement(TqvxXMLItem* element) {
  if (!element->Loaded() || !element->Unloadable()) return;
  if (element->Data == kStored) {
    element->Clear();
    return;
  }
  FXMLDoc->UnloadItem(element);
  element->Data = kStored;
}

void TqvxPreviewPages::UnloadPastMemoryLimit() {
  if (!UseFileCache()) return;
  const Int64 limit = static_cast<Int64>(Report()->EngineOptions()->MaxMemSize) * 1048576;
  if (XMLSize <= limit) return;
  TqvxXMLItem* pages = PagesItem();
  // The last page is the one being written; the walk stops where an earlier check stopped.
  for (Integer i = pages->Count() - 2; i >= 0; --i) {
    TqvxXMLItem* element = pages->Items(i);
    if (!element->Loaded()) break;
    UnloadElement(element);
  }
  XMLSize = 0;
}

// ---------------------------------------------------------------------------------------------------------------
// Reading pages

Integer TqvxPreviewPages::GetCount() { return PagesItem()->Count(); }

TqvxReportPage* TqvxPreviewPages::GetPage(Integer index) {
  if (index < 0 || index >= GetCount()) return nullptr;
  const bool running = Engine() && Engine()->Running;
  if (!running) {
    for (size_t i = 0; i < FPageCache.size(); ++i) {
      if (FPageCache[i].first != index) continue;
      std::swap(FPageCache[i], FPageCache[0]);
      return FPageCache[0].second;
    }
  }
  TqvxXMLItem* element = LoadedPage(index);
  TqvxReportPage* page = BuildPage(element);
  page->AlignChildren();
  FPageCache.insert(FPageCache.begin(), {index, page});
  if (FPageCache.size() > 1 && static_cast<Integer>(FPageCache.size()) > PagesInCache()) {
    const auto [evicted, evictedPage] = FPageCache.back();
    FPageCache.pop_back();
    evictedPage->Free();
    LastObjectOver = nullptr;
    if (UseFileCache() && evicted < GetCount()) UnloadElement(PagesItem()->Items(evicted));
  }
  return page;
}

TqvxReportPage* TqvxPreviewPages::BuildPage(TqvxXMLItem* element) {
  TqvxXMLSerializer serializer(nullptr);
  serializer.OldFormat = FXMLDoc->OldVersion();
  const String& name = element->Name();
  TOwned<TqvxReportPage> page;
  if (qvxIsWholePageName(name)) {
    page.reset(rtl::SameText(name, L"TqvxDMPPage") ? new TqvxDMPPage(nullptr) : new TqvxReportPage(nullptr));
    // The page's own attributes; its objects follow below like those of any page, so that objects of the same
    // name (a band printed many times) stay apart.
    TqvxXMLItem head(page->ClassName());
    head.SetText(element->Text());
    serializer.ReadRootComponent(page.get(), &head);
  } else {
    const Integer source = qvxSourcePageIndex(name);
    if (source < 0 || source >= static_cast<Integer>(FSourcePages.size())) throw TqvxInvalidXMLException();
    TqvxReportPage* copy = FSourcePages[static_cast<size_t>(source)];
    page.reset(dynamic_cast<TqvxDMPPage*>(copy) ? new TqvxDMPPage(nullptr) : new TqvxReportPage(nullptr));
    page->Assign(copy);
    page->SetName(copy->Name());
  }
  serializer.SetOwner(page.get());
  RebuildObjects(element, page.get(), serializer);
  return page.release();
}

void TqvxPreviewPages::RebuildObjects(TqvxXMLItem* element, TqvxComponent* parent, TqvxXMLSerializer& serializer) {
  for (Integer i = 0; i < element->Count(); ++i) {
    TqvxXMLItem* child = element->Items(i);
    TqvxComponent* copy = FDictionary->GetObject(child->Name());
    // The differences come after the source values and override them.
    const String text = (copy ? copy->BaseName() : child->Name()) + L" " + child->Text();
    TqvxComponent* obj = serializer.ReadComponentStr(parent, text);
    if (!obj) continue;
    if (copy) {
      obj->SetName(copy->Name());
      if (auto* picture = dynamic_cast<TqvxPictureView*>(obj); picture && !picture->Picture()->Graphic())
        FPictureCache->GetPicture(picture);
    }
    if (auto* memo = dynamic_cast<TqvxMemoView*>(obj)) memo->ApplyPreviewHighlight();
    if (obj->Parent() != parent) obj->SetParent(parent);
    RebuildObjects(child, obj, serializer);
  }
}

TqvxPoint TqvxPreviewPages::GetPageSize(Integer index) {
  if (index < 0 || index >= GetCount()) return TqvxPoint{};
  const String name = PagesItem()->Items(index)->Name();
  TqvxReportPage* page = nullptr;
  const Integer source = qvxSourcePageIndex(name);
  if (source >= 0 && source < static_cast<Integer>(FSourcePages.size()))
    page = FSourcePages[static_cast<size_t>(source)];
  else
    page = GetPage(index);
  if (!page) return TqvxPoint{};
  return TqvxPoint{static_cast<Extended>(rtl::Round(static_cast<double>(page->Width()))),
                   static_cast<Extended>(rtl::Round(static_cast<double>(page->Height())))};
}

// ---------------------------------------------------------------------------------------------------------------
// A run

void TqvxPreviewPages::Initialize() {
  TqvxReport* report = Report();
  if (!report) return;
  FPictureCache->SetUseFileCache(report->PreviewOptions()->PictureCacheInFile);
  FPictureCache->SetTempDir(report->EngineOptions()->TempDir);
  FXMLDoc->SetTempDir(report->EngineOptions()->TempDir);
  report->InternalOnProgressStart(ptRunning);
}

void TqvxPreviewPages::Finish() {
  DropSpareTexts();
  LastY = 0;
  ClearPageCache();
  for (TqvxReportPage* page : FSourcePages) {
    page->SetOriginalComponent(nullptr);
    for (TqvxComponent* c : page->GetAllObjects()) c->SetOriginalComponent(nullptr);
  }
  if (Report()) Report()->InternalOnProgressStop(ptRunning);
}

TqvxComponent* TqvxPreviewPages::CopyObject(TqvxComponent* obj, TqvxComponent* parent) {
  const vcl::TClassInfo* cls = vcl::ClassOf(obj);
  rtl::TObject* made = cls ? cls->CreateInstance(vcl::TCreateArgs{parent, nullptr}) : nullptr;
  auto* copy = dynamic_cast<TqvxComponent*>(made);
  if (!copy) {
    if (made) made->Free();
    throw rtl::EClassNotFound(L"Class " + obj->ClassName() + L" cannot be copied");
  }
  TOwned<TqvxComponent> owned(copy);
  // The copy carries no picture: pictures go to the picture cache as they print.
  auto* picture = dynamic_cast<TqvxPictureView*>(obj);
  const bool stored = picture && picture->IsPictureStored();
  if (picture) picture->SetIsPictureStored(false);
  try {
    copy->Assign(obj);
  } catch (...) {
    if (picture) picture->SetIsPictureStored(stored);
    throw;
  }
  if (picture) picture->SetIsPictureStored(stored);
  if (!obj->Name().empty()) copy->SetName(obj->Name());
  return owned.release();
}

String TqvxPreviewPages::SerializedForm(TqvxComponent* copy) {
  if (copy->qvComponentStyle().Contains(csDefaultDiff)) return copy->ClassName();
  TqvxXMLSerializer serializer(nullptr);
  return serializer.WriteComponentStr(copy);
}

void TqvxPreviewPages::AddSourcePage(TqvxReportPage* page) {
  struct TPair {
    TqvxComponent* obj;
    TqvxComponent* copy;
  };
  std::vector<TPair> pairs;
  TOwned<TqvxComponent> pageCopy(CopyObject(page, nullptr));
  pairs.push_back(TPair{page, pageCopy.get()});
  std::function<void(TqvxComponent*, TqvxComponent*)> walk = [&](TqvxComponent* obj, TqvxComponent* copyParent) {
    const std::vector<TqvxComponent*> children = obj->Objects();
    for (TqvxComponent* child : children) {
      if (!child->qvComponentStyle().Contains(csPreviewVisible)) {
        pairs.push_back(TPair{child, nullptr});
        continue;
      }
      TqvxComponent* copy = CopyObject(child, copyParent);
      pairs.push_back(TPair{child, copy});
      walk(child, copy);
    }
  };
  walk(page, pageCopy.get());
  pageCopy->SetOriginalComponent(page);
  FSourcePages.push_back(static_cast<TqvxReportPage*>(pageCopy.release()));
  const String prefix = L"Page" + rtl::IntToStr(static_cast<Integer>(FSourcePages.size()) - 1) + L".";
  for (size_t i = 1; i < pairs.size(); ++i) {
    TqvxComponent* obj = pairs[i].obj;
    TqvxComponent* copy = pairs[i].copy;
    if (!copy) {
      obj->AddSourceObjects();
      continue;
    }
    obj->SetOriginalComponent(copy);
    copy->SetOriginalComponent(obj);
    const String base = dynamic_cast<TqvxBand*>(copy) ? String(L"b") : LowerFirst(copy->BaseName());
    const String alias = FDictionary->AddUnique(base, prefix + copy->Name(), copy);
    if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(copy)) {
      memo->SetDataSet(nullptr);
      memo->DataField.clear();
    }
    copy->SetBaseName(SerializedForm(copy));
    copy->SetAliasName(alias);
    obj->SetAliasName(alias);
  }
}

void TqvxPreviewPages::AddToSourcePage(TqvxComponent* obj) {
  if (FSourcePages.empty()) return;
  TqvxReportPage* page = FSourcePages.back();
  TqvxComponent* copy = CopyObject(obj, page);
  copy->CreateUniqueName();
  const String source = L"Page" + rtl::IntToStr(static_cast<Integer>(FSourcePages.size()) - 1) + L"." + copy->Name();
  const String alias = FDictionary->AddUnique(LowerFirst(copy->BaseName()), source, copy);
  copy->SetBaseName(SerializedForm(copy));
  obj->SetOriginalComponent(copy);
  copy->SetAliasName(alias);
  obj->SetAliasName(alias);
}

Integer TqvxPreviewPages::SourceIndexOf(TqvxReportPage* page) const {
  if (!page) return -1;
  for (size_t i = 0; i < FSourcePages.size(); ++i)
    if (FSourcePages[i]->OriginalComponent() == page) return static_cast<Integer>(i);
  return -1;
}

void TqvxPreviewPages::BeginPass() {
  FirstPageIndex = GetCount() - 1;
  if (GetCount() > 0) {
    FirstObjectIndex = LoadedPage(FirstPageIndex)->Count();
    TqvxXMLItem* outline = OutlineObject() ? OutlineObject()->FindRoot() : nullptr;
    FirstOutlineIndex = outline ? outline->Count() : 0;
  }
  ResetLogicalPageNumber();
}

void TqvxPreviewPages::AddPage(TqvxReportPage* page) {
  TqvxXMLItem* pages = PagesItem();
  UnloadPastMemoryLimit();
  ++CurPage;
  if (CurPage < pages->Count() && AddPageAction == apWriteOver) return;
  const Integer source = SourceIndexOf(page);
  TqvxXMLItem* element = nullptr;
  if (source >= 0) {
    element = pages->Add(L"page" + rtl::IntToStr(source));
  } else {
    // A page that was never made a source page has nothing to differ from: it is kept whole, so that it reads
    // back (an element "page-1" would name no source page).
    element = pages->Add(dynamic_cast<TqvxDMPPage*>(page) ? L"TqvxDMPPage" : L"TqvxReportPage");
    if (page) {
      TqvxXMLSerializer serializer(nullptr);
      serializer.SetOwner(page);
      element->SetText(serializer.ObjToXML(page));
    }
  }
  if (pages->Count() > 2) element->SetUnloadable(true);
  if (Report()) Report()->InternalOnProgress(ptRunning, CurPage + 1);
  AddPageAction = apWriteOver;
  CurPage = pages->Count() - 1;
  IncLogicalPageNumber();
}

void TqvxPreviewPages::AddObject(TqvxComponent* obj) {
  TqvxXMLItem* page = WritablePage(CurPage);
  StoreObject(obj, page, qvxIsWholePageName(page->Name()));
}

void TqvxPreviewPages::StoreObject(TqvxComponent* obj, TqvxXMLItem* parent, bool whole) {
  if (!obj->Visible() || !obj->qvComponentStyle().Contains(csPreviewVisible)) return;
  TqvxXMLItem* element = parent->Add();
  TqvxComponent* copy = obj->OriginalComponent();
  // A link left over from an earlier run points at a copy that is gone: only a copy of this store counts.
  if (copy && !IsCopyOf(obj, copy)) copy = nullptr;
  if (!copy || whole) {
    element->SetName(obj->ClassName());
    element->SetText(obj->AllDiff(nullptr));
  } else {
    element->SetName(obj->AliasName());
    if (Engine() && !Engine()->FinalPass) {
      if (HasSpareText()) obj->GiveDiffRoom(TakeSpareText());
      element->SetText(obj->InternalDiff(copy));
    } else if (obj->qvComponentStyle().Contains(csDefaultDiff)) {
      element->SetText(obj->AllDiff(copy));
    } else {
      if (HasSpareText()) obj->GiveDiffRoom(TakeSpareText());
      element->SetText(obj->Diff(copy));
    }
  }
  XMLSize += static_cast<Int64>(element->Name().size() + element->Text().size() + sizeof(TqvxXMLItem) + 16);
  // Writing to the store leaves the objects' lists as they are: no copy of the list is needed for each object.
  const std::vector<TqvxComponent*>& children = obj->Objects();
  element->Reserve(static_cast<Integer>(children.size()));
  for (TqvxComponent* child : children) StoreObject(child, element, whole);
}

bool TqvxPreviewPages::IsCopyOf(TqvxComponent* obj, TqvxComponent* copy) {
  const rtl::Int64 version = FDictionary->Version();
  const String& alias = obj->AliasName();
  auto it = FLinkChecks.find(obj);
  if (it != FLinkChecks.end() && it->second.Copy == copy && it->second.Version == version && it->second.Alias == alias)
    return it->second.Linked;
  // Objects made while printing (the rows of a sub-report put on its band) come and go: the list is started
  // again rather than left to grow.
  if (FLinkChecks.size() > 4096) FLinkChecks.clear();
  const bool linked = FDictionary->GetObject(alias) == copy;
  FLinkChecks[obj] = TLinkCheck{alias, copy, version, linked};
  return linked;
}

void TqvxPreviewPages::ClearFirstPassPages() {
  ForgetOutlinePosition();
  TqvxXMLItem* root = FXMLDoc->Root();
  if (FirstPageIndex == -1) {
    for (Integer i = 0; i < root->Count(); ++i) {
      TqvxXMLItem* child = root->Items(i);
      if (!rtl::SameText(child->Name(), L"anchors") && !rtl::SameText(child->Name(), L"logicalpagenumbers"))
        child->Clear();
    }
  } else {
    TqvxXMLItem* pages = PagesItem();
    if (FirstPageIndex < pages->Count()) {
      TqvxXMLItem* first = WritablePage(FirstPageIndex);
      while (first->Count() > std::max<Integer>(FirstObjectIndex, 0)) delete first->Items(first->Count() - 1);
    }
    while (pages->Count() > FirstPageIndex + 1) delete pages->Items(pages->Count() - 1);
    if (TqvxXMLItem* outline = OutlineObject() ? OutlineObject()->FindRoot() : nullptr)
      while (outline->Count() > std::max<Integer>(FirstOutlineIndex, 0)) delete outline->Items(outline->Count() - 1);
  }
  ResetLogicalPageNumber();
  CurPage = FirstPageIndex;
  XMLSize = 0;
}

void TqvxPreviewPages::CutObjects(Integer position) {
  TqvxXMLItem* page = WritablePage(CurPage);
  TqvxXMLItem* cutted = FXMLDoc->Root()->FindItem(L"cutted");
  const Integer from = std::max<Integer>(position, 0);
  while (page->Count() > from) cutted->AddItem(page->Items(from));
}

void TqvxPreviewPages::PasteObjects(Extended x, Extended y) {
  TqvxXMLItem* root = FXMLDoc->Root();
  const Integer at = root->Find(L"cutted");
  if (at < 0) return;
  TqvxXMLItem* cutted = root->Items(at);
  if (cutted->Count() > 0) {
    const TqvxXMLItem* first = cutted->Items(0);
    const Extended dx = x - NumberProp(first, L"l", 0);
    const Extended dy = y - NumberProp(first, L"t", 0);
    TqvxXMLItem* page = WritablePage(CurPage);
    while (cutted->Count() > 0) {
      TqvxXMLItem* item = cutted->Items(0);
      item->SetProp(L"l", FloatText(NumberProp(item, L"l", 0) + dx));
      item->SetProp(L"t", FloatText(NumberProp(item, L"t", 0) + dy));
      page->AddItem(item);
    }
  }
  delete cutted;
}

void TqvxPreviewPages::AddPicture(TqvxPictureView* picture) { FPictureCache->AddPicture(picture); }

TqvxComponent* TqvxPreviewPages::SourceCopyOf(TqvxXMLItem* element) const {
  return FDictionary->GetObject(element->Name());
}

Integer TqvxPreviewPages::GetCurPosition() {
  if (CurPage < 0 || CurPage >= GetCount()) return 0;
  return LoadedPage(CurPage)->Count();
}

bool TqvxPreviewPages::BandExists(TqvxBand* band) {
  if (CurPage < 0 || CurPage >= GetCount()) return false;
  TqvxXMLItem* page = LoadedPage(CurPage);
  const bool pageFooter = dynamic_cast<TqvxPageFooter*>(band) != nullptr;
  const bool columnFooter = dynamic_cast<TqvxColumnFooter*>(band) != nullptr;
  for (Integer i = 0; i < page->Count(); ++i) {
    TqvxComponent* copy = SourceCopyOf(page->Items(i));
    if (!copy) continue;
    if (copy->OriginalComponent() == band) return true;
    if (pageFooter && dynamic_cast<TqvxPageFooter*>(copy)) return true;
    if (columnFooter && dynamic_cast<TqvxColumnFooter*>(copy)) return true;
  }
  return false;
}

Extended TqvxPreviewPages::GetLastY(Extended columnPosition) {
  Extended result = 0;
  if (CurPage >= 0 && CurPage < GetCount()) {
    TqvxXMLItem* page = LoadedPage(CurPage);
    for (Integer i = 0; i < page->Count(); ++i) {
      TqvxXMLItem* element = page->Items(i);
      auto* band = dynamic_cast<TqvxBand*>(SourceCopyOf(element));
      if (!band || dynamic_cast<TqvxPageFooter*>(band) || dynamic_cast<TqvxOverlay*>(band)) continue;
      const Extended left = NumberProp(element, L"l", band->Left());
      if (columnPosition == 0 || std::fabs(static_cast<double>(columnPosition - left)) < 0.001 ||
          dynamic_cast<TqvxPageHeader*>(band) || dynamic_cast<TqvxReportTitle*>(band)) {
        const Extended bottom = NumberProp(element, L"t", band->Top()) + NumberProp(element, L"h", band->Height());
        result = std::max(result, bottom);
      }
    }
  }
  if (result == 0 && LastY != 0) return LastY;
  return result;
}

void TqvxPreviewPages::UpdatePageDimensions(TqvxReportPage* page, Extended width, Extended height) {
  const Integer source = SourceIndexOf(page);
  if (source < 0) return;
  // Pages are rebuilt from the copy's own properties, which is all that pages rebuilt later read.
  TqvxReportPage* copy = FSourcePages[static_cast<size_t>(source)];
  copy->SetPaperSize(qvxCustomPaper);
  copy->SetPaperWidth(width / qv01cm);
  copy->SetPaperHeight(height / qv01cm);
}

// ---------------------------------------------------------------------------------------------------------------
// Editing the prepared pages

void TqvxPreviewPages::AddEmptyPage(Integer index) {
  TqvxXMLItem* pages = PagesItem();
  if (pages->Count() == 0 || index < 0 || index >= pages->Count()) return;
  const TqvxXMLItem* like = pages->Items(index);
  auto* element = new TqvxXMLItem(like->Name());
  // A whole page keeps its paper: its attributes are the page's own, its children the objects left out.
  if (qvxIsWholePageName(like->Name())) element->SetText(like->Text());
  pages->InsertItem(index, element);
  ClearPageCache();
}

void TqvxPreviewPages::DeletePage(Integer index) {
  TqvxXMLItem* pages = PagesItem();
  if (pages->Count() <= 1 || index < 0 || index >= pages->Count()) return;
  delete pages->Items(index);
  ClearPageCache();
}

void TqvxPreviewPages::ModifyPage(Integer index, TqvxReportPage* page) {
  if (!page || index < 0 || index >= GetCount()) return;
  TqvxXMLItem* element = PagesItem()->Items(index);
  element->Clear();
  element->Data = nullptr;
  element->SetUnloadable(false);
  element->SetLoaded(true);
  TqvxXMLSerializer serializer(nullptr);
  // Class names throughout (never "inherited"): a whole page reads back by its elements' class names.
  serializer.WriteRootComponent(page, true, element, true);
  ClearPageCache();
}

void TqvxPreviewPages::AddFrom(TqvxReport* report) {
  auto* other = report ? dynamic_cast<TqvxPreviewPages*>(report->PreviewPages()) : nullptr;
  if (!other || other == this) return;
  const Integer base = GetCount();
  for (Integer i = 0; i < other->GetCount(); ++i) {
    TqvxReportPage* page = other->GetPage(i);
    if (!page) continue;
    TqvxXMLItem* element = PagesItem()->Add();
    TqvxXMLSerializer serializer(nullptr);
    serializer.WriteRootComponent(page, true, element, true);
    element->SetUnloadable(false);
  }
  TqvxXMLItem* otherRoot = other->XMLDoc()->Root();
  if (const Integer at = otherRoot->Find(L"anchors"); at >= 0) {
    TqvxXMLItem* from = otherRoot->Items(at);
    TqvxXMLItem* to = FXMLDoc->Root()->FindItem(L"anchors");
    for (Integer i = 0; i < from->Count(); ++i) {
      TqvxXMLItem* anchor = to->Add(L"item");
      anchor->SetText(from->Items(i)->Text());
      Integer page = 0;
      if (rtl::TryStrToInt(anchor->Prop(L"page"), page)) anchor->SetProp(L"page", rtl::IntToStr(page + base));
    }
  }
  TqvxOutline* outline = OutlineObject();
  TqvxOutline* otherOutline = other->OutlineObject();
  if (outline && otherOutline) {
    outline->LevelRoot();
    if (TqvxXMLItem* from = otherOutline->FindRoot()) {
      std::function<void(TqvxXMLItem*)> copyLevel = [&](TqvxXMLItem* level) {
        for (Integer i = 0; i < level->Count(); ++i) {
          TqvxXMLItem* entry = level->Items(i);
          Integer page = 0, top = 0;
          rtl::TryStrToInt(entry->Prop(L"page"), page);
          rtl::TryStrToInt(entry->Prop(L"top"), top);
          CurPage = base + page;
          outline->AddItem(entry->Prop(L"text"), top);
          copyLevel(entry);
          outline->LevelUp();
        }
      };
      copyLevel(from);
    }
  }
  if (other->GetCount() > 0) {
    other->CurPage = other->GetCount() - 1;
    LastY = other->GetLastY(0);
    other->CurPage = -1;
  }
  ClearPageCache();
}

// ---------------------------------------------------------------------------------------------------------------
// The printer layer's operations

void TqvxPreviewPages::DrawPage(Integer index, vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX,
                                Extended offsetY) {
  qvxPagesOutputLink().DrawPage(*this, index, canvas, scaleX, scaleY, offsetX, offsetY);
}

rtl::TObject* TqvxPreviewPages::ObjectOver(Integer index, Integer x, Integer y, vcl::TMouseButton button,
                                           vcl::TShiftState shift, Extended scale, Extended offsetX, Extended offsetY,
                                           vcl::TCursor& cursor, TqvxMouseIntEvents mouseEvent) {
  return qvxPagesOutputLink().ObjectOver(*this, index, x, y, button, shift, scale, offsetX, offsetY, cursor,
                                         mouseEvent);
}

bool TqvxPreviewPages::Print() { return qvxPagesOutputLink().Print(*this); }

bool TqvxPreviewPages::Export(TqvxCustomExportFilter* filter) { return qvxPagesOutputLink().Export(*this, filter); }
