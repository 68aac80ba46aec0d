// The baseline of the Linux program's benchmark: the smallest Qt Widgets
// window program, built with the same compiler, flags and Qt. With the
// argument "text" it also shows one Chinese caption in the program's font,
// to tell the cost of text (fontconfig, the CJK font) from the rest.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.resize(681, 110);
    if (argc > 1 && std::strcmp(argv[1], "text") == 0) {
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPointSize(9);
        app.setFont(font);
        auto* label = new QLabel(QStringLiteral("时间1："), &window);
        label->move(8, 8);
    }
    window.show();
    return QApplication::exec();
}
