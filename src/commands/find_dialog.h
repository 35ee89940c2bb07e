#pragma once

#include "commands/conversion_search.h"

#include <QDialog>
#include <optional>

class ConversionCatalog;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// Find Conversion: a text field and, under it, the conversions of the shown categories whose
// unit labels match what is typed (see conversion_search.h), in catalog order. Up and Down move
// in the list while the focus stays in the field; Enter (or OK, or a double click) chooses the
// highlighted match, which is the first until the user moves; Escape closes with no choice.
class FindDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FindDialog(const ConversionCatalog& catalog, QWidget* parent = nullptr);

    // The match chosen when the dialog was accepted.
    std::optional<ConversionMatch> chosen;

    void accept() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void refill();

    ConversionSearch search_;
    SearchResult result_;
    QLineEdit* query_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* ok_ = nullptr;
};
