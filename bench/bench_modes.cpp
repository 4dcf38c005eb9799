// Tokenizing with the syntax modes: a full pass over a large mixed Japanese document (default
// mode) or a generated source (HTML, Java, C++, Delphi), the walk after one typed character or
// comment opener, and one very long row of mail-address characters.
#include "document/rowlist.h"
#include "modes/editorfountain.h"
#include "modes/mode_sources.h"
#include "modes/tokenize.h"

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace orvane {
namespace {

std::string ToSjis(std::string_view Utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    std::string out(Utf8.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(Utf8.data());
    std::size_t inLeft = Utf8.size(), outLeft = out.size();
    char* o = out.data();
    const bool ok = iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!ok) throw std::runtime_error("iconv");
    out.resize(out.size() - outLeft);
    return out;
}

// Lines of prose with URLs, mail addresses, numbers, half-width kana and a comment now and then.
std::string MixedText(int Lines) {
    static const char* const kLines[] = {
        "今日は http://example.jp/path/index.html?q=1 を見てから、駅前の店で 1,280 円の本を買った。",
        "連絡先：taro.yamada@example.co.jp（山田）まで。締め切りは 2024/06/01 です。",
        "ｶﾀｶﾅ と ひらがな と カタカナー、漢字混じりの文章 3.14 と value_1 を含む行",
        "/* 設定 */ width = 0x1F; height = 480; // 高さ",
        "ＡＢＣ １２３ のような全角英数字、そして www.example.org のような表記も使われる。",
        "",
        "　段落の始まりは全角空白で字下げする。「かぎ括弧」や『二重かぎ括弧』も出てくる。",
    };
    std::string sjis[std::size(kLines)];
    for (std::size_t i = 0; i < std::size(kLines); ++i) sjis[i] = ToSjis(kLines[i]);
    std::string text;
    text.reserve(static_cast<std::size_t>(Lines) * 70);
    for (int i = 0; i < Lines; ++i) {
        text += sjis[i % std::size(kLines)];
        text += "\r\n";
    }
    return text;
}

std::unique_ptr<TEditorFountain> Mode() {
    auto f = TStoreComponent::Create<TEditorFountain>();
    f->SetUrl(true);
    f->SetMail(true);
    auto* b = f->Brackets().Add();
    b->SetLeftBracket("/*");
    b->SetRightBracket("*/");
    return f;
}

void BM_TokenizeAll(benchmark::State& State) {
    const int lines = static_cast<int>(State.range(0));
    TEditorStringList rows;
    rows.AssignLines(MixedText(lines));
    auto mode = Mode();
    TTokenizeView view;
    view.InitBracketsFull = true;
    for (auto _ : State) TokenizeAllRows(*mode, rows, view);
    State.SetItemsProcessed(State.iterations() * rows.Count());  // rows per second
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(rows.GetTextStr().size()));
}
BENCHMARK(BM_TokenizeAll)->Arg(1000000)->Unit(benchmark::kMillisecond);

// One character typed in the middle and taken back again, each followed by the walk an edit
// makes (the edited row arrives not computed).
void BM_RetokenizeAfterType(benchmark::State& State) {
    const int lines = static_cast<int>(State.range(0));
    TEditorStringList rows;
    rows.AssignLines(MixedText(lines));
    auto mode = Mode();
    TTokenizeView full;
    full.InitBracketsFull = true;
    TokenizeAllRows(*mode, rows, full);
    TTokenizeView view;
    view.ScreenRows = 50;
    const int row = lines / 2;
    const std::string original = rows.Get(row);
    const std::string typed = "x" + original;
    bool flip = false;
    std::int64_t touched = 0;
    for (auto _ : State) {
        rows.Put(row, (flip = !flip) ? typed : original);
        rows.InvalidateRowAttributes(row);
        touched += RetokenizeRows(*mode, rows, row, true, view);
    }
    State.counters["rows_touched"] = benchmark::Counter(static_cast<double>(touched), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RetokenizeAfterType)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// A comment opener typed and removed near the top of a fully tokenized document: every edit
// changes the state of every row below, so each walk runs to its horizon and leaves the rest
// marked stale.
void BM_RetokenizeCommentOpener(benchmark::State& State) {
    const int lines = static_cast<int>(State.range(0));
    TEditorStringList rows;
    rows.AssignLines(MixedText(lines));
    auto mode = Mode();
    auto* never = mode->Brackets().Add();  // a bracket that no row closes
    never->SetLeftBracket("<%");
    never->SetRightBracket("%>");
    TTokenizeView full;
    full.InitBracketsFull = true;
    TokenizeAllRows(*mode, rows, full);
    TTokenizeView view;
    view.ScreenRows = 50;
    const int row = 10;
    const std::string original = rows.Get(row);
    const std::string typed = "<%" + original;
    bool flip = false;
    for (auto _ : State) {
        rows.Put(row, (flip = !flip) ? typed : original);
        rows.InvalidateRowAttributes(row);
        RetokenizeRows(*mode, rows, row, true, view);
    }
}
BENCHMARK(BM_RetokenizeCommentOpener)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_LongRowMail(benchmark::State& State) {
    std::string row;
    while (row.size() + 3 <= static_cast<std::size_t>(State.range(0))) row += "12,";
    TEditorStringList rows;
    rows.Add(row);
    rows.SetRowEndKind(0, reEndOfText);
    auto mode = Mode();
    TTokenizeView view;
    view.InitBracketsFull = true;
    for (auto _ : State) TokenizeAllRows(*mode, rows, view);
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(row.size()));
}
BENCHMARK(BM_LongRowMail)->Arg(320000)->Unit(benchmark::kMillisecond);

// ---- the language modes, on generated sources of their languages

using test::TModeLang;

void TokenizeAllMode(benchmark::State& State, TModeLang Lang) {
    const int lines = static_cast<int>(State.range(0));
    TEditorStringList rows;
    rows.AssignLines(test::GeneratedSource(Lang, lines));
    auto mode = test::NewModeFountain(Lang);
    TTokenizeView view;
    view.InitBracketsFull = true;
    for (auto _ : State) TokenizeAllRows(*mode, rows, view);
    State.SetItemsProcessed(State.iterations() * rows.Count());  // rows per second
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(rows.GetTextStr().size()));
}

