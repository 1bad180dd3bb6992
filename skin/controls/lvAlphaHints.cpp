#include "skin/controls/lvAlphaHints.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/win.h"
#include "platform/vcl/application.h"
#include "skin/controls/sHtmlParse.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimations.h"
#include "skin/core/sConst.h"
#include "skin/core/sHintWnd.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/lvPNG.h"
#include "skin/render/sAlphaGraph.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"

using rtl::String;

TsAlphaHints* Manager = nullptr;

namespace {
// The skin core's one-off hints come here while a hint component is active.
struct TManagedHintHooks {
  TManagedHintHooks() {
    ManagedHintsActive = [] { return Manager != nullptr && Manager->Active(); };
    ShowManagedHint = [](const String& hint, const vcl::TPoint& pos, int hideTime) {
      if (!Manager || !Manager->Active()) return false;
      Manager->ShowHint(pos, hint, hideTime);
      return true;
    };
  }
} managedHintHooks;
}  // namespace

namespace {

vcl::TRect Moved(const vcl::TRect& r, int dx, int dy) {
  return vcl::TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
}

constexpr int kStepCount = 24;  // (DefAnimationTime div 10) * StepDivid
constexpr int kSpeed = 5;

std::uint32_t& Px(vcl::TBitmap* b, int x, int y) { return static_cast<std::uint32_t*>(b->ScanLine(y))[x]; }

// A picture as a 32-bit bitmap with straight alpha (opaque when the source has none).
std::unique_ptr<vcl::TBitmap> As32(vcl::TBitmap* src) {
  auto out = CreateBmp32(src->Width(), src->Height());
  if (src->PixelFormat() == vcl::pf32bit) {
    for (int y = 0; y < src->Height(); ++y)
      std::memcpy(out->ScanLine(y), src->ScanLine(y), static_cast<size_t>(src->Width()) * 4);
  } else {
    BitBlt(out->Canvas()->Handle(), 0, 0, src->Width(), src->Height(), src->Canvas()->Handle(), 0, 0, SRCCOPY);
    GdiFlush();
    for (int y = 0; y < out->Height(); ++y)
      for (int x = 0; x < out->Width(); ++x) Px(out.get(), x, y) |= 0xFF000000u;
  }
  return out;
}

// Source coordinate of destination coordinate d in a nine-slice axis: near and far margins copied, the middle
// stretched or repeated.
int MapAxis(int d, int dstLen, int srcLen, int nearM, int farM, bool stretch) {
  if (d < nearM) return d;
  if (d >= dstLen - farM) return srcLen - (dstLen - d);
  const int srcMid = srcLen - nearM - farM, dstMid = dstLen - nearM - farM;
  if (srcMid <= 0 || dstMid <= 0) return std::clamp(d, 0, srcLen - 1);
  const int off = d - nearM;
  return nearM + (stretch ? static_cast<int>(static_cast<long long>(off) * srcMid / dstMid) : off % srcMid);
}

// The picture of image drawn over dst in nine parts; margins that do not fit the picture or the target shrink.
void PaintNineSlice(vcl::TBitmap* dst, TlvHintImage* image) {
  vcl::TBitmap* src = image->Image();
  if (!src || src->Empty()) return;
  const int w = src->Width(), h = src->Height(), W = dst->Width(), H = dst->Height();
  auto fit = [](int& a, int& b, int limit) {
    if (a + b > limit) {
      const int sum = std::max(1, a + b);
      a = a * limit / sum;
      b = limit - a;
    }
  };
  int l = image->BordersWidths()->Left(), r = image->BordersWidths()->Right();
  int t = image->BordersWidths()->Top(), b = image->BordersWidths()->Bottom();
  fit(l, r, std::min(w, W));
  fit(t, b, std::min(h, H));
  const TlvBorderDrawModes* m = image->BorderDrawModes();
  for (int y = 0; y < H; ++y) {
    const bool topRow = y < t, bottomRow = y >= H - b;
    for (int x = 0; x < W; ++x) {
      const bool leftCol = x < l, rightCol = x >= W - r;
      bool hStretch = m->Center() == dmStretch, vStretch = m->Center() == dmStretch;
      if (topRow) hStretch = m->Top() == dmStretch;
      if (bottomRow) hStretch = m->Bottom() == dmStretch;
      if (leftCol) vStretch = m->Left() == dmStretch;
      if (rightCol) vStretch = m->Right() == dmStretch;
      const int sx = std::clamp(MapAxis(x, W, w, l, r, hStretch), 0, w - 1);
      const int sy = std::clamp(MapAxis(y, H, h, t, b, vStretch), 0, h - 1);
      Px(dst, x, y) = Px(src, sx, sy);
    }
  }
}

String AnsiToString(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  String s(static_cast<size_t>(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), s.data(), n);
  return s;
}

std::string StringToAnsi(const String& s) {
  if (s.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string r(static_cast<size_t>(std::max(n, 0)), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), r.data(), n, nullptr, nullptr);
  return r;
}

[[noreturn]] void Damaged(const String& what) { throw rtl::EReadError(L"Damaged hint template: " + what); }

void ReadExact(rtl::TStream& s, void* p, int n) {
  if (s.Read(p, n) != n) Damaged(L"the file ends too early");
}
std::int32_t ReadInt(rtl::TStream& s) {
  std::int32_t v = 0;
  ReadExact(s, &v, 4);
  return v;
}
std::uint8_t ReadByte(rtl::TStream& s) {
  std::uint8_t v = 0;
  ReadExact(s, &v, 1);
  return v;
}
std::int32_t ReadWidth(rtl::TStream& s) {
  const std::int32_t v = ReadInt(s);
  if (v < -lvhint::MaxWidths || v > lvhint::MaxWidths) Damaged(L"a border width out of range");
  return v;
}

void ReadImage(rtl::TStream& s, TlvHintImage* image) {
  TlvBorderDrawMode modes[5];
  for (auto& mode : modes) {
    const std::uint8_t b = ReadByte(s);
    if (b > 1) Damaged(L"an unknown draw mode");
    mode = static_cast<TlvBorderDrawMode>(b);
  }
  std::int32_t sizes[3][4];
  for (auto& set : sizes)
    for (auto& v : set) v = ReadWidth(s);
  const std::uint8_t kind = ReadByte(s);
  if (kind != '0' && kind != '1') Damaged(L"an unknown picture kind");
  const std::int32_t length = ReadInt(s);
  const rtl::Int64 left = s.Size() - s.Position();
  if (length < 0 || length > lvhint::MaxPictureBytes || length > left) Damaged(L"a picture length beyond the file");
  std::vector<rtl::Byte> bytes(static_cast<size_t>(length));
  if (length > 0) ReadExact(s, bytes.data(), length);
  if (kind == '1') {
    image->LoadImageData(bytes.data(), bytes.size());
  } else if (length > 0) {
    rtl::TBytesStream bs(bytes);
    vcl::TBitmap bmp;
    bmp.LoadFromStream(bs);
    image->SetImage(&bmp);
    image->ImageData()->Clear();
  }
  // The widths read stand, whatever the picture's size suggests.
  image->BorderDrawModes()->SetTop(modes[0]);
  image->BorderDrawModes()->SetLeft(modes[1]);
  image->BorderDrawModes()->SetRight(modes[2]);
  image->BorderDrawModes()->SetBottom(modes[3]);
  image->BorderDrawModes()->SetCenter(modes[4]);
  TlvBordersSizes* sets[3] = {image->BordersWidths(), image->ClientMargins(), image->ShadowSizes()};
  for (int i = 0; i < 3; ++i) {
    sets[i]->SetTop(sizes[i][0]);
    sets[i]->SetLeft(sizes[i][1]);
    sets[i]->SetRight(sizes[i][2]);
    sets[i]->SetBottom(sizes[i][3]);
  }
}

void WriteInt(rtl::TStream& s, std::int32_t v) { s.WriteBuffer(&v, 4); }
void WriteByte(rtl::TStream& s, std::uint8_t v) { s.WriteBuffer(&v, 1); }

void WriteImage(rtl::TStream& s, const TlvHintImage* image) {
  const TlvBorderDrawModes* m = image->BorderDrawModes();
  for (TlvBorderDrawMode mode : {m->Top(), m->Left(), m->Right(), m->Bottom(), m->Center()})
    WriteByte(s, static_cast<std::uint8_t>(mode));
  for (const TlvBordersSizes* set : {image->BordersWidths(), image->ClientMargins(), image->ShadowSizes()}) {
    WriteInt(s, set->Top());
    WriteInt(s, set->Left());
    WriteInt(s, set->Right());
    WriteInt(s, set->Bottom());
  }
  rtl::TMemoryStream* data = image->ImageData();
  if (data->Size() > 0) {
    WriteByte(s, '1');
    WriteInt(s, static_cast<std::int32_t>(data->Size()));
    data->SetPosition(0);
    s.CopyFrom(*data, data->Size());
  } else {
    WriteByte(s, '0');
    rtl::TBytesStream bs;
    if (image->HasPicture()) image->Image()->SaveToStream(bs);
    WriteInt(s, static_cast<std::int32_t>(bs.Bytes().size()));
    if (!bs.Bytes().empty()) s.WriteBuffer(bs.Bytes().data(), static_cast<rtl::Integer>(bs.Bytes().size()));
  }
}

bool gLocalUpd = false;

}  // namespace

