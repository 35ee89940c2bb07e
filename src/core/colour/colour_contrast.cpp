#include "colour/colour_contrast.h"

#include <algorithm>
#include <cmath>

namespace {

double linear(std::uint8_t component) {
    const double c = component / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

double relativeLuminance(Rgb colour) {
    return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green) +
           0.0722 * linear(colour.blue);
}

double contrastRatio(Rgb a, Rgb b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb mixed(Rgb a, Rgb b, double share) {
    const auto mix = [share](int x, int y) {
        return static_cast<std::uint8_t>(std::lround(x + (y - x) * std::clamp(share, 0.0, 1.0)));
    };
    return {mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue)};
}

Rgb withContrast(Rgb colour, Rgb background, double minimum) {
    if (contrastRatio(colour, background) >= minimum) return colour;
    const double ground = relativeLuminance(background);
    // The luminance a colour needs on each side of the background.
    const double lightEnough = minimum * (ground + 0.05) - 0.05;
    const double darkEnough = (ground + 0.05) / minimum - 0.05;
    const bool lighter = relativeLuminance(colour) >= ground;
    bool towardsWhite = lighter ? lightEnough <= 1.0 : darkEnough < 0.0;
    // Neither side has room for the minimum: the side with more contrast.
    if (lightEnough > 1.0 && darkEnough < 0.0)
        towardsWhite =
            contrastRatio({255, 255, 255}, background) > contrastRatio({0, 0, 0}, background);
    const Rgb end = towardsWhite ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
    // Along the way the luminance only grows (or only falls), so the least share that reaches
    // the needed luminance is found by halving.
    const auto enough = [&](double share) {
        const double l = relativeLuminance(mixed(colour, end, share));
        return towardsWhite ? l >= lightEnough : l <= darkEnough;
    };
    double low = 0.0, high = 1.0;
    for (int step = 0; step < 24; ++step) {
        const double middle = (low + high) / 2;
        (enough(middle) ? high : low) = middle;
    }
    return mixed(colour, end, high);
}
