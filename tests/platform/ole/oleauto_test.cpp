// Late binding through IDispatch against an automation object the system registers (the scripting runtime's
// dictionary): calls by name, property put and get, reversed argument order, and the refusals.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ole/oleauto.h"
#include "platform/rtl/textconv.h"

using ole::DispatchInvoke;
using rtl::String;
using rtl::Variant;

namespace {

class OleDictionary : public ::testing::Test {
protected:
  void SetUp() override { dict = ole::CreateOleObject(L"Scripting.Dictionary"); }
  Variant dict;
};

TEST_F(OleDictionary, MethodsAndPropertiesByName) {
  DispatchInvoke(dict, L"Add", ole::dispMethod, {Variant(L"a"), Variant(1)}, false);
  DispatchInvoke(dict, L"Add", ole::dispMethod, {Variant(L"b"), Variant(L"iki")}, false);
  EXPECT_EQ(DispatchInvoke(dict, L"Count", ole::dispPropertyGet).AsInteger(), 2);
  // Two arguments in the caller's order: key first. Were they passed unreversed, the key would be 5.
  DispatchInvoke(dict, L"Item", ole::dispPropertyPut, {Variant(L"c"), Variant(5)});
  EXPECT_EQ(DispatchInvoke(dict, L"Item", ole::dispPropertyGet, {Variant(L"c")}).AsInteger(), 5);
  EXPECT_TRUE(DispatchInvoke(dict, L"Exists", ole::dispMethod, {Variant(L"c")}).AsBoolean());
  EXPECT_FALSE(DispatchInvoke(dict, L"Exists", ole::dispMethod, {Variant(5)}).AsBoolean());
  EXPECT_EQ(DispatchInvoke(dict, L"Item", ole::dispMethod, {Variant(L"b")}).AsString(), L"iki");
  // Names are the object's, not ours: its own case rules apply (under a Turkish locale as well).
  EXPECT_EQ(DispatchInvoke(dict, L"COUNT", ole::dispPropertyGet).AsInteger(), 3);
}

TEST_F(OleDictionary, AutomationObjectsAsArgumentsAndResults) {
  Variant other = ole::CreateOleObject(L"Scripting.Dictionary");
  DispatchInvoke(other, L"Add", ole::dispMethod, {Variant(L"x"), Variant(7)}, false);
  DispatchInvoke(dict, L"Add", ole::dispMethod, {Variant(L"inner"), other}, false);
  Variant back = DispatchInvoke(dict, L"Item", ole::dispPropertyGet, {Variant(L"inner")});
  EXPECT_EQ(back.VarType() & rtl::varTypeMask, rtl::varDispatch);
  EXPECT_EQ(DispatchInvoke(back, L"Item", ole::dispPropertyGet, {Variant(L"x")}).AsInteger(), 7);
}

TEST_F(OleDictionary, UnknownNamesAreRefusedWithoutACall) {
  try {
    DispatchInvoke(dict, L"NoSuchMember", ole::dispMethod);
    FAIL() << "an unknown name must not be called";
  } catch (const ole::EOleError& e) {
    EXPECT_EQ(e.ClassName(), L"EOleError");
    EXPECT_NE(e.Message().find(L"Unknown name"), String::npos) << rtl::StringToUTF8(e.Message());
    EXPECT_NE(e.Message().find(L"NoSuchMember"), String::npos);
  }
  long id = 0;
  EXPECT_EQ(static_cast<unsigned long>(ole::DispatchGetIDOfName(dict.AsDispatch(), L"NoSuchMember", id)), 0x80020006UL);
}

TEST_F(OleDictionary, FailingCallsRaiseWithTheObjectsStatus) {
  DispatchInvoke(dict, L"Add", ole::dispMethod, {Variant(L"a"), Variant(1)}, false);
  // A key added twice: the object refuses it.
  EXPECT_THROW(DispatchInvoke(dict, L"Add", ole::dispMethod, {Variant(L"a"), Variant(2)}, false), ole::EOleSysError);
  // Too few arguments.
  EXPECT_THROW(DispatchInvoke(dict, L"Exists", ole::dispMethod), ole::EOleSysError);
}

TEST_F(OleDictionary, TheArgumentBlockHasALimit) {
  std::vector<Variant> args(ole::kMaxDispatchArgs + 1, Variant(1));
  try {
    DispatchInvoke(dict, L"Add", ole::dispMethod, args, false);
    FAIL() << "more arguments than the block holds";
  } catch (const ole::EOleError& e) {
    EXPECT_EQ(e.ClassName(), L"EOleError");
  }
  EXPECT_EQ(DispatchInvoke(dict, L"Count", ole::dispPropertyGet).AsInteger(), 0);
}

TEST(OleObjects, CreationAndConversionErrors) {
  EXPECT_THROW(ole::CreateOleObject(L"Tavrel.NoSuchProgId"), ole::EOleSysError);
  EXPECT_THROW(ole::GetActiveOleObject(L"Tavrel.NoSuchProgId"), ole::EOleSysError);
  // A value that is no automation object is the variant layer's conversion error.
  EXPECT_THROW(DispatchInvoke(Variant(42), L"Count", ole::dispPropertyGet), rtl::Exception);
  EXPECT_FALSE(ole::SysErrorMessage(static_cast<long>(0x80020006UL)).empty());
}

}  // namespace
