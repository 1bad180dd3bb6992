#include "platform/vcl/icon.h"

#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/png.h"

namespace vcl {

namespace {

constexpr wchar_t kInvalidIcon[] = L"Icon image is not valid";

std::uint32_t Le32(const rtl::Byte* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void Put16(std::vector<rtl::Byte>& out, unsigned v) {
  out.push_back(static_cast<rtl::Byte>(v));
  out.push_back(static_cast<rtl::Byte>(v >> 8));
}
void Put32(std::vector<rtl::Byte>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<rtl::Byte>(v >> (8 * i)));
}

// An icon from a PNG-compressed entry, for systems whose icon loader does not read PNG.
HICON IconFromPng(const rtl::Byte* data, size_t size) {
  TPngPixels image;
  DecodePng(data, size, image);
  BITMAPV5HEADER h{};
  h.bV5Size = sizeof(h);
  h.bV5Width = image.Width;
  h.bV5Height = -image.Height;
  h.bV5Planes = 1;
  h.bV5BitCount = 32;
  h.bV5Compression = BI_RGB;
  void* bits = nullptr;
  HBITMAP color = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!color) return nullptr;
  std::memcpy(bits, image.Pixels.data(), image.Pixels.size() * 4);
  HBITMAP mask = CreateBitmap(image.Width, image.Height, 1, 1, nullptr);
  ICONINFO info{TRUE, 0, 0, mask, color};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(color);
  return icon;
}

}  // namespace

TIcon::~TIcon() { Reset(); }

void TIcon::Reset() {
  if (handle_) DestroyIcon(handle_);
  handle_ = nullptr;
  width_ = height_ = 0;
  data_.clear();
}

void TIcon::SetWidth(int width) {
  if (width != width_) throw rtl::EInvalidGraphicOperation(L"Cannot change the size of an icon");
}

void TIcon::SetHeight(int height) {
  if (height != height_) throw rtl::EInvalidGraphicOperation(L"Cannot change the size of an icon");
}

