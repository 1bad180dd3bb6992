#pragma once
// Hints as layered, alpha-blended balloons drawn from templates: a PNG picture cut into nine parts (border widths),
// the distances from the balloon's edge to its text (client margins), a transparent shadow band, and a font. One
// TsAlphaHints at a time is the active hint manager (Manager). It watches the control under the mouse and shows
// that control's Hint after the application's HintPause, hides it after PauseHide or when the mouse leaves the
// control, and shows hints on request for a point, a control or a data record. Templates are saved and loaded
// in their own binary format (magic "LShh"), which is outside input: every count and length is bounded.
#include <memory>
#include <vector>

#include "platform/rtl/streams.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/collection.h"
#include "platform/vcl/component.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/graphicsobjects.h"
#include "skin/core/sConst.h"

VCL_ENUM(TlvMousePosition, mpLeftTop, mpLeftBottom, mpRightTop, mpRightBottom)
VCL_ENUM(TlvBorderDrawMode, dmRepeat, dmStretch)
VCL_ENUM(TlvHintAlign, haHorzCenter, haVertCenter)
VCL_ENUM(TlvHintState, hsNormal, hsInit)

class TlvHintImage;
class TlvHintTemplate;
class TsAlphaHints;
class TlvPngHintWindow;

// The four widths of a border, a margin or a shadow band.
class TlvBordersSizes : public rtl::TPersistent {
  VCL_CLASS(TlvBordersSizes, rtl::TPersistent)
  explicit TlvBordersSizes(TlvHintImage* owner = nullptr) : FOwner(owner) {}
  int Top() const { return FTop < 0 ? 0 : FTop; }
  int Left() const { return FLeft < 0 ? 0 : FLeft; }
  int Bottom() const { return FBottom < 0 ? 0 : FBottom; }
  int Right() const { return FRight < 0 ? 0 : FRight; }
  void SetTop(int v);
  void SetLeft(int v);
  void SetBottom(int v);
  void SetRight(int v);
  void SetValues(int left, int top, int right, int bottom);
  void Assign(const rtl::TPersistent* source) override;
  vcl::TRect AsRect() const { return vcl::TRect(Left(), Top(), Right(), Bottom()); }

 private:
  void Changed();
  int FTop = 0, FLeft = 0, FRight = 0, FBottom = 0;
  TlvHintImage* FOwner;
};

class TlvBorderDrawModes : public rtl::TPersistent {
  VCL_CLASS(TlvBorderDrawModes, rtl::TPersistent)
  explicit TlvBorderDrawModes(TlvHintImage* owner = nullptr) : FOwner(owner) {}
  TlvBorderDrawMode Top() const { return FTop; }
  TlvBorderDrawMode Left() const { return FLeft; }
  TlvBorderDrawMode Bottom() const { return FBottom; }
  TlvBorderDrawMode Right() const { return FRight; }
  TlvBorderDrawMode Center() const { return FCenter; }
  void SetTop(TlvBorderDrawMode v);
  void SetLeft(TlvBorderDrawMode v);
  void SetBottom(TlvBorderDrawMode v);
  void SetRight(TlvBorderDrawMode v);
  void SetCenter(TlvBorderDrawMode v);
  void Assign(const rtl::TPersistent* source) override;

 private:
  void Changed();
  TlvBorderDrawMode FTop = dmStretch, FLeft = dmStretch, FRight = dmStretch, FCenter = dmStretch,
                    FBottom = dmStretch;
  TlvHintImage* FOwner;
};

class TlvHintImage : public rtl::TPersistent {
  VCL_CLASS(TlvHintImage, rtl::TPersistent)
  explicit TlvHintImage(TlvHintTemplate* owner = nullptr);
  ~TlvHintImage() override;
  void Assign(const rtl::TPersistent* source) override;

  int OffsetHorz() const { return FOffsetHorz; }
  void SetOffsetHorz(int v);
  int OffsetVert() const { return FOffsetVert; }
  void SetOffsetVert(int v);
  int ImageWidth() const;
  int ImageHeight() const;
  // The picture as a 32-bit bitmap with straight alpha; empty when none.
  vcl::TBitmap* Image() const { return FImage.get(); }
  // Takes a copy of a picture; the border widths and client margins follow its size.
  void SetImage(vcl::TBitmap* value);
  TlvBordersSizes* ShadowSizes() const { return FShadowSizes.get(); }
  TlvBordersSizes* ClientMargins() const { return FClientMargins.get(); }
  TlvBordersSizes* BordersWidths() const { return FBordersWidths.get(); }
  TlvBorderDrawModes* BorderDrawModes() const { return FBorderDrawModes.get(); }
  // The PNG file as loaded ("ImgData"); empty when the picture came from elsewhere.
  rtl::TMemoryStream* ImageData() const { return FImageData.get(); }
  // Takes PNG file bytes and decodes them (rtl::EInvalidGraphic for bytes that are no PNG).
  void LoadImageData(const rtl::Byte* data, size_t size);
  // Decodes a non-empty ImageData into the picture.
  void StreamChanged();
  bool HasPicture() const { return FImage && !FImage->Empty(); }
  void Changed();

