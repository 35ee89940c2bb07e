#include "qt/widgets/focus_aware_list.h"

#include "qt/widgets/readable_colours.h"

#include <QAccessible>
#include <QPainter>
#include <QStyledItemDelegate>

void FocusAwareList::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The list view announces every new current item as focused, keyboard or not; past it, the
    // item view does the rest.
    if (hasFocus())
        QListWidget::currentChanged(current, previous);
    else
        QAbstractItemView::currentChanged(current, previous);
}

void FocusAwareList::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    // The list itself is announced once this event is done; its current item follows it.
    if (QAccessible::isActive())
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!hasFocus() || currentRow() < 0) return;
                QAccessibleEvent focus(this, QAccessible::Focus);
                focus.setChild(currentRow());
                QAccessible::updateAccessibility(&focus);
            },
            Qt::QueuedConnection);
    if (marksKeyboardFocus_) viewport()->update();
}

void FocusAwareList::focusOutEvent(QFocusEvent* event) {
    QListWidget::focusOutEvent(event);
    if (marksKeyboardFocus_) viewport()->update();
}

namespace {

// Items drawn without the style's focus frame: some styles wash the selection out with it, and
// the list draws its own.
class NoFocusFrameDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem item = option;
        item.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, item, index);
    }
};

} // namespace

void FocusAwareList::markKeyboardFocus() {
    marksKeyboardFocus_ = true;
    setItemDelegate(new NoFocusFrameDelegate(this));
}

void FocusAwareList::initViewItemOption(QStyleOptionViewItem* option) const {
    QListWidget::initViewItemOption(option);
    if (marksKeyboardFocus_) useSelectionColours(option->palette, hasFocus());
}

void FocusAwareList::paintEvent(QPaintEvent* event) {
    QListWidget::paintEvent(event);
    if (!marksKeyboardFocus_ || !hasFocus() || !currentItem()) return;
    QPainter painter(viewport());
    drawFocusFrame(painter, visualItemRect(currentItem()), selectionColours(palette(), true).text);
}
