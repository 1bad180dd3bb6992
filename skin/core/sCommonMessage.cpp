#include "skin/core/sCommonMessage.h"

#include "platform/vcl/application.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMessages.h"
#include "skin/core/sOuterEffects.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"

bool RestrictDrawing = false;

namespace {

bool FromOwnManager(const vcl::TMessage& m, TsCommonData* d) {
  return reinterpret_cast<TsSkinManager*>(m.LParam) == d->SkinManager();
}

bool FullyTransparent(TsSkinManager* manager, int skinIndex) {
  const TsGeneralData& g = manager->gd[static_cast<size_t>(skinIndex)];
  return g.Props[0].Transparency == 100 && g.Props[1].Transparency == 100;
}

void EmptyCache(TsCommonData* d) {
  if (vcl::TBitmap* cache = d->CacheBmp()) cache->SetSize(0, 0);
}

// The colour children take as the owner's background.
vcl::TColor ControlColor(TsCommonData* d) {
  vcl::TControl* owner = d->OwnerControl();
  if (!owner) return 0;
  if (!d->Skinned()) return vcl::ColorToRGB(owner->Color());
  const TsGenState& s0 = d->SkinManager()->gd[static_cast<size_t>(d->SkinIndex)].Props[0];
  const int t = s0.Transparency;
  if (t == 0) return s0.Color;
  vcl::TWinControl* parent = owner->Parent();
  if (t == 100) {
    if (!parent) return vcl::ColorToRGB(owner->Color());
    if (parent->HandleAllocated() && SendAMessage(parent->Handle(), LVC_CTRLHANDLED) == 1)
      return static_cast<vcl::TColor>(SendAMessage(parent->Handle(), LVC_GETCONTROLCOLOR));
    return parent->Color();
  }
  const std::uint32_t p = parent ? static_cast<std::uint32_t>(GetControlColor(parent))
                                 : static_cast<std::uint32_t>(vcl::ColorToRGB(owner->Color()));
  const std::uint32_t c = static_cast<std::uint32_t>(s0.Color);
  std::uint32_t out = p & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    int pc = (p >> shift) & 0xFF, cc = (c >> shift) & 0xFF;
    out |= static_cast<std::uint32_t>((((pc - cc) * t + cc * 256) >> 8) & 0xFF) << shift;
  }
  return static_cast<vcl::TColor>(out);
}

}  // namespace

void UpdateCtrlColors(TsCommonData* d, bool repaint) {
  vcl::TControl* owner = d->OwnerControl();
  if (!owner) return;
  auto* win = dynamic_cast<vcl::TWinControl*>(owner);
  if (win && !win->HandleAllocated()) return;
  TsSkinManager* manager = d->SkinManager();
  if (d->Skinned() && sEditCtrls.Contains(d->COC) && !FullyTransparent(manager, d->SkinIndex)) {
    const TsGenState& s = manager->gd[static_cast<size_t>(d->SkinIndex)].Props[0];
    if (!d->CustomColor()) {
      vcl::TColor c = ChangeSaturation(ChangeHue(d->FHUEOffset, s.Color), d->FSaturation);
      if (owner->Color() != c) owner->SetColor(c);
    }
    if (!d->CustomFont() && (d->COC != COC_TsListView || lv_AllowHotEdits)) {
      vcl::TColor c = ChangeSaturation(ChangeHue(d->FHUEOffset, s.FontColor.Color), d->FSaturation);
      if (owner->Font()->Color() != c) {
        d->CtrlSkinState |= LVCS_CHANGING;
        owner->Font()->SetColor(c);
        d->CtrlSkinState &= static_cast<unsigned short>(~LVCS_CHANGING);
      }
    }
  }
  if (repaint) d->Invalidate(false);
}

