// The program: reads the command line, resolves the settings folder, shows the main window.
#include "app/application.h"
#include "app/cmdline.h"
#include "app/mainwindow.h"
#include "app/paths.h"
#include "app/recovery.h"
#include "app/singleinstance.h"
#include "platform/errordisplay.h"
#include "platform/translations.h"

#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifndef ORVANE_DATA_DIR
#define ORVANE_DATA_DIR ""
#endif

using namespace orvane;

namespace {

bool IsRegularFile(const std::string& Path) { return QFileInfo(QString::fromStdString(Path)).isFile(); }

// --help and --version answer without a display.
int AnswerWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(UsageText().c_str(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(VersionText().c_str(), stdout);
            return 0;
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (const int done = AnswerWithoutWindow(argc, argv); done >= 0) return done;

    TOrvaneApplication app(argc, argv);  // takes Qt's own options off the command line
    QApplication::setApplicationName(QStringLiteral("orvane"));
    QApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("orvane"));
    QApplication::setWindowIcon(ApplicationIcon());
    LoadQtTranslations(app);  // without them Qt's dialogs stay in English, nothing else changes

    std::vector<std::string> args;
    const QStringList qtArgs = QCoreApplication::arguments();
    for (qsizetype i = 1; i < qtArgs.size(); ++i) args.push_back(qtArgs[i].toStdString());
    const TPathInputs paths = CurrentPathInputs();
    TStartOptions options;
    options.CommandLine = ParseCommandLine(args, paths.WorkingDir, IsRegularFile);
    if (!options.CommandLine.Error.empty()) {
        std::fprintf(stderr, "orvane: %s\n(orvane --help で使い方を表示します)\n", options.CommandLine.Error.c_str());
        return 2;
    }
    const std::string screenshot = options.CommandLine.Screenshot;
    // A picture for the documentation shows the window as it starts for everyone: no settings.
    if (screenshot.empty()) options.SettingsFolder = ResolveSettingsFolder(paths);
    options.DataFolders = DataFolders(options.SettingsFolder, paths.ProgramDir, ORVANE_DATA_DIR);

    // One program per settings folder: a second start hands its files over and ends.
    const bool single = screenshot.empty() && !options.CommandLine.NewInstance;
    const QString serverName = TSingleInstance::ServerName(options.SettingsFolder);
    if (single && TSingleInstance::HandOff(serverName, options.CommandLine)) return 0;
    if (screenshot.empty()) {
        try {
            options.RecoveryFolder = DefaultRecoveryFolder();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "orvane: %s\n", e.what());  // the program runs on without snapshots
        }
    }

    TForm1 window(std::move(options));
    TSingleInstance instance;
    if (single) {
        instance.OnFiles = [&window](const TCommandLine& Request) {
            GuardedEvent(&window, [&] { window.OpenRequests(Request); });
            if (window.isMinimized()) window.showNormal();
            window.raise();
            window.activateWindow();
        };
        instance.Listen(serverName);
    }
    window.show();
    if (screenshot.empty()) return app.exec();

    int status = 0;
    QTimer::singleShot(0, &window, [&] {
        const QString out = QString::fromStdString(screenshot);
        if (!window.grab().save(out)) {
            std::fprintf(stderr, "orvane: cannot write the picture %s\n", qUtf8Printable(out));
            status = 1;
        }
        app.quit();
    });
    app.exec();
    return status;
}
