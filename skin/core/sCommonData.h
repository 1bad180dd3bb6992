#pragma once
// The skin state every skinned control owns and publishes as SkinData: which skin section it is drawn from, the
// indexes found for that section, its own cache bitmap and the flags the shared message handling keeps.
//
// While no active manager has sections loaded every index stays -1, Skinned() answers False and the owner paints as
// its platform counterpart. An owner without a section name of its own is asked for its default section with
// LVC_GETDEFINDEX.
#include <memory>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/component.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/typinfo.h"
#include "skin/core/sConst.h"

class TsSkinManager;
class TlvThreadedTimer;
class TlvOuterEffects;

constexpr int clNoColorTone = 0x1FFFFFFF;

class TsCommonData : public rtl::TPersistent {
  VCL_CLASS(TsCommonData, rtl::TPersistent)
  // owner: the control (or window wrapper) the state belongs to; createCacheBmp: make the cache bitmap now.
  TsCommonData(rtl::TObject* owner, bool createCacheBmp);
  ~TsCommonData() override;
  TsCommonData(const TsCommonData&) = delete;
  TsCommonData& operator=(const TsCommonData&) = delete;

  void Assign(const rtl::TPersistent* source) override;

  // Published.
  bool CustomColor() const { return FCustomColor; }
  void SetCustomColor(bool value);
  bool CustomFont() const { return FCustomFont; }
  void SetCustomFont(bool value);
  // The owner's own manager, else DefaultManager; nullptr when there is none.
  TsSkinManager* SkinManager() const;
  // Setting DefaultManager stores nothing: the default is followed, not pinned.
  void SetSkinManager(TsSkinManager* value);
  bool IsSkinManagerStored() const { return FSkinManager != nullptr; }
  const rtl::String& SkinSection() const { return FSkinSection; }
  // Stored upper-cased; an equal name changes nothing.
  void SetSkinSection(const rtl::String& value);
  TlvOuterEffects* OuterEffects() const { return FOuterEffects.get(); }
  void SetOuterEffects(TlvOuterEffects* value);

  // The owner has been read (or made in code): the section is chosen and the indexes computed.
  void Loaded();
  // True when an existing, active manager knows the owner's section.
  bool Skinned(bool checkSkinActive = false) const;
  // Marks the cached look stale and has the owner repainted; nothing while the owner is still loading.
  void Invalidate(bool updateNow = false);
  void BeginUpdate();
  void EndUpdate(bool repaint = false);
  bool Updating() const { return FUpdating; }
  // Makes the cache bitmap when missing and sizes it to an owner control.
  void InitCacheBmp();
  vcl::TBitmap* CacheBmp() const { return FCacheBmp.get(); }
  rtl::TObject* OwnerObject() const { return FOwnerObject; }
  vcl::TControl* OwnerControl() const { return FOwnerControl; }
  bool ManagerIsOwn() const { return FSkinManager != nullptr; }
  // A window wrapper's own skin state takes the control it serves (nullptr for a bare window) after creation.
  void SetOwners(rtl::TObject* ownerObject, vcl::TControl* ownerControl) {
    FOwnerObject = ownerObject;
    FOwnerControl = ownerControl;
  }

  // Fields the painters and the message handling share.
  bool FFocused = false;
  bool FMouseAbove = false;
  bool HalfVisible = true;
  bool Loading = true;
  int COC = 0;
  int GlowID = -1;
  int Texture = -1;
  int FHUEOffset = 0;
  int FSaturation = 0;
  int BorderIndex = -1;
  int HotTexture = -1;
  HDC PrintDC = nullptr;
  int FColorTone = clNoColorTone;
  HWND FSWHandle = nullptr;
  unsigned short BGType = 0;
  unsigned short CtrlSkinState = LVCS_BGUNDEF;
  bool BGChanged = true;
  int SkinIndex = -1;
  // The running state fade or glow (owned; see sAnimTimer.h).
  TlvThreadedTimer* AnimTimer = nullptr;

