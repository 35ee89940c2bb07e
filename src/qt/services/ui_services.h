#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QPrinter;
class QWidget;

// Everything that opens a modal chooser or leaves the program goes through here, so that tests
// can answer in its place and no test ever waits on a dialog.
class UiServices {
  public:
    enum class Icon { Error, Stop };

    virtual ~UiServices() = default;
    virtual void showMessage(QWidget* parent, Icon icon, const QString& caption,
                             const QString& text) = 0;
    // Says why a chosen path will not do; empty when it will.
    using PathRefusal = std::function<QString(const QString& path)>;
    // The chosen path, or an empty text when the user cancelled. A path that refusal turns down
    // is not given: the user is told why and chooses again in the same dialog.
    virtual QString chooseSaveFile(QWidget* parent, const QString& defaultSuffix,
                                   const QStringList& filters, const PathRefusal& refusal) = 0;
    // True when the user chose to print; printer is then set up for the chosen device. The
    // printer comes from the print plugin (print_support.h), which only a print loads.
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer) = 0;
    // Opens an address or a local file with the user's default application; failures are silent.
    virtual void openUrl(const QUrl& url) = 0;
};

// The real dialogs and the desktop's opener.
class QtUiServices : public UiServices {
  public:
    void showMessage(QWidget* parent, Icon icon, const QString& caption,
                     const QString& text) override;
    QString chooseSaveFile(QWidget* parent, const QString& defaultSuffix,
                           const QStringList& filters, const PathRefusal& refusal) override;
    bool choosePrinter(QWidget* parent, QPrinter& printer) override;
    void openUrl(const QUrl& url) override;
};
