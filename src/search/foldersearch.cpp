// The search over many texts: hits, the folder walk and the search of files on every core.
#include "search/foldersearch.h"

#include "base/dbcs.h"
#include "base/exceptions.h"
#include "files/doctext.h"
#include "files/filewrite.h"
#include "files/unicode.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unordered_set>
#include <unistd.h>

namespace orvane {

// ---- hits of one text

std::string_view WithCrLf(std::string_view Text, std::string& Scratch) {
    bool clean = true;
    for (const char* p = Text.data(), *end = p + Text.size(); clean;) {
        const void* lf = std::memchr(p, '\n', std::size_t(end - p));
        const char* q = lf ? static_cast<const char*>(lf) : end;
        // A CR anywhere but right before this LF is a line break of its own.
        const void* cr = std::memchr(p, '\r', std::size_t(q - p));
        if (cr && (static_cast<const char*>(cr) != q - 1 || q == end)) clean = false;
        else if (lf && (q == Text.data() || q[-1] != '\r')) clean = false;
        if (!lf) break;
        p = q + 1;
    }
    if (clean) return Text;
    Scratch.clear();
    Scratch.reserve(Text.size() + Text.size() / 16);
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c == '\r') {
            Scratch += "\r\n";
            if (i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            Scratch += "\r\n";
        } else {
            Scratch += c;
        }
    }
    return Scratch;
}

bool CollectHits(std::string_view Text, const TSearchPattern& Pattern, TTextHits& Out, const std::atomic<bool>* Cancel) {
    if (Pattern.Empty() || Text.empty()) return true;
    const TSearchWindow window{Text, true, true, true};
    std::size_t line = 0, lineStart = 0;  // the line of the last hit and where it starts
    std::size_t scanned = 0;               // line breaks before this byte are counted
    std::int64_t lastLine = -1;
    std::size_t from = 0;
    for (std::size_t n = 0;; ++n) {
        if (Cancel && (n & 1023) == 1023 && Cancel->load(std::memory_order_relaxed)) return false;
        const TWindowResult r = Pattern.Forward(window, from);
        if (r.Kind != TWindowResult::Hit) break;
        // The line of the hit's start: every line break is CR LF, so the LFs tell the lines.
        while (scanned < r.Start) {
            const void* lf = std::memchr(Text.data() + scanned, '\n', r.Start - scanned);
            if (!lf) {
                scanned = r.Start;
                break;
            }
            scanned = std::size_t(static_cast<const char*>(lf) - Text.data()) + 1;
            ++line;
            lineStart = scanned;
        }
        if (std::int64_t(line) != lastLine) {
            const void* lf = std::memchr(Text.data() + lineStart, '\n', Text.size() - lineStart);
            std::size_t end = lf ? std::size_t(static_cast<const char*>(lf) - Text.data()) : Text.size();
            if (end > lineStart && Text[end - 1] == '\r') --end;
            if (Out.LineStarts.empty()) Out.LineStarts.push_back(0);
            Out.LineTexts.append(Text, lineStart, end - lineStart);
            Out.LineStarts.push_back(Out.LineTexts.size());
            lastLine = std::int64_t(line);
        }
        TSearchHit hit;
        hit.Offset = std::int64_t(r.Start);
        hit.Line = std::int32_t(std::min<std::size_t>(line, 0x7FFFFFFF));
        hit.Column = std::int32_t(std::min<std::size_t>(r.Start - lineStart + 1, 0x7FFFFFFF));
        hit.Length = std::int32_t(std::min<std::size_t>(r.End - r.Start, 0x7FFFFFFF));
        hit.LineSlot = std::uint32_t(Out.LineStarts.size() - 2);
        Out.Hits.push_back(hit);
        from = std::max(r.End, r.Start + 1);
    }
    return true;
}

// ---- the folder walk

