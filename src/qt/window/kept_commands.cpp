// The View, Favourites and Recent menus of the converter window, their keys, and the window kept
// on top.
#include "converter/kept_menus.h"
#include "qt/window/converter_dialog.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

void ConverterDialog::createKeptMenus() {
    QAction* help = nullptr;
    for (QAction* action : menuBar_->actions())
        if (action->menu() && action->menu()->objectName() == QLatin1String("helpMenu"))
            help = action;
    const std::pair<const char*, std::vector<KeptMenuItem> (*)(const ConverterModel&)> menus[] = {
        {"&View", viewMenuItems},
        {"F&avourites", favouritesMenuItems},
        {"&Recent", recentMenuItems},
    };
    for (const auto& [title, items] : menus) {
        auto* menu = new QMenu(QString::fromLatin1(title), menuBar_);
        menu->setObjectName(QString::fromLatin1(title).remove('&').toLower() + "Menu");
        menuBar_->insertMenu(help, menu);
        // Built each time it opens: what it lists changes while the window is open.
        connect(menu, &QMenu::aboutToShow, this, [this, menu, items = items] {
            menu->clear();
            for (const KeptMenuItem& item : items(model_)) {
                if (item.text.empty()) {
                    menu->addSeparator();
                    continue;
                }
                QString text = QString::fromStdString(item.text);
                // Shown beside the item; the keys themselves are bound below, menu or not.
                if (!item.shortcut.empty()) text += '\t' + QString::fromStdString(item.shortcut);
                QAction* action = menu->addAction(text);
                action->setEnabled(item.enabled);
                action->setCheckable(item.checkable);
                action->setChecked(item.checked);
                connect(action, &QAction::triggered, this, [this, item] { runKeptItem(item); });
            }
        });
    }
    std::vector<std::string> keys = {"Ctrl+D"};
    for (int number = 1; number <= numberedFavourites; ++number)
        keys.push_back("Ctrl+" + std::to_string(number));
    for (const std::string& key : keys) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromStdString(key)), this);
        connect(shortcut, &QShortcut::activated, this, [this, key] {
            if (const std::optional<KeptMenuItem> item = keptMenuItemFor(model_, key))
                runKeptItem(*item);
        });
    }
}

void ConverterDialog::runKeptItem(const KeptMenuItem& item) {
    const bool wasOnTop = model_.viewChoices().alwaysOnTop;
    if (runKeptMenuItem(model_, item)) {
        syncView();
        resultComputed();
        inputField_->setFocus(Qt::OtherFocusReason);
        inputField_->selectAll();
    }
    if (model_.viewChoices().alwaysOnTop != wasOnTop) applyAlwaysOnTop();
    showToResults();
}

void ConverterDialog::applyAlwaysOnTop() {
    const bool onTop = model_.viewChoices().alwaysOnTop;
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // A changed flag hides the window; it comes back where it was.
    if (shown) show();
}
