#pragma once

#include "catalog/chunked_list.h"
#include "catalog/label_index.h"
#include "catalog/text_store.h"
#include "files/read_problem.h"
#include "files/whole_file_writer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One conversion from a source unit to a target unit. Texts are the catalog file's bytes; the
// catalog owns them, and a conversion is made only by its category.
class Conversion {
  public:
    std::string_view name() const { return text(0); }
    std::string_view fromUnit() const { return text(1); }
    std::string_view toUnit() const { return text(2); }
    std::string_view formula() const { return text(3); }
    int id() const { return id_; }
    int fromGroup() const { return fromGroup_; }

    // Puts value in place of every "x" of formula and computes it; 0.0 when it cannot be computed.
    double evaluate(double value) const;
    // The same computation with the engine's code (FormulaCode): result is what evaluate gives,
    // and the code says whether the formula computed (0) or why not.
    int compute(double value, double& result) const;

  private:
    friend class Category;
    std::string_view text(int which) const;

    // A catalog has as many of these as lines, so they are small: the four texts lie in this
    // order in the catalog's text, each gap_ bytes after the end of the one before, as the
    // fields of a line do. Texts too long for that are kept one after the other behind their
    // lengths, and text_ points at the lengths.
    const char* text_ = nullptr;
    std::uint8_t length_[4] = {};
    std::uint8_t gap_[3] = {};
    bool long_ = false;
    int id_ = 0;
    int fromGroup_ = 0;
};

// One entry of a category's source-unit index.
struct FromUnitEntry {
    int group = 0;
    std::string_view label;
};

class Category {
  public:
    Category(int id, std::string_view name, TextStore& texts);

    std::string_view name() const { return name_; }
    int id() const { return id_; }
    int visible() const { return visible_; }
    void setVisible(int visible) { visible_ = visible; }
    int conversionCount() const { return static_cast<int>(conversions_.size()); }
    int nextFromGroup() const { return nextFromGroup_; }
    // The source-unit index: fromUnitCount() entries, in the order they were added.
    int fromUnitCount() const { return static_cast<int>(fromUnits_.size()); }
    FromUnitEntry fromUnitAt(int index) const;
    // In id order, each a const Conversion&; for walks over every conversion, which need no
    // lookup by id.
    const ChunkedList<Conversion>& conversions() const { return conversions_; }

    // Ids are positions; nullptr for an id out of range.
    const Conversion* conversionAt(int id) const;
    const Conversion& addConversion(std::string_view name, std::string_view fromUnit,
                                    std::string_view toUnit, std::string_view formula);
    // The group of the first entry whose label equals label byte for byte, or -1.
    int findFromGroup(std::string_view label) const;
    void addFromUnit(std::string_view label, int group);
    // Frees the lookup that adding conversions needs; it is made again if ever asked for.
    void releaseLookup() const { fromIndex_ = {}; }

  private:
    // An entry names the conversion whose source label it is, which keeps the label in one
    // place; a label given on its own is kept aside (a negative number: -1 is the first).
    struct StoredEntry {
        int group = 0;
        int label = 0;
    };
    std::string_view labelOf(const StoredEntry& entry) const;
    void placeTexts(Conversion& conversion, const std::string_view (&texts)[4]);

    TextStore* texts_;
    std::string_view name_;
    ChunkedList<Conversion> conversions_;
    ChunkedList<StoredEntry> fromUnits_;
    std::vector<std::string_view> ownLabels_;
    // Label to group of its first entry, so that loading stays linear in the number of lines.
    mutable LabelIndex fromIndex_;
    int id_ = 0;
    int nextFromGroup_ = 0;
    int visible_ = 1;
};

class ConversionCatalog {
  public:
    int categoryCount() const { return static_cast<int>(categories_.size()); }
    // Ids are positions; nullptr for an id out of range.
    Category* categoryAt(int id) const;
    // The first category in id order whose name equals name byte for byte, or nullptr.
    Category* findCategory(std::string_view name) const;
    Category& addCategory(std::string_view name);

    // Reads the data file at path and adds its records. False only when it cannot be read, with
    // the reason in problem when given.
    bool load(const std::string& path, ReadProblem* problem = nullptr);
    // Adds the records of a data file's bytes, which the catalog keeps: its texts stay where
    // they are in them. A UTF-8 byte order mark at the very start is no part of the first line.
    void loadText(std::string bytes);
    // Writes the catalog whole or not at all (see fileText). False when that could not be done;
    // the old file is then left as it was, or, in the rare case that a failed write in place
    // could not be undone, its old bytes are kept as saveKeepingDiskEdits says.
    bool save(const std::string& path) const;
    bool save(const std::string& path, FileOps& ops) const;
    // The catalog as the data file holds it. The files read are given back byte for byte but
    // for the hidden marks of the categories shown or hidden since; conversions added otherwise
    // follow as lines of their own, categories in id order, CR LF line ends. Nothing when the
    // marks cannot say what the catalog holds (a category's last line too long for its mark).
    std::optional<std::string> fileText() const;
    // Adds the record of one line, or nothing when it has fewer than five fields.
    void parseLine(std::string_view line);

    // The closing save, under a lock on the file against another instance closing at the same
    // time. Someone may have edited the file while the program ran, so its bytes are read again
    // and only the shown and hidden choices made since the load are carried over to them, by
    // category name; nothing else in the file changes. Fails, with the file left alone, when it
    // can no longer be read or cannot be written; the result says when a failed write in place
    // could not be undone, and where the old bytes were kept.
    WriteResult saveKeepingDiskEdits(const std::string& path) const;
    WriteResult saveKeepingDiskEdits(const std::string& path, FileOps& ops) const;

  private:
    // The categories shown or hidden since the load, by name: whether each is shown now.
    std::vector<std::pair<std::string_view, bool>> visibilityChoices() const;
    TextStore& texts();

    // Owned apart from the catalog, so that a moved catalog's records still point into it.
    std::unique_ptr<TextStore> texts_;
    std::vector<std::unique_ptr<Category>> categories_;
    // Each category's flag as the load left it.
    std::vector<int> loadedFlags_;
    // Name to the id of the first category of that name; the names live in the categories.
    LabelIndex nameIndex_;
    // The category found last: the lines of a category mostly come together.
    mutable Category* lastFound_ = nullptr;
};
