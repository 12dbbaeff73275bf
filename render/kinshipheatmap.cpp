#include "render/kinshipheatmap.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace rvk {

Rgb kinshipColour(double value, double low, double high)
{
    if (!(high > low))
        return rgb(255, 255, 255);
    const double middle = (low + high) / 2.0;
    if (value >= middle) {
        const double t = std::clamp((value - middle) / (high - middle), 0.0, 1.0);
        const int fade = static_cast<int>(std::lround(255 * (1.0 - t)));
        return rgb(255, fade, fade);
    }
    const double t = std::clamp((middle - value) / (middle - low), 0.0, 1.0);
    const int fade = static_cast<int>(std::lround(255 * (1.0 - t)));
    return rgb(fade, fade, 255);
}

QImage renderKinshipHeatMap(const KinshipHeatMapInput &input)
{
    const int n = input.size;
    if (n <= 0 || !input.values)
        return {};
    std::vector<int> order = input.order;
    if (static_cast<int>(order.size()) != n) {
        order.resize(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            order[static_cast<size_t>(i)] = i;
    }
    double low = 0.0, high = 0.0;
    for (size_t k = 0; k < static_cast<size_t>(n) * static_cast<size_t>(n); ++k) {
        low = std::min(low, input.values[k]);
        high = std::max(high, input.values[k]);
    }
    if (input.centred) {
        const double extent = std::max(std::abs(low), std::abs(high));
        low = -extent;
        high = extent;
    } else {
        low = std::min(low, high);
        for (size_t k = 0; k < static_cast<size_t>(n) * static_cast<size_t>(n); ++k)
            low = std::min(low, input.values[k]);
    }
    const int side = std::max(1, std::min(n, input.side));
    // Individuals of each pixel row and column.
    std::vector<int> first(static_cast<size_t>(side) + 1);
    for (int p = 0; p <= side; ++p)
        first[static_cast<size_t>(p)] = static_cast<int>(static_cast<long long>(p) * n / side);
    QImage image(side, side, QImage::Format_RGB32);
    for (int py = 0; py < side; ++py)
        for (int px = 0; px < side; ++px) {
            double sum = 0.0;
            int count = 0;
            for (int a = first[static_cast<size_t>(py)]; a < first[static_cast<size_t>(py) + 1]; ++a)
                for (int b = first[static_cast<size_t>(px)]; b < first[static_cast<size_t>(px) + 1]; ++b) {
                    sum += input.values[static_cast<size_t>(order[static_cast<size_t>(a)]) * static_cast<size_t>(n)
                                        + static_cast<size_t>(order[static_cast<size_t>(b)])];
                    ++count;
                }
            const Rgb colour = kinshipColour(count ? sum / count : 0.0, low, high);
            image.setPixel(px, py, qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
        }
    return image;
}

} // namespace rvk
