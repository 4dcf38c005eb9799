// The XML model on a generated 10 MB document: parsing from memory, loading the file (read, line
// ends, parse), and writing the tree back.
#include "files/filewrite.h"
#include "files/xml.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

namespace orvane {
namespace {

constexpr std::size_t kSize = 10 * 1000 * 1000;

// Indented records with attributes, Shift_JIS text, entities, comments and nested elements, the
// shapes a settings file holds, repeated to 10 MB.
const std::string& Document() {
    static const std::string text = [] {
        std::string t = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<root>\r\n";
        t.reserve(kSize + 256);
        for (unsigned i = 0; t.size() < kSize; ++i) {
            const std::string n = std::to_string(i);
            t += "  <item id=\"" + n + "\" kind='k" + std::to_string(i % 7) + "' empty>\r\n";
            // テキスト, ソ and 表 (trail bytes 0x5C and 0x7C), an entity, a quote in text.
            t += "    <text>\x83\x65\x83\x4C\x83\x58\x83\x67 " + n + " \x83\x5C\x95\x5C &amp; \"q\"</text>\r\n";
            t += "    <!--" + n + " items--><value>v" + n + "</value><value/><flag on=\"true\"/>\r\n";
            t += "  </item>\r\n";
        }
        t += "</root>\r\n";
        return t;
    }();
    return text;
}

void BM_XmlParse(benchmark::State& State) {
    const std::string& text = Document();
    for (auto _ : State) {
        auto xml = std::make_unique<TNanXML>();
        xml->LoadFromString(text);
        benchmark::DoNotOptimize(xml->Document().ChildCount());
        State.PauseTiming();  // freeing the tree is measured on its own
        xml.reset();
        State.ResumeTiming();
    }
    State.SetBytesProcessed(std::int64_t(State.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_XmlParse)->Unit(benchmark::kMillisecond);

void BM_XmlFree(benchmark::State& State) {
    for (auto _ : State) {
        State.PauseTiming();
        auto xml = std::make_unique<TNanXML>();
        xml->LoadFromString(Document());
        State.ResumeTiming();
        xml.reset();
    }
    State.SetBytesProcessed(std::int64_t(State.iterations()) * std::int64_t(Document().size()));
}
BENCHMARK(BM_XmlFree)->Unit(benchmark::kMillisecond);

void BM_XmlLoadFile(benchmark::State& State) {
    char path[] = "/tmp/orvane-bench-xml-XXXXXX";
    const int fd = ::mkstemp(path);
    ::close(fd);
    WriteFileAtomically(path, Document());
    for (auto _ : State) {
        TNanXML xml;
        xml.LoadFromFile(path);
        benchmark::DoNotOptimize(xml.Document().ChildCount());
    }
    std::remove(path);
    State.SetBytesProcessed(std::int64_t(State.iterations()) * std::int64_t(Document().size()));
}
BENCHMARK(BM_XmlLoadFile)->Unit(benchmark::kMillisecond);

void BM_XmlWrite(benchmark::State& State) {
    TNanXML xml;
    xml.LoadFromString(Document());
    std::size_t size = 0;
    for (auto _ : State) {
        const std::string out = xml.SaveToString();
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    State.SetBytesProcessed(std::int64_t(State.iterations()) * std::int64_t(size));
}
BENCHMARK(BM_XmlWrite)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane
