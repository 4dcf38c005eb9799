// Document files: detect, decode to Shift_JIS, and encode back in the file's own form.
#include "files/doctext.h"

#include "base/dbcs.h"
#include "base/exceptions.h"
#include "base/linebreak.h"
#include "files/unicode.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

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

// Codes of Map in a Shift_JIS text become 〓: the byte encodings cannot hold their characters.
std::string WithoutMapCodes(std::string_view T, const TCharMap& Map, std::size_t& Lost) {
    std::string out(T);
    for (std::size_t i = 0; i + 1 < out.size();) {
        if (!IsLeadByte(out[i])) {
            ++i;
            continue;
        }
        std::uint16_t code = std::uint16_t(std::uint8_t(out[i]) << 8 | std::uint8_t(out[i + 1]));
        if (Map.CharOf(code)) {
            out[i] = char(kGetaCode >> 8);
            out[i + 1] = char(kGetaCode & 0xFF);
            ++Lost;
        }
        i += 2;
    }
    return out;
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
    d.Report.Kept = counts.Kept;
    d.Report.Invalid = counts.Invalid;
    d.Report.Lost = counts.Lost;

    TLineEndCount le = CountLineEnds(d.Text);
    if (le.Kinds() == 0) f.LineEnd = Options.DefaultLineEnd;
    else f.LineEnd = le.CrLf ? dlCrLf : le.Lf ? dlLf : dlCr;
    d.Report.MixedLineEnds = le.Kinds() > 1;

    // Shift_JIS is kept as read; the Unicode readers give back what they read unless they found
    // invalid bytes (tested); EUC-JP and JIS files can use forms that are written differently,
    // so they are checked by writing them again.
    bool clean = !counts.Invalid && !counts.Lost && !d.Report.MixedLineEnds;
    d.Report.NotRoundTrip = !clean;
    if (clean && (f.Encoding == deEuc || f.Encoding == deJis)) d.Report.NotRoundTrip = !EncodesBackTo(d.Text, f, &d.Map, Bytes);
    return d;
}

TDocumentText ReadDocumentFile(const std::string& Path, TDocumentEncoding Request, const TReadOptions& Options) {
    return DecodeDocument(ReadFileBytes(Path), Request, Options);
}

TDocumentText InspectDocumentFile(const std::string& Path, const TReadOptions& Options) {
    const TFileDetection det = DetectFileEncoding(Path, Options.DefaultEncoding);
    const TDocumentEncoding e = det.Detection.Format.Encoding;
    // The bytes are the text when it is Shift_JIS, or 7-bit text in any byte encoding.
    if (e != deShiftJis && det.Detection.Reason != "ascii") {
        TDocumentText d = ReadDocumentFile(Path, deAuto, Options);
        std::string().swap(d.Text);
        return d;
    }
    TDocumentText d;
    d.Format = det.Detection.Format;
    d.DetectedBy = det.Detection.Reason;
    d.Report.Binary = det.Detection.Binary;
    const TLineEndCount& le = det.LineEnds;
    if (le.Kinds() == 0) d.Format.LineEnd = Options.DefaultLineEnd;
    else d.Format.LineEnd = le.CrLf ? dlCrLf : le.Lf ? dlLf : dlCr;
    d.Report.MixedLineEnds = le.Kinds() > 1;
    d.Report.NotRoundTrip = d.Report.MixedLineEnds;
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
    FInPieces = d.Format.Encoding == deShiftJis && !d.Binary;
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
    // After the last line break; a CR at the very end may have its LF in what follows.
    std::size_t cut = FRest.size();
    if (!FAtEnd) {
        if (const void* lf = ::memrchr(FRest.data(), '\n', FRest.size())) {
            cut = std::size_t(static_cast<const char*>(lf) - FRest.data()) + 1;
        } else if (FRest.size() > 1) {
            if (const void* cr = ::memrchr(FRest.data(), '\r', FRest.size() - 1))
                cut = std::size_t(static_cast<const char*>(cr) - FRest.data()) + 1;
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
    return Cut(std::max<std::size_t>(Size, 1));
}

TDocumentText TDocumentFileReader::Result(bool& Confirmed) const {
    const TFileDetection det = FDetector.Result();
    TDocumentText d;
    d.Format = det.Detection.Format;
    d.DetectedBy = det.Detection.Reason;
    d.Report.Binary = det.Detection.Binary;
    const TLineEndCount& le = det.LineEnds;
    if (le.Kinds() == 0) d.Format.LineEnd = FOptions.DefaultLineEnd;
    else d.Format.LineEnd = le.CrLf ? dlCrLf : le.Lf ? dlLf : dlCr;
    d.Report.MixedLineEnds = le.Kinds() > 1;
    d.Report.NotRoundTrip = d.Report.MixedLineEnds;
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
            if (Map && !Map->Empty()) e.Bytes = WithoutMapCodes(Text, *Map, counts.Lost);
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
