#include "report/model/qvxGraphics.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/vcl/colors.h"
#include "report/model/qvxClass.h"

namespace {

// The bitmap's pixels as a top-down 32-bit device-independent copy, with its header.
struct TDibCopy {
  BITMAPINFO info{};
  std::vector<std::uint32_t> bits;
};

TDibCopy CopyBits(vcl::TBitmap* bitmap) {
  TDibCopy copy;
  const int w = bitmap->Width(), h = bitmap->Height();
  copy.info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  copy.info.bmiHeader.biWidth = w;
  copy.info.bmiHeader.biHeight = -h;
  copy.info.bmiHeader.biPlanes = 1;
  copy.info.bmiHeader.biBitCount = 32;
  copy.info.bmiHeader.biCompression = BI_RGB;
  if (w <= 0 || h <= 0) return copy;
  copy.bits.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap->Handle(), 0, static_cast<UINT>(h), copy.bits.data(), &copy.info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return copy;
}

void StretchCopy(HDC dc, const vcl::TRect& rect, const TDibCopy& copy, DWORD rop) {
  StretchDIBits(dc, rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top, 0, 0,
                copy.info.bmiHeader.biWidth, -copy.info.bmiHeader.biHeight, copy.bits.data(), &copy.info,
                DIB_RGB_COLORS, rop);
}

bool IsBitmap(vcl::TGraphic* graphic) { return dynamic_cast<vcl::TBitmap*>(graphic) != nullptr; }

}  // namespace

void qvxMakeDisabledImage(vcl::TBitmap* bitmap) {
  vcl::TCanvas* canvas = bitmap->Canvas();
  for (int y = 0; y < bitmap->Height(); ++y)
    for (int x = 0; x < bitmap->Width(); ++x) {
      const vcl::TColor c = vcl::ColorToRGB(canvas->Pixels(x, y));
      const int average = (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3;
      const int g = std::min(255, static_cast<int>(std::nearbyint(average / 3.0)) + 150);
      canvas->SetPixels(x, y, static_cast<vcl::TColor>(RGB(g, g, g)));
    }
}

void qvxAssignImages(vcl::TBitmap* bitmap, int dx, int dy, vcl::TCustomImageList* imgList,
                     vcl::TCustomImageList* disabledList) {
  if (!bitmap || dx <= 0 || dy <= 0) return;
  for (int y = 0; y + dy <= bitmap->Height(); y += dy)
    for (int x = 0; x + dx <= bitmap->Width(); x += dx) {
      vcl::TBitmap cell(dx, dy, vcl::pf24bit);
      cell.Canvas()->CopyRect(vcl::TRect(0, 0, dx, dy), bitmap->Canvas(), vcl::TRect(x, y, x + dx, y + dy));
      imgList->AddMasked(&cell, cell.Canvas()->Pixels(0, dy - 1));
      if (disabledList) {
        qvxMakeDisabledImage(&cell);
        disabledList->AddMasked(&cell, cell.Canvas()->Pixels(0, dy - 1));
      }
    }
}

void qvxDrawTransparent(vcl::TCanvas* canvas, int x, int y, vcl::TBitmap* bitmap) {
  if (!bitmap || bitmap->Width() <= 0 || bitmap->Height() <= 0) return;
  vcl::TImageList list(nullptr, bitmap->Width(), bitmap->Height());
  list.AddMasked(bitmap, bitmap->TransparentColor());
  list.Draw(canvas, x, y, 0);
}

void DrawBitmap(HDC dc, const vcl::TRect& rect, vcl::TBitmap* bitmap) {
  const int oldMode = SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top, bitmap->Canvas()->Handle(), 0, 0,
             bitmap->Width(), bitmap->Height(), SRCCOPY);
  SetStretchBltMode(dc, oldMode);
}

void PrintBitmap(HDC dc, const vcl::TRect& rect, vcl::TBitmap* bitmap) {
  const TDibCopy copy = CopyBits(bitmap);
  if (copy.bits.empty()) return;
  const int oldMode = SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchCopy(dc, rect, copy, SRCCOPY);
  SetStretchBltMode(dc, oldMode);
}

