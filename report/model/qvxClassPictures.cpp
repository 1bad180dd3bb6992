#include "report/model/qvxClassPictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxGraphics.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"

using rtl::String;
using vcl::TColor;

namespace {

int Rnd(Extended x) { return static_cast<int>(std::nearbyint(static_cast<double>(x))); }

String Item(const String& name, const String& value) { return L" " + name + L"=\"" + value + L"\""; }

void Move(vcl::TRect& r, int dx, int dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
}

}  // namespace

VCL_REGISTER(TqvxCustomLineView) {
  cls.Prop(L"Color", &TqvxCustomLineView::LineColor, &TqvxCustomLineView::SetLineColor)
      .Default(clTransparent)
      .TypeName(L"TColor");
  cls.Prop(L"TagStr", &TqvxView::TagStr);
  cls.Prop(L"ArrowEnd", &TqvxCustomLineView::ArrowEnd).Default(false);
  cls.Prop(L"ArrowLength", &TqvxCustomLineView::ArrowLength).Default(20);
  cls.Prop(L"ArrowSolid", &TqvxCustomLineView::ArrowSolid).Default(false);
  cls.Prop(L"ArrowStart", &TqvxCustomLineView::ArrowStart).Default(false);
  cls.Prop(L"ArrowWidth", &TqvxCustomLineView::ArrowWidth).Default(5);
  cls.Prop(L"Frame", &TqvxView::Frame, &TqvxView::SetFrame);
  cls.Prop(L"Diagonal", &TqvxCustomLineView::Diagonal).Default(false);
}

VCL_REGISTER(TqvxLineView) {}

VCL_REGISTER(TqvxPictureView) {
  cls.Prop(L"AutoSize", &TqvxPictureView::AutoSize, &TqvxPictureView::SetAutoSize).Default(false);
  cls.Prop(L"Center", &TqvxPictureView::Center).Default(false);
  cls.Prop(L"Cursor", &TqvxView::Cursor).Default(0);
  cls.Prop(L"DataField", &TqvxView::DataField);
  cls.Prop(L"DataSet", &TqvxView::DataSet, &TqvxView::SetDataSet);
  cls.Prop(L"DataSetName", &TqvxView::DataSetName, &TqvxView::SetDataSetName);
  cls.Prop(L"FileLink", &TqvxPictureView::FileLink);
  cls.Prop(L"Frame", &TqvxView::Frame, &TqvxView::SetFrame);
  cls.Prop(L"FillType", &TqvxView::FillType, &TqvxView::SetFillType).Default(ftBrush);
  cls.Prop(L"Fill", &TqvxView::Fill, &TqvxView::SetFill);
  cls.Prop(L"ImageIndex", &TqvxPictureView::ImageIndex, &TqvxPictureView::SetImageIndex)
      .Stored(&TqvxPictureView::IsImageIndexStored);
  cls.Prop(L"KeepAspectRatio", &TqvxPictureView::KeepAspectRatio).Default(true);
  cls.Prop(L"Picture", &TqvxPictureView::Picture, &TqvxPictureView::SetPicture)
      .Stored(&TqvxPictureView::IsPictureStored);
  cls.Prop(L"Stretched", &TqvxPictureView::Stretched).Default(true);
  cls.Prop(L"TagStr", &TqvxView::TagStr);
  cls.Prop(L"URL", &TqvxView::URL, &TqvxView::SetURL).Stored(false);
  cls.Prop(L"HightQuality", &TqvxPictureView::HightQuality);
  cls.Prop(L"Transparent", &TqvxPictureView::Transparent, &TqvxPictureView::SetTransparent);
  cls.Prop(L"TransparentColor", &TqvxPictureView::TransparentColor).TypeName(L"TColor");
}

// ---------------------------------------------------------------------------------------------------------------
// Lines

TqvxCustomLineView::TqvxCustomLineView(vcl::TComponent* owner) : TqvxStretcheable(owner) { InitLine(); }

