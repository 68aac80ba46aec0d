// The baseline of the Linux program's benchmark: the smallest Qt Widgets
// window program, built with the same compiler, flags and Qt.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.resize(681, 110);
    window.show();
    return QApplication::exec();
}
