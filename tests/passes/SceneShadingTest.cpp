// The scene shader's lighting on the real GL: the sky against a double-precision model, fog,
// the sunlight ramp and the logo's dissolve, through probes that include the scene's GLSL parts.
#include <gtest/gtest.h>

#include <cmath>

#include "ShaderProbe.h"
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

// probeOutput selects what a pixel reports:
//   0 sky: skyColor(direction), or toward the sun itself when towardSun is 1
//   1 hit: shadeHit of a hit `distance` along direction with the given normal and identifier,
//          spheres out of the way; towardSun 1 or -1 replaces the normal by +-sunDirection
//   2 picture: (pictureColour(), camera identifier), with sphere 0 moved in front of the logo
const char* kProbeMain = R"glsl(
uniform int probeOutput;
uniform int towardSun;
uniform int hitId;
uniform vec3 origin;
uniform vec3 direction;
uniform vec3 normal;
uniform float distance;

void main() {
    readFrame();
    if (probeOutput == 0) {
        vec3 R = normalize(direction);
        if (towardSun == 1) {
            skyColor(vec3(0.), R);
            R = sunDirection;
        }
        gl_FragColor = vec4(skyColor(vec3(0.), R), 1.);
    } else if (probeOutput == 1) {
        for (int k = 0; k < SPHERE_COUNT; k++)
            spheres[k] = vec4(100. + 10. * float(k), 100., 100., 0.);
        vec3 D = normalize(direction);
        vec3 N = normal;
        if (towardSun != 0)
            N = float(towardSun) * sunDirection;
        gl_FragColor =
            vec4(shadeHit(origin, D, origin + D * distance, N, hitId, skyColor(origin, D)), 1.);
    } else {
        float aspect = resolution.x / resolution.y;
        vec3 O;
        vec3 D;
        cameraRay(vec2(0., .6), aspect, O, D);
        spheres[0] = vec4(O + D * 4., .5);
        cameraRay(v, aspect, O, D);
        vec3 P;
        vec3 N;
        int id;
        traceScene(O, D, P, N, id);
        gl_FragColor = vec4(pictureColour(), float(id));
    }
}
)glsl";

struct Vec3 {
    double x, y, z;
};

double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 normalized(Vec3 a) {
    const double length = std::sqrt(dot(a, a));
    return {a.x / length, a.y / length, a.z / length};
}

// The analytic daylight sky in double precision, for a noise texture that reads `noise`
// everywhere. Also gives the sun's direction.
Vec3 skyModel(Vec3 R, double time, double noise, Vec3* sunOut = nullptr) {
    const double pi = 3.14159, T = 2.2;
    R.y = std::max(R.y, .0001);
    const double hour = 10 - std::abs(std::cos(time * .025)) * 5;
    const double declination = .4093 * std::sin(2 * pi * (240. - 81.) / 368.);
    const double latitude = 43.17 * pi / 180;
    const double H = pi * hour / 12;
    double thetaS = pi / 2 - std::asin(std::sin(latitude) * std::sin(declination) -
                                       std::cos(latitude) * std::cos(declination) * std::cos(H));
    thetaS = std::clamp(thetaS, 0.0, 1.62);
    const double phiS = std::atan2(-std::cos(declination) * std::sin(H),
                                   std::cos(latitude) * std::sin(declination) -
                                       std::sin(latitude) * std::cos(declination) * std::cos(H));
    const Vec3 sun = normalized({std::sin(thetaS) * std::cos(phiS), std::cos(thetaS) + .1,
                                 std::sin(thetaS) * std::sin(phiS)});
    if (sunOut != nullptr)
        *sunOut = sun;

    const double a[3] = {-.0193 * T - .2592, -.0167 * T - .2608, .1787 * T - 1.463};
    const double b[3] = {-.0665 * T + .0008, -.095 * T + .0092, -.3554 * T + .4275};
    const double c[3] = {-.0004 * T + .2125, -.0079 * T + .2102, -.227 * T + 5.3251};
    const double d[3] = {-.0641 * T - .8989, -.0441 * T - 1.6537, .1206 * T - 2.5771};
    const double e[3] = {-.0033 * T + .0452, -.0109 * T + .0529, -.067 * T + .3703};
    const double s = thetaS, s2 = s * s, s3 = s2 * s;
    const double zenith[3] = {
        T * T * (.00166 * s3 - .00375 * s2 + .00209 * s) +
            T * (-.02903 * s3 + .06377 * s2 - .03202 * s + .00394) +
            (.11693 * s3 - .21196 * s2 + .06052 * s + .25886),
        T * T * (.00275 * s3 - .0061 * s2 + .00317 * s) +
            T * (-.04214 * s3 + .0897 * s2 - .04153 * s + .00516) +
            (.15346 * s3 - .26756 * s2 + .0667 * s + .26688),
        (4.0453 * T - 4.971) * std::tan((4. / 9. - T / 120) * (pi - 2 * thetaS)) - .2155 * T +
            2.4192};
    const double cosGamma = dot(sun, R);
    const double gamma = std::acos(std::clamp(cosGamma, -1.0, 1.0));
    double xyY[3];
    for (int i = 0; i < 3; ++i) {
        const double F = (1 + a[i] * std::exp(b[i] / R.y)) *
                         (1 + c[i] * std::exp(d[i] * gamma) + e[i] * cosGamma * cosGamma);
        const double F0 =
            (1 + a[i] * std::exp(b[i])) *
            (1 + c[i] * std::exp(d[i] * thetaS) + e[i] * std::cos(thetaS) * std::cos(thetaS));
        xyY[i] = F / F0 * zenith[i];
    }
    const double Y = 1 - std::exp(-.05 * xyY[2]);
    const double X = xyY[0] / xyY[1] * Y;
    const double Z = (1 - xyY[0] - xyY[1]) / xyY[1] * Y;
    double rgb[3] = {3.24048 * X - 1.53715 * Y - .498535 * Z,
                     -.969256 * X + 1.87599 * Y + .041556 * Z,
                     .055648 * X - .204043 * Y + 1.05731 * Z};
    const double disc = std::pow(std::max(dot(R, sun), 0.0), 1000) * .5;
    const double h = std::clamp(std::pow(R.y, 4) * 300, 0.0, 1.0);
    const double tint[3] = {1, .7, .6};
    for (int i = 0; i < 3; ++i) {
        rgb[i] += disc;
        rgb[i] += tint[i] * (std::pow(noise, 4) * 4 - .1) * .1 * h;
        rgb[i] += (std::pow(noise, 8) * 10 - .2) * .05 * h;
        rgb[i] = std::pow(std::clamp(rgb[i], 0.0, 1.0), 2.2);
    }
    return {rgb[0], rgb[1], rgb[2]};
}

class SceneShadingTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        test::GlTestContext::ensure();
        probe = new ShaderProbe({sceneSkyModelSource, sceneGeometrySource, sceneSkySource,
                                 sceneShadingSource, kProbeMain});
    }
    static void TearDownTestSuite() {
        delete probe;
        probe = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(probe->built());
        textures.fbm = test::makeUniformTexture(kNoise, kNoise, kNoise, 1.f);
        textures.checker = test::makeUniformTexture(1.f, 1.f, 1.f, 1.f);
    }
    void TearDown() override {
        test::deleteTexture(textures.fbm);
        test::deleteTexture(textures.checker);
    }

    Vec4 sky(float time, Vec3 direction, bool towardSun = false) {
        return probe->runOne(time, textures, [&](ShaderProgram& program) {
            program.setUniform1i("probeOutput", 0);
            program.setUniform1i("towardSun", towardSun ? 1 : 0);
            program.setUniform3f("direction", direction.x, direction.y, direction.z);
        });
    }
    Vec4 hit(float time, double distance, int id, int towardSun = 0) {
        return probe->runOne(time, textures, [&](ShaderProgram& program) {
            program.setUniform1i("probeOutput", 1);
            program.setUniform1i("towardSun", towardSun);
            program.setUniform1i("hitId", id);
            program.setUniform3f("origin", 2.f, 1.f, 3.f);
            program.setUniform3f("direction", -0.3f, -0.2f, -1.f);
            program.setUniform3f("normal", 1.f, 0.f, 0.f);
            program.setUniform1f("distance", static_cast<float>(distance));
        });
    }

    // High enough that both cloud layers brighten the sky visibly.
    static constexpr float kNoise = 0.9f;
    static ShaderProbe* probe;
    SceneTextures textures;
};

ShaderProbe* SceneShadingTest::probe = nullptr;

// The sky matches the double-precision model within 2e-3 (linear colour, single-precision
// rounding) for directions up, sideways, toward and away from the sun, at and below the horizon.
TEST_F(SceneShadingTest, SkyMatchesDoublePrecisionModel) {
    const Vec3 directions[] = {{0, 1, 0}, {0.6, 0.5, -0.6}, {-0.2, 0.1, -1}, {0.3, 0.2, 1},
                               {1, 0, 0}, {0.3, -0.5, 0.8}, {0.1, 0.02, -1}};
    for (float time : {0.f, 30.f, 62.83f, 100.f}) {
        for (const Vec3& direction : directions) {
            const Vec4 seen = sky(time, direction);
            const Vec3 want = skyModel(normalized(direction), time, kNoise);
            const double wanted[3] = {want.x, want.y, want.z};
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(seen[c], wanted[c], 2e-3)
                    << "channel " << c << " at " << time << " s toward (" << direction.x << ", "
                    << direction.y << ", " << direction.z << ")";
        }
    }
}

