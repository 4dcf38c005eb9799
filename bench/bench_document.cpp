// The document core on a million lines: loading, wrapping, typing, line breaks, undo.
#include "document/document.h"
#include "support/sj.h"

#include <benchmark/benchmark.h>

#include <string>

namespace orvane {
namespace {

// A Japanese-and-ASCII text of Lines lines averaging about 30 bytes: most lines are short, every
// tenth runs to 120-200 bytes with punctuation and brackets, so word wrap at 80 cuts it.
const std::string& SampleText(int Lines) {
    static std::string text;
    static int made = 0;
    if (made == Lines) return text;
    const std::string words[] = {test::sj("日本語の"), "text ", test::sj("文章、"), "wrap ", test::sj("「括弧」"),
                                 "1234 ", test::sj("です。"), "\t", "http://example.jp/ ", test::sj("ｶﾀｶﾅ")};
    text.clear();
    unsigned seed = 1;
    for (int i = 0; i < Lines; ++i) {
        const std::size_t target = i % 10 == 0 ? 120 + (i / 10) % 80 : 12 + i % 13;
        const std::size_t start = text.size();
        while (text.size() - start < target) {
            seed = seed * 1103515245u + 12345u;
            text += words[(seed >> 16) % 10];
        }
        text += "\r\n";
    }
    made = Lines;
    return text;
}

void WrapAt80WithRules(TEditorScreenStrings& doc) {
    auto& o = doc.WrapOption();
    o.BeginUpdate();
    o.SetWrapByte(80);
    o.SetLeading(true);
    o.SetFollowPunctuation(true);
    o.SetWordBreak(true);
    o.EndUpdate();
    doc.SetWordWrap(true);
}

void BM_SetText(benchmark::State& state) {
    const std::string& text = SampleText(int(state.range(0)));
    for (auto _ : state) {
        TEditorScreenStrings doc;
        doc.SetText(text);
        benchmark::DoNotOptimize(doc.GetCount());
        state.PauseTiming();
        // Memory the rows take beyond their text bytes.
        std::size_t textBytes = 0;
        for (int r = 0; r < doc.GetCount(); ++r) textBytes += doc.RowView(r).size();
        const double overhead = double(doc.ItemBytes() + rowtext::LiveBlockBytes()) - double(textBytes);
        state.counters["bytes_per_row"] = overhead / doc.GetCount();
        state.counters["rows"] = doc.GetCount();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_SetText)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_SetTextWrapped(benchmark::State& state) {
    const std::string& text = SampleText(int(state.range(0)));
    for (auto _ : state) {
        TEditorScreenStrings doc;
        WrapAt80WithRules(doc);
        doc.SetText(text);
        state.counters["rows"] = doc.GetCount();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_SetTextWrapped)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_TypeAtEnd(benchmark::State& state) {
    TEditorScreenStrings doc;
    WrapAt80WithRules(doc);
    doc.SetText(SampleText(int(state.range(0))) + "last line");
    std::string row;
    for (auto _ : state) {
        const int last = doc.GetCount() - 1;
        row.assign(doc.RowView(last));
        if (row.size() > 60) row.resize(10);  // keep the row short: the same work every keystroke
        row += 'x';
        doc.ReplaceRows(last, 1, row);
    }
    if (doc.RowView(doc.GetCount() - 1).back() != 'x') state.SkipWithError("typing did not reach the document");
}
BENCHMARK(BM_TypeAtEnd)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_EnterAtStart(benchmark::State& state) {
    TEditorScreenStrings doc;
    WrapAt80WithRules(doc);
    doc.SetText(SampleText(int(state.range(0))));
    std::string text;
    for (auto _ : state) {
        text = "\r\n";
        text += doc.RowTextWithBreak(0);  // the row is replaced with its line break
        doc.ReplaceRows(0, 1, text);
    }
    if (doc.GetCount() < state.range(0) + std::int64_t(state.iterations())) state.SkipWithError("no line breaks");
}
BENCHMARK(BM_EnterAtStart)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_UndoRedo(benchmark::State& state) {
    TEditorScreenStrings doc;
    WrapAt80WithRules(doc);
    doc.SetText(SampleText(int(state.range(0))));
    const int middle = doc.GetCount() / 2;
    doc.ReplaceRows(middle, 1, std::string(doc.RowView(middle)) + "x");
    for (auto _ : state) {
        doc.Undo();
        doc.Redo();
    }
}
BENCHMARK(BM_UndoRedo)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_RewrapAll(benchmark::State& state) {
    TEditorScreenStrings doc;
    WrapAt80WithRules(doc);
    doc.SetText(SampleText(int(state.range(0))));
    for (auto _ : state) doc.RewrapAll();
    state.counters["rows"] = doc.GetCount();
}
BENCHMARK(BM_RewrapAll)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// The worst case of the row gap buffer: line breaks alternately at the top and at the bottom,
// so that every edit moves the gap across the whole document.
void BM_EnterTopThenBottom(benchmark::State& state) {
    TEditorScreenStrings doc;
    doc.SetText(SampleText(int(state.range(0))));
    bool top = true;
    for (auto _ : state) {
        const int row = top ? 0 : doc.GetCount() - 2;
        doc.ReplaceRows(row, 1, "\r\n" + doc.RowTextWithBreak(row));
        top = !top;
    }
}
BENCHMARK(BM_EnterTopThenBottom)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvane
