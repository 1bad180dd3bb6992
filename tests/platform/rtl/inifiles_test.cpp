#include "platform/rtl/inifiles.h"

#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"

using namespace rtl;

namespace {

class IniFiles : public ::testing::Test {
protected:
  void SetUp() override {
    saved_ = FormatSettings;
    FormatSettings = TFormatSettings::Invariant();
    FormatSettings.DecimalSeparator = L',';
    FormatSettings.ShortDateFormat = L"dd.MM.yyyy";
    FormatSettings.DateSeparator = L'.';
    dir_ = GetTempPath() + L"rtl_ini_" + IntToStr(GetCurrentProcessId()) + L"\\";
    ForceDirectories(dir_);
    file_ = dir_ + L"ayarlar.ini";
    DeleteFile(file_);
  }
  void TearDown() override {
    FormatSettings = saved_;
    for (const auto& f : ListFiles(dir_)) DeleteFile(dir_ + f);
    RemoveDir(dir_);
  }
  void WriteRaw(const std::string& bytes) {
    HANDLE h = CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(h);
  }
  std::string ReadRaw() {
    TFileStream f(file_, fmOpenRead | fmShareDenyNone);
    return f.ReadBytes(static_cast<Integer>(f.Size()));
  }
  TFormatSettings saved_;
  String dir_, file_;
};

}  // namespace

TEST_F(IniFiles, MemIniFileKeepsChangesUntilUpdateFile) {
  {
    TMemIniFile ini(file_);
    ini.WriteString(L"Genel", L"Okul", L"Atatürk İlkokulu");
    ini.WriteInteger(L"Genel", L"Sayi", -12);
    ini.WriteBool(L"Genel", L"Acik", true);
    ini.WriteFloat(L"Genel", L"Oran", 2.5);
    ini.WriteDate(L"Genel", L"Tarih", EncodeDate(2024, 3, 5));
    EXPECT_FALSE(FileExists(file_));
    ini.UpdateFile();
  }
  EXPECT_EQ(ReadRaw(), StringToUTF8(L"[Genel]\r\nOkul=Atatürk İlkokulu\r\nSayi=-12\r\nAcik=1\r\nOran=2,5\r\n"
                                    L"Tarih=05.03.2024\r\n"));
  TMemIniFile ini(file_);
  EXPECT_EQ(ini.ReadString(L"genel", L"OKUL", L""), L"Atatürk İlkokulu");  // names ignore case
  EXPECT_EQ(ini.ReadInteger(L"Genel", L"Sayi", 0), -12);
  EXPECT_TRUE(ini.ReadBool(L"Genel", L"Acik", false));
  EXPECT_DOUBLE_EQ(ini.ReadFloat(L"Genel", L"Oran", 0), 2.5);
  EXPECT_EQ(ini.ReadDate(L"Genel", L"Tarih", 0), EncodeDate(2024, 3, 5));
  EXPECT_EQ(ini.ReadString(L"Genel", L"Yok", L"def"), L"def");
  EXPECT_EQ(ini.ReadInteger(L"Genel", L"Okul", 7), 7);  // not a number: the default
}

TEST_F(IniFiles, ParsesForeignFiles) {
  WriteRaw(
      "; yorum\r\nstray=1\r\n[ A ]\r\n key = value with spaces \r\nflag=True\r\nhex=$1F\r\nkey=second\r\n"
      "\r\n[B]\nx=1\n[a]\ny=2\n");
  TMemIniFile ini(file_);
  auto names = ini.SectionNames();
  ASSERT_EQ(names.size(), 2u);  // "[a]" joins "[ A ]"
  EXPECT_EQ(names[0], L"A");
  EXPECT_EQ(ini.ReadString(L"A", L"key", L""), L"value with spaces");
  EXPECT_TRUE(ini.ReadBool(L"A", L"flag", false));
  EXPECT_EQ(ini.ReadInteger(L"A", L"hex", 0), 31);
  EXPECT_EQ(ini.ReadString(L"a", L"y", L""), L"2");
  EXPECT_FALSE(ini.ValueExists(L"A", L"stray"));
  EXPECT_TRUE(ini.SectionExists(L"b"));
  EXPECT_FALSE(ini.SectionExists(L"C"));
  auto values = ini.SectionValues(L"A");
  ASSERT_EQ(values.size(), 4u);
  EXPECT_EQ(values[0], L"key=value with spaces");
  EXPECT_EQ(ini.ReadString(L"A", L"", L"none"), L"none");
}

TEST_F(IniFiles, CommentsAndRepeatedKeysSurviveSaving) {
  WriteRaw("; ayarlar\r\n[A]\r\n# not a key\r\nk=1\r\nk=2\r\n");
  TMemIniFile ini(file_);
  EXPECT_EQ(ini.SectionKeys(L"A").size(), 1u);
  EXPECT_EQ(ini.ReadString(L"A", L"k", L""), L"1");
  ini.WriteString(L"A", L"k", L"3");
  ini.UpdateFile();
  EXPECT_EQ(ReadRaw(), "; ayarlar\r\n[A]\r\n# not a key\r\nk=3\r\nk=2\r\n");
}

