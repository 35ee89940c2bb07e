#include "colour/colour_contrast.h"
#include "converter_fixture.h"
#include "qt/dialogs/about_dialog.h"
#include "qt/dialogs/hyperlink_label.h"
#include "qt/dialogs/options_dialog.h"
#include "qt/dialogs/precision_dialog.h"
#include "qt/help/help_window.h"
#include "qt/widgets/readable_colours.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>

Q_DECLARE_METATYPE(QDialogButtonBox::StandardButton)

namespace {

const char* const sampleCatalog = "P|p|Hidden|Unit|x|0\r\n"
                                  "Q|q1|Feet|Meters|x*0.3048\r\n"
                                  "Q|q2|Feet|Inches|x*12\r\n"
                                  "R|r1|Celsius|Fahrenheit|x*9/5+32\r\n";

// Runs command, which opens a modal dialog of type Dialog, and hands that dialog to drive while
// it runs. A dialog still open afterwards is cancelled, so a failed check never leaves the test
// waiting on it.
template <typename Dialog>
void whileModal(const std::function<void()>& command, const std::function<void(Dialog*)>& drive) {
    bool driven = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<Dialog*>(modal)) {
            driven = true;
            drive(dialog);
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible())
            dialog->reject();
    });
    command();
    QVERIFY2(driven, "the command opened no dialog of the expected type");
}

void press(QDialog* dialog, QDialogButtonBox::StandardButton which) {
    QPushButton* button = dialog->findChild<QDialogButtonBox*>()->button(which);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

// Toggles a row's box as the keyboard does: to the row, then Space.
void toggleRow(QListWidget* list, int row) {
    list->setFocus();
    list->setCurrentRow(row);
    QTest::keyClick(list, Qt::Key_Space);
}

// Opens the Options dialog, toggles the given rows in that order and ends it with button.
void runOptions(ConverterFixture& f, const QList<int>& toggles,
                QDialogButtonBox::StandardButton button = QDialogButtonBox::Ok) {
    whileModal<OptionsDialog>([&] { f.dialog->editOptions(); },
                              [&](OptionsDialog* dialog) {
                                  auto* list = dialog->findChild<QListWidget*>("categoryList");
                                  for (int row : toggles)
                                      toggleRow(list, row);
                                  press(dialog, button);
                              });
}

// Moves the mouse over widget as the window system would report it, so enter and leave events
// follow.
void hover(QWidget* widget) {
    QTest::mouseMove(widget->window()->windowHandle(),
                     widget->mapTo(widget->window(), widget->rect().center()));
}

std::string catalogOfCategories(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "Category " + std::to_string(i) + "|n|a|b|x\r\n";
    return text;
}

// The texts window shows, as assistive tools list them, by prefix and name (a star but for labels):
// the commonest colour where each is drawn, and the contrast with it of the one most apart.
void measureTexts(QWidget* window, const QString& prefix,
                  QMap<QString, std::pair<QRgb, double>>& out,
                  QAccessibleInterface* node = nullptr) {
    using A = QAccessible;
    if (!node) node = A::queryAccessibleInterface(window);
    if (node->state().invisible) return;
    if (QList<A::Role>{A::StaticText, A::EditableText, A::ListItem, A::PageTab, A::PushButton,
                       A::Link, A::MenuItem}
            .contains(node->role())) {
        const QRect at(window->mapFromGlobal(node->rect().topLeft()), node->rect().size());
        const QImage image = window->grab(at.adjusted(2, 2, -2, -2)).toImage();
        QHash<QRgb, int> counts;
        for (int i = 0; i < image.width() * image.height(); ++i)
            ++counts[image.pixel(i % image.width(), i / image.width())];
        const QRgb ground = std::max_element(counts.cbegin(), counts.cend()).key();
        const auto rgb = [](QRgb c) {
            return Rgb{std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c))};
        };
        double most = 1.0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            most = std::max(most, contrastRatio(rgb(it.key()), rgb(ground)));
        out[prefix + node->text(A::Name) + (node->role() == A::StaticText ? "" : " *")] =
            std::pair(ground, most);
    }
    for (int i = 0; i < node->childCount(); ++i)
        if (QAccessibleInterface* child = node->child(i)) measureTexts(window, prefix, out, child);
}

