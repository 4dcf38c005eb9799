// Painting the editor control: a full view of Japanese text into an offscreen image.
#include "widgets/editor.h"
#include "support/sj.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace orvane {
namespace {


// A 50-row by 120-column view, word wrap off, with URLs, numbers and line numbers.
void BM_PaintScreen(benchmark::State& state) {
    TEditor editor;
    editor.SetScrollBars(ssNone);
    editor.setFrameShape(QFrame::NoFrame);
    editor.Leftbar().SetVisible(true);
    editor.Ruler().SetVisible(true);
    editor.Marks().RetMark().SetVisible(true);
    editor.View().SetUrl(true);
    editor.View().Colors().Url().SetColor(0xC00000);
    editor.View().Colors().Int().SetColor(0x0000C0);
    std::string text;
    const std::string line = test::sj("日本語の文章と") + " http://example.jp/ 12345 " + test::sj("かなカナ漢字、。");
    for (int i = 0; i < 200; ++i) {
        std::string row;
        while (row.size() < 120) row += line;
        row.resize(118);
        text += row + "\r\n";
    }
    editor.Document().SetText(text);
    editor.resize(editor.TextLeft() + 120 * editor.CharWidth() + editor.CharWidth() / 2,
                  editor.TextTop() + 50 * editor.RowHeight() + 5);
    editor.show();
    QImage image(editor.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        editor.PaintRect(painter, image.rect());
    }
    state.counters["rows"] = editor.VisibleRowCount();
    state.counters["cols"] = editor.VisibleColCount();
}
BENCHMARK(BM_PaintScreen)->Unit(benchmark::kMillisecond);

// The Down key through 1,000 rows near the end of a wrapped 1,000,000-line document.
void BM_CaretDown(benchmark::State& state) {
    TEditor editor;
    editor.resize(800, 600);
    editor.show();
    editor.activateWindow();
    editor.setFocus();  // a focused editor keeps its caret in view: every step may scroll
    QApplication::processEvents();
    editor.WrapOption().SetWrapByte(80);
    editor.SetWordWrap(true);
    std::string text;
    const std::string line = test::sj("日本語の文章と") + " text\twith a tab " + test::sj("かな、カナ。");
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        text += line;
        if (i % 7 == 0) text += line + line + line;  // some lines take two rows
        text += "\r\n";
    }
    editor.Document().SetText(text);
    const int start = editor.RowCount() - 1100;
    for (auto _ : state) {
        editor.SetRowCol(start, 5);
        for (int i = 0; i < 1000; ++i) editor.Perform(WM_KEYDOWN, VK_DOWN, 0);
    }
    state.counters["keys_per_second"] = benchmark::Counter(1000.0 * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CaretDown)->Arg(1000000)->Unit(benchmark::kMillisecond);

// 10,000 characters typed one by one through the character handler into the middle of a
// wrapped 100,000-line document (the focused editor keeps its caret in view and repaints).
void BM_TypeString(benchmark::State& state) {
    TEditor editor;
    editor.resize(800, 600);
    editor.show();
    editor.activateWindow();
    editor.setFocus();
    QApplication::processEvents();
    editor.WrapOption().SetWrapByte(80);
    editor.SetWordWrap(true);
    std::string text;
    const std::string line = test::sj("日本語の文章と") + " text with words " + test::sj("かな、カナ。");
    for (int i = 0; i < 100000; ++i) text += line + "\r\n";
    const std::string typed = "The quick brown fox jumps over the lazy dog. ";
    for (auto _ : state) {
        state.PauseTiming();
        editor.Document().SetText(text);
        editor.SetRowCol(50000, 10);
        state.ResumeTiming();
        for (int i = 0; i < 10000; ++i) editor.Perform(WM_CHAR, static_cast<unsigned char>(typed[std::size_t(i) % typed.size()]));
    }
    state.counters["per_key_us"] =
        benchmark::Counter(10000.0 * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TypeString)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace orvane
