#include "output/sourcetext.h"

#include "core/pictureencoder.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace SourceText {

namespace {

// A name that is a keyword in any of the languages would not compile in it.
const char *const Keywords[] = {
    "alignas", "alignof", "and", "and_eq", "as", "asm", "assert", "async", "auto", "await",
    "bitand", "bitor", "bool", "break", "case", "catch", "char", "char16_t", "char32_t",
    "char8_t", "class", "compl", "concept", "const", "const_cast", "consteval", "constexpr",
    "constinit", "continue", "co_await", "co_return", "co_yield", "decltype", "def", "default",
    "del", "delete", "do", "double", "dynamic_cast", "elif", "else", "enum", "except",
    "explicit", "export", "extern", "False", "false", "finally", "float", "for", "friend",
    "from", "global", "goto", "if", "import", "in", "inline", "int", "is", "lambda", "long",
    "mutable", "namespace", "new", "None", "noexcept", "nonlocal", "not", "not_eq", "nullptr",
    "operator", "or", "or_eq", "pass", "private", "protected", "public", "raise", "register",
    "reinterpret_cast", "requires", "restrict", "return", "short", "signed", "sizeof",
    "static", "static_assert", "static_cast", "struct", "switch", "template", "this",
    "thread_local", "throw", "True", "true", "try", "typedef", "typeid", "typename", "union",
    "unsigned", "using", "virtual", "void", "volatile", "wchar_t", "while", "with", "xor",
    "xor_eq", "yield",
};

bool isKeyword(const QString &text)
{
    for (const char *keyword : Keywords)
        if (text == QLatin1String(keyword))
            return true;
    return false;
}

// Blanks that end a line are noise in a diff and warnings in some linters.
QString withoutTrailingBlanks(QString text)
{
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+(?=\\n|$)"));
    text.remove(blanks);
    while (text.endsWith(QLatin1String("\n\n")))
        text.chop(1);
    return text;
}

QString number(int value)
{
    return QString::number(value);
}

QString framesName(const Options &options)
{
    return options.name + QStringLiteral("_frames");
}

QString arrayDeclarator(const QString &name, int bytes)
{
    return QStringLiteral("const unsigned char %1[%2]").arg(name).arg(bytes);
}

QString framesDeclarator(const Options &options)
{
    return QStringLiteral("const unsigned char *const %1[%2_FRAMES]")
        .arg(framesName(options), options.name);
}

// What the numbers are, so that nobody has to guess the layout later.
QString layoutComment(const QString &prefix, const Options &options,
                      const DisplayLayout &layout, int count)
{
    const QString shape = layout.description();
    if (!options.frames)
        return prefix + QStringLiteral("%1: %2, %3 bytes\n")
                            .arg(options.name, shape)
                            .arg(layout.imageBytes());
    return prefix + QStringLiteral("%1 to %2: %3 of %4, %5 bytes each\n")
                        .arg(tableName(options, 0), tableName(options, count - 1))
                        .arg(count == 1 ? QStringLiteral("1 image")
                                        : QStringLiteral("%1 images").arg(count))
                        .arg(shape)
                        .arg(layout.imageBytes());
}

// The picture's size, and its frame count with frames, each a constant as
// `define` writes one: "#define %1 %2\n" or "%1 equ %2\n".
QString sizeConstants(const QString &define, const Options &options, const DisplayLayout &layout,
                      int count)
{
    const auto constant = [&](const char *suffix, int value) {
        return define.arg(options.name + QLatin1String(suffix), QString::number(value));
    };
    QString text = constant("_WIDTH", layout.width) + constant("_HEIGHT", layout.height);
    if (options.frames)
        text += constant("_FRAMES", count);
    return text;
}

QString declarations(const Options &options, const DisplayLayout &layout, int count)
{
    QString text;
    if (options.target == Target::Avr)
        text += QStringLiteral("#include <avr/pgmspace.h>\n\n");
    text += sizeConstants(QStringLiteral("#define %1 %2\n"), options, layout, count);
    const QString flash = options.target == Target::Avr ? QStringLiteral(" PROGMEM") : QString();
    QString externs;
    for (int k = 0; k < (options.frames ? count : 1); ++k)
        externs += QStringLiteral("extern ") + arrayDeclarator(tableName(options, k),
                                                              layout.imageBytes())
            + flash + QStringLiteral(";\n");
    if (options.frames)
        externs += QStringLiteral("extern ") + framesDeclarator(options) + flash
            + QStringLiteral(";\n");
    return text + QLatin1Char('\n') + withCLinkage(externs);
}

Tags tagsFor(const QString &name, const DisplayLayout &layout, int count)
{
    return Tags{name, layout.width, layout.height, layout.imageBytes(), count};
}

QString tables(Language language, const ExportFields &fields, const Options &options,
               const DisplayLayout &layout, const QList<QByteArray> &images)
{
    const bool assembler = language == Language::Assembler || language == Language::Pic
        || language == Language::Pic18;
    QString text;
    for (int k = 0; k < images.size(); ++k) {
        ExportFields named = expandTags(fields, tagsFor(tableName(options, k), layout,
                                                        int(images.size())));
        if (language == Language::C)
            named.tableStart = arrayDeclarator(tableName(options, k), layout.imageBytes())
                + storage(options) + QStringLiteral(" = {");
        text += ExportText::table(named, options.bytesPerLine, assembler, images[k]);
    }
    return text;
}

QString cFrames(const ExportFields &fields, const Options &options, int count)
{
    const QString indent = ExportText::expandTabs(fields.lineStart);
    QString text;
    if (options.target == Target::Avr)
        text += QStringLiteral("// The pointers sit in flash too: read image k's address with\n"
                               "// (const unsigned char *)pgm_read_ptr(&%1[k]).\n")
                    .arg(framesName(options));
    text += framesDeclarator(options) + storage(options) + QStringLiteral(" = {");
    for (int k = 0; k < count; ++k)
        text += QLatin1Char('\n') + indent + tableName(options, k)
            + (k + 1 < count ? QStringLiteral(",") : QString());
    return text + QStringLiteral("\n};\n");
}

QString cSource(const ExportFields &fields, const Options &options, const DisplayLayout &layout,
                const QList<QByteArray> &images)
{
    const int count = int(images.size());
    QString text = layoutComment(QStringLiteral("// "), options, layout, count);
    if (options.target == Target::Avr)
        text += QStringLiteral("// In flash: read the bytes with pgm_read_byte().\n");
    text += options.headerName.isEmpty()
        ? declarations(options, layout, count)
        : QStringLiteral("#include \"%1\"\n").arg(options.headerName);
    text += QLatin1Char('\n') + tables(Language::C, fields, options, layout, images);
    if (options.frames)
        text += cFrames(fields, options, count);
    return text;
}

QString assemblerSource(Language language, const ExportFields &fields, const Options &options,
                        const DisplayLayout &layout, const QList<QByteArray> &images)
{
    const int count = int(images.size());
    QString text = layoutComment(QStringLiteral("; "), options, layout, count);
    text += sizeConstants(QStringLiteral("%1 equ %2\n"), options, layout, count);
    return text + QLatin1Char('\n') + tables(language, fields, options, layout, images);
}

QString pythonSource(const ExportFields &fields, const Options &options,
                     const DisplayLayout &layout, const QList<QByteArray> &images)
{
    const int count = int(images.size());
    QString text = layoutComment(QStringLiteral("# "), options, layout, count);
    text += QStringLiteral("import framebuf\n\n%1_WIDTH = %2\n%1_HEIGHT = %3\n"
                           "%1_FORMAT = framebuf.%4\n\n")
                .arg(options.name)
                .arg(layout.width)
                .arg(layout.height)
                .arg(framebufFormat(layout));
    text += tables(Language::Python, fields, options, layout, images);
    if (options.frames) {
        // A tuple, one name a line; the comma after the last keeps a single
        // frame a tuple.
        const QString indent = ExportText::expandTabs(fields.lineStart);
        text += options.name + QStringLiteral(" = (\n");
        for (int k = 0; k < count; ++k)
            text += indent + tableName(options, k) + QStringLiteral(",\n");
        text += QStringLiteral(")\n%1_FRAMES = %2\n").arg(options.name).arg(count);
    }
    return text;
}

} // namespace