 private:
  void ImageChanged();
  int FOffsetHorz = 0, FOffsetVert = 0;
  std::unique_ptr<TlvBordersSizes> FShadowSizes, FClientMargins, FBordersWidths;
  std::unique_ptr<TlvBorderDrawModes> FBorderDrawModes;
  TlvHintTemplate* FOwner;
  std::unique_ptr<vcl::TBitmap> FImage;
  std::unique_ptr<rtl::TMemoryStream> FImageData;
};

class TlvHintTemplate : public vcl::TCollectionItem {
  VCL_CLASS(TlvHintTemplate, vcl::TCollectionItem)
  explicit TlvHintTemplate(vcl::TCollection* collection);
  ~TlvHintTemplate() override;
  void Assign(const rtl::TPersistent* source) override;

  TlvHintImage* ImageDefault() const { return FImageDefault.get(); }
  TlvHintImage* Img_LeftBottom() const { return FImageLeftBottom.get(); }
  TlvHintImage* Img_RightBottom() const { return FImageRightBottom.get(); }
  TlvHintImage* Img_RightTop() const { return FImageRightTop.get(); }
  void SetImageDefault(TlvHintImage* v) { FImageDefault->Assign(v); }
  void SetImg_LeftBottom(TlvHintImage* v) { FImageLeftBottom->Assign(v); }
  void SetImg_RightBottom(TlvHintImage* v) { FImageRightBottom->Assign(v); }
  void SetImg_RightTop(TlvHintImage* v) { FImageRightTop->Assign(v); }
  vcl::TFont* Font() const { return FFont.get(); }
  void SetFont(vcl::TFont* v);
  TlvHintAlign HintAlign() const { return FHintAlign; }
  void SetHintAlign(TlvHintAlign v) { FHintAlign = v; }
  const rtl::String& Name() const { return FName; }
  void SetName(const rtl::String& v) { FName = v; }
  rtl::String DisplayName() const override { return FName; }
  // A template uses its default image alone when its left-bottom image has neither data nor a picture.
  bool UsesSingleImage() const;
  // The image that points at the target from the given corner (the default image for a single-image template).
  TlvHintImage* ImageFor(TlvMousePosition pos) const;
  // The hint component of the collection; nullptr for a template outside one.
  TsAlphaHints* OwnerHints() const;

 private:
  std::unique_ptr<TlvHintImage> FImageDefault, FImageRightTop, FImageLeftBottom, FImageRightBottom;
  std::unique_ptr<vcl::TFont> FFont;
  rtl::String FName;
  TlvHintAlign FHintAlign = haHorzCenter;
};

class TlvHintTemplates : public vcl::TCollection {
  VCL_CLASS(TlvHintTemplates, vcl::TCollection)
  explicit TlvHintTemplates(TsAlphaHints* owner);
  TlvHintTemplate* Items(int index) const { return TCollection::Items<TlvHintTemplate>(index); }
  TsAlphaHints* Hints() const { return FHints; }

 private:
  TsAlphaHints* FHints;
};

// The template file: magic, flag, font, then the image records (see LoadTemplate for the bounds).
namespace lvhint {
constexpr int BufSize = 64;          // room for a font name, its terminating zero included
constexpr int MaxPictureBytes = 16 << 20;
constexpr int MaxWidths = 4096;      // border widths, margins and shadows
constexpr int MaxFontSize = 1000;
// Reads one template from the start of stream into tmpl (rtl::EReadError for a damaged file, rtl::EInvalidGraphic
// for a picture that does not decode). False when the stream does not start with "LShh".
bool ReadTemplate(rtl::TStream& stream, TlvHintTemplate* tmpl);
void WriteTemplate(rtl::TStream& stream, const TlvHintTemplate* tmpl);
}  // namespace lvhint

struct TlvShowHintData {
  int Width = 0, Height = 0;
  vcl::TPoint Position;
  rtl::String Caption;
  vcl::TControl* Control = nullptr;
  vcl::TBitmap* Image = nullptr;
  TlvSide ImageAlignment = asLeft;
};

// What the hint component knows of a request; HintPos is the screen point the balloon points at.
struct TlvHintInfo : vcl::THintInfo {
  vcl::TPoint HintPos;
};