TqvxCustomLineView::TqvxCustomLineView(vcl::TComponent* owner, rtl::Word flags) : TqvxStretcheable(owner, flags) {
  InitLine();
  Diagonal = flags != 0;
  ArrowEnd = flags == 2 || flags == 4;
  ArrowStart = flags == 3 || flags == 4;
}

void TqvxCustomLineView::InitLine() { FqvComponentStyle -= csDefaultDiff; }

void TqvxCustomLineView::DrawArrow(Extended x1, Extended y1, Extended x2, Extended y2) {
  const Extended w = ArrowWidth * ScaleX;
  const Extended l = ArrowLength * ScaleX;
  Extended xb, yb;
  TqvxPoint c1, c2;
  if (std::fabs(static_cast<double>(x2 - x1)) > 8) {
    const Extended g = (y2 - y1) / (x2 - x1);
    const Extended k = (x2 * y1 - y2 * x1) / (x2 - x1);
    const Extended a = g * g + 1;
    const Extended b = 2 * (g * (k - y2) - x2);
    const Extended c = k * k + x2 * x2 + y2 * y2 - l * l - 2 * y2 * k;
    Extended d = b * b - 4 * a * c;
    if (d < 0) d = 0;
    const Extended root = std::sqrt(d);
    xb = (root - b) / (2 * a);
    // The base lies on the segment's side of the tip; the other root is the point beyond it.
    if ((xb > x1 && xb > x2) || (xb < x1 && xb < x2)) xb = (-root - b) / (2 * a);
    yb = k + xb * g;
    if (y1 != y2) {
      const Extended theta = std::atan(g);
      c1 = {xb + w * std::sin(theta), yb - w * std::cos(theta)};
      c2 = {xb - w * std::sin(theta), yb + w * std::cos(theta)};
    } else {
      c1 = {xb, yb - w};
      c2 = {xb, yb + w};
    }
  } else {
    xb = x2;
    yb = y1 > y2 - l ? y2 + l : y2 - l;
    c1 = {xb - w, yb};
    c2 = {xb + w, yb};
  }
  const vcl::TPoint tip(Rnd(x2), Rnd(y2));
  const vcl::TPoint p1(Rnd(c1.X), Rnd(c1.Y));
  const vcl::TPoint p2(Rnd(c2.X), Rnd(c2.Y));
  vcl::TPen* pen = Canvas->Pen();
  pen->SetColor(FFrame->Color());
  pen->SetStyle(vcl::psSolid);
  if (ArrowSolid) {
    // A transparent line colour would leave the brush clear and the head hollow.
    Canvas->Brush()->SetStyle(vcl::bsSolid);
    Canvas->Brush()->SetColor(FFrame->Color());
    pen->SetWidth(1);
    Canvas->Polygon(std::vector<vcl::TPoint>{tip, p1, p2, tip});
  } else {
    pen->SetWidth(Rnd(FFrame->Width() * ScaleX));
    Canvas->Polyline(std::vector<vcl::TPoint>{p1, tip, p2});
  }
}

void TqvxCustomLineView::DrawArrows() {
  if (ArrowStart) DrawArrow(X1, Y1, X, Y);
  if (ArrowEnd) DrawArrow(X, Y, X1, Y1);
}

void TqvxCustomLineView::DrawDiagonalLine() {
  if (FFrame->Color() == clTransparent || FFrame->Width() == 0) return;
  vcl::TBrush* brush = Canvas->Brush();
  if (FLineColor == clTransparent) {
    brush->SetStyle(vcl::bsClear);
  } else {
    brush->SetStyle(vcl::bsSolid);
    brush->SetColor(FLineColor);
  }
  vcl::TPen* pen = Canvas->Pen();
  pen->SetColor(FFrame->Color());
  pen->SetWidth(1);
  pen->SetStyle(FFrame->Style() <= fsDashDotDot ? static_cast<vcl::TPenStyle>(FFrame->Style()) : vcl::psSolid);
  DrawLine(X, Y, X1, Y1, FrameWidth);
  DrawArrows();
}

