#include "report/preview/qvxPreviewWorkspace.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/strings.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/forms.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxRes.h"
#include "report/pages/qvxPagesOutput.h"
#include "report/preview/qvxPagePainter.h"
#include "report/preview/qvxPreview.h"

using namespace vcl;

namespace {

int Rnd(Extended v) { return static_cast<int>(std::llround(static_cast<double>(v))); }

}  // namespace

// --- TqvxPageList

void TqvxPageList::AddPage(int width, int height, Extended zoom) {
  TqvxPageItem item;
  item.Width = Rnd(width * zoom);
  item.Height = Rnd(height * zoom);
  FItems.push_back(item);
}

void TqvxPageList::CalcBounds(int w) {
  FMaxWidth = 0;
  int y = 10;
  int i = 0;
  const int count = Count();
  while (i < count) {
    int x = 0, h = 0, j = i;
    while (j < count && !(x > 0 && x + FItems[j].Width > w)) {
      FItems[j].OffsetX = x;
      FItems[j].OffsetY = y;
      x += FItems[j].Width + 10;
      h = std::max(h, FItems[j].Height);
      ++j;
    }
    if (x > FMaxWidth) FMaxWidth = x;
    int s = (w - x + 10) / 2;
    if (s < 0) s = 0;
    s += 10;
    for (int k = i; k < j; ++k) FItems[k].OffsetX += s;
    y += h + 10;
    i = j;
  }
}

int TqvxPageList::FindPage(int offsetY, int offsetX) const {
  int lo = 0, hi = Count() - 1;
  while (lo <= hi) {
    const int m = (lo + hi) / 2;
    const int d = offsetX != 0 ? 0 : Rnd(FItems[m].Height / 5.0L);
    if (FItems[m].OffsetY > offsetY + d)
      hi = m - 1;
    else
      lo = m + 1;
  }
  if (offsetX != 0) {
    for (int i = hi - 20; i <= hi + 20; ++i) {
      if (i < 0 || i >= Count()) continue;
      const TqvxPageItem& p = FItems[i];
      if (offsetX >= p.OffsetX && offsetX < p.OffsetX + p.Width && offsetY >= p.OffsetY &&
          offsetY < p.OffsetY + p.Height)
        return i;
    }
  }
  return hi;
}

TRect TqvxPageList::GetPageBounds(int index, int w, bool rtl, Extended scale) const {
  TRect r;
  if (index >= 0 && index < Count()) {
    const TqvxPageItem& p = FItems[index];
    r.Left = rtl ? w - p.Width - p.OffsetX : p.OffsetX;
    r.Top = p.OffsetY;
    r.Right = r.Left + p.Width;
    r.Bottom = r.Top + p.Height;
    return r;
  }
  r.Left = w >= scale * 794 ? Rnd((w - scale * 794) / 2) : 10;
  r.Top = Rnd(scale * 10);
  r.Right = r.Left + Rnd(scale * 794);
  r.Bottom = r.Top + Rnd(scale * 1123);
  return r;
}

TPoint TqvxPageList::GetMaxBounds() const {
  if (FItems.empty()) return TPoint(0, 0);
  const TqvxPageItem& last = FItems.back();
  return TPoint(FMaxWidth, last.OffsetY + last.Height);
}

// --- search state

TqvxSearchState& qvxSearch() {
  static TqvxSearchState state;
  return state;
}

bool qvxTextMatches(const rtl::String& text, const rtl::String& what, bool caseSensitive) {
  if (what.empty()) return false;
  if (caseSensitive) return text.find(what) != rtl::String::npos;
  return rtl::AnsiUpperCase(text).find(rtl::AnsiUpperCase(what)) != rtl::String::npos;
}

// --- TqvxPreviewWorkspace

TqvxPreviewWorkspace::TqvxPreviewWorkspace(TComponent* owner) : TqvxScrollWin(owner) {
  // The library's hand: the system's own hand cursor under the library's number.
  constexpr TCursor crHand = 150;
  if (Screen && !Screen->Cursors(crHand)) Screen->SetCursors(crHand, LoadCursorW(nullptr, IDC_HAND));
  FDefaultCursor = crHand;
  SetLargeChange(300);
  SetSmallChange(8);
}

TqvxPreviewWorkspace::~TqvxPreviewWorkspace() = default;

int TqvxPreviewWorkspace::ViewWidth() { return ClientWidth(); }

void TqvxPreviewWorkspace::UpdateScrollBars() {
  const TPoint max = FPageList.GetMaxBounds();
  SetHorzRange(max.X + 10);
  SetVertRange(max.Y + 10);
}

void TqvxPreviewWorkspace::SetToPageNo(int pageNo) {
  if (FDisableUpdate) return;
  SetVertPosition(FPageList.GetPageBounds(pageNo - 1, ViewWidth(), FRTLLanguage, FZoom).Top - 10);
}

void TqvxPreviewWorkspace::SetPosition(int pageN, int top) {
  TqvxReportPage* page = FPreviewPages ? FPreviewPages->GetPage(pageN - 1) : nullptr;
  if (!page) return;
  const int o = top == 0 ? 0 : Rnd((page->TopMargin * qv01cm + top) * FZoom);
  SetVertPosition(FPageList.GetPageBounds(pageN - 1, ViewWidth(), FRTLLanguage, FZoom).Top - 10 + o);
}

int TqvxPreviewWorkspace::GetTopPosition() {
  if (!FPreview || !FPreviewPages) return 0;
  TqvxReportPage* page = FPreviewPages->GetPage(FPreview->PageNo() - 1);
  if (!page) return 0;
  const int top = FPageList.GetPageBounds(FPreview->PageNo() - 1, ViewWidth(), FRTLLanguage, FZoom).Top;
  return Rnd((VertPosition() - top + 10) / FZoom - page->TopMargin * qv01cm);
}

void TqvxPreviewWorkspace::PaintWindow(HDC dc) {
  if (!FDoubleBuffered) {
    TqvxScrollWin::PaintWindow(dc);
    return;
  }
  // Painted off screen first, so that a page is never seen half drawn.
  RECT clip;
  if (GetClipBox(dc, &clip) == NULLREGION) return;
  const int w = clip.right - clip.left, h = clip.bottom - clip.top;
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max(w, 1), std::max(h, 1));
  HGDIOBJ old = SelectObject(mem, bitmap);
  SetWindowOrgEx(mem, clip.left, clip.top, nullptr);
  IntersectClipRect(mem, clip.left, clip.top, clip.right, clip.bottom);
  try {
    TqvxScrollWin::PaintWindow(mem);
  } catch (...) {
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
    throw;
  }
  SetWindowOrgEx(mem, 0, 0, nullptr);
  BitBlt(dc, clip.left, clip.top, w, h, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(bitmap);
  DeleteDC(mem);
}

void TqvxPreviewWorkspace::Paint() { DrawPages(false); }

void TqvxPreviewWorkspace::DrawPage(int index, const TRect& r) {
  TCanvas* c = Canvas();
  c->Pen()->SetColor(FFrameColor);
  c->Pen()->SetWidth(1);
  c->Pen()->SetMode(pmCopy);
  c->Pen()->SetStyle(psSolid);
  c->Brush()->SetColor(clWhite);
  c->Brush()->SetStyle(bsSolid);
  c->Rectangle(r.Left, r.Top, r.Right, r.Bottom - 1);
  try {
    qvxPagePainter().DrawPage(FPreviewPages, index, c, FZoom, FZoom, r.Left, r.Top);
  } catch (const rtl::Exception&) {
    // A page that cannot be rebuilt stays blank rather than stopping every later paint.
  }
  ++FPagesDrawn;
  if (FIsThumbnail) {
    c->Font()->SetName(L"Arial");
    c->Font()->SetSize(8);
    c->Font()->SetStyle(TFontStyles());
    c->Font()->SetColor(clWhite);
    c->Brush()->SetColor(FBackColor);
    c->Brush()->SetStyle(bsSolid);
    c->TextOut(r.Left + 1, r.Top + 1, L" " + rtl::IntToStr(index + 1) + L" ");
  }
  const TqvxSearchState& s = qvxSearch();
  if (s.TextFound && index == FLastFoundPage) {
    const TRect h(Rnd(s.TextBounds.Left * FZoom), Rnd(s.TextBounds.Top * FZoom), Rnd(s.TextBounds.Right * FZoom),
                  Rnd(s.TextBounds.Bottom * FZoom));
    c->Pen()->SetColor(clWhite);
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetMode(pmXor);
    for (int y = h.Top; y <= h.Bottom; ++y) {
      c->MoveTo(r.Left + h.Left - 1, r.Top + y);
      c->LineTo(r.Left + h.Right + 1, r.Top + y);
    }
    c->Pen()->SetMode(pmCopy);
  }
}

void TqvxPreviewWorkspace::DrawPages(bool frameOnly) {
  if (!Visible() || !HandleAllocated()) return;
  TCanvas* c = Canvas();
  const bool ownDC = !c->HandleAllocated();
  HDC windowDC = nullptr;
  if (ownDC) {
    // Called outside a paint (only the frames changed): draw straight into the window.
    windowDC = GetDC(Handle());
    c->Lock();
    c->SetHandle(windowDC);
  }
  const TRect client = ClientRect();
  FPagesDrawn = 0;
  try {
    if (FLocked || FPageList.Count() == 0 || !FPreviewPages) {
      c->Brush()->SetColor(FBackColor);
      c->Brush()->SetStyle(bsSolid);
      c->FillRect(client);
    } else {
      HDC dc = c->Handle();
      HRGN saved = CreateRectRgn(0, 0, client.Width(), client.Height());
      const bool hadClip = GetClipRgn(dc, saved) == 1;
      const int w = ViewWidth();
      const int first = FPageList.FindPage(FOffset.Y, 0);
      auto bounds = [&](int i) {
        TRect r = FPageList.GetPageBounds(i, w, FRTLLanguage, FZoom);
        r.Left -= FOffset.X;
        r.Right -= FOffset.X;
        r.Top -= FOffset.Y;
        r.Bottom -= FOffset.Y;
        return r;
      };
      auto visible = [&](const TRect& r) {
        if (r.Top > client.Height() || r.Bottom < 0) return false;
        RECT rr{r.Left, r.Top, r.Right, r.Bottom};
        return RectVisible(dc, &rr) != 0;
      };
      const int last = std::min(first + 340, FPageList.Count() - 1);
      for (int i = std::max(first - 60, 0); i <= last; ++i) {
        const TRect r = bounds(i);
        if (visible(r)) ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
      }
      c->Brush()->SetColor(FBackColor);
      c->Brush()->SetStyle(bsSolid);
      c->FillRect(client);
      SelectClipRgn(dc, hadClip ? saved : nullptr);

      const TRect cur = bounds(FPageNo - 1);
      c->Pen()->SetColor(FActiveFrameColor);
      c->Pen()->SetWidth(2);
      c->Pen()->SetMode(pmCopy);
      c->Pen()->SetStyle(psSolid);
      const TPoint frame[] = {TPoint(cur.Left - 1, cur.Top - 1), TPoint(cur.Right + 1, cur.Top - 1),
                              TPoint(cur.Right + 1, cur.Bottom + 1), TPoint(cur.Left - 1, cur.Bottom + 1),
                              TPoint(cur.Left - 1, cur.Top - 2)};
      c->Polyline(frame, 5);

      if (!frameOnly) {
        for (int i = std::max(first - 60, 0); i <= last; ++i) {
          TRect r = bounds(i);
          r.Bottom += 1;
          if (visible(r)) DrawPage(i, r);
        }
      }
      DeleteObject(saved);
    }
  } catch (...) {
    if (ownDC) {
      c->SetHandle(nullptr);
      c->Unlock();
      ReleaseDC(Handle(), windowDC);
    }
    throw;
  }
  if (ownDC) {
    c->SetHandle(nullptr);
    c->Unlock();
    ReleaseDC(Handle(), windowDC);
  }
}

void TqvxPreviewWorkspace::OnHScrollChange() {
  const int p = HorzPosition();
  const int dx = FOffset.X - p;
  FOffset.X = p;
  if (HandleAllocated()) ScrollWindowEx(Handle(), dx, 0, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
}

void TqvxPreviewWorkspace::OnVScrollChange() {
  const int p = VertPosition();
  const int dy = FOffset.Y - p;
  FOffset.Y = p;
  if (HandleAllocated()) ScrollWindowEx(Handle(), 0, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
  if (!FIsThumbnail && FPreview) {
    const int page = FPageList.FindPage(FOffset.Y, 0);
    FDisableUpdate = true;
    try {
      FPreview->SetPageNo(page + 1);
    } catch (...) {
      FDisableUpdate = false;
      throw;
    }
    FDisableUpdate = false;
  }
}

void TqvxPreviewWorkspace::Resize() {
  TqvxScrollWin::Resize();
  SetHorzPage(ClientWidth());
  SetVertPage(ClientHeight());
}

void TqvxPreviewWorkspace::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TqvxScrollWin::DoMouseDown(button, shift, x, y);
  if (FPageList.Count() > 0 && !FLocked && button == mbLeft) {
    FDown = true;
    FLastPoint = TPoint(x, y);
  }
}

void TqvxPreviewWorkspace::DoMouseMove(TShiftState shift, int x, int y) {
  TqvxScrollWin::DoMouseMove(shift, x, y);
  if (FPageList.Count() == 0 || FLocked || FIsThumbnail) return;
  if (FDown) {
    SetHorzPosition(HorzPosition() - (x - FLastPoint.X));
    SetVertPosition(VertPosition() - (y - FLastPoint.Y));
    FLastPoint = TPoint(x, y);
    return;
  }
  if (!FPreviewPages) return;
  const int i = FPageList.FindPage(y + FOffset.Y, x + FOffset.X);
  const TRect b = FPageList.GetPageBounds(i, ViewWidth(), FRTLLanguage, FZoom);
  TCursor cursor = FDefaultCursor;
  if (qvxFindPagesOutputLink()) {
    try {
      FPreviewPages->ObjectOver(i, x, y, mbLeft, TShiftState(), FZoom, b.Left - FOffset.X, b.Top - FOffset.Y, cursor,
                                meMouseMove);
    } catch (const rtl::Exception&) {
    }
  }
  if (cursor != Cursor()) SetCursor(cursor);
}

void TqvxPreviewWorkspace::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TqvxScrollWin::DoMouseUp(button, shift, x, y);
  if (!FIsThumbnail && FPreview && FPreview->OnClick) FPreview->OnClick(FPreview);
  if (FPageList.Count() == 0 || FLocked) return;
  FDown = false;
  const int px = FRTLLanguage ? ClientWidth() - (FOffset.X + x) : x + FOffset.X;
  const int i = FPageList.FindPage(y + FOffset.Y, px);
  if (FPreview) {
    FDisableUpdate = true;
    FPreview->SetPageNo(i + 1);
    FDisableUpdate = false;
  }
  if (FIsThumbnail || button == mbRight || !FPreviewPages || !qvxFindPagesOutputLink()) return;
  const TRect b = FPageList.GetPageBounds(i, ViewWidth(), FRTLLanguage, FZoom);
  TCursor cursor = Cursor();
  try {
    FPreviewPages->ObjectOver(i, x, y, button, shift, FZoom, b.Left - FOffset.X, b.Top - FOffset.Y, cursor,
                              meMouseUp);
    if (FTimeOffset != 0 && GetTickCount() - FTimeOffset <= GetDoubleClickTime()) {
      FTimeOffset = 0;
      FPreviewPages->ObjectOver(i, x, y, button, shift, FZoom, b.Left - FOffset.X, b.Top - FOffset.Y, cursor,
                                meDbClick);
    } else {
      FTimeOffset = GetTickCount();
      FPreviewPages->ObjectOver(i, x, y, button, shift, FZoom, b.Left - FOffset.X, b.Top - FOffset.Y, cursor,
                                meClick);
    }
  } catch (const rtl::Exception&) {
  }
}

void TqvxPreviewWorkspace::DblClick() {
  TqvxScrollWin::DblClick();
  if (!FIsThumbnail && FPreview && FPreview->OnDblClick) FPreview->OnDblClick(FPreview);
}

void TqvxPreviewWorkspace::KeyDown(rtl::Word& key, TShiftState shift) {
  TqvxScrollWin::KeyDown(key, shift);
  if (key != 0 && FPreview) FPreview->PreviewKeyDown(key, shift);
}

