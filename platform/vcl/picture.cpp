#include "platform/vcl/picture.h"

#include <cstring>
#include <mutex>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/win.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/icon.h"
#include "platform/vcl/jpeg.h"
#include "platform/vcl/metafile.h"
#include "platform/vcl/png.h"

namespace vcl {

namespace {

struct FileFormat {
  rtl::String extension;
  rtl::String description;
  TGraphicClass graphic_class;
};

struct KnownClass {
  rtl::String name;
  TGraphicClass graphic_class;
};

struct Registry {
  std::recursive_mutex lock;
  std::vector<FileFormat> formats;  // later registrations win
  std::vector<KnownClass> known;    // every class ever registered, for reading form resources

  Registry() {
    Add(L"bmp", L"Bitmaps", &NewGraphic<TBitmap>);
    Add(L"ico", L"Icons", &NewGraphic<TIcon>);
    Add(L"emf", L"Enhanced Metafiles", &NewGraphic<TMetafile>);
    Add(L"wmf", L"Metafiles", &NewGraphic<TMetafile>);
    Add(L"jpg", L"JPEG Image File", &NewGraphic<TJPEGImage>);
    Add(L"jpeg", L"JPEG Image File", &NewGraphic<TJPEGImage>);
    Add(L"png", L"Portable Network Graphics", &NewGraphic<TPngImage>);
  }
  void Add(const rtl::String& ext, const rtl::String& description, TGraphicClass cls) {
    formats.push_back({ext, description, cls});
    for (const auto& k : known)
      if (k.graphic_class == cls) return;
    TGraphic* probe = cls();
    known.push_back({probe->ClassName(), cls});
    delete probe;
  }
};

Registry& Formats() {
  static Registry registry;
  return registry;
}

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

bool SameAscii(const rtl::String& a, const rtl::String& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

rtl::String ExtensionOf(const rtl::String& file_name) {
  size_t dot = file_name.find_last_of(L'.');
  size_t slash = file_name.find_last_of(L"\\/:");
  if (dot == rtl::String::npos || (slash != rtl::String::npos && dot < slash)) return L"";
  return file_name.substr(dot + 1);
}

// The kinds content can be recognised as, each with the extensions that name it (the first is the usual one).
struct Kind {
  std::vector<const wchar_t*> extensions;
};
const Kind kBitmap{{L"bmp", L"dib"}};
const Kind kJpeg{{L"jpg", L"jpeg", L"jpe", L"jfif"}};
const Kind kPng{{L"png"}};
const Kind kWmf{{L"wmf", L"emf"}};
const Kind kEmf{{L"emf", L"wmf"}};
const Kind kIcon{{L"ico", L"cur"}};

std::uint32_t Le32(const rtl::Byte* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The tests in the order the report's picture loader makes them, each only when enough bytes are there.
const Kind* DetectKind(const rtl::Byte* d, size_t n) {
  static const rtl::Byte kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (n >= 14 && d[0] == 'B' && d[1] == 'M') return &kBitmap;
  if (n >= 2 && d[0] == 0xFF && d[1] == 0xD8) return &kJpeg;
  if (n >= 8 && std::memcmp(d, kPngSignature, 8) == 0) return &kPng;
  if (n >= 22 && Le32(d) == 0x9AC6CDD7u) return &kWmf;
  if (n >= 108 && Le32(d + 40) == 0x464D4520u) return &kEmf;
  if (n >= 6 && (d[2] | (d[3] << 8)) < 2) return &kIcon;
  return nullptr;
}

TGraphicClass ClassForKind(const Kind& kind, const rtl::String& extension) {
  for (const wchar_t* e : kind.extensions)
    if (SameAscii(extension, e))
      if (TGraphicClass cls = TPicture::FileFormatClass(extension)) return cls;
  for (const wchar_t* e : kind.extensions)
    if (TGraphicClass cls = TPicture::FileFormatClass(e)) return cls;
  return nullptr;
}

std::vector<rtl::Byte> ReadFileHead(const rtl::String& file_name, size_t count) {
  HANDLE file = CreateFileW(file_name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ReadWholeFile(file_name);  // raises the runtime's file error
  std::vector<rtl::Byte> head(count);
  DWORD got = 0;
  if (!ReadFile(file, head.data(), static_cast<DWORD>(count), &got, nullptr)) got = 0;
  CloseHandle(file);
  head.resize(got);
  return head;
}

}  // namespace

// ---- registry ----

void TPicture::RegisterFileFormat(const rtl::String& extension, const rtl::String& description,
                                  TGraphicClass graphic_class) {
  if (!graphic_class) return;
  auto& r = Formats();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  rtl::String ext = extension;
  if (!ext.empty() && ext[0] == L'.') ext.erase(0, 1);
  r.Add(ext, description, graphic_class);
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphic_class) {
  auto& r = Formats();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  std::erase_if(r.formats, [&](const FileFormat& f) { return f.graphic_class == graphic_class; });
}

TGraphicClass TPicture::FileFormatClass(const rtl::String& extension) {
  auto& r = Formats();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  for (auto it = r.formats.rbegin(); it != r.formats.rend(); ++it)
    if (SameAscii(it->extension, extension)) return it->graphic_class;
  return nullptr;
}

TGraphicClass TPicture::DetectGraphicClass(const rtl::Byte* data, size_t size) {
  const Kind* kind = DetectKind(data, size);
  return kind ? ClassForKind(*kind, L"") : nullptr;
}

TGraphicClass TPicture::FindGraphicClass(const rtl::String& class_name) {
  auto& r = Formats();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  // A class registered for a format now is preferred over one that was unregistered since.
  for (auto it = r.formats.rbegin(); it != r.formats.rend(); ++it)
    for (const auto& k : r.known)
      if (k.graphic_class == it->graphic_class && k.name == class_name) return k.graphic_class;
  for (const auto& k : r.known)
    if (k.name == class_name) return k.graphic_class;
  return nullptr;
}

rtl::String TPicture::GraphicFilter(TGraphicClass graphic_class) {
  auto& r = Formats();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  rtl::String all, each;
  std::vector<rtl::String> seen;
  for (const auto& f : r.formats) {
    if (graphic_class && f.graphic_class != graphic_class) continue;
    bool dup = false;
    for (const auto& s : seen) dup = dup || SameAscii(s, f.extension);
    if (dup) continue;
    seen.push_back(f.extension);
    rtl::String mask = L"*." + f.extension;
    all += (all.empty() ? L"" : L";") + mask;
    each += L"|" + f.description + L" (" + mask + L")|" + mask;
  }
  if (seen.size() <= 1) return each.empty() ? each : each.substr(1);
  return L"All (" + all + L")|" + all + each;
}

// ---- TPicture ----

TPicture::~TPicture() { delete graphic_; }

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::Take(TGraphic* graphic) {
  TGraphic* old = graphic_;
  graphic_ = graphic;
  if (graphic_) graphic_->OnChange = [this](rtl::TObject*) { Changed(); };
  delete old;
  Changed();
}

void TPicture::SetGraphic(const TGraphic* graphic) {
  if (graphic == graphic_) return;
  if (!graphic) {
    Take(nullptr);
    return;
  }
  TGraphic* copy = graphic->NewInstance();
  try {
    copy->Assign(graphic);
  } catch (...) {
    delete copy;
    throw;
  }
  Take(copy);
}

void TPicture::Assign(const rtl::TPersistent* source) {
  if (!source) {
    Take(nullptr);
  } else if (auto* picture = dynamic_cast<const TPicture*>(source)) {
    if (picture != this) SetGraphic(picture->graphic_);
  } else if (auto* graphic = dynamic_cast<const TGraphic*>(source)) {
    SetGraphic(graphic);
  } else {
    TPersistent::Assign(source);
  }
}

void TPicture::AssignTo(rtl::TPersistent* dest) const {
  if (auto* graphic = dynamic_cast<TGraphic*>(dest); graphic && graphic_) {
    graphic->Assign(graphic_);
    return;
  }
  TPersistent::AssignTo(dest);
}

TBitmap* TPicture::Bitmap() {
  if (auto* b = dynamic_cast<TBitmap*>(graphic_)) return b;
  Take(new TBitmap);
  return static_cast<TBitmap*>(graphic_);
}

TIcon* TPicture::Icon() {
  if (auto* i = dynamic_cast<TIcon*>(graphic_)) return i;
  Take(new TIcon);
  return static_cast<TIcon*>(graphic_);
}

TMetafile* TPicture::Metafile() {
  if (auto* m = dynamic_cast<TMetafile*>(graphic_)) return m;
  Take(new TMetafile);
  return static_cast<TMetafile*>(graphic_);
}

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::LoadFromFile(const rtl::String& file_name) {
  rtl::String ext = ExtensionOf(file_name);
  std::vector<rtl::Byte> head = ReadFileHead(file_name, 128);
  TGraphicClass cls = nullptr;
  if (const Kind* kind = DetectKind(head.data(), head.size())) cls = ClassForKind(*kind, ext);
  if (!cls) cls = FileFormatClass(ext);
  if (!cls) throw rtl::EInvalidGraphic(L"Unknown picture file extension (." + ext + L")");
  TGraphic* graphic = cls();
  try {
    graphic->LoadFromFile(file_name);
  } catch (...) {
    delete graphic;
    throw;
  }
  Take(graphic);
}

void TPicture::SaveToFile(const rtl::String& file_name) const {
  if (!graphic_ || graphic_->Empty()) throw rtl::EInvalidGraphic(L"Cannot save an empty picture");
  graphic_->SaveToFile(file_name);
}

size_t TPicture::LoadFromMemory(const rtl::Byte* data, size_t size) {
  TGraphicClass cls = DetectGraphicClass(data, size);
  if (!cls) throw rtl::EInvalidGraphic(L"Unsupported picture format");
  TGraphic* graphic = cls();
  size_t used = 0;
  try {
    used = graphic->LoadFromMemory(data, size);
  } catch (...) {
    delete graphic;
    throw;
  }
  Take(graphic);
  return used;
}

void TPicture::LoadFromStream(rtl::TStream& stream) {
  rtl::Int64 start = stream.Position();
  rtl::Byte head[128];
  rtl::Integer got = stream.Read(head, sizeof(head));
  stream.SetPosition(start);
  TGraphicClass cls = DetectGraphicClass(head, got > 0 ? static_cast<size_t>(got) : 0);
  if (!cls) throw rtl::EInvalidGraphic(L"Unsupported picture format");
  TGraphic* graphic = cls();
  try {
    graphic->LoadFromStream(stream);
  } catch (...) {
    delete graphic;
    throw;
  }
  Take(graphic);
}

void TPicture::SaveToStream(rtl::TStream& stream) const {
  if (!graphic_ || graphic_->Empty()) throw rtl::EInvalidGraphic(L"Cannot save an empty picture");
  graphic_->SaveToStream(stream);
}

void TPicture::ReadData(const rtl::Byte* data, size_t size) {
  if (size == 0) {
    Take(nullptr);
    return;
  }
  size_t name_length = data[0];
  if (1 + name_length > size) throw rtl::EInvalidGraphic(L"Invalid picture data");
  rtl::String name;
  for (size_t i = 0; i < name_length; ++i) name += static_cast<wchar_t>(data[1 + i]);
  TGraphicClass cls = FindGraphicClass(name);
  if (!cls) throw rtl::EInvalidGraphic(L"Unknown picture class " + name);
  TGraphic* graphic = cls();
  try {
    graphic->ReadData(data + 1 + name_length, size - 1 - name_length);
  } catch (...) {
    delete graphic;
    throw;
  }
  Take(graphic);
}

void TPicture::DefineProperties(TFiler* filer) {
  filer->DefineBinaryProperty(
      L"Data",
      [this](rtl::TStream& s) {
        rtl::Int64 rest = s.Size() - s.Position();
        std::vector<rtl::Byte> data(static_cast<size_t>(rest > 0 ? rest : 0));
        if (!data.empty()) s.ReadBuffer(data.data(), static_cast<rtl::Integer>(data.size()));
        ReadData(data.data(), data.size());
      },
      [this](rtl::TStream& s) {
        std::vector<rtl::Byte> data;
        WriteData(data);
        if (!data.empty()) s.WriteBuffer(data.data(), static_cast<rtl::Integer>(data.size()));
      },
      graphic_ != nullptr);
}

void TPicture::WriteData(std::vector<rtl::Byte>& out) const {
  if (!graphic_) return;
  rtl::String name = graphic_->ClassName();
  out.push_back(static_cast<rtl::Byte>(name.size()));
  for (wchar_t c : name) out.push_back(static_cast<rtl::Byte>(c));
  graphic_->WriteData(out);
}

}  // namespace vcl
