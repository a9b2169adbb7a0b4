#pragma once
// The DOM parser recurses per nesting level and overflows the stack on documents nested
// hundreds of thousands deep; the readers refuse such documents, and elements with absurdly many
// attributes, before parsing them.

#include <QByteArray>

namespace XmlNesting
{

// Far deeper than any index or project; far shallower than what breaks the parser.
constexpr int maxDepth = 256;

// True unless an element of content lies deeper than maxDepth. Content that is not well-formed
// is scanned up to its first error, so the parser can report that error itself.
bool withinLimit(const QByteArray &content, int maxDepth = XmlNesting::maxDepth);

// Parsers check every new attribute against those before it: an element with a hundred thousand
// attributes takes time quadratic in their number. No element of ours has more than a dozen.
constexpr int maxAttributes = 1024;

// True unless a start tag of content holds more than maxAttributes attributes. A byte scan, linear
// in the size, that runs before any parser sees the content.
bool attributesWithinLimit(const QByteArray &content, int maxAttributes = XmlNesting::maxAttributes);

} // namespace XmlNesting
