#pragma once
// The root of the class hierarchy. The component core (platform/vcl) adds the class registry,
// published properties and components on top of these two.
#include "platform/rtl/types.h"

namespace rtl {

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  // The registered class name ("TForm1", "TsBitBtn"); each class overrides it.
  virtual String ClassName() const { return L"TObject"; }
};

class TPersistent : public TObject {
public:
  String ClassName() const override { return L"TPersistent"; }
  // Copies Source into this object; when this class does not know Source's class it asks
  // Source to AssignTo this object, and raises EConvertError if neither can.
  virtual void Assign(const TPersistent* source);

protected:
  virtual void AssignTo(TPersistent* dest) const;
};

}  // namespace rtl