// Looking straight at the sun gives the sun's own finite colour, not the NaN of acos past 1.
TEST_F(SceneShadingTest, SkyStraightAtSunIsFinite) {
    for (float time : {0.f, 20.f, 62.83f}) {
        Vec3 sun{};
        skyModel({0, 1, 0}, time, kNoise, &sun);
        const Vec3 atSun = skyModel(sun, time, kNoise);
        const Vec4 seen = sky(time, {0, 1, 0}, true);
        const double wanted[3] = {atSun.x, atSun.y, atSun.z};
        for (int c = 0; c < 3; ++c) {
            ASSERT_TRUE(std::isfinite(seen[c])) << "channel " << c << " at " << time << " s";
            EXPECT_NEAR(seen[c], wanted[c], 5e-3) << "channel " << c << " at " << time << " s";
        }
    }
}

// Fog toward the segment's sky: none up to about 4.77 units, exp(length * .02) - 1.1 beyond,
// all sky from about 37.1. A letter (black) shows exactly the fog's share of its sky.
TEST_F(SceneShadingTest, FogGrowsWithSegmentLength) {
    const Vec4 skyColour = sky(20.f, {-0.3, -0.2, -1});
    const struct {
        double distance;
        double share;
    } cases[] = {{1, 0},
                 {4.7, 0},
                 {10, std::exp(.2) - 1.1},
                 {20, std::exp(.4) - 1.1},
                 {37.0, std::exp(.74) - 1.1},
                 {37.2, 1},
                 {60, 1}};
    for (const auto& c : cases) {
        const Vec4 letter = hit(20.f, c.distance, -2);
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_NEAR(letter[channel], c.share * skyColour[channel], 1e-4)
                << "channel " << channel << " at length " << c.distance;
    }
}

// Surfaces get no sunlight before 6 s: a floor facing the sun and one facing away look the same;
// after 6 s the difference is the sunlight, at half strength at 11 s and full from 16 s.
TEST_F(SceneShadingTest, SunlightRampsFromSixToSixteenSeconds) {
    auto sunlight = [&](float time) {
        const Vec4 lit = hit(time, 1, -1, 1);
        const Vec4 unlit = hit(time, 1, -1, -1);
        return lit[0] - unlit[0];
    };
    EXPECT_EQ(sunlight(3.f), 0.f);
    EXPECT_EQ(sunlight(5.9f), 0.f);
    EXPECT_GT(sunlight(6.5f), 0.f);

    // Full strength: colour (1, .9, .7) * (sun height * .5 + .5) on the white squares' 0.7.
    auto fullRed = [&](float time) {
        Vec3 sun{};
        skyModel({0, 1, 0}, time, kNoise, &sun);
        return (sun.y * .5 + .5) * .7;
    };
    EXPECT_NEAR(sunlight(11.f), 0.5 * fullRed(11.f), 1e-3);
    EXPECT_NEAR(sunlight(16.f), fullRed(16.f), 1e-3);
    EXPECT_NEAR(sunlight(25.f), fullRed(25.f), 1e-3);
}

// The logo, fully opaque here, against a transparent one: no trace before 14.2 s; after 16.2 s
// it covers exactly the window |v.x| < .8, screen y above .64, except where a sphere is in front.
TEST_F(SceneShadingTest, LogoDissolvesInsideItsWindowBehindSpheres) {
    const int width = 80, height = 50;
    const GLuint opaque = test::makeUniformTexture(1.f, 1.f, 1.f, 1.f);
    const GLuint clear = test::makeUniformTexture(0.f, 0.f, 0.f, 0.f);
    auto picture = [&](float time, GLuint logo) {
        SceneTextures withLogo = textures;
        withLogo.logo = logo;
        return probe->run(width, height, time, withLogo,
                          [](ShaderProgram& program) { program.setUniform1i("probeOutput", 2); });
    };
    auto differs = [](const std::vector<float>& a, const std::vector<float>& b, size_t i) {
        return std::abs(a[i] - b[i]) > 1e-5f || std::abs(a[i + 1] - b[i + 1]) > 1e-5f ||
               std::abs(a[i + 2] - b[i + 2]) > 1e-5f;
    };

    const std::vector<float> before = picture(14.1f, opaque);
    const std::vector<float> beforeClear = picture(14.1f, clear);
    for (size_t i = 0; i < before.size(); i += 4)
        ASSERT_FALSE(differs(before, beforeClear, i)) << "logo shows at pixel " << i / 4;

    const std::vector<float> after = picture(16.3f, opaque);
    const std::vector<float> afterClear = picture(16.3f, clear);
    int hiddenBySphere = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t i = (static_cast<size_t>(y) * width + x) * 4;
            const double vx = (x + 0.5) / width * 2 - 1;
            const double screenY = (y + 0.5) / height;
            const bool inWindow = std::abs(vx) < .8 && screenY > .64;
            const bool sphere = after[i + 3] >= 0.f;
            hiddenBySphere += inWindow && sphere ? 1 : 0;
            EXPECT_EQ(differs(after, afterClear, i), inWindow && !sphere)
                << "pixel (" << x << ", " << y << ")";
        }
    }
    EXPECT_GT(hiddenBySphere, 20) << "the sphere placed in the window should cover part of it";
    test::deleteTexture(opaque);
    test::deleteTexture(clear);
}

}  // namespace
}  // namespace tw
