#include "qt/dialogs/options_dialog.h"

#include "converter/category_visibility.h"
#include "qt/widgets/dialog_units.h"
#include "text/display_text.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

OptionsDialog::OptionsDialog(QWidget* parent)
    : ModalDialog(QStringLiteral("Options"), QStringLiteral("optionsDialog"), parent) {
    const DialogUnits units(font());

    auto* caption = new QLabel(QStringLiteral("Select what tabs to show:"), this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("categoryList"));
    // A checked box is a shown tab: Space or a click toggles it, and the selection only marks
    // where the keyboard is.
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSortingEnabled(false);
    list_->setUniformItemSizes(true);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setFixedSize(units.x(150), units.y(110));
    caption->setBuddy(list_);
    // A list takes no name from its caption by itself.
    list_->setAccessibleName(QStringLiteral("Select what tabs to show"));

    auto* buttons = addButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(caption);
    layout->addWidget(list_);
    layout->addSpacing(units.y(3));
    layout->addWidget(buttons);
}

void OptionsDialog::initialise() {
    fillCategoryList();
    list_->setFocus();
}

void OptionsDialog::fillCategoryList() {
    const QSignalBlocker blocker(list_);
    for (const CategoryRow& row : rows_) {
        auto* item = new QListWidgetItem(QString::fromStdString(toDisplayText(row.name)));
        item->setData(Qt::UserRole, row.categoryId);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(row.selected ? Qt::Checked : Qt::Unchecked);
        list_->addItem(item);
    }
    if (list_->count() > 0) {
        list_->setCurrentRow(0);
        // Whole rows only: the last one shown is never cut.
        const int rowHeight = std::max(1, list_->sizeHintForRow(0));
        const int shown = std::max(1, (list_->height() - 2 * list_->frameWidth()) / rowHeight);
        list_->setFixedHeight(shown * rowHeight + 2 * list_->frameWidth());
    }
}

bool OptionsDialog::takeChoices() {
    // The list holds a row for each of rows_, in order.
    for (int i = 0; i < list_->count() && i < static_cast<int>(rows_.size()); ++i)
        rows_[static_cast<std::size_t>(i)].selected = list_->item(i)->checkState() == Qt::Checked;
    return true;
}
