// Our binary encoding of property lists, for stored properties that travel inside another format (a report
// object's PropData attribute). Layout: "VPD1", then properties until an empty name. A property is its name and a
// tagged value; texts are a length and UTF-8 bytes; lengths and counts are unsigned LEB128; integers and floats
// are 8 bytes little endian.
#include <cstring>

#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/formvalue.h"

namespace vcl {

namespace {

constexpr char kMagic[4] = {'V', 'P', 'D', '1'};

enum Tag : Byte { tInt = 1, tFloat, tString, tIdent, tSet, tList, tCollection, tBinary };

class Out {
public:
  std::vector<Byte> bytes;
  void Count(std::uint64_t n) {
    do {
      Byte b = n & 0x7F;
      n >>= 7;
      if (n) b |= 0x80;
      bytes.push_back(b);
    } while (n);
  }
  void Raw(const void* p, size_t n) {
    auto* b = static_cast<const Byte*>(p);
    bytes.insert(bytes.end(), b, b + n);
  }
  void Text(const String& s) {
    std::string u = rtl::StringToUTF8(s);
    Count(u.size());
    Raw(u.data(), u.size());
  }
  void Props(const std::vector<TFormProp>& props) {
    for (const TFormProp& p : props) {
      if (p.Name.empty()) continue;
      Text(p.Name);
      Value(p.Value);
    }
    Count(0);
  }
  void Value(const TFormValue& v) {
    switch (v.Kind) {
      case TFormValueKind::Integer: {
        bytes.push_back(tInt);
        std::uint64_t u = static_cast<std::uint64_t>(v.Int);
        for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<Byte>(u >> (8 * i)));
        break;
      }
      case TFormValueKind::Float: {
        bytes.push_back(tFloat);
        std::uint64_t u;
        std::memcpy(&u, &v.Float, 8);
        for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<Byte>(u >> (8 * i)));
        break;
      }
      case TFormValueKind::String:
        bytes.push_back(tString);
        Text(v.Str);
        break;
      case TFormValueKind::Ident:
        bytes.push_back(tIdent);
        Text(v.Str);
        break;
      case TFormValueKind::Set:
        bytes.push_back(tSet);
        Count(v.Elements.size());
        for (const String& e : v.Elements) Text(e);
        break;
      case TFormValueKind::List:
        bytes.push_back(tList);
        Count(v.List.size());
        for (const TFormValue& e : v.List) Value(e);
        break;
      case TFormValueKind::Collection:
        bytes.push_back(tCollection);
        Count(v.Items.size());
        for (const auto& item : v.Items) Props(item);
        break;
      case TFormValueKind::Binary:
        bytes.push_back(tBinary);
        Count(v.Bytes.size());
        Raw(v.Bytes.data(), v.Bytes.size());
        break;
    }
  }
};

class In {
public:
  explicit In(const std::vector<Byte>& d) : d_(d) {}
  [[noreturn]] void Fail(const String& what) const {
    throw EFormError(L"PropData", 0, what + L" at byte " + rtl::IntToStr(static_cast<Int64>(pos_)));
  }
  Byte GetByte() {
    if (pos_ >= d_.size()) Fail(L"Data ends early");
    return d_[pos_++];
  }
  std::uint64_t Count() {
    std::uint64_t n = 0;
    for (int shift = 0;; shift += 7) {
      if (shift > 63) Fail(L"Invalid length");
      Byte b = GetByte();
      n |= std::uint64_t{b & 0x7Fu} << shift;
      if (!(b & 0x80)) return n;
    }
  }
  std::uint64_t Fixed8() {
    std::uint64_t u = 0;
    for (int i = 0; i < 8; ++i) u |= std::uint64_t{GetByte()} << (8 * i);
    return u;
  }
  size_t Length() {
    std::uint64_t n = Count();
    if (n > d_.size() - pos_) Fail(L"Length past the end of the data");
    return static_cast<size_t>(n);
  }
  String Text() {
    size_t n = Length();
    String s = rtl::UTF8ToString(reinterpret_cast<const char*>(d_.data() + pos_), n);
    pos_ += n;
    return s;
  }
  std::vector<TFormProp> Props(int depth) {
    if (depth > 64) Fail(L"Nesting too deep");
    std::vector<TFormProp> props;
    for (;;) {
      String name = Text();
      if (name.empty()) return props;
      TFormProp p;
      p.Name = name;
      p.Value = Value(depth);
      props.push_back(std::move(p));
    }
  }
  TFormValue Value(int depth) {
    if (depth > 64) Fail(L"Nesting too deep");
    TFormValue v;
    Byte tag = GetByte();
    switch (tag) {
      case tInt:
        v.Kind = TFormValueKind::Integer;
        v.Int = static_cast<Int64>(Fixed8());
        break;
      case tFloat: {
        v.Kind = TFormValueKind::Float;
        std::uint64_t u = Fixed8();
        std::memcpy(&v.Float, &u, 8);
        break;
      }
      case tString:
        v.Kind = TFormValueKind::String;
        v.Str = Text();
        break;
      case tIdent:
        v.Kind = TFormValueKind::Ident;
        v.Str = Text();
        break;
      case tSet: {
        v.Kind = TFormValueKind::Set;
        size_t n = Length();
        for (size_t i = 0; i < n; ++i) v.Elements.push_back(Text());
        break;
      }
      case tList: {
        v.Kind = TFormValueKind::List;
        size_t n = Length();
        for (size_t i = 0; i < n; ++i) v.List.push_back(Value(depth + 1));
        break;
      }
      case tCollection: {
        v.Kind = TFormValueKind::Collection;
        size_t n = Length();
        for (size_t i = 0; i < n; ++i) v.Items.push_back(Props(depth + 1));
        break;
      }
      case tBinary: {
        v.Kind = TFormValueKind::Binary;
        size_t n = Length();
        v.Bytes.assign(d_.begin() + static_cast<std::ptrdiff_t>(pos_), d_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
        pos_ += n;
        break;
      }
      default:
        Fail(L"Unknown value tag " + rtl::IntToStr(tag));
    }
    return v;
  }
  bool AtEnd() const { return pos_ == d_.size(); }
  size_t pos_ = 0;

private:
  const std::vector<Byte>& d_;
};

}  // namespace

std::vector<Byte> EncodeFormProps(const std::vector<TFormProp>& props) {
  Out out;
  out.Raw(kMagic, 4);
  out.Props(props);
  return std::move(out.bytes);
}

std::vector<TFormProp> DecodeFormProps(const std::vector<Byte>& data) {
  In in(data);
  if (data.size() < 4 || std::memcmp(data.data(), kMagic, 4) != 0) in.Fail(L"Not stored property data");
  in.pos_ = 4;
  std::vector<TFormProp> props = in.Props(0);
  if (!in.AtEnd()) in.Fail(L"Extra data after the properties");
  return props;
}

}  // namespace vcl
