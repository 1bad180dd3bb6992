#pragma once
// Outer effects: a skin-defined shadow drawn around a windowed control into its parent's cache bitmap. A container
// asks each ready, visible child to paint its shadow (PaintOuterEffects, while it paints its own cache); the child
// answers LVC_PAINTOUTER through its skin state (PaintOuter), keeping what lay under the shadow so that a later
// repaint over the same place starts from the clean background.
#include "platform/rtl/object.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/typinfo.h"
#include "skin/core/sConst.h"

class TsCommonData;
class TsSkinManager;


class TlvOuterEffects : public rtl::TPersistent {
  VCL_CLASS(TlvOuterEffects, rtl::TPersistent)
  explicit TlvOuterEffects(TsCommonData* owner = nullptr) : FOwner(owner) {}
  TlvOuterVisibility Visibility() const { return FVisibility; }
  // A change has the owner's parent repaint its cache (unless the owner is still loading).
  void SetVisibility(TlvOuterVisibility value);
  void Assign(const rtl::TPersistent* source) override;
  // The owner control's parent is told LVC_INVALIDATE.
  void Invalidate();

 private:
  TsCommonData* FOwner;
  TlvOuterVisibility FVisibility = ovNone;
};

// Flag of LVC_PAINTOUTER's low word: paint over the background saved by the previous call.
constexpr unsigned lvOuterRepaint = 0x100;

// Sends LVC_PAINTOUTER with the container's cache bitmap at offset to every ready, visible child of ownerCtrl.
void PaintOuterEffects(TsCommonData* skinData, vcl::TWinControl* ownerCtrl, vcl::TPoint offset);
// The child's answer to LVC_PAINTOUTER: its shadow into paintInfo->Bmp around its rectangle moved by
// paintInfo->Offset.
void PaintOuter(TsCommonData* skinData, TlvBGInfo* paintInfo, unsigned flags);
// The mask nine-sliced into r of bmp with the opacity, its margins given by the widths of r's outside.
void PaintEffect(TsSkinManager* skinManager, vcl::TBitmap* bmp, const vcl::TRect& r, int opacity, int mask,
                 const vcl::TRect& widths);
