// The scene shader's geometry on the real GL: sun, sphere animation, intersections, the letter
// wall and the shadow queries, each read back through a probe program that includes the scene's
// own GLSL parts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ShaderProbe.h"
#include "embedded/sceneFrameSource.h"
#include "embedded/sceneGeometrySource.h"
#include "embedded/sceneShadingSource.h"
#include "embedded/sceneSkyModelSource.h"
#include "embedded/sceneSkySource.h"
#include "support/GlTestContext.h"

namespace tw {
namespace {

using test::SceneTextures;
using test::ShaderProbe;
using test::Vec4;

// probeOutput selects what one pixel reports:
//   0 sun: (sunDirection, hourOfDay), both from the vertex stage
//   1 sphere: spheres[sphereIndex] as animated at `time`
//   2 trace: (hit position, identifier) of traceScene(origin, direction) among probeSpheres
//   3 distances: (sphereDistance to probeSpheres[0], scrollWallDistance, floorDistance, 0)
//   4 glyph: scrollGlyph(origin)
//   5 camera: identifier of the camera ray through this pixel, animated spheres
//   6 shadow: (sceneSoftShadow(origin, direction), sceneOcclusion(origin, direction), 0, 0)
//            among probeSpheres
const char* kProbeMain = R"glsl(
varying float probeHour;
uniform int probeOutput;
uniform int sphereIndex;
uniform vec3 origin;
uniform vec3 direction;
uniform vec4 probeSpheres[9];

void main() {
    readFrame();
    if (probeOutput == 0) {
        gl_FragColor = vec4(sunDirection, probeHour);
    } else if (probeOutput == 1) {
        gl_FragColor = spheres[sphereIndex];
    } else if (probeOutput == 5) {
        vec3 O;
        vec3 D;
        cameraRay(v, resolution.x / resolution.y, O, D);
        vec3 P;
        vec3 N;
        int id;
        traceScene(O, D, P, N, id);
        gl_FragColor = vec4(float(id));
    } else {
        for (int k = 0; k < SPHERE_COUNT; k++)
            spheres[k] = probeSpheres[k];
        vec3 D = normalize(direction);
        if (probeOutput == 2) {
            vec3 P;
            vec3 N;
            int id;
            traceScene(origin, D, P, N, id);
            gl_FragColor = vec4(P, float(id));
        } else if (probeOutput == 3) {
            gl_FragColor = vec4(sphereDistance(origin, D, spheres[0]),
                                scrollWallDistance(origin, D), floorDistance(origin, D), 0.);
        } else if (probeOutput == 4) {
            gl_FragColor = scrollGlyph(origin);
        } else {
            gl_FragColor = vec4(sceneSoftShadow(origin, D), sceneOcclusion(origin, D), 0., 0.);
        }
    }
}
)glsl";

// The scene's vertex stage, also handing on the hour it computed.
const char* kProbeVertexMain = R"glsl(
varying float probeHour;

void main() {
    setUpFrame();
    probeHour = hourOfDay;
}
)glsl";

struct Vec3 {
    double x, y, z;
};

// Nine spheres of radius 0 far above the scene: hit by nothing the tests aim.
using Spheres = std::array<Vec4, 9>;
Spheres farSpheres() {
    Spheres spheres;
    for (int k = 0; k < 9; ++k)
        spheres[k] = {100.f + 10.f * k, 100.f, 100.f, 0.f};
    return spheres;
}

class SceneGeometryTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        test::GlTestContext::ensure();
        probe = new ShaderProbe(
            {sceneSkyModelSource, sceneGeometrySource, sceneSkySource, sceneShadingSource,
             kProbeMain},
            joinShaderParts({sceneSkyModelSource, sceneFrameSource, kProbeVertexMain}));
    }
    static void TearDownTestSuite() {
        delete probe;
        probe = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(probe->built()); }

    static Vec4 query(int output, float time, Vec3 origin, Vec3 direction,
                      const Spheres& spheres = farSpheres(), const SceneTextures& textures = {}) {
        return probe->runOne(time, textures, [&](ShaderProgram& program) {
            program.setUniform1i("probeOutput", output);
            program.setUniform3f("origin", origin.x, origin.y, origin.z);
            program.setUniform3f("direction", direction.x, direction.y, direction.z);
            for (int k = 0; k < 9; ++k) {
                const std::string name = "probeSpheres[" + std::to_string(k) + "]";
                program.setUniform4f(name.c_str(), spheres[k][0], spheres[k][1], spheres[k][2],
                                     spheres[k][3]);
            }
        });
    }
    static Vec4 sphereAt(int k, float time) {
        return probe->runOne(time, {}, [&](ShaderProgram& program) {
            program.setUniform1i("probeOutput", 1);
            program.setUniform1i("sphereIndex", k);
        });
    }

    static ShaderProbe* probe;
};

