#include "SvgTint.h"

#include "common/BoundedXml.h"
#include "compose/tints/CssColourTint.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <optional>
#include <vector>

namespace vexilo {

namespace {

// Deeper drawings are not made by hand or by any editor; the limit keeps a hostile file from
// exhausting the renderer's stack.
constexpr int kMaxDepth = 256;

constexpr QStringView kSvgNamespace = u"http://www.w3.org/2000/svg";

// The fill and color an element passes on to its children, as the file writes them. A mask
// needs them untinted, because its colours make transparency, not paint.
struct Inherited
{
    QString fill = QStringLiteral("black");
    QString color = QStringLiteral("black");
    bool mask = false;
};

struct ColourAttributes
{
    std::optional<QString> fill;
    std::optional<QString> color;
    bool stopColor = false;
    bool floodColor = false;

    void note(QStringView name, QStringView value)
    {
        // "inherit" passes the parent's value on, as if nothing were written.
        const QString written = value.trimmed().toString();
        const QString kept = written.endsWith(u"!important", Qt::CaseInsensitive)
                                 ? written.chopped(10).trimmed()
                                 : written;
        const bool inherits = kept.compare(u"inherit", Qt::CaseInsensitive) == 0;
        if (name.compare(u"fill", Qt::CaseInsensitive) == 0 && !inherits)
            fill = kept;
        else if (name.compare(u"color", Qt::CaseInsensitive) == 0 && !inherits)
            color = kept;
        else if (name.compare(u"stop-color", Qt::CaseInsensitive) == 0)
            stopColor = true;
        else if (name.compare(u"flood-color", Qt::CaseInsensitive) == 0)
            floodColor = true;
    }
};

class SvgTinter
{
public:
    SvgTinter(const QString &svg, const Recolour &recolour)
        : m_reader(svg), m_writer(&m_out), m_recolour(recolour),
          m_keep([](QRgb colour) { return colour; })
    {
        m_inherited.emplace_back();
    }

    QByteArray run()
    {
        while (!m_reader.atEnd() && !m_failed) {
            switch (m_reader.readNext()) {
            case QXmlStreamReader::StartElement:
                startElement();
                break;
            case QXmlStreamReader::EndElement:
                endElement();
                break;
            case QXmlStreamReader::Characters:
                if (m_inStyle) {
                    m_styleText += m_reader.text();
                    m_styleCdata = m_styleCdata || m_reader.isCDATA();
                } else {
                    m_writer.writeCurrentToken(m_reader);
                }
                break;
            case QXmlStreamReader::DTD:
                // The reader has expanded the internal entities already; without the DTD
                // the renderer has nothing left to resolve.
                break;
            case QXmlStreamReader::EntityReference:
            case QXmlStreamReader::Invalid:
                m_failed = true;
                break;
            default:
                m_writer.writeCurrentToken(m_reader);
                break;
            }
        }
        if (m_failed || m_reader.hasError() || m_writer.hasError())
            return {};
        return m_out;
    }

private:
    void startElement()
    {
        flushStyle();
        if (static_cast<int>(m_inherited.size()) > kMaxDepth) {
            m_failed = true;
            return;
        }
        const Inherited &parent = m_inherited.back();
        const QStringView ns = m_reader.namespaceUri();
        const bool svgElement = ns.isEmpty() || ns == kSvgNamespace;
        const QStringView name = m_reader.name();
        const bool mask = parent.mask || (svgElement && name == u"mask");
        const Recolour &recolour = mask ? m_keep : m_recolour;

        for (const auto &declaration : m_reader.namespaceDeclarations()) {
            // An entity the reader could not resolve stays in the name as "&name;", which
            // the writer would put out unescaped; no real namespace holds these characters.
            const QStringView uri = declaration.namespaceUri();
            if (uri.contains(u'&') || uri.contains(u'<') || uri.contains(u'"')) {
                m_failed = true;
                return;
            }
            if (declaration.prefix().isEmpty())
                m_writer.writeDefaultNamespace(declaration.namespaceUri().toString());
            else
                m_writer.writeNamespace(declaration.namespaceUri().toString(),
                                        declaration.prefix().toString());
        }
        m_writer.writeStartElement(ns.toString(), name.toString());

        ColourAttributes attributes;
        ColourAttributes styled;
        for (const QXmlStreamAttribute &attribute : m_reader.attributes()) {
            const QStringView attributeName = attribute.name();
            if (!svgElement || !attribute.namespaceUri().isEmpty()) {
                m_writer.writeAttribute(attribute);
            } else if (attributeName == u"style") {
                const auto seen = [&](QStringView property, QStringView value) {
                    styled.note(property, value);
                };
                m_writer.writeAttribute(attribute.qualifiedName().toString(),
                                        tintCssColours(attribute.value(), recolour, seen));
            } else if (isPaintedColourProperty(attributeName, Qt::CaseSensitive)) {
                attributes.note(attributeName, attribute.value());
                m_writer.writeAttribute(attribute.qualifiedName().toString(),
                                        tintColourValue(attribute.value(), recolour));
            } else {
                m_writer.writeAttribute(attribute);
            }
        }

        Inherited next{parent.fill, parent.color, mask};
        for (const ColourAttributes *source : {&attributes, &styled}) {
            if (source->fill)
                next.fill = *source->fill;
            if (source->color)
                next.color = *source->color;
        }
        if (svgElement)
            addInitialColours(name, mask && !parent.mask, attributes, parent);
        m_inherited.push_back(std::move(next));
        m_inStyle = svgElement && name == u"style";
    }

    // The colours an element paints without writing them: black fill and color from the
    // root, black stops and floods. A mask gets back the untinted colours it inherits.
    void addInitialColours(QStringView name, bool maskStart, const ColourAttributes &attributes,
                           const Inherited &parent)
    {
        if (maskStart) {
            if (!attributes.fill)
                m_writer.writeAttribute(QStringLiteral("fill"), parent.fill);
            if (!attributes.color)
                m_writer.writeAttribute(QStringLiteral("color"), parent.color);
            return;
        }
        if (parent.mask)
            return;
        const QString black = tintColourValue(u"#000000", m_recolour);
        if (m_inherited.size() == 1 && name == u"svg") {
            if (!attributes.fill)
                m_writer.writeAttribute(QStringLiteral("fill"), black);
            if (!attributes.color)
                m_writer.writeAttribute(QStringLiteral("color"), black);
        } else if (name == u"stop" && !attributes.stopColor) {
            m_writer.writeAttribute(QStringLiteral("stop-color"), black);
        } else if ((name == u"feFlood" || name == u"feDropShadow") && !attributes.floodColor) {
            m_writer.writeAttribute(QStringLiteral("flood-color"), black);
        }
    }

    void endElement()
    {
        flushStyle();
        if (m_inherited.size() > 1)
            m_inherited.pop_back();
        m_writer.writeEndElement();
    }

    // A sheet may arrive in pieces (text, CDATA, expanded entities); it is tinted whole.
    void flushStyle()
    {
        if (!m_inStyle)
            return;
        m_inStyle = false;
        const QString sheet =
            tintCssColours(m_styleText, m_inherited.back().mask ? m_keep : m_recolour);
        if (m_styleCdata && !sheet.contains(u"]]>"))
            m_writer.writeCDATA(sheet);
        else if (!sheet.isEmpty())
            m_writer.writeCharacters(sheet);
        m_styleText.clear();
        m_styleCdata = false;
    }

    QXmlStreamReader m_reader;
    QByteArray m_out;
    QXmlStreamWriter m_writer;
    const Recolour &m_recolour;
    const Recolour m_keep;
    std::vector<Inherited> m_inherited; // the document, then one per open element
    bool m_inStyle = false;
    QString m_styleText;
    bool m_styleCdata = false;
    bool m_failed = false;
};

} // namespace

QByteArray tintSvgColours(const QByteArray &svg, const std::function<QRgb(QRgb)> &recolour)
{
    // The reader reads exactly the text that was checked. The tint adds up to two colours to
    // an element, and its result must be within the bounds too.
    const BoundedXml bounded = boundedXml(svg, kMaxXmlAttributes - 2);
    if (!bounded.problem.isEmpty())
        return {};
    SvgTinter tinter(bounded.text, recolour);
    return tinter.run();
}

} // namespace vexilo
