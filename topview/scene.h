#pragma once
// What the Top View shows, read from the open source pair: every triangle of the object file
// with its material, the materials' colours and states, and the objects that Process generated
// since Open, at the positions their code places them. Model units: x east, z north.
#include <string>
#include <vector>

#include "canvas.h"
#include "workbench/source_pair.h"

namespace topview {

struct Point {
    double x = 0, z = 0;
};

struct SceneMaterial {
    long number = 0;     // zero-based position in the material list
    Rgb colour;          // its own colour
    int row = 0;         // row of the material table (highlighted), 0 when not highlighted
    bool processed = false;
};

struct SceneTriangle {
    Point p[3];
    double height = 0;  // mean y: higher triangles are drawn over lower ones
    int material = -1;  // index in Scene::materials, -1 for a material number outside the list
};

// One generated object.
struct SceneObject {
    enum Kind { Light, Effect, Library, Windsock, Ground, Landing, Lake, Decal } kind = Light;
    Point at;                   // where it stands (the first point of a shape)
    std::string type;           // lights: the light type
    std::vector<Point> points;  // ground rectangle, landing polygon, lake/decal outline in outline order
    std::vector<bool> outside;  // lake/decal: the point is outside the reference LOD13 quad
    std::vector<std::vector<Point>> quads;  // lake/decal: the LOD13 quads of its points (4 corners each)
};

struct Scene {
    bool open = false;
    std::vector<SceneMaterial> materials;  // in material-list order
    std::vector<SceneTriangle> triangles;  // in drawing order (lowest first)
    std::vector<SceneObject> objects;
    Point low, high;              // extent of the triangles (and objects)
    double metres_per_unit = 1;   // the model's scale (1 without a placement line)
    double heading_degrees = 0;   // the placement's heading
    bool placed = false;          // a placement line gives the position below
    double latitude = 0, longitude = 0;
    int highlighted = 0, processed = 0;

    // The material index of table row `row`, -1 when none.
    int material_of_row(int row) const;
    double width_metres() const { return (high.x - low.x) * metres_per_unit; }
    double depth_metres() const { return (high.z - low.z) * metres_per_unit; }
};

// What the summary and the picture say while no model is open.
inline constexpr const char* kNoModelOpen = "No model is open: open one in the main window.";

// Reads the scene of an open pair (an empty scene, open false, when no lines are loaded).
Scene build_scene(const wb::SourcePair& pair);

// "13 materials, 10 highlighted, 3 processed; 2 lights, 1 effect; 62.0 x 41.5 m"
std::string summary(const Scene& s);

}  // namespace topview
