#pragma once
// Wrappers of the small controls the library does not own: push buttons (plain, with a bitmap glyph, with an image
// list), check boxes and radio buttons, group boxes, static labels (etched edges, icons and bitmaps, links), the
// platform's static text, a size grip and a transparent panel. Each paints its window into the skin data's cache
// from the control's section and copies the cache to the window; a bare window of a system dialog has no control
// object, so everything is read from its style bits and button-state messages.
#include <memory>

#include "skin/windows/lvSBUtils.h"

class TlvStaticWnd : public TlvMainWnd {
 public:
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  virtual void LV_WMPaint(vcl::TMessage& message);
  // Writes the caption over the cache; false: nothing to copy.
  virtual bool PaintText();

 protected:
  // The wrapper's section painted into the cache at the window's size.
  void PaintSection();
  bool LeftAlone() const;
};

class TlvEdgeWnd : public TlvStaticWnd {
 public:
  void lvWndProc(vcl::TMessage& message) override;
  void LV_WMPaint(vcl::TMessage& message) override;
};

class TlvIconWnd : public TlvStaticWnd {
 public:
  ~TlvIconWnd() override;
  bool IsBmp = false;
  // A 32-bit copy of the control's bitmap, made on the first paint: the control keeps its own handle untouched.
  std::unique_ptr<vcl::TBitmap> FBmp;
  bool BmpEmpty = false;
  bool IsBmp32 = false;
  void AfterCreation() override;
  bool PaintText() override;
};

class TlvLinkWnd : public TlvStaticWnd {
 public:
  void lvWndProc(vcl::TMessage& message) override;
  bool PaintText() override;
  // The caption without its "<A>" and "</A>" tags (upper case only, as the control writes them).
  static rtl::String StripTags(const rtl::String& s);
};

class TlvBtnWnd : public TlvMainWnd {
 public:
  bool FMouseClicked = false;
  void AfterCreation() override;
  void RestoreStdParams() override { TlvMainWnd::RestoreStdParams(); }
  void SetSkinParams() override { TlvMainWnd::SetSkinParams(); }
  void lvWndProc(vcl::TMessage& message) override;
  // 0 normal, 1 hot or focused, 2 pressed, 3 default button.
  virtual int CurrentState();
  virtual void DrawGlyph() {}
  virtual vcl::TSize GlyphSize() { return vcl::TSize(0, 0); }
  virtual vcl::TRect CaptionRect();
  virtual int MaxCaptionWidth();
  void lv_WMPaint(vcl::TMessage& message);
  void PrepareCache();
  LONG_PTR CtrlStyle() const;
  bool Down() const;
  void DrawCaption();
  void DoDrawText(vcl::TRect r, unsigned flags);
  vcl::TSize TextRectSize();
  void Repaint();
  // The content moves one pixel right and down while pressed.
  bool ShiftContent();
  // The section state PrepareCache paints (CurrentState fitted to the section's states).
  int PaintState();
};

class TlvBitBtnWnd : public TlvBtnWnd {
 public:
  int CurrentState() override;
  void DrawGlyph() override;
  vcl::TSize GlyphSize() override;
  vcl::TRect CaptionRect() override;
  int MaxCaptionWidth() override;
  vcl::TRect GlyphRect();
};

class TlvButtonWnd : public TlvBtnWnd {
 public:
  vcl::TControl* Btn = nullptr;
  void AfterCreation() override;
  void DrawGlyph() override;
  vcl::TSize GlyphSize() override;
  vcl::TRect CaptionRect() override;
  bool HaveImage();
  int GlyphIndex();
  vcl::TRect GlyphRect();
};

class TlvCheckBoxWnd : public TlvMainWnd {
 public:
  bool OwnerDraw = false;
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void LV_WMPaint(vcl::TMessage& message);
  void PrepareCache();
  void DrawCheckText();
  vcl::TRect CheckRect();
  int CtlState();
  int GlyphMaskIndex(int state);
  vcl::TRect SkinCheckRect(int i);
  int SkinGlyphHeight(int i);
  int SkinGlyphWidth(int i);
  void DrawSkinGlyph(int i);
  int State();
  bool IsRadio() const;
};

class TlvGroupBoxWnd : public TlvMainWnd {
 public:
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void LV_WMPaint(vcl::TMessage& message);
  void PrepareCache();
  vcl::TRect CaptionRect();
  void WriteText(vcl::TRect r);

 private:
  void ParentBackground(const vcl::TRect& r);
};

class TlvStaticTextWnd : public TlvMainWnd {
 public:
  vcl::TControl* Control = nullptr;
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void LV_WMNCPaint(HDC dc);
  void LV_WMPaint(HDC dc);
  bool PrepareCache();
  void WriteText(vcl::TRect r, vcl::TCanvas* canvas);
};

class TlvSizerWnd : public TlvMainWnd {
 public:
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void LV_WMPaint(vcl::TMessage& message);
};

class TlvTransPanelWnd : public TlvMainWnd {
 public:
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void LV_WMPaint(vcl::TMessage& message);
};
