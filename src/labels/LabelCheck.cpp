#include "LabelCheck.h"

#include "LabelDrawing.h"
#include "Length.h"
#include "ReportModel.h"
#include "ShortString.h"

#include <QFontMetricsF>
#include <QRegularExpression>

#include <optional>

namespace vinarca {

namespace {

// The least x-height of a line carrying a compulsory particular.
constexpr double kMinXHeightMm = 1.2;

// The rules as they stand at the date of labelRulesReviewed(). The date of
// each is the one it applies from; the energy rule's date also decides
// whether the check asks for it at all.
const LabelRuleFacts kRules[] = {
    {LabelRule::Alcohol, "Titolo alcolometrico", "Reg. (UE) 2019/33, art. 44", QDate(2019, 1, 14),
     "un numero in unità o mezze unità seguito da «% vol», per esempio «13 % vol» o «13,5 % vol»"},
    {LabelRule::Volume, "Volume nominale", "Reg. (UE) 1169/2011, art. 9 e 23", QDate(2014, 12, 13),
     "il volume nominale in litri, centilitri o millilitri, per esempio «75 cl», «0,75 l» o «750 ml»"},
    {LabelRule::VolumeFigures, "Altezza delle cifre del volume", "Dir. 76/211/CEE, allegato I, punto 3.1",
     QDate(1976, 1, 20),
     "cifre del volume alte almeno 6 mm oltre 100 cl, 4 mm da oltre 20 cl fino a 100 cl, 3 mm da oltre 5 cl fino a "
     "20 cl, 2 mm fino a 5 cl"},
    {LabelRule::Sulphites, "Allergeni", "Reg. (UE) 1169/2011, art. 21 e allegato II; Reg. (UE) 2019/33, art. 41",
     QDate(2014, 12, 13), "«Contiene solfiti» (o «Contiene anidride solforosa»)"},
    {LabelRule::Lot, "Lotto", "Dir. 2011/91/UE, art. 3", QDate(2012, 1, 5),
     "il lotto: «L» seguita dal codice (per esempio «L 2318») o «Lotto» e il codice"},
    {LabelRule::Bottler, "Imbottigliatore", "Reg. (UE) 2019/33, art. 46", QDate(2019, 1, 14),
     "«Imbottigliato da» con il nome e il comune dell'imbottigliatore (o «Imbottigliatore»)"},
    {LabelRule::Designation, "Denominazione", "Reg. (UE) 1308/2013, art. 119, par. 1, lettere a) e b)",
     QDate(2014, 1, 1), "la categoria o la denominazione protetta: DOC, DOCG, DOP, IGT, IGP o «Vino ...»"},
    {LabelRule::Provenance, "Provenienza", "Reg. (UE) 1308/2013, art. 119, par. 1, lettera d); Reg. (UE) 2019/33, "
                                           "art. 45",
     QDate(2014, 1, 1), "il paese di provenienza, per esempio «Prodotto in Italia», «Italia» o «Product of Italy»"},
    {LabelRule::XHeight, "Altezza dei caratteri", "Reg. (UE) 1169/2011, art. 13 e allegato IV; Reg. (UE) 2019/33, "
                                                  "art. 40",
     QDate(2014, 12, 13), "altezza della «x» di almeno 1,2 mm in stampa in ogni rigo con una di queste indicazioni"},
    {LabelRule::Energy, "Valore energetico e ingredienti", "Reg. (UE) 2021/2117, art. 1 (art. 119 del "
                                                           "Reg. (UE) 1308/2013)",
     QDate(2023, 12, 8),
     "il valore energetico («E» con kJ o kcal) o il rimando ai valori nutrizionali e agli ingredienti forniti altrove, "
     "per esempio con un codice QR; i vini prodotti prima dell'8 dicembre 2023 ne sono esenti"},
    {LabelRule::Cut, "Rigo tagliato", "impaginazione dell'etichetta", QDate(),
     "ogni rigo entro il suo spazio sull'etichetta: la parte che esce non si stampa"},
};

// Small letters without accents, every run of spaces one space: the form
// the patterns read, so "CONTIENE  Solfiti" and "contiene solfiti" agree.
QString folded(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c.isSpace()) {
            if (!out.endsWith(QLatin1Char(' ')))
                out += QLatin1Char(' ');
            continue;
        }
        out += c.toLower();
    }
    return out.trimmed();
}

QRegularExpression pattern(const char* source)
{
    return QRegularExpression(QString::fromUtf8(source), QRegularExpression::UseUnicodePropertiesOption);
}

bool has(const QString& foldedText, const QRegularExpression& re)
{
    return re.match(foldedText).hasMatch();
}

