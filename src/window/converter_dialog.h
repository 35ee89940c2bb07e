#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Announcer;
class CatalogPreload;
class Category;
class Conversion;
class ConversionCatalog;
class HelpWindow;
class UnitNames;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QTimer;
struct Selection;
class TabStrip;
class UiServices;

// The converter window: category tabs, the From and To lists, the input and the result, the
// menu, and the start-up and closing steps around them.
class ConverterDialog : public QDialog {
    Q_OBJECT
  public:
    // Control ids of the window, in template order where it matters.
    enum ControlId {
        InputField = 1003,
        ResultField = 1004,
        InputUnitLabel = 1005,
        OutputUnitLabel = 1006,
        FromCaption = 1007,
        FromList = 1008,
        Tabs = 1009,
        ToList = 1010,
        ToCaption = 1011,
        Banner = 1012,
        InputCaption = 1013,
        ResultCaption = 1014,
        Picture = 1016,
        ContactLine = 1022,
        SwapButton = 1023,
    };

    static const char* const vendorSite;
    static const char* const secondSite;

    ConverterDialog(ConversionCatalog& catalog, Selection& selection, UiServices& services,
                    QWidget* parent = nullptr);
    ~ConverterDialog() override;

    // A catalog already being loaded at start-up; the load takes it when its path is conv.txt's.
    void setPreload(CatalogPreload* preload) { preload_ = preload; }
    // Builds the paths, loads the catalog and the settings and fills the window. False when the
    // catalog could not be loaded; the message has then been shown and the window must not run.
    bool OnInitDialog();
    // The closing steps: the catalog when it changed, the settings always, each at most once.
    void OnClose();

    // Selection logic.
    void fillTabs();
    void clearTabs();
    void selectCategory();
    void fillFromList();
    void fillToList();
    void selectConversion();
    void updateUnitLabels();
    void recompute();
    // The steps that follow a user's click on a tab, a From entry and a To entry.
    void onTabChanged();
    void onFromChanged();
    void onToChanged();
    // Makes conversion current on tab (a tab index, the place of its category among the shown
    // ones) through the steps of the user's clicks, recomputes, and puts the focus in the input
    // field with its text selected.
    void showConversion(int tab, const Conversion& conversion);

    // Tab-row layout.
    // Limits the rows of tabs shown to those that keep the window on its screen.
    void fitTabRowsToScreen();
    // Moves the shown window so that all of it, frame included, lies on its screen.
    void placeOnScreen();
    void adjustForTabRows();
    void growWindow(QWidget* window, int d);
    void moveControlDown(int id, int d);

    // Settings file.
    bool readSettings();
    bool writeSettings();

    // Commands.
    void buildReport(QString& text) const;
    void findConversion();
    void copyReport();
    // The result with its unit alone, for pasting into a document; nothing without a result.
    void copyResult();
    // The conversion back from the To unit to the From unit, the value kept; nothing when the
    // category has none.
    void swapUnits();
    void saveReport();
    void printReport();
    void editOptions();
    void editPrecision();
    void showAbout();
    void openVendorSite();
    void openSecondSite();
    // The help window on the contents page, or on the given page ("menus.html#options"); nothing
    // when help.chm cannot be read.
    void openHelp();
    void openHelpPage(const QString& page);
    HelpWindow* helpWindow() const { return helpWindow_.get(); }
    // The next or previous category, as a click on its tab would choose it; wraps around.
    void stepCategory(int delta);
    void exitCommand();

    // The result field's context menu: the usual edit actions and "Copy Exact Value". The
    // caller owns it.
    QMenu* createResultContextMenu();
    // The result in full with its unit, as its tooltip shows it; empty before any result.
    QString exactResult() const { return exactResult_; }

