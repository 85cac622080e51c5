#include "BoundedXml.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringConverter>

#include <algorithm>
#include <optional>

namespace vexilo {

namespace {

// The encoding the reader would use: a byte-order mark (or UTF-16/32 starting with '<'), the
// declaration's, or UTF-8.
std::optional<QStringDecoder> decoderFor(const QByteArray &bytes, QString &problem)
{
    if (const auto encoding = QStringConverter::encodingForData(bytes, u'<'))
        return QStringDecoder(*encoding);
    if (bytes.startsWith("<?xml")) {
        static const QRegularExpression declared(
            QStringLiteral("^<\\?xml[^>]*?\\sencoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
        const QString start = QString::fromLatin1(bytes.left(qsizetype(256)));
        const QRegularExpressionMatch match = declared.match(start);
        if (match.hasMatch()) {
            const QByteArray name = match.captured(1).toLatin1();
            QStringDecoder decoder(name.constData());
            if (!decoder.isValid()) {
                problem = QStringLiteral("кодировка «%1» не поддерживается")
                              .arg(QString::fromLatin1(name));
                return std::nullopt;
            }
            return decoder;
        }
    }
    return QStringDecoder(QStringDecoder::Utf8);
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// One pass over the text: markup is skipped, start tags are counted, entity uses summed.
class Checker
{
public:
    Checker(QStringView text, int maxAttributes) : m_text(text), m_maxAttributes(maxAttributes) {}

    QString run(qint64 &line)
    {
        while (m_at < m_text.size() && m_problem.isEmpty()) {
            const qsizetype open = m_text.indexOf(u'<', m_at);
            const qsizetype end = open < 0 ? m_text.size() : open;
            countUses(m_at, end);
            moveTo(end);
            if (open < 0)
                break;
            if (at(u"<!--"))
                skipPast(u"-->");
            else if (at(u"<![CDATA["))
                skipPast(u"]]>");
            else if (at(u"<?"))
                skipPast(u"?>");
            else if (at(u"<!DOCTYPE"))
                doctype();
            else if (at(u"</") || at(u"<!"))
                skipPast(u">");
            else
                startTag();
        }
        line = m_line;
        return m_problem;
    }

private:
    bool at(QStringView what) const { return m_text.mid(m_at).startsWith(what); }

    void moveTo(qsizetype to)
    {
        to = std::min(to, m_text.size());
        m_line += m_text.mid(m_at, to - m_at).count(u'\n');
        m_at = to;
    }

    void skipPast(QStringView end)
    {
        const qsizetype found = m_text.indexOf(end, m_at);
        moveTo(found < 0 ? m_text.size() : found + end.size());
    }

    void skipBlanks()
    {
        qsizetype to = m_at;
        while (to < m_text.size() && isBlank(m_text[to]))
            ++to;
        moveTo(to);
    }

    QStringView word()
    {
        qsizetype to = m_at;
        while (to < m_text.size() && !isBlank(m_text[to]) && m_text[to] != u'>' &&
               m_text[to] != u'/' && m_text[to] != u'=' && m_text[to] != u'"' &&
               m_text[to] != u'\'')
            ++to;
        const QStringView found = m_text.mid(m_at, to - m_at);
        moveTo(to);
        return found;
    }

    // A quoted literal at the position, without its quotes; the position after it.
    QStringView literal()
    {
        const QChar quote = m_text[m_at];
        const qsizetype close = m_text.indexOf(quote, m_at + 1);
        const qsizetype end = close < 0 ? m_text.size() : close;
        const QStringView inside = m_text.mid(m_at + 1, end - m_at - 1);
        moveTo(end + 1);
        return inside;
    }

    void startTag()
    {
        moveTo(m_at + 1);
        const QString name = word().toString();
        int attributes = 0;
        while (m_at < m_text.size() && m_problem.isEmpty()) {
            const QChar c = m_text[m_at];
            if (c == u'>' || c == u'<')
                break;
            if (c == u'"' || c == u'\'') {
                const qsizetype start = m_at + 1;
                const QStringView value = literal();
                countUses(start, start + value.size());
            } else if (isBlank(c) || c == u'/' || c == u'=') {
                moveTo(m_at + 1);
            } else {
                const QStringView attribute = word();
                if (attribute.isEmpty()) {
                    moveTo(m_at + 1);
                    continue;
                }
                if (++attributes > m_maxAttributes)
                    m_problem = QStringLiteral("у элемента «%1» больше %2 атрибутов")
                                    .arg(name.left(64))
                                    .arg(m_maxAttributes);
                else if ((attribute == u"xmlns" || attribute.startsWith(u"xmlns:")) &&
                         ++m_namespaces > kMaxXmlNamespaces)
                    m_problem = QStringLiteral("больше %1 объявлений пространств имён")
                                    .arg(kMaxXmlNamespaces);
            }
        }
        if (at(u">"))
            moveTo(m_at + 1);
    }

    void doctype()
    {
        moveTo(m_at + 9);
        while (m_at < m_text.size() && m_problem.isEmpty()) {
            const QChar c = m_text[m_at];
            if (c == u'"' || c == u'\'') {
                literal();
            } else if (c == u'[') {
                moveTo(m_at + 1);
                subset();
            } else {
                moveTo(m_at + 1);
                if (c == u'>')
                    break;
            }
        }
    }

    void subset()
    {
        while (m_at < m_text.size() && m_problem.isEmpty()) {
            skipBlanks();
            if (at(u"]")) {
                moveTo(m_at + 1);
                return;
            }
            if (at(u"<!--"))
                skipPast(u"-->");
            else if (at(u"<?"))
                skipPast(u"?>");
            else if (at(u"<!ENTITY"))
                entity();
            else if (at(u"<!ATTLIST"))
                m_problem = QStringLiteral("DTD объявляет атрибуты");
            else if (at(u"%"))
                m_problem = QStringLiteral("DTD ссылается на параметрические сущности");
            else if (at(u"<!"))
                declaration();
            else
                moveTo(m_at + 1);
        }
    }

    // Up to its closing '>', over quoted literals.
    void declaration()
    {
        while (m_at < m_text.size()) {
            const QChar c = m_text[m_at];
            if (c == u'"' || c == u'\'') {
                literal();
                continue;
            }
            moveTo(m_at + 1);
            if (c == u'>')
                return;
        }
    }

    void entity()
    {
        moveTo(m_at + 8);
        skipBlanks();
        if (at(u"%")) {
            m_problem = QStringLiteral("DTD объявляет параметрические сущности");
            return;
        }
        const QString name = word().toString();
        skipBlanks();
        if (m_at < m_text.size() && (m_text[m_at] == u'"' || m_text[m_at] == u'\'')) {
            const QStringView value = literal();
            // A character reference in an entity's value becomes markup where it is used.
            if (value.contains(u'<') || value.contains(u"&#"))
                m_problem = QStringLiteral("сущность «%1» содержит разметку").arg(name.left(64));
            else if (m_values.size() >= kMaxXmlEntities)
                m_problem =
                    QStringLiteral("DTD объявляет больше %1 сущностей").arg(kMaxXmlEntities);
            else if (!m_values.contains(name))
                m_values.insert(name, value.toString()); // the first declaration holds
        }
        declaration();
    }

    // The characters a use of the entity expands into, nested uses included; past the budget
    // for a loop.
    qsizetype expanded(const QString &name, int depth)
    {
        if (const auto known = m_expanded.constFind(name); known != m_expanded.cend())
            return *known;
        const auto value = m_values.constFind(name);
        if (value == m_values.cend())
            return 1; // a predefined entity, or one the reader refuses
        if (depth > kMaxXmlEntities)
            return kMaxXmlEntityText + 1;
        qsizetype size = 0;
        for (qsizetype i = 0; i < value->size() && size <= kMaxXmlEntityText;) {
            const qsizetype use = value->indexOf(u'&', i);
            const qsizetype semicolon = use < 0 ? -1 : value->indexOf(u';', use);
            if (semicolon < 0) {
                size += value->size() - i;
                break;
            }
            size += use - i + expanded(value->mid(use + 1, semicolon - use - 1), depth + 1);
            i = semicolon + 1;
        }
        size = std::min(size, kMaxXmlEntityText + 1);
        m_expanded.insert(name, size);
        return size;
    }

    void countUses(qsizetype from, qsizetype to)
    {
        if (m_values.isEmpty())
            return;
        const QStringView part = m_text.mid(from, to - from);
        for (qsizetype i = 0; i < part.size() && m_problem.isEmpty();) {
            const qsizetype use = part.indexOf(u'&', i);
            const qsizetype semicolon = use < 0 ? -1 : part.indexOf(u';', use);
            if (semicolon < 0)
                return;
            m_entityText += expanded(part.mid(use + 1, semicolon - use - 1).toString(), 0);
            if (m_entityText > kMaxXmlEntityText)
                m_problem = QStringLiteral("сущности разворачиваются больше чем в %1 МБ текста")
                                .arg(kMaxXmlEntityText >> 20);
            i = semicolon + 1;
        }
    }

    QStringView m_text;
    const int m_maxAttributes;
    qsizetype m_at = 0;
    qint64 m_line = 1;
    int m_namespaces = 0;
    qsizetype m_entityText = 0;
    QHash<QString, QString> m_values;
    QHash<QString, qsizetype> m_expanded;
    QString m_problem;
};

} // namespace

BoundedXml boundedXml(const QByteArray &bytes, int maxAttributes)
{
    BoundedXml xml;
    std::optional<QStringDecoder> decoder = decoderFor(bytes, xml.problem);
    if (!decoder) {
        xml.line = 1;
        return xml;
    }
    xml.text = decoder->decode(bytes);
    if (decoder->hasError()) {
        xml.text.clear();
        xml.problem = QStringLiteral("текст не в своей кодировке");
        xml.line = 1;
        return xml;
    }
    xml.problem = Checker(xml.text, maxAttributes).run(xml.line);
    if (!xml.problem.isEmpty())
        xml.text.clear();
    return xml;
}

} // namespace vexilo
