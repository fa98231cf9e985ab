#pragma once
// Plane geometry of the model: +y is heading 0 (north), +x a quarter turn clockwise (east).
namespace wb {

constexpr double kPi = 3.14159265358979;
constexpr double kEarthDiameter = 12734620;  // metres

struct Polygon {
    short count = 0;       // points in use, 1 .. 10
    double x[11] = {};     // points use indices 1 .. count
    double y[11] = {};
    double centre_x = 0, centre_y = 0;
};

void to_polar(double dx, double dy, double& distance, double& angle);
void from_polar(double distance, double angle, double& dx, double& dy);
void polygon_centre(Polygon& p);
void sort_polygon_by_angle(Polygon& p);

}  // namespace wb