ShaderProbe* SceneGeometryTest::probe = nullptr;

// The sun's direction at hour 5 (time 0) and at hour 10 (about 62.83 s).
TEST_F(SceneGeometryTest, SunDirectionAtHoursFiveAndTen) {
    const Vec4 dawn = query(0, 0.f, {}, {});
    EXPECT_NEAR(dawn[3], 5.f, 1e-5);
    EXPECT_NEAR(dawn[0], -0.054f, 2e-3);
    EXPECT_NEAR(dawn[1], 0.051f, 2e-3);
    EXPECT_NEAR(dawn[2], -0.997f, 2e-3);

    const Vec4 morning = query(0, 62.83f, {}, {});
    EXPECT_NEAR(morning[3], 10.f, 5e-4);
    EXPECT_NEAR(morning[0], 0.515f, 2e-3);
    EXPECT_NEAR(morning[1], 0.779f, 2e-3);
    EXPECT_NEAR(morning[2], -0.359f, 2e-3);
}

// The spheres have radius 0 until 5 s, then grow by 0.1 a second up to 0.35.
TEST_F(SceneGeometryTest, SphereRadiusGrowsFromFiveSeconds) {
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(sphereAt(k, 4.99f)[3], 0.f) << "sphere " << k;
        EXPECT_NEAR(sphereAt(k, 6.f)[3], 0.1f, 1e-5) << "sphere " << k;
        EXPECT_NEAR(sphereAt(k, 9.f)[3], 0.35f, 1e-6) << "sphere " << k;
    }
}

// Before 5 s no camera ray hits a sphere; once they have grown, some do.
TEST_F(SceneGeometryTest, CameraSeesNoSphereBeforeFiveSeconds) {
    auto spherePixels = [](float time) {
        const std::vector<float> ids = probe->run(160, 90, time, {}, [](ShaderProgram& program) {
            program.setUniform1i("probeOutput", 5);
        });
        int count = 0;
        for (size_t i = 0; i < ids.size(); i += 4)
            count += ids[i] >= 0.f ? 1 : 0;
        return count;
    };
    EXPECT_EQ(spherePixels(0.f), 0);
    EXPECT_EQ(spherePixels(4.9f), 0);
    EXPECT_GT(spherePixels(9.f), 50);
}

// The four formations in double precision, as the cycle shows them when a change is complete.
Vec3 formation(const std::string& name, int k, double t) {
    const double pi = 3.14159;
    const double g = k / 9.0;
    if (name == "ring")
        return {std::cos(g * pi * 2 + t * 2) * 2.5, .85 + .5 * std::cos(t * 3 + g * pi * 2),
                std::sin(g * pi * 2 + t * 2) * 2.5};
    if (name == "x-row")
        return {(g * 2 - 1) * 3.5, 1.05 + .7 * std::cos(t * 5 + g * pi * 2), 0};
    if (name == "grid")
        return {(k % 3) * 2.0 - 1.5, .3 + std::abs(std::cos((k / 3) * 2.0 + (k % 3) + t * 4)),
                (k / 3) * 2.0 - 1.5};
    return {0, std::pow(std::abs(std::sin(-t * 3 + g * pi)), 6) * 1.5 + .35, (g * 2 - 1) * 4};
}

// Each formation is complete at its time: z-row at 0 s, ring at 4 s, x-row at 16 s, grid at
// 24 s, z-row at 32 s and the ring again at 40 s.
TEST_F(SceneGeometryTest, FormationsCompleteOnTime) {
    const struct {
        float time;
        const char* name;
    } cases[] = {{0.f, "z-row"}, {4.f, "ring"},   {16.f, "x-row"},
                 {24.f, "grid"}, {32.f, "z-row"}, {40.f, "ring"}};
    for (const auto& c : cases) {
        for (int k = 0; k < 9; ++k) {
            const Vec4 seen = sphereAt(k, c.time);
            const Vec3 want = formation(c.name, k, c.time);
            EXPECT_NEAR(seen[0], want.x, 2e-4) << c.name << " at " << c.time << " s, sphere " << k;
            EXPECT_NEAR(seen[1], want.y, 2e-4) << c.name << " at " << c.time << " s, sphere " << k;
            EXPECT_NEAR(seen[2], want.z, 2e-4) << c.name << " at " << c.time << " s, sphere " << k;
        }
    }
}

