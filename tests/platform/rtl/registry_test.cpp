#include "platform/rtl/registry.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"

using namespace rtl;

namespace {

class Registry : public ::testing::Test {
protected:
  void SetUp() override { base_ = L"Software\\RtlTest" + IntToStr(GetCurrentProcessId()); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str()); }
  String base_;
};

}  // namespace

TEST_F(Registry, ValuesRoundTrip) {
  TRegistry reg;
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_FALSE(reg.OpenKey(base_, false));
  ASSERT_TRUE(reg.OpenKey(base_ + L"\\Genel", true));
  reg.WriteString(L"Okul", L"Atatürk İlkokulu");
  reg.WriteInteger(L"Sayi", -5);
  reg.WriteBool(L"Acik", true);
  reg.WriteFloat(L"Oran", 2.75);
  reg.WriteDateTime(L"Tarih", -1.25);
  reg.CloseKey();

  TRegistry ro;
  ASSERT_TRUE(ro.OpenKeyReadOnly(base_ + L"\\Genel"));
  EXPECT_EQ(ro.ReadString(L"Okul"), L"Atatürk İlkokulu");
  EXPECT_EQ(ro.ReadInteger(L"Sayi"), -5);
  EXPECT_TRUE(ro.ReadBool(L"Acik"));
  EXPECT_EQ(ro.ReadFloat(L"Oran"), 2.75);
  EXPECT_EQ(ro.ReadDateTime(L"Tarih"), -1.25);
  EXPECT_EQ(ro.GetDataType(L"Okul"), rdString);
  EXPECT_EQ(ro.GetDataType(L"Sayi"), rdInteger);
  EXPECT_EQ(ro.ReadString(L"Yok"), L"");
  EXPECT_THROW(ro.ReadInteger(L"Yok"), ERegistryException);
  EXPECT_THROW(ro.ReadInteger(L"Okul"), ERegistryException);
  EXPECT_THROW(ro.WriteString(L"x", L"y"), ERegistryException);  // read-only
  EXPECT_TRUE(ro.ValueExists(L"Oran"));
  auto names = ro.ValueNames();
  EXPECT_EQ(names.size(), 5u);
}

TEST_F(Registry, KeysRelativeAndAbsolute) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(base_, true));
  EXPECT_TRUE(reg.CreateKey(L"A"));
  EXPECT_TRUE(reg.CreateKey(L"B\\C"));
  EXPECT_TRUE(reg.KeyExists(L"B\\C"));
  EXPECT_TRUE(reg.KeyExists(L"\\" + base_ + L"\\A"));
  EXPECT_TRUE(reg.HasSubKeys());
  TStringList keys;
  reg.GetKeyNames(&keys);
  keys.Sort();
  ASSERT_EQ(keys.Count(), 2);
  EXPECT_EQ(keys[0], L"A");
  ASSERT_TRUE(reg.OpenKey(L"B", false));  // relative to the open key
  EXPECT_EQ(reg.CurrentPath(), base_ + L"\\B");
  ASSERT_TRUE(reg.OpenKey(L"\\" + base_, false));
  EXPECT_TRUE(reg.DeleteKey(L"B"));  // with its subkey
  EXPECT_FALSE(reg.KeyExists(L"B"));
  EXPECT_FALSE(reg.DeleteKey(L""));
  reg.WriteString(L"v", L"1");
  EXPECT_TRUE(reg.DeleteValue(L"v"));
  EXPECT_FALSE(reg.ValueExists(L"v"));
}

TEST_F(Registry, IniFileView) {
  TRegistryIniFile ini(base_);
  ini.WriteString(L"Pencere", L"Baslik", L"Rehberlik");
  ini.WriteInteger(L"Pencere", L"Genislik", 800);
  ini.WriteBool(L"Pencere", L"Buyuk", false);
  EXPECT_EQ(ini.ReadString(L"Pencere", L"Baslik", L""), L"Rehberlik");
  EXPECT_EQ(ini.ReadInteger(L"Pencere", L"Genislik", 0), 800);
  EXPECT_FALSE(ini.ReadBool(L"Pencere", L"Buyuk", true));
  EXPECT_EQ(ini.ReadString(L"Yok", L"x", L"def"), L"def");
  EXPECT_TRUE(ini.SectionExists(L"Pencere"));
  EXPECT_TRUE(ini.ValueExists(L"Pencere", L"Baslik"));
  EXPECT_EQ(ini.SectionNames().size(), 1u);
  EXPECT_EQ(ini.SectionKeys(L"Pencere").size(), 3u);
  ini.DeleteKey(L"Pencere", L"Baslik");
  EXPECT_FALSE(ini.ValueExists(L"Pencere", L"Baslik"));
  ini.EraseSection(L"Pencere");
  EXPECT_FALSE(ini.SectionExists(L"Pencere"));
  TRegistry reg;
  EXPECT_TRUE(reg.KeyExists(base_));  // erasing a section keeps the base key
}
