#pragma once
// Registry entries for the runtime's classes that carry none of their own: pointer lists, streams and settings
// files. With them scripts and other registry readers can name these classes, test objects against them
// (ClassOf finds an object's entry by its class name) and create those that need no arguments.
#include "platform/vcl/typinfo.h"

namespace vcl {

// TList and TObjectList; created empty.
const TClassInfo* ListClassInfo();
const TClassInfo* ObjectListClassInfo();
// TStream and its descendants. The abstract ones and those needing a file name or a resource have no factory.
const TClassInfo* StreamClassInfo();
const TClassInfo* HandleStreamClassInfo();
const TClassInfo* FileStreamClassInfo();
const TClassInfo* CustomMemoryStreamClassInfo();
const TClassInfo* MemoryStreamClassInfo();
const TClassInfo* BytesStreamClassInfo();
const TClassInfo* StringStreamClassInfo();
const TClassInfo* ResourceStreamClassInfo();
// Settings files: all need a file name, so none has a factory.
const TClassInfo* CustomIniFileClassInfo();
const TClassInfo* MemIniFileClassInfo();
const TClassInfo* IniFileClassInfo();

// Makes sure every entry above is registered (each is also registered on first use of its accessor).
void RegisterRtlClasses();

}  // namespace vcl
