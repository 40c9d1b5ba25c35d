#pragma once
// The layout of the generated per-code-point table; internal to the unicode
// module. tools/unicode-tables writes the data in this layout and
// properties.h reads it, so both sides share these constants.
//
// Each code point has one byte of properties, found in two steps: the block
// index of its high bits in kStage1, then the byte at its low bits in that
// block of kStage2. Identical blocks are stored once.

#include <cstdint>

namespace torvane::unicode::detail {

inline constexpr unsigned kBlockShift = 7;
inline constexpr unsigned kBlockSize = 1u << kBlockShift;
inline constexpr unsigned kCodePointLimit = 0x110000;
inline constexpr unsigned kStage1Size = kCodePointLimit >> kBlockShift;

// The byte: bits 0-3 the Grapheme_Cluster_Break value (GraphemeBreak in
// properties.h), bit 4 Extended_Pictographic, bits 5-6 the cells (0, 1, 2),
// bit 7 set when CP932 writes the character (with one byte or two).
inline constexpr std::uint8_t kBreakMask = 0x0F;
inline constexpr std::uint8_t kPictographicBit = 0x10;
inline constexpr unsigned kCellsShift = 5;
inline constexpr std::uint8_t kCellsMask = 0x60;
inline constexpr std::uint8_t kCp932Bit = 0x80;

// Defined in the generated unicode_tables.cpp.
extern const std::uint16_t kStage1[kStage1Size];
extern const std::uint8_t kStage2[];
// The Unicode version the data was generated from, e.g. "15.0.0".
extern const char kUnicodeVersion[];

}  // namespace torvane::unicode::detail
