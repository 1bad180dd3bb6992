// The prepared-report file (.qp3): the store's XML tree on one line of UTF-8, with the report's settings, the
// source pages, the alias dictionary and the pictures added for the file.
//
// A file is outside input. It is read into a tree, source pages, dictionary and picture cache of its own and
// checked whole (names, indexes, numbers, classes) before any of it replaces what the store holds; a file that
// does not hold answers TqvxInvalidXMLException and the store stays as it was.
#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxDCtrl.h"
#include "report/model/qvxDMPClass.h"
#include "report/model/qvxPlugins.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxUtils.h"
#include "report/model/qvxXMLSerializer.h"
#include "report/pages/qvxPreviewPages.h"

using rtl::Integer;
using rtl::String;

namespace {

[[noreturn]] void Invalid() { throw TqvxInvalidXMLException(); }

// Stands for the caller's stream in a document that keeps its source for partial loading (the document frees
// what it keeps; the caller's stream is not the store's to free).
class TStreamRef : public rtl::TStream {
 public:
  explicit TStreamRef(rtl::TStream& target) : target_(target) {}
  String ClassName() const override { return L"TStreamRef"; }
  Integer Read(void* buffer, Integer count) override { return target_.Read(buffer, count); }
  Integer Write(const void* buffer, Integer count) override { return target_.Write(buffer, count); }
  rtl::Int64 Seek(rtl::Int64 offset, rtl::TSeekOrigin origin) override { return target_.Seek(offset, origin); }
  rtl::Int64 Size() override { return target_.Size(); }
  void SetSize(rtl::Int64 size) override { target_.SetSize(size); }

 private:
  rtl::TStream& target_;
};

bool IsInteger(const String& text) {
  Integer value = 0;
  return rtl::TryStrToInt(text, value);
}

// An attribute that must be an integer when it is there at all.
void CheckOptionalInt(const TqvxXMLItem* item, const String& name) {
  const String text = item->Prop(name);
  if (!text.empty() && !IsInteger(text)) Invalid();
}

// A Boolean as the file writes it; empty leaves the setting as it is.
bool ReadFlag(const String& text, bool current) {
  if (text.empty()) return current;
  bool value = false;
  if (text == L"1") return true;
  if (text == L"0") return false;
  if (!rtl::TryStrToBool(text, value)) Invalid();
  return value;
}

void CheckOutlineLevel(const TqvxXMLItem* level) {
  for (Integer i = 0; i < level->Count(); ++i) {
    const TqvxXMLItem* item = level->Items(i);
    if (!rtl::SameText(item->Name(), L"item")) Invalid();
    item->Prop(L"text");  // its escapes must decode
    CheckOptionalInt(item, L"page");
    CheckOptionalInt(item, L"top");
    CheckOutlineLevel(item);
  }
}

// Every element below a source page names an object class.
void CheckSourceObjects(const TqvxXMLItem* element) {
  for (Integer i = 0; i < element->Count(); ++i) {
    const TqvxXMLItem* child = element->Items(i);
    if (!qvxIsPageObjectClass(vcl::GetClass(child->Name()))) Invalid();
    CheckSourceObjects(child);
  }
}

String SerializedForm(TqvxComponent* copy) {
  if (copy->qvComponentStyle().Contains(csDefaultDiff)) return copy->ClassName();
  TqvxXMLSerializer serializer(nullptr);
  return serializer.WriteComponentStr(copy);
}

// Exceptions that say the machine failed (files, memory), not the file's content.
bool IsResourceError(const rtl::Exception& e) {
  return dynamic_cast<const rtl::EInOutError*>(&e) || dynamic_cast<const rtl::EFCreateError*>(&e) ||
         dynamic_cast<const rtl::EFOpenError*>(&e) || dynamic_cast<const rtl::EOutOfMemory*>(&e) ||
         dynamic_cast<const rtl::EAbort*>(&e);
}

const wchar_t* const kKnownElements[] = {L"previewpages", L"logicalpagenumbers", L"outline",    L"anchors",
                                         L"report",       L"sourcepages",        L"dictionary", L"picturecache"};

// What a file holds, read and checked, before it replaces the store's content.
struct TLoaded {
  std::unique_ptr<TqvxXMLDocument> Doc;
  std::vector<TqvxReportPage*> SourcePages;
  std::unique_ptr<TqvxDictionary> Dictionary = std::make_unique<TqvxDictionary>();
  std::unique_ptr<TqvxPictureCache> Pictures = std::make_unique<TqvxPictureCache>();
  bool HasReport = false;
  String DotMatrix, OutlineVisible, OutlineWidth, Name;
  bool HasName = false;

