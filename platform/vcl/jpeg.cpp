#include "platform/vcl/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

// libjpeg's headers expect FILE and size_t to be declared already.
#include <jpeglib.h>
#include <jerror.h>

namespace vcl {

namespace {

// libjpeg reports errors through error_exit, which must not return; it jumps back to the call that began the
// work. No C++ object with a destructor lives between the setjmp and the libjpeg calls of a coder below.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  int code;
};

void ErrorExit(j_common_ptr info) {
  auto* err = reinterpret_cast<ErrorManager*>(info->err);
  err->code = err->pub.msg_code;
  std::longjmp(err->jump, 1);
}

void SilentMessage(j_common_ptr) {}

// Where the data ends: after the EOI marker that closes the image's own segments (an EXIF thumbnail inside an
// APP1 segment has its own EOI, which must not count), or the end of the block.
size_t EndOfJpeg(const rtl::Byte* data, size_t size) {
  size_t i = 2;
  while (i + 4 <= size) {
    if (data[i] != 0xFF) return size;
    rtl::Byte marker = data[i + 1];
    if (marker == 0xFF) {
      ++i;  // fill byte
      continue;
    }
    if (marker == 0xD9) return i + 2;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      i += 2;
      continue;
    }
    size_t length = (data[i + 2] << 8) | data[i + 3];
    i += 2 + length;
    if (marker == 0xDA) {
      // Entropy-coded data runs to the next marker that is neither a stuffed zero nor a restart.
      while (i + 1 < size && !(data[i] == 0xFF && data[i + 1] != 0 && !(data[i + 1] >= 0xD0 && data[i + 1] <= 0xD7)))
        ++i;
    }
  }
  return size;
}

struct Decoded {
  int width = 0, height = 0, components = 0;
  rtl::Byte* pixels = nullptr;  // malloc'ed, width * height * 3, BGR rows from the top
};

int DecodeRaw(const rtl::Byte* data, size_t size, Decoded* out) {
  jpeg_decompress_struct info;
  ErrorManager err;
  info.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.output_message = SilentMessage;
  err.code = 0;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    std::free(out->pixels);
    out->pixels = nullptr;
    return err.code ? err.code : -1;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&info);
  out->width = static_cast<int>(info.output_width);
  out->height = static_cast<int>(info.output_height);
  out->components = info.jpeg_color_space == JCS_GRAYSCALE ? 1 : 3;
  size_t row_size = static_cast<size_t>(info.output_width) * info.output_components;
  out->pixels = static_cast<rtl::Byte*>(std::malloc(static_cast<size_t>(out->width) * out->height * 3 + row_size));
  if (!out->pixels) ERREXIT(&info, JERR_OUT_OF_MEMORY);
  rtl::Byte* scratch = out->pixels + static_cast<size_t>(out->width) * out->height * 3;
  while (info.output_scanline < info.output_height) {
    rtl::Byte* dst = out->pixels + static_cast<size_t>(info.output_scanline) * out->width * 3;
    JSAMPROW row = scratch;
    jpeg_read_scanlines(&info, &row, 1);
    for (int x = 0; x < out->width; ++x) {
      if (info.out_color_space == JCS_CMYK) {
        // Adobe writes CMYK inverted; the usual conversion is then colour = C * K / 255.
        const rtl::Byte* s = scratch + 4 * x;
        dst[3 * x + 0] = static_cast<rtl::Byte>(s[2] * s[3] / 255);
        dst[3 * x + 1] = static_cast<rtl::Byte>(s[1] * s[3] / 255);
        dst[3 * x + 2] = static_cast<rtl::Byte>(s[0] * s[3] / 255);
      } else {
        const rtl::Byte* s = scratch + 3 * x;
        dst[3 * x + 0] = s[2];
        dst[3 * x + 1] = s[1];
        dst[3 * x + 2] = s[0];
      }
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return 0;
}

// rows: BGR rows from the top. On success *out holds a malloc'ed JPEG file of *out_size bytes.
int EncodeRaw(const rtl::Byte* rows, int width, int height, int quality, unsigned char** out,
              unsigned long* out_size) {
  jpeg_compress_struct info;
  ErrorManager err;
  info.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.output_message = SilentMessage;
  err.code = 0;
  unsigned char* scratch = nullptr;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&info);
    std::free(scratch);
    return err.code ? err.code : -1;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, out, out_size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  scratch = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(width) * 3));
  if (!scratch) ERREXIT(&info, JERR_OUT_OF_MEMORY);
  while (info.next_scanline < info.image_height) {
    const rtl::Byte* src = rows + static_cast<size_t>(info.next_scanline) * width * 3;
    for (int x = 0; x < width; ++x) {
      scratch[3 * x] = src[3 * x + 2];
      scratch[3 * x + 1] = src[3 * x + 1];
      scratch[3 * x + 2] = src[3 * x];
    }
    JSAMPROW row = scratch;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::free(scratch);
  return 0;
}

