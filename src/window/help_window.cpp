#include "window/help_window.h"

#include "help/chm_archive.h"
#include "help/help_contents.h"
#include "window/ui_services.h"

#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSplitter>
#include <QStringDecoder>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <functional>

const char* const HelpBrowser::scheme = "velmora-help";

namespace {

QString fromBytes(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

HelpBrowser::HelpBrowser(const ChmArchive& archive, QWidget* parent)
    : QTextBrowser(parent), archive_(archive), base_(pageUrl(QString())) {
    // Links are followed by the window: pages inside, web addresses through the desktop.
    setOpenLinks(false);
}

QUrl HelpBrowser::pageUrl(const QString& page) {
    QUrl root;
    root.setScheme(QString::fromLatin1(scheme));
    root.setPath(QStringLiteral("/"));
    return root.resolved(QUrl(page));
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = name.isRelative() ? base_.resolved(name) : name;
    if (url.scheme() != QLatin1String(scheme)) return {};
    const std::optional<std::string> bytes = archive_.read(url.path().toStdString());
    if (!bytes) return {};
    const QByteArray data(bytes->data(), static_cast<qsizetype>(bytes->size()));
    switch (type) {
    case QTextDocument::HtmlResource: {
        base_ = url.adjusted(QUrl::RemoveFragment);
        // The page's own charset declaration decides; UTF-8 without one.
        QStringDecoder decoder = QStringDecoder::decoderForHtml(data);
        if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
        return QString(decoder.decode(data));
    }
    case QTextDocument::StyleSheetResource:
        return QString::fromUtf8(data);
    default:
        return data;
    }
}

std::unique_ptr<HelpWindow> HelpWindow::open(const std::string& path, UiServices& services) {
    std::unique_ptr<ChmArchive> archive = ChmArchive::open(path);
    if (!archive) return nullptr;
    return std::unique_ptr<HelpWindow>(new HelpWindow(std::move(archive), services));
}

HelpWindow::HelpWindow(std::unique_ptr<ChmArchive> archive, UiServices& services)
    : archive_(std::move(archive)), services_(services) {
    setWindowTitle(QStringLiteral("Velmora Help"));
    setObjectName(QStringLiteral("helpWindow"));
    QIcon icon(QStringLiteral(":/velmora-16.png"));
    icon.addFile(QStringLiteral(":/velmora-32.png"));
    setWindowIcon(icon);
    // Closing the help never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    contents_ = new QTreeWidget;
    contents_->setObjectName(QStringLiteral("helpContents"));
    contents_->setAccessibleName(QStringLiteral("Contents"));
    contents_->setHeaderHidden(true);
    contents_->setColumnCount(1);
    browser_ = new HelpBrowser(*archive_);
    browser_->setObjectName(QStringLiteral("helpPage"));
    browser_->setAccessibleName(QStringLiteral("Help page"));

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(contents_);
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
    QAction* back =
        tool("actionBack", "&Back", QStyle::SP_ArrowBack,
             QKeySequence::keyBindings(QKeySequence::Back), [this] { browser_->backward(); });
    QAction* forward =
        tool("actionForward", "&Forward", QStyle::SP_ArrowForward,
             QKeySequence::keyBindings(QKeySequence::Forward), [this] { browser_->forward(); });
    // F1 here leads to the contents page.
    tool("actionHome", "&Contents", QStyle::SP_DirHomeIcon,
         QKeySequence::keyBindings(QKeySequence::HelpContents) +
             QList<QKeySequence>{QKeySequence(Qt::ALT | Qt::Key_Home)},
         [this] { browser_->setSource(homeUrl()); });
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
    contents_->setMinimumWidth(metrics.averageCharWidth() * 16);
    splitter->setSizes({metrics.averageCharWidth() * 42, metrics.averageCharWidth() * 108});
    QSize size(metrics.averageCharWidth() * 150, metrics.lineSpacing() * 46);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
}

HelpWindow::~HelpWindow() {
    // The browser reads from the archive until it is gone.
    delete centralWidget();
}

QUrl HelpWindow::homeUrl() const {
    const std::string& topic = archive_->defaultTopic();
    return HelpBrowser::pageUrl(topic.empty() ? QStringLiteral("index.html") : fromBytes(topic));
}

void HelpWindow::fillContents() {
    const std::optional<std::string> sitemap =
        archive_->contentsFile().empty() ? std::nullopt : archive_->read(archive_->contentsFile());
    if (!sitemap) return;
    std::function<void(const std::vector<ContentsEntry>&, QTreeWidgetItem*)> add =
        [&](const std::vector<ContentsEntry>& entries, QTreeWidgetItem* parent) {
            for (const ContentsEntry& entry : entries) {
                auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
                item->setText(0, fromBytes(entry.name));
                if (!entry.local.empty())
                    item->setData(0, Qt::UserRole, HelpBrowser::pageUrl(fromBytes(entry.local)));
                add(entry.children, item);
            }
        };
    add(parseContents(*sitemap), nullptr);
    contents_->expandAll();
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
