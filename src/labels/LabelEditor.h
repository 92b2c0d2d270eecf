#pragma once

#include "LabelRecord.h"
#include "RecordEditor.h"

#include <QHash>

namespace vinarca {

class LiveLabel;

// The label editor, one implementation for both kinds of label: archive
// data, the nine label lines arranged roughly as on the label, the logo
// buttons, the notes, and the label drawn live on the right. The vertical
// and horizontal editors are this window built from their label kind.
class LabelEditor : public RecordEditor
{
    Q_OBJECT
public:
    const LabelKind& labelKind() const { return m_labelKind; }

    // Edit boxes in Tab and Return order.
    HighlightEdit *txtProdotto = nullptr, *txtImbottigliatore = nullptr, *txtLotto = nullptr, *txtPrezzo = nullptr,
                  *txtCima = nullptr, *txtNome = nullptr, *txtRosso = nullptr, *txtSottotitolo = nullptr,
                  *txtRigo01 = nullptr, *txtRigo02 = nullptr, *txtRigo03 = nullptr, *txtRigo04 = nullptr,
                  *txtCalce = nullptr, *txtNote = nullptr;
    PictureButton *cmdTrova = nullptr, *cmdAnteprima = nullptr, *cmdStampa = nullptr, *cmdAllega = nullptr,
                  *cmdEsporta = nullptr, *cmdGuida = nullptr, *cmdEsci = nullptr,
                  *cmdVerifica = nullptr;
    PictureButton* btnCancFoto = nullptr;
    PictureBox* imgGomma = nullptr; // hidden: the blank logo
    LiveLabel* label = nullptr;

    void btnCancFotoClick();
    void btnZoomFotoClick();

protected:
    LabelEditor(const LabelKind& kind, QWidget* parent);

    void clearRecord() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolbar(QWidget* panel, StatusHints& hints);
    void buildDataBand(QWidget* panel, StatusHints& hints);
    void buildComposition(QWidget* panel, StatusHints& hints);
    void buildNotes(QWidget* panel, StatusHints& hints);
    void mirror(HighlightEdit* box);

    const LabelKind& m_labelKind;
    QHash<HighlightEdit*, LabelLine> m_lineOf;
};

} // namespace vinarca
