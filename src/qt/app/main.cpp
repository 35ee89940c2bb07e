#include "catalog/catalog_preload.h"
#include "chm/help_file.h"
#include "cli/command_line.h"
#include "product.h"
#include "qt/app/converter_app.h"
#include "qt/app/display_check.h"
#include "qt/services/ui_services.h"
#include "qt/widgets/velmora_style.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    // The command line is read before anything of Qt exists: --help, --version, --convert and
    // --check open no window and need no display.
    const CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    // The window reads its help file through a child process of this program.
    // Its output is binary records for that child's parent, never meant for a terminal.
    if (line.action == CommandLine::Action::ReadHelp) {
        if (::isatty(STDOUT_FILENO)) {
            std::cerr << "velmora: --read-help writes for the program itself, not a terminal\n";
            return 2;
        }
        return writeHelpFile(line.helpFile, std::cout);
    }
    if (line.action != CommandLine::Action::Window) {
        // The installed launcher starts the program in its data folder and says where the user
        // typed the command, which is where the file names they gave are meant from.
        const char* caller = std::getenv("VELMORA_CALLER_DIR");
        const int status = runCommandLine(line, std::cout, std::cerr, caller ? caller : "");
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "velmora: the output could not be written\n";
            return 2;
        }
        return status;
    }

    // The toolkit would abort without a display; the user hears why instead.
    const DisplayCheck display(argc, argv);
    if (!display.available()) {
        std::cerr << "velmora: cannot open a display; use --convert or --check in a terminal\n";
        return 1;
    }

    // A large catalog loads while the toolkit starts; a small one costs less than the thread.
    CatalogPreload preload(CatalogPreload::workingCatalogPath());
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    QApplication::setStyle(new VelmoraStyle(QApplication::style()));
    QtUiServices services;
    ConverterApp converter(services);
    converter.setPreload(&preload);
    converter.setOpenFind(line.openFind);
    return converter.run();
}
