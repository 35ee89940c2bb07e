#pragma once

#include <QAccessible>
#include <QString>
#include <QWidget>

// Says a short text through the screen reader at once, without moving the keyboard focus and
// without drawing anything: a notification whose text is the message, reported as shown each
// time. Screen readers present a notification that shows wherever their focus is; the toolkit's
// bridge passes no other event on to them as spoken text (its name and description changes
// carry the object, not the text).
class Announcer : public QObject {
    Q_OBJECT
  public:
    explicit Announcer(QWidget* parent);
    void announce(const QString& text);
    // The last text announced.
    QString lastAnnounced() const { return last_; }

  private:
    // A screen reader reads a notification's text when it comes to it, and of two showings of
    // one notification waiting together it presents the last: messages in quick succession take
    // turns between two.
    QWidget* voices_[2] = {nullptr, nullptr};
    int next_ = 0;
    QString last_;
};

// Gives widget the role assistive tools know it by, in place of the one its class has.
void setAccessibleRole(QWidget* widget, QAccessible::Role role);
