#pragma once
// A prepared-pages store for the engine's tests: it records every band the engine writes, with each object's
// absolute position on its page, and keeps a copy of each view so a page can be drawn. It follows what the
// engine relies on of the store: pages appended or written over, objects cut from a position and pasted at
// another, the lowest bottom edge of a page or column, logical page numbers.
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxPreviewIntf.h"

struct TRecordedObject {
  rtl::String ClassName, Name, Band, Text;
  Extended Left = 0, Top = 0, Width = 0, Height = 0;
  bool IsBand = false;
  std::shared_ptr<TqvxView> Copy;
  Extended Bottom() const { return Top + Height; }
};

struct TRecordedPage {
  std::vector<TRecordedObject> Objects;
  rtl::Integer Logical = 1;
  // Texts of the views, top to bottom (then left to right).
  std::vector<rtl::String> Texts() const {
    std::vector<const TRecordedObject*> views;
    for (const auto& o : Objects)
      if (!o.IsBand && !o.Text.empty()) views.push_back(&o);
    std::stable_sort(views.begin(), views.end(), [](auto* a, auto* b) {
      if (std::abs(static_cast<double>(a->Top - b->Top)) > 0.5) return a->Top < b->Top;
      return a->Left < b->Left;
    });
    std::vector<rtl::String> texts;
    for (auto* v : views) texts.push_back(v->Text);
    return texts;
  }
  std::vector<const TRecordedObject*> Bands(const rtl::String& name = rtl::String()) const {
    std::vector<const TRecordedObject*> bands;
    for (const auto& o : Objects)
      if (o.IsBand && (name.empty() || o.Name == name)) bands.push_back(&o);
    return bands;
  }
  const TRecordedObject* Find(const rtl::String& text) const {
    for (const auto& o : Objects)
      if (!o.IsBand && o.Text == text) return &o;
    return nullptr;
  }
};

class TqvxRecordingOutline : public TqvxCustomOutline {
 public:
  using TqvxCustomOutline::TqvxCustomOutline;
  rtl::Integer GetCount() override { return 0; }
  void AddItem(const rtl::String& text, rtl::Integer) override { Items.push_back(text); }
  void LevelDown(rtl::Integer) override {}
  void LevelRoot() override {}
  void LevelUp() override {}
  void GetItem(rtl::Integer, rtl::String& text, rtl::Integer& page, rtl::Integer& top) override {
    text.clear();
    page = top = 0;
  }
  void ShiftItems(TqvxXMLItem*, rtl::Integer) override {}
  TqvxXMLItem* GetCurPosition() override { return nullptr; }
  std::vector<rtl::String> Items;
};

class TqvxRecordingPages : public TqvxCustomPreviewPages {
 public:
  explicit TqvxRecordingPages(TqvxReport* report, bool keepCopies = true)
      : TqvxCustomPreviewPages(report), FKeepCopies(keepCopies) {
    SetOutline(new TqvxRecordingOutline(this));
  }

