#include "skin/render/lvPNG.h"

#include <array>
#include <cstring>
#include <vector>

#include "platform/rtl/win.h"
#include "platform/vcl/picture.h"
#include "platform/vcl/png.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"

bool UseLVPng = true;

VCL_REGISTER(TPNGGraphic) {}

namespace {

std::uint16_t Be16(const rtl::Byte* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

[[noreturn]] void InvalidImage() { throw rtl::EInvalidGraphic(vcl::PngMessage(vcl::gesInvalidImage)); }

}  // namespace

// The reader's side of the decoding core: bitmap format, palette, transparency and rows.
class TPNGGraphic::TSink : public vcl::TPngSink {
 public:
  explicit TSink(TPNGGraphic& g) : g_(g) {}

  void Header(const vcl::TPngHeader& h) override {
    h_ = h;
    TImageProperties& p = g_.FImageProperties;
    p.Options = {ioBigEndian};
    p.Width = h.Width;
    p.Compression = h.Compression == 0 ? ctLZ77 : ctUnknown;
    p.BitsPerSample = h.BitDepth;
    switch (h.ColorType) {
      case 0:
        p.ColorScheme = csG;
        break;
      case 2:
        p.ColorScheme = csRGB;
        break;
      case 3:
        p.ColorScheme = csIndexed;
        break;
      case 4:
        p.ColorScheme = csGA;
        break;
      case 6:
        p.ColorScheme = csRGBA;
        break;
      default:
        p.ColorScheme = csUnknown;
        break;
    }
    p.SamplesPerPixel = h.ColorType == 2 ? 3 : h.ColorType == 6 ? 4 : 1;
  }

  void Palette(const rtl::Byte* rgb, int count) override {
    plte_.assign(rgb, rgb + 3 * count);
    if (h_.ColorType != 3) return;
    g_.FSourceBPP = g_.SetupColorDepth(3, h_.BitDepth);
    depthDone_ = true;
    if (g_.FPalette) DeleteObject(g_.FPalette);
    const void* data = rgb;
    g_.FPalette =
        g_.FColorManager->CreateColorPalette(&data, 1, pfInterlaced8Triple, static_cast<unsigned>(count), false);
  }

  void Gamma(std::uint32_t value) override {
    g_.FColorManager->SetGamma(static_cast<float>(value / 100000.0), 2.2f);
    g_.FColorManager->SetTargetOptions(g_.FColorManager->TargetOptions() + coApplyGamma);
    g_.FImageProperties.Options += ioUseGamma;
  }

  // A grey or colour sample scaled as the bitmap will hold it.
  int Scaled(std::uint16_t v) const {
    if (h_.BitDepth == 16) return v * 255 / 65535;
    if (h_.BitDepth == 2) return v * 5;
    return v & 0xFF;
  }

  void Background(const rtl::Byte* data, std::uint32_t length) override {
    switch (h_.ColorType) {
      case 0:
      case 4:
        if (length < 2) InvalidImage();
        g_.FBackgroundColor = Scaled(Be16(data));
        break;
      case 2:
      case 6:
        if (length < 6) InvalidImage();
        g_.FBackgroundColor = RGB(Scaled(Be16(data)), Scaled(Be16(data + 2)), Scaled(Be16(data + 4)));
        break;
      default:
        if (length < 1) InvalidImage();
        g_.FBackgroundColor = data[0];
        break;
    }
  }

  void Transparency(const rtl::Byte* data, std::uint32_t length) override {
    switch (h_.ColorType) {
      case 0:
        if (length < 2) InvalidImage();
        trns_.assign(data, data + 2);
        g_.FTransparentColor = RGB(Scaled(Be16(data)), Scaled(Be16(data)), Scaled(Be16(data)));
        break;
      case 2:
        if (length < 6) InvalidImage();
        trns_.assign(data, data + 6);
        g_.FTransparentColor = RGB(Scaled(Be16(data)), Scaled(Be16(data + 2)), Scaled(Be16(data + 4)));
        break;
      case 3:
        trns_.assign(data, data + length);
        break;
      default:
        break;  // the alpha channel says it all
    }
  }

  void BeginImage() override {
    g_.Progress(psStarting, 0, L"Transfering...");
    alpha_ = h_.ColorType == 4 || (!trns_.empty() && (h_.ColorType == 0 || h_.ColorType == 2 || h_.ColorType == 3));
    if (alpha_) {
      g_.FSourceBPP = vcl::PngSourceBPP(h_.ColorType, h_.BitDepth);
      g_.SetPixelFormat(vcl::pf32bit);
      PrepareAlpha();
    } else {
      if (!depthDone_) g_.FSourceBPP = g_.SetupColorDepth(h_.ColorType, h_.BitDepth);
      if (g_.FPalette) g_.SetPalette(g_.FPalette);
    }
    g_.SetSize(static_cast<int>(h_.Width), static_cast<int>(h_.Height));
    vcl::TCanvas* canvas = g_.Canvas();
    canvas->Brush()->SetColor(g_.FBackgroundColor);
    canvas->FillRect(vcl::Rect(0, 0, g_.Width(), g_.Height()));
    g_.Dormant();
    line0_ = static_cast<rtl::Byte*>(g_.ScanLine(0));
    delta_ = g_.Height() > 1 ? static_cast<rtl::Byte*>(g_.ScanLine(1)) - line0_ : 0;
    if (alpha_) g_.SetAlphaFormat(vcl::afDefined);
  }

  void Row(int y, const rtl::Byte* data, std::uint8_t mask, bool lastPass) override {
    rtl::Byte* target = line0_ + y * delta_;
    if (alpha_)
      AlphaRow(target, data, mask);
    else
      g_.FColorManager->ConvertRow(data, target, h_.Width, mask);
    if (lastPass && g_.OnProgress) {
      g_.FProgressRect.Top = y;
      g_.FProgressRect.Bottom = y + 1;
      g_.Progress(psRunning, static_cast<int>((y + 1) * 100.0 / h_.Height), L"");
    }
  }

  bool Alpha() const { return alpha_; }

 private:
  std::uint8_t Gamma8(std::uint8_t v) const {
    return g_.FColorManager->TargetOptions().Contains(coApplyGamma) ? g_.FColorManager->ComponentGammaConvert(v) : v;
  }
  std::uint8_t Colour(std::uint16_t v) const {
    int max = (1 << h_.BitDepth) - 1;
    std::uint8_t c =
        h_.BitDepth == 16 ? TColorManager::ComponentScaleConvert(v) : static_cast<std::uint8_t>(v * 255 / max);
    return Gamma8(c);
  }

  void PrepareAlpha() {
    if (h_.ColorType != 3) return;
    palette_.fill(0xFF000000u);
    const size_t count = plte_.size() / 3;
    for (size_t i = 0; i < count && i < 256; ++i) {
      std::uint32_t a = i < trns_.size() ? trns_[i] : 255;
      palette_[i] = (a << 24) | (static_cast<std::uint32_t>(Gamma8(plte_[3 * i])) << 16) |
                    (static_cast<std::uint32_t>(Gamma8(plte_[3 * i + 1])) << 8) | Gamma8(plte_[3 * i + 2]);
    }
  }

