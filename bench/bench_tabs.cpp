// Recovery snapshots against typing: keystrokes into a 10 MB document with snapshots off and on
// (the snapshot is taken once typing stops, never inside a keystroke), and what one snapshot of
// that document costs: the copy of its text on the window's thread, and the whole snapshot
// (copy, then written atomically by the writer thread).
#include "app/mainwindow.h"
#include "app/tabsheet.h"
#include "support/sj.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;

// A window with one modified 10 MB document (about 200,000 lines of Japanese text).
struct TTenMegabytes {
    fs::path Folder = fs::temp_directory_path() / ("orvane-bench-recovery-" + std::to_string(::getpid()));
    std::unique_ptr<TForm1> Window;

    explicit TTenMegabytes(bool Snapshots) {
        fs::remove_all(Folder);
        fs::create_directories(Folder);
        TStartOptions options;
        if (Snapshots) options.RecoveryFolder = Folder.string();
        Window = std::make_unique<TForm1>(options);
        Window->resize(1000, 700);
        Window->show();
        QApplication::processEvents();
        std::string text;
        const std::string line = test::sj("日本語の文章と") + " text with words " + test::sj("かな、カナ。") + "\r\n";
        while (text.size() < 10 * 1024 * 1024) text += line;
        Window->ActiveEditor()->Document().SetText(text);
        Window->ActiveEditor()->SetRowCol(Window->ActiveEditor()->RowCount() / 2, 10);
        Window->ActiveEditor()->setFocus();
        QApplication::processEvents();
    }
    ~TTenMegabytes() {
        Window->ActiveSheet()->SetModified(false);
        Window.reset();
        fs::remove_all(Folder);
    }
    TOrvaneEditor& Editor() { return *Window->ActiveEditor(); }
};

void BM_TypeInto10MB(benchmark::State& state) {
    TTenMegabytes doc(state.range(0) != 0);
    const std::string typed = "The quick brown fox jumps over the lazy dog. ";
    std::size_t i = 0;
    for (auto _ : state) {
        for (int k = 0; k < 1000; ++k) doc.Editor().Perform(WM_CHAR, static_cast<unsigned char>(typed[i++ % typed.size()]));
    }
    state.counters["per_key_us"] =
        benchmark::Counter(1000.0 * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetLabel(state.range(0) ? "snapshots on" : "snapshots off");
}
BENCHMARK(BM_TypeInto10MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// The part of a snapshot on the window's thread: the text copied out of the rows.
void BM_SnapshotCopy10MB(benchmark::State& state) {
    TTenMegabytes doc(true);
    for (auto _ : state) benchmark::DoNotOptimize(doc.Editor().Document().GetText());
}
BENCHMARK(BM_SnapshotCopy10MB)->Unit(benchmark::kMillisecond);

// A whole snapshot: the copy, then the file written and synced by the writer thread.
void BM_Snapshot10MB(benchmark::State& state) {
    TTenMegabytes doc(true);
    for (auto _ : state) {
        state.PauseTiming();
        doc.Editor().Perform(WM_CHAR, 'x');  // a change: the snapshot is due
        state.ResumeTiming();
        doc.Window->WriteSnapshotsNow();
    }
}
BENCHMARK(BM_Snapshot10MB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane
