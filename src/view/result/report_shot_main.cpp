// torvane-report-shot: renders the report view with a sample report made from saved WHOIS
// answers to a PNG file, without a display (run it with QT_QPA_PLATFORM=offscreen).
//
//   torvane-report-shot OUTPUT.png [WIDTH HEIGHT [ANSWERS_DIR]]
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <cstdio>
#include <exception>

#include "view/result/result_view.h"
#include "view/result/sample_report.h"
#include "view/widget/text_view.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [WIDTH HEIGHT [ANSWERS_DIR]]\n", argv[0]);
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
