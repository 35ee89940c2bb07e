#include "converter/converter_model.h"

#include "catalog/catalog.h"
#include "catalog/catalog_file.h"
#include "catalog/catalog_preload.h"
#include "converter/find_text.h"
#include "converter/report_text.h"
#include "files/file_system.h"
#include "files/read_problem.h"
#include "files/whole_file_reader.h"
#include "files/whole_file_writer.h"
#include "names/unit_names.h"
#include "settings/settings_file.h"
#include "text/case_fold.h"
#include "text/display_text.h"
#include "text/text_scan.h"
#include "text/wide_encoding.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace {

// The same file or folder, by what the system says of both or else by their names as far as
// they lead: a file not there yet has no identity to compare.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error)) return true;
    const auto name = [](const std::filesystem::path& path) {
        std::error_code ignored;
        // Windows names files without regard to the case of their letters.
        return foldCase(
            utf8Path(std::filesystem::weakly_canonical(path, ignored).lexically_normal()));
    };
    return name(a) == name(b);
}

} // namespace

ConverterModel::ConverterModel(ConversionCatalog& catalog) : catalog_(catalog) {}

Status ConverterModel::start(const std::filesystem::path& directory, CatalogPreload* preload) {
    // A working folder that has gone away leaves the paths relative; the load then fails with
    // its message instead of ending the program.
    appDirectory_ = directory.empty() ? std::string() : (directory / "").string();
    dataPath_ = appDirectory_ + "conv.txt";
    helpPath_ = appDirectory_ + "help.chm";
    settingsPath_ = appDirectory_ + "conv.ini";
    catalogChanged_ = false;
    tabRows_ = 1;
    precision_ = 1;

    ReadProblem problem = ReadProblem::None;
    const std::optional<bool> preloaded =
        preload ? preload->take(dataPath_, catalog_, &problem) : std::optional<bool>();
    if (!(preloaded ? *preloaded : catalog_.load(dataPath_, &problem))) {
        std::string why = readFailureReason(problem, dataPath_, "it");
        if (why.empty())
            why = problem == ReadProblem::Missing ? "there is no such file" : "it cannot be read";
        return Failure{"Unable to load conversion data. " + whereAndWhy("conv.txt", "read", why)};
    }
    ::readSettings(settingsPath_, precision_);
    emptyCatalogNote_.clear();
    if (catalog_.categoryCount() == 0) {
        std::string bytes;
        readWholeFile(dataPath_, bytes);
        const std::string_view encoding = wideEncodingOf(bytes);
        emptyCatalogNote_ = "conv.txt holds no conversion that can be read" +
                            (encoding.empty() ? std::string()
                                              : "; it is saved as " + std::string(encoding) +
                                                    ": save it as UTF-8") +
                            ".";
    }
    fillAndSelectFirst();
    view_ = viewRead_ = readViewChoices(appDirectory_ + viewChoicesFileName);
    saved_.load(appDirectory_, catalog_);
    if (view_.resumeLast) resumeLast();
    return {};
}

void ConverterModel::resumeLast() {
    const std::optional<SavedConversions::Entry>& last = saved_.last();
    if (!last) return;
    const int tab = tabOf(catalog_, last->category);
    if (tab < 0) return;
    const bool remembering = std::exchange(remembering_, false);
    showConversion(tab, *last->conversion, last->value);
    remembering_ = remembering;
}

