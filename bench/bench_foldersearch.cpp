// The folder search feeding the results panel: a common word with a million or more hits over the
// generated tree of bench/foldersearch.sh (ORVANE_BENCH_TREE, default
// /tmp/orvane-bench-tree-10000-1024; the benchmark is skipped when the tree is missing). Measures
// the time until the results model holds every hit, with a tree view over it, and the memory the
// hits take (resident growth; run this benchmark alone for a clean peak).
#include "search/foldersearch.h"
#include "search/searchresults.h"

#include <QTreeView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace orvane {
namespace {

std::string TreeFolder() {
    const char* e = std::getenv("ORVANE_BENCH_TREE");
    return e ? e : "/tmp/orvane-bench-tree-10000-1024";
}

// Resident memory now and its peak, in MB.
double StatusMb(const char* Field) {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind(Field, 0) == 0) return std::stod(line.substr(std::string(Field).size())) / 1024.0;
    return 0;
}

void BM_FolderSearchToResultsModel(benchmark::State& State) {
    const std::string folder = TreeFolder();
    if (!std::filesystem::is_directory(folder)) {
        State.SkipWithError(("no benchmark tree at " + folder + " (bench/foldersearch.sh makes it)").c_str());
        return;
    }
    for (auto _ : State) {
        const double before = StatusMb("VmRSS:");
        TSearchResultsModel model;
        QTreeView view;
        view.setUniformRowHeights(true);
        view.setModel(&model);
        view.resize(800, 600);
        TFileList list = EnumFiles(folder, "*", true);
        TFileSearch search(std::move(list.Files), "value", 0);
        std::vector<TTextHits> batch;
        search.Run([&](TTextHits& Text) { batch.push_back(std::move(Text)); });
        model.AddTexts(std::move(batch));
        for (int r = 0; r < model.rowCount(); ++r)
            if (model.Text(std::size_t(r)).Hits.size() > 1) view.setExpanded(model.index(r, 0), true);
        State.counters["hits"] = double(model.HitCount());
        State.counters["texts"] = double(model.TextCount());
        State.counters["rss_growth_MB"] = StatusMb("VmRSS:") - before;
        State.counters["peak_rss_MB"] = StatusMb("VmHWM:");
    }
}
BENCHMARK(BM_FolderSearchToResultsModel)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace orvane
