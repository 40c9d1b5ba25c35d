// Shared helpers of the text view and result view tests: the application object, UTF-8 literals,
// points and pixel checks computed from the view's own layout.
#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <string>
#include <string_view>

#include "view/widget/text_view.h"

namespace torvane::view::testing {

// The QApplication all widget tests share (created on first use, offscreen in CTest).
void EnsureApp();

class WidgetTest : public ::testing::Test {
  protected:
    WidgetTest() { EnsureApp(); }
};

// The bytes of a UTF-8 literal, as the view's lines hold them.
std::string U8(std::u8string_view utf8);

// The middle of the cell rectangle of the character at `offset` of line `line`.
QPoint CenterOf(const TTextView& view, std::size_t line, std::size_t offset);

// The view drawn as the screen shows it (viewport only).
QImage Render(TTextView& view);

// Pixels inside `rect` whose colour is exactly `color`.
int CountColor(const QImage& image, const QRect& rect, QColor color);

// Pixels inside `rect` darker than mid grey.
int CountDark(const QImage& image, const QRect& rect);

}  // namespace torvane::view::testing
