#include "runfiles.h"

#include "bundlerfile.h"
#include "colmapmodel.h"
#include "jobinputs.h"
#include "reconstructionimport.h"
#include "webaddress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace
{

QString tr(const char *text)
{
    return QCoreApplication::translate("RunFiles", text);
}

} // namespace

RunFiles::Entry RunFiles::entry(const QString &path, const QString &role)
{
    Entry result{path, role, QString(), QString()};
    const QFileInfo info(path);
    result.name = info.canonicalFilePath();
    if (result.name.isEmpty()) {
        // Not there yet: where it would be made.
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        result.name = folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                                       : folder + QLatin1Char('/') + info.fileName();
    }
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) == 0)
        result.node = QStringLiteral("%1:%2").arg(quint64(status.st_dev)).arg(quint64(status.st_ino));
    return result;
}

bool RunFiles::same(const Entry &a, const Entry &b)
{
    return a.name == b.name || (!a.node.isEmpty() && a.node == b.node);
}

void RunFiles::addRead(const QString &path, const QString &role)
{
    if (!path.isEmpty() && !isWebAddress(path))
        m_reads.append(entry(path, role));
}

void RunFiles::addWrite(const QString &path, const QString &role)
{
    if (!path.isEmpty())
        m_writes.append(entry(path, role));
}

void RunFiles::addDataset(const QString &datasetFile)
{
    const QString suffix = QFileInfo(datasetFile).suffix().toLower();
    if (suffix == QLatin1String("orx"))
        return;
    const QString role = tr("the dataset");
    if (!ReconstructionImport::isReconstruction(datasetFile) || suffix == QLatin1String("nvm")) {
        addRead(datasetFile, role);
        return;
    }
    if (suffix == QLatin1String("out")) {
        addRead(datasetFile, role);
        addRead(BundlerFile::listFileFor(datasetFile), tr("the reconstruction's list of photographs"));
        return;
    }
    // Whichever encoding is read, a file of the model's names is no place for the index.
    const QDir model(ColmapModel::modelFolder(datasetFile));
    for (const char *name : {"cameras", "images", "points3D"})
        for (const char *ending : {".bin", ".txt"})
            addRead(model.filePath(QLatin1String(name) + QLatin1String(ending)),
                    tr("a file of the reconstruction"));
}

RunFiles RunFiles::ofGeneration(const DatasetState &state, const QString &modelFile,
                                const QString &lowresModelFile, const QString &indexFile,
                                const QString &tesselFile, const QString &pointCloudFile)
{
    RunFiles files;
    files.addDataset(state.datasetFile);
    for (const ShotRecord &shot : state.shots) {
        files.addRead(shot.imagePath, tr("a photograph"));
        files.addRead(shot.thumbnailPath.isEmpty() ? JobInputs::thumbnailPath(shot.imagePath)
                                                   : shot.thumbnailPath,
                      tr("a thumbnail"));
    }
    const Entry cloud = entry(pointCloudFile, QString());
    for (const QString &model : {modelFile, lowresModelFile})
        if (pointCloudFile.isEmpty() || !same(entry(model, QString()), cloud))
            files.addRead(model, tr("a model"));
    files.addWrite(indexFile, tr("the index"));
    files.addWrite(tesselFile, tr("the multiresolution model"));
    files.addWrite(pointCloudFile, tr("the reconstruction's point cloud"));
    return files;
}

std::optional<Problem> RunFiles::collision() const
{
    const QString title = tr("Index generation status");
    for (int i = 0; i < m_writes.size(); ++i) {
        const Entry &written = m_writes.at(i);
        const QString shown = QDir::toNativeSeparators(written.path);
        for (const Entry &read : m_reads)
            if (same(written, read))
                return Problem{title, tr("\"%1\" is one of the files the generation reads (%2): it is not "
                                         "written over as %3.")
                                          .arg(shown, read.role, written.role)};
        for (int j = 0; j < i; ++j)
            if (same(written, m_writes.at(j)))
                return Problem{title,
                               tr("\"%1\" would be written twice, as %2 and as %3: choose another name.")
                                   .arg(shown, m_writes.at(j).role, written.role)};
    }
    return std::nullopt;
}
