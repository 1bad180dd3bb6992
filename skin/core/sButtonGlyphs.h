#pragma once
// How buttons of every kind draw their picture: from an image list (plain or alpha), or from a glyph bitmap of
// several frames side by side, for the button's state, blended, greyed or mirrored as asked, into the button's
// cache bitmap or straight onto a canvas. Also the built-in glyph list of combo edits. (The popup classes that are
// never skinned, ThirdPartySkipForms, are with the dialog hook.)
#include <memory>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/typinfo.h"
#include "skin/core/sConst.h"

class TsSkinManager;
class TsAlphaImageList;

struct TlvDrawGlyphData {
  int Blend = 0;
  int SkinIndex = -1;
  int NumGlyphs = 1;
  int ImageIndex = -1;
  int CurrentState = 0;
  bool Down = false;
  bool Grayed = false;
  bool Enabled = true;
  bool Reflected = false;
  vcl::TBitmap* Glyph = nullptr;
  vcl::TBitmap* DstBmp = nullptr;
  vcl::TRect ImgRect;
  vcl::TCanvas* Canvas = nullptr;
  vcl::TColor BGColor = 0xFFFFFF;
  vcl::TCustomImageList* Images = nullptr;
  TsSkinManager* SkinManager = nullptr;
  TsDisabledGlyphKind DisabledGlyphKind;
};

void lvDrawGlyphEx(const TlvDrawGlyphData& data);

namespace vcl {
class TToolBar;
class TToolButton;
}  // namespace vcl
// The look a tool bar gives a button it draws (its custom-draw state).
VCL_ENUM(TCustomDrawStateItem, cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot,
         cdsMarked, cdsIndeterminate)
VCL_SET(TCustomDrawState, TCustomDrawStateItem)
// A tool button's image drawn into btnBmp (the button's picture, its size) for the look in state: pressed, hot or
// checked frames, greyed at rest when the skin discolours glyphs, moved by a pixel while pressed (unless the skin
// keeps content still), room left for a drop-down arrow and a caption.
void CopyToolBtnGlyph(vcl::TToolBar* toolBar, vcl::TToolButton* button, TCustomDrawState state, vcl::TBitmap* btnBmp);
inline int GetImageCount(vcl::TCustomImageList* list) { return list ? list->Count() : 0; }
// The built-in glyph list: 48 x 16, the five strips "SF", "SR", "SD", "SE", "SC" (made on first use).
TsAlphaImageList* lvResImgList();

// What the glyph settings of a combo edit need of the edit's button.
class TsGlyphModeButton {
 public:
  virtual ~TsGlyphModeButton() = default;
  // Neither loading nor being destroyed.
  virtual bool Ready() const = 0;
  virtual int Blend() const = 0;
  virtual void SetBlend(int value) = 0;
  virtual bool Grayed() const = 0;
  virtual void SetGrayed(bool value) = 0;
  virtual rtl::String Hint() const = 0;
  virtual void SetHint(const rtl::String& value) = 0;
  // The button takes a glyph of this width and number of frames and repaints.
  virtual void GlyphChanged(int width, int numGlyphs) = 0;
};

// The glyph settings of a combo edit's button: the images (by state) taken from an image list, else from the
// built-in glyph list.
class TsGlyphMode : public rtl::TPersistent {
  VCL_CLASS(TsGlyphMode, rtl::TPersistent)
  explicit TsGlyphMode(vcl::TWinControl* owner = nullptr);
  ~TsGlyphMode() override;
  TsGlyphMode(const TsGlyphMode&) = delete;
  TsGlyphMode& operator=(const TsGlyphMode&) = delete;
  void Assign(const rtl::TPersistent* source) override;

  vcl::TCustomImageList* Images() const { return FImages; }
  void SetImages(vcl::TCustomImageList* value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  int ImageIndexHot() const { return FImageIndexHot; }
  void SetImageIndexHot(int value);
  int ImageIndexPressed() const { return FImageIndexPressed; }
  void SetImageIndexPressed(int value);
  int Blend() const;
  void SetBlend(int value);
  bool Grayed() const;
  void SetGrayed(bool value);
  rtl::String Hint() const;
  void SetHint(const rtl::String& value);

  // One glyph's size and the number of frames: from Images when it holds ImageIndex, else from the built-in list;
  // a list whose width is a multiple of its height holds that many frames.
  int Width() const;
  int Height() const;
  int ImageCount() const;
  // The owner's button takes the glyph's width + 2 and frame count, and repaints.
  void Invalidate();

  // The owner's button (set by the owner once it exists).
  TsGlyphModeButton* Btn = nullptr;

 private:
  class TListWatch;
  vcl::TCustomImageList* SizeList() const;
  vcl::TWinControl* FOwner;
  std::unique_ptr<TListWatch> FWatch;
  vcl::TCustomImageList* FImages = nullptr;
  int FImageIndex = -1;
  int FImageIndexHot = -1;
  int FImageIndexPressed = -1;
};
