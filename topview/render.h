#pragma once
// Drawing the scene from above into an RGB picture, and the view that maps model units to
// pixels: Fit, zoom about a pixel, pan, and the triangle under a pixel.
#include "canvas.h"
#include "scene.h"

namespace topview {

struct View {
    int width = 800, height = 600;  // pixels
    double centre_x = 0, centre_z = 0;  // model point at the picture's centre
    double pixels_per_unit = 1;

    double px(double x) const { return width / 2.0 + (x - centre_x) * pixels_per_unit; }
    double py(double z) const { return height / 2.0 - (z - centre_z) * pixels_per_unit; }
    Point model_at(double pixel_x, double pixel_y) const {
        return {centre_x + (pixel_x - width / 2.0) / pixels_per_unit, centre_z - (pixel_y - height / 2.0) / pixels_per_unit};
    }
    // Shows the whole extent with a margin.
    void fit(const Scene& s);
    // Zooms by factor keeping the model point under the pixel where it is.
    void zoom_at(double pixel_x, double pixel_y, double factor);
    void pan(double dx_pixels, double dy_pixels);
};

// How a picture is drawn: the material picked in the main window (its index in
// Scene::materials, -1 for none).
struct DrawOptions {
    int picked = -1;
};

// The colours a user reads off the picture (also used by the tests).
Rgb fill_colour(const SceneMaterial& m);
Rgb light_colour(const std::string& type);
inline constexpr Rgb kBackground{236, 238, 232};

void render(const Scene& s, const View& v, const DrawOptions& o, ui::Raster& out);

// The material index of the topmost triangle under a pixel, -1 for none.
int hit_test(const Scene& s, const View& v, double pixel_x, double pixel_y);

}  // namespace topview