bool CommonMessage(vcl::TMessage& m, TsCommonData* d) {
  if (m.Msg != SM_LUMICMD || !d) return true;
  vcl::TControl* owner = d->OwnerControl();
  switch (m.WParamHi()) {
    case LVC_SETNEWSKIN:
      if (!FromOwnManager(m, d)) return true;
      StopTimer(d);
      d->UpdateData();
      if (!d->SkinSection().empty()) d->InitIndexes({d->SkinSection()});
      EmptyCache(d);
      RestrictDrawing = false;
      return true;
    case LVC_REMOVESKIN: {
      if (!FromOwnManager(m, d)) return true;
      StopTimer(d);
      TsSkinManager* manager = d->SkinManager();
      if (manager && manager->ComponentState().Contains(vcl::csDestroying) && d->ManagerIsOwn()) d->ForgetManager();
      d->BorderIndex = d->SkinIndex = d->Texture = d->HotTexture = -1;
      d->SetUpdatingFlag(true);
      EmptyCache(d);
      if (auto* edit = dynamic_cast<vcl::TCustomEdit*>(owner)) {
        if (!d->CustomColor()) edit->SetColor(vcl::clWindow);
        if (!d->CustomFont()) edit->Font()->SetColor(vcl::clWindowText);
        if (edit->HandleAllocated()) RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      } else if (auto* win = dynamic_cast<vcl::TWinControl*>(owner)) {
        for (int i = 0; i < win->ControlCount(); ++i)
          if (auto* label = dynamic_cast<vcl::TLabel*>(win->Controls(i))) label->Font()->SetColor(vcl::clWindowText);
      }
      return true;
    }
    case LVC_REFRESH:
      if (!FromOwnManager(m, d)) return true;
      StopTimer(d);
      d->BGChanged = true;
      d->SetUpdatingFlag(false);
      UpdateCtrlColors(d, true);
      if (auto* win = dynamic_cast<vcl::TWinControl*>(owner);
          win && win->HandleAllocated() && ssScrolledEdits.Contains(d->COC))
        SetWindowPos(win->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
      return true;
    case LVC_CTRLHANDLED:
      m.Result = 1;
      return true;
    case LVC_UPDATING:
      d->SetUpdatingFlag(m.WParamLo() == 1);
      return true;
    case LVC_GETHALFVISIBLE:
      m.Result = d->HalfVisible ? 1 : 0;
      return true;
    case LVC_SETHALFVISIBLE:
      d->HalfVisible = true;
      return true;
    case LVC_UPDATESECTION:
      if (m.LParam && *reinterpret_cast<const rtl::String*>(m.LParam) == d->SkinSection()) d->Invalidate(false);
      return true;
    case LVC_SETSECTION:
      if (!m.LParam) {
        m.Result = 0;
        return true;
      }
      d->SetSkinSection(*reinterpret_cast<const rtl::String*>(m.LParam));
      m.Result = 1;
      return true;
    case LVC_STOPFADING:
      StopTimer(d);
      return true;
    case LVC_ENDPARENTUPDATE:
      if (auto* win = dynamic_cast<vcl::TWinControl*>(owner); win && d->UpdatingFlag()) {
        if (!InUpdating(d, true) && win->HandleAllocated()) RedrawWindow(win->Handle(), nullptr, nullptr, 0x585);
        SetParentUpdated(win);
      }
      return true;
    case LVC_PREPARING: {
      auto* win = dynamic_cast<vcl::TWinControl*>(owner);
      if (InUpdating(d, false)) {
        m.Result = 1;
      } else if (!IsCached(d) || d->CustomColor() || !win) {
        m.Result = 0;
      } else if (d->CacheBmp() && d->CacheBmp()->Width() > 0) {
        m.Result = d->CacheBmp()->Width() != win->Width() || d->CacheBmp()->Height() != win->Height() ? 1 : 0;
      } else {
        win->Perform(SM_LUMICMD, MakeLumiWParam(LVC_PREPARECACHE), 0);
        m.Result = !d->CacheBmp() || d->CacheBmp()->Width() == 0 ? 1 : 0;
      }
      return true;
    }
    case LVC_SETCHANGEDIFNECESSARY: {
      bool r = RepaintIfMoved(d);
      d->BGChanged = d->BGChanged || r;
      if (auto* win = dynamic_cast<vcl::TWinControl*>(owner)) {
        if (m.WParamLo() == 1 && win->HandleAllocated()) RedrawWindow(win->Handle(), nullptr, nullptr, 0xB1);
        if (r)
          for (int i = 0; i < win->ControlCount(); ++i) {
            vcl::TControl* child = win->Controls(i);
            if (!child->ComponentState().Contains(vcl::csDestroying))
              child->Perform(SM_LUMICMD, MakeLumiWParam(LVC_SETCHANGEDIFNECESSARY, 1), 0);
          }
      }
      return true;
    }
    case LVC_GETCONTROLCOLOR:
      m.Result = static_cast<LRESULT>(ControlColor(d));
      return true;
    case LVC_GETSKININDEX:
      if (m.LParam) reinterpret_cast<std::int32_t*>(m.LParam)[1] = d->SkinIndex;
      return true;
    case LVC_CLEARCACHE:
      if (d->CacheBmp()) {
        if (auto* win = dynamic_cast<vcl::TWinControl*>(owner))
          for (int i = 0; i < win->ControlCount(); ++i)
            if (auto* child = dynamic_cast<vcl::TWinControl*>(win->Controls(i)); child && child->HandleAllocated())
              SendAMessage(child->Handle(), LVC_CLEARCACHE);
        EmptyCache(d);
        d->BGChanged = true;
      }
      return true;
    case LVC_GETBG: {
      const bool hot = d->FFocused || (d->FMouseAbove && !sCanNotBeHot.Contains(d->COC));
      InitBGInfo(d, reinterpret_cast<TlvBGInfo*>(m.LParam), hot ? 1 : 0, nullptr);
      return true;
    }
    case LVC_GETSKINSTATE:
      if (m.LParam == 1) {
        UpdateSkinState(d, true);
      } else {
        if (d->CtrlSkinState == LVCS_BGUNDEF) UpdateSkinState(d, false);
        m.Result = d->CtrlSkinState;
      }
      return true;
    case LVC_GETFONTINDEX:
      if (d->Skinned() && m.LParam) {
        auto* info = reinterpret_cast<TlvPaintInfo*>(m.LParam);
        if (NeedParentFont(d) && owner && owner->Parent()) {
          m.Result = GetFontIndex(owner->Parent(), info);
        } else if (d->SkinManager()->gd[static_cast<size_t>(d->SkinIndex)].GiveOwnFont) {
          info->FontIndex = d->SkinIndex;
          m.Result = 1;
        }
      }
      return true;
    case LVC_REINITSCROLLS:
      if (auto* win = dynamic_cast<vcl::TWinControl*>(owner); win && win->HandleAllocated()) {
        SetWindowPos(win->Handle(), nullptr, 0, 0, 0, 0, 0x727);
        LumiBroadCast(win, m);
      }
      return true;
    case LVC_SETBGCHANGED:
      d->BGChanged = true;
      return true;
    case LVC_PAINTOUTER:
      PaintOuter(d, reinterpret_cast<TlvBGInfo*>(m.LParam), LOWORD(m.WParam));
      return true;
    case LVC_INVALIDATE:
      d->Invalidate(false);
      return true;
    case LVC_CHILDCHANGED:
      m.Result = 1;
      return true;
    case LVC_PREPARECACHE:
      d->BGChanged = false;
      return true;
    case LVC_GETSKINDATA:
      m.Result = reinterpret_cast<LRESULT>(d);
      return true;
    case LVC_PRINTING:
      if (m.LParam)
        d->CtrlSkinState |= LVCS_PRINTING;
      else
        d->CtrlSkinState &= static_cast<unsigned short>(~LVCS_PRINTING);
      d->PrintDC = reinterpret_cast<HDC>(m.LParam);
      return true;
    case LVC_GETAPPLICATION:
      m.Result = reinterpret_cast<LRESULT>(vcl::Application);
      return true;
    case LVC_GETOUTRGN:
      if (m.LParam) {
        auto* r = reinterpret_cast<vcl::TRect*>(m.LParam);
        *r = owner ? vcl::TRect(owner->Left(), owner->Top(), owner->Left() + owner->Width(),
                                owner->Top() + owner->Height())
                   : vcl::TRect();
      }
      return true;
    default:
      return false;
  }
}
