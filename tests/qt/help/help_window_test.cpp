#include "chm/help_file.h"
#include "converter_fixture.h"
#include "help/help_pages.h"
#include "qt/app/converter_app.h"
#include "qt/help/help_window.h"
#include "qt/help/page_limits.h"
#include "qt/help/page_style.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSplitter>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextTable>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

// The lowest contrast of the page's text, and of its links, against what is behind them.
std::pair<double, double> lowestContrast(const QTextBrowser* browser) {
    const auto rgb = [](const QColor& c) {
        return Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                   static_cast<std::uint8_t>(c.blue())};
    };
    double text = 21;
    double links = 21;
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QTextCursor at(browser->document());
            at.setPosition(it.fragment().position());
            QList<QBrush> behind{format.background(), at.blockFormat().background()};
            if (QTextTable* table = at.currentTable())
                behind.append(table->cellAt(at).format().background());
            for (QTextFrame* frame = at.currentFrame(); frame; frame = frame->parentFrame())
                behind.append(frame->frameFormat().background());
            QColor background = browser->palette().color(QPalette::Base);
            for (const QBrush& brush : behind)
                if (brush.style() != Qt::NoBrush) {
                    background = brush.color();
                    break;
                }
            const QColor foreground = format.foreground().style() != Qt::NoBrush
                                          ? format.foreground().color()
                                          : browser->palette().color(QPalette::Text);
            double& lowest = format.isAnchor() ? links : text;
            lowest = std::min(lowest, contrastRatio(rgb(foreground), rgb(background)));
        }
    return {text, links};
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
        HelpWindow* help = f.openHelp();
        QVERIFY(help);
        QScrollBar* bar = help->browser()->verticalScrollBar();
        QTreeWidgetItem* window = help->contents()->topLevelItem(1);
        help->contents()->setCurrentItem(window->child(4));
        QCOMPARE(help->browser()->source(), HelpBrowser::pageUrl("window.html#keys"));
        const int keys = bar->value();
        // The page from its top, read on a little past the start of its keys.
        help->contents()->setCurrentItem(window);
        QCOMPARE(bar->value(), 0);
        bar->setValue(keys + 40);
        clickLink(help, QStringLiteral("Find Conversion"));
        QCOMPARE(currentEntry(help), QStringLiteral("Find Conversion"));
        const int there = bar->value();
        help->findChild<QAction*>("actionBack")->trigger();
        QCOMPARE(help->browser()->source(), HelpBrowser::pageUrl("window.html"));
        QCOMPARE(bar->value(), keys + 40);
        QCOMPARE(currentEntry(help), QStringLiteral("Keys"));
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
        const int status = app.run();
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

    void aDamagedHelpFileIsSaidSo_data() {
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("text");
        const QString damaged = QStringLiteral("The help file is damaged.");
        QTest::newRow("a fault of the CHM library") << 0x223e << 0x20 << damaged;
        QTest::newRow("a heap corruption in the CHM library") << 0x22b7 << 0xfb << damaged;
        QTest::newRow("a reset table entry past the content") << 0x22af << 0xfb << damaged;
        // A good file whose reader cannot be started is not called damaged.
        QTest::newRow("no reader") << -1 << 0 << QStringLiteral("The help could not be read.");
    }
    void aDamagedHelpFileIsSaidSo() {
        QFETCH(int, at);
        QFETCH(int, byte);
        QFETCH(QString, text);
        ConverterFixture f(sampleCatalog);
        std::string bytes = readBytes(VELMORA_HELP_CHM);
        if (at >= 0) bytes.at(static_cast<std::size_t>(at)) = static_cast<char>(byte);
        writeBytes(f.dir.file("help.chm"), bytes);
        const std::string reader = helpReaderProgram();
        if (at < 0) setHelpReaderProgram(f.dir.file("none"));
        const auto restore = qScopeGuard([&] { setHelpReaderProgram(reader); });
        QVERIFY(f.start());
        QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
        QTest::keyClick(f.fromList(), Qt::Key_F1);
        QVERIFY(!f.dialog->helpWindow());
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].icon, UiServices::Icon::Error);
        QCOMPARE(f.services.messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(f.services.messages[0].text, text);
        // The program runs on, and says it again the next time.
        QVERIFY(f.dialog->isVisible());
        f.find<QAction>("actionContents")->trigger();
        QCOMPARE(f.services.messages.size(), 2);
    }

    void hostilePagesAreHarmless() {
        TempDir dir;
        const QString outside = QString::fromStdString(dir.file("outside.png"));
        QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(outside));
        const std::string fifo = dir.file("fifo");
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        QString tables;
        for (int i = 0; i < 3000; ++i)
            tables += QStringLiteral("<table><tr><td>");
        // A vector picture naming outside files, and one picture under many addresses.
        const std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink="
                                "'http://www.w3.org/1999/xlink' width='8' height='8'><image "
                                "xlink:href='" +
                                fifo + "' width='8' height='8'/></svg>";
        QString flood;
        for (int i = 0; i < 40; ++i)
            flood += QStringLiteral("<img src='p.png?%1'><img src='p.png#%1'>").arg(i);
        const QByteArray utf16 =
            QByteArray("\xFF\xFE") +
            QByteArray(reinterpret_cast<const char*>(tables.left(270).utf16()), 270 * 2);
        const std::pair<QByteArray, QString> pages[] = {
            {QStringLiteral("<html><head><link rel=stylesheet href='file:///dev/zero'></head><p>x"
                            "<img src='file://%1'><img src='%1'><img src='../../../../..%1'>"
                            "<img src='file:///dev/zero'><img src='file://%2'><img src='p.svg'>")
                     .arg(outside, QString::fromStdString(fifo))
                     .toUtf8() +
                 flood.toUtf8(),
             "x"},
            {tables.toUtf8(), "This page cannot be shown."},
            {utf16, "This page cannot be shown."}};
        for (const auto& [page, shown] : pages) {
            // Whoever opens the FIFO to read is let go at once, and it is known.
            std::atomic<bool> stop = false;
            std::atomic<bool> opened = false;
            std::thread watch([&] {
                for (; !stop; std::this_thread::sleep_for(std::chrono::milliseconds(2)))
                    if (const int end = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); end >= 0)
                        opened = ::close(end) == 0;
            });
            auto pages = std::make_shared<HelpPages>();
            pages->add("sub/index.html", page.toStdString());
            pages->add("sub/p.svg", svg);
            QBuffer png;
            QImage(8, 8, QImage::Format_RGB32).save(&png, "PNG");
            pages->add("sub/p.png", png.data().toStdString());
            FakeUiServices services;
            HelpWindow help(pages, services);
            help.showPage(QStringLiteral("sub/index.html"));
            help.browser()->grab();
            stop = true;
            watch.join();
            QVERIFY(!opened);
            QCOMPARE(
                help.browser()->toPlainText().remove(QChar::ObjectReplacementCharacter).trimmed(),
                shown);
            for (const QString& name : QString::fromUtf8(page).split("src='").mid(1)) {
                const QVariant picture = help.browser()->document()->resource(
                    QTextDocument::ImageResource, QUrl(name.section(QLatin1Char('\''), 0, 0)));
                QVERIFY2(picture.value<QImage>().isNull() && picture.value<QPixmap>().isNull(),
                         qPrintable(name));
            }
        }
        // The pictures of one page share a budget: two of 16 Mpixel fit, a third does not.
        QBuffer big;
        QImage(4096, 4096, QImage::Format_Mono).save(&big, "PNG");
        auto pictures = std::make_shared<HelpPages>();
        pictures->add("p", big.data().toStdString());
        HelpBrowser browser(pictures);
        const auto shown = [&] {
            const QVariant picture = browser.loadResource(QTextDocument::ImageResource, QUrl("p"));
            return !picture.value<QImage>().isNull();
        };
        QCOMPARE(QList<bool>({shown(), shown(), shown()}), QList<bool>({true, true, false}));
    }

    void picturesComeOnlyFromTheHelpFile_data() {
        QTest::addColumn<QString>("markup");
        QTest::newRow("absolute") << "<img src='OUT/canary.png'>";
        QTest::newRow("climbing") << "<img src='../../../../../../../..OUT/canary.png'>";
        QTest::newRow("in the working folder") << "<img src='here.png'>";
        QTest::newRow("vector picture") << "<img src='OUT/x.svg'>";
        QTest::newRow("FIFO") << "<img src='OUT/fifo'>";
        QTest::newRow("FIFO as a background") << "<span style='background-image:url(OUT/fifo)'>";
        QTest::newRow("FIFO as a style sheet") << "<link rel=stylesheet href='OUT/fifo'></link>";
    }
    void picturesComeOnlyFromTheHelpFile() {
        QFETCH(QString, markup);
        TempDir outside;
        TempDir working;
        QVERIFY(QImage(300, 200, QImage::Format_RGB32)
                    .save(QString::fromStdString(outside.file("canary.png"))));
        QVERIFY(QImage(300, 200, QImage::Format_RGB32)
                    .save(QString::fromStdString(working.file("here.png"))));
        writeBytes(outside.file("x.svg"), "<svg xmlns='http://www.w3.org/2000/svg' width='300' "
                                          "height='200'><rect width='300' height='200'/></svg>");
        const std::string fifo = outside.file("fifo");
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        const auto previous = std::filesystem::current_path();
        std::filesystem::current_path(working.path());
        const auto restore = qScopeGuard([&] { std::filesystem::current_path(previous); });
        // Every opening of a file in either folder is told, and the FIFO's reader let go.
        const int watch = ::inotify_init1(IN_NONBLOCK);
        QVERIFY(::inotify_add_watch(watch, outside.path().c_str(), IN_OPEN) >= 0);
        QVERIFY(::inotify_add_watch(watch, working.path().c_str(), IN_OPEN) >= 0);
        std::atomic<bool> stop = false;
        std::thread release([&] {
            for (; !stop; std::this_thread::sleep_for(std::chrono::milliseconds(2)))
                if (const int end = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); end >= 0)
                    ::close(end);
        });
        const auto joined = qScopeGuard([&] {
            stop = true;
            release.join();
        });
        QList<QSizeF> sizes;
        for (const QString& page :
             {QStringLiteral("<p>x%1y</p>").arg(markup.replace("OUT", outside.path().c_str())),
              QStringLiteral("<p>xy</p>")}) {
            auto pages = std::make_shared<HelpPages>();
            pages->add("index.html", page.toStdString());
            FakeUiServices services;
            HelpWindow help(pages, services);
            help.showPage(QString());
            help.browser()->grab();
            // What a copy gives, in every form.
            help.browser()->selectAll();
            help.browser()->copy();
            const QMimeData* copied = QApplication::clipboard()->mimeData();
            for (const QString& format : copied->formats())
                copied->data(format);
            QCOMPARE(help.browser()->toPlainText().remove(QChar::ObjectReplacementCharacter), "xy");
            sizes.append(help.browser()->document()->size());
        }
        char event[4096];
        QCOMPARE(::read(watch, event, sizeof event), ssize_t(-1));
        ::close(watch);
        // No picture was laid out.
        QCOMPARE(sizes[0], sizes[1]);
    }

    void pagesLeftOutAreNamed_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("shown");
        QTest::newRow("too large to send") << "big.html"
                                           << "The help page big.html is too large to be shown.";
        QTest::newRow("damaged") << "bad.html"
                                 << "The help page bad.html is damaged.";
        QTest::newRow("too large to lay out")
            << "long.html"
            << "The help page long.html is too large to be shown.";
        QTest::newRow("named as Markdown") << "notes.md"
                                           << "The help page notes.md is too large to be shown.";
    }
    void pagesLeftOutAreNamed() {
        QFETCH(QString, page);
        QFETCH(QString, shown);
        auto pages = std::make_shared<HelpPages>();
        pages->leaveOut("big.html", HelpPages::Unread::TooLarge);
        pages->leaveOut("bad.html", HelpPages::Unread::Damaged);
        pages->add("long.html", std::string(maxPageSize + 1, 'x'));
        pages->add("notes.md", std::string(maxPageSize + 1, 'x'));
        FakeUiServices services;
        HelpWindow help(pages, services);
        help.showPage(page);
        QCOMPARE(help.browser()->toPlainText(), shown);
    }

    void deepPagesAreRefusedOrLaidOutAtOnce_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("refused");
        // What the toolkit keeps open, void in HTML or not, and what it does not, as many as
        // the page holds or the budget allows.
        const auto row = [](const char* tag, bool refused) {
            const QString text = QString::fromLatin1(tag);
            const int count = refused ? std::min<int>(16000, maxPageSize / text.size())
                                      : static_cast<int>(maxPageElements);
            QTest::newRow(tag) << text.repeated(count) + "x" << refused;
        };
        for (const char* tag : {"<source>", "<wbr>", "<embed>", "<option>", "<div>", "<b>",
                                "<li><p>", "<div><br></div></br>"})
            row(tag, true);
        for (const char* tag : {"<br>", "<source/>", "<p>", "<li>"})
            row(tag, false);
        // Pages that froze the window for seconds, refused, and pages at the budgets, shown:
        // list items, pictures in one paragraph, spans, style rules on nested elements.
        const auto page = [](const char* name, const QString& text, bool refused) {
            QTest::newRow(name) << text << refused;
        };
        const QString nested = "<div>" + QString("<b>").repeated(62) + "x</div>";
        page("25,000 list items", "<ul>" + QString("<li>x").repeated(25000), true);
        page("3,000 list items", "<ul>" + QString("<li>x").repeated(2999), false);
        page("26,000 pictures", "<p>" + QString("<img>").repeated(26000), true);
        page("256 pictures", "<p>" + QString("<img src=p.png>").repeated(256) + "x", false);
        page("colspan 20480", QString("<table><tr><td colspan=20480>x</table>").repeated(100),
             true);
        page("2,000 cells", "<table><tr><td colspan=40>x" + QString("<tr><td>x").repeated(49),
             false);
        QString rules;
        for (int i = 0; i < 2000; ++i)
            rules += QStringLiteral(".c%1{color:red}").arg(i);
        page("2,000 style rules", "<style>" + rules + "</style>" + nested.repeated(286), true);
        page("style work",
             "<style>" + QString(".c, ").repeated(7) + "b{}</style>" + nested.repeated(40), false);
    }
    void deepPagesAreRefusedOrLaidOutAtOnce() {
        QFETCH(QString, page);
        QFETCH(bool, refused);
        auto pages = std::make_shared<HelpPages>();
        pages->add("deep.html", page.toStdString());
        QBuffer png;
        QImage(8, 8, QImage::Format_RGB32).save(&png, "PNG");
        pages->add("p.png", png.data().toStdString());
        FakeUiServices services;
        HelpWindow help(pages, services);
        QElapsedTimer timer;
        timer.start();
        help.showPage(QStringLiteral("deep.html"));
        help.browser()->grab();
        qInfo("%lld ms", timer.elapsed());
        const QString shown = help.browser()->toPlainText().trimmed();
        QCOMPARE(shown == QString::fromLatin1(HelpBrowser::refusedPage), refused);
        if (!refused) QVERIFY(shown.endsWith(QLatin1Char('x')));
    }

    void aLinkedStyleSheetPastTheBudgetIsLeftOut() {
        // 2,000 selectors tried on every element: within the budget for one, past it for 400.
        QString css;
        for (int i = 0; i < 2000; ++i)
            css += QStringLiteral(".c%1, ").arg(i);
        auto pages = std::make_shared<HelpPages>();
        pages->add("s.css", (css + "b { color: #aa0000 }").toStdString());
        const QString link =
            QStringLiteral("<head><link rel=stylesheet type=text/css href=s.css></head>");
        pages->add("one.html", (link + "<b>x</b>").toStdString());
        pages->add("many.html", (link + QString("<b>x</b>").repeated(400)).toStdString());
        FakeUiServices services;
        HelpWindow help(pages, services);
        for (const auto& [page, styled] : {std::pair("one.html", true), {"many.html", false}}) {
            help.showPage(QString::fromLatin1(page));
            const QTextCursor x = help.browser()->document()->find(QStringLiteral("x"));
            QCOMPARE(x.charFormat().foreground().color() == QColor(0xaa, 0, 0), styled);
        }
    }

    void escapeAndCtrlWClose_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::newRow("Escape") << QKeySequence(Qt::Key_Escape);
        QTest::newRow("Ctrl+W") << QKeySequence(Qt::CTRL | Qt::Key_W);
    }
    void escapeAndCtrlWClose() {
        QFETCH(QKeySequence, key);
        ConverterFixture f(sampleCatalog);
        HelpWindow* help = f.openHelp();
        QVERIFY(help);
        for (QWidget* focus :
             {static_cast<QWidget*>(help->browser()), static_cast<QWidget*>(help->contents())}) {
            help->showPage(QString());
            QVERIFY(QTest::qWaitForWindowActive(help));
            focus->setFocus();
            QTest::keySequence(focus, key);
            QVERIFY(!help->isVisible());
        }
        QVERIFY(f.dialog->isVisible());
    }

    void theIndexAndTheSearchLeadToPages() {
        ConverterFixture f(sampleCatalog);
        HelpWindow* help = f.openHelp();
        QVERIFY(help);
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTest::keyClick(help, Qt::Key_I, Qt::AltModifier);
        auto* keyword = help->findChild<QLineEdit*>("helpIndexField");
        auto* index = help->findChild<QListWidget*>("helpIndex");
        QVERIFY(keyword->hasFocus());
        QCOMPARE(index->item(0)->text(), QStringLiteral("About box"));
        QTest::keyClicks(keyword, QStringLiteral("conv."));
        QCOMPARE(index->currentItem()->text(), QStringLiteral("conv.ini"));
        // The list keeps what answers the keyword.
        int shown = 0;
        for (int row = 0; row < index->count(); ++row)
            if (!index->isRowHidden(row) && ++shown)
                QVERIFY(index->item(row)->text().contains("conv", Qt::CaseInsensitive));
        QVERIFY(shown >= 2 && shown < index->count());
        QTest::keyClick(keyword, Qt::Key_Down);
        QCOMPARE(index->currentItem()->text(), QStringLiteral("conv.txt"));
        QTest::keyClick(keyword, Qt::Key_Return);
        QCOMPARE(help->browser()->source(), HelpBrowser::pageUrl("catalog.html"));
        QCOMPARE(currentEntry(help), QStringLiteral("The conversion catalog: conv.txt"));

        QTest::keyClick(help, Qt::Key_S, Qt::AltModifier);
        auto* words = help->findChild<QLineEdit*>("helpSearchField");
        auto* found = help->findChild<QListWidget*>("helpSearchResults");
        QVERIFY(words->hasFocus());
        QTest::keyClicks(words, QStringLiteral("exclusive or"));
        QCOMPARE(found->count(), 1);
        // The title, and under it the words around the first match.
        const QStringList lines = found->item(0)->text().split(u'\n');
        QCOMPARE(lines.value(0), QStringLiteral("The formula language"));
        QVERIFY2(lines.value(1).contains(QStringLiteral("exclusive or"), Qt::CaseInsensitive),
                 qPrintable(lines.value(1)));
        QTest::keyClick(words, Qt::Key_Return);
        QCOMPARE(help->browser()->documentTitle(), QStringLiteral("The formula language"));
        QTest::keyClicks(words, QStringLiteral("zz"));
        QCOMPARE(found->count(), 0);
    }

    void longEntriesAreElidedWithTheirTextAsTooltip() {
        ConverterFixture f(sampleCatalog);
        HelpWindow* help = f.openHelp();
        QVERIFY(help);
        auto* splitter = qobject_cast<QSplitter*>(help->centralWidget());
        splitter->setSizes({1, 1000});
        QTreeWidget* tree = help->contents();
        QTreeWidgetItem* entry = tree->topLevelItem(3);
        QCOMPARE(entry->text(0), QStringLiteral("The conversion catalog: conv.txt"));
        QTRY_VERIFY(tree->visualItemRect(entry).right() <= tree->viewport()->width());
        QVERIFY(tree->fontMetrics().horizontalAdvance(entry->text(0)) >
                tree->visualItemRect(entry).width());
        QVERIFY(!tree->horizontalScrollBar()->isVisible());
        QCOMPARE(entry->toolTip(0), entry->text(0));
    }

    void aDarkThemeKeepsThePagesReadable() {
        ConverterFixture f(sampleCatalog);
        HelpWindow* help = f.openHelp();
        QVERIFY(help);
        // A dark palette as a dark desktop theme gives it.
        QPalette dark = std::unique_ptr<QStyle>(QStyleFactory::create("Fusion"))->standardPalette();
        dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
        dark.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x2d));
        for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
            dark.setColor(role, QColor(0xe6, 0xe6, 0xe6));
        dark.setColor(QPalette::Link, QColor(0x6c, 0xb4, 0xff));
        help->setPalette(dark);
        for (const char* page : {"index.html", "window.html", "menus.html", "catalog.html",
                                 "formulas.html", "files.html", "commandline.html"}) {
            help->browser()->setSource(HelpBrowser::pageUrl(page));
            const auto [text, links] = lowestContrast(help->browser());
            QVERIFY2(text >= 4.5, qPrintable(QStringLiteral("%1: text %2").arg(page).arg(text)));
            QVERIFY2(links >= 4.5, qPrintable(QStringLiteral("%1: links %2").arg(page).arg(links)));
        }
        // The page's own colour was unreadable there: the theme's is used.
        const QTextCursor heading =
            help->browser()->document()->find(QStringLiteral("Exit status"));
        QCOMPARE(heading.charFormat().foreground().color(), QColor(0xe6, 0xe6, 0xe6));
    }

    void thePageIsADocumentWithLinksAndHeadings() {
        ConverterFixture f(sampleCatalog);
        HelpWindow* help = f.openHelp();
        QVERIFY(help);
        QVERIFY(QTest::qWaitForWindowActive(help));
        QAccessibleInterface* page = QAccessible::queryAccessibleInterface(help->browser());
        QCOMPARE(page->role(), QAccessible::Document);
        QVERIFY(page->textInterface()
                    ->text(0, page->textInterface()->characterCount())
                    .contains(QStringLiteral("Velmora is a small desktop unit converter")));
        QStringList parts;
        for (int i = 0; i < page->childCount(); ++i)
            parts.append(QString::number(page->child(i)->role()) + ':' +
                         page->child(i)->text(QAccessible::Name));
        const QString heading = QString::number(QAccessible::Heading) + ':';
        const QString link = QString::number(QAccessible::Link) + ':';
        QVERIFY(parts.contains(heading + "Velmora Help"));
        QVERIFY(parts.contains(heading + "Converting a value"));
        QCOMPARE(parts.first(), link + "Window and keys");
        // Tab goes from link to link, and the one reached is the focused part of the page.
        for (const char* name : {"Window and keys", "Menus"}) {
            QTest::keyClick(help->browser(), Qt::Key_Tab);
            QAccessibleInterface* focused = page->focusChild();
            QVERIFY(focused && focused->state().focused);
            QCOMPARE(QString::number(focused->role()) + ':' + focused->text(QAccessible::Name),
                     link + name);
        }
        // The page Back brings back is the one assistive tools read.
        QTest::keyClick(help->browser(), Qt::Key_Return);
        QVERIFY(page->child(0)->text(QAccessible::Name) != QStringLiteral("Window and keys"));
        help->findChild<QAction*>("actionBack")->trigger();
        QCOMPARE(page->child(0)->text(QAccessible::Name), QStringLiteral("Window and keys"));
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