// Sizes and modes.

void TlvBordersSizes::Changed() {
  if (gLocalUpd || !FOwner) return;
  gLocalUpd = true;
  FOwner->Changed();
  gLocalUpd = false;
}
void TlvBordersSizes::SetTop(int v) { FTop = v, Changed(); }
void TlvBordersSizes::SetLeft(int v) { FLeft = v, Changed(); }
void TlvBordersSizes::SetBottom(int v) { FBottom = v, Changed(); }
void TlvBordersSizes::SetRight(int v) { FRight = v, Changed(); }
void TlvBordersSizes::SetValues(int left, int top, int right, int bottom) {
  SetLeft(left);
  SetTop(top);
  SetRight(right);
  SetBottom(bottom);
}
void TlvBordersSizes::Assign(const rtl::TPersistent* source) {
  if (auto* s = dynamic_cast<const TlvBordersSizes*>(source)) {
    FTop = s->FTop, FLeft = s->FLeft, FRight = s->FRight, FBottom = s->FBottom;
    Changed();
    return;
  }
  rtl::TPersistent::Assign(source);
}

void TlvBorderDrawModes::Changed() {
  if (FOwner) FOwner->Changed();
}
void TlvBorderDrawModes::SetTop(TlvBorderDrawMode v) { FTop = v, Changed(); }
void TlvBorderDrawModes::SetLeft(TlvBorderDrawMode v) { FLeft = v, Changed(); }
void TlvBorderDrawModes::SetBottom(TlvBorderDrawMode v) { FBottom = v, Changed(); }
void TlvBorderDrawModes::SetRight(TlvBorderDrawMode v) { FRight = v, Changed(); }
void TlvBorderDrawModes::SetCenter(TlvBorderDrawMode v) { FCenter = v, Changed(); }
void TlvBorderDrawModes::Assign(const rtl::TPersistent* source) {
  if (auto* s = dynamic_cast<const TlvBorderDrawModes*>(source)) {
    FTop = s->FTop, FLeft = s->FLeft, FRight = s->FRight, FBottom = s->FBottom, FCenter = s->FCenter;
    Changed();
    return;
  }
  rtl::TPersistent::Assign(source);
}

// Images.

TlvHintImage::TlvHintImage(TlvHintTemplate* owner)
    : FShadowSizes(std::make_unique<TlvBordersSizes>(this)),
      FClientMargins(std::make_unique<TlvBordersSizes>(this)),
      FBordersWidths(std::make_unique<TlvBordersSizes>(this)),
      FBorderDrawModes(std::make_unique<TlvBorderDrawModes>(this)),
      FOwner(owner),
      FImageData(std::make_unique<rtl::TMemoryStream>()) {}

TlvHintImage::~TlvHintImage() = default;

void TlvHintImage::Changed() {
  if (!FOwner) return;
  if (TsAlphaHints* hints = FOwner->OwnerHints()) hints->Changed();
}

void TlvHintImage::SetOffsetHorz(int v) { FOffsetHorz = v, Changed(); }
void TlvHintImage::SetOffsetVert(int v) { FOffsetVert = v, Changed(); }
int TlvHintImage::ImageWidth() const { return HasPicture() ? FImage->Width() : 0; }
int TlvHintImage::ImageHeight() const { return HasPicture() ? FImage->Height() : 0; }

void TlvHintImage::ImageChanged() {
  const int lr = (ImageWidth() - 1) / 2, tb = (ImageHeight() - 1) / 2;
  FBordersWidths->SetValues(lr, tb, lr, tb);
  FClientMargins->SetValues(lr, tb, lr, tb);
}

void TlvHintImage::SetImage(vcl::TBitmap* value) {
  if (value && !value->Empty())
    FImage = As32(value);
  else
    FImage.reset();
  ImageChanged();
  Changed();
}

void TlvHintImage::LoadImageData(const rtl::Byte* data, size_t size) {
  FImageData->Clear();
  if (size) FImageData->WriteBuffer(data, static_cast<rtl::Integer>(size));
  StreamChanged();
}

void TlvHintImage::StreamChanged() {
  if (FImageData->Size() == 0) return;
  std::vector<rtl::Byte> bytes(static_cast<size_t>(FImageData->Size()));
  FImageData->SetPosition(0);
  FImageData->ReadBuffer(bytes.data(), static_cast<rtl::Integer>(bytes.size()));
  TPNGGraphic png;
  png.LoadFromMemory(bytes.data(), bytes.size());
  FImage = png.Empty() ? nullptr : As32(&png);
  Changed();
}

void TlvHintImage::Assign(const rtl::TPersistent* source) {
  if (auto* s = dynamic_cast<const TlvHintImage*>(source)) {
    FOffsetHorz = s->FOffsetHorz;
    FOffsetVert = s->FOffsetVert;
    FImage = s->HasPicture() ? As32(s->FImage.get()) : nullptr;
    FImageData->Clear();
    if (s->FImageData->Size()) {
      s->FImageData->SetPosition(0);
      FImageData->CopyFrom(*s->FImageData, s->FImageData->Size());
    }
    FShadowSizes->Assign(s->FShadowSizes.get());
    FClientMargins->Assign(s->FClientMargins.get());
    FBordersWidths->Assign(s->FBordersWidths.get());
    FBorderDrawModes->Assign(s->FBorderDrawModes.get());
    Changed();
    return;
  }
  rtl::TPersistent::Assign(source);
}

// Templates.

TlvHintTemplate::TlvHintTemplate(vcl::TCollection* collection)
    : vcl::TCollectionItem(collection),
      FImageDefault(std::make_unique<TlvHintImage>(this)),
      FImageRightTop(std::make_unique<TlvHintImage>(this)),
      FImageLeftBottom(std::make_unique<TlvHintImage>(this)),
      FImageRightBottom(std::make_unique<TlvHintImage>(this)),
      FFont(std::make_unique<vcl::TFont>()) {}

TlvHintTemplate::~TlvHintTemplate() = default;

TsAlphaHints* TlvHintTemplate::OwnerHints() const {
  auto* c = dynamic_cast<TlvHintTemplates*>(Collection());
  return c ? c->Hints() : nullptr;
}

void TlvHintTemplate::SetFont(vcl::TFont* v) {
  FFont->Assign(v);
  if (TsAlphaHints* h = OwnerHints()) h->Changed();
}

