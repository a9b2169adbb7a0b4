#include "xmlnesting.h"

#include <QByteArrayView>
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

bool attributesWithinLimit(const QByteArray &content, int maxAttributes)
{
    const qsizetype size = content.size();
    qsizetype pos = 0;
    while ((pos = content.indexOf('<', pos)) >= 0) {
        // Comments, CDATA sections, declarations and processing instructions hold no attributes.
        const QByteArrayView rest = QByteArrayView(content).sliced(pos);
        const char *close = rest.startsWith("<!--")        ? "-->"
                            : rest.startsWith("<![CDATA[") ? "]]>"
                            : rest.startsWith("<?")        ? "?>"
                            : rest.startsWith("<!")        ? ">"
                                                           : nullptr;
        if (close) {
            pos = content.indexOf(close, pos + 2);
            if (pos < 0)
                return true;
            continue;
        }
        // A tag: each '=' outside a quoted value is one attribute.
        int attributes = 0;
        char quote = 0;
        for (++pos; pos < size; ++pos) {
            const char c = content.at(pos);
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '=' && ++attributes > maxAttributes) {
                return false;
            } else if (c == '>' || c == '<') {
                break;
            }
        }
    }
    return true;
}

} // namespace XmlNesting
