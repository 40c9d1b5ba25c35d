// torvane-report-shot: renders the report view with a sample report made from saved WHOIS
// answers to a PNG file, without a display (run it with QT_QPA_PLATFORM=offscreen).
//
//   torvane-report-shot OUTPUT.png [WIDTH HEIGHT [ANSWERS_DIR]] [--select FIRST COUNT]
//
// --select selects COUNT whole lines from line FIRST (counted from 0), to show the highlight.
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <cstdio>
#include <exception>
#include <string_view>

#include "view/result/result_view.h"
#include "view/result/sample_report.h"
#include "view/widget/text_view.h"

int main(int argc, char** argv) {
    // Headless unless a platform is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    long selectFirst = -1;
    long selectCount = 0;
    if (argc >= 4 && std::string_view(argv[argc - 3]) == "--select") {
        selectFirst = std::atol(argv[argc - 2]);
        selectCount = std::atol(argv[argc - 1]);
        argc -= 3;
    }
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: %s OUTPUT.png [WIDTH HEIGHT [ANSWERS_DIR]] [--select FIRST COUNT]\n",
                     argv[0]);
        return 2;
    }
    const int width = argc > 3 ? std::atoi(argv[2]) : 900;
    const int height = argc > 3 ? std::atoi(argv[3]) : 1100;
    const char* answers = argc > 4 ? argv[4] : TORVANE_SAMPLE_ANSWERS;
    try {
        torvane::view::TTextView memo;
        torvane::view::TResultView view(&memo);
        memo.resize(width, height);
        memo.appendLines(torvane::view::SampleReport(answers));
        memo.caretToStart();
        if (selectFirst >= 0 && selectCount > 0 &&
            static_cast<std::size_t>(selectFirst + selectCount) < memo.count()) {
            const auto& layout = memo.layout();
            const std::size_t from = layout.positionOf({static_cast<std::size_t>(selectFirst), 0});
            const std::size_t to =
                layout.positionOf({static_cast<std::size_t>(selectFirst + selectCount), 0});
            memo.setSelStart(from);
            memo.setSelLength(to - from);
        }
        if (!memo.grab().toImage().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", argv[1]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
