#include "converter_fixture.h"
#include "names/unit_names.h"
#include "qt/dialogs/find_dialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

const char* const sampleCatalog =
    "P|p|Hidden|Metres|x|0\r\n"
    "Length|km to m|Kilometers|Meters|x*1000\r\n"
    "Length|m to km|Meters|Kilometers|x/1000\r\n"
    "Length|m to ft|Meters|Feet|x/0.3048\r\n"
    "Length|ft to m|Feet|Meters|x*0.3048\r\n"
    "Temperature|C to F|Degrees Celsius|Degrees Fahrenheit|x*9/5+32\r\n"
    "Temperature|F to C|Degrees Fahrenheit|Degrees Celsius|(x-32)*5/9\r\n";

const QString arrow = QStringLiteral(" \u2192 ");

// Runs command, which opens Find Conversion, and hands the dialog to drive while it runs. A
// dialog still open afterwards is cancelled, so a failed check never leaves the test waiting.
void whileFinding(const std::function<void()>& command,
                  const std::function<void(FindDialog*)>& drive) {
    bool driven = false;
    // The timer goes with this call, so a dialog that never opened leaves nothing behind.
    QObject scope;
    QTimer::singleShot(0, &scope, [&] {
        if (auto* dialog = qobject_cast<FindDialog*>(QApplication::activeModalWidget())) {
            driven = true;
            drive(dialog);
            if (dialog->isVisible()) dialog->reject();
        }
    });
    command();
    QVERIFY2(driven, "no Find Conversion dialog opened");
}

QLineEdit* query(FindDialog* dialog) {
    return dialog->findChild<QLineEdit*>(QStringLiteral("findQuery"));
}
QListWidget* matches(FindDialog* dialog) {
    return dialog->findChild<QListWidget*>(QStringLiteral("findMatches"));
}
QString countText(FindDialog* dialog) {
    return dialog->findChild<QLabel*>(QStringLiteral("findCount"))->text();
}

// The state of the window that a choice may change.
struct WindowState {
    int tab;
    int fromRow;
    int toRow;
    QString input;
    QString result;
    QString inputUnit;
    QString outputUnit;
    bool operator==(const WindowState&) const = default;
};

WindowState stateOf(const ConverterFixture& f) {
    return {f.tabs()->currentIndex(),
            f.fromList()->currentRow(),
            f.toList()->currentRow(),
            f.input()->text(),
            f.result()->text(),
            f.inputUnit(),
            f.outputUnit()};
}

QString report(ConverterFixture& f) {
    f.find<QAction>("actionCopy")->trigger();
    return QApplication::clipboard()->text();
}

} // namespace

class FindDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void findIsTheFirstConvertItemWithCtrlF() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QMenu* convert = f.find<QMenu>("convertMenu");
        QVERIFY(convert);
        QAction* first = convert->actions().value(0);
        QVERIFY(first);
        QCOMPARE(first->objectName(), QStringLiteral("actionFind"));
        QCOMPARE(first->text(), QStringLiteral("&Find Conversion..."));
        QCOMPARE(first->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));

        whileFinding([&] { first->trigger(); },
                     [&](FindDialog* dialog) {
                         QCOMPARE(dialog->windowTitle(), QStringLiteral("Find Conversion"));
                         QVERIFY(dialog->isModal());
                         QCOMPARE(dialog->focusWidget(), query(dialog));
                     });
    }

    void ctrlFOpensTheDialogFromAnywhereInTheWindow() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        for (QWidget* target :
             {static_cast<QWidget*>(f.fromList()), static_cast<QWidget*>(f.toList()),
              static_cast<QWidget*>(f.input()), static_cast<QWidget*>(f.result()),
              static_cast<QWidget*>(f.tabs())}) {
            // A shortcut only reaches the active window, which the window is again once the
            // dialog has closed.
            QApplication::setActiveWindow(f.dialog.get());
            QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
            target->setFocus();
            whileFinding([&] { QTest::keyClick(target, Qt::Key_F, Qt::ControlModifier); },
                         [](FindDialog*) {});
        }
    }

    void theListShowsEveryShownConversionInCatalogOrder() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        whileFinding(
            [&] { f.dialog->findConversion(); },
            [&](FindDialog* dialog) {
                QCOMPARE(f.texts(matches(dialog)),
                         QStringList(
                             {"Length: Kilometers" + arrow + "Meters",
                              "Length: Meters" + arrow + "Kilometers",
                              "Length: Meters" + arrow + "Feet", "Length: Feet" + arrow + "Meters",
                              "Temperature: Degrees Celsius" + arrow + "Degrees Fahrenheit",
                              "Temperature: Degrees Fahrenheit" + arrow + "Degrees Celsius"}));
                // Nothing typed, nothing asked: no row is chosen before the user moves.
                QCOMPARE(matches(dialog)->currentRow(), -1);
                QCOMPARE(countText(dialog),
                         QStringLiteral("6 conversions; type the units to find yours."));
                // The hidden category's units are not found, and the line says why.
                QTest::keyClicks(query(dialog), "hidden");
                QCOMPARE(matches(dialog)->count(), 0);
                QCOMPARE(countText(dialog), QStringLiteral("No unit is called \"hidden\"."));
            });
    }

    void enterChoosesTheFirstMatchAndTheWindowFollows() {
        ConverterFixture f(sampleCatalog, "2");
        QVERIFY(f.start());
        QTest::keyClicks(f.input(), "12");
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("12000.00")));
        whileFinding([&] { f.dialog->findConversion(); },
                     [&](FindDialog* dialog) {
                         // A look-alike is offered, and Enter opens nothing until it is chosen.
                         QTest::keyClicks(query(dialog), "MET to fe");
                         QCOMPARE(f.texts(matches(dialog)),
                                  QStringList({"Length: Meters" + arrow + "Feet (suggestion)"}));
                         QTest::keyClick(query(dialog), Qt::Key_Return);
                         QVERIFY(dialog->isVisible());
                         query(dialog)->setText(QStringLiteral("METERS to feet"));
                         QCOMPARE(f.texts(matches(dialog)),
                                  QStringList({"Length: Meters" + arrow + "Feet"}));
                         QCOMPARE(countText(dialog), QStringLiteral("1 conversion matches."));
                         QTest::keyClick(query(dialog), Qt::Key_Return);
                         QVERIFY(!dialog->isVisible());
                         QCOMPARE(dialog->result(), int(QDialog::Accepted));
                     });
        QCOMPARE(f.tabs()->currentIndex(), 0);
        QCOMPARE(f.fromList()->currentItem()->text(), QStringLiteral("Meters"));
        QCOMPARE(f.toList()->currentItem()->text(), QStringLiteral("Feet"));
        QCOMPARE(f.texts(f.toList()), QStringList({"Kilometers", "Feet"}));
        QCOMPARE(f.selection().currentConversion->name(), std::string("m to ft"));
        QCOMPARE(f.inputUnit(), QStringLiteral("Meters"));
        QCOMPARE(f.outputUnit(), QStringLiteral("Feet"));
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("39.37")));
        // The focus is in the input field with its text selected, ready for a new value.
        QCOMPARE(f.dialog->focusWidget(), f.input());
        QCOMPARE(f.input()->selectedText(), QStringLiteral("12"));
        QCOMPARE(report(f),
                 f.inLocale(QStringLiteral("Input:        12 Meters\r\nOutput:       39.37 Feet")));
    }

    void aValueTypedWithTheUnitsGoesIntoTheInputWithNamesFromNamesTxt() {
        ConverterFixture f(sampleCatalog +
                           std::string("Length|mi to km|Miles|Kilometers|x*1.609344\r\n"));
        writeBytes(f.dir.file("names.txt"), "Miles|mi|mile\nKilometers|km\n");
        QVERIFY(f.start());
        QTest::keyClicks(f.input(), "12");
        whileFinding([&] { f.dialog->findConversion(); },
                     [&](FindDialog* dialog) {
                         QTest::keyClicks(query(dialog), "5 mi km");
                         QCOMPARE(matches(dialog)->currentItem()->text(),
                                  "Length: Miles" + arrow + "Kilometers");
                         QTest::keyClick(query(dialog), Qt::Key_Return);
                     });
        QCOMPARE(f.input()->text(), QStringLiteral("5"));
        QCOMPARE(f.input()->selectedText(), QStringLiteral("5"));
        QCOMPARE(f.dialog->focusWidget(), f.input());
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("8.0")));
        QCOMPARE(f.selection().currentConversion->name(), std::string("mi to km"));
    }

    void aNamesFilePastItsBoundIsNamedUnderTheListAndLabelsStillMatch() {
        ConverterFixture f(sampleCatalog);
        writeBytes(f.dir.file("names.txt"),
                   "Feet|zq\n" + std::string(maxNamesFileSize, '#') + "\n");
        QVERIFY(f.start());
        whileFinding([&] { f.dialog->findConversion(); },
                     [&](FindDialog* dialog) {
                         auto* note = dialog->findChild<QLabel*>(QStringLiteral("findNamesNote"));
                         QVERIFY(note->isVisible());
                         QCOMPARE(note->text(),
                                  QStringLiteral("names.txt is larger than 16 MiB, the most the "
                                                 "program reads of it; units are found by their "
                                                 "labels alone."));
                         QTest::keyClicks(query(dialog), "feet to meters");
                         QCOMPARE(matches(dialog)->count(), 1);
                         query(dialog)->setText(QStringLiteral("zq to meters"));
                         QCOMPARE(matches(dialog)->count(), 0);
                     });
    }

    void downMovesTheHighlightWhileTypingAndAnotherTabIsChosen() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QTest::keyClicks(f.input(), "212");
        whileFinding([&] { f.dialog->findConversion(); },
                     [&](FindDialog* dialog) {
                         QTest::keyClicks(query(dialog), "cel");
                         QCOMPARE(matches(dialog)->count(), 2);
                         QCOMPARE(matches(dialog)->currentRow(), -1);
                         QTest::keyClick(query(dialog), Qt::Key_Down);
                         QTest::keyClick(query(dialog), Qt::Key_Down);
                         QCOMPARE(query(dialog)->accessibleDescription(),
                                  matches(dialog)->item(1)->text() + ", 2 of 2");
                         QTest::keyClick(query(dialog), Qt::Key_Down);
                         QCOMPARE(matches(dialog)->currentRow(), 1);
                         QTest::keyClick(query(dialog), Qt::Key_Up);
                         QTest::keyClick(query(dialog), Qt::Key_Down);
                         // The focus and the text stay in the field.
                         QCOMPARE(dialog->focusWidget(), query(dialog));
                         QCOMPARE(query(dialog)->text(), QStringLiteral("cel"));
                         QTest::keyClick(query(dialog), Qt::Key_Enter);
                     });
        QCOMPARE(f.tabs()->currentIndex(), 1);
        QCOMPARE(f.selection().currentCategory->name(), std::string("Temperature"));
        QCOMPARE(f.texts(f.fromList()), QStringList({"Degrees Celsius", "Degrees Fahrenheit"}));
        QCOMPARE(f.fromList()->currentRow(), 1);
        QCOMPARE(f.toList()->currentItem()->text(), QStringLiteral("Degrees Celsius"));
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("100.0")));
        QCOMPARE(report(f), f.inLocale(QStringLiteral("Input:        212 Degrees Fahrenheit\r\n"
                                                      "Output:       100.0 Degrees Celsius")));
        QCOMPARE(f.dialog->focusWidget(), f.input());
        QCOMPARE(f.input()->selectedText(), QStringLiteral("212"));
    }

    void typingAgainHighlightsTheFirstMatchAgain() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        whileFinding([&] { f.dialog->findConversion(); },
                     [&](FindDialog* dialog) {
                         QTest::keyClicks(query(dialog), "me");
                         QTest::keyClick(query(dialog), Qt::Key_Down);
                         QTest::keyClick(query(dialog), Qt::Key_Down);
                         QCOMPARE(matches(dialog)->currentRow(), 1);
                         QTest::keyClicks(query(dialog), "ters to kilometers");
                         QCOMPARE(matches(dialog)->currentRow(), 0);
                         QCOMPARE(matches(dialog)->currentItem()->text(),
                                  "Length: Meters" + arrow + "Kilometers");
                         QTest::keyClick(query(dialog), Qt::Key_Return);
                     });
        QCOMPARE(f.selection().currentConversion->name(), std::string("m to km"));
    }

    void escapeClosesAndChangesNothing() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QTest::keyClicks(f.input(), "5");
        f.toList()->setFocus();
        const WindowState before = stateOf(f);
        const Conversion* conversion = f.selection().currentConversion;
        whileFinding([&] { f.dialog->findConversion(); },
                     [&](FindDialog* dialog) {
                         QTest::keyClicks(query(dialog), "fahr to cel");
                         QCOMPARE(matches(dialog)->count(), 1);
                         QTest::keyClick(query(dialog), Qt::Key_Escape);
                         QVERIFY(!dialog->isVisible());
                         QCOMPARE(dialog->result(), int(QDialog::Rejected));
                         QVERIFY(!dialog->chosen());
                     });
        QVERIFY(stateOf(f) == before);
        QCOMPARE(f.selection().currentConversion, conversion);
        QCOMPARE(f.dialog->focusWidget(), f.toList());
    }

    void enterWithoutAMatchKeepsTheDialogOpen() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        const WindowState before = stateOf(f);
        whileFinding([&] { f.dialog->findConversion(); },
                     [&](FindDialog* dialog) {
                         QTest::keyClicks(query(dialog), "parsec");
                         QPushButton* ok =
                             dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                         QVERIFY(!ok->isEnabled());
                         QTest::keyClick(query(dialog), Qt::Key_Return);
                         QVERIFY(dialog->isVisible());
                         // Mending the query makes it work again.
                         query(dialog)->clear();
                         QTest::keyClicks(query(dialog), "feet");
                         QVERIFY(ok->isEnabled());
                         QTest::mouseClick(ok, Qt::LeftButton);
                         QVERIFY(!dialog->isVisible());
                     });
        QVERIFY(!(stateOf(f) == before));
        QCOMPARE(f.selection().currentConversion->name(), std::string("ft to m"));
    }

    void aDoubleClickChoosesTheClickedMatch() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        whileFinding([&] { f.dialog->findConversion(); },
                     [&](FindDialog* dialog) {
                         QListWidget* list = matches(dialog);
                         const QPoint at = list->visualItemRect(list->item(3)).center();
                         QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
                         QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
                     });
        QCOMPARE(f.selection().currentConversion->name(), std::string("ft to m"));
        QCOMPARE(f.fromList()->currentItem()->text(), QStringLiteral("Feet"));
    }

    void theCurrentConversionChosenAgainIsRecomputed() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        // Right after the start the result field is still empty; choosing computes it.
        f.input()->setText(QStringLiteral("3"));
        f.result()->setText(QString());
        whileFinding([&] { f.dialog->findConversion(); },
                     [&](FindDialog* dialog) {
                         QTest::keyClicks(query(dialog), "kilometers to meters");
                         QTest::keyClick(query(dialog), Qt::Key_Return);
                     });
        QCOMPARE(f.selection().currentConversion->name(), std::string("km to m"));
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("3000.0")));
    }

    void atMostThreeHundredMatchesAreListed() {
        std::string catalog;
        for (int i = 0; i < 400; ++i)
            catalog += "Many|n|Unit " + std::to_string(i) + "|Other|x+" + std::to_string(i) + "\n";
        ConverterFixture f(catalog);
        QVERIFY(f.start());
        whileFinding([&] { f.dialog->findConversion(); },
                     [&](FindDialog* dialog) {
                         QCOMPARE(matches(dialog)->count(), 300);
                         QCOMPARE(countText(dialog),
                                  QStringLiteral("The first 300 of 400 conversions; type the "
                                                 "units to find yours."));
                         QTest::keyClicks(query(dialog), "unit 39");
                         QCOMPARE(matches(dialog)->count(), 11);
                         QTest::keyClick(query(dialog), Qt::Key_End);
                         QTest::keyClick(query(dialog), Qt::Key_PageDown);
                         QVERIFY(matches(dialog)->currentRow() > 0);
                         // A pasted page is cut, and the line under the list says so.
                         query(dialog)->clear();
                         QApplication::clipboard()->setText(
                             QStringLiteral("unit ").repeated(16000));
                         query(dialog)->paste();
                         QCOMPARE(query(dialog)->text().size(), 256);
                         QVERIFY(countText(dialog).endsWith(
                             " The field takes 256 characters, and only the first 10 words are "
                             "used."));
                     });
    }
    void longMatchesEndInAnEllipsisAndTheListIsAsWideAsTheDialog() {
        const QString unit(80, u'w');
        ConverterFixture f(QStringLiteral("Speed|n|Meters per %1|Kilometers per %1|x\r\n")
                               .arg(unit)
                               .toStdString());
        QVERIFY(f.start());
        whileFinding(
            [&] { f.dialog->findConversion(); },
            [&](FindDialog* dialog) {
                QListWidget* list = matches(dialog);
                // A message longer than the list widens the dialog, and the list with it.
                const int narrow = list->width();
                QTest::keyClicks(query(dialog), "mtrs " + QString(300, 'x'));
                QTRY_VERIFY(list->width() > narrow && list->width() == query(dialog)->width());
                query(dialog)->setText("meters");
                // "meters" is no name of either unit: the row is only offered.
                const QString whole = QStringLiteral("Speed: Meters per %1%2Kilometers per %1 "
                                                     "(suggestion)")
                                          .arg(unit, arrow);
                QCOMPARE(list->item(0)->toolTip() +
                             list->item(0)->data(Qt::AccessibleTextRole).toString(),
                         whole + whole);
                QTRY_COMPARE(list->visualItemRect(list->item(0)).width(),
                             list->viewport()->width());
                QVERIFY(!list->horizontalScrollBar()->isVisible());
            });
    }
};

QTEST_MAIN(FindDialogTest)
#include "find_dialog_test.moc"
