#pragma once
// Wrappers of windows whose background belongs to someone else: the MDI client of a skinned MDI main form (its
// background and edge from the form provider's image), and scrolling containers of other libraries (painted as a
// panel), or containers that paint their own client area and only need a skinned frame and bars.
#include "skin/windows/lvEditWnd.h"
#include "skin/windows/lvSBUtils.h"

class TsCustomSkinProvider;
namespace vcl {
class TForm;
}

// What the MDI client tells its form's provider: the children were tiled or cascaded, the frame's menu was set, or
// the window menu was refreshed. The skinned forms set the handler; nothing happens without one.
enum TlvMDIClientEvent { mceArranged, mceMenuSet, mceMenuRefreshed };
extern void (*MDIClientNotify)(TsCustomSkinProvider* provider, TlvMDIClientEvent event);

class TlvMDIWnd : public TlvBaseWnd {
 public:
  ~TlvMDIWnd() override;
  vcl::TForm* FForm = nullptr;
  TsCustomSkinProvider* SkinProvider = nullptr;
  TsCommonData* MDISkinData = nullptr;
  void lvWndProc(vcl::TMessage& message) override;

  // The client's rectangle at the origin, and its place in the provider's whole-window image.
  vcl::TRect DstRect() const;
  vcl::TRect SrcRect() const;
  void PaintClient(HDC dc, bool noEdge);
  void PaintBorders(HDC dc);

 private:
  bool Skinned() const;
  bool MaximizedChild() const;
  vcl::TColor FormColor() const;
};

class TlvScrollBoxWnd : public TlvScrollWnd {
 public:
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void PrepareCache();
  void LV_WMPaint(HDC dc);
  void LV_WMNCPaint(HDC dc);

 protected:
  bool AcceptsControls() const;
};

class TlvNativePaint : public TlvScrollBoxWnd {
 public:
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
};
