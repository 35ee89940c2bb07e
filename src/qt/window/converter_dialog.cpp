#include "qt/window/converter_dialog.h"

#include "converter/window_colours.h"
#include "converter/window_fit.h"
#include "converter/window_layout.h"
#include "product.h"
#include "qt/help/help_window.h"
#include "qt/services/ui_services.h"
#include "qt/widgets/banner_view.h"
#include "qt/widgets/dialog_units.h"
#include "qt/widgets/elided_label.h"
#include "qt/widgets/focus_aware_list.h"
#include "qt/widgets/png_image.h"
#include "qt/widgets/readable_colours.h"
#include "qt/widgets/result_delegate.h"
#include "qt/widgets/tab_strip.h"
#include "settings/settings_file.h"

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
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <filesystem>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <memory>
#include <optional>

const char* const ConverterDialog::vendorSite = VELMORA_VENDOR_SITE;
const char* const ConverterDialog::secondSite = VELMORA_SECOND_SITE;

namespace {

QString fromModel(const std::string& text) {
    return QString::fromStdString(text);
}

// A control is written only when its text differs, so an unchanged text raises no change.
template <typename Control> void setTextIfDifferent(Control* control, const QString& text) {
    if (control->text() != text) control->setText(text);
}

} // namespace

ConverterDialog::ConverterDialog(ConversionCatalog& catalog, UiServices& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint),
      catalog_(catalog), model_(catalog), services_(services),
      mainIcon(pngIcon({":/velmora-16.png", ":/velmora-32.png"})) {
    setWindowTitle(QStringLiteral("Velmora"));
    setObjectName(QStringLiteral("converterDialog"));
    // exec() would make the window application-modal, blocking the help window; window-modal
    // without a parent blocks nothing else.
    setWindowModality(Qt::WindowModal);
    createMenu();
    createKeptMenus();
    createControls();
    placeSwapButton();
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
        {"&Convert", "Copy &Exact Value", "actionCopyExact", &ConverterDialog::copyExactValue},
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
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    // Template order, which is also the keyboard focus order.
    addLabel(IDC_FROM_CAPTION, "fromCaption", "From:", windowLayout::fromCaption, Qt::AlignCenter);
    addLabel(IDC_TO_CAPTION, "toCaption", "To:", windowLayout::toCaption, Qt::AlignCenter);
    fromList_ = addList(IDC_FROM_LIST, "fromList", windowLayout::fromList);
    // Between the lists, the button that swaps them.
    auto* swapButton = new QPushButton(QStringLiteral("\u21C4"), client_);
    place(swapButton, IDC_SWAP, "swapButton", windowLayout::swapButton);
    toList_ = addList(IDC_TO_LIST, "toList", windowLayout::toList);
    toList_->setItemDelegate(new ResultDelegate(
        [this](int row) { return fromModel(model_.toResultText(row)); }, toList_));
    // Rows scrolled into view get their names with their results.
    connect(toList_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ConverterDialog::showToResults);
    addLabel(IDC_INPUT_CAPTION, "inputCaption",
             "Input value to convert:", windowLayout::inputCaption);
    inputField_ = addEdit(IDC_INPUT, "inputField", windowLayout::input);
    inputUnitLabelControl_ =
        addLabel(IDC_INPUT_UNIT, "inputUnitLabel", "Input", windowLayout::inputUnit);
    addLabel(IDC_RESULT_CAPTION, "resultCaption",
             "Conversion result:", windowLayout::resultCaption);
    resultField_ = addEdit(IDC_RESULT, "resultField", windowLayout::result);
    resultField_->setReadOnly(true);
    outputUnitLabelControl_ =
        addLabel(IDC_OUTPUT_UNIT, "outputUnitLabel", "Output", windowLayout::outputUnit);
    // The result in two parts, and the units the input was read in, each on a line of its own.
    resultDetail_ = addLabel(IDC_RESULT_DETAIL, "resultDetail", "", windowLayout::resultDetail);
    inputDetail_ = addLabel(IDC_INPUT_DETAIL, "inputDetail", "", windowLayout::inputDetail);
    addPicture();
    addBanner();
    tabs_ = new TabStrip(client_);
    place(tabs_, IDC_TABS, "tabs", windowLayout::tabs);
    addLabel(IDC_CONTACT, "contactLine", VELMORA_CONTACT_LINE, windowLayout::contact,
             Qt::AlignCenter);
    // The tabs lie beneath everything that stands on their display area.
    tabs_->lower();
    connectControls();
    sizeToTemplate();
}

QWidget* ConverterDialog::place(QWidget* widget, int id, const char* name, DialogRect rect) {
    const DialogUnits units(font());
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(units.rect(rect.x, rect.y, rect.width, rect.height));
    controls_[id] = widget;
    return widget;
}

ElidedLabel* ConverterDialog::addLabel(int id, const char* name, const char* text, DialogRect rect,
                                       Qt::Alignment alignment) {
    // Every label is one line; a text wider than its label ends in an ellipsis.
    auto* label = new ElidedLabel(QString::fromUtf8(text), client_);
    label->setAlignment(alignment);
    // Unit labels come from the catalog and are shown as written, never as markup.
    label->setTextFormat(Qt::PlainText);
    place(label, id, name, rect);
    return label;
}

FocusAwareList* ConverterDialog::addList(int id, const char* name, DialogRect rect) {
    auto* list = new FocusAwareList(client_);
    list->markKeyboardFocus();
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    // One line of text per item: a list of thousands of units is laid out without measuring
    // each one.
    list->setUniformItemSizes(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A unit stays chosen: Ctrl+click must not leave the list without a selection while a
    // conversion is current.
    connect(list, &QListWidget::itemSelectionChanged, this, [list] {
        if (list->selectedItems().isEmpty() && list->currentItem()) {
            const QSignalBlocker blocker(list);
            list->currentItem()->setSelected(true);
        }
    });
    place(list, id, name, rect);
    return list;
}

QLineEdit* ConverterDialog::addEdit(int id, const char* name, DialogRect rect) {
    auto* edit = new QLineEdit(client_);
    place(edit, id, name, rect);
    return edit;
}

void ConverterDialog::addPicture() {
    auto* picture = new QLabel(client_);
    const QPixmap pixmap = readPng(QStringLiteral(":/picture.png"));
    picture->setPixmap(pixmap);
    place(picture, IDC_PICTURE, "picture", windowLayout::picture);
    picture->resize(pixmap.size()); // a picture takes the size of its image
}

void ConverterDialog::addBanner() {
    // The banner spans the client area between equal margins, as tall as its artwork where the
    // room above the tabs allows.
    const DialogUnits units(font());
    auto* banner = new BannerView(client_);
    place(banner, IDC_BANNER, "banner", windowLayout::banner);
    const int roomAbove =
        units.y(windowLayout::tabs.y) - units.y(windowLayout::banner.y) - units.y(2);
    banner->resize(units.x(CONVERTER_CLIENT_WIDTH) - 2 * banner->x(),
                   std::min(banner->artSize().height(), roomAbove));
    banner->installEventFilter(this);
}

void ConverterDialog::connectControls() {
    // Ctrl+C is seen before any control handles it; the focus follows the template order.
    // The swap button comes last, so that the keys that reach the other controls stay as they
    // were; Ctrl+R swaps from anywhere.
    const QList<QWidget*> focusable{fromList_,    toList_, inputField_,
                                    resultField_, tabs_,   control(IDC_SWAP)};
    for (qsizetype i = 0; i < focusable.size(); ++i) {
        focusable[i]->installEventFilter(this);
        if (i > 0) setTabOrder(focusable[i - 1], focusable[i]);
    }
    connect(static_cast<QPushButton*>(control(IDC_SWAP)), &QPushButton::clicked, this,
            &ConverterDialog::swapUnits);
    resultField_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(resultField_, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        const std::unique_ptr<QMenu> menu(createResultContextMenu());
        menu->exec(resultField_->mapToGlobal(at));
    });
    connect(tabs_, &TabStrip::currentChanged, this, &ConverterDialog::onTabChanged);
    connect(fromList_, &QListWidget::currentRowChanged, this, &ConverterDialog::onFromChanged);
    connect(toList_, &QListWidget::currentRowChanged, this, &ConverterDialog::onToChanged);
    connect(inputField_, &QLineEdit::textChanged, this, &ConverterDialog::onInputChanged);
    connect(inputField_, &QLineEdit::selectionChanged, this,
            [this] { inputSelectedByFind_ = false; });
}

