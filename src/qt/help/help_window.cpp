#include "qt/help/help_window.h"

#include "help/help_contents.h"
#include "help/help_file.h"
#include "help/help_pages.h"
#include "help/page_limits.h"
#include "help/page_style.h"
#include "qt/help/help_page_accessible.h"
#include "qt/help/help_pictures.h"
#include "qt/services/ui_services.h"
#include "qt/widgets/focus_aware_list.h"
#include "qt/widgets/png_image.h"
#include "qt/widgets/readable_colours.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStringDecoder>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

const char* const HelpBrowser::scheme = "velmora-help";
const char* const HelpBrowser::refusedPage = "This page cannot be shown.";
const char* const HelpBrowser::tooLargePage = "The help page %1 is too large to be shown.";
const char* const HelpBrowser::damagedPage = "The help page %1 is damaged.";
const char* const HelpWindow::damagedText = "The help file is damaged.";
const char* const HelpWindow::unreadText = "The help could not be read.";

namespace {

// Larger pictures than this are not drawn: their pixels alone would take 64 MiB.
constexpr int maxPictureSide = 4096;

QString fromBytes(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The formats a page's pictures may have. The format is learnt from the bytes and the reader held
// to it: a format guessed by every plugin installed would let a vector picture open the files it
// names.
bool isPictureFormat(const QByteArray& format) {
    static const QList<QByteArray> formats{"png", "gif", "jpeg", "bmp"};
    return formats.contains(format);
}

} // namespace

QImage HelpBrowser::picture(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    const QByteArray format = QImageReader::imageFormat(&buffer);
    if (!isPictureFormat(format)) return {};
    buffer.seek(0);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > maxPictureSide || size.height() > maxPictureSide)
        return {};
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > maxPagePixels - pagePixels_) return {};
    pagePixels_ += pixels;
    return reader.read();
}

namespace {} // namespace

HelpBrowser::HelpBrowser(std::shared_ptr<const HelpPages> pages, QWidget* parent)
    : QTextBrowser(parent), pages_(std::move(pages)), base_(pageUrl(QString())) {
    // Links are followed by the window: pages inside, web addresses through the desktop.
    setOpenLinks(false);
    HelpPictures::install(document());
    applyTheme();
    installHelpPageAccessibility();
    // Back and Forward bring pages back without setting the source anew: whatever way a page
    // comes, assistive tools learn it.
    connect(this, &QTextBrowser::sourceChanged, this, [this] {
        ++pageCount_;
        pageShown(this);
    });
}

QUrl HelpBrowser::pageUrl(const QString& page) {
    QUrl root;
    root.setScheme(QString::fromLatin1(scheme));
    root.setPath(QStringLiteral("/"));
    return root.resolved(QUrl(page));
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = name.isRelative() ? base_.resolved(name) : name;
    const std::string* bytes =
        url.scheme() == QLatin1String(scheme) ? pages_->find(url.path().toStdString()) : nullptr;
    const QByteArray data =
        bytes ? QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size())) : QByteArray();
    // A style sheet or picture that is not in the help file is empty: for nothing, the document
    // would read the address from the disk itself. A missing page is nothing, which the browser
    // shows as an empty page without reading anything.
    switch (type) {
    case QTextDocument::HtmlResource: {
        const std::optional<HelpPages::Unread> unread =
            url.scheme() == QLatin1String(scheme) ? pages_->leftOut(url.path().toStdString())
                                                  : std::nullopt;
        if (!bytes && !unread) return {};
        base_ = url.adjusted(QUrl::RemoveFragment);
        pagePixels_ = 0;
        page_.styleSize = maxStyleSheetSize; // no style sheet until the page is measured
        const auto say = [](const QString& text) {
            return QStringLiteral("<html><body><p>%1</p></body></html>").arg(text.toHtmlEscaped());
        };
        const QString page = url.path().mid(1);
        // A page the reader could not send whole is named, never shown as what it got of it.
        if (unread == HelpPages::Unread::Damaged)
            return say(QString::fromLatin1(damagedPage).arg(page));
        if (!bytes || bytes->size() > maxPageSize)
            return say(QString::fromLatin1(tooLargePage).arg(page));
        const QString refused = say(QString::fromLatin1(refusedPage));
        // The page's own charset declaration decides; UTF-8 without one. The bounds are checked
        // on the text the document will read, whatever the page was written in.
        QStringDecoder decoder = QStringDecoder::decoderForHtml(data);
        if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(data);
        const PageMeasure measure = measurePage(text.toUtf8().toStdString());
        if (!measure.within) return refused;
        // The style sheets the page names share its style budgets with its own style elements
        // and with the theme's rules every page gets.
        page_ = measure;
        page_.styleSelectors +=
            styleSelectors(themeStyleSheet(colours())).value_or(StyleSelectors{});
        return text;
    }
    case QTextDocument::StyleSheetResource: {
        const std::string css =
            (bytes ? fitStyleSheet(*bytes, colours()) : std::string()) + themeStyleSheet(colours());
        // A sheet past the page's style budgets is not used: an empty one is not read at all.
        std::optional<StyleSelectors> selectors = styleSelectors(css);
        if (selectors) *selectors += page_.styleSelectors;
        if (!selectors || css.size() > maxStyleSheetSize - page_.styleSize ||
            !styleWithinLimits(*selectors, page_))
            return QStringLiteral("");
        page_.styleSize += css.size();
        page_.styleSelectors = *selectors;
        return fromBytes(css);
    }
    case QTextDocument::ImageResource:
        // The document keeps pictures under their whole address, and the help file has one
        // picture per path: an address with a query or fragment would decode it again each time.
        if (url.hasQuery() || url.hasFragment()) return QImage();
        return picture(data);
    default:
        return data;
    }
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType) {
    // Every page of a help file is HTML, whatever its name ends in: the browser would take a
    // page named ".md" for Markdown, past the bounds that pages are held to.
    QTextBrowser::doSetSource(name, QTextDocument::HtmlResource);
}

