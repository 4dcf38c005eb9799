// The program: one window with one editor that shows the file named on the command line.
#include "widgets/editor.h"
#include "files/doctext.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>

using namespace orvane;

namespace {

// The look the window starts with: word wrap, line numbers, the ruler and the end marks.
void ApplyStartLook(TEditor& Editor) {
    Editor.Leftbar().SetVisible(true);
    Editor.Ruler().SetVisible(true);
    Editor.Marks().RetMark().SetVisible(true);
    Editor.Marks().EofMark().SetVisible(true);
    Editor.Marks().WrapMark().SetVisible(true);
    Editor.View().SetUrl(true);
    Editor.View().SetMail(true);
    Editor.View().Colors().Url().SetColor(0xC00000);
    Editor.View().Colors().Mail().SetColor(0xC00000);
    Editor.View().Colors().Int().SetColor(0x0000A0);
    Editor.View().Colors().Str().SetColor(0x008000);
    Editor.WrapOption().SetWrapByte(80);
    Editor.WrapOption().SetLeading(true);
    Editor.WrapOption().SetFollowPunctuation(true);
    Editor.SetWordWrap(true);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("A text editor for Japanese text files."));
    options.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Show the window once, save a picture of it to OUT and exit."),
                                        QStringLiteral("OUT"));
    options.addOption(screenshot);
    options.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The file to open."));
    options.process(app);

    QMainWindow window;
    auto* editor = new TEditor(&window);
    window.setCentralWidget(editor);
    ApplyStartLook(*editor);
    window.setWindowTitle(QStringLiteral("Orvane"));

    const QStringList files = options.positionalArguments();
    if (!files.isEmpty()) {
        const QString path = files.first();
        try {
            const TDocumentText read = ReadDocumentText(path.toStdString(), editor->Document(), deAuto);
            if (TCharMap* map = editor->CharMap()) *map = read.Map;  // copy and paste keep its characters
            editor->SetReadOnly(read.Report.ReadOnly());
            window.setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - Orvane"));
            const std::string warning = read.Report.Warning();
            if (!warning.empty()) window.statusBar()->showMessage(QString::fromStdString(warning));
        } catch (const std::exception& e) {
            if (options.isSet(screenshot)) {
                std::fprintf(stderr, "orvane: %s\n", e.what());
                return 1;
            }
            QMessageBox::critical(&window, QStringLiteral("Orvane"), QString::fromUtf8(e.what()));
        }
    }

    window.resize(960, 640);
    window.show();
    editor->setFocus();
    if (options.isSet(screenshot)) {
        int status = 0;
        QTimer::singleShot(0, &window, [&] {
            const QString out = options.value(screenshot);
            if (!window.grab().save(out)) {
                std::fprintf(stderr, "orvane: cannot write the picture %s\n", qUtf8Printable(out));
                status = 1;
            }
            app.quit();
        });
        app.exec();
        return status;
    }
    return app.exec();
}
