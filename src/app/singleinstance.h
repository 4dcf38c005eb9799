// One program per user and settings folder: a second start hands its files to the running one
// through a local socket in the user's runtime folder, and ends.
#pragma once

#include "app/cmdline.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QLocalServer;

namespace orvane {

class TSingleInstance : public QObject {
    Q_OBJECT

public:
    explicit TSingleInstance(QObject* Parent = nullptr);
    ~TSingleInstance() override;

    // The socket's path for a settings folder: $XDG_RUNTIME_DIR/orvane-<hash of the folder>.
    static QString ServerName(const std::string& SettingsFolder);
    // Hands CommandLine's files to the program listening on Name; true once it has taken them.
    static bool HandOff(const QString& Name, const TCommandLine& CommandLine, int TimeoutMs = 5000);

    // Listens on Name (a socket left by a program that died is replaced); false when it cannot.
    bool Listen(const QString& Name);
    // Called with the files of every second start.
    std::function<void(const TCommandLine&)> OnFiles;

private:
    QLocalServer* FServer = nullptr;
};

}  // namespace orvane
