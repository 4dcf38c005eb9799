// Saving a document from the editor: a large Shift_JIS text written back in its own format, and
// how much memory the save takes beyond the document's own (the process's peak resident set
// during the save above the resident set before it). ORVANE_BENCH_SAVE_FILE names the file; by
// default /tmp/orvane-bench-save-100mb.txt; a missing file is made: a 100 MB Japanese text with CR LF.
#include "app/sheetform.h"
#include "styles/orvaneeditor.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace orvane {
namespace {

// A field of /proc/self/status in MB.
double StatusMb(const char* Field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(Field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size())) / 1024.0;
    return 0;
}

std::string SaveFile() {
    const char* named = std::getenv("ORVANE_BENCH_SAVE_FILE");
    const std::string path = named ? named : "/tmp/orvane-bench-save-100mb.txt";
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) >= 100u << 20) return path;
    // 吾輩は猫である。名前はまだ無い。 ... in Shift_JIS, CR LF.
    const std::string line = "\x8c\xe1\x94\x79\x82\xcd\x94\x4c\x82\xc5\x82\xa0\x82\xe9\x81\x42\x96\xbc\x91\x4f"
                             "\x82\xcd\x82\xdc\x82\xbe\x96\xb3\x82\xa2\x81\x42 The quick brown fox 12345.\r\n";
    std::ofstream out(path, std::ios::binary);
    for (std::size_t size = 0; size < (100u << 20); size += line.size()) out << line;
    return path;
}

void BM_SaveDocumentFromEditor(benchmark::State& State) {
    const std::string in = SaveFile();
    const double before = StatusMb("VmRSS");
    TOrvaneSheetForm sheet;
    const TLoadResult loaded = sheet.LoadFile(QString::fromStdString(in), deAuto);
    if (!loaded) {
        State.SkipWithError(loaded.Error.c_str());
        return;
    }
    const double document = StatusMb("VmRSS") - before;
    const QString out = QString::fromStdString(in + ".saved");
    double extra = 0;
    for (auto _ : State) {
        const double rss = StatusMb("VmRSS");
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
        const TSaveResult r = sheet.SaveFile(out, sheet.Format(), {});
        if (!r) State.SkipWithError(r.Reason.c_str());
        extra = std::max(extra, StatusMb("VmHWM") - rss);
    }
    State.SetBytesProcessed(std::int64_t(State.iterations()) * std::int64_t(std::filesystem::file_size(in)));
    State.counters["DocumentMB"] = document;
    State.counters["SaveExtraMB"] = extra;
    ::unlink(out.toStdString().c_str());
}
BENCHMARK(BM_SaveDocumentFromEditor)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace orvane
