// Importers of the mesh library, on files written by the tests and on the shared real models.

#include <ksr/meshio.h>

#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cmath>

using namespace ksr;
using namespace ksr::io;

namespace
{

QByteArray plyHeader(const char *format, int vertices, bool colors, int faces)
{
    QByteArray h = "ply\nformat " + QByteArray(format) + " 1.0\ncomment test\nelement vertex " +
                   QByteArray::number(vertices) + "\nproperty float x\nproperty float y\nproperty float z\n";
    if (colors)
        h += "property uchar red\nproperty uchar green\nproperty uchar blue\n";
    if (faces >= 0)
        h += "element face " + QByteArray::number(faces) + "\nproperty list uchar int vertex_indices\n";
    return h + "end_header\n";
}

template <typename T> void appendValue(QByteArray &out, T value, bool bigEndian)
{
    char bytes[sizeof(T)];
    if (bigEndian)
        qToBigEndian(value, bytes);
    else
        qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

// A unit square in the z = 2 plane: four vertices coloured (10k, 20k, 30k), two triangles as one quad.
QByteArray squarePly(const char *format, bool colors, bool faces)
{
    const bool ascii = QByteArray(format) == "ascii";
    const bool big = QByteArray(format) == "binary_big_endian";
    QByteArray out = plyHeader(format, 4, colors, faces ? 1 : -1);
    const float xy[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        if (ascii) {
            out += QByteArray::number(xy[i][0]) + " " + QByteArray::number(xy[i][1]) + " 2";
            if (colors)
                out += " " + QByteArray::number(10 * i) + " " + QByteArray::number(20 * i) + " " +
                       QByteArray::number(30 * i);
            out += "\n";
        } else {
            appendValue(out, xy[i][0], big);
            appendValue(out, xy[i][1], big);
            appendValue(out, 2.0f, big);
            if (colors)
                for (int k = 1; k <= 3; ++k)
                    out.append(char(10 * k * i));
        }
    }
    if (faces) {
        if (ascii) {
            out += "4 0 1 2 3\n";
        } else {
            out.append(char(4));
            for (qint32 k = 0; k < 4; ++k)
                appendValue(out, k, big);
        }
    }
    return out;
}

QByteArray binaryStl(const QByteArray &header80, quint32 announced, int written)
{
    QByteArray out = header80.leftJustified(80, ' ', true);
    appendValue(out, announced, false);
    for (int i = 0; i < written; ++i) {
        const float v[12] = {0, 0, 1, 0, 0, 0, 1, 0, float(i), 0, 1, float(i)}; // all share the origin
        for (float f : v)
            appendValue(out, f, false);
        out.append(2, '\0');
    }
    return out;
}

// A multiresolution file as tslbuilder writes it: nodes breadth-first, every vertex with colour
// (10 i, 20, 30, 255) and normal (0, 0, 1).
struct TslTestNode {
    std::vector<Point3f> points;
    std::vector<std::array<quint32, 3>> triangles;
};
QByteArray tslFile(const std::vector<TslTestNode> &nodes, quint32 levels)
{
    QByteArray out("ORVTSL\x1A\n", 8);
    for (quint32 v : {1u, 2u, 10000u, levels, quint32(nodes.size())}) // version, colours flag
        appendValue(out, v, false);
    for (int k = 0; k < 6; ++k)
        appendValue(out, 0.0f, false);
    quint64 offset = 52 + 56 * nodes.size();
    std::vector<quint64> geometry, normals;
    for (const TslTestNode &n : nodes)
        geometry.push_back(offset), offset += n.points.size() * 16 + n.triangles.size() * 12;
    for (const TslTestNode &n : nodes)
        normals.push_back(offset), offset += n.points.size() * 12;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        quint32 level = 0;
        while ((2u << level) - 1 <= i)
            ++level;
        appendValue(out, level, false);
        for (int k = 0; k < 7; ++k) // cell size, node box
            appendValue(out, 0.0f, false);
        appendValue(out, quint32(nodes[i].points.size()), false);
        appendValue(out, quint32(nodes[i].triangles.size()), false);
        appendValue(out, geometry[i], false);
        appendValue(out, normals[i], false);
    }
    for (const TslTestNode &n : nodes) {
        for (const Point3f &p : n.points)
            for (int k = 0; k < 3; ++k)
                appendValue(out, p[k], false);
        for (std::size_t v = 0; v < n.points.size(); ++v)
            out.append(char(10 * v)).append(char(20)).append(char(30)).append(char(255));
        for (const auto &t : n.triangles)
            for (quint32 index : t)
                appendValue(out, index, false);
    }
    for (const TslTestNode &n : nodes)
        for (std::size_t v = 0; v < n.points.size(); ++v)
            for (float c : {0.0f, 0.0f, 1.0f})
                appendValue(out, c, false);
    return out;
}

// Two levels: a coarse root far away, two leaves that make the unit square.
std::vector<TslTestNode> squareTslNodes()
{
    return {{{{5, 5, 5}, {6, 5, 5}, {5, 6, 5}}, {{0, 1, 2}}},
            {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}},
            {{{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}}}};
}

} // namespace

