#include "qt/widgets/tab_strip.h"

#include "qt/widgets/readable_colours.h"
#include "qt/widgets/tab_strip_accessible.h"

#include <QCursor>
#include <QHash>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

namespace {

// Room beside a tab's text on each side, so that neighbouring texts never crowd each other.
constexpr int textMargin = 2;

} // namespace

TabStrip::TabStrip(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    attachTabStripAccessibility(this);
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setObjectName(QStringLiteral("tabScrollBar"));
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    scrollBar_->hide();
    connect(scrollBar_, &QScrollBar::valueChanged, this, &TabStrip::setFirstShownRow);
}

void TabStrip::addTab(const QString& text) {
    texts_.append(text);
    measured_ = false;
    invalidateLayout();
}

void TabStrip::clear() {
    texts_.clear();
    current_ = -1;
    measured_ = false;
    invalidateLayout();
}

void TabStrip::setCurrentIndex(int index) {
    if (index < 0 || index >= count()) return;
    current_ = index;
    scrollToCurrent_ = true;
    invalidatePlacement();
}

int TabStrip::rowCount() const {
    return layout().rows;
}

void TabStrip::setMaxShownRows(int rows) {
    if (rows == maxShownRows_) return;
    maxShownRows_ = std::max(0, rows);
    invalidateLayout();
}

int TabStrip::shownRowCount() const {
    return layout().shownRows;
}

int TabStrip::firstShownRow() const {
    layout();
    return firstShown_;
}

void TabStrip::setFirstShownRow(int row) {
    const Layout& tabs = layout();
    row = std::clamp(row, 0, tabs.rows - tabs.shownRows);
    if (row == firstShown_) return;
    firstShown_ = row;
    invalidatePlacement();
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

QRect TabStrip::tabArea() const {
    const Layout& tabs = layout();
    return QRect(0, 0, split_.width, tabs.shownRows * rowHeight());
}

int TabStrip::textRoom(int index) const {
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    return tabRect(index).width() - 2 * textMargin -
           style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
}

QString TabStrip::shownText(int index) const {
    if (index < 0 || index >= count()) return {};
    return fontMetrics().elidedText(texts_[index], Qt::ElideRight, textRoom(index));
}

QString TabStrip::tabToolTip(int index) const {
    if (index < 0 || index >= count()) return {};
    return shownText(index) == texts_[index] ? QString() : texts_[index];
}

void TabStrip::measureTabs() const {
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    const QFontMetrics metrics = fontMetrics();
    const int room =
        2 * textMargin + style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
    const int height =
        metrics.height() + style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this);
    // The style is asked once per distinct text width, not once per tab: thousands of tabs
    // share a few dozen widths.
    QHash<int, int> byAdvance;
    naturalWidths_.clear();
    naturalWidths_.reserve(count());
    for (const QString& text : texts_) {
        const int advance = metrics.horizontalAdvance(text);
        auto found = byAdvance.constFind(advance);
        if (found == byAdvance.constEnd()) {
            option.text = text;
            found = byAdvance.insert(advance,
                                     style()
                                         ->sizeFromContents(QStyle::CT_TabBarTab, &option,
                                                            QSize(advance + room, height), this)
                                         .width());
        }
        naturalWidths_.append(*found);
    }
    measured_ = true;
}

void TabStrip::splitIntoRows() const {
    const int full = std::max(1, width());
    splitAt(full);
    // More rows than may be shown: the scroll bar takes its column, and the rows are split again
    // for the width that is left.
    if (maxShownRows_ > 0 && split_.rows.size() > maxShownRows_) {
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollBar_);
        splitAt(std::max(1, full - bar));
    }
    splitValid_ = true;
    splitFor_ = width();
}

