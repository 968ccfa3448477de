#include "output/sourceimport.h"

#include <QMap>

#include <optional>

namespace SourceImport {

namespace {

enum class Kind { Number, Name, Punct, Between };

struct Token
{
    Kind kind;
    QByteArray text; // the name or the punctuation
    uint value = 0;
    int line = 0;
    bool inString = false;
};

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isWordChar(char c)
{
    return isLetter(c) || isDigit(c);
}

int digitValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

// "FF" in base 16; nothing when a character is no digit of the base. A
// huge number stays huge, so that it is refused as no byte rather than
// taken for a word.
std::optional<uint> parseDigits(const QByteArray &digits, int base)
{
    if (digits.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (const char c : digits) {
        const int d = digitValue(c);
        if (d >= base)
            return std::nullopt;
        value = qMin(value * quint64(base) + quint64(d), quint64(0xFFFFFFFFull));
    }
    return uint(value);
}

// A word that starts with a digit: C's 0x, 0b, 0o and octal forms with
// their suffixes, decimal, and the assemblers' 0FFh and 101b.
std::optional<uint> numberWord(QByteArray word)
{
    while (!word.isEmpty() && (word.endsWith('u') || word.endsWith('U') || word.endsWith('l')
                               || word.endsWith('L')))
        word.chop(1);
    const QByteArray lower = word.toLower();
    if (lower.startsWith("0x"))
        return parseDigits(word.mid(2), 16);
    if (lower.startsWith("0b") && lower.size() > 2 && !lower.endsWith('h'))
        return parseDigits(word.mid(2), 2);
    if (lower.startsWith("0o"))
        return parseDigits(word.mid(2), 8);
    if (lower.endsWith('h'))
        return parseDigits(word.chopped(1), 16);
    if (lower.endsWith('b') && parseDigits(word.chopped(1), 2))
        return parseDigits(word.chopped(1), 2);
    if (word.size() > 1 && word.startsWith('0'))
        return parseDigits(word.mid(1), 8);
    return parseDigits(word, 10);
}

// The assemblers' directives that put bytes in a table.
bool isDataDirective(const QByteArray &name)
{
    static const char *const directives[] = {"dt", "db", "retlw", ".db", ".byte", "byte",
                                             "data", "de", "fcb", ".dc.b", "defb", "dc.b"};
    const QByteArray lower = name.toLower();
    for (const char *directive : directives)
        if (lower == directive)
            return true;
    return false;
}

class Scanner
{
public:
    Scanner(const QByteArray &text, const Syntax &syntax)
        : s(text), syntax(syntax), comment(syntax.comment.trimmed().toLatin1()),
          prefix(syntax.hexPrefix.toLatin1()),
          // Braces mark C, where ';' ends a statement; elsewhere it starts
          // an assembler comment.
          semicolonComments(!text.contains('{'))
    {
        for (const QString &each : syntax.between)
            if (!each.trimmed().isEmpty())
                between << each.trimmed().toLatin1();
    }

    QList<Token> tokens()
    {
        while (i < s.size())
            next();
        return out;
    }

private:
    // Views, not copies: a copy of the rest at every token would make a
    // large text take quadratic time.
    QByteArrayView rest() const { return QByteArrayView(s).sliced(i); }
    bool at(const char *text) const { return rest().startsWith(text); }
    bool atLineStart() const
    {
        for (qsizetype k = i - 1; k >= 0 && s[k] != '\n'; --k)
            if (s[k] != ' ' && s[k] != '\t' && s[k] != '\r')
                return false;
        return true;
    }
    void skipLine()
    {
        while (i < s.size() && s[i] != '\n')
            ++i;
    }
    void push(Kind kind, const QByteArray &text, uint value = 0, bool inString = false)
    {
        out.append({kind, text, value, line, inString});
    }
    QByteArray word()
    {
        const qsizetype start = i;
        while (i < s.size() && (isWordChar(s[i]) || s[i] == '.'))
            ++i;
        return s.mid(start, i - start);
    }
    // After `prefix`: hexadecimal digits, as the custom delimiters write them.
    bool customNumber()
    {
        if (!syntax.customHexPrefix)
            return false;
        if (!prefix.isEmpty() && !rest().startsWith(prefix))
            return false;
        qsizetype end = i + prefix.size();
        while (end < s.size() && digitValue(s[end]) < 16)
            ++end;
        const qsizetype digits = end - i - prefix.size();
        if (digits == 0 || (end < s.size() && isWordChar(s[end]))
            || (prefix.isEmpty() && i > 0 && isWordChar(s[i - 1])))
            return false;
        push(Kind::Number, QByteArray(),
             parseDigits(s.mid(i + prefix.size(), digits), 16).value_or(0x100000000ull - 1));
        i = end;
        return true;
    }
    bool betweenText()
    {
        for (const QByteArray &text : std::as_const(between)) {
            if (rest().startsWith(text)) {
                push(Kind::Between, text);
                i += text.size();
                return true;
            }
        }
        return false;
    }
    // b'...' and b"...": one number per byte, escapes as Python reads them.
    void pythonBytes(char quote)
    {
        ++i;
        while (i < s.size() && s[i] != quote && s[i] != '\n') {
            uint value = uchar(s[i++]);
            if (value == '\\' && i < s.size()) {
                const char e = s[i++];
                static const QByteArray simple("n\nt\tr\r0\0\\\\''\"\"a\ab\bf\fv\v", 22);
                const qsizetype k = simple.indexOf(e);
                if (e == 'x' && i + 2 <= s.size()) {
                    value = parseDigits(s.mid(i, 2), 16).value_or(0x100);
                    i += 2;
                } else if (e >= '0' && e <= '7') {
                    qsizetype n = 1;
                    while (n < 3 && i + n - 1 < s.size() && s[i + n - 1] >= '0'
                           && s[i + n - 1] <= '7')
                        ++n;
                    value = parseDigits(s.mid(i - 1, n), 8).value_or(0x100);
                    i += n - 1;
                } else if (k >= 0 && k % 2 == 0) {
                    value = uchar(simple[k + 1]);
                } else {
                    value = 0x100;
                }
            }
            push(Kind::Number, QByteArray(), value, true);
        }
        ++i;
    }
    // H'3F', B'0101', D'63', O'77': the quoted radix forms of PIC assemblers.
    bool quotedRadix(const QByteArray &name)
    {
        static const QMap<QByteArray, int> bases{{"h", 16}, {"b", 2}, {"d", 10}, {"o", 8}};
        const qsizetype close = s.indexOf('\'', i + 1);
        if (!bases.contains(name.toLower()) || close < 0 || close - i > 34)
            return false;
        const std::optional<uint> value = parseDigits(s.mid(i + 1, close - i - 1),
                                                      bases.value(name.toLower()));
        if (!value)
            return false;
        push(Kind::Number, QByteArray(), *value);
        i = close + 1;
        return true;
    }
    void wordToken()
    {
        const QByteArray w = word();
        if (i < s.size() && s[i] == '\'' && quotedRadix(w))
            return;
        const QByteArray lower = w.toLower();
        if (i < s.size() && (s[i] == '\'' || s[i] == '"')
            && (lower == "b" || lower == "rb" || lower == "br")) {
            pythonBytes(s[i]);
            return;
        }
        if (isDigit(w[0])) {
            const std::optional<uint> value = numberWord(w);
            if (value)
                push(Kind::Number, QByteArray(), *value);
            else
                push(Kind::Name, w);
            return;
        }
        push(Kind::Name, w);
    }
    // $FF as assemblers write it, &HFF, &B0101 and &O17 as BASIC does.
    bool markedNumber()
    {
        if (i + 1 >= s.size())
            return false;
        qsizetype k = i + 1;
        int base = 16;
        if (s[i] == '&') {
            const char radix = char(s[k] | 0x20);
            base = radix == 'h' ? 16 : radix == 'b' ? 2 : radix == 'o' ? 8 : 0;
            ++k;
        }
        qsizetype end = k;
        while (end < s.size() && isWordChar(s[end]))
            ++end;
        const std::optional<uint> value =
            base ? parseDigits(s.mid(k, end - k), base) : std::nullopt;
        if (!value)
            return false;
        push(Kind::Number, QByteArray(), *value);
        i = end;
        return true;
    }
    void next()
    {
        const char c = s[i];
        if (c == '\n') {
            ++line;
            ++i;
            return;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++i;
            return;
        }
        if (!comment.isEmpty() && rest().startsWith(comment) && atLineStart())
            return skipLine();
        if (customNumber() || betweenText())
            return;
        if (at("//") || c == '#' || (c == ';' && semicolonComments))
            return skipLine();
        if (at("/*")) {
            const qsizetype end = s.indexOf("*/", i + 2);
            for (qsizetype k = i; k < (end < 0 ? s.size() : end); ++k)
                line += s[k] == '\n';
            i = end < 0 ? s.size() : end + 2;
            return;
        }
        if (c == '\'')
            return skipLine(); // BASIC's comment
        if (c == '"') {
            const qsizetype end = s.indexOf('"', i + 1);
            push(Kind::Punct, "\"");
            i = end < 0 ? s.size() : end + 1;
            return;
        }
        if ((c == '$' || c == '&') && markedNumber())
            return;
        if (isWordChar(c) || (c == '.' && i + 1 < s.size() && isLetter(s[i + 1])))
            return wordToken();
        push(Kind::Punct, QByteArray(1, c));
        ++i;
    }

    const QByteArray &s;
    const Syntax &syntax;
    const QByteArray comment;
    const QByteArray prefix;
    const bool semicolonComments;
    QList<QByteArray> between;
    qsizetype i = 0;
    int line = 0;
    QList<Token> out;
};

bool isOpening(const Token &t)
{
    return t.kind == Kind::Punct && (t.text == "{" || t.text == "[" || t.text == "(");
}

bool isClosing(const Token &t)
{
    return t.kind == Kind::Punct && (t.text == "}" || t.text == "]" || t.text == ")");
}

bool isPunct(const Token &t, const char *text)
{
    return t.kind == Kind::Punct && t.text == text;
}

// What may stand between the numbers of one table.
bool isFiller(const Token &t)
{
    return t.kind == Kind::Between || isPunct(t, ",")
        || (t.kind == Kind::Name && isDataDirective(t.text));
}

class Reader
{
public:
    explicit Reader(const QList<Token> &tokens) : t(tokens) {}

    Result read()
    {
        while (k < t.size() && !result.notAByte)
            step();
        return result;
    }

private:
    struct Group
    {
        qsizetype open; // index of the opening token
        QList<uint> numbers;
        int direct = 0; // numbers not from inner groups
    };

    // The name whose array size follows it, or the last one defined with
    // '=' or ':', or called with '(' (BASIC's "Dim name()"), or failing all
    // that the last name that is no directive.
    QString nameOf(qsizetype from, qsizetype to) const
    {
        static const char *const marks[] = {"[", "=", ":", "("};
        QString found[4];
        QString fallback;
        for (qsizetype n = from; n < to; ++n) {
            if (t[n].kind != Kind::Name)
                continue;
            for (int m = 0; m < 4; ++m)
                if (n + 1 < to && isPunct(t[n + 1], marks[m]))
                    found[m] = QString::fromLatin1(t[n].text);
            if (!isDataDirective(t[n].text))
                fallback = QString::fromLatin1(t[n].text);
        }
        if (found[1].isEmpty())
            found[1] = found[2];
        for (const QString &name : {found[0], found[1], found[3], fallback})
            if (!name.isEmpty())
                return name;
        return QString();
    }
    void addTable(const QList<uint> &numbers, qsizetype end)
    {
        Table table{nameOf(regionStart, end), QByteArray()};
        for (const uint value : numbers) {
            if (value > 0xFF) {
                result.notAByte = NotAByte{value, table.name};
                return;
            }
            table.bytes += char(value);
        }
        result.tables.append(table);
    }
    // Numbers from k on with only fillers between them.
    QList<uint> run()
    {
        QList<uint> numbers;
        while (k < t.size() && (t[k].kind == Kind::Number || isFiller(t[k]))) {
            if (t[k].kind == Kind::Number)
                numbers << t[k].value;
            ++k;
        }
        return numbers;
    }
    // Outside brackets, a run is a table after a label, an '=' or a
    // directive; "NAME = 128" on one line is a constant.
    bool startsTable(qsizetype first, const QList<uint> &numbers) const
    {
        qsizetype p = first - 1;
        while (p >= regionStart && isFiller(t[p]) && !isPunct(t[p], ","))
            --p;
        if (p < regionStart || p + 1 < first)
            return true;
        if (isPunct(t[p], ":"))
            return true;
        if (isPunct(t[p], "="))
            return numbers.size() > 1 || t[first].line != t[p].line || t[first].inString;
        return false;
    }
    void closeGroup()
    {
        Group group = groups.takeLast();
        const Token &open = t[group.open];
        // "[1024]" after a name or another size is an array's size, and so
        // is BASIC's "Dim name(1024)", not the contents.
        const Token *before = group.open > 0 ? &t[group.open - 1] : nullptr;
        const bool size = before && group.direct == 1 && group.numbers.size() == 1
            && ((open.text == "[" && (before->kind == Kind::Name || isPunct(*before, "]")))
                || (open.text == "(" && before->kind == Kind::Name));
        // __attribute__((aligned(4))) and its kin qualify a table.
        const bool qualifier = open.text == "(" && group.open > 0
            && t[group.open - 1].kind == Kind::Name
            && QByteArrayList{"__attribute__", "__attribute", "__declspec", "alignas",
                              "_Alignas"}
                   .contains(t[group.open - 1].text);
        if (size || qualifier)
            return;
        if (!groups.isEmpty()) {
            groups.last().numbers += group.numbers;
            return;
        }
        if (!group.numbers.isEmpty()) {
            addTable(group.numbers, group.open);
            regionStart = k + 1;
        }
    }
    void step()
    {
        const Token &token = t[k];
        if (token.kind == Kind::Number) {
            const qsizetype first = k;
            const QList<uint> numbers = run();
            if (!groups.isEmpty()) {
                groups.last().numbers += numbers;
                groups.last().direct += int(numbers.size());
            } else {
                if (startsTable(first, numbers))
                    addTable(numbers, first);
                regionStart = k;
            }
            return;
        }
        if (isOpening(token)) {
            groups.append({k, {}, 0});
        } else if (isClosing(token)) {
            if (!groups.isEmpty())
                closeGroup();
        } else if (groups.isEmpty() && isPunct(token, ";")) {
            regionStart = k + 1;
        }
        ++k;
    }

    const QList<Token> &t;
    qsizetype k = 0;
    qsizetype regionStart = 0;
    QList<Group> groups;
    Result result;
};

} // namespace

Result tables(const QByteArray &text, const Syntax &syntax)
{
    const QList<Token> tokens = Scanner(text, syntax).tokens();
    return Reader(tokens).read();
}

bool isIntelHex(const QByteArray &text)
{
    bool any = false;
    for (const QByteArray &line : text.split('\n')) {
        const QByteArray record = line.trimmed();
        if (record.isEmpty())
            continue;
        if (!record.startsWith(':'))
            return false;
        any = true;
    }
    return any;
}

IntelHexData readIntelHex(const QByteArray &text)
{
    IntelHexData result;
    QMap<quint64, QByteArray> chunks;
    quint64 upper = 0;
    for (const QByteArray &line : text.split('\n')) {
        ++result.line;
        const QByteArray record = line.trimmed();
        if (record.isEmpty())
            continue;
        const QByteArray bytes = QByteArray::fromHex(record.mid(1));
        uchar sum = 0;
        for (const char b : bytes)
            sum = uchar(sum + uchar(b));
        if (record.size() % 2 == 0 || bytes.size() < 5
            || bytes.toHex().toUpper() != record.mid(1).toUpper()
            || bytes.size() != 5 + uchar(bytes[0]) || sum != 0) {
            result.fault = IntelHexData::Fault::BadRecord;
            return result;
        }
        const uchar type = uchar(bytes[3]);
        const quint64 offset = (uchar(bytes[1]) << 8) | uchar(bytes[2]);
        const QByteArray payload = bytes.mid(4, uchar(bytes[0]));
        const quint64 base = payload.size() == 2
            ? quint64((uchar(payload[0]) << 8) | uchar(payload[1]))
            : 0;
        if (type == 0x00)
            chunks[upper + offset] += payload;
        else if (type == 0x01)
            break;
        else if (type == 0x04 && payload.size() == 2)
            upper = base << 16;
        else if (type == 0x02 && payload.size() == 2)
            upper = base << 4;
    }
    quint64 next = chunks.isEmpty() ? 0 : chunks.firstKey();
    for (auto it = chunks.cbegin(); it != chunks.cend(); ++it) {
        if (it.key() != next) {
            result.fault = IntelHexData::Fault::Gap;
            result.address = it.key();
            result.data.clear();
            return result;
        }
        result.data += it.value();
        next = it.key() + quint64(it.value().size());
    }
    return result;
}

} // namespace SourceImport
