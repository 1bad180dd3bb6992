// The skin editor's link: a WM_COPYDATA block is read only within the size it states, and a whole block hands the
// manager an option text that is loaded in place of the skin folder's own.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/vcl/application.h"
#include "skin/core/sMessages.h"
#include "skintest.h"

using namespace skintest;

namespace {

// size bytes ending right before a page the process may not read: reading past them faults.
class GuardedBlock {
 public:
  explicit GuardedBlock(size_t size) : size_(size) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    page_ = info.dwPageSize;
    const size_t pages = (size + page_ - 1) / page_ + 1;
    base_ = static_cast<std::uint8_t*>(VirtualAlloc(nullptr, pages * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(base_ + (pages - 1) * page_, page_, PAGE_NOACCESS, &old);
    data_ = base_ + (pages - 1) * page_ - size;
  }
  ~GuardedBlock() { VirtualFree(base_, 0, MEM_RELEASE); }
  GuardedBlock(const GuardedBlock&) = delete;
  GuardedBlock& operator=(const GuardedBlock&) = delete;
  std::uint8_t* Data() { return data_; }
  size_t Size() const { return size_; }

 private:
  size_t size_, page_ = 0;
  std::uint8_t* base_ = nullptr;
  std::uint8_t* data_ = nullptr;
};

bool Deliver(TsSkinManager* m, const void* data, DWORD size) {
  COPYDATASTRUCT cds{0, size, const_cast<void*>(data)};
  vcl::TMessage msg;
  msg.Msg = WM_COPYDATA;
  msg.WParam = 7;
  msg.LParam = reinterpret_cast<LPARAM>(&cds);
  return m->MainWindowHook(msg);
}

void TakeOver(TsSkinManager* m) {
  vcl::TMessage msg;
  msg.Msg = SM_LUMICMD;
  msg.WParam = MakeLumiWParam(LVC_COPYDATA);
  EXPECT_TRUE(m->MainWindowHook(msg));
}

}  // namespace

TEST(SkinEditorLink, ABlockIsReadOnlyWithinItsStatedSize) {
  vcl::Application->Initialize();
  vcl::TComponent owner(nullptr);
  auto* m = vcl::Create<TsSkinManager>(&owner);
  ASSERT_TRUE(m->IsDefault());

  // A short block with the right magic: what it has is taken, the rest of the buffer stays empty.
  GuardedBlock shortBlock(40);
  std::memset(shortBlock.Data(), 'x', shortBlock.Size());
  const std::uint32_t magic = LKE_MSG;
  std::memcpy(shortBlock.Data(), &magic, 4);
  EXPECT_TRUE(Deliver(m, shortBlock.Data(), static_cast<DWORD>(shortBlock.Size())));
  EXPECT_EQ(m->PreviewBuffer.Magic, LKE_MSG);
  EXPECT_EQ(std::string(m->PreviewBuffer.SkinName, 36), std::string(36, 'x'));
  EXPECT_EQ(m->PreviewBuffer.SkinName[36], 0);
  EXPECT_EQ(m->PreviewBuffer.Data[0], 0);

  // Too short for the magic, or another magic: nothing is taken.
  m->PreviewBuffer = TlvSkinData();
  GuardedBlock tiny(3);
  std::memcpy(tiny.Data(), &magic, 3);
  EXPECT_TRUE(Deliver(m, tiny.Data(), 3));
  EXPECT_EQ(m->PreviewBuffer.Magic, 0u);
  GuardedBlock other(64);
  std::memset(other.Data(), 0x41, other.Size());
  EXPECT_TRUE(Deliver(m, other.Data(), 64));
  EXPECT_EQ(m->PreviewBuffer.Magic, 0u);

  // A block stating more than the record: only the record's size is read.
  GuardedBlock big(sizeof(TlvSkinData) + 100);
  std::memset(big.Data(), 0, big.Size());
  std::memcpy(big.Data(), &magic, 4);
  EXPECT_TRUE(Deliver(m, big.Data(), static_cast<DWORD>(big.Size())));
  EXPECT_EQ(m->PreviewBuffer.Magic, LKE_MSG);
}

TEST(SkinEditorLink, TheEditorsTextIsLoadedInPlaceOfTheFoldersOwn) {
  vcl::Application->Initialize();
  BoxCatcher boxes;
  TempSkinDir dir;
  dir.AddFolder(L"Lale");
  vcl::TComponent owner(nullptr);
  auto* m = vcl::Create<TsSkinManager>(&owner);
  ASSERT_TRUE(m->IsDefault());

  std::vector<rtl::Byte> text = SourceBytes(L"Lale\\Options.dat");
  std::string options(text.begin(), text.end());
  options.replace(options.find("COLOR=$DED6F4"), 13, "COLOR=$112233");
  TlvSkinData block;
  block.Magic = LKE_MSG;
  std::strcpy(block.SkinName, "Lale");
  const std::string path(dir.Path().begin(), dir.Path().end());
  std::strcpy(block.SkinDir, path.c_str());
  ASSERT_LT(options.size(), sizeof block.Data);
  std::memcpy(block.Data, options.data(), options.size());
  EXPECT_TRUE(Deliver(m, &block, sizeof block));
  TakeOver(m);
  EXPECT_TRUE(UnPackedFirst);
  UnPackedFirst = false;
  EXPECT_EQ(lvMemSkinFile, nullptr);
  EXPECT_EQ(m->SkinName(), L"Lale");
  EXPECT_EQ(m->SkinDirectory(), dir.Path());
  ASSERT_TRUE(m->CommonSkinData->Active);
  EXPECT_EQ(m->Palette[pcMainColor], 0x112233);
  // The images came from the folder.
  EXPECT_EQ(m->MasterBitmap->Width(), 128);
  EXPECT_TRUE(boxes.boxes.empty());
}
