// The application object and the icon.
#include "app/application.h"

#include "platform/errordisplay.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace orvane {

TOrvaneApplication::TOrvaneApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {}

bool TOrvaneApplication::notify(QObject* Receiver, QEvent* Event) {
    try {
        return QApplication::notify(Receiver, Event);
    } catch (const std::exception& e) {
        ShowErrorMessage(activeWindow(), e.what());
    } catch (...) {
        ShowErrorMessage(activeWindow(), "予期しないエラーが発生しました");
    }
    return false;
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        // The same shapes as orvane.svg on its 64×64 grid.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2b, 0x5f, 0xa8));
        p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
        QPainterPath sheet;
        sheet.moveTo(16, 10);
        sheet.lineTo(40, 10);
        sheet.lineTo(50, 20);
        sheet.lineTo(50, 54);
        sheet.lineTo(16, 54);
        sheet.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(sheet);
        QPainterPath fold;
        fold.moveTo(40, 10);
        fold.lineTo(40, 20);
        fold.lineTo(50, 20);
        fold.closeSubpath();
        p.setBrush(QColor(0xc8, 0xd6, 0xea));
        p.drawPath(fold);
        p.setBrush(QColor(0x8a, 0x9b, 0xb5));
        for (int y : {26, 33, 40}) p.drawRect(QRectF(21, y, 24, 3));
        p.setBrush(QColor(0xe8, 0x6a, 0x2c));
        p.drawRect(QRectF(21, 47, 14, 3));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace orvane
