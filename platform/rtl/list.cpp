#include "platform/rtl/list.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

namespace rtl {

TList::~TList() {
  // TObjectList clears in its own destructor, while its Notify is still its own.
  Clear();
}

void TList::IndexError(Integer index) { throw EListError(L"List index out of bounds (" + IntToStr(index) + L")"); }

Integer TList::Add(void* item) {
  items_.push_back(item);
  if (item) Notify(item, lnAdded);
  return Count() - 1;
}

void TList::Insert(Integer index, void* item) {
  if (index < 0 || index > Count()) IndexError(index);
  items_.insert(items_.begin() + index, item);
  if (item) Notify(item, lnAdded);
}

void TList::Delete(Integer index) {
  if (index < 0 || index >= Count()) IndexError(index);
  void* item = items_[index];
  items_.erase(items_.begin() + index);
  if (item) Notify(item, lnDeleted);
}

Integer TList::Remove(void* item) {
  Integer index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* item) {
  Integer index = IndexOf(item);
  if (index < 0) return nullptr;
  void* found = items_[index];
  items_.erase(items_.begin() + index);
  Notify(found, lnExtracted);
  return found;
}

Integer TList::IndexOf(void* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<Integer>(it - items_.begin());
}

void TList::Clear() {
  SetCount(0);
  items_.shrink_to_fit();
}

void TList::SetCount(Integer count) {
  if (count < 0) throw EListError(L"List count out of bounds (" + IntToStr(count) + L")");
  if (count >= Count()) {
    items_.resize(count, nullptr);
    return;
  }
  // Delete one by one from the end, so that an owner freeing an object still finds a consistent list.
  while (Count() > count) Delete(Count() - 1);
}

void TList::SetCapacity(Integer capacity) {
  if (capacity < Count()) throw EListError(L"List capacity out of bounds (" + IntToStr(capacity) + L")");
  if (static_cast<size_t>(capacity) > items_.capacity())
    items_.reserve(capacity);
  else
    items_.shrink_to_fit();
}

void* TList::Items(Integer index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[index];
}

void TList::SetItems(Integer index, void* item) {
  if (index < 0 || index >= Count()) IndexError(index);
  void* old = items_[index];
  if (old == item) return;
  items_[index] = item;
  if (old) Notify(old, lnDeleted);
  if (item) Notify(item, lnAdded);
}

void TList::Exchange(Integer index1, Integer index2) {
  if (index1 < 0 || index1 >= Count()) IndexError(index1);
  if (index2 < 0 || index2 >= Count()) IndexError(index2);
  std::swap(items_[index1], items_[index2]);
}

void TList::Move(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex) return;
  if (newIndex < 0 || newIndex >= Count()) IndexError(newIndex);
  if (curIndex < 0 || curIndex >= Count()) IndexError(curIndex);
  void* item = items_[curIndex];
  items_.erase(items_.begin() + curIndex);
  items_.insert(items_.begin() + newIndex, item);
}

void TList::Pack() { items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end()); }

void TList::Sort(const TListSortCompare& compare) {
  std::stable_sort(items_.begin(), items_.end(), [&](void* a, void* b) { return compare(a, b) < 0; });
}

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* item, TListNotification action) {
  if (ownsObjects_ && action == lnDeleted) delete static_cast<TObject*>(item);
}

}  // namespace rtl
