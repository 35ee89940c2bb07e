#pragma once

#include "converter/category_visibility.h"
#include "qt/dialogs/modal_dialog.h"

#include <vector>

class QListWidget;

// Chooses which categories show as tabs: the rows given, each marked shown or hidden.
class OptionsDialog : public ModalDialog {
    Q_OBJECT
  public:
    explicit OptionsDialog(QWidget* parent = nullptr);

    // The categories with whether each is shown: given before the dialog runs, read after OK.
    void setRows(std::vector<CategoryRow> rows) { rows_ = std::move(rows); }
    const std::vector<CategoryRow>& rows() const { return rows_; }

  protected:
    void initialise() override;
    // Marks each row as its check box says.
    bool takeChoices() override;

  private:
    // One row per category of rows_.
    void fillCategoryList();

    std::vector<CategoryRow> rows_;
    QListWidget* list_ = nullptr;
};
