// Reading every line of a large document through the editor's string list, with word wrap on
// (lines of several rows found from a remembered line start) and off.
#include "widgets/editor.h"
#include "editor/lines.h"

#include <benchmark/benchmark.h>

namespace orvane {
namespace {


// Lines of 0 to 199 bytes of words, so that with a wrap width of 80 about half take two or
// three rows.
std::string LinesText(int Lines) {
    static const std::string words = "lorem ipsum dolor sit amet, consectetur adipiscing elit sed do eiusmod tempor "
                                     "incididunt ut labore et dolore magna aliqua ut enim ad minim veniam quis nostrud "
                                     "exercitation ullamco laboris nisi ut aliquip ex ea commodo consequat duis aute ";
    std::string text;
    text.reserve(std::size_t(Lines) * 102);
    for (int i = 0; i < Lines; ++i) {
        const std::size_t length = std::size_t(i) * 37 % 200;
        text.append(words, std::size_t(i) % 40, length);
        text += "\r\n";
    }
    return text;
}

void LinesLoop(benchmark::State& state, bool WordWrap) {
    TEditor editor;
    editor.WrapOption().SetWrapByte(80);
    editor.SetWordWrap(WordWrap);
    editor.Document().AdoptText(LinesText(int(state.range(0))));
    TEditorStrings lines(editor);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const int count = lines.Count();
        for (int i = 0; i < count; ++i) bytes += lines.Get(i).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["lines"] = lines.Count();
    state.counters["rows"] = editor.RowCount();
}

void BM_LinesLoop(benchmark::State& state) { LinesLoop(state, true); }
void BM_LinesLoopNoWrap(benchmark::State& state) { LinesLoop(state, false); }
BENCHMARK(BM_LinesLoop)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinesLoopNoWrap)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane
