#include "window/converter_dialog.h"

#include "catalog/catalog.h"
#include "catalog/catalog_file.h"
#include "catalog/catalog_preload.h"
#include "catalog/display_text.h"
#include "search/unit_names.h"
#include "window/banner_view.h"
#include "window/dialog_units.h"
#include "window/elided_label.h"
#include "window/focus_aware_list.h"
#include "window/help_window.h"
#include "window/png_image.h"
#include "window/readable_colours.h"
#include "window/selection_logic.h"
#include "window/settings_file.h"
#include "window/tab_strip.h"
#include "window/ui_services.h"
#include "window/window_fit.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <filesystem>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <memory>
#include <optional>

const char* const ConverterDialog::vendorSite = "https://velmora.example.com/";
const char* const ConverterDialog::secondSite = "https://velmora.example.com/catalogs/";

namespace {

// The window's client area in dialog units; the template is laid out for one row of tabs.
constexpr int clientWidth = 345;
constexpr int clientHeight = 261;

// The controls that sit on or below the tabs' display area, in the order they are moved.
constexpr int controlsBelowTabs[] = {
    ConverterDialog::FromCaption,     ConverterDialog::ToCaption,     ConverterDialog::FromList,
    ConverterDialog::ToList,          ConverterDialog::InputCaption,  ConverterDialog::InputField,
    ConverterDialog::InputUnitLabel,  ConverterDialog::ResultCaption, ConverterDialog::ResultField,
    ConverterDialog::OutputUnitLabel, ConverterDialog::Picture,       ConverterDialog::ContactLine,
};

QString display(std::string_view bytes) {
    return QString::fromStdString(toDisplayText(bytes));
}

// A To entry's datum: its conversion, which the list only hands back.
QVariant itemData(const Conversion& conversion) {
    return QVariant::fromValue(const_cast<void*>(static_cast<const void*>(&conversion)));
}

// A push writes a control only when its text differs, so an unchanged text raises no change.
template <typename Control> void setTextIfDifferent(Control* control, const QString& text) {
    if (control->text() != text) control->setText(text);
}

} // namespace

ConverterDialog::ConverterDialog(ConversionCatalog& catalog, Selection& selection,
                                 UiServices& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint),
      catalog_(catalog), selection_(selection), services_(services),
      mainIcon(pngIcon({":/velmora-16.png", ":/velmora-32.png"})) {
    setWindowTitle(QStringLiteral("Velmora"));
    setObjectName(QStringLiteral("converterDialog"));
    // exec() would make the window application-modal, blocking the help window; window-modal
    // without a parent blocks nothing else.
    setWindowModality(Qt::WindowModal);
    createMenu();
    createControls();
    setUpKeysAndNames();
    setUpAnnouncements();
}

void ConverterDialog::createMenu() {
    menuBar_ = new QMenuBar(this);
    struct Item {
        const char* menu;
        const char* text;
        const char* name;
        void (ConverterDialog::*handler)();
    };
    // An item that asks for more before it acts ends in dots.
    const Item items[] = {
        {"&File", "&Save...", "actionSave", &ConverterDialog::saveReport},
        {"&File", "&Print...", "actionPrint", &ConverterDialog::printReport},
        {"&File", nullptr, nullptr, nullptr},
        {"&File", "E&xit", "actionExit", &ConverterDialog::exitCommand},
        {"&Convert", "&Find Conversion...", "actionFind", &ConverterDialog::findConversion},
        {"&Convert", "&Copy to Clipboard", "actionCopy", &ConverterDialog::copyReport},
        {"&Convert", "Copy &Result", "actionCopyResult", &ConverterDialog::copyResult},
        {"&Convert", "S&wap From and To", "actionSwap", &ConverterDialog::swapUnits},
        {"&Convert", "&Precision...", "actionPrecision", &ConverterDialog::editPrecision},
        {"&Convert", "&Options...", "actionOptions", &ConverterDialog::editOptions},
        {"&Help", "&Contents", "actionContents", &ConverterDialog::openHelp},
        {"&Help", "&About", "actionAbout", &ConverterDialog::showAbout},
    };
    QMenu* menu = nullptr;
    for (const Item& item : items) {
        if (!menu || menu->title() != QLatin1String(item.menu)) {
            menu = menuBar_->addMenu(QString::fromLatin1(item.menu));
            menu->setObjectName(QString::fromLatin1(item.menu).remove('&').toLower() + "Menu");
        }
        if (!item.text) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromLatin1(item.text));
        action->setObjectName(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this, item.handler);
    }
}

void ConverterDialog::createControls() {
    const DialogUnits units(font());
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));

    auto place = [&](QWidget* widget, int id, const char* name, QRect unitsRect) {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(
            units.rect(unitsRect.x(), unitsRect.y(), unitsRect.width(), unitsRect.height()));
        controls_[id] = widget;
    };
    auto label = [&](int id, const char* name, const char* text, QRect rect,
                     Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
        // Every label is one line; a text wider than its label ends in an ellipsis.
        auto* widget = new ElidedLabel(QString::fromUtf8(text), client_);
        widget->setAlignment(alignment);
        // Unit labels come from the catalog and are shown as written, never as markup.
        widget->setTextFormat(Qt::PlainText);
        place(widget, id, name, rect);
        return widget;
    };
    auto list = [&](int id, const char* name, QRect rect) {
        auto* widget = new FocusAwareList(client_);
        widget->markKeyboardFocus();
        widget->setSelectionMode(QAbstractItemView::SingleSelection);
        // One line of text per item: a list of thousands of units is laid out without measuring
        // each one.
        widget->setUniformItemSizes(true);
        widget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        widget->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        // A unit stays chosen: Ctrl+click must not leave the list without a selection while a
        // conversion is current.
        connect(widget, &QListWidget::itemSelectionChanged, this, [widget] {
            if (widget->selectedItems().isEmpty() && widget->currentItem()) {
                const QSignalBlocker blocker(widget);
                widget->currentItem()->setSelected(true);
            }
        });
        place(widget, id, name, rect);
        return widget;
    };
    auto edit = [&](int id, const char* name, QRect rect) {
        auto* widget = new QLineEdit(client_);
        place(widget, id, name, rect);
        return widget;
    };
    auto picture = [&](int id, const char* name, const char* image, QPoint at) {
        auto* widget = new QLabel(client_);
        const QPixmap pixmap = readPng(QString::fromLatin1(image));
        widget->setPixmap(pixmap);
        place(widget, id, name, QRect(at, QSize(1, 1)));
        widget->resize(pixmap.size()); // a picture takes the size of its image
        return widget;
    };

    // Template order, which is also the keyboard focus order.
    label(FromCaption, "fromCaption", "From:", QRect(13, 72, 100, 8), Qt::AlignCenter);
    label(ToCaption, "toCaption", "To:", QRect(175, 72, 100, 8), Qt::AlignCenter);
    fromList_ = list(FromList, "fromList", QRect(13, 81, 150, 57));
    // Between the lists, the button that swaps them.
    auto* swapButton = new QPushButton(QStringLiteral("\u21C4"), client_);
    place(swapButton, SwapButton, "swapButton", QRect(164, 100, 14, 14));
    connect(swapButton, &QPushButton::clicked, this, &ConverterDialog::swapUnits);
    toList_ = list(ToList, "toList", QRect(179, 81, 150, 57));
    label(InputCaption, "inputCaption", "Input value to convert:", QRect(14, 160, 99, 8));
    inputField_ = edit(InputField, "inputField", QRect(14, 171, 102, 12));
    // The unit labels end before the picture begins.
    inputUnitLabelControl_ =
        label(InputUnitLabel, "inputUnitLabel", "Input", QRect(122, 173, 78, 8));
    label(ResultCaption, "resultCaption", "Conversion result:", QRect(14, 187, 99, 8));
    resultField_ = edit(ResultField, "resultField", QRect(14, 198, 102, 12));
    resultField_->setReadOnly(true);
    resultField_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(resultField_, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        const std::unique_ptr<QMenu> menu(createResultContextMenu());
        menu->exec(resultField_->mapToGlobal(at));
    });
    outputUnitLabelControl_ =
        label(OutputUnitLabel, "outputUnitLabel", "Output", QRect(122, 200, 78, 8));
    picture(Picture, "picture", ":/picture.png", QPoint(201, 143));
    // The banner spans the client area between equal margins, as tall as its artwork where the
    // room above the tabs allows.
    auto* banner = new BannerView(client_);
    place(banner, Banner, "banner", QRect(7, 3, 1, 1));
    banner->resize(units.x(clientWidth) - 2 * banner->x(),
                   std::min(banner->artSize().height(), units.y(56) - units.y(3) - units.y(2)));
    tabs_ = new TabStrip(client_);
    place(tabs_, Tabs, "tabs", QRect(5, 56, 333, 184));
    label(ContactLine, "contactLine",
          "Velmora 1.0.1 \xE2\x80\x94 questions and ideas: hello@velmora.example.com",
          QRect(42, 245, 262, 8), Qt::AlignCenter);

    // The tabs lie beneath everything that stands on their display area.
    tabs_->lower();
    banner->installEventFilter(this);
    // Ctrl+C is seen before any control handles it; the focus follows the template order.
    // The swap button comes last, so that the keys that reach the other controls stay as they
    // were; Ctrl+R swaps from anywhere.
    const QList<QWidget*> focusable{fromList_,    toList_, inputField_,
                                    resultField_, tabs_,   swapButton};
    for (qsizetype i = 0; i < focusable.size(); ++i) {
        focusable[i]->installEventFilter(this);
        if (i > 0) setTabOrder(focusable[i - 1], focusable[i]);
    }

    connect(tabs_, &TabStrip::currentChanged, this, &ConverterDialog::onTabChanged);
    connect(fromList_, &QListWidget::currentRowChanged, this, &ConverterDialog::onFromChanged);
    connect(toList_, &QListWidget::currentRowChanged, this, &ConverterDialog::onToChanged);
    connect(inputField_, &QLineEdit::textChanged, this, &ConverterDialog::recompute);
    connect(inputField_, &QLineEdit::selectionChanged, this,
            [this] { inputSelectedByFind_ = false; });

    const int menuHeight = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, units.x(clientWidth), menuHeight);
    client_->setGeometry(0, menuHeight, units.x(clientWidth), units.y(clientHeight));
    // The template's size is the smallest; more space goes to the lists, fields and tabs.
    setMinimumSize(units.x(clientWidth), menuHeight + units.y(clientHeight));
    resize(minimumSize());
}

bool ConverterDialog::OnInitDialog() {
    pushTexts();
    setWindowIcon(mainIcon);

    // A working folder that has gone away leaves the paths relative; the load then fails with
    // its message instead of ending the program.
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    appDirectory_ = error ? std::string() : (directory / "").string();
    dataPath_ = appDirectory_ + "conv.txt";
    helpPath_ = appDirectory_ + "help.chm";
    settingsPath_ = appDirectory_ + "conv.ini";
    windowSizePath_ = appDirectory_ + windowSizeFileName;

    controls_[Banner]->setCursor(Qt::PointingHandCursor);
    tabRowHeight_ = tabs_->rowHeight();
    catalogChanged_ = 0;
    tabRows_ = 1;
    precision_ = 1;

    ReadProblem problem = ReadProblem::None;
    const std::optional<bool> preloaded =
        preload_ ? preload_->take(dataPath_, catalog_, &problem) : std::optional<bool>();
    if (!(preloaded ? *preloaded : catalog_.load(dataPath_, &problem))) {
        // A file refused unread says why; the message is otherwise the one it always was.
        const std::string why = readFailureReason(problem, dataPath_, "conv.txt");
        showError(QStringLiteral("Unable to load conversion data.") +
                  QString::fromStdString(why.empty() ? why : " " + why + "."));
        return false;
    }
    readSettings();
#ifdef __GLIBC__
    // What the load used for a while (the lookups of its labels) goes back to the system.
    malloc_trim(0);
#endif
    fillTabsAndSelectFirst();
    restoreSize();
    fromList_->setFocus();
    return true;
}

