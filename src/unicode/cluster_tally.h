#pragma once
// The cells of a cluster, gathered code point by code point, so that
// NextGraphemeCluster and ClusterCells share one rule (stated in cells.h);
// internal to the unicode module. Takes each code point's table byte
// (char_table.h), so a walk looks each code point up once.

#include <cstdint>

#include "unicode/char_table.h"
#include "unicode/properties.h"

namespace torvane::unicode::detail {

inline GraphemeBreak BreakOfByte(std::uint8_t byte) {
    return static_cast<GraphemeBreak>(byte & kBreakMask);
}
inline int CellsOfByte(std::uint8_t byte) { return (byte & kCellsMask) >> kCellsShift; }

class ClusterTally {
  public:
    // Adds the next code point of the cluster, `c` with table byte `byte`.
    void Add(char32_t c, std::uint8_t byte) {
        ++count_;
        if (count_ == 1) {
            firstIsRegional_ = BreakOfByte(byte) == GraphemeBreak::Regional_Indicator;
        } else if (count_ == 2) {
            if (c == 0xFE0F) wide_ = true;
            if (firstIsRegional_ && BreakOfByte(byte) == GraphemeBreak::Regional_Indicator) {
                wide_ = true;
            }
        }
        if (cells_ == 0) {
            cells_ = CellsOfByte(byte);
        } else if (BreakOfByte(byte) == GraphemeBreak::Extend && (byte & kCp932Bit) != 0) {
            // The half-width voiced marks U+FF9E and U+FF9F extend the kana
            // before them, but CP932 text has always given them a cell of
            // their own, and fonts draw them as one.
            cells_ += CellsOfByte(byte);
        }
    }

    int Cells() const {
        if (count_ == 0) return 0;
        if (wide_) return 2;
        return cells_ == 0 ? 1 : cells_;
    }

  private:
    int count_ = 0;
    int cells_ = 0;
    bool firstIsRegional_ = false;
    bool wide_ = false;
};

}  // namespace torvane::unicode::detail
