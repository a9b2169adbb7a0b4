#pragma once
// Writes a JSON object as QJsonDocument::toJson(Indented) would, piece by piece: the report of a
// dataset of 100,000 photographs is some hundreds of megabytes of text, which is never held whole.

#include <QJsonObject>

#include <cstdio>

namespace JsonStream
{

// The same bytes as QJsonDocument(object).toJson(QJsonDocument::Indented); false when writing failed.
bool writeIndented(const QJsonObject &object, std::FILE *out);

} // namespace JsonStream
