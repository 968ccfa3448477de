#pragma once

class QString;

// The one author-and-date notice, shown in the caption, the status bar,
// the About boxes, the export banner and the print header.
namespace Authorship {

QString notice();

// "* " + notice padded with spaces + " *", exactly 34 characters.
QString bannerLine();

} // namespace Authorship
