#pragma once

#include <QDialog>
#include <QDialogButtonBox>

// A secondary dialog of the converter window, with what every one of them does alike: a frame with
// a caption and a close box and nothing to resize, its setup run once when it first shows (by then
// the caller has given it what it shows), and OK that ends it only once the dialog has taken what
// it keeps from its controls. A dialog adds its controls, their setup and what OK takes.
class ModalDialog : public QDialog {
    Q_OBJECT
  public:
    // OK was chosen: ends the dialog when takeChoices() lets it.
    void accept() final;

  protected:
    // title: the caption; name: the object name the tests know the dialog by.
    ModalDialog(const QString& title, const QString& name, QWidget* parent);

    // Runs once, when the dialog first shows.
    virtual void initialise() {}
    // OK was chosen: takes what the dialog keeps from its controls; false keeps the dialog open.
    virtual bool takeChoices() { return true; }
    // The buttons along the bottom, OK the default; they end the dialog through accept and reject.
    QDialogButtonBox* addButtons(QDialogButtonBox::StandardButtons which);

    void showEvent(QShowEvent* event) override;

  private:
    bool initialised_ = false;
};