void ConverterDialog::fillTabsAndSelectFirst() {
    foldExtraSpace();
    fillTabs();
    fitTabRowsToScreen();
    adjustForTabRows();
    baseTabRows_ = tabs_->shownRowCount();
    spreadExtraSpace();
    placeOnScreen();
    selectCategory();
    fillFromList();
    fillToList();
    selectConversion();
    // No recompute: the result keeps its text until the next event that computes.
    updateUnitLabels();
}

void ConverterDialog::OnClose() {
    if (closed_) return;
    closed_ = true;
    if (catalogChanged_) {
        const WriteResult saved = catalog_.saveKeepingDiskEdits(dataPath_);
        if (!saved)
            showError(QStringLiteral("Unable to save conversion data.") +
                      QString::fromStdString(damageNote(saved, "conv.txt")));
    }
    if (!writeSettings()) showError(QStringLiteral("Unable to save conversion settings."));
    keepSize();
}

void ConverterDialog::exitCommand() {
    pullTexts();
    OnClose();
    done(QDialog::Accepted);
}

void ConverterDialog::closeEvent(QCloseEvent* event) {
    OnClose();
    event->accept();
    done(QDialog::Rejected);
}

void ConverterDialog::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape must neither press a button nor end the window.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool ConverterDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == controls_[Banner]) {
        const auto type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) return false;
        // A left click: pressed and released on the banner.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return false;
        if (type == QEvent::MouseButtonPress) {
            bannerPressed_ = true;
        } else {
            const bool clicked =
                bannerPressed_ && controls_[Banner]->rect().contains(mouse->position().toPoint());
            bannerPressed_ = false;
            if (clicked) openVendorSite();
        }
        return false;
    }
    if (event->type() == QEvent::FocusIn && (watched == inputField_ || watched == resultField_)) {
        // A field reached by Tab selects its text as it takes the keyboard, before the toolkit
        // tells of the focus; a screen reader then follows the caret silently and never says
        // where the keyboard went. The field takes it plainly and selects its text just after.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::ShortcutFocusReason) {
            auto* field = static_cast<QLineEdit*>(watched);
            QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
            QCoreApplication::sendEvent(field, &plain);
            QMetaObject::invokeMethod(
                field,
                [field] {
                    if (field->hasFocus() && !field->hasSelectedText()) field->selectAll();
                },
                Qt::QueuedConnection);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_C && key->modifiers() == Qt::ControlModifier) {
            copyReport();
            // Find selected the input for typing over, not for copying.
            if (watched == inputField_ && inputSelectedByFind_) return true;
            // A text field goes on to copy its own selection; a list would copy its item.
            return qobject_cast<QListWidget*>(watched) != nullptr;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ConverterDialog::showError(const QString& text) {
    services_.showMessage(this, UiServices::Icon::Error, QStringLiteral("Error"), text);
}

QWidget* ConverterDialog::control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

void ConverterDialog::pullTexts() {
    inputUnitLabel = inputUnitLabelControl_->text();
    outputUnitLabel = outputUnitLabelControl_->text();
    inputText = inputField_->text();
    resultText = resultField_->text();
}

void ConverterDialog::pushTexts() {
    setTextIfDifferent(inputUnitLabelControl_, inputUnitLabel);
    setTextIfDifferent(outputUnitLabelControl_, outputUnitLabel);
    setTextIfDifferent(inputField_, inputText);
    if (resultField_->text() != resultText) {
        resultField_->setText(resultText);
        // A number is read from its start: a long one shows its leading digits.
        resultField_->setCursorPosition(0);
    }
}

QMenu* ConverterDialog::createResultContextMenu() {
    QMenu* menu = resultField_->createStandardContextMenu();
    menu->addSeparator();
    QAction* copyExact = menu->addAction(QStringLiteral("Copy Exact Value"));
    copyExact->setObjectName(QStringLiteral("actionCopyExactValue"));
    copyExact->setEnabled(!exactResult_.isEmpty());
    connect(copyExact, &QAction::triggered, this,
            [this] { QApplication::clipboard()->setText(exactResult_); });
    return menu;
}

void ConverterDialog::markUnreadInput(const QString& note) {
    if (note == inputField_->toolTip()) return;
    QPalette palette = client_->palette();
    if (!note.isEmpty()) {
        // Amber mixed into the theme's own field colour, with the theme's text made readable on
        // it, light or dark.
        const QColor tint =
            mixedColour(palette.color(QPalette::Base), QColor(240, 165, 0), 7.0 / 20.0);
        palette.setColor(QPalette::Base, tint);
        palette.setColor(QPalette::Text, readableOn(palette.color(QPalette::Text), tint));
    }
    inputField_->setPalette(palette);
    inputField_->setToolTip(note);
}

// Selection logic. Every selection the program makes is silent: only the user's raise events.

void ConverterDialog::fillTabs() {
    const QSignalBlocker blocker(tabs_);
    tabCategories_ = visibleCategories(catalog_);
    for (const Category* category : tabCategories_)
        tabs_->addTab(display(category->name()));
    tabs_->setCurrentIndex(0);
}

void ConverterDialog::clearTabs() {
    const QSignalBlocker blocker(tabs_);
    tabs_->clear();
}

void ConverterDialog::selectCategory() {
    // The categories of the tabs were listed when the tabs were filled: a tab change looks its
    // category up instead of walking the catalog.
    const int tab = tabs_->currentIndex();
    selection_.currentCategory = tab >= 0 && tab < static_cast<int>(tabCategories_.size())
                                     ? tabCategories_[static_cast<std::size_t>(tab)]
                                     : nullptr;
}

void ConverterDialog::fillFromList() {
    const QSignalBlocker blocker(fromList_);
    fromList_->clear();
    if (!selection_.currentCategory) return;
    // Each item gets its datum before it joins the list, so that no change is announced per item.
    for (const FromListEntry& entry : fromListEntries(*selection_.currentCategory)) {
        auto* item = new QListWidgetItem(display(entry.label));
        item->setData(Qt::UserRole, entry.group);
        fromList_->addItem(item);
    }
    if (fromList_->count() > 0) fromList_->setCurrentRow(0);
}

void ConverterDialog::fillToList() {
    const QSignalBlocker blocker(toList_);
    toList_->clear();
    if (!selection_.currentCategory) return;
    const QListWidgetItem* from = fromList_->currentItem();
    const int group = from ? from->data(Qt::UserRole).toInt() : -1;
    for (const Conversion* conversion : toListEntries(*selection_.currentCategory, group)) {
        auto* item = new QListWidgetItem(display(conversion->toUnit()));
        item->setData(Qt::UserRole, itemData(*conversion));
        toList_->addItem(item);
    }
    if (toList_->count() > 0) toList_->setCurrentRow(0);
}

void ConverterDialog::selectConversion() {
    const QListWidgetItem* item = toList_->currentItem();
    selection_.currentConversion =
        item ? static_cast<const Conversion*>(item->data(Qt::UserRole).value<void*>()) : nullptr;
}

void ConverterDialog::updateUnitLabels() {
    if (!selection_.currentConversion) return;
    setUnitLabelTexts();
    pushTexts();
    nameFieldsAfterUnits();
}

void ConverterDialog::recompute() {
    // Pulled first, even with nothing to compute, so that a later push keeps what was typed.
    pullTexts();
    // The locale decides whether "1,5" is a decimal; the numbers themselves never depend on it.
    const char separator = QLocale().decimalPoint() == QStringLiteral(",") ? ',' : '.';
    if (!selection_.currentConversion) {
        markUnreadInput(
            QString::fromStdString(unreadInputNote(inputText.toStdString(), separator)));
        return describeInput(QString());
    }
    const Conversion& conversion = *selection_.currentConversion;
    const ResultTexts texts =
        computeResultTexts(conversion, inputText.toStdString(), precision_,
                           {separator, selection_.currentCategory, &unitNames()});
    markUnreadInput(QString::fromStdString(texts.note));
    resultText = QString::fromStdString(texts.shown);
    inputReadAs_ = QString::fromStdString(texts.readAs);
    resultTwoPart_ = QString::fromStdString(texts.twoPart);
    setUnitLabelTexts();
    const QString unit = display(conversion.toUnit());
    exactResult_ = texts.exact.empty()
                       ? QString()
                       : QString::fromStdString(texts.exact) + QLatin1Char(' ') + unit;
    resultField_->setToolTip(exactResult_);
    pushTexts();
    describeInput(resultText.isEmpty() ? QString() : resultText + QLatin1Char(' ') + unit);
    // Said once typing pauses, not once a key.
    if (inputField_->hasFocus()) resultPause_->start();
}

void ConverterDialog::setUnitLabelTexts() {
    const Conversion& conversion = *selection_.currentConversion;
    inputUnitLabel = QString::fromStdString(unitLabelWithExtra(
        toDisplayText(conversion.fromUnit()), inputReadAs_.toStdString()));
    outputUnitLabel = QString::fromStdString(unitLabelWithExtra(
        toDisplayText(conversion.toUnit()), resultTwoPart_.toStdString()));
}

const UnitNames& ConverterDialog::unitNames() {
    if (!unitNames_)
        unitNames_ = std::make_shared<const UnitNames>(readUnitNames(appDirectory_ + "names.txt"));
    return *unitNames_;
}

// What a click on a tab, a From entry and a To entry sets going.

void ConverterDialog::onTabChanged() {
    selectCategory();
    fillFromList();
    fillToList();
    selectConversion();
    recompute();
    updateUnitLabels();
    announceCategory();
}

void ConverterDialog::onFromChanged() {
    fillToList();
    selectConversion();
    recompute();
    updateUnitLabels();
}

void ConverterDialog::onToChanged() {
    selectConversion();
    recompute();
    updateUnitLabels();
}

void ConverterDialog::showConversion(int tab, const Conversion& conversion) {
    // The steps of the user's clicks: the tab selected as a click selects it, and rows made
    // current the way a click makes them; each raises its signal when the selection moves.
    tabs_->selectByUser(tab);
    auto choose = [](QListWidget* list, const QVariant& data) {
        for (int row = 0; row < list->count(); ++row)
            if (list->item(row)->data(Qt::UserRole) == data) return list->setCurrentRow(row);
    };
    choose(fromList_, conversion.fromGroup());
    choose(toList_, itemData(conversion));
    // Computed even when every entry was already the current one.
    recompute();
    updateUnitLabels();
    inputField_->setFocus(Qt::OtherFocusReason);
    inputField_->selectAll();
}

// Tab-row layout.

void ConverterDialog::fitTabRowsToScreen() {
    const QScreen* screen = this->screen();
    if (!screen) return;
    // The frame is known once the window is shown; before that a title bar and borders are
    // allowed for.
    const int frame = isVisible() ? frameGeometry().height() - height()
                                  : style()->pixelMetric(QStyle::PM_TitleBarHeight) +
                                        2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int heightWithOneRow = minimumHeight() + (1 - tabRows_) * tabRowHeight_ + frame;
    tabs_->setMaxShownRows(
        tabRowsThatFit(heightWithOneRow, tabRowHeight_, screen->availableGeometry().height()));
}

void ConverterDialog::placeOnScreen() {
    const QScreen* screen = this->screen();
    if (!screen || !isVisible()) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    const QPoint start(startWithin(frame.x(), frame.width(), area.x(), area.width()),
                       startWithin(frame.y(), frame.height(), area.y(), area.height()));
    if (start != frame.topLeft()) move(pos() + start - frame.topLeft());
}

void ConverterDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    placeOnScreen();
}