void TqvxCustomLineView::Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX,
                              Extended offsetY) {
  if (!Diagonal) {
    // A straight line is a frame of one side; the straightening stays with the object.
    if (FWidth <= FHeight) {
      FWidth = 0;
      FFrame->Typ = TqvxFrameTypes{ftLeft};
    } else {
      FHeight = 0;
      FFrame->Typ = TqvxFrameTypes{ftTop};
    }
  }
  BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
  if (Diagonal) {
    DrawDiagonalLine();
    return;
  }
  DrawFrame();
  if (FFrame->Color() != clTransparent) DrawArrows();
}

String TqvxLineView::GetDescription() const { return qvxResources().Get(L"obLine"); }

// ---------------------------------------------------------------------------------------------------------------
// Pictures

TqvxPictureView::TqvxPictureView(vcl::TComponent* owner) : TqvxView(owner), FPicture(new vcl::TPicture()) {
  FqvComponentStyle -= csDefaultDiff;
  FPicture->OnChange = [this](rtl::TObject*) { PictureChanged(); };
}

TqvxPictureView::~TqvxPictureView() {
  FPicture->OnChange = nullptr;
  delete FPicture;
}

String TqvxPictureView::GetDescription() const { return qvxResources().Get(L"obPicture"); }

void TqvxPictureView::SetAutoSize(bool value) {
  FAutoSize = value;
  if (value && FPicture->Graphic() && !FPicture->Graphic()->Empty()) {
    FWidth = FPicture->Width();
    FHeight = FPicture->Height();
  }
}

void TqvxPictureView::PictureChanged() {
  SetAutoSize(FAutoSize);
  FPictureChanged = true;
}

