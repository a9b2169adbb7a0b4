// Inspector of reconstructions: a COLMAP sparse model (folder or one of its files), NVM and Bundler.
// Reads them as the import does, without writing the point cloud.
#include "filereporters.h"
#include "jsonvalues.h"

#include "reconstructionimport.h"

#include <QJsonArray>

using namespace JsonValues;

InspectResult inspectReconstruction(const QString &fileName)
{
    InspectResult result;
    ImportedDataset data;
    ReconstructionImport::read(fileName, ImportOptions(), data);
    const SfmReconstruction reconstruction = ReconstructionImport::readReconstruction(fileName);
    result.ok = reconstruction.ok();
    result.messages = data.problems;

    QJsonArray shots;
    for (int i = 0; i < data.imageNames.size(); ++i)
        shots.append(QJsonObject{{QStringLiteral("name"), data.imageNames.at(i)},
                                 {QStringLiteral("image"), data.imagePaths.at(i)},
                                 {QStringLiteral("camera"), camera(data.cameras.at(i))}});
    result.json.insert(QStringLiteral("format"), reconstruction.format);
    result.json.insert(QStringLiteral("imagesFolder"), ReconstructionImport::defaultImagesFolder(fileName));
    result.json.insert(QStringLiteral("shots"), shots);
    result.json.insert(QStringLiteral("points"), int(reconstruction.points.size()));
    result.json.insert(QStringLiteral("leftOut"), QJsonArray::fromStringList(reconstruction.leftOut));
    result.json.insert(QStringLiteral("notes"), QJsonArray::fromStringList(data.notes));
    result.json.insert(QStringLiteral("problems"), QJsonArray::fromStringList(data.problems));
    return result;
}
