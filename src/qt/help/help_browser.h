#pragma once

#include "qt/help/page_limits.h"
#include "qt/help/page_style.h"

#include <QTextBrowser>
#include <QUrl>
#include <memory>

class HelpPages;
class QImage;

// Shows the pages of a help file: every page, style sheet and picture comes out of the help
// file's pages in memory, under addresses of their own scheme, so nothing can reach the disk.
// Pages past the layout bounds are not laid out, and the pages' colours follow the theme.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    static const char* const scheme;
    // Shown in place of a page past the layout bounds.
    static const char* const refusedPage;
    // Shown in place of a page the help file's reader left out, with the page's name for %1.
    static const char* const tooLargePage;
    static const char* const damagedPage;

    HelpBrowser(std::shared_ptr<const HelpPages> pages, QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

    // The address of a page named as the contents name it, "window.html#keys".
    static QUrl pageUrl(const QString& page);
    // Counts the pages loaded, so that what was learnt of one page is known to be stale.
    int pageCount() const { return pageCount_; }
    // Where the anchor of that name is in the page; -1 when it has none.
    qreal anchorTop(const QString& name) const;

  protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;
    QMimeData* createMimeDataFromSelection() const override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    // The pixels of all pictures of one page together stay within this (128 MiB of memory).
    static constexpr qint64 maxPagePixels = 32 * 1024 * 1024;

    PageColours colours() const;
    void applyTheme();
    // A picture of the page: PNG, GIF, JPEG or BMP within the bounds; empty for anything else.
    QImage picture(const QByteArray& data);

    std::shared_ptr<const HelpPages> pages_;
    // The page last loaded: what its style sheet and pictures are relative to.
    QUrl base_;
    int pageCount_ = 0;
    qint64 pagePixels_ = 0;
    // What the page last loaded and the style sheets read for it hold of the style budgets.
    PageMeasure page_;
};
