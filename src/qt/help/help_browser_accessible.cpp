#include "qt/help/help_browser_accessible.h"

#include "qt/help/help_browser.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <vector>

namespace {

// A link or a heading of the page: a stretch of its text.
struct PagePart {
    QAccessible::Role role;
    int start;
    int end;
    QString text;
    QString href;
};

std::vector<PagePart> pageParts(const QTextDocument* document) {
    std::vector<PagePart> parts;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0 && !block.text().trimmed().isEmpty())
            parts.push_back({QAccessible::Heading,
                             block.position(),
                             block.position() + block.length() - 1,
                             block.text().trimmed(),
                             {}});
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isAnchor() || format.anchorHref().isEmpty()) continue;
            const int end = fragment.position() + fragment.length();
            PagePart* last = parts.empty() ? nullptr : &parts.back();
            // One link may be several fragments: bold words in it, say.
            if (last && last->role == QAccessible::Link && last->href == format.anchorHref() &&
                last->end == fragment.position()) {
                last->end = end;
                last->text += fragment.text();
            } else {
                parts.push_back({QAccessible::Link, fragment.position(), end, fragment.text(),
                                 format.anchorHref()});
            }
        }
    }
    for (PagePart& part : parts)
        part.text = part.text.simplified();
    return parts;
}

// The stretch of the page's text between two positions, on the screen.
QRect textRect(HelpBrowser* browser, int start, int end) {
    QTextCursor cursor(browser->document());
    cursor.setPosition(start);
    QRect rect = browser->cursorRect(cursor);
    cursor.setPosition(end);
    rect = rect.united(browser->cursorRect(cursor));
    return QRect(browser->viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

class HelpPageAccessible;

// A link or a heading: not an object of its own, so it is known by its page and its place.
class HelpPagePart : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    HelpPagePart(HelpBrowser* browser, PagePart part) : browser_(browser), part_(std::move(part)) {}

    bool isValid() const override { return browser_; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return browser_ ? browser_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(browser_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return part_.text;
        if (t == QAccessible::Description && part_.role == QAccessible::Link) return part_.href;
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        return browser_ ? textRect(browser_, part_.start, part_.end) : QRect();
    }
    QAccessible::Role role() const override { return part_.role; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!browser_) return state;
        state.readOnly = true;
        state.invisible = !browser_->isVisible();
        state.offscreen =
            !QRect(browser_->viewport()->mapToGlobal(QPoint()), browser_->viewport()->size())
                 .intersects(rect());
        if (part_.role == QAccessible::Link) {
            state.linked = true;
            state.focusable = true;
            state.focused = browser_->hasFocus() && isSelected();
        }
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface && part_.role == QAccessible::Link
                   ? static_cast<QAccessibleActionInterface*>(this)
                   : nullptr;
    }

    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& name) override {
        if (!browser_) return;
        if (name == pressAction()) {
            emit browser_->anchorClicked(browser_->source().resolved(QUrl(part_.href)));
        } else if (name == setFocusAction()) {
            QTextCursor cursor(browser_->document());
            cursor.setPosition(part_.start);
            cursor.setPosition(part_.end, QTextCursor::KeepAnchor);
            browser_->setTextCursor(cursor);
            browser_->setFocus();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // The link the keyboard is on: Tab selects its text.
    bool isSelected() const {
        const QTextCursor cursor = browser_->textCursor();
        return cursor.selectionStart() == part_.start && cursor.selectionEnd() == part_.end;
    }

  private:
    QPointer<HelpBrowser> browser_;
    PagePart part_;
};

class HelpPageAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit HelpPageAccessible(HelpBrowser* browser)
        : QAccessibleWidget(browser, QAccessible::Document) {}
    ~HelpPageAccessible() override { forget(); }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.focusable = true;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return static_cast<int>(parts().size()); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        QAccessible::Id& id = ids_[static_cast<std::size_t>(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(
                new HelpPagePart(browser(), parts_[static_cast<std::size_t>(index)]));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        parts();
        for (std::size_t i = 0; child && i < ids_.size(); ++i)
            if (ids_[i] && QAccessible::accessibleInterface(ids_[i]) == child)
                return static_cast<int>(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const int offset = offsetAtPoint(QPoint(x, y));
        for (std::size_t i = 0; offset >= 0 && i < parts().size(); ++i)
            if (parts_[i].start <= offset && offset < parts_[i].end)
                return child(static_cast<int>(i));
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->state().focused) return child(i);
        return nullptr;
    }
    // The link under the keyboard, once Tab has reached one; -1 for none.
    int selectedLink() const {
        for (int i = 0; i < childCount(); ++i)
            if (parts_[static_cast<std::size_t>(i)].role == QAccessible::Link &&
                static_cast<HelpPagePart*>(child(i))->isSelected())
                return i;
        return -1;
    }

    // Text.
    void selection(int index, int* start, int* end) const override {
        const QTextCursor cursor = browser()->textCursor();
        *start = index == 0 && cursor.hasSelection() ? cursor.selectionStart() : 0;
        *end = index == 0 && cursor.hasSelection() ? cursor.selectionEnd() : 0;
    }
    int selectionCount() const override { return browser()->textCursor().hasSelection(); }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override {
        QTextCursor cursor = browser()->textCursor();
        cursor.clearSelection();
        browser()->setTextCursor(cursor);
    }
    void setSelection(int, int start, int end) override {
        QTextCursor cursor = browser()->textCursor();
        cursor.setPosition(clamp(start));
        cursor.setPosition(clamp(end), QTextCursor::KeepAnchor);
        browser()->setTextCursor(cursor);
    }
    int cursorPosition() const override { return browser()->textCursor().position(); }
    void setCursorPosition(int position) override { setSelection(0, position, position); }
    QString text(int start, int end) const override {
        return plainText().mid(start, std::max(0, end - start));
    }
    QString text(QAccessible::Text t) const override { return QAccessibleWidget::text(t); }
    int characterCount() const override { return static_cast<int>(plainText().size()); }
    QRect characterRect(int offset) const override {
        return textRect(browser(), clamp(offset), clamp(offset + 1));
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = browser()->viewport()->mapFromGlobal(point);
        if (!browser()->viewport()->rect().contains(local)) return -1;
        return browser()->cursorForPosition(local).position();
    }
    void scrollToSubstring(int start, int) override {
        QTextCursor cursor(browser()->document());
        cursor.setPosition(clamp(start));
        const QRect rect = browser()->cursorRect(cursor);
        browser()->verticalScrollBar()->setValue(browser()->verticalScrollBar()->value() +
                                                 rect.top());
    }
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

  private:
    HelpBrowser* browser() const { return static_cast<HelpBrowser*>(widget()); }
    QString plainText() const { return browser()->document()->toPlainText(); }
    int clamp(int offset) const { return std::clamp(offset, 0, characterCount()); }

    // The links and headings of the page shown, learnt again for each new page.
    const std::vector<PagePart>& parts() const {
        if (page_ != browser()->pageCount()) {
            forget();
            parts_ = pageParts(browser()->document());
            ids_.assign(parts_.size(), 0);
            page_ = browser()->pageCount();
        }
        return parts_;
    }
    void forget() const {
        for (QAccessible::Id id : ids_)
            if (id) QAccessible::deleteAccessibleInterface(id);
        ids_.clear();
        parts_.clear();
    }

    mutable std::vector<PagePart> parts_;
    mutable std::vector<QAccessible::Id> ids_;
    mutable int page_ = -1;
};

QAccessibleInterface* helpPageFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("HelpBrowser") && object && object->isWidgetType())
        return new HelpPageAccessible(static_cast<HelpBrowser*>(object));
    return nullptr;
}

} // namespace

void installHelpPageAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(helpPageFactory);
        return true;
    }();
    (void)installed;
}

void linkFocused(HelpBrowser* browser) {
    auto* page = static_cast<HelpPageAccessible*>(QAccessible::queryAccessibleInterface(browser));
    const int link = page ? page->selectedLink() : -1;
    if (link < 0) return;
    QAccessibleEvent focus(page->child(link), QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

void pageShown(HelpBrowser* browser) {
    if (!QAccessible::isActive()) return;
    QAccessibleEvent changed(browser, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&changed);
}
