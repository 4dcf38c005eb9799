// The search over many texts: the hits of a pattern in a text kept compactly, the files of a
// folder tree, and the search of those files on every core, each file read as opening it would.
#pragma once

#include "editor/searchtext.h"
#include "files/charmap.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// A hit: where it is in its text, counted as the editor counts (offsets in bytes of the code
// page 932 text, every line break two), and which stored line text holds its start.
struct TSearchHit {
    std::int64_t Offset = 0;  // 0-based
    std::int32_t Line = 0;    // 0-based
    std::int32_t Column = 0;  // 1-based byte position in that line
    std::int32_t Length = 0;  // bytes the hit covers (line breaks inside it two)
    std::uint32_t LineSlot = 0;
};

// The hits of one text (a file or an open document) in the order found, with one copy of the
// text of each line that holds a hit.
struct TTextHits {
    std::string Path;  // UTF-8; empty for an untitled document
    std::uint64_t DocumentId = 0;  // an open document's id (0: a file of a folder search)
    std::vector<TSearchHit> Hits;
    std::string LineTexts;                // the lines' texts one after another (code page 932)
    std::vector<std::uint64_t> LineStarts;  // where each stored line starts; then the end
    std::shared_ptr<const TCharMap> Map;    // the characters the text keeps outside code page 932

    std::string_view LineText(const TSearchHit& Hit) const {
        return std::string_view(LineTexts).substr(LineStarts[Hit.LineSlot],
                                                  LineStarts[Hit.LineSlot + 1] - LineStarts[Hit.LineSlot]);
    }
};

// Adds to Out every hit of Pattern in Text, a code page 932 text whose line breaks are all CR LF,
// searching forward from the start; each search goes on after the previous hit. Stops early
// (returning false) when Cancel becomes true.
bool CollectHits(std::string_view Text, const TSearchPattern& Pattern, TTextHits& Out,
                 const std::atomic<bool>* Cancel = nullptr);

// Text with every line break (CR, LF, CR LF) made CR LF, as the editor holds it; Text itself
// when it already is (Scratch holds a converted copy).
std::string_view WithCrLf(std::string_view Text, std::string& Scratch);

// A file that was not searched, and why (a Japanese message for the user).
struct TSkippedFile {
    std::string Path;
    std::string Reason;
};

// Files at least this large are not searched.
inline constexpr std::int64_t kMaxSearchFileSize = std::int64_t(2) << 30;

// True when Name matches one mask: "*" and "?" as wildcards, letters without regard to case,
// "*.*" every name.
bool MatchesMask(std::string_view Name, std::string_view Mask);

struct TFileList {
    std::vector<std::string> Files;     // regular files under the size limit, in search order
    std::vector<TSkippedFile> Skipped;  // matching entries that cannot be searched
};
// The files of Folder matching Masks (separated by ";", not trimmed), the files of the first mask
// first and each file once; with Recurse the subfolders too. Each folder's names are taken in
// case-insensitive order, files before the subfolders. Links are followed, but never into a
// folder the walk is already in or has seen, so the walk always ends. FIFOs, devices, sockets,
// files of kMaxSearchFileSize or more, dangling links and folders that cannot be read are
// listed as skipped.
TFileList EnumFiles(const std::string& Folder, std::string_view Masks, bool Recurse);

// A quick look at a file's bytes before it is decoded: a literal part of the pattern that every
// hit holds, in each encoding the editor reads. A text without zero bytes or escapes (so not JIS,
// and UTF-16 only of kana and kanji) whose bytes hold none of these forms cannot hold a hit.
class TRawFilter {
public:
    TRawFilter(std::string_view Pattern, TSearchOptions Options);
    // False when the pattern has no such part (all its characters fold to others).
    bool Active() const noexcept { return !FNeedles.empty(); }
    // False only when Bytes cannot hold a hit once decoded.
    bool MayHold(std::string_view Bytes) const;

private:
    struct TNeedle {
        std::string Bytes;
        std::size_t Pivot = 0;  // the byte looked for first (npos: letters only)
        bool Fold = false;      // ASCII letters match either case
    };
    static bool Holds(std::string_view Bytes, const TNeedle& Needle);
    std::vector<TNeedle> FNeedles;
};

// How far a folder search is.
struct TSearchProgress {
    std::size_t FilesDone = 0, Files = 0;
    std::uint64_t BytesDone = 0;
    std::size_t Hits = 0;
};

// The search of a list of files on several threads. Each file is read with the detection and
// decoding of opening it (so a pattern finds its hits in every encoding the editor reads), its
// line breaks counted as the editor counts them. Files that cannot be read are skipped and
// listed; the hits found stay.
class TFileSearch {
public:
    TFileSearch(std::vector<std::string> Files, std::string_view Pattern, TSearchOptions Options);

    // Searches on Threads threads (0: one per core) and returns when done or cancelled.
    // OnText is called for every file with hits, in the order of the file list, one call at a
    // time (from any of the threads); it may take the hits away.
    void Run(const std::function<void(TTextHits&)>& OnText, unsigned Threads = 0);
    // May be called from any thread; Run returns soon after.
    void Cancel() noexcept { FCancel = true; }
    bool Cancelled() const noexcept { return FCancel; }
    TSearchProgress Progress() const noexcept;
    // After Run: the files that could not be searched, in the order of the list.
    std::vector<TSkippedFile> TakeSkipped();

private:
    std::vector<std::string> FFiles;
    TSearchPattern FPattern;
    TRawFilter FFilter;
    std::atomic<bool> FCancel{false};
    std::atomic<std::size_t> FFilesDone{0}, FHits{0};
    std::atomic<std::uint64_t> FBytesDone{0};
    std::vector<std::pair<std::size_t, TSkippedFile>> FSkipped;
};

}  // namespace orvane
