#pragma once

#include "RecordLayout.h"

namespace vinarca {

// The Wine record of "Catalogo_Vini.pro": 32 short strings, 2997 bytes.
const RecordLayout& wineLayout();

inline constexpr int kWineRecordSize = 2997;
inline constexpr int kWineTextFields = 26; // Nome .. Note, shown in edit boxes
inline constexpr int kWineAttachmentFields = 6; // File01..03, Desc01..03, hidden labels

QString wineArchivePath();
// "Catalogo_Vini/Catalogo_Vini_Foto_<position>.jpg" under the program folder.
QString winePhotoFolder();
QString WinePhotoPath(const QString& position);

} // namespace vinarca
