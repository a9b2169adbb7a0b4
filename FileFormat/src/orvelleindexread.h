#pragma once
// An index that fills itself from an index file (root "scene") or from a Polyforge project
// given in its place. Problems are reported through error(title, message); create one reader
// per file, since reading appends to what is already there.

#include "orvelleindex.h"

#include <QObject>
#include <QString>

#include <QPair>
#include <QVector>

class QXmlStreamAttributes;
class QXmlStreamReader;

class OrvelleIndexRead : public QObject, public OrvelleIndex
{
    Q_OBJECT
public:
    explicit OrvelleIndexRead(QObject *parent = nullptr);

    // True when the whole document was accepted. After false the object holds what was read
    // before the failure; the collection being read then is not added.
    bool readFile(const QString &fileName);

    // Absolute path of the folder of the file being read.
    const QString &sourceDirectory() const { return m_sourceDirectory; }

    // Web addresses (http://, https://) and absolute paths unchanged; "./rest" becomes sourceDirectory/rest;
    // anything else "unrecognized source".
    QString resolvePath(const QString &path) const;

signals:
    void error(const QString &title, const QString &message);

private:
    // Each reads the element the reader stands at; true with the reader at its end tag.
    bool readScene(QXmlStreamReader &reader);
    bool readCollection(QXmlStreamReader &reader);
    struct ShotLists;
    bool readShot(QXmlStreamReader &reader, const ksr::Matrix44f &shotFrame, ShotLists &lists);
    bool readModel(QXmlStreamReader &reader);
    bool readCamera(QXmlStreamReader &reader);
    bool readBackground(QXmlStreamReader &reader);
    bool readLighting(QXmlStreamReader &reader);
    void readProjectAsIndex(QXmlStreamReader &reader);
    Camera readCameraElement(const QXmlStreamAttributes &attributes, const QString &tag);
    bool requireAttributes(const QXmlStreamAttributes &attributes, const QString &tag,
                           const QStringList &names);

    void tagError(const QString &expected, const QString &found);
    void unknownTagError(const QString &found);
    void attributeError(const QString &attribute, const QString &element);
    void formatError(const QString &message);

    void report(const QString &title, const QString &message);

    QString m_sourceDirectory;
    // Problems found while reading, emitted once the document proved well-formed: one that is not
    // reports that alone, as a parser that builds a tree first would.
    QVector<QPair<QString, QString>> m_problems;
};
