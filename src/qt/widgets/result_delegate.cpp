#include "qt/widgets/result_delegate.h"

#include <QApplication>
#include <QPainter>

void ResultDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    const QString result = resultOf_(index.row());
    if (result.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QFontMetrics metrics(item.font);
    const int margin = metrics.horizontalAdvance(QLatin1Char(' '));
    const int resultWidth = metrics.horizontalAdvance(result) + 2 * margin;
    const int nameWidth = std::max(0, item.rect.width() - resultWidth - 2 * margin);
    item.text = metrics.elidedText(item.text, Qt::ElideRight, nameWidth);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    // In the colour the style gave the name, so that a selected row stays readable.
    const bool selected = item.state.testFlag(QStyle::State_Selected);
    painter->save();
    painter->setFont(item.font);
    painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(item.rect.adjusted(0, 0, -margin, 0),
                      Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, result);
    painter->restore();
}