TEST_F(IniFiles, AnsiAndUtf16Files) {
  WriteRaw("[Ayar]\r\nAd=\xDE\xFC\xF0\xFD\r\n");  // "Şüğı" in code page 1254
  {
    TMemIniFile ini(file_);
    String expected = AnsiToString("\xDE\xFC\xF0\xFD");
    EXPECT_EQ(ini.ReadString(L"Ayar", L"Ad", L""), expected);
  }
  WriteRaw(std::string("\xFF\xFE[\0A\0]\0\n\0k\0=\0\x1F\x01\n\0", 20));
  TMemIniFile ini(file_);
  EXPECT_EQ(ini.ReadString(L"A", L"k", L""), L"\u011F");
}

TEST_F(IniFiles, SectionsKeysAndErasing) {
  TMemIniFile ini(file_);
  ini.WriteString(L"S1", L"a", L"1");
  ini.WriteString(L"S1", L"b", L"2");
  ini.WriteString(L"S2", L"c", L"3");
  TStringList list;
  ini.ReadSection(L"S1", &list);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[1], L"b");
  ini.ReadSections(&list);
  EXPECT_EQ(list.Count(), 2);
  ini.ReadSectionValues(L"S1", &list);
  EXPECT_EQ(list[0], L"a=1");
  ini.DeleteKey(L"S1", L"A");
  EXPECT_FALSE(ini.ValueExists(L"S1", L"a"));
  ini.EraseSection(L"s2");
  EXPECT_FALSE(ini.SectionExists(L"S2"));
  ini.GetStrings(&list);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[0], L"[S1]");
  list.Clear();
  list.Add(L"[X]");
  list.Add(L"k=v");
  ini.SetStrings(&list);
  EXPECT_EQ(ini.ReadString(L"X", L"k", L""), L"v");
  EXPECT_FALSE(ini.SectionExists(L"S1"));
}

TEST_F(IniFiles, TurkishNamesDoNotFoldTheTurkishWay) {
  TMemIniFile ini(file_);
  ini.WriteString(L"Liste", L"Sinif", L"1");
  EXPECT_EQ(ini.ReadString(L"LISTE", L"SINIF", L""), L"1");
  EXPECT_EQ(ini.ReadString(L"LİSTE", L"SINIF", L"none"), L"none");
}

TEST_F(IniFiles, IniFileWritesThroughAndSeesOtherWriters) {
  TIniFile a(file_);
  TIniFile b(file_);
  a.WriteString(L"Oturum", L"Kullanici", L"ayse");
  EXPECT_TRUE(FileExists(file_));
  EXPECT_EQ(b.ReadString(L"Oturum", L"Kullanici", L""), L"ayse");
  b.WriteInteger(L"Oturum", L"Sayac", 3);
  EXPECT_EQ(a.ReadInteger(L"Oturum", L"Sayac", 0), 3);
  EXPECT_EQ(a.ReadString(L"Oturum", L"Kullanici", L""), L"ayse");  // b did not lose a's value
  a.DeleteKey(L"Oturum", L"Sayac");
  EXPECT_FALSE(b.ValueExists(L"Oturum", L"Sayac"));
  a.EraseSection(L"Oturum");
  EXPECT_FALSE(b.SectionExists(L"Oturum"));
}

TEST_F(IniFiles, BinaryValuesAndStreams) {
  TMemIniFile ini(file_);
  ini.WriteBinary(L"B", L"data", {0x00, 0xAB, 0x10});
  EXPECT_EQ(ini.ReadString(L"B", L"data", L""), L"00AB10");
  TMemoryStream in;
  in.WriteBytes("xyz");
  in.SetPosition(1);
  ini.WriteBinaryStream(L"B", L"s", &in);
  TMemoryStream out;
  EXPECT_EQ(ini.ReadBinaryStream(L"B", L"s", &out), 2);
  out.SetPosition(0);
  EXPECT_EQ(out.ReadBytes(2), "yz");
}

TEST_F(IniFiles, UnwritableFileRaisesAndKeepsTheOldOne) {
  TMemIniFile bad(dir_ + L"missing\\x.ini");
  bad.WriteString(L"a", L"b", L"c");
  EXPECT_THROW(bad.UpdateFile(), EIniFileException);
  WriteRaw("[Keep]\r\nk=1\r\n");
  TMemIniFile ini(file_);
  ini.WriteString(L"Keep", L"k", L"2");
  HANDLE lock = CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_THROW(ini.UpdateFile(), EIniFileException);
  CloseHandle(lock);
  EXPECT_EQ(ReadRaw(), "[Keep]\r\nk=1\r\n");
  EXPECT_FALSE(FileExists(file_ + L".~tmp"));
}

TEST_F(IniFiles, RelativeNamesStayWhereTheyWereOpened) {
  String saved = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(dir_));
  TIniFile ini(L"goreli.ini");
  ASSERT_TRUE(SetCurrentDir(saved));  // as a file dialog might do
  ini.WriteString(L"S", L"k", L"v");
  EXPECT_TRUE(FileExists(dir_ + L"goreli.ini"));
  EXPECT_EQ(ini.FileName(), L"goreli.ini");
}
