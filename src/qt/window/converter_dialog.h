#pragma once

#include "converter/converter_model.h"
#include "converter/kept_menus.h"
#include "converter/window_layout.h"

#include <QDialog>
#include <QIcon>
#include <QString>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class Announcer;
class CatalogPreload;
class ElidedLabel;
class FocusAwareList;
class Category;
class Conversion;
class ConversionCatalog;
class HelpWindow;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QTimer;
class TabStrip;
class UiServices;

// The converter window: a view over a ConverterModel. It draws the model's tabs, lists and texts,
// reports its user's actions to it, and keeps what only a window has: layout, focus, menus and
// what a screen reader is told.
class ConverterDialog : public QDialog {
    Q_OBJECT
  public:
    static const char* const vendorSite;
    static const char* const secondSite;

    ConverterDialog(ConversionCatalog& catalog, UiServices& services, QWidget* parent = nullptr);
    ~ConverterDialog() override;

    // A catalog already being loaded at start-up; the load takes it when its path is conv.txt's.
    void setPreload(CatalogPreload* preload) { preload_ = preload; }
    // Builds the paths, loads the catalog and the settings and fills the window. False when the
    // catalog could not be loaded; the message has then been shown and the window must not run.
    bool start();
    // The closing steps: the catalog when it changed, the settings always, each at most once.
    void saveOnClose();

    // The views refilled from the model, silently: the tab strip emptied, and the From list
    // with its first entry current.
    void clearTabs();
    void fillFromList();
    // A user's click on a tab, a From entry and a To entry, and the input typed.
    void onTabChanged(int tab);
    void onFromChanged(int row);
    void onToChanged(int row);
    void onInputChanged(const QString& text);
    // Makes conversion current on tab (a tab index, the place of its category among the shown
    // ones) through the steps of the user's clicks, with value as the input when not empty, and
    // puts the focus in the input field with its text selected.
    void showConversion(int tab, const Conversion& conversion, const QString& value = {});

    // Tab-row layout.
    // Limits the rows of tabs shown to those that keep the window on its screen.
    void fitTabRowsToScreen();
    // Moves the shown window so that all of it, frame included, lies on its screen.
    void placeOnScreen();
    void adjustForTabRows();
    void growWindow(QWidget* window, int d);
    void moveControlDown(int id, int d);

    // Commands.
    void buildReport(QString& text) const;
    void findConversion();
    void copyReport();
    // The result with its unit alone, for pasting into a document; nothing without a result.
    void copyResult();
    // The result in full with its unit; nothing before a result.
    void copyExactValue();
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
    QString exactResult() const { return QString::fromStdString(model_.exactResult()); }

    // A control by its id (converter/window_template.h).
    QWidget* control(int id) const;
    const ConverterModel& model() const { return model_; }
    int precision() const { return model_.precision(); }
    bool catalogChanged() const { return model_.catalogChanged(); }
    int tabRowHeight() const { return model_.tabRowHeight(); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Nothing may end the window without the closing steps: Escape and friends do nothing.
    void reject() override {}

  private:
    // The controls of the template, in its order, which is also the keyboard's.
    void createControls();
    QWidget* place(QWidget* widget, int id, const char* name, DialogRect rect);
    ElidedLabel* addLabel(int id, const char* name, const char* text, DialogRect rect,
                          Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    FocusAwareList* addList(int id, const char* name, DialogRect rect);
    QLineEdit* addEdit(int id, const char* name, DialogRect rect);
    void addPicture();
    void addBanner();
    void connectControls();
    // The window at the template's size, its smallest.
    void sizeToTemplate();
    // Tabs for the visible categories, laid out, with the first conversion current.
    void fillTabsAndSelectFirst();
    void createMenu();
    // View, Favourites and Recent, filled from the model each time one opens, and their keys.
    void createKeptMenus();
    void runKeptItem(const KeptMenuItem& item);
    // The window above all others or not, as the model's choices say.
    void applyAlwaysOnTop();
    // The controls show the model: each written only when it differs, the lists and tabs
    // refilled only when the model refilled them, every change silent.
    void syncView();
    void fillTabs();
    void fillToList();
    // Each To row's result drawn and named afresh, for the rows in view.
    void showToResults();
    // After a step that computed: the result is said once typing pauses.
    void resultComputed();
    void showError(const QString& text);
    // Tints the input field and says why (note) when its text cannot be read as a value.
    void markUnreadInput(const QString& note);
    // Moves and sizes the controls by the changes the extra space layout gives.
    void applyExtraSpace(const std::vector<ControlChange>& changes);
    // The tab-row layout works on the smallest size: the controls go back to it before, and take
    // the window's space again after.
    void foldExtraSpace();
    void spreadExtraSpace();
    // The menu bar and the client area cover the window.
    void fitClient();
    // The swap button in the gap between the unit lists.
    void placeSwapButton();
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
    // The input field's accessible description, as the model words it.
    void describeInput();
    // F1 in a secondary dialog opens its page; the help window stays usable while it runs.
    void offerHelp(QDialog& dialog, std::string_view page);

    ConversionCatalog& catalog_;
    CatalogPreload* preload_ = nullptr;
    ConverterModel model_;
    UiServices& services_;

    TabStrip* tabs_ = nullptr;
    QListWidget* toList_ = nullptr;
    QListWidget* fromList_ = nullptr;
    QLineEdit* inputField_ = nullptr;
    QLineEdit* resultField_ = nullptr;
    QLabel* inputUnitLabelControl_ = nullptr;
    QLabel* outputUnitLabelControl_ = nullptr;
    QLabel* resultDetail_ = nullptr;
    QLabel* inputDetail_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    std::map<int, QWidget*> controls_;
    // The model's revisions of the tabs and lists the controls show.
    unsigned tabsShown_ = 0;
    unsigned fromShown_ = 0;
    unsigned toShown_ = 0;
    // The input's text was selected by Find, not by the user: Ctrl+C copies the report then.
    bool inputSelectedByFind_ = false;
    QIcon mainIcon;
    std::string windowSizePath_;
    ExtraSpaceLayout extraSpace_;
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
