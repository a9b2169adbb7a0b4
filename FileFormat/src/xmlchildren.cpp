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

bool nextNamed(QXmlStreamReader &reader, QLatin1String name)
{
    while (next(reader)) {
        if (reader.isStartElement() && reader.qualifiedName() == name)
            return true;
        if (reader.isStartElement())
            reader.skipCurrentElement();
    }
    return false;
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

const Element *Element::child(QLatin1String childName) const
{
    for (const Element &c : children)
        if (c.name == childName)
            return &c;
    return nullptr;
}

QString Element::attribute(QLatin1String attributeName, const QString &absent) const
{
    return attributes.hasAttribute(attributeName) ? attributes.value(attributeName).toString() : absent;
}

Element readElement(QXmlStreamReader &reader)
{
    Element element;
    element.name = reader.qualifiedName().toString();
    element.attributes = reader.attributes();
    element.line = reader.lineNumber();
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement)
            break;
        if (token == QXmlStreamReader::Characters) {
            element.text += reader.text();
        } else if (token == QXmlStreamReader::StartElement) {
            element.children.push_back(readElement(reader));
            element.text += element.children.back().text;
        }
    }
    return element;
}

} // namespace XmlChildren
