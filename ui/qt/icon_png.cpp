// Build tool: writes the program's .ico as the PNG that the desktop's icon
// theme wants (hicolor/32x32/apps/tindora.png).
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fputs("usage: tindora_icon_png icon.ico out.png\n", stderr);
        return 2;
    }
    QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "tindora_icon_png: cannot convert %s\n", argv[1]);
        return 1;
    }
    return 0;
}
