#pragma once

#include "converter/category_visibility.h"

#include <QDialog>
#include <vector>

class QListWidget;

// Chooses which categories show as tabs: the rows given, each marked shown or hidden.
class OptionsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit OptionsDialog(QWidget* parent = nullptr);

    // Runs once, when the dialog first shows: by then the caller has set rows.
    bool OnInitDialog();
    // One row per category of rows.
    bool fillCategoryList();
    // Marks each row as its check box says, then ends the dialog.
    void OnOK();
    void accept() override { OnOK(); }

    // The categories with whether each is shown: set before, read after.
    std::vector<CategoryRow> rows;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QListWidget* list_ = nullptr;
    bool initialised_ = false;
};
