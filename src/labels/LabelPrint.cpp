#include "LabelPrint.h"

#include "HighlightEdit.h"
#include "LabelCheckWindow.h"
#include "LabelDrawing.h"
#include "LabelEditor.h"
#include "LiveLabel.h"
#include "Platform.h"
#include "ReportError.h"
#include "ReportLayout.h"
#include "ReportModel.h"
#include "ShortString.h"


namespace vinarca {

namespace {
// The text boxes of the printed label, in filling order, with the line each prints.
struct LabelMemo
{
    const char* name;
    LabelLine line;
};
constexpr LabelMemo kLabelMemos[kLabelLineCount] = {
    {"txtCima", LabelLine::Cima},         {"txtNome", LabelLine::Nome},     {"txtSottotitolo", LabelLine::Sottotitolo},
    {"txtRigo01", LabelLine::Rigo01},     {"txtRigo02", LabelLine::Rigo02}, {"txtRigo03", LabelLine::Rigo03},
    {"txtRigo04", LabelLine::Rigo04},     {"txtRosso", LabelLine::Rosso},   {"txtCalce", LabelLine::Calce},
};
} // namespace

QString labelLayoutPath(const LabelKind& kind)
{
    return kind.layoutPath;
}

QString labelFailureMessage(DocumentAction action)
{
    return action == DocumentAction::Print
        ? QStringLiteral("Attenzione: la stampa non è andata a buon fine.\n\r\n\r"
                         "Si consiglia di ridurre le dimensioni della foto.")
        : QStringLiteral("Attenzione: la visualizzazione dell'anteprima di stampa non è andata a buon fine.\n\r\n\r"
                         "Si consiglia di ridurre le dimensioni della foto.");
}

DocumentWindowSpec labelDocumentSpec(const LabelKind& kind, DocumentAction action)
{
    DocumentWindowSpec setup = documentSetup(action, QStringLiteral(":/labels"));
    setup.layout = labelLayoutPath(kind);
    setup.pictureView = QStringLiteral("imgLogo");
    setup.standBy = kind.standBy;
    setup.failure = labelFailureMessage(action);
    if (action == DocumentAction::Print) {
        setup.objectName = kind.printWindowName;
        setup.caption = QStringLiteral(" Stampa etichetta");
        setup.heading = QStringLiteral("Stampa etichetta");
        setup.what = QStringLiteral("Questa operazione provvederà a stampare l'etichetta su carta con i dati immessi "
                                   "dall'utente.");
    } else {
        setup.objectName = kind.previewWindowName;
        setup.what = QStringLiteral("Questa operazione consente di visualizzare sullo schermo i dati che appariranno in "
                                   "stampa.");
        setup.how = QStringLiteral("Fare clic su Mostra anteprima per visualizzare il documento prima di eseguire la "
                                  "stampa su carta.");
    }
    return setup;
}

std::unique_ptr<TReport> loadLabelLayout(const LabelKind& kind)
{
    return loadReportLayout(labelLayoutPath(kind));
}

void fillLabelTexts(TReport& label, const QStringList& lines)
{
    if (lines.size() != kLabelLineCount)
        throw ReportError("a label has nine lines");
    label.page().setOrientation(QPageLayout::Portrait);
    for (const LabelMemo& entry : kLabelMemos) {
        auto* memo = label.find<TMemoView>(QString::fromLatin1(entry.name));
        if (!memo)
            throw ReportError(std::string("the label has no text box ") + entry.name);
        setLabelText(*memo, trimControl(lines.at(static_cast<int>(entry.line))));
    }
}

DocumentWindow::Fill labelTextsFill(const LabelPrintInput& input)
{
    return [lines = input.lines](TReport& label) { fillLabelTexts(label, lines); };
}

void fillLabel(TReport& label, const LabelPrintInput& input)
{
    auto* picture = label.find<TPictureView>(QStringLiteral("imgLogo"));
    if (!picture)
        throw ReportError("the label has no picture imgLogo");
    picture->setPicture(input.logo);
    fillLabelTexts(label, input.lines);
}

LabelPrintInput labelPrintInput(const LabelEditor& editor)
{
    LabelPrintInput input;
    input.lines = editor.label->lines();
    input.logo = editor.shownPictureAt(kPrintedLogoSize);
    return input;
}

void openLabelDocument(LabelEditor& editor, DocumentAction action)
{
    if (action == DocumentAction::Print) {
        // The check asks before a label with findings goes to print; each
        // finding chosen marks its line on the live label meanwhile.
        const bool print = confirmLabelsPrint(&editor, editor.labelKind(),
                                              {{editor.txtProdotto->text().trimmed(), editor.label->lines()}},
                                              [&editor](int, int line) { editor.label->setHighlightedLine(line); });
        editor.label->setHighlightedLine(-1);
        if (!print)
            return;
    }
    const std::unique_ptr<DocumentWindow> window =
        editor.labelKind().windows().document(labelPrintInput(editor), action, &editor);
    platform().execDialog(*window);
}

} // namespace vinarca
