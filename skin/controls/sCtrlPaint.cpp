#include "skin/controls/sCtrlPaint.h"

#include <algorithm>

#include "skin/render/sSectionPaint.h"

namespace sctrl {

const TsGeneralData* Section(TsCommonData* sd) {
  if (!sd || !sd->Skinned()) return nullptr;
  TsSkinManager* sm = sd->SkinManager();
  if (!sm->IsValidSkinIndex(sd->SkinIndex)) return nullptr;
  return &sm->gd[static_cast<size_t>(sd->SkinIndex)];
}

const TsMaskData* BorderMask(TsCommonData* sd) {
  if (!Section(sd)) return nullptr;
  TsSkinManager* sm = sd->SkinManager();
  return sm->IsValidImgIndex(sd->BorderIndex) ? &sm->ma[static_cast<size_t>(sd->BorderIndex)] : nullptr;
}

unsigned GetStringFlags(vcl::TControl* control, vcl::TAlignment alignment) {
  unsigned f = DT_VCENTER | DT_EXPANDTABS;
  // The platform knows no right-to-left reading: the alignment is taken as it is.
  const bool rtl = false;
  (void)control;
  switch (alignment) {
    case vcl::taLeftJustify: f |= rtl ? DT_RIGHT : DT_LEFT; break;
    case vcl::taRightJustify: f |= rtl ? DT_LEFT : DT_RIGHT; break;
    default: f |= DT_CENTER; break;
  }
  return f;
}

bool ParentCI(vcl::TControl* control, TCacheInfo& ci) {
  TlvBGInfo bg;
  bg.PleaseDraw = false;
  GetBGInfo(bg, control ? control->Parent() : nullptr, false);
  if (bg.BgType == btNotReady) return false;
  ci = BGInfoToCI(bg);
  return true;
}

int ClampState(const TsGeneralData& g, int state) {
  return std::max(0, std::min(state, std::min<int>(g.States, 3) - 1));
}

vcl::TColor SectionFontColor(TsSkinManager* sm, int skinIndex, int state, vcl::TColor fallback) {
  if (!sm || !sm->IsValidSkinIndex(skinIndex)) return fallback;
  const TsGeneralData& g = sm->gd[static_cast<size_t>(skinIndex)];
  return g.Props[static_cast<size_t>(ClampState(g, state))].FontColor.Color;
}

void CopyCache(TsCommonData* sd, HDC dc, const vcl::TRect& r) {
  vcl::TBitmap* cache = sd ? sd->CacheBmp() : nullptr;
  if (!cache || cache->Empty()) return;
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), cache->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
}

}  // namespace sctrl
