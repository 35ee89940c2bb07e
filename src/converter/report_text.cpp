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
