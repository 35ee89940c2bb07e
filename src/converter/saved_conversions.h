#pragma once

#include "files/whole_file_writer.h"
#include "lists/list_file.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class Category;
class Conversion;
class ConversionCatalog;

// The user's favourite conversions, the recent ones with their values, and the one in use at
// closing, each kept by its names in a file beside conv.ini (lists/saved_pair.h) and found again
// in the catalog at start. A line that cannot be read, or names a conversion the catalog no longer
// has, stays in its file and is skipped with a note; only what this instance changed is written.
class SavedConversions {
  public:
    struct Entry {
        const Category* category = nullptr;
        const Conversion* conversion = nullptr;
        std::string value;
        // The line it was read from or will be written as.
        std::string line;
    };
    static constexpr std::size_t favouriteLimit = 100;
    static constexpr std::size_t recentLimit = 20;
    static constexpr const char* favouritesFile = "favourites.txt";
    static constexpr const char* recentFile = "recent.txt";
    static constexpr const char* lastFile = "last.txt";

    // Reads the three files in folder ("" or ending in a separator) against the catalog.
    void load(const std::string& folder, const ConversionCatalog& catalog);

    const std::vector<Entry>& favourites() const { return favourites_; }
    // Newest first.
    const std::vector<Entry>& recent() const { return recent_; }
    const std::optional<Entry>& last() const { return last_; }
    // Why lines were skipped, one sentence each.
    const std::vector<std::string>& notes() const { return notes_; }

    bool isFavourite(const Conversion& conversion) const;
    // Marks the pair a favourite, at the end of the list, or takes the mark off.
    void toggleFavourite(const Category& category, const Conversion& conversion);
    // The conversion made with value goes to the top of the recent list; the same pair with the
    // same value moves there.
    void addRecent(const Category& category, const Conversion& conversion,
                   const std::string& value);
    void clearRecent();
    void setLast(const Category& category, const Conversion& conversion, const std::string& value);

    // Writes each file this instance changed; the file's name with how its write went.
    struct Written {
        const char* file;
        WriteResult result;
        // The recent conversions and the last one only make the next start quicker, as the
        // window's size does: a folder that takes no new file is not worth a message for them.
        bool worthAMessage = true;
    };
    std::vector<Written> save();

  private:
    std::vector<Entry> readEntries(const char* file, const ConversionCatalog& catalog,
                                   std::size_t limit);

    std::string folder_;
    std::vector<Entry> favourites_;
    std::vector<Entry> recent_;
    std::optional<Entry> last_;
    std::vector<std::string> notes_;
    ListEdits favouriteEdits_;
    ListEdits recentEdits_;
    bool lastChanged_ = false;
};