void TabStrip::splitAt(int available) const {
    split_ = Split{};
    split_.width = available;
    if (!measured_) measureTabs();
    split_.widths.reserve(count());
    for (int width : naturalWidths_)
        split_.widths.append(std::min(width, available));
    // As few rows as the widths allow, then balanced: the narrowest row width that still needs
    // no more rows, so that no row is left with a lonely stretched tab.
    auto rowsAt = [&](int limit) {
        int rows = 0;
        int used = 0;
        for (int i = 0; i < count(); ++i) {
            if (rows == 0 || used + split_.widths[i] > limit) {
                ++rows;
                used = 0;
            }
            used += split_.widths[i];
        }
        return rows;
    };
    const int fewest = rowsAt(available);
    int limit = available;
    if (fewest > 1) {
        int low = 1, high = available;
        while (low < high) {
            const int mid = (low + high) / 2;
            if (rowsAt(mid) <= fewest)
                high = mid;
            else
                low = mid + 1;
        }
        limit = low;
    }
    split_.rowOfTab.resize(count());
    int used = 0;
    for (int i = 0; i < count(); ++i) {
        if (split_.rows.isEmpty() || used + split_.widths[i] > limit) {
            split_.rows.append(QList<int>());
            used = 0;
        }
        split_.rows.last().append(i);
        split_.rowOfTab[i] = static_cast<int>(split_.rows.size()) - 1;
        used += split_.widths[i];
    }
}

const TabStrip::Layout& TabStrip::layout() const {
    // A hidden strip gets no resize event: its width is compared instead.
    if (splitValid_ && splitFor_ != width()) splitValid_ = layoutValid_ = false;
    if (layoutValid_) return layout_;
    if (!splitValid_) splitIntoRows();
    const QList<QList<int>>& rows = split_.rows;
    layout_ = Layout{};
    layout_.rows = static_cast<int>(rows.size());
    layout_.shownRows = maxShownRows_ > 0 ? std::min(layout_.rows, maxShownRows_) : layout_.rows;
    layout_.rects.resize(count());
    layout_.rowOf.resize(count());
    const int hidden = layout_.rows - layout_.shownRows;
    if (scrollToCurrent_) firstShown_ = hidden;
    scrollToCurrent_ = false;
    firstShown_ = std::clamp(firstShown_, 0, hidden);
    const int available = split_.width;
    const int h = rowHeight();
    // The selected tab's row moves next to the display area; the rows before it move up.
    layout_.selectedRow = current_ >= 0 && current_ < count() ? split_.rowOfTab[current_] : 0;
    for (int r = 0; r < rows.size(); ++r) {
        const int shown = (r - layout_.selectedRow - 1 + 2 * layout_.rows) % layout_.rows;
        const int y = (shown - firstShown_) * h;
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
    // The scroll bar is a widget of its own; it follows once the current event is done.
    if (!scrollBarPending_) {
        scrollBarPending_ = true;
        auto* self = const_cast<TabStrip*>(this);
        QMetaObject::invokeMethod(
            self, [self] { self->updateScrollBar(); }, Qt::QueuedConnection);
    }
    return layout_;
}

void TabStrip::updateScrollBar() {
    scrollBarPending_ = false;
    const Layout& tabs = layout();
    scrollBarPending_ = false;
    const int hidden = tabs.rows - tabs.shownRows;
    if (hidden <= 0) {
        scrollBar_->hide();
        return;
    }
    const QSignalBlocker blocker(scrollBar_);
    scrollBar_->setGeometry(split_.width, 0, width() - split_.width, tabs.shownRows * rowHeight());
    scrollBar_->setRange(0, hidden);
    scrollBar_->setPageStep(tabs.shownRows);
    scrollBar_->setValue(firstShown_);
    scrollBar_->show();
}

void TabStrip::invalidateLayout() {
    splitValid_ = false;
    scrollToCurrent_ = true;
    invalidatePlacement();
}

void TabStrip::invalidatePlacement() {
    layoutValid_ = false;
    update();
}

void TabStrip::selectByUser(int index) {
    if (index < 0 || index >= count() || index == current_) return;
    current_ = index;
    scrollToCurrent_ = true;
    invalidatePlacement();
    emit currentChanged(index);
}

int TabStrip::tabAt(QPoint point) const {
    const Layout& tabs = layout();
    if (tabs.rows == 0 || !tabArea().contains(point)) return -1;
    const int shown = firstShown_ + point.y() / rowHeight();
    const int row = (shown + tabs.selectedRow + 1) % tabs.rows;
    for (int i : split_.rows[row])
        if (tabs.rects[i].contains(point)) return i;
    return -1;
}

void TabStrip::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const Layout& tabs = layout();
    const int tabsHeight = tabs.shownRows * rowHeight();

    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.shape = QTabBar::RoundedNorth;
    frame.rect = QRect(0, tabsHeight, width(), height() - tabsHeight);
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
    if (tabs.rows == 0) return;

    // Only the rows in view are drawn, and the selected tab last so that it overlaps its
    // neighbours.
    QList<int> order;
    for (int shown = firstShown_; shown < firstShown_ + tabs.shownRows; ++shown)
        for (int i : split_.rows[(shown + tabs.selectedRow + 1) % tabs.rows])
            if (i != current_) order.append(i);
    if (current_ >= 0 && tabArea().intersects(tabs.rects[current_])) order.append(current_);
    const QRect view = QRect(0, 0, split_.width, tabsHeight + 2);
    for (int i : order) {
        QStyleOptionTab option;
        option.initFrom(this);
        option.shape = QTabBar::RoundedNorth;
        option.rect = tabs.rects[i];
        // Tab texts are shown as written: "&" marks no shortcut here.
        option.text = shownText(i).replace(u'&', QStringLiteral("&&"));
        option.row = tabs.rowOf[i];
        const bool first = i == 0 || tabs.rowOf[i - 1] != tabs.rowOf[i];
        const bool last = i == count() - 1 || tabs.rowOf[i + 1] != tabs.rowOf[i];
        option.position = first && last ? QStyleOptionTab::OnlyOneTab
                          : first       ? QStyleOptionTab::Beginning
                          : last        ? QStyleOptionTab::End
                                        : QStyleOptionTab::Middle;
        option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        // The strip draws its own focus frame: some styles draw theirs only once a key has moved
        // the focus, and some wash the selection out with it.
        option.state &= ~QStyle::State_KeyboardFocusChange;
        if (i == current_) option.state |= QStyle::State_Selected;
        if (underMouse() && option.rect.contains(mapFromGlobal(QCursor::pos())))
            option.state |= QStyle::State_MouseOver;
        // Some styles paint a selected tab's body further down than its row; keep every tab
        // within its own row, plus the border it shares with the display area, and within view.
        painter.setClipRect(
            option.rect.adjusted(-2, -2, 2, i == current_ ? 2 : 0).intersected(view));
        painter.drawControl(QStyle::CE_TabBarTabShape, option);
        if (i == current_) markSelectedText(painter, option);
        painter.drawControl(QStyle::CE_TabBarTabLabel, option);
    }
}

