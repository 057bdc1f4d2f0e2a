// The size plan the conversion warms its heap by: the largest picture the
// rotation and resize stages will make, and only stages that will run.
#include <gtest/gtest.h>

#include <string>

#include "engine/geometry_plan.h"
#include "settings/settings.h"

namespace {

ConversionSettings rotated(int angle, uint8 type = 0) {
    ConversionSettings s;
    s.DoImageRotation = 1;
    s.TransformImageRotation = angle;
    s.ImageRotationType = type;
    return s;
}

ConversionSettings resized(ConversionSettings s, int width, int height) {
    s.DoImageResize = 1;
    s.ImageWidth = width;
    s.ImageHeight = height;
    return s;
}

}  // namespace

TEST(GeometryPlan, RotationAppliesOnlyStrictlyBetweenNoTurnAndAFullTurn) {
    for (int angle : {1, 30, 90, 359}) EXPECT_TRUE(rotationApplies(rotated(angle))) << angle;
    for (int angle : {0, 360, -90, 400}) EXPECT_FALSE(rotationApplies(rotated(angle))) << angle;
    ConversionSettings off = rotated(30);
    off.DoImageRotation = 0;
    EXPECT_FALSE(rotationApplies(off));
}

TEST(GeometryPlan, LargestPictureOnTheWay) {
    struct Case {
        const char* name;
        std::uint32_t width, height;
        ConversionSettings settings;
        std::int64_t expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {"no stage", 4096, 2048, ConversionSettings{}, 4096, 2048},
        // 4096 (cos 30 + sin 30) = 5595.1, one pixel of rounding on top.
        {"rotation 30", 4096, 4096, rotated(30), 5597, 5597},
        {"quarter turn", 200, 100, rotated(90), 100, 200},
        {"about the centre keeps the size", 4096, 4096, rotated(30, 1), 4096, 4096},
        {"angle 0 does nothing", 4096, 4096, rotated(0), 4096, 4096},
        {"enlarging resize", 1000, 500, resized(ConversionSettings{}, 3000, 1500), 3000, 1500},
        {"shrinking resize", 1000, 500, resized(ConversionSettings{}, 100, 50), 1000, 500},
        {"rotation then a smaller resize", 4096, 4096, resized(rotated(30), 3000, 3000), 5597, 5597},
        {"rotation then an enlarging resize", 1000, 1000, resized(rotated(45), 8000, 8000), 8000, 8000},
        // Larger than the limit: the rotation gives up, nothing follows.
        {"rotation beyond the limit", 16384, 16384, resized(rotated(45), 100, 100), 16384, 16384},
        {"resize beyond the limit", 1000, 1000, resized(ConversionSettings{}, 100000, 100000), 1000, 1000},
        {"empty", 0, 0, rotated(30), 0, 0},
        {"header beyond the limit", 0xFFFFFFFFu, 0xFFFFFFFFu, ConversionSettings{}, 0, 0},
    };
    for (const Case& c : cases) {
        const ImageExtent largest = largestPlannedExtent(c.width, c.height, c.settings);
        EXPECT_EQ(largest.width, c.expectedWidth) << c.name;
        EXPECT_EQ(largest.height, c.expectedHeight) << c.name;
    }
}
