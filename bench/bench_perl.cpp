// Tokenizing with the Perl mode: a full pass over a large CGI script, and the walks after
// keystrokes that open and close a here-document or a POD block near its top.
#include "document/rowlist.h"
#include "modes/perlfountain.h"
#include "modes/tokenize.h"

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvane {
namespace {

std::string PerlToSjis(std::string_view Utf8) {
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

// A CGI script: code with variables, strings, patterns and substitutions, a here-document of HTML
// and a POD block, repeated.
std::string PerlScript(int Lines) {
    static const char* const kLines[] = {
        "#!/usr/bin/perl -w",
        "use strict;  # 設定を読む",
        "my %config = (name => 'サイト名', count => 0x1F, ratio => 3.14);",
        "my @items = qw(りんご みかん ぶどう);",
        "sub escape_html {",
        "    my ($text) = @_;",
        "    $text =~ s/&/&amp;/g;",
        "    $text =~ s{<}{&lt;}g;",
        "    $text =~ tr/a-z/A-Z/;",
        "    return $text;",
        "}",
        "foreach my $item (@items) {",
        "    next unless $item =~ m/^\\s*(\\w+)$/i;",
        "    print \"項目: $item\\n\" if $config{count} > 10;",
        "}",
        "print <<\"HTML\";",
        "Content-Type: text/html; charset=Shift_JIS",
        "",
        "<html><body class=\"main\">",
        "<p>こんにちは、$config{name} &amp; 皆さん</p>",
        "</body></html>",
        "HTML",
        "my $total = $count / 2 + $$;",
        "=pod",
        "",
        "=head1 説明",
        "",
        "この関数は while と if を含む文章です。",
        "",
        "=cut",
    };
    std::vector<std::string> sjis;
    for (const char* line : kLines) sjis.push_back(PerlToSjis(line));
    std::string text;
    text.reserve(static_cast<std::size_t>(Lines) * 40);
    for (int i = 0; i < Lines; ++i) {
        text += sjis[i % sjis.size()];
        text += "\r\n";
    }
    return text;
}

// With a second argument of 1 the script starts with a here-document that never ends: every row
// then carries its terminator.
void BM_TokenizeAllPerl(benchmark::State& State) {
    const int lines = static_cast<int>(State.range(0));
    TEditorStringList rows;
    rows.AssignLines((State.range(1) == 1 ? "print <<NEVER;\r\n" : "") + PerlScript(lines));
    auto mode = TStoreComponent::Create<TPerlFountain>();
    TTokenizeView view;
    view.InitBracketsFull = true;
    for (auto _ : State) TokenizeAllRows(*mode, rows, view);
    State.SetItemsProcessed(State.iterations() * rows.Count());  // rows per second
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(rows.GetTextStr().size()));
}
BENCHMARK(BM_TokenizeAllPerl)->Args({1000000, 0})->Args({1000000, 1})->Unit(benchmark::kMillisecond);

// Typing "<<EOT;" at the end of a row near the top of a fully tokenized script, deleting it again,
// then the same with "=pod" at the start of a row: one keystroke per iteration, each followed by
// the walk an edit makes (the edited row arrives not computed). The script has no "EOT" row, so
// while the here-document is open every row below changes its state and the walk runs to its
// horizon; the POD block ends at the script's next "=cut". With a second argument of 1 only the
// keystrokes that open or close the here-document or the POD block are made (the worst ones).
void BM_RetokenizeHereDocPerl(benchmark::State& State) {
    const int lines = static_cast<int>(State.range(0));
    TEditorStringList rows;
    rows.AssignLines(PerlScript(lines));
    auto mode = TStoreComponent::Create<TPerlFountain>();
    TTokenizeView full;
    full.InitBracketsFull = true;
    TokenizeAllRows(*mode, rows, full);
    TTokenizeView view;
    view.ScreenRows = 50;

    const int hereRow = 6, podRow = 11;  // "    $text =~ s/&/&amp;/g;" and "foreach ..."
    const std::string hereOriginal = rows.Get(hereRow), podOriginal = rows.Get(podRow);
    std::vector<std::pair<int, std::string>> keystrokes;
    const std::string here = " <<EOT;", pod = "=pod ";
    for (std::size_t n = 1; n <= here.size(); ++n) keystrokes.emplace_back(hereRow, hereOriginal + here.substr(0, n));
    for (std::size_t n = here.size(); n-- > 0;) keystrokes.emplace_back(hereRow, hereOriginal + here.substr(0, n));
    for (std::size_t n = 1; n <= pod.size(); ++n) keystrokes.emplace_back(podRow, pod.substr(0, n) + podOriginal);
    for (std::size_t n = pod.size(); n-- > 0;) keystrokes.emplace_back(podRow, pod.substr(0, n) + podOriginal);

    if (State.range(1) == 1) {
        keystrokes = {{hereRow, hereOriginal + here}, {hereRow, hereOriginal + here.substr(0, here.size() - 1)},
                      {podRow, pod + podOriginal}, {podRow, pod.substr(0, pod.size() - 1) + podOriginal}};
    }
    std::size_t next = 0;
    std::int64_t touched = 0;
    for (auto _ : State) {
        const auto& [row, text] = keystrokes[next];
        next = (next + 1) % keystrokes.size();
        rows.Put(row, text);
        rows.InvalidateRowAttributes(row);
        touched += RetokenizeRows(*mode, rows, row, true, view);
    }
    State.counters["rows_touched"] = benchmark::Counter(static_cast<double>(touched), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RetokenizeHereDocPerl)->Args({1000000, 0})->Args({1000000, 1})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// One long row of a pattern that a careless scanner takes quadratic time over: runs of '$', of
// "<<" before a name, of quoted here-document starts, of nested openers.
void BM_LongRowPerl(benchmark::State& State) {
    static const char* const kPieces[] = {"$", "<<a", "<<\"", "q(", "=", "\\0"};
    const std::string piece = kPieces[State.range(1)];
    std::string row;
    while (row.size() + piece.size() <= static_cast<std::size_t>(State.range(0))) row += piece;
    TEditorStringList rows;
    rows.Add(row);
    rows.SetRowEndKind(0, reEndOfText);
    auto mode = TStoreComponent::Create<TPerlFountain>();
    auto parser = mode->NewParser();
    for (auto _ : State) {
        parser->BeginRow(row, {});
        while (parser->NextToken() != tokEnd) {}
    }
    State.SetLabel(piece);
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(row.size()));
}
BENCHMARK(BM_LongRowPerl)->ArgsProduct({{100000}, {0, 1, 2, 3, 4, 5}})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane
