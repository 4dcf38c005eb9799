// Costs of characters in Japanese text, and of whole texts read in each encoding.
#include "files/textcost.h"

#include "base/dbcs.h"
#include "files/charcode.h"
#include "files/cp932.h"
#include "files/unassigned.h"
#include "files/unicode.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace orvane {

namespace {

using u8 = std::uint8_t;

// Kanji that make up most of the kanji of everyday text (newspapers, letters, manuals).
constexpr std::string_view kCommonKanji =
    "日一国会人年大十二本中長出三同時政事自行社見月分議後前民生連五発間対上部東者党地合市業内相方四"
    "定今回新場金員九入選立開手米力学問高代明実円関決子動京全目表戦経通外最言氏現理調体化田当八六約"
    "主題下首意法不来作性的要用制治度務強気小七成期公持野協取都和統以機平総加山思家話世受区領多県続"
    "進正安設保改数記院女初北午指権心界支第産結百派点教報済書府活原先共得解名交資予川向際査勝面委告"
    "軍文反元重近千考判認画海参売利組知案道信策集在件団別物側任引使求所次水半品昨論計死官増係感特情"
    "投示変打男基私各始島直両朝革価式確村提運終挙果西勢減台広容必応演電歳住争談能無再位置企真流格有"
    "疑口過局少放税検藤町常校料沢裁状工建語球営空職証土与急止送援供可役構木割聞身費付施切由説転食比"
    "難防補車優夫研収断井何南石足違消境神番規術護展態導鮮備宅害配副算視条幹独警宮究育席輸訪楽起万着"
    "乗店述残想線率病農州武声質念待試族象銀域助労例衛然早張映限親額監環験追審商葉義伝働形景落欧担好"
    "退準賞訴辺造英被株頭技低毎医復仕去姿味負閣韓渡失移差衆個門写評課末守若脳極種美岡影命含福蔵量望"
    "松非撃佐核観察整段横融型白深字答夜製票況音申様財港識注呼渉達良響阪帰針専推薬修絶僕彼読飲買歩走"
    "休作習覚忘悲嬉嫌遅古短弱暗黒赤青雨雪風花森林犬猫鳥魚父母兄弟姉妹友駅屋左右春夏秋冬昼晩週曜秒";

// Shift_JIS codes of the common punctuation of Japanese text: 、。「」ー・『』（）and the
// ideographic space.
constexpr std::uint16_t kCommonMarks[] = {0x8140, 0x8141, 0x8142, 0x8145, 0x815B, 0x8169,
                                          0x816A, 0x8175, 0x8176, 0x8177, 0x8178};

unsigned CostOfCode(std::uint16_t Code, const std::vector<bool>& Common) {
    const unsigned lead = Code >> 8;
    if (Code >= 0x829F && Code <= 0x82F1) return 5;  // hiragana
    if (Code >= 0x8340 && Code <= 0x8396) return 6;  // katakana
    for (std::uint16_t m : kCommonMarks)
        if (Code == m) return 5;
    if (Common[Code]) return 7;
    if (lead == 0x81) return 9;                        // other marks
    if (Code >= 0x824F && Code <= 0x829A) return 8;  // full-width digits and Latin letters
    if (lead == 0x83 || lead == 0x84) return 10;       // Greek, Cyrillic, box drawing
    if (lead == 0x87) return 11;                       // NEC row 13: circled numbers, units
    if (Code >= 0x889F && Code <= 0x9872) return 11;   // other kanji of the first level
    if (Code >= 0x989F && Code <= 0xEAA4) return 13;   // second level
    if (lead >= 0xF0 && lead <= 0xF9) return 16;       // user-defined
    return 13;                                         // NEC-selected and IBM extensions
}

std::vector<bool> CommonKanjiCodes(const TCp932Table& cp) {
    std::vector<bool> common(65536, false);
    for (std::size_t i = 0; i < kCommonKanji.size();) {
        const std::size_t len = Utf8SequenceLength(kCommonKanji, i);
        const auto b = [&](std::size_t k) { return unsigned(u8(kCommonKanji[i + k])); };
        if (len == 3) {
            const std::uint16_t code = cp.Encode[(b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F)];
            if (code != kNoCode) common[code] = true;
        }
        i += len ? len : 1;
    }
    return common;
}

void Build(TTextCosts& T, const TCp932Table& cp) {
    const std::vector<bool> common = CommonKanjiCodes(cp);
    unsigned rows = 0;
    for (unsigned b = 0; b < 256; ++b) {
        T.SjisLead[b] = IsLeadByte(static_cast<unsigned char>(b)) ? u8(rows++) : u8(kNotLead);
        if (T.SjisLead[b] == kNotLead) continue;
        for (unsigned trail = 0; trail < 256; ++trail) {
            const std::uint16_t code = std::uint16_t(b << 8 | trail);
            const bool defined = trail >= 0x40 && trail <= 0xFC && trail != 0x7F && cp.Decode[code] != kNoChar;
            T.Sjis[T.SjisLead[b]][trail] = u8(defined ? CostOfCode(code, common) : kBadCost);
        }
    }
    for (unsigned w = 0; w < 65536; ++w) {
        const unsigned first = w & 0xFF, second = w >> 8;
        unsigned v = kPairStop;
        if (first < 0x80) {
            v = second < 0x80 ? 0 : kPairOneByte;
        } else if (T.SjisLead[first] != kNotLead) {
            const unsigned c = T.Sjis[T.SjisLead[first]][second];
            if (c != kBadCost) v = c;
        }
        T.SjisPair[w] = u8(v);
    }
    for (unsigned b1 = 0xA1; b1 <= 0xFE; ++b1)
        for (unsigned b2 = 0xA1; b2 <= 0xFE; ++b2) {
            const auto s = JisToSjisChar(u8(b1 & 0x7F), u8(b2 & 0x7F));
            const unsigned c = T.Sjis[T.SjisLead[s[0]]][s[1]];
            // A cell code page 932 leaves empty: the user-defined rows 85-94, or unlikely text.
            T.Euc[(b1 - 0xA1) * 94 + (b2 - 0xA1)] = u8(c != kBadCost ? c : b1 >= 0xF5 ? 16 : 18);
        }
}

constexpr unsigned kAsciiCost = 4;   // a printable ASCII character or a line or tab control
constexpr unsigned kNoiseByte = 8;   // a byte that is no character: binary content
constexpr unsigned kControlUnit = 20;  // a UTF-16 unit that is a control: worse than two noise bytes
constexpr unsigned kZeroUnit = 32;     // a UTF-16 unit of two zero bytes

constexpr bool IsTextControl(unsigned C) { return C == '\t' || C == '\n' || C == '\r' || C == '\f' || C == 0x1B; }

unsigned AsciiCost(unsigned C) { return (C >= 0x20 && C < 0x7F) || IsTextControl(C) ? kAsciiCost : kNoiseByte; }

template <class F>
std::uint64_t SjisTextCost(std::string_view B, F&& Half) {
    const TTextCosts& t = TextCosts();
    std::uint64_t cost = 0;
    for (std::size_t i = 0; i < B.size();) {
        const u8 c = u8(B[i]);
        if (c < 0x80) {
            cost += AsciiCost(c), ++i;
            Half(false);
        } else if (t.SjisLead[c] != kNotLead && i + 1 < B.size() && t.Sjis[t.SjisLead[c]][u8(B[i + 1])] != kBadCost) {
            cost += t.Sjis[t.SjisLead[c]][u8(B[i + 1])], i += 2;
            Half(false);
        } else if (IsHalfKana(c)) {
            cost += Half(true) ? kHalfKanaNext : kHalfKanaFirst, ++i;
        } else {
            cost += kNoiseByte, ++i;
            Half(false);
        }
    }
    return cost;
}

template <class F>
std::uint64_t EucTextCost(std::string_view B, F&& Half) {
    const TTextCosts& t = TextCosts();
    std::uint64_t cost = 0;
    const std::size_t n = B.size();
    auto at = [&](std::size_t k) { return k < n ? u8(B[k]) : u8(0); };
    for (std::size_t i = 0; i < n;) {
        const u8 c = at(i);
        if (c < 0x80) {
            cost += AsciiCost(c), ++i;
            Half(false);
        } else if (IsEuc94(c) && IsEuc94(at(i + 1))) {
            cost += t.Euc[(c - 0xA1) * 94 + (at(i + 1) - 0xA1)], i += 2;
            Half(false);
        } else if (c == 0x8E && IsHalfKana(at(i + 1))) {
            cost += Half(true) ? kHalfKanaNext : kHalfKanaFirst, i += 2;
        } else if (c == 0x8F && IsEuc94(at(i + 1)) && IsEuc94(at(i + 2))) {
            cost += EucExtraCost(at(i + 1), at(i + 2)), i += 3;
            Half(false);
        } else {
            cost += kNoiseByte, ++i;
            Half(false);
        }
    }
    return cost;
}

std::uint64_t Utf8TextCost(std::string_view B) {
    std::uint64_t cost = 0;
    for (std::size_t i = 0; i < B.size();) {
        const u8 c = u8(B[i]);
        const std::size_t len = Utf8SequenceLength(B, i);
        if (c < 0x80) {
            cost += AsciiCost(c);
        } else if (len) {
            char32_t ch = c & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
            for (std::size_t k = 1; k < len; ++k) ch = ch << 6 | (u8(B[i + k]) & 0x3F);
            cost += UnicodeCost(ch);
        } else {
            cost += kNoiseByte;
        }
        i += len ? len : 1;
    }
    return cost;
}

// Remembers whether the character before was a half-width kana: Half(true) answers it and notes
// one; Half(false) notes another character.
struct THalfRun {
    bool Before = false;
    bool operator()(bool IsHalf) {
        const bool was = Before;
        Before = IsHalf;
        return was;
    }
};

}  // namespace

const TTextCosts& TextCosts() {
    static std::once_flag once;
    static std::unique_ptr<TTextCosts> table;
    std::call_once(once, [] {
        auto t = std::make_unique<TTextCosts>();
        WithCp932([&](const TCp932Table& cp) { Build(*t, cp); });
        table = std::move(t);
    });
    return *table;
}

unsigned EucExtraCost(std::uint8_t B1, std::uint8_t B2) {
    if (B1 >= 0xF5) return 16;  // user-defined
    return EucExtra().Decode[(B1 - 0xA1) * 94 + (B2 - 0xA1)] != kNoChar ? 13 : 18;
}

unsigned UnicodeCost(char32_t C) {
    // U+0000 is two zero bytes in UTF-16: no likelier than the same bytes read one by one.
    if (C == 0) return kZeroUnit;
    if (C < 0x80) return (C >= 0x20 && C < 0x7F) || IsTextControl(unsigned(C)) ? kAsciiCost : kControlUnit;
    if (C < 0xA0 || (C >= 0xD800 && C <= 0xDFFF) || C == 0xFFFE || C == 0xFFFF) return kControlUnit;
    if (C > 0xFFFF) return 14;
    const std::uint16_t code = Cp932().Encode[C];
    if (code != kNoCode && code > 0xFF) {
        const TTextCosts& t = TextCosts();
        return t.Sjis[t.SjisLead[code >> 8]][code & 0xFF];
    }
    if (code != kNoCode && IsHalfKana(u8(code))) return kHalfKanaFirst;
    if (C < 0x180) return 10;  // Latin letters with marks
    if (IsUnassignedBmp(C)) return kControlUnit;  // no character at all
    return 16;
}

std::uint64_t Utf16TextCost(std::string_view B, bool BigEndian) {
    std::uint64_t cost = 0;
    const std::size_t units = B.size() / 2;
    for (std::size_t k = 0; k < units; ++k) {
        const unsigned u = Utf16Unit(B, k, BigEndian);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
            const unsigned v = Utf16Unit(B, k + 1, BigEndian);
            if (v >= 0xDC00 && v <= 0xDFFF) {
                cost += UnicodeCost(0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
                ++k;
                continue;
            }
        }
        cost += UnicodeCost(u);
    }
    if (B.size() % 2) cost += kNoiseByte;
    return cost;
}

std::uint64_t ByteTextCost(std::string_view B) {
    THalfRun sjisRun, eucRun;
    const std::uint64_t sjis = SjisTextCost(B, sjisRun), euc = EucTextCost(B, eucRun), utf8 = Utf8TextCost(B);
    return std::min(sjis, std::min(euc, utf8));
}

}  // namespace orvane
