#include "qt/help/help_window.h"

#include "chm/help_file.h"
#include "help/help_contents.h"
#include "help/help_pages.h"
#include "qt/help/page_limits.h"
#include "qt/services/ui_services.h"
#include "qt/widgets/focus_aware_list.h"
#include "qt/widgets/png_image.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

const char* const HelpWindow::damagedText = "The help file is damaged.";
const char* const HelpWindow::unreadText = "The help could not be read.";

std::unique_ptr<HelpWindow> HelpWindow::open(const std::string& path, UiServices& services,
                                             QWidget* messageParent) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    HelpLoad load = loadHelpFile(path, helpReaderProgram());
    QApplication::restoreOverrideCursor();
    if (load.state == HelpLoad::State::Damaged || load.state == HelpLoad::State::NotRead)
        services.showMessage(
            messageParent, UiServices::Icon::Error, QStringLiteral("Error"),
            QString::fromLatin1(load.state == HelpLoad::State::Damaged ? damagedText : unreadText));
    if (!load.pages) return nullptr;
    return std::make_unique<HelpWindow>(std::move(load.pages), services);
}

HelpWindow::HelpWindow(std::shared_ptr<const HelpPages> pages, UiServices& services)
    : pages_(std::move(pages)), services_(services) {
    setWindowTitle(QStringLiteral("Velmora Help"));
    setObjectName(QStringLiteral("helpWindow"));
    setWindowIcon(pngIcon({":/velmora-16.png", ":/velmora-32.png"}));
    // Closing the help never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    contents_ = new QTreeWidget;
    contents_->setObjectName(QStringLiteral("helpContents"));
    contents_->setAccessibleName(QStringLiteral("Contents"));
    contents_->setHeaderHidden(true);
    contents_->setColumnCount(1);
    // Long entries end in an ellipsis, and their tooltip holds the whole text.
    contents_->setTextElideMode(Qt::ElideRight);
    contents_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A hidden header never learns the width, so the one column follows the view itself.
    contents_->viewport()->installEventFilter(this);
    browser_ = new HelpBrowser(pages_);
    browser_->setObjectName(QStringLiteral("helpPage"));
    browser_->setAccessibleName(QStringLiteral("Help page"));

    navigation_ = new QTabWidget;
    navigation_->setObjectName(QStringLiteral("helpNavigation"));
    navigation_->addTab(contents_, QStringLiteral("Co&ntents"));
    navigation_->addTab(createIndexTab(), QStringLiteral("&Index"));
    navigation_->addTab(createSearchTab(), QStringLiteral("&Search"));
    // Alt+I and Alt+S lead to their field, ready for typing.
    connect(navigation_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (QWidget* field = navigation_->widget(tab)->findChild<QLineEdit*>()) field->setFocus();
    });
    // The pages of the tabs lie on each other; assistive tools list them by this name.
    for (QWidget* pages : navigation_->findChildren<QStackedWidget*>())
        pages->setAccessibleName(QStringLiteral("Contents, index and search"));

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(navigation_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->handle(1)->setAccessibleName(QStringLiteral("Divider between contents and page"));
    setCentralWidget(splitter);

    auto* tools = addToolBar(QStringLiteral("Navigation"));
    tools->setObjectName(QStringLiteral("helpTools"));
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto tool = [&](const char* name, const char* text, QStyle::StandardPixmap pixmap,
                    QList<QKeySequence> keys, const std::function<void()>& run) {
        QAction* action =
            tools->addAction(style()->standardIcon(pixmap), QString::fromLatin1(text));
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, run);
        return action;
    };
    QAction* back = tool("actionBack", "&Back", QStyle::SP_ArrowBack,
                         QKeySequence::keyBindings(QKeySequence::Back), [this] {
                             browser_->backward();
                             markSection();
                         });
    QAction* forward = tool("actionForward", "&Forward", QStyle::SP_ArrowForward,
                            QKeySequence::keyBindings(QKeySequence::Forward), [this] {
                                browser_->forward();
                                markSection();
                            });
    // F1 here leads to the contents page.
    tool("actionHome", "&Contents", QStyle::SP_DirHomeIcon,
         QKeySequence::keyBindings(QKeySequence::HelpContents) +
             QList<QKeySequence>{QKeySequence(Qt::ALT | Qt::Key_Home)},
         [this] { browser_->setSource(homeUrl()); });
    // Escape and Ctrl+W close the help, as in the help of any desktop program.
    auto* close = new QAction(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("actionCloseHelp"));
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::markContents);
    connect(contents_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (marking_ || !item) return;
        const QUrl url = item->data(0, Qt::UserRole).toUrl();
        if (url.isValid()) browser_->setSource(url);
    });

    fillContents();
    const QFontMetrics metrics(font());
    navigation_->setMinimumWidth(metrics.averageCharWidth() * 16);
    splitter->setSizes({metrics.averageCharWidth() * 42, metrics.averageCharWidth() * 108});
    QSize size(metrics.averageCharWidth() * 150, metrics.lineSpacing() * 46);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
}

HelpWindow::~HelpWindow() = default;

QWidget* HelpWindow::createIndexTab() {
    if (const std::string* sitemap =
            pages_->indexFile.empty() ? nullptr : pages_->find(pages_->indexFile))
        index_ = indexKeywords(parseContents(*sitemap));
    auto* field = new QLineEdit;
    field->setObjectName(QStringLiteral("helpIndexField"));
    field->setAccessibleName(QStringLiteral("Keyword"));
    field->setPlaceholderText(QStringLiteral("Type a keyword"));
    // Typing moves the list's current entry while the keyboard stays in the field.
    indexList_ = new FocusAwareList;
    indexList_->setObjectName(QStringLiteral("helpIndex"));
    indexList_->setAccessibleName(QStringLiteral("Index"));
    indexList_->setTextElideMode(Qt::ElideRight);
    for (const IndexEntry& entry : index_) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.keyword), indexList_);
        item->setData(Qt::UserRole, HelpBrowser::pageUrl(QString::fromStdString(entry.local)));
        item->setToolTip(item->text());
    }
    connect(field, &QLineEdit::textEdited, this, &HelpWindow::findKeyword);
    return fieldAndListTab(field, indexList_);
}

QWidget* HelpWindow::fieldAndListTab(QLineEdit* field, QListWidget* list) {
    connect(field, &QLineEdit::returnPressed, this,
            [this, list] { openItem(list->currentItem()); });
    connect(list, &QListWidget::itemActivated, this, &HelpWindow::openItem);
    field->installEventFilter(this);
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(field);
    layout->addWidget(list);
    return tab;
}

QWidget* HelpWindow::createSearchTab() {
    for (const auto& [name, bytes] : pages_->files()) {
        const QString file = QString::fromStdString(name).toLower();
        if ((file.endsWith(QLatin1String(".html")) || file.endsWith(QLatin1String(".htm"))) &&
            pageWithinLimits(bytes))
            search_.addPage(name, bytes);
    }
    auto* field = new QLineEdit;
    field->setObjectName(QStringLiteral("helpSearchField"));
    field->setAccessibleName(QStringLiteral("Search for"));
    field->setPlaceholderText(QStringLiteral("Words to find"));
    searchResults_ = new FocusAwareList;
    searchResults_->setObjectName(QStringLiteral("helpSearchResults"));
    searchResults_->setAccessibleName(QStringLiteral("Pages found"));
    connect(field, &QLineEdit::textChanged, this, &HelpWindow::search);
    return fieldAndListTab(field, searchResults_);
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == contents_->viewport() && event->type() == QEvent::Resize)
        contents_->setColumnWidth(0, static_cast<QResizeEvent*>(event)->size().width());
    // Up and Down in a field move in the list below it, as they do in the Find dialog.
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            QListWidget* list = watched->objectName() == QLatin1String("helpIndexField")
                                    ? indexList_
                                    : searchResults_;
            QApplication::sendEvent(list, event);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QUrl HelpWindow::homeUrl() const {
    const std::string& topic = pages_->defaultTopic;
    return HelpBrowser::pageUrl(topic.empty() ? QStringLiteral("index.html")
                                              : QString::fromStdString(topic));
}

void HelpWindow::fillContents() {
    const std::string* sitemap =
        pages_->contentsFile.empty() ? nullptr : pages_->find(pages_->contentsFile);
    if (!sitemap) return;
    std::function<void(const std::vector<ContentsEntry>&, QTreeWidgetItem*)> add =
        [&](const std::vector<ContentsEntry>& entries, QTreeWidgetItem* parent) {
            for (const ContentsEntry& entry : entries) {
                auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
                item->setText(0, QString::fromStdString(entry.name));
                item->setToolTip(0, item->text(0));
                if (!entry.local.empty())
                    item->setData(0, Qt::UserRole,
                                  HelpBrowser::pageUrl(QString::fromStdString(entry.local)));
                add(entry.children, item);
            }
        };
    add(parseContents(*sitemap), nullptr);
    contents_->expandAll();
    // Wide enough for the titles, within reason: a longer one ends in an ellipsis and its
    // tooltip holds it.
    int widest = 0;
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        int depth = 1;
        for (const QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
            ++depth;
        widest = std::max(widest, depth * contents_->indentation() +
                                      contents_->fontMetrics().horizontalAdvance((*it)->text(0)));
    }
    const int room = widest + 2 * contents_->frameWidth() +
                     contents_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
    contents_->setMinimumWidth(std::min(room, 30 * contents_->fontMetrics().averageCharWidth()));
}

