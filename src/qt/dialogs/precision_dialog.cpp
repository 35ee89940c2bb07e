#include "qt/dialogs/precision_dialog.h"

#include "qt/widgets/dialog_units.h"
#include "settings/precision_text.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>
#include <QToolButton>
#include <QVBoxLayout>

PrecisionDialog::PrecisionDialog(QWidget* parent)
    : ModalDialog(QStringLiteral("Precision"), QStringLiteral("precisionDialog"), parent) {
    const DialogUnits units(font());

    auto* caption = new QLabel(QStringLiteral("Select precision:"), this);
    rangeLabel_ = new QLabel(this);
    rangeLabel_->setObjectName(QStringLiteral("rangeLabel"));

    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("valueEdit"));
    // ASCII digits only, so a pasted text cannot bring in anything else either.
    edit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit_));
    edit_->setFixedWidth(units.x(24));
    edit_->installEventFilter(this);
    rangeLabel_->setBuddy(edit_);

    auto arrow = [&](const char* name, Qt::ArrowType type) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setArrowType(type);
        button->setAutoRepeat(true);
        // The edit keeps the focus, as it would beside a spin control.
        button->setFocusPolicy(Qt::NoFocus);
        const int height = edit_->sizeHint().height();
        button->setFixedSize(units.x(11), height / 2 + (type == Qt::UpArrow ? height % 2 : 0));
        button->setIconSize(QSize(units.x(7), height / 2 - 4));
        return button;
    };
    up_ = arrow("spinUp", Qt::UpArrow);
    down_ = arrow("spinDown", Qt::DownArrow);
    // The arrows have no text to name them, and the range label changes after it is set up.
    up_->setAccessibleName(QStringLiteral("One more decimal"));
    down_->setAccessibleName(QStringLiteral("One decimal fewer"));
    edit_->setAccessibleName(QStringLiteral("Number of decimals"));
    connect(up_, &QToolButton::clicked, this, [this] { step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
    connect(edit_, &QLineEdit::textChanged, this, &PrecisionDialog::onValueTextChanged);

    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(up_);
    arrows->addWidget(down_);
    auto* spin = new QHBoxLayout;
    spin->setSpacing(0);
    spin->addWidget(edit_);
    spin->addLayout(arrows);

    auto* buttons = addButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, units.x(8));
    grid->setHorizontalSpacing(units.x(4));
    grid->addWidget(caption, 0, 0, 1, 3);
    grid->addWidget(rangeLabel_, 1, 1);
    grid->addLayout(spin, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(grid);
    layout->addSpacing(units.y(6));
    layout->addWidget(buttons);
}

void PrecisionDialog::initialise() {
    valueText_ = QString::number(value_);
    rangeText_ = QString::asprintf("Number of decimals (%d to %d):", minPrecision, maxPrecision);
    pushTexts();
    edit_->setFocus();
    edit_->selectAll();
}

void PrecisionDialog::onValueTextChanged() {
    if (pushing_) return;
    const QString accepted = valueText_;
    pullTexts();
    if (const std::optional<int> number = acceptedPrecision(valueText_.toStdString())) {
        value_ = *number;
        return;
    }
    // Back to the last accepted text, which value_ already stands for.
    valueText_ = accepted;
    pushTexts();
}

void PrecisionDialog::step(int delta) {
    const int next = steppedPrecision(value_, delta);
    if (next != value_) edit_->setText(QString::number(next));
}

bool PrecisionDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PrecisionDialog::pullTexts() {
    valueText_ = edit_->text();
    rangeText_ = rangeLabel_->text();
}

void PrecisionDialog::pushTexts() {
    // A push only shows the members: it must not read the half-pushed controls back into them.
    const QScopedValueRollback<bool> lockout(pushing_, true);
    if (edit_->text() != valueText_) edit_->setText(valueText_);
    if (rangeLabel_->text() != rangeText_) rangeLabel_->setText(rangeText_);
}