QString storage(const Options &options)
{
    QString text;
    if (options.target == Target::Avr)
        text += QStringLiteral(" PROGMEM");
    if (!options.attribute.isEmpty())
        text += QLatin1Char(' ') + options.attribute;
    return text;
}

QString withCLinkage(const QString &declarations)
{
    // C linkage from C++ too, so that a C file and a C++ file can share them.
    return QStringLiteral("#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n") + declarations
        + QStringLiteral("\n#ifdef __cplusplus\n}\n#endif\n");
}

QString identifierFor(const QString &path)
{
    const QString name = QString::fromLatin1(PictureEncoder::identifierForName(path));
    return isKeyword(name) ? name + QStringLiteral("_image") : name;
}

bool isIdentifier(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return pattern.match(text).hasMatch() && !isKeyword(text);
}

QString includeGuard(const QString &headerPath)
{
    return QString::fromLatin1(PictureEncoder::identifierForName(headerPath)).toUpper()
        + QStringLiteral("_H");
}

QString expandTags(const QString &text, const Tags &tags)
{
    if (!text.contains(QLatin1Char('$')))
        return text;
    QString result = text;
    result.replace(QLatin1String("$name"), tags.name)
        .replace(QLatin1String("$width"), number(tags.width))
        .replace(QLatin1String("$height"), number(tags.height))
        .replace(QLatin1String("$bytes"), number(tags.bytes))
        .replace(QLatin1String("$count"), number(tags.count));
    return result;
}

