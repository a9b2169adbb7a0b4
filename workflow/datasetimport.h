#pragma once
// Reading a dataset (a Polyforge project .pfp or an earlier index .orx) into what a front end
// needs: cameras, photograph paths resolved against the dataset's folder, model names, the
// reader's problems as a titled message, and the names derived from the dataset and its model.
// No widgets: the window fills its table from this, the command-line tool its shot values.

#include "camera.h"
#include "importoptions.h"
#include "sfmreconstruction.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

struct ImportedDataset {
    // The suffix named a reader ("pfp" or "orx", in any case) or the path is a reconstruction
    // (ReconstructionImport::isReconstruction). Any other file reads nothing.
    bool recognised = false;
    // The reader accepted the whole file and had nothing to report.
    bool readOk = false;
    QString folder; // absolute folder of the dataset file
    // One entry per photograph: relative names become canonical paths (empty when the file is
    // missing), absolute names stay as written.
    QStringList imagePaths;
    QStringList imageNames; // as the file lists them
    QString imagesFolder;   // where relative photograph names are looked for; empty: folder
    // Camera i belongs to photograph i; there may be fewer cameras than photographs.
    QVector<Camera> cameras;
    QStringList modelNames; // non-empty model names, in the file's order, as written
    // From an index only, when every shot has one (in photograph order); empty otherwise.
    QVector<float> depths;
    QStringList thumbnailPaths;  // as the index names them (already absolute)
    QVector<int> orderPositions; // where each photograph is shown
    QVector<int> clusterNumbers;
    // From an index only: the up direction it was written with.
    std::optional<ksr::Point3f> upDirection;
    // The reader's problems, for one warning: its title and one message per line.
    QString problemTitle;
    QStringList problems;
    // Things the user should hear that do not stop the import (a reconstruction's photographs
    // left out, distortion not kept, ...), one per line.
    QStringList notes;
    // A reconstruction's 3D points still to be written as the model (the first model name), when
    // the options asked for that later.
    QVector<SfmPoint> pendingPoints;

    QString problemText() const { return problems.join(QLatin1Char('\n')); }
};

namespace DatasetImport
{

// Dispatches on the suffix and reads; never fails hard (problems land in the result).
// Reconstructions (COLMAP model folder or file, .nvm, .out in any case) take the options.
ImportedDataset read(const QString &fileName, const ImportOptions &options = ImportOptions());

// Canonical path of a model name as a dataset lists it (relative names resolved against
// folder); empty when the file does not exist.
QString resolvedModelPath(const QString &folder, const QString &name);

// Dataset's folder + "/" + its base name up to the first dot + "_generated.orx" (a COLMAP model:
// ReconstructionImport::colmapOutputName).
QString derivedOutputName(const QString &datasetFile);
// Canonical folder of the model + "/" + its complete base name + ".tsl".
// A reconstruction's index goes to its project's folder, the one holding the photographs' folder,
// when the default output's folder lies at most two levels under it (model/ beside images/, or
// sparse/0/): every path then stays below the index. output unchanged otherwise.
QString outputBesidePhotographs(const QString &output, const QStringList &photographs);
QString derivedTesselName(const QString &modelPath);
// The model's complete base name (everything before the last dot).
QString derivedSceneName(const QString &modelPath);

// The warning of an import that found no usable model.
QString noModelTitle();
QString noModelText();

} // namespace DatasetImport
