#pragma once
// Collections: an owned list of small records (grid columns, report datasets, display formats) whose items are
// persistent objects with published properties of their own. A collection is a sub-object property of its owner
// and is streamed as "Columns = < item ... end item ... end >".
//
//   class TColumn : public TCollectionItem {
//     VCL_CLASS(TColumn, TCollectionItem)
//   public:
//     explicit TColumn(TCollection* collection) : TCollectionItem(collection) {}
//     ...
//   };
//   FColumns = new TCollection(TColumn::StaticClass(), this);   // owner: the grid
//   auto* col = FColumns->Add<TColumn>();
#include <vector>

#include "platform/vcl/typinfo.h"

namespace vcl {

class TCollection;

VCL_ENUM(TCollectionNotification, cnAdded, cnExtracting, cnDeleting)

class TCollectionItem : public TPersistent {
  VCL_CLASS(TCollectionItem, rtl::TPersistent)
public:
  // Adds the item to collection (when given) at its end.
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  // Moves the item into another collection (or out of any with nullptr).
  virtual void SetCollection(TCollection* collection);
  int Index() const;
  virtual void SetIndex(int index);
  // A number unique within the collection for the item's life, kept when items move.
  int ID() const { return id_; }
  // The caption designers show; the class name unless overridden.
  virtual String DisplayName() const;
  virtual void SetDisplayName(const String& value);
  String GetNamePath() const override;
  TPersistent* GetOwner() const override;

protected:
  // Tells the collection that this item (or, with allItems, every item) changed.
  void Changed(bool allItems);

private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
  VCL_CLASS(TCollection, rtl::TPersistent)
public:
  explicit TCollection(const TClassInfo* itemClass, TPersistent* owner = nullptr);
  ~TCollection() override;

  const TClassInfo* ItemClass() const { return item_class_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises rtl::EListError for an index out of range.
  TCollectionItem* Items(int index) const;
  template <class T>
  T* Items(int index) const {
    return dynamic_cast<T*>(Items(index));
  }
  // A new item of the item class at the end.
  TCollectionItem* Add();
  template <class T>
  T* Add() {
    return dynamic_cast<T*>(Add());
  }
  // A new item at index (moved there after being added).
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  TCollectionItem* FindItemID(int id) const;
  // Takes the item out of the collection without freeing it.
  void Extract(TCollectionItem* item);

  // Updates are counted; Update(nullptr) follows the last EndUpdate once for all changes made meanwhile.
  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return update_count_; }

  void Assign(const TPersistent* source) override;
  TPersistent* GetOwner() const override { return owner_; }
  void SetOwner(TPersistent* owner) { owner_ = owner; }
  String GetNamePath() const override;
  // The name of the owner's property that holds this collection ("Columns"); empty when none does.
  String PropName() const;

protected:
  // An item changed (nullptr: the whole collection). Called unless an update is under way.
  virtual void Update(TCollectionItem* item) {}
  virtual void Notify(TCollectionItem* item, TCollectionNotification action);
  // New item: after it is in the list.
  virtual void Added(TCollectionItem* item) {}
  // Item about to be removed: still in the list.
  virtual void Deleting(TCollectionItem* item) {}
  void Changed();

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void ItemChanged(TCollectionItem* item);

  const TClassInfo* item_class_;
  TPersistent* owner_;
  std::vector<TCollectionItem*> items_;
  int next_id_ = 0;
  int update_count_ = 0;
};

}  // namespace vcl
