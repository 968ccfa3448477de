#include "core/authorship.h"

#include <QString>

namespace Authorship {

namespace {
constexpr int BannerWidth = 34;
}

// Plain ASCII: it lands in the banner of exported firmware sources, which
// some PIC assemblers and most editors would mangle otherwise.
QString notice()
{
    return QStringLiteral("Les auteurs de Vexlor, 12/2026");
}

QString bannerLine()
{
    const QString inner = notice().left(BannerWidth - 4);
    return QStringLiteral("* ") + inner.leftJustified(BannerWidth - 4, QLatin1Char(' '))
        + QStringLiteral(" *");
}

} // namespace Authorship
