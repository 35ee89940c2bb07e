#pragma once

#include <string>
#include <string_view>

// The file that Windows opens for a typed path, as far as the text alone says: no "\\?\" prefix
// ("\\?\UNC\server" is "\\server"), no stream after the last name ("conv.txt::$DATA" and
// "conv.txt:notes" are parts of conv.txt), none of the dots and spaces that end the last name,
// and no single dot that ends a folder's name. Windows drops those when it opens the file, so
// "conv.ini." names conv.ini. Letter case and short (8.3) names are the system's to resolve.
std::string windowsResolvedPath(std::string_view path);
