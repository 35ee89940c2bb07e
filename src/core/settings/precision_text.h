#pragma once

#include "settings/settings_file.h"

#include <optional>
#include <string_view>

// The precision a text of the Precision edit stands for, or none when its number lies outside
// the range; "03" stands for 3.
std::optional<int> acceptedPrecision(std::string_view text);

// The precision one arrow step away from value, held within the range.
int steppedPrecision(int value, int step);
