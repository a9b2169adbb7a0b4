// The multiresolution step: the builder program run as a child process on the model.

#include "steps.h"

#include "datasetstate.h"
#include "tesselcomputationprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace
{

// Both names lead to one file (links and relative parts resolved).
bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a), second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return first.absoluteFilePath() == second.absoluteFilePath();
}

} // namespace

MultiresolutionStep::MultiresolutionStep(const QString &model, bool pointCloud, const QString &output,
                                         const QString &program)
    : Step(StepKind::Multiresolution), m_model(model), m_pointCloud(pointCloud), m_output(output),
      m_program(program)
{
}

MultiresolutionStep::~MultiresolutionStep()
{
    stopAndWait();
}

QString MultiresolutionStep::defaultProgram()
{
    return TesselComputationProcess::defaultBuilderProgram();
}

std::optional<Problem> MultiresolutionStep::refusal(const QString &model, const QString &output)
{
    if (model.isEmpty() || !sameFile(model, output))
        return std::nullopt;
    return Problem{tr("Multiresolution model"),
                   tr("The multiresolution model would be written over its input model \"%1\". "
                      "Choose another file name for it.")
                       .arg(QDir::toNativeSeparators(model))};
}

void MultiresolutionStep::start()
{
    m_builder = std::make_unique<TesselComputationProcess>();
    if (!m_program.isEmpty())
        m_builder->setBuilderProgram(m_program);
    TesselComputationProcess *builder = m_builder.get();
    connect(builder, &TesselComputationProcess::tesselProgress, this, &Step::progress);
    connect(builder, &TesselComputationProcess::error, this,
            [this](const QString &title, const QString &text) {
                m_result.problems.append({title, text});
            });
    connect(builder, &TesselComputationProcess::tesselReady, this, [this] { m_ready = true; });
    // Every run ends either with finished() or, when the program never started, with that error;
    // queued, so that the builder's own reports come first.
    connect(builder, &QProcess::finished, this, &MultiresolutionStep::ended, Qt::QueuedConnection);
    connect(
        builder, &QProcess::errorOccurred, this,
        [this](QProcess::ProcessError code) {
            if (code == QProcess::FailedToStart)
                ended();
        },
        Qt::QueuedConnection);
    builder->startBuilder(m_model, m_pointCloud, m_output);
}

void MultiresolutionStep::ended()
{
    if (m_ready && !m_result.stopped && m_result.problems.isEmpty()) {
        m_result.builtModel = m_output;
        emit progress(100);
    }
    finish();
}

void MultiresolutionStep::requestStop()
{
    m_result.stopped = true;
    if (m_builder && m_builder->state() != QProcess::NotRunning) {
        // A builder killed on purpose is no crash to report.
        m_builder->blockSignals(true);
        m_builder->kill();
        m_builder->waitForFinished(3000);
        m_builder->blockSignals(false);
        QMetaObject::invokeMethod(this, &MultiresolutionStep::ended, Qt::QueuedConnection);
    }
}

void MultiresolutionStep::stopAndWait()
{
    if (!m_builder)
        return;
    m_builder->disconnect(this);
    m_result.stopped = true;
    // Its destructor kills a running builder without reporting the killed child.
    m_builder.reset();
}
namespace
{

class MultiresolutionStepType : public StepType
{
    Q_DECLARE_TR_FUNCTIONS(MultiresolutionStepType)
public:
    StepKind kind() const override { return StepKind::Multiresolution; }
    QString jobName() const override { return QStringLiteral("tessel"); }
    QString title() const override { return tr("Multiresolution model"); }
    bool planned(const SessionRequest &request) const override { return request.multiresolution; }
    std::optional<Problem> refusal(const DatasetState &, const SessionRequest &request) const override
    {
        return MultiresolutionStep::refusal(request.modelFile, request.tesselFile);
    }
    // The model is being rewritten: it is not ready until this run ends well.
    void prepare(DatasetState &state, const SessionRequest &) const override
    {
        state.builderStatus = BuilderStatus::Building;
        state.builtTesselPath.clear();
    }
    std::unique_ptr<Step> make(const DatasetState &, const SessionRequest &request,
                               const QString &builderProgram) const override
    {
        return std::make_unique<MultiresolutionStep>(request.modelFile, request.pointCloud,
                                                     request.tesselFile, builderProgram);
    }
    std::optional<Problem> failure(const StepResult &result, const DatasetState &,
                                   const SessionRequest &) const override
    {
        if (!result.builtModel.isEmpty())
            return std::nullopt;
        return result.problems.isEmpty() ? Problem{tr("\"tesselbuilder\" error"), tr("Unknown error")}
                                         : result.problems.first();
    }
    QString summary(const StepResult &result, const DatasetState &) const override
    {
        return result.builtModel.isEmpty() ? tr("no model was written.")
                                           : tr("written to %1.").arg(result.builtModel);
    }
};

} // namespace

const StepType &multiresolutionStepType()
{
    static const MultiresolutionStepType type;
    return type;
}
