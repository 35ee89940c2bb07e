#include "catalog/catalog_preload.h"
#include "converter_fixture.h"
#include "qt/app/converter_app.h"
#include "qt/widgets/elided_label.h"
#include "qt/widgets/velmora_style.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

const char* const sampleCatalog = "P|p|Hidden|Unit|x|0\r\n"
                                  "Q|q1|Feet|Meters|x*0.3048\r\n"
                                  "Q|q2|Feet|Inches|x*12\r\n"
                                  "Q|q3|Meters|Feet|x/0.3048\r\n"
                                  "R|r1|Celsius|Fahrenheit|x*9/5+32\r\n";

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

void clickItem(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

void clickTab(TabStrip* tabs, int index) {
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
}

bool tabInView(const TabStrip* tabs, int index) {
    return tabs->tabArea().contains(tabs->tabRect(index));
}

// Where widget lies in its window, which must hold all of it for it to be seen.
bool wholeInWindow(const QWidget* widget) {
    return widget->isVisible() &&
           widget->window()->rect().contains(
               QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size()));
}

} // namespace

class ConverterWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void startShowsTheFirstConversionWithAnEmptyResult() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QCOMPARE(f.dialog->windowTitle(), QStringLiteral("Velmora"));
        QCOMPARE(f.tabTexts(), QStringList({"Q", "R"}));
        QCOMPARE(f.texts(f.fromList()), QStringList({"Feet", "Meters"}));
        QCOMPARE(f.texts(f.toList()), QStringList({"Meters", "Inches"}));
        QCOMPARE(f.inputUnit(), QStringLiteral("Feet"));
        QCOMPARE(f.outputUnit(), QStringLiteral("Meters"));
        QCOMPARE(f.result()->text(), QString());
        QCOMPARE(f.dialog->focusWidget(), f.fromList());
        QVERIFY(!f.dialog->windowIcon().isNull());
    }

    void menuHasItsCommandsInOrder() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QStringList seen;
        for (QAction* menu : f.find<QMenuBar>("")->actions()) {
            seen.append(menu->text());
            // As the menu shows them: the shortcut, if any, after a tab.
            for (QAction* item : menu->menu()->actions())
                seen.append(item->isSeparator() ? QStringLiteral("-")
                            : item->shortcut().isEmpty()
                                ? item->text()
                                : item->text() + "\t" + item->shortcut().toString());
        }
        // View, Favourites and Recent are filled as they open.
        QCOMPARE(seen, QStringList({"&File", "&Save...\tCtrl+S", "&Print...\tCtrl+P", "-", "E&xit",
                                    "&Convert", "&Find Conversion...\tCtrl+F",
                                    "&Copy to Clipboard\tCtrl+C", "Copy &Result\tCtrl+Shift+C",
                                    "Copy &Exact Value", "S&wap From and To\tCtrl+R",
                                    "&Precision...", "&Options...", "&View", "F&avourites",
                                    "&Recent", "&Help", "&Contents\tF1", "&About"}));
    }

    void favouritesAndRecentConversionsAreOneKeyAway() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
        QTest::keyClicks(f.input(), "10");
        QTest::keyClick(f.input(), Qt::Key_D, Qt::ControlModifier);
        f.dialog->onTabChanged(1);
        QTest::keyClick(f.input(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(f.tabs()->currentIndex(), 0);
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("3.0")));
        QCOMPARE(f.dialog->focusWidget(), f.input());
        // The conversions left with a value are the recent ones, newest first; one brings its
        // value back with it.
        const auto menuItems = [&](const char* name) {
            QMenu* menu = f.find<QMenu>(name);
            emit menu->aboutToShow();
            return menu->actions();
        };
        const QList<QAction*> recent = menuItems("recentMenu");
        QCOMPARE(recent[0]->text(), QStringLiteral("R: 10 Celsius \u2192 Fahrenheit"));
        QCOMPARE(recent[1]->text(), QStringLiteral("Q: 10 Feet \u2192 Meters"));
        f.input()->setText(QStringLiteral("1"));
        recent[0]->trigger();
        QCOMPARE(f.tabs()->currentIndex(), 1);
        QCOMPARE(f.input()->text(), QStringLiteral("10"));
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("50.0")));
        const QList<QAction*> favourites = menuItems("favouritesMenu");
        QCOMPARE(favourites[2]->text(), QStringLiteral("&1 Q: Feet \u2192 Meters\tCtrl+1"));
        // Kept on top, and the window stays shown.
        menuItems("viewMenu")[0]->trigger();
        QVERIFY(f.dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(f.dialog->isVisible());
        QVERIFY(menuItems("viewMenu")[0]->isChecked());
        // The To list says each unit's result, to the eye and to a screen reader, until turned
        // off.
        const auto toName = [&] { return f.toList()->item(0)->data(Qt::AccessibleTextRole); };
        QCOMPARE(toName(), "Fahrenheit, " + f.inLocale(QStringLiteral("50.0")));
        menuItems("viewMenu")[3]->trigger();
        QCOMPARE(toName(), QStringLiteral("Fahrenheit"));
        // The next window starts where this one closed, on top.
        f.dialog->close();
        ConversionCatalog catalog;
        ConverterDialog next(catalog, f.services);
        QVERIFY(next.start());
        QCOMPARE(next.model().selectedTab(), 1);
        QCOMPARE(next.findChild<QLineEdit*>(QStringLiteral("inputField"))->text(), "10");
        QVERIFY(next.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void tabsSkipHiddenCategories() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        clickTab(f.tabs(), 1);
        QCOMPARE(f.selection().currentCategory->name(), std::string("R"));
        QCOMPARE(f.texts(f.fromList()), QStringList({"Celsius"}));
        QCOMPARE(f.outputUnit(), QStringLiteral("Fahrenheit"));
        clickTab(f.tabs(), 0);
        QCOMPARE(f.selection().currentCategory->name(), std::string("Q"));
    }

    void fromEntryListsItsTargetsInFileOrder() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QTest::keyClicks(f.input(), "10");
        clickItem(f.fromList(), 1);
        QCOMPARE(f.texts(f.toList()), QStringList({"Feet"}));
        QCOMPARE(f.inputUnit(), QStringLiteral("Meters"));
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("32.8")));
        // The keyboard moves the selection the same way.
        f.fromList()->setFocus();
        QTest::keyClick(f.fromList(), Qt::Key_Up);
        QCOMPARE(f.texts(f.toList()), QStringList({"Meters", "Inches"}));
        clickItem(f.toList(), 1);
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("120.0")));
        QCOMPARE(f.outputUnit(), QStringLiteral("Inches"));
    }

    void typedInputConverts_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("result");
        // The result in full with its unit, and what the input field says of unread characters.
        QTest::addColumn<QString>("exact");
        QTest::addColumn<QString>("note");
        // A value is read wholly or not at all: no result from part of it.
        QTest::newRow("number before letters") << "x"
                                               << "1"
                                               << "12abc"
                                               << ""
                                               << ""
                                               << "No unit \"abc\" converts to A in T.";
        QTest::newRow("letters only") << "x"
                                      << "1"
                                      << "abc"
                                      << ""
                                      << ""
                                      << "The value cannot be read from \"abc\" on.";
        // The comma is a decimal separator only where the locale writes decimals with one.
        const bool comma = QLocale().decimalPoint() == QStringLiteral(",");
        const QString commaNote = "\"3,5\": a comma is not read as a decimal separator here, where "
                                  "decimals are written with a point, nor guessed to separate "
                                  "thousands; write 3.5 for a decimal.";
        QTest::newRow("comma per locale")
            << "x"
            << "2"
            << "3,5" << (comma ? "3.50" : "") << (comma ? "3.5 B" : "") << (comma ? "" : commaNote);
        QTest::newRow("comma after a zero")
            << "x"
            << "1"
            << "0,5" << (comma ? "0.5" : "") << (comma ? "0.5 B" : "")
            << (comma ? "" : QString(commaNote).replace("3", "0"));
        QTest::newRow("an expression is computed") << "x"
                                                   << "1"
                                                   << "5*12+11"
                                                   << "71.0"
                                                   << "71 B"
                                                   << "";
        QTest::newRow("a blank inside the number")
            << "x"
            << "1"
            << "1 000"
            << ""
            << ""
            << "A number follows \"1\" without a unit between them.";
        // Nothing asked, nothing answered.
        QTest::newRow("emptied again") << "x"
                                       << "1"
                                       << "7\b"
                                       << ""
                                       << ""
                                       << "";
        QTest::newRow("huge value in full") << "x"
                                            << "2"
                                            << "1e20"
                                            << "100000000000000000000.00"
                                            << "1e+20 B"
                                            << "";
        QTest::newRow("two thirds, precision 4") << "x/3"
                                                 << "4"
                                                 << "2"
                                                 << "0.6667"
                                                 << "0.666666666666667 B"
                                                 << "";
        QTest::newRow("two thirds, precision 1") << "x/3"
                                                 << "1"
                                                 << "2"
                                                 << "0.7"
                                                 << "0.666666666666667 B"
                                                 << "";
        QTest::newRow("negative at the start") << "(x-32)*5/9"
                                               << "2"
                                               << "-40"
                                               << "-40.00"
                                               << "-40 B"
                                               << "";
        QTest::newRow("negative after an operator") << "1/x"
                                                    << "1"
                                                    << "-5"
                                                    << "-0.2"
                                                    << "-0.2 B"
                                                    << "";
        QTest::newRow("tiny input keeps its digits") << "x*1000000"
                                                     << "1"
                                                     << "0.0000004"
                                                     << "0.4"
                                                     << "0.4 B"
                                                     << "";
        // Four decimals would read 0.0000, which it is not.
        QTest::newRow("tiny result in exponent form") << "x/1000"
                                                      << "4"
                                                      << "0.000003"
                                                      << "3e-09"
                                                      << "3e-09 B"
                                                      << "";
        QTest::newRow("above 1e15 in exponent form") << "x*9460730472580.8"
                                                     << "1"
                                                     << "1000"
                                                     << "9460730472580800.0"
                                                     << "9.4607304725808e+15 B"
                                                     << "";
        QTest::newRow("below 1e15 in full") << "x*9460730472580.8"
                                            << "1"
                                            << "1"
                                            << "9460730472580.8"
                                            << "9460730472580.8 B"
                                            << "";
        // Its 0 would read as a result: no number, and the reason.
        QTest::newRow("formula that cannot be computed")
            << "x%0"
            << "3"
            << "5"
            << ""
            << ""
            << "The formula of this conversion cannot be computed: values left over, or an "
               "operation that cannot be done (such as % by 0).";
    }
    void typedInputConverts() {
        QFETCH(QString, formula);
        QFETCH(QString, settings);
        QFETCH(QString, input);
        QFETCH(QString, result);
        QFETCH(QString, exact);
        QFETCH(QString, note);
        ConverterFixture f("T|n|A|B|" + formula.toStdString() + "\r\n", settings.toStdString());
        result = f.inLocale(result);
        exact = f.inLocale(exact);
        QVERIFY(f.start());
        QTest::keyClicks(f.input(), input);
        QCOMPARE(f.result()->text(), result);
        // A long number is read from its start: the field shows its leading digits.
        QCOMPARE(f.result()->cursorPosition(), 0);
        QCOMPARE(f.result()->toolTip(), exact);
        // Shift+F10 opens the result's own menu, in a loop of its own.
        QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
        f.result()->setFocus();
        QString copyExact;
        // Without a result there is nothing to copy: the clipboard keeps what it had.
        QApplication::clipboard()->setText(QString());
        QObject scope;
        QTimer::singleShot(0, &scope, [&] {
            QWidget* menu = QApplication::activePopupWidget();
            if (auto* action = menu ? menu->findChild<QAction*>("actionCopyExactValue") : nullptr) {
                copyExact = action->text();
                action->trigger();
            }
            if (menu) menu->close();
        });
        QTest::keyClick(f.result(), Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(copyExact, QStringLiteral("Copy Exact Value"));
        QCOMPARE(QApplication::clipboard()->text(), exact);
        QCOMPARE(f.input()->toolTip(), note);
        QCOMPARE(f.input()->accessibleDescription(),
                 result.isEmpty()
                     ? note
                     : "Result: " + result + " B" + (note.isEmpty() ? "" : ". " + note));
        const QColor plain = f.dialog->palette().color(QPalette::Base);
        QCOMPARE(f.input()->palette().color(QPalette::Base) != plain, !note.isEmpty());
    }

    void unitsReadAndTwoPartsShowOnLinesOfTheirOwnNotInTheLabels() {
        ConverterFixture f("L|a|Feet (international)|Centimeters|x*30.48\r\n"
                           "L|b|Centimeters|Feet (international)|x/30.48\r\n"
                           "L|c|Inches (international)|Feet (international)|x/12\r\n"
                           "L|d|Feet (international)|Inches (international)|x*12\r\n");
        writeBytes(f.dir.file("names.txt"), "Feet (international)|ft\nInches (international)|in\n");
        QVERIFY(f.start());
        const auto detail = [&f](const char* name) { return f.find<QLabel>(name); };
        QTest::keyClicks(f.input(), "5 ft 11 in");
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("180.3")));
        QCOMPARE(f.inputUnit(), QStringLiteral("Feet (international)"));
        QCOMPARE(detail("inputDetail")->text(),
                 QStringLiteral("Read as 5 Feet (international) + 11 Inches (international)"));
        QVERIFY(detail("resultDetail")->isHidden());
        clickItem(f.fromList(), 1);
        f.input()->setText(QStringLiteral("180.34"));
        QCOMPARE(f.outputUnit(), QStringLiteral("Feet (international)"));
        QCOMPARE(detail("resultDetail")->text(), f.inLocale(QStringLiteral("= 5 ft 11.0 in")));
        QCOMPARE(f.result()->accessibleDescription(), detail("resultDetail")->text());
        QVERIFY(detail("inputDetail")->isHidden());
    }

    void selectionsMadeByTheProgramRaiseNoEvents() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        clickItem(f.fromList(), 1);
        QTest::keyClicks(f.input(), "1");
        const QString result = f.result()->text();
        // Refilling selects entry 0 of the From list; as a user event it would refill the To
        // list for "Feet" and compute again.
        f.dialog->fillFromList();
        QCOMPARE(f.fromList()->currentRow(), 0);
        QCOMPARE(f.texts(f.toList()), QStringList({"Feet"}));
        QCOMPARE(f.result()->text(), result);
        QCOMPARE(f.inputUnit(), QStringLiteral("Meters"));
    }

    void closingWritesSettingsAndLeavesAnUnchangedCatalog() {
        ConverterFixture f(sampleCatalog);
        const ino_t before = inodeOf(f.dir.file("conv.txt"));
        QVERIFY(f.start());
        QCOMPARE(f.dialog->precision(), 1);
        f.dialog->close();
        QVERIFY(!f.dialog->isVisible());
        QCOMPARE(readBytes(f.dir.file("conv.ini")), std::string("1"));
        QCOMPARE(readBytes(f.dir.file("conv.txt")), std::string(sampleCatalog));
        QCOMPARE(inodeOf(f.dir.file("conv.txt")), before);
        QVERIFY(f.services.messages.isEmpty());
    }

    void exitWritesTheSettingsOnceAndEndsTheWindow() {
        ConverterFixture f(sampleCatalog, "  3  \nignored\n");
        QVERIFY(f.start());
        QCOMPARE(f.dialog->precision(), 3);
        QSignalSpy finished(f.dialog.get(), &QDialog::finished);
        f.find<QAction>("actionExit")->trigger();
        QCOMPARE(readBytes(f.dir.file("conv.ini")), std::string("3"));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toInt(), int(QDialog::Accepted));
        // The window is gone; a later close must not write again.
        std::filesystem::remove(f.dir.file("conv.ini"));
        f.dialog->close();
        QVERIFY(!std::filesystem::exists(f.dir.file("conv.ini")));
    }

    void enterAndEscapeNeverCloseTheWindow() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QTest::keyClicks(f.input(), "42");
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(f.input(), Qt::Key(key));
            QTest::keyClick(f.fromList(), Qt::Key(key));
        }
        QVERIFY(f.dialog->isVisible());
        QCOMPARE(f.input()->text(), QStringLiteral("42"));
        QVERIFY(!std::filesystem::exists(f.dir.file("conv.ini")));
    }

    void settingsThatCannotBeSavedShowTheirMessageAndClosingGoesOn() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        std::filesystem::create_directory(f.dir.file("conv.ini")); // nothing can replace it
        f.dialog->close();
        QVERIFY(!f.dialog->isVisible());
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(f.services.messages[0].text,
                 QString::fromStdString("Unable to save conversion settings. conv.ini could not be "
                                        "written in " +
                                        f.dir.path().string() + ": it is a folder."));
    }

    void missingCatalogShowsOneMessageAndFails_data() {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("message");
        // The folder looked in follows "in".
        QTest::newRow("missing") << false
                                 << QStringLiteral("Unable to load conversion data. conv.txt could "
                                                   "not be read in %1: there is no such file.");
        QTest::newRow("a folder named like it")
            << true
            << QStringLiteral("Unable to load conversion data. conv.txt could not be read in %1: "
                              "it is a folder, not a file.");
    }
    void missingCatalogShowsOneMessageAndFails() {
        QFETCH(bool, folder);
        QFETCH(QString, message);
        TempDir dir;
        if (folder) std::filesystem::create_directory(dir.file("conv.txt"));
        const auto previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        FakeUiServices services;
        ConverterApp app(services);
        const int status = app.run();
        std::filesystem::current_path(previous);
        QVERIFY(status != 0);
        QCOMPARE(services.messages.size(), 1);
        QCOMPARE(services.messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(services.messages[0].text,
                 message.arg(QString::fromStdString(dir.path().string())));
        QVERIFY(!std::filesystem::exists(dir.file("conv.ini")));
    }

    void tabRowsGrowTheWindowByWholeRows() {
        // Find catalogs that need one, two and three rows of tabs.
        struct Layout {
            int height;
            int tabsHeight;
            int fromY;
            int contactY;
            int bannerY;
        };
        std::map<int, Layout> byRows;
        int rowHeight = 0;
        for (int count = 1; count <= 40 && byRows.size() < 3; ++count) {
            std::string text;
            for (int i = 0; i < count; ++i)
                text += "Category " + std::to_string(i) + "|n|a|b|x\r\n";
            ConverterFixture f(text);
            QVERIFY(f.start());
            rowHeight = f.dialog->tabRowHeight();
            const int rows = f.tabs()->rowCount();
            if (rows > 3 || byRows.count(rows)) continue;
            byRows[rows] = {f.dialog->height(), f.tabs()->height(), f.fromList()->y(),
                            f.find<QWidget>("contactLine")->y(), f.find<QWidget>("banner")->y()};
        }
        QCOMPARE(int(byRows.size()), 3);
        QVERIFY(rowHeight > 0);
        const Layout one = byRows[1];
        for (int rows : {2, 3}) {
            const int d = (rows - 1) * rowHeight;
            QCOMPARE(byRows[rows].height, one.height + d);
            QCOMPARE(byRows[rows].tabsHeight, one.tabsHeight + d);
            QCOMPARE(byRows[rows].fromY, one.fromY + d);
            QCOMPARE(byRows[rows].contactY, one.contactY + d);
            QCOMPARE(byRows[rows].bannerY, one.bannerY);
        }
    }

    void theWindowGrowsAndKeepsItsSizeBetweenRuns() {
        // Thirty units in the first of eight categories, whose tabs wrap at the smallest width.
        std::string text = ConverterFixture::categoryLines(8);
        for (int i = 0; i < 30; ++i)
            text.insert(0, "Category 0|n|Unit " + std::to_string(i) + "|To|x\r\n");
        ConverterFixture f(text);
        QVERIFY(f.start());
        const int row = f.fromList()->sizeHintForRow(0), rows = f.fromList()->viewport()->height();
        const QSize smallest = f.dialog->size(), larger = smallest + QSize(180, 120);
        const int tabRows = f.tabs()->shownRowCount(), inputWidth = f.input()->width();
        QVERIFY(f.dialog->minimumSize() == smallest && tabRows > 1);
        // The swap button keeps to the gap between the lists, below the tab rows.
        const auto swapBetweenLists = [&f] {
            const QRect button = f.find<QWidget>("swapButton")->geometry();
            return button.left() > f.fromList()->geometry().right() &&
                   button.right() < f.toList()->x() && button.top() > f.fromList()->y() &&
                   button.bottom() < f.fromList()->geometry().bottom();
        };
        QVERIFY(swapBetweenLists());
        f.dialog->resize(larger);
        QTRY_COMPARE(f.dialog->size(), larger);
        QVERIFY(swapBetweenLists());
        QVERIFY(f.fromList()->viewport()->height() / row >= rows / row + 120 / row);
        QVERIFY(f.tabs()->shownRowCount() < tabRows);
        QCOMPARE(f.input()->width(), inputWidth + 90);
        for (QWidget* widget : QList<QWidget*>{f.toList(), f.find<QWidget>("picture"), f.result()})
            QVERIFY(wholeInWindow(widget));
        f.dialog->close();
        // The next run comes back at that size, and conv.ini is still the one digit.
        QCOMPARE(readBytes(f.dir.file("conv.ini")), std::string("1"));
        ConversionCatalog catalog, otherCatalog;
        ConverterDialog again(catalog, f.services);
        QVERIFY(again.start());
        again.show();
        QTRY_COMPARE(again.size(), larger);
        QCOMPARE(again.findChild<QWidget*>("fromList")->geometry(), f.fromList()->geometry());
        // A size kept from a larger screen is cut to this one.
        writeBytes(f.dir.file("window.ini"), "100000 100000\r\n");
        ConverterDialog huge(otherCatalog, f.services);
        QVERIFY(huge.start());
        QVERIFY(huge.screen()->availableGeometry().contains(QRect(QPoint(), huge.size())));
        // A window closed maximised says so, and opens maximised again.
        huge.showMaximized();
        huge.close();
        QVERIFY(readBytes(f.dir.file("window.ini")).ends_with("\r\nmaximized\r\n"));
        ConversionCatalog thirdCatalog;
        ConverterDialog maximised(thirdCatalog, f.services);
        QVERIFY(maximised.start());
        QVERIFY(maximised.windowState() & Qt::WindowMaximized);
    }

    void largeCatalogsFitTheScreenAndEveryTabIsReached_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("200 categories") << 200;
        QTest::newRow("5,000 categories") << 5000;
    }
    void largeCatalogsFitTheScreenAndEveryTabIsReached() {
        QFETCH(int, count);
        ConverterFixture f(ConverterFixture::categoryLines(count));
        QVERIFY(f.start());
        QVERIFY(QTest::qWaitForWindowExposed(f.dialog.get()));
        const QRect screen = f.dialog->screen()->availableGeometry();
        QVERIFY2(screen.contains(f.dialog->frameGeometry()),
                 qPrintable(QStringLiteral("frame %1x%2 at %3,%4")
                                .arg(f.dialog->frameGeometry().width())
                                .arg(f.dialog->frameGeometry().height())
                                .arg(f.dialog->x())
                                .arg(f.dialog->y())));
        for (QWidget* field : QList<QWidget*>{f.input(), f.result(), f.fromList()})
            QVERIFY(wholeInWindow(field));
        TabStrip* tabs = f.tabs();
        QVERIFY(tabs->shownRowCount() < tabs->rowCount());
        QCOMPARE(tabs->tabArea().height(), tabs->shownRowCount() * tabs->rowHeight());
        // Right walks tab by tab across rows; each selected tab is in view.
        tabs->setFocus();
        for (int i = 1; i <= 40; ++i) {
            QTest::keyClick(tabs, Qt::Key_Right);
            QCOMPARE(tabs->currentIndex(), i);
            QVERIFY2(tabInView(tabs, i), qPrintable(QString::number(i)));
        }
        QTest::keyClick(tabs, Qt::Key_End);
        QCOMPARE(tabs->currentIndex(), count - 1);
        QVERIFY(tabInView(tabs, count - 1));
        QCOMPARE(f.selection().currentCategory, f.catalog.categoryAt(count - 1));
        QCOMPARE(f.texts(f.fromList()), QStringList({QStringLiteral("From %1").arg(count - 1)}));
        QVERIFY(screen.contains(f.dialog->frameGeometry()));
    }

    void hiddenRowsScrollIntoViewAndTheirTabsCanBeClicked() {
        ConverterFixture f(ConverterFixture::categoryLines(200));
        QVERIFY(f.start());
        QCoreApplication::processEvents();
        TabStrip* tabs = f.tabs();
        auto* bar = f.find<QScrollBar>("tabScrollBar");
        QVERIFY(bar && bar->isVisible());
        QCOMPARE(bar->maximum(), tabs->rowCount() - tabs->shownRowCount());
        QCOMPARE(bar->value(), bar->maximum());
        bar->setValue(0);
        QCOMPARE(tabs->firstShownRow(), 0);
        QVERIFY(!tabInView(tabs, 0));
        // Assistive tools see the tab scrolled away as off the screen, and find no tab below
        // the strip's rows.
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(tabs);
        QVERIFY(list->child(0)->state().offscreen);
        const QPoint below = tabs->mapToGlobal(QPoint(5, tabs->tabArea().bottom() + 5));
        QCOMPARE(list->childAt(below.x(), below.y()), nullptr);
        // The top row in view now holds other tabs; a click selects one and keeps it in view.
        const QPoint top(tabs->tabRect(0).width() / 2, tabs->rowHeight() / 2);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, top);
        const int clicked = tabs->currentIndex();
        QVERIFY(clicked > 0);
        QVERIFY(tabInView(tabs, clicked));
        QCOMPARE(f.selection().currentCategory, f.catalog.categoryAt(clicked));
        QCOMPARE(tabs->firstShownRow(), tabs->rowCount() - tabs->shownRowCount());
    }

    void deliveredCatalogShowsAllItsRows() {
        std::ifstream in(VELMORA_DELIVERED_CATALOG, std::ios::binary);
        ConverterFixture f(std::string(std::istreambuf_iterator<char>(in), {}));
        QVERIFY(f.start());
        QVERIFY(f.tabs()->rowCount() > 1);
        QCOMPARE(f.tabs()->shownRowCount(), f.tabs()->rowCount());
        QVERIFY(!f.find<QScrollBar>("tabScrollBar")->isVisible());
    }

    void textsThatDoNotFitEndInAnEllipsis() {
        const QString longName =
            QStringLiteral("A category name far wider than the whole strip ").repeated(3);
        const QString longUnit =
            QStringLiteral("Kilograms-force per square centimeter (technical)");
        ConverterFixture f(
            (longName + "|n|" + longUnit + "|Pascals|x\r\nShort|n|a|b|x\r\n").toStdString());
        QVERIFY(f.start());
        TabStrip* tabs = f.tabs();
        QVERIFY(tabs->shownText(0).endsWith(QChar(0x2026)));
        QVERIFY(tabs->shownText(0).size() < longName.size());
        QCOMPARE(tabs->tabToolTip(0), longName.trimmed());
        QCOMPARE(tabs->shownText(1), QStringLiteral("Short"));
        QVERIFY(tabs->tabToolTip(1).isEmpty());
        auto* label = f.find<ElidedLabel>("inputUnitLabel");
        QCOMPARE(label->text(), longUnit);
        QVERIFY(label->shownText().endsWith(QChar(0x2026)));
        QVERIFY(label->geometry().right() < f.find<QWidget>("picture")->x());
        QCOMPARE(f.find<ElidedLabel>("outputUnitLabel")->shownText(), QStringLiteral("Pascals"));
    }

    void bannerSpansTheWindowAtAnyFont_data() {
        QTest::addColumn<qreal>("points");
        QTest::newRow("small") << qreal(7);
        QTest::newRow("usual") << qreal(10);
        QTest::newRow("large") << qreal(15);
    }
    void bannerSpansTheWindowAtAnyFont() {
        QFETCH(qreal, points);
        const QFont previous = QApplication::font();
        QFont font = previous;
        font.setPointSizeF(points);
        QApplication::setFont(font);
        ConverterFixture f(sampleCatalog);
        QApplication::setFont(previous);
        QVERIFY(f.start());
        const QRect banner = f.find<QWidget>("banner")->geometry();
        const int clientWidth = f.find<QWidget>("client")->width();
        QCOMPARE(banner.left(), clientWidth - 1 - banner.right());
        QVERIFY(banner.left() < clientWidth / 20);
        QVERIFY(banner.height() > 0);
        QVERIFY(banner.bottom() < f.tabs()->y());
    }

    void menuBarExtensionIconIsTheStylesOwnInEitherDirection() {
        QStyle* base = QApplication::style();
        const VelmoraStyle ours(QStyleFactory::create(base->name()));
        for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
            QStyleOption option;
            option.direction = direction;
            const QIcon theirs =
                base->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &option);
            const QIcon mine =
                ours.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &option);
            QVERIFY(!mine.isNull());
            for (const int size : {8, 16, 32})
                QCOMPARE(mine.pixmap(size).toImage(), theirs.pixmap(size).toImage());
        }
    }

    void startTakesTheCatalogPreloadedFromTheWorkingFolder() {
        ConverterFixture f(sampleCatalog);
        CatalogPreload preload(CatalogPreload::workingCatalogPath());
        f.dialog->setPreload(&preload);
        QVERIFY(f.start());
        QCOMPARE(f.tabTexts(), QStringList({"Q", "R"}));
        QCOMPARE(f.texts(f.fromList()), QStringList({"Feet", "Meters"}));
        ConversionCatalog again;
        QCOMPARE(preload.take(CatalogPreload::workingCatalogPath(), again), std::nullopt);
    }

    void catalogTextsAreShownAsWritten() {
        ConverterFixture f("R&D|n|<b>m</b>|x &amp; y|x\r\n");
        QVERIFY(f.start());
        QCOMPARE(f.find<QLabel>("inputUnitLabel")->textFormat(), Qt::PlainText);
        QCOMPARE(f.inputUnit(), QStringLiteral("<b>m</b>"));
        QCOMPARE(f.tabTexts(), QStringList({"R&D"}));
        // A "&" makes no key: that unit's label names no field.
        QCOMPARE(f.find<QLabel>("outputUnitLabel")->buddy(), nullptr);
        // A folder where the catalog should be is no catalog.
        ConverterFixture folder("");
        std::filesystem::remove(folder.dir.file("conv.txt"));
        std::filesystem::create_directory(folder.dir.file("conv.txt"));
        QVERIFY(!folder.start());
        QCOMPARE(folder.services.messages.size(), 1);
    }

    void aChosenUnitCannotBeUnselected() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QListWidget* list = f.fromList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list->visualItemRect(list->item(0)).center());
        QCOMPARE(list->selectedItems().size(), 1);
        QCOMPARE(list->currentRow(), 0);
    }

    void onlyALeftClickOnTheBannerOpensTheSite() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QWidget* banner = f.find<QWidget>("banner");
        QTest::mouseClick(banner, Qt::RightButton);
        QTest::mouseClick(banner, Qt::MiddleButton);
        QTest::mouseRelease(banner, Qt::LeftButton); // no press on the banner first
        QVERIFY(f.services.openedUrls.isEmpty());
        QTest::mouseClick(banner, Qt::LeftButton);
        QCOMPARE(f.services.openedUrls.size(), 1);
    }

    void everyControlHasAnAccessibleName() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QCOMPARE(ConverterFixture::unnamedAccessibles(f.dialog.get()), QStringList());
        const struct {
            const char* caption;
            QWidget* control;
            const char* name;
        } captions[] = {
            {"fromCaption", f.fromList(), "From"},
            {"toCaption", f.toList(), "To"},
            {"inputCaption", f.input(), "Input value to convert, Feet"},
            {"resultCaption", f.result(), "Conversion result, Meters"},
            {"inputUnitLabel", f.input(), "Input value to convert, Feet"},
            {"outputUnitLabel", f.result(), "Conversion result, Meters"},
        };
        for (const auto& c : captions) {
            QCOMPARE(f.find<QLabel>(c.caption)->buddy(), c.control);
            QCOMPARE(QAccessible::queryAccessibleInterface(c.control)->text(QAccessible::Name),
                     QString::fromLatin1(c.name));
        }
    }

    void tabsAreAPageTabListWithTheSelectedTabMarked() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(f.tabs());
        QCOMPARE(list->role(), QAccessible::PageTabList);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Categories"));
        auto describe = [&] {
            QStringList out;
            for (int i = 0; i < list->childCount(); ++i) {
                QAccessibleInterface* tab = list->child(i);
                const QPoint center = tab->rect().center();
                const bool consistent = tab->role() == QAccessible::PageTab &&
                                        list->indexOfChild(tab) == i && tab->parent() == list &&
                                        !tab->rect().isEmpty() &&
                                        list->childAt(center.x(), center.y()) == tab;
                out.append(tab->text(QAccessible::Name) + (tab->state().selected ? "*" : "") +
                           (consistent ? "" : " (inconsistent)"));
            }
            return out;
        };
        QCOMPARE(describe(), QStringList({"Q*", "R"}));
        clickTab(f.tabs(), 1);
        QCOMPARE(describe(), QStringList({"Q", "R*"}));
        // Pressing a tab through its action chooses its category as a click does.
        list->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(describe(), QStringList({"Q*", "R"}));
        QCOMPARE(f.texts(f.fromList()), QStringList({"Feet", "Meters"}));
        QCOMPARE(f.outputUnit(), QStringLiteral("Meters"));
        // Options may leave fewer tabs: the list follows.
        f.dialog->clearTabs();
        QCOMPARE(list->childCount(), 0);
    }

    void ctrlTabStepsThroughTheCategoriesFromAnywhere_data() {
        QTest::addColumn<QString>("focus");
        QTest::newRow("From list") << "fromList";
        QTest::newRow("To list") << "toList";
        QTest::newRow("input field") << "inputField";
        QTest::newRow("result field") << "resultField";
        QTest::newRow("tabs") << "tabs";
    }
    void ctrlTabStepsThroughTheCategoriesFromAnywhere() {
        QFETCH(QString, focus);
        ConverterFixture f("A|a|Feet|Meters|x*0.3048\r\n"
                           "B|b|Celsius|Fahrenheit|x*9/5+32\r\n"
                           "C|c|Grams|Ounces|x/28.349523125\r\n");
        QVERIFY(f.start());
        QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
        QTest::keyClicks(f.input(), "10");
        auto* target = f.find<QWidget>(focus.toLatin1());
        target->setFocus();
        QStringList seen;
        auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(target, key, modifiers);
            seen.append(f.tabs()->tabText(f.tabs()->currentIndex()) + ":" + f.result()->text());
        };
        press(Qt::Key_Tab, Qt::ControlModifier);
        press(Qt::Key_Tab, Qt::ControlModifier);
        press(Qt::Key_Tab, Qt::ControlModifier);
        press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        // The whole selection sequence of a click ran: lists, units and the result follow.
        QCOMPARE(seen, f.inLocale(QStringList({"B:50.0", "C:0.4", "A:3.0", "C:0.4", "B:50.0"})));
        QCOMPARE(f.texts(f.fromList()), QStringList({"Celsius"}));
        QCOMPARE(f.inputUnit(), QStringLiteral("Celsius"));
        QCOMPARE(f.dialog->focusWidget(), target);
        QCOMPARE(f.input()->text(), QStringLiteral("10"));
    }

    void rowHeightIsKnownBeforeAnyTab() {
        TabStrip strip;
        strip.resize(300, 200);
        const int empty = strip.rowHeight();
        QVERIFY(empty > 0);
        QCOMPARE(strip.rowCount(), 0);
        strip.addTab("Length");
        QCOMPARE(strip.rowHeight(), empty);
        QCOMPARE(strip.tabRect(0).height(), empty);
        QCOMPARE(strip.rowCount(), 1);
    }
};

QTEST_MAIN(ConverterWindowTest)
#include "converter_window_test.moc"
