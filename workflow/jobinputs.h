#pragma once
// What the preparation jobs are given, computed the same way for every front end: the thumbnail
// path of each photograph, the twelve feature weights of the ordering job, and the inverse of a
// viewing order. Pure functions of their arguments; any thread.

#include <QString>
#include <QStringList>
#include <QVector>

#include "orderingweights.h"

#include <array>

namespace JobInputs
{

// Where a photograph's thumbnail lives: its canonical folder, then "thumbnails", then its file
// name. Empty for an empty image path (a photograph that was never found has no thumbnail).
QString thumbnailPath(const QString &imagePath);
QStringList thumbnailPaths(const QStringList &imagePaths);

// Slider values of the six features in the window's row order: time of shot, direction of shot,
// position of shot, position of target, color distribution, color spatial distribution.
using FeatureSliders = std::array<int, 6>;

// The ordering job's weights: each the slider value divided by the sliders' maximum and clamped
// to [0, 1]. A maximum of 0 or less gives all weights 0.
OrderingWeights featureWeights(const FeatureSliders &ordering, const FeatureSliders &clustering, int maximum);

// The position of every row in a viewing order (order[k] is the row shown k-th): element r of
// the result is k where order[k] == r, or -1 for a row the order does not name. Entries of
// order outside 0 .. rows - 1 are ignored; a row named twice keeps its first position.
QVector<int> positionsFromOrder(const QVector<int> &order, int rows);

} // namespace JobInputs
