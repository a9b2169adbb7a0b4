#pragma once
// Runs the multiresolution builder as a child process and turns the lines it prints into a
// percentage. Lives on the GUI thread; all signals are emitted there.
//
// The builder is looked for beside the program (applicationDirPath() + "/tessel/tslbuilder", the
// build tree), then where an installed package puts it (ORVELLE_INSTALLED_BUILDER, relative to the
// program's folder); setBuilderProgram() points the object elsewhere (a stand-in).

#include <QProcess>
#include <QString>
#include <QStringList>

class TesselComputationProcess : public QProcess
{
    Q_OBJECT
public:
    // Created without parent; reads the builder's standard output.
    TesselComputationProcess();
    // Kills a running builder; no signal leaves a dying object.
    ~TesselComputationProcess() override;

    // Starts the builder on `inputModel`, writing `outputModel`, in the canonical system temporary
    // folder (the child's working directory; the program's current folder does not change).
    void startBuilder(const QString &inputModel, bool pointCloud, const QString &outputModel);

    // The builder's command line, in the order the builder expects.
    static QStringList builderArguments(const QString &inputModel, bool pointCloud,
                                        const QString &outputModel, int faceLimit);
    // Percentage added per partition level for a model of `triangles` triangles: 80 / (2 k),
    // k the smallest k >= 1 with (triangles >> k) <= faceLimit.
    static int levelStepFor(int triangles, int faceLimit);
    static QString defaultBuilderProgram();
    // The first of the build-tree and installed places that holds an executable builder, for a
    // program in `applicationDir`; the build-tree place when neither does (the error names it).
    static QString builderProgramFor(const QString &applicationDir);

    QString builderProgram() const { return m_builderProgram; }
    void setBuilderProgram(const QString &program) { m_builderProgram = program; }

    int percentDone = 0;   // last percentage computed from the output; reset at every start
    int faceLimit = 10000; // passed after -F; bound of the level-step arithmetic
    int levelStep = -1;    // -1 until the first "N_triangles" line

signals:
    void error(QString title, QString msg);
    void tesselProgress(int);
    // The builder ended normally with exit code 0.
    void tesselReady();

public slots:
    void processError(QProcess::ProcessError code);
    void updateTslProgress();

private:
    void processFinished(int exitCode, QProcess::ExitStatus status);
    void advance(const QString &line);

    QString m_builderProgram;
};
