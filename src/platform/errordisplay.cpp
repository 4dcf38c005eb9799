// The default error display.
#include "platform/errordisplay.h"

#include <QMessageBox>
#include <QString>

namespace orvane {
namespace {

std::function<void(const std::string&)>& Hook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

}  // namespace

void ShowErrorMessage(QWidget* Parent, const std::string& Message) {
    if (Hook()) {
        Hook()(Message);
        return;
    }
    QMessageBox::critical(Parent, QString::fromUtf8(kProgramName), QString::fromStdString(Message));
}

void SetErrorDisplayHook(std::function<void(const std::string& Message)> Hook_) { Hook() = std::move(Hook_); }

}  // namespace orvane
