#include "converter_fixture.h"
#include "window/converter_app.h"
#include "window/help_window.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>

namespace {

const char* const sampleCatalog = "Q|q1|Feet|Meters|x*0.3048\r\n"
                                  "R|r1|Celsius|Fahrenheit|x*9/5+32\r\n";

QList<HelpWindow*> helpWindows() {
    QList<HelpWindow*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* help = qobject_cast<HelpWindow*>(widget)) found.append(help);
    return found;
}

QStringList topLevelEntries(const QTreeWidget* tree) {
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        out.append(tree->topLevelItem(i)->text(0));
    return out;
}

// Clicks the first link whose text is text, as a reader would.
void clickLink(HelpWindow* help, const QString& text) {
    QTextBrowser* browser = help->browser();
    const QTextCursor found = browser->document()->find(text);
    QVERIFY2(!found.isNull(), qPrintable(text));
    QTextCursor middle(browser->document());
    middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
    browser->setTextCursor(middle);
    browser->ensureCursorVisible();
    const QPoint at = browser->cursorRect(middle).center();
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
}

QString currentEntry(const HelpWindow* help) {
    const QTreeWidgetItem* item = help->contents()->currentItem();
    return item ? item->text(0) : QString();
}

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { QVERIFY(helpWindows().isEmpty()); }

    void opensOnTheContentsPage_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Help > Contents") << "menu";
        QTest::newRow("F1 in a unit list") << "list";
        QTest::newRow("F1 in the input field") << "input";
    }
    void opensOnTheContentsPage() {
        QFETCH(QString, how);
        ConverterFixture f(sampleCatalog);
        f.addHelp();
        QVERIFY(f.start());
        QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
        if (how == "menu") {
            f.find<QAction>("actionContents")->trigger();
        } else {
            QWidget* target = how == "list" ? static_cast<QWidget*>(f.fromList()) : f.input();
            target->setFocus();
            QTest::keyClick(target, Qt::Key_F1);
        }
        HelpWindow* help = f.dialog->helpWindow();
        QVERIFY(help);
        QCOMPARE(helpWindows(), QList<HelpWindow*>{help});
        QVERIFY(help->isVisible());
        QCOMPARE(help->windowTitle(), QStringLiteral("Velmora Help"));
        QCOMPARE(help->browser()->documentTitle(), QStringLiteral("Velmora Help"));
        QCOMPARE(help->browser()->source(), HelpBrowser::pageUrl("index.html"));
        QCOMPARE(topLevelEntries(help->contents()),
                 QStringList({"Velmora Help", "The converter window", "Menus and commands",
                              "The conversion catalog: conv.txt", "The formula language",
                              "Files and messages", "The command line"}));
        QCOMPARE(help->contents()->topLevelItem(1)->child(0)->text(0),
                 QStringLiteral("Category tabs"));
        QCOMPARE(currentEntry(help), QStringLiteral("Velmora Help"));
        // Nothing went to the desktop's opener, and the converter window stays.
        QVERIFY(f.services.openedUrls.isEmpty());
        QVERIFY(f.dialog->isVisible());
    }

    void pagesWearTheirStyleSheet() {
        ConverterFixture f(sampleCatalog);
        f.addHelp();
        QVERIFY(f.start());
        f.dialog->openHelp();
        const QTextCursor heading =
            f.dialog->helpWindow()->browser()->document()->find(QStringLiteral("Velmora Help"));
        QVERIFY(!heading.isNull());
        // The colour of the headings in velmora.css, which only the packed style sheet gives.
        QCOMPARE(heading.charFormat().foreground().color(), QColor(0x12, 0x46, 0x6b));
    }

    void linksTreeBackAndForward() {
        ConverterFixture f(sampleCatalog);
        f.addHelp();
        QVERIFY(f.start());
        f.dialog->openHelp();
        HelpWindow* help = f.dialog->helpWindow();
        auto* back = help->findChild<QAction*>("actionBack");
        auto* forward = help->findChild<QAction*>("actionForward");
        QVERIFY(!back->isEnabled());

        clickLink(help, QStringLiteral("Window and keys"));
        QCOMPARE(help->browser()->documentTitle(), QStringLiteral("The converter window"));
        QCOMPARE(currentEntry(help), QStringLiteral("The converter window"));
        QVERIFY(back->isEnabled());

        // A link to an anchor of another page marks that anchor's entry.
        clickLink(help, QStringLiteral("Convert > Options"));
        QCOMPARE(help->browser()->source(), HelpBrowser::pageUrl("menus.html#options"));
        QCOMPARE(help->browser()->documentTitle(), QStringLiteral("Menus and commands"));

        // An entry of the tree shows its page.
        QTreeWidgetItem* catalogEntry = help->contents()->topLevelItem(3);
        help->contents()->setFocus();
        help->contents()->setCurrentItem(catalogEntry);
        QCOMPARE(help->browser()->documentTitle(),
                 QStringLiteral("The conversion catalog: conv.txt"));

        back->trigger();
        QCOMPARE(help->browser()->source(), HelpBrowser::pageUrl("menus.html#options"));
        back->trigger();
        QCOMPARE(help->browser()->documentTitle(), QStringLiteral("The converter window"));
        QCOMPARE(currentEntry(help), QStringLiteral("The converter window"));
        forward->trigger();
        QCOMPARE(help->browser()->documentTitle(), QStringLiteral("Menus and commands"));

        // F1 in the help window leads home.
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTest::keyClick(help->browser(), Qt::Key_F1);
        QCOMPARE(help->browser()->source(), HelpBrowser::pageUrl("index.html"));
        QVERIFY(f.services.openedUrls.isEmpty());
    }

    void backAndForwardRestoreThePlaceAndTheEntry() {
        ConverterFixture f(sampleCatalog);
        f.addHelp();
        QVERIFY(f.start());
        f.dialog->openHelp();
        HelpWindow* help = f.dialog->helpWindow();
        QScrollBar* bar = help->browser()->verticalScrollBar();
        // The entry of a section, and a little further down than it leads.
        help->contents()->setCurrentItem(help->contents()->topLevelItem(1)->child(4));
        QCOMPARE(help->browser()->source(), HelpBrowser::pageUrl("window.html#keys"));
        bar->setValue(bar->value() + 40);
        const int place = bar->value();
        QVERIFY(place > 100);
        clickLink(help, QStringLiteral("Find Conversion"));
        QCOMPARE(currentEntry(help), QStringLiteral("Find Conversion"));
        const int there = bar->value();
        help->findChild<QAction*>("actionBack")->trigger();
        QCOMPARE(currentEntry(help), QStringLiteral("Keys"));
        QCOMPARE(bar->value(), place);
        help->findChild<QAction*>("actionForward")->trigger();
        QCOMPARE(currentEntry(help), QStringLiteral("Find Conversion"));
        QCOMPARE(bar->value(), there);
    }

    void linksFollowFromTheKeyboard() {
        ConverterFixture f(sampleCatalog);
        f.addHelp();
        QVERIFY(f.start());
        f.dialog->openHelp();
        HelpWindow* help = f.dialog->helpWindow();
        QVERIFY(QTest::qWaitForWindowActive(help));
        QCOMPARE(QApplication::focusWidget(), help->browser());
        // Tab reaches the first link of the page, Enter follows it.
        QTest::keyClick(help->browser(), Qt::Key_Tab);
        QCOMPARE(help->browser()->textCursor().selectedText(), QStringLiteral("Window and keys"));
        QTest::keyClick(help->browser(), Qt::Key_Return);
        QCOMPARE(help->browser()->documentTitle(), QStringLiteral("The converter window"));
        QTest::keyClick(help->browser(), Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(help->browser()->documentTitle(), QStringLiteral("Velmora Help"));
    }

    void onlyWebAddressesLeaveTheHelp() {
        ConverterFixture f(sampleCatalog);
        f.addHelp();
        QVERIFY(f.start());
        f.dialog->openHelp();
        HelpBrowser* browser = f.dialog->helpWindow()->browser();
        const QUrl web(QStringLiteral("https://velmora.example.com/"));
        emit browser->anchorClicked(web);
        emit browser->anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
        QCOMPARE(f.services.openedUrls, QList<QUrl>{web});
        QCOMPARE(browser->source(), HelpBrowser::pageUrl("index.html"));
        // Nothing outside the archive is read, whatever a page asks for.
        QVERIFY(
            browser
                ->loadResource(QTextDocument::HtmlResource,
                               QUrl::fromLocalFile(QString::fromStdString(f.dir.file("conv.txt"))))
                .isNull());
        QVERIFY(browser->loadResource(QTextDocument::HtmlResource, QUrl("nothing.html")).isNull());
    }

    void theHelpTakesInputWhileTheWindowRuns() {
        // Run as the program runs it, so the window is as modal as exec() makes it.
        TempDir dir;
        writeBytes(dir.file("conv.txt"), sampleCatalog);
        std::filesystem::copy_file(VELMORA_HELP_CHM, dir.file("help.chm"));
        const auto previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        FakeUiServices services;
        ConverterApp app(services);
        QString title;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<ConverterDialog*>(QApplication::activeModalWidget());
            if (!window) return;
            window->openHelp();
            HelpWindow* help = window->helpWindow();
            QTreeWidget* tree = help->contents();
            QTreeWidgetItem* last = tree->topLevelItem(tree->topLevelItemCount() - 1);
            QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {},
                              tree->viewport()->mapTo(help, tree->visualItemRect(last).center()));
            title = help->browser()->documentTitle();
            window->findChild<QAction*>("actionExit")->trigger();
        });
        const int status = app.InitInstance();
        std::filesystem::current_path(previous);
        QCOMPARE(status, 0);
        QCOMPARE(title, QStringLiteral("The command line"));
    }

    void oneWindowReusedAndRaised() {
        ConverterFixture f(sampleCatalog);
        f.addHelp();
        QVERIFY(f.start());
        f.dialog->openHelp();
        HelpWindow* first = f.dialog->helpWindow();
        first->browser()->setSource(HelpBrowser::pageUrl("files.html"));
        first->close();
        QVERIFY(!first->isVisible());
        // The converter window lives on after the help is closed.
        QVERIFY(f.dialog->isVisible());
        f.find<QAction>("actionContents")->trigger();
        QCOMPARE(f.dialog->helpWindow(), first);
        QCOMPARE(helpWindows().size(), 1);
        QVERIFY(first->isVisible());
        QCOMPARE(first->browser()->source(), HelpBrowser::pageUrl("index.html"));
    }

    void withoutAReadableHelpFileNothingHappens_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("not a help file") << QByteArray("ITSF and then nothing of the kind") << true;
        QTest::newRow("empty") << QByteArray() << true;
    }
    void withoutAReadableHelpFileNothingHappens() {
        QFETCH(QByteArray, content);
        QFETCH(bool, present);
        ConverterFixture f(sampleCatalog);
        if (present) writeBytes(f.dir.file("help.chm"), content.toStdString());
        QVERIFY(f.start());
        QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
        f.find<QAction>("actionContents")->trigger();
        QTest::keyClick(f.fromList(), Qt::Key_F1);
        QVERIFY(!f.dialog->helpWindow());
        QVERIFY(helpWindows().isEmpty());
        QVERIFY(f.services.openedUrls.isEmpty());
        QVERIFY(f.services.messages.isEmpty());
        QVERIFY(f.dialog->isVisible());
    }

    void theHelpWindowHasNamesForEverything() {
        ConverterFixture f(sampleCatalog);
        f.addHelp();
        QVERIFY(f.start());
        f.dialog->openHelp();
        QCOMPARE(ConverterFixture::unnamedAccessibles(f.dialog->helpWindow()), QStringList());
    }
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
