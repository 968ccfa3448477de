#include "cli/messages.h"

#include "core/displaypreset.h"
#include "core/outputfile.h"
#include "core/picturedecoder.h"
#include "core/picturefile.h"
#include "core/pictureformats.h"

#include <QFileInfo>
#include <QList>
#include <QStringList>

#include <cerrno>
#include <cstring>

namespace Cli {

namespace {

using FileAccess::Status;

QString bytes(qint64 count)
{
    if (count >= 1024 * 1024 && count % (1024 * 1024) == 0)
        return QStringLiteral("%1 MiB").arg(count / (1024 * 1024));
    if (count >= 1024 && count % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(count / 1024);
    return QStringLiteral("%1 bytes").arg(count);
}

QString systemError(int error)
{
    QString text = QString::fromLocal8Bit(std::strerror(error));
    if (!text.isEmpty())
        text[0] = text.at(0).toLower();
    return text;
}

QString size(const QSize &size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

QString label(const QByteArray &format)
{
    const PictureFormats::Format *known = PictureFormats::named(format);
    return known ? QLatin1String(known->label) : QString::fromLatin1(format.toUpper());
}

// The presets whose images the length would hold whole: most often the
// file was written for another display.
QString presetsThatFit(qint64 length, const DisplayLayout &current)
{
    QStringList names;
    for (const DisplayPreset &preset : DisplayPreset::all()) {
        const int image = preset.layout.imageBytes();
        if (!preset.needsSize && length > 0 && length % image == 0 && image != current.imageBytes()
            && names.size() < 3)
            names << QStringLiteral("--display ") + QLatin1String(preset.name);
    }
    return names.isEmpty() ? QString() : QStringLiteral("; it would fit ") + names.join(QStringLiteral(" or "));
}

QString badLength(const FileAccess::Facts &facts, const Expected &expected)
{
    if (!facts.format.isEmpty())
        return QStringLiteral("this is a %1 picture, not a binary file; convert it with to-bin")
            .arg(label(facts.format));
    if (facts.length > expected.maxBytes)
        return QStringLiteral("more than the %1 a binary file holds at most; is it the right file?")
            .arg(bytes(expected.maxBytes));
    const int image = expected.layout.imageBytes();
    return QStringLiteral("%1 bytes is not a whole number of %2-byte images (%3)")
               .arg(facts.length)
               .arg(image)
               .arg(expected.layout.description())
        + presetsThatFit(facts.length, expected.layout);
}

} // namespace

QString readMessage(Status status, const FileAccess::Facts &facts, const Expected &expected)
{
    switch (status) {
    case Status::Ok:
        return QString();
    case Status::Missing:
        return QStringLiteral("no such file; check the name");
    case Status::NotAFile:
        return QStringLiteral("not a file but a folder or socket; name a file");
    case Status::Stream:
        return QStringLiteral("a FIFO or device, which is not read here; redirect it to standard input");
    case Status::Unreadable:
        return QStringLiteral("cannot read: %1").arg(systemError(facts.error));
    case Status::TooLong:
        return QStringLiteral("larger than the %1 read at most; is it the right file?")
            .arg(bytes(expected.maxBytes > 0 ? expected.maxBytes : PictureFile::MaxBytes));
    case Status::BadLength:
        return badLength(facts, expected);
    case Status::UnknownFormat:
        return QStringLiteral("not a picture format read here (%1); convert it to PNG first")
            .arg(PictureFormats::readableLabels());
    case Status::Damaged:
        return QStringLiteral("damaged: the file does not hold all of its pixels; save it again from "
                              "its source");
    case Status::WrongSize:
        return QStringLiteral("not the display's size %1; add --fit to scale it")
            .arg(size(expected.layout.size()));
    case Status::TooLarge:
        return QStringLiteral("more pixels than the %1x%1 decoded at most; scale it down first")
            .arg(PictureDecoder::MaxDecodedSide);
    }
    return QString();
}

QString pictureMessage(const PictureDecoder::Picture &picture, const QSize &target)
{
    const QString kind = picture.format.isEmpty() ? QStringLiteral("picture")
                                                  : label(picture.format) + QStringLiteral(" picture");
    switch (picture.status) {
    case Status::WrongSize:
        return QStringLiteral("the %1 is %2, the display %3; add --fit to scale it")
            .arg(kind, size(picture.size), size(target));
    case Status::Damaged:
        return QStringLiteral("the %1 is damaged: the file does not hold all of its pixels; save "
                              "it again from its source")
            .arg(kind);
    case Status::TooLarge:
        return QStringLiteral("the %1 is %2, more pixels than the %3x%3 decoded at most; scale it "
                              "down first")
            .arg(kind, size(picture.size))
            .arg(PictureDecoder::MaxDecodedSide);
    default: {
        FileAccess::Facts facts;
        facts.error = picture.error;
        Expected expected;
        expected.layout.width = target.width();
        expected.layout.height = target.height();
        return readMessage(picture.status, facts, expected);
    }
    }
}

QString writeMessage(OutputFile::Status status, const FileAccess::Facts &facts)
{
    switch (status) {
    case OutputFile::Status::Ok:
        return QString();
    case OutputFile::Status::NotAFile:
        return QStringLiteral("cannot write: a folder or socket is never replaced; name a file");
    case OutputFile::Status::Stream:
        return QStringLiteral("cannot write: a FIFO or device cannot be one of several files "
                              "written all or nothing; name a folder or a prefix");
    case OutputFile::Status::LinkLoop:
        return QStringLiteral("cannot write: symbolic links in a loop; name another file");
    case OutputFile::Status::Failed:
        break;
    }
    switch (facts.error) {
    case ENOENT:
    case ENOTDIR: {
        const QString folder = QFileInfo(facts.path).path();
        return QStringLiteral("cannot write: the folder %1 does not exist; create it first")
            .arg(folder + (folder.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")));
    }
    case EACCES:
    case EPERM:
        return QStringLiteral("cannot write: permission denied; choose a file and folder you may "
                              "write to");
    case EROFS:
        return QStringLiteral("cannot write: the file system is read-only");
    case ENOSPC:
        return QStringLiteral("cannot write: no space left on device; free some space first");
    case 0:
        return QStringLiteral("cannot write");
    default:
        return QStringLiteral("cannot write: %1").arg(systemError(facts.error));
    }
}

} // namespace Cli
