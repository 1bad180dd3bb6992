#pragma once
// The outline of prepared pages: a tree of captions under the store's "outline" element, each an element "item"
// with text, page (0-based) and top, in that order; the engine adds to it while it runs and the preview shows it.
#include "report/model/qvxPreviewIntf.h"

class TqvxPreviewPages;

class TqvxOutline : public TqvxCustomOutline {
 public:
  explicit TqvxOutline(TqvxCustomPreviewPages* previewPages) : TqvxCustomOutline(previewPages) {}
  rtl::String ClassName() const override { return L"TqvxOutline"; }

  // Children of the current level. No current item (a new or reloaded store) is the root level.
  rtl::Integer GetCount() override;
  // Appends an entry on the store's current page at top under the current item and makes it current; the caller
  // comes back with LevelUp.
  void AddItem(const rtl::String& text, rtl::Integer top) override;
  // Index must be below GetCount (EListError otherwise).
  void LevelDown(rtl::Integer index) override;
  void LevelRoot() override;
  // Nothing at the root.
  void LevelUp() override;
  // Text, page and top of child index of the current level; page and top stay as they are when the entry lacks
  // them. A page may lie outside the store's pages (a page deleted after the entry was made).
  void GetItem(rtl::Integer index, rtl::String& text, rtl::Integer& page, rtl::Integer& top) override;
  // The entry right after from (with its sub-entries) moves to the next page, its top to newTop.
  void ShiftItems(TqvxXMLItem* from, rtl::Integer newTop) override;
  // The last child of the current level, nullptr when it has none.
  TqvxXMLItem* GetCurPosition() override;

  // The root's "outline" element (created when missing).
  TqvxXMLItem* Root();
  // The "outline" element when it exists.
  TqvxXMLItem* FindRoot();
  // Forgets the current item (its element is being freed).
  void Reset() { CurItem = nullptr; }

 private:
  TqvxPreviewPages* Store() const;
  // The current level for reading: CurItem, else the root when it exists.
  TqvxXMLItem* Level();
};