  // Picks the section from SkinSection or the kind code.
  void UpdateData();
  // SkinIndex from the section name (or the owner's LVC_GETDEFINDEX answer), then the border and texture indexes.
  void UpdateIndexes(bool updateMain = true);
  // The first of names the manager knows becomes the section, then the indexes follow it.
  void InitIndexes(const std::vector<rtl::String>& names);
  // Drops the manager link (the manager is going).
  void ForgetManager();
  // Forgets the owner control, the owner object and the scroll wrapper's window (they are going away).
  void ClearLinks();
  bool UpdatingFlag() const { return FUpdating; }
  void SetUpdatingFlag(bool value) { FUpdating = value; }
  // The background kind flags (BGT_) of the section's normal state.
  void InitBGType();
  // The owner's window carries this object as its "LVSDATA" property (when it has a window).
  void InitCommonProp();
  void RemoveCommonProp();

  // What lay under the outer shadow when it was last painted (sOuterEffects.h).
  std::unique_ptr<vcl::TBitmap> FOuterCache;
  // Kept for the scroll bars of window wrappers (horizontal, vertical).
  vcl::TRect InvalidRectH, InvalidRectV;

 private:
  class TManagerWatch;
  void ManagerGone(vcl::TComponent* manager);
  // LVC_BEGINUPDATE or LVC_ENDUPDATE to the owner control, or to the form of a form skin provider.
  void NotifyUpdate(WORD command);

  bool FCustomFont = false;
  bool FCustomColor = false;
  int FUpdateCount = 0;
  rtl::String FSkinSection;
  bool FUpdating = false;
  std::unique_ptr<vcl::TBitmap> FCacheBmp;
  rtl::TObject* FOwnerObject = nullptr;
  TsSkinManager* FSkinManager = nullptr;
  vcl::TControl* FOwnerControl = nullptr;
  std::unique_ptr<TManagerWatch> FWatch;
  std::unique_ptr<TlvOuterEffects> FOuterEffects;
};

// The skin state a window carries as its "LVSDATA" property; nullptr when it carries none.
TsCommonData* GetCommonData(HWND handle);

// The skin state of controls whose skin images can be re-toned.
class TsCtrlSkinData : public TsCommonData {
  VCL_CLASS(TsCtrlSkinData, TsCommonData)
  TsCtrlSkinData(rtl::TObject* owner, bool createCacheBmp) : TsCommonData(owner, createCacheBmp) {}
  int HUEOffset() const { return FHUEOffset; }
  void SetHUEOffset(int value);
  int Saturation() const { return FSaturation; }
  void SetSaturation(int value);
  int ColorTone() const { return FColorTone; }
  void SetColorTone(int value);
};

class TsScrollWndData;

// Width and button size of a skinned scroll bar; -1 means the skin's or the system's.
class TlvScrollData : public rtl::TPersistent {
  VCL_CLASS(TlvScrollData, rtl::TPersistent)
  explicit TlvScrollData(TsCommonData* owner = nullptr) : FOwner(owner) {}
  int ScrollWidth() const { return FScrollWidth; }
  void SetScrollWidth(int value);
  int ButtonsSize() const { return FButtonsSize; }
  void SetButtonsSize(int value);
  void Assign(const rtl::TPersistent* source) override;

 private:
  HWND OwnerWindow() const;
  int FScrollWidth = -1;
  int FButtonsSize = -1;
  TsCommonData* FOwner;
};

// The skin state of scrolling controls: the common state and one description per scroll bar.
class TsScrollWndData : public TsCommonData {
  VCL_CLASS(TsScrollWndData, TsCommonData)
  TsScrollWndData(rtl::TObject* owner, bool createCacheBmp);
  TlvScrollData* VertScrollData() const { return FVertScrollData.get(); }
  void SetVertScrollData(TlvScrollData* value) { FVertScrollData->Assign(value); }
  TlvScrollData* HorzScrollData() const { return FHorzScrollData.get(); }
  void SetHorzScrollData(TlvScrollData* value) { FHorzScrollData->Assign(value); }

 private:
  std::unique_ptr<TlvScrollData> FVertScrollData;
  std::unique_ptr<TlvScrollData> FHorzScrollData;
};
