#include "qt/dialogs/precision_dialog.h"

#include "qt/widgets/dialog_units.h"
#include "settings/precision_text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>
#include <QSpinBox>
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

    // The style beyond decimals, each number beside the box that turns it on, and usable only
    // while that box is ticked.
    const auto number = [&](const char* name, const char* accessible, int least, int most) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setAccessibleName(QString::fromLatin1(accessible));
        box->setRange(least, most);
        box->setFixedWidth(units.x(30));
        return box;
    };
    significant_ = new QCheckBox(QStringLiteral("Use &significant digits instead (%1 to %2):")
                                     .arg(minSignificantDigits)
                                     .arg(maxSignificantDigits),
                                 this);
    significant_->setObjectName(QStringLiteral("significantBox"));
    significantDigits_ = number("significantDigits", "Number of significant digits",
                                minSignificantDigits, maxSignificantDigits);
    scientific_ = new QCheckBox(QStringLiteral("Scientific &notation below 1e"), this);
    scientific_->setObjectName(QStringLiteral("scientificBox"));
    scientificBelow_ = number("scientificBelow", "Scientific notation below the power of ten",
                              minScientificExponent, maxScientificExponent - 1);
    auto* fromCaption = new QLabel(QStringLiteral("and from 1e"), this);
    scientificFrom_ = number("scientificFrom", "Scientific notation from the power of ten",
                             minScientificExponent + 1, maxScientificExponent);
    group_ = new QCheckBox(QStringLiteral("&Group digits as the region does (12,345.6)"), this);
    group_->setObjectName(QStringLiteral("groupBox"));
    connect(significant_, &QCheckBox::toggled, significantDigits_, &QWidget::setEnabled);
    connect(scientific_, &QCheckBox::toggled, scientificBelow_, &QWidget::setEnabled);
    connect(scientific_, &QCheckBox::toggled, scientificFrom_, &QWidget::setEnabled);

    auto* buttons = addButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, units.x(8));
    grid->setHorizontalSpacing(units.x(4));
    grid->addWidget(caption, 0, 0, 1, 3);
    grid->addWidget(rangeLabel_, 1, 1);
    grid->addLayout(spin, 1, 2);
    grid->setRowMinimumHeight(2, units.y(4));
    grid->addWidget(significant_, 3, 1);
    grid->addWidget(significantDigits_, 3, 2);
    auto* range = new QHBoxLayout;
    range->addWidget(scientific_);
    range->addWidget(scientificBelow_);
    range->addWidget(fromCaption);
    range->addWidget(scientificFrom_);
    range->addStretch();
    grid->addLayout(range, 4, 1, 1, 2);
    grid->addWidget(group_, 5, 1, 1, 2);

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
    significant_->setChecked(style_.significant);
    significantDigits_->setValue(style_.significantDigits);
    significantDigits_->setEnabled(style_.significant);
    scientific_->setChecked(style_.scientific);
    scientificBelow_->setValue(style_.scientificBelow);
    scientificFrom_->setValue(style_.scientificFrom);
    scientificBelow_->setEnabled(style_.scientific);
    scientificFrom_->setEnabled(style_.scientific);
    group_->setChecked(style_.groupDigits);
    edit_->setFocus();
    edit_->selectAll();
}

bool PrecisionDialog::takeChoices() {
    NumberStyle chosen;
    chosen.significant = significant_->isChecked();
    chosen.significantDigits = significantDigits_->value();
    chosen.scientific = scientific_->isChecked();
    chosen.scientificBelow = scientificBelow_->value();
    chosen.scientificFrom = scientificFrom_->value();
    chosen.groupDigits = group_->isChecked();
    // A range that holds no number would write every result in scientific notation.
    if (chosen.scientific && chosen.scientificBelow >= chosen.scientificFrom) {
        scientificFrom_->setFocus();
        scientificFrom_->selectAll();
        return false;
    }
    style_ = chosen;
    return true;
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
