#pragma once

#include "catalog/catalog.h"
#include "chm/help_file.h"
#include "converter/selection_logic.h"
#include "fake_ui_services.h"
#include "qt/widgets/tab_strip.h"
#include "qt/window/converter_dialog.h"
#include "temp_dir.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QRegularExpression>
#include <filesystem>
#include <memory>
#include <optional>

// The windows read help files through the real program, which this test program is not.
inline const bool helpReadByTheProgram = (setHelpReaderProgram(VELMORA_PROGRAM), true);

// A converter window started in a folder of its own, with the given conv.txt and conv.ini.
class ConverterFixture {
  public:
    explicit ConverterFixture(const std::string& catalogText,
                              std::optional<std::string> settingsText = std::nullopt)
        : previous_(std::filesystem::current_path()) {
        // Where the build puts the print plugin, which the program finds in its own folder.
        QCoreApplication::addLibraryPath(QStringLiteral(VELMORA_PRINT_PLUGIN_DIR));
        writeBytes(dir.file("conv.txt"), catalogText);
        if (settingsText) writeBytes(dir.file("conv.ini"), *settingsText);
        std::filesystem::current_path(dir.path());
        dialog = std::make_unique<ConverterDialog>(catalog, services);
    }
    ~ConverterFixture() {
        dialog.reset();
        std::filesystem::current_path(previous_);
    }

    // Puts the help file the build made beside the catalog.
    void addHelp() { std::filesystem::copy_file(VELMORA_HELP_CHM, dir.file("help.chm")); }

    bool start() {
        const bool started = dialog->start();
        if (started) dialog->show();
        return started;
    }

    // The window started with the help file the build made, and its help window opened.
    HelpWindow* openHelp() {
        addHelp();
        if (!start()) return nullptr;
        dialog->openHelp();
        return dialog->helpWindow();
    }

    template <typename T> T* find(const char* name) const {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    TabStrip* tabs() const { return find<TabStrip>("tabs"); }
    QListWidget* fromList() const { return find<QListWidget>("fromList"); }
    QListWidget* toList() const { return find<QListWidget>("toList"); }
    QLineEdit* input() const { return find<QLineEdit>("inputField"); }
    QLineEdit* result() const { return find<QLineEdit>("resultField"); }
    QString inputUnit() const { return find<QLabel>("inputUnitLabel")->text(); }
    QString outputUnit() const { return find<QLabel>("outputUnitLabel")->text(); }

    // A catalog of count categories of one conversion each, "From i" to "To i" in category i.
    static std::string categoryLines(int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            const std::string n = std::to_string(i);
            text += "Category " + n + "|n|From " + n + "|To " + n + "|x\r\n";
        }
        return text;
    }

    // Numbers as the window writes them in this run's locale: with its decimal separator.
    static QString inLocale(QString text) {
        static const QRegularExpression point(QStringLiteral("(\\d)\\.(\\d)"));
        return text.replace(point, QStringLiteral("\\1") + QLocale().decimalPoint() +
                                       QStringLiteral("\\2"));
    }
    static QStringList inLocale(QStringList texts) {
        for (QString& text : texts)
            text = inLocale(text);
        return texts;
    }

    static QStringList texts(const QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out.append(list->item(i)->text());
        return out;
    }
    QStringList tabTexts() const {
        QStringList out;
        for (int i = 0; i < tabs()->count(); ++i)
            out.append(tabs()->tabText(i));
        return out;
    }

    // The accessible objects below window, shown ones only, that a screen reader could not name:
    // each as its role and, for a widget, its object name. Plain containers need no name.
    static QStringList unnamedAccessibles(QWidget* window) {
        QStringList unnamed;
        auto visit = [&](auto&& self, QAccessibleInterface* node) -> void {
            if (!node || node->state().invisible) return;
            const QAccessible::Role role = node->role();
            const bool container = role == QAccessible::Client || role == QAccessible::Pane ||
                                   role == QAccessible::Grouping || role == QAccessible::Window ||
                                   role == QAccessible::Dialog || role == QAccessible::Separator ||
                                   role == QAccessible::ScrollBar || role == QAccessible::Row ||
                                   role == QAccessible::Splitter;
            if (!container && node->text(QAccessible::Name).trimmed().isEmpty())
                unnamed.append(QString::number(role) + QLatin1Char(':') +
                               (node->object() ? node->object()->objectName() : QString()));
            for (int i = 0; i < node->childCount(); ++i)
                self(self, node->child(i));
        };
        visit(visit, QAccessible::queryAccessibleInterface(window));
        return unnamed;
    }

    // The window's current category and conversion.
    const Selection& selection() const { return dialog->model().selection(); }

    TempDir dir;
    ConversionCatalog catalog;
    FakeUiServices services;
    std::unique_ptr<ConverterDialog> dialog;

  private:
    std::filesystem::path previous_;
};
