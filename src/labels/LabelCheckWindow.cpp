#include "LabelCheckWindow.h"

#include "LabelEditor.h"
#include "LiveLabel.h"
#include "Palette.h"
#include "Platform.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vinarca {

namespace {
constexpr int kLabelRole = Qt::UserRole;
constexpr int kLineRole = Qt::UserRole + 1;

const char kNote[] = "La verifica aiuta, e non sostituisce, il controllo dell'etichetta da parte della cantina.";

QLabel* makeText(QWidget* parent, const char* name, const QString& text, int points, bool bold, const QColor& ink)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(QFont(QStringLiteral("Verdana"), points, bold ? QFont::Bold : QFont::Normal));
    label->setWordWrap(true);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, ink);
    label->setPalette(p);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFont(QFont(QStringLiteral("Verdana"), 10, QFont::Bold));
    button->setMinimumSize(150, 32);
    return button;
}
} // namespace

LabelCheckWindow::LabelCheckWindow(const QList<LabelCheckResult>& results, Mode mode, QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("frmVerifica"));
    const bool many = results.size() > 1;
    setWindowTitle(mode == Mode::Check ? QStringLiteral(" Verifica etichetta") : QStringLiteral(" Stampa etichetta"));
    setAutoFillBackground(true);
    QPalette back = palette();
    back.setColor(QPalette::Window, palette::WindowBlue);
    setPalette(back);
    resize(620, 440);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 0);
    bool empty = true;
    for (const LabelCheckResult& r : results)
        empty = empty && r.findings.isEmpty();
    QString title;
    if (mode == Mode::Check)
        title = empty ? QStringLiteral("Nessun rilievo: l'etichetta supera i controlli che la verifica conosce.")
                      : QStringLiteral("Rilievi della verifica dell'etichetta:");
    else
        title = many ? QStringLiteral("Attenzione: la verifica ha trovato dei rilievi su alcune etichette. "
                                      "Stamparle comunque?")
                     : QStringLiteral("Attenzione: la verifica ha trovato dei rilievi sull'etichetta. "
                                      "Stamparla comunque?");
    lblTitolo = makeText(this, "lblTitolo", title, 11, true, Qt::white);
    layout->addWidget(lblTitolo);

    lstRilievi = new QListWidget(this);
    lstRilievi->setObjectName(QStringLiteral("lstRilievi"));
    lstRilievi->setFont(QFont(QStringLiteral("Verdana"), 10));
    lstRilievi->setWordWrap(true);
    lstRilievi->setAlternatingRowColors(true);
    for (const LabelCheckResult& r : results) {
        if (many || (mode == Mode::BeforePrint && !r.name.isEmpty())) {
            auto* heading = new QListWidgetItem(r.name.isEmpty() ? QStringLiteral("Etichetta %1").arg(r.index + 1)
                                                                 : r.name);
            QFont bold = lstRilievi->font();
            bold.setBold(true);
            heading->setFont(bold);
            heading->setForeground(palette::CaptionBlue);
            heading->setData(kLabelRole, r.index);
            heading->setData(kLineRole, -1);
            lstRilievi->addItem(heading);
        }
        for (const LabelFinding& f : r.findings) {
            auto* item = new QListWidgetItem(f.text);
            item->setData(kLabelRole, r.index);
            item->setData(kLineRole, f.line);
            if (f.toVerify)
                item->setForeground(palette::CaptionBlue);
            else
                item->setForeground(palette::Crimson);
            lstRilievi->addItem(item);
        }
    }
    layout->addWidget(lstRilievi, 1);
    connect(lstRilievi, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && onFinding)
            onFinding(item->data(kLabelRole).toInt(), item->data(kLineRole).toInt());
    });

    lblNota = makeText(this, "lblNota", QString::fromUtf8(kNote), 9, false, Qt::white);
    layout->addWidget(lblNota);

    auto* buttons = new QHBoxLayout;
    if (mode == Mode::BeforePrint) {
        chkNonChiedere = new QCheckBox(many ? QStringLiteral("Non chiedere più per queste etichette")
                                            : QStringLiteral("Non chiedere più per questa etichetta"),
                                       this);
        chkNonChiedere->setObjectName(QStringLiteral("chkNonChiedere"));
        chkNonChiedere->setFont(QFont(QStringLiteral("Verdana"), 9, QFont::Bold));
        QPalette p = chkNonChiedere->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        chkNonChiedere->setPalette(p);
        layout->addWidget(chkNonChiedere);
        cmdStampaComunque = makeButton(this, "cmdStampaComunque", QStringLiteral("Stampa comunque"));
        cmdAnnulla = makeButton(this, "cmdAnnulla", QStringLiteral("Annulla"));
        cmdAnnulla->setDefault(true); // Invio does not print by accident
        connect(cmdStampaComunque, &QPushButton::clicked, this, &QDialog::accept);
        connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
        buttons->addStretch();
        buttons->addWidget(cmdStampaComunque);
        buttons->addWidget(cmdAnnulla);
    } else {
        cmdChiudi = makeButton(this, "cmdChiudi", QStringLiteral("Chiudi"));
        cmdChiudi->setDefault(true);
        connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::accept);
        buttons->addStretch();
        buttons->addWidget(cmdChiudi);
    }
    layout->addLayout(buttons);

    // The blue status line, as in the editors.
    lblStato = makeText(this, "lblStato",
                        empty ? QString::fromUtf8(kNote)
                              : QStringLiteral("Scegliere un rilievo per evidenziarne il rigo sull'etichetta."),
                        9, true, Qt::white);
    lblStato->setAutoFillBackground(true);
    QPalette status = lblStato->palette();
    status.setColor(QPalette::Window, palette::StatusBlue);
    lblStato->setPalette(status);
    lblStato->setContentsMargins(8, 6, 8, 6);
    lblStato->setWordWrap(false);
    layout->addSpacing(6);
    layout->addWidget(lblStato);
    if (empty)
        lblNota->hide();

    setTabOrder(lstRilievi, chkNonChiedere ? static_cast<QWidget*>(chkNonChiedere) : cmdChiudi);
    if (chkNonChiedere) {
        setTabOrder(chkNonChiedere, cmdStampaComunque);
        setTabOrder(cmdStampaComunque, cmdAnnulla);
    }
    lstRilievi->setFocus();
}

