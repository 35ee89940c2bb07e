#include "win32/common/scaled_bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Pixels as four channels of premultiplied colour and alpha, rows from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<float> values;
    float* at(int x, int y) { return &values[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

// A bitmap resource: its header and bits, bottom row first for a positive height.
Pixels readBitmap(HINSTANCE instance, int id) {
    Pixels pixels;
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2)); // RT_BITMAP
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* header =
        loaded ? static_cast<const BITMAPINFOHEADER*>(LockResource(loaded)) : nullptr;
    if (!header || header->biCompression != BI_RGB ||
        (header->biBitCount != 24 && header->biBitCount != 32))
        return pixels;
    const int bytes = header->biBitCount / 8;
    pixels.width = header->biWidth;
    pixels.height = std::abs(header->biHeight);
    const auto* bits = reinterpret_cast<const BYTE*>(header) + header->biSize;
    const std::size_t stride =
        (static_cast<std::size_t>(pixels.width) * bytes + 3) & ~std::size_t(3);
    pixels.values.resize(static_cast<std::size_t>(pixels.width) * pixels.height * 4);
    for (int y = 0; y < pixels.height; ++y) {
        const BYTE* row = bits + stride * (header->biHeight > 0 ? pixels.height - 1 - y : y);
        for (int x = 0; x < pixels.width; ++x) {
            const BYTE* p = row + x * bytes;
            const float alpha = bytes == 4 ? p[3] / 255.0f : 1.0f;
            float* out = pixels.at(x, y);
            out[0] = p[0] * alpha;
            out[1] = p[1] * alpha;
            out[2] = p[2] * alpha;
            out[3] = alpha;
        }
    }
    return pixels;
}

// Which source pixels make each of the to pixels of a line of from pixels, and by how much: the
// area each covers when shrinking, the two nearest blended when growing.
struct Tap {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Tap> tapsFor(int from, int to) {
    std::vector<Tap> taps(static_cast<std::size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        Tap& tap = taps[static_cast<std::size_t>(i)];
        if (scale >= 1.0) {
            const double begin = i * scale;
            const double end = (i + 1) * scale;
            tap.first = static_cast<int>(begin);
            for (int j = tap.first; j < std::min(from, static_cast<int>(std::ceil(end))); ++j)
                tap.weights.push_back(static_cast<float>(
                    (std::min(end, j + 1.0) - std::max(begin, 1.0 * j)) / scale));
        } else {
            const double centre = (i + 0.5) * scale - 0.5;
            const int left = static_cast<int>(std::floor(centre));
            const float share = static_cast<float>(centre - left);
            tap.first = std::clamp(left, 0, from - 1);
            if (left < 0 || left + 1 >= from)
                tap.weights = {1.0f};
            else
                tap.weights = {1.0f - share, share};
        }
    }
    return taps;
}

Pixels scaled(Pixels& source, int width, int height) {
    if (source.width == width && source.height == height) return std::move(source);
    // Across, then down.
    Pixels across{width, source.height, {}};
    across.values.assign(static_cast<std::size_t>(width) * source.height * 4, 0.0f);
    const std::vector<Tap> columns = tapsFor(source.width, width);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < width; ++x) {
            const Tap& tap = columns[static_cast<std::size_t>(x)];
            float* out = across.at(x, y);
            for (std::size_t k = 0; k < tap.weights.size(); ++k) {
                const float* in = source.at(tap.first + static_cast<int>(k), y);
                for (int c = 0; c < 4; ++c)
                    out[c] += in[c] * tap.weights[k];
            }
        }
    Pixels result{width, height, {}};
    result.values.assign(static_cast<std::size_t>(width) * height * 4, 0.0f);
    const std::vector<Tap> rows = tapsFor(source.height, height);
    for (int y = 0; y < height; ++y) {
        const Tap& tap = rows[static_cast<std::size_t>(y)];
        for (std::size_t k = 0; k < tap.weights.size(); ++k)
            for (int x = 0; x < width; ++x) {
                const float* in = across.at(x, tap.first + static_cast<int>(k));
                float* out = result.at(x, y);
                for (int c = 0; c < 4; ++c)
                    out[c] += in[c] * tap.weights[k];
            }
    }
    return result;
}

} // namespace

ScaledBitmap loadScaledBitmap(HINSTANCE instance, int normalId, int doubledId, int dpi,
                              COLORREF ground) {
    ScaledBitmap picture;
    Pixels normal = readBitmap(instance, normalId);
    if (normal.values.empty()) return picture;
    const int width = MulDiv(normal.width, dpi, 96);
    const int height = MulDiv(normal.height, dpi, 96);
    // The doubled drawing is read only for a screen that needs more than the normal one.
    Pixels doubled = dpi > 96 && doubledId ? readBitmap(instance, doubledId) : Pixels{};
    Pixels pixels = scaled(doubled.values.empty() ? normal : doubled, width, height);

    // 24 bits, opaque: a control of visual styles draws a 32-bit picture with its alpha.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    picture.bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture.bitmap) return picture;
    const float under[3] = {static_cast<float>(GetBValue(ground)),
                            static_cast<float>(GetGValue(ground)),
                            static_cast<float>(GetRValue(ground))};
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
    for (int y = 0; y < height; ++y) {
        BYTE* row = static_cast<BYTE*>(bits) + stride * y;
        for (int x = 0; x < width; ++x) {
            const float* p = pixels.at(x, y);
            for (int c = 0; c < 3; ++c)
                row[x * 3 + c] = static_cast<BYTE>(
                    std::clamp(p[c] + (1.0f - p[3]) * under[c] + 0.5f, 0.0f, 255.0f));
        }
    }
    picture.size = {width, height};
    return picture;
}

void drawScaledBitmap(HDC dc, const ScaledBitmap& picture, int x, int y, int width) {
    if (!picture.bitmap) return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture.bitmap.get());
    const int art = std::min(width, static_cast<int>(picture.size.cx));
    BitBlt(dc, x, y, art, picture.size.cy, memory, 0, 0, SRCCOPY);
    if (art < width)
        StretchBlt(dc, x + art, y, width - art, picture.size.cy, memory, picture.size.cx - 1, 0, 1,
                   picture.size.cy, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}
