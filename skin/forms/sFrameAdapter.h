#pragma once
// The frame adapter: a component placed on a frame (by the form's control adapter, or by hand) that skins the
// frame's own background as a "GROUPBOX" section. It puts its own method in front of the frame's window procedure
// while it lives and gives the frame its procedure back when it goes; without an active skin every message passes
// straight to the frame.
#include <memory>

#include "platform/vcl/component.h"
#include "platform/vcl/frames.h"
#include "skin/core/sCommonData.h"

class TlvScrollWnd;

class TsFrameAdapter : public vcl::TComponent {
  VCL_CLASS(TsFrameAdapter, vcl::TComponent)
 public:
  // Raises an exception when owner is not a frame.
  explicit TsFrameAdapter(vcl::TComponent* owner);
  ~TsFrameAdapter() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsScrollWndData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsScrollWndData* value) { FCommonData->Assign(value); }

  void NewWndProc(vcl::TMessage& m);
  // The section over the parent's background into the cache; false when the parent's background is not ready.
  bool PrepareCache();
  void OurPaintHandler(HDC dc);
  void LV_WMPaint(HDC dc);

  vcl::TFrame* Frame = nullptr;
  vcl::TWndMethod OldWndProc;
  TlvScrollWnd* ListSW = nullptr;

 private:
  void HookPopups();
  // The frame's frame recalculated and everything in it redrawn at once.
  void RedrawFrame();
  void PaintUncached(HDC dc);
  std::unique_ptr<TsScrollWndData> FCommonData;
};
