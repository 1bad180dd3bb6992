#include <gtest/gtest.h>

#include <cstring>

#include "platform/rtl/streams.h"
#include "platform/rtl/win.h"

using namespace rtl;

namespace {

String TempFile(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return String(dir) + name;
}

// Removes the file when the test ends, whatever happens.
struct ScopedFile {
  String path;
  explicit ScopedFile(const wchar_t* name) : path(TempFile(name)) { DeleteFileW(path.c_str()); }
  ~ScopedFile() { DeleteFileW(path.c_str()); }
};

std::string Content(TStream& s) {
  s.SetPosition(0);
  return s.ReadBytes(static_cast<Integer>(s.Size()));
}

}  // namespace

TEST(MemoryStream, ReadWriteSeekAndSize) {
  TMemoryStream s;
  s.WriteBytes("abcdef");
  EXPECT_EQ(s.Size(), 6);
  EXPECT_EQ(s.Position(), 6);
  EXPECT_EQ(s.Seek(-2, soEnd), 4);
  EXPECT_EQ(s.ReadBytes(10), "ef");  // a short read is not an error for Read
  EXPECT_EQ(s.Seek(-5, soCurrent), 1);
  char two[2];
  s.ReadBuffer(two, 2);
  EXPECT_EQ(std::string(two, 2), "bc");
  // Writing past the end fills the gap with zeros.
  s.SetPosition(8);
  s.WriteBytes("z");
  EXPECT_EQ(Content(s), std::string("abcdef\0\0z", 9));
  EXPECT_THROW(s.Seek(-1, soBeginning), EStreamError);
  s.SetPosition(7);
  char buf[4];
  EXPECT_THROW(s.ReadBuffer(buf, 4), EReadError);
  s.SetSize(3);
  EXPECT_EQ(s.Position(), 3);
  EXPECT_EQ(Content(s), "abc");
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
}

TEST(MemoryStream, PositionsBeyondFourGigabytesNeedNoMemory) {
  TMemoryStream s;
  const Int64 distant = 5LL * 1024 * 1024 * 1024 + 7;
  EXPECT_EQ(s.Seek(distant, soBeginning), distant);
  EXPECT_EQ(s.Position(), distant);
  EXPECT_EQ(s.Size(), 0);
  char c;
  EXPECT_EQ(s.Read(&c, 1), 0);
  EXPECT_EQ(s.Seek(distant, soCurrent), 2 * distant);
}

TEST(Stream, CopyFromWholeOrPart) {
  TStringStream source(std::string("0123456789"));
  TMemoryStream dest;
  source.SetPosition(4);
  EXPECT_EQ(dest.CopyFrom(source, 0), 10);  // 0 means all of source, from its start
  EXPECT_EQ(Content(dest), "0123456789");
  source.SetPosition(3);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(source, 4), 4);
  EXPECT_EQ(Content(part), "3456");
  EXPECT_EQ(source.Position(), 7);
  EXPECT_THROW(part.CopyFrom(source, 10), EReadError);
  // Larger than one copy chunk.
  TMemoryStream big;
  std::string data(200000, 'x');
  data[150000] = 'y';
  big.WriteBytes(data);
  TMemoryStream copy;
  copy.CopyFrom(big, 0);
  EXPECT_EQ(Content(copy), data);
}

TEST(FileStream, CreateWriteAndReopen) {
  ScopedFile file(L"tavrel_streams_a.bin");
  {
    TFileStream s(file.path, fmCreate);
    s.WriteBytes("hello");
    EXPECT_EQ(s.Size(), 5);
    EXPECT_EQ(s.FileName(), file.path);
  }
  {
    TFileStream s(file.path, fmOpenReadWrite);
    s.Seek(0, soEnd);
    s.WriteBytes(" world");
  }
  TFileStream s(file.path, fmOpenRead | fmShareDenyNone);
  EXPECT_EQ(Content(s), "hello world");
  EXPECT_EQ(s.Write("x", 1), 0);  // opened for reading only
  EXPECT_THROW(s.WriteBuffer("x", 1), EWriteError);
}