    QWidget* control(int id) const;
    int precision() const { return precision_; }
    bool catalogChanged() const { return catalogChanged_ != 0; }
    int tabRowHeight() const { return tabRowHeight_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Nothing may end the window without the closing steps: Escape and friends do nothing.
    void reject() override {}

  private:
    void createControls();
    // Tabs for the visible categories, laid out, with the first conversion current.
    void fillTabsAndSelectFirst();
    void createMenu();
    void pullTexts();
    void pushTexts();
    void showError(const QString& text);
    // Tints the input field and says why (note) when its text cannot be read as a value.
    void markUnreadInput(const QString& note);
    // The unit labels: the conversion's units, with what the input was read as and the result
    // in two parts where there are such.
    void setUnitLabelTexts();
    // names.txt beside the catalog, read when a value first needs it.
    const UnitNames& unitNames();
    // Space beyond the smallest size: the unit lists take the height, the lists, fields and tabs
    // the width. lift is the height of the tab rows that a wider strip no longer needs.
    struct ExtraSpace {
        int dx = 0;
        int dy = 0;
        int lift = 0;
    };
    // Moves and sizes the controls by the change from one share of extra space to the next.
    void applyExtraSpace(ExtraSpace from, ExtraSpace to);
    // The tab-row layout works on the smallest size: the controls go back to it before, and take
    // the window's space again after.
    void foldExtraSpace();
    void spreadExtraSpace();
    // The menu bar and the client area cover the window.
    void fitClient();
    // The size kept from the last run, within the screen; none without one.
    void restoreSize();
    void keepSize();
    // Shortcuts shown in the menu, Ctrl+Tab, Shift+F10, accessible names and caption buddies.
    void setUpKeysAndNames();
    // The input and result fields' accessible names with their units, whose labels name them.
    void nameFieldsAfterUnits();
    // What a screen reader says as a sighted user sees it: the result once typing pauses, with
    // the note on unread input; the category a tab change chose; Find's choice.
    void setUpAnnouncements();
    void announceResult();
    void announceCategory();
    void announceChoice(const QString& match);
    // The input field's accessible description: the result shown with its unit (none when empty),
    // then what markUnreadInput says about the input.
    void describeInput(const QString& resultWithUnit);
    // F1 in a secondary dialog opens its page; the help window stays usable while it runs.
    void offerHelp(QDialog& dialog, const char* page);

    ConversionCatalog& catalog_;
    CatalogPreload* preload_ = nullptr;
    Selection& selection_;
    UiServices& services_;

    TabStrip* tabs_ = nullptr;
    QListWidget* toList_ = nullptr;
    QListWidget* fromList_ = nullptr;
    QLineEdit* inputField_ = nullptr;
    QLineEdit* resultField_ = nullptr;
    QLabel* inputUnitLabelControl_ = nullptr;
    QLabel* outputUnitLabelControl_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    std::map<int, QWidget*> controls_;
    // The category of each tab, in tab order.
    std::vector<Category*> tabCategories_;

    QString inputUnitLabel;
    QString outputUnitLabel;
    QString inputText;
    QString resultText;
    QString exactResult_;
    QString inputReadAs_;
    QString resultTwoPart_;
    std::shared_ptr<const UnitNames> unitNames_;
    // The input's text was selected by Find, not by the user: Ctrl+C copies the report then.
    bool inputSelectedByFind_ = false;
    QIcon mainIcon;
    int tabRowHeight_ = 0;
    int tabRows_ = 1;
    int catalogChanged_ = 0;
    int precision_ = 1;
    std::string appDirectory_;
    std::string dataPath_;
    std::string helpPath_;
    std::string settingsPath_;
    std::string windowSizePath_;
    ExtraSpace extra_;
    bool folded_ = false;
    // The rows of tabs shown at the smallest width.
    int baseTabRows_ = 1;
    bool closed_ = false;
    bool bannerPressed_ = false;
    std::unique_ptr<HelpWindow> helpWindow_;
    Announcer* announcer_ = nullptr;
    QTimer* resultPause_ = nullptr;
    QString noteAnnounced_;
    bool choosing_ = false;
};
