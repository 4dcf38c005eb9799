// A helper of the end-to-end cases: takes a picture of part of the X screen, and compares pictures.
//   screengrab grab OUT.png X Y WIDTH HEIGHT
//   screengrab compare BEFORE.png DURING.png AFTER.png
// compare prints "box X Y WIDTH HEIGHT inside N": the smallest rectangle holding every pixel in which
// DURING differs from BEFORE, and how many pixels in it AFTER changed. What is drawn in place during
// an edit (an input method's composition) covers a small box where the text then stands.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Grab(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return std::fputs("screengrab: no screen\n", stderr), 1;
    const QPixmap picture = screen->grabWindow(0, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                                               std::atoi(argv[6]));
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[2]), "PNG"))
        return std::fprintf(stderr, "screengrab: cannot write %s\n", argv[2]), 1;
    return 0;
}

bool Differ(QRgb A, QRgb B) {
    // Exact colours: both pictures come from the same program on the same screen.
    return (A & 0xffffff) != (B & 0xffffff);
}

int Compare(char** argv) {
    const QImage before(QString::fromLocal8Bit(argv[2])), during(QString::fromLocal8Bit(argv[3])),
        after(QString::fromLocal8Bit(argv[4]));
    if (before.isNull() || during.isNull() || after.isNull() || before.size() != during.size() ||
        before.size() != after.size())
        return std::fputs("screengrab: three readable pictures of one size are needed\n", stderr), 1;
    QRect box;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (Differ(before.pixel(x, y), during.pixel(x, y))) box |= QRect(x, y, 1, 1);
    long inside = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) inside += Differ(before.pixel(x, y), after.pixel(x, y));
    std::printf("box %d %d %d %d inside %ld\n", box.x(), box.y(), box.width(), box.height(), inside);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 7 && std::strcmp(argv[1], "grab") == 0) return Grab(argc, argv);
    if (argc == 5 && std::strcmp(argv[1], "compare") == 0) return Compare(argv);
    std::fputs("usage: screengrab grab OUT.png X Y WIDTH HEIGHT | compare BEFORE.png DURING.png AFTER.png\n", stderr);
    return 2;
}
