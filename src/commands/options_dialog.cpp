#include "commands/options_dialog.h"

#include "catalog/display_text.h"
#include "commands/category_visibility.h"
#include "commands/dialog_frame.h"
#include "window/dialog_units.h"

#include <QDialogButtonBox>
#include <QItemSelection>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

OptionsDialog::OptionsDialog(QWidget* parent) : QDialog(parent, fixedDialogFlags) {
    setWindowTitle(QStringLiteral("Options"));
    setObjectName(QStringLiteral("optionsDialog"));
    const DialogUnits units(font());

    auto* caption = new QLabel(QStringLiteral("Select what tabs to show:"), this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("categoryList"));
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    list_->setSortingEnabled(false);
    list_->setUniformItemSizes(true);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setFixedSize(units.x(150), units.y(110));
    caption->setBuddy(list_);
    // A list takes no name from its caption by itself.
    list_->setAccessibleName(QStringLiteral("Select what tabs to show"));

    auto* buttons = dialogButtons(this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(caption);
    layout->addWidget(list_);
    layout->addSpacing(units.y(3));
    layout->addWidget(buttons);
}

void OptionsDialog::showEvent(QShowEvent* event) {
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

bool OptionsDialog::OnInitDialog() {
    fillCategoryList();
    list_->setFocus();
    return true;
}

bool OptionsDialog::fillCategoryList() {
    if (!catalog) return false;
    const QSignalBlocker blocker(list_);
    const std::vector<CategoryRow> rows = categoryRows(*catalog);
    for (const CategoryRow& row : rows) {
        auto* item = new QListWidgetItem(QString::fromStdString(toDisplayText(row.name)));
        item->setData(Qt::UserRole, row.categoryId);
        list_->addItem(item);
    }
    // One selection step over runs of rows: selecting row by row merges each row into the
    // selection so far, which grows with the square of the count.
    QItemSelection selection;
    for (const RowRun& run : selectedRowRuns(rows))
        selection.select(list_->model()->index(run.first, 0), list_->model()->index(run.last, 0));
    list_->selectionModel()->select(selection, QItemSelectionModel::Select);
    if (list_->count() > 0) list_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    return true;
}

void OptionsDialog::OnOK() {
    // Read the selection once as ranges; asking each item walks every range.
    std::vector<bool> selected(static_cast<std::size_t>(list_->count()));
    for (const QItemSelectionRange& range : list_->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            selected[static_cast<std::size_t>(row)] = true;
    std::vector<CategoryRow> rows;
    rows.reserve(selected.size());
    for (int i = 0; i < list_->count(); ++i)
        rows.push_back({list_->item(i)->data(Qt::UserRole).toInt(),
                        {},
                        selected[static_cast<std::size_t>(i)]});
    if (catalog && applyCategoryRows(*catalog, rows)) changed = 1;
    QDialog::accept();
}
