// The floor for start-up: an empty dialog of the converter window's caption and size, shown the
// same way, so what a start-up takes beyond it is the program's own.
#include <QApplication>
#include <QDialog>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Velmora"));
    dialog.setFixedSize(604, 554);
    return dialog.exec();
}