void ConverterDialog::sizeToTemplate() {
    const DialogUnits units(font());
    const int width = units.x(CONVERTER_CLIENT_WIDTH);
    const int menuHeight = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, width, menuHeight);
    client_->setGeometry(0, menuHeight, width, units.y(CONVERTER_CLIENT_HEIGHT));
    // The template's size is the smallest; more space goes to the lists, fields and tabs.
    setMinimumSize(width, menuHeight + units.y(CONVERTER_CLIENT_HEIGHT));
    resize(minimumSize());
}

bool ConverterDialog::start() {
    syncView();
    setWindowIcon(mainIcon);

    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    controls_[IDC_BANNER]->setCursor(Qt::PointingHandCursor);
    model_.setTabRowHeight(tabs_->rowHeight());
    // The locale decides whether "1,5" is a decimal, and whether a no-break space groups
    // thousands; the numbers themselves never depend on it.
    const QLocale locale;
    NumberFormat format(locale.decimalPoint() == QStringLiteral(",") ? ',' : '.');
    format.spaceGroups = locale.groupSeparator() == QString(QChar(0x00A0)) ||
                         locale.groupSeparator() == QString(QChar(0x202F));
    model_.setNumberFormat(format);
    if (const Status started = model_.start(error ? std::filesystem::path() : directory, preload_);
        !started) {
        showError(fromModel(started.why()));
        return false;
    }
    windowSizePath_ = model_.windowSizePath();
#ifdef __GLIBC__
    // What the load used for a while (the lookups of its labels) goes back to the system.
    malloc_trim(0);
#endif
    fillTabsAndSelectFirst();
    restoreSize();
    applyAlwaysOnTop();
    fromList_->setFocus();
    return true;
}

void ConverterDialog::fillTabsAndSelectFirst() {
    foldExtraSpace();
    clearTabs();
    fillTabs();
    fitTabRowsToScreen();
    adjustForTabRows();
    baseTabRows_ = tabs_->shownRowCount();
    spreadExtraSpace();
    placeOnScreen();
    syncView();
}

void ConverterDialog::saveOnClose() {
    if (closed_) return;
    closed_ = true;
    for (const Status& step : model_.close())
        if (!step) showError(fromModel(step.why()));
    keepSize();
}

void ConverterDialog::exitCommand() {
    saveOnClose();
    done(QDialog::Accepted);
}

