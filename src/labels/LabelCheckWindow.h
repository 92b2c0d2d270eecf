#pragma once

#include "LabelCheckMarks.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace vinarca {

class LabelEditor;

// The findings of the label check. Opened by Verifica it lists them with
// Chiudi; before a print it asks with "Stampa comunque" and "Annulla", and
// offers not to ask again for the labels it lists. Choosing a finding
// reports its label and line, so the editor can mark the line on the live
// label.
class LabelCheckWindow : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Check, BeforePrint };
    LabelCheckWindow(const QList<LabelCheckResult>& results, Mode mode, QWidget* owner);

    // Called with the label (its index in the checked list) and the line
    // (-1: the label as a whole) of the finding chosen.
    std::function<void(int label, int line)> onFinding;
    bool askAgain() const;

    QLabel* lblTitolo = nullptr;
    QListWidget* lstRilievi = nullptr;
    QLabel* lblNota = nullptr;
    QCheckBox* chkNonChiedere = nullptr; // before a print only
    QPushButton* cmdStampaComunque = nullptr;
    QPushButton* cmdAnnulla = nullptr;
    QPushButton* cmdChiudi = nullptr; // Verifica only
    QLabel* lblStato = nullptr;
};

// Verifica of an editor: the findings of the label it shows, each marking
// its line on the live label while chosen.
void showLabelCheck(LabelEditor& editor);

// Before a print of these labels: when some that are not marked have
// findings, shows them and asks; true to print. Labels the user asked not
// to be asked about again are marked. One question for any number of labels.
bool confirmLabelsPrint(QWidget* owner, const LabelKind& kind, const QList<LabelToPrint>& labels,
                        const std::function<void(int label, int line)>& onFinding = {});

} // namespace vinarca
