#include "dbus_image.h"

#include <QDBusMetaType>
#include <QtEndian>

namespace tindora::qt {

DBusImage DBusImage::fromImage(const QImage& image)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    DBusImage out;
    out.width = rgba.width();
    out.height = rgba.height();
    out.rowStride = int(rgba.bytesPerLine());
    out.data = QByteArray(reinterpret_cast<const char*>(rgba.constBits()), rgba.sizeInBytes());
    return out;
}

DBusPixmap DBusPixmap::fromImage(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    DBusPixmap out;
    out.width = argb.width();
    out.height = argb.height();
    out.data.resize(qsizetype(argb.width()) * argb.height() * 4);
    auto* to = reinterpret_cast<quint32*>(out.data.data());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            *to++ = qToBigEndian(row[x]);
    }
    return out;
}

QDBusArgument& operator<<(QDBusArgument& out, const DBusImage& image)
{
    out.beginStructure();
    out << image.width << image.height << image.rowStride << image.hasAlpha << image.bitsPerSample << image.channels
        << image.data;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DBusImage& image)
{
    in.beginStructure();
    in >> image.width >> image.height >> image.rowStride >> image.hasAlpha >> image.bitsPerSample >> image.channels >>
        image.data;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DBusPixmap& pixmap)
{
    out.beginStructure();
    out << pixmap.width << pixmap.height << pixmap.data;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DBusPixmap& pixmap)
{
    in.beginStructure();
    in >> pixmap.width >> pixmap.height >> pixmap.data;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DBusToolTip& tip)
{
    out.beginStructure();
    out << tip.iconName << tip.pixmaps << tip.title << tip.text;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DBusToolTip& tip)
{
    in.beginStructure();
    in >> tip.iconName >> tip.pixmaps >> tip.title >> tip.text;
    in.endStructure();
    return in;
}

void registerDBusImageTypes()
{
    static const bool once = [] {
        qDBusRegisterMetaType<DBusImage>();
        qDBusRegisterMetaType<DBusPixmap>();
        qDBusRegisterMetaType<DBusPixmapList>();
        qDBusRegisterMetaType<DBusToolTip>();
        return true;
    }();
    (void)once;
}

} // namespace tindora::qt