void ConverterDialog::adjustForTabRows() {
    // The rows shown: more scroll within the tab strip.
    const int rows = tabs_->shownRowCount();
    if (rows == tabRows_) return;
    const int d = (rows - tabRows_) * tabRowHeight_;
    growWindow(this, d);
    growWindow(tabs_, d);
    for (int id : controlsBelowTabs)
        moveControlDown(id, d);
}

void ConverterDialog::growWindow(QWidget* window, int d) {
    if (window == this) {
        // A larger minimum resizes the window by itself: the target is taken before.
        const int target = height() + d;
        setMinimumSize(minimumWidth(), minimumHeight() + d);
        resize(width(), target);
        fitClient();
    } else {
        window->resize(window->width(), window->height() + d);
    }
}

void ConverterDialog::moveControlDown(int id, int d) {
    if (QWidget* widget = control(id)) widget->move(widget->x(), widget->y() + d);
}

// A window that grows.

void ConverterDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    fitClient();
    if (!folded_) spreadExtraSpace();
}

void ConverterDialog::fitClient() {
    menuBar_->setGeometry(0, 0, width(), menuBar_->height());
    client_->setGeometry(0, menuBar_->height(), width(), height() - menuBar_->height());
}

void ConverterDialog::foldExtraSpace() {
    applyExtraSpace(extra_, ExtraSpace{});
    extra_ = ExtraSpace{};
    folded_ = true;
}

