// Crash recovery snapshots: the file format, the run lock and the writer thread.
#include "app/recovery.h"

#include "files/charmap.h"
#include "files/filewrite.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;

struct RecoveryTest : ::testing::Test {
    fs::path Folder = fs::temp_directory_path() / ("orvane-recovery-" + std::to_string(::getpid()));
    void SetUp() override {
        fs::remove_all(Folder);
        fs::create_directories(Folder);
    }
    void TearDown() override { fs::remove_all(Folder); }
};

TRecoverySnapshot Sample() {
    TRecoverySnapshot s;
    s.FileName = "/tmp/a%b\nc.txt";
    s.Untitled = false;
    s.Format.Encoding = deUtf8;
    s.Format.LineEnd = dlLf;
    s.Format.Bom = true;
    s.Kept = {{0xF040, U'\U0001F600'}, {0xF042, U'ä'}};
    s.Text = std::string("\x82\xa0\r\n\0\xff end", 10);
    return s;
}

TEST_F(RecoveryTest, SnapshotsRoundTripAndDamageIsRefused) {
    const TRecoverySnapshot s = Sample();
    const std::string bytes = EncodeSnapshot(s);
    EXPECT_EQ(DecodeSnapshot(bytes), s);
    EXPECT_FALSE(DecodeSnapshot(bytes.substr(0, bytes.size() - 1)));  // cut short
    EXPECT_FALSE(DecodeSnapshot(bytes + "x"));
    EXPECT_FALSE(DecodeSnapshot("something else"));
    EXPECT_FALSE(DecodeSnapshot(""));
}

TEST_F(RecoveryTest, KeptCharactersComeBackOnTheirCodes) {
    TCharMap map;
    map.MarkUsed(0xF041);
    const std::uint16_t a = map.CodeFor(U'\U0001F600');
    const std::uint16_t b = map.CodeFor(U'ä');
    const auto kept = KeptCharacters(map);
    ASSERT_EQ(kept.size(), 2u);
    TCharMap restored;
    RestoreKeptCharacters(kept, restored);
    EXPECT_EQ(restored.CharOf(a), U'\U0001F600');
    EXPECT_EQ(restored.CharOf(b), U'ä');
    EXPECT_EQ(restored.CodeFor(U'ä'), b);
}

TEST_F(RecoveryTest, OnlyRunsThatDidNotEndNormallyAreFound) {
    // A run in a child process that dies without ending normally, as after SIGKILL.
    const pid_t child = ::fork();
    if (child == 0) {
        TRecoveryRun run(Folder.string());
        run.Write(1, Sample());
        ::_exit(0);  // no EndNormally
    }
    int status = 0;
    ::waitpid(child, &status, 0);

    TRecoveryRun live(Folder.string());
    live.Write(7, Sample());
    {
        TRecoveryRun ended(Folder.string());
        ended.Write(2, Sample());
        ended.EndNormally();
    }
    const auto runs = TRecoveryRun::FindAbandoned(Folder.string());
    ASSERT_EQ(runs.size(), 1u);  // not the live run, not the one that ended
    ASSERT_EQ(runs[0].Snapshots.size(), 1u);
    EXPECT_EQ(runs[0].Snapshots[0], Sample());
    TRecoveryRun::Discard(runs[0].Folder);
    EXPECT_TRUE(TRecoveryRun::FindAbandoned(Folder.string()).empty());
}

TEST_F(RecoveryTest, WriterKeepsTheLastRequestPerDocument) {
    TRecoveryRun run(Folder.string());
    {
        TRecoveryWriter writer(run);
        auto s = std::make_shared<TRecoverySnapshot>(Sample());
        for (int i = 0; i < 50; ++i) {
            TRecoverySnapshot copy = *s;
            char text[16];
            std::snprintf(text, sizeof text, "v%d", i);
            copy.Text = std::string(text);
            auto t = std::make_shared<TRecoverySnapshot>(std::move(copy));
            writer.Write(1, t);
            writer.Write(2, t);
        }
        writer.Remove(2);
        writer.Flush();
        EXPECT_EQ(writer.TakeError(), "");
        writer.Write(3, s);
    }  // the destructor carries out what is queued
    const fs::path one = fs::path(run.Folder()) / "1.snapshot";
    ASSERT_TRUE(fs::exists(one));
    EXPECT_EQ(DecodeSnapshot(ReadFileBytes(one.string()))->Text, "v49");
    EXPECT_FALSE(fs::exists(fs::path(run.Folder()) / "2.snapshot"));
    EXPECT_TRUE(fs::exists(fs::path(run.Folder()) / "3.snapshot"));
    run.EndNormally();
    EXPECT_FALSE(fs::exists(run.Folder().empty() ? Folder / "none" : fs::path(run.Folder())));
}

}  // namespace
}  // namespace orvane
