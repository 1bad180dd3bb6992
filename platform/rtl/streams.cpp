#include "platform/rtl/streams.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"

namespace rtl {

namespace {

String SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  String text = n && buffer ? String(buffer, n) : L"System error " + IntToStr(code);
  if (buffer) LocalFree(buffer);
  return TrimRight(text);
}

[[noreturn]] void InvalidSeek() { throw EStreamError(L"Invalid stream position"); }

}  // namespace

// ---- TStream

void TStream::ReadBuffer(void* buffer, Integer count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(L"Stream read error");
}

void TStream::WriteBuffer(const void* buffer, Integer count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(L"Stream write error");
}

Int64 TStream::Size() {
  Int64 position = Seek(0, soCurrent);
  Int64 size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

Int64 TStream::CopyFrom(TStream& source, Int64 count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  const Integer chunk = 1 << 16;
  std::vector<Byte> buffer(static_cast<size_t>(std::min<Int64>(count, chunk)));
  Int64 remaining = count;
  while (remaining > 0) {
    Integer n = static_cast<Integer>(std::min<Int64>(remaining, chunk));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    remaining -= n;
  }
  return count;
}

std::string TStream::ReadBytes(Integer count) {
  std::string bytes(static_cast<size_t>(std::max(count, 0)), '\0');
  Integer n = count > 0 ? Read(bytes.data(), count) : 0;
  bytes.resize(static_cast<size_t>(std::max(n, 0)));
  return bytes;
}

void TStream::WriteBytes(const std::string& bytes) {
  if (bytes.size() > static_cast<size_t>(std::numeric_limits<Integer>::max())) throw EWriteError(L"Stream write error");
  WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
}

// ---- THandleStream

Integer THandleStream::Read(void* buffer, Integer count) {
  if (count <= 0) return 0;
  DWORD done = 0;
  if (!ReadFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
  return static_cast<Integer>(done);
}

Integer THandleStream::Write(const void* buffer, Integer count) {
  if (count <= 0) return 0;
  DWORD done = 0;
  if (!WriteFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
  return static_cast<Integer>(done);
}

Int64 THandleStream::Seek(Int64 offset, TSeekOrigin origin) {
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  DWORD method = origin == soBeginning ? FILE_BEGIN : origin == soCurrent ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(handle_, distance, &result, method)) InvalidSeek();
  return result.QuadPart;
}

void THandleStream::SetSize(Int64 size) {
  Int64 position = Position();
  Seek(size, soBeginning);
  if (!SetEndOfFile(handle_)) throw EStreamError(L"Stream write error: " + SystemMessage(GetLastError()));
  if (position < size) Seek(position, soBeginning);
}

// ---- TFileStream

TFileStream::TFileStream(const String& fileName, Word mode) : THandleStream(INVALID_HANDLE_VALUE), fileName_(fileName) {
  static const DWORD shareModes[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
  DWORD shareIndex = (mode & 0xF0) >> 4;
  DWORD share = shareIndex < 5 ? shareModes[shareIndex] : 0;
  if ((mode & fmCreate) == fmCreate) {
    handle_ = CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
      throw EFCreateError(L"Cannot create file \"" + fileName + L"\". " + SystemMessage(GetLastError()));
    return;
  }
  static const DWORD accessModes[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE, 0};
  DWORD access = accessModes[mode & 3];
  if (access == 0)
    throw EFOpenError(L"Cannot open file \"" + fileName + L"\". " + SystemMessage(ERROR_INVALID_PARAMETER));
  handle_ = CreateFileW(fileName.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE)
    throw EFOpenError(L"Cannot open file \"" + fileName + L"\". " + SystemMessage(GetLastError()));
}

TFileStream::~TFileStream() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

// ---- memory streams

Integer TCustomMemoryStream::Read(void* buffer, Integer count) {
  Int64 size = static_cast<Int64>(data_.size());
  if (count <= 0 || position_ >= size) return 0;
  Integer n = static_cast<Integer>(std::min<Int64>(count, size - position_));
  std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

Int64 TCustomMemoryStream::Seek(Int64 offset, TSeekOrigin origin) {
  Int64 base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : static_cast<Int64>(data_.size());
  Int64 target;
  if (__builtin_add_overflow(base, offset, &target) || target < 0) InvalidSeek();
  position_ = target;
  return position_;
}

void TCustomMemoryStream::SaveToStream(TStream& stream) {
  size_t done = 0;
  while (done < data_.size()) {
    Integer n = static_cast<Integer>(std::min<size_t>(data_.size() - done, 1u << 30));
    stream.WriteBuffer(data_.data() + done, n);
    done += static_cast<size_t>(n);
  }
}

void TCustomMemoryStream::SaveToFile(const String& fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}

Integer TMemoryStream::Write(const void* buffer, Integer count) {
  if (count <= 0) return 0;
  Int64 end = position_ + count;
  if (end > static_cast<Int64>(data_.size())) SetSize(end);
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

void TMemoryStream::SetSize(Int64 size) {
  if (size < 0) InvalidSeek();
  try {
    if (static_cast<size_t>(size) > data_.capacity() && data_.capacity() > 0)
      data_.reserve(std::max(static_cast<size_t>(size), data_.capacity() + data_.capacity() / 2));
    data_.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(L"Out of memory while expanding memory stream");
  }
  if (position_ > size) position_ = size;
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  Int64 size = stream.Size();
  SetSize(size);
  position_ = 0;
  size_t done = 0;
  while (done < data_.size()) {
    Integer n = static_cast<Integer>(std::min<size_t>(data_.size() - done, 1u << 30));
    stream.ReadBuffer(data_.data() + done, n);
    done += static_cast<size_t>(n);
  }
}

void TMemoryStream::LoadFromFile(const String& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

// ---- TStringStream

namespace {

std::string Encode(const String& text, TStringStream::TEncoding encoding) {
  if (encoding == TStringStream::UTF8) return StringToUTF8(text);
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

String Decode(const Byte* data, size_t size, TStringStream::TEncoding encoding) {
  if (encoding == TStringStream::UTF8) return UTF8ToString(reinterpret_cast<const char*>(data), size);
  return String(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
}

}  // namespace

TStringStream::TStringStream(const String& text, TEncoding encoding) : encoding_(encoding) {
  std::string bytes = Encode(text, encoding);
  data_.assign(bytes.begin(), bytes.end());
}

TStringStream::TStringStream(const std::string& bytes, TEncoding encoding) : encoding_(encoding) {
  data_.assign(bytes.begin(), bytes.end());
}

String TStringStream::DataString() const { return Decode(data_.data(), data_.size(), encoding_); }

String TStringStream::ReadString(Integer count) {
  std::string bytes = ReadBytes(count);
  return Decode(reinterpret_cast<const Byte*>(bytes.data()), bytes.size(), encoding_);
}

void TStringStream::WriteString(const String& text) { WriteBytes(Encode(text, encoding_)); }

// ---- TResourceStream

TResourceStream::TResourceStream(void* instance, const String& name, const wchar_t* type) {
  Initialize(instance, name.c_str(), type, name);
}

TResourceStream::TResourceStream(void* instance, Integer id, const wchar_t* type) {
  Initialize(instance, MAKEINTRESOURCEW(id), type, IntToStr(id));
}

void TResourceStream::Initialize(void* instance, const wchar_t* name, const wchar_t* type, const String& shownName) {
  HMODULE module = instance ? static_cast<HMODULE>(instance) : GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, name, type ? type : MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!info) throw EResNotFound(L"Resource " + shownName + L" not found");
  HGLOBAL handle = LoadResource(module, info);
  const void* bytes = handle ? LockResource(handle) : nullptr;
  DWORD size = SizeofResource(module, info);
  if (!bytes && size) throw EResNotFound(L"Resource " + shownName + L" not found");
  const Byte* begin = static_cast<const Byte*>(bytes);
  data_.assign(begin, begin + size);
}

Integer TResourceStream::Write(const void* buffer, Integer count) {
  throw EStreamError(L"Can't write to a read-only resource stream");
}

}  // namespace rtl