double toNumber(QString figure)
{
    return figure.replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
}

QString decimalText(double value)
{
    return QString::number(value, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

// A strength with its place: the number and whether "vol" follows the "%".
struct Strength
{
    int line;
    QString text;
    double value;
    bool vol;
};

// Percentages that can be a wine's strength: a grape variety's share ("100%
// Sangiovese") is not one.
QList<Strength> strengthsIn(const QList<QString>& lines)
{
    static const QRegularExpression re = pattern(R"((?<![\d.,])(\d{1,2}(?:[.,]\d+)?)\s*%\s*(vol(?:ume)?\b)?)");
    QList<Strength> found;
    for (int i = 0; i < lines.size(); ++i) {
        for (auto it = re.globalMatch(lines.at(i)); it.hasNext();) {
            const auto m = it.next();
            const double value = toNumber(m.captured(1));
            if (value <= 25)
                found << Strength{i, m.captured(0).trimmed(), value, m.hasCaptured(2)};
        }
    }
    return found;
}

struct Volume
{
    int line;
    QString text;
    double centilitres;
};

std::optional<Volume> volumeIn(const QList<QString>& lines)
{
    static const QRegularExpression re = pattern(R"((?<![\d.,])(\d+(?:[.,]\d+)?)\s*(ml|cl|lt|l|litri|litro)\b\.?)");
    for (int i = 0; i < lines.size(); ++i) {
        for (auto it = re.globalMatch(lines.at(i)); it.hasNext();) {
        const auto m = it.next();
        // "per 100 ml" is the measure of a nutrition figure, not the bottle's.
        const QString before = lines.at(i).left(m.capturedStart()).trimmed();
        if (before.endsWith(QLatin1String(" per")) || before == QLatin1String("per") || before.endsWith(QLatin1Char('/')))
            continue;
        const double figure = toNumber(m.captured(1));
        const QString unit = m.captured(2);
        const double cl = unit == QLatin1String("ml") ? figure / 10 : unit == QLatin1String("cl") ? figure : figure * 100;
        if (cl > 0)
            return Volume{i, m.captured(0).trimmed(), cl};
        }
    }
    return std::nullopt;
}

// The least height of a nominal volume's figures, in millimetres.
double requiredFigureHeightMm(double centilitres)
{
    if (centilitres > 100)
        return 6;
    if (centilitres > 20)
        return 4;
    if (centilitres > 5)
        return 3;
    return 2;
}

// "L" followed by a code holding a figure, or "Lotto"/"Lot" and a code. A
// small "l" counts too, unless a figure stands just before it (that is litres).
bool hasLot(const QString& line)
{
    static const QRegularExpression word = pattern(R"(\blott?o?\b\s*(?:n\.?|nr\.?|n°)?\s*[:.]?\s*\S)");
    if (word.match(folded(line)).hasMatch())
        return true;
    static const QRegularExpression letter =
        QRegularExpression(QStringLiteral(R"((?<!\w)[lL]\s*[.:]?\s*([\w./-]*\d[\w./-]*))"));
    for (auto it = letter.globalMatch(line); it.hasNext();) {
        const auto m = it.next();
        int before = m.capturedStart() - 1;
        while (before >= 0 && line.at(before).isSpace())
            --before;
        if (line.at(m.capturedStart()) == QLatin1Char('L') || before < 0
            || !(line.at(before).isDigit() || line.at(before) == QLatin1Char(',')))
            return true;
    }
    return false;
}


QString quoted(const QString& text)
{
    return QStringLiteral("«") + text + QStringLiteral("»");
}

LabelFinding finding(LabelRule rule, int line, const QString& lineText, const QString& what, bool toVerify = false)
{
    const LabelRuleFacts& facts = labelRuleFacts(rule);
    QString place = labelLinePlace(line);
    if (line >= 0)
        place += QLatin1Char(' ') + quoted(lineText);
    return {rule, line, toVerify,
            place + QStringLiteral(": ") + QString::fromUtf8(facts.title) + QStringLiteral(" — ") + what};
}

QString missing(LabelRule rule)
{
    return QStringLiteral("nessun rigo riporta questa indicazione; serve ") + QString::fromUtf8(labelRuleFacts(rule).requirement)
        + QLatin1Char('.');
}

} // namespace

std::span<const LabelRuleFacts> labelRules()
{
    return kRules;
}

const LabelRuleFacts& labelRuleFacts(LabelRule rule)
{
    for (const LabelRuleFacts& r : kRules)
        if (r.rule == rule)
            return r;
    return kRules[0];
}

QDate labelRulesReviewed()
{
    return QDate(2026, 12, 11);
}

QString labelLinePlace(int line)
{
    return line < 0 ? QStringLiteral("Etichetta") : QStringLiteral("Rigo %1").arg(line + 1);
}

QList<PrintedLine> printedLines(const LabelGeometry& geometry, const QStringList& lines)
{
    QList<PrintedLine> out(kLabelLineCount);
    for (const LabelElement& e : geometry.elements) {
        if (e.kind != LabelElementKind::Text)
            continue;
        const int index = static_cast<int>(e.line);
        const TMemoView& memo = *e.printed;
        const QFontMetricsF metrics(memo.font(referenceDevice().logicalDpiY()), &referenceDevice());
        const QString text = trimControl(lines.value(index));
        PrintedLine& p = out[index];
        // A line wider than its box starts at the box's left gap and the
        // box cuts it: only the characters that end inside it print.
        const double room = memo.geometry.width() - TMemoView::kGapX;
        int kept = int(text.size());
        if (metrics.horizontalAdvance(text) > memo.geometry.width() - 2 * TMemoView::kGapX) {
            kept = 0;
            while (kept < text.size() && metrics.horizontalAdvance(text.left(kept + 1)) <= room)
                ++kept;
        }
        p.text = text.left(kept);
        p.lost = text.mid(kept);
        QString figures;
        for (const QChar c : p.text)
            if (c.isDigit())
                figures += c;
        if (figures.isEmpty())
            figures = QStringLiteral("0123456789");
        // Glyph boxes come in whole pixels of the font's size: measured on
        // the font magnified, they keep the hundredths of a millimetre.
        constexpr double kMagnified = 32;
        const QFontMetricsF fine(memo.font(referenceDevice().logicalDpiY() / kMagnified), &referenceDevice());
        p.size.xHeightMm = Length::units(fine.tightBoundingRect(QStringLiteral("x")).height() / kMagnified).mm();
        p.size.figureHeightMm = Length::units(fine.tightBoundingRect(figures).height() / kMagnified).mm();
    }
    return out;
}

QList<LabelFinding> checkPrintedLines(const QList<PrintedLine>& lines, const QDate& today)
{
    QList<LabelFinding> findings;
    QList<QString> text;
    for (const PrintedLine& p : lines)
        text << folded(p.text);
    QList<bool> carries(lines.size(), false);
    const auto anyLine = [&](const QRegularExpression& re) {
        int first = -1;
        for (int i = 0; i < text.size(); ++i)
            if (has(text.at(i), re)) {
                carries[i] = true;
                if (first < 0)
                    first = i;
            }
        return first;
    };

    // Alcoholic strength: one right mention is enough; otherwise the first wrong one is named.
    const QList<Strength> strengths = strengthsIn(text);
    bool strengthRight = false;
    for (const Strength& s : strengths) {
        carries[s.line] = true;
        const double halves = s.value * 2;
        if (s.vol && std::abs(halves - std::round(halves)) < 1e-9)
            strengthRight = true;
    }
    if (!strengthRight) {
        if (strengths.isEmpty()) {
            findings << finding(LabelRule::Alcohol, -1, {}, missing(LabelRule::Alcohol));
        } else {
            const Strength& s = strengths.first();
            const double halves = s.value * 2;
            const QString lineText = lines.at(s.line).text;
            if (std::abs(halves - std::round(halves)) >= 1e-9)
                findings << finding(LabelRule::Alcohol, s.line, lineText,
                                    QStringLiteral("%1 non è in unità o mezze unità; serve %2.")
                                        .arg(quoted(s.text), QString::fromUtf8(
                                                                 labelRuleFacts(LabelRule::Alcohol).requirement)));
            else
                findings << finding(LabelRule::Alcohol, s.line, lineText,
                                    QStringLiteral("a %1 manca «vol»; serve «%2 % vol».")
                                        .arg(quoted(s.text), decimalText(s.value).remove(QStringLiteral(",0"))));
        }
    }

    // Nominal volume and the height of its figures.
    const std::optional<Volume> volume = volumeIn(text);
    if (!volume) {
        findings << finding(LabelRule::Volume, -1, {}, missing(LabelRule::Volume));
    } else {
        carries[volume->line] = true;
        const double need = requiredFigureHeightMm(volume->centilitres);
        const double have = lines.at(volume->line).size.figureHeightMm;
        if (have + 1e-9 < need)
            findings << finding(LabelRule::VolumeFigures, volume->line, lines.at(volume->line).text,
                                QStringLiteral("le cifre di %1 si stampano alte %2 mm; per %3 cl servono almeno %4 mm.")
                                    .arg(quoted(volume->text), decimalText(have),
                                         decimalText(volume->centilitres).remove(QStringLiteral(",0")),
                                         QString::number(need)));
    }

    // Sulphites, preceded by "contiene" (or in a list of ingredients).
    static const QRegularExpression sulphites = pattern(R"(\b(solfit[oi]|anidride solforosa)\b)");
    static const QRegularExpression contains = pattern(R"(\b(contiene|ingredienti)\b[^\n]*\b(solfit[oi]|anidride solforosa)\b)");
    const int sulphiteLine = anyLine(sulphites);
    if (sulphiteLine < 0)
        findings << finding(LabelRule::Sulphites, -1, {}, missing(LabelRule::Sulphites));
    else if (anyLine(contains) < 0)
        findings << finding(LabelRule::Sulphites, sulphiteLine, lines.at(sulphiteLine).text,
                            QStringLiteral("i solfiti vanno preceduti da «Contiene»; serve %1.")
                                .arg(QString::fromUtf8(labelRuleFacts(LabelRule::Sulphites).requirement)));

    // Lot.
    int lotLine = -1;
    for (int i = 0; i < lines.size(); ++i)
        if (hasLot(lines.at(i).text)) {
            carries[i] = true;
            if (lotLine < 0)
                lotLine = i;
        }
    if (lotLine < 0)
        findings << finding(LabelRule::Lot, -1, {}, missing(LabelRule::Lot));

    if (anyLine(pattern(R"(\bimbottigliat(o|a|ore|rice)\b)")) < 0)
        findings << finding(LabelRule::Bottler, -1, {}, missing(LabelRule::Bottler));

    // Designations are also written with dots: "D.O.C.G.".
    QList<QString> undotted;
    for (const QString& t : text)
        undotted << QString(t).remove(QLatin1Char('.'));
    static const QRegularExpression designation =
        pattern(R"(\b(docg|doc|dop|igt|igp|vino|denominazione di origine|indicazione geografica)\b)");
    bool designated = false;
    for (int i = 0; i < undotted.size(); ++i)
        if (has(undotted.at(i), designation))
            designated = carries[i] = true;
    if (!designated)
        findings << finding(LabelRule::Designation, -1, {}, missing(LabelRule::Designation));

    static const QRegularExpression provenance = pattern(
        R"(\b(italia|italy|italie|italien|francia|france|spagna|espana|germania|austria|portogallo|grecia|slovenia|)"
        R"(croazia|ungheria|romania|unione europea)\b|\b(prodotto|product|produit|producto) (in|of|de|di|d')\b)");
    if (anyLine(provenance) < 0)
        findings << finding(LabelRule::Provenance, -1, {}, missing(LabelRule::Provenance));

    // The energy value or the mention of the information given elsewhere,
    // only for wines produced since the rule applies: the check cannot know
    // when the wine was made, so it asks the winery to verify.
    if (today >= labelRuleFacts(LabelRule::Energy).since) {
        static const QRegularExpression energy = pattern(
            R"(\d+(?:[.,]\d+)?\s*(kj|kcal)\b|\b(ingredienti|valori nutrizionali|dichiarazione nutrizionale|)"
            R"(informazioni nutrizionali|etichetta elettronica|e-label)\b)");
        if (anyLine(energy) < 0)
            findings << finding(LabelRule::Energy, -1, {},
                                QStringLiteral("da verificare: per i vini prodotti dall'8 dicembre 2023 serve ")
                                    + QString::fromUtf8(labelRuleFacts(LabelRule::Energy).requirement)
                                    + QLatin1Char('.'),
                                true);
    }

    // The size of every line that carries one of the particulars.
    for (int i = 0; i < lines.size(); ++i) {
        if (!carries.at(i) || lines.at(i).size.xHeightMm + 1e-9 >= kMinXHeightMm)
            continue;
        findings << finding(LabelRule::XHeight, i, lines.at(i).text,
                            QStringLiteral("la «x» si stampa alta %1 mm; serve almeno 1,2 mm.")
                                .arg(QString::number(lines.at(i).size.xHeightMm, 'f', 2).replace(QLatin1Char('.'),
                                                                                                 QLatin1Char(','))));
    }

    // Lines that pass their place: what passes does not print.
    for (int i = 0; i < lines.size(); ++i)
        if (!lines.at(i).lost.trimmed().isEmpty())
            findings << finding(LabelRule::Cut, i, lines.at(i).text,
                                QStringLiteral("%1 esce dal suo spazio e non si stampa.")
                                    .arg(quoted(lines.at(i).lost.trimmed())));
    return findings;
}

QList<LabelFinding> checkLabel(const LabelKind& kind, const QStringList& lines, const QDate& today)
{
    return checkPrintedLines(printedLines(*kind.geometry, lines), today);
}

} // namespace vinarca