void ConverterDialog::spreadExtraSpace() {
    folded_ = false;
    ExtraSpace to = extra_;
    to.dx = std::max(0, width() - minimumWidth());
    to.dy = std::max(0, height() - minimumHeight());
    // The widths first: the rows the wider strip needs depend on them.
    applyExtraSpace(extra_, to);
    extra_ = to;
    to.lift = std::max(0, baseTabRows_ - tabs_->shownRowCount()) * tabRowHeight_;
    applyExtraSpace(extra_, to);
    extra_ = to;
}

void ConverterDialog::applyExtraSpace(ExtraSpace from, ExtraSpace to) {
    const int dx = to.dx - from.dx;
    const int dy = to.dy - from.dy;
    const int lift = to.lift - from.lift;
    if (dx == 0 && dy == 0 && lift == 0) return;
    // The left list and the fields take half the width, the right list the other half; the
    // unit labels keep their place after the fields, the picture its place at the right.
    const int half = to.dx / 2 - from.dx / 2;
    const int rest = dx - half;
    const struct {
        int id, x, y, width, height;
    } changes[] = {
        {Banner, 0, 0, dx, 0},
        {Tabs, 0, 0, dx, dy},
        {FromCaption, 0, -lift, 0, 0},
        {ToCaption, half, -lift, 0, 0},
        {FromList, 0, -lift, half, dy + lift},
        {ToList, half, -lift, rest, dy + lift},
        {InputCaption, 0, dy, 0, 0},
        {InputField, 0, dy, half, 0},
        {InputUnitLabel, half, dy, rest, 0},
        {ResultCaption, 0, dy, 0, 0},
        {ResultField, 0, dy, half, 0},
        {OutputUnitLabel, half, dy, rest, 0},
        {Picture, dx, dy, 0, 0},
        {ContactLine, 0, dy, dx, 0},
    };
    for (const auto& change : changes)
        if (QWidget* widget = control(change.id))
            widget->setGeometry(widget->x() + change.x, widget->y() + change.y,
                                widget->width() + change.width, widget->height() + change.height);
}

