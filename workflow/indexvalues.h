#pragma once
// The viewer settings as plain data, and the one step that turns them and the shots into an
// OrvelleIndex ready to save. No widgets here: the window parses its controls and table into
// these records, so any other front end can fill them directly.

#include "camera.h"
#include "orvelleindex.h"
#include "problem.h"
#include "shotcollection.h"
#include "shotrecord.h"

#include <QColor>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

#include <ksr/geometry.h>

#include <optional>

// The viewer settings written into the index.
struct IndexSettings {
    QString sceneName;
    QString modelFileName;
    float cameraSpeed = 1.0f;
    ksr::Point3f upDirection{0.0f, 1.0f, 0.0f}; // already normalised
    Color4f backgroundColor{0.0f, 0.0f, 0.0f, 1.0f};
    int backgroundKind = OrvelleIndex::ColorBackground;
    // Used only with the dome background; one colour per height.
    QVector<float> domeHeights;
    QVector<Color4f> domeColors;
    bool lighting = false;
    int startShot = -1;           // row of the start camera; out of range means no start camera
    int thumbnailBarPosition = 0; // 0 bottom, 1 top
    Color4f frameletColor{1.0f, 1.0f, 1.0f, 1.0f};
    float frameletsScale = 1.0f;
    float projectionReliability = 1.0f;
};

// Fills index (a fresh one) with the settings and one collection made of the shots.
// False, with *error set and index untouched, when a shot lacks a value or the positions are not
// a permutation of the shots (the file would otherwise show them in an order nobody chose).
bool buildIndex(const IndexSettings &settings, const QVector<ShotRecord> &shots, OrvelleIndex &index,
                QString *error = nullptr);

// (x, y, z) normalised; a zero vector stays zero.
ksr::Point3f upVector(double x, double y, double z);

// Why (x, y, z) cannot be the up direction (the zero vector gives the viewer none); nullopt when it can.
std::optional<Problem> upDirectionProblem(double x, double y, double z);

// What is wrong with the model an index names: an empty name or (when multiresolution) a
// multiresolution model other than builtModel, the one built for this dataset, refuse the write;
// a file that is not on this disk is only worth a word (the viewer may find it beside the index).
struct ModelProblem {
    Problem problem;
    bool missingFile = false;
};
std::optional<ModelProblem> indexModelProblem(const QString &modelFile, bool multiresolution,
                                              const QString &builtModel);

// Why fileName cannot be written, as the system says it (missing folder, read-only folder or
// file, a folder of that name); empty when nothing stands in the way.
QString unwritableReason(const QString &fileName);

// The view from a shot's camera: its rotation times the translation by minus its centre.
ksr::Matrix44f startViewMatrix(const Camera &camera);

// One row of the dome table: the height must be a number and the colour text must hold at
// least three numbers separated by commas or spaces. False when either is not so.
bool parseDomeRow(const QString &heightText, const QString &colorText, float &height, Color4f &color);

// One dome row as text: height and "R,G,B".
using DomeRowText = QPair<QString, QString>;

// The dome a fresh window shows: five rows from the ground (-1) to the zenith (1).
QVector<DomeRowText> defaultDomeRows();

// Every row parsed as parseDomeRow does. False at the first bad row, with *error naming it
// (rows counted from 1) and the outputs untouched.
bool parseDomeRows(const QVector<DomeRowText> &rows, QVector<float> &heights, QVector<Color4f> &colors,
                   QString *error = nullptr);

// A colour as the index carries it: red, green, blue, alpha in [0, 1].
Color4f indexColor(const QColor &color);

// buildIndex, then save to fileName (paths relative to its folder when relativePaths). True when
// written; said is then the success message, otherwise why nothing was written (naming the file and
// the cause), both titled "Index generation status".
bool writeIndexFile(const IndexSettings &settings, const QVector<ShotRecord> &shots, const QString &fileName,
                    bool relativePaths, Problem &said);
