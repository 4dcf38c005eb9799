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

QIcon ReadOnlyIcon() {
    static const QIcon icon = [] {
        QIcon drawn;
        for (int size : {16, 24, 32}) {
            QPixmap pm(size, size);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(size / 16.0, size / 16.0);
            // A shackle over a body with a keyhole, on a 16×16 grid.
            p.setPen(QPen(QColor(0x55, 0x5b, 0x66), 1.6));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(5, 2, 6, 8), 3, 3);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xd9, 0x9a, 0x1e));
            p.drawRoundedRect(QRectF(3, 7, 10, 8), 1.5, 1.5);
            p.setBrush(QColor(0x55, 0x5b, 0x66));
            p.drawEllipse(QRectF(7, 9.5, 2, 2));
            p.drawRect(QRectF(7.5, 11, 1, 2.5));
            p.end();
            drawn.addPixmap(pm);
        }
        return QIcon::fromTheme(QStringLiteral("emblem-readonly"), drawn);
    }();
    return icon;
}

}  // namespace orvane
