// Opening Options and changing the tab on a large catalog, each from the command to the window
// painted again.
//   ui_bench CATALOG [RUNS]
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "bench_window.h"
#include "catalog/catalog.h"
#include "converter/selection_logic.h"
#include "qt/dialogs/options_dialog.h"
#include "qt/widgets/tab_strip.h"
#include "qt/window/converter_dialog.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millis(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CATALOG [RUNS]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path catalogFile = std::filesystem::absolute(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;

    BenchWindow window(catalogFile);
    if (!window.dialog) return 1;
    ConverterDialog* dialog = window.dialog.get();

    // From the command to the dialog painted, then cancelled untimed.
    std::vector<double> options;
    for (int run = 0; run <= runs; ++run) {
        Clock::time_point end;
        QTimer::singleShot(0, [&] {
            if (auto* modal = qobject_cast<OptionsDialog*>(QApplication::activeModalWidget())) {
                modal->repaint();
                end = Clock::now();
                modal->reject();
            }
        });
        const auto start = Clock::now();
        dialog->editOptions();
        if (run > 0) options.push_back(millis(start, end));
    }

    // A tab key in the strip: the lists refilled and the window painted again.
    auto* tabs = dialog->findChild<TabStrip*>(QStringLiteral("tabs"));
    tabs->setFocus();
    std::vector<double> changes;
    for (int run = 0; run <= 2 * runs; ++run) {
        const int before = tabs->currentIndex();
        const auto start = Clock::now();
        QTest::keyClick(tabs, run % 2 == 0 ? Qt::Key_Right : Qt::Key_Left);
        dialog->repaint();
        const auto end = Clock::now();
        if (tabs->currentIndex() == before) return 1;
        if (run > 0) changes.push_back(millis(start, end));
        QCoreApplication::processEvents();
    }
    std::printf("categories=%d options_ms=%.2f tab_change_ms=%.2f\n",
                window.catalog.categoryCount(), median(options), median(changes));
    return 0;
}
