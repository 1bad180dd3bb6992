#pragma once
// The prepared pages of a report. The engine writes finished pages here while it runs; the preview, printing,
// export and the .qp3 file read them back. Pages stay small for long reports:
//   - every report page the engine runs is copied once (a source page), each of its objects serialized once;
//   - a prepared object is stored as an element named by the alias of its source copy (TqvxDictionary) whose
//     attribute text holds only its differences from the copy; an object without a copy is stored whole;
//   - page elements past the memory limit move to the XML document's temporary file ("qv...") and come back when
//     asked for; the last pages rebuilt as objects are kept in a small cache;
//   - pictures live once in the picture cache, the pages keeping only their index.
// The XML tree under the root "preparedreport" holds "previewpages" (one element per page: "page" + source index
// for pages stored as differences, "TqvxReportPage"/"TqvxDMPPage" for pages stored whole), "logicalpagenumbers",
// "outline", "anchors", and, while saving, "report", "sourcepages", "dictionary" and "picturecache".
//
// Index arguments outside 0..Count-1 make GetPage and GetPageSize answer nothing; the engine's operations take the
// current page as it stands. A .qp3 file is outside input: loading checks every name, index and number it reads
// and answers TqvxInvalidXMLException ("Invalid file format") for a damaged file, leaving the store as it was.
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "report/model/qvxPreviewIntf.h"
#include "report/model/qvxXML.h"
#include "report/pages/qvxDictionary.h"
#include "report/pages/qvxOutline.h"
#include "report/pages/qvxPictureCache.h"

class TqvxView;
class TqvxXMLSerializer;

class TqvxPreviewPages : public TqvxCustomPreviewPages {
 public:
  explicit TqvxPreviewPages(TqvxReport* report);
  // Frees the pages, the source pages and the pictures; the temporary files go with them.
  ~TqvxPreviewPages() override;
  rtl::String ClassName() const override { return L"TqvxPreviewPages"; }

  // --- reading pages
  rtl::Integer GetCount() override;
  // The page rebuilt as objects, owned by the page cache: valid until the next call that clears or evicts cache
  // entries (GetPage of another page, AddEmptyPage, DeletePage, ModifyPage, AddFrom, Finish, Clear, printing and
  // export). nullptr for an index outside the pages.
  TqvxReportPage* GetPage(rtl::Integer index) override;
  // Width and height of the page in report units, rounded; (0, 0) outside the pages.
  TqvxPoint GetPageSize(rtl::Integer index) override;

  // --- a run, in the order the engine calls them
  void Clear() override;
  // Keeps the cleared pages for the run that follows, which writes much the same texts again: each difference text
  // is written into the room of an old one, taken in the order they were written, and an old element is freed once
  // it was passed, so that its place is used by the next new one. What the run leaves is freed when it finishes.
  void ClearForRun() override;
  void Initialize() override;
  void AddSourcePage(TqvxReportPage* page) override;
  void AddToSourcePage(TqvxComponent* obj) override;
  void BeginPass() override;
  void AddPage(TqvxReportPage* page) override;
  void AddObject(TqvxComponent* obj) override;
  void ClearFirstPassPages() override;
  void CutObjects(rtl::Integer position) override;
  void PasteObjects(Extended x, Extended y) override;
  void Finish() override;
  void AddPicture(TqvxPictureView* picture) override;
  bool BandExists(TqvxBand* band) override;
  rtl::Integer GetCurPosition() override;
  Extended GetLastY(Extended columnPosition = 0) override;
  // The engine changes a report page's paper while it runs; pages rebuilt later get the new size.
  void UpdatePageDimensions(TqvxReportPage* page, Extended width, Extended height);

  // --- outline, anchors and logical page numbers (qvxPagesNavigation.cpp)
  void IncLogicalPageNumber() override;
  void ResetLogicalPageNumber() override;
  void ShiftAnchors(rtl::Integer from, rtl::Integer newTop) override;
  rtl::Integer GetAnchorCurPosition() override;
  rtl::Integer GetLogicalPageNo() override;
  rtl::Integer GetLogicalTotalPages() override;
  void AddAnchor(const rtl::String& text);
  // The last anchor of that text (locale comparison, case ignored), nullptr when none.
  TqvxXMLItem* FindAnchor(const rtl::String& text);
  // 1-based page of the anchor, 1 when there is none.
  rtl::Integer GetAnchorPage(const rtl::String& text);

  // --- editing the prepared pages (the preview)
  void AddEmptyPage(rtl::Integer index) override;
  void DeletePage(rtl::Integer index) override;
  void ModifyPage(rtl::Integer index, TqvxReportPage* page) override;
  void AddFrom(TqvxReport* report) override;

  // --- drawing, mouse, printing and export: the printer layer's (qvxPagesOutput.h)
  void DrawPage(rtl::Integer index, vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX,
                Extended offsetY) override;
  rtl::TObject* ObjectOver(rtl::Integer index, rtl::Integer x, rtl::Integer y, vcl::TMouseButton button,
                           vcl::TShiftState shift, Extended scale, Extended offsetX, Extended offsetY,
                           vcl::TCursor& cursor, TqvxMouseIntEvents mouseEvent) override;
  bool Print() override;
  bool Export(TqvxCustomExportFilter* filter) override;

  // --- the .qp3 file (qvxPreparedFile.cpp)
  // Replaces the pages by those in stream. With partial loading the pages marked ld="0" stay in stream until they
  // are asked for: the store reads from stream until it is cleared, loaded again or freed, so the caller keeps the
  // stream open that long.
  void LoadFromStream(rtl::TStream& stream, bool allowPartialLoading = false) override;
  void SaveToStream(rtl::TStream& stream) override;
  // False (and the pages stay) when the file does not exist, unless exceptionIfNotFound (EFOpenError).
  bool LoadFromFile(const rtl::String& fileName, bool exceptionIfNotFound = false) override;
  // Writes the file anew; an existing file is replaced only once the new one is complete.
  void SaveToFile(const rtl::String& fileName) override;

