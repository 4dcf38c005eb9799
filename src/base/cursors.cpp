// The process-wide cursor table.
#include "base/cursors.h"

#include <limits>
#include <mutex>
#include <vector>

namespace orvane {
namespace {

// Slot i + 1 holds Names[i]; slots are never freed, so the table has no holes.
struct TCursorTable {
    std::mutex Lock;
    std::vector<std::string> Names;
};

TCursorTable& Table() {
    static TCursorTable table;
    return table;
}

}  // namespace

TCursor RegisterCursor(std::string_view ResourceName) {
    if (ResourceName.empty()) return crDefault;
    TCursorTable& table = Table();
    std::lock_guard<std::mutex> guard(table.Lock);
    for (std::size_t i = 0; i < table.Names.size(); ++i)
        if (table.Names[i] == ResourceName) return static_cast<TCursor>(i + 1);
    if (table.Names.size() >= std::size_t(std::numeric_limits<TCursor>::max())) return crDefault;
    table.Names.emplace_back(ResourceName);
    return static_cast<TCursor>(table.Names.size());
}

std::string CursorResourceName(TCursor Cursor) {
    TCursorTable& table = Table();
    std::lock_guard<std::mutex> guard(table.Lock);
    if (Cursor < 1 || std::size_t(Cursor) > table.Names.size()) return {};
    return table.Names[std::size_t(Cursor) - 1];
}

}  // namespace orvane