bool hasTags(const QString &text)
{
    static const QRegularExpression tag(QStringLiteral("\\$(name|width|height|bytes|count)"));
    return text.contains(tag);
}

ExportFields expandTags(const ExportFields &fields, const Tags &tags)
{
    return ExportFields{expandTags(fields.comment, tags),    expandTags(fields.tableStart, tags),
                        expandTags(fields.tableEnd, tags),   expandTags(fields.lineStart, tags),
                        expandTags(fields.hexPrefix, tags), expandTags(fields.separator, tags)};
}

ExportFields fields(Language language)
{
    static const char *const table[][6] = {
        {"// ", "const unsigned char $name[$bytes] = {", "};", "$tab", "0x", ", "},
        {"; ", "$name:", "", "dt $tab", "0x", ", "},
        {"; ", "$name:", "", "$tabdt$tab", "0x", ", "},
        {"; ", "$name:", "", "$tabdb$tab", "0x", ", "},
        {"' ", "Dim $name()=", "", "$tab$tab", "&H", ", "},
        {"# ", "$name = bytes([", "])", "    ", "0x", ", "},
    };
    const char *const *row = table[int(language)];
    return ExportFields{QString::fromLatin1(row[0]), QString::fromLatin1(row[1]),
                        QString::fromLatin1(row[2]), QString::fromLatin1(row[3]),
                        QString::fromLatin1(row[4]), QString::fromLatin1(row[5])};
}

QString tableName(const Options &options, int index)
{
    return options.frames ? QStringLiteral("%1_%2").arg(options.name).arg(index) : options.name;
}

QString framebufFormat(const DisplayLayout &layout)
{
    if (layout.orientation == DisplayLayout::Orientation::Horizontal)
        return layout.bitOrder == DisplayLayout::BitOrder::Msb ? QStringLiteral("MONO_HLSB")
                                                               : QStringLiteral("MONO_HMSB");
    if (layout.bitOrder == DisplayLayout::BitOrder::Lsb && layout.controllers == 1)
        return QStringLiteral("MONO_VLSB");
    return QString();
}

bool canHold(Language language, const DisplayLayout &layout)
{
    return language != Language::Python || !framebufFormat(layout).isEmpty();
}

QString source(Language language, const ExportFields &fields, const Options &options,
               const DisplayLayout &layout, const QList<QByteArray> &images)
{
    // The banner and comments name the whole set; each table names itself.
    const ExportFields whole = expandTags(fields, tagsFor(options.name, layout,
                                                          int(images.size())));
    QString text = options.banner ? ExportText::banner(whole) : QString();
    switch (language) {
    case Language::C:
        text += cSource(fields, options, layout, images);
        break;
    case Language::Assembler:
    case Language::Pic:
    case Language::Pic18:
        text += assemblerSource(language, fields, options, layout, images);
        break;
    case Language::Custom:
        text += layoutComment(ExportText::expandTabs(whole.comment), options, layout,
                              int(images.size()))
            + tables(language, fields, options, layout, images);
        break;
    case Language::Python:
        text += pythonSource(fields, options, layout, images);
        break;
    }
    return withoutTrailingBlanks(text);
}

QString header(const ExportFields &fields, const Options &options, const QString &headerPath,
               const DisplayLayout &layout, int count)
{
    const QString guard = includeGuard(headerPath);
    QString text = options.banner
        ? ExportText::banner(expandTags(fields, tagsFor(options.name, layout, count)))
        : QString();
    text += QStringLiteral("#ifndef %1\n#define %1\n\n").arg(guard);
    text += layoutComment(QStringLiteral("// "), options, layout, count);
    text += declarations(options, layout, count);
    text += QStringLiteral("\n#endif\n");
    return withoutTrailingBlanks(text);
}

} // namespace SourceText