  // --- the rest
  // The source copy of an alias, nullptr when none.
  TqvxComponent* GetObject(const rtl::String& name) const { return FDictionary->GetObject(name); }
  // The element of page CurPage, loaded, for a caller that changes it.
  TqvxXMLItem* CurXMLPage();
  void ClearPageCache();
  void ClearSourcePages();
  const std::vector<TqvxReportPage*>& SourcePages() const { return FSourcePages; }
  TqvxDictionary* Dictionary() const { return FDictionary.get(); }
  TqvxPictureCache* PictureCache() const { return FPictureCache.get(); }
  TqvxXMLDocument* XMLDoc() const { return FXMLDoc.get(); }
  TqvxOutline* OutlineObject() const;
  // The "previewpages" element.
  TqvxXMLItem* PagesItem();
  // Indexes of the pages now rebuilt in the cache, most recent first.
  std::vector<rtl::Integer> CachedPages() const;

  bool AllowPartialLoading = false;
  // Copy being printed.
  rtl::Integer CopyNo = 0;
  rtl::Integer FirstObjectIndex = 0;
  rtl::Integer FirstPageIndex = -1;
  rtl::Integer FirstOutlineIndex = 0;
  rtl::Integer LogicalPageN = 0;
  Extended PrintScale = 1;
  // The stream of the last load or save.
  rtl::TStream* TempStream = nullptr;
  // Bytes added to the tree since the last unloading (an estimate).
  rtl::Int64 XMLSize = 0;
  // What GetLastY answers for a page without bands (set by AddFrom).
  Extended LastY = 0;
  // The object under the mouse at the last hit test; cleared whenever cached pages are freed.
  TqvxView* LastObjectOver = nullptr;

 private:
  friend class TqvxOutline;

  // The element of page index, brought back from the temporary file when it was moved there.
  TqvxXMLItem* LoadedPage(rtl::Integer index);
  // The same for a caller about to change the element: its copy in the temporary file no longer counts.
  TqvxXMLItem* WritablePage(rtl::Integer index);
  void LoadElement(TqvxXMLItem* element);
  // Moves an unloadable page element to the temporary file (just empties it when the file already holds it as
  // it is).
  void UnloadElement(TqvxXMLItem* element);
  void UnloadPastMemoryLimit();
  TqvxReportPage* BuildPage(TqvxXMLItem* element);
  void RebuildObjects(TqvxXMLItem* element, TqvxComponent* parent, TqvxXMLSerializer& serializer);
  void StoreObject(TqvxComponent* obj, TqvxXMLItem* parent, bool whole);
  TqvxComponent* CopyObject(TqvxComponent* obj, TqvxComponent* parent);
  rtl::String SerializedForm(TqvxComponent* copy);
  // The source copy of an element of the current page (its alias), nullptr when it has none.
  TqvxComponent* SourceCopyOf(TqvxXMLItem* element) const;
  rtl::Integer SourceIndexOf(TqvxReportPage* page) const;
  bool UseFileCache() const;
  rtl::Integer PagesInCache() const;
  // The outline's current item may lie in elements about to be freed.
  void ForgetOutlinePosition();
  void BeforeSave();
  // The element's copy in the temporary stream (or the partially loaded source) is what it holds.
  static void SetStoredMark(TqvxXMLItem* element);
  // Whether alias names copy in the alias map. The answer depends on the alias and the map alone, so it is kept
  // per object while both stay as they were: an object prints at every record of a list.
  bool IsCopyOf(TqvxComponent* obj, TqvxComponent* copy);
  struct TLinkCheck {
    rtl::String Alias;
    TqvxComponent* Copy;
    rtl::Int64 Version;
    bool Linked;
  };
  std::unordered_map<const TqvxComponent*, TLinkCheck> FLinkChecks;

  // The pages cleared for a run (ClearForRun), walked as the run takes their texts: each entry an element and the
  // index of its next child, -1 before its own text was looked at.
  bool HasSpareText() const { return !FSpareWalk.empty(); }
  rtl::String TakeSpareText();
  void DropSpareTexts();
  std::unique_ptr<TqvxXMLItem> FSpares;
  std::vector<std::pair<TqvxXMLItem*, rtl::Integer>> FSpareWalk;

  std::unique_ptr<TqvxDictionary> FDictionary;
  std::vector<TqvxReportPage*> FSourcePages;
  std::unique_ptr<TqvxXMLDocument> FXMLDoc;
  // Page index and rebuilt page, most recent first (a hit swaps with the first entry).
  std::vector<std::pair<rtl::Integer, TqvxReportPage*>> FPageCache;
  std::unique_ptr<TqvxPictureCache> FPictureCache;
  TqvxXMLItem* FPagesItem = nullptr;
};

// The page element names of whole pages.
bool qvxIsWholePageName(const rtl::String& name);
// The source index of a "page" + digits element (at most five digits), -1 for any other name.
rtl::Integer qvxSourcePageIndex(const rtl::String& name);

// Checks of what a prepared report holds, raising TqvxInvalidXMLException (qvxPreparedFile.cpp).
// Classes whose objects can stand on a prepared page: bands and views. Nothing else is ever made from a file.
bool qvxIsPageObjectClass(const vcl::TClassInfo* cls);
// Every object element below element, at any depth, is named by an alias with a source copy or by such a class.
void qvxCheckPageObjects(const TqvxDictionary& dictionary, const TqvxXMLItem* element);
