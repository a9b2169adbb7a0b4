#pragma once
// One shot of a dataset from its import to the index: what the dataset lists and what the steps
// computed. Values a step has not given yet are empty. Plain value; text only at the edges (the
// data table, the index file).

#include "camera.h"

#include <QString>

#include <optional>

struct ShotRecord {
    QString imageName;     // as the dataset lists it
    QString imagePath;     // the photograph found; empty when it is not on disk
    QString thumbnailPath; // empty until known
    std::optional<Camera> camera;
    std::optional<float> depth;
    std::optional<int> orderPosition; // where the shot is shown
    std::optional<int> cluster;
    // When the photograph was not found: the name as listed (with why, when it is there but not a
    // file) and the path it was looked for at. Empty otherwise.
    QString missingNote;
    QString lookedFor;

    // All six values are known, so the shot can be written.
    bool isComplete() const;
};
