// Shell folder items over a real folder: a temporary folder with files (some with Turkish names), a subfolder and a
// zip file, listed through the shell's folder interfaces; their names with each extension policy, parsing paths,
// icons of the system list, attributes, detail columns and a rename. Also the item ID list routines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <set>

#include "platform/rtl/win.h"
#include <commctrl.h>

#include "platform/rtl/exceptions.h"
#include "skin/controls/lvShellCtrls.h"
#include "tests/common/paths.h"
#include "tests/common/tempdir.h"

using rtl::String;

namespace {

void PutFile(const std::wstring& path, const std::string& content) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(h);
}

TEST(ShellItemIDs, SizesCopiesAndConcatenation) {
  EXPECT_EQ(GetPIDLSize(nullptr), 0u);
  LPITEMIDLIST empty = CreatePIDL(2);
  EXPECT_EQ(GetPIDLSize(empty), 2u);
  // One item of 6 bytes: 2 of size and 4 of data.
  LPITEMIDLIST one = CreatePIDL(8);
  one->mkid.cb = 6;
  std::memcpy(one->mkid.abID, "abcd", 4);
  EXPECT_EQ(GetPIDLSize(one), 8u);
  LPITEMIDLIST copy = ConcatPIDLs(nullptr, one);
  ASSERT_EQ(GetPIDLSize(copy), 8u);
  EXPECT_EQ(std::memcmp(copy, one, 8), 0);
  LPITEMIDLIST two = ConcatPIDLs(one, one);
  EXPECT_EQ(GetPIDLSize(two), 14u);
  EXPECT_EQ(NextPIDL(two)->mkid.cb, 6);
  EXPECT_EQ(NextPIDL(NextPIDL(two))->mkid.cb, 0);
  LPITEMIDLIST alone = ConcatPIDLs(one, nullptr);
  EXPECT_EQ(GetPIDLSize(alone), 8u);
  EXPECT_EQ(CopyPIDL(nullptr), nullptr);
  for (LPITEMIDLIST p : {empty, one, copy, two, alone}) DisposePIDL(p);
  EXPECT_TRUE(IsElement(SFGAO_FOLDER | SFGAO_LINK, SFGAO_LINK));
  EXPECT_FALSE(IsElement(SFGAO_FOLDER, SFGAO_LINK));
}

TEST(ShellItemIDs, NamesFromTheShellsReplies) {
  struct Case {
    const wchar_t* given;
    const wchar_t* read;
  };
  const Case cases[] = {{L"?12", L"12"}, {L"?1?2", L"12"}, {L"?a", L"?a"}, {L"?", L"?"}, {L"Şubat", L"Şubat"}};
  for (const Case& c : cases) {
    STRRET sr{};
    sr.uType = STRRET_WSTR;
    size_t bytes = (std::wcslen(c.given) + 1) * sizeof(wchar_t);
    sr.pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    std::memcpy(sr.pOleStr, c.given, bytes);
    String out;
    StrRetToString(nullptr, sr, out);
    EXPECT_EQ(out, c.read);
  }
  // A name inside the item ends at the item's end when it has no terminator; an offset beyond the item gives none.
  LPITEMIDLIST item = CreatePIDL(12);
  item->mkid.cb = 10;
  std::memcpy(item->mkid.abID, "xxname", 6);
  item->mkid.abID[6] = 'Z';
  item->mkid.abID[7] = 'Z';
  STRRET sr{};
  sr.uType = STRRET_OFFSET;
  sr.uOffset = 4;
  String out = L"old";
  StrRetToString(item, sr, out);
  EXPECT_EQ(out, L"nameZZ");
  sr.uOffset = 200;
  StrRetToString(item, sr, out);
  EXPECT_EQ(out, L"");
  DisposePIDL(item);
  EXPECT_EQ(GetDisplayName(nullptr, nullptr, SHGDN_NORMAL, seSystem), L"parentfolder = nil");
}

