#include "HelpTopics.h"

#include <QFile>
#include <QStringList>

namespace vinarca {

namespace {
QString paragraphs(const char* name)
{
    QFile file(QStringLiteral(":/help/%1.txt").arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.remove(QLatin1Char('\r'));
    QStringList parts = text.trimmed().split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
    for (QString& part : parts)
        part = part.trimmed();
    return parts.join(QStringLiteral("\r\n\r\n"));
}
} // namespace

HelpText helpText(HelpTopic topic)
{
    switch (topic) {
    case HelpTopic::Overview: {
        const QStringList parts{paragraphs("intro_vinarca"), paragraphs("app_catalogo_vini"),
                                paragraphs("app_listini_prezzi"), paragraphs("app_etichette_bottiglie"),
                                paragraphs("chiusura_vinarca")};
        return {QStringLiteral("Uno sguardo a Vinarca"), parts.join(QStringLiteral("\r\n\r\n"))};
    }
    case HelpTopic::Wines:
        return {QStringLiteral("App Catalogo Vini"), paragraphs("app_catalogo_vini")};
    case HelpTopic::PriceLists:
        return {QStringLiteral("App Listini Prezzi"), paragraphs("app_listini_prezzi")};
    case HelpTopic::Labels:
        return {QStringLiteral("App Etichette Bottiglie"), paragraphs("app_etichette_bottiglie")};
    case HelpTopic::WineExport:
        return {QStringLiteral("Esportazione catalogo vini in Microsoft Excel."), paragraphs("esportazione_vini")};
    case HelpTopic::LabelExport:
        return {QStringLiteral("Esportazione archivio etichette in Microsoft Excel"), paragraphs("esportazione_etichette")};
    }
    return {};
}

QList<HelpText> manualChapters()
{
    QList<HelpText> chapters;
    chapters.append({helpText(HelpTopic::Overview).title,
                     paragraphs("intro_vinarca") + QStringLiteral("\r\n\r\n") + paragraphs("chiusura_vinarca")});
    for (HelpTopic topic : {HelpTopic::Wines, HelpTopic::PriceLists, HelpTopic::Labels, HelpTopic::WineExport,
                            HelpTopic::LabelExport})
        chapters.append(helpText(topic));
    // Printing several labels a sheet, label stock and printer calibration:
    // a chapter of the manual only, which the labels help points to.
    chapters.insert(4, {QStringLiteral("Stampa delle etichette su fogli"), paragraphs("stampa_etichette")});
    // Unpacking and starting the portable folder, and what its menu script
    // does: right after the overview, as the first thing a new user needs.
    chapters.insert(1, {QStringLiteral("Avvio su Linux"), paragraphs("avvio_linux")});
    return chapters;
}

} // namespace vinarca
