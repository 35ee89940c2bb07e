#include "settings/user_region.h"

#include <cstdlib>

std::string userRegion() {
    return regionOfLocaleVariables(std::getenv("LC_ALL"), std::getenv("LC_MEASUREMENT"),
                                   std::getenv("LANG"));
}
