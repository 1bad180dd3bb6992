#include "platform/rtl/files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

using namespace rtl;

TEST(Paths, Splitting) {
  struct Case {
    const wchar_t* name;
    const wchar_t* path;
    const wchar_t* dir;
    const wchar_t* file;
    const wchar_t* ext;
  } cases[] = {
      {L"C:\\Data\\a.txt", L"C:\\Data\\", L"C:\\Data", L"a.txt", L".txt"},
      {L"C:\\a.txt", L"C:\\", L"C:\\", L"a.txt", L".txt"},
      {L"C:a.txt", L"C:", L"C:", L"a.txt", L".txt"},
      {L"a.b\\c", L"a.b\\", L"a.b", L"c", L""},
      {L"\\\\srv\\share\\x.db", L"\\\\srv\\share\\", L"\\\\srv\\share", L"x.db", L".db"},
      {L"dir/file.tar.gz", L"dir/", L"dir", L"file.tar.gz", L".gz"},
      {L"noext", L"", L"", L"noext", L""},
      {L"\\a", L"\\", L"\\", L"a", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
    EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
    EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
    EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
  }
  EXPECT_EQ(ExtractFileDrive(L"C:\\x"), L"C:");
  EXPECT_EQ(ExtractFileDrive(L"\\\\srv\\share\\x"), L"\\\\srv\\share");
  EXPECT_EQ(ChangeFileExt(L"C:\\a.b\\rapor.qv3", L".bak"), L"C:\\a.b\\rapor.bak");
  EXPECT_EQ(ChangeFileExt(L"C:\\a.b\\rapor", L".bak"), L"C:\\a.b\\rapor.bak");
  EXPECT_EQ(ChangeFileExt(L"x.txt", L""), L"x");
  EXPECT_EQ(IncludeTrailingPathDelimiter(L"C:\\a"), L"C:\\a\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter(L"C:\\a\\"), L"C:\\a\\");
  EXPECT_EQ(ExcludeTrailingPathDelimiter(L"C:\\a\\"), L"C:\\a");
}

TEST(Paths, RelativeAndExpanded) {
  EXPECT_EQ(ExtractRelativePath(L"C:\\App\\", L"C:\\App\\Data\\x.db"), L"Data\\x.db");
  EXPECT_EQ(ExtractRelativePath(L"C:\\App\\Bin\\", L"C:\\App\\Data\\x.db"), L"..\\Data\\x.db");
  EXPECT_EQ(ExtractRelativePath(L"c:\\app\\", L"C:\\APP\\x.db"), L"x.db");
  EXPECT_EQ(ExtractRelativePath(L"C:\\App\\", L"D:\\x.db"), L"D:\\x.db");
  EXPECT_EQ(ExpandFileName(L"C:\\a\\b\\..\\c\\.\\d.txt"), L"C:\\a\\c\\d.txt");
  EXPECT_EQ(ExtractFileName(ExeName()), L"rtl_tests.exe");
  EXPECT_EQ(ExeFolder(), ExtractFilePath(ExeName()));
}

class FilesOnDisk : public ::testing::Test {
protected:
  void SetUp() override {
    root_ = GetTempPath() + L"rtl_files_" + IntToStr(GetCurrentProcessId()) + L"\\";
    ASSERT_TRUE(ForceDirectories(root_ + L"a\\b\\c"));
  }
  void TearDown() override {
    SHFILEOPSTRUCTW op{};
    String from = ExcludeTrailingPathDelimiter(root_) + L'\0';
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
  }
  void Touch(const String& name, const char* content = "x") {
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written;
    WriteFile(h, content, static_cast<DWORD>(strlen(content)), &written, nullptr);
    CloseHandle(h);
  }
  String root_;
};

TEST_F(FilesOnDisk, ExistsDeleteRename) {
  EXPECT_TRUE(DirectoryExists(root_ + L"a\\b\\c"));
  EXPECT_FALSE(FileExists(root_ + L"a"));
  String f = root_ + L"ogrenci.txt";
  Touch(f, "hello");
  EXPECT_TRUE(FileExists(f));
  EXPECT_FALSE(DirectoryExists(f));
  EXPECT_EQ(FileSize(f), 5);
  EXPECT_GT(FileAge(f), EncodeDate(2020, 1, 1));
  EXPECT_TRUE(RenameFile(f, root_ + L"yeni.txt"));
  EXPECT_FALSE(FileExists(f));
  EXPECT_TRUE(CopyFile(root_ + L"yeni.txt", f, true));
  EXPECT_FALSE(CopyFile(root_ + L"yeni.txt", f, true));
  EXPECT_TRUE(DeleteFile(root_ + L"yeni.txt"));
  EXPECT_FALSE(DeleteFile(root_ + L"yeni.txt"));
  EXPECT_FALSE(FileExists(L""));
  EXPECT_TRUE(ForceDirectories(root_ + L"a\\b"));  // already there
}

TEST_F(FilesOnDisk, TemporaryFilesKeepTheWholePrefix) {
  String a = GetTempFileName(L"qvPic", root_);
  String b = GetTempFileName(L"qvPic", root_);
  EXPECT_NE(a, b);
  EXPECT_TRUE(FileExists(a));
  EXPECT_TRUE(StartsStr(root_ + L"qvPic", a));
  EXPECT_EQ(ExtractFileExt(a), L".tmp");
  EXPECT_EQ(FileSize(a), 0);
  EXPECT_THROW(GetTempFileName(L"qv", root_ + L"missing\\"), EInOutError);
  EXPECT_EQ(GetTempPath().back(), L'\\');
}

TEST_F(FilesOnDisk, FindFirstHonoursAttributes) {
  Touch(root_ + L"x1.txt");
  Touch(root_ + L"x2.txt");
  Touch(root_ + L"y.dat");
  Touch(root_ + L"gizli.txt");
  FileSetAttr(root_ + L"gizli.txt", faHidden);
  TSearchRec f;
  std::vector<String> names;
  ASSERT_EQ(FindFirst(root_ + L"*.txt", faAnyFile & ~faHidden, f), 0);
  do names.push_back(f.Name);
  while (FindNext(f) == 0);
  FindClose(f);
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], L"x1.txt");

  names.clear();
  ASSERT_EQ(FindFirst(root_ + L"*", faDirectory, f), 0);
  do {
    if (f.Name != L"." && f.Name != L"..") names.push_back(f.Name);
  } while (FindNext(f) == 0);
  FindClose(f);
  EXPECT_EQ(names.size(), 4u);  // three files (not the hidden one) and the folder "a"

  EXPECT_NE(FindFirst(root_ + L"*.none", faAnyFile, f), 0);
  auto listed = ListFiles(root_, L"*.dat");
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0], L"y.dat");
}
