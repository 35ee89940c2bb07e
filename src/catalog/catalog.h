#pragma once

#include "catalog/label_index.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class FileOps;

// One conversion from a source unit to a target unit. Texts are the catalog file's bytes; the
// catalog owns them, and a conversion is made only by its category.
class Conversion {
  public:
    std::string_view name() const { return name_; }
    std::string_view fromUnit() const { return fromUnit_; }
    std::string_view toUnit() const { return toUnit_; }
    std::string_view formula() const { return formula_; }
    int id() const { return id_; }
    int fromGroup() const { return fromGroup_; }

    // Puts value in place of every "x" of formula and computes it; 0.0 when it cannot be computed.
    double evaluate(double value) const;
    // The same computation with the engine's code (FormulaCode): result is what evaluate gives,
    // and the code says whether the formula computed (0) or why not.
    int compute(double value, double& result) const;

  private:
    friend class Category;
    std::string name_;
    std::string fromUnit_;
    std::string toUnit_;
    std::string formula_;
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
    Category(int id, std::string name);

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
    const std::deque<Conversion>& conversions() const { return conversions_; }

    // Ids are positions; nullptr for an id out of range.
    const Conversion* conversionAt(int id) const;
    const Conversion& addConversion(std::string_view name, std::string_view fromUnit,
                                    std::string_view toUnit, std::string_view formula);
    // The group of the first entry whose label equals label byte for byte, or -1.
    int findFromGroup(std::string_view label) const;
    void addFromUnit(std::string_view label, int group);

  private:
    std::string name_;
    // A deque never moves its elements, so references handed out stay valid.
    std::deque<Conversion> conversions_;
    struct StoredEntry {
        int group = 0;
        std::string label;
    };
    std::deque<StoredEntry> fromUnits_;
    // Label to group of its first entry: loading stays linear in the number of lines.
    LabelIndex fromIndex_;
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

    // Reads the data file at path and adds its records. False only when it cannot be opened.
    bool load(const std::string& path);
    // Adds the records of the data file's bytes. A UTF-8 byte order mark at the very start is no
    // part of the first line; it is remembered and written back by fileText.
    void loadText(std::string_view bytes);
    // Writes the whole catalog whole or not at all. False when the file could not be replaced;
    // the old file is then left as it was.
    bool save(const std::string& path) const;
    bool save(const std::string& path, FileOps& ops) const;
    // The whole catalog as the data file holds it: categories in id order, CR LF line ends.
    std::string fileText() const;
    // Adds the record of one line, or nothing when it has fewer than five fields.
    void parseLine(std::string_view line);

    // The closing save. Someone may have edited the file while the program ran: when its bytes
    // are no longer those loaded, they are read again, the shown and hidden choices made since
    // the load are carried over to them by category name, and that is written. False, with the
    // file left alone, when it can no longer be read or cannot be written.
    bool saveKeepingDiskEdits(const std::string& path) const;
    bool saveKeepingDiskEdits(const std::string& path, FileOps& ops) const;

    bool hasByteOrderMark() const { return byteOrderMark_; }

  private:
    std::vector<std::unique_ptr<Category>> categories_;
    // What the load saw: a fingerprint of the file's bytes and each category's flag.
    std::uint64_t loadedFingerprint_ = 0;
    std::vector<int> loadedFlags_;
    bool byteOrderMark_ = false;
    // Name to the id of the first category of that name; the names live in the categories.
    LabelIndex nameIndex_;
    // The category found last: the lines of a category mostly come together.
    mutable Category* lastFound_ = nullptr;
};
