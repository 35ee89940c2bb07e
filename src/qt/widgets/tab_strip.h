#pragma once

#include <QStringList>
#include <QWidget>

class QPainter;
class QScrollBar;
class QStyleOptionTab;

// A strip of tabs that wrap into several rows when they do not fit its width, above a framed
// display area. The row of the selected tab sits next to the display area, and full rows are
// stretched to the whole width. When more rows exist than may be shown, the strip shows the
// rows next to the display area and a scroll bar for the rest; a new selection scrolls its row
// back into view. Texts wider than a tab end in an ellipsis and show in full as tooltips. The
// selected tab's text stands in the selection colours, active with a focus frame while the strip
// has the keyboard and inactive while it has not.
// Selections made through setCurrentIndex raise no signal; only the mouse and the keyboard raise
// currentChanged.
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
    // At most this many rows are shown at once; 0 for no limit.
    void setMaxShownRows(int rows);
    // The rows shown at once: the height the tabs take above the display area, in rows.
    int shownRowCount() const;
    // Scrolls the shown rows; 0 shows the rows farthest from the display area.
    int firstShownRow() const;
    void setFirstShownRow(int row);
    // The height of one row of tabs, the same before any tab exists.
    int rowHeight() const;
    // In the strip's coordinates; a tab of a row scrolled out of view lies outside tabArea.
    QRect tabRect(int index) const;
    // Selects a tab as a click on it would, raising currentChanged when the selection moves.
    void selectByUser(int index);
    // Where the shown rows of tabs are drawn, beside the scroll bar when there is one.
    QRect tabArea() const;
    // The text as drawn on the tab: cut with an ellipsis when it does not fit.
    QString shownText(int index) const;
    // The full text when the tab shows it cut, else nothing.
    QString tabToolTip(int index) const;

  signals:
    void currentChanged(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

  private:
    // Which tabs share a row, and their natural widths: depends on the texts and the width only.
    struct Split {
        QList<QList<int>> rows;
        QList<int> widths;
        QList<int> rowOfTab;
        int width = 0;
    };
    // Where each tab is drawn: depends on the split and on the selected tab.
    struct Layout {
        QList<QRect> rects;
        QList<int> rowOf;
        int rows = 0;
        int shownRows = 0;
        int selectedRow = 0;
    };
    // Fills the selected tab's text background and gives its text the matching colour.
    void markSelectedText(QPainter& painter, QStyleOptionTab& option) const;
    void measureTabs() const;
    void splitIntoRows() const;
    void splitAt(int available) const;
    int textRoom(int index) const;
    int tabAt(QPoint point) const;
    void updateScrollBar();
    const Layout& layout() const;
    void invalidateLayout();
    void invalidatePlacement();

    QStringList texts_;
    int current_ = -1;
    int maxShownRows_ = 0;
    mutable int firstShown_ = 0;
    QScrollBar* scrollBar_ = nullptr;
    // Each tab's width for its text alone, before any limit of the strip's width: depends on
    // the texts, the font and the style only.
    mutable QList<int> naturalWidths_;
    mutable bool measured_ = false;
    mutable Split split_;
    mutable bool splitValid_ = false;
    mutable int splitFor_ = -1;
    mutable Layout layout_;
    mutable bool layoutValid_ = false;
    mutable bool scrollToCurrent_ = true;
    mutable bool scrollBarPending_ = false;
};
