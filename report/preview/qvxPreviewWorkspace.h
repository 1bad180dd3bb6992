#pragma once
// The page area of the preview: the prepared pages laid out in rows (as many side by side as fit, centred, with
// 10-pixel gaps), scrolled with 32-bit positions, painted as far as they are visible, dragged by the hand,
// clicked through to the objects on them, and searched for text. The preview control owns two: the page area and
// the thumbnail strip.
#include <memory>
#include <vector>

#include "platform/vcl/metafile.h"
#include "report/model/qvxPreviewIntf.h"
#include "report/preview/qvxCtrls.h"

class TqvxPreview;

// A laid-out page: its scaled size and its top-left corner in workspace coordinates (before scrolling).
struct TqvxPageItem {
  int Height = 0;
  int Width = 0;
  int OffsetX = 0;
  int OffsetY = 0;
};

class TqvxPageList {
 public:
  void AddPage(int width, int height, Extended zoom);
  // Places the pages in rows for the width w.
  void CalcBounds(int w);
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  // The last page whose top lies at or above offsetY (a fifth of its height tolerated); with offsetX, the page
  // around that whose rectangle holds the point. -1 before the first page.
  int FindPage(int offsetY, int offsetX = 0) const;
  // The page's rectangle; an index outside the list gives an A4-sized rectangle.
  vcl::TRect GetPageBounds(int index, int w, bool rtl, Extended scale) const;
  vcl::TPoint GetMaxBounds() const;
  const TqvxPageItem& Items(int index) const { return FItems[index]; }
  int MaxWidth() const { return FMaxWidth; }

 private:
  std::vector<TqvxPageItem> FItems;
  int FMaxWidth = 0;
};

// The text search, shared by every preview.
struct TqvxSearchState {
  rtl::String TextToFind;
  bool TextFound = false;
  // The found text's bounds on its page at scale 1.
  vcl::TRect TextBounds;
  int RecordNo = 0;
  // Record index of the last find on the page being searched; -1 none.
  int LastFoundRecord = -1;
  bool CaseSensitive = false;
};
TqvxSearchState& qvxSearch();

// Whether text holds what (exactly, or both upper-cased by the user's locale).
bool qvxTextMatches(const rtl::String& text, const rtl::String& what, bool caseSensitive);

class TqvxPreviewWorkspace : public TqvxScrollWin {
  VCL_CLASS(TqvxPreviewWorkspace, TqvxScrollWin)
 public:
  explicit TqvxPreviewWorkspace(vcl::TComponent* owner);
  ~TqvxPreviewWorkspace() override;

  void AddPage(int width, int height) { FPageList.AddPage(width, height, FZoom); }
  void CalcPageBounds(int clientWidth) { FPageList.CalcBounds(clientWidth); }
  void ClearPageList() { FPageList.Clear(); }
  void UpdateScrollBars();
  void SetToPageNo(int pageNo);
  void SetPosition(int pageN, int top);
  int GetTopPosition();
  void DrawPages(bool frameOnly);
  // One step of the search (from the page and record where the last one stopped).
  void FindText();
  const TqvxPageList& PageList() const { return FPageList; }

  vcl::TColor ActiveFrameColor() const { return FActiveFrameColor; }
  void SetActiveFrameColor(vcl::TColor value) { FActiveFrameColor = value; }
  vcl::TColor BackColor() const { return FBackColor; }
  void SetBackColor(vcl::TColor value) { FBackColor = value; }
  vcl::TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(vcl::TColor value) { FFrameColor = value; }
  bool IsThumbnail() const { return FIsThumbnail; }
  void SetIsThumbnail(bool value) { FIsThumbnail = value; }
  bool Locked() const { return FLocked; }
  void SetLocked(bool value) { FLocked = value; }
  int PageNo() const { return FPageNo; }
  void SetPageNo(int value) { FPageNo = value; }
  TqvxPreview* Preview() const { return FPreview; }
  void SetPreview(TqvxPreview* value) { FPreview = value; }
  TqvxCustomPreviewPages* PreviewPages() const { return FPreviewPages; }
  void SetPreviewPages(TqvxCustomPreviewPages* value) { FPreviewPages = value; }
  Extended Zoom() const { return FZoom; }
  void SetZoom(Extended value) { FZoom = value; }
  bool RTLLanguage() const { return FRTLLanguage; }
  void SetRTLLanguage(bool value) { FRTLLanguage = value; }
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool value) { FDoubleBuffered = value; }
  bool DisableUpdate() const { return FDisableUpdate; }
  void SetDisableUpdate(bool value) { FDisableUpdate = value; }
  int LastFoundPage() const { return FLastFoundPage; }
  void SetLastFoundPage(int value) { FLastFoundPage = value; }
  int EMFImagePage() const { return FEMFImagePage; }
  void SetEMFImagePage(int value) { FEMFImagePage = value; }
  vcl::TPoint Offset() const { return FOffset; }
  // Puts the scroll offset back without scrolling (a refresh keeps the view where it was).
  void SetOffset(vcl::TPoint value) { FOffset = value; }
  // Pages drawn by the last paint (for the benchmark and the tests).
  int PagesDrawn() const { return FPagesDrawn; }

 protected:
  void Paint() override;
  void PaintWindow(HDC dc) override;
  void OnHScrollChange() override;
  void OnVScrollChange() override;
  void DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void DoMouseMove(vcl::TShiftState shift, int x, int y) override;
  void DoMouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void DblClick() override;
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;
  void Resize() override;
  void Dispatch(vcl::TMessage& m) override;

 private:
  void DrawPage(int index, const vcl::TRect& r);
  void ReplayPage(int index);
  int ViewWidth();

  vcl::TColor FActiveFrameColor = 0x3CC7FF;
  vcl::TColor FBackColor = 0x808080;
  vcl::TCursor FDefaultCursor;
  bool FDisableUpdate = false;
  bool FDown = false;
  std::unique_ptr<vcl::TMetafile> FEMFImage;
  int FEMFImagePage = -1;
  vcl::TColor FFrameColor = 0x606060;
  bool FIsThumbnail = false;
  int FLastFoundPage = 0;
  vcl::TPoint FLastPoint;
  bool FLocked = false;
  vcl::TPoint FOffset;
  unsigned FTimeOffset = 0;
  TqvxPageList FPageList;
  int FPageNo = 1;
  TqvxPreview* FPreview = nullptr;
  TqvxCustomPreviewPages* FPreviewPages = nullptr;
  Extended FZoom = 1;
  bool FRTLLanguage = false;
  bool FDoubleBuffered = false;
  int FPagesDrawn = 0;
};
