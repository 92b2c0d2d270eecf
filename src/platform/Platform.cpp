#include "Platform.h"

namespace vinarca {

namespace {
std::unique_ptr<Platform>& current()
{
    static std::unique_ptr<Platform> instance;
    return instance;
}
} // namespace

Platform& platform()
{
    auto& p = current();
    if (!p)
        p = makeQtPlatform();
    return *p;
}

std::unique_ptr<Platform> installPlatform(std::unique_ptr<Platform> implementation)
{
    auto previous = std::move(current());
    current() = std::move(implementation);
    return previous;
}

std::unique_ptr<Progress> Platform::progress(QWidget*, const QString&, int)
{
    class RunsToEnd final : public Progress
    {
    public:
        bool advance(int) override { return true; }
    };
    return std::make_unique<RunsToEnd>();
}

QString qtFilterText(const FileFilter& filter)
{
    // The stored patterns are separated by ';', Qt separates them by blanks.
    const QStringList patterns = filter.patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QString description = filter.description;
    const qsizetype paren = description.indexOf(QLatin1Char('('));
    if (paren > 0)
        description = description.left(paren).trimmed();
    return QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
}

} // namespace vinarca
