#pragma once
// Walking the children of an element with a streaming XML reader, one node at a time and without a
// tree: white-space-only text is passed over, every other node (element, comment, text, processing
// instruction, entity reference) is a child, as a document tree would hold it.

#include <QString>
#include <QXmlStreamAttributes>

#include <vector>

class QXmlStreamReader;

namespace XmlChildren
{

// Moves to the next child of the element being read: true at that child, false at the element's
// end tag or where the document ends or stops being well-formed. A child element must be consumed
// (read to its end tag, or skipCurrentElement) before the next call.
bool next(QXmlStreamReader &reader);

// Consumes the remaining children up to the element's end tag.
void skipRest(QXmlStreamReader &reader);

// Moves to the next child element named name, consuming every other child on the way: false as next().
bool nextNamed(QXmlStreamReader &reader, QLatin1String name);

// The current node's name as a document tree names it: the tag of an element, "#comment",
// "#text", "#cdata-section", a processing instruction's target; empty at an end tag (no node).
QString nodeName(const QXmlStreamReader &reader);

// A small element read whole (a sensor, a transform): its attributes, its child elements and the
// text of all its descendants, as a tree node would give them. Only for elements known to be small.
struct Element {
    QString name;
    QXmlStreamAttributes attributes;
    QString text;
    qint64 line = 0; // of its start tag
    std::vector<Element> children;

    // The first child of that name, or nullptr.
    const Element *child(QLatin1String childName) const;
    QString attribute(QLatin1String attributeName, const QString &absent = QString()) const;
};

// Reads the element the reader stands at, up to its end tag.
Element readElement(QXmlStreamReader &reader);

} // namespace XmlChildren
