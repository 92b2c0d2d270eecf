#include "LabelSearch.h"
#include "EditFlow.h"

#include "LabelEditor.h"
#include "Palette.h"
#include "PictureBox.h"
#include "Platform.h"
#include "RecordArchive.h"
#include "ShortString.h"
#include "Shapes.h"

#include <QLabel>
#include <QListWidget>
#include <QShowEvent>

namespace vinarca {

namespace {
struct LineFields
{
    int prodotto, imbottigliatore, lotto, prezzo, note;
};

const LineFields& lineFields()
{
    static const LineFields f = [] {
        const RecordLayout& layout = labelLayout();
        return LineFields{layout.indexOf(QStringLiteral("Prodotto")), layout.indexOf(QStringLiteral("Imbottigliatore")),
                          layout.indexOf(QStringLiteral("Lotto")), layout.indexOf(QStringLiteral("Prezzo")),
                          layout.indexOf(QStringLiteral("Note"))};
    }();
    return f;
}

QString field(const QByteArray& record, int index)
{
    return trimControl(labelLayout().decodeField(record, index));
}
} // namespace

QString LabelSearchLine(const QByteArray& record)
{
    const LineFields& f = lineFields();
    return listColumn(field(record, f.prodotto), 30) + QLatin1String("  ") + listColumn(field(record, f.imbottigliatore), 28)
        + QLatin1String("  Lotto: ") + listColumn(field(record, f.lotto), 20) + QStringLiteral("  Prezzo: € ")
        + listColumn(field(record, f.prezzo), 15) + QLatin1String("  Note: ") + field(record, f.note);
}

QStringList listLabelLines(const LabelKind& kind)
{
    const int prodotto = lineFields().prodotto;
    return listRecordLines(
        kind.record, [prodotto](const QByteArray& record) { return !field(record, prodotto).isEmpty(); },
        &LabelSearchLine);
}

LabelSearchWindow::LabelSearchWindow(const LabelKind& kind, QWidget* owner)
    : RecordListWindow(kind.record, &LabelSearchLine, kind.tag, QStringLiteral("Riepilogo etichette in archivio"), owner),
      m_labelKind(kind)
{
    setObjectName(kind.searchWindowName);
    setWindowTitle(QStringLiteral(" Trova schede in archivio"));
    panContainer = new QWidget(this);
    panContainer->setObjectName(QStringLiteral("panContainer"));
    panContainer->setGeometry(14, 15, 833, 529);
    imgLogo = makePicture(panContainer, "imgLogo", QStringLiteral(":/labels/trova_titolo"), QRect(8, 4, 817, 53));
    icoIstruzioni = makePicture(panContainer, "icoIstruzioni", QStringLiteral(":/labels/trova_istruzioni"),
                                QRect(95, 62, 642, 32));
    new ShapeRect(panContainer, QStringLiteral("shpLente"), QRect(16, 106, 64, 41), Qt::white);
    imgLente = makePicture(panContainer, "imgLente", QStringLiteral(":/labels/trova_lente"), QRect(16, 106, 64, 41));
    buildResultControls(panContainer,
                        {QRect(88, 112, 593, 30), QRect(689, 112, 128, 30), QRect(16, 156, 801, 273),
                         QRect(16, 434, 801, 24), QRect(16, 488, 150, 30), QRect(176, 490, 481, 26),
                         QRect(667, 488, 150, 30)},
                        QStringLiteral("Fare doppio clic su una voce in elenco per richiamare la scheda"));
    fixAndCentre(this, QSize(862, 560));
}

void LabelSearchWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void LabelSearchWindow::paintEvent(QPaintEvent*)
{
    paintGradient(this, palette::SteelBlue);
}

void LabelSearchWindow::FormShow()
{
    resetFind();
    QStringList lines;
    try {
        lines = listLabelLines(m_labelKind);
    } catch (const ArchiveError&) {
        // An archive that cannot be read is said so: a short list must not
        // pass for the whole archive.
        platform().plainMessage(this, accessFailureMessage());
    }
    showLines(lines);
}

void openLabelSearch(LabelEditor& editor)
{
    const std::unique_ptr<LabelSearchWindow> window = editor.labelKind().windows().search(&editor);
    window->lblMemory->setText(editor.labelKind().tag);
    window->setLoader([&editor](const QByteArray& record, qint64 position) { editor.openRecord(record, position); });
    platform().execDialog(*window);
}

} // namespace vinarca