bool MatchesMask(std::string_view Name, std::string_view Mask) {
    if (Mask == "*.*") return true;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
    // Each byte of a UTF-8 character past its first continues it.
    auto charEnd = [&](std::size_t i) {
        ++i;
        while (i < Name.size() && (static_cast<unsigned char>(Name[i]) & 0xC0) == 0x80) ++i;
        return i;
    };
    std::size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
    while (n < Name.size()) {
        if (m < Mask.size() && Mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (m < Mask.size() && (Mask[m] == '?' || lower(Mask[m]) == lower(Name[n]))) {
            n = Mask[m] == '?' ? charEnd(n) : n + 1;
            ++m;
        } else if (starM != std::string_view::npos) {
            m = starM + 1;
            n = starN = charEnd(starN);
        } else {
            return false;
        }
    }
    while (m < Mask.size() && Mask[m] == '*') ++m;
    return m == Mask.size();
}

namespace {

std::string ErrorText(int Error) { return std::strerror(Error); }

// An entry of the walk that a mask may pick: a searchable file, or one that is skipped.
struct TCandidate {
    std::string Path;
    std::size_t NameAt = 0;  // where the name starts in Path
    std::string Reason;      // empty: searchable
};

bool LessIgnoringCase(const std::string& A, const std::string& B) {
    const std::size_t n = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char a = A[i], b = B[i];
        if (a >= 'A' && a <= 'Z') a += 32;
        if (b >= 'A' && b <= 'Z') b += 32;
        if (a != b) return a < b;
    }
    return A.size() != B.size() ? A.size() < B.size() : A < B;
}

struct TWalker {
    bool Recurse;
    std::vector<TCandidate>& Out;
    std::vector<TSkippedFile>& Folders;  // folders that could not be read
    std::set<std::pair<dev_t, ino_t>> Seen;

    void Walk(const std::string& Folder) {
        DIR* dir = ::opendir(Folder.c_str());
        if (!dir) {
            Folders.push_back({Folder, "フォルダを読めません: " + ErrorText(errno)});
            return;
        }
        std::vector<std::string> names;
        while (dirent* e = ::readdir(dir)) {
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
            names.emplace_back(e->d_name);
        }
        const int fd = ::dirfd(dir);
        std::sort(names.begin(), names.end(), LessIgnoringCase);
        std::vector<std::string> folders;
        for (const std::string& name : names) {
            struct stat st;
            TCandidate c{Folder + name, Folder.size(), {}};
            if (::fstatat(fd, name.c_str(), &st, 0) != 0) {
                const int error = errno;
                struct stat link;
                c.Reason = ::fstatat(fd, name.c_str(), &link, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(link.st_mode)
                               ? "リンク先がありません"
                               : "ファイルを読めません: " + ErrorText(error);
            } else if (S_ISDIR(st.st_mode)) {
                if (Recurse) folders.push_back(name);
                continue;
            } else if (!S_ISREG(st.st_mode)) {
                c.Reason = "通常のファイルではありません";
            } else if (st.st_size >= kMaxSearchFileSize) {
                c.Reason = "2 GB 以上のファイルは検索しません";
            }
            Out.push_back(std::move(c));
        }
        ::closedir(dir);
        for (const std::string& name : folders) {
            const std::string path = Folder + name + "/";
            struct stat st;
            // A folder already walked (a link back to an ancestor, a bind mount) is not entered again.
            if (::stat(path.c_str(), &st) != 0 || !Seen.insert({st.st_dev, st.st_ino}).second) continue;
            Walk(path);
        }
    }
};

}  // namespace

TFileList EnumFiles(const std::string& Folder, std::string_view Masks, bool Recurse) {
    TFileList result;
    std::string folder = Folder;
    while (!folder.empty() && (folder.back() == ' ' || folder.back() == '\t')) folder.pop_back();
    folder.erase(0, std::min(folder.find_first_not_of(" \t"), folder.size()));
    if (folder.empty()) return result;
    if (folder.back() != '/') folder += '/';
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return result;

    std::vector<TCandidate> candidates;
    std::vector<TSkippedFile> folders;
    TWalker walker{Recurse, candidates, folders, {}};
    walker.Seen.insert({st.st_dev, st.st_ino});
    walker.Walk(folder);

    std::vector<std::string_view> masks;
    for (std::size_t at = 0;;) {
        const std::size_t semi = Masks.find(';', at);
        masks.push_back(Masks.substr(at, semi == std::string_view::npos ? std::string_view::npos : semi - at));
        if (semi == std::string_view::npos) break;
        at = semi + 1;
    }
    std::vector<bool> taken(candidates.size());
    for (std::string_view mask : masks) {
        if (mask.empty()) continue;
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const TCandidate& c = candidates[i];
            if (taken[i] || !MatchesMask(std::string_view(c.Path).substr(c.NameAt), mask)) continue;
            taken[i] = true;
            if (c.Reason.empty()) result.Files.push_back(c.Path);
            else result.Skipped.push_back({c.Path, c.Reason});
        }
    }
    result.Skipped.insert(result.Skipped.end(), folders.begin(), folders.end());
    return result;
}

