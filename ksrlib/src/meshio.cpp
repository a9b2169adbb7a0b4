// Importer dispatch by file-name ending, error texts, and the helpers every importer shares.

#include "importutils.h"
#include "textscanner.h"

#include <ksr/inputlimits.h>
#include <ksr/meshio.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace ksr
{
namespace io
{

namespace
{

enum class Format { Ply, Stl, Off, Obj, Vmi, Tsl, Unknown };

Format formatOf(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("ply"))
        return Format::Ply;
    if (suffix == QLatin1String("stl"))
        return Format::Stl;
    if (suffix == QLatin1String("off"))
        return Format::Off;
    if (suffix == QLatin1String("obj"))
        return Format::Obj;
    if (suffix == QLatin1String("vmi"))
        return Format::Vmi;
    if (suffix == QLatin1String("tsl"))
        return Format::Tsl;
    return Format::Unknown;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("ksr::io", text);
}

QString formatName(Format format)
{
    switch (format) {
    case Format::Ply:
        return QStringLiteral("PLY");
    case Format::Stl:
        return QStringLiteral("STL");
    case Format::Off:
        return QStringLiteral("OFF");
    case Format::Obj:
        return QStringLiteral("OBJ");
    case Format::Vmi:
        return QStringLiteral("VMI");
    case Format::Tsl:
        return QStringLiteral("multiresolution (tsl)");
    case Format::Unknown:
        break;
    }
    return QString();
}

} // namespace

int importVmi(CMesh &mesh, const QString &fileName, int &loadMask)
{
    mesh.clear();
    loadMask = 0;
    // The layout of these files is not publicly described: recognised, never guessed at.
    return QFile::exists(fileName) ? ErrorUnsupported : ErrorCantOpen;
}

namespace
{

int importByFormat(CMesh &mesh, const QString &fileName, int &loadMask)
{
    switch (formatOf(fileName)) {
    case Format::Ply:
        return importPly(mesh, fileName, loadMask);
    case Format::Stl:
        return importStl(mesh, fileName, loadMask);
    case Format::Off:
        return importOff(mesh, fileName, loadMask);
    case Format::Obj: {
        // The external importer reads without a bound: a FIFO or device would never end.
        const QFileInfo file(fileName);
        if (file.exists() && !file.isFile()) {
            mesh.clear();
            loadMask = 0;
            return ErrorNotAFile;
        }
        return importObj(mesh, fileName, loadMask);
    }
    case Format::Vmi:
        return importVmi(mesh, fileName, loadMask);
    case Format::Tsl:
        return importTsl(mesh, fileName, loadMask);
    case Format::Unknown:
        break;
    }
    mesh.clear();
    loadMask = 0;
    return ErrorUnknownType;
}

} // namespace

int importMesh(CMesh &mesh, const QString &fileName, int &loadMask)
{
    const int code = importByFormat(mesh, fileName, loadMask);
    // Vertices were read but none can be drawn or measured: say so rather than "no vertex".
    if (code == ErrorNone && !mesh.vert.empty() &&
        std::all_of(mesh.vert.begin(), mesh.vert.end(), [](const CVertex &v) { return v.isDeleted(); }))
        return ErrorAllNonFinite;
    return code;
}

bool isKnownModelFile(const QString &fileName)
{
    return formatOf(fileName) != Format::Unknown;
}

QString errorText(const QString &fileName, int errorCode)
{
    const Format format = formatOf(fileName);
    if (format == Format::Unknown)
        return tr("Unknown type");
    if (format == Format::Vmi && errorCode == ErrorUnsupported)
        return tr("VMI files are not supported");
    const QString name = formatName(format);
    switch (errorCode) {
    case ErrorNone:
        return tr("No error");
    case ErrorCantOpen:
        return tr("Can't open file");
    case ErrorInvalidHeader:
        return tr("Not a valid %1 file (bad header)").arg(name);
    case ErrorUnexpectedEnd:
        return tr("Unexpected end of file: the %1 file is truncated").arg(name);
    case ErrorInvalidValue:
        return tr("Invalid number in the %1 data").arg(name);
    case ErrorInvalidFace:
        return tr("A face refers to a vertex that does not exist");
    case ErrorTooLarge:
        return tr("The %1 header announces more elements than can be read").arg(name);
    case ErrorUnsupported:
        return tr("Unsupported %1 variant").arg(name);
    case ErrorImporter:
        return tr("The %1 file could not be read").arg(name);
    case ErrorEmptyElement:
        return tr("The %1 header declares an element with a count above 0 but no properties").arg(name);
    case ErrorAllNonFinite:
        return tr("Every vertex of the %1 file has a coordinate that is not a number or is infinite")
            .arg(name);
    case ErrorLineTooLong:
        return tr("A line of the %1 file is longer than %2 MB, more than any model holds")
            .arg(name)
            .arg(detail::ByteScanner::MaxLineBytes >> 20);
    case ErrorFileTooLarge:
        return tr("The file is too large to read (a special file, or over 2 GB)");
    case ErrorNotAFile:
        return tr("The file is not a regular file but a FIFO, a device or a folder; it was not read");
    default:
        break;
    }
    return tr("Unknown error");
}

namespace detail
{

int readWholeFile(const QString &fileName, QByteArray &data)
{
    switch (readBoundedFile(fileName, data)) {
    case ReadResult::Ok:
        return ErrorNone;
    case ReadResult::TooLarge:
        return ErrorFileTooLarge;
    case ReadResult::NotAFile:
        return ErrorNotAFile;
    case ReadResult::CannotOpen:
    case ReadResult::ReadError:
        break;
    }
    return ErrorCantOpen;
}

void placeVertices(CMesh &mesh, const std::vector<Point3d> &positions)
{
    mesh.origin = localOrigin(positions);
    const size_t count = std::min(positions.size(), mesh.vert.size());
    for (size_t i = 0; i < count; ++i)
        mesh.vert[i].p = (positions[i] - mesh.origin).toFloat();
}

bool finishMesh(CMesh &mesh)
{
    // A vertex without a finite position cannot be drawn or measured: it counts as deleted,
    // and so does every face that uses it.
    for (CVertex &v : mesh.vert)
        if (!std::isfinite(v.p.x) || !std::isfinite(v.p.y) || !std::isfinite(v.p.z))
            v.setDeleted();
    const int count = int(mesh.vert.size());
    bool allValid = true;
    // Compacted in place: a copy of millions of faces costs more than the check.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < mesh.face.size(); ++i) {
        const CFace &f = mesh.face[i];
        bool valid = true;
        for (int k = 0; k < 3; ++k)
            valid = valid && f.v[k] >= 0 && f.v[k] < count;
        if (!valid) {
            allValid = false;
            continue;
        }
        CFace &keptFace = mesh.face[kept++];
        keptFace = f;
        if (mesh.vert[f.v[0]].isDeleted() || mesh.vert[f.v[1]].isDeleted() || mesh.vert[f.v[2]].isDeleted())
            keptFace.setDeleted();
    }
    mesh.face.resize(kept);
    mesh.updateFaceNormals();
    for (CFace &f : mesh.face)
        f.n.normalize();
    mesh.updateBoundingBox();
    return allValid;
}

} // namespace detail

} // namespace io
} // namespace ksr
