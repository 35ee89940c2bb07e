#pragma once

#include "help/help_index.h"
#include "help/help_search.h"
#include "qt/help/help_browser.h"

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
