// Fuzz entry point for encoding detection and every decoder and encoder of document files.
// Aborts when a file that reads cleanly would not be written back byte for byte.
#include "files/charcode.h"
#include "files/detect.h"
#include "files/doctext.h"
#include "files/unicode.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool Ok, const char* What, orvane::TDocumentEncoding Request) {
    if (Ok) return;
    std::fprintf(stderr, "fuzz_files: %s (request %d)\n", What, int(Request));
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    using namespace orvane;
    const std::string bytes(reinterpret_cast<const char*>(Data), Size);

    DetectCode(bytes);
    const TDetection whole = DetectEncoding(bytes);
    // Read a piece at a time, as files are, the answer is the same.
    for (std::size_t piece : {1, 2, 3, 5}) {
        const TDetection pieces = DetectEncodingInPieces(bytes, deShiftJis, piece).Detection;
        Check(pieces.Format == whole.Format && pieces.Binary == whole.Binary && pieces.Reason == whole.Reason,
              "detection in pieces differs", deAuto);
    }
    DeclaredEncoding(bytes);
    for (TCodeKind target : {ckJis, ckEuc, ckSjis}) ConvertCode(bytes, target);
    ConvertLineEnd(bytes, leLf);
    TJisDesignation seen;
    SjisToJis(JisToSjis(bytes, nullptr, &seen), seen);
    SjisToEuc(EucToSjis(bytes));

    for (TDocumentEncoding request : {deAuto, deShiftJis, deEuc, deJis, deUtf8, deUtf16}) {
        TDocumentText d = DecodeDocument(bytes, request);
        // Only a byte-order mark, or JIS escapes, can stand for no text at all.
        bool onlyMark = (d.Format.Bom && Size <= 3) || d.Format.Encoding == deJis;
        Check(bytes.empty() || !d.Text.empty() || onlyMark, "a non-empty file read as empty", request);
        TEncoded again = EncodeDocument(d.Text, d.Format, &d.Map);
        if (!d.Report.ReadOnly() && !d.Report.NotRoundTrip)
            Check(again.Lost == 0 && again.Bytes == bytes, "a clean read is not written back as it was", request);
        for (TDocumentEncoding e : {deShiftJis, deEuc, deJis, deUtf8, deUtf16})
            EncodeDocument(d.Text, FormatForEncoding(e, dlLf), &d.Map);
    }
    return 0;
}
