#include "qt/widgets/announcer.h"

#include <QAccessibleWidget>
#include <QApplication>

namespace {

const char* const roleProperty = "velmoraAccessibleRole";

// The notification belongs to the application, not to a window: a screen reader that presents
// it names no window before the message.
class AnnouncerAccessible : public QAccessibleWidget {
  public:
    explicit AnnouncerAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Notification) {}
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(qApp);
    }
};

QAccessibleInterface* roleFactory(const QString&, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    const QVariant role = object->property(roleProperty);
    if (!role.isValid()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (role.toInt() == QAccessible::Notification) return new AnnouncerAccessible(widget);
    return new QAccessibleWidget(widget, static_cast<QAccessible::Role>(role.toInt()));
}

} // namespace

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
    static const bool installed = [] {
        QAccessible::installFactory(roleFactory);
        return true;
    }();
    (void)installed;
    widget->setProperty(roleProperty, static_cast<int>(role));
    // An interface made before, with the class's role, gives way to one with this role.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget);
    if (made && made->role() != role)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

Announcer::Announcer(QWidget* parent) : QObject(parent) {
    setObjectName(QStringLiteral("announcer"));
    for (QWidget*& voice : voices_) {
        voice = new QWidget(parent);
        setAccessibleRole(voice, QAccessible::Notification);
        voice->setAttribute(Qt::WA_TransparentForMouseEvents);
        voice->setFocusPolicy(Qt::NoFocus);
        // Never drawn: its showing is told to assistive tools alone.
        voice->hide();
    }
}

void Announcer::announce(const QString& text) {
    if (text.isEmpty()) return;
    last_ = text;
    QWidget* voice = voices_[next_];
    next_ = 1 - next_;
    voice->setAccessibleName(text);
    if (!QAccessible::isActive()) return;
    QAccessibleEvent shown(voice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
