#include "qt/help/help_browser.h"

#include "help/help_pages.h"
#include "qt/help/help_browser_accessible.h"
#include "qt/help/help_pictures.h"
#include "qt/help/page_limits.h"
#include "qt/help/page_style.h"
#include "qt/widgets/readable_colours.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeData>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocumentFragment>

const char* const HelpBrowser::scheme = "velmora-help";
const char* const HelpBrowser::refusedPage = "This page cannot be shown.";
const char* const HelpBrowser::tooLargePage = "The help page %1 is too large to be shown.";
const char* const HelpBrowser::damagedPage = "The help page %1 is damaged.";

namespace {

// Larger pictures than this are not drawn: their pixels alone would take 64 MiB.
constexpr int maxPictureSide = 4096;

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
        return QString::fromStdString(css);
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
    document()->setDefaultStyleSheet(QString::fromStdString(themeStyleSheet(colours())));
}