std::vector<Status> ConverterModel::close() {
    std::vector<Status> steps;
    if (closed_) return steps;
    closed_ = true;
    if (catalogChanged_) {
        const WriteResult saved = catalog_.saveKeepingDiskEdits(dataPath_);
        steps.push_back(saved ? Status()
                              : Failure{"Unable to save conversion data. " +
                                        whereAndWhy("conv.txt", "written", saved.why) +
                                        damageNote(saved, "conv.txt")});
    }
    steps.push_back(
        ::writeSettings(settingsPath_, precision_)
            ? Status()
            : Failure{"Unable to save conversion settings. " +
                      whereAndWhy("conv.ini", "written", writeFailureReason(settingsPath_))});
    rememberCurrent();
    if (view_.resumeLast && selection_.currentConversion)
        saved_.setLast(*selection_.currentCategory, *selection_.currentConversion, inputText_);
    std::vector<SavedConversions::Written> written = saved_.save();
    const ListEdits viewEdits = viewChoiceEdits(viewRead_, view_);
    if (!viewEdits.empty())
        written.push_back(
            {viewChoicesFileName, saveListEdits(appDirectory_ + viewChoicesFileName, viewEdits)});
    for (const SavedConversions::Written& file : written)
        if (!file.result && file.worthAMessage)
            steps.push_back(Failure{"Unable to save your conversions. " +
                                    whereAndWhy(file.file, "written", file.result.why) +
                                    damageNote(file.result, file.file)});
    return steps;
}

// The user's actions, each running the steps of its event in order.

void ConverterModel::onTabChanged(int tab) {
    rememberCurrent();
    selectedTab_ = tab >= 0 && tab < tabCount() ? tab : -1;
    selectCategory();
    fillFromList();
    fillToList();
    selectConversion();
    recompute();
}

void ConverterModel::onFromChanged(int row) {
    row = row >= 0 && row < fromCount() ? row : -1;
    // Windows reports a click on the row already selected as a change: it keeps To and the result.
    if (row == selectedFrom_) return;
    rememberCurrent();
    selectedFrom_ = row;
    fillToList();
    selectConversion();
    recompute();
}

void ConverterModel::onToChanged(int row) {
    rememberCurrent();
    selectedTo_ = row >= 0 && row < toCount() ? row : -1;
    selectConversion();
    recompute();
}

void ConverterModel::onInputChanged(std::string text) {
    inputText_ = std::move(text);
    recompute();
}

void ConverterModel::stepCategory(int delta) {
    const int count = tabCount();
    if (count == 0) return;
    const int tab = ((selectedTab_ + delta) % count + count) % count;
    if (tab != selectedTab_) onTabChanged(tab);
}

void ConverterModel::showConversion(int tab, const Conversion& conversion,
                                    const std::string& value) {
    rememberCurrent();
    // The steps below are the model's own: the conversion left is remembered once, above.
    const bool remembering = std::exchange(remembering_, false);
    if (!value.empty()) onInputChanged(value);
    // A click that lands on the entry already selected changes nothing.
    if (tab != selectedTab_) onTabChanged(tab);
    for (int row = 0; row < fromCount(); ++row)
        if (fromEntries_[static_cast<std::size_t>(row)].group == conversion.fromGroup()) {
            if (row != selectedFrom_) onFromChanged(row);
            break;
        }
    const auto to = std::find(toEntries_.begin(), toEntries_.end(), &conversion);
    if (to != toEntries_.end() && to - toEntries_.begin() != selectedTo_)
        onToChanged(static_cast<int>(to - toEntries_.begin()));
    // Computed even when every entry was already the current one.
    recompute();
    remembering_ = remembering;
}

std::vector<CategoryRow> ConverterModel::optionRows() const {
    return categoryRows(catalog_);
}

ConverterModel::OptionsApplied ConverterModel::applyOptions(const std::vector<CategoryRow>& rows,
                                                            int rowsShown) {
    OptionsApplied applied;
    if (!applyCategoryRows(catalog_, rows)) return applied;
    applied.changed = true;
    // The layout stands for the rows the strip showed before its tabs go.
    tabRows_ = rowsShown;
    clearTabs();
    fillAndSelectFirst();
    // A result shown must belong to the units now shown beside it, and text typed while no
    // conversion was current gets its result; with neither, none shown stays none.
    applied.recomputed = !resultText_.empty() || !inputText_.empty();
    if (applied.recomputed) recompute();
    catalogChanged_ = true;
    return applied;
}

void ConverterModel::setViewChoices(const ViewChoices& choices) {
    const bool restyled = choices.numbers != view_.numbers;
    view_ = choices;
    view_.numbers = withinRanges(view_.numbers);
    toResults_.assign(toResults_.size(), std::nullopt);
    if (restyled) recompute();
}

void ConverterModel::setPrecision(int value) {
    precision_ = std::clamp(value, minPrecision, maxPrecision);
    recompute();
}

void ConverterModel::rememberCurrent() {
    if (!remembering_ || !view_.keepRecent || !selection_.currentConversion ||
        resultText_.empty() || trimmed(inputText_).empty())
        return;
    saved_.addRecent(*selection_.currentCategory, *selection_.currentConversion, inputText_);
}

std::vector<ConverterModel::SavedRow>
ConverterModel::rowsOf(const std::vector<SavedConversions::Entry>& entries, bool withValue) const {
    std::vector<SavedRow> rows;
    for (const SavedConversions::Entry& entry : entries) {
        const int tab = tabOf(catalog_, entry.category);
        if (tab < 0) continue;
        const std::string value = withValue ? entry.value : std::string();
        rows.push_back({keptConversionText(*entry.category, *entry.conversion, value), tab,
                        entry.category, entry.conversion, value});
    }
    return rows;
}

std::vector<FindRow> ConverterModel::keptFindRows() const {
    std::vector<FindRow> rows;
    for (const auto& [list, kind] : {std::pair(favouriteRows(), FindRow::Kept::Favourite),
                                     std::pair(recentRows(), FindRow::Kept::Recent)})
        for (const SavedRow& row : list)
            rows.push_back({{row.tab, row.category, row.conversion, MatchRank::Exact},
                            row.value,
                            false,
                            kind});
    return rows;
}

std::vector<ConverterModel::SavedRow> ConverterModel::favouriteRows() const {
    return rowsOf(saved_.favourites(), false);
}

std::vector<ConverterModel::SavedRow> ConverterModel::recentRows() const {
    return rowsOf(saved_.recent(), true);
}

void ConverterModel::showSaved(const SavedRow& row) {
    // A favourite keeps the value typed; a recent conversion brings its own.
    if (row.conversion && row.tab >= 0 && row.tab < tabCount())
        showConversion(row.tab, *row.conversion, row.value);
}

bool ConverterModel::isFavourite() const {
    return selection_.currentConversion && saved_.isFavourite(*selection_.currentConversion);
}

bool ConverterModel::toggleFavourite() {
    if (!selection_.currentCategory || !selection_.currentConversion) return false;
    saved_.toggleFavourite(*selection_.currentCategory, *selection_.currentConversion);
    return true;
}

void ConverterModel::clearRecent() {
    saved_.clearRecent();
}

std::string ConverterModel::report() const {
    return buildReportText(selection_.currentConversion != nullptr, inputText_, inputUnitLabel_,
                           resultText_, outputUnitLabel_);
}

std::string ConverterModel::reportFileBytes() const {
    return ::reportFileBytes(report(), selection_.currentConversion);
}

Status ConverterModel::mayHoldReport(const std::string& path) const {
    namespace fs = std::filesystem;
    std::error_code error;
    // As the system resolves it: on Windows "conv.ini." and "CONV~1.INI" name conv.ini.
    const fs::path chosen = fs::absolute(nativePath(resolvedFilePath(path)), error);
    const fs::path folder = fs::absolute(nativePath(dataPath_), error).parent_path();
    const bool sameFolder = sameFile(chosen.parent_path(), folder);
    for (const char* name : {"conv.txt", "names.txt", "conv.ini", windowSizeFileName, "help.chm",
                             viewChoicesFileName, SavedConversions::favouritesFile,
                             SavedConversions::recentFile, SavedConversions::lastFile}) {
        const bool named = sameFolder && foldCase(utf8Path(chosen.filename())) == name;
        if (named || sameFile(chosen, folder / name))
            return Failure{std::string(name) + " is one of the program's own files, beside its " +
                           "catalog; choose another name for the report."};
    }
    return {};
}

Status ConverterModel::saveReport(const std::string& path, const std::string& shownPath) const {
    if (const Status allowed = mayHoldReport(path); !allowed) return allowed;
    if (writeWholeFile(path, reportFileBytes())) return {};
    return Failure{"The file " + shownPath + " could not be written."};
}

std::string ConverterModel::tabText(int tab) const {
    return tab >= 0 && tab < tabCount()
               ? toDisplayText(tabCategories_[static_cast<std::size_t>(tab)]->name())
               : std::string();
}

std::string ConverterModel::fromText(int row) const {
    return row >= 0 && row < fromCount()
               ? toDisplayText(fromEntries_[static_cast<std::size_t>(row)].label)
               : std::string();
}

std::string ConverterModel::toText(int row) const {
    return row >= 0 && row < toCount()
               ? toDisplayText(toEntries_[static_cast<std::size_t>(row)]->toUnit())
               : std::string();
}

std::string ConverterModel::toResultText(int row) {
    // Nothing typed gives no result; nor does it need the reader of units, which a large catalog
    // takes a while to build.
    if (row < 0 || row >= toCount() || !view_.allResults || !selection_.currentCategory ||
        trimmed(inputText_).empty())
        return {};
    std::optional<std::string>& result = toResults_[static_cast<std::size_t>(row)];
    if (!result)
        result = grouped(withSeparator(
            computeResultTexts(*toEntries_[static_cast<std::size_t>(row)], inputText_, precision_,
                               {format_, selection_.currentCategory, &reader(), view_.numbers})
                .shown));
    return *result;
}

std::string ConverterModel::toRowName(int row) {
    const std::string result = toResultText(row);
    return toText(row) + (result.empty() ? std::string() : ", " + result);
}

std::string ConverterModel::inputDescription() const {
    return ::inputDescription(resultWithUnit(), unreadNote_);
}

std::string ConverterModel::resultDetail() const {
    if (!emptyCatalogNote_.empty()) return emptyCatalogNote_;
    return resultTwoPart_.empty() || resultText_.empty() ? std::string() : "= " + resultTwoPart_;
}

std::string ConverterModel::inputDetail() const {
    if (!emptyCatalogNote_.empty()) return "velmora --check conv.txt says what each line lacks.";
    return inputReadAs_.empty() || resultText_.empty() ? std::string() : "Read as " + inputReadAs_;
}

std::string ConverterModel::whereAndWhy(std::string_view file, std::string_view done,
                                        std::string_view why) const {
    // The folder as people write it, without the separator the paths are built with.
    std::string folder = appDirectory_;
    if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    if (folder.empty()) folder = "the working folder";
    return std::string(file) + " could not be " + std::string(done) + " in " + folder + ": " +
           std::string(why.empty() ? "the reason is not known" : why) + ".";
}

// The steps of the selection. Every selection made here is the model's own.

void ConverterModel::fillAndSelectFirst() {
    fillTabs();
    selectCategory();
    fillFromList();
    fillToList();
    selectConversion();
    // No recompute: the result keeps its text until the next event that computes.
    updateUnitLabels();
}

void ConverterModel::fillTabs() {
    tabCategories_ = visibleCategories(catalog_);
    selectedTab_ = tabCategories_.empty() ? -1 : 0;
    ++tabsRevision_;
}

void ConverterModel::clearTabs() {
    tabCategories_.clear();
    selectedTab_ = -1;
    ++tabsRevision_;
}

void ConverterModel::selectCategory() {
    selection_.currentCategory =
        selectedTab_ >= 0 ? tabCategories_[static_cast<std::size_t>(selectedTab_)] : nullptr;
}

void ConverterModel::fillFromList() {
    fromEntries_.clear();
    if (selection_.currentCategory) fromEntries_ = fromListEntries(*selection_.currentCategory);
    selectedFrom_ = fromEntries_.empty() ? -1 : 0;
    ++fromRevision_;
}

void ConverterModel::fillToList() {
    toEntries_.clear();
    if (selection_.currentCategory) {
        const int group =
            selectedFrom_ >= 0 ? fromEntries_[static_cast<std::size_t>(selectedFrom_)].group : -1;
        toEntries_ = toListEntries(*selection_.currentCategory, group);
    }
    selectedTo_ = toEntries_.empty() ? -1 : 0;
    toResults_.assign(toEntries_.size(), std::nullopt);
    ++toRevision_;
}

