// Converts many queries as velmora --convert "QUERY" does, reading the catalog and the names.txt
// beside it once (the names of the user's region, as the program reads them), so that a script
// can ask thousands of them in seconds.
//
//     convert_queries <catalog file>  < one query a line
//
// For each query prints the exit status, stdout and stderr as the terminal would get them,
// separated by the unit separator (0x1F) and ended by the record separator (0x1E): both are
// control characters, which the terminal text of a message never holds.

#include "catalog/catalog.h"
#include "cli/convert_command.h"
#include "cli/terminal_text.h"
#include "names/unit_names.h"
#include "query/query_reader.h"
#include "settings/user_region.h"
#include "value/user_number_format.h"

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <catalog file> < queries\n", argv[0]);
        return 2;
    }
    ConversionCatalog catalog;
    if (!catalog.load(argv[1])) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 2;
    }
    const UnitNames names = readUnitNames(namesPathBeside(argv[1]), nullptr, userRegion());
    const QueryReader reader(catalog, names, {}, userNumberFormat());
    ConvertRequest request;
    request.catalogPath = argv[1];
    for (std::string query; std::getline(std::cin, query);) {
        request.value = query;
        std::ostringstream out;
        std::ostringstream err;
        const int status = runConvertWith(request, reader, out, err);
        std::cout << status << '\x1f' << terminalText(out.str()) << '\x1f'
                  << terminalText(err.str()) << '\x1e';
    }
    return std::cout.flush() ? 0 : 1;
}
