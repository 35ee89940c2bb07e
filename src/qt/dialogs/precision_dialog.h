#pragma once

#include "qt/dialogs/modal_dialog.h"
#include "value/number_style.h"

#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;

// Chooses the number of decimals of the result. The edit takes digits only and falls back to
// the last accepted text whenever its number leaves the range, so it never stays empty; texts
// such as "03" are kept as typed. Under it, the style beyond decimals: significant digits
// instead, scientific notation beyond a range, the locale's grouping of digits.
class PrecisionDialog : public ModalDialog {
    Q_OBJECT
  public:
    explicit PrecisionDialog(QWidget* parent = nullptr);

    // The accepted number of decimals: given before the dialog runs, read after OK.
    void setValue(int value) { value_ = value; }
    int value() const { return value_; }
    // The last accepted text of the edit.
    const QString& valueText() const { return valueText_; }
    // The style beyond decimals: given before the dialog runs, read after OK.
    void setNumberStyle(const NumberStyle& style) { style_ = style; }
    const NumberStyle& numberStyle() const { return style_; }

  protected:
    void initialise() override;
    bool takeChoices() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Every change of the edit's text, the program's own included.
    void onValueTextChanged();
    void pullTexts();
    void pushTexts();
    void step(int delta);

    QLineEdit* edit_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    QLabel* rangeLabel_ = nullptr;
    QCheckBox* significant_ = nullptr;
    QSpinBox* significantDigits_ = nullptr;
    QCheckBox* scientific_ = nullptr;
    QSpinBox* scientificBelow_ = nullptr;
    QSpinBox* scientificFrom_ = nullptr;
    QCheckBox* group_ = nullptr;
    NumberStyle style_;
    QString valueText_;
    QString rangeText_;
    int value_ = 0;
    bool pushing_ = false;
};