class TestMeshIo : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &content)
    {
        const QString path = m_dir.filePath(name);
        if (!writeFile(path, content))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void plyVariants_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("colors");
        QTest::addColumn<bool>("faces");
        for (const char *format : {"ascii", "binary_little_endian", "binary_big_endian"})
            for (bool colors : {false, true})
                for (bool faces : {false, true})
                    QTest::addRow("%s%s%s", format, colors ? "-colors" : "", faces ? "-faces" : "-points")
                        << QByteArray(format) << colors << faces;
    }
    void plyVariants()
    {
        QFETCH(QByteArray, format);
        QFETCH(bool, colors);
        QFETCH(bool, faces);
        const QString path = write("square.ply", squarePly(format, colors, faces));
        CMesh mesh;
        int mask = -1;
        QCOMPARE(importMesh(mesh, path, mask), int(ErrorNone));
        QCOMPARE(int(mesh.vert.size()), 4);
        QCOMPARE(int(mesh.face.size()), faces ? 2 : 0); // the quad is split in two
        QCOMPARE(mesh.isPointCloud(), !faces);
        QCOMPARE(mesh.vert[2].p, Point3f(1, 1, 2));
        QCOMPARE(mesh.bboxMin, Point3f(0, 0, 2));
        QCOMPARE(mesh.bboxMax, Point3f(1, 1, 2));
        QCOMPARE(bool(mask & MaskVertexPosition), true);
        QCOMPARE(bool(mask & MaskVertexColor), colors);
        QCOMPARE(bool(mask & MaskFaceIndex), faces);
        const Color4b expected = colors ? Color4b{30, 60, 90, 255} : Color4b{128, 128, 128, 255};
        QVERIFY(mesh.vert[3].c == expected);
        if (faces) {
            // Both triangles face +z and use only existing corners.
            for (const CFace &f : mesh.face) {
                QVERIFY(f.n.z > 0.99f);
                for (int k : f.v)
                    QVERIFY(k >= 0 && k < 4);
            }
        }
    }

    void plyTriangleStripsAndOtherElements()
    {
        const QByteArray ply =
            "ply\nformat ascii 1.0\nelement vertex 5\nproperty float x\nproperty float y\n"
            "property float z\nproperty float confidence\nelement edge 1\nproperty int a\n"
            "property int b\nelement tristrips 1\nproperty list int int vertex_indices\n"
            "end_header\n0 0 0 1\n1 0 0 1\n0 1 0 1\n1 1 0 1\n2 1 0 1\n0 1\n6 0 1 2 3 -1 4\n";
        CMesh mesh;
        int mask = 0;
        QCOMPARE(importMesh(mesh, write("strips.ply", ply), mask), int(ErrorNone));
        QCOMPARE(int(mesh.vert.size()), 5);
        QCOMPARE(int(mesh.face.size()), 2); // (0,1,2), (2,1,3); the restart leaves 4 alone
        QCOMPARE(mesh.face[1].v[0], 2);
        QCOMPARE(mesh.face[1].v[1], 1);
        QCOMPARE(mesh.face[1].v[2], 3);
    }

    // A header line that is no keyword (an exporter's signature without "comment") is skipped.
    void plyHeaderLineWithoutKeyword()
    {
        QByteArray ply = squarePly("binary_little_endian", true, true);
        ply.replace("comment test\n", "Created by Scanner Suite 2.1\n");
        QTest::ignoreMessage(
            QtWarningMsg,
            "PLY header: \"Created by Scanner Suite 2.1\" is not a header keyword; read as a comment");
        CMesh mesh;
        int mask = 0;
        QCOMPARE(importMesh(mesh, write("signed.ply", ply), mask), int(ErrorNone));
        QCOMPARE(int(mesh.vert.size()), 4);
        QCOMPARE(int(mesh.face.size()), 2);
    }

    // Our own multiresolution file is read at its finest level, the original geometry.
    void tslFinestLevel()
    {
        const QString path = write("model.TSL", tslFile(squareTslNodes(), 2));
        CMesh mesh;
        int mask = 0;
        QCOMPARE(importMesh(mesh, path, mask), int(ErrorNone));
        QCOMPARE(errorText(path, ErrorNone), QString("No error"));
        QCOMPARE(int(mesh.vert.size()), 6);
        QCOMPARE(int(mesh.face.size()), 2);
        QCOMPARE(mesh.bboxMin, Point3f(0, 0, 0));
        QCOMPARE(mesh.bboxMax, Point3f(1, 1, 0)); // the coarse root is not part of it
        QCOMPARE(mesh.face[1].v[0], 3);           // second leaf's indices follow the first leaf's vertices
        QVERIFY(mesh.vert[4].c == (Color4b{10, 20, 30, 255}));
        QCOMPARE(mesh.vert[4].n, Point3f(0, 0, 1));
        QVERIFY((mask & MaskVertexColor) && (mask & MaskFaceIndex));

        // A one-level file is its own finest level.
        QCOMPARE(importMesh(mesh, write("one.tsl", tslFile({squareTslNodes()[1]}, 1)), mask), int(ErrorNone));
        QCOMPARE(int(mesh.face.size()), 1);
    }

    void tslDamaged()
    {
        const QByteArray good = tslFile(squareTslNodes(), 2);
        CMesh mesh;
        int mask = 0;
        QByteArray version = good;
        version[8] = 3; // 1 and 2 are known
        QCOMPARE(importMesh(mesh, write("v.tsl", version), mask), int(ErrorUnsupported));
        QByteArray nodeCount = good;
        nodeCount[24] = 4;
        QCOMPARE(importMesh(mesh, write("n.tsl", nodeCount), mask), int(ErrorInvalidHeader));
        QByteArray badIndex = good;
        const int lastTriangle = 52 + 3 * 56 + 3 * (3 * 16 + 12) - 4;
        badIndex[lastTriangle] = 7; // the second leaf's triangle refers to vertex 7 of 3
        QCOMPARE(importMesh(mesh, write("i.tsl", badIndex), mask), int(ErrorInvalidFace));
        QCOMPARE(int(mesh.face.size()), 1);
        // Cut anywhere: an error, never a crash or a face beyond the vertices.
        for (int length = 0; length < good.size(); ++length) {
            const int code = importMesh(mesh, write("cut.tsl", good.left(length)), mask);
            QVERIFY(code != ErrorNone);
            for (const CFace &f : mesh.face)
                for (int k : f.v)
                    QVERIFY(k >= 0 && k < int(mesh.vert.size()));
        }
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("vertices");
        QTest::addColumn<int>("faces");

        const QByteArray binary = squarePly("binary_little_endian", false, true);
        QTest::newRow("ply truncated in faces")
            << "t1.ply" << binary.left(binary.size() - 6) << int(ErrorUnexpectedEnd) << 4 << 0;
        QTest::newRow("ply truncated in vertices")
            << "t2.ply" << binary.left(binary.indexOf("end_header\n") + 11 + 30) << int(ErrorUnexpectedEnd)
            << 2 << 0;
        QByteArray huge = plyHeader("binary_little_endian", 2000000000, false, -1);
        appendValue(huge, 1.0f, false);
        QTest::newRow("ply announcing 2e9 vertices")
            << "huge.ply" << huge << int(ErrorUnexpectedEnd) << 0 << 0;
        QByteArray overflow =
            plyHeader("binary_little_endian", 3, false, -1).replace("vertex 3", "vertex 9000000000");
        QTest::newRow("ply count beyond int") << "ovf.ply" << overflow << int(ErrorTooLarge) << 0 << 0;
        QByteArray badIndex = squarePly("ascii", false, false);
        badIndex.replace("end_header", "element face 2\nproperty list uchar int vertex_indices\nend_header");
        badIndex += "3 0 1 99\n3 0 1 2\n";
        QTest::newRow("ply face beyond vertices") << "idx.ply" << badIndex << int(ErrorInvalidFace) << 4 << 1;
        QByteArray longList =
            plyHeader("binary_little_endian", 0, false, 1) + QByteArray(1, char(255)) + QByteArray(8, '\0');
        QTest::newRow("ply list longer than file")
            << "list.ply" << longList << int(ErrorUnexpectedEnd) << 0 << 0;
        QTest::newRow("ply without end_header")
            << "hdr.ply" << QByteArray("ply\nformat ascii 1.0\nelement vertex 1\n") << int(ErrorInvalidHeader)
            << 0 << 0;
        QTest::newRow("ply bad number") << "num.ply" << plyHeader("ascii", 2, false, -1) + "0 0 0\n1 x 1\n"
                                        << int(ErrorInvalidValue) << 1 << 0;
        QTest::newRow("ply unknown type")
            << "type.ply"
            << QByteArray("ply\nformat ascii 1.0\nelement vertex 1\nproperty quad x\nend_header\n")
            << int(ErrorUnsupported) << 0 << 0;
        // Elements with nothing to read must not loop for their count.
        QTest::newRow("ply vertices without properties")
            << "nv.ply" << QByteArray("ply\nformat ascii 1.0\nelement vertex 2147483647\nend_header\n")
            << int(ErrorEmptyElement) << 0 << 0;
        QTest::newRow("ply faces without properties")
            << "nf.ply"
            << QByteArray("ply\nformat binary_little_endian 1.0\nelement face 9000000000000\nend_header\n")
            << int(ErrorEmptyElement) << 0 << 0;
        QTest::newRow("ply unknown element without properties")
            << "nu.ply" << QByteArray("ply\nformat ascii 1.0\nelement x 9223372036854775807\nend_header\n")
            << int(ErrorEmptyElement) << 0 << 0;
        QTest::newRow("ply every vertex nan")
            << "allnan.ply" << plyHeader("ascii", 2, false, -1) + "nan 0 0\n0 inf 0\n"
            << int(ErrorAllNonFinite) << 2 << 0;
        QTest::newRow("not a ply") << "text.ply" << QByteArray("hello") << int(ErrorInvalidHeader) << 0 << 0;
        QTest::newRow("empty ply") << "zero.ply" << QByteArray() << int(ErrorInvalidHeader) << 0 << 0;
        QByteArray binaryBadIndex = binary;
        binaryBadIndex[binaryBadIndex.size() - 12] = char(7); // the quad's second corner
        QTest::newRow("ply binary face beyond vertices")
            << "bi.ply" << binaryBadIndex << int(ErrorInvalidFace) << 4 << 1;
        // Faces before the vertices wait for them; a later vertex element ends the file early.
        QByteArray facesFirst = binary;
        const qsizetype facesAt = facesFirst.indexOf("element face"),
                        endAt = facesFirst.indexOf("end_header");
        const QByteArray faceHeader = facesFirst.mid(facesAt, endAt - facesAt);
        facesFirst.remove(facesAt, faceHeader.size());
        facesFirst.insert(facesFirst.indexOf("element vertex"), faceHeader);
        const QByteArray faceBytes = binary.right(17);
        facesFirst.chop(17);
        facesFirst.insert(facesFirst.indexOf("end_header\n") + 11, faceBytes);
        QTest::newRow("ply binary faces before vertices")
            << "ff.ply" << facesFirst << int(ErrorNone) << 4 << 2;
        QTest::newRow("stl binary count beyond size")
            << "b.stl" << binaryStl("x", 1000000, 2) << int(ErrorUnexpectedEnd) << 5 << 2;
        QTest::newRow("stl ascii cut in facet")
            << "a.stl" << QByteArray("solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0")
            << int(ErrorUnexpectedEnd) << 1 << 0;
        QTest::newRow("stl ascii four corners")
            << "q.stl"
            << QByteArray("solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 1 1 "
                          "0\nvertex 0 1 0\n")
            << int(ErrorInvalidFace) << 3 << 0;
        QTest::newRow("stl shorter than header")
            << "h.stl" << QByteArray("abc") << int(ErrorInvalidHeader) << 0 << 0;
        QTest::newRow("off huge counts") << "h.off" << QByteArray("OFF\n2000000000 2000000000 0\n0 0 0\n")
                                         << int(ErrorUnexpectedEnd) << 1 << 0;
        QTest::newRow("off face beyond vertices")
            << "f.off" << QByteArray("OFF\n3 2 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 7\n3 0 1 2\n")
            << int(ErrorInvalidFace) << 3 << 1;
        QTest::newRow("off face with too few indices")
            << "c.off" << QByteArray("OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n4 0 1 2\n") << int(ErrorUnexpectedEnd)
            << 3 << 0;
        QTest::newRow("off negative count")
            << "n.off" << QByteArray("OFF\n-3 1 0\n") << int(ErrorInvalidHeader) << 0 << 0;
        QTest::newRow("off four dimensions")
            << "d.off" << QByteArray("4OFF\n1 0 0\n0 0 0 1\n") << int(ErrorUnsupported) << 0 << 0;
    }
    void damagedFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        QFETCH(int, vertices);
        QFETCH(int, faces);
        CMesh mesh;
        int mask = 0;
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(importMesh(mesh, write(name, content), mask), code);
        QVERIFY2(timer.elapsed() < 5000, "a lying header must not make the reader crawl");
        // Whatever was read before the damage is kept.
        QCOMPARE(int(mesh.vert.size()), vertices);
        QCOMPARE(int(mesh.face.size()), faces);
        for (const CFace &f : mesh.face)
            for (int k : f.v)
                QVERIFY(k >= 0 && k < vertices);
        const QString text = errorText(name, code);
        QVERIFY(!text.isEmpty());
        QVERIFY(text != "Unknown error");
    }

    void stlVariants()
    {
        // Binary with a header that starts like an ascii file, as several exporters write it.
        CMesh mesh;
        int mask = 0;
        QCOMPARE(importMesh(mesh, write("solid.stl", binaryStl("solid fake", 3, 3)), mask), int(ErrorNone));
        QCOMPARE(int(mesh.face.size()), 3);
        QCOMPARE(int(mesh.vert.size()), 7); // the origin is shared: 1 + 2 x 3 corners
        QCOMPARE(mesh.bboxMax, Point3f(1, 1, 2));

        // ... also when a few bytes follow the facets, so that the size rule alone does not decide.
        const QByteArray padded = binaryStl("solid exported by a CAD program", 3, 3) + "\n\n";
        QCOMPARE(importMesh(mesh, write("padded.stl", padded), mask), int(ErrorNone));
        QCOMPARE(int(mesh.face.size()), 3);

        QCOMPARE(importMesh(mesh, write("empty.stl", binaryStl("none", 0, 0)), mask), int(ErrorNone));
        QVERIFY(mesh.vert.empty());
        QVERIFY(mesh.bboxIsEmpty());

        const QByteArray ascii =
            "solid one\n facet normal 0 0 1\n  outer loop\n   vertex 0 0 0\n   vertex 1 0 0\n"
            "   vertex 0 1 0\n  endloop\n endfacet\n facet normal 0 0 1\n  outer loop\n"
            "   vertex 1 0 0\n   vertex 1 1 0\n   vertex 0 1 0\n  endloop\n endfacet\nendsolid one\n"
            "SOLID two\nFACET NORMAL 0 0 1\nOUTER LOOP\nVERTEX 5 5 5\nVERTEX 6 5 5\nVERTEX 5 6 5\n"
            "ENDLOOP\nENDFACET\nENDSOLID two\n";
        QCOMPARE(importMesh(mesh, write("ascii.stl", ascii), mask), int(ErrorNone));
        QCOMPARE(int(mesh.face.size()), 3);
        QCOMPARE(int(mesh.vert.size()), 7);
        QCOMPARE(mesh.bboxMax, Point3f(6, 6, 5));
        QVERIFY(mask & MaskFaceIndex);
    }

    void offVariants_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("colors");
        QTest::addColumn<int>("red"); // red byte of vertex 1
        QTest::addRow("plain") << QByteArray("OFF\n4 1 0\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n4 0 1 2 3\n") << false
                               << 128;
        QTest::addRow("comments, glued magic")
            << QByteArray("# c\nOFF4 1 0 # counts\n\n0 0 0\n1 0 0 # x\n1 1 0\n0 1 0\n4 0 1 2 3 255 0 0\n")
            << false << 128;
        QTest::addRow("COFF bytes") << QByteArray("COFF\n4 1 0\n0 0 0 1 2 3 255\n1 0 0 200 0 0 255\n1 1 0 0 "
                                                  "0 0 255\n0 1 0 0 0 0 255\n4 0 1 2 3\n")
                                    << true << 200;
        QTest::addRow("COFF floats")
            << QByteArray(
                   "COFF\n4 1 0\n0 0 0 0 0 0 1\n1 0 0 1.0 0.5 0 1\n1 1 0 0 0 0 1\n0 1 0 0 0 0 1\n4 0 1 2 3\n")
            << true << 255;
        QTest::addRow("CNOFF rgb") << QByteArray("CNOFF\n4 1 0\n0 0 0 0 0 1 9 9 9\n1 0 0 0 0 1 100 0 0\n1 1 "
                                                 "0 0 0 1 0 0 0\n0 1 0 0 0 1 0 0 0\n4 0 1 2 3\n")
                                   << true << 100;
    }
    void offVariants()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, colors);
        QFETCH(int, red);
        CMesh mesh;
        int mask = 0;
        QCOMPARE(importMesh(mesh, write("m.off", content), mask), int(ErrorNone));
        QCOMPARE(int(mesh.vert.size()), 4);
        QCOMPARE(int(mesh.face.size()), 2);
        QCOMPARE(bool(mask & MaskVertexColor), colors);
        QCOMPARE(int(mesh.vert[1].c.r), red);
        QCOMPARE(mesh.bboxMax, Point3f(1, 1, 0));
    }

    // Projected coordinates read in double and kept, relative to a whole-number origin, to the
    // millimetre; ordinary coordinates keep origin 0 and their floats.
    void largeCoordinatesKeepMillimetres_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<double>("east"); // added to every x below
        const QByteArray ply =
            "ply\nformat ascii 1.0\nelement vertex 3\nproperty double x\nproperty double y\n"
            "property double z\nelement face 1\nproperty list uchar int vertex_indices\n"
            "end_header\n%1.125 4500000.001 10\n%1.875 4500000.999 10\n%1.5 4500003.007 12\n3 0 1 2\n";
        const QByteArray off =
            "OFF\n3 1 0\n%1.125 4500000.001 10\n%1.875 4500000.999 10\n%1.5 4500003.007 12\n3 0 1 2\n";
        const QByteArray obj =
            "v %1.125 4500000.001 10\nv %1.875 4500000.999 10\nv %1.5 4500003.007 12\nf 1 2 3\n";
        const QByteArray stl =
            "solid s\nfacet normal 0 0 1\nouter loop\nvertex %1.125 4500000.001 10\n"
            "vertex %1.875 4500000.999 10\nvertex %1.5 4500003.007 12\nendloop\nendfacet\nendsolid s\n";
        const std::pair<const char *, QByteArray> formats[] = {
            {"m.ply", ply}, {"m.off", off}, {"m.obj", obj}, {"m.stl", stl}};
        for (const double east : {500000.0, 0.0})
            for (const auto &[name, text] : formats)
                QTest::addRow("%s %s", name, east > 0 ? "projected" : "north only")
                    << QString(name) << QByteArray(text).replace("%1", QByteArray::number(qint64(east)))
                    << east;
    }
    void largeCoordinatesKeepMillimetres()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(double, east);
        CMesh mesh;
        int mask = 0;
        QCOMPARE(importMesh(mesh, write(name, content), mask), int(ErrorNone));
        QCOMPARE(int(mesh.vert.size()), 3);
        QCOMPARE(int(mesh.face.size()), 1);
        QCOMPARE(mesh.origin, Point3d(east + 1, 4500002, 11)); // the box centre, rounded
        const Point3d truth[3] = {
            {east + 0.125, 4500000.001, 10}, {east + 0.875, 4500000.999, 10}, {east + 0.5, 4500003.007, 12}};
        for (const CFace &face : mesh.face)
            for (int k = 0; k < 3; ++k) {
                const Point3d read = mesh.origin + Point3d(mesh.vert[face.v[k]].p);
                QVERIFY2((read - truth[k]).length() < 1e-5, qPrintable(QString::number(k)));
            }
        // An ordinary model keeps origin 0 and the float of every coordinate.
        QByteArray near = content;
        near.replace("4500", "");
        if (east > 0)
            near.replace(QByteArray::number(qint64(east)), "0");
        QCOMPARE(importMesh(mesh, write(name, near), mask), int(ErrorNone));
        QVERIFY(mesh.origin.isZero());
        QCOMPARE(mesh.vert[mesh.face[0].v[2]].p, Point3f(0.5f, 3.007f, 12.0f));
    }

    void objThroughExternalImporter()
    {
        // Quad, triangle, a line and a material next to the file, read from another working folder.
        QDir().mkpath(m_dir.filePath("sub"));
        write("sub/m.mtl", "newmtl red\nKd 1 0 0\n");
        const QString obj =
            write("sub/m.obj", "mtllib m.mtl\nv 0 0 0 1 0 0\nv 1 0 0 0 1 0\nv 1 1 0 0 0 1\nv 0 1 0 1 1 1\n"
                               "v 3 3 3 1 1 1\nusemtl red\nf 1 2 3 4\nf 1 2 5\nl 1 5\n");
        const QString before = QDir::currentPath();
        CMesh mesh;
        int mask = 0;
        QCOMPARE(importMesh(mesh, obj, mask), int(ErrorNone));
        QCOMPARE(QDir::currentPath(), before);
        QCOMPARE(int(mesh.face.size()), 3);
        QCOMPARE(int(mesh.vert.size()), 5); // corners repeated per face are merged
        QVERIFY(mask & MaskVertexColor);
        QCOMPARE(mesh.bboxMax, Point3f(3, 3, 3));
        bool sawRed = false;
        for (const CVertex &v : mesh.vert)
            sawRed = sawRed || (v.p == Point3f(0, 0, 0) && v.c == Color4b{255, 0, 0, 255});
        QVERIFY(sawRed);

        QCOMPARE(importMesh(mesh, write("points.OBJ", "v 0 0 0\nv 1 2 3\nv 4 5 6\n"), mask), int(ErrorNone));
        QCOMPARE(int(mesh.vert.size()), 3);
        QVERIFY(mesh.isPointCloud());

        QCOMPARE(importMesh(mesh, write("broken.obj", "f 1 2 3\n"), mask), int(ErrorImporter));
        QVERIFY(mesh.vert.empty() && mesh.face.empty());
    }

    // Files the external importer gives back without their faces or vertices are still read whole.
    void objFallbacks_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("vertices");
        QTest::addColumn<int>("faces");
        QTest::addRow("named object of bare vertices")
            << QByteArray("o Cube\nv 1 1 1\nv 1 -1 1\nv -1 1 1\n") << int(ErrorNone) << 3 << 0;
        QTest::addRow("missing texture coordinates")
            << QByteArray("o B\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nf 1/1/1 2/2/2 3/3/3\nf 2/4 4/5 3/6\n")
            << int(ErrorNone) << 4 << 2;
        QTest::addRow("negative indices")
            << QByteArray("o N\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf -3/1 -2/1 -1/1\n") << int(ErrorNone) << 3 << 1;
        QTest::addRow("face beyond vertices")
            << QByteArray("o N\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/1 2/1 9/1\nf 1/1 2/1 3/1\n")
            << int(ErrorInvalidFace) << 3 << 1;
    }
    void objFallbacks()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        QFETCH(int, vertices);
        QFETCH(int, faces);
        CMesh mesh;
        int mask = 0;
        QCOMPARE(importMesh(mesh, write("fallback.obj", content), mask), code);
        QCOMPARE(int(mesh.vert.size()), vertices);
        QCOMPARE(int(mesh.face.size()), faces);
        QCOMPARE(mesh.isPointCloud(), faces == 0);
        QVERIFY(!mesh.bboxIsEmpty());
    }

    void dispatchByEnding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addRow("lower") << "model.ply" << int(ErrorNone) << "No error";
        QTest::addRow("upper") << "MODEL.PLY" << int(ErrorNone) << "No error";
        QTest::addRow("mixed") << "Model.Ply" << int(ErrorNone) << "No error";
        QTest::addRow("xyz") << "model.xyz" << int(ErrorUnknownType) << "Unknown type";
        QTest::addRow("no ending") << "model" << int(ErrorUnknownType) << "Unknown type";
        QTest::addRow("vmi") << "model.vmi" << int(ErrorUnsupported) << "VMI files are not supported";
        QTest::addRow("VMI") << "MODEL.VMI" << int(ErrorUnsupported) << "VMI files are not supported";
    }
    void dispatchByEnding()
    {
        QFETCH(QString, name);
        QFETCH(int, code);
        QFETCH(QString, text);
        const QString path = write(name, squarePly("ascii", true, true));
        CMesh mesh;
        mesh.vert.resize(7); // leftovers must go
        int mask = 0;
        QCOMPARE(importMesh(mesh, path, mask), code);
        QCOMPARE(errorText(path, code), text);
        QCOMPARE(int(mesh.vert.size()), code == ErrorNone ? 4 : 0);
        QCOMPARE(mask != 0, code == ErrorNone);
        QCOMPARE(errorText(path, 12345),
                 QString(code == ErrorUnknownType ? "Unknown type" : "Unknown error"));
    }

    void missingFile()
    {
        CMesh mesh;
        int mask = 0;
        for (const char *name : {"absent.ply", "absent.stl", "absent.off", "absent.obj", "absent.vmi"})
            QCOMPARE(importMesh(mesh, m_dir.filePath(name), mask), int(ErrorCantOpen));
    }

    void nonFinitePositionsLeaveTheBox()
    {
        const QByteArray ply =
            plyHeader("ascii", 4, false, 2) + "0 0 0\n1 1 1\nnan 0 0\n0 inf 5\n3 0 1 2\n3 0 1 3\n";
        CMesh mesh;
        int mask = 0;
        QCOMPARE(importMesh(mesh, write("nan.ply", ply), mask), int(ErrorNone));
        QVERIFY(mesh.vert[2].isDeleted() && mesh.vert[3].isDeleted());
        QCOMPARE(mesh.bboxMin, Point3f(0, 0, 0));
        QCOMPARE(mesh.bboxMax, Point3f(1, 1, 1));
        QVERIFY(mesh.face[0].isDeleted() && mesh.face[1].isDeleted());
    }

    // Cut at every length and with bytes overwritten, a file never yields faces that point nowhere.
    void damagedAtEveryByte_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addRow("ply ascii") << "cut.ply" << squarePly("ascii", true, true);
        QTest::addRow("ply little endian") << "cut.ply" << squarePly("binary_little_endian", true, true);
        QTest::addRow("ply big endian") << "cut.ply" << squarePly("binary_big_endian", false, true);
        QTest::addRow("stl binary") << "cut.stl" << binaryStl("b", 3, 3);
        QTest::addRow("stl ascii") << "cut.stl"
                                   << QByteArray(
                                          "solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 "
                                          "0\nvertex 0 1 0\nendloop\nendfacet\nendsolid s\n");
        QTest::addRow("off") << "cut.off"
                             << QByteArray("COFF\n4 2 0\n0 0 0 1 2 3 4\n1 0 0 5 6 7 8\n1 1 0 9 9 9 9\n0 1 0 "
                                           "1 1 1 1\n3 0 1 2\n3 0 2 3\n");
        QTest::addRow("obj") << "cut.obj"
                             << QByteArray("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\nf -1 -2 -3\n");
    }
    void damagedAtEveryByte()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        quint32 seed = 12345;
        auto checkOne = [&](const QByteArray &bytes) {
            CMesh mesh;
            int mask = 0;
            const int code = importMesh(mesh, write(name, bytes), mask);
            QVERIFY(!errorText(name, code).isEmpty());
            for (const CFace &f : mesh.face)
                for (int k : f.v)
                    QVERIFY(k >= 0 && k < int(mesh.vert.size()));
            QVERIFY(mesh.vert.size() <= 16); // nothing beyond what the bytes can hold
        };
        for (int length = 0; length < content.size(); ++length)
            checkOne(content.left(length));
        for (int round = 0; round < 200; ++round) {
            QByteArray bytes = content;
            for (int k = 0; k < 3; ++k) {
                seed = seed * 1103515245u + 12345u;
                bytes[int((seed >> 8) % quint32(bytes.size()))] = char(seed >> 24);
            }
            checkOne(bytes);
        }
    }

    // Every real model of the test data loads without crashing; text formats we read ourselves
    // agree with the manifest's counts.
    void realModelsNeverCrash()
    {
        const QString root = QStringLiteral(ORVELLE_TEST_DATA "/models-real");
        QFile manifest(root + "/MANIFEST.tsv");
        QVERIFY2(manifest.open(QIODevice::ReadOnly), qPrintable(manifest.fileName()));
        manifest.readLine();
        int files = 0;
        while (!manifest.atEnd()) {
            const QList<QByteArray> cols = manifest.readLine().trimmed().split('\t');
            if (cols.size() < 5)
                continue;
            const QString path = root + "/" + QString::fromUtf8(cols[0]);
            CMesh mesh;
            int mask = 0;
            const int code = importMesh(mesh, path, mask);
            ++files;
            QVERIFY2(!errorText(path, code).isEmpty(), qPrintable(path));
            for (const CFace &f : mesh.face)
                for (int k : f.v)
                    QVERIFY2(k >= 0 && k < int(mesh.vert.size()), qPrintable(path));
            bool countOk = false;
            const int vertices = cols[3].toInt(&countOk);
            if (code == ErrorNone && countOk && (cols[1] == "PLY" || cols[1] == "OFF"))
                QVERIFY2(int(mesh.vert.size()) == vertices, qPrintable(path));
        }
        QVERIFY(files >= 80);
    }
};

QTEST_GUILESS_MAIN(TestMeshIo)
#include "tst_meshio.moc"
