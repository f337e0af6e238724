#include "TextContrast.h"

#include <algorithm>
#include <cmath>
#include <map>

#include <QColor>
#include <QWidget>

namespace {

double channel(int value) {
    const double v = value / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double luminance(QRgb rgb) {
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) +
           0.0722 * channel(qBlue(rgb));
}

double contrast(QRgb a, QRgb b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

double paintedTextContrast(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) & RGB_MASK];
    if (counts.empty())
        return 1;
    const QRgb background =
        std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
            return a.second < b.second;
        })->first;
    double most = 1;
    for (const auto& [rgb, count] : counts)
        most = std::max(most, contrast(rgb, background));
    return most;
}

QRect areaInWindow(const QWidget& window, const QWidget& part, const QRect& subArea) {
    const QRect inPart = subArea.isNull() ? part.rect() : subArea;
    return QRect(part.mapTo(&window, inPart.topLeft()), inPart.size());
}
