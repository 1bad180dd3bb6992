#pragma once
// Byte streams: files, memory, text and resources. Positions and sizes are 64-bit throughout.
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"

namespace rtl {

RTL_EXCEPTION_CLASS(EResNotFound, Exception);

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
// The older names scripts use.
constexpr Word soFromBeginning = 0;
constexpr Word soFromCurrent = 1;
constexpr Word soFromEnd = 2;

// Open modes (low bits) combine with one share mode; fmCreate may be combined with a share mode too.
constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

class TStream : public TObject {
public:
  String ClassName() const override { return L"TStream"; }

  // Transfer up to count bytes; the result is the number transferred (0 at the end, never more than count).
  virtual Integer Read(void* buffer, Integer count) = 0;
  virtual Integer Write(const void* buffer, Integer count) = 0;
  // The new position. Seeking past the end is allowed; a negative position raises EStreamError.
  virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;

  // Raise EReadError / EWriteError unless all count bytes were transferred.
  void ReadBuffer(void* buffer, Integer count);
  void WriteBuffer(const void* buffer, Integer count);
  // Copies count bytes from source's position; count 0 copies all of source from its start. Returns the bytes
  // copied.
  Int64 CopyFrom(TStream& source, Int64 count);

  Int64 Position() { return Seek(0, soCurrent); }
  void SetPosition(Int64 position) { Seek(position, soBeginning); }
  virtual Int64 Size();
  // Streams that cannot change their size ignore it.
  virtual void SetSize(Int64 size) {}

  // Convenience for byte strings (the stream's raw bytes, no conversion).
  std::string ReadBytes(Integer count);
  void WriteBytes(const std::string& bytes);
};

// A stream over a Win32 file handle it does not own.
class THandleStream : public TStream {
public:
  explicit THandleStream(void* handle) : handle_(handle) {}
  String ClassName() const override { return L"THandleStream"; }
  void* Handle() const { return handle_; }

  Integer Read(void* buffer, Integer count) override;
  Integer Write(const void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  void SetSize(Int64 size) override;

protected:
  void* handle_;
};

class TFileStream : public THandleStream {
public:
  // Raises EFCreateError or EFOpenError naming the file and the system's reason.
  TFileStream(const String& fileName, Word mode);
  ~TFileStream() override;
  String ClassName() const override { return L"TFileStream"; }
  const String& FileName() const { return fileName_; }

private:
  String fileName_;
};

class TCustomMemoryStream : public TStream {
public:
  String ClassName() const override { return L"TCustomMemoryStream"; }
  Integer Read(void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 Size() override { return static_cast<Int64>(data_.size()); }
  void* Memory() { return data_.data(); }
  const void* Memory() const { return data_.data(); }
  // Writes the whole content to stream at its position.
  void SaveToStream(TStream& stream);
  void SaveToFile(const String& fileName);

protected:
  std::vector<Byte> data_;
  Int64 position_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
public:
  String ClassName() const override { return L"TMemoryStream"; }
  Integer Write(const void* buffer, Integer count) override;
  void SetSize(Int64 size) override;
  void Clear();
  // Replaces the content with all of stream (from its start).
  void LoadFromStream(TStream& stream);
  void LoadFromFile(const String& fileName);
};

class TBytesStream : public TMemoryStream {
public:
  TBytesStream() = default;
  explicit TBytesStream(std::vector<Byte> bytes) { data_ = std::move(bytes); }
  String ClassName() const override { return L"TBytesStream"; }
  const std::vector<Byte>& Bytes() const { return data_; }
};

// Text held as bytes. UTF-8 by default, because text leaves the program as UTF-8 (files, database); UTF-16 little
// endian when asked. Neither form writes a byte-order mark.
class TStringStream : public TMemoryStream {
public:
  enum TEncoding { UTF8, UTF16 };
  explicit TStringStream(const String& text = String(), TEncoding encoding = UTF8);
  // Raw bytes, taken as they are.
  explicit TStringStream(const std::string& bytes, TEncoding encoding = UTF8);
  String ClassName() const override { return L"TStringStream"; }
  TEncoding Encoding() const { return encoding_; }
  // The whole content decoded.
  String DataString() const;
  // Reads count bytes (or up to the end) from the position, decoded.
  String ReadString(Integer count);
  void WriteString(const String& text);

private:
  TEncoding encoding_;
};

// A read-only stream over an RCDATA resource (or another type) of a module; instance nil means the executable.
class TResourceStream : public TCustomMemoryStream {
public:
  // Raise EResNotFound when the module has no such resource.
  TResourceStream(void* instance, const String& name, const wchar_t* type = nullptr);
  TResourceStream(void* instance, Integer id, const wchar_t* type = nullptr);
  String ClassName() const override { return L"TResourceStream"; }
  // Raises EStreamError: a resource cannot be written.
  Integer Write(const void* buffer, Integer count) override;

private:
  void Initialize(void* instance, const wchar_t* name, const wchar_t* type, const String& shownName);
};

}  // namespace rtl
