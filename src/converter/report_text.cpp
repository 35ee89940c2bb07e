#include "converter/report_text.h"

#include "catalog/catalog.h"
#include "text/display_text.h"

std::string reportFileBytes(std::string_view report, const Conversion* conversion) {
    const bool windows1252 =
        conversion && (!isValidUtf8(conversion->fromUnit()) || !isValidUtf8(conversion->toUnit()));
    return windows1252 ? fromDisplayText(report) : std::string(report);
}

std::string buildReportText(bool haveConversion, std::string_view inputText,
                            std::string_view inputUnit, std::string_view resultText,
                            std::string_view outputUnit) {
    if (!haveConversion || inputText.empty() || resultText.empty()) return "no current conversion";
    std::string report = "Input:        ";
    report.append(inputText).append(" ").append(inputUnit);
    report.append("\r\nOutput:       ");
    report.append(resultText).append(" ").append(outputUnit);
    return report;
}

std::vector<std::string> reportPrintLines(std::string_view report) {
    std::vector<std::string> lines;
    for (std::size_t lineFeed; (lineFeed = report.find('\n')) != std::string_view::npos;) {
        lines.emplace_back(report.substr(0, lineFeed > 0 ? lineFeed - 1 : 0));
        report.remove_prefix(lineFeed + 1);
    }
    lines.emplace_back(report);
    return lines;
}
