#include "xmlnesting.h"

#include <QByteArrayView>
#include <QCoreApplication>

namespace XmlNesting
{

namespace
{

QString tr(const char *text)
{
    return QCoreApplication::translate("XmlNesting", text);
}

// The end of a run started at pos that closes with close: just past it, or -1 when it never closes.
qsizetype skipPast(const QByteArray &content, qsizetype pos, const char *close)
{
    const qsizetype found = content.indexOf(close, pos);
    return found < 0 ? -1 : found + qsizetype(qstrlen(close));
}

} // namespace

QString structureProblem(const QByteArray &content, const Limits &limits)
{
    const char *text = content.constData();
    const qsizetype size = content.size();
    qsizetype pos = 0;
    qint64 nodes = 0;
    int depth = 0;
    auto at = [&](qsizetype where, const QString &problem) {
        const qint64 line = 1 + QByteArrayView(text, where).count('\n');
        return tr("%1 (line %2)").arg(problem).arg(line);
    };
    while ((pos = content.indexOf('<', pos)) >= 0) {
        const QByteArrayView rest = QByteArrayView(content).sliced(pos);
        if (rest.startsWith("<!--") || rest.startsWith("<![CDATA[") || rest.startsWith("<?")) {
            pos = skipPast(content, pos + 2,
                           rest.startsWith("<!--") ? "-->"
                           : rest.startsWith("<?") ? "?>"
                                                   : "]]>");
            if (pos < 0)
                return QString();
            continue;
        }
        const qsizetype start = pos;
        if (rest.startsWith("<!")) {
            // A declaration: an internal subset ("[") is where a document declares its own entities.
            for (++pos; pos < size && text[pos] != '>' && text[pos] != '['; ++pos) {
            }
            if (pos < size && text[pos] == '[')
                return at(start, tr("declares entities or elements of its own (a DOCTYPE with an internal "
                                    "subset), which these files never do"));
            continue;
        }
        if (rest.startsWith("</")) {
            --depth;
            pos = skipPast(content, pos + 2, ">");
            if (pos < 0)
                return QString();
            continue;
        }
        if (++nodes > limits.nodes)
            return at(start, tr("has more than %1 elements and attributes").arg(limits.nodes));
        if (++depth > limits.depth)
            return at(start, tr("is nested more than %1 elements deep").arg(limits.depth));
        // A start tag: each '=' outside a quoted value is one attribute.
        int attributes = 0;
        char quote = 0;
        qsizetype valueStart = 0;
        for (++pos; pos < size; ++pos) {
            const char c = text[pos];
            if (quote) {
                if (c != quote)
                    continue;
                quote = 0;
                if (pos - valueStart > limits.attributeValue)
                    return at(start,
                              tr("has an attribute value longer than %1 bytes").arg(limits.attributeValue));
            } else if (c == '"' || c == '\'') {
                quote = c;
                valueStart = pos + 1;
            } else if (c == '=') {
                if (++attributes > limits.attributesPerElement)
                    return at(
                        start,
                        tr("has an element with more than %1 attributes").arg(limits.attributesPerElement));
                if (++nodes > limits.nodes)
                    return at(start, tr("has more than %1 elements and attributes").arg(limits.nodes));
            } else if (c == '>') {
                if (text[pos - 1] == '/')
                    --depth;
                break;
            } else if (c == '<') {
                break; // not well-formed: the parser says where
            }
        }
        // A value still open at the end is as long as what is left.
        if (quote && size - valueStart > limits.attributeValue)
            return at(start, tr("has an attribute value longer than %1 bytes").arg(limits.attributeValue));
    }
    return QString();
}

} // namespace XmlNesting