bool TlvHintTemplate::UsesSingleImage() const {
  return FImageLeftBottom->ImageData()->Size() == 0 && !FImageLeftBottom->HasPicture();
}

TlvHintImage* TlvHintTemplate::ImageFor(TlvMousePosition pos) const {
  if (UsesSingleImage()) return FImageDefault.get();
  switch (pos) {
    case mpLeftBottom: return FImageLeftBottom.get();
    case mpRightTop: return FImageRightTop.get();
    case mpRightBottom: return FImageRightBottom.get();
    default: return FImageDefault.get();
  }
}

void TlvHintTemplate::Assign(const rtl::TPersistent* source) {
  if (auto* s = dynamic_cast<const TlvHintTemplate*>(source)) {
    FImageDefault->Assign(s->FImageDefault.get());
    FImageRightTop->Assign(s->FImageRightTop.get());
    FImageLeftBottom->Assign(s->FImageLeftBottom.get());
    FImageRightBottom->Assign(s->FImageRightBottom.get());
    FFont->Assign(s->FFont.get());
    FName = s->FName;
    FHintAlign = s->FHintAlign;
    return;
  }
  vcl::TCollectionItem::Assign(source);
}

TlvHintTemplates::TlvHintTemplates(TsAlphaHints* owner)
    : vcl::TCollection(TlvHintTemplate::StaticClass(), owner), FHints(owner) {}

TlvHintTemplate* DefaultTemplate() {
  static std::unique_ptr<TlvHintTemplate> tmpl = [] {
    auto t = std::make_unique<TlvHintTemplate>(nullptr);
    HMODULE module = GetModuleHandleW(nullptr);
    if (HRSRC res = FindResourceW(module, L"LVHINT", reinterpret_cast<LPCWSTR>(RT_RCDATA))) {
      HGLOBAL g = LoadResource(module, res);
      const auto* bytes = static_cast<const rtl::Byte*>(LockResource(g));
      const DWORD size = SizeofResource(module, res);
      t->ImageDefault()->LoadImageData(bytes, size);
    }
    t->ImageDefault()->BordersWidths()->SetValues(11, 10, 14, 15);
    t->ImageDefault()->ShadowSizes()->SetValues(6, 5, 7, 8);
    t->ImageDefault()->ClientMargins()->SetValues(11, 8, 16, 15);
    return t;
  }();
  return tmpl.get();
}

// The file.

bool lvhint::ReadTemplate(rtl::TStream& stream, TlvHintTemplate* tmpl) {
  stream.SetPosition(0);
  char magic[4] = {};
  if (stream.Read(magic, 4) != 4 || std::memcmp(magic, "LShh", 4) != 0) return false;
  const std::uint8_t flag = ReadByte(stream);
  if (flag != '0' && flag != '1') Damaged(L"an unknown image flag");
  std::int32_t color = ReadInt(stream);
  if (color < 0) color = 0;
  const std::int32_t size = ReadInt(stream);
  if (size < -MaxFontSize || size > MaxFontSize) Damaged(L"a font size out of range");
  const std::uint8_t style = ReadByte(stream);
  const std::int32_t nameLength = ReadInt(stream);
  // The name must fit the 64-byte field with its terminating zero.
  if (nameLength < 0 || nameLength >= BufSize) Damaged(L"a font name longer than 63 bytes");
  std::string name(static_cast<size_t>(nameLength), '\0');
  if (nameLength) ReadExact(stream, name.data(), nameLength);
  vcl::TFont* font = tmpl->Font();
  font->SetColor(color & 0xFFFFFF);
  font->SetSize(size);
  vcl::TFontStyles fs;
  if (style & 1) fs += vcl::fsBold;
  if (style & 2) fs += vcl::fsItalic;
  if (style & 4) fs += vcl::fsUnderline;
  if (style & 8) fs += vcl::fsStrikeOut;
  font->SetStyle(fs);
  if (!name.empty()) font->SetName(AnsiToString(name));
  ReadImage(stream, tmpl->ImageDefault());
  if (flag == '1' && stream.Position() < stream.Size()) {
    ReadImage(stream, tmpl->Img_RightTop());
    ReadImage(stream, tmpl->Img_RightBottom());
    ReadImage(stream, tmpl->Img_LeftBottom());
  }
  return true;
}

void lvhint::WriteTemplate(rtl::TStream& stream, const TlvHintTemplate* tmpl) {
  stream.WriteBuffer("LShh", 4);
  WriteByte(stream, '1');
  const vcl::TFont* font = tmpl->Font();
  WriteInt(stream, font->Color() < 0 ? 0 : static_cast<std::int32_t>(font->Color()));
  WriteInt(stream, font->Size());
  std::uint8_t style = 0;
  if (font->Style().Contains(vcl::fsBold)) style |= 1;
  if (font->Style().Contains(vcl::fsItalic)) style |= 2;
  if (font->Style().Contains(vcl::fsUnderline)) style |= 4;
  if (font->Style().Contains(vcl::fsStrikeOut)) style |= 8;
  WriteByte(stream, style);
  std::string name = StringToAnsi(font->Name());
  if (name.size() >= static_cast<size_t>(BufSize)) name.resize(BufSize - 1);
  WriteInt(stream, static_cast<std::int32_t>(name.size()));
  if (!name.empty()) stream.WriteBuffer(name.data(), static_cast<rtl::Integer>(name.size()));
  WriteImage(stream, tmpl->ImageDefault());
  if (!tmpl->UsesSingleImage()) {
    WriteImage(stream, tmpl->Img_RightTop());
    WriteImage(stream, tmpl->Img_RightBottom());
    WriteImage(stream, tmpl->Img_LeftBottom());
  }
}

// The component.

TsAlphaHints::TsAlphaHints(vcl::TComponent* owner)
    : vcl::TComponent(owner), FCacheBmp(CreateBmp32(1, 1)), FTemplates(std::make_unique<TlvHintTemplates>(this)) {
  FSkinSection = L"HINT";
  // Made in code the component takes the hints at once; read from a form, again when it has loaded.
  FLoadedDone = true;
  UpdateHWClass();
}

TsAlphaHints::~TsAlphaHints() {
  FWatchTimer.reset();
  FHideTimer.reset();
  FHintWindow.reset();
  if (Manager == this) Manager = nullptr;
}

void TsAlphaHints::AfterConstruction() {
  vcl::TComponent::AfterConstruction();
  if (FSkinSection.empty()) FSkinSection = L"HINT";
}

void TsAlphaHints::Loaded() {
  vcl::TComponent::Loaded();
  if (FSkinSection.empty()) FSkinSection = L"HINT";
  if (!ComponentState().Contains(vcl::csDesigning) && Tag() != 256) {
    vcl::Application->SetHintHidePause(FPauseHide);
    FHintPos = vcl::TPoint(-1, -1);
  }
  FLoadedDone = true;
  UpdateHWClass();
}

void TsAlphaHints::UpdateHWClass() {
  if (ComponentState().Contains(vcl::csDesigning) || Tag() == 256) return;
  if (FActive && lvLayered() && !ComponentState().Contains(vcl::csDestroying)) {
    if (Manager && Manager != this) Manager->HideAll();
    Manager = this;
    if (!FWatchTimer) {
      FWatchTimer = std::make_unique<vcl::TTimer>(nullptr);
      FWatchTimer->SetInterval(50);
      FWatchTimer->OnTimer = [this](rtl::TObject* s) { OnWatch(s); };
    }
    FWatchTimer->SetEnabled(true);
  } else {
    if (Manager == this) Manager = nullptr;
    if (FWatchTimer) FWatchTimer->SetEnabled(false);
    HideAll();
  }
}

void TsAlphaHints::SetActive(bool v) {
  if (FActive == v) return;
  FActive = v;
  if (FLoadedDone) UpdateHWClass();
}

