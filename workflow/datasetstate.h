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
#include "steps.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>
#include <optional>

struct ShotRecord {
    QString imageName;     // as the dataset lists it
    QString imagePath;     // the photograph found; empty when it is not on disk
    QString thumbnailPath; // empty until known
    std::optional<Camera> camera;
    std::optional<float> depth;
    std::optional<int> orderPosition; // where the shot is shown
    std::optional<int> cluster;

    // All six values are known, so the shot can be written.
    bool isComplete() const;
};

enum class BuilderStatus { NotBuilt, Building, Ready, Failed };

struct DatasetState {
    quint64 id = 0; // 0 until something is imported; every import gets a new one
    QString datasetFile;
    QVector<ShotRecord> shots;
    QString modelPath;       // the chosen model, canonical
    QString lowresModelPath; // the model depths and the preview are drawn from
    QString tesselPath;      // where the multiresolution model goes
    QString sceneName;
    QString outputIndexFile;
    BuilderStatus builderStatus = BuilderStatus::NotBuilt;
    QString builtTesselPath; // the multiresolution model built for this dataset; empty until then
    // Steps have computed values that no index file has received yet.
    bool unwrittenResults = false;
    // What the ordering read from this dataset's photographs; copies of the state share it, a new
    // import gets its own.
    std::shared_ptr<FeatureStore> features;

    int shotCount() const { return int(shots.size()); }
    bool isComplete() const; // shots exist and every one is complete
    bool hasAllDepths() const;

    QStringList imagePaths() const;
    QVector<Camera> cameras() const; // the empty camera where a shot has none
    QVector<float> depths() const;   // 0 where a shot has none
    ShotValues shotValues() const;   // meaningful when isComplete()

    // Merges a step's results (all of them or a part, as it goes). The caller makes sure the
    // result is meant for this dataset; entries for shots that do not exist are ignored.
    void apply(const StepResult &result);
    void clearThumbnails();
};

// The outcome of turning an import into a state.
struct DatasetCandidate {
    bool accepted = false;
    DatasetState state;             // when accepted
    Problem refusal;                // when not accepted: why
    QStringList missingPhotographs; // names as listed, of photographs not on disk
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

} // namespace DatasetStates
