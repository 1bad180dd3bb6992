// ImageList_Read and ImageList_Write are only declared when IStream is known before commctrl.h.
#include "platform/rtl/win.h"
#include <objidl.h>
#include <commctrl.h>

#include "platform/vcl/imagelist.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/icon.h"

namespace vcl {

namespace {

COLORREF ListColor(TColor color) {
  if (color == clNone) return CLR_NONE;
  if (color == clDefault) return CLR_DEFAULT;
  return ColorToGdi(color);
}

[[noreturn]] void InvalidOperation(const wchar_t* what) { throw rtl::EInvalidOperation(what); }

}  // namespace

// ---- TChangeLink ----

TChangeLink::~TChangeLink() {
  if (sender_) sender_->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(sender_);
}

// ---- TCustomImageList ----

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::TCustomImageList(TComponent* owner, int width, int height) : TComponent(owner) {
  width_ = width > 0 ? width : 16;
  height_ = height > 0 ? height : 16;
}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : links_) link->SetSender(nullptr);
  links_.clear();
  FreeHandle();
}

unsigned TCustomImageList::DrawingFlags(TDrawingStyle style, TImageType type) const {
  static const unsigned kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  return kStyles[style] | (type == itMask ? ILD_MASK : 0u);
}

void TCustomImageList::CreateImageList() {
  static const unsigned kDepth[] = {ILC_COLORDDB, ILC_COLOR4, ILC_COLOR8, ILC_COLOR16, ILC_COLOR24, ILC_COLOR32};
  unsigned flags = kDepth[color_depth_] | (masked_ ? ILC_MASK : 0u);
  handle_ = ImageList_Create(width_, height_, flags, alloc_by_, alloc_by_);
  if (!handle_) throw rtl::EInvalidOperation(L"Invalid image list");
  ImageList_SetBkColor(handle_, ListColor(bk_color_));
}

void TCustomImageList::FreeHandle() {
  if (handle_ && !share_images_) ImageList_Destroy(handle_);
  handle_ = nullptr;
}

HIMAGELIST TCustomImageList::Handle() {
  if (!handle_) CreateImageList();
  return handle_;
}

void TCustomImageList::SetHandle(HIMAGELIST list) {
  if (list == handle_) return;
  FreeHandle();
  handle_ = list;
  if (list) {
    int w = 0, h = 0;
    ImageList_GetIconSize(list, &w, &h);
    width_ = w;
    height_ = h;
    bk_color_ = ImageList_GetBkColor(list) == CLR_NONE ? clNone : static_cast<TColor>(ImageList_GetBkColor(list));
  }
  Change();
}

HIMAGELIST TCustomImageList::ReleaseHandle() {
  HIMAGELIST h = handle_;
  handle_ = nullptr;
  Change();
  return h;
}

void TCustomImageList::SetSize(int width, int height) {
  if (width <= 0 || height <= 0) InvalidOperation(L"Invalid image size");
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  if (handle_) {
    FreeHandle();
    CreateImageList();
  }
  Change();
}

void TCustomImageList::SetWidth(int width) { SetSize(width, height_); }
void TCustomImageList::SetHeight(int height) { SetSize(width_, height); }

int TCustomImageList::Count() { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

void TCustomImageList::SetBkColor(TColor color) {
  bk_color_ = color;
  if (handle_) ImageList_SetBkColor(handle_, ListColor(color));
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle style) {
  if (style == drawing_style_) return;
  drawing_style_ = style;
  Change();
}

void TCustomImageList::SetImageType(TImageType type) {
  if (type == image_type_) return;
  image_type_ = type;
  Change();
}

void TCustomImageList::SetMasked(bool value) {
  if (value == masked_) return;
  masked_ = value;
  if (handle_) {
    FreeHandle();
    CreateImageList();
  }
  Change();
}

void TCustomImageList::SetColorDepth(TColorDepth depth) {
  if (depth == color_depth_) return;
  color_depth_ = depth;
  if (handle_) {
    FreeHandle();
    CreateImageList();
  }
  Change();
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image || image->Empty()) return -1;
  // A bitmap selected into its canvas's context cannot be read by the system list.
  image->Dormant();
  if (mask) mask->Dormant();
  int index = ImageList_Add(Handle(), image->Handle(), mask && !mask->Empty() ? mask->Handle() : nullptr);
  if (index < 0) InvalidOperation(L"Failed to add image to image list");
  Change();
  return index;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor mask_color) {
  if (!image || image->Empty()) return -1;
  // The system call blackens the masked pixels of the bitmap it is given: it gets a copy.
  TBitmap copy;
  copy.Assign(image);
  copy.Dormant();
  int index = ImageList_AddMasked(Handle(), copy.Handle(), ColorToGdi(mask_color));
  if (index < 0) InvalidOperation(L"Failed to add image to image list");
  Change();
  return index;
}

