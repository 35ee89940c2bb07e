#include "qt/dialogs/modal_dialog.h"

#include <QPushButton>

namespace {

// A caption and a close box; nothing to resize, minimise or maximise.
constexpr Qt::WindowFlags fixedDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

} // namespace

ModalDialog::ModalDialog(const QString& title, const QString& name, QWidget* parent)
    : QDialog(parent, fixedDialogFlags) {
    setWindowTitle(title);
    setObjectName(name);
}

void ModalDialog::accept() {
    if (takeChoices()) QDialog::accept();
}

QDialogButtonBox* ModalDialog::addButtons(QDialogButtonBox::StandardButtons which) {
    auto* buttons = new QDialogButtonBox(which, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &ModalDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return buttons;
}

void ModalDialog::showEvent(QShowEvent* event) {
    if (!initialised_) {
        initialised_ = true;
        initialise();
    }
    QDialog::showEvent(event);
}