QMimeData* HelpBrowser::createMimeDataFromSelection() const {
    // The toolkit's copy also writes an OpenDocument text, whose writer reads a picture the copy
    // lacks from the disk under the name the page gave it.
    auto* data = new QMimeData;
    const QTextDocumentFragment selection = textCursor().selection();
    data->setText(selection.toPlainText());
    data->setHtml(selection.toHtml());
    return data;
}

void HelpBrowser::changeEvent(QEvent* event) {
    QTextBrowser::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        applyTheme();
        if (source().isValid()) reload();
    }
}

qreal HelpBrowser::anchorTop(const QString& name) const {
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(name))
                return document()->documentLayout()->blockBoundingRect(block).top();
    return -1;
}

bool HelpBrowser::focusNextPrevChild(bool next) {
    // Tab moves from link to link inside the page before it leaves it.
    const bool moved = QTextBrowser::focusNextPrevChild(next);
    if (moved && hasFocus()) linkFocused(this);
    return moved;
}

PageColours HelpBrowser::colours() const {
    // A theme's own text and link colours may be hard to read on its background.
    const QColor base = palette().color(QPalette::Base);
    return {rgbOf(readableOn(palette().color(QPalette::Text), base)), rgbOf(base),
            rgbOf(readableOn(palette().color(QPalette::Link), base))};
}

void HelpBrowser::applyTheme() {
    // For pages without a style sheet of their own.
    document()->setDefaultStyleSheet(fromBytes(themeStyleSheet(colours())));
}

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
        auto* item = new QListWidgetItem(fromBytes(entry.keyword), indexList_);
        item->setData(Qt::UserRole, HelpBrowser::pageUrl(fromBytes(entry.local)));
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
        const QString file = fromBytes(name).toLower();
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
    return HelpBrowser::pageUrl(topic.empty() ? QStringLiteral("index.html") : fromBytes(topic));
}

void HelpWindow::fillContents() {
    const std::string* sitemap =
        pages_->contentsFile.empty() ? nullptr : pages_->find(pages_->contentsFile);
    if (!sitemap) return;
    std::function<void(const std::vector<ContentsEntry>&, QTreeWidgetItem*)> add =
        [&](const std::vector<ContentsEntry>& entries, QTreeWidgetItem* parent) {
            for (const ContentsEntry& entry : entries) {
                auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
                item->setText(0, fromBytes(entry.name));
                item->setToolTip(0, item->text(0));
                if (!entry.local.empty())
                    item->setData(0, Qt::UserRole, HelpBrowser::pageUrl(fromBytes(entry.local)));
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
        const QString context = fromBytes(hit.context);
        auto* item = new QListWidgetItem(context.isEmpty() ? fromBytes(hit.title)
                                                           : fromBytes(hit.title) + u'\n' + context,
                                         searchResults_);
        item->setData(Qt::UserRole, HelpBrowser::pageUrl(fromBytes(hit.page)));
        item->setToolTip(context.isEmpty() ? fromBytes(hit.page) : context);
    }
    if (searchResults_->count() > 0) searchResults_->setCurrentRow(0);
}

void HelpWindow::openItem(const QListWidgetItem* item) {
    if (!item) return;
    const QUrl url = item->data(Qt::UserRole).toUrl();
    if (url.isValid()) browser_->setSource(url);
}
