#pragma once

// The named windows of the bottle labels. Each is the shared window of its
// role built from one label kind; the names are the ones the program and its
// tests find them by.
#include "LabelEditor.h"
#include "LabelPrint.h"
#include "LabelSearch.h"

#include "ChoiceMenu.h"

// The labels menu: the user picks the horizontal (first) or the vertical
// (second) labels.
class TfrmMenuEtichette : public vinarca::ChoiceMenu
{
    Q_OBJECT
public:
    explicit TfrmMenuEtichette(QWidget* parent = nullptr);
};
extern TfrmMenuEtichette* frmMenuEtichette;

class TfrmVerticali : public vinarca::LabelEditor
{
    Q_OBJECT
public:
    explicit TfrmVerticali(QWidget* parent = nullptr);
};
extern TfrmVerticali* frmVerticali;

class TfrmOrizzontali : public vinarca::LabelEditor
{
    Q_OBJECT
public:
    explicit TfrmOrizzontali(QWidget* parent = nullptr);
};
extern TfrmOrizzontali* frmOrizzontali;

// The print and preview windows of each kind.
class TfrmStampaVerticale : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmStampaVerticale(const vinarca::LabelPrintInput& input, QWidget* parent = nullptr);
};

class TfrmAnteprimaVerticale : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmAnteprimaVerticale(const vinarca::LabelPrintInput& input, QWidget* parent = nullptr);
};

class TfrmStampaOrizzontale : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmStampaOrizzontale(const vinarca::LabelPrintInput& input, QWidget* parent = nullptr);
};

class TfrmAnteprimaOrizzontale : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmAnteprimaOrizzontale(const vinarca::LabelPrintInput& input, QWidget* parent = nullptr);
};

// The searches of each kind.
class TfrmTrovaEtichetteVer : public vinarca::LabelSearchWindow
{
    Q_OBJECT
public:
    explicit TfrmTrovaEtichetteVer(QWidget* owner = nullptr);
};

class TfrmTrovaEtichetteOri : public vinarca::LabelSearchWindow
{
    Q_OBJECT
public:
    explicit TfrmTrovaEtichetteOri(QWidget* owner = nullptr);
};
