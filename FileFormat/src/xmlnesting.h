#pragma once
// The DOM parser recurses per nesting level and overflows the stack on documents nested
// hundreds of thousands deep; the readers refuse such documents before parsing them.

#include <QByteArray>

namespace XmlNesting
{

// Far deeper than any index or project; far shallower than what breaks the parser.
constexpr int maxDepth = 256;

// True unless an element of content lies deeper than maxDepth. Content that is not well-formed
// is scanned up to its first error, so the parser can report that error itself.
bool withinLimit(const QByteArray &content, int maxDepth = XmlNesting::maxDepth);

} // namespace XmlNesting
