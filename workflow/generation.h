#pragma once
// Import, thumbnails, depths, ordering and clustering, the optional multiresolution model and the
// index file, one after the other, without a window: the engine's steps run in order on one
// dataset state, as the window runs them on its own. Lives on the thread that runs the
// application's event loop, which must be a QGuiApplication with a display (the thumbnail and
// depth steps draw with OpenGL).

#include "datasetstate.h"
#include "indexvalues.h"
#include "jobinputs.h"
#include "steps.h"

#include <QObject>
#include <QString>
#include <QStringList>

enum class DepthSource {
    Model, // rendered from the low-resolution model
    None,  // no depth step: the depths an input index carries
};

// The six feature weights, 0..100, in the window's row order: time of shot, direction of shot,
// position of shot, position of target, colour distribution, colour spatial distribution.
using FeatureWeights = JobInputs::FeatureSliders;

struct GenerationRequest {
    QString datasetFile;
    QString outputFile;      // empty: the dataset's folder and base name + "_generated.orx"
    QString modelFile;       // empty: the dataset's model (the first of several)
    QString lowresModelFile; // empty: the model
    QString imagesFolder;    // a reconstruction's photographs; empty: where its format keeps them
    QString meshFile;        // a reconstruction's mesh; empty: its 3D points, written beside the index
    ThumbnailSource thumbnails = ThumbnailSource::Downsample;
    DepthSource depths = DepthSource::Model;
    FeatureWeights orderWeights{0, 50, 50, 0, 0, 0};
    FeatureWeights clusterWeights{0, 50, 50, 0, 0, 0};
    bool tessel = false;     // build the multiresolution model and let the index use it
    QString tesselOutput;    // empty: beside the model, its complete base name + ".tsl"
    bool pointCloud = false; // the builder treats the model as a point cloud
    bool sceneNameGiven = false;
    // Viewer settings. The scene name (unless given) and the model file name are filled in by the
    // run; startShot counts from 0 here.
    IndexSettings settings;
    bool relativePaths = true;
};

class GenerationPipeline : public QObject
{
    Q_OBJECT
public:
    explicit GenerationPipeline(QObject *parent = nullptr);

    // Reads the dataset and checks everything that needs no step: photographs, cameras, models,
    // output folder. False with errorTitle()/errorText() set when generation cannot succeed.
    bool prepare(const GenerationRequest &request);
    int shotCount() const { return m_state.shotCount(); }
    // Names the run will use (after prepare()).
    QString outputFile() const { return m_state.outputIndexFile; }
    QString modelFile() const { return m_state.modelPath; }

    // Runs every step, then writes the index. False at the first step that fails.
    bool run();

    QString errorTitle() const { return m_error.title; }
    QString errorText() const { return m_error.text; }
    // What the import had to say without stopping (after prepare()).
    QStringList importNotes() const { return m_importNotes; }
    // The dataset as the steps left it.
    const DatasetState &state() const { return m_state; }

signals:
    // job: "thumbnails", "depths", "ordering", "tessel".
    void jobStarted(const QString &job);
    void jobProgress(const QString &job, int percent);
    void jobFinished(const QString &job);
    // Something the user should hear about that does not stop the run.
    void notice(const QString &title, const QString &message);

private:
    bool fail(const QString &title, const QString &text);
    bool fail(const Problem &problem) { return fail(problem.title, problem.text); }
    StepResult runStep(Step &step, const QString &job);
    bool computeThumbnails();
    bool computeDepths();
    bool computeOrderAndSemantic();
    bool computeTessel();

    GenerationRequest m_request;
    DatasetState m_state;
    QStringList m_importNotes;
    Problem m_error;
};
