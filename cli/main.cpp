#include "cli/cliio.h"
#include "cli/commands.h"

#include "core/authorship.h"
#include "core/imageplugins.h"
#include "core/picturedecoder.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

struct Command
{
    const char *name;
    const char *arguments;
    const char *summary;
    int (*run)(const QStringList &arguments);
};

const Command commands[] = {
    {"to-bin", "PICTURE... -o OUT.bin", "convert pictures to binary images",
     Commands::toBin},
    {"to-bmp", "IN.bin -o OUT", "render binary images as pictures (BMP, PNG, XBM...)",
     Commands::toBmp},
    {"export", "IN [-o OUT]", "write images as source text, or a file as Intel HEX",
     Commands::exportText},
    {"import", "SOURCE -o OUT.bin", "read tables of source text back into binary images",
     Commands::importSource},
    {"hex", "IN", "print an image as hexadecimal bytes", Commands::hex},
    {"show", "IN", "draw an image in the terminal", Commands::show},
    {"info", "FILE...", "tell what a binary file or picture holds", Commands::info},
    {"join", "IN.bin... -o OUT.bin", "concatenate binary files", Commands::join},
    {"split", "IN.bin -o PREFIX", "write each image to a file of its own", Commands::split},
    {"displays", "", "list the displays that --display knows", Commands::displays},
    {"font", "FONT -o OUT", "convert a font into glyph tables or preview them", Commands::font},
};

QString overview()
{
    QString text = QStringLiteral(
        "Usage: vexlor-cli COMMAND [options] [arguments]\n"
        "Converts between pictures and the memory images of monochrome graphic displays.\n\n"
        "Commands:\n");
    for (const Command &command : commands)
        text += QStringLiteral("  %1 %2 %3\n")
                    .arg(QLatin1String(command.name), -8)
                    .arg(QLatin1String(command.arguments), -22)
                    .arg(QLatin1String(command.summary));
    text += QStringLiteral(
        "\n'vexlor-cli COMMAND --help' describes a command. A file name '-' stands for\n"
        "standard input or output. Binary images are 128x64 in the row63 organisation\n"
        "unless --row127 or the layout options (--display, --size, --layout, --bit-order,\n"
        "--controllers) say otherwise.\n\n"
        "Exit status: 0 success, 1 a file is missing, malformed or cannot be written\n"
        "(nothing is written then), 2 the command line is wrong.\n");
    return text;
}

// Decoders report damaged pictures through Qt's warnings; the commands
// report them in their own words, so only serious messages pass, and the
// parser's, which only a fault in the program's own options can cause.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg
        || message.startsWith(QLatin1String("QCommandLineParser")))
        std::fprintf(stderr, "%s\n", qUtf8Printable(message));
}

// A standard stream the caller closed would be taken by the next file
// opened, and output meant for stdout would land in it. Holding the number
// with the opposite access makes every use of it fail, as it should.
void holdClosedStandardStreams()
{
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int held = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
            if (held >= 0 && held != fd) {
                ::dup2(held, fd);
                ::close(held);
            }
        }
    }
}

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("vexlor-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VEXLOR_VERSION));
}

// Fonts come only with a GUI application, which costs start-up time: a
// command makes one when a drawing with text is read, in place of the plain
// one, on no screen. It sees only the program's name, so that no argument is
// taken as one of its own options.
bool becomeGuiApplication(std::unique_ptr<QCoreApplication> &application)
{
    static int argc = 1;
    static QByteArray name = QCoreApplication::arguments().value(0).toLocal8Bit();
    static char *argv[] = {name.data(), nullptr};
    application.reset();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = std::make_unique<QGuiApplication>(argc, argv);
    nameApplication();
    return true;
}

int print(const QString &text)
{
    return Cli::printOutput(text.toUtf8()) ? Cli::Success : Cli::Failure;
}

} // namespace

int main(int argc, char *argv[])
{
    holdClosedStandardStreams();
    qInstallMessageHandler(quietHandler);
    auto application = std::make_unique<QCoreApplication>(argc, argv);
    nameApplication();
    ImagePlugins::setGuiApplicationMaker([&application] { return becomeGuiApplication(application); });

    if (!Cli::exactArguments(argc, argv))
        return Cli::Failure;
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2)
        return Cli::usageError(QString(), QStringLiteral("missing command"));
    QString name = arguments.at(1);
    ImagePlugins::defer();
    PictureDecoder::raiseAllocationLimit();
    QStringList rest = QStringList{arguments.constFirst()} + arguments.mid(2);
    if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
        return print(overview());
    }
    if (name == QLatin1String("--version")) {
        return print(QStringLiteral("vexlor-cli %1\n%2\n")
                         .arg(QCoreApplication::applicationVersion(), Authorship::notice()));
    }
    if (name == QLatin1String("help") && rest.size() == 2) {
        name = rest.takeLast();
        rest << QStringLiteral("--help");
    }
    for (const Command &command : commands) {
        if (name == QLatin1String(command.name)) {
            const int code = command.run(rest);
            ImagePlugins::setGuiApplicationMaker({});
            return code;
        }
    }
    return Cli::usageError(QString(), QStringLiteral("unknown command '%1'").arg(name));
}