  rtl::Integer GetCount() override { return static_cast<rtl::Integer>(Pages.size()); }
  TqvxReportPage* GetPage(rtl::Integer) override { return nullptr; }
  TqvxPoint GetPageSize(rtl::Integer) override { return TqvxPoint{}; }
  void Clear() override {
    Pages.clear();
    CurPage = 0;
    Cleared++;
  }
  void Initialize() override {}
  void AddObject(TqvxComponent* obj) override {
    auto* band = dynamic_cast<TqvxBand*>(obj);
    if (!band || CurPage < 0 || CurPage >= GetCount()) return;
    auto& page = Pages[static_cast<size_t>(CurPage)];
    TRecordedObject b;
    b.ClassName = band->ClassName();
    b.Name = band->Name();
    b.Left = band->Left();
    b.Top = band->Top();
    b.Width = band->Width();
    b.Height = band->Height();
    b.IsBand = true;
    page.Objects.push_back(b);
    Added++;
    for (TqvxComponent* child : band->Objects()) {
      auto* view = dynamic_cast<TqvxView*>(child);
      if (!view || !view->Visible()) continue;
      TRecordedObject o;
      o.ClassName = view->ClassName();
      o.Name = view->Name();
      o.Band = band->Name();
      o.Left = band->Left() + view->Left();
      o.Top = band->Top() + view->Top();
      o.Width = view->Width();
      o.Height = view->Height();
      if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(view)) {
        // The text as it reads on the page: the line break that ends the last line is not part of it.
        o.Text = memo->Text();
        while (!o.Text.empty() && (o.Text.back() == L'\n' || o.Text.back() == L'\r')) o.Text.pop_back();
      }
      if (FKeepCopies) {
        auto* copy = dynamic_cast<TqvxView*>(view->ClassType()->CreateInstance({}));
        if (copy) {
          copy->Assign(view);
          copy->SetBounds(o.Left, o.Top, o.Width, o.Height);
          o.Copy.reset(copy);
        }
      }
      page.Objects.push_back(std::move(o));
    }
  }
  void AddPage(TqvxReportPage* page) override {
    if (AddPageAction == apWriteOver && CurPage < GetCount() - 1) {
      ++CurPage;
      return;
    }
    Pages.emplace_back();
    Pages.back().Logical = FLogical++;
    CurPage = GetCount() - 1;
    Source = page;
  }
  void AddSourcePage(TqvxReportPage*) override {}
  void AddToSourcePage(TqvxComponent*) override {}
  void BeginPass() override { FLogical = 1; }
  void ClearFirstPassPages() override {
    Pages.clear();
    CurPage = 0;
  }
  void CutObjects(rtl::Integer position) override {
    FCut.clear();
    if (CurPage < 0 || CurPage >= GetCount()) return;
    auto& objects = Pages[static_cast<size_t>(CurPage)].Objects;
    const size_t from = std::min(objects.size(), static_cast<size_t>(std::max(0, position)));
    FCut.assign(objects.begin() + static_cast<std::ptrdiff_t>(from), objects.end());
    objects.erase(objects.begin() + static_cast<std::ptrdiff_t>(from), objects.end());
    ++Cuts;
  }
  void PasteObjects(Extended x, Extended y) override {
    if (FCut.empty() || CurPage < 0 || CurPage >= GetCount()) return;
    Extended top = FCut.front().Top;
    for (const auto& o : FCut) top = std::min(top, o.Top);
    for (auto& o : FCut) {
      o.Top = o.Top - top + y;
      o.Left += x;
      if (o.Copy) o.Copy->SetBounds(o.Left, o.Top, o.Width, o.Height);
      Pages[static_cast<size_t>(CurPage)].Objects.push_back(o);
    }
    FCut.clear();
  }
  void Finish() override {}
  void IncLogicalPageNumber() override {}
  void ResetLogicalPageNumber() override { FLogical = 1; }
  void ShiftAnchors(rtl::Integer, rtl::Integer) override {}
  void AddPicture(TqvxPictureView*) override {}
  bool BandExists(TqvxBand* band) override {
    if (CurPage < 0 || CurPage >= GetCount()) return false;
    for (const auto& o : Pages[static_cast<size_t>(CurPage)].Objects)
      if (o.IsBand && o.Name == band->Name()) return true;
    return false;
  }
  rtl::Integer GetCurPosition() override {
    if (CurPage < 0 || CurPage >= GetCount()) return 0;
    return static_cast<rtl::Integer>(Pages[static_cast<size_t>(CurPage)].Objects.size());
  }
  rtl::Integer GetAnchorCurPosition() override { return 0; }
  Extended GetLastY(Extended columnPosition) override {
    Extended y = 0;
    if (CurPage < 0 || CurPage >= GetCount()) return 0;
    for (const auto& o : Pages[static_cast<size_t>(CurPage)].Objects)
      if (o.IsBand && o.Left >= columnPosition - 0.0001L) y = std::max(y, o.Bottom());
    return y;
  }
  rtl::Integer GetLogicalPageNo() override {
    return CurPage >= 0 && CurPage < GetCount() ? Pages[static_cast<size_t>(CurPage)].Logical : 1;
  }
  rtl::Integer GetLogicalTotalPages() override { return GetCount(); }
  void AddEmptyPage(rtl::Integer) override {}
  void DeletePage(rtl::Integer) override {}
  void ModifyPage(rtl::Integer, TqvxReportPage*) override {}
  void DrawPage(rtl::Integer index, vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX,
                Extended offsetY) override {
    if (index < 0 || index >= GetCount()) return;
    for (auto& o : Pages[static_cast<size_t>(index)].Objects)
      if (o.Copy) {
        if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(o.Copy.get())) memo->TotalPages = GetCount();
        o.Copy->Draw(canvas, scaleX, scaleY, offsetX, offsetY);
      }
  }
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

  TqvxRecordingOutline* RecordedOutline() { return static_cast<TqvxRecordingOutline*>(Outline()); }

  std::vector<TRecordedPage> Pages;
  TqvxReportPage* Source = nullptr;
  int Cleared = 0, Cuts = 0, Added = 0;

 private:
  bool FKeepCopies;
  rtl::Integer FLogical = 1;
  std::vector<TRecordedObject> FCut;
};
