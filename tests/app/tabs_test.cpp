// Documents as tabs, offscreen: captions, the order of activation, recent files, saving all,
// closing with unsaved text, one tab per file, files changed by other programs, the tab menu,
// drops, and the recovery snapshots of a run.
#include "app/mainwindow.h"
#include "app/recovery.h"
#include "app/tabsheet.h"
#include "app/application.h"

#include "files/filewrite.h"
#include "files/inifile.h"
#include "platform/errordisplay.h"
#include "platform/fileaccess.h"
#include "platform/questions.h"
#include "support/dialogs.h"
#include "support/sj.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QStatusBar>
#include <QMenu>
#include <QMimeData>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orvane {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& File) {
    std::ifstream in(File, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Tabs : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("orvane-tabs-" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::create_directories(Dir / "settings");
        Options.SettingsFolder = (Dir / "settings").string();
        SetErrorDisplayHook([this](const std::string& M) { Errors.push_back(M); });
        SetQuestionHook([this](const std::string& M, TQuestion) {
            Questions.push_back(M);
            if (Answers.empty()) return TAnswer::Cancel;
            const TAnswer a = Answers.front();
            Answers.erase(Answers.begin());
            return a;
        });
    }
    void TearDown() override {
        Window.reset();
        SetErrorDisplayHook(nullptr);
        SetQuestionHook(nullptr);
        SetUserCanWriteHook(nullptr);
        fs::remove_all(Dir);
    }
    TForm1& Start() {
        Window = std::make_unique<TForm1>(Options);
        Window->show();
        QApplication::setActiveWindow(Window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(Window.get()));
        return *Window;
    }
    fs::path File(const std::string& Name, const std::string& Text = "text\n") {
        const fs::path p = Dir / Name;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << Text;
        return p;
    }
    // A command as the menu runs it (enabled by the rules first).
    void Run(const char* Name) {
        Window->UpdateCommands();
        Window->Action(Name)->trigger();
    }
    QString Q(const fs::path& P) { return QString::fromStdString(P.string()); }
    std::vector<QString> Captions() {
        std::vector<QString> c;
        for (int i = 0; i < Window->DocumentArea()->TabBar()->count(); ++i) c.push_back(Window->TabCaptionText(i));
        return c;
    }
    int ActiveIndex() { return Window->IndexOf(Window->ActiveTab()); }
    // The file dialog that the next save opens is cancelled, as a user would.
    void CancelNextDialog() {
        auto* timer = new QTimer(Window.get());
        QObject::connect(timer, &QTimer::timeout, timer, [timer] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialog->reject();
                timer->deleteLater();
            }
        });
        timer->start(10);
    }

    fs::path Dir;
    TStartOptions Options;
    std::unique_ptr<TForm1> Window;
    std::vector<std::string> Errors, Questions;
    std::vector<TAnswer> Answers;
};

TEST_F(Tabs, CaptionsFollowTheOptionsAndShowAnAmpersandAsItself) {
    TForm1& w = Start();
    ASSERT_EQ(w.Sheets().size(), 1u);
    EXPECT_EQ(Captions(), std::vector<QString>{QStringLiteral("無題")});
    w.CloseDocument(w.ActiveTab());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Orvane"));
    EXPECT_EQ(w.ActiveEditor(), nullptr);

    ASSERT_TRUE(w.OpenFile(Q(File("R&D notes.txt")), deAuto));
    EXPECT_EQ(w.DocumentArea()->TabBar()->tabText(0), QStringLiteral("R&&D notes"));  // no mnemonic
    EXPECT_EQ(Captions()[0], QStringLiteral("R&D notes"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("R&D notes.txt - Orvane"));

    // A change puts "* " in front; the save takes it away.
    QTest::keyClicks(w.ActiveEditor(), "x");
    EXPECT_EQ(Captions()[0], QStringLiteral("* R&D notes"));
    Run("actSave");
    EXPECT_EQ(Captions()[0], QStringLiteral("R&D notes"));
    EXPECT_EQ(ReadAll(Dir / "R&D notes.txt"), "xtext\n");
}

TEST_F(Tabs, ClosingActivatesTheTabAtItsPlaceAndSwitchingWraps) {
    TForm1& w = Start();
    w.CloseDocument(w.ActiveTab());
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) ASSERT_TRUE(w.OpenFile(Q(File(name)), deAuto));
    EXPECT_EQ(ActiveIndex(), 3);
    Run("actNext");
    EXPECT_EQ(ActiveIndex(), 0);  // after the last comes the first
    Run("actPrev");
    EXPECT_EQ(ActiveIndex(), 3);

    w.ActivateDocument(w.Sheets()[1].get());
    w.CloseDocument(w.ActiveTab());  // the second of four: the former third takes its place
    EXPECT_EQ(Captions(), (std::vector<QString>{"a", "c", "d"}));
    EXPECT_EQ(Captions()[std::size_t(ActiveIndex())], QStringLiteral("c"));
    w.ActivateDocument(w.Sheets()[2].get());
    w.CloseDocument(w.ActiveTab());  // the last: the new last
    EXPECT_EQ(Captions()[std::size_t(ActiveIndex())], QStringLiteral("c"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("c.txt - Orvane"));

    // Opening a file that is open activates its tab without reading it again.
    QTest::keyClicks(w.ActiveEditor(), "typed ");
    w.ActivateDocument(w.Sheets()[0].get());
    ASSERT_TRUE(w.OpenFile(Q(Dir / "c.txt"), deAuto));
    EXPECT_EQ(w.Sheets().size(), 2u);
    EXPECT_EQ(ActiveIndex(), 1);
    EXPECT_EQ(w.ActiveEditor()->Document().GetText(), "typed text\r\n");
}

TEST_F(Tabs, OneFileReachedByTwoPathsIsOneTabAndLetterCaseMakesTwoFiles) {
    TForm1& w = Start();
    const fs::path real = File("Readme.txt", "one\n");
    File("README.txt", "two\r\n");
    fs::create_directories(Dir / "links");
    fs::create_symlink(real, Dir / "links" / "readme-link.txt");
    ASSERT_TRUE(w.OpenFile(Q(real), deAuto));
    ASSERT_TRUE(w.OpenFile(Q(Dir / "links" / "readme-link.txt"), deAuto));
    ASSERT_TRUE(w.OpenFile(Q(Dir / "links" / ".." / "Readme.txt"), deAuto));
    EXPECT_EQ(w.Sheets().size(), 2u);  // the first untitled one and Readme.txt
    ASSERT_TRUE(w.OpenFile(Q(Dir / "README.txt"), deAuto));
    EXPECT_EQ(w.Sheets().size(), 3u);
    EXPECT_EQ(w.ActiveEditor()->Document().GetText(), "two\r\n");
}

TEST_F(Tabs, AFileThatCannotBeReadLeavesAnUntitledTabAndNoRecentEntry) {
    TForm1& w = Start();
    fs::create_directories(Dir / "folder.txt");
    EXPECT_FALSE(w.OpenFile(Q(Dir / "folder.txt"), deAuto));
    EXPECT_EQ(Errors.size(), 1u);
    ASSERT_EQ(w.Sheets().size(), 2u);
    EXPECT_TRUE(w.ActiveSheet()->Untitled());  // a save asks for a name
    EXPECT_TRUE(w.History().Items().empty());
    EXPECT_FALSE(w.OpenFile(Q(Dir / "missing.txt"), deAuto));
    EXPECT_EQ(w.Sheets().size(), 2u);
}

TEST_F(Tabs, RecentFilesKeepTheirLimitAndTheMenuItsLength) {
    TForm1& w = Start();
    for (int i = 0; i < 33; ++i) ASSERT_TRUE(w.OpenFile(Q(File("r/" + std::to_string(i) + ".txt")), deAuto));
    ASSERT_EQ(w.History().Items().size(), 32u);
    EXPECT_EQ(w.History().Items().front(), (Dir / "r" / "32.txt").string());
    EXPECT_EQ(w.History().Items().back(), (Dir / "r" / "1.txt").string());
    ASSERT_EQ(w.HistoryMenu()->actions().size(), 8);  // HistoryNum
    EXPECT_EQ(w.HistoryMenu()->actions()[0]->statusTip(), Q(Dir / "r" / "32.txt"));

    // Written at exit, read at the next start.
    Answers = {TAnswer::No};
    ASSERT_TRUE(w.close());
    Start();
    EXPECT_EQ(Window->History().Items().size(), 32u);
    EXPECT_EQ(Window->History().Items().front(), (Dir / "r" / "32.txt").string());
    // Choosing an entry opens its file (it is open already: its tab comes to the front).
    Window->ActivateDocument(Window->Sheets()[0].get());
    Window->HistoryMenu()->actions()[3]->trigger();
    EXPECT_EQ(Window->ActiveFileName(), Q(Dir / "r" / "29.txt"));
}

TEST_F(Tabs, SaveAllSavesModifiedDocumentsAndGoesOnPastOneThatFails) {
    if (!fs::is_regular_file("/proc/version")) GTEST_SKIP() << "no file that cannot be written";
    TForm1& w = Start();
    w.CloseDocument(w.ActiveTab());
    const fs::path a = File("a.txt", "a\n"), b = File("b.txt", "b\n"), c = File("c.txt", "c\n");
    ASSERT_TRUE(w.OpenFile(Q(a), deAuto));
    QTest::keyClicks(w.ActiveEditor(), "1");
    // A file nobody may write, not even root.
    ASSERT_TRUE(w.OpenFile(QStringLiteral("/proc/version"), deAuto));
    w.ActiveEditor()->SetReadOnly(false);
    QTest::keyClicks(w.ActiveEditor(), "2");
    ASSERT_TRUE(w.OpenFile(Q(b), deAuto));  // unmodified: never rewritten
    const auto before = fs::last_write_time(b);
    w.NewDocument(QString(), false, deAuto);  // untitled and modified: its dialog is cancelled
    QTest::keyClicks(w.ActiveEditor(), "3");
    ASSERT_TRUE(w.OpenFile(Q(c), deAuto));
    QTest::keyClicks(w.ActiveEditor(), "4");

    CancelNextDialog();
    Answers = {TAnswer::Yes};  // its backup cannot be made either: save without one, and fail
    EXPECT_EQ(w.SaveAll(), 2);
    EXPECT_EQ(ReadAll(a), "1a\n");
    EXPECT_EQ(ReadAll(c), "4c\n");
    EXPECT_EQ(fs::last_write_time(b), before);
    EXPECT_EQ(Errors.size(), 1u);  // the failed one says why
    EXPECT_TRUE(w.Sheets()[1]->Form()->Modified());
    EXPECT_TRUE(w.Sheets()[3]->Form()->Modified());
    EXPECT_FALSE(w.Sheets()[0]->Form()->Modified());
}

TEST_F(Tabs, CloseWithUnsavedChangesYesNoCancel) {
    TForm1& w = Start();
    w.CloseDocument(w.ActiveTab());
    const fs::path a = File("a.txt", "a\n"), b = File("b.txt", "b\n");
    ASSERT_TRUE(w.OpenFile(Q(a), deAuto));
    QTest::keyClicks(w.ActiveEditor(), "x");
    ASSERT_TRUE(w.OpenFile(Q(b), deAuto));
    QTest::keyClicks(w.ActiveEditor(), "y");

    Answers = {TAnswer::Cancel};
    EXPECT_FALSE(w.CloseDocument(w.ActiveTab()));
    EXPECT_EQ(w.Sheets().size(), 2u);
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0], b.string() + " の内容が変更されています。\r変更を保存しますか？");

    Answers = {TAnswer::No};
    EXPECT_TRUE(w.CloseDocument(w.ActiveTab()));
    EXPECT_EQ(ReadAll(b), "b\n");

    Answers = {TAnswer::Yes};
    EXPECT_TRUE(w.CloseDocument(w.ActiveTab()));
    EXPECT_EQ(ReadAll(a), "xa\n");
    EXPECT_TRUE(w.Sheets().empty());

    // Yes for a new document whose save dialog is cancelled: it stays open.
    w.NewDocument(QString(), false, deAuto);
    QTest::keyClicks(w.ActiveEditor(), "new");
    Answers = {TAnswer::Yes};
    CancelNextDialog();
    EXPECT_FALSE(w.CloseDocument(w.ActiveTab()));
    EXPECT_EQ(w.Sheets().size(), 1u);
}

TEST_F(Tabs, SaveAsOntoAFileOpenInAnotherTabClosesThatTabFirst) {
    TForm1& w = Start();
    w.CloseDocument(w.ActiveTab());
    const fs::path a = File("a.txt", "a\n"), b = File("b.txt", "b\n");
    ASSERT_TRUE(w.OpenFile(Q(a), deAuto));
    ASSERT_TRUE(w.OpenFile(Q(b), deAuto));
    QTest::keyClicks(w.ActiveEditor(), "y");
    auto saveAsA = [&] {
        OnNextDialog<QFileDialog>([&](QFileDialog& D) {
            D.setOption(QFileDialog::DontConfirmOverwrite);  // the dialog's own question is not ours
            D.selectFile(Q(a));
            static_cast<QDialog&>(D).accept();
        });
        return w.SaveDocument(*w.ActiveSheet(), true, QStringLiteral("名前を付けて保存"));
    };

    // Cancelled: nothing is written, both tabs stay.
    Answers = {TAnswer::Cancel};
    EXPECT_FALSE(saveAsA());
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0], a.string() + " はほかのタブで開いています。\rそのタブを閉じて上書きしますか？");
    EXPECT_EQ(ReadAll(a), "a\n");
    EXPECT_EQ(w.Sheets().size(), 2u);

    // Yes, but the other tab's own unsaved changes are kept when asked: still nothing written.
    w.ActivateDocument(w.Sheets()[0].get());
    QTest::keyClicks(w.ActiveEditor(), "x");
    w.ActivateDocument(w.Sheets()[1].get());
    Questions.clear();
    Answers = {TAnswer::Ok, TAnswer::Cancel};
    EXPECT_FALSE(saveAsA());
    ASSERT_EQ(Questions.size(), 2u);
    EXPECT_EQ(Questions[1], a.string() + " の内容が変更されています。\r変更を保存しますか？");
    EXPECT_EQ(ReadAll(a), "a\n");
    EXPECT_EQ(w.Sheets().size(), 2u);

    // Yes, and the other tab's changes dropped: one tab on the file, holding the saved text.
    Answers = {TAnswer::Ok, TAnswer::No};
    EXPECT_TRUE(saveAsA());
    EXPECT_EQ(ReadAll(a), "yb\n");
    ASSERT_EQ(w.Sheets().size(), 1u);
    EXPECT_EQ(w.ActiveFileName(), Q(a));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(Tabs, OpenFilesAndRecentFilesAreWrittenAsTheyChangeSoACrashKeepsThem) {
    const fs::path a = File("a.txt"), b = File("b.txt");
    const std::string ini = (Dir / "settings" / "orvane.ini").string();
    auto setting = [&](const char* Section, const char* Key) {
        return fs::exists(ini) ? TIniFile(ini).ReadString(Section, Key, "") : std::string();
    };
    TForm1& w = Start();
    w.CloseDocument(w.ActiveTab());
    ASSERT_TRUE(w.OpenFile(Q(a), deAuto));
    ASSERT_TRUE(w.OpenFile(Q(b), deAuto));
    EXPECT_TRUE(QTest::qWaitFor([&] { return setting("EditingFiles", "Count") == "2"; }));
    EXPECT_EQ(setting("EditingFiles", "00"), a.string());
    EXPECT_EQ(setting("EditingFiles", "01"), b.string());
    EXPECT_EQ(setting("History", "H0"), b.string());
    EXPECT_EQ(setting("History", "H1"), a.string());
    w.CloseDocument(w.ActiveTab());
    EXPECT_TRUE(QTest::qWaitFor([&] { return setting("EditingFiles", "Count") == "1"; }));

    // The window goes without its close, as in a crash: the next start finds the file.
    Window.reset();
    Start();
    EXPECT_EQ(Window->ActiveFileName(), Q(a));
    ASSERT_EQ(Window->Sheets().size(), 1u);
}

TEST_F(Tabs, AFileTheUserCannotWriteIsMarkedAndSavedUnderAnotherName) {
    const fs::path locked = File("locked.txt", "old\n"), copy = Dir / "copy.txt";
    SetUserCanWriteHook([&](const std::string& P) { return P != locked.string(); });
    TForm1& w = Start();
    w.CloseDocument(w.ActiveTab());
    ASSERT_TRUE(w.OpenFile(Q(locked), deAuto));
    EXPECT_TRUE(w.PanelVisible(TForm1::kReadOnlyPanel));
    EXPECT_EQ(w.PanelText(TForm1::kReadOnlyPanel), QStringLiteral("読み取り専用"));
    EXPECT_EQ(w.DocumentArea()->TabBar()->tabIcon(0).cacheKey(), ReadOnlyIcon().cacheKey());
    QTest::keyClicks(w.ActiveEditor(), "new ");

    // Ctrl+S offers Save As; declined, nothing is written and the text stays modified.
    Run("actSave");
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0], locked.string() + " には書き込めません (読み取り専用のファイルです)。\r名前を付けて保存しますか？");
    EXPECT_EQ(ReadAll(locked), "old\n");
    EXPECT_TRUE(w.ActiveSheet()->Modified());

    Answers = {TAnswer::Ok};
    OnNextDialog<QFileDialog>([&](QFileDialog& D) {
        D.selectFile(Q(copy));
        static_cast<QDialog&>(D).accept();
    });
    Run("actSave");
    EXPECT_EQ(ReadAll(copy), "new old\n");
    EXPECT_EQ(ReadAll(locked), "old\n");
    EXPECT_EQ(w.ActiveFileName(), Q(copy));
    EXPECT_FALSE(w.PanelVisible(TForm1::kReadOnlyPanel));
    EXPECT_NE(w.DocumentArea()->TabBar()->tabIcon(0).cacheKey(), ReadOnlyIcon().cacheKey());
    EXPECT_TRUE(Errors.empty());
}

TEST_F(Tabs, AFileOpenAlreadyIsReadAgainInTheEncodingAskedFor) {
    using test::sj;
    const fs::path file = File("kanji.txt", "\xB4\xC1\r\n");  // detected as Shift_JIS, 漢 in EUC-JP
    TForm1& w = Start();
    w.CloseDocument(w.ActiveTab());
    ASSERT_TRUE(w.OpenFile(Q(file), deAuto));
    EXPECT_EQ(w.ActiveSheet()->Encoding(), deShiftJis);
    EXPECT_EQ(w.PanelText(TForm1::kEncodingPanel), QStringLiteral("S-JIS CRLF"));

    // The open dialog's encoding for the file that is open.
    ASSERT_TRUE(w.OpenFile(Q(file), deEuc));
    EXPECT_EQ(w.Sheets().size(), 1u);
    EXPECT_EQ(w.ActiveSheet()->Encoding(), deEuc);
    EXPECT_EQ(w.ActiveEditor()->Document().GetText(), sj("漢\r\n"));
    EXPECT_EQ(w.PanelText(TForm1::kEncodingPanel), QStringLiteral("EUC CRLF"));

    // The menu's, with unsaved changes: asked first, and Cancel keeps them.
    QTest::keyClicks(w.ActiveEditor(), "x");
    QAction* sjis = w.ReopenMenu()->actions()[1];
    ASSERT_EQ(sjis->text(), QStringLiteral("SHIFT-JIS"));
    w.UpdateCommands();
    EXPECT_TRUE(w.ReopenMenu()->menuAction()->isEnabled());
    sjis->trigger();
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0], file.string() + " の内容が変更されています。\r変更を捨てて、文字コード「SHIFT-JIS」で読み込み直しますか？");
    EXPECT_EQ(w.ActiveSheet()->Encoding(), deEuc);
    EXPECT_EQ(w.ActiveEditor()->Document().GetText(), sj("x漢\r\n"));
    Answers = {TAnswer::Ok};
    sjis->trigger();
    EXPECT_EQ(w.ActiveSheet()->Encoding(), deShiftJis);
    EXPECT_EQ(w.ActiveEditor()->Document().GetText(), "\xB4\xC1\r\n");
    EXPECT_FALSE(w.ActiveSheet()->Modified());

    // A click on the status bar's encoding shows the same menu, the file's encoding checked.
    QLabel* panel = nullptr;
    for (QLabel* label : w.statusBar()->findChildren<QLabel*>())
        if (label->text() == w.PanelText(TForm1::kEncodingPanel)) panel = label;
    ASSERT_TRUE(panel);
    QTest::mouseClick(panel, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == w.ReopenMenu(); }));
    EXPECT_TRUE(sjis->isChecked());
    w.ReopenMenu()->close();

    // A new document has no file to read again.
    w.NewDocument(QString(), false, deAuto);
    w.UpdateCommands();
    EXPECT_FALSE(w.ReopenMenu()->menuAction()->isEnabled());
    EXPECT_TRUE(Errors.empty());
}

TEST_F(Tabs, TabsCloseByTheirButtonOrAMiddleClickAndMoveWithTheListAndTheirKeys) {
    const fs::path a = File("a.txt"), b = File("b.txt"), c = File("c.txt"), d = File("d.txt");
    TForm1& w = Start();
    w.CloseDocument(w.ActiveTab());
    for (const fs::path& f : {a, b, c, d}) ASSERT_TRUE(w.OpenFile(Q(f), deAuto));
    QTabBar* bar = w.DocumentArea()->TabBar();
    auto names = [&] {
        std::vector<std::string> n;
        for (const auto& t : w.Sheets()) n.push_back(fs::path(t->Form()->FileName().toStdString()).filename().string());
        return n;
    };

    // Dragged from the first place to the third: the list, the tab menu and the settings follow.
    bar->moveTab(0, 2);
    EXPECT_EQ(names(), (std::vector<std::string>{"b.txt", "c.txt", "a.txt", "d.txt"}));
    EXPECT_EQ(w.Sheets()[2]->MenuEntry->text(), QStringLiteral("&2 a.txt"));
    const std::string ini = (Dir / "settings" / "orvane.ini").string();
    EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(ini) && TIniFile(ini).ReadString("EditingFiles", "02", "") == a.string(); }));

    // Next and previous tab by their keys, wrapping around.
    w.ActivateDocument(w.Sheets()[3].get());
    QTest::keyClick(w.ActiveEditor(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(ActiveIndex(), 0);
    QTest::keyClick(w.ActiveEditor(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ActiveIndex(), 3);
    QTest::keyClick(w.ActiveEditor(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(ActiveIndex(), 2);
    QTest::keyClick(w.ActiveEditor(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(ActiveIndex(), 3);
    // A key a command has stays the command's.
    std::vector<TShortCut> shortcuts = w.ShortCuts();
    shortcuts[std::size_t(FindCommand("actSelectAll"))] = TextToShortCut("Ctrl+PgUp");
    w.SetShortCuts(shortcuts);
    w.UpdateCommands();
    QTest::keyClick(w.ActiveEditor(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(ActiveIndex(), 3);
    EXPECT_TRUE(w.ActiveEditor()->Selected());

    // The close button, and a middle click, close their own tab (not the active one).
    QWidget* close = bar->tabButton(0, QTabBar::RightSide);
    ASSERT_TRUE(close);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_EQ(names(), (std::vector<std::string>{"c.txt", "a.txt", "d.txt"}));
    QTest::mouseClick(bar, Qt::MiddleButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(names(), (std::vector<std::string>{"c.txt", "d.txt"}));
    EXPECT_EQ(w.ActiveFileName(), Q(d));
}

TEST_F(Tabs, FilesChangedByAnotherProgram) {
    TForm1& w = Start();
    w.CloseDocument(w.ActiveTab());
    const fs::path clean = File("clean.txt", "old\n"), edited = File("edited.txt", "old\n"), gone = File("gone.txt", "g\n");
    ASSERT_TRUE(w.OpenFile(Q(clean), deAuto));
    ASSERT_TRUE(w.OpenFile(Q(edited), deAuto));
    QTest::keyClicks(w.ActiveEditor(), "mine ");
    ASSERT_TRUE(w.OpenFile(Q(gone), deAuto));
    w.CheckExternalChanges();
    EXPECT_TRUE(Questions.empty());  // nothing changed

    // Written anew (a rename over the file, as editors and tools do) and deleted.
    WriteFileAtomically(clean.string(), "new from elsewhere\n");
    WriteFileAtomically(edited.string(), "new from elsewhere\n");
    fs::remove(gone);
    Answers = {TAnswer::Ok, TAnswer::Cancel, TAnswer::Ok};
    w.CheckExternalChanges();
    ASSERT_EQ(Questions.size(), 3u);
    EXPECT_NE(Questions[0].find("読み込み直しますか"), std::string::npos);
    EXPECT_NE(Questions[1].find("編集中の内容を捨てて"), std::string::npos);
    EXPECT_NE(Questions[2].find("削除されました"), std::string::npos);
    EXPECT_EQ(w.Sheets()[0]->Editor()->Document().GetText(), "new from elsewhere\r\n");  // reloaded
    EXPECT_FALSE(w.Sheets()[0]->Form()->Modified());
    EXPECT_EQ(w.Sheets()[1]->Editor()->Document().GetText(), "mine old\r\n");  // kept
    EXPECT_EQ(w.Sheets()[1]->ExternalChange, TFileChange::Changed);
    EXPECT_TRUE(w.Sheets()[2]->Form()->Modified());  // closing it asks: the text is all there is
    EXPECT_EQ(w.Sheets()[2]->ExternalChange, TFileChange::Deleted);

    // Asked once per change.
    Questions.clear();
    w.CheckExternalChanges();
    EXPECT_TRUE(Questions.empty());
}

TEST_F(Tabs, TabMenuActsOnItsTabAndDocumentEntriesFollowTheirTab) {
    TForm1& w = Start();
    ASSERT_TRUE(w.OpenFile(Q(File("a.txt")), deAuto));
    ASSERT_TRUE(w.OpenFile(Q(File("b.txt")), deAuto));
    TOrvaneTabSheet* first = w.Sheets()[1].get();
    // The menu asked for on a tab that is not the active one.
    w.PrepareTabMenu(first);
    QAction* readOnly = nullptr;
    for (QAction* a : w.TabMenu()->actions())
        if (a->text() == QStringLiteral("書き込み禁止(&O)")) readOnly = a;
    ASSERT_NE(readOnly, nullptr);
    EXPECT_FALSE(readOnly->isChecked());
    readOnly->trigger();
    EXPECT_TRUE(first->Editor()->ReadOnly());
    EXPECT_FALSE(w.ActiveEditor()->ReadOnly());

    // Two untitled documents: each entry activates its own.
    w.NewDocument(QString(), false, deAuto);
    TOrvaneTabSheet* untitled = w.ActiveTab();
    w.NewDocument(QString(), false, deAuto);
    untitled->MenuEntry->trigger();
    EXPECT_EQ(w.ActiveTab(), untitled);
    EXPECT_EQ(untitled->MenuEntry->text(), QStringLiteral("&3 無題"));

    // Without a tab the tab's own entries are off.
    w.PrepareTabMenu(nullptr);
    for (QAction* a : w.TabMenu()->actions())
        if (a->text() == QStringLiteral("閉じる(&C)")) {
            EXPECT_FALSE(a->isEnabled());
        }
}

TEST_F(Tabs, DroppedFilesOpenInOrderAndACloneIsUntitled) {
    TForm1& w = Start();
    w.CloseDocument(w.ActiveTab());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Q(File("x.txt"))), QUrl::fromLocalFile(Q(File("y.txt"))),
                  QUrl::fromLocalFile(Q(File("z.txt", "zz\r\n")))});
    // Dropped on the editor, as a user does: the window takes them.
    QWidget* target = w.DocumentArea();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.Sheets().size() == 3; }));
    EXPECT_EQ(Captions(), (std::vector<QString>{"x", "y", "z"}));

    Run("actClone");
    ASSERT_EQ(w.Sheets().size(), 4u);
    EXPECT_TRUE(w.ActiveSheet()->Untitled());
    EXPECT_EQ(w.ActiveSheet()->FileName(), Q(Dir / "z のコピー.txt"));
    EXPECT_EQ(w.ActiveEditor()->Document().GetText(), "zz\r\n");
    EXPECT_FALSE(fs::exists(Dir / "z のコピー.txt"));  // nothing is written
}

TEST_F(Tabs, DoubleClickSelectsAWholeAddressElseAWord) {
    TForm1& w = Start();
    TOrvaneEditor& e = *w.ActiveEditor();
    // Addresses are tokens only where the document's style has them recognised.
    e.View().SetUrl(true);
    e.View().SetMail(true);
    e.Document().SetText("see http://example.jp/a?b=c now and mail@example.jp\r\n");
    QApplication::processEvents();
    auto at = [&](int Col) { return QPoint(e.TextLeft() + Col * e.CharWidth() + e.CharWidth() / 2, e.TextTop() + e.RowHeight() / 2); };
    struct {
        int Col;
        std::string Selected;
    } cases[] = {{8, "http://example.jp/a?b=c"}, {1, "see"}, {45, "mail@example.jp"}};
    for (const auto& c : cases) {
        QTest::mouseDClick(e.viewport(), Qt::LeftButton, Qt::NoModifier, at(c.Col));
        QTest::qWait(0);
        QApplication::processEvents();
        EXPECT_EQ(e.SelText(), c.Selected) << c.Col;
    }
}

TEST_F(Tabs, DeleteAndExitMovesTheFileToTheTrashAndClosesItsTab) {
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString((Dir / "share").string()));
    TForm1& w = Start();
    const fs::path doomed = File("doomed.txt");
    ASSERT_TRUE(w.OpenFile(Q(doomed), deAuto));
    Answers = {TAnswer::Cancel};
    Run("actDeleteAndExit");
    EXPECT_TRUE(fs::exists(doomed));
    EXPECT_EQ(w.Sheets().size(), 2u);
    Answers = {TAnswer::Ok};
    Run("actDeleteAndExit");
    EXPECT_FALSE(fs::exists(doomed));
    EXPECT_TRUE(fs::exists(Dir / "share" / "Trash" / "files" / "doomed.txt"));
    EXPECT_EQ(w.Sheets().size(), 1u);
    EXPECT_TRUE(Errors.empty());
    if (oldData.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", oldData);
}

TEST_F(Tabs, SnapshotsOfUnsavedTextLiveUntilSavedOrClosed) {
    Options.RecoveryFolder = (Dir / "recovery").string();
    fs::create_directories(Options.RecoveryFolder);
    auto snapshots = [&] {
        int n = 0;
        for (const auto& run : fs::recursive_directory_iterator(Options.RecoveryFolder))
            n += run.path().extension() == ".snapshot";
        return n;
    };
    TForm1& w = Start();
    const fs::path a = File("a.txt", "a\n");
    ASSERT_TRUE(w.OpenFile(Q(a), deAuto));
    QTest::keyClicks(w.ActiveEditor(), "typed");
    w.WriteSnapshotsNow();
    EXPECT_EQ(snapshots(), 1);
    Run("actSave");
    w.WriteSnapshotsNow();
    EXPECT_EQ(snapshots(), 0);
    QTest::keyClicks(w.ActiveEditor(), "again");
    w.WriteSnapshotsNow();
    EXPECT_EQ(snapshots(), 1);

    // A run that ends without closing (as if killed) leaves them for the next start to offer.
    Window.reset();
    Answers = {TAnswer::Yes};
    Options.CommandLine.Files = {{(Dir / "b.txt").string(), 0}};
    File("b.txt");
    Start();
    ASSERT_FALSE(Questions.empty());
    EXPECT_NE(Questions.back().find("復元しますか"), std::string::npos);
    TOrvaneTabSheet* restored = Window->FindSheetByName(Q(a));
    ASSERT_NE(restored, nullptr);
    EXPECT_TRUE(restored->Form()->Modified());
    EXPECT_EQ(restored->Editor()->Document().GetText(), "typedagaina\r\n");
    EXPECT_EQ(ReadAll(a), "typeda\n");  // the file waits for the user's save
    Answers = {TAnswer::No, TAnswer::No};
    ASSERT_TRUE(Window->close());
    EXPECT_EQ(snapshots(), 0);
    EXPECT_TRUE(fs::is_empty(Options.RecoveryFolder));
}

}  // namespace
}  // namespace orvane
