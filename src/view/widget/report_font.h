// The font of the report view: a fixed-pitch Japanese font, 17 pixels high, bold.
#pragma once

#include <QFont>

namespace torvane::view {

// "ＭＳ ゴシック" when it is installed, else IPAGothic, else the desktop's fixed-pitch font; always
// 17 pixels high and bold.
QFont ReportFont();

}  // namespace torvane::view
