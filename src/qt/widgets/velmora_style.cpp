#include "qt/widgets/velmora_style.h"

#include "qt/widgets/png_image.h"

#include <QGuiApplication>
#include <QStyleOption>

VelmoraStyle::VelmoraStyle(QStyle* base) : QProxyStyle(base) {}

QIcon VelmoraStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                 const QWidget* widget) const {
    if (standardIcon != SP_ToolBarHorizontalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    // The toolkit's own renderings of the same arrows, pointing the way the text runs.
    const Qt::LayoutDirection direction =
        option ? option->direction : QGuiApplication::layoutDirection();
    if (direction == Qt::RightToLeft)
        return pngIcon({":/qt-project.org/styles/commonstyle/images/toolbar-ext-h-rtl-8.png",
                        ":/qt-project.org/styles/commonstyle/images/toolbar-ext-h-rtl-16.png",
                        ":/qt-project.org/styles/commonstyle/images/toolbar-ext-h-rtl-32.png"});
    return pngIcon({":/qt-project.org/styles/commonstyle/images/toolbar-ext-h-8.png",
                    ":/qt-project.org/styles/commonstyle/images/toolbar-ext-h-16.png",
                    ":/qt-project.org/styles/commonstyle/images/toolbar-ext-h-32.png"});
}
