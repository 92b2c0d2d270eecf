#pragma once

#include "RecordKind.h"
#include "RecordLayout.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace vinarca {

// A page of a price list: eight product slots, lettered A to H, each the same
// block of five short strings. The block is described once and stamped out
// for the eight letters; fields are named "<field>_<letter>" ("Prezzo_H").
namespace pricepage {

inline constexpr int kSlots = 8;
inline constexpr int kPhotoWidth = 366;
inline constexpr int kPhotoHeight = 274;

// "A" to "H".
const QStringList& slotLetters();
// The fields of one slot block in block order: Codice, Nome, UM,
// Caratteristiche, Prezzo.
const QStringList& slotFields();
// The forty fields, slot A first.
const RecordLayout& layout();
// The index of a slot's field among the forty texts.
int fieldIndex(int slot, const QString& field);

// The folder of the slot and preview photos, under the program folder.
QString photoFolderPath();

// The page as a record kind: its layout, photo folder and the fields a save
// requires. Its archive is the list file the user opened, not a file of the
// kind.
const RecordKind& kind();

} // namespace pricepage

// Pages of the price-list file at `path`. Each opens the file (creating it
// empty when it is missing), works and closes it; failures throw
// ArchiveError.
int PricePageCount(const QString& path);
QStringList ReadPricePage(const QString& path, int page);
void WritePricePage(const QString& path, int page, const QStringList& texts);
int AppendPricePage(const QString& path, const QStringList& texts);

// "<title>_Foto_<letter>_<page>.jpg" and "<title>_Anteprima_<letter>.jpg".
QString SlotPhotoFileName(const QString& title, const QString& letter, int page);
QString PreviewPhotoFileName(const QString& title, const QString& letter);

// A new picture of exactly width × height, white, with the whole source
// drawn as large as it fits with its proportions kept, centred: an upright
// bottle stays upright and slim on the page.
QImage FramePicture(const QImage& picture, int width, int height);

} // namespace vinarca
