// What makes the converter window usable from the keyboard alone and with a screen reader.
#include "window/converter_dialog.h"
#include "window/tab_strip.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>

void ConverterDialog::setUpKeysAndNames() {
    // Ctrl+C already reaches the key filter of every control; bound to the menu alone, the
    // shortcut shows beside its item and never copies a second time.
    if (auto* copy = findChild<QAction*>(QStringLiteral("actionCopy"))) {
        copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
        copy->setShortcutContext(Qt::WidgetShortcut);
    }
    if (auto* contents = findChild<QAction*>(QStringLiteral("actionContents")))
        contents->setShortcut(QKeySequence(Qt::Key_F1));
    // Ctrl+F opens Find Conversion from anywhere in the window.
    if (auto* find = findChild<QAction*>(QStringLiteral("actionFind")))
        find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));

    // Shift+Tab arrives as Backtab on some platforms and as Shift+Tab on others.
    const std::pair<QKeySequence, int> steps[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), +1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
    };
    for (const auto& [keys, delta] : steps) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this,
                [this, delta = delta] { stepCategory(delta); });
    }

    // Each caption names its control, without the colon a reader would speak.
    const std::pair<int, int> captions[] = {
        {FromCaption, FromList},
        {ToCaption, ToList},
        {InputCaption, InputField},
        {ResultCaption, ResultField},
    };
    for (const auto& [captionId, controlId] : captions) {
        auto* caption = static_cast<QLabel*>(control(captionId));
        caption->setBuddy(control(controlId));
        QString name = caption->text();
        if (name.endsWith(u':')) name.chop(1);
        control(controlId)->setAccessibleName(name);
    }
    control(InputUnitLabel)->setAccessibleDescription(QStringLiteral("Unit of the input value"));
    control(OutputUnitLabel)->setAccessibleDescription(QStringLiteral("Unit of the result"));
    tabs_->setAccessibleName(QStringLiteral("Categories"));
    control(Banner)->setAccessibleName(QStringLiteral("Velmora web site"));
    control(Banner)->setAccessibleDescription(
        QStringLiteral("Opens %1 in the web browser").arg(QString::fromLatin1(vendorSite)));
    control(Picture)->setAccessibleName(QStringLiteral("Picture of a balance"));
    menuBar_->setAccessibleName(QStringLiteral("Menu"));
}

void ConverterDialog::stepCategory(int delta) {
    const int count = tabs_->count();
    if (count == 0) return;
    tabs_->selectByUser(((tabs_->currentIndex() + delta) % count + count) % count);
}
