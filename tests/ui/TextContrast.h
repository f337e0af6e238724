#pragma once

#include <QImage>
#include <QRect>

class QWidget;

// The WCAG contrast ratio (1 to 21) between the text painted in area of image and its background:
// the background is the area's most frequent colour, the text the pixel that differs most from it.
double paintedTextContrast(const QImage& image, const QRect& area);
// The area of part (a child of window) in window's grab, or of subArea within part when given.
QRect areaInWindow(const QWidget& window, const QWidget& part, const QRect& subArea = {});