void TabStrip::markSelectedText(QPainter& painter, QStyleOptionTab& option) const {
    // The selected tab's text in the selection colours, active with the keyboard and inactive
    // without, as the unit lists show theirs.
    const SelectionColours colours = selectionColours(palette(), hasFocus(), QPalette::Window);
    const QRect text = style()->subElementRect(QStyle::SE_TabBarTabText, &option, this);
    const int width = fontMetrics().horizontalAdvance(option.text) + 4 * textMargin;
    const int height = fontMetrics().height() + 4;
    const QRect box =
        QRect(text.center().x() - width / 2, text.center().y() - height / 2 + 1, width, height)
            .intersected(option.rect.adjusted(2, 2, -2, -2));
    painter.fillRect(box, colours.background);
    if (hasFocus()) drawFocusFrame(painter, box, colours.text);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
        option.palette.setColor(role, colours.text);
}

void TabStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    if (const int i = tabAt(event->position().toPoint()); i >= 0) selectByUser(i);
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

void TabStrip::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // The strip itself is announced once this event is done; its selected tab follows it.
    QMetaObject::invokeMethod(
        this, [this] { announceFocusedTab(this); }, Qt::QueuedConnection);
}

void TabStrip::wheelEvent(QWheelEvent* event) {
    const Layout& tabs = layout();
    const int steps = event->angleDelta().y() / 120;
    if (tabs.rows <= tabs.shownRows || steps == 0) return QWidget::wheelEvent(event);
    setFirstShownRow(firstShown_ - steps);
    updateScrollBar();
    event->accept();
}

bool TabStrip::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int i = tabAt(help->pos());
        const QString tip = tabToolTip(i);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this, tabRect(i));
        return true;
    }
    return QWidget::event(event);
}

void TabStrip::resizeEvent(QResizeEvent* event) {
    // Only a change of width can change the rows; a change of height must not.
    if (event->oldSize().width() != event->size().width()) invalidateLayout();
    QWidget::resizeEvent(event);
}

void TabStrip::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        measured_ = false;
        invalidateLayout();
    }
    QWidget::changeEvent(event);
}