void TIcon::SetHandle(HICON icon) {
  if (icon == handle_) return;
  Reset();
  handle_ = icon;
  if (icon) {
    ICONINFO info{};
    if (GetIconInfo(icon, &info)) {
      BITMAP bm{};
      HBITMAP probe = info.hbmColor ? info.hbmColor : info.hbmMask;
      GetObjectW(probe, sizeof(bm), &bm);
      width_ = bm.bmWidth;
      height_ = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
  }
  Changed();
}

HICON TIcon::ReleaseHandle() {
  HICON h = handle_;
  handle_ = nullptr;
  Reset();
  return h;
}

void TIcon::Assign(const rtl::TPersistent* source) {
  if (auto* icon = dynamic_cast<const TIcon*>(source)) {
    if (icon == this) return;
    std::vector<rtl::Byte> data = icon->data_;
    HICON copy = icon->handle_ ? CopyIcon(icon->handle_) : nullptr;
    SetHandle(copy);
    data_ = std::move(data);
    return;
  }
  TGraphic::Assign(source);
}

void TIcon::LoadFromResourceName(HINSTANCE instance, const rtl::String& name) {
  auto icon = static_cast<HICON>(LoadImageW(instance, name.c_str(), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  if (!icon) throw rtl::EInvalidGraphic(L"Resource " + name + L" not found");
  SetHandle(icon);
}

void TIcon::LoadFromResourceID(HINSTANCE instance, int id) {
  auto icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  if (!icon) throw rtl::EInvalidGraphic(L"Resource " + std::to_wstring(id) + L" not found");
  SetHandle(icon);
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
  if (!handle_) return;
  DrawIconEx(canvas.Handle(), rect.Left, rect.Top, handle_, rect.Width(), rect.Height(), 0, nullptr, DI_NORMAL);
}

size_t TIcon::LoadFromMemory(const rtl::Byte* data, size_t size) {
  if (size < 6 || data[0] != 0 || data[1] != 0 || (data[2] != 1 && data[2] != 2) || data[3] != 0)
    throw rtl::EInvalidGraphic(kInvalidIcon);
  unsigned count = data[4] | (data[5] << 8);
  if (count == 0 || 6 + 16 * static_cast<size_t>(count) > size) throw rtl::EInvalidGraphic(kInvalidIcon);
  int want = GetSystemMetrics(SM_CXICON);
  if (want <= 0) want = 32;
  size_t end = 6 + 16 * static_cast<size_t>(count);
  int best = -1, best_score = 0;
  for (unsigned i = 0; i < count; ++i) {
    const rtl::Byte* e = data + 6 + 16 * i;
    int w = e[0] ? e[0] : 256;
    std::uint32_t length = Le32(e + 8), offset = Le32(e + 12);
    if (length == 0 || offset > size || length > size - offset) throw rtl::EInvalidGraphic(kInvalidIcon);
    if (offset + length > end) end = offset + length;
    int bits = e[6] | (e[7] << 8);
    // Nearest to the system size first, then the deeper colours.
    int score = 100000 - 100 * std::abs(w - want) + bits;
    if (best < 0 || score > best_score) best = static_cast<int>(i), best_score = score;
  }
  const rtl::Byte* e = data + 6 + 16 * best;
  const rtl::Byte* image = data + Le32(e + 12);
  std::uint32_t length = Le32(e + 8);
  int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
  HICON icon = nullptr;
  if (length >= 8 && image[0] == 0x89 && image[1] == 'P' && image[2] == 'N' && image[3] == 'G') {
    icon = IconFromPng(image, length);
  } else {
    if (length < 40 || Le32(image) < 40) throw rtl::EInvalidGraphic(kInvalidIcon);
    icon = CreateIconFromResourceEx(const_cast<rtl::Byte*>(image), length, data[2] == 1, 0x00030000, w, h,
                                    LR_DEFAULTCOLOR);
  }
  if (!icon) throw rtl::EInvalidGraphic(kInvalidIcon);
  std::vector<rtl::Byte> bytes(data, data + end);
  SetHandle(icon);
  width_ = w;
  height_ = h;
  data_ = std::move(bytes);
  return end;
}

void TIcon::SaveToMemory(std::vector<rtl::Byte>& out) const {
  if (!data_.empty()) {
    out.insert(out.end(), data_.begin(), data_.end());
    return;
  }
  if (!handle_) return;
  // One 32-bit image with its AND mask, as icon files store it.
  TBitmap color(width_, height_, pf32bit);
  color.Canvas()->Brush()->SetColor(clBlack);
  color.Canvas()->FillRect(Rect(0, 0, width_, height_));
  ICONINFO info{};
  GetIconInfo(handle_, &info);
  if (info.hbmColor) {
    // Copy the colour bits with their alpha through GetDIBits.
    BITMAPINFOHEADER bh{sizeof(BITMAPINFOHEADER), width_, height_, 1, 32, BI_RGB};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, height_, color.ScanLine(height_ - 1), reinterpret_cast<BITMAPINFO*>(&bh),
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
  } else {
    DrawIconEx(color.Canvas()->Handle(), 0, 0, handle_, width_, height_, 0, nullptr, DI_NORMAL);
  }
  int mask_stride = ((width_ + 31) / 32) * 4;
  std::vector<rtl::Byte> mask(static_cast<size_t>(mask_stride) * height_, 0);
  if (info.hbmMask) {
    struct {
      BITMAPINFOHEADER h;
      RGBQUAD colors[2];
    } mi{{sizeof(BITMAPINFOHEADER), width_, height_, 1, 1, BI_RGB}, {}};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmMask, 0, height_, mask.data(), reinterpret_cast<BITMAPINFO*>(&mi), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  size_t color_size = static_cast<size_t>(width_) * 4 * height_;
  std::uint32_t image_size = static_cast<std::uint32_t>(40 + color_size + mask.size());
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, 1);
  out.push_back(static_cast<rtl::Byte>(width_ >= 256 ? 0 : width_));
  out.push_back(static_cast<rtl::Byte>(height_ >= 256 ? 0 : height_));
  out.push_back(0);
  out.push_back(0);
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, image_size);
  Put32(out, 22);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width_));
  Put32(out, static_cast<std::uint32_t>(height_ * 2));
  Put16(out, 1);
  Put16(out, 32);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  auto* bits = static_cast<const rtl::Byte*>(color.ScanLine(height_ - 1));
  out.insert(out.end(), bits, bits + color_size);
  out.insert(out.end(), mask.begin(), mask.end());
}

}  // namespace vcl
