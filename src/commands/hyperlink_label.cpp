#include "commands/hyperlink_label.h"

#include <QMouseEvent>
#include <QPainter>

HyperlinkLabel::HyperlinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), linkText_(text) {
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
}

void HyperlinkLabel::setHovered(bool hovered) {
    if (hovered_ == hovered) return;
    hovered_ = hovered;
    update();
}

void HyperlinkLabel::enterEvent(QEnterEvent* event) {
    setHovered(true);
    QLabel::enterEvent(event);
}

void HyperlinkLabel::leaveEvent(QEvent* event) {
    setHovered(false);
    QLabel::leaveEvent(event);
}

void HyperlinkLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void HyperlinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A press that wanders off the link before the release is no click.
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit clicked();
}

void HyperlinkLabel::paintEvent(QPaintEvent*) {
    QFont linkFont = font();
    linkFont.setUnderline(hovered_);
    QPainter painter(this);
    painter.setFont(linkFont);
    painter.setPen(QColor(0, 0, 255));
    painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine, linkText_);
}
