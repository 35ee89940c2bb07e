#pragma once

#include <QListWidget>

// A list that tells assistive tools the truth about the keyboard: its current item is announced
// as focused only while the list has the keyboard, so a list the program fills or moves while the
// keyboard is elsewhere stays quiet; when the list gets the keyboard, its current item is announced
// after it. With markKeyboardFocus, it also shows sighted users where the keyboard is: its
// selection in the active selection colours inside a focus frame while it has the keyboard, in the
// inactive ones while it has not.
class FocusAwareList : public QListWidget {
    Q_OBJECT
  public:
    using QListWidget::QListWidget;

    void markKeyboardFocus();

  protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void initViewItemOption(QStyleOptionViewItem* option) const override;
    void paintEvent(QPaintEvent* event) override;

  private:
    bool marksKeyboardFocus_ = false;
};
