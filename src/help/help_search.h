#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What a reader sees of a page: its title and its text, in UTF-8, with the tags, the style
// sheets and the scripts left out and the character references decoded.
struct PageText {
    std::string title;
    std::string text;
};
PageText pageText(std::string_view html);

// Finds help pages by their words, without any index the help file brings.
class HelpSearch {
  public:
    struct Hit {
        std::string page;
        std::string title; // the page's title, else its name
    };

    void addPage(std::string page, std::string_view html);
    // The pages holding, for every word of the query, a word that starts with it (letter case
    // aside), those with the most such words first, the title counting most, then in the order
    // they were added.
    std::vector<Hit> find(std::string_view query) const;

  private:
    struct Page {
        Hit hit;
        std::vector<std::string> titleWords;
        std::vector<std::string> words; // sorted
    };
    std::vector<Page> pages_;
};
