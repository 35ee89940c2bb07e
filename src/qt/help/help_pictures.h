#pragma once

#include <QObject>
#include <QTextObjectInterface>

class QTextDocument;

// Lays out and draws the pictures of a help page from the document's own resources, and from
// nothing else. The toolkit's own handler loads a picture it is not given from the disk under the
// name the page wrote (a path, a FIFO, a device), and measures it before it is ever drawn.
class HelpPictures : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
  public:
    // Takes the place of the document's picture handler, now and whenever its layout is replaced.
    static void install(QTextDocument* document);

    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                    const QTextFormat& format) override;

  private:
    using QObject::QObject;
};
