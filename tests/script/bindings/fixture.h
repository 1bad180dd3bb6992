#pragma once
// A program with every binding module, a Print procedure that collects what scripts print, and a temporary folder
// for the files scripts write; what the binding tests share.
#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "script/wz_script.h"
#include "tests/common/tempdir.h"

class BindingsFixture : public ::testing::Test {
 protected:
  BindingsFixture() : folder(rtl::IncludeTrailingPathDelimiter(temp.Path())) {
    script.AddRTTI();
    script.SetAddedBy(this);
    script.AddMethod(L"procedure Print(v: Variant)",
                     [this](rtl::TObject*, const vcl::TClassInfo*, const rtl::String&, TwzMethodHelper* caller) {
                       out += rtl::VarToStr(caller->GetVParam(0)) + L";";
                       return rtl::Variant::Null();
                     });
    script.AddVariable(L"Folder", L"String", rtl::Variant(folder));
    script.SetAddedBy(nullptr);
  }

  // What the program printed, or the compile error with its place.
  rtl::String Run(const rtl::String& text, const wchar_t* language = L"ZuvizaVuruze") {
    out.clear();
    script.ClearItems(nullptr);
    script.SetSyntaxType(language);
    script.SetText(text);
    if (!script.Compile()) return L"compile error: " + script.ErrorMsg() + L" at " + script.ErrorPos();
    script.Execute();
    return out;
  }

  // As Run; an exception that ends the program is reported as its class and message.
  rtl::String RunCatching(const rtl::String& text, const wchar_t* language = L"ZuvizaVuruze") {
    try {
      return Run(text, language);
    } catch (const rtl::Exception& e) {
      return out + L"raised " + e.ClassName() + L": " + e.Message();
    }
  }

  testutil::TempFolder temp{L"bindings"};
  // The temporary folder with its final delimiter; scripts see it as Folder.
  rtl::String folder;
  TwzScript script;
  rtl::String out;
};

struct ScriptCase {
  const wchar_t* name;
  const wchar_t* source;
  const wchar_t* printed;
};