// ---- the look at the bytes before decoding

namespace {

// True when the code page 932 character at S[I] (of Len bytes) matches only itself (ASCII
// letters: in either case without soMatchCase) under Options: not folded to another width, not
// passed over, and written the same way by every encoding's conversion.
bool LiteralChar(std::string_view S, std::size_t I, std::size_t Len, TSearchOptions Options) {
    const unsigned char b = S[I];
    if (Len == 1) return b > 0x20 && b < 0x7F && !(Options & soNoMatchZenkaku);
    if (Len != 2) return false;
    const unsigned code = unsigned(b) << 8 | static_cast<unsigned char>(S[I + 1]);
    if (code >= 0x829F && code <= 0x82F1) return true;  // hiragana
    if (code >= 0x8340 && code <= 0x8396) return !(Options & soNoMatchZenkaku);  // katakana
    return (b >= 0x88 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEA);  // kanji
}

}  // namespace

TRawFilter::TRawFilter(std::string_view Pattern, TSearchOptions Options) {
    // The longest run of literal characters; a single character when blanks or line breaks may
    // be passed over inside a hit.
    const bool single = Options & (soIncludeSpace | soIncludeCRLF);
    std::string_view best;
    for (std::size_t i = 0; i < Pattern.size();) {
        std::size_t j = i;
        while (j < Pattern.size()) {
            const std::size_t len = CharLenAt(Pattern, j);
            if (!LiteralChar(Pattern, j, len, Options)) break;
            j += len;
            if (single) break;
        }
        // Prefer the run with more bytes, two-byte characters being rarer than letters.
        if (j - i > best.size()) best = Pattern.substr(i, j - i);
        i = j > i ? j : i + CharLenAt(Pattern, i);
    }
    if (best.empty()) return;
    const bool fold = !(Options & soMatchCase);
    std::vector<std::string> forms = {std::string(best)};
    TCodeCounts counts;
    forms.push_back(SjisToUtf8(best, nullptr, &counts));
    TDocumentFormat euc;
    euc.Encoding = deEuc;
    const TEncoded e = EncodeDocument(best, euc, nullptr);
    forms.push_back(e.Bytes);
    forms.push_back(SjisToUtf16(best, false, nullptr, &counts));
    forms.push_back(SjisToUtf16(best, true, nullptr, &counts));
    if (counts.Invalid || counts.Lost || e.Lost) return;
    for (std::string& f : forms) {
        bool seen = false;
        for (const TNeedle& n : FNeedles) seen |= n.Bytes == f;
        // Only texts without zero bytes are looked at: a form with one (UTF-16 of ASCII) never helps.
        if (seen || f.empty() || f.find('\0') != std::string::npos) continue;
        TNeedle n{std::move(f), std::string::npos, fold};
        // The pivot, looked for first, is the byte likely rarest in Japanese text: ASCII
        // punctuation and digits, then half-width kana (and UTF-8 continuation) bytes, then lead
        // bytes and blanks; never a letter when case is folded.
        auto commonness = [](unsigned char C) {
            if (C == ' ' || C == '\t' || C >= 0xE0 || (C >= 0x80 && C < 0xA0)) return 3;
            return C >= 0xA0 ? 2 : 1;
        };
        for (std::size_t k = 0; k < n.Bytes.size(); ++k) {
            const unsigned char c = n.Bytes[k];
            if (fold && (c | 0x20) >= 'a' && (c | 0x20) <= 'z') continue;
            if (n.Pivot == std::string::npos ||
                commonness(c) <= commonness(static_cast<unsigned char>(n.Bytes[n.Pivot])))
                n.Pivot = k;
        }
        FNeedles.push_back(std::move(n));
    }
}

