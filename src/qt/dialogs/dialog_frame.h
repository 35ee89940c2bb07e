#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

// The frame of the secondary dialogs: a caption and a close box; nothing to resize, minimise or
// maximise.
inline constexpr Qt::WindowFlags fixedDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

// The buttons along the bottom of a secondary dialog, OK the default; they end the dialog
// through its own accept and reject.
inline QDialogButtonBox* dialogButtons(QDialog* dialog, QDialogButtonBox::StandardButtons which) {
    auto* buttons = new QDialogButtonBox(which, dialog);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
