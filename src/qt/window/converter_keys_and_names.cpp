// What makes the converter window usable from the keyboard alone and with a screen reader.
#include "converter/selection_logic.h"
#include "qt/widgets/announcer.h"
#include "qt/widgets/tab_strip.h"
#include "qt/window/converter_dialog.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QShortcut>
#include <QStringList>
#include <QTimer>
#include <tuple>

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
        {IDC_FROM_CAPTION, IDC_FROM_LIST},
        {IDC_TO_CAPTION, IDC_TO_LIST},
        {IDC_INPUT_CAPTION, IDC_INPUT},
        {IDC_RESULT_CAPTION, IDC_RESULT},
    };
    for (const auto& [captionId, controlId] : captions) {
        static_cast<QLabel*>(control(captionId))->setBuddy(control(controlId));
        control(controlId)->setAccessibleName(captionName(control(captionId)));
    }
    control(IDC_INPUT_UNIT)->setAccessibleDescription(QStringLiteral("Unit of the input value"));
    control(IDC_OUTPUT_UNIT)->setAccessibleDescription(QStringLiteral("Unit of the result"));
    tabs_->setAccessibleName(QStringLiteral("Categories"));
    control(IDC_SWAP)->setAccessibleName(QStringLiteral("Swap From and To"));
    control(IDC_SWAP)->setToolTip(QStringLiteral("Swap From and To (Ctrl+R)"));
    control(IDC_BANNER)->setAccessibleName(QStringLiteral("Velmora web site"));
    control(IDC_BANNER)
        ->setAccessibleDescription(
            QStringLiteral("Opens %1 in the web browser").arg(QString::fromLatin1(vendorSite)));
    control(IDC_PICTURE)->setAccessibleName(QStringLiteral("Picture of a balance"));
    menuBar_->setAccessibleName(QStringLiteral("Menu"));
}

void ConverterDialog::stepCategory(int delta) {
    const int tab = model_.selectedTab();
    model_.stepCategory(delta);
    if (model_.selectedTab() == tab) return;
    syncView();
    resultComputed();
    announceCategory();
}

void ConverterDialog::nameFieldsAfterUnits() {
    const QString inputUnitLabel = QString::fromStdString(model_.inputUnitLabel());
    const QString outputUnitLabel = QString::fromStdString(model_.outputUnitLabel());
    const std::tuple<QWidget*, QWidget*, QString> fields[] = {
        {inputField_, control(IDC_INPUT_CAPTION),
         captionName(control(IDC_INPUT_CAPTION)) + QStringLiteral(", ") + inputUnitLabel},
        {resultField_, control(IDC_RESULT_CAPTION),
         captionName(control(IDC_RESULT_CAPTION)) + QStringLiteral(", ") + outputUnitLabel},
    };
    // The caption says the unit too: a screen reader that names a field by its first label alone
    // then still says it.
    for (const auto& [field, caption, name] : fields)
        for (QWidget* named : {field, caption})
            if (named->accessibleName() != name) named->setAccessibleName(name);
    // The unit labels name their fields too, but for one holding a "&": as a buddy, it would
    // make the letter after it a key.
    inputUnitLabelControl_->setBuddy(inputUnitLabel.contains(u'&') ? nullptr : inputField_);
    outputUnitLabelControl_->setBuddy(outputUnitLabel.contains(u'&') ? nullptr : resultField_);
}

void ConverterDialog::describeInput() {
    // A screen reader reads the result from here without leaving the input.
    const QString text = QString::fromStdString(model_.inputDescription());
    if (inputField_->accessibleDescription() != text) inputField_->setAccessibleDescription(text);
}

void ConverterDialog::setUpAnnouncements() {
    announcer_ = new Announcer(client_);
    resultPause_ = new QTimer(this);
    resultPause_->setSingleShot(true);
    resultPause_->setInterval(500);
    connect(resultPause_, &QTimer::timeout, this, &ConverterDialog::announceResult);
    // The contact line is the window's status line, not a description to read with the window.
    QWidget* contact = control(IDC_CONTACT);
    contact->setAccessibleName(static_cast<QLabel*>(contact)->text());
    setAccessibleRole(contact, QAccessible::StatusBar);
}

void ConverterDialog::announceResult() {
    if (!inputField_->hasFocus() || !model_.currentConversion()) return;
    // A value that cannot be read has no result; its note is then all there is to say.
    const QString resultText = QString::fromStdString(model_.resultText());
    QStringList parts;
    if (!resultText.isEmpty())
        parts << resultText + QLatin1Char(' ') + QString::fromStdString(model_.outputUnitLabel());
    // The note on unread input when it is new; it stays in the field's tooltip.
    const QString note = inputField_->toolTip();
    if (!note.isEmpty() && note != noteAnnounced_) parts << note;
    noteAnnounced_ = note;
    if (!parts.isEmpty()) announcer_->announce(parts.join(QStringLiteral(". ")));
}

void ConverterDialog::announceCategory() {
    // The strip with the keyboard says its own tab.
    if (tabs_->hasFocus() || choosing_ || tabs_->currentIndex() < 0) return;
    announcer_->announce(tabs_->tabText(tabs_->currentIndex()));
}

void ConverterDialog::announceChoice(const QString& match) {
    resultPause_->stop();
    QString text = match;
    if (!model_.resultText().empty())
        text += QStringLiteral(": ") + QString::fromStdString(model_.resultText()) +
                QLatin1Char(' ') + QString::fromStdString(model_.outputUnitLabel());
    announcer_->announce(text);
}