bool TRawFilter::Holds(std::string_view Bytes, const TNeedle& N) {
    const std::size_t len = N.Bytes.size();
    if (Bytes.size() < len) return false;
    auto same = [&](std::size_t At) {
        if (!N.Fold) return std::memcmp(Bytes.data() + At, N.Bytes.data(), len) == 0;
        for (std::size_t k = 0; k < len; ++k) {
            unsigned char a = Bytes[At + k], b = N.Bytes[k];
            if (a != b && !((a | 0x20) == (b | 0x20) && (a | 0x20) >= 'a' && (a | 0x20) <= 'z')) return false;
        }
        return true;
    };
    if (N.Pivot != std::string::npos) {
        const char pivot = N.Bytes[N.Pivot];
        const char* p = Bytes.data() + N.Pivot;
        const char* end = Bytes.data() + (Bytes.size() - len + N.Pivot + 1);
        while (p < end) {
            const void* q = std::memchr(p, pivot, std::size_t(end - p));
            if (!q) return false;
            const std::size_t at = std::size_t(static_cast<const char*>(q) - Bytes.data()) - N.Pivot;
            if (same(at)) return true;
            p = static_cast<const char*>(q) + 1;
        }
        return false;
    }
    // Letters only: the first letter in either case.
    const char lower = char(N.Bytes[0] | 0x20), upper = char(N.Bytes[0] & ~0x20);
    for (std::size_t at = 0; at + len <= Bytes.size(); ++at) {
        const void* l = std::memchr(Bytes.data() + at, lower, Bytes.size() - len + 1 - at);
        const void* u = std::memchr(Bytes.data() + at, upper, Bytes.size() - len + 1 - at);
        if (!l && !u) return false;
        const char* q = !l ? static_cast<const char*>(u) : !u ? static_cast<const char*>(l)
                                                            : std::min(static_cast<const char*>(l), static_cast<const char*>(u));
        at = std::size_t(q - Bytes.data());
        if (same(at)) return true;
    }
    return false;
}

bool TRawFilter::MayHold(std::string_view Bytes) const {
    if (FNeedles.empty()) return true;
    for (const TNeedle& n : FNeedles)
        if (Holds(Bytes, n)) return true;
    // Zero bytes (UTF-16) and escapes (JIS) change what the bytes say once decoded.
    return std::memchr(Bytes.data(), 0, Bytes.size()) || std::memchr(Bytes.data(), 0x1B, Bytes.size());
}

// ---- the search of files

namespace {

// The bytes of a regular file read into Buffer (grown, never shrunk, so that reading many files
// touches the same memory); a view of them. Throws orvane::Exception as ReadFileBytes does.
std::string_view ReadInto(const std::string& Path, std::string& Buffer) {
    struct TClose {
        int Fd;
        ~TClose() { ::close(Fd); }
    } fd{OpenRegularFile(Path)};
    struct stat st;
    if (::fstat(fd.Fd, &st) != 0) throw Exception("ファイルを読めません: " + Path + ": " + ErrorText(errno));
    std::size_t want = std::size_t(std::max<off_t>(st.st_size, 0)) + 1;
    std::size_t len = 0;
    for (;;) {
        if (Buffer.size() < len + want) Buffer.resize(len + want);
        const ssize_t got = ::read(fd.Fd, Buffer.data() + len, Buffer.size() - len);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw Exception("ファイルを読めません: " + Path + ": " + ErrorText(errno));
        }
        if (got == 0) break;
        len += std::size_t(got);
        want = 65536;  // the file grew: read on
    }
    return std::string_view(Buffer.data(), len);
}

}  // namespace

