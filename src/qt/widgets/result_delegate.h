#pragma once

#include <QStyledItemDelegate>
#include <functional>

// Draws a list row's name as usual and, right-aligned beside it, a text of the row's own (the To
// list's result for each unit), asked for only when the row is painted, so that only the rows in
// view are computed. The name gives up its end to an ellipsis before the result does.
class ResultDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    ResultDelegate(std::function<QString(int row)> resultOf, QObject* parent = nullptr)
        : QStyledItemDelegate(parent), resultOf_(std::move(resultOf)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    std::function<QString(int row)> resultOf_;
};
