#pragma once

#include <qcontainerfwd.h>

// Each takes the program name followed by the subcommand's own arguments and
// returns the process exit code.
namespace Commands {

int toBin(const QStringList &arguments);
int toBmp(const QStringList &arguments);
int info(const QStringList &arguments);
int exportText(const QStringList &arguments);
int importSource(const QStringList &arguments);
int hex(const QStringList &arguments);
int show(const QStringList &arguments);
int join(const QStringList &arguments);
int split(const QStringList &arguments);
int displays(const QStringList &arguments);
int font(const QStringList &arguments);

} // namespace Commands
