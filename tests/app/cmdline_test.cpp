// The command line.
#include "app/cmdline.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include <sys/stat.h>

namespace orvane {
namespace {

TEST(CommandLine, FilesLinesAndOptions) {
    // Files that exist for the parser; "notes:12" is a real file name.
    const std::set<std::string> existing{"/work/a.txt", "/work/notes:12"};
    const auto isFile = [&](const std::string& P) { return existing.count(P) > 0; };
    struct {
        std::vector<std::string> Args;
        std::vector<TOpenRequest> Files;
        TDocumentEncoding Encoding;
        std::string ErrorStart;
    } cases[] = {
        {{}, {}, deAuto, ""},
        {{"a.txt", "/abs/b.txt", "../c.txt"}, {{"/work/a.txt", 0}, {"/abs/b.txt", 0}, {"/c.txt", 0}}, deAuto, ""},
        {{"a.txt:42"}, {{"/work/a.txt", 42}}, deAuto, ""},
        {{"notes:12"}, {{"/work/notes:12", 0}}, deAuto, ""},            // the whole name exists
        {{"a.txt:x", "b:0"}, {{"/work/a.txt:x", 0}, {"/work/b:0", 0}}, deAuto, ""},
        {{"+7", "a.txt", "b.txt"}, {{"/work/a.txt", 7}, {"/work/b.txt", 0}}, deAuto, ""},
        {{"--encoding", "euc-jp", "a.txt"}, {{"/work/a.txt", 0}}, deEuc, ""},
        {{"--encoding=UTF-8", "--", "--help", "+3"}, {{"/work/--help", 0}, {"/work/+3", 0}}, deUtf8, ""},
        {{"+x.txt"}, {{"/work/+x.txt", 0}}, deAuto, ""},
        {{"--encoding", "latin-9"}, {}, deAuto, "文字コード latin-9"},
        {{"--encoding"}, {}, deAuto, "オプション --encoding"},
        {{"--frobnicate"}, {}, deAuto, "オプション --frobnicate"},
        {{"a.txt", "+5"}, {{"/work/a.txt", 0}}, deAuto, "+行番号"},
    };
    for (const auto& c : cases) {
        const TCommandLine cl = ParseCommandLine(c.Args, "/work", isFile);
        const std::string name = c.Args.empty() ? "(none)" : c.Args.front();
        EXPECT_EQ(cl.Files, c.Files) << name;
        EXPECT_EQ(cl.Encoding, c.Encoding) << name;
        EXPECT_EQ(cl.Error.substr(0, c.ErrorStart.size()), c.ErrorStart) << name;
        EXPECT_EQ(cl.Error.empty(), c.ErrorStart.empty()) << name;
    }
    const TCommandLine cl = ParseCommandLine({"-h", "--version", "--screenshot", "out.png"}, "/work", isFile);
    EXPECT_TRUE(cl.Help);
    EXPECT_TRUE(cl.Version);
    EXPECT_EQ(cl.Screenshot, "out.png");
    EXPECT_TRUE(ParseCommandLine({"--new-instance"}, "/work", isFile).NewInstance);
}

TEST(CommandLine, HandOffToTheRunningProgram) {
    TCommandLine cl;
    cl.Encoding = deEuc;
    cl.Files = {{"/a b/c\nd.txt", 3}, {"/x", 0}};
    const std::string bytes = EncodeHandOff(cl);
    const auto back = DecodeHandOff(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Files, cl.Files);
    EXPECT_EQ(back->Encoding, deEuc);
    EXPECT_TRUE(DecodeHandOff(EncodeHandOff(TCommandLine{})));
    EXPECT_FALSE(DecodeHandOff(bytes.substr(0, bytes.size() - 1)));  // not all there yet
    EXPECT_FALSE(DecodeHandOff(bytes + "x"));
    EXPECT_FALSE(DecodeHandOff("GET / HTTP/1.0"));
}

TEST(CommandLine, WhatANameStandsFor) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("orvane-cmdline-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "folder");
    std::ofstream(dir / "a.txt") << "a";
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const struct {
        fs::path Path;
        TOpenTarget::TKind Kind;
        std::string Message;
    } cases[] = {
        {dir / "a.txt", TOpenTarget::Open, ""},
        {dir / "new.txt", TOpenTarget::New, ""},
        {dir / "folder", TOpenTarget::Refused, (dir / "folder").string() + " はフォルダなので開けません"},
        {dir / "fifo", TOpenTarget::Refused, (dir / "fifo").string() + " は通常のファイルではない (デバイスや FIFO) ので開けません"},
        {dir / "none" / "b.txt", TOpenTarget::Refused,
         "ファイル " + (dir / "none" / "b.txt").string() + " を作れません: フォルダ " + (dir / "none").string() + " が見つかりません"},
        {dir / "a.txt" / "c.txt", TOpenTarget::Refused, "ファイル " + (dir / "a.txt" / "c.txt").string() + " を開けません: Not a directory"},
    };
    for (const auto& c : cases) {
        const TOpenTarget t = ClassifyOpenName(c.Path.string());
        EXPECT_EQ(t.Kind, c.Kind) << c.Path;
        EXPECT_EQ(t.Message, c.Message) << c.Path;
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace orvane
