#include <string>

#include "platform/db/fields.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/textconv.h"

// Saving field values to streams: what report datasets use to hand blobs and memos on.
namespace db {

void TField::SaveToStream(rtl::TStream* stream) const {
  String s = GetAsString();
  if (stream && !s.empty()) stream->WriteBuffer(s.data(), static_cast<rtl::Integer>(s.size() * sizeof(wchar_t)));
}

void TBlobField::SaveToStream(rtl::TStream* stream) const {
  if (!stream) return;
  const FieldValue& v = Data();
  if (v.IsBytes()) {
    const std::string& b = v.AsBytes();
    if (!b.empty()) stream->WriteBuffer(b.data(), static_cast<rtl::Integer>(b.size()));
    return;
  }
  // A memo held as text is saved in the encoding of the platform's text files: UTF-8.
  std::string bytes = rtl::StringToUTF8(GetAsString());
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<rtl::Integer>(bytes.size()));
}

void TBlobField::LoadFromStream(rtl::TStream* stream) {
  if (!stream) return;
  rtl::Int64 n = stream->Size() - stream->Position();
  std::string bytes(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) stream->ReadBuffer(bytes.data(), static_cast<rtl::Integer>(n));
  SetData(FieldValue::Bytes(std::move(bytes)));
}

void TWideMemoField::SaveToStream(rtl::TStream* stream) const {
  if (!stream) return;
  // Wide memos are saved as UTF-16LE, the encoding report readers expect of them.
  String s = GetAsString();
  if (!s.empty()) stream->WriteBuffer(s.data(), static_cast<rtl::Integer>(s.size() * sizeof(wchar_t)));
}

}  // namespace db