  // The sample of channel c of the k-th pixel of the row, at the file's depth.
  std::uint16_t Sample(const rtl::Byte* row, size_t k, int c, int samples) const {
    const int depth = h_.BitDepth;
    if (depth == 16) return Be16(row + (k * samples + c) * 2);
    if (depth == 8) return row[k * samples + c];
    size_t bit = (k * samples + c) * depth;
    return static_cast<std::uint16_t>((row[bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1));
  }

  void AlphaRow(rtl::Byte* target, const rtl::Byte* row, std::uint8_t mask) {
    int start, step;
    vcl::PngMaskColumns(mask, start, step);
    auto* out = reinterpret_cast<std::uint32_t*>(target);
    size_t k = 0;
    const int samples = vcl::PngSamples(h_.ColorType);
    for (std::uint32_t x = static_cast<std::uint32_t>(start); x < h_.Width;
         x += static_cast<std::uint32_t>(step), ++k) {
      std::uint32_t px;
      switch (h_.ColorType) {
        case 3:
          px = palette_[Sample(row, k, 0, 1) & 0xFF];
          break;
        case 4: {
          std::uint32_t grey = Colour(Sample(row, k, 0, 2));
          std::uint16_t a = Sample(row, k, 1, 2);
          std::uint32_t alpha = h_.BitDepth == 16 ? TColorManager::ComponentScaleConvert(a) : a;
          px = (alpha << 24) | (grey << 16) | (grey << 8) | grey;
          break;
        }
        case 0: {
          std::uint16_t v = Sample(row, k, 0, 1);
          std::uint32_t grey = Colour(v);
          px = (v == Be16(trns_.data()) ? 0u : 0xFF000000u) | (grey << 16) | (grey << 8) | grey;
          break;
        }
        default: {
          std::uint16_t r = Sample(row, k, 0, samples), g = Sample(row, k, 1, samples), b = Sample(row, k, 2, samples);
          bool clear = r == Be16(trns_.data()) && g == Be16(trns_.data() + 2) && b == Be16(trns_.data() + 4);
          px = (clear ? 0u : 0xFF000000u) | (static_cast<std::uint32_t>(Colour(r)) << 16) |
               (static_cast<std::uint32_t>(Colour(g)) << 8) | Colour(b);
          break;
        }
      }
      out[x] = px;
    }
  }

  TPNGGraphic& g_;
  vcl::TPngHeader h_;
  std::vector<rtl::Byte> plte_, trns_;
  std::array<std::uint32_t, 256> palette_{};
  bool depthDone_ = false;
  bool alpha_ = false;
  rtl::Byte* line0_ = nullptr;
  std::ptrdiff_t delta_ = 0;
};

TPNGGraphic::TPNGGraphic() : FColorManager(std::make_unique<TColorManager>()) {}

TPNGGraphic::~TPNGGraphic() {
  FColorManager.reset();
  if (FPalette) DeleteObject(FPalette);
}

bool TPNGGraphic::CanLoad(const rtl::String& fileName) {
  if (!UseLVPng) return false;
  HANDLE file = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  rtl::Byte head[9] = {};
  DWORD got = 0;
  bool ok = ReadFile(file, head, sizeof head, &got, nullptr) && got == sizeof head &&
            std::memcmp(head, PNGSignature(), 8) == 0;
  CloseHandle(file);
  return ok;
}

bool TPNGGraphic::CanLoad(rtl::TStream& stream) {
  if (!UseLVPng) return false;
  rtl::Int64 start = stream.Position();
  if (stream.Size() - start <= 8) return false;
  rtl::Byte head[8];
  stream.ReadBuffer(head, 8);
  stream.SetPosition(start);
  return std::memcmp(head, PNGSignature(), 8) == 0;
}

const rtl::Byte* TPNGGraphic::PNGSignature() {
  static const rtl::Byte signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
  return signature;
}

void TPNGGraphic::Progress(TProgressStage stage, int percent, const rtl::String& message) {
  if (OnProgress) OnProgress(this, stage, percent, FProgressRect, message);
}

int TPNGGraphic::SetupColorDepth(int colorType, int bitDepth) {
  TColorManager& cm = *FColorManager;
  auto packedTarget = [&](int depth) { return static_cast<std::uint8_t>(depth == 2 ? 4 : depth == 16 ? 8 : depth); };
  auto packedFormat = [&](int depth) { return depth == 1 ? vcl::pf1bit : depth <= 4 ? vcl::pf4bit : vcl::pf8bit; };
  switch (colorType) {
    case 0:
      cm.SetSourceColorScheme(csG);
      cm.SetTargetColorScheme(csG);
      cm.SetSourceSamplesPerPixel(1);
      cm.SetTargetSamplesPerPixel(1);
      cm.SetSourceBitsPerSample(static_cast<std::uint8_t>(bitDepth));
      cm.SetTargetBitsPerSample(packedTarget(bitDepth));
      SetPixelFormat(packedFormat(bitDepth));
      if (FPalette) DeleteObject(FPalette);
      FPalette = cm.CreateGrayscalePalette(false);
      return bitDepth == 16 ? 2 : 1;
    case 2:
      cm.SetSourceColorScheme(csRGB);
      cm.SetTargetColorScheme(csBGR);
      cm.SetSourceSamplesPerPixel(3);
      cm.SetTargetSamplesPerPixel(3);
      cm.SetSourceBitsPerSample(static_cast<std::uint8_t>(bitDepth));
      cm.SetTargetBitsPerSample(8);
      SetPixelFormat(vcl::pf24bit);
      return bitDepth == 16 ? 6 : 3;
    case 3:
      cm.SetSourceColorScheme(csIndexed);
      cm.SetTargetColorScheme(csIndexed);
      cm.SetSourceSamplesPerPixel(1);
      cm.SetTargetSamplesPerPixel(1);
      cm.SetSourceBitsPerSample(static_cast<std::uint8_t>(bitDepth));
      cm.SetTargetBitsPerSample(packedTarget(bitDepth));
      SetPixelFormat(packedFormat(bitDepth));
      return 1;
    case 4:
      cm.SetSourceColorScheme(csGA);
      cm.SetTargetColorScheme(csIndexed);
      cm.SetSourceSamplesPerPixel(2);
      cm.SetTargetSamplesPerPixel(1);
      cm.SetSourceBitsPerSample(static_cast<std::uint8_t>(bitDepth));
      cm.SetTargetBitsPerSample(8);
      SetPixelFormat(vcl::pf8bit);
      if (FPalette) DeleteObject(FPalette);
      FPalette = cm.CreateGrayscalePalette(false);
      return bitDepth == 16 ? 4 : 2;
    case 6:
      cm.SetSourceColorScheme(csRGBA);
      cm.SetTargetColorScheme(csBGRA);
      cm.SetSourceSamplesPerPixel(4);
      cm.SetTargetSamplesPerPixel(4);
      cm.SetSourceBitsPerSample(static_cast<std::uint8_t>(bitDepth));
      cm.SetTargetBitsPerSample(8);
      SetPixelFormat(vcl::pf32bit);
      return bitDepth == 16 ? 8 : 4;
    default:
      throw rtl::EInvalidGraphic(vcl::PngMessage(vcl::gesInvalidColorFormat));
  }
}

size_t TPNGGraphic::LoadFromMemory(const rtl::Byte* data, size_t size) {
  SetHandle(nullptr);
  FProgressRect = vcl::Rect(0, 0, 0, 1);
  Progress(psStarting, 0, L"Preparing...");
  if (FPalette) DeleteObject(FPalette);
  FPalette = nullptr;
  FBackgroundColor = 0xFFFFFF;
  FTransparentColor = vcl::clNone;
  FColorManager->SetSourceOptions({coNeedByteSwap});
  TSink sink(*this);
  size_t used;
  try {
    used = vcl::DecodePngInto(data, size, sink);
  } catch (...) {
    Progress(psEnding, 0, L"");
    throw;
  }
  FProgressRect = vcl::Rect(0, 0, Width(), 1);
  Progress(psEnding, 100, L"");
  Changed();
  return used;
}

void TPNGGraphic::LoadFromStream(rtl::TStream& stream) { vcl::TBitmap::LoadFromStream(stream); }

void TPNGGraphic::Draw(vcl::TCanvas& canvas, const vcl::TRect& rect) {
  if (Empty()) return;
  if (PixelFormat() != vcl::pf32bit) {
    vcl::TBitmap::Draw(canvas, rect);
    return;
  }
  const int w = rect.Width(), h = rect.Height();
  if (w <= 0 || h <= 0) return;
  auto work = CreateBmp32(w, h + (Reflected ? h / 2 : 0));
  BitBlt(work->Canvas()->Handle(), 0, 0, work->Width(), work->Height(), canvas.Handle(), rect.Left, rect.Top, SRCCOPY);
  if (w == Width() && h == Height()) {
    CopyBmp32(vcl::Rect(0, 0, w, h), vcl::Rect(0, 0, w, h), work.get(), this, EmptyCI, false, vcl::clNone, 0,
              Reflected);
  } else {
    // Colour and alpha are stretched apart: the system's stretching knows nothing of the alpha channel.
    auto colour = CreateBmp32(w, h);
    SetStretchBltMode(colour->Canvas()->Handle(), COLORONCOLOR);
    StretchBlt(colour->Canvas()->Handle(), 0, 0, w, h, Canvas()->Handle(), 0, 0, Width(), Height(), SRCCOPY);
    vcl::TBitmap alpha8;
    alpha8.SetPixelFormat(vcl::pf8bit);
    alpha8.SetPalette(nullptr);
    alpha8.SetSize(Width(), Height());
    CopyChannel(this, &alpha8, 3, true);
    vcl::TBitmap stretched8;
    stretched8.SetPixelFormat(vcl::pf8bit);
    stretched8.SetSize(w, h);
    SetStretchBltMode(stretched8.Canvas()->Handle(), COLORONCOLOR);
    StretchBlt(stretched8.Canvas()->Handle(), 0, 0, w, h, alpha8.Canvas()->Handle(), 0, 0, Width(), Height(), SRCCOPY);
    CopyChannel(colour.get(), &stretched8, 3, false);
    CopyBmp32(vcl::Rect(0, 0, w, h), vcl::Rect(0, 0, w, h), work.get(), colour.get(), EmptyCI, false, vcl::clNone, 0,
              false);
  }
  BitBlt(canvas.Handle(), rect.Left, rect.Top, work->Width(), work->Height(), work->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TPNGGraphic::Assign(const rtl::TPersistent* source) {
  if (auto* png = dynamic_cast<const TPNGGraphic*>(source)) FImageProperties = png->FImageProperties;
  vcl::TBitmap::Assign(source);
}

void RegisterLVPng() {
  static bool done = false;
  if (done) return;
  done = true;
  if (!LVPngFirst) vcl::TPicture::UnregisterGraphicClass(&vcl::NewGraphic<vcl::TPngImage>);
  vcl::TPicture::RegisterFileFormat(L"png", L"Portable network graphics (Lumivex)", &vcl::NewGraphic<TPNGGraphic>);
  if (!LVPngFirst)
    vcl::TPicture::RegisterFileFormat(L"PNG", L"Portable Network Graphics", &vcl::NewGraphic<vcl::TPngImage>);
}

namespace {
// The library's reader takes ".png" when the library starts.
const bool registered = (RegisterLVPng(), true);
}  // namespace