[[noreturn]] void RaiseJpegError(int code) { throw EJPEG(L"JPEG error #" + std::to_wstring(code)); }

}  // namespace

size_t TJPEGImage::LoadFromMemory(const rtl::Byte* data, size_t size) {
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) RaiseJpegError(JERR_NO_SOI);
  size_t used = EndOfJpeg(data, size);
  Decoded decoded;
  int code = DecodeRaw(data, used, &decoded);
  if (code) RaiseJpegError(code);
  TBitmap bitmap(0, 0, pf24bit);
  try {
    bitmap.SetSize(decoded.width, decoded.height);
    for (int y = 0; y < decoded.height; ++y)
      std::memcpy(bitmap.ScanLine(y), decoded.pixels + static_cast<size_t>(y) * decoded.width * 3,
                  static_cast<size_t>(decoded.width) * 3);
  } catch (...) {
    std::free(decoded.pixels);
    throw;
  }
  std::free(decoded.pixels);
  bitmap_.Assign(&bitmap);
  grayscale_ = decoded.components == 1;
  data_.assign(data, data + used);
  Changed();
  return used;
}

void TJPEGImage::SaveToMemory(std::vector<rtl::Byte>& out) const {
  if (!data_.empty()) {
    out.insert(out.end(), data_.begin(), data_.end());
    return;
  }
  if (Empty()) return;
  int w = Width(), h = Height();
  std::vector<rtl::Byte> rows(static_cast<size_t>(w) * h * 3);
  auto& bitmap = const_cast<TBitmap&>(bitmap_);
  for (int y = 0; y < h; ++y)
    std::memcpy(rows.data() + static_cast<size_t>(y) * w * 3, bitmap.ScanLine(y), static_cast<size_t>(w) * 3);
  unsigned char* encoded = nullptr;
  unsigned long encoded_size = 0;
  int code = EncodeRaw(rows.data(), w, h, quality_, &encoded, &encoded_size);
  if (code) {
    std::free(encoded);
    RaiseJpegError(code);
  }
  out.insert(out.end(), encoded, encoded + encoded_size);
  std::free(encoded);
}

void TJPEGImage::ReadData(const rtl::Byte* data, size_t size) {
  if (size < 4) RaiseJpegError(JERR_INPUT_EMPTY);
  std::uint32_t length = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
  if (length > size - 4) RaiseJpegError(JERR_INPUT_EOF);
  LoadFromMemory(data + 4, length);
}

void TJPEGImage::WriteData(std::vector<rtl::Byte>& out) const {
  std::vector<rtl::Byte> file;
  SaveToMemory(file);
  auto n = static_cast<std::uint32_t>(file.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<rtl::Byte>(n >> (8 * i)));
  out.insert(out.end(), file.begin(), file.end());
}

void TJPEGImage::SetSize(int width, int height) {
  if (width == Width() && height == Height()) return;
  if (bitmap_.Empty()) bitmap_.SetPixelFormat(pf24bit);
  bitmap_.SetSize(width, height);
  data_.clear();
  Changed();
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) { bitmap_.Draw(canvas, rect); }

void TJPEGImage::Assign(const rtl::TPersistent* source) {
  if (auto* jpeg = dynamic_cast<const TJPEGImage*>(source)) {
    bitmap_.Assign(&jpeg->bitmap_);
    data_ = jpeg->data_;
    quality_ = jpeg->quality_;
    grayscale_ = jpeg->grayscale_;
    Changed();
    return;
  }
  if (auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
    TBitmap copy;
    copy.Assign(bitmap);
    if (!copy.Empty()) copy.SetPixelFormat(pf24bit);
    bitmap_.Assign(&copy);
    data_.clear();
    grayscale_ = false;
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TJPEGImage::AssignTo(rtl::TPersistent* dest) const {
  if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
    bitmap->Assign(&bitmap_);
    return;
  }
  TGraphic::AssignTo(dest);
}

}  // namespace vcl
