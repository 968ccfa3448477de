#include "core/svgsource.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <zlib.h>

#include <memory>

namespace SvgSource {

namespace {

using FileAccess::Status;

struct InflateEnd
{
    void operator()(z_stream *stream) const { inflateEnd(stream); }
};

bool isExternal(QStringView reference)
{
    const QStringView trimmed = reference.trimmed();
    return !trimmed.startsWith(QLatin1Char('#'))
        && !trimmed.startsWith(QLatin1String("data:"), Qt::CaseInsensitive);
}

bool isExternalReference(const QXmlStreamAttribute &attribute)
{
    return attribute.name() == QLatin1String("href") && isExternal(attribute.value());
}

bool isStyleSheet(const QXmlStreamReader &reader)
{
    return reader.tokenType() == QXmlStreamReader::ProcessingInstruction
        && reader.processingInstructionTarget() == QLatin1String("xml-stylesheet");
}

// True when the drawing names another file, or cannot be read to the end to tell.
bool refersOutside(const QByteArray &drawing)
{
    QXmlStreamReader reader(drawing);
    while (!reader.atEnd()) {
        reader.readNext();
        if (isStyleSheet(reader))
            return true;
        if (reader.isStartElement()) {
            const QXmlStreamAttributes attributes = reader.attributes();
            for (const QXmlStreamAttribute &attribute : attributes)
                if (isExternalReference(attribute))
                    return true;
        }
    }
    return reader.hasError();
}

// Written by qualified name, prefixes and declarations as they were, so
// that the renderer reads the same document.
void copyStartElement(const QXmlStreamReader &reader, QXmlStreamWriter &writer)
{
    writer.writeStartElement(reader.qualifiedName().toString());
    const QXmlStreamNamespaceDeclarations declarations = reader.namespaceDeclarations();
    for (const QXmlStreamNamespaceDeclaration &declaration : declarations) {
        const QString name = declaration.prefix().isEmpty()
            ? QStringLiteral("xmlns")
            : QStringLiteral("xmlns:") + declaration.prefix().toString();
        writer.writeAttribute(name, declaration.namespaceUri().toString());
    }
    const QXmlStreamAttributes attributes = reader.attributes();
    for (const QXmlStreamAttribute &attribute : attributes)
        if (!isExternalReference(attribute))
            writer.writeAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
}

} // namespace

Status inflate(const QByteArray &compressed, qint64 limit, QByteArray &drawing)
{
    z_stream stream = {};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) // gzip wrapping only
        return Status::Damaged;
    const std::unique_ptr<z_stream, InflateEnd> end(&stream);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.constData()));
    stream.avail_in = uInt(compressed.size());
    QByteArray out;
    int result = Z_OK;
    while (result == Z_OK) {
        // One byte beyond the limit tells a drawing too long from one that just fits.
        if (out.size() > limit)
            return Status::TooLong;
        const qsizetype at = out.size();
        const qsizetype step = qMin<qint64>(qMax<qsizetype>(at, 65536), limit + 1 - at);
        out.resize(at + step);
        stream.next_out = reinterpret_cast<Bytef *>(out.data() + at);
        stream.avail_out = uInt(step);
        result = ::inflate(&stream, Z_NO_FLUSH);
        out.resize(at + step - stream.avail_out);
    }
    if (result != Z_STREAM_END)
        return out.size() > limit ? Status::TooLong : Status::Damaged;
    if (out.size() > limit)
        return Status::TooLong;
    drawing = out;
    return Status::Ok;
}

QByteArray selfContained(const QByteArray &drawing)
{
    if (!refersOutside(drawing))
        return drawing;
    QByteArray out;
    QXmlStreamReader reader(drawing);
    QXmlStreamWriter writer(&out);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.hasError())
            break;
        if (reader.isStartElement())
            copyStartElement(reader, writer);
        else if (reader.isEndElement())
            writer.writeEndElement();
        else if (!isStyleSheet(reader))
            writer.writeCurrentToken(reader);
    }
    writer.writeEndDocument();
    return out;
}

bool hasText(const QByteArray &drawing)
{
    for (qsizetype at = drawing.indexOf("text"); at > 0; at = drawing.indexOf("text", at + 1))
        if (drawing.at(at - 1) == '<' || drawing.at(at - 1) == ':')
            return true;
    return false;
}

} // namespace SvgSource
