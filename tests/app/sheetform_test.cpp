// The document holder on real files: unchanged open-and-save in every encoding and line end,
// write protection after a doubtful read, characters an encoding cannot hold, files that are no
// documents, a failing save, inserting a file; and the encoding chooser of the file dialogs
// reaching the reader and the writer.
#include "app/mainwindow.h"
#include "app/sheetform.h"

#include "base/faults.h"
#include "files/filewrite.h"
#include "platform/errordisplay.h"
#include "platform/questions.h"
#include "styles/orvaneeditor.h"
#include "support/dialogs.h"
#include "support/sj.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::sj;

class Sheet : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orvane-sheet-XXXXXX";
        Dir = ::mkdtemp(tmpl);
        ::setenv("XDG_STATE_HOME", (Dir / "state").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(Dir); }
    QString Q(const std::string& Name) const { return QString::fromStdString((Dir / Name).string()); }
    void Put(const std::string& Name, const std::string& Bytes) const {
        std::ofstream(Dir / Name, std::ios::binary) << Bytes;
    }
    std::string Get(const std::string& Name) const { return ReadFileBytes((Dir / Name).string()); }
    std::string Text(TOrvaneSheetForm& S) const { return S.Editor()->Document().GetText(); }

    fs::path Dir;
};

TEST_F(Sheet, UnchangedOpenAndSaveIsByteIdenticalInEveryEncodingAndLineEnd) {
    // Long enough for detection to tell EUC-JP from Shift_JIS; tabs, full-width spaces,
    // half-width kana and a last line with and without its line break.
    const std::string text = sj("日本語の文書です。\tタブと　全角スペース、ｶﾀｶﾅも入れておきます。\r\n"
                                "二行目は「括弧」と記号※を含みます。漢字の多い文章を検出のために続けます。\r\n"
                                "最後の行");
    struct TCase {
        const char* Name;
        TDocumentEncoding Encoding;
        bool Bom;
        bool BigEndian;
    };
    const TCase cases[] = {{"sjis", deShiftJis, false, false}, {"euc", deEuc, false, false},
                           {"jis", deJis, false, false},       {"utf8", deUtf8, true, false},
                           {"utf8-nobom", deUtf8, false, false}, {"utf16le", deUtf16, true, false},
                           {"utf16be", deUtf16, true, true}};
    for (const TCase& c : cases) {
        for (TDocumentLineEnd le : {dlCrLf, dlCr, dlLf}) {
            for (bool finalBreak : {false, true}) {
                TDocumentFormat f = FormatForEncoding(c.Encoding, le);
                f.Bom = c.Bom;
                f.BigEndian = c.BigEndian;
                const std::string bytes = EncodeDocument(finalBreak ? text + "\r\n" : text, f, nullptr).Bytes;
                const std::string name = std::string(c.Name) + "-" + std::string(LineEndName(le).Stored) +
                                         (finalBreak ? "-break" : "") + ".txt";
                SCOPED_TRACE(name);
                Put(name, bytes);
                TOrvaneSheetForm sheet;
                const TLoadResult r = sheet.LoadFile(Q(name), deAuto);
                ASSERT_TRUE(r) << r.Error;
                EXPECT_EQ(sheet.Encoding(), c.Encoding);
                EXPECT_EQ(sheet.LineEnd(), le);
                EXPECT_FALSE(sheet.Modified());
                TSaveRequest backup;
                backup.Backup.Backup = true;
                const TSaveResult s = sheet.SaveFile(sheet.FileName(), backup);
                ASSERT_TRUE(s) << s.Reason;
                EXPECT_EQ(Get(name), bytes);
                EXPECT_EQ(Get(BackupName(name)), bytes);
            }
        }
    }
}

TEST_F(Sheet, StateAndStatusText) {
    TOrvaneSheetForm sheet;
    EXPECT_TRUE(sheet.Untitled());
    EXPECT_EQ(sheet.FileName(), QStringLiteral("無題"));
    EXPECT_EQ(sheet.StatusText(), QStringLiteral("無題 (S-JIS, CRLF)"));
    EXPECT_EQ(sheet.Editor()->statusTip(), sheet.StatusText());
    Put("e.txt", "\xEF\xBB\xBF" "a\nb\n");
    ASSERT_TRUE(sheet.LoadFile(Q("e.txt"), deAuto));
    EXPECT_FALSE(sheet.Untitled());
    EXPECT_EQ(sheet.StatusText(), Q("e.txt") + QStringLiteral(" (UTF-8 BOM, LF)"));
    int changes = 0;
    sheet.OnStateChange = [&](TOrvaneSheetForm&) { ++changes; };
    sheet.SetLineEnd(dlCr);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(sheet.Editor()->statusTip(), Q("e.txt") + QStringLiteral(" (UTF-8 BOM, CR)"));
}

