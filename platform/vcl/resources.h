#pragma once
// Form resources compiled into the executable: RCDATA resources named after the form class in upper case
// ("TFORM1"), holding the text form (formvalue.h) in UTF-8.
//
//   // forms.rc
//   TFORM1 RCDATA "app/forms/form1.vfm"
#include "platform/rtl/streams.h"
#include "platform/vcl/filer.h"

namespace vcl {

// One exception class for every missing resource, whoever looks it up.
using rtl::EResNotFound;

// The resource's text; nullptr module means the executable. Raises EResNotFound when there is no such resource.
String LoadResourceText(const String& name, void* module = nullptr);
bool ResourceExists(const String& name, void* module = nullptr);
// Reads the resource into root (see ReadComponentText); errors name the resource.
void ReadComponentRes(const String& name, TComponent* root, void* module = nullptr);
// Reads the resource named after root's class and each of its registered ancestors that has one, ancestors first,
// as inherited forms need; false when none exists.
bool InitInheritedComponent(TComponent* root, const TClassInfo* stopAt = nullptr);

}  // namespace vcl
