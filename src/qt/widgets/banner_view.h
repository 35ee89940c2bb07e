#pragma once

#include <QPixmap>
#include <QWidget>

// The banner across the top of the window: the artwork at its own proportions, drawn from the
// rendering that suits the screen's pixel ratio, and its right edge carried on to the widget's
// full width, so it spans the window at any font and scale.
class BannerView : public QWidget {
    Q_OBJECT
  public:
    explicit BannerView(QWidget* parent = nullptr);

    // The artwork's size in device-independent pixels.
    QSize artSize() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap normal_;
    QPixmap doubled_;
};
