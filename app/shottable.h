#pragma once
// Reading the data table back: one row per shot, every cell a text. A cell without an item
// reads as an empty text, so no reader ever touches a missing item.

#include "camera.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QTableWidget;

namespace ShotTable
{

enum Column { ImageColumn = 0, ThumbnailColumn, CameraColumn, DepthColumn, OrderColumn, SemanticColumn };

QString cellText(const QTableWidget *table, int row, int column);
// Creates the item when the cell has none.
void setCellText(QTableWidget *table, int row, int column, const QString &text);

// Element i is row i, for rows 0 .. rowCount() - 1.
QStringList texts(const QTableWidget *table, int column);
// The camera text of every row; a text that does not parse gives the empty camera.
QVector<Camera> cameras(const QTableWidget *table, int column = CameraColumn);
QVector<float> floats(const QTableWidget *table, int column);
QVector<int> integers(const QTableWidget *table, int column);

// The camera of one row; false when the row does not exist or its text does not parse.
bool camera(const QTableWidget *table, int row, Camera &result);

// True when the table has rows and every cell has an item with a non-empty text.
bool isComplete(const QTableWidget *table);

} // namespace ShotTable
