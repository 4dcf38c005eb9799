// Restyling the open documents after a style command: 50 application editors of 10,000 lines
// each, all of the changed style.
#include "styles/applystyle.h"
#include "styles/orvaneeditor.h"
#include "support/sj.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace orvane {
namespace {

// Arg 0: word wrap off; 1: on (the wrap options reach every document as well).
void BM_RestyleOpenDocuments(benchmark::State& state) {
    const bool wrap = state.range(0) != 0;
    TOrvaneStyleList list;
    const int html = list.AddStyle("HTMLファイル");
    TOrvaneStyle& style = list.Styles(html);
    style.ApplyTemplate(TStyleTemplate::HTML);
    style.Prop().SetWordWrap(wrap);
    list.SetExtStyle("html", html);

    std::string text;
    const std::string line = "<p class=\"note\">" + test::sj("日本語の段落と") + " http://example.jp/ &amp; 12345</p>\r\n";
    for (int i = 0; i < 10000; ++i) text += line;

    std::vector<std::unique_ptr<TOrvaneEditor>> editors;
    std::vector<std::string> names;
    for (int i = 0; i < 50; ++i) {
        auto editor = std::make_unique<TOrvaneEditor>();
        editor->resize(800, 600);
        editor->Document().SetText(text);
        ApplyStyle(style, *editor, &editor->MarksOrvane());
        editors.push_back(std::move(editor));
        names.push_back("/w/page" + std::to_string(i) + ".html");
    }
    TColor color = 0x000080;
    for (auto _ : state) {
        // What a style command does: change the style, then restyle the documents of it.
        color ^= 0x00FF00;
        style.Prop().View().Colors().DBCS().SetColor(color);
        for (int i : DocumentsOfStyle(list, html, names))
            ApplyStyle(style, *editors[std::size_t(i)], &editors[std::size_t(i)]->MarksOrvane());
    }
    state.counters["documents"] = double(editors.size());
    state.counters["rows_each"] = editors[0]->RowCount();
}
BENCHMARK(BM_RestyleOpenDocuments)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane
