#include "xmlchildren.h"

#include <QXmlStreamReader>

namespace XmlChildren
{

bool next(QXmlStreamReader &reader)
{
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::EndElement:
            return false;
        case QXmlStreamReader::Characters:
            if (!reader.isWhitespace())
                return true;
            break;
        case QXmlStreamReader::StartElement:
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
        case QXmlStreamReader::EntityReference:
            return true;
        default:
            break;
        }
    }
    return false;
}

void skipRest(QXmlStreamReader &reader)
{
    while (next(reader))
        if (reader.isStartElement())
            reader.skipCurrentElement();
}

QString nodeName(const QXmlStreamReader &reader)
{
    switch (reader.tokenType()) {
    case QXmlStreamReader::StartElement:
        return reader.qualifiedName().toString();
    case QXmlStreamReader::Comment:
        return QStringLiteral("#comment");
    case QXmlStreamReader::Characters:
        return reader.isCDATA() ? QStringLiteral("#cdata-section") : QStringLiteral("#text");
    case QXmlStreamReader::ProcessingInstruction:
        return reader.processingInstructionTarget().toString();
    case QXmlStreamReader::EntityReference:
        return reader.name().toString();
    default:
        return QString();
    }
}

} // namespace XmlChildren