  TLoaded() = default;
  TLoaded(const TLoaded&) = delete;
  TLoaded& operator=(const TLoaded&) = delete;
  ~TLoaded() {
    for (TqvxReportPage* page : SourcePages) page->Free();
  }

  TqvxXMLItem* Element(const wchar_t* name) {
    TqvxXMLItem* root = Doc->Root();
    const Integer at = root->Find(name);
    return at < 0 ? nullptr : root->Items(at);
  }

  // The reader takes a file that stops short as if its elements were closed: a complete file ends with the
  // root's closing tag (or is one empty root element).
  void CheckEnd(rtl::TStream& stream, rtl::Int64 start) {
    const rtl::Int64 keep = stream.Position();
    const rtl::Int64 size = stream.Size();
    const rtl::Int64 from = std::max(start, size - 64);
    stream.SetPosition(from);
    std::string tail = stream.ReadBytes(static_cast<Integer>(size - from));
    stream.SetPosition(keep);
    while (!tail.empty() && (tail.back() == ' ' || tail.back() == '\r' || tail.back() == '\n' || tail.back() == '\t'))
      tail.pop_back();
    const std::string close = "</preparedreport>";
    bool closed = tail.size() >= close.size();
    for (size_t i = 0; closed && i < close.size(); ++i)
      closed = std::tolower(static_cast<unsigned char>(tail[tail.size() - close.size() + i])) == close[i];
    const bool empty = Doc->Root()->Count() == 0 && tail.size() >= 2 && tail.substr(tail.size() - 2) == "/>";
    if (!closed && !empty) Invalid();
  }

  void CheckRoot() {
    TqvxXMLItem* root = Doc->Root();
    if (!rtl::SameText(root->Name(), L"preparedreport")) Invalid();
    // Only what the store knows stays; a second element of a known name would shadow nothing but be written
    // back. "cutted" belongs to a run and never to a file.
    for (Integer i = root->Count() - 1; i >= 0; --i) {
      const String name = root->Items(i)->Name();
      bool known = false;
      for (const wchar_t* k : kKnownElements) known = known || rtl::SameText(name, k);
      if (!known || root->Find(name) != i) delete root->Items(i);
    }
  }

  void ReadSourcePages() {
    TqvxXMLItem* pages = Element(L"sourcepages");
    if (!pages) return;
    for (Integer i = 0; i < pages->Count(); ++i) {
      TqvxXMLItem* element = pages->Items(i);
      if (!qvxIsWholePageName(element->Name())) Invalid();
      CheckSourceObjects(element);
      const bool dmp = rtl::SameText(element->Name(), L"TqvxDMPPage");
      SourcePages.push_back(dmp ? new TqvxDMPPage(nullptr) : new TqvxReportPage(nullptr));
      TqvxReportPage* page = SourcePages.back();
      // The element is read as the page's own class, whatever case the file wrote its name in.
      element->SetName(page->ClassName());
      TqvxXMLSerializer serializer(nullptr);
      serializer.OldFormat = Doc->OldVersion();
      serializer.SetOwner(page);
      serializer.ReadRootComponent(page, element);
      for (TqvxComponent* c : page->GetAllObjects()) c->SetBaseName(SerializedForm(c));
    }
    // The source pages live as objects only.
    pages->Clear();
  }