TEST(FileStream, OpenAndCreateErrorsNameTheFile) {
  const String missing = TempFile(L"tavrel_no_such_dir\\x.bin");
  try {
    TFileStream s(missing, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_NE(e.Message().find(L"Cannot open file \"" + missing + L"\""), String::npos);
  }
  try {
    TFileStream s(missing, fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_NE(e.Message().find(L"Cannot create file \"" + missing + L"\""), String::npos);
  }
}

TEST(FileStream, ShareModesRefuseWhatTheyDeny) {
  ScopedFile file(L"tavrel_streams_share.bin");
  { TFileStream create(file.path, fmCreate); }
  {
    TFileStream first(file.path, fmOpenReadWrite | fmShareDenyWrite);
    EXPECT_THROW(TFileStream(file.path, fmOpenWrite | fmShareDenyNone), EFOpenError);
    TFileStream reader(file.path, fmOpenRead | fmShareDenyNone);  // reading stays allowed
  }
  {
    TFileStream exclusive(file.path, fmOpenRead | fmShareExclusive);
    EXPECT_THROW(TFileStream(file.path, fmOpenRead | fmShareDenyNone), EFOpenError);
  }
  TFileStream a(file.path, fmOpenReadWrite | fmShareDenyNone);
  TFileStream b(file.path, fmOpenReadWrite | fmShareDenyNone);
  a.WriteBytes("ab");
  EXPECT_EQ(b.Size(), 2);
}

TEST(FileStream, SixtyFourBitPositionsAndSizes) {
  ScopedFile file(L"tavrel_streams_large.bin");
  TFileStream s(file.path, fmCreate);
  const Int64 distant = 5LL * 1024 * 1024 * 1024 + 3;
  EXPECT_EQ(s.Seek(distant, soBeginning), distant);
  EXPECT_EQ(s.Position(), distant);
  // Setting the end does not write the gap: the file system keeps it sparse.
  s.SetSize(distant + 2);
  EXPECT_EQ(s.Size(), distant + 2);
  EXPECT_EQ(s.Seek(-1, soEnd), distant + 1);
  s.WriteBytes("!");
  EXPECT_EQ(s.Seek(-distant, soCurrent), 2);
  s.SetSize(0);
}

TEST(StringStream, TextAsUTF8OrUTF16Bytes) {
  TStringStream utf8(L"ağ");
  EXPECT_EQ(utf8.Size(), 3);
  EXPECT_EQ(utf8.DataString(), L"ağ");
  utf8.Seek(0, soEnd);
  utf8.WriteString(L"ı");
  EXPECT_EQ(utf8.DataString(), L"ağı");
  utf8.SetPosition(1);
  EXPECT_EQ(utf8.ReadString(2), L"ğ");

  TStringStream utf16(L"ağ", TStringStream::UTF16);
  EXPECT_EQ(utf16.Size(), 4);
  EXPECT_EQ(utf16.DataString(), L"ağ");

  TBytesStream bytes(std::vector<Byte>{1, 2, 3});
  bytes.Seek(0, soEnd);
  bytes.WriteBytes("\x04");
  EXPECT_EQ(bytes.Bytes(), (std::vector<Byte>{1, 2, 3, 4}));
}

TEST(MemoryStream, FileRoundTrip) {
  ScopedFile file(L"tavrel_streams_mem.bin");
  TMemoryStream s;
  s.WriteBytes(std::string("\0\1\2bytes", 8));
  s.SaveToFile(file.path);
  TMemoryStream back;
  back.LoadFromFile(file.path);
  EXPECT_EQ(back.Size(), 8);
  EXPECT_EQ(std::memcmp(back.Memory(), s.Memory(), 8), 0);
  EXPECT_EQ(back.Position(), 0);
}

TEST(ResourceStream, ReadsRcDataByNameOrId) {
  TResourceStream byName(nullptr, L"STREAMTEXT");
  EXPECT_EQ(Content(byName), "Merhaba");
  TResourceStream byId(nullptr, 4242);
  EXPECT_EQ(Content(byId), "dort");
  EXPECT_THROW(byId.WriteBuffer("x", 1), EStreamError);
  try {
    TResourceStream missing(nullptr, L"NOSUCHRESOURCE");
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), L"Resource NOSUCHRESOURCE not found");
  }
}
