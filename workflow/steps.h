#pragma once
// The preparation steps of the engine, shared by the window and the command-line tool. Each step
// takes a typed snapshot of its inputs at construction, reports progress and typed results
// (a part as it goes, all of it at the end) and problems as {title, text}; requestStop() ends it
// early. Steps live on the GUI thread (the GL jobs make their contexts there) and are one-shot.
// StepRunner starts them and decides which results still matter.

#include "camera.h"
#include "featurestore.h"
#include "orderingweights.h"
#include "problem.h"
#include "sessionrequest.h"
#include "steptable.h"

#include <QFutureWatcher>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <array>
#include <memory>
#include <optional>

class DepthComputationThread;
class DownsamplingThread;
class OrderAndSemanticThread;
class TesselComputationProcess;

struct StepResult {
    StepKind kind = StepKind::Thumbnails;
    quint64 dataset = 0; // the dataset the step was started for (set by the runner)
    bool stopped = false;
    Problems problems;
    QMap<int, QString> thumbnails; // shot -> thumbnail path made or found
    QMap<int, float> depths;       // shot -> depth in model units
    // One entry per shot, or empty when the ordering did not complete.
    QVector<int> orderPositions;
    QVector<int> clusterNumbers;
    QString builtModel; // the multiresolution model written; empty when none was
    // Per-shot values of steps that keep their own (shot -> value); their type merges them.
    QMap<int, QVariant> values;
};

class Step : public QObject
{
    Q_OBJECT
public:
    explicit Step(StepKind kind);
    StepKind kind() const { return m_result.kind; }
    // GUI thread. A step that needs no job finishes before this returns.
    virtual void start() = 0;
    // Any time after start(); the step ends soon after with its result marked stopped.
    virtual void requestStop() = 0;
    // Blocks until the step's worker has ended; its remaining signals are not delivered.
    virtual void stopAndWait() = 0;
    bool isFinished() const { return m_finished; }
    const StepResult &result() const { return m_result; }

signals:
    void progress(int percent);
    // Results of some shots, before the end.
    void updated(const StepResult &part);
    void finished();

protected:
    void finish();
    StepResult partOf() const; // an empty result of this step's kind
    // For steps whose work runs in one job thread with its own requestStop().
    template <typename Job> void requestJobStop(Job *job)
    {
        m_result.stopped = true;
        if (job)
            job->requestStop();
    }
    template <typename Job> void stopJobAndWait(Job *job)
    {
        if (!job)
            return;
        job->disconnect(this);
        requestJobStop(job);
        job->wait();
    }
    StepResult m_result;

private:
    bool m_finished = false;
};

class ThumbnailStep : public Step
{
    Q_OBJECT
public:
    // When the weights use colours, the photographs decoded for thumbnails also give their colour
    // features (and time of shot), decoded as `decoding` says, to the dataset's feature store, so
    // that an ordering step that follows decodes none of them again. features may be null.
    ThumbnailStep(const QStringList &imagePaths, ThumbnailSource source,
                  const OrderingWeights &orderingWeights = OrderingWeights(),
                  std::shared_ptr<FeatureStore> features = nullptr,
                  FeatureDecoding decoding = FeatureDecoding::FullSize);
    ~ThumbnailStep() override;
    void start() override;
    void requestStop() override;
    void stopAndWait() override;

private:
    QStringList m_imagePaths;
    ThumbnailSource m_source;
    OrderingWeights m_orderingWeights;
    std::shared_ptr<FeatureStore> m_features;
    FeatureDecoding m_decoding;
    std::unique_ptr<DownsamplingThread> m_job;
    QStringList m_failures;
    // Thumbnails that are not made here (existing ones, or the photographs) are checked on the
    // pool: each is decoded, and that must not hold up the caller's thread.
    QFutureWatcher<bool> m_check;
};

class DepthStep : public Step
{
    Q_OBJECT
public:
    DepthStep(const QString &lowresModel, const QVector<Camera> &cameras);
    ~DepthStep() override;
    void start() override;
    void requestStop() override;
    void stopAndWait() override;

private:
    QString m_model;
    QVector<Camera> m_cameras;
    std::unique_ptr<DepthComputationThread> m_job;
    QString m_problemTitle;
    QStringList m_problemTexts;
};

class OrderingStep : public Step
{
    Q_OBJECT
public:
    // weights: each in [0, 1] (JobInputs::featureWeights). features: the dataset's store (may be
    // null); decoding: how the colours are decoded.
    OrderingStep(const QStringList &imagePaths, const QVector<Camera> &cameras, const QVector<float> &depths,
                 const OrderingWeights &weights, std::shared_ptr<FeatureStore> features,
                 FeatureDecoding decoding);
    ~OrderingStep() override;
    void start() override;
    void requestStop() override;
    void stopAndWait() override;

private:
    QStringList m_imagePaths;
    QVector<Camera> m_cameras;
    QVector<float> m_depths;
    OrderingWeights m_weights;
    std::shared_ptr<FeatureStore> m_features;
    FeatureDecoding m_decoding;
    std::unique_ptr<OrderAndSemanticThread> m_job;
    QStringList m_unreadable;
    QVector<int> m_order;
    QVector<int> m_clusters;
};

class MultiresolutionStep : public Step
{
    Q_OBJECT
public:
    // program: the builder to run; empty for the one beside this program.
    MultiresolutionStep(const QString &model, bool pointCloud, const QString &output,
                        const QString &program = QString());
    ~MultiresolutionStep() override;
    void start() override;
    void requestStop() override; // kills the builder
    void stopAndWait() override;

    // The builder beside this program (its folder followed by "/tessel/tslbuilder").
    static QString defaultProgram();
    // Why the builder must not run with these names (it would write over its input); nullopt when it may.
    static std::optional<Problem> refusal(const QString &model, const QString &output);

private:
    void ended();

    QString m_model;
    bool m_pointCloud;
    QString m_output;
    QString m_program;
    std::unique_ptr<TesselComputationProcess> m_builder;
    bool m_ready = false;
};
