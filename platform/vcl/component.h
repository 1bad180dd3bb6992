#pragma once
// Components: objects with an owner that frees them, a name unique among the owner's components, a Tag, and the
// state flags of streaming. Forms, controls, datasets, reports: everything a form resource creates.
//
// Ownership: a component created with an owner is inserted into the owner's Components and freed with it (last
// created, first freed). Freeing a component removes it from its owner, clears the owner's field of that name
// (TClassInfo fields) and notifies every component that asked for FreeNotification, so no reference dangles.
//
// Construction: the constructor takes the owner; the registry's factory (TClassInfo::CreateInstance) and
// vcl::Create<T>(owner) then call AfterConstruction. The owner's Notification(opInsert) arrives while the new
// component's constructor is still running: do not cast it to a derived class there.
#include <functional>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/vcl/typinfo.h"

namespace vcl {

RTL_EXCEPTION_CLASS(EComponentError, Exception);

VCL_ENUM(TComponentStateItem, csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating,
         csFixups, csFreeNotification, csInline, csDesignInstance)
VCL_SET(TComponentState, TComponentStateItem)

VCL_ENUM(TComponentStyleItem, csInheritable, csCheckPropAvail, csSubComponent, csTransient)
VCL_SET(TComponentStyle, TComponentStyleItem)

VCL_ENUM(TOperation, opInsert, opRemove)

using TGetChildProc = std::function<void(TComponent* child)>;

class TComponent : public TPersistent {
  VCL_CLASS(TComponent, rtl::TPersistent)
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  void BeforeDestruction() override;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  // The position among the owner's components (-1 without owner).
  int ComponentIndex() const;
  void SetComponentIndex(int index);

  const String& Name() const { return name_; }
  // Raises EComponentError when the name is not an identifier or another component of the owner has it
  // (ignoring ASCII case). An empty name is allowed.
  virtual void SetName(const String& name);
  rtl::Int64 Tag() const { return tag_; }
  void SetTag(rtl::Int64 tag) { tag_ = tag; }
  // Designers keep the position of non-visual components here (low word left, high word top).
  rtl::Int64 DesignInfo() const { return design_info_; }
  void SetDesignInfo(rtl::Int64 info) { design_info_ = info; }

  TComponentState ComponentState() const { return state_; }
  TComponentStyle ComponentStyle() const { return style_; }

  // The owned component of that name (ignoring ASCII case), or nullptr.
  TComponent* FindComponent(const String& name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Frees every owned component, the last created first.
  void DestroyComponents();
  // Sets csDestroying here and on every owned component.
  void Destroying();

  // Asks to be told (Notification opRemove) when component is freed; both sides forget each other when either
  // goes.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // After a resource has been read into the component and all references are resolved.
  virtual void Loaded();
  // A component was inserted into or removed from this one's owner tree, or a component this one asked for free
  // notification is going away. The default passes it on to the owned components.
  virtual void Notification(TComponent* component, TOperation operation);

  // Streaming: the components to write as this one's children (for a root: its owned components without a
  // parent), who owns the children read under it (nullptr: the root), and the parent relation of visual children.
  virtual void GetChildren(const TGetChildProc& proc, TComponent* root);
  virtual TComponent* GetChildOwner();
  virtual TComponent* GetChildParent();
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* parent) {}
  // Moves child to position order among the children written (controls re-order themselves).
  virtual void SetChildOrder(TComponent* child, int order) {}

  TPersistent* GetOwner() const override { return owner_; }
  String GetNamePath() const override { return name_; }

  // State changes made by readers, writers and designers.
  void SetDesigning(bool value, bool includeChildren = true);
  void SetAncestor(bool value);
  void SetInline(bool value);
  void SetSubComponent(bool value);
  // Reading: csLoading and csReading on; ending: both off.
  void BeginLoading();
  void EndReading();
  void ClearLoading();
  void SetWriting(bool value);

protected:
  virtual void ValidateRename(TComponent* component, const String& curName, const String& newName);
  virtual void ValidateInsert(TComponent* component) {}
  virtual void ValidateContainer(TComponent* component) {}
  void ChangeName(const String& name);

  TComponentStyle style_{csInheritable};

private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void ReleaseFromOwner();

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> free_notifies_;
  String name_;
  rtl::Int64 tag_ = 0;
  rtl::Int64 design_info_ = 0;
  TComponentState state_;
  bool destroyed_components_ = false;
};

// Whether name is a valid component name (an ASCII identifier).
bool IsValidComponentName(const String& name);

}  // namespace vcl
