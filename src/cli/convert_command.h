#pragma once

#include <iosfwd>
#include <optional>
#include <string>

class QueryReader;

// velmora --convert VALUE FROM TO [--category NAME] [--catalog FILE] [--precision N]
struct ConvertRequest {
    std::string value;
    std::string from;
    std::string to;
    std::optional<std::string> category;
    std::optional<int> precision;
    // The catalog as the user named it, for messages, and the path it is read from.
    std::string catalogName = "conv.txt";
    std::string catalogPath = "conv.txt";
};

// Reads the catalog, finds the conversion and prints its result and a line end to out: up to 15
// significant digits (formatExact), or with precision the fixed form the window shows. The query
// is read as query/query_reader.h says, with the names of names.txt beside the catalog; when the
// units are not the labels as typed, err says which labels were used. 0 when printed; 2, with a
// message on err, when the value is not a number as a whole or too large, the catalog cannot be
// read, the category, unit or pair is not in it or not sure, or the formula cannot be computed or
// gives no finite result.
int runConvert(const ConvertRequest& request, std::ostream& out, std::ostream& err);

// The same with a reader of the catalog and the names beside it made already (catalogPath is
// not read, nor the category), so that a tool converting many queries reads them once; the
// status and messages as above.
int runConvertWith(const ConvertRequest& request, const QueryReader& reader, std::ostream& out,
                   std::ostream& err);
