#pragma once

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

namespace Cli {

constexpr int Continue = -1;

// "vexlor-cli COMMAND: message" and a pointer to --help on stderr; returns
// the exit status of a wrong command line.
int usageError(const QString &command, const QString &message);

// The toolkit's parser with the rules every command shares: a value option
// given twice, options that exclude each other, and a misspelt option are
// refused with the reason, before the command looks at its options.
class Parser : public QCommandLineParser
{
public:
    explicit Parser(const QString &command);

    // Hides the toolkit's own, to know every option the command has.
    bool addOption(const QCommandLineOption &option);
    // At most one of these may be given.
    void addExclusive(const QStringList &names);

    // Continue when the command is to run, otherwise the exit code to return
    // (0 after --help). The option -h/--help is added here.
    int parse(const QStringList &arguments, int minPositional, int maxPositional);

private:
    QString m_command;
    QStringList m_names;  // every name of every option, without dashes
    QStringList m_valued; // the first name of each option that takes a value
    QList<QStringList> m_exclusive;

    QString check() const;
    QString unknownOption() const;
};

} // namespace Cli
