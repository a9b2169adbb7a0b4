#pragma once
// An index that fills itself from an index file (root "scene") or from a Polyforge project
// given in its place. Problems are reported through error(title, message); create one reader
// per file, since reading appends to what is already there.

#include "orvelleindex.h"

#include <QObject>
#include <QString>

class QDomElement;
class QDomNode;

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
    bool readScene(const QDomElement &scene);
    bool readCollection(const QDomElement &element);
    struct ShotLists;
    bool readShot(const QDomElement &element, const ksr::Matrix44f &shotFrame, ShotLists &lists);
    bool readModel(const QDomElement &element);
    bool readCamera(const QDomElement &element);
    bool readBackground(const QDomElement &element);
    bool readLighting(const QDomElement &element);
    void readProjectAsIndex(const QDomElement &root);
    Camera readCameraElement(const QDomNode &node);
    bool requireAttributes(const QDomElement &element, const QStringList &names);

    void tagError(const QString &expected, const QString &found);
    void unknownTagError(const QString &found);
    void attributeError(const QString &attribute, const QString &element);
    void formatError(const QString &message);

    QString m_sourceDirectory;
};
