#include "qt/dialogs/find_dialog.h"

#include "converter/find_text.h"
#include "qt/widgets/announcer.h"
#include "qt/widgets/dialog_units.h"
#include "qt/widgets/focus_aware_list.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Rows as wide as the list shows them: a long match ends in an ellipsis instead of running under
// a scroll bar, and the row's tooltip holds all of it.
class ViewWidthDelegate : public QStyledItemDelegate {
  public:
    explicit ViewWidthDelegate(QListWidget* list) : QStyledItemDelegate(list), list_(list) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {list_->viewport()->width(), QStyledItemDelegate::sizeHint(option, index).height()};
    }

  private:
    QListWidget* list_;
};

} // namespace

FindDialog::FindDialog(const ConversionCatalog& catalog, const UnitNames& names,
                       NumberFormat format, QWidget* parent)
    : ModalDialog(QStringLiteral("Find Conversion"), QStringLiteral("findDialog"), parent),
      finder_(catalog, names, format) {
    const DialogUnits units(font());

    auto* caption = new QLabel(QStringLiteral("&Units to convert from and to:"), this);
    query_ = new QLineEdit(this);
    query_->setObjectName(QStringLiteral("findQuery"));
    query_->setPlaceholderText(QStringLiteral("for example: 5 mi to km"));
    query_->setAccessibleName(QStringLiteral("Units to convert from and to"));
    // A pasted page is cut to its start, which keeps each key as quick as for a short query.
    query_->setMaxLength(maxFindLength);
    caption->setBuddy(query_);
    query_->installEventFilter(this);

    // The highlight moves while the keyboard stays in the field: the list never claims the focus,
    // and the field's description tells a screen reader which match is highlighted, of how many.
    list_ = new FocusAwareList(this);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        query_->setAccessibleDescription(row < 0 ? QString()
                                                 : QStringLiteral("%1, %2 of %3")
                                                       .arg(list_->item(row)->text())
                                                       .arg(row + 1)
                                                       .arg(list_->count()));
        ok_->setEnabled(row >= 0);
    });
    list_->setObjectName(QStringLiteral("findMatches"));
    list_->setAccessibleName(QStringLiteral("Matching conversions"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setUniformItemSizes(true);
    list_->setTextElideMode(Qt::ElideRight);
    list_->setResizeMode(QListView::Adjust);
    list_->setItemDelegate(new ViewWidthDelegate(list_));
    // As wide as the dialog, which a long message below may widen.
    list_->setMinimumWidth(units.x(260));
    list_->setFixedHeight(units.y(120));
    connect(list_, &QListWidget::itemDoubleClicked, this, &FindDialog::accept);

    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("findCount"));
    count_->setTextFormat(Qt::PlainText);

    namesNote_ = new QLabel(this);
    namesNote_->setObjectName(QStringLiteral("findNamesNote"));
    namesNote_->setTextFormat(Qt::PlainText);
    namesNote_->setWordWrap(true);
    namesNote_->setFixedWidth(units.x(260));
    namesNote_->hide();

    auto* buttons = addButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(caption);
    layout->addWidget(query_);
    layout->addWidget(list_);
    layout->addWidget(count_);
    layout->addWidget(namesNote_);
    layout->addSpacing(units.y(3));
    layout->addWidget(buttons);

    announcer_ = new Announcer(this);
    typingPause_ = new QTimer(this);
    typingPause_->setSingleShot(true);
    typingPause_->setInterval(500);
    connect(typingPause_, &QTimer::timeout, this, &FindDialog::announceFirst);
    connect(query_, &QLineEdit::textChanged, this, [this] {
        refill();
        typingPause_->start();
    });
    refill();
    query_->setFocus();
}

void FindDialog::refill() {
    const std::string typed = query_->text().toStdString();
    found_ = finder_.find(typed, utf16Length(typed) >= static_cast<std::size_t>(maxFindLength));
    list_->clear();
    for (const FindRow& row : found_.rows) {
        const QString text = QString::fromStdString(findRowText(row));
        auto* item = new QListWidgetItem(text);
        item->setToolTip(text);
        item->setData(Qt::AccessibleTextRole, text);
        list_->addItem(item);
    }
    // Only an exact match is highlighted before the user moves.
    list_->setCurrentRow(found_.exactCount > 0 ? 0 : -1);
    count_->setText(QString::fromStdString(found_.countText));
    ok_->setEnabled(list_->currentRow() >= 0);
}

void FindDialog::setKeptRows(std::vector<FindRow> rows) {
    finder_.setKeptRows(std::move(rows));
    refill();
}

void FindDialog::setNamesNote(const QString& note) {
    namesNote_->setText(note);
    namesNote_->setVisible(!note.isEmpty());
}

void FindDialog::announceFirst() {
    const QString first = list_->count() > 0 ? list_->item(0)->text() : count_->text();
    if (first == firstAnnounced_) return;
    firstAnnounced_ = first;
    announcer_->announce(first);
}

bool FindDialog::takeChoices() {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(found_.rows.size())) return false;
    chosen_ = found_.rows[static_cast<std::size_t>(row)].match;
    chosenValue_ = QString::fromStdString(found_.rows[static_cast<std::size_t>(row)].value);
    return true;
}

bool FindDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == query_ && event->type() == QEvent::KeyPress && list_->count() > 0) {
        // The highlight moves in the list while the focus and the text stay in the field.
        const int row = list_->currentRow();
        const int rowHeight = std::max(1, list_->sizeHintForRow(0));
        const int page = std::max(1, list_->viewport()->height() / rowHeight - 1);
        int next = row;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
            next = row - 1;
            break;
        case Qt::Key_Down:
            next = row + 1;
            break;
        case Qt::Key_PageUp:
            next = row - page;
            break;
        case Qt::Key_PageDown:
            next = row + page;
            break;
        default:
            return QDialog::eventFilter(watched, event);
        }
        list_->setCurrentRow(std::clamp(next, 0, list_->count() - 1));
        list_->scrollToItem(list_->currentItem());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
