// OFF reader, with optional vertex normals (N), colours (C) and texture coordinates (ST).
// Own reader rather than assimp's: that one passes 0..255 colours on unscaled as if they were
// 0..1 values and cannot say whether a file was read completely.
// One vertex or face per line; colours may be 3 or 4 values, integers 0..255 or floats 0..1.

#include "importutils.h"
#include "textscanner.h"

#include <ksr/meshio.h>

#include <QByteArray>
#include <QList>

#include <limits>

namespace ksr
{
namespace io
{

using detail::ByteScanner;

namespace
{

struct OffHeader {
    bool normals = false;
    bool colors = false;
    bool texture = false;
};

// Next line with content: comments ("#" to the end of the line) removed, split into words.
bool nextWords(ByteScanner &in, QList<QByteArray> &words)
{
    QByteArray line;
    while (in.readLine(line)) {
        const int hash = line.indexOf('#');
        if (hash >= 0)
            line.truncate(hash);
        words = line.simplified().split(' ');
        if (!words.first().isEmpty())
            return true;
    }
    return false;
}

// Magic such as OFF, COFF, NOFF, CNOFF, STCOFF; "4OFF" and "nOFF" (other dimensions) are not read.
// Counts may follow on the same line, even glued to the magic ("OFF8 6 12").
int parseMagic(QList<QByteArray> &words, OffHeader &header)
{
    QByteArray magic = words.first();
    const int at = magic.indexOf("OFF");
    if (at < 0)
        return ErrorInvalidHeader;
    const QByteArray prefix = magic.left(at);
    const QByteArray rest = magic.mid(at + 3);
    if (prefix.contains('4') || prefix.contains('n'))
        return ErrorUnsupported;
    for (int k = 0; k < prefix.size(); ++k) {
        const char c = prefix[k];
        if (c == 'C')
            header.colors = true;
        else if (c == 'N')
            header.normals = true;
        else if (c == 'S' || c == 'T')
            header.texture = true;
        else
            return ErrorInvalidHeader;
    }
    words.removeFirst();
    if (!rest.isEmpty())
        words.prepend(rest);
    return ErrorNone;
}

bool toNumber(const QByteArray &word, double &value)
{
    return detail::parseDouble(word.constData(), int(word.size()), value);
}

std::uint8_t colorByte(const QByteArray &word, double value)
{
    const bool isFloat = word.contains('.') || word.contains('e') || word.contains('E');
    const double scaled = isFloat ? value * 255.0 : value;
    if (!(scaled > 0.0))
        return 0;
    return scaled >= 255.0 ? 255 : std::uint8_t(scaled + 0.5);
}

// Reads colour words starting at `from`: 3 or 4 values; anything else (a colour-map index) is ignored.
bool readColor(const QList<QByteArray> &words, int from, Color4b &color)
{
    const int n = int(words.size()) - from;
    if (n != 3 && n != 4)
        return false;
    std::uint8_t bytes[4] = {0, 0, 0, 255};
    for (int k = 0; k < n; ++k) {
        double value = 0.0;
        if (!toNumber(words[from + k], value))
            return false;
        bytes[k] = colorByte(words[from + k], value);
    }
    color = {bytes[0], bytes[1], bytes[2], bytes[3]};
    return true;
}

int readOff(ByteScanner &in, CMesh &mesh, int &loadMask)
{
    QList<QByteArray> words;
    OffHeader header;
    if (!nextWords(in, words))
        return ErrorInvalidHeader;
    const int magicCode = parseMagic(words, header);
    if (magicCode != ErrorNone)
        return magicCode;
    if (words.isEmpty() && !nextWords(in, words))
        return ErrorUnexpectedEnd;
    bool okVertices = false, okFaces = false;
    const qint64 vertexCount = words.size() >= 2 ? words[0].toLongLong(&okVertices) : 0;
    const qint64 faceCount = words.size() >= 2 ? words[1].toLongLong(&okFaces) : 0;
    if (!okVertices || !okFaces || vertexCount < 0 || faceCount < 0)
        return ErrorInvalidHeader;
    if (vertexCount > std::numeric_limits<int>::max())
        return ErrorTooLarge;

    loadMask = MaskVertexPosition;
    if (header.normals)
        loadMask |= MaskVertexNormal;
    // Every line takes at least two bytes: a count can never reserve more than the file could hold.
    mesh.vert.reserve(size_t(std::min(vertexCount, in.remaining() / 2 + 1)));
    detail::PositionCollector positions;
    auto finish = [&] {
        positions.place(mesh);
        detail::finishMesh(mesh);
    };
    bool anyColor = false;
    for (qint64 i = 0; i < vertexCount; ++i) {
        if (!nextWords(in, words)) {
            finish();
            return ErrorUnexpectedEnd;
        }
        CVertex v;
        v.c = mesh.defaultColor;
        double value[6] = {0, 0, 0, 0, 0, 0};
        const int fixed = header.normals ? 6 : 3;
        if (words.size() < fixed) {
            finish();
            return ErrorInvalidValue;
        }
        for (int k = 0; k < fixed; ++k)
            if (!toNumber(words[k], value[k])) {
                finish();
                return ErrorInvalidValue;
            }
        v.n = Point3f(float(value[3]), float(value[4]), float(value[5]));
        // Texture coordinates, when announced, are the last two words; colours sit before them.
        QList<QByteArray> colorWords = words;
        if (header.texture && colorWords.size() >= fixed + 2)
            colorWords.resize(colorWords.size() - 2);
        if (colorWords.size() > fixed && readColor(colorWords, fixed, v.c))
            anyColor = true;
        mesh.vert.push_back(v);
        positions.add(mesh, Point3d(value[0], value[1], value[2]));
    }
    if (anyColor)
        loadMask |= MaskVertexColor;

    if (faceCount > 0)
        loadMask |= MaskFaceIndex;
    int code = ErrorNone;
    bool badFace = false;
    for (qint64 i = 0; i < faceCount && code == ErrorNone; ++i) {
        if (!nextWords(in, words)) {
            code = ErrorUnexpectedEnd;
            break;
        }
        bool ok = false;
        const qint64 corners = words[0].toLongLong(&ok);
        if (!ok || corners < 0 || corners > words.size() - 1) {
            code = ok ? ErrorUnexpectedEnd : ErrorInvalidValue;
            break;
        }
        std::vector<qint64> index(size_t(corners), 0);
        bool valid = true;
        for (qint64 k = 0; k < corners && valid; ++k) {
            index[size_t(k)] = words[int(k) + 1].toLongLong(&ok);
            valid = ok && index[size_t(k)] >= 0 && index[size_t(k)] < qint64(mesh.vert.size());
        }
        if (!valid) { // drop this face, keep reading the others
            badFace = true;
            continue;
        }
        for (qint64 k = 2; k < corners; ++k) { // fan; face colours are not kept
            CFace f;
            f.v[0] = int(index[0]);
            f.v[1] = int(index[size_t(k - 1)]);
            f.v[2] = int(index[size_t(k)]);
            mesh.face.push_back(f);
        }
    }
    finish();
    return code == ErrorNone && badFace ? int(ErrorInvalidFace) : code;
}

} // namespace

int importOff(CMesh &mesh, const QString &fileName, int &loadMask)
{
    mesh.clear();
    loadMask = 0;
    QByteArray data;
    if (const int readCode = detail::readWholeFile(fileName, data))
        return readCode;
    ByteScanner in(data);
    const int code = readOff(in, mesh, loadMask);
    return in.lineTooLong() ? int(ErrorLineTooLong) : code;
}

} // namespace io
} // namespace ksr
