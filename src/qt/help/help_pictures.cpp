#include "qt/help/help_pictures.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QTextDocument>
#include <QTextFormat>
#include <QUrl>

namespace {

// The picture the document holds for the format's name; null when it has none. Only pictures
// already decoded count: bytes would be decoded by whatever plugin claims them.
QImage pictureOf(QTextDocument* document, const QTextFormat& format) {
    const QVariant picture =
        document->resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
    return picture.userType() == QMetaType::QImage ? picture.value<QImage>() : QImage();
}

} // namespace

void HelpPictures::install(QTextDocument* document) {
    const auto replace = [document] {
        if (QAbstractTextDocumentLayout* layout = document->documentLayout())
            layout->registerHandler(QTextFormat::ImageObject, new HelpPictures(layout));
    };
    replace();
    connect(document, &QTextDocument::documentLayoutChanged, document, replace);
}

QSizeF HelpPictures::intrinsicSize(QTextDocument* document, int, const QTextFormat& format) {
    const QImage picture = pictureOf(document, format);
    // A picture the help file does not hold takes no room.
    if (picture.isNull()) return {};
    // The page's width and height, the other one kept in proportion when only one is given.
    const QTextImageFormat image = format.toImageFormat();
    const QSizeF natural = picture.deviceIndependentSize();
    QSizeF size = natural;
    if (image.hasProperty(QTextFormat::ImageWidth) && image.hasProperty(QTextFormat::ImageHeight))
        size = QSizeF(image.width(), image.height());
    else if (image.hasProperty(QTextFormat::ImageWidth))
        size = QSizeF(image.width(), image.width() * natural.height() / natural.width());
    else if (image.hasProperty(QTextFormat::ImageHeight))
        size = QSizeF(image.height() * natural.width() / natural.height(), image.height());
    // Pixels of the page are those of a 96 dpi screen, as in the toolkit's own handler.
    if (const QPaintDevice* device = document->documentLayout()->paintDevice())
        size *= device->logicalDpiY() / 96.0;
    return size;
}

void HelpPictures::drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int,
                              const QTextFormat& format) {
    const QImage picture = pictureOf(document, format);
    if (!picture.isNull()) painter->drawImage(rect, picture);
}
