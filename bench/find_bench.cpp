// One keystroke in Find Conversion on a catalog of 100,000 conversions: the key event, the search
// and the match list filled again, and the dialog painted, timed together.
//   find_bench NAMES_FILE [PASSES [CATALOG [QUERY]]]
// Two catalogs of 100,000 lines: the usual shape (generated_catalog.h: 50 categories of about
// 20 source units) and one where every line has a From label of its own; or the CATALOG file
// given, with QUERY typed (by default "5 mi to km"), for a large names file beside a real catalog.
// The query is typed a character at a time and taken back with Backspace; then a pasted page of
// 16,000 words gets one more character. Runs on the offscreen platform unless QT_QPA_PLATFORM says
// otherwise.

#include "catalog/catalog.h"
#include "generated_catalog.h"
#include "names/unit_names.h"
#include "qt/dialogs/find_dialog.h"
#include "search/conversion_search.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * values.size()));
    return values[std::max<std::size_t>(rank, 1) - 1];
}

std::string distinctLabels(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += "Category " + std::to_string(i / 2000) + "|n|Unit " + std::to_string(i) +
                "|Base|x*" + std::to_string(i + 1) + "\n";
    return text;
}

// Milliseconds of one key click with the dialog painted after it.
double keystroke(FindDialog& dialog, QLineEdit* query, Qt::Key key, char text) {
    const auto start = Clock::now();
    if (key == Qt::Key_unknown)
        QTest::keyClick(query, text);
    else
        QTest::keyClick(query, key);
    dialog.repaint();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void measure(const char* name, const std::string& catalogText, const UnitNames& names, int passes,
             const std::string& typed = "5 unit 12 to unit 3") {
    ConversionCatalog catalog;
    catalog.loadText(catalogText);
    const auto opening = Clock::now();
    FindDialog dialog(catalog, names, NumberFormat('.'));
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) std::exit(1);
    const double openMs = std::chrono::duration<double, std::milli>(Clock::now() - opening).count();
    auto* query = dialog.findChild<QLineEdit*>(QStringLiteral("findQuery"));

    std::vector<double> keys;
    for (int pass = 0; pass <= passes; ++pass) {
        std::vector<double> times;
        for (const char c : typed)
            times.push_back(keystroke(dialog, query, Qt::Key_unknown, c));
        for (std::size_t i = 0; i < typed.size(); ++i)
            times.push_back(keystroke(dialog, query, Qt::Key_Backspace, 0));
        QCoreApplication::processEvents();
        // The first pass warms the caches and is not counted.
        if (pass > 0) keys.insert(keys.end(), times.begin(), times.end());
    }

    // The reading and the search alone, on every prefix of the query.
    const ConversionFinder search(catalog, names, NumberFormat('.'));
    std::vector<double> searches;
    for (int pass = 0; pass < passes; ++pass)
        for (std::size_t length = 1; length <= typed.size(); ++length) {
            const auto start = Clock::now();
            const FindResults result = search.find(typed.substr(0, length));
            searches.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            if (result.exactCount < 0) std::exit(1);
        }

    std::string page;
    for (int i = 0; i < 16000; ++i)
        page += "unit" + std::to_string(i) + " ";
    query->setText(QString::fromStdString(page));
    query->end(false);
    std::vector<double> pasted;
    for (int i = 0; i < 10; ++i) {
        pasted.push_back(keystroke(dialog, query, Qt::Key_unknown, 'x'));
        pasted.push_back(keystroke(dialog, query, Qt::Key_Backspace, 0));
    }
    std::printf("catalog=%s query=\"%s\" open_ms=%.1f keys=%zu median_ms=%.2f p95_ms=%.2f "
                "max_ms=%.2f search_median_ms=%.2f pasted_median_ms=%.2f\n",
                name, typed.c_str(), openMs, keys.size(), percentile(keys, 0.5),
                percentile(keys, 0.95), percentile(keys, 1.0), percentile(searches, 0.5),
                percentile(pasted, 0.5));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s NAMES_FILE [PASSES]\n", argv[0]);
        return 2;
    }
    const auto reading = Clock::now();
    const UnitNames names = readUnitNames(argv[1]);
    std::printf("names read in %.1f ms\n",
                std::chrono::duration<double, std::milli>(Clock::now() - reading).count());
    const int passes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    if (argc > 3) {
        std::ifstream file(argv[3], std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)), {});
        measure(argv[3], text, names, passes, argc > 4 ? argv[4] : "5 mi to km");
        return 0;
    }
    measure("generated", generatedCatalog(100000), names, passes);
    measure("distinct", distinctLabels(100000), names, passes);
    return 0;
}
