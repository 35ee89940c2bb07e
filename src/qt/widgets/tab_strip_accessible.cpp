#include "qt/widgets/tab_strip_accessible.h"

#include "qt/widgets/tab_strip.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace {

// One tab: not an object of its own, so it is known by its strip and its index.
class TabStripTab : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    TabStripTab(TabStrip* strip, int index) : strip_(strip), index_(index) {}

    bool isValid() const override { return strip_ && index_ < strip_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return strip_ ? strip_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(strip_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        return isValid() && t == QAccessible::Name ? strip_->tabText(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect local = strip_->tabRect(index_);
        return QRect(strip_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) return state;
        state.selectable = true;
        state.focusable = true;
        const bool current = strip_->currentIndex() == index_;
        state.selected = current;
        state.focused = current && strip_->hasFocus();
        state.invisible = !strip_->isVisible() || strip_->tabRect(index_).isEmpty();
        // A tab of a row scrolled out of the strip's view is there, but not on the screen.
        state.offscreen = !strip_->tabArea().contains(strip_->tabRect(index_));
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (isValid() && name == pressAction()) strip_->selectByUser(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int index() const { return index_; }

  private:
    QPointer<TabStrip> strip_;
    int index_;
};

class TabStripAccessible : public QAccessibleWidget {
  public:
    explicit TabStripAccessible(TabStrip* strip)
        : QAccessibleWidget(strip, QAccessible::PageTabList) {}
    ~TabStripAccessible() override {
        for (QAccessible::Id id : std::as_const(tabs_))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return strip()->count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= strip()->count()) return nullptr;
        if (const QAccessible::Id id = tabs_.value(index))
            return QAccessible::accessibleInterface(id);
        auto* tab = new TabStripTab(strip(), index);
        tabs_.insert(index, QAccessible::registerAccessibleInterface(tab));
        return tab;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || child->role() != QAccessible::PageTab || child->parent() != this) return -1;
        return static_cast<const TabStripTab*>(child)->index();
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint point = strip()->mapFromGlobal(QPoint(x, y));
        if (!strip()->tabArea().contains(point)) return nullptr;
        for (int i = 0; i < strip()->count(); ++i)
            if (strip()->tabRect(i).contains(point)) return child(i);
        return nullptr;
    }
    // Tabs are chosen by their own press action, not by the strip's.
    QStringList actionNames() const override { return {}; }

  private:
    TabStrip* strip() const { return static_cast<TabStrip*>(widget()); }

    mutable QHash<int, QAccessible::Id> tabs_;
};

QAccessibleInterface* tabStripFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TabStrip") && object && object->isWidgetType())
        return new TabStripAccessible(static_cast<TabStrip*>(object));
    return nullptr;
}

} // namespace

void attachTabStripAccessibility(TabStrip* strip) {
    static const bool installed = [] {
        QAccessible::installFactory(tabStripFactory);
        return true;
    }();
    (void)installed;
    QObject::connect(strip, &TabStrip::currentChanged, strip, [strip](int index) {
        if (!QAccessible::isActive()) return;
        QAccessibleEvent selection(strip, QAccessible::Selection);
        selection.setChild(index);
        QAccessible::updateAccessibility(&selection);
        announceFocusedTab(strip);
    });
}

void announceFocusedTab(TabStrip* strip) {
    if (!QAccessible::isActive() || !strip->hasFocus() || strip->currentIndex() < 0) return;
    QAccessibleEvent focus(strip, QAccessible::Focus);
    focus.setChild(strip->currentIndex());
    QAccessible::updateAccessibility(&focus);
}
