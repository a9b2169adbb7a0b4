#pragma once
// The user's weights of the ordering and clustering functions, named after the window's sliders.
// Each weight is a slider's value over that slider's maximum, so it lies in [0, 1].

#include "shotfeatures.h"

// One weight per feature, in the order of the window's controls.
struct FeatureWeightSet {
    float time = 0.0f;
    float direction = 0.0f;
    float position = 0.0f;
    float target = 0.0f;
    float color = 0.0f;
    float colorSpatial = 0.0f;

    // The same weights in slot order, constant term 0.
    FeatureTable inSlotOrder() const
    {
        FeatureTable table{};
        table[timeSlot] = time;
        table[colorDistributionSlot] = color;
        table[colorSpatialSlot] = colorSpatial;
        table[directionSlot] = direction;
        table[positionSlot] = position;
        table[targetSlot] = target;
        table[constantSlot] = 0.0f;
        return table;
    }
    bool operator==(const FeatureWeightSet &o) const
    {
        return time == o.time && direction == o.direction && position == o.position && target == o.target &&
               color == o.color && colorSpatial == o.colorSpatial;
    }
};

// The weights of the ordering function and of the clustering function.
struct OrderingWeights {
    FeatureWeightSet ordering;
    FeatureWeightSet clustering;

    bool operator==(const OrderingWeights &o) const
    {
        return ordering == o.ordering && clustering == o.clustering;
    }
};
