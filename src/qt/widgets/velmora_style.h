#pragma once

#include <QProxyStyle>

// The application's style: the style Qt chose, except that the standard icons a window shows at
// start are read as the PNG files they are (see png_image.h). The menu bar asks for its
// extension icon when it is made, even though the button shows only when the menus do not fit.
class VelmoraStyle : public QProxyStyle {
    Q_OBJECT
  public:
    // Takes over base, as QProxyStyle does.
    explicit VelmoraStyle(QStyle* base);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
