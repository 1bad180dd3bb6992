#pragma once
// Wrappers of a track bar (background, channel, tick marks, thumb), a panel that holds other controls, the bare
// container windows and the search box of system dialogs, and the message handler of a windowless speed button.
#include <vector>

#include "platform/vcl/buttons.h"
#include "platform/vcl/extctrls.h"
#include "skin/windows/lvSBUtils.h"

class TlvTrackWnd : public TlvMainWnd {
 public:
  enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
  enum TTickStyle { tsNone, tsAuto };
  int TickHeight = 4;
  bool bMousePressed = false;
  double iStep = 0;

  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void LV_WMPaint(vcl::TMessage& message);
  void PrepareCache();
  void PaintBody();
  void PaintBar();
  void PaintThumb();
  vcl::TRect ChannelRect();
  vcl::TRect ThumbRect();
  std::vector<vcl::TPoint> TicksArray();
  void PaintTicksHor();
  void PaintTicksVer();
  void PaintTick(vcl::TPoint p, bool horz);
  TTickMark TickMarks();
  TTickStyle TickStyle();
  int TickCount();
  int Mode() const { return bMousePressed ? 1 : 0; }
  bool IsVertical();

 private:
  int TrackSection();
  int WndActiveState();
};

// Mirrors a bitmap: every row left to right (vertical True) or every column top to bottom.
void RotateBmp180(vcl::TBitmap* bmp, bool vertical);

class TlvPanelWnd : public TlvMainWnd {
 public:
  vcl::TCustomPanel* Panel = nullptr;
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void LV_WMPaint(HDC dc);
  void LV_WMNCPaint(HDC dc);
  bool PrepareCache();
  void WriteText(vcl::TRect r, vcl::TCanvas* canvas);
};

class TlvContainerWnd : public TlvMainWnd {
 public:
  vcl::TRect ClientRect;
  int BorderWidth = 0;
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void LV_WMPaint(vcl::TMessage& message);
  void LV_WMPrint(vcl::TMessage& message);
  void LV_WMNCPaint(vcl::TMessage& message);
  void PrepareCache();
};

class TlvSearchWnd : public TlvMainWnd {
 public:
  vcl::TRect ClientRect;
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void LV_WMNCPaint(vcl::TMessage& message);
  void PrepareCache();
};

// The drawing rectangle of a scroll bar's arrow button sized to its skin image.
vcl::TRect BtnDrawRect(const vcl::TRect& r, TsCommonData* skinData, TlvSide side);

// Takes over the WindowProc of a speed button (a control without a window) and paints it from the skin. It lets
// go exactly once: on the button's WM_DESTROY, on its manager's skin removal, or when freed; a button freed
// first is noticed through its free notification.
class TlvSpeedButtonHandler : public rtl::TObject {
 public:
  TlvSpeedButtonHandler(vcl::TControl* btn, TsCommonData* skinData, TsSkinManager* skinManager,
                        const rtl::String& skinSection, bool repaint);
  ~TlvSpeedButtonHandler() override;
  vcl::TControl* Ctrl = nullptr;
  void* PCtrl = nullptr;
  bool Destroyed = false;
  vcl::TWndMethod OldWndProc;
  TsCommonData* SkinData = nullptr;
  TsSkinManager* SkinManager = nullptr;

  void lvWndProc(vcl::TMessage& message);
  LRESULT CallPrevWndProc(UINT msg, WPARAM wParam, LPARAM& lParam);
  void LV_WMPaint(vcl::TMessage& message);
  bool PrepareCache();
  int CurrentState();
  rtl::String Caption();
  vcl::TSize TextRectSize();
  vcl::TRect ImgRect();
  vcl::TRect CaptionRect();
  void DrawCaption();
  void DoDrawText(vcl::TRect r, unsigned flags);
  void DrawGlyph();
  int GlyphWidth();
  int GlyphHeight();

 private:
  class TWatch;
  std::unique_ptr<TWatch> FWatch;
  void Detach();
};
