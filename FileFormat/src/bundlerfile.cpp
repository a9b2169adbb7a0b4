#include "bundlerfile.h"

#include "sfmtextreader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cctype>
#include <cmath>

namespace
{

// A named context: lupdate cannot file the texts of free functions otherwise.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(BundlerFile)
};

// The next line holding exactly count usable numbers.
bool readNumbers(SfmTextReader &reader, double *values, int count)
{
    if (!reader.nextLine())
        return false;
    const SfmFields fields = reader.fields();
    if (fields.size() != count)
        return false;
    for (int i = 0; i < count; ++i)
        if (!SfmText::toNumber(fields.at(i), values[i]))
            return false;
    return true;
}

bool isRotation(const double r[9])
{
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) {
            const double dot =
                r[3 * a] * r[3 * b] + r[3 * a + 1] * r[3 * b + 1] + r[3 * a + 2] * r[3 * b + 2];
            if (std::fabs(dot - (a == b ? 1.0 : 0.0)) > 1e-3)
                return false;
        }
    return true;
}

bool readList(const QString &bundleFile, QStringList &names, QString &error)
{
    const QString listFile = BundlerFile::listFileFor(bundleFile);
    if (listFile.isEmpty()) {
        error = Texts::tr("%1: no image list (list.txt or %2) beside it")
                    .arg(QFileInfo(bundleFile).fileName(),
                         QFileInfo(bundleFile).completeBaseName() + QLatin1String(".list.txt"));
        return false;
    }
    SfmTextReader reader;
    if (!reader.open(listFile, &error))
        return false;
    // One photograph per line: its name (which may hold spaces), optionally followed by "0 <focal>".
    while (reader.nextLine(false)) {
        if (reader.line().isEmpty())
            continue;
        const SfmFields fields = reader.fields();
        double focal = 0;
        QByteArray name = reader.line();
        if (fields.size() >= 3 && fields.at(fields.size() - 2) == "0" &&
            SfmText::toNumber(fields.last(), focal))
            for (int drop = 0; drop < 2; ++drop) {
                qsizetype end = name.size();
                while (end > 0 && !std::isspace(static_cast<unsigned char>(name.at(end - 1))))
                    --end;
                name = name.left(end).trimmed();
            }
        names.append(QString::fromUtf8(name));
    }
    return true;
}

} // namespace

