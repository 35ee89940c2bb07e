#include "converter_fixture.h"
#include "qt/help/help_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>

namespace {

// With precision 2, typing 12 gives 3.66: the 48-byte example report.
const char* const feetCatalog = "Length|Feet to Meters|Feet|Meters|x*0.305\r\n"
                                "Length|Meters to Feet|Meters|Feet|x/0.305\r\n";
const char* const exampleReport = "Input:        12 Feet\r\nOutput:       3.66 Meters";

struct Word {
    double x;
    double y;
    QString text;
};

// The words of a PDF with their top-left corners in points, read with pdftotext.
QList<Word> pdfWords(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(20000) || process.exitCode() != 0) return {};
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"));
    QList<Word> words;
    for (auto match = word.globalMatch(html); match.hasNext();) {
        const auto m = match.next();
        words.append({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3)});
    }
    // In reading order: by line, then from the left.
    std::sort(words.begin(), words.end(),
              [](const Word& a, const Word& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    return words;
}

} // namespace

class ReportAndKeysTest : public QObject {
    Q_OBJECT

    static void typeExample(ConverterFixture& f) {
        QTest::keyClicks(f.input(), "12");
        QCOMPARE(f.result()->text(), f.inLocale(QStringLiteral("3.66")));
    }

  private slots:
    void ctrlCCopiesTheReportFromEveryControl() {
        ConverterFixture f(feetCatalog, "2");
        QVERIFY(f.start());
        typeExample(f);
        QClipboard* clipboard = QApplication::clipboard();
        QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
        // The menu shows Ctrl+C, but only the key filter copies: one copy a key press.
        QSignalSpy menuCopies(f.find<QAction>("actionCopy"), &QAction::triggered);
        for (QWidget* target :
             {static_cast<QWidget*>(f.fromList()), static_cast<QWidget*>(f.toList()),
              static_cast<QWidget*>(f.input()), static_cast<QWidget*>(f.result()),
              static_cast<QWidget*>(f.tabs())}) {
            clipboard->setText(QStringLiteral("before"));
            target->setFocus();
            QSignalSpy changes(clipboard, &QClipboard::dataChanged);
            QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(changes.count(), 1);
            QCOMPARE(clipboard->text(), f.inLocale(QString::fromLatin1(exampleReport)));
            QCOMPARE(clipboard->text().toLatin1().size(), 48);
        }
        QCOMPARE(f.input()->text(), QStringLiteral("12"));
        QCOMPARE(menuCopies.count(), 0);
    }

