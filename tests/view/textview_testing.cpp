#include "textview_testing.h"

#include <QApplication>
#include <QPixmap>

#include "encoding/code_page.h"

namespace torvane::view::testing {

void EnsureApp() {
    if (QApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "textview_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

std::string U8(std::u8string_view utf8) { return std::string(utf8.begin(), utf8.end()); }

QPoint CenterOf(const TTextView& view, std::size_t line, std::size_t offset) {
    const QRect rect = view.charRect(TextPos{line, offset});
    EXPECT_FALSE(rect.isEmpty()) << "line " << line << " offset " << offset << " not on screen";
    return rect.center();
}

QImage Render(TTextView& view) {
    return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int CountColor(const QImage& image, const QRect& rect, QColor color) {
    int count = 0;
    const QRect area = rect & image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (QColor(image.pixel(x, y)).rgb() == color.rgb()) ++count;
        }
    }
    return count;
}

int CountDark(const QImage& image, const QRect& rect) {
    int count = 0;
    const QRect area = rect & image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) ++count;
        }
    }
    return count;
}

}  // namespace torvane::view::testing
