#include "win32/dialogs/precision_dialog.h"

#include "converter/window_texts.h"
#include "settings/precision_text.h"
#include "win32/common/wide_text.h"
#include "win32/common/window_text.h"
#include "win32/dialogs/modal_dialog.h"
#include "win32/resources/resource_ids.h"

#include <charconv>
#include <commctrl.h>
#include <optional>

namespace {

// A number of the style in an edit with arrows, usable while its check box is ticked.
struct NumberBox {
    int edit;
    int spin;
    int checkBox;
    int least;
    int most;
    int NumberStyle::*number;
};

// The range's ends may not meet: each box stops one short of the other's end.
constexpr NumberBox numberBoxes[] = {
    {IDC_SIGNIFICANT_EDIT, IDC_SIGNIFICANT_SPIN, IDC_SIGNIFICANT_BOX, minSignificantDigits,
     maxSignificantDigits, &NumberStyle::significantDigits},
    {IDC_SCIENTIFIC_BELOW_EDIT, IDC_SCIENTIFIC_BELOW_SPIN, IDC_SCIENTIFIC_BOX,
     minScientificExponent, maxScientificExponent - 1, &NumberStyle::scientificBelow},
    {IDC_SCIENTIFIC_FROM_EDIT, IDC_SCIENTIFIC_FROM_SPIN, IDC_SCIENTIFIC_BOX,
     minScientificExponent + 1, maxScientificExponent, &NumberStyle::scientificFrom},
};

constexpr struct {
    int id;
    bool NumberStyle::*flag;
} checkBoxes[] = {{IDC_SIGNIFICANT_BOX, &NumberStyle::significant},
                  {IDC_SCIENTIFIC_BOX, &NumberStyle::scientific},
                  {IDC_GROUP_DIGITS, &NumberStyle::groupDigits}};

// The whole text as a number within the box's range; none for anything else, which the dialog
// refuses rather than reads as the nearest end.
std::optional<int> numberIn(const std::wstring& text, const NumberBox& box) {
    const std::string digits = utf8FromWide(text);
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        number < box.least || number > box.most)
        return std::nullopt;
    return number;
}

class PrecisionDialog : public ModalDialog {
  public:
    PrecisionDialog(const std::wstring& helpFile, int value, const NumberStyle& style)
        : ModalDialog(IDD_PRECISION, helpFile, helpPage::precision), value_(value), style_(style) {}

    // The last value the edit held that the range accepts.
    int value() const { return value_; }
    const NumberStyle& style() const { return style_; }

  private:
    INT_PTR initialise() override {
        const std::wstring range = L"Number of &decimals (" + std::to_wstring(minPrecision) +
                                   L" to " + std::to_wstring(maxPrecision) + L"):";
        SetDlgItemTextW(window(), IDC_PRECISION_RANGE, range.c_str());
        const std::wstring significant = L"Use &significant digits instead (" +
                                         std::to_wstring(minSignificantDigits) + L" to " +
                                         std::to_wstring(maxSignificantDigits) + L"):";
        SetDlgItemTextW(window(), IDC_SIGNIFICANT_BOX, significant.c_str());
        for (const NumberBox& box : numberBoxes) {
            SendDlgItemMessageW(window(), box.spin, UDM_SETRANGE32, box.least, box.most);
            SendDlgItemMessageW(window(), box.spin, UDM_SETPOS32, 0, style_.*box.number);
            SetDlgItemTextW(window(), box.edit, std::to_wstring(style_.*box.number).c_str());
        }
        for (const auto& box : checkBoxes)
            CheckDlgButton(window(), box.id, style_.*box.flag ? BST_CHECKED : BST_UNCHECKED);
        enableNumbers();
        SendDlgItemMessageW(window(), IDC_PRECISION_SPIN, UDM_SETRANGE32, minPrecision,
                            maxPrecision);
        SendDlgItemMessageW(window(), IDC_PRECISION_SPIN, UDM_SETPOS32, 0, value_);
        accepted_ = std::to_wstring(value_);
        HWND edit = item(IDC_PRECISION_EDIT);
        SetWindowTextW(edit, accepted_.c_str());
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        return FALSE;
    }

    INT_PTR handle(UINT message, WPARAM wParam, LPARAM) override {
        if (message != WM_COMMAND) return FALSE;
        if (HIWORD(wParam) == BN_CLICKED &&
            (LOWORD(wParam) == IDC_SIGNIFICANT_BOX || LOWORD(wParam) == IDC_SCIENTIFIC_BOX)) {
            enableNumbers();
            return TRUE;
        }
        if (LOWORD(wParam) != IDC_PRECISION_EDIT || HIWORD(wParam) != EN_CHANGE) return FALSE;
        if (restoring_) return TRUE;
        HWND edit = item(IDC_PRECISION_EDIT);
        const std::wstring text = windowText(edit);
        if (const std::optional<int> number = acceptedPrecision(utf8FromWide(text))) {
            value_ = *number;
            accepted_ = text;
        } else {
            // Back to the last accepted text, which the value already stands for.
            restoring_ = true;
            SetWindowTextW(edit, accepted_.c_str());
            SendMessageW(edit, EM_SETSEL, 0, -1);
            restoring_ = false;
        }
        return TRUE;
    }

    bool takeChoices() override {
        NumberStyle chosen = style_;
        for (const auto& box : checkBoxes)
            chosen.*box.flag = IsDlgButtonChecked(window(), box.id) == BST_CHECKED;
        // A box not in use keeps its number; one in use must hold a number of its range.
        for (const NumberBox& box : numberBoxes) {
            if (!IsDlgButtonChecked(window(), box.checkBox)) continue;
            const std::optional<int> number = numberIn(windowText(item(box.edit)), box);
            if (!number) return refuse(box.edit);
            chosen.*box.number = *number;
        }
        // A range that holds no number would write every result in scientific notation.
        if (chosen.scientific && chosen.scientificBelow >= chosen.scientificFrom)
            return refuse(IDC_SCIENTIFIC_FROM_EDIT);
        style_ = chosen;
        return true;
    }

    void enableNumbers() {
        for (const NumberBox& box : numberBoxes) {
            const bool ticked = IsDlgButtonChecked(window(), box.checkBox) == BST_CHECKED;
            EnableWindow(item(box.edit), ticked);
            EnableWindow(item(box.spin), ticked);
        }
    }

    // The dialog stays open with the box to mend selected.
    bool refuse(int edit) {
        SendMessageW(window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(edit)), TRUE);
        SendDlgItemMessageW(window(), edit, EM_SETSEL, 0, -1);
        return false;
    }

    int value_;
    NumberStyle style_;
    std::wstring accepted_;
    bool restoring_ = false;
};

} // namespace

bool runPrecisionDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile, int& value,
                        NumberStyle& style) {
    PrecisionDialog dialog(helpFile, value, style);
    if (!dialog.run(instance, owner)) return false;
    value = dialog.value();
    style = dialog.style();
    return true;
}
