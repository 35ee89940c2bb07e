#include "qt/widgets/banner_view.h"

#include "qt/widgets/png_image.h"

#include <QPainter>

BannerView::BannerView(QWidget* parent)
    : QWidget(parent), normal_(readPng(QStringLiteral(":/banner.png"))) {}

QSize BannerView::artSize() const {
    return normal_.size();
}

void BannerView::paintEvent(QPaintEvent*) {
    if (normal_.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The doubled artwork is read only for a screen that shows it, so a start at scale 1 does
    // not pay for it.
    if (devicePixelRatioF() > 1.0 && doubled_.isNull()) {
        doubled_ = readPng(QStringLiteral(":/banner@2x.png"));
        doubled_.setDevicePixelRatio(2.0);
    }
    const QPixmap& art = devicePixelRatioF() > 1.0 && !doubled_.isNull() ? doubled_ : normal_;
    // The artwork keeps its proportions at the widget's height; its last column, plain band,
    // fills the rest of the width.
    const int w = std::min(width(), height() * artSize().width() / std::max(1, artSize().height()));
    painter.drawPixmap(QRect(0, 0, w, height()), art);
    if (w < width())
        painter.drawPixmap(QRect(w, 0, width() - w, height()), art,
                           QRect(art.width() - 1, 0, 1, art.height()));
}