TEST_F(Sheet, ALargeUtf8FileShowsItsKeptCharactersWhileItLoads) {
    // é in the first lines, 😀 only at the end: each is in the editor's map once its rows are.
    std::string text = "caf\xC3\xA9\r\n";
    while (text.size() < (9u << 20)) text += "line of text \xE3\x81\x82\xE3\x81\x84\r\n";
    text += "\xF0\x9F\x98\x80\r\n";
    Put("big.txt", text);
    TOrvaneSheetForm sheet;
    ASSERT_TRUE(sheet.LoadFile(Q("big.txt"), deAuto));
    ASSERT_TRUE(sheet.LoadingInSlices());
    const TCharMap& map = *sheet.Editor()->CharMap();
    ASSERT_EQ(map.Size(), 1u);
    EXPECT_EQ(map.CharOf(UserAreaCode(0)), U'é');
    for (int i = 0; i < 2000 && sheet.LoadingInSlices(); ++i) QTest::qWait(10);
    ASSERT_FALSE(sheet.LoadingInSlices());
    EXPECT_EQ(map.Size(), 2u);
    EXPECT_EQ(map.CharOf(UserAreaCode(1)), U'\U0001F600');
    EXPECT_EQ(sheet.Format().Encoding, deUtf8);
}

TEST_F(Sheet, DoubtfulReadsStayWriteProtectedUntilSavedAnyway) {
    for (const std::string& bytes : {std::string("\xEF\xBB\xBF" "ab\xC3(cd\r\n"), std::string("abc\0def\r\n", 9)}) {
        Put("d.txt", bytes);
        TOrvaneSheetForm sheet;
        ASSERT_TRUE(sheet.LoadFile(Q("d.txt"), deAuto));
        EXPECT_TRUE(sheet.LoadProtected());
        EXPECT_TRUE(sheet.Editor()->ReadOnly());
        const TSaveResult refused = sheet.SaveFile(sheet.FileName(), {});
        EXPECT_EQ(refused.Status, TSaveStatus::Protected);
        EXPECT_FALSE(refused.Reason.empty());
        EXPECT_EQ(Get("d.txt"), bytes);
        TSaveRequest anyway;
        anyway.SaveProtected = true;
        ASSERT_TRUE(sheet.SaveFile(sheet.FileName(), anyway));
        EXPECT_FALSE(sheet.LoadProtected());
        EXPECT_FALSE(sheet.Editor()->ReadOnly());
    }
}

TEST_F(Sheet, CharactersTheEncodingCannotHoldWriteNothingUnlessAllowed) {
    // Hangul: kept from the UTF-8 file, held by none of the Japanese byte encodings (EUC-JP
    // would hold "ñ" in its supplementary set).
    Put("u.txt", "\xEF\xBB\xBF" "ma\xED\x95\x9C" "ana \xED\x95\x9C\n");
    TOrvaneSheetForm sheet;
    ASSERT_TRUE(sheet.LoadFile(Q("u.txt"), deAuto));
    sheet.SetModified(true);
    for (TDocumentEncoding e : {deShiftJis, deEuc, deJis}) {
        const TSaveResult r = sheet.SaveFile(Q("out.txt"), FormatForEncoding(e, dlLf), {});
        EXPECT_EQ(r.Status, TSaveStatus::Unwritable);
        EXPECT_EQ(r.Unwritable, 2u);
        EXPECT_FALSE(fs::exists(Dir / "out.txt"));
    }
    EXPECT_TRUE(sheet.Modified());
    EXPECT_EQ(sheet.FileName(), Q("u.txt"));
    TSaveRequest lossy;
    lossy.AllowLoss = true;
    ASSERT_TRUE(sheet.SaveFile(Q("out.txt"), FormatForEncoding(deShiftJis, dlLf), lossy));
    EXPECT_EQ(Get("out.txt"), "ma" + sj("〓") + "ana " + sj("〓") + "\n");
    EXPECT_EQ(sheet.FileName(), Q("out.txt"));
    EXPECT_EQ(sheet.Encoding(), deShiftJis);
}

