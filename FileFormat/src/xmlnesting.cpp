#include "xmlnesting.h"

#include <QXmlStreamReader>

namespace XmlNesting
{

bool withinLimit(const QByteArray &content, int maxDepth)
{
    QXmlStreamReader reader(content);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > maxDepth)
            return false;
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return true;
}

} // namespace XmlNesting