void TsAlphaHints::SetAutoAlignment(bool v) {
  FAutoAlignment = v;
  FHintLocation = vcl::TPoint(0, 0);
}

void TsAlphaHints::SetTemplates(TlvHintTemplates* v) { FTemplates->Assign(v); }

void TsAlphaHints::SetTemplateName(const String& v) {
  FTemplateName = v;
  FTemplateIndex = -1;
  for (int i = 0; i < FTemplates->Count(); ++i)
    if (rtl::SameText(FTemplates->Items(i)->Name(), v)) {
      FTemplateIndex = i;
      break;
    }
}

void TsAlphaHints::SetPauseHide(int v) {
  FPauseHide = v;
  if (!ComponentState().Contains(vcl::csDesigning) && Tag() != 256) vcl::Application->SetHintHidePause(v);
}

void TsAlphaHints::Changed() {
  if (!ComponentState().Contains(vcl::csLoading) && OnChange) OnChange(this);
}

bool TsAlphaHints::Skinned() const {
  return Manager && DefaultManager && DefaultManager->Active() && Manager->FUseSkinData &&
         DefaultManager->GetSkinIndex(Manager->FSkinSection) >= 0;
}

void TsAlphaHints::InitTemplate() {
  FCurTemplate = FTemplateIndex >= 0 && FTemplateIndex < FTemplates->Count() ? FTemplates->Items(FTemplateIndex)
                                                                              : DefaultTemplate();
  FCurImage = FCurTemplate->ImageFor(FDefaultMousePos);
}

void TsAlphaHints::CheckAutoHintPos() {
  vcl::TControl* c = CurrentHintInfo.HintControl;
  if (Manager != this || !FAutoAlignment || !c || !FCurTemplate || !FCurImage) return;
  RECT r{};
  if (auto* w = dynamic_cast<vcl::TWinControl*>(c); w && w->HandleAllocated()) {
    GetWindowRect(w->Handle(), &r);
  } else if (c->Parent() && c->Parent()->HandleAllocated()) {
    POINT p{c->Left(), c->Top()};
    ClientToScreen(c->Parent()->Handle(), &p);
    r = RECT{p.x, p.y, p.x + c->Width(), p.y + c->Height()};
  } else {
    return;
  }
  const bool right = FCurImage == FCurTemplate->Img_RightTop() || FCurImage == FCurTemplate->Img_RightBottom();
  const bool bottom = FCurImage == FCurTemplate->Img_RightBottom() || FCurImage == FCurTemplate->Img_LeftBottom();
  int x, y;
  if (FCurTemplate->HintAlign() == haVertCenter) {
    y = (r.top + r.bottom) / 2;
    x = right ? r.left : r.right;
  } else {
    x = (r.left + r.right) / 2;
    y = bottom ? r.top : r.bottom;
  }
  const TlvBordersSizes* sh = FCurImage->ShadowSizes();
  x += right ? -sh->Right() : sh->Left();
  y += bottom ? -sh->Bottom() : sh->Top();
  x += FCurImage->OffsetHorz();
  y += FCurImage->OffsetVert();
  FHintPos = FHintLocation = vcl::TPoint(x, y);
}

void TsAlphaHints::EnsureWindow() {
  if (!FHintWindow) FHintWindow = std::make_unique<TlvPngHintWindow>(this);
}

bool TsAlphaHints::HintVisible() const { return FHintWindow && FHintWindow->Visible(); }

bool TsAlphaHints::CallOnShowHint(String& text, TlvHintInfo& info) {
  if (!OnShowHint) return true;
  bool canShow = true;
  FHintFrame = nullptr;
  OnShowHint(text, canShow, info, FHintFrame);
  return canShow;
}

void TsAlphaHints::Activate(const vcl::TRect& r, const String& text) {
  EnsureWindow();
  const vcl::TPoint anchor = FHintLocation.X != 0 && FHintLocation.Y != 0 ? FHintLocation : r.TopLeft();
  FHintWindow->ActivateHint(r, text, anchor);
  HintShowing = true;
  FHintPos.X = -1;
}

void TsAlphaHints::StartHideTimer(int hideTime) {
  if (!FHideTimer) {
    FHideTimer = std::make_unique<vcl::TTimer>(nullptr);
    FHideTimer->OnTimer = [this](rtl::TObject* s) { OnHideTimer(s); };
  }
  FHideTimer->SetEnabled(false);
  if (hideTime <= 0) return;  // hidden when the mouse leaves the control (the watch)
  FHideTimer->SetInterval(static_cast<unsigned>(hideTime));
  FHideTimer->SetEnabled(true);
}

void TsAlphaHints::OnHideTimer(rtl::TObject*) {
  FHideTimer->SetEnabled(false);
  HideHint();
}

void TsAlphaHints::ShowHint(vcl::TPoint position, const String& hintText, int hideTime) {
  vcl::TControl* under = vcl::MouseControl();
  if (under != HintTimeCtrl) HideAll();
  HintTimeCtrl = under;
  EnsureWindow();
  FHintLocation = position;
  String text = hintText;
  vcl::TRect r = FHintWindow->CalcHintRect(FMaxWidth, text);
  TlvHintInfo info;
  info.HintPos = position;
  info.HintStr = text;
  if (OnShowHint) {
    const String before = text;
    if (!CallOnShowHint(text, info)) return;
    if (text != before || FHintFrame) r = FHintWindow->CalcHintRect(FMaxWidth, text);
    position = info.HintPos;
    FHintLocation = position;
  }
  r = Moved(r, position.X, position.Y);
  Activate(r, text);
  FHintLocation = vcl::TPoint(0, 0);
  StartHideTimer(hideTime);
}

void TsAlphaHints::ShowHint(vcl::TControl* control, const String& hintText, int hideTime) {
  if (!control) return;
  HintTimeCtrl = control;
  EnsureWindow();
  String text = hintText;
  vcl::TRect r = FHintWindow->CalcHintRect(FMaxWidth, text);
  vcl::TPoint anchor = control->ClientToScreen(vcl::TPoint(control->Width() / 2, control->Height() / 3));
  TlvHintInfo info;
  info.HintControl = control;
  info.HintPos = anchor;
  info.HintStr = text;
  if (OnShowHint) {
    const String before = text;
    if (!CallOnShowHint(text, info)) return;
    if (text != before || FHintFrame) r = FHintWindow->CalcHintRect(FMaxWidth, text);
    anchor = info.HintPos;
  }
  FHintLocation = anchor;
  r = Moved(r, anchor.X, anchor.Y);
  Activate(r, text);
  FHintLocation = vcl::TPoint(0, 0);
  StartHideTimer(hideTime);
}

void TsAlphaHints::ShowHint(const TlvShowHintData& data, int hideTime) {
  if (!Manager) return;
  HintTimeCtrl = data.Control ? data.Control : vcl::MouseControl();
  TmpShowData = data;
  EnsureWindow();
  const vcl::TPoint origin = data.Control ? vcl::TPoint(0, 0) : data.Position;
  vcl::TRect r(origin.X, origin.Y, origin.X + data.Width, origin.Y + data.Height);
  FHintLocation = data.Control ? data.Control->ClientToScreen(data.Position) : data.Position;
  Activate(r, data.Caption);
  FHintLocation = vcl::TPoint(0, 0);
  StartHideTimer(hideTime);
  TmpShowData = TlvShowHintData();
}

void TsAlphaHints::HideHint() {
  FHintFrame = nullptr;
  const bool was = HintVisible();
  if (FHintWindow) FHintWindow->Hide();
  HintTimeCtrl = nullptr;
  HintShowing = false;
  if (was && OnHideHint) OnHideHint(this);
}

void TsAlphaHints::HideAll() {
  if (FHideTimer) FHideTimer->SetEnabled(false);
  HideHint();
}

