#pragma once
// Import, thumbnails, depths, ordering and clustering, the optional multiresolution model and the
// index file, without a window: the engine's steps on one dataset state, as the window runs them on
// its own. Thumbnails, depths and the multiresolution builder run side by side; the ordering starts
// once the thumbnails and the depths are in. Lives on the thread that runs the application's event
// loop, which must be a QGuiApplication with a display (the thumbnail and depth steps draw with
// OpenGL).

#include "datasetstate.h"
#include "indexvalues.h"
#include "jobinputs.h"
#include "steps.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

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
    // The steps one after the other (thumbnails, depths, ordering, builder), as a reference to
    // compare with and for machines short of memory. The index written is the same.
    bool oneStepAtATime = false;
    // Colour features from the thumbnails' reduced decode rather than the whole photograph:
    // faster with colour weights, colour distances within about 0.02 of the whole decode's.
    bool reducedDecode = false;
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

    // Runs every step, then writes the index. False at the first step that fails; the steps
    // running beside it are stopped first.
    bool run();

    QString errorTitle() const { return m_error.title; }
    QString errorText() const { return m_error.text; }
    // What the import had to say without stopping (after prepare()).
    QStringList importNotes() const { return m_importNotes; }
    // The dataset as the steps left it.
    const DatasetState &state() const { return m_state; }

signals:
    // job: "thumbnails", "depths", "ordering", "tessel". Several jobs may run at once.
    void jobStarted(const QString &job);
    void jobProgress(const QString &job, int percent);
    void jobFinished(const QString &job);
    // Something the user should hear about that does not stop the run.
    void notice(const QString &title, const QString &message);

private:
    bool fail(const QString &title, const QString &text);
    bool fail(const Problem &problem) { return fail(problem.title, problem.text); }
    // The steps this request asks for, in the order they run one at a time.
    QVector<StepKind> plannedSteps() const;
    // The step of this kind, with its inputs from the state as it is now.
    std::unique_ptr<Step> makeStep(StepKind kind) const;
    // Whether the step's progress is shown as a job (not for one that needs no work).
    bool shown(StepKind kind) const;
    void watch(Step &step);
    void announceEnd(const Step &step);
    // Takes a finished step's result into the state; false (with the error set) when it failed.
    bool take(const StepResult &result);
    bool takeThumbnails(const StepResult &result);
    bool takeDepths(const StepResult &result);
    bool takeOrderAndSemantic(const StepResult &result);
    bool takeTessel(const StepResult &result);
    bool runOneAtATime();
    bool runSideBySide();

    GenerationRequest m_request;
    DatasetState m_state;
    QStringList m_importNotes;
    Problem m_error;
};
