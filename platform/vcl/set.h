#pragma once
// Sets over enumerations ("set of TFontStyle"): a bit mask indexed by the enumeration's ordinal values, as the
// platform stores them and as scripts see them (the bits as an integer).
//
//   VCL_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
//   VCL_SET(TFontStyles, TFontStyle)           // using TFontStyles = vcl::TSet<TFontStyle>; plus its type name
//   TFontStyles s{fsBold, fsItalic};
//   if (s.Contains(fsBold)) s -= fsBold;
#include <cstdint>
#include <initializer_list>

namespace vcl {

template <class E>
class TSet {
public:
  using Element = E;

  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> elements) {
    for (E e : elements) bits_ |= Bit(e);
  }
  static constexpr TSet FromBits(std::uint64_t bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr std::uint64_t Bits() const { return bits_; }

  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TSet& Include(E e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    bits_ &= ~Bit(e);
    return *this;
  }

  constexpr TSet& operator+=(E e) { return Include(e); }
  constexpr TSet& operator-=(E e) { return Exclude(e); }
  constexpr TSet& operator+=(TSet o) {
    bits_ |= o.bits_;
    return *this;
  }
  constexpr TSet& operator-=(TSet o) {
    bits_ &= ~o.bits_;
    return *this;
  }
  constexpr TSet& operator*=(TSet o) {
    bits_ &= o.bits_;
    return *this;
  }
  friend constexpr TSet operator+(TSet a, TSet b) { return a += b; }
  friend constexpr TSet operator-(TSet a, TSet b) { return a -= b; }
  friend constexpr TSet operator*(TSet a, TSet b) { return a *= b; }
  friend constexpr TSet operator+(TSet a, E e) { return a += e; }
  friend constexpr TSet operator-(TSet a, E e) { return a -= e; }
  constexpr bool operator==(const TSet&) const = default;
  // a <= b: every element of a is in b.
  constexpr bool operator<=(TSet o) const { return (bits_ & ~o.bits_) == 0; }

private:
  static constexpr std::uint64_t Bit(E e) {
    auto ord = static_cast<unsigned>(e);
    return ord < 64 ? (std::uint64_t{1} << ord) : 0;
  }
  std::uint64_t bits_ = 0;
};

}  // namespace vcl
