#pragma once
// Image lists: a row of equally sized images in a system image list (comctl32), drawn by index. Lists tell the
// controls that use them about changes through change links. The images are stored in form resources as the
// binary property "Bitmap" (the system list's own stream form).
#include <vector>

#include "platform/rtl/streams.h"
#include "platform/rtl/win.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/component.h"
#include "platform/vcl/events.h"

// The system list's handle type, as commctrl.h declares it (that header is left to the files that call it).
struct _IMAGELIST;
typedef struct _IMAGELIST* HIMAGELIST;

namespace vcl {

class TBitmap;
class TCanvas;
class TIcon;
class TCustomImageList;

VCL_ENUM(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)
VCL_ENUM(TImageType, itImage, itMask)
VCL_ENUM(TColorDepth, cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit)

// Connects a user (a toolbar, a tree view, a skinned button) to a list it draws from.
class TChangeLink : public rtl::TObject {
public:
  TChangeLink() = default;
  // Unregisters itself from the list it is registered with.
  ~TChangeLink() override;
  TCustomImageList* Sender() const { return sender_; }
  void SetSender(TCustomImageList* list) { sender_ = list; }
  virtual void Change();
  TNotifyEvent OnChange;

private:
  TCustomImageList* sender_ = nullptr;
};

class TCustomImageList : public TComponent {
  VCL_CLASS(TCustomImageList, TComponent)
  explicit TCustomImageList(TComponent* owner);
  TCustomImageList(TComponent* owner, int width, int height);
  ~TCustomImageList() override;
  void Assign(const rtl::TPersistent* source) override;

  // The system list, made on first use.
  HIMAGELIST Handle();
  // Takes over list (its size becomes the list's); the old one is destroyed unless ShareImages.
  void SetHandle(HIMAGELIST list);
  bool HandleAllocated() const { return handle_ != nullptr; }
  // Gives the system list away; the image list is empty afterwards.
  HIMAGELIST ReleaseHandle();

  int Width() const { return width_; }
  int Height() const { return height_; }
  // A new size empties the list.
  void SetWidth(int width);
  void SetHeight(int height);
  void SetSize(int width, int height);
  int Count();
  int AllocBy() const { return alloc_by_; }
  void SetAllocBy(int value) { alloc_by_ = value > 0 ? value : 1; }
  // clNone: drawn transparently over whatever is there.
  TColor BkColor() const { return bk_color_; }
  void SetBkColor(TColor color);
  TColor BlendColor() const { return blend_color_; }
  void SetBlendColor(TColor color) { blend_color_ = color; }
  TDrawingStyle DrawingStyle() const { return drawing_style_; }
  void SetDrawingStyle(TDrawingStyle style);
  TImageType ImageType() const { return image_type_; }
  void SetImageType(TImageType type);
  // Changing these recreates the (empty) system list.
  bool Masked() const { return masked_; }
  void SetMasked(bool value);
  TColorDepth ColorDepth() const { return color_depth_; }
  void SetColorDepth(TColorDepth depth);
  // The system list belongs to someone else and is not destroyed with this list.
  bool ShareImages() const { return share_images_; }
  void SetShareImages(bool value) { share_images_ = value; }

  // The index of the new image. Bitmaps wider than Width add several images.
  int Add(TBitmap* image, TBitmap* mask);
  int AddMasked(TBitmap* image, TColor mask_color);
  int AddIcon(TIcon* icon);
  void Replace(int index, TBitmap* image, TBitmap* mask);
  void Delete(int index);
  void Clear();
  void Move(int cur_index, int new_index);
  // Draws image index at Image's full size (Image takes the list's size).
  bool GetBitmap(int index, TBitmap* image);
  void GetIcon(int index, TIcon* icon);

  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type, bool enabled = true);

  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);
  void BeginUpdate() { ++update_count_; }
  void EndUpdate();
  TNotifyEvent OnChange;

  // The system list's stream form, as stored in form resources.
  virtual void ReadData(rtl::TStream& stream);
  virtual void WriteData(rtl::TStream& stream);
  void DefineProperties(TFiler* filer) override;

protected:
  // Draws with ILD_* style flags; descendants draw their own way (alpha lists).
  virtual void DoDraw(int index, TCanvas* canvas, int x, int y, unsigned style, bool enabled);
  // Tells the change links and OnChange (deferred while updating).
  virtual void Change();
  void CreateImageList();
  void FreeHandle();
  unsigned DrawingFlags(TDrawingStyle style, TImageType type) const;

private:
  HIMAGELIST handle_ = nullptr;
  int width_ = 16;
  int height_ = 16;
  int alloc_by_ = 4;
  TColor bk_color_ = clNone;
  TColor blend_color_ = clNone;
  TDrawingStyle drawing_style_ = dsNormal;
  TImageType image_type_ = itImage;
  bool masked_ = true;
  TColorDepth color_depth_ = cdDeviceDependent;
  bool share_images_ = false;
  int update_count_ = 0;
  bool changed_while_updating_ = false;
  std::vector<TChangeLink*> links_;
};

class TImageList : public TCustomImageList {
  VCL_CLASS(TImageList, TCustomImageList)
  using TCustomImageList::TCustomImageList;
};

}  // namespace vcl
