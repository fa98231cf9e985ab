#include "geometry.h"

#include <cmath>
#include <utility>

namespace wb {

void to_polar(double dx, double dy, double& distance, double& angle) {
    distance = std::sqrt(dx * dx + dy * dy);
    if (dy != 0) {
        angle = std::atan(dx / dy);
        if (dy < 0) angle += 3.14159265358979;
        else if (dx < 0) angle += 6.28318530717958;
    } else {
        angle = dx >= 0 ? 1.570796326794895 : 4.712388980384685;
    }
}

void from_polar(double distance, double angle, double& dx, double& dy) {
    dx = distance * std::sin(angle);
    dy = distance * std::cos(angle);
}

void polygon_centre(Polygon& p) {
    double min_x = 16383, min_y = 16383, max_x = -16383, max_y = -16383;
    for (int i = 1; i <= p.count && i <= 10; ++i) {
        if (p.x[i] < min_x) min_x = p.x[i];
        if (p.x[i] > max_x) max_x = p.x[i];
        if (p.y[i] < min_y) min_y = p.y[i];
        if (p.y[i] > max_y) max_y = p.y[i];
    }
    p.centre_x = min_x + (max_x - min_x) / 2;
    p.centre_y = min_y + (max_y - min_y) / 2;
}

void sort_polygon_by_angle(Polygon& p) {
    int n = p.count < 0 ? 0 : (p.count > 10 ? 10 : p.count);
    std::pair<double, int> a[11];
    for (int i = 1; i <= n; ++i) {
        double d;
        to_polar(p.x[i] - p.centre_x, p.y[i] - p.centre_y, d, a[i].first);
        a[i].second = i;
    }
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 1; i < n; ++i)
            if (a[i].first > a[i + 1].first) {
                std::swap(a[i], a[i + 1]);
                swapped = true;
            }
    }
    Polygon copy = p;
    for (int i = 1; i <= n; ++i) {
        p.x[i] = copy.x[a[i].second];
        p.y[i] = copy.y[a[i].second];
    }
}

}  // namespace wb
