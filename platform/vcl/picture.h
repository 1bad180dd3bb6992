#pragma once
// A picture holds one graphic of any class and chooses the class when it loads: by the file's content when that
// is one of the known kinds (bitmap, icon, metafile, JPEG, PNG), otherwise by the extension. Each extension is
// read by the class registered for it last, so a library can put its own reader in front of the default one
// (the skinning library does that for ".png").
#include <functional>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/vcl/graphic.h"

namespace vcl {

class TBitmap;
class TIcon;
class TMetafile;

// A graphic class as the registry knows it: the function that makes an empty instance.
using TGraphicClass = TGraphic* (*)();
template <class T>
TGraphic* NewGraphic() {
  return new T;
}

class TPicture : public rtl::TPersistent {
  VCL_CLASS(TPicture, rtl::TPersistent)
  using TNotify = std::function<void(rtl::TObject* sender)>;

  TPicture() = default;
  ~TPicture() override;
  // From a picture (its graphic is copied), from a graphic, or nullptr (empties the picture).
  void Assign(const rtl::TPersistent* source) override;

  TGraphic* Graphic() const { return graphic_; }
  // Holds a copy of graphic (nullptr empties the picture).
  void SetGraphic(const TGraphic* graphic);
  // The graphic as a bitmap, icon or metafile; when it is of another class it is replaced by an empty one.
  TBitmap* Bitmap();
  TIcon* Icon();
  TMetafile* Metafile();
  // 0 when empty.
  int Width() const;
  int Height() const;

  // Raises EInvalidGraphic for an unknown extension or content, and the runtime's file errors.
  void LoadFromFile(const rtl::String& file_name);
  // Raises EInvalidGraphic for an empty picture.
  void SaveToFile(const rtl::String& file_name) const;
  // By content only; returns the bytes used.
  size_t LoadFromMemory(const rtl::Byte* data, size_t size);
  // By content, from the stream's position; the stream is left after the picture.
  void LoadFromStream(rtl::TStream& stream);
  // Raises EInvalidGraphic for an empty picture.
  void SaveToStream(rtl::TStream& stream) const;

  // The form-resource value "Data": the graphic's class name (a length byte and the name) followed by the
  // graphic's own data. Empty for an empty picture.
  void ReadData(const rtl::Byte* data, size_t size);
  void WriteData(std::vector<rtl::Byte>& out) const;
  // "Data": the value above, as form resources store it ("Picture.Data = {...}").
  void DefineProperties(TFiler* filer) override;

  TNotify OnChange;

  // The file-format registry. Extensions are given without the dot and compare without regard to ASCII case.
  static void RegisterFileFormat(const rtl::String& extension, const rtl::String& description,
                                 TGraphicClass graphic_class);
  // Removes every registration of the class.
  static void UnregisterGraphicClass(TGraphicClass graphic_class);
  // The class that reads files with this extension (nullptr when none).
  static TGraphicClass FileFormatClass(const rtl::String& extension);
  // The class for data by its first bytes (nullptr when it is no known kind).
  static TGraphicClass DetectGraphicClass(const rtl::Byte* data, size_t size);
  // "All (*.bmp;*.png;...)|*.bmp;*.png;...|Bitmaps (*.bmp)|*.bmp|..." for open and save dialogs; graphic_class
  // nullptr lists every format.
  static rtl::String GraphicFilter(TGraphicClass graphic_class = nullptr);
  // The registered class whose instances answer this ClassName (nullptr when none).
  static TGraphicClass FindGraphicClass(const rtl::String& class_name);

protected:
  void AssignTo(rtl::TPersistent* dest) const override;

private:
  void Take(TGraphic* graphic);
  void Changed();
  TGraphic* graphic_ = nullptr;
};

}  // namespace vcl
