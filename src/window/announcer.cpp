#include "window/announcer.h"

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

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("announcer"));
    setAccessibleRole(this, QAccessible::Notification);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // Never drawn: its showing is told to assistive tools alone, one message at a time.
    hide();
}

void Announcer::announce(const QString& text) {
    if (text.isEmpty()) return;
    setAccessibleName(text);
    if (!QAccessible::isActive()) return;
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
