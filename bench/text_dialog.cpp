// The second floor for start-up: the empty dialog plus the least a window with text shows, a
// caption, a three-item list and an input, so that it pays what any such window pays for the
// font stack and text drawing. What a start-up takes beyond it is the program's own.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Velmora"));
    dialog.setFixedSize(604, 554);
    auto* caption = new QLabel(QStringLiteral("From:"), &dialog);
    caption->setGeometry(20, 20, 200, 20);
    auto* list = new QListWidget(&dialog);
    list->addItems({QStringLiteral("Metres"), QStringLiteral("Feet"), QStringLiteral("Inches")});
    list->setCurrentRow(0);
    list->setGeometry(20, 45, 260, 100);
    auto* input = new QLineEdit(QStringLiteral("1"), &dialog);
    input->setGeometry(20, 160, 160, 24);
    list->setFocus();
    return dialog.exec();
}
