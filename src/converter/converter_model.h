#pragma once

#include "converter/category_visibility.h"
#include "converter/find_text.h"
#include "converter/saved_conversions.h"
#include "converter/selection_logic.h"
#include "lists/view_choices.h"
#include "names/unit_names.h"
#include "query/query_reader.h"
#include "result.h"
#include "settings/user_region.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class CatalogPreload;
class Category;
class Conversion;
class ConversionCatalog;

// What the converter window does beyond drawing, with no toolkit: its texts, precision, paths and
// closing steps, and the selection of tab, From entry and To entry with the result they give.
// A window shows this state and reports its user's actions here; the selections the model makes
// are its own and raise no events. Texts are display text (UTF-8).
class ConverterModel {
  public:
    explicit ConverterModel(ConversionCatalog& catalog);

    // What the window measures and reads before start: the height of one row of tabs in its
    // pixels, and how the user writes numbers (with a decimal comma the input "1,5" is one and a
    // half).
    void setTabRowHeight(int pixels) { tabRowHeight_ = pixels; }
    // The result, its exact value and the report write numbers with the same decimal separator.
    void setNumberFormat(NumberFormat format) {
        format_ = format;
        reader_.reset();
    }
    // The region whose names the values and Find read (settings/user_region.h): the user's
    // unless set.
    void setRegion(std::string region) {
        region_ = std::move(region);
        reader_.reset();
        unitNames_.reset();
    }

    // Start-up: the paths in directory, the catalog (from preload when it holds conv.txt's), the
    // settings, then the tabs and lists with the first conversion current and no result; or,
    // where the view's choices say so, the conversion and value in use at the last closing, with
    // its result. Fails with the whole message when the catalog could not be loaded.
    Status start(const std::filesystem::path& directory, CatalogPreload* preload = nullptr);
    // The closing steps, each file at most once however often called: conv.txt merged with what
    // is on disk when a category was shown or hidden, conv.ini always, then the view's choices
    // and the saved conversions that changed. Each step taken, done or with the message to show.
    std::vector<Status> close();

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
    // From and To change places through the category's reverse conversion, the value stays;
    // false when there is none.
    bool swapUnits();

    // Options: the rows to offer, and the rows accepted while the tab strip showed rowsShown rows
    // of tabs. When a flag changed, the tabs and lists are rebuilt with the first conversion
    // current, the layout stands for rowsShown rows until the window lays the new tabs out, and
    // the catalog counts as changed. A result shown is computed again for the units now shown.
    struct OptionsApplied {
        bool changed = false;
        bool recomputed = false;
    };
    std::vector<CategoryRow> optionRows() const;
    OptionsApplied applyOptions(const std::vector<CategoryRow>& rows, int rowsShown = 1);
    // Precision accepted: clamped to the range, then the result recomputed.
    void setPrecision(int value);

    // Favourite and recent conversions, as their menus and Find's empty list offer them. A
    // conversion counts as made, and goes to the recent ones, when the user leaves it with a
    // result shown or closes the window on it.
    struct SavedRow {
        // "Length: Meters → Feet", and the value before the units for a recent one.
        std::string text;
        int tab = -1;
        const Category* category = nullptr;
        const Conversion* conversion = nullptr;
        std::string value;
    };
    // Only those of the categories shown.
    std::vector<SavedRow> favouriteRows() const;
    std::vector<SavedRow> recentRows() const;
    // Both, favourites first, as Find offers them before anything is typed.
    std::vector<FindRow> keptFindRows() const;
    // The row's conversion made current as Find makes it, with its value in the input.
    void showSaved(const SavedRow& row);
    bool isFavourite() const;
    // Marks the current pair a favourite or takes the mark off; false without a current pair.
    bool toggleFavourite();
    void clearRecent();
    // Why lines of the saved conversions' files were skipped at start, one sentence each.
    const std::vector<std::string>& savedNotes() const { return saved_.notes(); }
    const ViewChoices& viewChoices() const { return view_; }
    // Choices changed are kept at closing; recent conversions turned off stop being added.
    // A changed number style computes the result again.
    void setViewChoices(const ViewChoices& choices);

    // The report of the current conversion, as copied and printed, and as a saved file holds it.
    std::string report() const;
    std::string reportFileBytes() const;
    // A report never takes the place of one of the program's own files beside the catalog
    // (conv.txt, names.txt, conv.ini, window.ini, help.chm, and the user's lists: view.ini,
    // favourites.txt, recent.txt, last.txt), whatever the letter case or link
    // that names it: fails with the sentence to show while the file chooser stays open.
    Status mayHoldReport(const std::string& path) const;
    // Writes the report to path whole or not at all; shownPath names the file in the message.
    Status saveReport(const std::string& path, const std::string& shownPath) const;

