#pragma once

#include <QLabel>

// A one-line label whose text, when wider than the label, is drawn cut with an ellipsis and
// shown in full as its tooltip; text() stays the full text.
class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

    // The text as drawn.
    QString shownText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};