void ApplyMask(HDC destDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY, int srcWidth,
               int srcHeight, COLORREF maskColor) {
  if (width <= 0 || height <= 0) return;
  HDC maskDC = CreateCompatibleDC(nullptr);
  HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
  HGDIOBJ oldMask = SelectObject(maskDC, mask);
  // Turned monochrome against maskColor as background, the source's pixels of that colour become white.
  const COLORREF oldSrcBk = SetBkColor(srcDC, maskColor);
  const int oldMode = SetStretchBltMode(maskDC, COLORONCOLOR);
  StretchBlt(maskDC, 0, 0, width, height, srcDC, srcX, srcY, srcWidth, srcHeight, SRCCOPY);
  SetStretchBltMode(maskDC, oldMode);
  SetBkColor(srcDC, oldSrcBk);
  const COLORREF oldText = SetTextColor(destDC, RGB(0, 0, 0));
  const COLORREF oldBk = SetBkColor(destDC, RGB(255, 255, 255));
  BitBlt(destDC, x, y, width, height, maskDC, 0, 0, SRCAND);
  SetTextColor(destDC, oldText);
  SetBkColor(destDC, oldBk);
  SelectObject(maskDC, oldMask);
  DeleteObject(mask);
  DeleteDC(maskDC);
}

void qvxDrawTransparentBitmap(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TBitmap* bitmap, bool useDIB,
                              vcl::TColor transparentColor) {
  if (!bitmap || bitmap->Width() <= 0 || bitmap->Height() <= 0) return;
  HDC dc = canvas->Handle();
  const int w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;
  const int oldMode = SetStretchBltMode(dc, bitmap->BitsPerPixel() == 1 ? BLACKONWHITE : HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  // For a printer the pixels go through a device-independent 32-bit copy (StretchDIBits does not invert on every
  // system, a blit from a section does).
  std::unique_ptr<vcl::TBitmap> copy;
  vcl::TBitmap* source = bitmap;
  if (useDIB) {
    copy = std::make_unique<vcl::TBitmap>(bitmap->Width(), bitmap->Height(), vcl::pf32bit);
    copy->Canvas()->Draw(0, 0, bitmap);
    source = copy.get();
  }
  HDC src = source->Canvas()->Handle();
  // Inverted in, the other pixels blacked out, inverted again: the transparent pixels show the destination.
  StretchBlt(dc, rect.Left, rect.Top, w, h, src, 0, 0, source->Width(), source->Height(), SRCINVERT);
  ApplyMask(dc, rect.Left, rect.Top, w, h, src, 0, 0, source->Width(), source->Height(),
            vcl::ColorToRGB(transparentColor) & 0xFFFFFF);
  StretchBlt(dc, rect.Left, rect.Top, w, h, src, 0, 0, source->Width(), source->Height(), SRCINVERT);
  SetStretchBltMode(dc, oldMode);
}

void qvxDrawGraphic(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TGraphic* graphic, bool forPrinter, bool smooth,
                    bool transparent, vcl::TColor transparentColor) {
  if (!graphic) return;
  canvas->Brush()->SetColor(vcl::clWhite);
  canvas->Brush()->SetStyle(vcl::bsSolid);
  const bool isMetafile = graphic->ClassName() == L"TMetafile";
  if (isMetafile || (!forPrinter && !smooth && !(transparent && !IsBitmap(graphic)))) {
    graphic->SetTransparent(transparent);
    auto* bitmap = dynamic_cast<vcl::TBitmap*>(graphic);
    if (bitmap && transparent)
      qvxDrawTransparentBitmap(canvas, rect, bitmap, false,
                               transparentColor != clTransparent ? transparentColor : bitmap->TransparentColor());
    else
      canvas->StretchDraw(rect, graphic);
    return;
  }
  // Through a bitmap of the graphic's own size, so that smoothing and the transparent colour work alike for every
  // kind of graphic.
  vcl::TBitmap bmp(graphic->Width(), graphic->Height(), forPrinter ? vcl::pf32bit : vcl::pf24bit);
  if (transparentColor != clTransparent) {
    bmp.Canvas()->Brush()->SetColor(transparentColor);
    bmp.Canvas()->FillRect(vcl::TRect(0, 0, bmp.Width(), bmp.Height()));
  }
  bmp.Canvas()->Draw(0, 0, graphic);
  if (transparent && transparentColor != clTransparent)
    qvxDrawTransparentBitmap(canvas, rect, &bmp, forPrinter, transparentColor);
  else if (forPrinter)
    PrintBitmap(canvas->Handle(), rect, &bmp);
  else
    DrawBitmap(canvas->Handle(), rect, &bmp);
}
