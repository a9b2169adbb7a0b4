#pragma once
// Every setting of a session, typed: the files, how each step gets its values and the viewer
// settings of the index. The window binds its controls to these fields; the command-line tool
// fills them from its options. An import fills the file names and the scene name with the ones
// derived from the dataset; whoever drives the session may change them afterwards.

#include "importoptions.h"
#include "indexvalues.h"
#include "jobinputs.h"
#include "shotfeatures.h"
#include "steptable.h"

#include <QString>
#include <QVector>

// Where the thumbnails come from.
enum class ThumbnailSource {
    Downsample, // made from the photographs on the graphics card, into each photograph's "thumbnails" folder
    Hires,      // the photographs themselves
    Existing,   // already in each photograph's "thumbnails" folder
    None,       // no thumbnail step asked for: the photographs serve, as with Hires
};

enum class DepthSource {
    Model, // rendered from the low-resolution model
    None,  // no depth step: the depths an input index carries
};

// The six feature weights, 0..weightMaximum, in the window's row order: time of shot, direction
// of shot, position of shot, position of target, colour distribution, colour spatial distribution.
using FeatureWeights = JobInputs::FeatureSliders;

struct SessionRequest {
    // What an import of a reconstruction needs besides its file (the tool's --images and --mesh).
    ImportOptions import;

    // Files. Filled by each import; empty names are refused where they are needed.
    QString modelFile;       // the model the index names (unless multiresolution)
    QString lowresModelFile; // the model depths and the preview are drawn from
    QString tesselFile;      // the multiresolution model to build and name
    QString outputFile;      // the index

    ThumbnailSource thumbnails = ThumbnailSource::Downsample;
    DepthSource depths = DepthSource::Model;
    FeatureWeights orderWeights{0, 50, 50, 0, 0, 0};
    FeatureWeights clusterWeights{0, 50, 50, 0, 0, 0};
    int weightMaximum = 100;
    // Colour features from the thumbnails' reduced decode rather than the whole photograph:
    // faster with colour weights, colour distances within about 0.02 of the whole decode's.
    bool reducedDecode = false;

    bool multiresolution = false; // build the multiresolution model and let the index name it
    bool pointCloud = false;      // the builder treats the model as a point cloud

    // Viewer settings. The model file name and the dome are filled in when the index is written;
    // upDirection is kept as given (a zero vector is refused at writing); startShot counts from 0.
    IndexSettings settings;
    QVector<DomeRowText> domeRows = defaultDomeRows();
    bool relativePaths = true;

    // Steps beyond the usual four that a run of every step includes.
    QVector<StepKind> optionalSteps;

    // Run every step one after the other rather than side by side (same index, less memory).
    bool oneStepAtATime = false;

    OrderingWeights orderingWeights() const
    {
        return JobInputs::featureWeights(orderWeights, clusterWeights, weightMaximum);
    }
    FeatureDecoding featureDecoding() const
    {
        return reducedDecode ? FeatureDecoding::Reduced : FeatureDecoding::FullSize;
    }
};
