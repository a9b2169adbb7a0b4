#include "sfmjson.h"

#include "sfmreconstruction.h"
#include "sfmtextreader.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cmath>

namespace SfmJson
{

bool readObject(const QString &path, QJsonObject &object, QString &error)
{
    const QString name = QFileInfo(path).fileName();
    QByteArray data;
    QString why;
    if (!SfmFiles::readWhole(path, data, why)) {
        error = QCoreApplication::translate("SfmReader", "%1 could not be read: %2").arg(name, why);
        return false;
    }
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parse);
    if (parse.error != QJsonParseError::NoError) {
        error = QCoreApplication::translate("SfmReader", "%1, byte %2: %3")
                    .arg(name, QString::number(parse.offset), parse.errorString());
        return false;
    }
    if (!document.isObject()) {
        error = QCoreApplication::translate("SfmReader", "%1: the file holds no JSON object").arg(name);
        return false;
    }
    object = document.object();
    return true;
}

bool number(const QJsonValue &value, double &result)
{
    bool ok = value.isDouble();
    if (ok)
        result = value.toDouble();
    else if (value.isString())
        result = value.toString().trimmed().toDouble(&ok);
    return ok && SfmCameras::usableNumber(result);
}

bool numbers(const QJsonValue &value, double *result, int n)
{
    const QJsonArray array = value.toArray();
    if (array.size() != n)
        return false;
    for (int i = 0; i < n; ++i)
        if (!number(array.at(i), result[i]))
            return false;
    return true;
}

bool count(const QJsonValue &value, qint64 &result)
{
    double number = 0;
    if (!SfmJson::number(value, number) || number < 0 || number > 9007199254740992.0 ||
        number != std::floor(number))
        return false;
    result = qint64(number);
    return true;
}

QString text(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 17);
    return QString();
}

} // namespace SfmJson
