// Message boxes for questions.
#include "platform/questions.h"

#include "platform/errordisplay.h"

#include <QMessageBox>
#include <QPushButton>

namespace orvane {
namespace {

std::function<TAnswer(const std::string&, TQuestion)>& Hook() {
    static std::function<TAnswer(const std::string&, TQuestion)> hook;
    return hook;
}

QString Shown(const std::string& Message) {
    QString text = QString::fromStdString(Message);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

TAnswer Ask(QWidget* Parent, const std::string& Message, TQuestion Kind) {
    if (Hook()) return Hook()(Message, Kind);
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kProgramName), Shown(Message), QMessageBox::NoButton, Parent);
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QPushButton* ok = nullptr;
    if (Kind == TQuestion::YesNoDefaultNo) {
        // A question whose safe answer is No: Return and Escape both give it.
        yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? TAnswer::Yes : TAnswer::No;
    }
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    if (Kind == TQuestion::YesNoCancel) {
        yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
    } else {
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(Kind == TQuestion::OkCancelDefaultCancel ? cancel : ok);
    }
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes && yes) return TAnswer::Yes;
    if (box.clickedButton() == no && no) return TAnswer::No;
    if (box.clickedButton() == ok && ok) return TAnswer::Ok;
    return TAnswer::Cancel;
}

void SetQuestionHook(std::function<TAnswer(const std::string& Message, TQuestion Kind)> Hook_) {
    Hook() = std::move(Hook_);
}

void Inform(QWidget* Parent, const std::string& Message) {
    if (Hook()) {
        Hook()(Message, TQuestion::OkCancel);
        return;
    }
    QMessageBox::information(Parent, QString::fromUtf8(kProgramName), Shown(Message));
}

}  // namespace orvane
