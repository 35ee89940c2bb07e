#include "qt/dialogs/about_dialog.h"

#include "product.h"
#include "qt/dialogs/hyperlink_label.h"
#include "qt/widgets/dialog_units.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

AboutDialog::AboutDialog(Link vendor, Link second, QWidget* parent)
    : ModalDialog(QStringLiteral("About"), QStringLiteral("aboutDialog"), parent) {
    const DialogUnits units(font());

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(QPixmap(QStringLiteral(":/picture.png")));
    picture->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    picture->setAccessibleName(QStringLiteral("Picture of a balance"));

    auto* product = new QLabel(QStringLiteral(VELMORA_NAME_AND_VERSION), this);
    product->setObjectName(QStringLiteral("productLine"));
    auto* credit = new QLabel(QStringLiteral("Designed and built by the Velmora team."), this);
    credit->setObjectName(QStringLiteral("creditLine"));
    auto* siCredit = new QLabel(
        QStringLiteral("Unit definitions follow the International System of Units."), this);
    siCredit->setObjectName(QStringLiteral("secondCreditLine"));

    auto* buttons = addButtons(QDialogButtonBox::Ok);

    auto* text = new QVBoxLayout;
    text->setSpacing(units.y(4));
    text->addWidget(product);
    text->addWidget(credit);
    text->addWidget(siCredit);
    text->addSpacing(units.y(6));
    HyperlinkLabel* vendorLink = addLink("vendorLink", vendor);
    HyperlinkLabel* secondLink = addLink("secondLink", second);
    text->addWidget(vendorLink);
    text->addWidget(secondLink);
    text->addStretch();
    // Tab goes from OK, which has the focus first, to the links in the order they are shown.
    QWidget::setTabOrder(buttons->button(QDialogButtonBox::Ok), vendorLink);
    QWidget::setTabOrder(vendorLink, secondLink);

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(units.x(10));
    grid->setVerticalSpacing(units.y(7));
    grid->addWidget(picture, 0, 0);
    grid->addLayout(text, 0, 1);
    grid->addWidget(buttons, 1, 0, 1, 2);
}

HyperlinkLabel* AboutDialog::addLink(const char* name, const Link& link) {
    auto* label = new HyperlinkLabel(link.address, this);
    label->setObjectName(QString::fromLatin1(name));
    // The label is no wider than its text, so the hand shows only over the address itself.
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(label, &HyperlinkLabel::clicked, this, [open = link.open] {
        if (open) open();
    });
    return label;
}
