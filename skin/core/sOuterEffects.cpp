#include "skin/core/sOuterEffects.h"

#include <algorithm>

#include "skin/core/sCommonData.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"

namespace {

void Shift(vcl::TRect& r, int dx, int dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
}

bool Busy(vcl::TComponent* c) {
  auto s = c->ComponentState();
  return s.Contains(vcl::csLoading) || s.Contains(vcl::csDestroying);
}

// The shadow's mask, its widths outside the control and its opacity, from the section or the skin's outer-effect
// table; false when the section asks for none.
bool ShadowOf(TsSkinManager* sm, const TsGeneralData& g, int& mask, vcl::TRect& widths, int& opacity) {
  if (g.OuterMask >= 0) {
    mask = g.OuterMask;
    widths = g.OuterOffset;
    opacity = g.OuterOpacity;
  } else {
    if (g.OuterMode < 1 || static_cast<size_t>(g.OuterMode) > sm->oe.size()) return false;
    const TlvOutEffData& e = sm->oe[static_cast<size_t>(g.OuterMode - 1)];
    if (e.Source == 0 || e.Mask < 0) return false;
    mask = e.Mask;
    widths = vcl::TRect(e.OffsetL, e.OffsetT, e.OffsetR, e.OffsetB);
    opacity = e.Opacity;
  }
  return sm->IsValidImgIndex(mask);
}

void CopyArea(vcl::TBitmap* dst, int dx, int dy, vcl::TBitmap* src, const vcl::TRect& r) {
  BitBlt(dst->Canvas()->Handle(), dx, dy, r.Width(), r.Height(), src->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
}

}  // namespace

void TlvOuterEffects::SetVisibility(TlvOuterVisibility value) {
  if (FVisibility == value) return;
  FVisibility = value;
  vcl::TControl* owner = FOwner ? FOwner->OwnerControl() : nullptr;
  if (owner && owner->ComponentState().Contains(vcl::csLoading)) return;
  Invalidate();
}

void TlvOuterEffects::Invalidate() {
  vcl::TControl* owner = FOwner ? FOwner->OwnerControl() : nullptr;
  vcl::TWinControl* parent = owner ? owner->Parent() : nullptr;
  if (!parent || !parent->HandleAllocated() || Busy(parent)) return;
  SendAMessage(parent->Handle(), LVC_INVALIDATE);
}

void TlvOuterEffects::Assign(const rtl::TPersistent* source) {
  if (auto* src = dynamic_cast<const TlvOuterEffects*>(source)) {
    SetVisibility(src->FVisibility);
    return;
  }
  rtl::TPersistent::Assign(source);
}

void PaintOuterEffects(TsCommonData* sd, vcl::TWinControl* ownerCtrl, vcl::TPoint offset) {
  if (!sd || !ownerCtrl || !sd->Skinned()) return;
  TsSkinManager* sm = sd->SkinManager();
  if (!sm->Effects()->AllowOuterEffects()) return;
  TlvBGInfo info;
  info.Bmp = sd->CacheBmp();
  info.Offset = offset;
  info.BgType = btCache;
  for (int i = 0; i < ownerCtrl->ControlCount(); ++i) {
    vcl::TControl* child = ownerCtrl->Controls(i);
    if (!child->Visible() || !ControlIsReady(child)) continue;
    child->Perform(SM_LUMICMD, MakeLumiWParam(LVC_PAINTOUTER), reinterpret_cast<LPARAM>(&info));
  }
}

void PaintEffect(TsSkinManager* sm, vcl::TBitmap* bmp, const vcl::TRect& r, int opacity, int mask,
                 const vcl::TRect& widths) {
  if (!bmp || !sm || !sm->IsValidImgIndex(mask)) return;
  DrawSkinRect32Ex(bmp, r, EmptyCI, sm->ma[static_cast<size_t>(mask)], 0, widths, opacity);
}

void PaintOuter(TsCommonData* sd, TlvBGInfo* info, unsigned flags) {
  if (!sd || !info || !sd->Skinned() || sd->OuterEffects()->Visibility() != ovAlways) return;
  TsSkinManager* sm = sd->SkinManager();
  const TsGeneralData& g = sm->gd[static_cast<size_t>(sd->SkinIndex)];
  int mask = -1, opacity = 0;
  vcl::TRect widths;
  if (!ShadowOf(sm, g, mask, widths, opacity)) return;
  vcl::TControl* owner = sd->OwnerControl();
  vcl::TBitmap* target = info->Bmp;
  if (!target || !owner || target->Width() <= 0 || target->Height() <= 0) return;
  vcl::TRect rc;
  owner->Perform(SM_LUMICMD, MakeLumiWParam(LVC_GETOUTRGN), reinterpret_cast<LPARAM>(&rc));
  Shift(rc, info->Offset.X, info->Offset.Y);
  const vcl::TRect r(rc.Left - widths.Left, rc.Top - widths.Top, rc.Right + widths.Right, rc.Bottom + widths.Bottom);
  if (r.Width() <= 0 || r.Height() <= 0) return;
  const vcl::TRect local(0, 0, r.Width(), r.Height());
  vcl::TBitmap* saved = sd->FOuterCache.get();
  if ((flags & lvOuterRepaint) && saved && saved->Width() == r.Width() && saved->Height() == r.Height()) {
    // The target still shows the previous shadow: paint over the clean background kept then, which stays kept, so
    // repeated repaints never darken the shadow.
    auto work = CreateBmp32(r.Width(), r.Height());
    CopyArea(work.get(), 0, 0, saved, local);
    PaintEffect(sm, work.get(), local, opacity, mask, widths);
    CopyArea(target, r.Left, r.Top, work.get(), local);
    return;
  }
  if (!saved) {
    sd->FOuterCache = CreateBmp32(r.Width(), r.Height());
  } else if (saved->Width() != r.Width() || saved->Height() != r.Height()) {
    saved->SetSize(r.Width(), r.Height());
  }
  CopyArea(sd->FOuterCache.get(), 0, 0, target, r);
  PaintEffect(sm, target, r, opacity, mask, widths);
}

VCL_REGISTER(TlvOuterEffects) {
  cls.Prop(L"Visibility", &TlvOuterEffects::Visibility, &TlvOuterEffects::SetVisibility).Default(ovNone);
}