    void aTextFieldWithASelectionCopiesItsSelection() {
        ConverterFixture f(feetCatalog, "2");
        QVERIFY(f.start());
        typeExample(f);
        f.result()->setFocus();
        f.result()->setSelection(0, 1);
        QTest::keyClick(f.result(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("3"));
    }

    void keysTypedAsTabArrivesAreNotSelected() {
        // Tab selects the field's text a moment after the focus; keys that came first are typing.
        ConverterFixture f(feetCatalog, "2");
        QVERIFY(f.start());
        QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
        f.input()->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(f.input(), "12");
        QCoreApplication::processEvents();
        QVERIFY(!f.input()->hasSelectedText());
    }

    void cAloneNeverCopies() {
        ConverterFixture f(feetCatalog, "2");
        QVERIFY(f.start());
        typeExample(f);
        QApplication::clipboard()->setText(QStringLiteral("before"));
        f.fromList()->setFocus();
        QTest::keyClick(f.fromList(), Qt::Key_Control);
        QTest::keyClick(f.fromList(), Qt::Key_C);
        QTest::keyClick(f.input(), Qt::Key_C, Qt::ShiftModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
    }

    void placeholderWithoutConversionOrInput_data() {
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<QString>("input");
        QTest::newRow("every category hidden") << "Length|n|Feet|Meters|x|0\r\n"
                                               << "12";
        QTest::newRow("empty input") << QString::fromLatin1(feetCatalog) << "";
        QTest::newRow("empty catalog") << ""
                                       << "12";
    }
    void placeholderWithoutConversionOrInput() {
        QFETCH(QString, catalog);
        QFETCH(QString, input);
        ConverterFixture f(catalog.toStdString());
        QVERIFY(f.start());
        QTest::keyClicks(f.input(), input);
        f.find<QAction>("actionCopy")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("no current conversion"));
        f.services.saveFileAnswers = {QString::fromStdString(f.dir.file("report.cnv"))};
        f.find<QAction>("actionSave")->trigger();
        QCOMPARE(readBytes(f.dir.file("report.cnv")), std::string("no current conversion"));
    }

    void saveWritesExactlyTheReport() {
        ConverterFixture f(feetCatalog, "2");
        QVERIFY(f.start());
        typeExample(f);
        const std::string path = f.dir.file("old.txt");
        writeBytes(path, std::string(500, 'z'));
        f.services.saveFileAnswers = {QString::fromStdString(path)};
        QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
        QTest::keyClick(f.fromList(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(readBytes(path), f.inLocale(QString::fromLatin1(exampleReport)).toStdString());
        QCOMPARE(f.services.lastSuffix, QStringLiteral("cnv"));
        QCOMPARE(f.services.lastFilters, QStringList({"TextFiles (*.txt)", "All Files (*.*)"}));
        QVERIFY(f.services.messages.isEmpty());

        // Cancelling the chooser writes nothing.
        f.find<QAction>("actionSave")->trigger();
        QCOMPARE(readBytes(path), f.inLocale(QString::fromLatin1(exampleReport)).toStdString());
    }

    void aReportChosenOverTheCatalogIsRefusedAndTheChooserAsksAgain() {
        ConverterFixture f(feetCatalog, "2");
        QVERIFY(f.start());
        typeExample(f);
        f.services.saveFileAnswers = {QString::fromStdString(f.dir.file("conv.txt")),
                                      QString::fromStdString(f.dir.file("report.cnv"))};
        f.find<QAction>("actionSave")->trigger();
        QCOMPARE(readBytes(f.dir.file("conv.txt")), std::string(feetCatalog));
        QCOMPARE(f.services.messages.size(), 1);
        QVERIFY(f.services.messages[0].text.startsWith(QStringLiteral("conv.txt is one of")));
        QVERIFY(std::filesystem::exists(f.dir.file("report.cnv")));
    }

    void anUnwritableReportFileIsNamedInAMessageAndNothingIsWritten() {
        ConverterFixture f(feetCatalog, "2");
        QVERIFY(f.start());
        typeExample(f);
        const std::string path = f.dir.file("taken");
        std::filesystem::create_directory(path); // a folder cannot be replaced by a file
        f.services.saveFileAnswers = {QString::fromStdString(path)};
        f.find<QAction>("actionSave")->trigger();
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].icon, UiServices::Icon::Stop);
        QVERIFY2(f.services.messages[0].text.contains(QString::fromStdString(path)),
                 qPrintable(f.services.messages[0].text));
        QVERIFY(std::filesystem::is_directory(path));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(f.dir.path()), {}), 3);
    }

    void printPutsTheLinesAtFixedDeviceCoordinates() {
        ConverterFixture f(feetCatalog, "2");
        QVERIFY(f.start());
        typeExample(f);
        const QString pdf = QString::fromStdString(f.dir.file("report.pdf"));
        int resolution = 0;
        int lineHeight = 0;
        QPointF origin;
        f.services.printerAnswer = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            resolution = printer.resolution();
            origin = printer.pageLayout().paintRectPixels(resolution).topLeft();
            lineHeight = QFontMetrics(QFont(), &printer).height();
            return true;
        };
        f.find<QAction>("actionPrint")->trigger();
        const QList<Word> words = pdfWords(pdf);
        QVERIFY2(words.size() == 6, "pdftotext (poppler-utils) must read the printed PDF");
        QCOMPARE(words[0].text, QStringLiteral("Input:"));
        QCOMPARE(words[3].text, QStringLiteral("Output:"));
        const double pointsPerPixel = 72.0 / resolution;
        const double left = (origin.x() + 500) * pointsPerPixel;
        const double top = (origin.y() + 400) * pointsPerPixel;
        QVERIFY2(qAbs(words[0].x - left) < 1.0, qPrintable(QString::number(words[0].x)));
        QVERIFY2(qAbs(words[3].x - left) < 1.0, qPrintable(QString::number(words[3].x)));
        // The first line's top at y 400, give or take the font's inner leading.
        QVERIFY2(words[0].y >= top - 1.0 && words[0].y < top + 6.0,
                 qPrintable(QString::number(words[0].y)));
        // The second line one text height lower, at x 500 again.
        QVERIFY2(qAbs(words[3].y - words[0].y - lineHeight * pointsPerPixel) < 0.5,
                 qPrintable(QString::number(words[3].y - words[0].y)));
        QCOMPARE(words[1].text + words[2].text, QStringLiteral("12Feet"));
        QCOMPARE(words[4].text + words[5].text, f.inLocale(QStringLiteral("3.66Meters")));
    }

    void cancelledPrintMakesNoJob() {
        ConverterFixture f(feetCatalog, "2");
        QVERIFY(f.start());
        bool asked = false;
        f.services.printerAnswer = [&](QPrinter& printer) {
            asked = true;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(f.dir.file("never.pdf")));
            return false;
        };
        QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
        QTest::keyClick(f.input(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(asked);
        QVERIFY(!std::filesystem::exists(f.dir.file("never.pdf")));
    }

    void aPrintJobThatCannotStartIsReported() {
        ConverterFixture f(feetCatalog, "2");
        QVERIFY(f.start());
        typeExample(f);
        const QString pdf = QString::fromStdString(f.dir.file("no such folder/report.pdf"));
        f.services.printerAnswer = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        f.find<QAction>("actionPrint")->trigger();
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].icon, UiServices::Icon::Stop);
        QVERIFY2(f.services.messages[0].text.contains(pdf),
                 qPrintable(f.services.messages[0].text));
    }

    void thePrintDialogOffersAPdfFile() {
        ConverterFixture f(feetCatalog); // finds the print plugin
        QPrinter printer(QPrinter::HighResolution);
        bool offersFile = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            offersFile = dialog && dialog->testOption(QAbstractPrintDialog::PrintToFile);
            if (dialog) dialog->reject();
        });
        QVERIFY(!QtUiServices().choosePrinter(nullptr, printer));
        QVERIFY(offersFile);
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("a printer is installed here: the PDF file is offered, not chosen beforehand");
        QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
        QVERIFY2(printer.outputFileName().endsWith(QStringLiteral(".pdf")),
                 qPrintable(printer.outputFileName()));
    }

    void bannerAndHelpOpenTheirTargets() {
        ConverterFixture f(feetCatalog);
        f.addHelp();
        QVERIFY(f.start());
        QWidget* banner = f.find<QWidget>("banner");
        QCOMPARE(banner->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(banner, Qt::LeftButton);
        f.find<QAction>("actionContents")->trigger();
        // The site goes to the browser; the help opens in the program's own window.
        QCOMPARE(f.services.openedUrls,
                 QList<QUrl>{QUrl(QString::fromLatin1(ConverterDialog::vendorSite))});
        QVERIFY(f.dialog->helpWindow() && f.dialog->helpWindow()->isVisible());
        QVERIFY(f.dialog->isVisible());
    }
};

QTEST_MAIN(ReportAndKeysTest)
#include "report_and_keys_test.moc"
