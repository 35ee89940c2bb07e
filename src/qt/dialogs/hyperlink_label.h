#pragma once

#include <QLabel>
#include <QString>

// A label that looks and acts like a web link: text in the theme's link colour (pure blue by
// default; lightened or darkened where it would be hard to read), underlined while the mouse is
// over this very label, a hand cursor, and clicked() on a left click. It takes the focus with Tab,
// draws a dotted frame while it has it, and Enter or Space click it too; assistive tools see a
// link they can press. Each label keeps its own text and its own hover state. It draws the text it
// was constructed with; later setText calls change what assistive tools read, not what is drawn.
class HyperlinkLabel : public QLabel {
    Q_OBJECT
  public:
    explicit HyperlinkLabel(const QString& text, QWidget* parent = nullptr);

    bool isHovered() const { return hovered_; }
    const QString& linkText() const { return linkText_; }
    // What a click does: clicked().
    void activate() { emit clicked(); }

  signals:
    void clicked();

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void setHovered(bool hovered);

    QString linkText_;
    bool hovered_ = false;
    bool pressed_ = false;
};