  void ReadDictionary() {
    TqvxXMLItem* dictionary = Element(L"dictionary");
    if (!dictionary) return;
    for (Integer i = 0; i < dictionary->Count(); ++i) {
      const TqvxXMLItem* entry = dictionary->Items(i);
      const String& text = entry->Text();
      // name="Page<index>.<object>", written without escaping.
      if (text.size() < 7 || !rtl::SameText(text.substr(0, 6), L"name=\"") || text.back() != L'"') Invalid();
      const String source = text.substr(6, text.size() - 7);
      const size_t dot = source.find(L'.');
      if (dot == String::npos || dot < 5 || dot > 13 || !rtl::SameText(source.substr(0, 4), L"Page")) Invalid();
      Integer index = 0;
      for (size_t k = 4; k < dot; ++k) {
        if (source[k] < L'0' || source[k] > L'9') Invalid();
        index = index * 10 + (source[k] - L'0');
      }
      if (index >= static_cast<Integer>(SourcePages.size())) Invalid();
      if (Dictionary->Contains(entry->Name())) Invalid();
      const String objectName = source.substr(dot + 1, 255);
      TqvxComponent* obj =
          objectName.empty() ? nullptr : SourcePages[static_cast<size_t>(index)]->FindObject(objectName);
      Dictionary->Add(entry->Name(), source, obj);
    }
  }

  void ReadPictures(const TqvxPictureCache& settings) {
    Pictures->SetUseFileCache(settings.UseFileCache());
    Pictures->SetTempDir(settings.TempDir());
    TqvxXMLItem* pictures = Element(L"picturecache");
    if (!pictures) return;
    Pictures->LoadFromXML(pictures);
    // The bytes are in the cache now; the text form is made again when the report is saved.
    pictures->Clear();
  }

  void CheckPages() {
    TqvxXMLItem* pages = Element(L"previewpages");
    if (!pages) return;
    for (Integer i = 0; i < pages->Count(); ++i) {
      TqvxXMLItem* page = pages->Items(i);
      const String& name = page->Name();
      if (!qvxIsWholePageName(name)) {
        const Integer source = qvxSourcePageIndex(name);
        if (source < 0 || source >= static_cast<Integer>(SourcePages.size())) Invalid();
      }
      // A page left in the source by partial loading is checked when it is read.
      if (page->Loaded()) qvxCheckPageObjects(*Dictionary, page);
    }
  }

  void CheckNavigation() {
    if (TqvxXMLItem* numbers = Element(L"logicalpagenumbers")) {
      for (Integer i = 0; i < numbers->Count(); ++i) {
        const TqvxXMLItem* page = numbers->Items(i);
        if (!rtl::SameText(page->Name(), L"page") || !IsInteger(page->Prop(L"n"))) Invalid();
        CheckOptionalInt(page, L"t");
      }
    }
    if (TqvxXMLItem* outline = Element(L"outline")) CheckOutlineLevel(outline);
    if (TqvxXMLItem* anchors = Element(L"anchors")) {
      for (Integer i = 0; i < anchors->Count(); ++i) {
        const TqvxXMLItem* anchor = anchors->Items(i);
        if (!rtl::SameText(anchor->Name(), L"item") || anchor->Count() > 0) Invalid();
        anchor->Prop(L"text");
        CheckOptionalInt(anchor, L"page");
        CheckOptionalInt(anchor, L"top");
      }
    }
  }

  // Only the four settings the file stores are taken; nothing else of the report is the file's to change.
  void ReadReportSettings() {
    TqvxXMLItem* report = Element(L"report");
    if (!report || report->Count() == 0) return;
    const TqvxXMLItem* item = report->Items(0);
    HasReport = true;
    DotMatrix = item->Prop(L"DotMatrixReport");
    OutlineVisible = item->Prop(L"PreviewOptions.OutlineVisible");
    OutlineWidth = item->Prop(L"PreviewOptions.OutlineWidth");
    HasName = item->PropExists(L"ReportOptions.Name");
    Name = item->Prop(L"ReportOptions.Name");
    ReadFlag(DotMatrix, false);
    ReadFlag(OutlineVisible, false);
    if (!OutlineWidth.empty() && !IsInteger(OutlineWidth)) Invalid();
  }
};

}  // namespace

