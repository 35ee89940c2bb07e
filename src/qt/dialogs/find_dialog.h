#pragma once

#include "converter/find_text.h"
#include "qt/dialogs/modal_dialog.h"

#include <optional>

class Announcer;
class ConversionCatalog;
class UnitNames;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

// Find Conversion: a text field and, under it, the conversions of the shown categories that what
// is typed names exactly, then those that only look like it, marked as suggestions
// (converter/find_text.h). Up and Down move in the list while the focus stays in the field; Enter
// (or OK, or a double click) chooses the highlighted match. The first exact match is highlighted
// until the user moves; a suggestion only once the user moves to it, so that Enter never opens a
// look-alike. Escape closes with no choice.
class FindDialog : public ModalDialog {
    Q_OBJECT
  public:
    // A value typed with the units is read as format says, as the input field reads it.
    FindDialog(const ConversionCatalog& catalog, const UnitNames& names, NumberFormat format,
               QWidget* parent = nullptr);

    // The match chosen when the dialog was accepted.
    const std::optional<ConversionMatch>& chosen() const { return chosen_; }
    // The value typed before the units of the chosen match ("5" of "5 mi km"), or empty.
    const QString& chosenValue() const { return chosenValue_; }

    // The favourite and recent conversions listed first while the field is empty.
    void setKeptRows(std::vector<FindRow> rows);
    // Says under the list why the names are not used (a names.txt too large); none for empty.
    void setNamesNote(const QString& note);

  protected:
    // The highlighted match; with none the dialog stays open for another query.
    bool takeChoices() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void refill();
    // The first match, or why there is none, said once typing pauses and only when it changed.
    void announceFirst();

    std::optional<ConversionMatch> chosen_;
    QString chosenValue_;
    ConversionFinder finder_;
    FindResults found_;
    QLineEdit* query_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* namesNote_ = nullptr;
    QPushButton* ok_ = nullptr;
    Announcer* announcer_ = nullptr;
    QTimer* typingPause_ = nullptr;
    QString firstAnnounced_;
};
