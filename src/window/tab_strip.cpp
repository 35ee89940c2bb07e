#include "window/tab_strip.h"

#include "window/tab_strip_accessible.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <algorithm>

namespace {

// Room beside a tab's text on each side, so that neighbouring texts never crowd each other.
constexpr int textMargin = 2;

} // namespace

TabStrip::TabStrip(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    attachTabStripAccessibility(this);
}

void TabStrip::addTab(const QString& text) {
    texts_.append(text);
    invalidateLayout();
}

void TabStrip::clear() {
    texts_.clear();
    current_ = -1;
    invalidateLayout();
}

void TabStrip::setCurrentIndex(int index) {
    if (index < 0 || index >= count()) return;
    current_ = index;
    invalidatePlacement();
}

int TabStrip::rowCount() const {
    return layout().rows;
}

int TabStrip::rowHeight() const {
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    option.text = QStringLiteral("Xg");
    const QSize contents(fontMetrics().horizontalAdvance(option.text),
                         fontMetrics().height() +
                             style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this));
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &option, contents, this).height();
}

QRect TabStrip::tabRect(int index) const {
    return layout().rects.value(index);
}

int TabStrip::naturalWidth(const QString& text) const {
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    option.text = text;
    const QSize contents(fontMetrics().horizontalAdvance(text) + 2 * textMargin +
                             style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this),
                         fontMetrics().height() +
                             style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this));
    return std::min(
        width(), style()->sizeFromContents(QStyle::CT_TabBarTab, &option, contents, this).width());
}

void TabStrip::splitIntoRows() const {
    split_ = Split{};
    const int available = std::max(1, width());
    for (const QString& text : texts_)
        split_.widths.append(naturalWidth(text));
    // As few rows as the widths allow, then balanced: the narrowest row width that still needs
    // no more rows, so that no row is left with a lonely stretched tab.
    auto fill = [&](int limit) {
        QList<QList<int>> rows;
        int used = 0;
        for (int i = 0; i < count(); ++i) {
            if (rows.isEmpty() || used + split_.widths[i] > limit) {
                rows.append(QList<int>());
                used = 0;
            }
            rows.last().append(i);
            used += split_.widths[i];
        }
        return rows;
    };
    split_.rows = fill(available);
    if (split_.rows.size() > 1) {
        int low = 1, high = available;
        while (low < high) {
            const int mid = (low + high) / 2;
            if (fill(mid).size() <= split_.rows.size())
                high = mid;
            else
                low = mid + 1;
        }
        split_.rows = fill(low);
    }
    splitValid_ = true;
}

const TabStrip::Layout& TabStrip::layout() const {
    if (layoutValid_) return layout_;
    if (!splitValid_) splitIntoRows();
    const QList<QList<int>>& rows = split_.rows;
    layout_ = Layout{};
    layout_.rows = static_cast<int>(rows.size());
    layout_.rects.resize(count());
    layout_.rowOf.resize(count());
    const int available = std::max(1, width());
    const int h = rowHeight();
    // The selected tab's row moves next to the display area; the rows before it move up.
    int selectedRow = 0;
    for (int r = 0; r < rows.size(); ++r)
        if (rows[r].contains(current_)) selectedRow = r;
    for (int r = 0; r < rows.size(); ++r) {
        const int shown = (r - selectedRow - 1 + 2 * layout_.rows) % layout_.rows;
        const int y = shown * h;
        int natural = 0;
        for (int i : rows[r])
            natural += split_.widths[i];
        const int extra = layout_.rows > 1 ? available - natural : 0;
        const auto inRow = rows[r].size();
        int x = 0;
        for (qsizetype k = 0; k < inRow; ++k) {
            const int i = rows[r][k];
            const int w =
                split_.widths[i] + static_cast<int>(extra * (k + 1) / inRow - extra * k / inRow);
            layout_.rects[i] = QRect(x, y, w, h);
            layout_.rowOf[i] = r;
            x += w;
        }
    }
    layoutValid_ = true;
    return layout_;
}

void TabStrip::invalidateLayout() {
    splitValid_ = false;
    invalidatePlacement();
}

void TabStrip::invalidatePlacement() {
    layoutValid_ = false;
    update();
}

void TabStrip::selectByUser(int index) {
    if (index < 0 || index >= count() || index == current_) return;
    current_ = index;
    invalidatePlacement();
    emit currentChanged(index);
}

void TabStrip::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const Layout& tabs = layout();
    const int tabsHeight = tabs.rows * rowHeight();

    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.shape = QTabBar::RoundedNorth;
    frame.rect = QRect(0, tabsHeight, width(), height() - tabsHeight);
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);

    // The selected tab is drawn last so that it overlaps its neighbours.
    QList<int> order;
    for (int i = 0; i < count(); ++i)
        if (i != current_) order.append(i);
    if (current_ >= 0) order.append(current_);
    for (int i : order) {
        QStyleOptionTab option;
        option.initFrom(this);
        option.shape = QTabBar::RoundedNorth;
        option.rect = tabs.rects[i];
        // Tab texts are shown as written: "&" marks no shortcut here.
        option.text = QString(texts_[i]).replace(u'&', QStringLiteral("&&"));
        option.row = tabs.rowOf[i];
        const bool first = i == 0 || tabs.rowOf[i - 1] != tabs.rowOf[i];
        const bool last = i == count() - 1 || tabs.rowOf[i + 1] != tabs.rowOf[i];
        option.position = first && last ? QStyleOptionTab::OnlyOneTab
                          : first       ? QStyleOptionTab::Beginning
                          : last        ? QStyleOptionTab::End
                                        : QStyleOptionTab::Middle;
        option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        if (i == current_) {
            option.state |= QStyle::State_Selected;
            if (hasFocus()) option.state |= QStyle::State_HasFocus;
        }
        if (underMouse() && option.rect.contains(mapFromGlobal(QCursor::pos())))
            option.state |= QStyle::State_MouseOver;
        // Some styles paint a selected tab's body further down than its row; keep every tab
        // within its own row, plus the border it shares with the display area.
        painter.setClipRect(option.rect.adjusted(-2, -2, 2, i == current_ ? 2 : 0));
        painter.drawControl(QStyle::CE_TabBarTab, option);
    }
}

void TabStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const Layout& tabs = layout();
    for (int i = 0; i < count(); ++i)
        if (tabs.rects[i].contains(event->position().toPoint())) return selectByUser(i);
}

void TabStrip::keyPressEvent(QKeyEvent* event) {
    if (count() == 0) return QWidget::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Left:
        return selectByUser(std::max(0, current_ - 1));
    case Qt::Key_Right:
        return selectByUser(std::min(count() - 1, current_ + 1));
    case Qt::Key_Home:
        return selectByUser(0);
    case Qt::Key_End:
        return selectByUser(count() - 1);
    default:
        return QWidget::keyPressEvent(event);
    }
}

void TabStrip::resizeEvent(QResizeEvent* event) {
    // Only a change of width can change the rows; a change of height must not.
    if (event->oldSize().width() != event->size().width()) invalidateLayout();
    QWidget::resizeEvent(event);
}

void TabStrip::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        invalidateLayout();
    QWidget::changeEvent(event);
}
