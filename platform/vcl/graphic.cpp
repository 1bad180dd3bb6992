#include "platform/vcl/graphic.h"

#include "platform/rtl/exceptions.h"
#include "platform/vcl/bitmap.h"
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

void TGraphic::LoadFromFile(const rtl::String& file_name) {
  std::vector<rtl::Byte> data = ReadWholeFile(file_name);
  LoadFromMemory(data.data(), data.size());
}

void TGraphic::SaveToFile(const rtl::String& file_name) const {
  std::vector<rtl::Byte> data;
  SaveToMemory(data);
  WriteWholeFile(file_name, data);
}

}  // namespace vcl