bool qvxIsPageObjectClass(const vcl::TClassInfo* cls) {
  return cls && cls->CanCreate() && cls->InheritsFrom(TqvxReportComponent::StaticClass()) &&
         !cls->InheritsFrom(TqvxDialogComponent::StaticClass()) && !cls->InheritsFrom(TqvxDialogControl::StaticClass());
}

void qvxCheckPageObjects(const TqvxDictionary& dictionary, const TqvxXMLItem* element) {
  for (Integer i = 0; i < element->Count(); ++i) {
    const TqvxXMLItem* child = element->Items(i);
    if (!dictionary.GetObject(child->Name()) && !qvxIsPageObjectClass(vcl::GetClass(child->Name()))) Invalid();
    qvxCheckPageObjects(dictionary, child);
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Loading

void TqvxPreviewPages::LoadFromStream(rtl::TStream& stream, bool allowPartialLoading) {
  TqvxReport* report = Report();
  rtl::TStream* source = &stream;
  std::unique_ptr<TqvxCustomCompressor> compressor;
  if (qvxCompressorClass) {
    allowPartialLoading = false;
    try {
      compressor.reset(dynamic_cast<TqvxCustomCompressor*>(qvxCompressorClass->CreateInstance({})));
      if (compressor) {
        compressor->Report = report;
        compressor->IsQV3File = false;
        compressor->CreateStream();
        if (compressor->Decompress(stream)) {
          source = compressor->Stream.get();
          source->SetPosition(0);
        }
      }
    } catch (const rtl::Exception&) {
      compressor.reset();
      if (report) {
        report->Errors()->Add(qvxResources().Get(L"clDecompressError"));
        qvxCommonErrorHandler(report, qvxResources().Get(L"clErrors") + L"\r\n" + report->Errors()->Text());
      }
      return;
    }
  }

  const rtl::Int64 start = source->Position();
  TLoaded loaded;
  loaded.Doc = std::make_unique<TqvxXMLDocument>();
  loaded.Doc->SetTempDir(FXMLDoc->TempDir());
  try {
    if (allowPartialLoading)
      loaded.Doc->LoadFromStream(new TStreamRef(*source), true);
    else
      loaded.Doc->LoadFromStream(*source);
    loaded.CheckEnd(*source, start);
    loaded.CheckRoot();
    loaded.ReadSourcePages();
    loaded.ReadDictionary();
    loaded.CheckPages();
    loaded.CheckNavigation();
    loaded.ReadReportSettings();
    loaded.ReadPictures(*FPictureCache);
  } catch (const TqvxInvalidXMLException&) {
    throw;
  } catch (const rtl::Exception& e) {
    if (IsResourceError(e)) throw;
    // A number, name or reference that does not hold is a damaged file like any other.
    throw TqvxInvalidXMLException();
  }

  // From here nothing of the file can fail: it replaces what the store held.
  Clear();
  FXMLDoc.swap(loaded.Doc);
  FSourcePages.swap(loaded.SourcePages);
  FDictionary.swap(loaded.Dictionary);
  FPictureCache.swap(loaded.Pictures);
  FPagesItem = nullptr;
  TqvxXMLItem* pages = PagesItem();
  // Pages left in the source are read back from there and, unchanged, need no copy of their own.
  for (Integer i = 0; i < pages->Count(); ++i)
    if (!pages->Items(i)->Loaded()) SetStoredMark(pages->Items(i));
  AllowPartialLoading = allowPartialLoading;
  TempStream = allowPartialLoading ? &stream : nullptr;
  if (report && loaded.HasReport) {
    report->DotMatrixReport = ReadFlag(loaded.DotMatrix, report->DotMatrixReport);
    report->PreviewOptions()->OutlineVisible =
        ReadFlag(loaded.OutlineVisible, report->PreviewOptions()->OutlineVisible);
    if (!loaded.OutlineWidth.empty()) report->PreviewOptions()->OutlineWidth = rtl::StrToInt(loaded.OutlineWidth);
    if (loaded.HasName) report->ReportOptions()->Name = loaded.Name;
  }
}

bool TqvxPreviewPages::LoadFromFile(const String& fileName, bool exceptionIfNotFound) {
  const bool exists = rtl::FileExists(fileName);
  if (!exists && !exceptionIfNotFound) return false;
  rtl::TFileStream file(fileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
  LoadFromStream(file, false);
  return exists;
}

// ---------------------------------------------------------------------------------------------------------------
// Saving

void TqvxPreviewPages::BeforeSave() {
  TqvxXMLItem* root = FXMLDoc->Root();
  TqvxXMLItem* pages = PagesItem();
  // Pages still in a partly loaded source have not been checked yet: a file is not written from pages that would
  // not load again.
  if (AllowPartialLoading)
    for (Integer i = 0; i < pages->Count(); ++i) {
      TqvxXMLItem* page = pages->Items(i);
      if (page->Loaded() || !page->Unloadable()) continue;
      LoadElement(page);
      page->Clear();
    }
  TqvxXMLItem* reportItem = root->FindItem(L"report");
  reportItem->Clear();
  if (TqvxReport* report = Report()) {
    TqvxXMLItem* item = reportItem->Add(report->ClassName());
    item->SetProp(L"DotMatrixReport", report->DotMatrixReport ? L"1" : L"0");
    item->SetProp(L"PreviewOptions.OutlineVisible", report->PreviewOptions()->OutlineVisible ? L"1" : L"0");
    item->SetProp(L"PreviewOptions.OutlineWidth", rtl::IntToStr(report->PreviewOptions()->OutlineWidth));
    item->SetProp(L"ReportOptions.Name", report->ReportOptions()->Name);
  }
  TqvxXMLItem* sources = root->FindItem(L"sourcepages");
  sources->Clear();
  for (TqvxReportPage* page : FSourcePages) {
    TqvxXMLSerializer serializer(nullptr);
    // Class names throughout, never "inherited": the reader makes every object by its class.
    serializer.WriteRootComponent(page, true, sources->Add(), true);
  }
  TqvxXMLItem* dictionary = root->FindItem(L"dictionary");
  dictionary->Clear();
  for (const TqvxDictionary::TEntry& entry : FDictionary->Entries())
    dictionary->Add(entry.Name)->SetText(L"name=\"" + entry.SourceName + L"\"");
  FPictureCache->SaveToXML(root->FindItem(L"picturecache"));
}

void TqvxPreviewPages::SaveToStream(rtl::TStream& stream) {
  TempStream = &stream;
  TqvxReport* report = Report();
  std::unique_ptr<TqvxCustomCompressor> compressor;
  if (report && report->ReportOptions()->Compressed && qvxCompressorClass) {
    compressor.reset(dynamic_cast<TqvxCustomCompressor*>(qvxCompressorClass->CreateInstance({})));
    if (compressor) {
      compressor->Report = report;
      compressor->IsQV3File = false;
      compressor->CreateStream();
    }
  }
  rtl::TStream& target = compressor ? *compressor->Stream : stream;
  TqvxXMLItem* root = FXMLDoc->Root();
  try {
    BeforeSave();
    FXMLDoc->SaveToStream(target);
    if (compressor) compressor->Compress(stream);
  } catch (...) {
    root->FindItem(L"sourcepages")->Clear();
    root->FindItem(L"picturecache")->Clear();
    TempStream = nullptr;
    throw;
  }
  // Written; the source pages and pictures are objects and bytes again until the next save.
  root->FindItem(L"sourcepages")->Clear();
  root->FindItem(L"picturecache")->Clear();
  TempStream = nullptr;
}

void TqvxPreviewPages::SaveToFile(const String& fileName) {
  // Written beside the file and put in its place when complete: a failed save keeps the file that was there.
  const String temporary = fileName + L".tmp";
  try {
    {
      rtl::TFileStream file(temporary, rtl::fmCreate);
      SaveToStream(file);
    }
    if (!MoveFileExW(temporary.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
      rtl::RaiseLastOSError();
  } catch (...) {
    rtl::DeleteFile(temporary);
    throw;
  }
}
