// Character codes on 100 MB of generated Japanese text: reading each encoding into the document's
// Shift_JIS, writing UTF-8, detection, and iconv on the same text for comparison.
#include "document/document.h"
#include "files/charcode.h"
#include "files/detect.h"
#include "files/doctext.h"
#include "files/unicode.h"

#include <benchmark/benchmark.h>

#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace orvane {
namespace {

constexpr std::size_t kSize = 100 * 1000 * 1000;

// Prose-like Shift_JIS: mostly hiragana, level-1 kanji and katakana, some punctuation, ASCII
// words and digits, a half-width kana now and then; lines of 20 to 80 bytes ending in CR LF.
const std::string& SjisText() {
    static const std::string text = [] {
        std::string t;
        t.reserve(kSize + 128);
        std::uint32_t seed = 12345;
        auto rnd = [&](std::uint32_t n) {
            seed = seed * 1664525u + 1013904223u;
            return (seed >> 8) % n;
        };
        std::size_t lineStart = 0, lineLen = 40;
        while (t.size() < kSize) {
            std::uint32_t kind = rnd(100);
            if (kind < 45) {  // hiragana
                t += char(0x82);
                t += char(0x9F + rnd(0x53));
            } else if (kind < 70) {  // level-1 kanji (JIS rows 0x30-0x4E)
                auto s = JisToSjisChar(std::uint8_t(0x30 + rnd(0x1F)), std::uint8_t(0x21 + rnd(0x5E)));
                t += char(s[0]);
                t += char(s[1]);
            } else if (kind < 80) {  // katakana
                t += char(0x83);
                t += char(0x40 + rnd(0x3F));
            } else if (kind < 85) {  // 、。「」
                static const char* marks[] = {"\x81\x41", "\x81\x42", "\x81\x75", "\x81\x76"};
                t += marks[rnd(4)];
            } else if (kind < 97) {
                t += char('a' + rnd(26));
            } else {
                t += char(0xB1 + rnd(0x2D));  // half-width kana
            }
            if (t.size() - lineStart >= lineLen) {
                t += "\r\n";
                lineStart = t.size();
                lineLen = 20 + rnd(60);
            }
        }
        t += "\r\n";
        return t;
    }();
    return text;
}

const std::string& EucText() {
    static const std::string text = SjisToEuc(SjisText());
    return text;
}

const std::string& Utf8Text() {
    static const std::string text = SjisToUtf8(SjisText(), nullptr, nullptr);
    return text;
}

void Done(benchmark::State& State, std::size_t Bytes) {
    State.SetBytesProcessed(std::int64_t(State.iterations()) * std::int64_t(Bytes));
}

// Reading a Shift_JIS file: the bytes are kept; line ends are counted.
void BM_DecodeSjis(benchmark::State& State) {
    const std::string& in = SjisText();
    for (auto _ : State) {
        State.PauseTiming();
        std::string bytes = in;
        State.ResumeTiming();
        TDocumentText d = DecodeDocument(std::move(bytes), deShiftJis);
        benchmark::DoNotOptimize(d.Text.data());
    }
    Done(State, in.size());
}

void BM_DecodeEuc(benchmark::State& State) {
    const std::string& in = EucText();
    for (auto _ : State) {
        std::string out = EucToSjis(in);
        benchmark::DoNotOptimize(out.data());
    }
    Done(State, in.size());
}

void BM_DecodeUtf8(benchmark::State& State) {
    const std::string& in = Utf8Text();
    for (auto _ : State) {
        TCharMap map;
        std::string out = Utf8ToSjis(in, &map, nullptr);
        benchmark::DoNotOptimize(out.data());
    }
    Done(State, in.size());
}

// Writing the document's text (Shift_JIS, CR LF) as a UTF-8 file with LF line ends.
void BM_EncodeUtf8(benchmark::State& State) {
    const std::string& in = SjisText();
    TDocumentFormat format = FormatForEncoding(deUtf8, dlLf);
    for (auto _ : State) {
        TEncoded out = EncodeDocument(in, format, nullptr);
        benchmark::DoNotOptimize(out.Bytes.data());
    }
    Done(State, in.size());
}

// One short line at a time into UTF-8, as a search prints or lists its hits.
void BM_SjisLinesToUtf8(benchmark::State& State) {
    const std::string& in = SjisText();
    const std::string_view text(in.data(), std::min<std::size_t>(in.size(), 1 << 20));
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        end = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(at, end - at));
        at = end;
    }
    for (auto _ : State)
        for (std::string_view line : lines) benchmark::DoNotOptimize(SjisToUtf8(line, nullptr, nullptr).data());
    Done(State, text.size());
}

void BM_Detect(benchmark::State& State) {
    const std::string& in = State.range(0) == 0 ? SjisText() : State.range(0) == 1 ? EucText() : Utf8Text();
    State.SetLabel(State.range(0) == 0 ? "sjis" : State.range(0) == 1 ? "euc-jp" : "utf-8");
    for (auto _ : State) benchmark::DoNotOptimize(DetectEncoding(in));
    Done(State, in.size());
}

// The Shift_JIS text as a file in the temporary folder, written once, removed at exit.
const std::string& SjisFile() {
    static const struct TFile {
        std::string Path = "/tmp/orvane-bench-" + std::to_string(::getpid()) + ".txt";
        TFile() { WriteFileAtomically(Path, SjisText()); }
        ~TFile() { std::remove(Path.c_str()); }
    } file;
    return file.Path;
}

// Detecting a file's encoding as `orvane-text detect` does: read a piece at a time, every
// candidate validated over the whole file, line ends counted.
void BM_DetectFile(benchmark::State& State) {
    const std::string& path = SjisFile();
    for (auto _ : State) benchmark::DoNotOptimize(DetectFileEncoding(path));
    Done(State, SjisText().size());
}

// Opening the file into an editor document: read, detect, split into rows.
void BM_LoadDocument(benchmark::State& State) {
    const std::string& path = SjisFile();
    for (auto _ : State) {
        TEditorScreenStrings doc;
        TDocumentText d = ReadDocumentText(path, doc, deAuto);
        benchmark::DoNotOptimize(doc.GetCount());
    }
    Done(State, SjisText().size());
}

// For comparison: glibc iconv from code page 932 to UTF-8 over the same text.
void BM_IconvSjisToUtf8(benchmark::State& State) {
    const std::string& in = SjisText();
    std::string out(in.size() * 2, '\0');
    for (auto _ : State) {
        iconv_t cd = iconv_open("UTF-8", "CP932");
        char* ip = const_cast<char*>(in.data());
        char* op = out.data();
        std::size_t inLeft = in.size(), outLeft = out.size();
        iconv(cd, &ip, &inLeft, &op, &outLeft);
        iconv_close(cd);
        benchmark::DoNotOptimize(out.data());
    }
    Done(State, in.size());
}

BENCHMARK(BM_DecodeSjis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEuc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SjisLinesToUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Detect)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetectFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvSjisToUtf8)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane
