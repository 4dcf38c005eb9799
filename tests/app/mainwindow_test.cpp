// The main window offscreen: enabling rules against the editor, shortcuts that fire once, the
// status bar, the shutdown order and the settings it leaves, and the start from them.
#include "app/mainwindow.h"

#include "platform/errordisplay.h"
#include "platform/questions.h"
#include "widgets/editor.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QTimer>
#include <QMenu>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orvane {
namespace {

namespace fs = std::filesystem;

QStringList gWarnings;
void CollectWarnings(QtMsgType Type, const QMessageLogContext&, const QString& Message) {
    if (Type != QtDebugMsg && Type != QtInfoMsg) gWarnings << Message;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("orvane-mainwindow-" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::create_directories(Dir);
        Options.SettingsFolder = (Dir / "settings").string();
        SetErrorDisplayHook([this](const std::string& M) { Errors.push_back(M); });
        SetQuestionHook([this](const std::string& M, TQuestion) {
            Questions.push_back(M);
            return Answer;
        });
        gWarnings.clear();
        qInstallMessageHandler(CollectWarnings);
    }
    void TearDown() override {
        Window.reset();
        qInstallMessageHandler(nullptr);
        SetErrorDisplayHook(nullptr);
        SetQuestionHook(nullptr);
        fs::remove_all(Dir);
    }
    TForm1& Start() {
        Window = std::make_unique<TForm1>(Options);
        Window->show();
        QApplication::setActiveWindow(Window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(Window.get()));
        Window->UpdateCommands();
        return *Window;
    }
    TEditor& Editor() { return *Window->ActiveEditor(); }
    bool Enabled(const char* Name) { return Window->Action(Name)->isEnabled(); }
    std::string Setting(const char* Section, const char* Key) {
        return TIniFile((fs::path(Options.SettingsFolder) / "orvane.ini").string()).ReadString(Section, Key, "<none>");
    }

    fs::path Dir;
    TStartOptions Options;
    std::unique_ptr<TForm1> Window;
    std::vector<std::string> Errors, Questions;
    TAnswer Answer = TAnswer::No;
};

TEST_F(MainWindow, CommandsFollowTheEditor) {
    TForm1& w = Start();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("無題 - Orvane"));
    EXPECT_FALSE(Enabled("actUndo"));
    EXPECT_FALSE(Enabled("actSelectAll"));  // no lines yet
    EXPECT_FALSE(Enabled("actCopy"));
    EXPECT_TRUE(Enabled("actSave"));
    EXPECT_FALSE(Enabled("actNewWindow"));
    EXPECT_TRUE(Enabled("actAbout"));
    EXPECT_TRUE(w.Action("actStatusBar")->isChecked());

    QTest::keyClicks(&Editor(), "ab");
    w.UpdateCommands();
    EXPECT_TRUE(Enabled("actUndo"));
    EXPECT_TRUE(Enabled("actSelectAll"));
    EXPECT_EQ(w.PanelText(0), QStringLiteral("1/ 1行: 3桁"));
    EXPECT_EQ(w.PanelText(1), QStringLiteral("変更あり"));
    EXPECT_EQ(w.PanelText(2), QStringLiteral("挿入"));

    w.Action("actSelectAll")->trigger();
    w.UpdateCommands();
    EXPECT_TRUE(Enabled("actCopy"));
    EXPECT_TRUE(Enabled("actCut"));
    EXPECT_EQ(w.PanelText(3), QStringLiteral("選択範囲のサイズ: 2 bytes"));

    // Write-protected: what would change the text is off, copying stays.
    Editor().SetReadOnly(true);
    w.UpdateCommands();
    EXPECT_FALSE(Enabled("actCut"));
    EXPECT_FALSE(Enabled("actUndo"));
    EXPECT_TRUE(Enabled("actCopy"));
    EXPECT_EQ(w.PanelText(2), QStringLiteral("書込禁止"));

    // The rules run by themselves when the event loop is about to wait.
    Editor().SetReadOnly(false);
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(Enabled("actCut"));
}

TEST_F(MainWindow, ShortCutsFireAndADuplicateStaysWithTheFirstCommand) {
    TForm1& w = Start();
    QTest::keyClicks(&Editor(), "one");
    QTest::keyClick(&Editor(), Qt::Key_Return);
    QTest::keyClicks(&Editor(), "two");
    QTest::keyClick(&Editor(), Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Editor().RowMarkSet(1), TRowMarkSet(1u << 3));

    // Ctrl+Z given to the status bar command too: undo keeps it, and Qt sees no ambiguity.
    std::vector<TShortCut> keys = w.ShortCuts();
    keys[std::size_t(FindCommand("actStatusBar"))] = scCtrl | 'Z';
    w.SetShortCuts(keys);
    w.UpdateCommands();
    const std::string before = Editor().Lines().GetTextStr();
    QTest::keyClick(&Editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(Editor().Lines().GetTextStr(), before);
    EXPECT_TRUE(w.statusBar()->isVisible());
    EXPECT_TRUE(gWarnings.filter(QStringLiteral("mbiguous")).isEmpty()) << gWarnings.join('\n').toStdString();
}

TEST_F(MainWindow, ManyStepsUndoBackToTheUnmodifiedText) {
    TForm1& w = Start();
    EXPECT_GE(Editor().UndoListMax(), 10000);
    // A hundred steps: each character typed after moving the caret back and forth.
    for (int i = 0; i < 100; ++i) {
        QTest::keyClick(&Editor(), Qt::Key_X);
        QTest::keyClick(&Editor(), Qt::Key_Left);
        QTest::keyClick(&Editor(), Qt::Key_Right);
    }
    w.UpdateCommands();
    EXPECT_EQ(w.PanelText(1), QStringLiteral("変更あり"));
    for (int i = 0; i < 100; ++i) QTest::keyClick(&Editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Editor().Document().GetText(), "");
    EXPECT_FALSE(Editor().CanUndo());
    EXPECT_FALSE(w.ActiveSheet()->Modified());
    w.UpdateCommands();
    EXPECT_EQ(w.PanelText(1), QString());
}

TEST_F(MainWindow, StatusBarPanels) {
    TForm1& w = Start();
    QStatusTipEvent tip(QStringLiteral("ヒントの文"));
    QApplication::sendEvent(&w, &tip);
    EXPECT_EQ(w.PanelText(3), QStringLiteral("ヒントの文"));
    EXPECT_TRUE(w.PanelVisible(3));
    w.resize(120, 300);  // narrower than the fixed panels
    EXPECT_FALSE(w.PanelVisible(3));
    w.resize(900, 300);
    EXPECT_TRUE(w.PanelVisible(3));
    w.Action("actStatusBar")->trigger();
    EXPECT_FALSE(w.statusBar()->isVisible());
}

TEST_F(MainWindow, StatusFieldsAreAsWideAsTheirText) {
    TForm1& w = Start();
    const int narrow = w.PanelWidth(0);
    // 100,000 lines, the caret in column 1000 of the last: "100000/ 100000行: 1000桁".
    Editor().Document().SetText(std::string(99999, '\n') + std::string(999, 'a'));
    Editor().SetRowCol(Editor().RowCount() - 1, 999);
    EXPECT_EQ(w.PanelText(0), QStringLiteral("100000/ 100000行: 1000桁"));
    const QFontMetrics fm(w.statusBar()->font());
    EXPECT_GT(w.PanelWidth(0), fm.horizontalAdvance(w.PanelText(0)));
    EXPECT_GT(w.PanelWidth(0), narrow);
    // Back to a short text, back to the field's own width.
    Editor().Document().SetText("a");
    Editor().SetRowCol(0, 0);
    EXPECT_EQ(w.PanelWidth(0), narrow);
}

TEST_F(MainWindow, EditorMenuFromItsList) {
    TForm1& w = Start();
    w.BuildEditorMenu({"copy", "-", "NoSuchCommand", "selectall"});
    const QList<QAction*> items = w.EditorMenu()->actions();
    ASSERT_EQ(items.size(), 7);
    EXPECT_EQ(items[0], w.Action("actCopy"));
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_FALSE(items[2]->isEnabled());
    EXPECT_EQ(items[3], w.Action("actSelectAll"));
    EXPECT_EQ(items[5]->menu()->title(), QStringLiteral("しおりの設定"));
    EXPECT_EQ(items[5]->menu()->actions().size(), 10);
    EXPECT_EQ(items[6]->menu()->actions()[9], w.Action("actBookmark9"));
}

TEST_F(MainWindow, CloseAsksWritesAndRestores) {
    const fs::path file = Dir / "five.txt";
    std::ofstream(file) << "1\n2\n3\n4\n5\n";
    Options.CommandLine.Files = {{file.string(), 3}};
    TForm1& w = Start();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("five.txt - Orvane"));
    EXPECT_EQ(Editor().Row(), 2);
    w.setGeometry(100, 50, 600, 500);
    QTest::keyClicks(&Editor(), "x");

    Answer = TAnswer::Cancel;
    EXPECT_FALSE(w.close());
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0], file.string() + " の内容が変更されています。\r変更を保存しますか？");
    EXPECT_EQ(Setting("EditingFiles", "00"), file.string());  // written before the question
    EXPECT_EQ(Setting("IniFile", "Version"), "<none>");

    Answer = TAnswer::Yes;  // saved, then closed
    EXPECT_TRUE(w.close());
    std::ifstream saved(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), "1\n2\nx3\n4\n5\n");
    EXPECT_EQ(Setting("IniFile", "Version"), "1");
    EXPECT_EQ(Setting("Orvane", "Form.XSize"), "700");
    EXPECT_EQ(Setting("Orvane", "Form.YSize"), "550");
    EXPECT_TRUE(Errors.empty());

    // The next start without a file on the command line reopens it where it was left.
    Options.CommandLine.Files.clear();
    Start();
    EXPECT_EQ(Window->ActiveFileName(), QString::fromStdString(file.string()));
    EXPECT_EQ(Window->geometry(), QRect(100, 50, 600, 500));
}

TEST_F(MainWindow, SettingsThatCannotBeWrittenAreReportedOnceAndDoNotStopTheClose) {
    std::ofstream(Dir / "blocked") << "a file where the settings folder should be";
    Options.SettingsFolder = (Dir / "blocked").string();
    TForm1& w = Start();
    EXPECT_TRUE(w.close());
    EXPECT_EQ(Errors.size(), 1u);
}

TEST_F(MainWindow, FileThatCannotBeOpenedIsShown) {
    TForm1& w = Start();
    EXPECT_FALSE(w.OpenFile(QString::fromStdString((Dir / "missing.txt").string()), deAuto));
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("無題 - Orvane"));
}

TEST_F(MainWindow, ANameOfNoFileIsANewDocumentSavedThere) {
    const fs::path file = Dir / "new.txt";
    Options.CommandLine.Files = {{file.string(), 0}};
    TForm1& w = Start();
    ASSERT_EQ(w.Sheets().size(), 1u);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("new.txt - Orvane"));
    QTest::keyClicks(&Editor(), "abc");
    // Saved under its name, without a file dialog (one would be cancelled here).
    QTimer noDialog;
    QObject::connect(&noDialog, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << "a dialog opened: " << dialog->windowTitle().toStdString();
            dialog->reject();
        }
    });
    noDialog.start(10);
    w.UpdateCommands();
    w.Action("actSave")->trigger();
    std::ifstream saved(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), "abc");
    EXPECT_FALSE(Editor().Modified());
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MainWindow, NamesThatCannotBeOpenedAreShownAndTheLastSessionComesBack) {
    const fs::path last = Dir / "last.txt";
    std::ofstream(last) << "last\n";
    fs::create_directories(Options.SettingsFolder);
    {
        TIniFile ini((fs::path(Options.SettingsFolder) / "orvane.ini").string());
        WriteEditingFiles(ini, {last.string()});
        ini.UpdateFile();
    }
    Options.CommandLine.Files = {{Dir.string(), 0}, {(Dir / "none" / "x.txt").string(), 0}};
    TForm1& w = Start();
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[0], Dir.string() + " はフォルダなので開けません");
    EXPECT_NE(Errors[1].find((Dir / "none").string()), std::string::npos);
    ASSERT_EQ(w.Sheets().size(), 1u);
    EXPECT_EQ(w.ActiveFileName(), QString::fromStdString(last.string()));
}

TEST_F(MainWindow, QuestionsAndErrorsBearTheProgramsName) {
    TForm1& w = Start();
    SetQuestionHook(nullptr);
    SetErrorDisplayHook(nullptr);
    QStringList captions;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            captions << box->windowTitle();
            box->reject();
        }
    });
    answer.start(10);
    EXPECT_EQ(Ask(&w, "?", TQuestion::OkCancel), TAnswer::Cancel);
    Inform(&w, "i");
    ShowErrorMessage(&w, "e");
    EXPECT_EQ(captions, QStringList({"Orvane", "Orvane", "Orvane"}));
}

}  // namespace
}  // namespace orvane