bool LabelCheckWindow::askAgain() const
{
    return !chkNonChiedere || !chkNonChiedere->isChecked();
}

void showLabelCheck(LabelEditor& editor)
{
    const QStringList lines = editor.label->lines();
    const QList<LabelCheckResult> results{{0, QString(), lines, checkLabel(editor.labelKind(), lines)}};
    LabelCheckWindow window(results, LabelCheckWindow::Mode::Check, &editor);
    window.onFinding = [&editor](int, int line) { editor.label->setHighlightedLine(line); };
    platform().execDialog(window);
    editor.label->setHighlightedLine(-1);
}

bool confirmLabelsPrint(QWidget* owner, const LabelKind& kind, const QList<LabelToPrint>& labels,
                        const std::function<void(int label, int line)>& onFinding)
{
    const QList<LabelCheckResult> results = labelsToConfirm(kind, labels);
    if (results.isEmpty())
        return true;
    LabelCheckWindow window(results, LabelCheckWindow::Mode::BeforePrint, owner);
    window.onFinding = onFinding;
    if (platform().execDialog(window) != QDialog::Accepted)
        return false;
    if (!window.askAgain()) {
        QList<QStringList> marked;
        for (const LabelCheckResult& r : results)
            marked << r.lines;
        if (!markLabels(kind, marked))
            platform().message(owner, MessageKind::Warning,
                               QStringLiteral("Attenzione: non è stato possibile registrare la scelta di non chiedere "
                                              "più per queste etichette. La stampa prosegue."));
    }
    return true;
}

} // namespace vinarca