void ConverterDialog::restoreSize() {
    const std::optional<WindowSize> kept = readWindowSize(windowSizePath_);
    const QScreen* screen = this->screen();
    if (!kept || !screen) return;
    // The frame is not known before the window is shown: a title bar and borders are allowed for.
    const int border = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const QRect area = screen->availableGeometry();
    resize(lengthWithin(kept->width, minimumWidth(), area.width() - border),
           lengthWithin(kept->height, minimumHeight(),
                        area.height() - border - style()->pixelMetric(QStyle::PM_TitleBarHeight)));
    fitClient();
    spreadExtraSpace();
}

void ConverterDialog::keepSize() {
    const QSize size = isMaximized() || isFullScreen() ? normalGeometry().size() : this->size();
    // A window never resized leaves no file behind; one that was keeps its size up to date.
    std::error_code error;
    if (size == minimumSize() && !std::filesystem::exists(windowSizePath_, error)) return;
    // The size is a convenience: a folder that cannot keep it costs only the size next time.
    writeWindowSize(windowSizePath_, WindowSize{size.width(), size.height()});
}

// Settings file.

bool ConverterDialog::readSettings() {
    return ::readSettings(settingsPath_, precision_);
}

bool ConverterDialog::writeSettings() {
    return ::writeSettings(settingsPath_, precision_);
}

// Links.

void ConverterDialog::openVendorSite() {
    services_.openUrl(QUrl(QString::fromLatin1(vendorSite)));
}

void ConverterDialog::openSecondSite() {
    services_.openUrl(QUrl(QString::fromLatin1(secondSite)));
}
