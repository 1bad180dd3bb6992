#pragma once
// Points, sizes and rectangles as the class library names them. They have the layout of the Win32 POINT, SIZE
// and RECT (32-bit fields in the same order), so a pointer to one can be handed to the API through AsRECT/AsPOINT.
#include <cstdint>

#include "platform/rtl/win.h"

namespace vcl {

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(std::int32_t x, std::int32_t y) : X(x), Y(y) {}
  constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  constexpr TSize() = default;
  constexpr TSize(std::int32_t w, std::int32_t h) : cx(w), cy(h) {}
  constexpr bool operator==(const TSize&) const = default;
};

struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) : Left(l), Top(t), Right(r), Bottom(b) {}
  constexpr TRect(const RECT& r) : Left(r.left), Top(r.top), Right(r.right), Bottom(r.bottom) {}
  constexpr std::int32_t Width() const { return Right - Left; }
  constexpr std::int32_t Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool Contains(const TPoint& p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  constexpr bool operator==(const TRect&) const = default;
  operator RECT() const { return RECT{Left, Top, Right, Bottom}; }
};

static_assert(sizeof(TPoint) == sizeof(POINT) && sizeof(TRect) == sizeof(RECT) && sizeof(TSize) == sizeof(SIZE));

inline RECT* AsRECT(TRect* r) { return reinterpret_cast<RECT*>(r); }
inline const RECT* AsRECT(const TRect* r) { return reinterpret_cast<const RECT*>(r); }
inline POINT* AsPOINT(TPoint* p) { return reinterpret_cast<POINT*>(p); }
inline const POINT* AsPOINT(const TPoint* p) { return reinterpret_cast<const POINT*>(p); }

constexpr TPoint Point(std::int32_t x, std::int32_t y) { return {x, y}; }
constexpr TRect Rect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  return {left, top, right, bottom};
}
constexpr TRect Bounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  return {left, top, left + width, top + height};
}

}  // namespace vcl