    // Tab-row layout: how far the controls below the tabs move when the tab strip shows rows rows,
    // zero when the layout already stands for that count.
    int tabRowShift(int rows) const { return (rows - tabRows_) * tabRowHeight_; }
    int tabRowHeight() const { return tabRowHeight_; }

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
    // Each To row's result for the input, as the result field would show it for that unit,
    // beside the row's name; empty when the input gives none or the view shows none. Computed
    // when first asked after a change, so that only the rows a window shows cost anything.
    std::string toResultText(int row);
    // The row as a screen reader says it: "Miles (international), 26.1", or its name alone.
    std::string toRowName(int row);
    unsigned tabsRevision() const { return tabsRevision_; }
    unsigned fromRevision() const { return fromRevision_; }
    unsigned toRevision() const { return toRevision_; }

    // The current category and conversion, none before start or without a shown category.
    const Selection& selection() const { return selection_; }
    const Conversion* currentConversion() const { return selection_.currentConversion; }

    // The four texts of the window's fields and unit labels.
    const std::string& inputText() const { return inputText_; }
    const std::string& resultText() const { return resultText_; }
    const std::string& inputUnitLabel() const { return inputUnitLabel_; }
    const std::string& outputUnitLabel() const { return outputUnitLabel_; }
    // The result as shown with its unit; empty without a result.
    std::string resultWithUnit() const;
    // The same as Copy Result copies it, for pasting into a document or a sheet: without the
    // grouping of its digits, which other programs may not read.
    std::string copiedResult() const;
    // The result in full with its unit; empty before any result.
    const std::string& exactResult() const { return exactResult_; }
    // Why part of the input is not read as the value; empty when all of it is.
    const std::string& unreadInputNote() const { return unreadNote_; }
    // What the input field's description says: the result with its unit, then the note.
    std::string inputDescription() const;
    // The lines under the result: the result in the two parts people read it in ("= 5 ft
    // 10.9 in"), and the units the input was read in ("Read as 5 Feet (international) + 11
    // Inches (international)"); each empty when there is none. The unit labels and the report
    // carry neither. A catalog that holds no conversion says so on them instead, and why where the
    // bytes show it (a file saved as UTF-16).
    std::string resultDetail() const;
    std::string inputDetail() const;

    int precision() const { return precision_; }
    bool catalogChanged() const { return catalogChanged_; }
    char decimalSeparator() const { return format_.decimal; }
    const NumberFormat& numberFormat() const { return format_; }
    // The files beside the catalog: help.chm, and window.ini, which keeps the window's size.
    const std::string& helpPath() const { return helpPath_; }
    std::string windowSizePath() const;

    // names.txt as Find reads it, at each opening, so that names added meanwhile count; note says
    // why the file is not used or that there is none, empty when it is used.
    struct FindNames {
        UnitNames names;
        std::string note;
    };
    FindNames namesForFind() const;

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
    // The last closing's conversion made current, when it is still shown.
    void resumeLast();
    // The current conversion into the recent ones, when it has a result and the user is the one
    // leaving it.
    void rememberCurrent();
    std::vector<SavedRow> rowsOf(const std::vector<SavedConversions::Entry>& entries,
                                 bool withValue) const;
    // The reader of values with units, over names.txt beside the catalog, made when a value
    // first needs it.
    const QueryReader& reader();
    std::string namesPath() const;
    // A number as the user writes it: with their decimal separator.
    std::string withSeparator(std::string number) const;
    // And with its digits grouped as the locale groups them, when the style says so.
    std::string grouped(const std::string& number) const;
    // "FILE could not be DONE in FOLDER: WHY.", the folder being the catalog's.
    std::string whereAndWhy(std::string_view file, std::string_view done,
                            std::string_view why) const;

    ConversionCatalog& catalog_;
    Selection selection_;
    std::vector<Category*> tabCategories_;
    std::vector<FromListEntry> fromEntries_;
    std::vector<const Conversion*> toEntries_;
    // The To rows' results asked for since the input, the rows or the precision last changed.
    std::vector<std::optional<std::string>> toResults_;
    int selectedTab_ = -1;
    int selectedFrom_ = -1;
    int selectedTo_ = -1;
    unsigned tabsRevision_ = 0;
    unsigned fromRevision_ = 0;
    unsigned toRevision_ = 0;

    std::string inputUnitLabel_;
    std::string outputUnitLabel_;
    std::string inputText_;
    std::string resultText_;
    // The result before its digits are grouped.
    std::string plainResult_;
    std::string exactResult_;
    std::string unreadNote_;
    // Why the window is empty, when conv.txt held no conversion.
    std::string emptyCatalogNote_;
    std::string inputReadAs_;
    std::string resultTwoPart_;

    int tabRowHeight_ = 0;
    int tabRows_ = 1;
    bool catalogChanged_ = false;
    int precision_ = 1;
    NumberFormat format_;
    std::string appDirectory_;
    std::string dataPath_;
    std::string helpPath_;
    std::string settingsPath_;
    std::optional<UnitNames> unitNames_;
    std::optional<QueryReader> reader_;
    std::string region_ = userRegion();
    SavedConversions saved_;
    ViewChoices view_;
    ViewChoices viewRead_;
    // False while the model's own steps change the selection.
    bool remembering_ = true;
    bool closed_ = false;
};
