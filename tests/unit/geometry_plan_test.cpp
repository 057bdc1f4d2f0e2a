// Which rotation settings turn the picture.
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

}  // namespace

TEST(GeometryPlan, RotationAppliesOnlyStrictlyBetweenNoTurnAndAFullTurn) {
    for (int angle : {1, 30, 90, 359}) EXPECT_TRUE(rotationApplies(rotated(angle))) << angle;
    for (int angle : {0, 360, -90, 400}) EXPECT_FALSE(rotationApplies(rotated(angle))) << angle;
    ConversionSettings off = rotated(30);
    off.DoImageRotation = 0;
    EXPECT_FALSE(rotationApplies(off));
}
