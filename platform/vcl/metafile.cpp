#include "platform/vcl/metafile.h"

#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/graphicsobjects.h"
#include "platform/vcl/metafilecheck.h"

namespace vcl {

namespace {

constexpr wchar_t kInvalidMetafile[] = L"Metafile is not valid";

std::uint32_t Le32(const rtl::Byte* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int16_t Le16(const rtl::Byte* p) { return static_cast<std::int16_t>(p[0] | (p[1] << 8)); }

int ScreenDpi(int index) {
  HDC dc = GetDC(nullptr);
  int v = GetDeviceCaps(dc, index);
  ReleaseDC(nullptr, dc);
  return v > 0 ? v : 96;
}

}  // namespace

TMetafile::~TMetafile() {
  if (handle_) DeleteEnhMetaFile(handle_);
}

int TMetafile::MMWidth() const {
  if (mm_width_ || !handle_) return mm_width_;
  ENHMETAHEADER h{};
  GetEnhMetaFileHeader(handle_, sizeof(h), &h);
  return h.rclFrame.right - h.rclFrame.left;
}

int TMetafile::MMHeight() const {
  if (mm_height_ || !handle_) return mm_height_;
  ENHMETAHEADER h{};
  GetEnhMetaFileHeader(handle_, sizeof(h), &h);
  return h.rclFrame.bottom - h.rclFrame.top;
}

int TMetafile::Width() const { return MulDiv(MMWidth(), ScreenDpi(LOGPIXELSX), 2540); }
int TMetafile::Height() const { return MulDiv(MMHeight(), ScreenDpi(LOGPIXELSY), 2540); }

void TMetafile::SetMMWidth(int value) {
  if (value == mm_width_) return;
  mm_width_ = value;
  Changed();
}

void TMetafile::SetMMHeight(int value) {
  if (value == mm_height_) return;
  mm_height_ = value;
  Changed();
}

void TMetafile::SetWidth(int width) { SetMMWidth(MulDiv(width, 2540, ScreenDpi(LOGPIXELSX))); }
void TMetafile::SetHeight(int height) { SetMMHeight(MulDiv(height, 2540, ScreenDpi(LOGPIXELSY))); }

void TMetafile::SetHandle(HENHMETAFILE metafile) {
  if (metafile == handle_) return;
  if (handle_) DeleteEnhMetaFile(handle_);
  handle_ = metafile;
  mm_width_ = mm_height_ = 0;
  Changed();
}

HENHMETAFILE TMetafile::ReleaseHandle() {
  HENHMETAFILE h = handle_;
  handle_ = nullptr;
  return h;
}

void TMetafile::Assign(const rtl::TPersistent* source) {
  if (auto* m = dynamic_cast<const TMetafile*>(source)) {
    if (m == this) return;
    SetHandle(m->handle_ ? CopyEnhMetaFileW(m->handle_, nullptr) : nullptr);
    mm_width_ = m->mm_width_;
    mm_height_ = m->mm_height_;
    return;
  }
  TGraphic::Assign(source);
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) {
  if (!handle_) return;
  RECT r = rect;
  PlayEnhMetaFile(canvas.Handle(), handle_, &r);
}

size_t TMetafile::LoadFromMemory(const rtl::Byte* data, size_t size) {
  if (size >= 88 && Le32(data) == EMR_HEADER && Le32(data + 40) == ENHMETA_SIGNATURE) {
    std::uint32_t bytes = Le32(data + 48);  // nBytes of the header
    if (bytes < 88 || bytes > size || EnhMetafileFault(data, bytes)) throw rtl::EInvalidGraphic(kInvalidMetafile);
    HENHMETAFILE h = SetEnhMetaFileBits(bytes, data);
    if (!h) throw rtl::EInvalidGraphic(kInvalidMetafile);
    SetHandle(h);
    return bytes;
  }
  if (size >= 22 + 18 && Le32(data) == 0x9AC6CDD7u) {
    // Placeable header: key, handle, bounding box (4 x 16 bits), units per inch, reserved, checksum.
    int left = Le16(data + 6), top = Le16(data + 8), right = Le16(data + 10), bottom = Le16(data + 12);
    int inch = static_cast<std::uint16_t>(Le16(data + 14));
    const rtl::Byte* wmf = data + 22;
    std::uint32_t words = Le32(wmf + 6);  // mtSize, in 16-bit words
    size_t bytes = static_cast<size_t>(words) * 2;
    if (bytes < 18 || bytes > size - 22 || inch == 0 || WinMetafileFault(wmf, bytes))
      throw rtl::EInvalidGraphic(kInvalidMetafile);
    METAFILEPICT pict{MM_ANISOTROPIC, MulDiv(right - left, 2540, inch), MulDiv(bottom - top, 2540, inch), nullptr};
    HENHMETAFILE h = SetWinMetaFileBits(static_cast<UINT>(bytes), wmf, nullptr, &pict);
    if (!h) throw rtl::EInvalidGraphic(kInvalidMetafile);
    SetHandle(h);
    mm_width_ = pict.xExt;
    mm_height_ = pict.yExt;
    return 22 + bytes;
  }
  throw rtl::EInvalidGraphic(kInvalidMetafile);
}

void TMetafile::SaveToMemory(std::vector<rtl::Byte>& out) const {
  if (!handle_) return;
  UINT n = GetEnhMetaFileBits(handle_, 0, nullptr);
  size_t at = out.size();
  out.resize(at + n);
  GetEnhMetaFileBits(handle_, n, out.data() + at);
}

void TMetafile::ReadData(const rtl::Byte* data, size_t size) {
  if (size < 4) throw rtl::EInvalidGraphic(kInvalidMetafile);
  std::uint32_t length = Le32(data);
  if (length > size - 4) throw rtl::EInvalidGraphic(kInvalidMetafile);
  if (length == 0) {
    Clear();
    return;
  }
  LoadFromMemory(data + 4, length);
}

void TMetafile::WriteData(std::vector<rtl::Byte>& out) const {
  std::vector<rtl::Byte> file;
  SaveToMemory(file);
  auto n = static_cast<std::uint32_t>(file.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<rtl::Byte>(n >> (8 * i)));
  out.insert(out.end(), file.begin(), file.end());
}

// ---- TMetafileCanvas ----

TMetafileCanvas::TMetafileCanvas(TMetafile* metafile, HDC reference_device) : metafile_(metafile) {
  RECT frame{0, 0, metafile ? metafile->MMWidth() : 0, metafile ? metafile->MMHeight() : 0};
  bool framed = frame.right > 0 && frame.bottom > 0 && metafile && metafile->Empty();
  recording_ = CreateEnhMetaFileW(reference_device, nullptr, framed ? &frame : nullptr, nullptr);
  if (!recording_) throw rtl::EOutOfMemory(L"Out of system resources");
  SetHandle(recording_);
  // Text is recorded with the screen's font metrics.
  Font()->SetPixelsPerInch(TFont::ScreenPixelsPerInch());
}

TMetafileCanvas::~TMetafileCanvas() {
  DeselectHandles();
  HENHMETAFILE recorded = CloseEnhMetaFile(recording_);
  if (metafile_)
    metafile_->SetHandle(recorded);
  else if (recorded)
    DeleteEnhMetaFile(recorded);
}

}  // namespace vcl
