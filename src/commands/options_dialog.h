#pragma once

#include <QDialog>

class ConversionCatalog;
class QListWidget;

// Chooses which categories show as tabs by editing their visible flags in the catalog.
class OptionsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit OptionsDialog(QWidget* parent = nullptr);

    // Runs once, when the dialog first shows: by then the caller has set catalog.
    bool OnInitDialog();
    // One row per category, in id order; false, with nothing listed, when catalog is null.
    bool fillCategoryList();
    // Writes back the flags whose row disagrees with them, then ends the dialog.
    void OnOK();
    void accept() override { OnOK(); }

    // The catalog whose flags are edited; not owned.
    ConversionCatalog* catalog = nullptr;
    // 1 once OK has changed some category's visible flag.
    int changed = 0;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QListWidget* list_ = nullptr;
    bool initialised_ = false;
};
