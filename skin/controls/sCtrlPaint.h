#pragma once
// Small pieces the skinned buttons, panels, edits and combo boxes share when they paint from the skin: the
// section and border image of a control's skin state, text flags by alignment, the parent's background as a cache
// description, and copying a control's cache bitmap to a device context.
#include "platform/vcl/controls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinTables.h"

namespace sctrl {

// The section of a skinned control's state; nullptr when it is not skinned.
const TsGeneralData* Section(TsCommonData* sd);
// The border image of the state's section; nullptr when the section has none.
const TsMaskData* BorderMask(TsCommonData* sd);
// DT_LEFT, DT_RIGHT or DT_CENTER by alignment, with DT_VCENTER and DT_EXPANDTABS (mirrored right to left).
unsigned GetStringFlags(vcl::TControl* control, vcl::TAlignment alignment);
// The parent's background behind control: false when the parent is not ready yet.
bool ParentCI(vcl::TControl* control, TCacheInfo& ci);
// Font colour of a section's state (the state clamped to the section's states); fallback without a section.
vcl::TColor SectionFontColor(TsSkinManager* sm, int skinIndex, int state, vcl::TColor fallback);
// The state clamped to what the section holds.
int ClampState(const TsGeneralData& g, int state);
// The cache (or part of it) into dc.
void CopyCache(TsCommonData* sd, HDC dc, const vcl::TRect& r);
inline void Offset(vcl::TRect& r, int dx, int dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
}
inline void Inflate(vcl::TRect& r, int dx, int dy) {
  r.Left -= dx;
  r.Right += dx;
  r.Top -= dy;
  r.Bottom += dy;
}
inline bool Designing(TsSkinManager* sm) { return sm && sm->ComponentState().Contains(vcl::csDesigning); }
// A section's colour value ($00BBGGRR) of a state as it appears in 32-bit pixels ($00RRGGBB).
inline std::uint32_t PixelOf(std::int32_t colour) {
  return static_cast<std::uint32_t>(((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF));
}

}  // namespace sctrl
