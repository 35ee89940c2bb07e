#pragma once

#include "qt/dialogs/modal_dialog.h"

#include <QString>
#include <functional>

class HyperlinkLabel;

// The program's name and version, its credits, its picture and two live web links. A click on a
// link runs that link's action and leaves the box open.
class AboutDialog : public ModalDialog {
    Q_OBJECT
  public:
    struct Link {
        QString address;
        std::function<void()> open;
    };

    AboutDialog(Link vendor, Link second, QWidget* parent = nullptr);

  private:
    HyperlinkLabel* addLink(const char* name, const Link& link);
};
