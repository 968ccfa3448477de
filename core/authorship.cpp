#include "core/authorship.h"

#include <QString>

namespace Authorship {

namespace {
constexpr int BannerWidth = 34;
}

QString notice()
{
    return QStringLiteral("Équipe Vexlor, décembre 2026");
}

QString bannerLine()
{
    const QString inner = notice().left(BannerWidth - 4);
    return QStringLiteral("* ") + inner.leftJustified(BannerWidth - 4, QLatin1Char(' '))
        + QStringLiteral(" *");
}

} // namespace Authorship
