// The application object: the last line of defence that keeps exceptions out of Qt's event loop,
// and the program's icon.
#pragma once

#include <QApplication>
#include <QIcon>

namespace orvane {

class TOrvaneApplication : public QApplication {
public:
    TOrvaneApplication(int& Argc, char** Argv);
    // Every event handler has its own boundary; an exception that escapes one anyway is shown
    // here, and the event counts as not handled.
    bool notify(QObject* Receiver, QEvent* Event) override;
};

// The program's icon, drawn as orvane.svg draws it (no image plugin needed).
QIcon ApplicationIcon();
// The tab icon of a file the user cannot write: the theme's read-only emblem, else a padlock.
QIcon ReadOnlyIcon();

}  // namespace orvane