void ConverterModel::selectConversion() {
    selection_.currentConversion =
        selectedTo_ >= 0 ? toEntries_[static_cast<std::size_t>(selectedTo_)] : nullptr;
}

void ConverterModel::updateUnitLabels() {
    if (!selection_.currentConversion) return;
    inputUnitLabel_ = toDisplayText(selection_.currentConversion->fromUnit());
    outputUnitLabel_ = toDisplayText(selection_.currentConversion->toUnit());
}

void ConverterModel::recompute() {
    toResults_.assign(toEntries_.size(), std::nullopt);
    if (!selection_.currentConversion) {
        unreadNote_ = ::unreadInputNote(inputText_, format_);
        return;
    }
    const Conversion& conversion = *selection_.currentConversion;
    const ResultTexts texts =
        computeResultTexts(conversion, inputText_, precision_,
                           {format_, selection_.currentCategory, &reader(), view_.numbers});
    unreadNote_ = texts.note;
    plainResult_ = withSeparator(texts.shown);
    resultText_ = grouped(plainResult_);
    inputReadAs_ = texts.readAs;
    resultTwoPart_ = withSeparator(texts.twoPart);
    exactResult_ = texts.exact.empty()
                       ? std::string()
                       : withSeparator(texts.exact) + " " + toDisplayText(conversion.toUnit());
    updateUnitLabels();
}

std::string ConverterModel::withSeparator(std::string number) const {
    // The user who writes decimals with a comma reads them so too; the numbers carry no other
    // point.
    if (format_.decimal != '.') std::replace(number.begin(), number.end(), '.', format_.decimal);
    return number;
}

std::string ConverterModel::grouped(const std::string& number) const {
    if (!view_.numbers.groupDigits) return number;
    // Where the locale groups with a space, with the no-break one, so that a number never breaks.
    const std::string separator = format_.spaceGroups ? "\xC2\xA0"
                                  : format_.grouping  ? std::string(1, format_.grouping)
                                                      : std::string();
    return groupedDigits(number, format_.decimal, separator);
}

const QueryReader& ConverterModel::reader() {
    if (!reader_) {
        if (!unitNames_) unitNames_ = readUnitNames(namesPath(), nullptr, region_);
        reader_.emplace(catalog_, *unitNames_, VocabularyScope{}, format_);
    }
    return *reader_;
}

std::string ConverterModel::namesPath() const {
    return appDirectory_ + "names.txt";
}

ConverterModel::FindNames ConverterModel::namesForFind() const {
    FindNames found;
    std::string refusal;
    found.names = readUnitNames(namesPath(), &refusal, region_);
    std::error_code error;
    if (!refusal.empty())
        found.note = refusal + ".";
    else if (!std::filesystem::exists(nativePath(namesPath()), error))
        // Without it, a symbol such as "mi" finds only the labels that start with its letters.
        found.note = "There is no names.txt beside conv.txt, so units are found by the words of "
                     "their labels alone, not by their symbols.";
    return found;
}

std::string ConverterModel::windowSizePath() const {
    return appDirectory_ + windowSizeFileName;
}

std::string ConverterModel::copiedResult() const {
    if (!selection_.currentConversion || plainResult_.empty()) return {};
    return plainResult_ + " " + toDisplayText(selection_.currentConversion->toUnit());
}

std::string ConverterModel::resultWithUnit() const {
    if (!selection_.currentConversion || resultText_.empty()) return {};
    return resultText_ + " " + toDisplayText(selection_.currentConversion->toUnit());
}

bool ConverterModel::swapUnits() {
    if (!selection_.currentCategory || !selection_.currentConversion) return false;
    const Conversion* reverse =
        reverseConversion(*selection_.currentCategory, *selection_.currentConversion);
    if (!reverse) return false;
    showConversion(selectedTab_, *reverse, {});
    return true;
}
