#pragma once
// The cells of a cluster, gathered code point by code point, so that
// NextGraphemeCluster and ClusterCells share one rule (stated in cells.h);
// internal to the unicode module.

#include "unicode/properties.h"

namespace torvane::unicode::detail {

class ClusterTally {
  public:
    // Adds the next code point of the cluster.
    void Add(char32_t c) {
        ++count_;
        if (count_ == 1) {
            firstIsRegional_ = GraphemeBreakOf(c) == GraphemeBreak::Regional_Indicator;
        } else if (count_ == 2) {
            if (c == 0xFE0F) wide_ = true;
            if (firstIsRegional_ && GraphemeBreakOf(c) == GraphemeBreak::Regional_Indicator) {
                wide_ = true;
            }
        }
        if (cells_ == 0) {
            cells_ = CodePointCells(c);
        } else if (GraphemeBreakOf(c) == GraphemeBreak::Extend && IsInCp932(c)) {
            // The half-width voiced marks U+FF9E and U+FF9F extend the kana
            // before them, but CP932 text has always given them a cell of
            // their own, and fonts draw them as one.
            cells_ += CodePointCells(c);
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
