#include "cli/parser.h"

#include "cli/cliio.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace Cli {

namespace {

QString dashed(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QString program()
{
    return QCoreApplication::applicationName();
}

// Letters to add, drop or change to turn one name into the other.
int distance(const QString &a, const QString &b)
{
    QList<int> row(b.size() + 1);
    for (qsizetype j = 0; j <= b.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

int usageError(const QString &command, const QString &message)
{
    const QString prefix = command.isEmpty() ? program() : program() + QLatin1Char(' ') + command;
    const QByteArray text = (prefix + QStringLiteral(": ") + message + QStringLiteral("\nTry '")
                             + prefix + QStringLiteral(" --help'.\n"))
                                .toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::fflush(stderr);
    return UsageError;
}

Parser::Parser(const QString &command) : m_command(command) {}

bool Parser::addOption(const QCommandLineOption &option)
{
    m_names += option.names();
    if (!option.valueName().isEmpty())
        m_valued << option.names().constLast();
    return QCommandLineParser::addOption(option);
}

void Parser::addExclusive(const QStringList &names)
{
    m_exclusive << names;
}

QString Parser::unknownOption() const
{
    const QString given = unknownOptionNames().constFirst();
    QString closest;
    int best = 3; // further than two letters away is no longer a slip
    for (const QString &name : m_names) {
        const int d = distance(given, name);
        if (name.size() > 1 && d < best) {
            best = d;
            closest = name;
        }
    }
    const QString text = QStringLiteral("unknown option %1").arg(dashed(given));
    return closest.isEmpty() ? text : text + QStringLiteral("; did you mean %1?").arg(dashed(closest));
}

QString Parser::check() const
{
    for (const QString &name : m_valued)
        if (values(name).size() > 1)
            return QStringLiteral("%1 is given %2 times; give it once").arg(dashed(name)).arg(values(name).size());
    for (const QStringList &group : m_exclusive) {
        QStringList given;
        for (const QString &name : group)
            if (isSet(name))
                given << dashed(name);
        if (given.size() > 1)
            return given.join(QStringLiteral(" and ")) + QStringLiteral(" exclude each other");
    }
    return QString();
}

int Parser::parse(const QStringList &arguments, int minPositional, int maxPositional)
{
    // Not addHelpOption(): its --help-all would offer Qt options that no command has.
    addOption({{QStringLiteral("h"), QStringLiteral("help")},
               QStringLiteral("Displays help on commandline options.")});
    if (!QCommandLineParser::parse(arguments))
        return usageError(m_command, unknownOptionNames().isEmpty() ? errorText() : unknownOption());
    if (isSet(QStringLiteral("help"))) {
        QString text = helpText();
        // The parser names the program as invoked and knows nothing of commands.
        const QString invoked = QStringLiteral("Usage: ") + arguments.constFirst();
        if (text.startsWith(invoked))
            text.replace(0, invoked.size(), QStringLiteral("Usage: ") + program() + QLatin1Char(' ') + m_command);
        return printOutput(text.toUtf8()) ? Success : Failure;
    }
    if (const QString problem = check(); !problem.isEmpty())
        return usageError(m_command, problem);
    const qsizetype count = positionalArguments().size();
    if (count < minPositional)
        return usageError(m_command, QStringLiteral("missing argument"));
    if (maxPositional >= 0 && count > maxPositional)
        return usageError(m_command, QStringLiteral("unexpected argument '%1'")
                                         .arg(positionalArguments().at(maxPositional)));
    return Continue;
}

} // namespace Cli
