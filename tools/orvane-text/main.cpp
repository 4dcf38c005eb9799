// orvane-text: detect, convert and load document files the way the editor does.
#include "base/exceptions.h"
#include "document/document.h"
#include "files/doctext.h"
#include "files/unicode.h"
#include "search/foldersearch.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

using namespace orvane;

namespace {

constexpr const char* kUsage =
    "usage: orvane-text COMMAND [OPTIONS] ARGS\n"
    "  detect FILE...        print each file's encoding, byte-order mark, line end and warnings\n"
    "  convert [OPTIONS] IN OUT\n"
    "                        read IN as the editor would and write OUT as the editor saves\n"
    "  load [--wrap N] FILE  load FILE into a document; print rows, lines, time and peak memory\n"
    "  grep [OPTIONS] PATTERN PATH...\n"
    "                        print the lines holding PATTERN in files of any encoding the editor reads\n"
    "Run 'orvane-text COMMAND --help' for a command's options. Exit status: 0 on success, 1 on error\n"
    "(grep: 0 with hits, 1 without, 2 on error).\n";

constexpr const char* kGrepUsage =
    "usage: orvane-text grep [-i] [-w] [-Z] [--include MASK]... PATTERN PATH...\n"
    "Prints FILE:LINE:TEXT (UTF-8, lines counted from 1) for every line holding PATTERN. Each file is\n"
    "read as the editor opens it (Shift_JIS, EUC-JP, JIS, UTF-8, UTF-16), so PATTERN (UTF-8) is found\n"
    "in all of them. A folder is searched with its subfolders, on every core. Files that cannot be\n"
    "searched (FIFOs, devices, files of 2 GB or more, unreadable ones) are named on stderr.\n"
    "  -i              ignore letter case\n"
    "  -w              whole words only\n"
    "  -Z              half-width and full-width forms match each other\n"
    "  --include MASK  search only files matching MASK (\"*\" and \"?\"; repeatable; default every file)\n"
    "Exit status: 0 when a line was found, 1 when none, 2 on an error.\n";

constexpr const char* kDetectUsage =
    "usage: orvane-text detect [--default ENC] FILE...\n"
    "Prints one line per file: name, encoding, BOM, line end, and any warning (characters outside\n"
    "code page 932, invalid bytes, binary content, mixed line ends).\n"
    "  --default ENC   encoding for plain 7-bit text and ties (default sjis)\n";

constexpr const char* kConvertUsage =
    "usage: orvane-text convert [--from ENC] [--to ENC] [--eol crlf|lf|cr] [--bom|--no-bom] [--lossy] IN OUT\n"
    "Reads IN as the editor would and writes OUT as the editor would save it. Without options OUT\n"
    "has IN's encoding, byte-order mark and line end, so an unchanged convert copies IN exactly.\n"
    "  --from ENC      read IN in ENC instead of detecting\n"
    "  --to ENC        sjis, euc-jp, jis, utf-8, utf-16 (utf-16le), utf-16be\n"
    "  --eol KIND      crlf, lf or cr\n"
    "  --bom, --no-bom write or leave out the byte-order mark (UTF-8, UTF-16)\n"
    "  --lossy         write even when ENC cannot hold some characters (as 〓 or U+FFFD)\n"
    "IN is never modified; OUT is replaced only when the whole file was written.\n";

constexpr const char* kLoadUsage =
    "usage: orvane-text load [--from ENC] [--wrap N] FILE\n"
    "Loads FILE into an editor document as the editor does (detection, conversion, rows) and prints\n"
    "the rows, the lines, the time taken and the peak resident memory.\n"
    "  --wrap N        word wrap at N bytes (the document keeps the width within 20 to 250)\n";

struct TUsageError {
    std::string Message;
};

bool IsHelp(const std::string& A) { return A == "--help" || A == "-h"; }

std::string Next(const std::vector<std::string>& Args, std::size_t& I) {
    if (I + 1 >= Args.size()) throw TUsageError{"option " + Args[I] + " needs a value"};
    return Args[++I];
}

// An encoding name; "utf-16be" / "utf-16le" also choose the byte order.
TDocumentEncoding ParseEncoding(const std::string& Name, int* BigEndian = nullptr) {
    std::string lower;
    for (char c : Name) lower += char(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "utf-16be" || lower == "utf-16le" || lower == "utf16be" || lower == "utf16le") {
        if (BigEndian) *BigEndian = lower.ends_with("be");
        return deUtf16;
    }
    auto e = ParseEncodingName(Name);
    if (!e || *e == deAuto) throw TUsageError{"unknown encoding: " + Name};
    return *e;
}

std::string Describe(const TDocumentText& D) {
    const TDocumentFormat& f = D.Format;
    std::string s = std::string(EncodingName(f.Encoding).Stored);
    if (f.Encoding == deUtf16) s += f.BigEndian ? "be" : "le";
    if (f.Encoding == deUtf8 || f.Encoding == deUtf16) s += f.Bom ? ", BOM" : ", no BOM";
    if (f.Encoding == deJis) s += std::string(", ESC $ ") + f.Jis.Kanji + ", ESC ( " + f.Jis.Return;
    s += ", " + std::string(LineEndName(f.LineEnd).Short);
    return s;
}

double PeakRssMb() {
    struct rusage ru;
    ::getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

int Detect(const std::vector<std::string>& Args) {
    TReadOptions options;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < Args.size(); ++i) {
        if (IsHelp(Args[i])) {
            std::fputs(kDetectUsage, stdout);
            return 0;
        }
        if (Args[i] == "--default") options.DefaultEncoding = ParseEncoding(Next(Args, i));
        else if (Args[i].starts_with("--")) throw TUsageError{"unknown option: " + Args[i]};
        else files.push_back(Args[i]);
    }
    if (files.empty()) throw TUsageError{"detect needs at least one file"};
    int status = 0;
    for (const std::string& file : files) {
        try {
            TDocumentText d = InspectDocumentFile(file, options);
            std::string warning = d.Report.Warning();
            std::printf("%s: %s%s%s\n", file.c_str(), Describe(d).c_str(), warning.empty() ? "" : "; warning: ",
                        warning.c_str());
        } catch (const Exception& e) {
            std::fflush(stdout);
            std::fprintf(stderr, "orvane-text: %s\n", e.what());
            status = 1;
        }
    }
    return status;
}

bool SameFile(const std::string& A, const std::string& B) {
    struct stat sa, sb;
    return ::stat(A.c_str(), &sa) == 0 && ::stat(B.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

int Convert(const std::vector<std::string>& Args) {
    TDocumentEncoding from = deAuto;
    std::optional<TDocumentEncoding> to;
    int bigEndian = -1;
    std::optional<TDocumentLineEnd> eol;
    std::optional<bool> bom;
    bool lossy = false;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < Args.size(); ++i) {
        const std::string& a = Args[i];
        if (IsHelp(a)) {
            std::fputs(kConvertUsage, stdout);
            return 0;
        }
        if (a == "--from") from = ParseEncoding(Next(Args, i));
        else if (a == "--to") to = ParseEncoding(Next(Args, i), &bigEndian);
        else if (a == "--eol") {
            std::string v = Next(Args, i);
            eol = ParseLineEndName(v);
            if (!eol) throw TUsageError{"unknown line end: " + v + " (crlf, lf or cr)"};
        } else if (a == "--bom") bom = true;
        else if (a == "--no-bom") bom = false;
        else if (a == "--lossy") lossy = true;
        else if (a.starts_with("--")) throw TUsageError{"unknown option: " + a};
        else files.push_back(a);
    }
    if (files.size() != 2) throw TUsageError{"convert needs IN and OUT"};
    const std::string &in = files[0], &out = files[1];
    if (SameFile(in, out)) throw Exception("the output is the input file, which is never modified: " + out);

    TDocumentText d = ReadDocumentFile(in, from);
    if (d.Report.ReadOnly()) throw Exception(in + ": opens write-protected: " + d.Report.Warning());
    if (d.Report.NotRoundTrip)
        std::fprintf(stderr, "orvane-text: warning: %s: %s\n", in.c_str(), d.Report.Warning().c_str());
    TDocumentFormat format = d.Format;
    if (to && (*to != format.Encoding || (bigEndian >= 0 && bool(bigEndian) != format.BigEndian))) {
        format = FormatForEncoding(*to, format.LineEnd);
        if (bigEndian >= 0) format.BigEndian = bigEndian;
    }
    if (eol) format.LineEnd = *eol;
    if (bom) format.Bom = *bom;
    WriteDocumentFile(out, d.Text, format, &d.Map, {lossy, nullptr});
    return 0;
}

int Load(const std::vector<std::string>& Args) {
    TDocumentEncoding from = deAuto;
    int wrap = 0;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < Args.size(); ++i) {
        const std::string& a = Args[i];
        if (IsHelp(a)) {
            std::fputs(kLoadUsage, stdout);
            return 0;
        }
        if (a == "--from") {
            from = ParseEncoding(Next(Args, i));
        } else if (a == "--wrap") {
            std::string v = Next(Args, i);
            char* end = nullptr;
            long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || n < 1 || n > 100000) throw TUsageError{"--wrap needs a width of 1 to 100000"};
            wrap = int(n);
        } else if (a.starts_with("--")) {
            throw TUsageError{"unknown option: " + a};
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 1) throw TUsageError{"load needs one file"};
    auto start = std::chrono::steady_clock::now();
    TEditorScreenStrings doc;
    if (wrap) {
        doc.WrapOption().SetWrapByte(wrap);
        doc.SetWordWrap(true);
    }
    TDocumentText d = ReadDocumentText(files[0], doc, from);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int rows = doc.GetCount(), lines = 0;
    for (int r = 0; r < rows; ++r)
        if (doc.RowEndKind(r) != reWrapped) ++lines;
    std::string warning = d.Report.Warning();
    std::printf("%s: %s; rows %d, lines %d; %.3f s; peak resident %.1f MB%s%s\n", files[0].c_str(),
                Describe(d).c_str(), rows, lines, seconds, PeakRssMb(), warning.empty() ? "" : "; warning: ",
                warning.c_str());
    return 0;
}

// Exit status of grep: 0 hits, 1 none, 2 trouble.
int Grep(const std::vector<std::string>& Args) {
    TSearchOptions options = soMatchCase;
    std::vector<std::string> masks, operands;
    for (std::size_t i = 0; i < Args.size(); ++i) {
        const std::string& a = Args[i];
        if (IsHelp(a)) {
            std::fputs(kGrepUsage, stdout);
            return 0;
        }
        if (!operands.empty() || a.empty() || a[0] != '-' || a == "-") operands.push_back(a);
        else if (a == "--") operands.insert(operands.end(), Args.begin() + std::ptrdiff_t(i) + 1, Args.end()), i = Args.size();
        else if (a == "--include") masks.push_back(Next(Args, i));
        else if (a.starts_with("--include=")) masks.push_back(a.substr(10));
        else if (a.size() > 1 && a[1] != '-' && a.find_first_not_of("iwZ", 1) == std::string::npos) {
            for (char c : a.substr(1)) {
                if (c == 'i') options = TSearchOptions(options & ~soMatchCase);
                if (c == 'w') options = TSearchOptions(options | soWholeWord);
                if (c == 'Z') options = TSearchOptions(options | soNoMatchZenkaku);
            }
        } else {
            throw TUsageError{"unknown option: " + a + " (grep --help)"};
        }
    }
    if (operands.size() < 2) throw TUsageError{"grep needs a PATTERN and at least one PATH (grep --help)"};
    TCodeCounts counts;
    const std::string pattern = Utf8ToSjis(operands[0], nullptr, &counts);
    if (pattern.empty()) throw TUsageError{"the pattern is empty"};
    if (counts.Invalid || counts.Lost || counts.Kept)
        throw TUsageError{"the pattern holds characters code page 932 cannot hold, or is not UTF-8"};
    std::string maskList;
    for (const std::string& m : masks) maskList += (maskList.empty() ? "" : ";") + m;
    if (masks.empty()) maskList = "*";

    bool trouble = false;
    std::vector<std::string> files;
    std::vector<TSkippedFile> skipped;
    for (std::size_t k = 1; k < operands.size(); ++k) {
        const std::string& path = operands[k];
        struct stat st;
        if (::stat(path.c_str(), &st) != 0) {
            std::fprintf(stderr, "orvane-text: %s: %s\n", path.c_str(), std::strerror(errno));
            trouble = true;
        } else if (S_ISDIR(st.st_mode)) {
            TFileList list = EnumFiles(path, maskList, true);
            files.insert(files.end(), list.Files.begin(), list.Files.end());
            skipped.insert(skipped.end(), list.Skipped.begin(), list.Skipped.end());
        } else if (!S_ISREG(st.st_mode)) {
            skipped.push_back({path, "通常のファイルではありません"});
        } else if (st.st_size >= kMaxSearchFileSize) {
            skipped.push_back({path, "2 GB 以上のファイルは検索しません"});
        } else {
            files.push_back(path);
        }
    }
    TFileSearch search(std::move(files), pattern, options);
    bool found = false;
    std::string out;
    search.Run([&](TTextHits& Text) {
        found = true;
        // The stored lines converted in one go (a conversion has a fixed cost), LF between them.
        std::string joined;
        joined.reserve(Text.LineTexts.size() + Text.LineStarts.size());
        for (std::size_t k = 0; k + 1 < Text.LineStarts.size(); ++k) {
            joined.append(Text.LineTexts, Text.LineStarts[k], Text.LineStarts[k + 1] - Text.LineStarts[k]);
            joined += '\n';
        }
        const std::string utf8 = SjisToUtf8(joined, Text.Map.get(), nullptr);
        std::size_t at = 0;
        std::uint32_t slot = 0;
        for (std::size_t h = 0; h < Text.Hits.size(); ++h) {
            const TSearchHit& hit = Text.Hits[h];
            if (h > 0 && Text.Hits[h - 1].LineSlot == hit.LineSlot) continue;  // a line once
            for (; slot < hit.LineSlot; ++slot) at = utf8.find('\n', at) + 1;
            const std::size_t end = utf8.find('\n', at);
            out += Text.Path;
            out += ':';
            out += std::to_string(std::int64_t(hit.Line) + 1);
            out += ':';
            out.append(utf8, at, end - at);
            out += '\n';
            if (out.size() > (1 << 16)) {
                std::fwrite(out.data(), 1, out.size(), stdout);
                out.clear();
            }
        }
    });
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    for (TSkippedFile& s : search.TakeSkipped()) skipped.push_back(std::move(s));
    for (const TSkippedFile& s : skipped) {
        std::fprintf(stderr, "orvane-text: %s: %s\n", s.Path.c_str(), s.Reason.c_str());
        // Entries that are no files to read are passed by as grep -r does; the others are trouble.
        if (s.Reason.find("読めません") != std::string::npos || s.Reason.find("開けません") != std::string::npos)
            trouble = true;
    }
    return trouble ? 2 : found ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    try {
        if (IsHelp(command)) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (command == "detect") return Detect(args);
        if (command == "convert") return Convert(args);
        if (command == "load") return Load(args);
        if (command == "grep") {
            try {
                return Grep(args);
            } catch (const TUsageError& e) {
                std::fprintf(stderr, "orvane-text: %s\n", e.Message.c_str());
            } catch (const std::exception& e) {
                std::fprintf(stderr, "orvane-text: %s\n", e.what());
            }
            return 2;
        }
        throw TUsageError{"unknown command: " + command + " (detect, convert, load, grep; --help)"};
    } catch (const TUsageError& e) {
        std::fprintf(stderr, "orvane-text: %s\n", e.Message.c_str());
    } catch (const Exception& e) {
        std::fprintf(stderr, "orvane-text: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvane-text: %s\n", e.what());
    }
    return 1;
}
