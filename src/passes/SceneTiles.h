// Which of the scene's programs draws each 16 x 16-pixel tile of the scene target. The camera never
// moves, so whether a tile's camera rays can only see the sky, can only meet the floor, or may meet
// the letter wall is known once per size; each frame the spheres and the logo then move tiles to
// the programs that can draw them, and the sun and the spheres decide which floor tiles the
// spheres' shadows may reach. A tile is given a cheaper program only where that program
// computes exactly what the full one would: every test errs toward the full scene program.
//
// layOut(width, height) once per size (bounds over blocks of pixels, not each pixel: under 2 ms at
// 3840x2160), then classify(time, ready) once per frame; classes() has one class per tile, row by
// row from the bottom-left, and boxes() the rectangles of pixels that each class covers. Pure CPU
// work, no GL.
#pragma once

#include <cstdint>
#include <vector>

namespace tw {

class SceneTiles {
  public:
    // The scene program specialised for each class: ScenePass.cpp's defines for each, given to
    // sceneFragmentSource().
    // kFloorNoShadow: floor tiles where no sphere's soft shadow falls, or not yet any sunlight.
    enum Class : uint8_t {
        kSky,
        kFloor,
        kFloorNoShadow,
        kGeneral,
        kSkyLogo,
        kGeneralLogo,
        kClassCount
    };
    static constexpr int kTileSize = 16;

    // Lower-left corner and size in pixels; empty when no tile has the class.
    struct Box {
        int x = 0, y = 0, width = 0, height = 0;
    };

    // A bit per class, 1 << class: the classes whose program is ready to draw.
    static constexpr unsigned kAllClasses = (1u << kClassCount) - 1;

    // What a tile's camera rays can meet, and a cone around them from the camera.
    struct Tile {
        Class fixed;     // kSky, kFloor or kGeneral, the spheres left out
        bool logo;       // overlaps the logo's area
        bool clearLogo;  // the logo's texture is clear (alpha 0) wherever the tile's pixels read it
        float axis[3];   // unit direction of the cone's axis
        float cosHalf;   // cosine and sine of the angle from the axis to its farthest ray
        float sinHalf;
        // kFloor tiles only: the floor points that the rays meet lie within floorReach of
        // (floorCentre[0], 0, floorCentre[1]).
        float floorCentre[2];
        float floorReach;
    };

    // The camera ray through the centre of pixel (x, y) of a target of the given size (the
    // shader's cameraRay()), and what it can meet, the spheres left out.
    static void pixelRay(int x, int y, int width, int height, float ray[3]);
    static Class rayClass(const float ray[3]);

    // How much larger than its radius a sphere counts at `time`: the GL's sphere paths, above all
    // its sin and cos at late times, differ from the classifier's by less.
    static float sphereMargin(float time);
    // Whether the spheres' soft shadow (the shader's sceneSoftShadow()) is 1 at every floor point
    // of kFloor tile `tile`, for unit vector `sun` toward the sun and the spheres' centres and
    // radii, each centre as the GL has it within `margin`.
    static bool shadowFree(const Tile& tile, const float sun[3], const float (*spheres)[4],
                           float margin);

    void layOut(int width, int height);
    // A tile whose class is not in `built` goes to kGeneralLogo, the full scene program's class,
    // which draws any tile; that class must be built.
    void classify(float time, unsigned built = kAllClasses);

    int columns() const { return tileColumns; }
    int rows() const { return tileRows; }
    const std::vector<uint8_t>& classes() const { return frameClasses; }
    // Rectangles that together cover exactly the tiles of class c, none overlapping: runs of a
    // row's tiles, each joined with the run below where both span the same columns.
    const std::vector<Box>& boxes(Class c) const { return classBoxes[c]; }
    // The part of `box`, one of boxes(c), whose pixels are more than `margin` (at most kTileSize)
    // pixels from any tile of another class: each side moved in by `margin` where a tile just
    // beyond it, corners included, has another class; a side on the target's border stays.
    // Empty (zero width or height) where nothing is left.
    Box interior(Class c, const Box& box, int margin) const;
    // Row by row from the bottom-left, as classes().
    const Tile& tile(int i) const { return tiles[i]; }

  private:
    int width = 0;
    int height = 0;
    int tileColumns = 0;
    int tileRows = 0;
    std::vector<Tile> tiles;
    // Per block of kLogoBlock x kLogoBlock texels of the logo's level 0, whether any is not clear;
    // made at the first layOut().
    static constexpr int kLogoBlock = 8;
    std::vector<uint8_t> logoBlocks;
    int logoBlockColumns = 0;
    int logoBlockRows = 0;
    bool clearInLogo(double x0, double x1, double y0, double y1) const;
    std::vector<uint8_t> frameClasses;
    std::vector<Box> classBoxes[kClassCount];
};

}  // namespace tw