using TlvShowHintEvent =
    vcl::TEvent<void(rtl::String& hintStr, bool& canShow, TlvHintInfo& hintInfo, vcl::TWinControl*& frame)>;
using TlvMeasureEvent = vcl::TEvent<void(rtl::TObject* sender, const rtl::String& text, const TlvHintInfo& info,
                                         int& width, int& height)>;
using TlvPaintEvent = vcl::TEvent<void(rtl::TObject* sender, const rtl::String& text, const TlvHintInfo& info,
                                       const vcl::TRect& area, vcl::TBitmap* bmp, bool& defaultPainting)>;

class TsAlphaHints : public vcl::TComponent {
  VCL_CLASS(TsAlphaHints, vcl::TComponent)
  explicit TsAlphaHints(vcl::TComponent* owner);
  ~TsAlphaHints() override;
  void AfterConstruction() override;
  void Loaded() override;

  bool Active() const { return FActive; }
  void SetActive(bool v);
  bool AutoAlignment() const { return FAutoAlignment; }
  void SetAutoAlignment(bool v);
  bool Animated() const { return FAnimated; }
  void SetAnimated(bool v) { FAnimated = v; }
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int v) { FMaxWidth = v; }
  TlvHintTemplates* Templates() const { return FTemplates.get(); }
  void SetTemplates(TlvHintTemplates* v);
  const rtl::String& TemplateName() const { return FTemplateName; }
  void SetTemplateName(const rtl::String& v);
  int TemplateIndex() const { return FTemplateIndex; }
  vcl::TAlignment TextAlignment() const { return FTextAlignment; }
  void SetTextAlignment(vcl::TAlignment v) { FTextAlignment = v; }
  bool HTMLMode() const { return FHTMLMode; }
  void SetHTMLMode(bool v) { FHTMLMode = v; }
  int PauseHide() const { return FPauseHide; }
  void SetPauseHide(int v);
  const rtl::String& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const rtl::String& v) { FSkinSection = v; }
  bool UseSkinData() const { return FUseSkinData; }
  void SetUseSkinData(bool v) { FUseSkinData = v; }
  TlvMousePosition DefaultMousePos() const { return FDefaultMousePos; }
  void SetDefaultMousePos(TlvMousePosition v) { FDefaultMousePos = v; }

  TlvShowHintEvent OnShowHint;
  vcl::TNotifyEvent OnHideHint;
  vcl::TNotifyEvent OnChange;
  TlvMeasureEvent OnMeasure;
  TlvPaintEvent OnPaint;

  // Requests.
  void ShowHint(vcl::TPoint position, const rtl::String& hintText, int hideTime);
  void ShowHint(vcl::TControl* control, const rtl::String& hintText, int hideTime);
  void ShowHint(const TlvShowHintData& data, int hideTime);
  void HideHint();
  void HideAll();
  void RepaintHint();
  // The balloon being shown (nullptr when none) and whether it is on screen.
  TlvPngHintWindow* HintWindow() const { return FHintWindow.get(); }
  // The frame the OnShowHint handler gave for the hint being shown (nullptr when none); it stays the handler's.
  vcl::TWinControl* HintFrame() const { return FHintFrame; }
  bool HintVisible() const;

  // The template file.
  TlvHintTemplate* LoadFromStream(rtl::TStream& stream);
  void SaveToStream(rtl::TStream& stream);
  TlvHintTemplate* LoadFromFile(const rtl::String& fileName);
  void SaveToFile(const rtl::String& fileName);

  // The template and image of the hint being shown (Template and Image of the unit).
  void InitTemplate();
  TlvHintTemplate* CurrentTemplate() const { return FCurTemplate; }
  TlvHintImage* CurrentImage() const { return FCurImage; }
  // True when the hints are painted from the skin section.
  bool Skinned() const;
  void Changed();

  vcl::TPoint FHintLocation;
  vcl::TPoint FHintPos{-1, -1};
  TlvHintInfo CurrentHintInfo;
  TlvShowHintData TmpShowData;
  vcl::TControl* HintTimeCtrl = nullptr;
  bool HintShowing = false;
  TlvHintState State = hsNormal;
  std::unique_ptr<vcl::TBitmap> FCacheBmp;

 private:
  void UpdateHWClass();
  void CheckAutoHintPos();
  void StartHideTimer(int hideTime);
  void OnHideTimer(rtl::TObject* sender);
  void OnWatch(rtl::TObject* sender);
  void Activate(const vcl::TRect& r, const rtl::String& text);
  bool CallOnShowHint(rtl::String& text, TlvHintInfo& info);
  void EnsureWindow();

  int FMaxWidth = 120;
  int FPauseHide = 5000;
  bool FAnimated = true, FHTMLMode = false, FAutoAlignment = false;
  vcl::TAlignment FTextAlignment = vcl::taCenter;
  TlvMousePosition FDefaultMousePos = mpLeftTop;
  bool FActive = true, FUseSkinData = false;
  int FTemplateIndex = -1;
  rtl::String FTemplateName, FSkinSection;
  std::unique_ptr<TlvHintTemplates> FTemplates;
  TlvHintTemplate* FCurTemplate = nullptr;
  TlvHintImage* FCurImage = nullptr;
  std::unique_ptr<TlvPngHintWindow> FHintWindow;
  std::unique_ptr<vcl::TTimer> FHideTimer;
  std::unique_ptr<vcl::TTimer> FWatchTimer;
  // The mouse watch: the control the cursor rests on and since when (tick count).
  vcl::TControl* FWatchCtrl = nullptr;
  unsigned FWatchSince = 0;
  bool FWatchShown = false;
  bool FLoadedDone = false;
  vcl::TWinControl* FHintFrame = nullptr;
};

