#include "qt/widgets/png_image.h"

#include <QImageReader>

QPixmap readPng(const QString& path) {
    QImageReader reader(path, QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon pngIcon(std::initializer_list<const char*> paths) {
    // Added as pixmaps: a file added to an icon is read through the format scan.
    QIcon icon;
    for (const char* path : paths)
        icon.addPixmap(readPng(QString::fromLatin1(path)));
    return icon;
}