QString report(const ConverterFixture& f) {
    QString text;
    f.dialog->buildReport(text);
    return text;
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
  private slots:
    // Options

    void optionsListsEveryCategoryWithTheShownOnesSelected() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        whileModal<OptionsDialog>(
            [&] { f.dialog->editOptions(); },
            [&](OptionsDialog* dialog) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Options"));
                auto* list = dialog->findChild<QListWidget*>("categoryList");
                QVERIFY(list);
                QVERIFY(list->item(0)->flags() & Qt::ItemIsUserCheckable);
                // The last row shown is whole.
                QCOMPARE(list->viewport()->height() % list->sizeHintForRow(0), 0);
                QCOMPARE(f.texts(list), QStringList({"P", "Q", "R"}));
                for (int row = 0; row < 3; ++row) {
                    QCOMPARE(list->item(row)->data(Qt::UserRole).toInt(), row);
                    QCOMPARE(list->item(row)->checkState() == Qt::Checked, row != 0);
                }
            });
    }

    void optionsWithoutANetChangeLeaveTheWindowAlone_data() {
        QTest::addColumn<QList<int>>("toggles");
        QTest::addColumn<QDialogButtonBox::StandardButton>("button");
        QTest::newRow("cancel after toggling") << QList<int>{0, 1, 2} << QDialogButtonBox::Cancel;
        QTest::newRow("OK after toggling back") << QList<int>{1, 0, 0, 1} << QDialogButtonBox::Ok;
        QTest::newRow("OK untouched") << QList<int>{} << QDialogButtonBox::Ok;
    }
    void optionsWithoutANetChangeLeaveTheWindowAlone() {
        QFETCH(QList<int>, toggles);
        QFETCH(QDialogButtonBox::StandardButton, button);
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        // A rebuild would bring the first tab back.
        QTest::mouseClick(f.tabs(), Qt::LeftButton, {}, f.tabs()->tabRect(1).center());
        QTest::keyClicks(f.input(), "10");
        runOptions(f, toggles, button);
        QCOMPARE(f.catalog.categoryAt(0)->visible(), 0);
        QCOMPARE(f.catalog.categoryAt(1)->visible(), 1);
        QCOMPARE(f.catalog.categoryAt(2)->visible(), 1);
        QCOMPARE(f.tabTexts(), QStringList({"Q", "R"}));
        QCOMPARE(f.tabs()->currentIndex(), 1);
        QCOMPARE(f.selection().currentCategory, f.catalog.categoryAt(2));
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("50.0")));
        QVERIFY(!f.dialog->catalogChanged());
    }

    void optionsChangeRebuildsTabsAndLists_data() {
        QTest::addColumn<QList<int>>("toggles");
        QTest::addColumn<QStringList>("tabs");
        QTest::addColumn<QString>("conversion");
        QTest::addColumn<QString>("fromUnit");
        QTest::addColumn<QString>("toUnit");
        QTest::addColumn<QString>("result");
        QTest::newRow("hide the shown first") << QList<int>{1} << QStringList{"R"} << "r1"
                                              << "Celsius"
                                              << "Fahrenheit"
                                              << "50.0";
        QTest::newRow("show the hidden") << QList<int>{0} << QStringList{"P", "Q", "R"} << "p"
                                         << "Hidden"
                                         << "Unit"
                                         << "10.0";
    }
    void optionsChangeRebuildsTabsAndLists() {
        QFETCH(QList<int>, toggles);
        QFETCH(QStringList, tabs);
        QFETCH(QString, conversion);
        QFETCH(QString, fromUnit);
        QFETCH(QString, toUnit);
        QFETCH(QString, result);
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QTest::keyClicks(f.input(), "10");
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("3.0")));
        runOptions(f, toggles);
        QCOMPARE(f.tabTexts(), tabs);
        QCOMPARE(f.tabs()->currentIndex(), 0);
        QCOMPARE(f.fromList()->currentRow(), 0);
        QCOMPARE(f.toList()->currentRow(), 0);
        QVERIFY(f.selection().currentConversion);
        QCOMPARE(QString::fromStdString(std::string(f.selection().currentConversion->name())),
                 conversion);
        QCOMPARE(f.inputUnit(), fromUnit);
        QCOMPARE(f.outputUnit(), toUnit);
        // The result is recomputed for the conversion now shown, and so is the report.
        result = f.inLocale(result);
        QCOMPARE(f.result()->text(), result);
        QCOMPARE(report(f), QStringLiteral("Input:        10 %1\r\nOutput:       %2 %3")
                                .arg(fromUnit, result, toUnit));
        QVERIFY(f.dialog->catalogChanged());
    }

    void optionsHidingEverythingLeavesNoConversion() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        runOptions(f, {1, 2});
        QCOMPARE(f.tabs()->count(), 0);
        QCOMPARE(f.fromList()->count(), 0);
        QCOMPARE(f.toList()->count(), 0);
        QVERIFY(!f.selection().currentCategory);
        QVERIFY(!f.selection().currentConversion);
        QCOMPARE(report(f), QStringLiteral("no current conversion"));
        QCOMPARE(f.inputUnit(), QStringLiteral("Feet"));
        QVERIFY(f.dialog->catalogChanged());
        // What is typed meanwhile is kept, and computed once a conversion is current again.
        QTest::keyClicks(f.input(), "100");
        QCOMPARE(f.result()->text(), QString());
        runOptions(f, {2});
        QCOMPARE(f.tabTexts(), QStringList({"R"}));
        QCOMPARE(f.outputUnit(), QStringLiteral("Fahrenheit"));
        QCOMPARE(f.input()->text(), QStringLiteral("100"));
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("212.0")));
    }

    void optionsShrinkingFromThreeRowsToOneMovesTheControlsUp() {
        int count = 1;
        for (; count <= 60; ++count) {
            ConverterFixture probe(catalogOfCategories(count));
            QVERIFY(probe.start());
            if (probe.tabs()->rowCount() == 3) break;
        }
        QVERIFY(count <= 60);
        ConverterFixture f(catalogOfCategories(count));
        QVERIFY(f.start());
        const int d = 2 * f.dialog->tabRowHeight();
        QVERIFY(d > 0);
        const int height = f.dialog->height();
        const int fromY = f.fromList()->y();
        const int contactY = f.find<QWidget>("contactLine")->y();
        const int bannerY = f.find<QWidget>("banner")->y();
        QList<int> allButFirst;
        for (int row = 1; row < count; ++row)
            allButFirst.append(row);
        runOptions(f, allButFirst);
        QCOMPARE(f.tabs()->rowCount(), 1);
        QCOMPARE(f.dialog->height(), height - d);
        QCOMPARE(f.fromList()->y(), fromY - d);
        QCOMPARE(f.find<QWidget>("contactLine")->y(), contactY - d);
        QCOMPARE(f.find<QWidget>("banner")->y(), bannerY);
        // The same layout as a window that started with one row.
        ConverterFixture one(catalogOfCategories(1));
        QVERIFY(one.start());
        QCOMPARE(f.dialog->height(), one.dialog->height());
        QCOMPARE(f.fromList()->y(), one.fromList()->y());
    }

    void optionsOfALargeCatalogSelectExactlyTheShownCategories() {
        const int count = 5000;
        ConverterFixture f(ConverterFixture::categoryLines(count));
        QVERIFY(f.start());
        // Runs of every length, single rows and both ends hidden.
        auto shown = [](int id) { return id % 7 != 3 && id % 11 > 1 && id != count - 1; };
        for (int id = 0; id < count; ++id)
            f.catalog.categoryAt(id)->setVisible(shown(id) ? 1 : 0);
        whileModal<OptionsDialog>([&] { f.dialog->editOptions(); },
                                  [&](OptionsDialog* dialog) {
                                      auto* list = dialog->findChild<QListWidget*>("categoryList");
                                      QCOMPARE(list->count(), count);
                                      for (int row = 0; row < count; ++row)
                                          QVERIFY2((list->item(row)->checkState() == Qt::Checked) ==
                                                       shown(row),
                                                   qPrintable(QString::number(row)));
                                      toggleRow(list, 3);
                                      press(dialog, QDialogButtonBox::Ok);
                                  });
        QVERIFY(f.dialog->catalogChanged());
        for (int id = 0; id < count; ++id)
            QCOMPARE(f.catalog.categoryAt(id)->visible() != 0, shown(id) != (id == 3));
    }

    void closingAfterAnOptionsChangeRewritesTheCatalog() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        runOptions(f, {1});
        f.dialog->close();
        QCOMPARE(readBytes(f.dir.file("conv.txt")),
                 std::string("P|p|Hidden|Unit|x|0\r\n"
                             "Q|q1|Feet|Meters|x*0.3048|0\r\n"
                             "Q|q2|Feet|Inches|x*12|0\r\n"
                             "R|r1|Celsius|Fahrenheit|x*9/5+32\r\n"));
    }

    // Precision

    void precisionOpensWithTheCurrentValue() {
        ConverterFixture f("T|n|A|B|x/3\r\n", "3");
        QVERIFY(f.start());
        whileModal<PrecisionDialog>(
            [&] { f.dialog->editPrecision(); },
            [&](PrecisionDialog* dialog) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Precision"));
                QCOMPARE(dialog->findChild<QLineEdit*>("valueEdit")->text(), QStringLiteral("3"));
                QCOMPARE(dialog->findChild<QLabel*>("rangeLabel")->text(),
                         QStringLiteral("Number of decimals (1 to 4):"));
                QCOMPARE(dialog->value(), 3);
            });
    }

    void precisionEditKeepsOnlyAcceptedTexts_data() {
        QTest::addColumn<QTestEventList>("events");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        auto row = [](const char* name, QTestEventList events, const char* text, int value) {
            QTest::newRow(name) << events << QString::fromLatin1(text) << value;
        };
        QTestEventList digitAfter;
        digitAfter.addKeyClick(Qt::Key_End);
        digitAfter.addKeyClicks("1");
        row("second digit makes 31", digitAfter, "3", 3);
        QTestEventList erase;
        erase.addKeyClick(Qt::Key_End);
        erase.addKeyClick(Qt::Key_Backspace);
        row("deleting the only digit", erase, "3", 3);
        QTestEventList zero;
        zero.addKeyClick(Qt::Key_A, Qt::ControlModifier);
        zero.addKeyClicks("0");
        row("zero over the selection", zero, "3", 3);
        QTestEventList four;
        four.addKeyClick(Qt::Key_A, Qt::ControlModifier);
        four.addKeyClicks("4");
        row("four over the selection", four, "4", 4);
        QTestEventList leadingZero;
        leadingZero.addKeyClick(Qt::Key_Home);
        leadingZero.addKeyClicks("0");
        row("zero in front", leadingZero, "03", 3);
        QTestEventList thenDigit = leadingZero;
        thenDigit.addKeyClick(Qt::Key_End);
        thenDigit.addKeyClicks("4");
        row("a digit after 03 makes 34", thenDigit, "03", 3);
        QTestEventList letters;
        letters.addKeyClick(Qt::Key_End);
        letters.addKeyClicks("-x.");
        row("no sign, letter or point", letters, "3", 3);
        QTestEventList upFrom03 = leadingZero;
        upFrom03.addKeyClick(Qt::Key_Up);
        row("up key after 03", upFrom03, "4", 4);
        QTestEventList upAtTop;
        for (int i = 0; i < 3; ++i)
            upAtTop.addKeyClick(Qt::Key_Up);
        row("up key stops at 4", upAtTop, "4", 4);
        QTestEventList downToBottom;
        for (int i = 0; i < 5; ++i)
            downToBottom.addKeyClick(Qt::Key_Down);
        row("down key stops at 1", downToBottom, "1", 1);
    }
    void precisionEditKeepsOnlyAcceptedTexts() {
        QFETCH(QTestEventList, events);
        QFETCH(QString, text);
        QFETCH(int, value);
        ConverterFixture f("T|n|A|B|x/3\r\n", "3");
        QVERIFY(f.start());
        QTest::keyClicks(f.input(), "2");
        whileModal<PrecisionDialog>([&] { f.dialog->editPrecision(); },
                                    [&](PrecisionDialog* dialog) {
                                        auto* edit = dialog->findChild<QLineEdit*>("valueEdit");
                                        events.simulate(edit);
                                        QCOMPARE(edit->text(), text);
                                        QCOMPARE(dialog->valueText(), text);
                                        QCOMPARE(dialog->value(), value);
                                        press(dialog, QDialogButtonBox::Cancel);
                                    });
        // Cancel keeps the precision, whatever the edit accepted.
        QCOMPARE(f.dialog->precision(), 3);
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("0.667")));
    }

    void precisionArrowsStayWithinRange() {
        ConverterFixture f("T|n|A|B|x\r\n", "2");
        QVERIFY(f.start());
        whileModal<PrecisionDialog>(
            [&] { f.dialog->editPrecision(); },
            [&](PrecisionDialog* dialog) {
                auto* edit = dialog->findChild<QLineEdit*>("valueEdit");
                auto* up = dialog->findChild<QToolButton*>("spinUp");
                auto* down = dialog->findChild<QToolButton*>("spinDown");
                QStringList seen;
                for (QToolButton* button : {up, up, up, down, down, down, down, down, up}) {
                    QTest::mouseClick(button, Qt::LeftButton);
                    seen.append(edit->text());
                }
                QCOMPARE(seen, QStringList({"3", "4", "4", "3", "2", "1", "1", "1", "2"}));
                QCOMPARE(dialog->value(), 2);
            });
    }

    void precisionAcceptedRedisplaysTheResultAtOnce_data() {
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("OK button") << false;
        QTest::newRow("Enter key") << true;
    }
    void precisionAcceptedRedisplaysTheResultAtOnce() {
        QFETCH(bool, byEnter);
        ConverterFixture f("T|n|A|B|x/3\r\n", "4");
        QVERIFY(f.start());
        QTest::keyClicks(f.input(), "2");
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("0.6667")));
        whileModal<PrecisionDialog>([&] { f.dialog->editPrecision(); },
                                    [&](PrecisionDialog* dialog) {
                                        auto* edit = dialog->findChild<QLineEdit*>("valueEdit");
                                        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
                                        QTest::keyClicks(edit, "2");
                                        if (byEnter)
                                            QTest::keyClick(edit, Qt::Key_Return);
                                        else
                                            press(dialog, QDialogButtonBox::Ok);
                                    });
        QCOMPARE(f.dialog->precision(), 2);
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("0.67")));
    }

    // About

    void aboutShowsNameVersionPictureAndLinks() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        whileModal<AboutDialog>(
            [&] { f.dialog->showAbout(); },
            [&](AboutDialog* dialog) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("About"));
                QStringList texts;
                for (const QLabel* label : dialog->findChildren<QLabel*>())
                    texts.append(label->text());
                QVERIFY(texts.contains(QStringLiteral("Velmora 1.0.1")));
                QCOMPARE(dialog->findChild<QLabel*>("picture")->pixmap().size(), QSize(140, 140));
                auto* vendor = dialog->findChild<HyperlinkLabel*>("vendorLink");
                auto* second = dialog->findChild<HyperlinkLabel*>("secondLink");
                QVERIFY(vendor && second);
                QCOMPARE(vendor->linkText(), QString::fromLatin1(ConverterDialog::vendorSite));
                QCOMPARE(second->linkText(), QString::fromLatin1(ConverterDialog::secondSite));
                QCOMPARE(vendor->cursor().shape(), Qt::PointingHandCursor);
                QCOMPARE(second->cursor().shape(), Qt::PointingHandCursor);
                press(dialog, QDialogButtonBox::Ok);
                QVERIFY(!dialog->isVisible());
            });
    }

    void aboutLinksOpenTheirOwnAddressAndTheBoxStays() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        whileModal<AboutDialog>(
            [&] { f.dialog->showAbout(); },
            [&](AboutDialog* dialog) {
                QTest::mouseClick(dialog->findChild<HyperlinkLabel*>("secondLink"), Qt::LeftButton);
                QTest::mouseClick(dialog->findChild<HyperlinkLabel*>("vendorLink"), Qt::LeftButton);
                // A right click is no click on a link.
                QTest::mouseClick(dialog->findChild<HyperlinkLabel*>("vendorLink"),
                                  Qt::RightButton);
                QCOMPARE(f.services.openedUrls,
                         QList<QUrl>({QUrl(QString::fromLatin1(ConverterDialog::secondSite)),
                                      QUrl(QString::fromLatin1(ConverterDialog::vendorSite))}));
                QVERIFY(dialog->isVisible());
            });
    }

    void aboutUnderlinesOnlyTheHoveredLink() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        whileModal<AboutDialog>([&] { f.dialog->showAbout(); },
                                [&](AboutDialog* dialog) {
                                    auto* vendor = dialog->findChild<HyperlinkLabel*>("vendorLink");
                                    auto* second = dialog->findChild<HyperlinkLabel*>("secondLink");
                                    const QImage vendorPlain = vendor->grab().toImage();
                                    const QImage secondPlain = second->grab().toImage();
                                    auto* picture = dialog->findChild<QLabel*>("picture");
                                    hover(picture);

                                    hover(vendor);
                                    QVERIFY(vendor->isHovered());
                                    QVERIFY(!second->isHovered());
                                    QVERIFY(vendor->grab().toImage() != vendorPlain);
                                    QCOMPARE(second->grab().toImage(), secondPlain);

                                    hover(second);
                                    QVERIFY(!vendor->isHovered());
                                    QVERIFY(second->isHovered());
                                    QCOMPARE(vendor->grab().toImage(), vendorPlain);
                                    QVERIFY(second->grab().toImage() != secondPlain);

                                    hover(picture);
                                    QVERIFY(!vendor->isHovered());
                                    QVERIFY(!second->isHovered());
                                    QCOMPARE(second->grab().toImage(), secondPlain);
                                });
    }

    void aboutLinksWorkFromTheKeyboard() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        whileModal<AboutDialog>(
            [&] { f.dialog->showAbout(); },
            [&](AboutDialog* dialog) {
                auto* vendor = dialog->findChild<HyperlinkLabel*>("vendorLink");
                auto* second = dialog->findChild<HyperlinkLabel*>("secondLink");
                QPushButton* ok =
                    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                QVERIFY(QTest::qWaitForWindowActive(dialog));
                ok->setFocus();
                const QImage plain = vendor->grab().toImage();
                QTest::keyClick(ok, Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), vendor);
                // A focus frame shows where the keyboard is.
                QVERIFY(vendor->grab().toImage() != plain);
                QTest::keyClick(vendor, Qt::Key_Return);
                QTest::keyClick(vendor, Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), second);
                QTest::keyClick(second, Qt::Key_Space);
                QTest::keyClick(second, Qt::Key_Enter);
                QCOMPARE(vendor->grab().toImage(), plain);
                // Assistive tools see links they can press.
                QAccessibleInterface* link = QAccessible::queryAccessibleInterface(vendor);
                QCOMPARE(link->role(), QAccessible::Link);
                QCOMPARE(link->text(QAccessible::Name),
                         QString::fromLatin1(ConverterDialog::vendorSite));
                link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
                const QUrl vendorUrl(QString::fromLatin1(ConverterDialog::vendorSite));
                const QUrl secondUrl(QString::fromLatin1(ConverterDialog::secondSite));
                QCOMPARE(f.services.openedUrls,
                         QList<QUrl>({vendorUrl, secondUrl, secondUrl, vendorUrl}));
                // Enter on a link is the link's, not the OK button's.
                QVERIFY(dialog->isVisible());
            });
    }

    void secondaryDialogsNameEveryControl() {
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        const std::function<void()> commands[] = {
            [&] { f.dialog->editOptions(); }, [&] { f.dialog->editPrecision(); },
            [&] { f.dialog->showAbout(); }, [&] { f.dialog->findConversion(); }};
        for (const auto& command : commands)
            whileModal<QDialog>(command, [&](QDialog* dialog) {
                QCOMPARE(ConverterFixture::unnamedAccessibles(dialog), QStringList());
            });
    }

    void f1InADialogOpensItsPageAndTheHelpStaysUsable_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("page");
        QTest::newRow("Options") << 0 << "menus.html#options";
        QTest::newRow("Precision") << 1 << "menus.html#precision";
        QTest::newRow("About") << 2 << "menus.html#about";
        QTest::newRow("Find Conversion") << 3 << "menus.html#find";
    }
    void f1InADialogOpensItsPageAndTheHelpStaysUsable() {
        QFETCH(int, which);
        QFETCH(QString, page);
        ConverterFixture f(sampleCatalog);
        f.addHelp();
        QVERIFY(f.start());
        const std::function<void()> commands[] = {
            [&] { f.dialog->editOptions(); }, [&] { f.dialog->editPrecision(); },
            [&] { f.dialog->showAbout(); }, [&] { f.dialog->findConversion(); }};
        whileModal<QDialog>(commands[which], [&](QDialog* dialog) {
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_F1);
            HelpWindow* help = f.dialog->helpWindow();
            QVERIFY(help && help->isVisible());
            QCOMPARE(help->browser()->source(), HelpBrowser::pageUrl(page));
            // The dialog blocks the converter window only: a click reaches the help window.
            QTreeWidget* tree = help->contents();
            QTreeWidgetItem* last = tree->topLevelItem(tree->topLevelItemCount() - 1);
            const QPoint at = tree->viewport()->mapTo(help, tree->visualItemRect(last).center());
            QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {}, at);
            QCOMPARE(help->browser()->documentTitle(), QStringLiteral("The command line"));
            QVERIFY(dialog->isVisible());
        });
    }

    void everySelectionStandsOutInLightAndDarkPalettes() {
        // Fusion's light palette, and qt6ct's darker scheme, which draws both selections alike in
        // a blue hardly apart from its fields.
        const QPalette light =
            std::unique_ptr<QStyle>(QStyleFactory::create("Fusion"))->standardPalette();
        QPalette dark(QColor(0x424245));
        for (const auto& [role, colour] :
             std::initializer_list<std::pair<QPalette::ColorRole, QRgb>>{
                 {QPalette::Base, 0x3d3d3d},
                 {QPalette::Text, 0xffffff},
                 {QPalette::Highlight, 0x12608a},
                 {QPalette::HighlightedText, 0xf9f9f9}})
            dark.setColor(role, QColor(colour));
        const auto rgb = [](const QColor& c) {
            return Rgb{uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
        };
        for (const auto& [name, palette] : {std::pair("light", light), std::pair("dark", dark)})
            for (const bool keyboard : {true, false})
                for (const QPalette::ColorRole ground : {QPalette::Base, QPalette::Window}) {
                    const SelectionColours c = selectionColours(palette, keyboard, ground);
                    QVERIFY2(
                        contrastRatio(rgb(c.background), rgb(palette.color(ground))) >= 3.0 &&
                            contrastRatio(rgb(c.text), rgb(c.background)) >= 4.5,
                        qPrintable(QStringLiteral("%1 %2 %3").arg(name).arg(keyboard).arg(ground)));
                }
    }

    void everyTextIsReadableAndTheKeyboardSeenInADarkTheme() {
        const auto restore = qScopeGuard(
            [previous = QApplication::palette()] { QApplication::setPalette(previous); });
        // A dark theme as people set one up for the Fusion style, whose link and selection
        // colours are hard to read on its own backgrounds.
        const QColor text(230, 230, 230), blue(42, 130, 218);
        QPalette dark(text, QColor(53, 53, 53), QColor(70, 70, 70), QColor(25, 25, 25),
                      QColor(40, 40, 40), text, Qt::white, QColor(30, 30, 30), QColor(45, 45, 45));
        dark.setColor(QPalette::Highlight, blue);
        dark.setColor(QPalette::Link, blue);
        QApplication::setPalette(dark);
        ConverterFixture f(sampleCatalog);
        QVERIFY(f.start());
        QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
        QTest::keyClicks(f.input(), "5*2"); // part unread: the amber mark
        QMap<QString, std::pair<QRgb, double>> texts;
        for (QWidget* focus : QWidgetList{f.fromList(), f.tabs()}) {
            focus->setFocus();
            measureTexts(f.dialog.get(), focus->objectName() + ": ", texts);
        }
        whileModal<AboutDialog>(
            [&] { f.dialog->showAbout(); },
            [&](AboutDialog* dialog) { measureTexts(dialog, "About: ", texts); });
        for (auto it = texts.cbegin(); it != texts.cend(); ++it)
            QVERIFY2(it->second >= minimumContrast, qPrintable(it.key()));
        // The selection with the keyboard looks unlike those without it, which look alike.
        QVERIFY(texts["fromList: Feet *"].first != texts["fromList: Meters *"].first);
        // The To row is named with its result.
        const auto toRow = std::find_if(texts.keyBegin(), texts.keyEnd(), [](const QString& key) {
            return key.startsWith(QStringLiteral("fromList: Meters, "));
        });
        QVERIFY(toRow != texts.keyEnd());
        QCOMPARE(texts["tabs: Feet *"].first, texts[*toRow].first);
        QVERIFY(texts["tabs: Q *"].first != texts["fromList: Q *"].first);
    }

    void linkDrawsPureBlue() {
        HyperlinkLabel label(QStringLiteral("https://velmora.example.com/"));
        label.resize(label.sizeHint());
        const QImage image = label.grab().toImage();
        bool blue = false;
        for (int y = 0; y < image.height() && !blue; ++y)
            for (int x = 0; x < image.width() && !blue; ++x)
                blue = image.pixelColor(x, y) == QColor(0, 0, 255);
        QVERIFY(blue);
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
