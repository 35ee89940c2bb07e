#include "commands/report_text.h"

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
