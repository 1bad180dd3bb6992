#pragma once
// The root of the class hierarchy. The component core (platform/vcl) adds the class registry, published
// properties, streaming and components on top of these two; a class takes part in the registry by putting
// VCL_CLASS(...) into its body (platform/vcl/typinfo.h), which overrides ClassType and ClassName.
#include "platform/rtl/types.h"

namespace vcl {
// Defined by the class registry of platform/vcl. Only named here: the runtime itself never looks inside.
class TClassInfo;
class TFiler;
}  // namespace vcl

namespace rtl {

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  // The registered class name ("TForm1", "TsBitBtn"); VCL_CLASS overrides it from the registry.
  virtual String ClassName() const { return L"TObject"; }
  // The class's entry in the registry; nullptr for classes that are not registered themselves (vcl::ClassOf
  // then finds the nearest registered one).
  virtual const vcl::TClassInfo* ClassType() const { return nullptr; }

  // Run by whoever creates an object through the registry (or vcl::Create<T>) once the most derived constructor
  // has finished, so virtual calls reach the whole object. Forms read their resources here.
  virtual void AfterConstruction() {}
  // Run by Free before the destructors start, while the object is still whole; components free what they own
  // here.
  virtual void BeforeDestruction() {}
  // BeforeDestruction, then delete. Prefer it to a bare delete for components.
  void Free() {
    BeforeDestruction();
    delete this;
  }
};

// Frees the object (if any) and clears the pointer first, so nothing sees a dangling reference meanwhile.
template <class T>
void FreeAndNil(T*& obj) {
  T* p = obj;
  obj = nullptr;
  if (p) p->Free();
}

class TPersistent : public TObject {
public:
  String ClassName() const override { return L"TPersistent"; }
  // Copies Source into this object; when this class does not know Source's class it asks
  // Source to AssignTo this object, and raises EConvertError if neither can.
  virtual void Assign(const TPersistent* source);
  // The object that owns this one for naming and designers (a collection's owner, a font's control); nullptr here.
  virtual TPersistent* GetOwner() const { return nullptr; }
  // How error messages and designers name the object ("Form1.Button1", "Columns[2]"); the class name here.
  virtual String GetNamePath() const;
  // Stored properties of the class's own beyond its published ones ("Strings", "Data", "Datasets"...): the class
  // defines them on the filer, which then reads or writes them (platform/vcl/filer.h).
  virtual void DefineProperties(vcl::TFiler* filer) {}

protected:
  virtual void AssignTo(TPersistent* dest) const;
};

}  // namespace rtl