// Two spheres at the same distance along a ray: the lower index is the hit; a strictly nearer
// sphere of higher index still wins.
TEST_F(SceneGeometryTest, EqualDistanceGoesToLowerIndex) {
    Spheres spheres = farSpheres();
    spheres[2] = {0.f, 3.f, -5.f, 1.f};
    spheres[6] = spheres[2];
    const Vec3 origin{0, 3, 0};
    const Vec3 ahead{0.01, 0.01, -1};
    Vec4 hit = query(2, 20.f, origin, ahead, spheres);
    EXPECT_EQ(hit[3], 2.f);
    EXPECT_NEAR(hit[2], -4.f, 0.02f);

    spheres[7] = {0.f, 3.f, -4.f, 1.f};
    hit = query(2, 20.f, origin, ahead, spheres);
    EXPECT_EQ(hit[3], 7.f);
}

// A ray whose origin lies inside a sphere does not hit it, but does hit a sphere beyond.
TEST_F(SceneGeometryTest, RayFromInsideSphereMissesIt) {
    Spheres spheres = farSpheres();
    spheres[3] = {0.f, 3.f, 0.f, 1.f};
    const Vec3 inside{0.2, 3.1, 0};
    const Vec3 ahead{0.01, 0.01, -1};
    EXPECT_LE(query(3, 20.f, inside, ahead, Spheres{spheres[3]})[0], 0.f);
    EXPECT_EQ(query(2, 20.f, inside, ahead, spheres)[3], -3.f);

    spheres[5] = {0.f, 3.f, -6.f, 1.f};
    EXPECT_EQ(query(2, 20.f, inside, ahead, spheres)[3], 5.f);
}

// Only the spheres shadow: a point under a sphere toward the light is dark, one in the open lit;
// a sphere of radius 0 occludes nothing.
TEST_F(SceneGeometryTest, SpheresShadowAndOcclude) {
    Spheres spheres = farSpheres();
    spheres[0] = {0.f, 2.f, 0.f, 0.5f};
    const Vec3 up{0, 1, 0};
    EXPECT_EQ(query(6, 20.f, {0, 0, 0}, up, spheres)[0], 0.f);
    EXPECT_EQ(query(6, 20.f, {5, 0, 0}, up, spheres)[0], 1.f);
    EXPECT_LT(query(6, 20.f, {0, 0, 0}, up, spheres)[1], 1.f);

    spheres[0][3] = 0.f;
    EXPECT_EQ(query(6, 20.f, {0, 0, 0}, up, spheres)[1], 1.f);
}

// Letter-wall tests use their own atlas: every cell of the 16 x 6 font is flat, cell c at value
// (c + 1) / 128, so a glyph read tells which cell it came from; the scroll texel of message
// character i points at cell i mod 96.
class ScrollWallTest : public SceneGeometryTest {
  protected:
    void SetUp() override {
        SceneGeometryTest::SetUp();
        std::vector<float> atlas;
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 144; ++x) {
                const int cell = ((59 - y) / 10) * 16 + x / 9;
                const float value = (cell + 1) / 128.f;
                atlas.insert(atlas.end(), {value, value, value, 1.f});
            }
        }
        cellAtlas = test::makeTexture2D(144, 60, atlas);
        solidAtlas = test::makeUniformTexture(1.f, 1.f, 1.f, 1.f);
        emptyAtlas = test::makeUniformTexture(0.f, 0.f, 0.f, 1.f);
        std::vector<float> message;
        for (int i = 0; i < 639; ++i) {
            const int cell = i % 96;
            message.insert(message.end(),
                           {(cell % 16) * 0.0625f, 1.f - (cell / 16) * 0.16666667f, 0.f});
        }
        scroll = test::makeTexture1D(639, message);
    }
    void TearDown() override {
        for (GLuint texture : {cellAtlas, solidAtlas, emptyAtlas, scroll})
            test::deleteTexture(texture);
    }
    SceneTextures withFont(GLuint font) const {
        SceneTextures textures;
        textures.font = font;
        textures.scroll = scroll;
        return textures;
    }
    // The atlas cell whose glyph shows at wall point (-5, y, z).
    int cellAt(float time, double y, double z) {
        const Vec4 glyph = query(4, time, {-5, y, z}, {1, 0, 0}, farSpheres(), withFont(cellAtlas));
        return static_cast<int>(std::lround(std::pow(glyph[0], 1 / 2.2) * 128)) - 1;
    }

    GLuint cellAtlas = 0;
    GLuint solidAtlas = 0;
    GLuint emptyAtlas = 0;
    GLuint scroll = 0;
};