int TCustomImageList::AddIcon(TIcon* icon) {
  if (!icon || icon->Empty()) return -1;
  int index = ImageList_ReplaceIcon(Handle(), -1, icon->Handle());
  if (index < 0) InvalidOperation(L"Failed to add image to image list");
  Change();
  return index;
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  if (index < 0 || index >= Count()) throw rtl::EListError(L"Image list index out of bounds");
  image->Dormant();
  if (mask) mask->Dormant();
  ImageList_Replace(handle_, index, image->Handle(), mask ? mask->Handle() : nullptr);
  Change();
}

void TCustomImageList::Delete(int index) {
  if (index < 0 || index >= Count()) throw rtl::EListError(L"Image list index out of bounds");
  ImageList_Remove(handle_, index);
  Change();
}

void TCustomImageList::Clear() {
  if (handle_) ImageList_Remove(handle_, -1);
  Change();
}

void TCustomImageList::Move(int cur_index, int new_index) {
  int n = Count();
  if (cur_index < 0 || cur_index >= n || new_index < 0 || new_index >= n)
    throw rtl::EListError(L"Image list index out of bounds");
  if (cur_index == new_index) return;
  BeginUpdate();
  // Walk the image along by swaps, as the system list offers no move.
  int step = new_index > cur_index ? 1 : -1;
  for (int i = cur_index; i != new_index; i += step) ImageList_Copy(handle_, i + step, handle_, i, ILCF_SWAP);
  Change();
  EndUpdate();
}

bool TCustomImageList::GetBitmap(int index, TBitmap* image) {
  if (!image || index < 0 || index >= Count()) return false;
  image->SetSize(width_, height_);
  image->Canvas()->Brush()->SetColor(bk_color_ == clNone ? clWhite : bk_color_);
  image->Canvas()->FillRect(Rect(0, 0, width_, height_));
  Draw(image->Canvas(), 0, 0, index);
  return true;
}

