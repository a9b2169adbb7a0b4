#pragma once
// The imported dataset as typed values: one record per shot and the dataset's own values (model
// names, derived names, builder status). A front end builds a complete new state from an import
// and swaps it in whole, or keeps the one it has; step results are merged in through apply().
// Plain values, copied freely; no widgets.

#include "camera.h"
#include "datasetimport.h"
#include "featurestore.h"
#include "indexvalues.h"
#include "problem.h"
#include "shotrecord.h"
#include "steps.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>
#include <optional>

enum class BuilderStatus { NotBuilt, Building, Ready, Failed };

struct DatasetState {
    quint64 id = 0; // 0 until something is imported; every import gets a new one
    QString datasetFile;
    QVector<ShotRecord> shots;
    BuilderStatus builderStatus = BuilderStatus::NotBuilt;
    QString builtTesselPath; // the multiresolution model built for this dataset; empty until then
    // Steps have computed values that no index file has received yet.
    bool unwrittenResults = false;
    // Steps that have ended on this dataset, however they ended.
    QVector<StepKind> endedSteps;
    // What the ordering read from this dataset's photographs; copies of the state share it, a new
    // import gets its own.
    std::shared_ptr<FeatureStore> features;

    int shotCount() const { return int(shots.size()); }
    bool isComplete() const; // shots exist and every one is complete
    bool hasAllDepths() const;

    QStringList imagePaths() const;
    QVector<Camera> cameras() const; // the empty camera where a shot has none
    QVector<float> depths() const;   // 0 where a shot has none

    // Merges a step's results (all of them or a part, as it goes). The caller makes sure the
    // result is meant for this dataset; entries for shots that do not exist are ignored.
    void apply(const StepResult &result);
    void clearThumbnails();

    // The photographs not on disk, as named in messages (ShotRecord::missingNote).
    QStringList missingPhotographs() const;
    // Removes the shots at `rows` (out-of-range rows are ignored); the viewing order of the others
    // keeps its sequence, numbered again from 0, and their clusters stay.
    void leaveOut(QVector<int> rows);
};

// The names a dataset suggests for what goes with it.
struct DerivedNames {
    QString model;  // the chosen model, canonical
    QString tessel; // beside the model, its complete base name + ".tsl"
    QString scene;  // the model's complete base name
    QString output; // the index: see DatasetImport::derivedOutputName
};

// The outcome of turning an import into a state.
struct DatasetCandidate {
    bool accepted = false;
    DatasetState state; // when accepted
    DerivedNames names; // when accepted
    Problem refusal;    // when not accepted: why
    // Names as listed, of photographs not on disk. The shots of an index that carries all their
    // values keep them, with the photograph's path as the index names it, so the index can be
    // written again.
    QStringList missingPhotographs;
};

namespace DatasetStates
{

// A fresh state for data read from datasetFile, with modelPath as its model (resolved, may be
// empty). Refused when the reader had problems, the model is missing, no photograph was found,
// or a photograph has no camera. Cameras and depths are kept as the table shows them.
DatasetCandidate fromImport(const QString &datasetFile, const ImportedDataset &data,
                            const QString &modelPath);

// The message for the photographs of an accepted import that were not found; empty title when
// every photograph was found.
Problem missingPhotographsNotice(const DatasetCandidate &candidate);

// Where the cameras say up is: the mean of their image-up axes (second rotation rows), normalised,
// and the nearest axis when within 10 degrees of it; else an axis within 45 degrees of the mean that
// is level with the cameras' horizontal axes (first rows; within 10 degrees on average), as when
// every photograph looks up at a facade. nullopt without cameras or when they disagree
// so much that the mean is no direction.
std::optional<ksr::Point3f> upFromCameras(const DatasetState &state);

// The angle in degrees between two directions (any length, not zero).
double angleDegrees(const ksr::Point3f &a, const ksr::Point3f &b);

} // namespace DatasetStates
