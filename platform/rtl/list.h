#pragma once
// A list of untyped pointers, and the list of objects that may own what it holds.
#include <functional>
#include <vector>

#include "platform/rtl/object.h"

namespace rtl {

// Negative when a sorts before b, 0 when equal, positive otherwise.
using TListSortCompare = std::function<int(void* a, void* b)>;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

class TList : public TObject {
public:
  TList() = default;
  ~TList() override;
  String ClassName() const override { return L"TList"; }

  Integer Add(void* item);
  void Insert(Integer index, void* item);
  void Delete(Integer index);
  // Removes the first occurrence; returns the index it had, -1 when absent.
  Integer Remove(void* item);
  // Takes the first occurrence out without deleting it; nil when absent.
  void* Extract(void* item);
  Integer IndexOf(void* item) const;
  virtual void Clear();

  Integer Count() const { return static_cast<Integer>(items_.size()); }
  // Growing fills with nil; shrinking deletes from the end.
  void SetCount(Integer count);
  Integer Capacity() const { return static_cast<Integer>(items_.capacity()); }
  void SetCapacity(Integer capacity);
  void* Items(Integer index) const;
  void SetItems(Integer index, void* item);
  void* operator[](Integer index) const { return Items(index); }
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }

  void Exchange(Integer index1, Integer index2);
  void Move(Integer curIndex, Integer newIndex);
  // Drops the nil entries.
  void Pack();
  // Stable: entries that compare equal keep their order.
  void Sort(const TListSortCompare& compare);
  const std::vector<void*>& List() const { return items_; }

protected:
  virtual void Notify(void* item, TListNotification action) {}
  [[noreturn]] static void IndexError(Integer index);

private:
  std::vector<void*> items_;
};

// Frees its objects when they are deleted, replaced or the list is destroyed, while OwnsObjects is set.
class TObjectList : public TList {
public:
  explicit TObjectList(bool ownsObjects = true) : ownsObjects_(ownsObjects) {}
  ~TObjectList() override;
  String ClassName() const override { return L"TObjectList"; }

  Integer Add(TObject* object) { return TList::Add(object); }
  void Insert(Integer index, TObject* object) { TList::Insert(index, object); }
  Integer Remove(TObject* object) { return TList::Remove(object); }
  Integer IndexOf(TObject* object) const { return TList::IndexOf(object); }
  TObject* Extract(TObject* object) { return static_cast<TObject*>(TList::Extract(object)); }
  TObject* Items(Integer index) const { return static_cast<TObject*>(TList::Items(index)); }
  void SetItems(Integer index, TObject* object) { TList::SetItems(index, object); }
  TObject* operator[](Integer index) const { return Items(index); }
  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool value) { ownsObjects_ = value; }

protected:
  void Notify(void* item, TListNotification action) override;

private:
  bool ownsObjects_;
};

}  // namespace rtl
