// The floor under the Linux program's start-up: the same window with the same
// widgets (placed as Form1's controls are designed, in the same font, the
// lists filled) and nothing behind them: no settings file, no tray icon, no
// reminders, no translations. The designs are read off Form1 on the in-memory
// backend, which starts nothing. What is left between this and tindora is the
// program's own; what is between this and the minimal window is what the
// window costs.
#include "form1_layout.h"
#include "headless_app.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace {

int px(int twips) { return tindora::layout::twipsToPixels(twips, 96); }

QString text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSize(9);
    app.setFont(font);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Controls"));
    window.setFixedSize(px(tindora::layout::kClientWidthTwips), px(tindora::layout::kClientHeightTwips));
    const tindora::headless::HeadlessApp designs;
    designs.form.controls().forEach([&window](auto& control) {
        using Model = std::remove_cvref_t<decltype(control)>;
        const tindora::ControlDesign& entry = control.design();
        QWidget* widget = nullptr;
        if constexpr (std::is_same_v<Model, tindora::Label>) {
            widget = new QLabel(text(entry.caption), &window);
        } else if constexpr (std::is_same_v<Model, tindora::ComboBox>) {
            auto* combo = new QComboBox(&window);
            combo->setEditable(true);
            const int items = entry.name == "Combo2" || entry.name == "Combo7" || entry.name == "Combo11" ? 24 : 60;
            for (int item = 0; item < items; ++item)
                combo->addItem(QString::number(item));
            combo->setEditText(QString());
            widget = combo;
        } else if constexpr (std::is_same_v<Model, tindora::TextBox>) {
            widget = new QLineEdit(text(entry.caption), &window);
        } else if constexpr (std::is_same_v<Model, tindora::CheckBox>) {
            widget = new QCheckBox(text(entry.caption), &window);
        } else if constexpr (std::is_same_v<Model, tindora::CommandButton>) {
            widget = new QPushButton(text(entry.caption), &window);
        } else {
            return; // OLE1 has no widget
        }
        widget->setGeometry(px(entry.left), px(entry.top), px(entry.width), px(entry.height));
    });
    window.show();
    return QApplication::exec();
}
