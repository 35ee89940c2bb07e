#pragma once

#include <QStringList>
#include <QWidget>

// A strip of tabs that wrap into several rows when they do not fit its width, above a framed
// display area. The row of the selected tab sits next to the display area, and full rows are
// stretched to the whole width. Selections made through setCurrentIndex raise no signal; only
// the mouse and the keyboard raise currentChanged.
class TabStrip : public QWidget {
    Q_OBJECT
  public:
    explicit TabStrip(QWidget* parent = nullptr);

    void addTab(const QString& text);
    void clear();
    int count() const { return static_cast<int>(texts_.size()); }
    QString tabText(int index) const { return texts_.value(index); }

    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);

    // Rows the tabs take at the current width; 0 without tabs.
    int rowCount() const;
    // The height of one row of tabs, the same before any tab exists.
    int rowHeight() const;
    QRect tabRect(int index) const;
    // Selects a tab as a click on it would, raising currentChanged when the selection moves.
    void selectByUser(int index);

  signals:
    void currentChanged(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // Which tabs share a row, and their natural widths: depends on the texts and the width only.
    struct Split {
        QList<QList<int>> rows;
        QList<int> widths;
    };
    // Where each tab is drawn: depends on the split and on the selected tab.
    struct Layout {
        QList<QRect> rects;
        QList<int> rowOf;
        int rows = 0;
    };
    int naturalWidth(const QString& text) const;
    void splitIntoRows() const;
    const Layout& layout() const;
    void invalidateLayout();
    void invalidatePlacement();

    QStringList texts_;
    int current_ = -1;
    mutable Split split_;
    mutable bool splitValid_ = false;
    mutable Layout layout_;
    mutable bool layoutValid_ = false;
};