void TsAlphaHints::RepaintHint() {
  if (!HintVisible()) return;
  String text = FHintWindow->Text();
  TlvHintInfo info = CurrentHintInfo;
  if (OnShowHint && !CallOnShowHint(text, info)) return;
  CurrentHintInfo = info;
  const vcl::TRect b = FHintWindow->Bounds();
  FHintWindow->CreateAlphaBmp(b.Width(), b.Height());
  FHintWindow->ActivateHint(b, text, b.TopLeft());
}

// The mouse watch: the platform leaves hints to us.
void TsAlphaHints::OnWatch(rtl::TObject*) {
  if (Manager != this) return;
  POINT p;
  if (!GetCursorPos(&p)) return;
  vcl::TControl* c = nullptr;
  HWND w = WindowFromPoint(p);
  vcl::TWinControl* wc = nullptr;
  for (HWND h = w; h && !wc; h = GetParent(h)) wc = vcl::FindControl(h);
  if (wc) {
    POINT cp = p;
    ScreenToClient(wc->Handle(), &cp);
    c = wc->ControlAtPos(vcl::TPoint(cp.x, cp.y), false);
    if (!c) c = wc;
  }
  // A hint shown on request for the control under the mouse ends when the mouse leaves it.
  if (HintShowing && !FWatchShown && HintTimeCtrl && c != HintTimeCtrl && !(FHideTimer && FHideTimer->Enabled())) {
    HideAll();
  }
  vcl::TControl* owner = c;
  while (owner && owner->Hint().empty()) owner = owner->Parent();
  if (owner != FWatchCtrl) {
    if (FWatchShown) HideAll();
    FWatchCtrl = owner;
    FWatchSince = GetTickCount();
    FWatchShown = false;
    return;
  }
  if (!owner || FWatchShown || !owner->ShowHint() || !vcl::Application->ShowHint()) return;
  if (GetTickCount() - FWatchSince < static_cast<unsigned>(std::max(0, vcl::Application->HintPause()))) return;
  FWatchShown = true;
  TlvHintInfo info;
  info.HintControl = owner;
  info.CursorPos = owner->ScreenToClient(vcl::TPoint(p.x, p.y));
  info.HintStr = owner->Hint();
  info.HintPos = vcl::TPoint(p.x, p.y + GetSystemMetrics(SM_CYCURSOR) / 2 + 4);
  if (owner->Perform(vcl::CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(static_cast<vcl::THintInfo*>(&info))) != 0) return;
  if (!info.ShowHint || info.HintStr.empty()) return;
  FHintPos = info.HintPos;
  CurrentHintInfo = info;
  if (FAutoAlignment) {
    InitTemplate();
    CheckAutoHintPos();
    info.HintPos = FHintPos;
  }
  String text = info.HintStr;
  if (!CallOnShowHint(text, info)) return;
  CurrentHintInfo = info;
  HintTimeCtrl = owner;
  EnsureWindow();
  vcl::TRect r = FHintWindow->CalcHintRect(FMaxWidth, text);
  FHintLocation = info.HintPos;
  r = Moved(r, info.HintPos.X, info.HintPos.Y);
  Activate(r, text);
  FHintLocation = vcl::TPoint(0, 0);
  StartHideTimer(vcl::Application->HintHidePause());
}

TlvHintTemplate* TsAlphaHints::LoadFromStream(rtl::TStream& stream) {
  auto tmpl = std::make_unique<TlvHintTemplate>(nullptr);
  if (!lvhint::ReadTemplate(stream, tmpl.get())) {
    ShowError(L"Unknown file format");
    return nullptr;
  }
  // Only a template read whole joins the collection.
  auto* added = FTemplates->Add<TlvHintTemplate>();
  added->Assign(tmpl.get());
  return added;
}

void TsAlphaHints::SaveToStream(rtl::TStream& stream) {
  stream.SetSize(0);
  stream.SetPosition(0);
  const TlvHintTemplate* t =
      FTemplateIndex >= 0 && FTemplateIndex < FTemplates->Count() ? FTemplates->Items(FTemplateIndex) : DefaultTemplate();
  lvhint::WriteTemplate(stream, t);
}

TlvHintTemplate* TsAlphaHints::LoadFromFile(const String& fileName) {
  rtl::TMemoryStream ms;
  ms.LoadFromFile(fileName);
  TlvHintTemplate* t = LoadFromStream(ms);
  if (t) {
    String name = rtl::ExtractFileName(fileName);
    const size_t dot = name.find(L'.');
    if (dot != String::npos) name.erase(dot);
    t->SetName(name);
  }
  return t;
}

void TsAlphaHints::SaveToFile(const String& fileName) {
  DeleteFileW(fileName.c_str());
  rtl::TMemoryStream ms;
  SaveToStream(ms);
  rtl::TFileStream file(fileName, rtl::fmCreate);
  ms.SetPosition(0);
  file.CopyFrom(ms, ms.Size());
}

// The balloon.

namespace {
const wchar_t kBalloonClass[] = L"TlvHintBalloon";
const wchar_t kShadowedBalloonClass[] = L"TlvHintBalloonShadowed";
void RegisterBalloonClasses() {
  static bool done = false;
  if (done) return;
  for (bool shadow : {false, true}) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = shadow ? CS_DROPSHADOW : 0;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = shadow ? kShadowedBalloonClass : kBalloonClass;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassExW(&wc);
  }
  done = true;
}
HWND MakeBalloon(bool shadow) {
  RegisterBalloonClasses();
  return CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                         shadow ? kShadowedBalloonClass : kBalloonClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}
}  // namespace

