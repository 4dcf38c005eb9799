// Document files: detect, decode to Shift_JIS, and encode back in the file's own form.
#include "files/doctext.h"

#include "base/dbcs.h"
#include "base/exceptions.h"
#include "base/linebreak.h"
#include "files/bytewriter.h"
#include "files/textcost.h"
#include "files/unicode.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orvane {

namespace {

TLineEndCount CountLineEnds(std::string_view T) {
    const TLineBreakBytes b = CountLineBreakBytes(T.data(), T.size());
    return {b.CrLf, b.Cr - b.CrLf, b.Lf - b.CrLf};
}

bool LineEndsAre(std::string_view T, TLineEndKind Kind) {
    TLineEndCount c = CountLineEnds(T);
    switch (Kind) {
        case leCrLf: return c.Cr == 0 && c.Lf == 0;
        case leCr: return c.CrLf == 0 && c.Lf == 0;
        case leLf: return c.CrLf == 0 && c.Cr == 0;
        default: return true;
    }
}

// The text with each code of Map replaced by Replace(code) (a code, or 0 to keep it).
template <class F>
std::string ReplacingMapCodes(std::string_view T, const TCharMap& Map, F&& Replace) {
    std::string out(T);
    for (std::size_t i = 0; i + 1 < out.size();) {
        if (!IsLeadByte(out[i])) {
            ++i;
            continue;
        }
        const std::uint16_t code = std::uint16_t(std::uint8_t(out[i]) << 8 | std::uint8_t(out[i + 1]));
        if (const std::uint16_t to = Map.CharOf(code) ? Replace(code) : 0) {
            out[i] = char(to >> 8);
            out[i + 1] = char(to & 0xFF);
        }
        i += 2;
    }
    return out;
}

// Map codes in a Shift_JIS text for the byte encodings: a character of the JIS table (〜 read
// from UTF-8, say) becomes its code; with Lost, every other one becomes 〓, counted.
std::string ForByteEncodings(std::string_view T, const TCharMap& Map, std::size_t* Lost) {
    return ReplacingMapCodes(T, Map, [&](std::uint16_t Code) -> std::uint16_t {
        if (const std::uint16_t jis = JisTableCode(Map.CharOf(Code))) return jis;
        if (!Lost) return 0;
        ++*Lost;
        return kGetaCode;
    });
}

// Runs a Unicode reader, starting again when a code it handed out turns up in the text itself.
template <class F>
std::string ReadWithMap(TCharMap& Map, TCodeCounts& Counts, F&& Read) {
    TCodeCounts c;
    std::string text = Read(c);
    if (Map.Conflict()) {
        Map.ResetKeepingUsed();
        c = {};
        text = Read(c);
    }
    Counts += c;
    return text;
}

// Where a piece of Text that starts at From and holds about Size bytes ends: after a line feed
// when there is one (a CR LF pair is never cut), else at a character start not right after a CR.
std::size_t PieceEnd(std::string_view Text, std::size_t From, std::size_t Size) {
    if (Text.size() - From <= Size) return Text.size();
    const std::size_t limit = From + Size;
    if (const void* lf = ::memrchr(Text.data() + From, '\n', Size))
        return std::size_t(static_cast<const char*>(lf) - Text.data()) + 1;
    std::size_t end = CharStartOf(Text, limit);
    if (end > From + 1 && Text[end - 1] == '\r') --end;
    return end > From ? end : limit;
}

// Whether encoding Text in Format gives exactly Bytes, a piece at a time so that the whole
// encoded text is never held beside the bytes (JIS carries its shift state: whole).
bool EncodesBackTo(std::string_view Text, TDocumentFormat Format, const TCharMap* Map, std::string_view Bytes) {
    if (Format.Encoding == deJis) {
        const TEncoded e = EncodeDocument(Text, Format, Map);
        return !e.Lost && e.Bytes == Bytes;
    }
    constexpr std::size_t kPiece = 1 << 20;
    std::size_t at = 0;
    for (std::size_t from = 0; from < Text.size();) {
        const std::size_t end = PieceEnd(Text, from, kPiece);
        const TEncoded e = EncodeDocument(Text.substr(from, end - from), Format, Map);
        Format.Bom = false;
        if (e.Lost || Bytes.substr(at, e.Bytes.size()) != e.Bytes) return false;
        at += e.Bytes.size();
        from = end;
    }
    return at == Bytes.size();
}

}  // namespace

std::string TReadReport::Warning() const {
    std::string w;
    auto add = [&](const std::string& s) { w += (w.empty() ? "" : "; ") + s; };
    if (Binary) add("バイナリファイルです (NUL バイトを含む)");
    if (Invalid) add("不正なバイト列 " + std::to_string(Invalid) + " 箇所");
    if (Lost) add("表示できない文字 " + std::to_string(Lost) + " 文字 (〓)");
    if (Kept) add("Shift_JIS にない文字 " + std::to_string(Kept) + " 文字");
    if (MixedLineEnds) add("改行コードが混在しています");
    if (NotRoundTrip && !MixedLineEnds) add("保存すると元と同じバイト列になりません");
    if (ReadOnly()) add("書き込み禁止で開きます");
    return w;
}

namespace {

// Line ends and the report of a text read with Counts. Known: its line ends, counted already.
void ReportOn(TDocumentText& d, const TCodeCounts& Counts, const TReadOptions& Options,
              const TLineEndCount* Known = nullptr) {
    TDocumentFormat& f = d.Format;
    d.Map.SetJisTable(f.Encoding == deEuc || f.Encoding == deJis);
    d.Report.Kept = Counts.Kept;
    d.Report.Invalid = Counts.Invalid;
    d.Report.Lost = Counts.Lost;
    const TLineEndCount le = Known ? *Known : CountLineEnds(d.Text);
    if (le.Kinds() == 0)
        f.LineEnd = Options.DefaultLineEnd;
    else
        f.LineEnd = le.CrLf ? dlCrLf : le.Lf ? dlLf : dlCr;
    d.Report.MixedLineEnds = le.Kinds() > 1;
    // Shift_JIS is kept as read; the Unicode readers give back what they read unless they found
    // invalid bytes (tested); EUC-JP and JIS files can use forms that are written differently,
    // so they are checked by writing them again.
    d.Report.NotRoundTrip = Counts.Invalid || Counts.Lost || d.Report.MixedLineEnds;
}

// Decodes Bytes in the format d holds already. LineEnds: those of Bytes, when counted already.
TDocumentText DecodeAs(TDocumentText d, std::string Bytes, const TReadOptions& Options,
                       const TLineEndCount* LineEnds = nullptr) {
    TDocumentFormat& f = d.Format;
    TCodeCounts counts;
    std::string_view b = Bytes;
    switch (f.Encoding) {
        case deUtf8: {
            std::string_view body = f.Bom ? b.substr(3) : b;
            d.Text = ReadWithMap(d.Map, counts, [&](TCodeCounts& c) { return Utf8ToSjis(body, &d.Map, &c); });
            break;
        }
        case deUtf16: {
            std::string_view body = f.Bom ? b.substr(2) : b;
            d.Text = ReadWithMap(d.Map, counts,
                                 [&](TCodeCounts& c) { return Utf16ToSjis(body, f.BigEndian, &d.Map, &c); });
            break;
        }
        case deEuc:
            d.Text = ReadWithMap(d.Map, counts, [&](TCodeCounts& c) { return EucToSjis(b, &c, &d.Map); });
            break;
        case deJis: d.Text = JisToSjis(b, &counts, &f.Jis); break;
        default:
            f.Encoding = deShiftJis;
            d.Text = std::move(Bytes);
            break;
    }
    ReportOn(d, counts, Options, f.Encoding == deShiftJis ? LineEnds : nullptr);
    if (!d.Report.NotRoundTrip && (f.Encoding == deEuc || f.Encoding == deJis))
        d.Report.NotRoundTrip = !EncodesBackTo(d.Text, f, &d.Map, Bytes);
    return d;
}

// Where a piece of UTF-8, UTF-16 or EUC-JP bytes may end so that no character is cut: before a
// sequence the end cuts off (UTF-8), at an even length and not after a high surrogate (UTF-16),
// after a line feed or else before the character the end cuts off (EUC-JP, whose characters
// are only told apart from the piece's start).
std::size_t CharCut(std::string_view B, const TDocumentFormat& F) {
    std::size_t n = B.size();
    if (F.Encoding == deEuc) {
        if (const void* lf = ::memrchr(B.data(), '\n', n)) return std::size_t(static_cast<const char*>(lf) - B.data()) + 1;
        // As the decoder steps: a pair, a kana after 0x8E or a three-byte form, else one byte.
        std::size_t i = 0;
        while (i < n) {
            const std::uint8_t c = std::uint8_t(B[i]);
            const std::size_t need = c < 0x80 ? 1 : c == 0x8F ? 3 : (c == 0x8E || IsEuc94(c)) ? 2 : 1;
            if (i + need > n) return i;
            bool whole = true;
            for (std::size_t k = 1; k < need; ++k) whole = whole && (c == 0x8E ? IsHalfKana(std::uint8_t(B[i + k])) : IsEuc94(std::uint8_t(B[i + k])));
            i += whole ? need : 1;
        }
        return n;
    }
    if (F.Encoding == deUtf16) {
        n &= ~std::size_t(1);
        if (n >= 2) {
            const unsigned unit = F.BigEndian ? unsigned(std::uint8_t(B[n - 2])) << 8 | std::uint8_t(B[n - 1])
                                              : unsigned(std::uint8_t(B[n - 1])) << 8 | std::uint8_t(B[n - 2]);
            if (unit >= 0xD800 && unit <= 0xDBFF) n -= 2;
        }
        return n;
    }
    for (std::size_t k = 1; k <= 3 && k <= n; ++k) {
        const unsigned c = std::uint8_t(B[n - k]);
        if (c < 0x80) break;
        if (c >= 0xC0) return Utf8LengthOfLead(c) > k ? n - k : n;
    }
    return n;
}

// Reads a UTF-8, UTF-16 or EUC-JP file (format in d) a piece at a time, decoding each as it
// comes, so that the file's bytes are never held whole beside the text. An EUC-JP piece is
// encoded back too: whether an unchanged save gives the same bytes.
TDocumentText ReadDecodedFile(TDocumentText d, const std::string& Path, const TReadOptions& Options,
                              std::size_t PieceSize) {
    TFd fd(OpenRegularFile(Path));
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0) throw Exception("ファイルを読めません: " + Path + ": " + std::strerror(errno));
    const TDocumentFormat& f = d.Format;
    const std::size_t mark = !f.Bom ? 0 : f.Encoding == deUtf8 ? 3 : 2;
    TCodeCounts counts;
    std::vector<char> buf(std::max<std::size_t>(PieceSize, 8));
    bool same = true;  // every EUC-JP piece encodes back to its bytes
    d.Text = ReadWithMap(d.Map, counts, [&](TCodeCounts& c) {
        same = true;
        TByteWriter out(std::size_t(st.st_size));
        std::size_t have = 0;
        off_t at = 0;
        for (bool end = false; !end;) {
            while (have < buf.size()) {
                const ssize_t n = ::pread(fd.Get(), buf.data() + have, buf.size() - have, at);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) throw Exception("ファイルを読めません: " + Path + ": " + std::strerror(errno));
                if (n == 0) {
                    end = true;
                    break;
                }
                have += std::size_t(n);
                at += n;
            }
            const std::string_view bytes(buf.data(), have);
            const std::size_t from = std::size_t(at) - have < mark ? std::min(mark, have) : 0;
            const std::size_t cut = end ? have : std::max(CharCut(bytes, f), from);
            const std::string_view piece = bytes.substr(from, cut - from);
            // Zero bytes make a binary file (in UTF-16 they are part of the characters).
            if (f.Encoding != deUtf16 && !d.Report.Binary && std::memchr(piece.data(), 0, piece.size()))
                d.Report.Binary = true;
            if (f.Encoding == deUtf8) {
                AppendUtf8AsSjis(out, piece, &d.Map, &c);
            } else if (f.Encoding == deUtf16) {
                AppendUtf16AsSjis(out, piece, f.BigEndian, &d.Map, &c);
            } else {
                const std::string text = EucToSjis(piece, &c, &d.Map);
                if (same) {
                    TCodeCounts back;
                    same = SjisToEuc(text, &back, &d.Map) == piece && !back.Lost;
                }
                out.Append(text);
            }
            std::memmove(buf.data(), buf.data() + cut, have - cut);
            have -= cut;
        }
        return out.Take();
    });
    ReportOn(d, counts, Options);
    // EUC-JP can write a character in more than one form (line ends are the file's own when
    // they are not mixed, and mixed ones are reported already).
    if (f.Encoding == deEuc && !d.Report.NotRoundTrip) d.Report.NotRoundTrip = !same;
    return d;
}

}  // namespace

TDocumentText DecodeDocument(std::string Bytes, TDocumentEncoding Request, const TReadOptions& Options) {
    TDocumentText d;
    TDocumentFormat& f = d.Format;
    if (Request == deAuto) {
        TDetection det = DetectEncoding(Bytes, Options.DefaultEncoding);
        f = det.Format;
        d.Report.Binary = det.Binary;
        d.DetectedBy = det.Reason;
    } else {
        f.Encoding = Request;
        d.DetectedBy = "request";
        std::string_view b = Bytes;
        if (Request == deUtf8) {
            f.Bom = b.substr(0, 3) == "\xEF\xBB\xBF";
        } else if (Request == deUtf16) {
            f.Bom = b.substr(0, 2) == "\xFF\xFE" || b.substr(0, 2) == "\xFE\xFF";
            if (f.Bom) {
                f.BigEndian = b[0] == '\xFE';
            } else {
                // No mark: the side the zero bytes of ASCII fall on tells the order.
                std::size_t even = 0, odd = 0;
                for (std::size_t i = 0; i < b.size(); ++i)
                    if (b[i] == 0) ++(i % 2 ? odd : even);
                f.BigEndian = even > odd;
            }
        }
        if (Request != deUtf16 && std::memchr(Bytes.data(), 0, Bytes.size())) d.Report.Binary = true;
    }
    return DecodeAs(std::move(d), std::move(Bytes), Options);
}

TDocumentText ReadDocumentFile(const std::string& Path, TDocumentEncoding Request, const TReadOptions& Options) {
    return ReadDocumentFile(Path, Request, Options, 1 << 20);
}

TDocumentText ReadDocumentFile(const std::string& Path, TDocumentEncoding Request, const TReadOptions& Options,
                               std::size_t PieceSize) {
    if (Request == deUtf8 || Request == deEuc) {
        // Taken as given, and decoded as it is read; a UTF-8 byte-order mark is still recognised.
        TDocumentText d;
        d.Format.Encoding = Request;
        d.DetectedBy = "request";
        if (Request == deUtf8) {
            TFd fd(OpenRegularFile(Path));
            char head[3] = {};
            d.Format.Bom = ::pread(fd.Get(), head, 3, 0) == 3 && std::string_view(head, 3) == "\xEF\xBB\xBF";
        }
        return ReadDecodedFile(std::move(d), Path, Options, PieceSize);
    }
    if (Request != deAuto) return DecodeDocument(ReadFileBytes(Path), Request, Options);
    // Detected where the file lies; a UTF-8, UTF-16 or EUC-JP file is then decoded as it is read,
    // any other read whole (a Shift_JIS file's bytes are its text; JIS carries a shift state).
    const TFileDetection det = DetectFileEncoding(Path, Options.DefaultEncoding);
    TDocumentText d;
    d.Format = det.Detection.Format;
    d.Report.Binary = det.Detection.Binary;
    d.DetectedBy = det.Detection.Reason;
    if (d.Format.Encoding == deUtf8 || d.Format.Encoding == deUtf16 || d.Format.Encoding == deEuc)
        return ReadDecodedFile(std::move(d), Path, Options, PieceSize);
    std::string bytes = ReadFileBytes(Path);
    // The line ends counted are those of the bytes read, unless the file changed in between.
    const bool same = bytes.size() == det.Size;
    return DecodeAs(std::move(d), std::move(bytes), Options, same ? &det.LineEnds : nullptr);
}

namespace {

// The format and report of a file whose bytes are its text, as detection found them.
TDocumentText FromDetection(const TFileDetection& Det, const TReadOptions& Options) {
    TDocumentText d;
    d.Format = Det.Detection.Format;
    d.DetectedBy = Det.Detection.Reason;
    d.Report.Binary = Det.Detection.Binary;
    const TLineEndCount& le = Det.LineEnds;
    if (le.Kinds() == 0) d.Format.LineEnd = Options.DefaultLineEnd;
    else d.Format.LineEnd = le.CrLf ? dlCrLf : le.Lf ? dlLf : dlCr;
    d.Report.MixedLineEnds = le.Kinds() > 1;
    d.Report.NotRoundTrip = d.Report.MixedLineEnds;
    return d;
}

}  // namespace

TDocumentText InspectDocumentFile(const std::string& Path, const TReadOptions& Options) {
    const TFileDetection det = DetectFileEncoding(Path, Options.DefaultEncoding);
    const TDocumentEncoding e = det.Detection.Format.Encoding;
    // The bytes are the text when it is Shift_JIS, or 7-bit text in any byte encoding.
    if (e != deShiftJis && det.Detection.Reason != "ascii") {
        TDocumentText d = ReadDocumentFile(Path, deAuto, Options);
        std::string().swap(d.Text);
        return d;
    }
    TDocumentText d = FromDetection(det, Options);
    return d;
}

TDocumentFileReader::TDocumentFileReader(const std::string& Path, const TReadOptions& Options, std::size_t HeadSize)
    : FFd(OpenRegularFile(Path)), FOptions(Options), FDetector(Options.DefaultEncoding), FPath(Path) {
    struct stat st;
    if (::fstat(FFd, &st) == 0) FFileSize = std::uint64_t(st.st_size);
    try {
        FHead = Cut(std::max<std::size_t>(HeadSize, 1));
    } catch (...) {
        ::close(FFd);
        throw;
    }
    const TDetection d = FDetector.Result().Detection;
    FFormat = d.Format;
    const TDocumentEncoding e = d.Format.Encoding;
    FInPieces = (e == deShiftJis || e == deUtf8 || e == deEuc) && !d.Binary;
    if (FInPieces && e != deShiftJis) FHead = Decoded(std::move(FHead));
}

TDocumentFileReader::~TDocumentFileReader() { ::close(FFd); }

void TDocumentFileReader::Fill(std::size_t Size) {
    if (FAtEnd || FRest.size() >= Size) return;
    std::size_t have = FRest.size();
    FRest.resize(Size);
    while (have < Size) {
        const ssize_t n = ::read(FFd, FRest.data() + have, Size - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            FRest.resize(have);
            throw Exception("ファイルを読めません: " + FPath + ": " + std::strerror(err));
        }
        if (n == 0) {
            FAtEnd = true;
            break;
        }
        have += std::size_t(n);
    }
    FRest.resize(have);
}

std::string TDocumentFileReader::Cut(std::size_t Size) {
    Fill(Size);
    // After the last line break; a CR at the very end may have its LF in what follows. A line
    // longer than the piece is cut between characters (UTF-8 pieces are decoded one by one).
    std::size_t cut = FRest.size();
    if (!FAtEnd) {
        if (const void* lf = ::memrchr(FRest.data(), '\n', FRest.size())) {
            cut = std::size_t(static_cast<const char*>(lf) - FRest.data()) + 1;
        } else if (const void* cr = FRest.size() > 1 ? ::memrchr(FRest.data(), '\r', FRest.size() - 1) : nullptr) {
            cut = std::size_t(static_cast<const char*>(cr) - FRest.data()) + 1;
        } else if (FFormat.Encoding != deShiftJis) {
            cut = CharCut(FRest, FFormat);
        }
    }
    std::string piece = std::move(FRest);
    FRest.assign(piece, cut);
    piece.resize(cut);
    FGiven += piece.size();
    FDetector.Feed(piece, FAtEnd && FRest.empty());
    return piece;
}

std::string TDocumentFileReader::Next(std::size_t Size) {
    if (!FHeadGiven) {
        FHeadGiven = true;
        return std::move(FHead);
    }
    if (FAtEnd && FRest.empty()) return {};
    std::string piece = Cut(std::max<std::size_t>(Size, 1));
    return FFormat.Encoding == deShiftJis ? piece : Decoded(std::move(piece));
}

std::string TDocumentFileReader::Decoded(std::string Piece) {
    if (FFormat.Encoding == deEuc) {
        std::string text = EucToSjis(Piece, &FCounts, &FMap);
        if (FSame) {
            TCodeCounts back;
            FSame = SjisToEuc(text, &back, &FMap) == Piece && !back.Lost;
        }
        return text;
    }
    std::string_view bytes = Piece;
    if (FGiven == Piece.size() && FFormat.Bom) bytes.remove_prefix(std::min<std::size_t>(3, bytes.size()));
    TByteWriter w(bytes.size());
    AppendUtf8AsSjis(w, bytes, &FMap, &FCounts);
    return w.Take();
}

TDocumentText TDocumentFileReader::Result(bool& Confirmed) const {
    const TFileDetection det = FDetector.Result();
    TDocumentText d = FromDetection(det, FOptions);
    if (FFormat.Encoding != deShiftJis) {
        // Line ends are the same bytes in UTF-8 and EUC-JP as in the text.
        d.Map = FMap;
        d.Map.SetJisTable(d.Format.Encoding == deEuc || d.Format.Encoding == deJis);
        d.Report.Kept = FCounts.Kept;
        d.Report.Invalid = FCounts.Invalid;
        d.Report.Lost = FCounts.Lost;
        d.Report.NotRoundTrip = FCounts.Invalid || FCounts.Lost || d.Report.MixedLineEnds || !FSame;
        // A code handed out for a character turned up in the text itself: read whole.
        Confirmed = d.Format.Encoding == FFormat.Encoding && d.Format.Bom == FFormat.Bom && !FMap.Conflict();
        return d;
    }
    Confirmed = d.Format.Encoding == deShiftJis;
    return d;
}

TEncoded EncodeDocument(std::string_view Text, const TDocumentFormat& Format, const TCharMap* Map) {
    TLineEndKind le = ToLineEndKind(Format.LineEnd);
    std::string normalized;
    if (!LineEndsAre(Text, le)) {
        normalized = NormalizeLineEnds(Text, le);
        Text = normalized;
    }
    TEncoded e;
    TCodeCounts counts;
    // EUC-JP and JIS writers handle map codes themselves, but for the JIS table's characters.
    std::string jisCodes;
    if (Map && (Format.Encoding == deEuc || Format.Encoding == deJis) && Map->HoldsJisTableChars()) {
        jisCodes = ForByteEncodings(Text, *Map, nullptr);
        Text = jisCodes;
    }
    switch (Format.Encoding) {
        case deUtf8:
            e.Bytes = SjisToUtf8(Text, Map, &counts, Format.Bom ? "\xEF\xBB\xBF" : "");
            break;
        case deUtf16:
            e.Bytes = SjisToUtf16(Text, Format.BigEndian, Map, &counts);
            if (Format.Bom) e.Bytes.insert(0, Format.BigEndian ? "\xFE\xFF" : "\xFF\xFE");
            break;
        case deEuc: e.Bytes = SjisToEuc(Text, &counts, Map); break;
        case deJis: e.Bytes = SjisToJis(Text, Format.Jis, &counts); break;
        default:
            if (Map && !Map->Empty()) e.Bytes = ForByteEncodings(Text, *Map, &counts.Lost);
            else e.Bytes = normalized.empty() ? std::string(Text) : std::move(normalized);
            break;
    }
    e.Lost = counts.Lost;
    return e;
}

namespace {

void ThrowCannotHold(std::size_t Lost, const TDocumentFormat& Format, const std::string& Path) {
    throw Exception(std::to_string(Lost) + " 文字を " + std::string(EncodingName(Format.Encoding).Caption) +
                    " で書き込めません: " + Path);
}

}  // namespace

void WriteDocumentFile(const std::string& Path, std::string_view Text, const TDocumentFormat& Format,
                       const TCharMap* Map, const TWriteOptions& Options) {
    if (Format.Encoding == deJis) {
        // JIS carries its shift state across the text: encoded whole.
        TEncoded e = EncodeDocument(Text, Format, Map);
        if (e.Lost && !Options.AllowLoss) ThrowCannotHold(e.Lost, Format, Path);
        WriteFileAtomically(Path, e.Bytes, Options.Writer);
        return;
    }
    // The other encodings are encoded a piece at a time (cut at line ends), so the whole encoded
    // file never sits in memory beside the text.
    constexpr std::size_t kPiece = 1 << 20;
    WriteFileAtomically(
        Path,
        [&](const TByteSink& Sink) {
            TDocumentFormat format = Format;
            std::size_t lost = 0;
            for (std::size_t from = 0; from < Text.size() || from == 0;) {
                const std::size_t end = Text.empty() ? 0 : PieceEnd(Text, from, kPiece);
                const TEncoded e = EncodeDocument(Text.substr(from, end - from), format, Map);
                format.Bom = false;  // only before the first piece
                lost += e.Lost;
                // Nothing more is written once a character cannot be held; the rest is counted.
                if (!lost || Options.AllowLoss) Sink(e.Bytes);
                if (end >= Text.size()) break;
                from = end;
            }
            if (lost && !Options.AllowLoss) ThrowCannotHold(lost, Format, Path);
        },
        Options.Writer);
}

}  // namespace orvane
