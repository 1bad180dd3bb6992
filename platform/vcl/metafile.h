#pragma once
// Enhanced metafiles: recorded drawing that replays into any rectangle. Placeable Windows metafiles (.wmf) are
// converted to enhanced ones when read. A TMetafileCanvas records into a metafile; the recording becomes the
// metafile's content when the canvas is freed.
#include <vector>

#include "platform/vcl/canvas.h"
#include "platform/vcl/graphic.h"

namespace vcl {

class TMetafile : public TGraphic {
  VCL_CLASS(TMetafile, TGraphic)
  TMetafile() = default;
  ~TMetafile() override;
  TGraphic* NewInstance() const override { return new TMetafile; }
  void Assign(const rtl::TPersistent* source) override;

  bool Empty() const override { return handle_ == nullptr; }
  // In screen pixels; set before recording to give the recording its frame.
  int Width() const override;
  int Height() const override;
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  // In hundredths of a millimetre.
  int MMWidth() const;
  int MMHeight() const;
  void SetMMWidth(int value);
  void SetMMHeight(int value);
  bool Enhanced() const { return true; }
  bool Transparent() const override { return true; }

  HENHMETAFILE Handle() const { return handle_; }
  // Takes over the metafile; 0 empties it.
  void SetHandle(HENHMETAFILE metafile);
  HENHMETAFILE ReleaseHandle();
  void Clear() { SetHandle(nullptr); }

  void Draw(TCanvas& canvas, const TRect& rect) override;
  // An enhanced metafile, or a placeable Windows metafile (converted). The records are walked first
  // (metafilecheck.h): a damaged metafile raises EInvalidGraphic and never reaches the system.
  size_t LoadFromMemory(const rtl::Byte* data, size_t size) override;
  // Always the enhanced form.
  void SaveToMemory(std::vector<rtl::Byte>& out) const override;
  void ReadData(const rtl::Byte* data, size_t size) override;
  void WriteData(std::vector<rtl::Byte>& out) const override;

private:
  HENHMETAFILE handle_ = nullptr;
  int mm_width_ = 0;   // 0: from the metafile's header
  int mm_height_ = 0;
};

class TMetafileCanvas : public TCanvas {
  VCL_CLASS(TMetafileCanvas, TCanvas)
  // reference_device: the device the drawing is meant for (0: the screen).
  TMetafileCanvas(TMetafile* metafile, HDC reference_device);
  ~TMetafileCanvas() override;

private:
  TMetafile* metafile_;
  HDC recording_ = nullptr;
};

}  // namespace vcl
