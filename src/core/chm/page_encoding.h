#pragma once

#include <string_view>

// Whether a text file of a help file (a page, a style sheet, the contents or the index) decodes
// whole as the encoding it declares: a byte order mark, else a charset its head declares, else
// UTF-8, as the help window decodes it. Damage shows as bytes the encoding never gives (broken
// UTF-8 sequences, unpaired UTF-16 halves) or as control characters no text holds.
bool textDecodesWhole(std::string_view text);

// Whether the file of that name is read as text: pages, style sheets, contents and index.
bool isTextFile(std::string_view name);
