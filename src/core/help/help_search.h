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
    std::string headings; // the text of its headings, one a line
};
PageText pageText(std::string_view html);

// Finds help pages by their words, without any index the help file brings.
class HelpSearch {
  public:
    struct Hit {
        std::string page;
        std::string title; // the page's title, else its name
        // The words around the first match in the page's text, with an ellipsis where they are
        // cut; empty when the words are in the title alone.
        std::string context;
    };

    void addPage(std::string page, std::string_view html);
    // The pages holding, for every word of the query, a word that starts with it (letter case
    // aside). Ranked by where the words are: more of them in the title first (whole title words
    // before their starts), then more of them in a heading, then more matching words in the
    // text, then in the order they were added.
    std::vector<Hit> find(std::string_view query) const;

  private:
    struct Page {
        Hit hit;
        std::vector<std::string> titleWords;
        std::vector<std::string> headingWords;
        std::vector<std::string> words; // sorted
        std::string text;               // one blank between words
        std::string lowered;            // text with its ASCII letters in lower case
    };
    // Where the text first has a word starting with the first of words that it has; npos for
    // none.
    static std::size_t firstMatch(const Page& page, const std::vector<std::string>& words);
    std::vector<Page> pages_;
};