TFileSearch::TFileSearch(std::vector<std::string> Files, std::string_view Pattern, TSearchOptions Options)
    : FFiles(std::move(Files)), FPattern(Pattern, TSearchOptions(Options | soDown)), FFilter(Pattern, Options) {}

TSearchProgress TFileSearch::Progress() const noexcept {
    return {FFilesDone.load(), FFiles.size(), FBytesDone.load(), FHits.load()};
}

void TFileSearch::Run(const std::function<void(TTextHits&)>& OnText, unsigned Threads) {
    if (Threads == 0) Threads = std::max(1u, std::thread::hardware_concurrency());
    Threads = unsigned(std::min<std::size_t>(Threads, std::max<std::size_t>(FFiles.size(), 1)));
    std::atomic<std::size_t> next{0};
    std::mutex lock;
    // Results wait here until every file before them is done, so that they arrive in order.
    std::vector<std::optional<TTextHits>> done(FFiles.size());
    std::vector<bool> finished(FFiles.size());
    std::size_t delivered = 0;

    // Records file I as done and hands on, in order, every result no longer waiting for another.
    auto finish = [&](std::size_t I, std::optional<TTextHits> Hits, std::optional<TSkippedFile> Skipped) {
        std::lock_guard<std::mutex> guard(lock);
        if (Skipped) FSkipped.emplace_back(I, std::move(*Skipped));
        done[I] = std::move(Hits);
        finished[I] = true;
        ++FFilesDone;
        while (delivered < FFiles.size() && finished[delivered]) {
            if (done[delivered] && !FCancel) OnText(*done[delivered]);
            done[delivered].reset();
            ++delivered;
        }
    };
    auto work = [&] {
        std::string scratch;
        std::string buffer;  // the file's bytes; kept between files, so that its pages stay
        for (;;) {
            const std::size_t i = next.fetch_add(1);
            if (i >= FFiles.size() || FCancel) return;
            std::optional<TTextHits> hits;
            std::optional<TSkippedFile> skipped;
            try {
                const std::string_view bytes = ReadInto(FFiles[i], buffer);
                FBytesDone += bytes.size();
                if (buffer.capacity() > (std::size_t(64) << 20)) std::string().swap(buffer);
                // Most files of a search hold no hit: their bytes tell so without decoding them.
                if (FFilter.MayHold(bytes)) {
                    TDocumentText d = DecodeDocument(std::string(bytes), deAuto);
                    TTextHits h;
                    h.Path = FFiles[i];
                    CollectHits(WithCrLf(d.Text, scratch), FPattern, h, &FCancel);
                    if (scratch.capacity() > (std::size_t(64) << 20)) std::string().swap(scratch);
                    if (!h.Hits.empty()) {
                        if (!d.Map.Empty()) h.Map = std::make_shared<const TCharMap>(std::move(d.Map));
                        FHits += h.Hits.size();
                        hits = std::move(h);
                    }
                }
            } catch (const Exception& e) {
                skipped = TSkippedFile{FFiles[i], e.what()};
            } catch (const std::bad_alloc&) {
                skipped = TSkippedFile{FFiles[i], "メモリが足りません"};
            }
            finish(i, std::move(hits), std::move(skipped));
        }
    };
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < Threads; ++t) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
}

std::vector<TSkippedFile> TFileSearch::TakeSkipped() {
    std::sort(FSkipped.begin(), FSkipped.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
    std::vector<TSkippedFile> out;
    for (auto& s : FSkipped) out.push_back(std::move(s.second));
    FSkipped.clear();
    return out;
}

}  // namespace orvane
