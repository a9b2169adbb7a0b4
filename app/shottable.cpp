#include "shottable.h"

#include "cameraelement.h"

#include <QTableWidget>

namespace ShotTable
{

QString cellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

void setCellText(QTableWidget *table, int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = table->item(row, column))
        item->setText(text);
    else
        table->setItem(row, column, new QTableWidgetItem(text));
}

QStringList texts(const QTableWidget *table, int column)
{
    QStringList result;
    for (int row = 0; row < table->rowCount(); ++row)
        result.append(cellText(table, row, column));
    return result;
}

QVector<Camera> cameras(const QTableWidget *table, int column)
{
    QVector<Camera> result;
    for (int row = 0; row < table->rowCount(); ++row) {
        Camera camera;
        CameraElement::parseCameraText(cellText(table, row, column).toUtf8(), camera);
        result.append(camera);
    }
    return result;
}

QVector<float> floats(const QTableWidget *table, int column)
{
    QVector<float> result;
    for (int row = 0; row < table->rowCount(); ++row)
        result.append(cellText(table, row, column).toFloat());
    return result;
}

QVector<int> integers(const QTableWidget *table, int column)
{
    QVector<int> result;
    for (int row = 0; row < table->rowCount(); ++row)
        result.append(cellText(table, row, column).toInt(nullptr, 10));
    return result;
}

bool camera(const QTableWidget *table, int row, Camera &result)
{
    if (row < 0 || row >= table->rowCount())
        return false;
    const QString text = cellText(table, row, CameraColumn);
    if (text.isEmpty())
        return false;
    Camera parsed;
    if (!CameraElement::parseCameraText(text.toUtf8(), parsed))
        return false;
    result = parsed;
    return true;
}

bool isComplete(const QTableWidget *table)
{
    if (table->rowCount() == 0)
        return false;
    for (int column = 0; column < table->columnCount(); ++column)
        for (int row = 0; row < table->rowCount(); ++row)
            if (cellText(table, row, column).isEmpty())
                return false;
    return true;
}

} // namespace ShotTable
