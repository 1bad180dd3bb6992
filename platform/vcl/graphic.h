#pragma once
// The abstract picture: something with a size that can draw itself into a rectangle of a canvas and read and
// write itself. Bitmaps, icons, metafiles, JPEG and PNG images derive from it; TPicture holds one of them.
//
// Reading works on memory: LoadFromMemory decodes the bytes from the start of the block and answers how many it
// used, so a stream reader can leave the stream right after the picture (a picture can sit inside a larger
// stream). The file and stream forms are built on it.
#include <functional>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/win.h"
#include "platform/vcl/graphicstypes.h"
#include "platform/vcl/typinfo.h"

namespace rtl {
class TStream;
}

namespace vcl {

class TCanvas;

class TGraphic : public rtl::TPersistent {
  VCL_CLASS(TGraphic, rtl::TPersistent)
  using TChangeEvent = std::function<void(rtl::TObject* sender)>;

  // A new, empty graphic of the same class (TPicture copies graphics through it).
  virtual TGraphic* NewInstance() const = 0;

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  virtual void SetSize(int width, int height) {
    SetWidth(width);
    SetHeight(height);
  }
  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  virtual HPALETTE Palette() const { return nullptr; }
  virtual void SetPalette(HPALETTE) {}
  bool Modified() const { return modified_; }
  void SetModified(bool value);

  // Draws the graphic stretched into rect (the canvas's Draw and StretchDraw come here).
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;

  // Decodes the picture at the start of data; returns the number of bytes it took. Damaged or foreign data raises
  // EInvalidGraphic and leaves the graphic empty.
  virtual size_t LoadFromMemory(const rtl::Byte* data, size_t size) = 0;
  virtual void SaveToMemory(std::vector<rtl::Byte>& out) const = 0;
  // Reads from the stream's position to its end and leaves the stream right after the picture. A descendant may
  // read the stream its own way; LoadFromFile comes here too.
  virtual void LoadFromStream(rtl::TStream& stream);
  virtual void SaveToStream(rtl::TStream& stream) const;
  void LoadFromFile(const rtl::String& file_name);
  void SaveToFile(const rtl::String& file_name) const;
  // The form-resource form of the graphic (the binary value of Picture.Data / Bitmap.Data after the class name).
  // By default the file form; bitmaps and JPEG images put its length in front of it.
  virtual void ReadData(const rtl::Byte* data, size_t size) { LoadFromMemory(data, size); }
  virtual void WriteData(std::vector<rtl::Byte>& out) const { SaveToMemory(out); }
  // "Data": the form-resource form above, for graphics that are properties of their own (a button's Glyph).
  void DefineProperties(TFiler* filer) override;

  TChangeEvent OnChange;

protected:
  // Bitmaps take any graphic: it is drawn onto a white bitmap of its size.
  void AssignTo(rtl::TPersistent* dest) const override;
  // Marks the graphic modified and tells OnChange.
  virtual void Changed();

private:
  bool transparent_ = false;
  bool modified_ = false;
};

}  // namespace vcl