TlvPngHintWindow::TlvPngHintWindow(TsAlphaHints* hints) : FHints(hints) {
  FWnd = MakeBalloon(!FullLayer());
  FTimer = std::make_unique<vcl::TTimer>(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(10);
  FTimer->OnTimer = [this](rtl::TObject* s) { Step(s); };
}

TlvPngHintWindow::~TlvPngHintWindow() {
  FTimer.reset();
  if (FWnd) DestroyWindow(FWnd);
}

bool TlvPngHintWindow::Visible() const { return FWnd && IsWindowVisible(FWnd); }

vcl::TRect TlvPngHintWindow::ShadowSizes() const {
  if (FHints->Skinned()) {
    if (!FullLayer()) return vcl::TRect();
    auto band = [&](int side) { return std::max(0, SkinMargin(side) - 1); };
    return vcl::TRect(band(0), band(1), band(2), band(3));
  }
  TlvHintTemplate* t = FHints->CurrentTemplate() ? FHints->CurrentTemplate() : DefaultTemplate();
  return t->ImageFor(FMousePos)->ShadowSizes()->AsRect();
}

int TlvPngHintWindow::SkinMargin(int side) const {
  TsSkinManager* m = DefaultManager;
  if (!FHints->Skinned() || !m) return 0;
  const int idx = m->GetSkinIndex(FHints->SkinSection());
  if (!m->IsValidSkinIndex(idx)) return 0;
  const int border = m->gd[static_cast<size_t>(idx)].BorderIndex;
  if (!m->IsValidImgIndex(border)) return 0;
  const TsMaskData& md = m->ma[static_cast<size_t>(border)];
  const int own[4] = {md.WL, md.WT, md.WR, md.WB};
  if (own[side] > 0) return own[side];
  return side % 2 == 0 ? md.R.Width() / (std::max<int>(md.ImageCount, 1) * 3)
                       : md.R.Height() / ((md.MaskType + 1) * 3);
}

bool TlvPngHintWindow::FullLayer() const {
  if (!FHints->Skinned()) return true;
  TsSkinManager* m = DefaultManager;
  const int idx = m->GetSkinIndex(FHints->SkinSection());
  if (!m->IsValidSkinIndex(idx)) return false;
  const TsGeneralData& gd = m->gd[static_cast<size_t>(idx)];
  return gd.Props[0].Transparency == 100 && m->IsValidImgIndex(gd.BorderIndex);
}

bool TlvPngHintWindow::DropShadow() const {
  return FWnd && (GetClassLongPtrW(FWnd, GCL_STYLE) & CS_DROPSHADOW) != 0;
}

void TlvPngHintWindow::CheckShadowClass() {
  const bool shadow = !FullLayer();
  if (FWnd && DropShadow() == shadow) return;
  if (FWnd) DestroyWindow(FWnd);
  FWnd = MakeBalloon(shadow);
}

vcl::TRect TlvPngHintWindow::CalcHintRect(int, const String& text) {
  FHints->InitTemplate();
  const bool skinned = FHints->Skinned();
  vcl::TBitmap* cache = FHints->FCacheBmp.get();
  cache->Canvas()->Font()->Assign(FHints->CurrentTemplate()->Font());
  int width = 0, height = 0;
  const int maxWidth = FHints->MaxWidth() < 1 ? GetSystemMetrics(SM_CXSCREEN) : FHints->MaxWidth();
  if (FHints->TmpShowData.Width != 0) {
    width = FHints->TmpShowData.Width;
    height = FHints->TmpShowData.Height;
  } else if (vcl::TWinControl* frame = FHints->HintFrame()) {
    width = frame->Width();
    height = frame->Height();
  } else if (FHints->HTMLMode()) {
    TsHtml html;
    html.Init(cache, text, -1, -1, vcl::Rect(0, 0, maxWidth, 0));
    TlvLinks links;
    const vcl::TRect r = html.HTMLText(links, true);
    width = r.Width();
    height = r.Height();
  } else {
    RECT r{0, 0, maxWidth, 0};
    UINT flags = DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_VCENTER;
    flags |= FHints->TextAlignment() == vcl::taRightJustify ? DT_RIGHT
             : FHints->TextAlignment() == vcl::taCenter     ? DT_CENTER
                                                             : DT_LEFT;
    HDC dc = cache->Canvas()->Handle();
    SelectObject(dc, cache->Canvas()->Font()->Handle());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    width = r.right;
    height = r.bottom;
  }
  if (FHints->OnMeasure) FHints->OnMeasure(FHints, text, FHints->CurrentHintInfo, width, height);
  if (skinned)
    return vcl::TRect(0, 0, width + SkinMargin(0) + SkinMargin(2) + 8, height + SkinMargin(1) + SkinMargin(3) + 8);
  const TlvBordersSizes* m = FHints->CurrentImage()->ClientMargins();
  return vcl::TRect(0, 0, width + m->Left() + m->Right(), height + m->Top() + m->Bottom());
}

TlvMousePosition TlvPngHintWindow::GetArrowPos(vcl::TRect& r, vcl::TPoint anchor) {
  FMousePos = FHints->DefaultMousePos();
  TlvMousePosition answer = FMousePos;
  const vcl::TRect sh = ShadowSizes();
  r = vcl::TRect(r.Left + sh.Left, r.Top + sh.Top, r.Right - sh.Right, r.Bottom - sh.Bottom);
  const int W = r.Width(), H = r.Height();
  bool bottom = FMousePos == mpLeftBottom || FMousePos == mpRightBottom;
  bool right = FMousePos == mpRightTop || FMousePos == mpRightBottom;
  r = vcl::TRect(anchor.X, anchor.Y, anchor.X + W, anchor.Y + H);
  if (bottom) r = Moved(r, 0, -H);
  if (right) r = Moved(r, -W, 0);
  const POINT tl{r.Left, r.Top};
  HMONITOR mon = MonitorFromPoint(tl, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (mon && GetMonitorInfoW(mon, &mi)) {
    const RECT& m = mi.rcMonitor;
    const bool single = FHints->CurrentTemplate() && FHints->CurrentTemplate()->UsesSingleImage();
    const bool skinned = FHints->Skinned();
    bool changed = false;
    if (r.Bottom > m.bottom) {
      const int top = skinned ? m.bottom - H : single ? anchor.Y - (r.Bottom - m.bottom) - (bottom ? H : 0) : anchor.Y - H;
      r = vcl::TRect(r.Left, top, r.Right, top + H);
      bottom = true;
      changed = true;
    } else if (r.Top < m.top) {
      r = vcl::TRect(r.Left, m.top, r.Right, m.top + H);
      bottom = false;
      changed = true;
    }
    if (r.Right > m.right) {
      const int left = skinned ? m.right - W : single ? anchor.X - (r.Right - m.right) - (right ? W : 0) : anchor.X - W;
      r = vcl::TRect(left, r.Top, left + W, r.Bottom);
      right = true;
      changed = true;
    } else if (r.Left < m.left) {
      r = vcl::TRect(m.left, r.Top, m.left + W, r.Bottom);
      right = false;
      changed = true;
    }
    if (changed) {
      static const TlvMousePosition pArray[4] = {mpRightBottom, mpLeftBottom, mpRightTop, mpLeftTop};
      answer = pArray[(right ? 0 : 1) + 2 * (bottom ? 0 : 1)];
    }
  }
  FMousePos = answer;
  const vcl::TRect sh2 = ShadowSizes();
  r = vcl::TRect(r.Left - sh2.Left, r.Top - sh2.Top, r.Right + sh2.Right, r.Bottom + sh2.Bottom);
  return answer;
}

void TlvPngHintWindow::TextOut(vcl::TBitmap* bmp) {
  vcl::TRect area(0, 0, bmp->Width(), bmp->Height());
  const bool skinned = FHints->Skinned();
  vcl::TColor color = FHints->CurrentTemplate()->Font()->Color();
  if (skinned) {
    area = vcl::TRect(SkinMargin(0) + 4, SkinMargin(1) + 4, area.Right - SkinMargin(2) - 4,
                      area.Bottom - SkinMargin(3) - 4);
    const int idx = DefaultManager->GetSkinIndex(FHints->SkinSection());
    color = DefaultManager->gd[static_cast<size_t>(idx)].Props[0].FontColor.Color;
  } else {
    const TlvBordersSizes* m = FHints->CurrentImage()->ClientMargins();
    area = vcl::TRect(m->Left(), m->Top(), area.Right - m->Right(), area.Bottom - m->Bottom());
  }
  if (color < 0) color = vcl::clBlack;
  bool defaultPainting = true;
  if (FHints->OnPaint) FHints->OnPaint(FHints, FText, FHints->CurrentHintInfo, area, bmp, defaultPainting);
  if (!defaultPainting) return;
  if (vcl::TWinControl* frame = FHints->HintFrame()) {
    PaintFrame(frame, bmp, area);
    return;
  }
  area = Moved(area, -1, 0);
  bmp->Canvas()->Font()->SetColor(color);
  bmp->Canvas()->Brush()->SetStyle(vcl::bsClear);
  if (FHints->HTMLMode()) {
    TsHtml html;
    html.AlphaChannel = true;
    html.SkinManager = DefaultManager;
    html.Init(bmp, FText, -1, -1, area);
    TlvLinks links;
    html.HTMLText(links, false);
    return;
  }
  UINT flags = DT_WORDBREAK | DT_NOPREFIX | DT_VCENTER;
  flags |= FHints->TextAlignment() == vcl::taRightJustify ? DT_RIGHT
           : FHints->TextAlignment() == vcl::taCenter     ? DT_CENTER
                                                           : DT_LEFT;
  HDC dc = bmp->Canvas()->Handle();
  SelectObject(dc, bmp->Canvas()->Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(color));
  RECT rr = area;
  DrawTextW(dc, FText.c_str(), static_cast<int>(FText.size()), &rr, flags);
  GdiFlush();
}

namespace {

// While the frame is painted into the balloon, the frame answers its controls' background question with the
// balloon's body: the frame itself is never drawn there (only its controls are), so what lies behind them is
// the body. Put in front of the frame's WindowProc for the painting and taken off again after.
class TFrameBodyAnswer : public rtl::TObject {
 public:
  TFrameBodyAnswer(vcl::TWinControl* frame, vcl::TBitmap* body, vcl::TPoint origin)
      : FFrame(frame), FBody(body), FOrigin(origin), FOld(frame->WindowProc) {
    FOwn = vcl::MakeWndMethod(this, &TFrameBodyAnswer::Proc);
    frame->WindowProc = FOwn;
  }
  ~TFrameBodyAnswer() override {
    if (FFrame->WindowProc == FOwn) FFrame->WindowProc = FOld;
  }
  TFrameBodyAnswer(const TFrameBodyAnswer&) = delete;
  TFrameBodyAnswer& operator=(const TFrameBodyAnswer&) = delete;

 private:
  void Proc(vcl::TMessage& m) {
    if (m.Msg == SM_LUMICMD && m.WParamHi() == LVC_GETBG && m.LParam) {
      auto* bg = reinterpret_cast<TlvBGInfo*>(m.LParam);
      bg->FillRect = vcl::TRect();
      if (FBody) {
        bg->BgType = btCache;
        bg->Bmp = FBody;
        bg->Offset = FOrigin;
      } else {
        bg->BgType = btFill;
        bg->Bmp = nullptr;
        bg->Color = vcl::ColorToRGB(vcl::clInfoBk);
      }
      return;
    }
    FOld(m);
  }

  vcl::TWinControl* FFrame;
  vcl::TBitmap* FBody;
  vcl::TPoint FOrigin;
  vcl::TWndMethod FOld, FOwn;
};

// Every skinned control under c paints its cache again: the body under it may differ from the last balloon's.
void SetBGChanged(vcl::TWinControl* c) {
  for (int i = 0; i < c->ControlCount(); ++i) {
    vcl::TControl* child = c->Controls(i);
    child->Perform(SM_LUMICMD, MakeLumiWParam(LVC_SETBGCHANGED), 0);
    if (auto* w = dynamic_cast<vcl::TWinControl*>(child)) SetBGChanged(w);
  }
}

}  // namespace

void TlvPngHintWindow::PaintFrame(vcl::TWinControl* frame, vcl::TBitmap* bmp, const vcl::TRect& area) {
  // The frame lives on the balloon's window (never shown there: the balloon is its picture) so that its windowed
  // controls have windows to paint from.
  const bool attach = !frame->Parent() && !frame->ParentWindow();
  if (attach) frame->SetParentWindow(FWnd);
  frame->SetBounds(area.Left, area.Top, area.Width(), area.Height());
  TFrameBodyAnswer answer(frame, FBodyBmp.get(), area.TopLeft());
  SetBGChanged(frame);
  HDC dc = bmp->Canvas()->Handle();
  auto opaque = [&] {
    GdiFlush();
    for (int y = std::max(0, area.Top); y < std::min(bmp->Height(), area.Bottom); ++y) {
      auto* row = static_cast<std::uint32_t*>(bmp->ScanLine(y));
      for (int x = std::max(0, area.Left); x < std::min(bmp->Width(), area.Right); ++x) row[x] |= 0xFF000000u;
    }
  };
  for (int i = 0; i < frame->ControlCount(); ++i) {
    vcl::TControl* c = frame->Controls(i);
    if (!c->Visible()) continue;
    const int x = area.Left + c->Left(), y = area.Top + c->Top();
    if (auto* w = dynamic_cast<vcl::TWinControl*>(c)) {
      w->PaintTo(dc, x, y);
    } else {
      // As the platform paints graphic children: the origin moved to the control, clipped to it.
      const int saved = SaveDC(dc);
      SetViewportOrgEx(dc, x, y, nullptr);
      IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
      RestoreDC(dc, saved);
    }
    opaque();
  }
  // Taken off again: the balloon's window may be made anew, and the frame stays the handler's.
  if (attach) frame->SetParentWindow(nullptr);
}

bool TlvPngHintWindow::PaintBorderedBody(int width, int height) {
  TsSkinManager* m = DefaultManager;
  const int idx = m ? m->GetSkinIndex(FHints->SkinSection()) : -1;
  if (!m || !m->IsValidSkinIndex(idx)) return false;
  const TsGeneralData& gd = m->gd[static_cast<size_t>(idx)];
  // Only a wholly transparent section with a border mask: its body is nothing but the mask's picture.
  if (gd.Props[0].Transparency != 100 || !m->IsValidImgIndex(gd.BorderIndex)) return false;
  const TsMaskData& md = m->ma[static_cast<size_t>(gd.BorderIndex)];
  // A mask of the skin's master picture keeps no bitmap of its own.
  vcl::TBitmap* picture = md.Bmp ? md.Bmp : m->MasterBitmap.get();
  if (!picture || picture->Width() <= 0) return false;
  const int fw = md.R.Width() / std::max<int>(md.ImageCount, 1);
  const int fh = md.R.Height() / (md.MaskType + 1);
  if (fw <= 0 || fh <= 0) return false;
  // Normal state: the first frame.
  const vcl::TRect src(md.R.Left, md.R.Top, md.R.Left + fw, md.R.Top + fh);
  const vcl::TRect margins(md.WL > 0 ? md.WL : fw / 3, md.WT > 0 ? md.WT : fh / 3, md.WR > 0 ? md.WR : fw / 3,
                           md.WB > 0 ? md.WB : fh / 3);
  const int mode = (md.DrawMode & BDM_STRETCH) ? 1 : 0;
  std::unique_ptr<vcl::TBitmap> own;
  if (picture->PixelFormat() != vcl::pf32bit) {
    own = CreateBmp32(picture->Width(), picture->Height());
    BitBlt(own->Canvas()->Handle(), 0, 0, picture->Width(), picture->Height(), picture->Canvas()->Handle(), 0, 0,
           SRCCOPY);
    picture = own.get();
  }
  GdiFlush();
  // Pictures with their own alpha keep it; others are clear where they hold the key colour.
  bool hasAlpha = false;
  for (int y = src.Top; y < std::min(src.Bottom, picture->Height()) && !hasAlpha; ++y) {
    const auto* row = static_cast<const std::uint32_t*>(picture->ScanLine(y));
    for (int x = src.Left; x < std::min(src.Right, picture->Width()); ++x)
      if ((row[x] >> 24) != 0 && !own) {
        hasAlpha = true;
        break;
      }
  }
  PaintControlByTemplate(FAlphaBmp.get(), picture, vcl::Rect(0, 0, width, height), src, margins, margins,
                         vcl::TRect(mode, mode, mode, mode), mode != 0, true);
  GdiFlush();
  if (md.MaskType >= 1 && md.R.Top + 2 * fh <= picture->Height()) {
    // A two-part mask: the half under the picture says how much of each pixel shows (white nothing, black all).
    // Laid out in the same nine parts, so each mask pixel stays on its picture pixel.
    auto mask = CreateBmp32(width, height);
    PaintControlByTemplate(mask.get(), picture, vcl::Rect(0, 0, width, height), Moved(src, 0, fh), margins, margins,
                           vcl::TRect(mode, mode, mode, mode), mode != 0, true);
    GdiFlush();
    for (int y = 0; y < height; ++y) {
      auto* row = static_cast<std::uint32_t*>(FAlphaBmp->ScanLine(y));
      const auto* mrow = static_cast<const std::uint32_t*>(mask->ScanLine(y));
      for (int x = 0; x < width; ++x) {
        const std::uint32_t opacity = 255u - ((mrow[x] >> 16) & 0xFFu);
        row[x] = (row[x] & 0xFFFFFF) == 0xFF00FF || opacity == 0 ? 0 : (row[x] & 0xFFFFFFu) | (opacity << 24);
      }
    }
    return true;
  }
  for (int y = 0; y < height; ++y) {
    auto* row = static_cast<std::uint32_t*>(FAlphaBmp->ScanLine(y));
    for (int x = 0; x < width; ++x) {
      if (hasAlpha) continue;
      row[x] = (row[x] & 0xFFFFFF) == 0xFF00FF ? 0 : (row[x] | 0xFF000000u);
    }
  }
  if (hasAlpha) {
    // Key-coloured pixels stay outside even in a picture with alpha.
    for (int y = 0; y < height; ++y) {
      auto* row = static_cast<std::uint32_t*>(FAlphaBmp->ScanLine(y));
      for (int x = 0; x < width; ++x)
        if ((row[x] & 0xFFFFFF) == 0xFF00FF) row[x] = 0;
    }
  }
  return true;
}

void TlvPngHintWindow::CreateAlphaBmp(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  FAlphaBmp = CreateBmp32(width, height);
  FillRect32(FAlphaBmp.get(), vcl::Rect(0, 0, width, height), 0, 0);
  if (FHints->Skinned() && PaintBorderedBody(width, height)) {
    // The border mask's own picture is the balloon, its clear and keyed pixels outside it.
  } else if (FHints->Skinned()) {
    const int idx = DefaultManager->GetSkinIndex(FHints->SkinSection());
    // The section over the key colour: what its border mask leaves of the key is outside the balloon (clear),
    // the rest is the balloon at full opacity.
    TCacheInfo ci = EmptyCI;
    ci.FillColor = 0xFF00FF;
    PaintItem(idx, ci, true, 0, vcl::Rect(0, 0, width, height), vcl::TPoint(0, 0), FAlphaBmp.get(), DefaultManager);
    GdiFlush();
    for (int y = 0; y < height; ++y) {
      auto* row = static_cast<std::uint32_t*>(FAlphaBmp->ScanLine(y));
      for (int x = 0; x < width; ++x)
        row[x] = (row[x] & 0xFFFFFF) == 0xFF00FF ? 0 : (row[x] | 0xFF000000u);
    }
  } else {
    TlvHintImage* image = FHints->CurrentTemplate()->ImageFor(FMousePos);
    if (!image->HasPicture() && image->ImageData()->Size() > 0) image->StreamChanged();
    if (!image->HasPicture()) image = FHints->CurrentTemplate()->ImageDefault();
    PaintNineSlice(FAlphaBmp.get(), image);
  }
  auto copy = CreateBmp32(width, height);
  CopyBmp(copy.get(), FAlphaBmp.get());
  FBodyBmp.reset();
  if (FHints->HintFrame()) {
    FBodyBmp = CreateBmp32(width, height);
    CopyBmp(FBodyBmp.get(), FAlphaBmp.get());
  }
  TextOut(FAlphaBmp.get());
  CopyChannel32(FAlphaBmp.get(), copy.get(), 3);
  UpdateAlpha(FAlphaBmp.get());
}

void TlvPngHintWindow::Show(int opacity, vcl::TPoint at) {
  FBlend = opacity;
  POINT p{at.X, at.Y};
  SetFormBlendValue(FWnd, FAlphaBmp.get(), opacity, &p);
  if (!IsWindowVisible(FWnd))
    SetWindowPos(FWnd, HWND_TOPMOST, at.X, at.Y, FAlphaBmp->Width(), FAlphaBmp->Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TlvPngHintWindow::ActivateHint(vcl::TRect r, const String& text, vcl::TPoint anchor) {
  FHints->State = hsInit;
  FTimer->SetEnabled(false);
  // A balloon whose shadow changes kind starts afresh in place.
  CheckShadowClass();
  const bool wasVisible = Visible();
  const vcl::TRect from = FBounds;
  FText = text;
  const int w = r.Width(), h = r.Height();
  // The balloon's top-left sits at the anchor less the shadow.
  vcl::TRect placed(anchor.X, anchor.Y, anchor.X + w, anchor.Y + h);
  FMousePos = GetArrowPos(placed, anchor);
  if (!FHints->Skinned() && (FMousePos == mpLeftBottom || FMousePos == mpRightBottom) && !FHints->AutoAlignment())
    placed = Moved(placed, 0, -16);
  FBounds = vcl::TRect(placed.Left, placed.Top, placed.Left + w, placed.Top + h);
  CreateAlphaBmp(w, h);
  FStep = 0;
  if (FHints->Animated()) {
    FBlendF = 0;
    if (wasVisible) {
      FX = from.Left;
      FY = from.Top;
    } else {
      FX = FBounds.Left;
      FY = FBounds.Top;
    }
    Show(0, vcl::TPoint(static_cast<int>(FX), static_cast<int>(FY)));
    FTimer->SetEnabled(true);
  } else {
    Show(255, FBounds.TopLeft());
  }
  FHints->State = hsNormal;
}

void TlvPngHintWindow::Step(rtl::TObject*) {
  if (!FAlphaBmp) {
    FTimer->SetEnabled(false);
    return;
  }
  ++FStep;
  FBlendF = std::min(255.0, FBlendF + 255.0 / kStepCount);
  FX += (FBounds.Left - FX) / kSpeed;
  FY += (FBounds.Top - FY) / kSpeed;
  if (FStep >= kStepCount) {
    FTimer->SetEnabled(false);
    Show(255, FBounds.TopLeft());
    return;
  }
  Show(static_cast<int>(std::lround(FBlendF)), vcl::TPoint(static_cast<int>(std::lround(FX)),
                                                          static_cast<int>(std::lround(FY))));
}

void TlvPngHintWindow::Hide() {
  FTimer->SetEnabled(false);
  if (FWnd) ShowWindow(FWnd, SW_HIDE);
}

VCL_REGISTER(TlvBordersSizes) {
  cls.Prop(L"Top", &TlvBordersSizes::Top, &TlvBordersSizes::SetTop).Default(0);
  cls.Prop(L"Left", &TlvBordersSizes::Left, &TlvBordersSizes::SetLeft).Default(0);
  cls.Prop(L"Bottom", &TlvBordersSizes::Bottom, &TlvBordersSizes::SetBottom).Default(0);
  cls.Prop(L"Right", &TlvBordersSizes::Right, &TlvBordersSizes::SetRight).Default(0);
}
VCL_REGISTER(TlvBorderDrawModes) {}
VCL_REGISTER(TlvHintImage) {
  cls.Prop(L"OffsetHorz", &TlvHintImage::OffsetHorz, &TlvHintImage::SetOffsetHorz).Default(0);
  cls.Prop(L"OffsetVert", &TlvHintImage::OffsetVert, &TlvHintImage::SetOffsetVert).Default(0);
}
VCL_REGISTER(TlvHintTemplate) { cls.Prop(L"Name", &TlvHintTemplate::Name, &TlvHintTemplate::SetName); }
VCL_REGISTER(TlvHintTemplates) {}
VCL_REGISTER(TsAlphaHints) {
  cls.Prop(L"Active", &TsAlphaHints::Active, &TsAlphaHints::SetActive).Default(true);
  cls.Prop(L"AutoAlignment", &TsAlphaHints::AutoAlignment, &TsAlphaHints::SetAutoAlignment).Default(false);
  cls.Prop(L"Animated", &TsAlphaHints::Animated, &TsAlphaHints::SetAnimated).Default(true);
  cls.Prop(L"MaxWidth", &TsAlphaHints::MaxWidth, &TsAlphaHints::SetMaxWidth).Default(120);
  cls.Prop(L"TemplateName", &TsAlphaHints::TemplateName, &TsAlphaHints::SetTemplateName);
  cls.Prop(L"HTMLMode", &TsAlphaHints::HTMLMode, &TsAlphaHints::SetHTMLMode).Default(false);
  cls.Prop(L"PauseHide", &TsAlphaHints::PauseHide, &TsAlphaHints::SetPauseHide).Default(5000);
  cls.Prop(L"SkinSection", &TsAlphaHints::SkinSection, &TsAlphaHints::SetSkinSection);
  cls.Prop(L"UseSkinData", &TsAlphaHints::UseSkinData, &TsAlphaHints::SetUseSkinData).Default(false);
}
