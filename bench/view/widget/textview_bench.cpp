// The text view on a report of 100,000 lines made from real WHOIS answers: appending them in one
// batch, painting the first and the last screen, hit tests at points all over the screen, and a
// screen reader's reads.
//
//   build/bench/view/widget/textview_bench   (runs headless: the offscreen platform is the default)
#include <benchmark/benchmark.h>

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <random>
#include <string>
#include <vector>

#include "view/result/result_view.h"
#include "view/result/sample_report.h"
#include "view/widget/text_view.h"

namespace {

using torvane::view::TResultView;
using torvane::view::TTextView;

constexpr std::size_t kLines = 100000;
constexpr QSize kScreen(1000, 1100);

const std::vector<std::string>& ReportLines() {
    static const std::vector<std::string> lines = [] {
        const std::vector<std::string> sample = torvane::view::SampleReport(TORVANE_SAMPLE_ANSWERS);
        std::vector<std::string> all;
        all.reserve(kLines);
        while (all.size() < kLines) {
            all.push_back(sample[all.size() % sample.size()]);
        }
        return all;
    }();
    return lines;
}

// A result view sized as a large window, holding the whole report.
struct FilledView {
    FilledView() : view(&memo) {
        memo.resize(kScreen);
        memo.show();  // lays the viewport out at its full size
        QCoreApplication::processEvents();
        memo.beginUpdate();
        memo.appendLines(ReportLines());
        memo.endUpdate();
    }
    TTextView memo;
    TResultView view;
};

void PaintOnce(TTextView& memo, QImage& image) {
    memo.viewport()->render(&image);
    benchmark::DoNotOptimize(image.constBits());
}

// A paint that left the screen blank would time nothing worth knowing.
bool ShowsText(const TTextView& memo, const QImage& image) {
    const QRgb background = memo.backgroundColor().rgb();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) return true;
        }
    }
    return false;
}

// An empty report view on the benchmark's screen, configured as the window's, ready for lines.
struct EmptyView {
    EmptyView() : view(&memo) {
        memo.resize(kScreen);
        memo.show();
        QCoreApplication::processEvents();
    }
    TTextView memo;
    TResultView view;
};

void BM_AppendInOneBatch(benchmark::State& state) {
    const std::vector<std::string>& lines = ReportLines();
    const bool oneByOne = state.range(0) == 1;
    for (auto _ : state) {
        state.PauseTiming();
        auto shown = std::make_unique<EmptyView>();
        TTextView* memo = &shown->memo;
        state.ResumeTiming();
        memo->beginUpdate();
        if (oneByOne) {
            for (const std::string& line : lines) memo->appendLine(line);
        } else {
            memo->appendLines(lines);
        }
        memo->endUpdate();
        state.PauseTiming();
        shown.reset();
        state.ResumeTiming();
    }
    state.SetLabel(oneByOne ? "appendLine x 100000" : "appendLines(100000)");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
}
BENCHMARK(BM_AppendInOneBatch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The 16 MiB answer of the window's stall test (64-byte lines, 262,144 of them) reaching the view
// as the leg hands it over: line by line (Append) or as one moved block (AppendLines).
void BM_AppendCappedAnswer(benchmark::State& state) {
    const std::string line = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    constexpr std::size_t kAnswerLines = (16u << 20) / 64;
    const bool oneByOne = state.range(0) == 1;
    for (auto _ : state) {
        state.PauseTiming();
        auto shown = std::make_unique<EmptyView>();
        TTextView* memo = &shown->memo;
        std::vector<std::string> lines(kAnswerLines, line);
        state.ResumeTiming();
        memo->beginUpdate();
        if (oneByOne) {
            for (const std::string& l : lines) memo->appendLine(l);
        } else {
            memo->appendLines(std::move(lines));
        }
        memo->endUpdate();
        state.PauseTiming();
        shown.reset();
        lines = {};
        state.ResumeTiming();
    }
    state.SetLabel(oneByOne ? "appendLine x 262144" : "appendLines(moved 262144)");
}
BENCHMARK(BM_AppendCappedAnswer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PaintFirstScreen(benchmark::State& state) {
    FilledView filled;
    QImage image(filled.memo.viewport()->size(), QImage::Format_RGB32);
    filled.memo.caretToStart();
    state.counters["rows_on_screen"] = filled.memo.visibleRows();
    for (auto _ : state) PaintOnce(filled.memo, image);
    if (!ShowsText(filled.memo, image)) state.SkipWithError("the screen stayed blank");
}
BENCHMARK(BM_PaintFirstScreen)->Unit(benchmark::kMillisecond);

void BM_ScrollToEndAndPaint(benchmark::State& state) {
    FilledView filled;
    QImage image(filled.memo.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        filled.memo.setTopRow(0);
        state.ResumeTiming();
        filled.memo.setTopRow(filled.memo.layout().rowCount());
        PaintOnce(filled.memo, image);
    }
    if (filled.memo.topRow() == 0 || !ShowsText(filled.memo, image)) {
        state.SkipWithError("not scrolled to the end, or the screen stayed blank");
    }
}
BENCHMARK(BM_ScrollToEndAndPaint)->Unit(benchmark::kMillisecond);

void BM_HitTest10000Points(benchmark::State& state) {
    FilledView filled;
    filled.memo.setTopRow(filled.memo.layout().rowCount() / 2);
    std::mt19937 random(43);
    std::uniform_int_distribution<int> x(0, filled.memo.viewport()->width() - 1);
    std::uniform_int_distribution<int> y(0, filled.memo.viewport()->height() - 1);
    std::vector<QPoint> points(10000);
    for (QPoint& point : points) point = QPoint(x(random), y(random));
    std::size_t links = 0;
    for (auto _ : state) {
        for (const QPoint& point : points) {
            const auto token = filled.memo.tokenAt(point);
            links += token.has_value();
        }
    }
    benchmark::DoNotOptimize(links);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * points.size()));
}
BENCHMARK(BM_HitTest10000Points)->Unit(benchmark::kMillisecond);

// A screen reader's first look at the filled report: the character count and the display row at
// the end (every line counted once), then 10,000 words read at offsets all over the text.
void BM_AccessibleFirstReadThenWords(benchmark::State& state) {
    std::mt19937 random(7);
    for (auto _ : state) {
        state.PauseTiming();
        auto shown = std::make_unique<FilledView>();
        QAccessibleTextInterface* text =
            QAccessible::queryAccessibleInterface(&shown->memo)->textInterface();
        state.ResumeTiming();
        const int count = text->characterCount();
        int start = 0;
        int end = 0;
        benchmark::DoNotOptimize(
            text->textAtOffset(count, QAccessible::LineBoundary, &start, &end));
        std::uniform_int_distribution<int> offsets(0, count);
        for (int i = 0; i < 10000; ++i) {
            benchmark::DoNotOptimize(
                text->textAtOffset(offsets(random), QAccessible::WordBoundary, &start, &end));
        }
        state.PauseTiming();
        shown.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AccessibleFirstReadThenWords)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