// The items of a real folder, listed by the shell.
class ShellItems : public ::testing::Test {
 protected:
  void SetUp() override {
    lvShellInit();
    dir_ = std::make_unique<testutil::TempFolder>(L"shell");
    for (const auto& [name, content] : files_) PutFile(dir_->Path() + L"\\" + name, content);
    ASSERT_TRUE(CreateDirectoryW((dir_->Path() + L"\\Şubat").c_str(), nullptr));
    SetFileAttributesW((dir_->Path() + L"\\çizelge.csv").c_str(), FILE_ATTRIBUTE_READONLY);
    IShellFolder* desktop = DesktopShellFolder();
    ASSERT_NE(desktop, nullptr);
    LPITEMIDLIST abs = nullptr;
    std::wstring path = dir_->Path();
    ASSERT_HRESULT_SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, path.data(), nullptr, &abs, nullptr));
    void* sf = nullptr;
    ASSERT_HRESULT_SUCCEEDED(desktop->BindToObject(abs, nullptr, IID_IShellFolder, &sf));
    folderSF_ = static_cast<IShellFolder*>(sf);
    root_ = std::make_unique<TlvShellFolder>(nullptr, abs, folderSF_);
    rootSize_ = GetPIDLSize(abs);
    DisposePIDL(abs);
    IEnumIDList* list = nullptr;
    ASSERT_EQ(folderSF_->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &list),
              S_OK);
    LPITEMIDLIST child = nullptr;
    ULONG got = 0;
    while (list->Next(1, &child, &got) == S_OK && got == 1) {
      IShellFolder* childSF = nullptr;
      if (GetIsFolder(folderSF_, child)) {
        void* p = nullptr;
        if (SUCCEEDED(folderSF_->BindToObject(child, nullptr, IID_IShellFolder, &p))) childSF = static_cast<IShellFolder*>(p);
      }
      items_.push_back(std::make_unique<TlvShellFolder>(root_.get(), child, childSF));
      if (childSF) childSF->Release();
      DisposePIDL(child);
    }
    list->Release();
  }
  void TearDown() override {
    items_.clear();
    root_.reset();
    if (folderSF_) folderSF_->Release();
    SetFileAttributesW((dir_->Path() + L"\\çizelge.csv").c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  TlvShellFolder* Item(const String& fileName) {
    for (auto& item : items_)
      if (item->PathName() == dir_->Path() + L"\\" + fileName) return item.get();
    return nullptr;
  }

  const std::map<std::wstring, std::string> files_ = {
      {L"rapor.txt", "Dönem raporu\r\n"},
      {L"Öğrenci listesi.txt", "Ali\r\nŞule\r\nİsmail\r\n"},
      {L"çizelge.csv", "a;b\r\n1;2\r\n"},
      {L"arşiv.zip", "PK\x05\x06" + std::string(18, '\0')},
  };
  std::unique_ptr<testutil::TempFolder> dir_;
  IShellFolder* folderSF_ = nullptr;
  std::unique_ptr<TlvShellFolder> root_;
  UINT rootSize_ = 0;
  std::vector<std::unique_ptr<TlvShellFolder>> items_;
};

TEST_F(ShellItems, ListsTheFolderWithNamesPathsAndKinds) {
  ASSERT_EQ(items_.size(), 5u);
  EXPECT_EQ(root_->PathName(), dir_->Path());
  EXPECT_EQ(root_->Level(), 0);
  EXPECT_EQ(root_->Parent(), DesktopFolder());
  struct Case {
    const wchar_t* file;
    const wchar_t* bare;
    bool folder, file_;
  };
  const Case cases[] = {
      {L"rapor.txt", L"rapor", false, true},
      {L"Öğrenci listesi.txt", L"Öğrenci listesi", false, true},
      {L"çizelge.csv", L"çizelge", false, true},
      {L"arşiv.zip", L"arşiv", false, true},
      {L"Şubat", L"Şubat", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testutil::Utf8(c.file));
    TlvShellFolder* item = Item(c.file);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Level(), 1);
    EXPECT_EQ(item->Parent(), root_.get());
    EXPECT_EQ(GetPIDLSize(item->AbsoluteID()), rootSize_ + GetPIDLSize(item->RelativeID()) - 2);
    // Always with the extension, never with it, or as the shell chooses (one of the two).
    EXPECT_EQ(item->DisplayName(seShow), c.file);
    EXPECT_EQ(item->DisplayName(seHide), c.bare);
    String shown = item->DisplayName(seSystem);
    EXPECT_TRUE(shown == c.file || shown == c.bare) << testutil::Utf8(shown);
    EXPECT_EQ(item->IsFolder(c.file), c.folder);
    EXPECT_EQ(item->IsFile(c.file), c.file_);
    EXPECT_EQ(item->IsFileFolder(), c.folder);
    // The system list's icon: a folder's differs from a document's.
    const int icon = item->ImageIndex(false);
    EXPECT_GE(icon, 0);
    EXPECT_LT(icon, ImageList_GetImageCount(SysSmallImages()));
  }
  EXPECT_NE(Item(L"Şubat")->ImageIndex(false), Item(L"rapor.txt")->ImageIndex(false));
  EXPECT_EQ(Item(L"rapor.txt")->ImageIndex(false), Item(L"Öğrenci listesi.txt")->ImageIndex(false));
  // A zip file counts as a folder only when zip files are opened as folders.
  TlvShellFolder* zip = Item(L"arşiv.zip");
  EXPECT_FALSE(zip->IsFolder(L"ARŞİV.ZIP"));
  EXPECT_TRUE(zip->IsFile(L"arşiv.Zip"));
  EXPECT_NE(SysSmallImageList(), nullptr);
}

