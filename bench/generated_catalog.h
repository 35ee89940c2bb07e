#pragma once

#include <cstdio>
#include <string>

// A catalog file of the given number of lines, shaped like a real one: 50 categories, each a
// contiguous block of lines; about 20 source units per category, each with its run of targets.
inline std::string generatedCatalog(int lines) {
    constexpr int categories = 50;
    constexpr int sourcesPerCategory = 20;
    const int perCategory = (lines + categories - 1) / categories;
    const int targetsPerSource = (perCategory + sourcesPerCategory - 1) / sourcesPerCategory;

    std::string text;
    text.reserve(static_cast<std::size_t>(lines) * 64);
    char line[160];
    for (int i = 0; i < lines; ++i) {
        const int category = i / perCategory;
        const int inCategory = i % perCategory;
        const int source = inCategory / targetsPerSource;
        const int nth = inCategory % targetsPerSource;
        // The targets of a source are the other units, so no conversion goes to itself.
        const int target = nth < source ? nth : nth + 1;
        const double factor = (target + 1.0) / (source + 1.0) * 0.3048;
        std::snprintf(line, sizeof line, "Category %d|Unit %d to Unit %d|Unit %d|Unit %d|x*%.10g\n",
                      category, source, target, source, target, factor);
        text += line;
    }
    return text;
}
