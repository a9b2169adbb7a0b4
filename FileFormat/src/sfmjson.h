#pragma once
// Reading of the JSON reconstruction formats (transforms.json, Meshroom .sfm, OpenMVG
// sfm_data.json): the whole file through the bounded reader, and numbers that some writers store
// as strings.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace SfmJson
{

// The file's top-level object; false with error set ("<file name> could not be read: ...", or the
// parser's message with its offset) otherwise.
bool readObject(const QString &path, QJsonObject &object, QString &error);

// A usable number (SfmCameras::usableNumber) stored as a JSON number or as a string.
bool number(const QJsonValue &value, double &result);
// n usable numbers from an array of exactly n entries.
bool numbers(const QJsonValue &value, double *result, int n);
// A whole number from 0 to 2^53, as a number or a string.
bool count(const QJsonValue &value, qint64 &result);
// A string or a number as text (ids are written either way).
QString text(const QJsonValue &value);

} // namespace SfmJson
