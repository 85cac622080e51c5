#pragma once

#include <QByteArray>
#include <QString>

// XML for QXmlStreamReader within bounds that keep its reading linear in the document's size.
// The reader compares every attribute of an element with every other and looks each prefix up
// among all namespace declarations in scope, and expands entities each time they are used, so
// a small file can keep it busy for minutes. The bounds lie far above anything a production
// calendar (two attributes a day) or a drawing saved by a design program (a few dozen on one
// element, a dozen namespaces and entities) holds.
namespace vexilo {

inline constexpr int kMaxXmlAttributes = 256;           // on one element
inline constexpr int kMaxXmlNamespaces = 256;           // declared in the whole document
inline constexpr int kMaxXmlEntities = 256;             // declared in its DTD
inline constexpr qsizetype kMaxXmlEntityText = 1 << 20; // characters their uses expand into

struct BoundedXml
{
    // The document as text, decoded as the XML reader would decode it; give the reader this,
    // so that it reads exactly what was checked.
    QString text;
    // Empty within the bounds; otherwise what lies beyond them, in Russian, e.g. "у элемента
    // «day» больше 256 атрибутов", and the line where it was found.
    QString problem;
    qint64 line = 0;
};

// Decodes the bytes (a byte-order mark, else the encoding the declaration names, else UTF-8)
// and checks them in one pass. Markup the reader would take from the DTD is refused: attribute
// declarations, parameter entities and entities holding markup.
BoundedXml boundedXml(const QByteArray &bytes, int maxAttributes = kMaxXmlAttributes);

} // namespace vexilo
