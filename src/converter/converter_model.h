#pragma once

#include "converter/category_visibility.h"
#include "converter/selection_logic.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class CatalogPreload;
class Category;
class Conversion;
class ConversionCatalog;
class UnitNames;

// What the converter window does beyond drawing, with no toolkit: its texts, precision, paths and
// closing steps, and the selection of tab, From entry and To entry with the result they give.
// A window shows this state and reports its user's actions here; the selections the model makes
// are its own and raise no events. Texts are display text (UTF-8).
class ConverterModel {
  public:
    ConverterModel(ConversionCatalog& catalog, Selection& selection);

    // Start-up: the paths in directory, the catalog (from preload when it holds conv.txt's), the
    // settings, then the tabs and lists with the first conversion current and no result. False
    // when the catalog could not be loaded; failure then holds the whole message.
    bool start(const std::filesystem::path& directory, std::string& failure,
               CatalogPreload* preload = nullptr);
    // The closing steps, each file at most once however often called: conv.txt merged with what
    // is on disk when a category was shown or hidden, conv.ini always. The messages to show.
    std::vector<std::string> close();

    // The user's actions.
    void onTabChanged(int tab);
    void onFromChanged(int row);
    void onToChanged(int row);
    void onInputChanged(std::string text);
    // The next or previous tab, wrapping around, as a click on it would choose it.
    void stepCategory(int delta);
    // A conversion found by the search, made current through the steps of the user's clicks and
    // computed; a value typed with the units becomes the input first.
    void showConversion(int tab, const Conversion& conversion, const std::string& value);

    // Options: the rows to offer, and the rows accepted. True when a flag changed; the tabs and
    // lists are then rebuilt with the first conversion current and catalogChanged is set.
    std::vector<CategoryRow> optionRows() const;
    bool applyOptions(const std::vector<CategoryRow>& rows);
    // Precision accepted: clamped to the range, then the result recomputed.
    void setPrecision(int value);
    // From and To change places through the category's reverse conversion, the value stays;
    // false when there is none.
    bool swapUnits();

    // The report of the current conversion, as copied and printed, and as a saved file holds it.
    std::string report() const;
    std::string reportFileBytes() const;
    // Writes the report to path whole or not at all; the message to show, empty on success.
    // shownPath names the file in the message.
    std::string saveReport(const std::string& path, const std::string& shownPath) const;

    // How far the controls below the tabs move when the tab strip shows rows rows: zero when the
    // layout already stands for that count.
    int tabRowShift(int rows) const { return (rows - tabRows) * tabRowHeight; }

    // The views: tab names, From and To entries, each with its selected index (-1 for none).
    // Each revision grows whenever its view was refilled, so a window rebuilds only those.
    int tabCount() const { return static_cast<int>(tabCategories_.size()); }
    std::string tabText(int tab) const;
    int selectedTab() const { return selectedTab_; }
    int fromCount() const { return static_cast<int>(fromEntries_.size()); }
    std::string fromText(int row) const;
    int selectedFrom() const { return selectedFrom_; }
    int toCount() const { return static_cast<int>(toEntries_.size()); }
    std::string toText(int row) const;
    int selectedTo() const { return selectedTo_; }
    unsigned tabsRevision() const { return tabsRevision_; }
    unsigned fromRevision() const { return fromRevision_; }
    unsigned toRevision() const { return toRevision_; }

    const Selection& selection() const { return selection_; }
    // The result as shown with its unit, for pasting into a document; empty without a result.
    std::string resultWithUnit() const;
    // The result in full with its unit; empty before any result.
    const std::string& exactResult() const { return exactResult_; }
    // Why part of the input is not read as the value; empty when all of it is.
    const std::string& unreadInputNote() const { return unreadNote_; }
    // What the input field's description says: the result with its unit, then the note.
    std::string inputDescription() const;

    // The dialog's members.
    std::string inputUnitLabel;
    std::string outputUnitLabel;
    std::string inputText;
    std::string resultText;
    int tabRowHeight = 0;
    int tabRows = 1;
    int catalogChanged = 0;
    int precision = 1;
    std::string appDirectory;
    std::string dataPath;
    std::string helpPath;
    std::string settingsPath;
    // The user's locale's decimal separator: with ',' the input "1,5" is one and a half.
    char decimalSeparator = '.';

  private:
    // The steps of the selection, in the orders the window's events run them.
    void fillTabs();
    void clearTabs();
    void selectCategory();
    void fillFromList();
    void fillToList();
    void selectConversion();
    void updateUnitLabels();
    void recompute();
    void fillAndSelectFirst();
    // names.txt beside the catalog, read when a value first needs it.
    const UnitNames& unitNames();

    ConversionCatalog& catalog_;
    Selection& selection_;
    std::vector<Category*> tabCategories_;
    std::vector<FromListEntry> fromEntries_;
    std::vector<const Conversion*> toEntries_;
    int selectedTab_ = -1;
    int selectedFrom_ = -1;
    int selectedTo_ = -1;
    unsigned tabsRevision_ = 0;
    unsigned fromRevision_ = 0;
    unsigned toRevision_ = 0;
    std::string exactResult_;
    std::string unreadNote_;
    std::string inputReadAs_;
    std::string resultTwoPart_;
    std::shared_ptr<const UnitNames> unitNames_;
    bool closed_ = false;
};