void TCustomImageList::GetIcon(int index, TIcon* icon) {
  if (!icon || index < 0 || index >= Count()) return;
  icon->SetHandle(ImageList_GetIcon(handle_, index, ILD_NORMAL));
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  Draw(canvas, x, y, index, drawing_style_, image_type_, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
                            bool enabled) {
  if (!canvas || !handle_ || index < 0 || index >= Count()) return;
  DoDraw(index, canvas, x, y, DrawingFlags(style, type), enabled);
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, unsigned style, bool enabled) {
  HDC dc = canvas->Handle();
  if (enabled) {
    ImageList_DrawEx(handle_, index, dc, x, y, 0, 0, ListColor(bk_color_), ListColor(blend_color_), style);
    return;
  }
  // Disabled: the image's shape in the shadow colour, offset by one pixel from a highlight copy.
  TBitmap mono(width_, height_, pf1bit);
  mono.Canvas()->Brush()->SetColor(clWhite);
  mono.Canvas()->FillRect(Rect(0, 0, width_, height_));
  ImageList_DrawEx(handle_, index, mono.Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
  HDC src = mono.Canvas()->Handle();
  auto paint = [&](int dx, int dy, TColor color) {
    HBRUSH brush = CreateSolidBrush(ColorToGdi(color));
    HGDIOBJ old = SelectObject(dc, brush);
    COLORREF old_text = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF old_back = ::SetBkColor(dc, RGB(255, 255, 255));
    // Where the mask is black (the image), paint the brush; keep the destination elsewhere.
    BitBlt(dc, x + dx, y + dy, width_, height_, src, 0, 0, 0x00B8074A);
    SetTextColor(dc, old_text);
    ::SetBkColor(dc, old_back);
    SelectObject(dc, old);
    DeleteObject(brush);
  };
  paint(1, 1, clBtnHighlight);
  paint(0, 0, clBtnShadow);
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (!link) return;
  if (link->Sender() && link->Sender() != this) link->Sender()->UnRegisterChanges(link);
  link->SetSender(this);
  if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  auto it = std::find(links_.begin(), links_.end(), link);
  if (it == links_.end()) return;
  links_.erase(it);
  link->SetSender(nullptr);
}

void TCustomImageList::EndUpdate() {
  if (update_count_ > 0) --update_count_;
  if (update_count_ == 0 && changed_while_updating_) {
    changed_while_updating_ = false;
    Change();
  }
}

void TCustomImageList::Change() {
  if (update_count_ > 0) {
    changed_while_updating_ = true;
    return;
  }
  // A link may unregister itself while being told.
  std::vector<TChangeLink*> links = links_;
  for (TChangeLink* link : links)
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
  if (OnChange) OnChange(this);
}

void TCustomImageList::Assign(const rtl::TPersistent* source) {
  auto* other = dynamic_cast<const TCustomImageList*>(source);
  if (!other) {
    TComponent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  FreeHandle();
  width_ = other->width_;
  height_ = other->height_;
  alloc_by_ = other->alloc_by_;
  bk_color_ = other->bk_color_;
  blend_color_ = other->blend_color_;
  drawing_style_ = other->drawing_style_;
  image_type_ = other->image_type_;
  masked_ = other->masked_;
  color_depth_ = other->color_depth_;
  share_images_ = false;
  if (other->handle_) handle_ = ImageList_Duplicate(other->handle_);
  Change();
  EndUpdate();
}

void TCustomImageList::ReadData(rtl::TStream& stream) {
  rtl::Int64 rest = stream.Size() - stream.Position();
  if (rest <= 0) {
    Clear();
    return;
  }
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(rest));
  if (!memory) throw rtl::EOutOfMemory(L"Out of memory");
  stream.ReadBuffer(GlobalLock(memory), static_cast<rtl::Integer>(rest));
  GlobalUnlock(memory);
  IStream* com_stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &com_stream))) {
    GlobalFree(memory);
    throw rtl::EReadError(L"Failed to read ImageList data from stream");
  }
  HIMAGELIST list = ImageList_Read(com_stream);
  com_stream->Release();
  if (!list) throw rtl::EReadError(L"Failed to read ImageList data from stream");
  BeginUpdate();
  SetHandle(list);
  EndUpdate();
}

void TCustomImageList::WriteData(rtl::TStream& stream) {
  IStream* com_stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &com_stream)))
    throw rtl::EWriteError(L"Failed to write ImageList data to stream");
  bool ok = ImageList_Write(Handle(), com_stream);
  HGLOBAL memory = nullptr;
  STATSTG stat{};
  if (ok) ok = SUCCEEDED(com_stream->Stat(&stat, STATFLAG_NONAME)) && SUCCEEDED(GetHGlobalFromStream(com_stream, &memory));
  if (ok) {
    auto size = static_cast<rtl::Integer>(stat.cbSize.QuadPart);
    stream.WriteBuffer(GlobalLock(memory), size);
    GlobalUnlock(memory);
  }
  com_stream->Release();
  if (!ok) throw rtl::EWriteError(L"Failed to write ImageList data to stream");
}

void TCustomImageList::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  filer->DefineBinaryProperty(
      L"Bitmap", [this](rtl::TStream& s) { ReadData(s); }, [this](rtl::TStream& s) { WriteData(s); },
      Count() > 0);
}

VCL_REGISTER(TCustomImageList) {
  cls.Prop(L"AllocBy", &TCustomImageList::AllocBy, &TCustomImageList::SetAllocBy).Default(4);
  cls.Prop(L"BlendColor", &TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor)
      .Default(clNone)
      .TypeName(L"TColor");
  cls.Prop(L"BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor).Default(clNone).TypeName(L"TColor");
  cls.Prop(L"ColorDepth", &TCustomImageList::ColorDepth, &TCustomImageList::SetColorDepth)
      .Default(cdDeviceDependent);
  cls.Prop(L"DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle).Default(dsNormal);
  cls.Prop(L"Height", &TCustomImageList::Height, &TCustomImageList::SetHeight).Default(16);
  cls.Prop(L"ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType).Default(itImage);
  cls.Prop(L"Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked).Default(true);
  cls.Prop(L"ShareImages", &TCustomImageList::ShareImages, &TCustomImageList::SetShareImages).Default(false);
  cls.Prop(L"Width", &TCustomImageList::Width, &TCustomImageList::SetWidth).Default(16);
  cls.Prop(L"OnChange", &TCustomImageList::OnChange);
}

VCL_REGISTER(TImageList) {}

}  // namespace vcl
