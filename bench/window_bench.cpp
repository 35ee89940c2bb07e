// Key press in the input field to the updated result text, on the delivered catalog.
//   window_bench [CATALOG [PRESSES]]
// The result is recomputed synchronously inside the key event, so the time of the whole key click
// is the time until the new text is in the field. Painting happens between presses, untimed.

#include "bench_window.h"
#include "catalog/catalog.h"
#include "converter/selection_logic.h"
#include "qt/window/converter_dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

double percentile(std::vector<double> sorted, double fraction) {
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * sorted.size()));
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

} // namespace

int main(int argc, char** argv) {
    // The key path does not involve the display, so the run needs none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    const std::filesystem::path catalogFile = argc > 1 ? argv[1] : VELMORA_DELIVERED_CATALOG;
    const int presses = argc > 2 ? std::atoi(argv[2]) : 1000;
    if (presses < 1) return 2;

    BenchWindow window(catalogFile);
    if (!window.dialog) return 1;
    ConverterDialog* dialog = window.dialog.get();

    auto* input = dialog->findChild<QLineEdit*>(QStringLiteral("inputField"));
    auto* result = dialog->findChild<QLineEdit*>(QStringLiteral("resultField"));
    if (!input || !result) return 1;
    input->setFocus();
    QTest::keyClicks(input, QStringLiteral("12"));
    QCoreApplication::processEvents();

    // A digit then Backspace, so every press changes the value and the result text with it.
    const auto press = [&](int i) {
        return i % 2 == 0 ? Qt::Key(Qt::Key_3 + (i / 2) % 7) : Qt::Key_Backspace;
    };
    for (int i = 0; i < 100; ++i) {
        QTest::keyClick(input, press(i));
        QCoreApplication::processEvents();
    }

    std::vector<double> micros;
    micros.reserve(presses);
    int unchanged = 0;
    for (int i = 0; i < presses; ++i) {
        const QString before = result->text();
        const auto start = std::chrono::steady_clock::now();
        QTest::keyClick(input, press(i));
        const auto end = std::chrono::steady_clock::now();
        if (result->text() == before) ++unchanged;
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        QCoreApplication::processEvents();
    }
    std::sort(micros.begin(), micros.end());
    std::printf("presses=%d median_us=%.1f p95_us=%.1f max_us=%.1f unchanged=%d last=\"%s\"\n",
                presses, percentile(micros, 0.5), percentile(micros, 0.95), micros.back(),
                unchanged, qPrintable(result->text()));

    return unchanged == 0 ? 0 : 1;
}
