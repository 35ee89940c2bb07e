#include "qt/services/print_support.h"

#include <QPluginLoader>

PrintSupport* loadPrintSupport(QString* error) {
    // Loaded once and kept: the dialog's classes stay in use until the program ends.
    static QPluginLoader loader(QStringLiteral("velmora_print"));
    auto* support = qobject_cast<PrintSupport*>(loader.instance());
    if (!support && error) *error = loader.errorString();
    return support;
}
