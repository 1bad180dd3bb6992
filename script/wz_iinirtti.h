#pragma once
// The ini binding module: the platform's settings-file classes for scripts, with four operations of their own:
// storing a string list in a section and reading it back, and copying a whole file's text to and from a stream.
#include "platform/vcl/component.h"
#include "script/wz_bindingtools.h"
#include "script/wz_script.h"

namespace rtl {
class TCustomIniFile;
class TStrings;
class TStream;
}  // namespace rtl

// The palette component of this module; it has no members of its own.
class TwzIniRTTI : public vcl::TComponent {
  VCL_CLASS(TwzIniRTTI, vcl::TComponent)
 public:
  explicit TwzIniRTTI(vcl::TComponent* owner) : vcl::TComponent(owner) {}
};

// Section holds the list as "Items0" ... "Items<n-1>" and then "Count" = n; clear erases the section first.
void wzWriteTStrings(rtl::TCustomIniFile& ini, const rtl::String& section, const rtl::TStrings& value, bool clear);
// Appends "Count" lines read from the section (empty for a missing item) to value, emptied first when clear. A Count
// far beyond the section's keys is damaged and raises rather than filling memory with empty lines.
void wzReadTStrings(rtl::TCustomIniFile& ini, const rtl::String& section, rtl::TStrings& value, bool clear);
// The values of the section's lines, in order (a repeated name gives its first line's value each time).
void wzReadSectionValuesEx(rtl::TCustomIniFile& ini, const rtl::String& section, rtl::TStrings& strings);
// The whole text of the file (TIniFile: the file itself; TMemIniFile: the content in memory) to the stream at its
// position, and back. Nothing for another kind of settings object.
void wzSaveIniFileToStream(rtl::TCustomIniFile& ini, rtl::TStream& stream);
void wzLoadIniFileFromStream(rtl::TCustomIniFile& ini, rtl::TStream& stream);

namespace wz_iinirtti {

class TFunctions : public TwzRTTIModule {
 public:
  explicit TFunctions(TwzScript* aScript);
  rtl::String ClassName() const override { return L"TFunctions"; }

 private:
  rtl::Variant CallMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& methodName,
                          TwzMethodHelper* caller);
  rtl::Variant GetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& propName);
};

}  // namespace wz_iinirtti

// The module's entry in the module list.
TwzRTTIModuleClass wzIniModule();
