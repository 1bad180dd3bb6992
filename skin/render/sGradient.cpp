#include "skin/render/sGradient.h"

#include "platform/rtl/strings.h"
#include "platform/vcl/colors.h"

void PrepareGradArray(const rtl::String& gradientStr, TsGradArray& data) {
  data.clear();
  if (gradientStr.empty()) return;
  std::vector<rtl::String> words;
  size_t i = 0;
  while (i < gradientStr.size()) {
    while (i < gradientStr.size() && gradientStr[i] == L';') ++i;
    size_t start = i;
    while (i < gradientStr.size() && gradientStr[i] != L';') ++i;
    if (i > start) words.push_back(gradientStr.substr(start, i - start));
  }
  const size_t pieces = words.size() / 5;
  data.reserve(pieces);
  for (size_t p = 0; p < pieces; ++p) {
    TsGradPie pie;
    pie.Color1 = vcl::ColorToRGB(rtl::StrToInt(words[5 * p]));
    pie.Color2 = vcl::ColorToRGB(rtl::StrToInt(words[5 * p + 1]));
    int percent = rtl::StrToInt(words[5 * p + 2]);
    pie.Percent = static_cast<std::uint8_t>(percent < 0 ? 0 : percent > 100 ? 100 : percent);
    pie.Mode1 = rtl::StrToInt(words[5 * p + 3]);
    data.push_back(pie);
  }
}
