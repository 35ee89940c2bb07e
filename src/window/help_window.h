#pragma once

#include <QMainWindow>
#include <QTextBrowser>
#include <QUrl>
#include <memory>
#include <string>

class ChmArchive;
class QTreeWidget;
class QTreeWidgetItem;
class UiServices;

// Shows the pages of a compiled help file: every page, style sheet and picture comes out of the
// archive, under addresses of their own scheme, so a link can never reach the disk.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    static const char* const scheme;

    HelpBrowser(const ChmArchive& archive, QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

    // The address of a page named as the contents name it, "window.html#keys".
    static QUrl pageUrl(const QString& page);

  private:
    const ChmArchive& archive_;
    // The page last loaded: what its style sheet and pictures are relative to.
    QUrl base_;
};

// The program's own help window, captioned "Velmora Help": the contents tree beside the page,
// with back, forward and the contents page. Modeless; it keeps nothing once it is gone.
class HelpWindow : public QMainWindow {
    Q_OBJECT
  public:
    // The window for the help file at path, or null when that is missing or no help file.
    static std::unique_ptr<HelpWindow> open(const std::string& path, UiServices& services);
    ~HelpWindow() override;

    // Shows the window, raised, on the page ("menus.html#options"); the contents page when page
    // is empty.
    void showPage(const QString& page);

    HelpBrowser* browser() const { return browser_; }
    QTreeWidget* contents() const { return contents_; }

  private:
    HelpWindow(std::unique_ptr<ChmArchive> archive, UiServices& services);
    void fillContents();
    void followLink(const QUrl& url);
    void markContents(const QUrl& url);
    QUrl homeUrl() const;

    std::unique_ptr<ChmArchive> archive_;
    UiServices& services_;
    HelpBrowser* browser_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    bool marking_ = false;
};