TEST_F(Sheet, FilesThatAreNoDocumentsAreRefusedAndLeaveTheDocument) {
    fs::create_directory(Dir / "folder");
    ASSERT_EQ(::mkfifo((Dir / "fifo").c_str(), 0600), 0);
    {
        std::ofstream big(Dir / "big.txt");
    }
    fs::resize_file(Dir / "big.txt", std::uintmax_t(kMaxDocumentFileSize) + 1);  // sparse
    Put("keep.txt", "kept\r\n");
    TOrvaneSheetForm sheet;
    ASSERT_TRUE(sheet.LoadFile(Q("keep.txt"), deAuto));
    struct TCase {
        const char* Name;
        const char* Says;
    } cases[] = {{"folder", "フォルダ"}, {"fifo", "通常のファイルではない"}, {"big.txt", "2 GB"},
                 {"missing.txt", "見つかりません"}};
    for (const TCase& c : cases) {
        const TLoadResult r = sheet.LoadFile(Q(c.Name), deAuto);
        EXPECT_FALSE(r) << c.Name;
        EXPECT_NE(r.Error.find(c.Says), std::string::npos) << r.Error;
        EXPECT_EQ(sheet.FileName(), Q("keep.txt"));
        EXPECT_EQ(Text(sheet), "kept\r\n");
    }
}

TEST_F(Sheet, FailedSaveLeavesFileBackupAndModifiedState) {
    Put("f.txt", "original\r\n");
    Put("f.~txt", "earlier\r\n");
    TOrvaneSheetForm sheet;
    ASSERT_TRUE(sheet.LoadFile(Q("f.txt"), deAuto));
    sheet.Editor()->SetSelText("new ");
    ASSERT_TRUE(sheet.Modified());
    TSaveRequest request;
    request.Backup.Backup = true;
    request.Backup.Mode = bbNumbered;
    for (int step = 1; step <= 3; ++step) {
        ArmFault(step);
        const TSaveResult r = sheet.SaveFile(sheet.FileName(), request);
        ArmFault(0);
        EXPECT_EQ(r.Status, TSaveStatus::Failed) << step;
        EXPECT_FALSE(r.Reason.empty());
        EXPECT_TRUE(sheet.Modified());
        EXPECT_EQ(Get("f.txt"), "original\r\n");
        EXPECT_EQ(Get("f.~txt"), "earlier\r\n");
    }
    ASSERT_TRUE(sheet.SaveFile(sheet.FileName(), request));
    EXPECT_EQ(Get("f.txt"), "new original\r\n");
    EXPECT_FALSE(sheet.Modified());
}

TEST_F(Sheet, InsertedFileEndsWithALineBreak) {
    Put("two.txt", sj("一行目\n二行目"));
    TOrvaneSheetForm sheet;
    sheet.Editor()->Document().SetText("ab");
    sheet.Editor()->SetRowCol(0, 1);
    ASSERT_TRUE(sheet.InsertFile(Q("two.txt"), deAuto));
    const std::string expected = std::string("a").append(sj("一行目\r\n二行目\r\n")).append("b");
    EXPECT_EQ(Text(sheet), expected);
    EXPECT_EQ(sheet.Encoding(), deShiftJis);
    EXPECT_FALSE(sheet.InsertFile(Q("missing.txt"), deAuto));
    sheet.Editor()->SetReadOnly(true);
    EXPECT_FALSE(sheet.InsertFile(Q("two.txt"), deAuto));
    EXPECT_EQ(Text(sheet), expected);
}

TEST(FileDialogFilters, FromTheSettingsFilter) {
    EXPECT_EQ(FileDialogFilters("テキスト (*.txt)|*.txt|HTML|*.html;*.htm|すべてのファイル|*.*|"),
              (QStringList{QStringLiteral("テキスト (*.txt) (*.txt)"), QStringLiteral("HTML (*.html *.htm)"),
                           QStringLiteral("すべてのファイル (*)")}));
    EXPECT_EQ(FileDialogFilters(""), QStringList{QStringLiteral("すべてのファイル (*)")});
}

void OnNextFileDialog(std::function<void(QFileDialog&)> Play) { OnNextDialog<QFileDialog>(std::move(Play)); }

TEST_F(Sheet, ChooserEncodingAndLineEndReachTheWriterAndTheReader) {
    SetErrorDisplayHook([](const std::string& M) { ADD_FAILURE() << M; });
    TStartOptions options;
    options.SettingsFolder = (Dir / "settings").string();
    TForm1 w(options);
    TOrvaneSheetForm& sheet = *w.ActiveSheet();
    sheet.Editor()->Document().SetText(sj("漢字の文書\r\n"));
    sheet.SetModified(true);

    OnNextFileDialog([&](QFileDialog& D) {
        TfrmForDialog* chooser = ChooserOf(&D);
        ASSERT_TRUE(chooser);
        EXPECT_EQ(chooser->EncodingList()->count(), 6);  // no "自動判別"; UTF-8 with and without a mark
        EXPECT_EQ(chooser->ChosenEncoding(), deShiftJis);  // the document's own at the start
        chooser->EncodingList()->setCurrentText(QStringLiteral("EUC"));
        chooser->LineEndList()->setCurrentIndex(2);  // LF (Unix)
        D.selectFile(Q("saved.txt"));
        static_cast<QDialog&>(D).accept();
    });
    ASSERT_TRUE(w.SaveDocument(sheet, true, QStringLiteral("名前を付けて保存")));
    EXPECT_EQ(Get("saved.txt"), "\xB4\xC1\xBB\xFA\xA4\xCE\xCA\xB8\xBD\xF1\n");
    EXPECT_EQ(sheet.Encoding(), deEuc);
    EXPECT_EQ(sheet.LineEnd(), dlLf);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("saved.txt - Orvane"));

    // The open dialog shows "EUC" again, and opens with it: two bytes that detection would
    // take for Shift_JIS read as one EUC-JP character.
    Put("short.txt", "\xB4\xC1");
    OnNextFileDialog([&](QFileDialog& D) {
        TfrmForDialog* chooser = ChooserOf(&D);
        ASSERT_TRUE(chooser);
        EXPECT_EQ(chooser->EncodingList()->count(), 6);
        EXPECT_EQ(chooser->ChosenEncoding(), deEuc);
        chooser->ShowPreview(Q("short.txt"));
        EXPECT_EQ(chooser->PreviewText(), QStringLiteral("漢"));
        chooser->ShowPreview(QString::fromStdString((Dir / "fifo").string()));  // never read
        D.selectFile(Q("short.txt"));
        static_cast<QDialog&>(D).accept();
    });
    ASSERT_EQ(::mkfifo((Dir / "fifo").c_str(), 0600), 0);
    const std::optional<TFileDialogResult> chosen = w.ChooseFileToOpen(QString());
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->Encoding, deEuc);
    ASSERT_TRUE(w.OpenFile(chosen->FileName, chosen->Encoding));  // in a tab of its own
    EXPECT_EQ(Text(*w.ActiveSheet()), sj("漢"));
    EXPECT_EQ(w.ActiveSheet()->Encoding(), deEuc);
    // UTF-8 with and without a byte-order mark; the dialog starts at the document's own.
    for (const bool bom : {true, false}) {
        OnNextFileDialog([&](QFileDialog& D) {
            TfrmForDialog* chooser = ChooserOf(&D);
            ASSERT_TRUE(chooser);
            chooser->EncodingList()->setCurrentText(bom ? QStringLiteral("UTF-8 (BOM付き)") : QStringLiteral("UTF-8"));
            D.setOption(QFileDialog::DontConfirmOverwrite);
            D.selectFile(Q("u8.txt"));
            static_cast<QDialog&>(D).accept();
        });
        ASSERT_TRUE(w.SaveDocument(sheet, true, QStringLiteral("名前を付けて保存")));
        EXPECT_EQ(Get("u8.txt").substr(0, 3) == "\xEF\xBB\xBF", bom);
        EXPECT_EQ(sheet.Format().Bom, bom);
        EXPECT_EQ(sheet.StatusText().contains(QStringLiteral("UTF-8 BOM")), bom);
        EXPECT_EQ(sheet.FormatText(), bom ? QStringLiteral("UTF-8 BOM LF") : QStringLiteral("UTF8 LF"));
    }
    OnNextFileDialog([&](QFileDialog& D) {
        EXPECT_EQ(ChooserOf(&D)->EncodingList()->currentText(), QStringLiteral("UTF-8"));
        static_cast<QDialog&>(D).reject();
    });
    EXPECT_FALSE(w.SaveDocument(sheet, true, QStringLiteral("名前を付けて保存")));
    SetErrorDisplayHook(nullptr);
}

TEST_F(Sheet, SavingAsksBeforeLosingCharactersAndDefaultsToNothing) {
    std::vector<std::string> questions;
    TAnswer answer = TAnswer::Cancel;
    SetQuestionHook([&](const std::string& M, TQuestion Kind) {
        questions.push_back(M);
        EXPECT_EQ(Kind, TQuestion::OkCancelDefaultCancel);
        return answer;
    });
    TStartOptions options;
    options.SettingsFolder = (Dir / "settings").string();
    TForm1 w(options);
    Put("u.txt", "\xEF\xBB\xBF" "\xC3\xB1\n");
    ASSERT_TRUE(w.OpenFile(Q("u.txt"), deAuto));
    TOrvaneSheetForm& sheet = *w.ActiveSheet();
    OnNextFileDialog([&](QFileDialog& D) {
        ChooserOf(&D)->EncodingList()->setCurrentText(QStringLiteral("SHIFT-JIS"));
        D.setOption(QFileDialog::DontConfirmOverwrite);  // the dialog's own question is not ours
        D.selectFile(Q("u.txt"));
        static_cast<QDialog&>(D).accept();
    });
    EXPECT_FALSE(w.SaveDocument(sheet, true, QString()));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].rfind("1 文字を SHIFT-JIS で書き込めません。", 0), 0u) << questions[0];
    EXPECT_EQ(Get("u.txt"), "\xEF\xBB\xBF" "\xC3\xB1\n");
    EXPECT_EQ(sheet.Encoding(), deUtf8);
    SetQuestionHook(nullptr);
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// Where backups go as the settings name it, and the trash of backup mode 1 on a desktop whose
// data folder does not exist yet (it is made, and the file must land in its trash).
TEST_F(Sheet, BackupFolderAndTrash) {
    const fs::path data = Dir / "data", desktop = Dir / "Desktop";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", Dir.c_str(), 1);  // the desktop is $HOME/Desktop without user-dirs.dirs
    ::setenv("XDG_CONFIG_HOME", (Dir / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    struct TCase {
        const char* BackupPath;
        std::string Folder;
    } cases[] = {{"", ""}, {"DESKTOP", desktop.string()}, {"bak", (Dir / "docs" / "bak").string()},
                 {"/elsewhere", "/elsewhere"}};
    for (const TCase& c : cases) {
        fs::create_directories(Dir / "settings");
        std::ofstream(Dir / "settings" / "orvane.ini") << "[Orvane]\nBackup=1\nBackupBackupMode=1\nBackupPath="
                                                       << c.BackupPath << "\n";
        TStartOptions options;
        options.SettingsFolder = (Dir / "settings").string();
        TForm1 w(options);
        const TBackupOptions o = w.BackupOptions(Q("docs/a.txt"));
        EXPECT_TRUE(o.Backup);
        EXPECT_EQ(o.Mode, bbTrash);
        EXPECT_EQ(o.Folder, c.Folder) << c.BackupPath;
        if (c.Folder == desktop.string()) {
            EXPECT_TRUE(fs::is_directory(desktop));
        }

        Put("old.~txt", "old backup");
        std::string error;
        ASSERT_TRUE(o.MoveToTrash((Dir / "old.~txt").string(), error)) << error;
        EXPECT_FALSE(fs::exists(Dir / "old.~txt"));
        EXPECT_TRUE(fs::exists(data / "Trash" / "files"));
        fs::remove_all(data);
    }
    ::setenv("HOME", home.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DATA_HOME");
}

// A backup that cannot be made asks before saving without one; No (the default) saves nothing.
TEST_F(Sheet, ABackupThatCannotBeMadeAsksFirst) {
    fs::create_directories(Dir / "settings");
    Put("plain", "");
    std::ofstream(Dir / "settings" / "orvane.ini") << "[Orvane]\nBackup=1\nBackupPath=" << (Dir / "plain").string()
                                                   << "\n";
    std::vector<std::string> questions;
    TAnswer answer = TAnswer::No;
    SetQuestionHook([&](const std::string& M, TQuestion Kind) {
        questions.push_back(M);
        EXPECT_EQ(Kind, TQuestion::YesNoDefaultNo);
        return answer;
    });
    TStartOptions options;
    options.SettingsFolder = (Dir / "settings").string();
    TForm1 w(options);
    Put("a.txt", "old\r\n");
    ASSERT_TRUE(w.OpenFile(Q("a.txt"), deAuto));
    TOrvaneSheetForm& sheet = *w.ActiveSheet();
    sheet.Editor()->Document().SetText("new\r\n");
    EXPECT_FALSE(w.SaveDocument(sheet, false, QString()));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].rfind("バックアップを作成できません。バックアップせずに保存しますか？", 0), 0u) << questions[0];
    EXPECT_EQ(Get("a.txt"), "old\r\n");
    answer = TAnswer::Yes;
    EXPECT_TRUE(w.SaveDocument(sheet, false, QString()));
    EXPECT_EQ(Get("a.txt"), "new\r\n");
    SetQuestionHook(nullptr);
}

}  // namespace
}  // namespace orvane