TEST_F(ShellItems, AttributesCapabilitiesAndDetails) {
  for (auto& item : items_) {
    SCOPED_TRACE(testutil::Utf8(item->PathName()));
    TlvShellFolderProperties props = item->Properties();
    EXPECT_TRUE(props.Contains(fpFileSystem));
    EXPECT_FALSE(props.Contains(fpIsLink));
    TlvShellFolderCapabilities caps = item->Capabilities();
    EXPECT_TRUE(caps.Contains(fcCanRename));
    EXPECT_TRUE(caps.Contains(fcCanCopy));
    EXPECT_TRUE(caps.Contains(fcCanDelete));
  }
  EXPECT_TRUE(Item(L"çizelge.csv")->Properties().Contains(fpReadOnly));
  EXPECT_TRUE(Item(L"çizelge.csv")->IsReadOnly());
  EXPECT_FALSE(Item(L"rapor.txt")->Properties().Contains(fpReadOnly));
  EXPECT_TRUE(root_->SubFolders());
  // Details are read once asked for; before that the item says what is missing.
  TlvShellFolder* list = Item(L"Öğrenci listesi.txt");
  try {
    list->Details(1);
    ADD_FAILURE() << "no exception";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), list->DisplayName(seSystem) + L": Missing call to LoadColumnDetails");
  }
  list->LoadColumnDetails(4);
  EXPECT_EQ(list->DetailCount(), 4);
  EXPECT_TRUE(list->Details(1) == L"Öğrenci listesi.txt" || list->Details(1) == L"Öğrenci listesi")
      << testutil::Utf8(list->Details(1));
  EXPECT_FALSE(list->Details(2).empty());  // the size
  list->SetDetails(2, L"1 KB");
  EXPECT_EQ(list->Details(2), L"1 KB");
  list->SetDetails(9, L"sonda");
  EXPECT_EQ(list->Details(5), L"sonda");
}

TEST_F(ShellItems, RenameKeepsTheAbsoluteIDValid) {
  TlvShellFolder* report = Item(L"rapor.txt");
  ASSERT_NE(report, nullptr);
  ASSERT_TRUE(report->Rename(L"dönem raporu.txt"));
  EXPECT_EQ(report->PathName(), dir_->Path() + L"\\dönem raporu.txt");
  EXPECT_NE(GetFileAttributesW((dir_->Path() + L"\\dönem raporu.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW((dir_->Path() + L"\\rapor.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(report->DisplayName(seHide), L"dönem raporu");
  // A name the shell refuses raises with the name.
  try {
    report->Rename(L"kötü:ad?.txt");
    ADD_FAILURE() << "no exception";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), L"Rename to kötü:ad?.txt failed");
  }
}

}  // namespace
