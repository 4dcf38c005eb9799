// The search engine over large Japanese texts: a rare word counted through 10 MB and 100 MB,
// plain and with case and width folding, and one find-next in a document of a million lines.
// ORVANE_SEARCH_TEXT_OUT=FILE writes the 100 MB text to FILE, for a side-by-side run of other
// tools over the same bytes.
#include "document/document.h"
#include "editor/findtext.h"
#include "editor/searchtext.h"
#include "support/sj.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace orvane {
namespace {

// The rare word, as it appears in the text: full-width about once per 160 KB, half-width
// (which only the folded search finds) as often.
const std::string& RareWord() {
    static const std::string w = test::sj("ゲート検索");
    return w;
}

// Japanese prose of Bytes bytes in lines of 20-120 bytes: kanji, kana, punctuation, some ASCII,
// full-width Latin and half-width katakana, with the rare word sprinkled in.
const std::string& JapaneseText(std::size_t Bytes) {
    static std::map<std::size_t, std::string> made;
    std::string& text = made[Bytes];
    if (!text.empty()) return text;
    std::vector<std::string> words;
    for (const char* u : {"日本語の", "文章を", "検査する", "ための", "試験", "データ", "です。", "、", "「括弧」",
                          "テキスト", "エディタ", "ｶﾀｶﾅ", "ﾃｽﾄ", "ａｂｃ", "ＡＢＣ", "漢字", "ひらがな", "表示",
                          "能力", "十分な", "ソフト", "検討", "ゲーム", "索引"})
        words.push_back(test::sj(u));
    for (const char* a : {"text ", "search ", "1234 ", "Orvane ", "\t"}) words.push_back(a);
    const std::string half = test::sj("ｹﾞｰﾄ検索");
    std::mt19937 rng(42);
    text.reserve(Bytes + 256);
    const std::size_t every = 400000;
    while (text.size() < Bytes) {
        const std::size_t target = 20 + rng() % 100;
        const std::size_t start = text.size();
        while (text.size() - start < target) {
            // One word in 10,000 is the rare word, in either form.
            if (rng() % every < 40) text += (rng() % 2) ? RareWord() : half;
            text += words[rng() % words.size()];
        }
        text += "\r\n";
    }
    if (const char* out = std::getenv("ORVANE_SEARCH_TEXT_OUT"); out && Bytes == (100u << 20)) {
        std::ofstream f(out, std::ios::binary);
        f.write(text.data(), std::streamsize(text.size()));
    }
    return text;
}

void CountHits(benchmark::State& state, TSearchOptions Options) {
    const std::string& text = JapaneseText(std::size_t(state.range(0)));
    std::int64_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        TSearchPos pos;
        while (SearchText(text, pos, RareWord(), Options | soDown)) ++hits;
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = double(hits);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}

void BM_SearchPlain(benchmark::State& state) { CountHits(state, soMatchCase); }
BENCHMARK(BM_SearchPlain)->Arg(10 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond);

// Case folding and half-/full-width equivalence: the half-width forms count too.
void BM_SearchFolded(benchmark::State& state) { CountHits(state, soNoMatchZenkaku); }
BENCHMARK(BM_SearchFolded)->Arg(10 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond);

// Passing over line breaks and blanks as well: no fixed prefix, every candidate compared.
void BM_SearchFoldedPassing(benchmark::State& state) {
    CountHits(state, soNoMatchZenkaku | soIncludeCRLF | soIncludeSpace);
}
BENCHMARK(BM_SearchFoldedPassing)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

// A million lines (about 70 MB) with word wrap on; one find-next from a random row to the next
// hit (range(0): rows between hits), or through the whole document when the word is absent (0).
void BM_FindNextInDocument(benchmark::State& state) {
    static TEditorScreenStrings* doc = [] {
        auto* d = new TEditorScreenStrings;
        d->WrapOption().SetWrapByte(80);
        d->SetWordWrap(true);
        d->SetText(JapaneseText(70u << 20));
        return d;
    }();
    const int every = int(state.range(0));
    // A word put at the start of every `every`-th line, absent from the text itself.
    const std::string word = test::sj(every ? "目印" : "不在") + std::to_string(every);
    static std::map<int, TEditorScreenStrings*> marked;
    TEditorScreenStrings* d = doc;
    if (every) {
        TEditorScreenStrings*& m = marked[every];
        if (!m) {
            m = new TEditorScreenStrings;
            m->WrapOption().SetWrapByte(80);
            m->SetWordWrap(true);
            std::string text;
            const std::string& base = JapaneseText(70u << 20);
            std::size_t line = 0;
            for (std::size_t at = 0; at < base.size();) {
                const std::size_t end = base.find("\r\n", at);
                if (line++ % std::size_t(every) == 0) text += word;
                text.append(base, at, end + 2 - at);
                at = end + 2;
            }
            m->SetText(text);
        }
        d = m;
    }
    std::mt19937 rng(3);
    for (auto _ : state) {
        const int row = int(rng() % unsigned(d->GetCount()));
        auto hit = SearchDocument(*d, {row, 0, 0}, word, soDown | soNoMatchZenkaku);
        benchmark::DoNotOptimize(hit);
    }
    state.counters["rows"] = d->GetCount();
}
BENCHMARK(BM_FindNextInDocument)->Arg(1000)->Arg(100000)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane
