// Parsing the command line.
#include "app/cmdline.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#ifndef ORVANE_VERSION
#define ORVANE_VERSION "0.0.0"
#endif

namespace orvane {
namespace {

// A positive line number written in decimal digits only, else 0.
int LineNumber(std::string_view S) {
    if (S.empty() || S.size() > 9) return 0;
    int n = 0;
    const auto [end, ec] = std::from_chars(S.data(), S.data() + S.size(), n);
    return ec == std::errc() && end == S.data() + S.size() && n > 0 ? n : 0;
}

std::string Absolute(const std::string& Path, const std::string& WorkingDir) {
    const std::filesystem::path p(Path);
    return (p.is_absolute() ? p : std::filesystem::path(WorkingDir) / p).lexically_normal().string();
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& Args, const std::string& WorkingDir,
                              const std::function<bool(const std::string&)>& IsFile) {
    TCommandLine cl;
    int pendingLine = 0;
    bool onlyFiles = false;
    auto fail = [&](std::string Message) {
        if (cl.Error.empty()) cl.Error = std::move(Message);
    };
    auto addFile = [&](const std::string& Arg) {
        std::string path = Arg;
        int line = pendingLine;
        pendingLine = 0;
        const std::size_t colon = Arg.rfind(':');
        if (line == 0 && colon != std::string::npos && colon > 0 && !IsFile(Absolute(Arg, WorkingDir))) {
            if (const int n = LineNumber(std::string_view(Arg).substr(colon + 1))) {
                path = Arg.substr(0, colon);
                line = n;
            }
        }
        cl.Files.push_back({Absolute(path, WorkingDir), line});
    };

    for (std::size_t i = 0; i < Args.size(); ++i) {
        const std::string& a = Args[i];
        if (onlyFiles || a == "-" || a.empty() || (a[0] != '-' && a[0] != '+')) {
            if (!a.empty()) addFile(a);
            continue;
        }
        auto value = [&](const std::string& Option) -> std::string {
            if (a.size() > Option.size() && a.compare(0, Option.size() + 1, Option + "=") == 0)
                return a.substr(Option.size() + 1);
            if (i + 1 < Args.size()) return Args[++i];
            fail("オプション " + Option + " に値がありません");
            return {};
        };
        if (a == "--") {
            onlyFiles = true;
        } else if (a == "--help" || a == "-h") {
            cl.Help = true;
        } else if (a == "--version") {
            cl.Version = true;
        } else if (a == "--encoding" || a.rfind("--encoding=", 0) == 0) {
            const std::string name = value("--encoding");
            if (const auto e = ParseEncodingName(name))
                cl.Encoding = *e;
            else if (!name.empty())
                fail("文字コード " + name + " は分かりません (auto, sjis, euc-jp, jis, utf-8, utf-16)");
        } else if (a == "--new-instance") {
            cl.NewInstance = true;
        } else if (a == "--screenshot" || a.rfind("--screenshot=", 0) == 0) {
            cl.Screenshot = value("--screenshot");
        } else if (a[0] == '+' && LineNumber(std::string_view(a).substr(1))) {
            pendingLine = LineNumber(std::string_view(a).substr(1));
        } else if (a[0] == '+') {
            addFile(a);  // a file whose name starts with "+"
        } else {
            fail("オプション " + a + " は分かりません");
        }
    }
    if (pendingLine) fail("+行番号 の後にファイル名がありません");
    return cl;
}

namespace {
constexpr std::string_view kHandOffMagic{"orvane-open 1\0", 14};
}

std::string EncodeHandOff(const TCommandLine& CommandLine) {
    std::string out(kHandOffMagic);
    auto field = [&](std::string_view S) {
        out += S;
        out += '\0';
    };
    field(EncodingName(CommandLine.Encoding).Stored);
    field(std::to_string(CommandLine.Files.size()));
    for (const TOpenRequest& file : CommandLine.Files) {
        field(std::to_string(file.Line));
        field(file.Path);  // a path holds no zero byte
    }
    return out;
}

std::optional<TCommandLine> DecodeHandOff(std::string_view Bytes) {
    if (!Bytes.starts_with(kHandOffMagic)) return std::nullopt;
    Bytes.remove_prefix(kHandOffMagic.size());
    auto field = [&]() -> std::optional<std::string_view> {
        const std::size_t end = Bytes.find('\0');
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view f = Bytes.substr(0, end);
        Bytes.remove_prefix(end + 1);
        return f;
    };
    TCommandLine cl;
    const auto encoding = field();
    const auto count = field();
    if (!encoding || !count) return std::nullopt;
    const auto e = ParseEncodingName(*encoding);
    if (!e) return std::nullopt;
    cl.Encoding = *e;
    std::size_t n = 0;
    if (std::from_chars(count->data(), count->data() + count->size(), n).ec != std::errc() || n > 100000)
        return std::nullopt;
    for (std::size_t i = 0; i < n; ++i) {
        const auto line = field();
        const auto path = field();
        if (!line || !path || path->empty() || (*path)[0] != '/') return std::nullopt;
        int l = 0;
        std::from_chars(line->data(), line->data() + line->size(), l);
        cl.Files.push_back({std::string(*path), std::max(0, l)});
    }
    if (!Bytes.empty()) return std::nullopt;
    return cl;
}

TOpenTarget ClassifyOpenName(const std::string& Path) {
    struct stat st {};
    if (::stat(Path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return {TOpenTarget::Refused, Path + " はフォルダなので開けません"};
        if (!S_ISREG(st.st_mode))
            return {TOpenTarget::Refused, Path + " は通常のファイルではない (デバイスや FIFO) ので開けません"};
        if (::access(Path.c_str(), R_OK) != 0)
            return {TOpenTarget::Refused, "ファイル " + Path + " を読めません: " + std::strerror(errno)};
        return {TOpenTarget::Open, {}};
    }
    if (errno != ENOENT) return {TOpenTarget::Refused, "ファイル " + Path + " を開けません: " + std::strerror(errno)};
    // A name of no file: made by the first save, when its folder is there to hold it.
    const std::string folder = std::filesystem::path(Path).parent_path().string();
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0 || !S_ISDIR(dir.st_mode))
        return {TOpenTarget::Refused, "ファイル " + Path + " を作れません: フォルダ " + folder + " が見つかりません"};
    return {TOpenTarget::New, {}};
}

std::string UsageText() {
    return "使い方: orvane [オプション] [ファイル...]\n"
           "日本語のテキストファイルを編集します。\n"
           "\n"
           "  ファイル            開くファイル\n"
           "  ファイル:行         ファイルを開いて指定の行を表示します\n"
           "  +行 ファイル        同上\n"
           "  --encoding 文字コード  ファイルを指定の文字コードで読み込みます\n"
           "                      (auto, sjis, euc-jp, jis, utf-8, utf-16)\n"
           "  --new-instance      動いている Orvane に渡さず、新しく起動します\n"
           "  --help              この説明を表示して終了します\n"
           "  --version           バージョンを表示して終了します\n"
           "\n"
           "設定フォルダ: 環境変数 ORVANE_SETTINGS_DIR、なければプログラムのフォルダに\n"
           "orvane.ini があり書き込めるとき そのフォルダ、それ以外は ~/.config/orvane/\n";
}

std::string VersionText() { return "orvane " ORVANE_VERSION "\n"; }

}  // namespace orvane
