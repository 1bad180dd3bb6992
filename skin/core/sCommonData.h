#pragma once
// The skin state every skinned control owns and publishes as SkinData: which skin section it is drawn from, the
// indexes found for that section, its own cache bitmap and the flags the shared message handling keeps.
//
// Only the stored state and the choice of section live here so far. While no active manager has sections loaded
// every index stays -1, Skinned() answers False and the owner paints as its platform counterpart.
#include <memory>

#include "platform/rtl/object.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/component.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/typinfo.h"

class TsSkinManager;

// Control kind codes: the owner's kind decides its default section.
constexpr int COC_TsCustom = 1, COC_TsSpinEdit = 2, COC_TsEdit = 3, COC_TsMemo = 7, COC_TsListBox = 8,
              COC_TsColorBox = 9, COC_TsListView = 10, COC_TsCurrencyEdit = 12, COC_TsComboBox = 13,
              COC_TsTreeView = 14, COC_TsComboBoxEx = 18, COC_TsFrameBar = 19, COC_TsBarTitle = 20, COC_TsCheckBox = 32,
              COC_TsDBCheckBox = 32, COC_TsRadioButton = 33, COC_TsSlider = 34, COC_TsImage = 50, COC_TsPanel = 51,
              COC_TsCoolBar = 53, COC_TsToolBar = 54, COC_TsDragBar = 56, COC_TsTabSheet = 57, COC_TsScrollBox = 58,
              COC_TsMonthCalendar = 59, COC_TsGroupBox = 74, COC_TsSplitter = 75, COC_TsDBEdit = 76, COC_TsDBMemo = 78,
              COC_TsDBComboBox = 81, COC_TsDBLookupComboBox = 82, COC_TsDBListBox = 83, COC_TsDBLookupListBox = 84,
              COC_TsDBGrid = 85, COC_TsSpeedButton = 92, COC_TsButton = 93, COC_TsBitBtn = 94, COC_TsNavButton = 98,
              COC_TsBevel = 110, COC_TsFileDirEdit = 132, COC_TsFilenameEdit = 133, COC_TsDirectoryEdit = 134,
              COC_TsCustomDateEdit = 137, COC_TsComboEdit = 138, COC_TsDateEdit = 140, COC_TsPageControl = 141,
              COC_TsScrollBar = 142, COC_TsTabControl = 143, COC_TsStatusBar = 151, COC_TsHeaderControl = 152,
              COC_TsGauge = 161, COC_TsTrackBar = 165, COC_TsSkinProvider = 224, COC_TsMDIForm = 225,
              COC_TsFrameAdapter = 226, COC_TsAdapter = 230, COC_TsAdapterEdit = 231, COC_Unknown = 250;

// Control state flags (CtrlSkinState).
constexpr unsigned LVCS_FAST = 1, LVCS_BGUNDEF = 2, LVCS_PRINTING = 0x200, LVCS_MNUPDATING = 0x400, LVCS_LOCKED = 0x800,
                   LVCS_FOCUSCHANGING = 0x1000, LVCS_CHANGING = 0x2000, LVCS_BGRECEIVING = 0x4000;

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

protected:
  // Picks the section from SkinSection or the kind code.
  void UpdateData();
  void UpdateIndexes(bool updateMain = true);

private:
  class TManagerWatch;
  void ManagerGone(vcl::TComponent* manager);

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
};

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
