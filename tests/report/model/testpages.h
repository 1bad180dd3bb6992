#pragma once
// A prepared-pages store for the model's own tests, which do not link the store of report/pages: it keeps
// nothing and remembers the pictures handed to it, numbering them from PictureBase.
#include <vector>

#include "report/model/qvxClassPictures.h"
#include "report/model/qvxPreviewIntf.h"

class TqvxTestOutline : public TqvxCustomOutline {
 public:
  using TqvxCustomOutline::TqvxCustomOutline;
  rtl::Integer GetCount() override { return 0; }
  void AddItem(const rtl::String&, rtl::Integer) override {}
  void LevelDown(rtl::Integer) override {}
  void LevelRoot() override {}
  void LevelUp() override {}
  void GetItem(rtl::Integer, rtl::String& text, rtl::Integer& page, rtl::Integer& top) override {
    text.clear();
    page = top = 0;
  }
  void ShiftItems(TqvxXMLItem*, rtl::Integer) override {}
  TqvxXMLItem* GetCurPosition() override { return nullptr; }
};

class TqvxTestPages : public TqvxCustomPreviewPages {
 public:
  explicit TqvxTestPages(TqvxReport* report) : TqvxCustomPreviewPages(report) { SetOutline(new TqvxTestOutline(this)); }
  rtl::Integer GetCount() override { return 0; }
  TqvxReportPage* GetPage(rtl::Integer) override { return nullptr; }
  TqvxPoint GetPageSize(rtl::Integer) override { return TqvxPoint{}; }
  void Clear() override {}
  void Initialize() override {}
  void AddObject(TqvxComponent*) override {}
  void AddPage(TqvxReportPage*) override {}
  void AddSourcePage(TqvxReportPage*) override {}
  void AddToSourcePage(TqvxComponent*) override {}
  void BeginPass() override {}
  void ClearFirstPassPages() override {}
  void CutObjects(rtl::Integer) override {}
  void Finish() override {}
  void IncLogicalPageNumber() override {}
  void ResetLogicalPageNumber() override {}
  void PasteObjects(Extended, Extended) override {}
  void ShiftAnchors(rtl::Integer, rtl::Integer) override {}
  void AddPicture(TqvxPictureView* picture) override {
    Pictures.push_back(picture);
    picture->SetImageIndex(PictureBase + static_cast<rtl::Integer>(Pictures.size()) - 1);
  }
  bool BandExists(TqvxBand*) override { return false; }
  rtl::Integer GetCurPosition() override { return 0; }
  rtl::Integer GetAnchorCurPosition() override { return 0; }
  Extended GetLastY(Extended) override { return 0; }
  rtl::Integer GetLogicalPageNo() override { return LogicalPageNo; }
  rtl::Integer GetLogicalTotalPages() override { return LogicalTotalPages; }
  void AddEmptyPage(rtl::Integer) override {}
  void DeletePage(rtl::Integer) override {}
  void ModifyPage(rtl::Integer, TqvxReportPage*) override {}
  void DrawPage(rtl::Integer, vcl::TCanvas*, Extended, Extended, Extended, Extended) override {}
  rtl::TObject* ObjectOver(rtl::Integer, rtl::Integer, rtl::Integer, vcl::TMouseButton, vcl::TShiftState, Extended,
                           Extended, Extended, vcl::TCursor&, TqvxMouseIntEvents) override {
    return nullptr;
  }
  void AddFrom(TqvxReport*) override {}
  void LoadFromStream(rtl::TStream&, bool) override {}
  void SaveToStream(rtl::TStream&) override {}
  bool LoadFromFile(const rtl::String&, bool) override { return false; }
  void SaveToFile(const rtl::String&) override {}
  bool Print() override { return false; }
  bool Export(TqvxCustomExportFilter*) override { return false; }

  std::vector<TqvxPictureView*> Pictures;
  rtl::Integer PictureBase = 0;
  rtl::Integer LogicalPageNo = 1, LogicalTotalPages = 1;
};