// At time 0 the cell z -1.25..0 (n = 1) and the cell z 0..1.25 (n = 0) both show message
// character 0, the cell z 1.25..2.5 (n = -1) shows character 638, and n = 2 shows character 1.
TEST_F(ScrollWallTest, CellsMapToMessageCharactersAtTimeZero) {
    EXPECT_EQ(cellAt(0.f, 1.0, -0.625), 0);
    EXPECT_EQ(cellAt(0.f, 1.0, 0.625), 0);
    EXPECT_EQ(cellAt(0.f, 1.0, 1.875), 638 % 96);
    EXPECT_EQ(cellAt(0.f, 1.0, -1.875), 1);
}

// The letters advance toward +z by one cell (1.25 units) every 2/7 s.
TEST_F(ScrollWallTest, LettersMoveTowardPositiveZ) {
    EXPECT_EQ(cellAt(2.f / 7.f, 1.0, -0.625 + 1.25), 0);
    EXPECT_EQ(cellAt(2.f / 7.f, 1.0, -1.875 + 1.25), 1);
    EXPECT_EQ(cellAt(2.f / 7.f, 1.0, -3.125 + 1.25), 2);
}

// Letters stand only between y 0.5 and 1.5, both edges solid; elsewhere, and between strokes,
// the ray passes the wall's plane.
TEST_F(ScrollWallTest, LetterBandSpansHalfToOneAndAHalf) {
    const Vec3 west{-1, 0, 0};
    auto wall = [&](double y, GLuint font) {
        return query(3, 0.f, {0, y, 0.3}, west, farSpheres(), withFont(font))[1];
    };
    EXPECT_EQ(wall(0.49, solidAtlas), -1.f);
    EXPECT_EQ(wall(0.5, solidAtlas), 5.f);
    EXPECT_EQ(wall(1.0, solidAtlas), 5.f);
    EXPECT_EQ(wall(1.5, solidAtlas), 5.f);
    EXPECT_EQ(wall(1.51, solidAtlas), -1.f);
    EXPECT_EQ(wall(1.0, emptyAtlas), -1.f);
}

// A ray crossing the wall's plane between strokes goes on to the floor beyond it; through a
// stroke it stops at the wall.
TEST_F(ScrollWallTest, RayBetweenStrokesReachesFloorBeyond) {
    const Vec3 origin{0, 1.5, 0.3};
    const Vec3 down{-1, -0.1, 0};
    const Vec4 throughGap = query(2, 0.f, origin, down, farSpheres(), withFont(emptyAtlas));
    EXPECT_EQ(throughGap[3], -1.f);
    EXPECT_NEAR(throughGap[0], -15.f, 1e-3);
    const Vec4 onStroke = query(2, 0.f, origin, down, farSpheres(), withFont(solidAtlas));
    EXPECT_EQ(onStroke[3], -2.f);
    EXPECT_NEAR(onStroke[0], -5.f, 1e-4);
}

// A solid letter in front of a sphere hides it.
TEST_F(ScrollWallTest, LetterInFrontOfSphereWins) {
    Spheres spheres = farSpheres();
    spheres[4] = {-7.f, 1.f, 0.3f, 1.f};
    const Vec3 origin{0, 1, 0.3};
    const Vec3 west{-1, 0, 0};
    EXPECT_EQ(query(2, 0.f, origin, west, spheres, withFont(solidAtlas))[3], -2.f);
    EXPECT_EQ(query(2, 0.f, origin, west, spheres, withFont(emptyAtlas))[3], 4.f);
}

}  // namespace
}  // namespace tw
