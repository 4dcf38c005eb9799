// Saves with backups on real files: backup names and modes, links, permissions and owners, and
// failures at every step leaving the file and the earlier backup as they were.
#include "files/safesave.h"

#include "base/exceptions.h"
#include "base/faults.h"
#include "files/doctext.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::sj;

class SafeSave : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orvane-safesave-XXXXXX";
        Dir = ::mkdtemp(tmpl);
        // Files with other links are written in place after a copy in the state folder.
        ::setenv("XDG_STATE_HOME", (Dir / "state").c_str(), 1);
    }
    void TearDown() override {
        ArmFault(0);
        fs::remove_all(Dir);
    }
    std::string P(const std::string& Name) const { return (Dir / Name).string(); }
    static void Put(const std::string& Path, const std::string& Bytes) { std::ofstream(Path, std::ios::binary) << Bytes; }
    static std::string Get(const std::string& Path) { return ReadFileBytes(Path); }
    // The names in the folder (the state folder left out).
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(Dir))
            if (e.path().filename() != "state") names.insert(e.path().filename().string());
        return names;
    }
    static TTextPieces Text(const std::string& S) {
        return [S](const std::function<void(std::string_view)>& Piece) { Piece(S); };
    }
    void Save(const std::string& Path, const std::string& S, TSaveOptions Options = {},
              TDocumentFormat Format = {}) {
        SaveDocumentFile(Path, Text(S), Format, nullptr, Options);
    }
    static TSaveOptions WithBackup(int Mode, std::string Folder = {}) {
        TSaveOptions o;
        o.Backup.Backup = true;
        o.Backup.Mode = Mode;
        o.Backup.Folder = std::move(Folder);
        return o;
    }

    fs::path Dir;
};

TEST_F(SafeSave, BackupNames) {
    EXPECT_EQ(BackupName("/d/a.txt"), "/d/a.~txt");
    EXPECT_EQ(BackupName("/d/a"), "/d/a.~");
    EXPECT_EQ(BackupName("/d/.bashrc"), "/d/.bashrc.~");
    EXPECT_EQ(BackupName("/d.x/a.b.cgi"), "/d.x/a.b.~cgi");
    EXPECT_EQ(BackupName("/d/a.txt", "/backups/"), "/backups/a.~txt");
    Put(P("a.~txt"), "");
    Put(P("a.001~txt"), "");
    EXPECT_EQ(NumberedBackupName(P("a.~txt")), P("a.002~txt"));
    EXPECT_EQ(NumberedBackupName(P("b.~")), P("b.001~"));
}