// As BM_RetokenizeCommentOpener: an opener that nothing below closes, so every walk runs to its
// horizon.
void RetokenizeCommentOpenerMode(benchmark::State& State, TModeLang Lang) {
    const int lines = static_cast<int>(State.range(0));
    TEditorStringList rows;
    rows.AssignLines(test::GeneratedSource(Lang, lines));
    auto mode = test::NewModeFountain(Lang);
    auto* never = mode->Brackets().Add();
    never->SetLeftBracket("<%");
    never->SetRightBracket("%>");
    TTokenizeView full;
    full.InitBracketsFull = true;
    TokenizeAllRows(*mode, rows, full);
    TTokenizeView view;
    view.ScreenRows = 50;
    const int row = 10;
    const std::string original = rows.Get(row);
    const std::string typed = "<%" + original;
    bool flip = false;
    std::int64_t touched = 0;
    for (auto _ : State) {
        rows.Put(row, (flip = !flip) ? typed : original);
        rows.InvalidateRowAttributes(row);
        touched += RetokenizeRows(*mode, rows, row, true, view);
    }
    State.counters["rows_touched"] = benchmark::Counter(static_cast<double>(touched), benchmark::Counter::kAvgIterations);
}

[[maybe_unused]] const bool kModeBenchmarks = [] {
    for (TModeLang lang : test::kModeLangs) {
        const std::string name = test::ModeLangName(lang);
        benchmark::RegisterBenchmark(("BM_TokenizeAll" + name).c_str(), TokenizeAllMode, lang)
            ->Arg(1000000)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_RetokenizeCommentOpener" + name).c_str(), RetokenizeCommentOpenerMode, lang)
            ->Arg(1000000)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
}  // namespace orvane
