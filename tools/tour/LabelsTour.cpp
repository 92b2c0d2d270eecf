#include "LabelsTour.h"

#include "Artwork.h"
#include "HighlightEdit.h"
#include "LabelDrawing.h"
#include "LabelEditor.h"
#include "Length.h"
#include "LiveLabel.h"
#include "MenuEtichette.h"
#include "Orizzontali.h"
#include "PictureBox.h"
#include "SampleData.h"
#include "Verticali.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>

#include <cstdio>

using namespace vinarca;

namespace {
const QSize kScreen(1280, 800);

bool save(const QImage& image, const QString& path)
{
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool shoot(const QString& out, const QString& name, QWidget& window)
{
    window.resize(kScreen);
    window.show();
    QCoreApplication::processEvents();
    return save(window.grab().toImage(), out + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void fill(LabelEditor& editor, bool longTexts)
{
    editor.txtProdotto->setText(QStringLiteral("Barbera d'Asti DOCG"));
    editor.txtImbottigliatore->setText(QStringLiteral("Cantina Sociale di Nizza"));
    editor.txtLotto->setText(QStringLiteral("L-2318"));
    editor.txtPrezzo->setText(QStringLiteral("12,50"));
    editor.txtCima->setText(QStringLiteral("Imbottigliato all'origine dal produttore"));
    editor.txtNome->setText(longTexts ? QStringLiteral("Barbera d'Asti Superiore Nizza Riserva")
                                      : QStringLiteral("Barbera d'Asti"));
    editor.txtRosso->setText(QStringLiteral("Denominazione di Origine Controllata e Garantita"));
    editor.txtSottotitolo->setText(longTexts ? QStringLiteral("Vigna del Bricco dei Cappuccini, vendemmia tardiva")
                                             : QStringLiteral("Vigna del Bricco"));
    editor.txtRigo01->setText(QStringLiteral("Vino rosso secco e armonico"));
    editor.txtRigo02->setText(QStringLiteral("Vendemmia 2019"));
    editor.txtRigo03->setText(QStringLiteral("750 ml"));
    editor.txtRigo04->setText(longTexts ? QStringLiteral("14,5 % vol. e oltre") : QStringLiteral("14 % vol"));
    editor.txtCalce->setText(QStringLiteral("Contiene solfiti - Prodotto in Italia"));
    editor.txtNote->setText(QStringLiteral("Etichetta per la fiera di primavera"));
    editor.lblPosizione->setText(QStringLiteral("3"));
}

// The live label alone, drawn at twice its screen size with the same drawing
// the editor uses, the logo included.
bool liveLabelAlone(const QString& out, const QString& name, const LabelEditor& editor)
{
    const LabelGeometry& g = *editor.labelKind().geometry;
    const QRect frame = g.frameUnits();
    const double pixelsPerUnit = 2;
    QImage image(frame.size() * pixelsPerUnit + QSize(40, 40), QImage::Format_RGB32);
    image.fill(QColor(0xF4, 0xF8, 0xFC));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(20 - frame.x() * pixelsPerUnit, 20 - frame.y() * pixelsPerUnit);
    painter.scale(pixelsPerUnit * kUnitsPerMm, pixelsPerUnit * kUnitsPerMm);
    drawLabel(painter, g, LabelFace{editor.label->lines(), editor.imgFoto->image(), artwork(editor.labelKind().ornament)});
    painter.end();
    return save(image, out + QLatin1Char('/') + name + QStringLiteral(".png"));
}
} // namespace

int tourLabels(const QString& out)
{
    int failures = 0;
    TfrmMenuEtichette menu;
    failures += !shoot(out, QStringLiteral("etichette_menu"), menu);

    TfrmVerticali vertical;
    failures += !shoot(out, QStringLiteral("etichette_verticali_nuova"), vertical);
    fill(vertical, false);
    vertical.imgFoto->setImage(tour::samplePhoto({560, 240}));
    vertical.txtNome->setFocus();
    failures += !shoot(out, QStringLiteral("etichette_verticali_compilata"), vertical);
    failures += !liveLabelAlone(out, QStringLiteral("etichetta_verticale_ingrandita"), vertical);

    TfrmOrizzontali horizontal;
    failures += !shoot(out, QStringLiteral("etichette_orizzontali_nuova"), horizontal);
    fill(horizontal, true);
    horizontal.imgFoto->setImage(tour::samplePhoto({800, 140}));
    horizontal.txtRigo04->setFocus();
    failures += !shoot(out, QStringLiteral("etichette_orizzontali_compilata_testi_lunghi"), horizontal);
    failures += !liveLabelAlone(out, QStringLiteral("etichetta_orizzontale_ingrandita"), horizontal);
    return failures;
}
