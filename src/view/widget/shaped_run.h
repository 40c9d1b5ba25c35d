// Runs of the report that the cell grid alone cannot draw: clusters of more than one code point
// and the scripts whose letters join, reorder or stack marks (Arabic, Hebrew, Thai, Devanagari,
// ...). Such a run is shaped as one text and drawn inside the rectangle of the cells its clusters
// take; the cells themselves (unicode/cells.h) are never changed by it, so hit tests, selection
// and rows stay on the grid. Everything else keeps the view's per-cell drawing.
#pragma once

#include <QFont>
#include <QRect>
#include <string_view>

class QPainter;

namespace torvane::view {

// Whether the cluster `cluster` (one grapheme cluster of a report line, as forEachCharOfRow
// gives it) must be shaped: it holds more than one code point, other than a half-width kana with
// its half-width voiced marks (U+FF9E, U+FF9F, which CP932 writes and the grid draws per cell),
// or its first code point belongs to a script that joins, reorders or stacks its characters.
// False for every text CP932 writes and for Latin, Greek, Cyrillic, Hangul syllables and CJK.
bool NeedsShaping(std::string_view cluster);

// Draws UTF-8 `run` shaped with `font` (whose family list is the faces to fall back on) in the
// painter's pen, inside `cells` only: on the row's baseline `baseline`, squeezed horizontally when
// the shaped text is wider than `cells`, flush right when it reads right to left, flush left
// otherwise. Right-to-left order applies within `run` and nowhere else.
void DrawShapedRun(QPainter& painter, const QFont& font, std::string_view run, QRect cells,
                   qreal baseline);

}  // namespace torvane::view
