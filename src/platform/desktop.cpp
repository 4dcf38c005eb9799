// The desktop's handlers through Qt.
#include "platform/desktop.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace orvane {

bool OpenLocalFile(const std::string& Path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(Path)));
}

bool OpenUrl(const std::string& Url) { return QDesktopServices::openUrl(QUrl(QString::fromStdString(Url))); }

}  // namespace orvane
