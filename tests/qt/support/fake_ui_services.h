#pragma once

#include "qt/services/ui_services.h"

#include <QList>
#include <QPrinter>
#include <QStringList>
#include <functional>

// Answers in place of the modal dialogs and the desktop opener, and records what was asked.
class FakeUiServices : public UiServices {
  public:
    struct Message {
        Icon icon;
        QString caption;
        QString text;
    };

    QList<Message> messages;
    QList<QUrl> openedUrls;
    // Consumed one per file chooser; an empty text, or none left, is a cancel.
    QStringList saveFileAnswers;
    QString lastSuffix;
    QStringList lastFilters;
    // Sets up the printer and says whether the user chose to print; none is a cancel.
    std::function<bool(QPrinter&)> printerAnswer;
    // Runs while a message box would be open, for tests that look at the window then.
    std::function<void()> duringMessage;

    void showMessage(QWidget*, Icon icon, const QString& caption, const QString& text) override {
        messages.append({icon, caption, text});
        if (duringMessage) duringMessage();
    }
    QString chooseSaveFile(QWidget*, const QString& defaultSuffix, const QStringList& filters,
                           const PathRefusal& refusal) override {
        lastSuffix = defaultSuffix;
        lastFilters = filters;
        // A refused answer is told, and the next one taken, as the dialog stays open.
        while (!saveFileAnswers.isEmpty()) {
            const QString path = saveFileAnswers.takeFirst();
            const QString why = refusal && !path.isEmpty() ? refusal(path) : QString();
            if (why.isEmpty()) return path;
            messages.append({Icon::Stop, QStringLiteral("Save"), why});
        }
        return {};
    }
    bool choosePrinter(QWidget*, QPrinter& printer) override {
        return printerAnswer && printerAnswer(printer);
    }
    void openUrl(const QUrl& url) override { openedUrls.append(url); }
};
