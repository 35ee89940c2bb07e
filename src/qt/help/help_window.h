#pragma once

#include "help/help_index.h"
#include "help/help_search.h"
#include "help/page_limits.h"
#include "help/page_style.h"

#include <QMainWindow>
#include <QTextBrowser>
#include <QUrl>
#include <memory>
#include <string>
#include <vector>

class HelpPages;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QImage;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class UiServices;

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

// The program's own help window, captioned "Velmora Help": the contents, the index and a search
// beside the page, with back, forward and the contents page. Modeless; Escape and Ctrl+W close
// it. It keeps nothing once it is gone.
class HelpWindow : public QMainWindow {
    Q_OBJECT
  public:
    static const char* const damagedText;
    // For a help file the reader could not be started on, or did not finish in time.
    static const char* const unreadText;

    // The window for the help file at path; null when that is missing or no help file, and
    // also, after saying so in a message over messageParent, when it is damaged.
    static std::unique_ptr<HelpWindow> open(const std::string& path, UiServices& services,
                                            QWidget* messageParent);
    HelpWindow(std::shared_ptr<const HelpPages> pages, UiServices& services);
    ~HelpWindow() override;

    // Shows the window, raised, on the page ("menus.html#options"); the contents page when page
    // is empty.
    void showPage(const QString& page);

    HelpBrowser* browser() const { return browser_; }
    QTreeWidget* contents() const { return contents_; }
    QTabWidget* navigation() const { return navigation_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* createIndexTab();
    QWidget* createSearchTab();
    // A tab of a field over a list: Enter in the field or activating an entry opens its page, and
    // Up and Down in the field move in the list.
    QWidget* fieldAndListTab(QLineEdit* field, QListWidget* list);
    void fillContents();
    void followLink(const QUrl& url);
    void markContents(const QUrl& url);
    void markSection();
    void findKeyword(const QString& typed);
    void search(const QString& words);
    // Shows the page an index or search list item leads to.
    void openItem(const QListWidgetItem* item);
    QUrl homeUrl() const;

    std::shared_ptr<const HelpPages> pages_;
    UiServices& services_;
    std::vector<IndexEntry> index_;
    HelpSearch search_;
    HelpBrowser* browser_ = nullptr;
    QTabWidget* navigation_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QListWidget* indexList_ = nullptr;
    QListWidget* searchResults_ = nullptr;
    bool marking_ = false;
};
