#pragma once
// The two printable views besides text: the line (straight or diagonal, with optional arrow heads) and the picture
// (bitmap, JPEG, PNG, metafile or icon from a file, a dataset field or the template itself). The report page keeps
// a picture view of its own for its background.
#include "platform/rtl/streams.h"
#include "platform/vcl/picture.h"
#include "report/model/qvxClassViews.h"

class TqvxPictureView;

// The failure code of LoadPictureFromStream (the platform's "invalid argument").
inline constexpr rtl::Integer qvxInvalidPicture = static_cast<rtl::Integer>(0x80070057);

class TqvxCustomLineView : public TqvxStretcheable {
  VCL_CLASS(TqvxCustomLineView, TqvxStretcheable)
 public:
  explicit TqvxCustomLineView(vcl::TComponent* owner);
  // flags: 0 a straight line, 1 a diagonal, 2 with an end arrow, 3 with a start arrow, 4 with both.
  TqvxCustomLineView(vcl::TComponent* owner, rtl::Word flags);
  void Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) override;
  // The head of an arrow whose tip is (x2, y2), in device pixels.
  void DrawArrow(Extended x1, Extended y1, Extended x2, Extended y2);
  void DrawDiagonalLine();

  // The line's own colour (the brush of a diagonal). Starts as the value the template writer leaves out, so a
  // transparent line reads back transparent.
  vcl::TColor LineColor() const { return FLineColor; }
  void SetLineColor(vcl::TColor value) { FLineColor = value; }

  bool Diagonal = false;
  bool ArrowEnd = false;
  rtl::Integer ArrowLength = 20;
  bool ArrowSolid = false;
  bool ArrowStart = false;
  rtl::Integer ArrowWidth = 5;

 private:
  void InitLine();
  void DrawArrows();
  vcl::TColor FLineColor = clTransparent;
};

class TqvxLineView : public TqvxCustomLineView {
  VCL_CLASS(TqvxLineView, TqvxCustomLineView)
 public:
  explicit TqvxLineView(vcl::TComponent* owner) : TqvxCustomLineView(owner) {}
  TqvxLineView(vcl::TComponent* owner, rtl::Word flags) : TqvxCustomLineView(owner, flags) {}
  rtl::String GetDescription() const override;
};

class TqvxPictureView : public TqvxView {
  VCL_CLASS(TqvxPictureView, TqvxView)
 public:
  explicit TqvxPictureView(vcl::TComponent* owner);
  ~TqvxPictureView() override;
  rtl::String GetDescription() const override;
  rtl::String Diff(TqvxComponent* component) override;
  void Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) override;
  void GetData() override;

  // 0 on success; qvxInvalidPicture (the picture is then empty) when the stream holds no picture of a known kind
  // or the picture in it is damaged.
  rtl::Integer LoadPictureFromStream(rtl::TStream& stream, bool resetStreamPos = true);
  // Marks the picture for the prepared pages (next Diff) and sizes the view again when AutoSize is on.
  void PictureChanged();

  vcl::TPicture* Picture() const { return FPicture; }
  void SetPicture(vcl::TPicture* value) { FPicture->Assign(value); }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value) { FTransparent = value; }
  rtl::Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(rtl::Integer value) { FImageIndex = value; }
  // ImageIndex is written only for printed copies, the picture only for templates.
  bool IsImageIndexStored() const { return FIsImageIndexStored; }
  void SetIsImageIndexStored(bool value) { FIsImageIndexStored = value; }
  bool IsPictureStored() const { return FIsPictureStored; }
  void SetIsPictureStored(bool value) { FIsPictureStored = value; }
  bool PictureChangedFlag() const { return FPictureChanged; }

  bool Center = false;
  rtl::String FileLink;
  bool KeepAspectRatio = true;
  bool Stretched = true;
  bool HightQuality = false;
  vcl::TColor TransparentColor = 0xFFFFFF;

 private:
  bool FAutoSize = false;
  bool FIsImageIndexStored = false;
  bool FIsPictureStored = true;
  rtl::Integer FImageIndex = 0;
  vcl::TPicture* FPicture;
  bool FPictureChanged = false;
  bool FTransparent = false;
};