namespace {

enum class TPictureKind { None, Bitmap, Jpeg, Png, Wmf, Emf, Icon };

std::uint16_t Word16(const rtl::Byte* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Word32(const rtl::Byte* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

TPictureKind DetectKind(rtl::TStream& s) {
  const rtl::Int64 q = s.Position();
  const rtl::Int64 left = s.Size() - q;
  rtl::Byte head[108] = {};
  const rtl::Int64 n = left < 108 ? left : 108;
  if (n > 0) s.ReadBuffer(head, static_cast<rtl::Integer>(n));
  s.SetPosition(q);
  static const rtl::Byte png[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  if (n >= 14 && head[0] == 'B' && head[1] == 'M') return TPictureKind::Bitmap;
  if (n >= 2 && head[0] == 0xFF && head[1] == 0xD8) return TPictureKind::Jpeg;
  if (n >= 8 && std::equal(png, png + 8, head)) return TPictureKind::Png;
  if (n >= 22 && Word32(head) == 0x9AC6CDD7) return TPictureKind::Wmf;
  if (n >= 108 && Word32(head + 40) == 0x464D4520) return TPictureKind::Emf;
  if (n >= 6 && Word16(head + 2) < 2) return TPictureKind::Icon;
  return TPictureKind::None;
}

const wchar_t* ExtensionOf(TPictureKind kind) {
  switch (kind) {
    case TPictureKind::Bitmap:
      return L"bmp";
    case TPictureKind::Jpeg:
      return L"jpg";
    case TPictureKind::Png:
      return L"png";
    case TPictureKind::Wmf:
      return L"wmf";
    case TPictureKind::Emf:
      return L"emf";
    case TPictureKind::Icon:
      return L"ico";
    default:
      return L"";
  }
}

}  // namespace

rtl::Integer TqvxPictureView::LoadPictureFromStream(rtl::TStream& stream, bool resetStreamPos) {
  const rtl::Int64 p = resetStreamPos ? 0 : stream.Position();
  stream.SetPosition(p);
  const rtl::Int64 size = stream.Size();
  TPictureKind kind = TPictureKind::None;
  if (size > 0) {
    if (size > 7 && size - p >= 8) {
      // Graphics kept by the platform's own storage carry an 8-byte header in front of the file.
      rtl::Byte header[8];
      stream.ReadBuffer(header, 8);
      const bool skip = Word16(header) == 1 && Word16(header + 2) == 0x0100 &&
                        static_cast<rtl::Int64>(Word32(header + 4)) == size - 8;
      if (!skip) stream.SetPosition(p);
    }
    kind = DetectKind(stream);
  }
  vcl::TGraphicClass graphicClass =
      kind == TPictureKind::None ? nullptr : vcl::TPicture::FileFormatClass(ExtensionOf(kind));
  if (graphicClass) {
    std::unique_ptr<vcl::TGraphic> graphic(graphicClass());
    try {
      graphic->LoadFromStream(stream);
    } catch (const rtl::Exception&) {
      // A damaged picture is no picture: the run goes on with an empty one.
      graphic.reset();
    }
    if (graphic) {
      FPicture->SetGraphic(graphic.get());
      if (FPicture->Graphic() && FPicture->Graphic()->ClassName() == L"TPngImage") PictureChanged();
      return 0;
    }
  }
  FPicture->Assign(nullptr);
  return qvxInvalidPicture;
}

void TqvxPictureView::GetData() {
  TqvxView::GetData();
  if (!FileLink.empty()) {
    String name = FileLink;
    if (name.find(L'[') != String::npos) ExpandVariables(name);
    if (rtl::FileExists(name)) {
      rtl::TFileStream file(name, rtl::fmOpenRead | rtl::fmShareDenyWrite);
      rtl::TMemoryStream data;
      data.CopyFrom(file, 0);
      LoadPictureFromStream(data, true);
    } else {
      FPicture->Assign(nullptr);
    }
  } else if (IsDataField() && FDataSet->IsBlobField(DataField)) {
    rtl::TMemoryStream data;
    FDataSet->AssignBlobTo(DataField, &data);
    LoadPictureFromStream(data, true);
  }
}

void TqvxPictureView::Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) {
  BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
  if (!DrawAsMask) DrawBackground();
  vcl::TRect r(X, Y, X1, Y1);
  vcl::TGraphic* graphic = FPicture->Graphic();
  if (graphic && !graphic->Empty()) {
    const int gw = graphic->Width(), gh = graphic->Height();
    const bool keyed = FTransparent && TransparentColor != clTransparent;
    if (Stretched) {
      if (KeepAspectRatio) {
        const Extended kx = gw != 0 ? static_cast<Extended>(DX) / gw : 0;
        const Extended ky = gh != 0 ? static_cast<Extended>(DY) / gh : 0;
        if (kx < ky)
          r.Bottom = r.Top + Rnd(gh * kx);
        else
          r.Right = r.Left + Rnd(gw * ky);
        if (Center) Move(r, (DX - r.Width()) / 2, (DY - r.Height()) / 2);
      }
      qvxDrawGraphic(canvas, r, graphic, IsPrinting(), HightQuality, keyed, TransparentColor);
    } else {
      HDC dc = canvas->Handle();
      HRGN saved = CreateRectRgn(0, 0, 10000, 10000);
      const bool hadClip = GetClipRgn(dc, saved) == 1;
      IntersectClipRect(dc, X, Y, X1, Y1);
      if (Center) Move(r, (DX - Rnd(gw * scaleX)) / 2, (DY - Rnd(gh * scaleY)) / 2);
      r.Right = r.Left + Rnd(gw * scaleX);
      r.Bottom = r.Top + Rnd(gh * scaleY);
      qvxDrawGraphic(canvas, r, graphic, IsPrinting(), HightQuality, keyed, TransparentColor);
      SelectClipRgn(dc, hadClip ? saved : nullptr);
      DeleteObject(saved);
    }
  }
  DrawFrame();
}

String TqvxPictureView::Diff(TqvxComponent* component) {
  if (FPictureChanged) {
    if (TqvxReport* report = Report()) report->RequirePreviewPages().AddPicture(this);
    FPictureChanged = false;
  }
  String result = L" " + TqvxView::Diff(component) + Item(L"ImageIndex", rtl::IntToStr(FImageIndex));
  if (FTransparent) result += Item(L"Transparent", L"1");
  if (TransparentColor != 0xFFFFFF) result += Item(L"TransparentColor", rtl::IntToStr(TransparentColor));
  return result;
}
