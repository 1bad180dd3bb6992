#include "platform/vcl/graphic.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/graphicfiles.h"

namespace vcl {

void TGraphic::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed();
}

void TGraphic::SetModified(bool value) {
  if (value)
    Changed();
  else
    modified_ = false;
}

void TGraphic::Changed() {
  modified_ = true;
  if (OnChange) OnChange(this);
}

void TGraphic::AssignTo(rtl::TPersistent* dest) const {
  auto* bitmap = dynamic_cast<TBitmap*>(dest);
  if (!bitmap) {
    TPersistent::AssignTo(dest);
    return;
  }
  bitmap->SetHandle(nullptr);
  if (Empty()) return;
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(Width(), Height());
  bitmap->Canvas()->Draw(0, 0, const_cast<TGraphic*>(this));
}

namespace {

std::vector<rtl::Byte> RestOf(rtl::TStream& stream) {
  rtl::Int64 rest = stream.Size() - stream.Position();
  std::vector<rtl::Byte> data(static_cast<size_t>(rest > 0 ? rest : 0));
  if (!data.empty()) stream.ReadBuffer(data.data(), static_cast<rtl::Integer>(data.size()));
  return data;
}

}  // namespace

void TGraphic::DefineProperties(TFiler* filer) {
  filer->DefineBinaryProperty(
      L"Data",
      [this](rtl::TStream& s) {
        auto data = RestOf(s);
        ReadData(data.data(), data.size());
      },
      [this](rtl::TStream& s) {
        std::vector<rtl::Byte> data;
        WriteData(data);
        if (!data.empty()) s.WriteBuffer(data.data(), static_cast<rtl::Integer>(data.size()));
      },
      !Empty());
}

void TGraphic::LoadFromStream(rtl::TStream& stream) {
  rtl::Int64 start = stream.Position();
  rtl::Int64 rest = stream.Size() - start;
  if (rest > 0x7FFFFFFF) throw rtl::EInvalidGraphic(L"Picture too large");
  std::vector<rtl::Byte> data(static_cast<size_t>(rest > 0 ? rest : 0));
  if (!data.empty()) stream.ReadBuffer(data.data(), static_cast<rtl::Integer>(data.size()));
  size_t used = LoadFromMemory(data.data(), data.size());
  stream.SetPosition(start + static_cast<rtl::Int64>(used));
}

void TGraphic::SaveToStream(rtl::TStream& stream) const {
  std::vector<rtl::Byte> data;
  SaveToMemory(data);
  if (!data.empty()) stream.WriteBuffer(data.data(), static_cast<rtl::Integer>(data.size()));
}

void TGraphic::LoadFromFile(const rtl::String& file_name) {
  rtl::TFileStream file(file_name, rtl::fmOpenRead | rtl::fmShareDenyWrite);
  LoadFromStream(file);
}

void TGraphic::SaveToFile(const rtl::String& file_name) const {
  std::vector<rtl::Byte> data;
  SaveToMemory(data);
  WriteWholeFile(file_name, data);
}

}  // namespace vcl
