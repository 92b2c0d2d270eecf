#pragma once

#include "RecordKind.h"

namespace vinarca {

// The Wine record of "Catalogo_Vini.pro": 32 short strings, 2997 bytes.
const RecordLayout& wineLayout();

inline constexpr int kWineRecordSize = 2997;

// The wine kind: "Catalogo_Vini.pro", photos "Catalogo_Vini/Catalogo_Vini_Foto_<n>.jpg",
// Nome and Produttore required.
const RecordKind& wineKind();

QString wineArchivePath();
// "Catalogo_Vini/Catalogo_Vini_Foto_<position>.jpg" under the program folder.
QString winePhotoFolder();
QString WinePhotoPath(const QString& position);

} // namespace vinarca
