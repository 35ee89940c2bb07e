#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QToolButton;

// Chooses the number of decimals of the result. The edit takes digits only and falls back to
// the last accepted text whenever its number leaves the range, so it never stays empty; texts
// such as "03" are kept as typed.
class PrecisionDialog : public QDialog {
    Q_OBJECT
  public:
    explicit PrecisionDialog(QWidget* parent = nullptr);

    // Runs once, when the dialog first shows: by then the caller has set value.
    bool OnInitDialog();
    // Every change of the edit's text, the program's own included.
    void onValueTextChanged();

    // The last accepted text of the edit.
    QString valueText;
    QString rangeText;
    // The accepted number of decimals; the caller sets it before the dialog runs.
    int value = 0;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void pullTexts();
    void pushTexts();
    void step(int delta);

    QLineEdit* edit_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    QLabel* rangeLabel_ = nullptr;
    bool initialised_ = false;
    bool pushing_ = false;
};
