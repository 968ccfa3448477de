#pragma once

#include "core/displaylayout.h"
#include "core/fileaccess.h"

#include <QSize>
#include <QString>

namespace OutputFile {
enum class Status;
}
namespace PictureDecoder {
struct Picture;
}

// The command line's own words for what the library reports: English, one
// line, the cause and what to do about it. The file is named by the caller.
namespace Cli {

// What was expected of the file, for the refusals that compare with it.
struct Expected
{
    DisplayLayout layout = DisplayLayout::row63();
    qint64 maxBytes = 0; // a binary file's largest length
};

QString readMessage(FileAccess::Status status, const FileAccess::Facts &facts,
                    const Expected &expected = {});
QString pictureMessage(const PictureDecoder::Picture &picture, const QSize &target);
QString writeMessage(OutputFile::Status status, const FileAccess::Facts &facts);

} // namespace Cli
