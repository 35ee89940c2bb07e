#pragma once

#include <QAccessible>
#include <QString>
#include <QWidget>

// Says a short text through the screen reader at once, without moving the keyboard focus and
// without drawing anything: a notification whose text is the message, reported as shown each
// time. Screen readers present a notification that shows wherever their focus is; the toolkit's
// bridge passes no other event on to them as spoken text (its name and description changes
// carry the object, not the text).
class Announcer : public QWidget {
    Q_OBJECT
  public:
    explicit Announcer(QWidget* parent);
    void announce(const QString& text);
    // The last text announced.
    QString lastAnnounced() const { return accessibleName(); }
};

// Gives widget the role assistive tools know it by, in place of the one its class has.
void setAccessibleRole(QWidget* widget, QAccessible::Role role);
