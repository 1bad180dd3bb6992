#include "skin/core/sCommonMessage.h"

#include "platform/vcl/application.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sMessages.h"
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
      d->UpdateData();
      if (!d->SkinSection().empty()) d->InitIndexes({d->SkinSection()});
      EmptyCache(d);
      RestrictDrawing = false;
      return true;
    case LVC_REMOVESKIN: {
      if (!FromOwnManager(m, d)) return true;
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
      return true;
    case LVC_SETBGCHANGED:
      d->BGChanged = true;
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
