#pragma once
// The control adapter of a skinned form: it walks the form's controls, picks by exact class name those that a
// window wrapper can skin (the 23 class-name lists, the provider's own when it has any, else the manager's) and
// attaches the wrapper of that kind to each; the application may veto or re-section every control. Also the link of
// an MDI main form's provider to its client window and the buttons of a maximised MDI child.
#include <array>
#include <memory>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/windows/lvSBUtils.h"

class TlvCtrlAdapter;

// One adapted windowed control and the wrapper attached to it (owned).
class TlvAdapterItem : public rtl::TPersistent {
 public:
  TlvAdapterItem(TlvCtrlAdapter* adapter, vcl::TWinControl* control) : Adapter(adapter), WinCtrl(control) {}
  ~TlvAdapterItem() override;
  void DoHook(vcl::TWinControl* control, TlvSkinParams& params);
  int COC = 0;
  TlvCtrlAdapter* Adapter;
  vcl::TWinControl* WinCtrl;
  TlvMainWnd* ScrollWnd = nullptr;
};

class TlvCtrlAdapter : public rtl::TPersistent {
 public:
  explicit TlvCtrlAdapter(TsSkinProvider* provider);
  ~TlvCtrlAdapter() override;
  void AddAllItems(vcl::TWinControl* ownerCtrl = nullptr);
  void AddNewItem(vcl::TWinControl* control);
  void AddNewItem(vcl::TWinControl* control, const rtl::String& skinSection);
  // Sends the message to the window of every live item whose control has a parent.
  void WndProc(vcl::TMessage& m);
  bool IsControlSupported(vcl::TComponent* control);
  void CleanItems();
  void RemoveAllItems();
  int Count() const { return static_cast<int>(Items.size()); }
  TlvAdapterItem* GetItem(int index) const;
  int IndexOf(vcl::TControl* control) const;
  void RemoveItem(int index);
  // The provider's own class-name lists (index = kind of control); used instead of the manager's when any is
  // non-empty.
  rtl::TStringList* ThirdList(int index) { return ThirdLists[static_cast<size_t>(index)].get(); }
  bool OwnThirdLists() const;
  // The first list naming the control's class (exact, case-sensitive); -1 when none.
  int SearchSupport(vcl::TControl* control) const;

  bool bFlag = false;
  rtl::String DefaultSection;
  std::vector<TlvAdapterItem*> Items;
  TsSkinProvider* Provider;

 private:
  std::array<std::unique_ptr<rtl::TStringList>, 23> ThirdLists;
};

// True while RemoveAllItems frees the wrappers.
extern bool ItemsRemoving;

// The provider of an MDI main form and its client window; the buttons of a maximised child act on the active one.
class TsMDIForm : public rtl::TPersistent {
 public:
  explicit TsMDIForm(TsSkinProvider* provider);
  ~TsMDIForm() override;
  // Wraps the MDI client unless its wrapper is alive.
  void ConnectToClient();
  // A new client wrapper while the provider is skinned, none while it is not.
  void RefreshMDIScrolls();
  void DestroyScrolls();
  void CloseClick();
  void MinClick();
  void RestoreClick();
  void UpdateMDIIconItem();

  vcl::TCustomForm* FForm;
  TlvScrollWnd* ListSW = nullptr;
  TsSkinProvider* SkinProvider;
};

// Greets the skin editor from the preview's main window (only with "/lvpreview" and only once).
void TrySayHelloToEditor(HWND handle);
