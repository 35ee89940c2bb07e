#include "commands/options_dialog.h"

#include "catalog/display_text.h"
#include "commands/category_visibility.h"
#include "commands/dialog_frame.h"
#include "window/dialog_units.h"

#include <QDialogButtonBox>
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
    for (const CategoryRow& row : categoryRows(*catalog)) {
        auto* item = new QListWidgetItem(QString::fromStdString(toDisplayText(row.name)), list_);
        item->setData(Qt::UserRole, row.categoryId);
        item->setSelected(row.selected);
    }
    if (list_->count() > 0) list_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    return true;
}

void OptionsDialog::OnOK() {
    std::vector<CategoryRow> rows;
    for (int i = 0; i < list_->count(); ++i) {
        const QListWidgetItem* item = list_->item(i);
        rows.push_back({item->data(Qt::UserRole).toInt(), {}, item->isSelected()});
    }
    if (catalog && applyCategoryRows(*catalog, rows)) changed = 1;
    QDialog::accept();
}
