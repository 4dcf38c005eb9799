// A helper of the end-to-end cases: takes a picture of part of the X screen, and compares pictures.
//   screengrab grab OUT.png X Y WIDTH HEIGHT
//   screengrab compare BEFORE.png DURING.png AFTER.png
// compare prints "after N during M both K": the pixels in which AFTER differs from BEFORE, those in
// which DURING does, and those in which both do. A text drawn during an edit where it stands after
// it differs from the picture before in the same pixels, so K is a large part of N.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
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
    long changedAfter = 0, changedDuring = 0, both = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x) {
            const QRgb b = before.pixel(x, y);
            const bool a = Differ(b, after.pixel(x, y)), d = Differ(b, during.pixel(x, y));
            changedAfter += a;
            changedDuring += d;
            both += a && d;
        }
    std::printf("after %ld during %ld both %ld\n", changedAfter, changedDuring, both);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 7 && std::strcmp(argv[1], "grab") == 0) return Grab(argc, argv);
    if (argc == 5 && std::strcmp(argv[1], "compare") == 0) return Compare(argv);
    std::fputs("usage: screengrab grab OUT.png X Y WIDTH HEIGHT | compare BEFORE.png DURING.png AFTER.png\n", stderr);
    return 2;
}
