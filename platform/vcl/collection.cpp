#include "platform/vcl/collection.h"

#include <algorithm>

#include "platform/rtl/strings.h"

namespace vcl {

TCollectionItem::TCollectionItem(TCollection* collection) {
  if (collection) SetCollection(collection);
}

TCollectionItem::~TCollectionItem() {
  if (collection_) collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* collection) {
  if (collection == collection_) return;
  if (collection_) collection_->RemoveItem(this);
  if (collection) collection->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!collection_) return -1;
  auto& items = collection_->items_;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int index) {
  int current = Index();
  if (current < 0 || index < 0 || index == current) return;
  auto& items = collection_->items_;
  index = std::min(index, static_cast<int>(items.size()) - 1);
  items.erase(items.begin() + current);
  items.insert(items.begin() + index, this);
  Changed(true);
}

String TCollectionItem::DisplayName() const { return ClassName(); }

void TCollectionItem::SetDisplayName(const String&) { Changed(false); }

String TCollectionItem::GetNamePath() const {
  if (!collection_) return ClassName();
  return collection_->GetNamePath() + L"[" + rtl::IntToStr(Index()) + L"]";
}

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

void TCollectionItem::Changed(bool allItems) {
  if (collection_) collection_->ItemChanged(allItems ? nullptr : this);
}

TCollection::TCollection(const TClassInfo* itemClass, TPersistent* owner) : item_class_(itemClass), owner_(owner) {
  if (!item_class_) item_class_ = TCollectionItem::StaticClass();
}

TCollection::~TCollection() {
  update_count_ = 1;  // no Update calls while tearing down
  Clear();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count())
    throw rtl::EListError(L"List index out of bounds (" + rtl::IntToStr(index) + L")");
  return items_[static_cast<size_t>(index)];
}

TCollectionItem* TCollection::Add() {
  // Built outside the collection and inserted once whole, so Added sees the complete item.
  TObject* obj = item_class_->CreateInstance(TCreateArgs{});
  auto* item = dynamic_cast<TCollectionItem*>(obj);
  if (!item) {
    obj->Free();
    throw EPropertyError(L"Class " + item_class_->ClassName() + L" is not a collection item class");
  }
  item->SetCollection(this);
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) { Items(index)->Free(); }

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  try {
    while (!items_.empty()) items_.back()->Free();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : items_)
    if (item->id_ == id) return item;
  return nullptr;
}

void TCollection::Extract(TCollectionItem* item) {
  if (!item || item->collection_ != this) return;
  Notify(item, cnExtracting);
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  item->collection_ = nullptr;
  Changed();
}

void TCollection::BeginUpdate() { ++update_count_; }

void TCollection::EndUpdate() {
  if (update_count_ > 0) --update_count_;
  Changed();
}

void TCollection::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TCollection*>(source)) {
    if (other == this) return;
    BeginUpdate();
    try {
      Clear();
      for (TCollectionItem* src : other->items_) Add()->Assign(src);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(source);
}

String TCollection::PropName() const {
  if (!owner_) return L"";
  const TClassInfo* cls = ClassOf(owner_);
  if (!cls) return L"";
  for (const TPropInfo* p : cls->Properties())
    if (p->Kind() == tkClass && p->IsReadable() && p->GetObject(owner_) == this) return p->Name();
  return L"";
}

String TCollection::GetNamePath() const {
  String prop = PropName();
  if (!owner_ || prop.empty()) return ClassName();
  String ownerPath = owner_->GetNamePath();
  return ownerPath.empty() ? prop : ownerPath + L"." + prop;
}

void TCollection::Notify(TCollectionItem* item, TCollectionNotification action) {
  if (action == cnAdded)
    Added(item);
  else if (action == cnDeleting)
    Deleting(item);
}

void TCollection::Changed() {
  if (update_count_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  item->id_ = next_id_++;
  Notify(item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  Notify(item, cnDeleting);
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  item->collection_ = nullptr;
  Changed();
}

void TCollection::ItemChanged(TCollectionItem* item) {
  if (update_count_ == 0) Update(item);
}

VCL_REGISTER(TCollectionItem) {}

VCL_REGISTER(TCollection) {}

}  // namespace vcl