void HelpWindow::showPage(const QString& page) {
    const QUrl url = page.isEmpty() ? homeUrl() : HelpBrowser::pageUrl(page);
    if (browser_->source() != url) browser_->setSource(url);
    show();
    raise();
    activateWindow();
    browser_->setFocus();
}

void HelpWindow::followLink(const QUrl& url) {
    if (url.scheme() == QLatin1String(HelpBrowser::scheme)) {
        browser_->setSource(url);
        return;
    }
    // Web and mail addresses open where the user reads those; nothing else leaves the help.
    static const QStringList outside{QStringLiteral("http"), QStringLiteral("https"),
                                     QStringLiteral("mailto")};
    if (outside.contains(url.scheme())) services_.openUrl(url);
}

void HelpWindow::markContents(const QUrl& url) {
    // The entry of the page shown, the one for its very anchor if there is one.
    QTreeWidgetItem* page = nullptr;
    QTreeWidgetItem* exact = nullptr;
    for (QTreeWidgetItemIterator it(contents_); *it && !exact; ++it) {
        const QUrl target = (*it)->data(0, Qt::UserRole).toUrl();
        if (target == url)
            exact = *it;
        else if (!page &&
                 target.adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment))
            page = *it;
    }
    marking_ = true;
    contents_->setCurrentItem(exact ? exact : page);
    marking_ = false;
}

void HelpWindow::markSection() {
    // Back and forward return to a place in a page: its entry is that of the last section that
    // starts above the top of the view, if the contents has one.
    const QUrl page = browser_->source().adjusted(QUrl::RemoveFragment);
    const qreal top = browser_->verticalScrollBar()->value() + 4;
    QTreeWidgetItem* section = nullptr;
    qreal sectionTop = -1;
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        const QUrl target = (*it)->data(0, Qt::UserRole).toUrl();
        if (!target.hasFragment() || target.adjusted(QUrl::RemoveFragment) != page) continue;
        const qreal at = browser_->anchorTop(target.fragment());
        if (at >= 0 && at <= top && at > sectionTop) {
            section = *it;
            sectionTop = at;
        }
    }
    if (!section) return;
    marking_ = true;
    contents_->setCurrentItem(section);
    marking_ = false;
}

void HelpWindow::findKeyword(const QString& typed) {
    // The list keeps the keywords that answer what is typed.
    const std::vector<bool> shown = keywordsShown(index_, typed.toStdString());
    for (std::size_t i = 0; i < shown.size() && i < static_cast<std::size_t>(indexList_->count());
         ++i)
        indexList_->setRowHidden(static_cast<int>(i), !shown[i]);
    const std::size_t found = ::findKeyword(index_, typed.toStdString());
    if (found == std::string::npos) return;
    indexList_->setCurrentRow(static_cast<int>(found));
    indexList_->scrollToItem(indexList_->currentItem(), QAbstractItemView::PositionAtTop);
}

void HelpWindow::search(const QString& words) {
    searchResults_->clear();
    for (const HelpSearch::Hit& hit : search_.find(words.toStdString())) {
        // The title, and under it the words around the first match.
        const QString context = QString::fromStdString(hit.context);
        auto* item = new QListWidgetItem(context.isEmpty()
                                             ? QString::fromStdString(hit.title)
                                             : QString::fromStdString(hit.title) + u'\n' + context,
                                         searchResults_);
        item->setData(Qt::UserRole, HelpBrowser::pageUrl(QString::fromStdString(hit.page)));
        item->setToolTip(context.isEmpty() ? QString::fromStdString(hit.page) : context);
    }
    if (searchResults_->count() > 0) searchResults_->setCurrentRow(0);
}

void HelpWindow::openItem(const QListWidgetItem* item) {
    if (!item) return;
    const QUrl url = item->data(Qt::UserRole).toUrl();
    if (url.isValid()) browser_->setSource(url);
}
