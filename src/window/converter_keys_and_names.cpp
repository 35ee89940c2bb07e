// What makes the converter window usable from the keyboard alone and with a screen reader.
#include "window/converter_dialog.h"
#include "window/selection_logic.h"
#include "window/tab_strip.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QShortcut>

namespace {

// A caption names its control without the colon a reader would speak.
QString captionName(const QWidget* caption) {
    QString name = static_cast<const QLabel*>(caption)->text();
    if (name.endsWith(u':')) name.chop(1);
    return name;
}

} // namespace

void ConverterDialog::setUpKeysAndNames() {
    // Ctrl+C already reaches the key filter of every control; bound to the menu alone, the
    // shortcut shows beside its item and never copies a second time.
    if (auto* copy = findChild<QAction*>(QStringLiteral("actionCopy"))) {
        copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
        copy->setShortcutContext(Qt::WidgetShortcut);
    }
    // The others work from anywhere in the window.
    const std::pair<const char*, QKeySequence> menuKeys[] = {
        {"actionSave", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"actionPrint", QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"actionFind", QKeySequence(Qt::CTRL | Qt::Key_F)},
        {"actionCopyResult", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
        {"actionSwap", QKeySequence(Qt::CTRL | Qt::Key_R)},
        {"actionContents", QKeySequence(Qt::Key_F1)},
    };
    for (const auto& [name, keys] : menuKeys)
        if (auto* action = findChild<QAction*>(QString::fromLatin1(name)))
            action->setShortcut(keys);

    // Shift+F10 opens the focused field's context menu, as the Menu key does.
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] {
        QWidget* field = focusWidget();
        if (!field) return;
        const QRect cursor = field->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QPoint at = cursor.isValid() ? cursor.center() : field->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, at, field->mapToGlobal(at));
        QCoreApplication::sendEvent(field, &event);
    });

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

    // Each caption names its control.
    const std::pair<int, int> captions[] = {
        {FromCaption, FromList},
        {ToCaption, ToList},
        {InputCaption, InputField},
        {ResultCaption, ResultField},
    };
    for (const auto& [captionId, controlId] : captions) {
        static_cast<QLabel*>(control(captionId))->setBuddy(control(controlId));
        control(controlId)->setAccessibleName(captionName(control(captionId)));
    }
    control(InputUnitLabel)->setAccessibleDescription(QStringLiteral("Unit of the input value"));
    control(OutputUnitLabel)->setAccessibleDescription(QStringLiteral("Unit of the result"));
    tabs_->setAccessibleName(QStringLiteral("Categories"));
    control(SwapButton)->setAccessibleName(QStringLiteral("Swap From and To"));
    control(SwapButton)->setToolTip(QStringLiteral("Swap From and To (Ctrl+R)"));
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

void ConverterDialog::nameFieldsAfterUnits() {
    const std::pair<QWidget*, QString> fields[] = {
        {inputField_, captionName(control(InputCaption)) + QStringLiteral(", ") + inputUnitLabel},
        {resultField_,
         captionName(control(ResultCaption)) + QStringLiteral(", ") + outputUnitLabel},
    };
    for (const auto& [field, name] : fields)
        if (field->accessibleName() != name) field->setAccessibleName(name);
    // The unit labels name their fields too, but for one holding a "&": as a buddy, it would
    // make the letter after it a key.
    inputUnitLabelControl_->setBuddy(inputUnitLabel.contains(u'&') ? nullptr : inputField_);
    outputUnitLabelControl_->setBuddy(outputUnitLabel.contains(u'&') ? nullptr : resultField_);
}

void ConverterDialog::describeInput(const QString& resultWithUnit) {
    // A screen reader reads the result from here without leaving the input.
    const QString text = QString::fromStdString(
        inputDescription(resultWithUnit.toStdString(), inputField_->toolTip().toStdString()));
    if (inputField_->accessibleDescription() != text) inputField_->setAccessibleDescription(text);
}