TEST_F(SafeSave, EachBackupModeLeavesTheBackupItAsksFor) {
    // Numbered: three saves leave the file, the newest backup and the two before it, oldest first.
    const std::string a = P("a.txt");
    Put(a, "v0");
    for (const char* v : {"v1", "v2", "v3"}) Save(a, v, WithBackup(bbNumbered));
    EXPECT_EQ(Names(), (std::set<std::string>{"a.txt", "a.~txt", "a.001~txt", "a.002~txt"}));
    EXPECT_EQ(Get(a), "v3");
    EXPECT_EQ(Get(P("a.~txt")), "v2");
    EXPECT_EQ(Get(P("a.001~txt")), "v0");
    EXPECT_EQ(Get(P("a.002~txt")), "v1");

    // Delete: the one backup is replaced.
    const std::string b = P("b");
    Put(b, "w0");
    Save(b, "w1", WithBackup(bbDelete));
    Save(b, "w2", WithBackup(bbDelete));
    EXPECT_EQ(Get(P("b.~")), "w1");
    EXPECT_FALSE(fs::exists(P("b.001~")));

    // Trash: the old backup goes to the trash before the new one takes its name.
    const std::string c = P("c.pl");
    std::vector<std::string> trashed;
    TSaveOptions trash = WithBackup(bbTrash);
    trash.Backup.MoveToTrash = [&](const std::string& Path, std::string&) {
        trashed.push_back(Get(Path));
        fs::remove(Path);
        return true;
    };
    Put(c, "x0");
    Save(c, "x1", trash);
    Save(c, "x2", trash);
    EXPECT_EQ(trashed, std::vector<std::string>{"x0"});
    EXPECT_EQ(Get(P("c.~pl")), "x1");
    // A trash that fails: nothing is written, the file and the backup stay.
    trash.Backup.MoveToTrash = [](const std::string&, std::string& Error) {
        Error = "no trash here";
        return false;
    };
    EXPECT_THROW(Save(c, "x3", trash), Exception);
    EXPECT_EQ(Get(c), "x2");
    EXPECT_EQ(Get(P("c.~pl")), "x1");

    // A folder of its own; a missing one refuses the save.
    fs::create_directory(Dir / "bak");
    Save(a, "v4", WithBackup(bbNumbered, P("bak")));
    EXPECT_EQ(Get(P("bak/a.~txt")), "v3");
    try {
        Save(a, "v5", WithBackup(bbNumbered, P("missing")));
        ADD_FAILURE() << "saved without its backup";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("missing"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Get(a), "v4");
    // No backup for a new file, none when switched off.
    Save(P("new.txt"), "n", WithBackup(bbNumbered));
    Save(a, "v6");
    EXPECT_FALSE(fs::exists(P("new.~txt")));
    EXPECT_EQ(Get(P("a.~txt")), "v2");
}

TEST_F(SafeSave, ModeOwnerAndLinksAreKept) {
    const std::string script = P("run.cgi");
    Put(script, "#!/bin/sh\n");
    ::chmod(script.c_str(), 0755);
    Save(script, "#!/bin/sh\necho\n", WithBackup(bbNumbered));
    struct stat st;
    ASSERT_EQ(::stat(script.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    ASSERT_EQ(::stat(P("run.~cgi").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u) << "the backup keeps the mode too";

    // A symbolic link stays a link; its target receives the text.
    fs::create_directory(Dir / "real");
    Put(P("real/t.txt"), "old");
    fs::create_symlink("real/t.txt", Dir / "link.txt");
    Save(P("link.txt"), "new", WithBackup(bbNumbered));
    EXPECT_TRUE(fs::is_symlink(Dir / "link.txt"));
    EXPECT_EQ(Get(P("real/t.txt")), "new");
    EXPECT_EQ(Get(P("link.~txt")), "old");

    // Hard links: every name sees the new text (the file is written in place).
    Put(P("h1.txt"), "one");
    fs::create_hard_link(Dir / "h1.txt", Dir / "h2.txt");
    Save(P("h1.txt"), "two");
    EXPECT_EQ(Get(P("h2.txt")), "two");
    EXPECT_EQ(fs::hard_link_count(Dir / "h1.txt"), 2u);

    if (::geteuid() == 0) {
        // Another user's file keeps its owner.
        const std::string theirs = P("theirs.txt");
        Put(theirs, "a");
        ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
        Save(theirs, "b");
        ASSERT_EQ(::stat(theirs.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
}

// A failure at each step in turn: until the save goes through, the file and the earlier backup
// are as they were and nothing else is left in the folder.
TEST_F(SafeSave, FailureAtEveryStepLeavesFileAndBackupIntact) {
    const std::string a = P("a.txt");
    for (int mode : {bbDelete, bbNumbered}) {
        fs::remove_all(Dir);
        fs::create_directories(Dir);
        Put(a, "original");
        Put(P("a.~txt"), "earlier backup");
        const std::set<std::string> before = Names();
        // Several pieces, so that the write can fail midway.
        const TTextPieces pieces = [](const std::function<void(std::string_view)>& Piece) {
            for (int i = 0; i < 4; ++i) Piece(std::string(300000, char('a' + i)) + "\r\n");
        };
        bool saved = false;
        for (int step = 1; step < 40 && !saved; ++step) {
            ArmFault(step);
            try {
                SaveDocumentFile(a, pieces, {}, nullptr, WithBackup(mode));
                saved = ArmedFault() > 0;  // went through without reaching the armed point
                ArmFault(0);
                if (!saved) ADD_FAILURE() << "step " << step << ": the fault fired but the save reported success";
            } catch (const std::bad_alloc&) {
                ArmFault(0);
                SCOPED_TRACE("mode " + std::to_string(mode) + ", failing step " + std::to_string(step));
                EXPECT_EQ(Get(a), "original");
                // Either no backup was made yet, or the new one is complete and the earlier one
                // numbered (mode 2) or replaced (mode 0).
                const std::string backup = Get(P("a.~txt"));
                if (backup == "earlier backup") {
                    EXPECT_EQ(Names(), before);
                } else {
                    EXPECT_EQ(backup, "original");
                    if (mode == bbNumbered) {
                        EXPECT_EQ(Get(P("a.001~txt")), "earlier backup");
                    }
                    EXPECT_EQ(Names().size(), before.size() + (mode == bbNumbered ? 1 : 0));
                }
                // Start again from the same state.
                for (const std::string& n : Names())
                    if (!before.count(n)) fs::remove(Dir / n);
                Put(P("a.~txt"), "earlier backup");
            }
        }
        EXPECT_TRUE(saved);
        EXPECT_EQ(Get(a).size(), 4u * 300002u);
    }
}

TEST_F(SafeSave, WriteFailingMidwayKeepsTheFile) {
    struct TFailing : TFileWriter {
        mutable std::size_t Left = 100000;
        ssize_t Write(int Fd, const char* Data, std::size_t Size) const override {
            if (Left == 0) {
                errno = ENOSPC;
                return -1;
            }
            const std::size_t n = std::min(Size, Left);
            Left -= n;
            return TFileWriter::Write(Fd, Data, n);
        }
    } failing;
    const std::string a = P("a.txt");
    Put(a, "original");
    TSaveOptions o = WithBackup(bbNumbered);
    o.Writer = &failing;
    try {
        Save(a, std::string(500000, 'x'), o);
        ADD_FAILURE() << "a full disk reported as saved";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find(std::strerror(ENOSPC)), std::string::npos) << e.what();
    }
    EXPECT_EQ(Get(a), "original");
    EXPECT_EQ(Get(P("a.~txt")), "original");
    EXPECT_EQ(Names(), (std::set<std::string>{"a.txt", "a.~txt"}));
}

TEST_F(SafeSave, CharactersTheEncodingCannotHoldAreCountedFirst) {
    // "ñ" and "한" are kept in the user-defined area: UTF-8 holds them, Shift_JIS cannot.
    const TDocumentText read = DecodeDocument("\xEF\xBB\xBF" "a\xC3\xB1" "b\xED\x95\x9C" "\xC3\xB1\r\n", deAuto);
    ASSERT_EQ(read.Map.Size(), 2u);
    const TTextPieces text = Text(read.Text);
    TDocumentFormat sjis;
    EXPECT_EQ(CountUnwritable(text, sjis, &read.Map), 3u);
    EXPECT_EQ(CountUnwritable(text, read.Format, &read.Map), 0u);
    const std::string a = P("a.txt");
    Put(a, "original");
    EXPECT_THROW(SaveDocumentFile(a, text, sjis, &read.Map, WithBackup(bbNumbered)), Exception);
    EXPECT_EQ(Get(a), "original");
    EXPECT_EQ(Names(), std::set<std::string>{"a.txt"}) << "no backup either";
    TSaveOptions allow;
    allow.AllowLoss = true;
    SaveDocumentFile(a, text, sjis, &read.Map, allow);
    EXPECT_EQ(Get(a), "a" + sj("〓") + "b" + sj("〓〓") + "\r\n");
    SaveDocumentFile(a, text, read.Format, &read.Map, {});
    EXPECT_EQ(Get(a), "\xEF\xBB\xBF" "a\xC3\xB1" "b\xED\x95\x9C" "\xC3\xB1\r\n");
}

// A name of 84 kanji and ".tx" (255 bytes) is at the system's limit: the save, its backup and the safety
// copy of a file written in place each still find a temporary name.
TEST_F(SafeSave, NamesAtTheSystemsLimitCanBeSaved) {
    std::string name;
    for (int i = 0; i < 84; ++i) name += "漢";
    name += ".tx";
    ASSERT_EQ(name.size(), 255u);
    const std::string path = P(name);
    Put(path, "old");
    Save(path, "new");
    EXPECT_EQ(Get(path), "new");
    fs::create_hard_link(path, Dir / "other");  // written in place, after a copy in the state folder
    Save(path, "newer");
    EXPECT_EQ(Get(P("other")), "newer");
    // The backup name itself is past the limit: the backup fails on its own, the file is untouched.
    EXPECT_THROW(Save(path, "newest", WithBackup(bbNumbered)), EBackupError);
    EXPECT_EQ(Get(path), "newer");
    EXPECT_EQ(Names(), (std::set<std::string>{name, "other"}));
}

TEST_F(SafeSave, LinkChainsAreFollowedToTheEndAndLoopsRefused) {
    // A dangling chain: the file the last link names is made; both links stay links.
    fs::create_symlink("b.txt", Dir / "a.txt");
    fs::create_symlink("sub/c.txt", Dir / "b.txt");
    fs::create_directory(Dir / "sub");
    Save(P("a.txt"), "text");
    EXPECT_TRUE(fs::is_symlink(Dir / "a.txt"));
    EXPECT_TRUE(fs::is_symlink(Dir / "b.txt"));
    EXPECT_EQ(Get(P("sub/c.txt")), "text");
    // A relative link is read from its own folder.
    fs::create_symlink("d.txt", Dir / "sub" / "rel.txt");
    fs::create_symlink("sub/rel.txt", Dir / "r.txt");
    Save(P("r.txt"), "rel");
    EXPECT_EQ(Get(P("sub/d.txt")), "rel");
    // A loop is refused, and no link becomes a file.
    fs::create_symlink("y.txt", Dir / "x.txt");
    fs::create_symlink("x.txt", Dir / "y.txt");
    fs::create_symlink("self", Dir / "self");
    for (const char* start : {"x.txt", "self"}) {
        try {
            Save(P(start), "lost?", WithBackup(bbNumbered));
            ADD_FAILURE() << start << ": a save through a loop reported success";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find(std::strerror(ELOOP)), std::string::npos) << e.Message();
        }
    }
    EXPECT_TRUE(fs::is_symlink(Dir / "x.txt"));
    EXPECT_TRUE(fs::is_symlink(Dir / "y.txt"));
    EXPECT_TRUE(fs::is_symlink(Dir / "self"));
}

// A save that must be refused is refused before a backup is made or an old one moved; a backup
// that cannot be made fails on its own, with the file untouched.
TEST_F(SafeSave, ARefusedSaveMakesNoBackup) {
    const std::string a = P("a.txt");
    Put(a, "first");
    Save(a, "second", WithBackup(bbDelete));  // a.~txt holds "first"
    Put(P("plain"), "");
    EXPECT_THROW(Save(a, "third", WithBackup(bbNumbered, P("plain"))), EBackupError);
    EXPECT_EQ(Get(a), "second");
    if (::geteuid() == 0) GTEST_SKIP() << "root may write a read-only file";
    ::chmod(a.c_str(), 0444);
    for (int mode : {bbDelete, bbNumbered}) {
        try {
            Save(a, "third", WithBackup(mode));
            ADD_FAILURE() << "a read-only file was saved";
        } catch (const EBackupError&) {
            ADD_FAILURE() << "refused as a backup failure";
        } catch (const Exception&) {
        }
    }
    EXPECT_EQ(Get(a), "second");
    EXPECT_EQ(Get(P("a.~txt")), "first") << "the earlier backup keeps its text";
    EXPECT_EQ(Names(), (std::set<std::string>{"a.txt", "a.~txt", "plain"}));
}
}  // namespace
}  // namespace orvane
