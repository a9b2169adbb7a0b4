#pragma once
// Import, thumbnails, depths, ordering and clustering, the optional multiresolution model and the
// index file, one after the other, without a window: the steps a user takes in the window, with
// the same readers, jobs and writer. Lives on the thread that runs the application's event loop,
// which must be a QGuiApplication with a display (the thumbnail and depth jobs draw with OpenGL).

#include "datasetimport.h"
#include "indexvalues.h"
#include "jobinputs.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

// Where the thumbnails come from (the window's three choices, and none).
enum class ThumbnailSource {
    Downsample, // made from the photographs on the graphics card, into each photograph's "thumbnails" folder
    Hires,      // the photographs themselves
    Existing,   // already in each photograph's "thumbnails" folder
    None,       // no thumbnail step: the photographs serve as thumbnails, as with Hires
};

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

    // Reads the dataset and checks everything that needs no job: photographs, cameras, models,
    // output folder. False with errorTitle()/errorText() set when generation cannot succeed.
    bool prepare(const GenerationRequest &request);
    // Shots of the prepared dataset.
    int shotCount() const { return int(m_shots.imagePaths.size()); }
    // Names the run will use (after prepare()).
    QString outputFile() const { return m_outputFile; }
    QString modelFile() const { return m_modelFile; }

    // Runs every step, then writes the index. False at the first step that fails.
    bool run();

    QString errorTitle() const { return m_errorTitle; }
    QString errorText() const { return m_errorText; }
    // What the import had to say without stopping (after prepare()).
    QStringList importNotes() const { return m_dataset.notes; }
    // The per-shot values the index was (or would have been) written from.
    const ShotValues &shots() const { return m_shots; }

signals:
    // job: "thumbnails", "depths", "ordering", "tessel".
    void jobStarted(const QString &job);
    void jobProgress(const QString &job, int percent);
    void jobFinished(const QString &job);
    // Something the user should hear about that does not stop the run.
    void notice(const QString &title, const QString &message);

private:
    bool fail(const QString &title, const QString &text);
    bool computeThumbnails();
    bool computeDepths();
    bool computeOrderAndSemantic();
    bool computeTessel();

    GenerationRequest m_request;
    ImportedDataset m_dataset;
    ShotValues m_shots;
    QString m_outputFile;
    QString m_modelFile;
    QString m_lowresModelFile;
    QString m_tesselOutput;
    QString m_errorTitle;
    QString m_errorText;
};