namespace BundlerFile
{

QString listFileFor(const QString &bundleFile)
{
    const QFileInfo bundle(bundleFile);
    const QDir dir = bundle.absoluteDir();
    QString base = bundle.fileName();
    QStringList candidates;
    for (const QLatin1String ending : {QLatin1String(".bundle.out"), QLatin1String(".out")})
        if (base.endsWith(ending, Qt::CaseInsensitive))
            candidates.append(base.left(base.size() - ending.size()) + QLatin1String(".list.txt"));
    candidates.append(QStringLiteral("list.txt"));
    for (const QString &name : std::as_const(candidates))
        if (QFileInfo(dir.filePath(name)).isFile())
            return dir.filePath(name);
    return QString();
}

SfmReconstruction read(const QString &bundleFile)
{
    SfmReconstruction result;
    result.format = QStringLiteral("Bundler");
    SfmTextReader reader;
    if (!reader.open(bundleFile, &result.error))
        return result;
    if (!reader.nextLine(false) || !reader.line().startsWith("# Bundle file v0.3")) {
        result.error = reader.message(Texts::tr("the file does not start with \"# Bundle file v0.3\""));
        return result;
    }
    qint64 cameras = 0, points = 0;
    const SfmFields counts = reader.nextLine() ? reader.fields() : SfmFields(QByteArray(""));
    if (counts.size() != 2 || !SfmText::toCount(counts.at(0), cameras) ||
        !SfmText::toCount(counts.at(1), points)) {
        result.error = reader.message(Texts::tr("expected the numbers of cameras and points"));
        return result;
    }
    // Five lines per camera, three per point.
    if (5 * cameras + 3 * points > reader.remainingLines()) {
        result.error =
            reader.message(Texts::tr("%1 cameras and %2 points are announced but only %3 lines follow")
                               .arg(cameras)
                               .arg(points)
                               .arg(reader.remainingLines()));
        return result;
    }
    QStringList names;
    if (!readList(bundleFile, names, result.error))
        return result;
    if (names.size() != cameras) {
        result.error = Texts::tr("%1 lists %2 photographs, %3 holds %4 cameras")
                           .arg(QFileInfo(listFileFor(bundleFile)).fileName())
                           .arg(names.size())
                           .arg(reader.fileName())
                           .arg(cameras);
        return result;
    }

    const QString cameraFields =
        Texts::tr("camera %1: expected f k1 k2, three rotation rows and a translation");
    for (qint64 i = 0; i < cameras; ++i) {
        double intrinsics[3], rotation[9], translation[3];
        if (!readNumbers(reader, intrinsics, 3) || !readNumbers(reader, rotation, 3) ||
            !readNumbers(reader, rotation + 3, 3) || !readNumbers(reader, rotation + 6, 3) ||
            !readNumbers(reader, translation, 3) || intrinsics[0] < 0) {
            result.error = reader.message(cameraFields.arg(i));
            return result;
        }
        if (intrinsics[0] == 0) {
            result.leftOut.append(names.at(int(i)));
            continue;
        }
        if (!isRotation(rotation)) {
            result.error = reader.message(Texts::tr("camera %1: the rotation is not a rotation").arg(i));
            return result;
        }
        double centre[3];
        for (int c = 0; c < 3; ++c)
            centre[c] = -(rotation[c] * translation[0] + rotation[3 + c] * translation[1] +
                          rotation[6 + c] * translation[2]);
        SfmImage image;
        image.name = names.at(int(i));
        image.camera = SfmCameras::fromYUp(rotation, centre, intrinsics[0], 0, 0);
        // Bundler's k1, k2 act on normalised coordinates, as ours do.
        image.camera.distortion[0] = float(intrinsics[1]);
        image.camera.distortion[1] = float(intrinsics[2]);
        image.sizeFromPhoto = true;
        result.images.append(image);
    }

    result.points.reserve(qsizetype(points));
    for (qint64 i = 0; i < points; ++i) {
        double position[3], colour[3];
        if (!readNumbers(reader, position, 3) || !readNumbers(reader, colour, 3) || !reader.nextLine()) {
            result.error =
                reader.message(Texts::tr("point %1: expected a position, a colour and a view list").arg(i));
            return result;
        }
        const SfmFields views = reader.fields();
        qint64 count = 0;
        bool ok = SfmText::toCount(views.at(0), count) && views.size() == 1 + 4 * count;
        for (qint64 v = 0; ok && v < count; ++v) {
            qint64 camera = 0;
            ok = SfmText::toCount(views.at(1 + 4 * v), camera) && camera < cameras;
        }
        for (int c = 0; ok && c < 3; ++c)
            ok = colour[c] >= 0 && colour[c] <= 255;
        if (!ok) {
            result.error =
                reader.message(Texts::tr("point %1: the view list or colour does not match the %2 cameras")
                                   .arg(i)
                                   .arg(cameras));
            return result;
        }
        SfmPoint point;
        point.position = ksr::Point3d(position[0], position[1], position[2]);
        for (int c = 0; c < 3; ++c)
            point.colour[c] = quint8(colour[c]);
        result.points.append(point);
    }
    if (!result.leftOut.isEmpty())
        result.warnings.append(
            Texts::tr("%1 photographs have no reconstructed camera (focal length 0) and are left out: %2")
                .arg(result.leftOut.size())
                .arg(result.leftOut.join(QStringLiteral(", "))));
    return result;
}

} // namespace BundlerFile
