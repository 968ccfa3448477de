#include "app/startup.h"

#include "app/standinstyle.h"
#include "app/vexlorwindow.h"
#include "core/authorship.h"
#include "core/imageplugins.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

namespace {

// The toolkit's catalogue answers only for the toolkit's own classes, all
// named with a leading Q; whatever else it might hold never reaches the
// program's texts, which are French as written.
class ToolkitTranslator : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText,
                      const char *disambiguation = nullptr, int n = -1) const override
    {
        if (!context || context[0] != 'Q')
            return QString();
        return QTranslator::translate(context, sourceText, disambiguation, n);
    }
};

} // namespace

namespace Startup {

void installStartStyle()
{
    QApplication::setStyle(new StandInStyle(QStringLiteral("Platinum")));
}

void holdImagePlugins()
{
    ImagePlugins::defer();
}

QTranslator *installToolkitTranslation()
{
    auto *translator = new ToolkitTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_fr"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

void presentMainWindow(VexlorWindow &window)
{
    window.setWindowTitle(QApplication::translate("main", "Qt - Vexlor")
                          + QStringLiteral("     ") + Authorship::notice());
    window.resize(780, 500);
    window.move(10, 10);
    window.show();
    // Icon engines, print support and the rest share the plugin paths.
    QTimer::singleShot(0, &ImagePlugins::ensureLoaded);
}

} // namespace Startup
