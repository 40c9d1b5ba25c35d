// The font of the report view: a fixed-pitch Japanese font, 17 pixels high, bold.
#pragma once

#include <QFont>

namespace torvane::view {

// "ＭＳ ゴシック" when it is installed, else IPAGothic, else the first fixed-pitch family that
// supports Japanese (Noto Sans Mono CJK JP, VL Gothic, Takao Gothic, ...), else any Japanese
// family, and only without any the desktop's fixed-pitch font; always 17 pixels high and bold.
QFont ReportFont();

}  // namespace torvane::view
