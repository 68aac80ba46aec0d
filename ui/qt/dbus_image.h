#pragma once
// Pictures as the desktop's D-Bus services take them: a notification's
// "image-data" hint (iiibiiay, RGBA bytes) and a tray item's icon pixmaps
// (a(iiay), ARGB32 in network byte order).

#include <QDBusArgument>
#include <QImage>
#include <QList>
#include <QMetaType>

namespace tindora::qt {

struct DBusImage {
    int width = 0;
    int height = 0;
    int rowStride = 0;
    bool hasAlpha = true;
    int bitsPerSample = 8;
    int channels = 4;
    QByteArray data;

    static DBusImage fromImage(const QImage& image);
};

struct DBusPixmap {
    int width = 0;
    int height = 0;
    QByteArray data;

    static DBusPixmap fromImage(const QImage& image);
};
using DBusPixmapList = QList<DBusPixmap>;

// The tooltip of a tray item: icon name, icon pixmaps, title, text.
struct DBusToolTip {
    QString iconName;
    DBusPixmapList pixmaps;
    QString title;
    QString text;
};

QDBusArgument& operator<<(QDBusArgument& out, const DBusImage& image);
const QDBusArgument& operator>>(const QDBusArgument& in, DBusImage& image);
QDBusArgument& operator<<(QDBusArgument& out, const DBusPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& in, DBusPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& out, const DBusToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& in, DBusToolTip& tip);

// Once per process, before the first of these crosses the bus.
void registerDBusImageTypes();

} // namespace tindora::qt

Q_DECLARE_METATYPE(tindora::qt::DBusImage)
Q_DECLARE_METATYPE(tindora::qt::DBusPixmap)
Q_DECLARE_METATYPE(tindora::qt::DBusToolTip)