void ConverterDialog::closeEvent(QCloseEvent* event) {
    saveOnClose();
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
    if (watched == controls_[IDC_BANNER]) {
        const auto type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) return false;
        // A left click: pressed and released on the banner.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return false;
        if (type == QEvent::MouseButtonPress) {
            bannerPressed_ = true;
        } else {
            const bool clicked = bannerPressed_ && controls_[IDC_BANNER]->rect().contains(
                                                       mouse->position().toPoint());
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
            // Keys typed before the queued call runs (a busy machine, a fast typist) went in as
            // typing, not over a selection: their text is left unselected.
            QMetaObject::invokeMethod(
                field,
                [field, before = field->text()] {
                    if (field->hasFocus() && !field->hasSelectedText() && field->text() == before)
                        field->selectAll();
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

QMenu* ConverterDialog::createResultContextMenu() {
    QMenu* menu = resultField_->createStandardContextMenu();
    menu->addSeparator();
    QAction* copyExact = menu->addAction(QStringLiteral("Copy Exact Value"));
    copyExact->setObjectName(QStringLiteral("actionCopyExactValue"));
    copyExact->setEnabled(!model_.exactResult().empty());
    connect(copyExact, &QAction::triggered, this, &ConverterDialog::copyExactValue);
    return menu;
}

void ConverterDialog::markUnreadInput(const QString& note) {
    if (note == inputField_->toolTip()) return;
    QPalette palette = client_->palette();
    if (!note.isEmpty()) {
        const DrawColours tint = unreadInputColours(rgbOf(palette.color(QPalette::Base)),
                                                    rgbOf(palette.color(QPalette::Text)));
        palette.setColor(QPalette::Base, colourOf(tint.background));
        palette.setColor(QPalette::Text, colourOf(tint.text));
    }
    inputField_->setPalette(palette);
    inputField_->setToolTip(note);
}

// The view of the model. Every selection the program makes is silent: only the user's raise
// events.

void ConverterDialog::clearTabs() {
    const QSignalBlocker blocker(tabs_);
    tabs_->clear();
}

void ConverterDialog::fillTabs() {
    const QSignalBlocker blocker(tabs_);
    for (int tab = 0; tab < model_.tabCount(); ++tab)
        tabs_->addTab(fromModel(model_.tabText(tab)));
    tabs_->setCurrentIndex(0);
    tabsShown_ = model_.tabsRevision();
}

void ConverterDialog::fillFromList() {
    const QSignalBlocker blocker(fromList_);
    fromList_->clear();
    for (int row = 0; row < model_.fromCount(); ++row)
        fromList_->addItem(fromModel(model_.fromText(row)));
    if (fromList_->count() > 0) fromList_->setCurrentRow(0);
    fromShown_ = model_.fromRevision();
}

void ConverterDialog::fillToList() {
    const QSignalBlocker blocker(toList_);
    toList_->clear();
    for (int row = 0; row < model_.toCount(); ++row)
        toList_->addItem(fromModel(model_.toText(row)));
    if (toList_->count() > 0) toList_->setCurrentRow(0);
    toShown_ = model_.toRevision();
}

void ConverterDialog::showToResults() {
    toList_->viewport()->update();
    // What is seen is heard: the rows in view, and the current one, are named with their results.
    const QModelIndex top = toList_->indexAt(QPoint(0, 0));
    const QModelIndex bottom = toList_->indexAt(QPoint(0, toList_->viewport()->height() - 1));
    const int first = top.isValid() ? top.row() : 0;
    const int last = bottom.isValid() ? bottom.row() : toList_->count() - 1;
    const auto name = [this](int row) {
        if (QListWidgetItem* item = toList_->item(row)) {
            const QString text = fromModel(model_.toRowName(row));
            if (item->data(Qt::AccessibleTextRole).toString() != text)
                item->setData(Qt::AccessibleTextRole, text);
        }
    };
    for (int row = first; row <= last && row < toList_->count(); ++row)
        name(row);
    name(toList_->currentRow());
}

void ConverterDialog::syncView() {
    if (tabsShown_ != model_.tabsRevision()) {
        clearTabs();
        fillTabs();
    }
    if (model_.selectedTab() >= 0 && tabs_->currentIndex() != model_.selectedTab()) {
        const QSignalBlocker blocker(tabs_);
        tabs_->setCurrentIndex(model_.selectedTab());
    }
    if (fromShown_ != model_.fromRevision()) fillFromList();
    if (toShown_ != model_.toRevision()) fillToList();
    for (const auto& [list, row] :
         {std::pair(fromList_, model_.selectedFrom()), std::pair(toList_, model_.selectedTo())})
        if (list->currentRow() != row) {
            const QSignalBlocker blocker(list);
            list->setCurrentRow(row);
        }

    setTextIfDifferent(inputUnitLabelControl_, fromModel(model_.inputUnitLabel()));
    setTextIfDifferent(outputUnitLabelControl_, fromModel(model_.outputUnitLabel()));
    {
        const QSignalBlocker blocker(inputField_);
        setTextIfDifferent(inputField_, fromModel(model_.inputText()));
    }
    const QString result = fromModel(model_.resultText());
    if (resultField_->text() != result) {
        resultField_->setText(result);
        // A number is read from its start: a long one shows its leading digits.
        resultField_->setCursorPosition(0);
    }
    resultField_->setToolTip(exactResult());
    for (const auto& [label, text] : {std::pair(resultDetail_, model_.resultDetail()),
                                      std::pair(inputDetail_, model_.inputDetail())}) {
        setTextIfDifferent(label, fromModel(text));
        label->setAccessibleName(fromModel(text));
        // An empty line is nothing to see or hear.
        label->setVisible(!text.empty());
    }
    // A screen reader on the result hears its two parts too.
    if (resultField_->accessibleDescription() != resultDetail_->text())
        resultField_->setAccessibleDescription(resultDetail_->text());
    markUnreadInput(fromModel(model_.unreadInputNote()));
    showToResults();
    describeInput();
    if (model_.currentConversion()) nameFieldsAfterUnits();
}

void ConverterDialog::resultComputed() {
    // Said once typing pauses, not once a key.
    if (model_.currentConversion() && inputField_->hasFocus()) resultPause_->start();
}

// What a click on a tab, a From entry and a To entry, and typing, set going.

void ConverterDialog::onTabChanged(int tab) {
    model_.onTabChanged(tab);
    syncView();
    resultComputed();
    announceCategory();
}

void ConverterDialog::onFromChanged(int row) {
    model_.onFromChanged(row);
    syncView();
    resultComputed();
}

void ConverterDialog::onToChanged(int row) {
    model_.onToChanged(row);
    syncView();
    resultComputed();
}

void ConverterDialog::onInputChanged(const QString& text) {
    model_.onInputChanged(text.toStdString());
    syncView();
    resultComputed();
}

void ConverterDialog::showConversion(int tab, const Conversion& conversion, const QString& value) {
    const bool tabMoves = tab != model_.selectedTab();
    model_.showConversion(tab, conversion, value.toStdString());
    syncView();
    resultComputed();
    if (tabMoves) announceCategory();
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
    const int heightWithOneRow = minimumHeight() + model_.tabRowShift(1) + frame;
    tabs_->setMaxShownRows(tabRowsThatFit(heightWithOneRow, model_.tabRowHeight(),
                                          screen->availableGeometry().height()));
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
    const int d = model_.tabRowShift(tabs_->shownRowCount());
    if (d == 0) return;
    growWindow(this, d);
    growWindow(tabs_, d);
    for (int id : controlsBelowTabs)
        moveControlDown(id, d);
    placeSwapButton();
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
    if (!extraSpace_.folded()) spreadExtraSpace();
}

void ConverterDialog::fitClient() {
    menuBar_->setGeometry(0, 0, width(), menuBar_->height());
    client_->setGeometry(0, menuBar_->height(), width(), height() - menuBar_->height());
}

void ConverterDialog::foldExtraSpace() {
    applyExtraSpace(extraSpace_.fold());
}

void ConverterDialog::spreadExtraSpace() {
    applyExtraSpace(extraSpace_.spread(width() - minimumWidth(), height() - minimumHeight()));
    applyExtraSpace(
        extraSpace_.liftRows(baseTabRows_ - tabs_->shownRowCount(), model_.tabRowHeight()));
}

void ConverterDialog::applyExtraSpace(const std::vector<ControlChange>& changes) {
    for (const ControlChange& change : changes)
        if (QWidget* widget = control(change.id))
            widget->setGeometry(widget->x() + change.dx, widget->y() + change.dy,
                                widget->width() + change.dWidth, widget->height() + change.dHeight);
    placeSwapButton();
}

void ConverterDialog::placeSwapButton() {
    QWidget* button = control(IDC_SWAP);
    const auto pixels = [](const QRect& rect) {
        return PixelRect{rect.left(), rect.top(), rect.left() + rect.width(),
                         rect.top() + rect.height()};
    };
    const PixelPoint at = swapButtonAt(pixels(fromList_->geometry()), pixels(toList_->geometry()),
                                       button->width(), button->height());
    button->move(at.x, at.y);
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
    if (kept->maximised) setWindowState(windowState() | Qt::WindowMaximized);
}

void ConverterDialog::keepSize() {
    const QSize size = isMaximized() || isFullScreen() ? normalGeometry().size() : this->size();
    // A window never resized leaves no file behind; one that was keeps its size up to date.
    std::error_code error;
    if (size == minimumSize() && !isMaximized() && !std::filesystem::exists(windowSizePath_, error))
        return;
    // The size is a convenience: a folder that cannot keep it costs only the size next time.
    writeWindowSize(windowSizePath_, WindowSize{size.width(), size.height(), isMaximized()});
}

// Links.

void ConverterDialog::openVendorSite() {
    services_.openUrl(QUrl(QString::fromLatin1(vendorSite)));
}

void ConverterDialog::openSecondSite() {
    services_.openUrl(QUrl(QString::fromLatin1(secondSite)));
}
