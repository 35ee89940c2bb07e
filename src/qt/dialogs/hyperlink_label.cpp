#include "qt/dialogs/hyperlink_label.h"

#include "qt/widgets/readable_colours.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

class HyperlinkAccessible : public QAccessibleWidget {
  public:
    explicit HyperlinkAccessible(HyperlinkLabel* label)
        : QAccessibleWidget(label, QAccessible::Link) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<HyperlinkLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) static_cast<HyperlinkLabel*>(widget())->activate();
    }
};

QAccessibleInterface* hyperlinkFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("HyperlinkLabel") && object && object->isWidgetType())
        return new HyperlinkAccessible(static_cast<HyperlinkLabel*>(object));
    return nullptr;
}

} // namespace

HyperlinkLabel::HyperlinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), linkText_(text) {
    static const bool accessible = [] {
        QAccessible::installFactory(hyperlinkFactory);
        return true;
    }();
    (void)accessible;
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::StrongFocus);
    // Room for the focus frame around the text.
    setContentsMargins(2, 1, 2, 1);
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

void HyperlinkLabel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // Taken here, so the dialog's default button does not see the Enter.
        if (!event->isAutoRepeat()) activate();
        event->accept();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void HyperlinkLabel::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    update();
}

void HyperlinkLabel::focusOutEvent(QFocusEvent* event) {
    QLabel::focusOutEvent(event);
    update();
}

void HyperlinkLabel::paintEvent(QPaintEvent*) {
    QFont linkFont = font();
    linkFont.setUnderline(hovered_);
    QPainter painter(this);
    painter.setFont(linkFont);
    // The theme's link colour, made readable on the theme's background where it falls short.
    painter.setPen(readableOn(palette().color(QPalette::Link), palette().color(backgroundRole())));
    QRect drawn;
    painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine, linkText_,
                     &drawn);
    if (hasFocus()) {
        // Drawn by hand: some styles draw no focus frame after a mouse click, or none at all.
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(drawn.adjusted(-2, -1, 1, 0).intersected(rect().adjusted(0, 0, -1, -1)));
    }
}
