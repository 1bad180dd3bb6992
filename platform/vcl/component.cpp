#include "platform/vcl/component.h"

#include <algorithm>

#include "platform/rtl/strings.h"

namespace vcl {

bool IsValidComponentName(const String& name) { return rtl::IsValidIdent(name); }

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

void TComponent::BeforeDestruction() {
  if (!state_.Contains(csDestroying)) Destroying();
  // Owned components go while this one is still whole, so their notifications reach its overrides.
  DestroyComponents();
  destroyed_components_ = true;
}

TComponent::~TComponent() {
  if (!state_.Contains(csDestroying)) Destroying();
  // Whoever asked to be told about this one forgets it now; this one forgets them too.
  while (!free_notifies_.empty()) {
    TComponent* other = free_notifies_.back();
    free_notifies_.pop_back();
    auto& theirs = other->free_notifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    if (other->owner_ != owner_ || !owner_) other->Notification(this, opRemove);
  }
  if (!destroyed_components_) DestroyComponents();
  ReleaseFromOwner();
}

void TComponent::ReleaseFromOwner() {
  if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw rtl::EListError(L"List index out of bounds (" + rtl::IntToStr(index) + L")");
  return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int index) {
  if (!owner_) return;
  auto& list = owner_->components_;
  int current = ComponentIndex();
  if (current < 0) return;
  index = std::clamp(index, 0, static_cast<int>(list.size()) - 1);
  list.erase(list.begin() + current);
  list.insert(list.begin() + index, this);
}

void TComponent::SetName(const String& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidComponentName(name))
    throw EComponentError(L"'" + name + L"' is not a valid component name");
  if (owner_)
    owner_->ValidateRename(this, name_, name);
  else
    ValidateRename(nullptr, name_, name);
  ChangeName(name);
}

void TComponent::ChangeName(const String& name) {
  TComponent* owner = owner_;
  // A form's field follows the component's name: the old field no longer holds it, the new one does.
  if (owner) {
    if (const TClassInfo* cls = ClassOf(owner)) {
      if (!name_.empty())
        if (const TFieldInfo* f = cls->FindField(name_))
          if (f->Get(owner) == this) f->Set(owner, nullptr);
      if (!name.empty())
        if (const TFieldInfo* f = cls->FindField(name)) f->Set(owner, this);
    }
  }
  name_ = name;
}

void TComponent::ValidateRename(TComponent* component, const String& curName, const String& newName) {
  if (component && !rtl::SameText(curName, newName) && !newName.empty()) {
    TComponent* other = FindComponent(newName);
    if (other && other != component)
      throw EComponentError(L"A component named " + newName + L" already exists");
  }
}

TComponent* TComponent::FindComponent(const String& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (rtl::SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component) return;
  component->ValidateContainer(this);
  ValidateRename(component, L"", component->name_);
  ValidateInsert(component);
  if (component->owner_) component->owner_->RemoveComponent(component);
  Insert(component);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  Notification(component, opRemove);
  Remove(component);
}

void TComponent::Insert(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
  if (!component->name_.empty())
    if (const TClassInfo* cls = ClassOf(this))
      if (const TFieldInfo* f = cls->FindField(component->name_)) f->Set(this, component);
}

void TComponent::Remove(TComponent* component) {
  // The field that named the component must not dangle once it is gone.
  if (!component->name_.empty())
    if (const TClassInfo* cls = ClassOf(this))
      if (const TFieldInfo* f = cls->FindField(component->name_))
        if (f->Get(this) == component) f->Set(this, nullptr);
  components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
  component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    RemoveComponent(last);
    last->Free();
  }
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_ += csDestroying;
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(free_notifies_.begin(), free_notifies_.end(), component) == free_notifies_.end())
    free_notifies_.push_back(component);
  auto& theirs = component->free_notifies_;
  if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
  state_ += csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  free_notifies_.erase(std::remove(free_notifies_.begin(), free_notifies_.end(), component), free_notifies_.end());
  auto& theirs = component->free_notifies_;
  theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::Loaded() { state_ -= csLoading; }

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  // Copy: a handler may free components meanwhile.
  std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned)
    if (std::find(components_.begin(), components_.end(), c) != components_.end()) c->Notification(component, operation);
}

void TComponent::GetChildren(const TGetChildProc& proc, TComponent* root) {
  // A root writes the components it owns that no parent writes.
  if (root != this) return;
  for (TComponent* c : components_)
    if (!c->HasParent()) proc(c);
}

TComponent* TComponent::GetChildOwner() { return nullptr; }

TComponent* TComponent::GetChildParent() { return this; }

void TComponent::SetDesigning(bool value, bool includeChildren) {
  if (value)
    state_ += csDesigning;
  else
    state_ -= csDesigning;
  if (includeChildren)
    for (TComponent* c : components_) c->SetDesigning(value, true);
}

void TComponent::SetAncestor(bool value) {
  if (value)
    state_ += csAncestor;
  else
    state_ -= csAncestor;
  for (TComponent* c : components_) c->SetAncestor(value);
}

void TComponent::SetInline(bool value) {
  if (value)
    state_ += csInline;
  else
    state_ -= csInline;
}

void TComponent::SetSubComponent(bool value) {
  if (value)
    style_ += csSubComponent;
  else
    style_ -= csSubComponent;
}

void TComponent::BeginLoading() { state_ += TComponentState{csLoading, csReading}; }

void TComponent::EndReading() { state_ -= csReading; }

void TComponent::ClearLoading() { state_ -= TComponentState{csLoading, csReading}; }

void TComponent::SetWriting(bool value) {
  if (value)
    state_ += csWriting;
  else
    state_ -= csWriting;
}

VCL_REGISTER(TComponent) {
  cls.Prop(L"Name", &TComponent::Name, &TComponent::SetName).Stored(false);
  cls.Prop(L"Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

}  // namespace vcl
