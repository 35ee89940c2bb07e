#pragma once

#include <QtCore/qnamespace.h>

// The frame of the secondary dialogs: a caption and a close box; nothing to resize, minimise or
// maximise.
inline constexpr Qt::WindowFlags fixedDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