// The balloon: a layered, click-through, top-most window that shows the template picture in nine parts with the
// text inside, fading (and sliding from the previous balloon) in 24 steps of 10 ms.
class TlvPngHintWindow {
 public:
  explicit TlvPngHintWindow(TsAlphaHints* hints);
  ~TlvPngHintWindow();
  TlvPngHintWindow(const TlvPngHintWindow&) = delete;
  TlvPngHintWindow& operator=(const TlvPngHintWindow&) = delete;

  // Size of the balloon for text, at (0, 0).
  vcl::TRect CalcHintRect(int maxWidth, const rtl::String& text);
  // Shows the balloon for text pointing at anchor (its measured size in r).
  void ActivateHint(vcl::TRect r, const rtl::String& text, vcl::TPoint anchor);
  void Hide();
  bool Visible() const;
  HWND Handle() const { return FWnd; }
  // The balloon's picture (premultiplied alpha), as last built.
  vcl::TBitmap* AlphaBmp() const { return FAlphaBmp.get(); }
  vcl::TRect Bounds() const { return FBounds; }
  TlvMousePosition MousePos() const { return FMousePos; }
  // The shadow band of the current look: the template image's for the current corner; skinned, the skin margins
  // less one when the balloon is wholly layered (it draws its own shadow), else none.
  vcl::TRect ShadowSizes() const;
  // Skinned: the width of the section's border mask on a side (0 left, 1 top, 2 right, 3 bottom); 0 without one.
  int SkinMargin(int side) const;
  // The balloon is its own picture, alpha and all, with no system shadow: templates, and skinned sections that
  // are wholly transparent with a border mask.
  bool FullLayer() const;
  // The window carries the system's drop shadow.
  bool DropShadow() const;
  // Fits r (shrunk by the shadow) on the monitor of anchor and answers the corner that points at it.
  TlvMousePosition GetArrowPos(vcl::TRect& r, vcl::TPoint anchor);
  void CreateAlphaBmp(int width, int height);
  // Skinned with a wholly transparent section that has a border mask: the balloon is the mask's picture in nine
  // parts (clear where it is clear or keyed). False, painting nothing, for any other section.
  bool PaintBorderedBody(int width, int height);
  const rtl::String& Text() const { return FText; }
  // The balloon's body under the text area, kept while a hint frame is shown: its controls take their background
  // from it. Null without a frame.
  vcl::TBitmap* BodyBmp() const { return FBodyBmp.get(); }
  // Opacity of the last frame shown (255 when not animated).
  int Blend() const { return FBlend; }
  int Steps() const { return FStep; }

 private:
  void TextOut(vcl::TBitmap* bmp);
  // The hint frame's controls painted into bmp over area, opaque.
  void PaintFrame(vcl::TWinControl* frame, vcl::TBitmap* bmp, const vcl::TRect& area);
  // Makes the window again when its class's drop shadow does not suit the look.
  void CheckShadowClass();
  void Step(rtl::TObject* sender);
  void Show(int opacity, vcl::TPoint at);

  TsAlphaHints* FHints;
  HWND FWnd = nullptr;
  std::unique_ptr<vcl::TBitmap> FAlphaBmp;
  std::unique_ptr<vcl::TBitmap> FBodyBmp;
  rtl::String FText;
  vcl::TRect FBounds;
  TlvMousePosition FMousePos = mpLeftTop;
  std::unique_ptr<vcl::TTimer> FTimer;
  int FStep = 0, FBlend = 0;
  double FX = 0, FY = 0, FBlendF = 0;
};

// The active hint manager, nullptr when none; DefaultTemplate: the built-in balloon.
extern TsAlphaHints* Manager;
TlvHintTemplate* DefaultTemplate();
