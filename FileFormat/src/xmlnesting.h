#pragma once
// Bounds on the structure of an XML document, checked by one linear byte scan before any parser sees
// it: the streaming reader checks every new attribute against those before it (quadratic in their
// number) and expands entities a document declares itself, and readers of nested groups recurse per
// nesting level (a stack overflow hundreds of thousands deep).
// An index or project of 100,000 photographs stays within every bound; reading the most a document
// may hold takes some seconds.

#include <QByteArray>
#include <QString>

namespace XmlNesting
{

struct Limits {
    int depth = 256;                   // our files nest fewer than ten deep
    int attributesPerElement = 128;    // no element of ours has more than a dozen
    qint64 nodes = 2000000;            // elements and attributes: 16 a photograph in an index
    qint64 attributeValue = 64 * 1024; // a path (4,096 bytes at most) or 16 numbers
};

// Why content is refused, in words that follow the file's name ("has an element with more than
// 128 attributes (line 3)"); empty when it is within every limit. A document that declares its own
// entities (a DOCTYPE with an internal subset) is refused too: none of our formats has one, and
// that is where entity expansion starts. Content that is not well-formed is scanned only as far as
// it needs to be, so that the parser can report the error itself.
QString structureProblem(const QByteArray &content, const Limits &limits = Limits());

} // namespace XmlNesting