void TqvxPreviewWorkspace::Dispatch(TMessage& m) {
  if (m.Msg == WM_MOUSEWHEEL && FPreview) {
    const int delta = static_cast<short>(HIWORD(m.WParam));
    FPreview->MouseWheelScroll(delta, false, (LOWORD(m.WParam) & MK_CONTROL) != 0);
    m.Result = 0;
    return;
  }
  TqvxScrollWin::Dispatch(m);
}

// --- the search

namespace {

struct TEnumContext {
  const BYTE* end;
};

int CALLBACK EnumEMFRecordsProc(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM) {
  TqvxSearchState& s = qvxSearch();
  if (record->iType == EMR_EXTTEXTOUTA || record->iType == EMR_EXTTEXTOUTW) {
    const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    const size_t size = record->nSize;
    // Both kinds are read as UTF-16, and never past the record.
    if (size >= sizeof(EMREXTTEXTOUTW)) {
      const size_t offset = text->emrtext.offString, chars = text->emrtext.nChars;
      if (offset <= size && chars <= (size - offset) / 2) {
        rtl::String str(reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + offset), chars);
        if (qvxTextMatches(str, s.TextToFind, s.CaseSensitive) && s.RecordNo > s.LastFoundRecord) {
          s.TextFound = true;
          RECTL b = text->rclBounds;
          if (b.right < b.left || b.bottom < b.top) {
            // No bounds recorded: the reference point and a line of text.
            b.left = text->emrtext.ptlReference.x;
            b.top = text->emrtext.ptlReference.y;
            b.right = b.left + static_cast<LONG>(chars) * 6;
            b.bottom = b.top + 14;
          }
          s.TextBounds = TRect(b.left, b.top, b.right, b.bottom);
          s.LastFoundRecord = s.RecordNo;
          ++s.RecordNo;
          return 0;
        }
      }
    }
  }
  ++s.RecordNo;
  return 1;
}

}  // namespace

void TqvxPreviewWorkspace::ReplayPage(int index) {
  FEMFImage = std::make_unique<TMetafile>();
  const TqvxPoint size = FPreviewPages->GetPageSize(index);
  FEMFImage->SetWidth(std::max(1, static_cast<int>(size.X)));
  FEMFImage->SetHeight(std::max(1, static_cast<int>(size.Y)));
  {
    TMetafileCanvas canvas(FEMFImage.get(), nullptr);
    qvxPagePainter().DrawPage(FPreviewPages, index, &canvas, 1, 1, 0, 0);
  }
  FEMFImagePage = index;
}

void TqvxPreviewWorkspace::FindText() {
  TqvxSearchState& s = qvxSearch();
  s.TextFound = false;
  if (!FPreviewPages) return;
  while (FLastFoundPage < FPreviewPages->GetCount()) {
    if (!FEMFImage || FEMFImagePage != FLastFoundPage) ReplayPage(FLastFoundPage);
    s.RecordNo = 0;
    if (FEMFImage->Handle()) EnumEnhMetaFile(nullptr, FEMFImage->Handle(), EnumEMFRecordsProc, nullptr, nullptr);
    if (s.TextFound) {
      const TRect b = FPageList.GetPageBounds(FLastFoundPage, ViewWidth(), FRTLLanguage, FZoom);
      const TRect h(Rnd(s.TextBounds.Left * FZoom), Rnd(s.TextBounds.Top * FZoom), Rnd(s.TextBounds.Right * FZoom),
                    Rnd(s.TextBounds.Bottom * FZoom));
      if (b.Top + h.Top < FOffset.Y || b.Top + h.Bottom > ClientHeight() + FOffset.Y)
        SetVertPosition(b.Top + h.Bottom - ClientHeight() + 20);
      if (b.Left + h.Left < FOffset.X || b.Left + h.Right > ClientWidth() + FOffset.X)
        SetHorzPosition(b.Left + h.Right - ClientWidth() + 20);
      Invalidate();
      return;
    }
    s.LastFoundRecord = -1;
    ++FLastFoundPage;
  }
  MessageDlg(qvxResources().Get(L"clStrNotFound"), mtInformation, TMsgDlgButtons{mbOK});
}

VCL_REGISTER(TqvxPreviewWorkspace) {}
