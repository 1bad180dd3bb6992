#pragma once
// The report library as scripts see it: the measurement and cursor constants, the report enumerations and sets,
// the report classes with their members that are not published, the process-wide report variables, three date
// functions and the declarations of IIF and the aggregates. Every report's script program gets this module (after
// the form bindings, before the dialog bindings), and the expressions of its text objects compile in a program
// whose parent is that script, so they can use all of it.
#include <map>
#include <vector>

#include "platform/rtl/list.h"
#include "platform/rtl/stringlist.h"
#include "script/wz_bindingtools.h"
#include "script/wz_script.h"

class TqvxComponent;

// The platform's wide string list, as scripts create it with TWideStrings.Create.
class TWideStringList : public rtl::TStringList {
 public:
  rtl::String ClassName() const override { return L"TWideStringList"; }
};

// The registry entry scripts name for wide string lists (a memo's Lines, the lists TWideStrings.Create makes).
// Abstract: its constructor member builds a TWideStringList.
const vcl::TClassInfo* qvxWideStringsClassInfo();
// The registry entry of the prepared pages' outline class, which has none of its own.
const vcl::TClassInfo* qvxOutlineClassInfo();

namespace qvxClassRTTI {

class TFunctions : public TwzRTTIModule {
 public:
  explicit TFunctions(TwzScript* aScript);
  ~TFunctions() override;
  rtl::String ClassName() const override { return L"TFunctions"; }

 private:
  rtl::Variant CallMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& methodName,
                          TwzMethodHelper* caller);
  rtl::Variant GetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& propName);
  void SetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& propName,
               const rtl::Variant& value);

  rtl::Variant WideStringsMethod(rtl::TObject* instance, const rtl::String& name, TwzMethodHelper* caller);
  rtl::Variant DataSetMethod(rtl::TObject* instance, const rtl::String& name, TwzMethodHelper* caller);
  rtl::Variant ComponentMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& name,
                               TwzMethodHelper* caller);
  rtl::Variant ListsMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& name,
                           TwzMethodHelper* caller);
  rtl::Variant ReportMethod(rtl::TObject* instance, const rtl::String& name, TwzMethodHelper* caller);
  rtl::Variant EngineMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& name,
                            TwzMethodHelper* caller);
  static rtl::Variant GlobalFunction(const rtl::String& name, TwzMethodHelper* caller);

  // Objects and AllObjects as pointer lists: one list per component and property, refilled on every read and
  // freed with the module, so a script may keep what it read while the program lives. A list the script frees
  // itself leaves the module's keeping.
  using TListMap = std::map<const TqvxComponent*, rtl::TList*>;
  rtl::TList* ListOf(TListMap& lists, const TqvxComponent* owner, const std::vector<TqvxComponent*>& items);
  static void FreeLists(TListMap& lists);
  TListMap FObjectLists;
  TListMap FAllObjectLists;
};

}  // namespace qvxClassRTTI

// The module's entry in the module list; the report layer puts it there at start-up.
TwzRTTIModuleClass qvxClassRTTIModule();
